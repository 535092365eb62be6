#pragma once
// Pages of the canvas on a printer (paper, preview or PDF), drawn by the same painter
// as the screen. The page lies 1:1 in inches on the paper, from the paper's corner
// moved by the form's print shifts; what falls outside the paper is clipped.
#include <string>
#include <vector>

#include "drawing/CanvasPainter.h"
#include "drawing/PageExport.h"

class QPrinter;

// One sheet: the page's printout at dpi pixels per inch, moved by the print shifts.
void PaintPrintSheet(QPainter& p, double dpi, const CanvasPainter& painter, const FormModel& model,
                     int page);
// Sets the printer's orientation from the form and prints the page (0-based) as one
// job. False, with nothing sent to the printer, when the page has nothing to print.
bool PrintPage(QPrinter& printer, const CanvasModel& canvas, const FormModel& model,
               PictureCache& pictures, int page);
// The pages with something to print, one sheet each, on an already set up printer
// (a preview's). Returns how many sheets were printed, -1 when the printer would not start.
int PrintPages(QPrinter& printer, const CanvasModel& canvas, const FormModel& model,
               PictureCache& pictures, const std::vector<int>& pages);
// Every page of the form as a PDF printout, written whole or not at all.
ExportResult PrintToPdf(const CanvasModel& canvas, const FormModel& model, PictureCache& pictures,
                        const std::string& path);
// Points the printer at the form: its orientation and, for a PDF, its page size.
void SetUpPrinter(QPrinter& printer, const CanvasModel& canvas, const FormModel& model);
