#include "drawing/PageAreaPainter.h"

#include <QPainter>
#include <cmath>
#include <thread>
#include <vector>

#include "drawing/CanvasPainter.h"
#include "shell/Units.h"

namespace {
// Below this many labels in the area a second thread costs more than it saves.
constexpr std::size_t kLeastLabelsForBands = 1500;
// An area of more parts than this is drawn in one pass over the box around it.
constexpr int kMostParts = 16;

QRectF InchesOf(const QRect& pixels, double ppi) {
    return {units::PixelsToInches(pixels.x(), ppi), units::PixelsToInches(pixels.y(), ppi),
            units::PixelsToInches(pixels.width(), ppi),
            units::PixelsToInches(pixels.height(), ppi)};
}

void PaintPart(QPainter& p, const CanvasPainter& painter, double ppi, const QRegion& clip,
               const QRect& box, const QColor& around, int page) {
    p.save();
    p.setClipRegion(clip);
    p.fillRect(box, around);
    CanvasPainter::BeginPage(p, ppi);
    painter.PaintPage(p, page, InchesOf(box, ppi));
    p.restore();
}

void PaintWithin(QPainter& p, const CanvasPainter& painter, double ppi, const QRegion& area,
                 const QColor& around, int page) {
    // Each part of the area drawn by itself, where the parts lie apart: an edit damages a
    // label where it was and where it is, and the box around both holds labels neither
    // touches. Each part is drawn anew from the paper up, so a label across two parts is
    // drawn in each as it would be in one pass.
    const QRect box = area.boundingRect();
    if (area.rectCount() > 1 && area.rectCount() <= kMostParts) {
        qint64 covered = 0;
        for (const QRect& part : area) covered += qint64(part.width()) * part.height();
        if (covered * 2 <= qint64(box.width()) * box.height()) {
            for (const QRect& part : area)
                PaintPart(p, painter, ppi, QRegion(part), part, around, page);
            return;
        }
    }
    PaintPart(p, painter, ppi, area, box, around, page);
}

// The part of area within rows [top, bottom) of its own pixels, drawn through an image of
// its own over the picture's pixels (bits): a painter per image, and the transformation
// untouched (moved even by whole pixels, coverage at the edge of a clip comes out a shade
// apart).
void PaintBand(const CanvasPainter& painter, const QImage& picture, uchar* bits, double ratio,
               double ppi, const QRegion& area, const QColor& around, int page, int top,
               int bottom) {
    const QRegion part = area & QRect(0, top, picture.width(), bottom - top);
    if (part.isEmpty()) return;
    QImage band(bits, picture.width(), picture.height(), picture.bytesPerLine(), picture.format());
    band.setDotsPerMeterX(picture.dotsPerMeterX());
    band.setDotsPerMeterY(picture.dotsPerMeterY());
    QPainter p(&band);
    p.scale(ratio, ratio);
    PaintWithin(p, painter, ppi, part, around, page);
}

}  // namespace

void PaintPageArea(const CanvasPainter& painter, QImage& picture, double ratio, double ppi,
                   const QRegion& area, const QColor& around, int page) {
    const QRect box = area.boundingRect();
    // Bands need whole pixels of the picture at their seam, one thread to spare, a page
    // whose pictures are not being read (their cache is not shared between threads) and
    // enough labels to pay.
    bool bands = ratio == std::floor(ratio) && box.height() >= 64 &&
                 std::thread::hardware_concurrency() > 1 && painter.DrawsWithoutPictures(page);
    const QRectF inches = InchesOf(box, ppi);
    if (bands) {
        std::vector<int> found;
        painter.Canvas().LabelsIn(
            page, {inches.left(), inches.top(), inches.width(), inches.height()}, found);
        bands = found.size() >= kLeastLabelsForBands;
    }
    if (!bands) {
        QPainter p(&picture);
        p.scale(ratio, ratio);
        PaintWithin(p, painter, ppi, area, around, page);
        return;
    }
    // What the threads read of the canvas and of the picture is brought up to date before
    // they start: the index (above), and the drawing order where a band may hold the whole
    // page (a part of it is drawn from the index). Made for every damaged area, the order
    // would cost a click the whole form.
    const CanvasModel& canvas = painter.Canvas();
    if (inches.contains(QRectF(0, 0, canvas.PageWidth(), canvas.PageHeight()))) canvas.LabelOrder();
    uchar* bits = picture.bits();
    const int middle = box.top() + box.height() / 2;
    const CanvasPainter below = painter.Twin();
    std::thread second([&] {
        PaintBand(below, picture, bits, ratio, ppi, area, around, page, middle, box.bottom() + 1);
    });
    PaintBand(painter, picture, bits, ratio, ppi, area, around, page, box.top(), middle);
    second.join();
}
