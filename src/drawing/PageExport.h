#pragma once
// Pages of the canvas as files: PNG pictures and PDF documents, drawn by the same
// painter as the screen. Files are written whole or not at all.
#include <QPageLayout>
#include <string>
#include <vector>

#include "drawing/CanvasPainter.h"

struct ExportResult {
    bool ok = false;
    std::string error;
};

// The sheet of the form's own paper (a PDF, whether rendered, exported or previewed):
// the page as it is drawn, width across and height down, so a page wider than tall lies
// on a landscape sheet. Null size when the page size is unusable.
QPageLayout FormSheet(double widthInches, double heightInches);

// One page (0-based) at dpi pixels per inch.
ExportResult ExportPagePng(const CanvasModel& canvas, const FormModel& model,
                           PictureCache& pictures, int page, double dpi, const std::string& path);
// The given pages (0-based), one PDF page each, at the form's page size. A page of more
// than partLabels labels is written in parts of that many, joined into one page at the
// end, so that the writer never holds more than a part's drawing in memory.
constexpr int kPdfPartLabels = 4096;
ExportResult ExportPagesPdf(const CanvasModel& canvas, const FormModel& model,
                            PictureCache& pictures, const std::vector<int>& pages,
                            const std::string& path, int partLabels = kPdfPartLabels);
// A page drawn into a picture (null when the page cannot be drawn this large).
QImage RenderPage(const CanvasModel& canvas, const FormModel& model, PictureCache& pictures,
                  int page, double dpi);
// The page's background picture alone, drawn as the page shows it, at dpi pixels per
// inch; white where the picture leaves the page bare. Null when the page has no
// readable background or cannot be drawn this large.
QImage RenderBackground(const CanvasModel& canvas, const FormModel& model, PictureCache& pictures,
                        int page, double dpi);
