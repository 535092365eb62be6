#pragma once
// The page strip (`canvasArea`): the grey viewport `picContainer` holding one page
// canvas per page, the two scroll bars, the page buttons with the page count, the
// wheel and the auto-scroll of a corner pick. It shows the canvas model's pages and
// current page; what a click on a page means is the window's business.
#include <QWidget>
#include <functional>
#include <vector>

#include "canvas/PageGeometry.h"

class CanvasModel;
class CanvasPainter;
class PageCanvas;
class QLabel;
class Ruler;
class QPushButton;
class QScrollBar;
class QTimer;
class QWheelEvent;

class PageStrip : public QWidget {
    Q_OBJECT
  public:
    // connectPage: called once for every page canvas made, to hook its events.
    PageStrip(CanvasModel& canvas, const CanvasPainter& painter, double pixelsPerInch,
              std::function<void(PageCanvas*)> connectPage, QWidget* parent);
    ~PageStrip() override;

    PageCanvas* PageView(int page) const;
    // Makes page canvases up to page (0-based); false beyond the last possible page.
    bool LoadPageContainer(int page);
    // One page canvas per page of the canvas model, each the model's page size.
    void RebuildPages();
    // Every page canvas becomes width x height inches.
    void SetPageSize(double widthInches, double heightInches);
    void SetGuideLines(bool on);
    // The dotted snap grid on every page, step inches apart (0: none).
    void SetSnapGrid(double step);
    // Repaints every page.
    void RefreshAll();

    // The page buttons "<<", "<", ">", ">>" and the page labels, for the status strip.
    std::vector<QWidget*> NavigationWidgets() const;
    // The page count shown; the buttons work from two pages on.
    void ShowPageCount(int pages);
    // The canvas model's current page becomes page, shown in front.
    void ShowPage(int page);
    // The page count and buttons show only in multipage mode.
    void SetMultipage(bool on);

    // The two scroll bars as they were computed last.
    const ScrollBarState& VerticalBar() const { return vbar_; }
    const ScrollBarState& HorizontalBar() const { return hbar_; }
    // Recomputes the scroll bars from the page and viewport sizes.
    void RecalcScrollBars();
    // Both bars back to the top left corner.
    void ResetScroll();
    // One auto-scroll step toward a side (dx, dy in -1..1), at most one per 40 ms.
    void AutoScroll(int dx, int dy);

    // Zoom: a factor of the screen's size, kept within kMinZoom..kMaxZoom. The point of
    // the page under anchor (viewport pixels; the viewport's centre when negative) stays
    // where it is. Every position stays in inches: only the drawing grows.
    static constexpr double kMinZoom = 0.25, kMaxZoom = 8;
    void SetZoom(double zoom, QPoint anchor = {-1, -1});
    double Zoom() const { return zoom_; }
    // The zoom at which the whole page shows in the viewport.
    double FitPageZoom() const;

  signals:
    void zoomChanged(double zoom);
    // The pointer over a page, in inches.
    void pointerAt(QPointF inches);
    // A page button was clicked: 0..3 for "<<", "<", ">", ">>".
    void pageButtonClicked(int button);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LayoutCanvasArea();
    void PlacePages();
    void OnScroll();
    double TwipsToPixels(double twips) const;
    // True when a bar took the wheel's turn.
    bool ScrollByWheel(QWheelEvent* event);
    // Draws the rest of the kept picture of the page in front, or else of one page beside
    // it that lacks it, and comes back for the others once the window is idle again.
    void PrepareNeighbours();

    CanvasModel& canvas_;
    const CanvasPainter& painter_;
    double PageDpi() const { return ppi_ * zoom_; }

    double ppi_;
    double zoom_ = 1;
    double snapGrid_ = 0;
    std::function<void(PageCanvas*)> connectPage_;
    QWidget* picContainer_ = nullptr;
    std::vector<PageCanvas*> picView_;
    Ruler* hRuler_ = nullptr;
    Ruler* vRuler_ = nullptr;
    QScrollBar* hScroll_ = nullptr;
    QScrollBar* vScroll_ = nullptr;
    QTimer* tmrScrollSpeed_ = nullptr;
    QTimer* idleDrawing_ = nullptr;
    QPushButton* pageMove_[4] = {};
    QLabel* lblPage_ = nullptr;
    QLabel* lblOf_ = nullptr;
    QLabel* lblPageCurr_ = nullptr;
    QLabel* lblPageTotal_ = nullptr;
    ScrollBarState hbar_, vbar_;
};
