#pragma once
// One page canvas (`picView`): a widget the size of its page that paints the page
// through CanvasPainter and draws the pointer's guide lines over it. The whole page
// is one widget so that thousands of items cost drawing time only where they show.
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <functional>

#include "canvas/PageDamage.h"
#include "shell/Units.h"

class CanvasPainter;
class CanvasModel;

class PageCanvas : public QWidget {
    Q_OBJECT
  public:
    PageCanvas(const CanvasModel& canvas, const CanvasPainter& painter, int page,
               QWidget* parent = nullptr);
    ~PageCanvas() override;
    int Page() const { return page_; }
    void SetPixelsPerInch(double ppi) { ppi_ = ppi; }
    double PixelsPerInch() const { return ppi_; }
    double ToInches(double pixels) const { return units::PixelsToInches(pixels, ppi_); }
    double ToPixels(double inches) const { return units::InchesToPixels(inches, ppi_); }
    // Sizes the widget to the page's inches.
    void SetPageSize(double widthInches, double heightInches);
    // Guide lines through a point (inches); hidden when off.
    void SetGuideLines(bool on);
    QPointF GuidePoint() const { return guide_; }
    // A dotted grid every step inches (0: none), for snapping.
    void SetSnapGrid(double step) {
        snapGrid_ = step;
        update();
    }
    // The page as last drawn, without what is drawn over it (null when not kept).
    const QImage& KeptPicture() const { return kept_; }
    // Drawn over the page in the painter's page units (points), screen only.
    void SetOverlay(std::function<void(QPainter&)> overlay) { overlay_ = std::move(overlay); }
    // Brings the whole kept picture up to date without showing it, so that the page
    // shows at once when it comes to the front; false when nothing needed drawing or
    // the page is too large to keep.
    bool PrepareKeptPage();

  signals:
    // After the page painted itself on the screen.
    void painted(int page);
    void pointerMoved(QPointF inches);
    void pressed(QPointF inches, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void released(QPointF inches, Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Brings the kept picture of the page up to date where exposed and draws it; false
    // when the page is too large to keep at this zoom.
    bool DrawKeptPage(QPainter& p, const QRect& exposed);
    // Draws what is stale of the kept picture within area; false when the page is too
    // large to keep at this zoom. drew tells whether anything was drawn.
    bool RefreshKeptPage(const QRect& area, bool& drew);
    void DropKeptPage();
    QRectF InchesOf(const QRect& pixels) const;
    void UpdateGuideStrips(const QPointF& from, const QPointF& to);
    const CanvasModel& canvas_;
    const CanvasPainter& painter_;
    int page_;
    double ppi_ = 96;
    bool guideLines_ = false;
    double snapGrid_ = 0;
    bool pointerInside_ = false;
    QPointF guide_;
    std::function<void(QPainter&)> overlay_;
    // The page as last drawn (paper, pictures, shapes and labels, no overlay), the parts
    // of it known to be out of date, and what it showed.
    QImage kept_;
    QRegion stale_;
    PageDamage damage_;
};
