#include "drawing/PagePrint.h"

#include <QPainter>
#include <QPrinter>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "shell/Units.h"
#include "shell/qt/QtText.h"

void SetUpPrinter(QPrinter& printer, const CanvasModel& canvas, const FormModel& model) {
    printer.setFullPage(true);
    printer.setPageOrientation(model.settings.landscape ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
    double w = canvas.PageWidth(), h = canvas.PageHeight();
    // A PDF takes the form's own paper; a real printer keeps the paper it holds.
    if (printer.outputFormat() == QPrinter::PdfFormat && std::isfinite(w) && std::isfinite(h) &&
        w > 0 && h > 0 && w <= 200 && h <= 200) {
        QSizeF portrait(std::min(w, h), std::max(w, h));
        printer.setPageSize(QPageSize(portrait, QPageSize::Inch));
    }
}

void PaintPrintSheet(QPainter& p, double dpi, const CanvasPainter& painter, const FormModel& model,
                     int page) {
    p.save();
    CanvasPainter::BeginPage(p, dpi);
    p.translate(units::InchesToPoints(model.settings.horizontalShift),
                units::InchesToPoints(model.settings.verticalShift));
    painter.PaintPrintout(p, page);
    p.restore();
}

int PrintPages(QPrinter& printer, const CanvasModel& canvas, const FormModel& model,
               PictureCache& pictures, const std::vector<int>& pages) {
    CanvasPainter painter(canvas, model, pictures);
    QPainter p;
    int printed = 0;
    for (int page : pages) {
        if (!painter.HasPrintout(page)) continue;
        if (printed == 0 && !p.begin(&printer)) return -1;
        if (printed > 0 && !printer.newPage()) break;
        PaintPrintSheet(p, printer.resolution(), painter, model, page);
        ++printed;
    }
    if (p.isActive()) p.end();
    return printed;
}

bool PrintPage(QPrinter& printer, const CanvasModel& canvas, const FormModel& model,
               PictureCache& pictures, int page) {
    SetUpPrinter(printer, canvas, model);
    return PrintPages(printer, canvas, model, pictures, {page}) == 1;
}

ExportResult PrintToPdf(const CanvasModel& canvas, const FormModel& model, PictureCache& pictures,
                        const std::string& path) {
    std::vector<int> pages;
    for (int i = 0; i < std::max(1, model.settings.numberOfPages); ++i) pages.push_back(i);
    // The printer writes where it is told: a name beside the target, renamed when whole.
    std::string temp = path + ".part";
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(toUnicode(temp));
        printer.setCreator("Form Designer");
        SetUpPrinter(printer, canvas, model);
        int printed = PrintPages(printer, canvas, model, pictures, pages);
        if (printed <= 0) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            return {false, printed == 0 ? "the form has nothing to print" : "cannot write " + path};
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return {false, "cannot write " + path};
    }
    return {true, {}};
}
