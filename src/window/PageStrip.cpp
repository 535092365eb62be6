#include "window/PageStrip.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "canvas/CanvasModel.h"
#include "layout/FormSettings.h"
#include "shell/Units.h"
#include "window/PageCanvas.h"

namespace {
// How long the window must be left alone before the neighbouring pages are drawn.
constexpr int kIdleDrawingDelayMs = 250;
}  // namespace

// A ruler in inches along one side of the viewport: ticks every eighth, quarter or
// half inch as the zoom leaves room, numbers at the inches, the pointer marked.
class Ruler : public QWidget {
  public:
    static constexpr int kThickness = 18;
    Ruler(Qt::Orientation orientation, QWidget* parent)
        : QWidget(parent), orientation_(orientation) {
        setObjectName(orientation == Qt::Horizontal ? "rulerTop" : "rulerLeft");
    }
    // origin: where the page's edge is, in the ruler's pixels.
    void Set(double origin, double ppi) {
        origin_ = origin;
        ppi_ = ppi;
        update();
    }
    void Mark(double inches) {
        mark_ = inches;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(240, 240, 240));
        p.setPen(QColor(96, 96, 96));
        QFont f = font();
        f.setPixelSize(9);
        p.setFont(f);
        const bool across = orientation_ == Qt::Horizontal;
        const int length = across ? width() : height();
        double tick = 0.125;
        while (tick * ppi_ < 5 && tick < 1) tick *= 2;
        int labelEvery = 1;
        while (labelEvery * ppi_ < 28) labelEvery *= 2;
        const long first = long(std::floor(-origin_ / ppi_ / tick));
        const long last = long(std::ceil((length - origin_) / ppi_ / tick));
        for (long i = std::max(0L, first); i <= last; ++i) {
            double inches = double(i) * tick, at = origin_ + inches * ppi_;
            bool whole = std::fmod(inches, 1.0) == 0;
            int size = whole ? kThickness : std::fmod(inches, 0.5) == 0 ? 8 : 4;
            if (across)
                p.drawLine(QPointF(at, kThickness - size), QPointF(at, kThickness));
            else
                p.drawLine(QPointF(kThickness - size, at), QPointF(kThickness, at));
            if (whole && long(inches) % labelEvery == 0 && inches > 0) {
                QString n = QString::number(long(inches));
                if (across)
                    p.drawText(QPointF(at + 2, 9), n);
                else
                    p.drawText(QPointF(1, at + 10), n);
            }
        }
        if (std::isfinite(mark_)) {
            double at = origin_ + mark_ * ppi_;
            p.setPen(QColor(220, 0, 0));
            if (across)
                p.drawLine(QPointF(at, 0), QPointF(at, kThickness));
            else
                p.drawLine(QPointF(0, at), QPointF(kThickness, at));
        }
    }

  private:
    Qt::Orientation orientation_;
    double origin_ = 0, ppi_ = 96, mark_ = std::nan("");
};

PageStrip::PageStrip(CanvasModel& canvas, const CanvasPainter& painter, double pixelsPerInch,
                     std::function<void(PageCanvas*)> connectPage, QWidget* parent)
    : QWidget(parent),
      canvas_(canvas),
      painter_(painter),
      ppi_(pixelsPerInch),
      connectPage_(std::move(connectPage)) {
    setObjectName("canvasArea");
    picContainer_ = new QWidget(this);
    picContainer_->setObjectName("picContainer");
    picContainer_->setAutoFillBackground(true);
    QPalette pal = picContainer_->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    picContainer_->setPalette(pal);
    hRuler_ = new Ruler(Qt::Horizontal, this);
    vRuler_ = new Ruler(Qt::Vertical, this);
    hScroll_ = new QScrollBar(Qt::Horizontal, this);
    hScroll_->setObjectName("HScroll1");
    vScroll_ = new QScrollBar(Qt::Vertical, this);
    vScroll_->setObjectName("VScroll1");
    setMouseTracking(true);
    installEventFilter(this);
    picContainer_->installEventFilter(this);
    connect(hScroll_, &QScrollBar::valueChanged, this, [this] { OnScroll(); });
    connect(vScroll_, &QScrollBar::valueChanged, this, [this] { OnScroll(); });

    const char* captions[4] = {"<<", "<", ">", ">>"};
    for (int i = 0; i < 4; ++i) {
        pageMove_[i] = new QPushButton(captions[i], this);
        pageMove_[i]->setObjectName(QString("pageMove%1").arg(i));
        pageMove_[i]->setFixedWidth(32);
        pageMove_[i]->setFocusPolicy(Qt::NoFocus);  // the keys stay on the page
        connect(pageMove_[i], &QPushButton::clicked, this,
                [this, i] { emit pageButtonClicked(i); });
    }
    lblPage_ = new QLabel("Page:", this);
    lblPageCurr_ = new QLabel("1", this);
    lblPageCurr_->setObjectName("lblPageCurr");
    lblOf_ = new QLabel("of", this);
    lblPageTotal_ = new QLabel("1", this);
    lblPageTotal_->setObjectName("lblPageTotal");

    tmrScrollSpeed_ = new QTimer(this);
    tmrScrollSpeed_->setObjectName("tmrScrollSpeed");
    tmrScrollSpeed_->setInterval(40);
    tmrScrollSpeed_->setSingleShot(true);
    connect(tmrScrollSpeed_, &QTimer::timeout, this, [this] {
        canvas_.Window().scrollThrottle = false;
        tmrScrollSpeed_->stop();
    });
    // The pages beside the one in front are drawn ahead once the user pauses, so that
    // turning to one shows it at once; a page of thousands of labels takes a while.
    idleDrawing_ = new QTimer(this);
    idleDrawing_->setSingleShot(true);
    idleDrawing_->setInterval(kIdleDrawingDelayMs);
    connect(idleDrawing_, &QTimer::timeout, this, &PageStrip::PrepareNeighbours);
}

void PageStrip::PrepareNeighbours() {
    // The page in front first: only what the viewport shows of it was drawn.
    const int current = canvas_.Window().currentPage;
    for (int page : {current, current + 1, current - 1}) {
        PageCanvas* v = PageView(page);
        if (v && v->PrepareKeptPage()) {
            idleDrawing_->start();
            return;
        }
    }
}

PageStrip::~PageStrip() {
    // Page canvases paint from the models; they go before anything else does.
    for (PageCanvas* v : picView_) delete v;
    picView_.clear();
}

std::vector<QWidget*> PageStrip::NavigationWidgets() const {
    return {pageMove_[0], pageMove_[1],  lblPage_,     lblPageCurr_,
            lblOf_,       lblPageTotal_, pageMove_[2], pageMove_[3]};
}

double PageStrip::TwipsToPixels(double twips) const {
    return units::TwipsToPixels(twips, ppi_);
}

PageCanvas* PageStrip::PageView(int page) const {
    return page >= 0 && size_t(page) < picView_.size() ? picView_[size_t(page)] : nullptr;
}

bool PageStrip::LoadPageContainer(int page) {
    if (page < 0 || page >= kMaxPages) return false;
    while (int(picView_.size()) <= page) {
        auto* v = new PageCanvas(canvas_, painter_, int(picView_.size()), picContainer_);
        v->SetPixelsPerInch(PageDpi());
        v->SetPageSize(canvas_.PageWidth(), canvas_.PageHeight());
        v->SetGuideLines(canvas_.Window().guideLines);
        v->SetSnapGrid(snapGrid_);
        connectPage_(v);
        connect(v, &PageCanvas::painted, this, [this](int page) {
            if (page == canvas_.Window().currentPage) idleDrawing_->start();
        });
        connect(v, &PageCanvas::pointerMoved, this, [this](QPointF inches) {
            hRuler_->Mark(inches.x());
            vRuler_->Mark(inches.y());
            emit pointerAt(inches);
        });
        v->installEventFilter(this);
        v->hide();
        picView_.push_back(v);
    }
    canvas_.LoadPageContainer(page);
    return true;
}

void PageStrip::RebuildPages() {
    int pages = canvas_.PageCount();
    while (int(picView_.size()) > pages) {
        delete picView_.back();
        picView_.pop_back();
    }
    for (int i = 0; i < pages; ++i) LoadPageContainer(i);
    for (PageCanvas* v : picView_) {
        v->SetPageSize(canvas_.PageWidth(), canvas_.PageHeight());
        v->update();
    }
}

void PageStrip::SetPageSize(double w, double h) {
    for (PageCanvas* v : picView_) v->SetPageSize(w, h);
    RecalcScrollBars();
    PlacePages();
}

void PageStrip::SetSnapGrid(double step) {
    snapGrid_ = step;
    for (PageCanvas* v : picView_) v->SetSnapGrid(step);
}

void PageStrip::SetGuideLines(bool on) {
    for (PageCanvas* v : picView_) v->SetGuideLines(on);
}

void PageStrip::RefreshAll() {
    for (PageCanvas* v : picView_) v->update();
}

void PageStrip::ShowPageCount(int pages) {
    bool several = pages >= 2;
    lblPageTotal_->setText(several ? QString::number(pages) : QString("1"));
    for (QPushButton* b : pageMove_) b->setEnabled(several);
    lblPageCurr_->setText(QString::number(std::max(1, canvas_.Window().currentPageNumber)));
}

void PageStrip::ShowPage(int page) {
    canvas_.ShowPage(page);
    lblPageCurr_->setText(QString::number(canvas_.Window().currentPageNumber));
    PlacePages();
}

void PageStrip::SetMultipage(bool on) {
    for (QPushButton* b : pageMove_) b->setVisible(on);
    for (QLabel* l : {lblPage_, lblOf_, lblPageCurr_, lblPageTotal_}) l->setVisible(on);
}

void PageStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutCanvasArea();
}

void PageStrip::LayoutCanvasArea() {
    // The left ruler takes room beside the margin; the top one fits in the top margin.
    int left = int(std::lround(TwipsToPixels(kCanvasMargins[1]))) + Ruler::kThickness;
    int top = int(std::lround(TwipsToPixels(kCanvasMargins[0])));
    int right = int(std::lround(TwipsToPixels(kCanvasMargins[2])));
    int bottom = int(std::lround(TwipsToPixels(kCanvasMargins[3])));
    int areaW = width(), areaH = height();
    int vw = vScroll_->sizeHint().width(), hh = hScroll_->sizeHint().height();
    int cw = areaW - left - vw - right, ch = areaH - top - hh - bottom;
    QRect g = picContainer_->geometry();
    g.moveTo(left, top);
    if (cw > 0) g.setWidth(cw);
    if (ch > 0) g.setHeight(ch);
    picContainer_->setGeometry(g);
    hRuler_->setGeometry(left, std::max(0, top - Ruler::kThickness), g.width(),
                         std::min(top, int(Ruler::kThickness)));
    vRuler_->setGeometry(left - Ruler::kThickness, top, Ruler::kThickness, g.height());
    vScroll_->setGeometry(int(areaW - 1.3 * vw), top, vw, g.height());
    hScroll_->setGeometry(left, int(areaH - 1.3 * hh), g.width(), hh);
    RecalcScrollBars();
    PlacePages();
}

void PageStrip::RecalcScrollBars() {
    double cw = units::PixelsToInches(picContainer_->width(), PageDpi()),
           ch = units::PixelsToInches(picContainer_->height(), PageDpi());
    vbar_ = ComputeVerticalScrollBar(canvas_.PageHeight(), ch, vbar_);
    hbar_ = ComputeHorizontalScrollBar(canvas_.PageWidth(), cw, ch, hbar_);
    // The rule's thresholds were made for one fixed scale; zoomed in, they can hide a
    // bar while the page runs past the viewport, and then its far part cannot be
    // reached, nor the point under the pointer kept by a zoom. A page larger than the
    // viewport always gets its bar, reaching the far edge.
    auto reach = [](ScrollBarState& s, double page, double view) {
        const int needed =
            int(std::ceil(units::InchesToTwips(page - view) / kScrollStepTwips - 1e-9));
        if (needed > 0 && !s.visible) s = {0, needed, std::max(1, needed / 4), 1, true};
    };
    reach(vbar_, canvas_.PageHeight(), ch);
    reach(hbar_, canvas_.PageWidth(), cw);
    auto apply = [](QScrollBar* bar, const ScrollBarState& s) {
        QSignalBlocker block(bar);
        bar->setRange(s.minimum, std::max(s.minimum, s.maximum));
        bar->setPageStep(s.largeChange);
        bar->setSingleStep(s.smallChange);
        if (!s.visible) bar->setValue(0);
        bar->setVisible(s.visible);
    };
    apply(vScroll_, vbar_);
    apply(hScroll_, hbar_);
}

void PageStrip::ResetScroll() {
    {
        QSignalBlocker bh(hScroll_), bv(vScroll_);
        hScroll_->setValue(0);
        vScroll_->setValue(0);
    }
    RecalcScrollBars();
}

void PageStrip::OnScroll() {
    CanvasWindowState& w = canvas_.Window();
    w.lastHorizontal = hScroll_->value();
    w.lastVertical = vScroll_->value();
    PlacePages();
}

void PageStrip::PlacePages() {
    // Whatever moved comes first; the page in front starts the wait again once painted.
    idleDrawing_->stop();
    if (picView_.empty()) return;
    double step = units::TwipsToPixels(kScrollStepTwips, PageDpi());
    QPoint at(-int(std::lround(hScroll_->value() * step)),
              -int(std::lround(vScroll_->value() * step)));
    hRuler_->Set(at.x(), PageDpi());
    vRuler_->Set(at.y(), PageDpi());
    int current = std::clamp(canvas_.Window().currentPage, 0, int(picView_.size()) - 1);
    for (PageCanvas* v : picView_) {
        v->move(at);
        // Only the page in front is drawn; the others wait hidden behind it.
        v->setVisible(v->Page() == current);
    }
    picView_[size_t(current)]->raise();
}

void PageStrip::AutoScroll(int dx, int dy) {
    CanvasWindowState& w = canvas_.Window();
    if (w.scrollThrottle) return;
    auto step = [](QScrollBar* bar, int d) {
        if (d == 0 || !bar->isVisible()) return;
        bar->setValue(
            std::clamp(bar->value() + d * bar->singleStep(), bar->minimum(), bar->maximum()));
    };
    step(hScroll_, dx);
    step(vScroll_, dy);
    w.scrollThrottle = true;
    tmrScrollSpeed_->start();
}

bool PageStrip::ScrollByWheel(QWheelEvent* event) {
    // A notch of the wheel scrolls the page by nine of the bars' 100-twip steps; with
    // Shift, or a sideways wheel, across.
    QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ShiftModifier) delta = QPoint(delta.y(), delta.x());
    auto scroll = [](QScrollBar* bar, int angle) {
        if (angle == 0 || !bar->isVisible()) return false;
        int steps = int(std::lround(-angle / 120.0 * 9));
        if (steps == 0) steps = angle > 0 ? -1 : 1;
        bar->setValue(std::clamp(bar->value() + steps, bar->minimum(), bar->maximum()));
        return true;
    };
    bool used = scroll(vScroll_, delta.y());
    return scroll(hScroll_, delta.x()) || used;
}

double PageStrip::FitPageZoom() const {
    double w = units::InchesToPixels(canvas_.PageWidth(), ppi_),
           h = units::InchesToPixels(canvas_.PageHeight(), ppi_);
    if (!(w > 0) || !(h > 0)) return 1;
    return std::clamp(std::min(picContainer_->width() / w, picContainer_->height() / h), kMinZoom,
                      kMaxZoom);
}

void PageStrip::SetZoom(double zoom, QPoint anchor) {
    if (!std::isfinite(zoom)) return;
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (anchor.x() < 0 || anchor.y() < 0) anchor = picContainer_->rect().center();
    // The inches under the anchor, before and after; the bars count 100-twip steps.
    const double stepInches = units::TwipsToInches(kScrollStepTwips);
    auto offset = [&](QScrollBar* bar, int pixels, double from, double to) {
        double inches = bar->value() * stepInches + pixels / from;
        return int(std::lround((inches - pixels / to) / stepInches));
    };
    const double from = PageDpi(), to = ppi_ * zoom;
    int h = offset(hScroll_, anchor.x(), from, to), v = offset(vScroll_, anchor.y(), from, to);
    zoom_ = zoom;
    for (PageCanvas* page : picView_) {
        page->SetPixelsPerInch(PageDpi());
        page->SetPageSize(canvas_.PageWidth(), canvas_.PageHeight());
    }
    RecalcScrollBars();
    {
        // The point stays under the pointer even where that takes the page past the
        // bar's usual range (grey showing beyond its edge): the range widens to it until
        // the bars are computed again.
        QSignalBlocker bh(hScroll_), bv(vScroll_);
        for (auto [bar, value] : {std::pair{hScroll_, h}, {vScroll_, v}}) {
            if (value == 0 && !bar->isVisible()) continue;
            bar->setRange(std::min(bar->minimum(), value), std::max(bar->maximum(), value));
            bar->setValue(value);
            bar->setVisible(true);
        }
    }
    OnScroll();
    RefreshAll();
    emit zoomChanged(zoom_);
}

bool PageStrip::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        // Ctrl and the wheel zoom around the pointer; the wheel alone scrolls.
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int angle = wheel->angleDelta().y();
            if (angle == 0) return true;
            int notches = angle / 120;
            if (notches == 0) notches = angle > 0 ? 1 : -1;
            QPoint at = picContainer_->mapFromGlobal(wheel->globalPosition().toPoint());
            SetZoom(zoom_ * std::pow(1.25, notches), at);
            return true;
        }
        if (ScrollByWheel(wheel)) return true;
    }
    if (watched == this && event->type() == QEvent::MouseMove && canvas_.Window().cornerPick) {
        // Beyond the viewport while picking a corner: the page scrolls toward the pointer.
        QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        QRect c = picContainer_->geometry();
        int dx = pos.x() < c.left() ? -1 : pos.x() > c.right() ? 1 : 0;
        int dy = pos.y() < c.top() ? -1 : pos.y() > c.bottom() ? 1 : 0;
        if (dx || dy) AutoScroll(dx, dy);
    }
    return QWidget::eventFilter(watched, event);
}
