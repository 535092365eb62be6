#pragma once
// Pages of the canvas as files: PNG pictures and PDF documents, drawn by the same
// painter as the screen. Files are written whole or not at all.
#include <string>
#include <vector>

#include "drawing/CanvasPainter.h"

struct ExportResult {
    bool ok = false;
    std::string error;
};

// One page (0-based) at dpi pixels per inch.
ExportResult ExportPagePng(const CanvasModel& canvas, const FormModel& model,
                           PictureCache& pictures, int page, double dpi, const std::string& path);
// The given pages (0-based), one PDF page each, at the form's page size.
ExportResult ExportPagesPdf(const CanvasModel& canvas, const FormModel& model,
                            PictureCache& pictures, const std::vector<int>& pages,
                            const std::string& path);
// A page drawn into a picture (null when the page cannot be drawn this large).
QImage RenderPage(const CanvasModel& canvas, const FormModel& model, PictureCache& pictures,
                  int page, double dpi);
// The page's background picture alone, drawn as the page shows it, at dpi pixels per
// inch; white where the picture leaves the page bare. Null when the page has no
// readable background or cannot be drawn this large.
QImage RenderBackground(const CanvasModel& canvas, const FormModel& model, PictureCache& pictures,
                        int page, double dpi);
