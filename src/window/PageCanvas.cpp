#include "window/PageCanvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <list>

#include "canvas/CanvasModel.h"
#include "drawing/CanvasPainter.h"
#include "drawing/PageAreaPainter.h"

namespace {
// Kept pictures of pages, most recently drawn first. Their bytes together stay under a
// budget, so a form of many pages at a high zoom does not keep them all.
constexpr qint64 kKeptBytes = 160ll << 20;
std::list<PageCanvas*>& KeptPages() {
    static std::list<PageCanvas*> pages;
    return pages;
}
// Repaint areas are merged into one beyond this many: a region of thousands of
// rectangles costs more than it saves.
constexpr std::size_t kMostAreas = 64;
}  // namespace

PageCanvas::PageCanvas(const CanvasModel& canvas, const CanvasPainter& painter, int page,
                       QWidget* parent)
    : QWidget(parent), canvas_(canvas), painter_(painter), page_(page) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The keys (arrows, Delete, Escape) act on the page: a click on it takes them.
    setFocusPolicy(Qt::StrongFocus);
}

QRectF PageCanvas::InchesOf(const QRect& pixels) const {
    return {ToInches(pixels.x()), ToInches(pixels.y()), ToInches(pixels.width()),
            ToInches(pixels.height())};
}

PageCanvas::~PageCanvas() {
    KeptPages().remove(this);
}

void PageCanvas::DropKeptPage() {
    kept_ = QImage();
    stale_ = QRegion();
    damage_.Reset();
    KeptPages().remove(this);
}

bool PageCanvas::DrawKeptPage(QPainter& p, const QRect& exposed) {
    bool drew = false;
    if (!RefreshKeptPage(exposed, drew)) return false;
    const qreal ratio = devicePixelRatioF();
    p.drawImage(QRectF(exposed), kept_,
                QRectF(exposed.x() * ratio, exposed.y() * ratio, exposed.width() * ratio,
                       exposed.height() * ratio));
    return true;
}

bool PageCanvas::PrepareKeptPage() {
    // Only while the page in front and both its neighbours fit the budget together:
    // drawing ahead must never push out the picture on the screen.
    const QSize pixels = (QSizeF(size()) * devicePixelRatioF()).toSize();
    if (qint64(pixels.width()) * pixels.height() * 4 > kKeptBytes / 3) return false;
    bool drew = false;
    return RefreshKeptPage(rect(), drew) && drew;
}

bool PageCanvas::RefreshKeptPage(const QRect& exposed, bool& drew) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    const qint64 bytes = qint64(pixels.width()) * pixels.height() * 4;
    if (bytes > kKeptBytes / 2) {
        DropKeptPage();
        return false;
    }
    if (kept_.size() != pixels) {
        DropKeptPage();
        kept_ = QImage(pixels, QImage::Format_RGB32);
    }
    auto& kept = KeptPages();
    kept.remove(this);
    kept.push_front(this);
    qint64 total = 0;
    for (auto it = kept.begin(); it != kept.end();) {
        PageCanvas* other = *it++;
        total += other->kept_.sizeInBytes();
        if (total > kKeptBytes && other != this) other->DropKeptPage();
    }

    const std::uint64_t options =
        std::uint64_t(std::llround(ppi_ * 1000)) << 32 ^ std::uint64_t(painter_.OptionsKey());
    PageDamage::Result damage = damage_.Take(canvas_, page_, options);
    auto toPixels = [&](const Rect& r) {
        return QRectF(ToPixels(r.left), ToPixels(r.top), ToPixels(r.width), ToPixels(r.height))
            .toAlignedRect()
            .adjusted(-2, -2, 2, 2);
    };
    if (damage.all) {
        stale_ = rect();
    } else if (damage.rects.size() > kMostAreas) {
        QRect all;
        for (const Rect& r : damage.rects) all |= toPixels(r);
        stale_ += all & rect();
    } else {
        for (const Rect& r : damage.rects) stale_ += toPixels(r) & rect();
    }

    const QRegion now = stale_ & exposed;
    if (!now.isEmpty()) {
        PaintPageArea(painter_, kept_, ratio, ppi_, now, palette().color(QPalette::Mid), page_);
        stale_ -= now;
        drew = true;
    }
    return true;
}

void PageCanvas::SetPageSize(double w, double h) {
    // Absurd sizes from a damaged layout must not ask for a giant widget.
    auto px = [&](double inches) {
        if (!std::isfinite(inches) || inches <= 0) return 1;
        return int(std::min(units::InchesToPixels(inches, ppi_), 30000.0)) + 1;
    };
    resize(px(w), px(h));
}

void PageCanvas::SetGuideLines(bool on) {
    guideLines_ = on;
    update();
}

void PageCanvas::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    QRect exposed = event->rect();
    p.setClipRect(exposed);
    const QRectF inches = InchesOf(exposed);
    if (!DrawKeptPage(p, exposed)) {
        p.fillRect(exposed, palette().color(QPalette::Mid));
        p.save();
        CanvasPainter::BeginPage(p, ppi_);
        painter_.PaintPage(p, page_, inches);
        p.restore();
    }
    if (snapGrid_ > 0 && ToPixels(snapGrid_) >= 4) {
        // Only where the page is exposed: a fine grid on a large page is many dots.
        QPolygonF dots;
        const double right = std::min(inches.right(), canvas_.PageWidth()),
                     bottom = std::min(inches.bottom(), canvas_.PageHeight());
        for (double y = std::ceil(inches.top() / snapGrid_) * snapGrid_; y <= bottom;
             y += snapGrid_)
            for (double x = std::ceil(inches.left() / snapGrid_) * snapGrid_; x <= right;
                 x += snapGrid_)
                dots << QPointF(ToPixels(x), ToPixels(y));
        p.setPen(QPen(QColor(0, 0, 160), 1));
        p.drawPoints(dots);
    }
    p.save();
    CanvasPainter::BeginPage(p, ppi_);
    if (overlay_) overlay_(p);
    p.restore();
    if (guideLines_ && pointerInside_ && !canvas_.Window().cornerPick) {
        // From the pointer to the far edge, one horizontal and one vertical.
        p.setPen(QPen(QColor(0, 0, 255), 1, Qt::DotLine));
        QPointF at(ToPixels(guide_.x()), ToPixels(guide_.y()));
        p.drawLine(at, QPointF(width(), at.y()));
        p.drawLine(at, QPointF(at.x(), height()));
    }
    emit painted(page_);
}

void PageCanvas::UpdateGuideStrips(const QPointF& from, const QPointF& to) {
    for (const QPointF& pt : {from, to}) {
        int x = int(ToPixels(pt.x())), y = int(ToPixels(pt.y()));
        update(QRect(x - 2, y - 2, width() - x + 4, 5));
        update(QRect(x - 2, y - 2, 5, height() - y + 4));
    }
}

void PageCanvas::mouseMoveEvent(QMouseEvent* event) {
    QPointF inches(ToInches(event->position().x()), ToInches(event->position().y()));
    QPointF old = guide_;
    guide_ = inches;
    bool wasInside = pointerInside_;
    pointerInside_ = true;
    if (guideLines_) {
        if (wasInside)
            UpdateGuideStrips(old, guide_);
        else
            update();
    }
    emit pointerMoved(inches);
    QWidget::mouseMoveEvent(event);
}

void PageCanvas::leaveEvent(QEvent* event) {
    pointerInside_ = false;
    if (guideLines_) update();
    QWidget::leaveEvent(event);
}

void PageCanvas::mousePressEvent(QMouseEvent* event) {
    QPointF inches(ToInches(event->position().x()), ToInches(event->position().y()));
    emit pressed(inches, event->button(), event->modifiers());
}

void PageCanvas::mouseReleaseEvent(QMouseEvent* event) {
    QPointF inches(ToInches(event->position().x()), ToInches(event->position().y()));
    emit released(inches, event->button());
}
