#include "drawing/PageExport.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "drawing/PdfParts.h"
#include "shell/AtomicFile.h"
#include "shell/Units.h"
#include "shell/qt/QtText.h"

namespace {
// Beyond this a damaged page size would ask for gigabytes.
constexpr double kMaxPixels = 120e6;
constexpr int kPdfResolution = 1200;
// The largest sheet a PDF takes.
constexpr double kMaxSheetInches = 200;

bool PageSizeUsable(double w, double h) {
    return std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0;
}

ExportResult WriteBytes(const std::string& path, const QByteArray& bytes) {
    ExportResult r;
    std::string error;
    r.ok = files::AtomicWriteFile(path, std::string_view(bytes.constData(), size_t(bytes.size())),
                                  error);
    if (!r.ok) r.error = "cannot write " + path + (error.empty() ? "" : ": " + error);
    return r;
}
}  // namespace

namespace {
// A white page-sized picture at dpi, with a painter set up to draw the page onto it.
template <class Paint>
QImage DrawOnBlankPage(const CanvasModel& canvas, double dpi, Paint paint) {
    double w = canvas.PageWidth(), h = canvas.PageHeight();
    if (!PageSizeUsable(w, h) || !(dpi > 0)) return {};
    double pw = std::ceil(units::InchesToPixels(w, dpi)),
           ph = std::ceil(units::InchesToPixels(h, dpi));
    if (pw * ph > kMaxPixels || pw > 60000 || ph > 60000) return {};
    QImage image(int(pw), int(ph), QImage::Format_RGB32);
    int dpm = int(std::lround(units::DpiToDotsPerMetre(dpi)));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    QPainter p(&image);
    CanvasPainter::BeginPage(p, dpi);
    paint(p);
    p.end();
    return image;
}
}  // namespace

QPageLayout FormSheet(double w, double h) {
    if (!PageSizeUsable(w, h) || w > kMaxSheetInches || h > kMaxSheetInches) return {};
    const QPageSize size(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Inch);
    return QPageLayout(size, w > h ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

QImage RenderPage(const CanvasModel& canvas, const FormModel& model, PictureCache& pictures,
                  int page, double dpi) {
    CanvasPainter painter(canvas, model, pictures);
    return DrawOnBlankPage(canvas, dpi, [&](QPainter& p) { painter.PaintPage(p, page); });
}

QImage RenderBackground(const CanvasModel& canvas, const FormModel& model, PictureCache& pictures,
                        int page, double dpi) {
    std::string path = canvas.BackgroundPath(page);
    // No picture, no lines: the stand-in for an unreadable one is not part of the form.
    if (path.empty() || pictures.Get(path).IsNull()) return {};
    CanvasPainter painter(canvas, model, pictures);
    return DrawOnBlankPage(canvas, dpi, [&](QPainter& p) { painter.PaintBackground(p, page); });
}

ExportResult ExportPagePng(const CanvasModel& canvas, const FormModel& model,
                           PictureCache& pictures, int page, double dpi, const std::string& path) {
    QImage image = RenderPage(canvas, model, pictures, page, dpi);
    if (image.isNull()) return {false, "the page is too large to draw at this resolution"};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {false, "the picture could not be encoded"};
    return WriteBytes(path, bytes);
}

ExportResult ExportPagesPdf(const CanvasModel& canvas, const FormModel& model,
                            PictureCache& pictures, const std::vector<int>& pages,
                            const std::string& path, int partLabels) {
    const QPageLayout sheet = FormSheet(canvas.PageWidth(), canvas.PageHeight());
    if (!sheet.isValid()) return {false, "the page size cannot be written as PDF"};
    // Written straight into a temporary beside the target, never whole in memory.
    files::AtomicWriter out(path);
    if (out.Fd() < 0) return {false, out.Error()};
    QFile file;
    if (!file.open(out.Fd(), QIODevice::ReadWrite, QFileDevice::DontCloseHandle))
        return {false, "cannot write " + path + ": " + fromUnicode(file.errorString())};
    std::vector<int> parts;
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(kPdfResolution);
        pdf.setPageLayout(sheet);
        pdf.setCreator("Form Designer");
        QPainter p(&pdf);
        if (!p.isActive()) return {false, "the PDF could not be started"};
        CanvasPainter painter(canvas, model, pictures);
        for (int page : pages) {
            if (!parts.empty()) pdf.newPage();
            parts.push_back(1);
            p.save();
            CanvasPainter::BeginPage(p, kPdfResolution);
            painter.PaintPage(p, page, {}, partLabels, [&] {
                pdf.newPage();
                ++parts.back();
            });
            p.restore();
        }
        p.end();
    }
    std::string error;
    if (std::any_of(parts.begin(), parts.end(), [](int n) { return n > 1; }) &&
        !JoinPdfParts(file, parts, error))
        return {false, error};
    if (!file.flush())
        return {false, "cannot write " + path + ": " + fromUnicode(file.errorString())};
    if (!out.Commit(error)) return {false, error};
    return {true, {}};
}
