#include "canvas/view/PageCanvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "canvas/CanvasModel.h"
#include "canvas/CanvasPainter.h"

PageCanvas::PageCanvas(const CanvasModel& canvas, const CanvasPainter& painter, int page,
                       QWidget* parent)
    : QWidget(parent), canvas_(canvas), painter_(painter), page_(page) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    p.fillRect(exposed, palette().color(QPalette::Mid));
    p.setClipRect(exposed);
    p.save();
    CanvasPainter::BeginPage(p, ppi_);
    QRectF inches(ToInches(exposed.x()), ToInches(exposed.y()), ToInches(exposed.width()),
                  ToInches(exposed.height()));
    painter_.PaintPage(p, page_, inches);
    p.restore();
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
