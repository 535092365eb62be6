#pragma once
// The one drawing of a page: the screen, the printer, PNG and PDF export all go
// through PaintPage, so what the designer shows is what every output shows.
#include <QImage>
#include <QRectF>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "canvas/CanvasModel.h"
#include "drawing/CaptionGlyphs.h"

class QPainter;
class QFont;
class QFontMetricsF;
class QString;

class QSvgRenderer;

// A picture as the canvas draws it: pixels, or a drawing (a metafile) that is
// stretched to whatever frame it is given.
struct Picture {
    QImage raster;
    std::shared_ptr<QSvgRenderer> vector;
    bool IsNull() const { return raster.isNull() && !vector; }
    void Draw(QPainter& p, const QRectF& frame) const;
};

// Pictures by path, read once and again only when the file changes. A picture that
// cannot be read (a damaged file) is remembered as null, so it is not read again on
// every repaint.
class PictureCache {
  public:
    const Picture& Get(const std::string& path);
    void Clear() {
        pictures_.clear();
        ++generation_;
    }
    // Counts the clears: a picture read again may look different.
    std::uint64_t Generation() const { return generation_; }

  private:
    struct Entry {
        std::int64_t modified = 0;
        std::int64_t size = -1;
        Picture picture;
    };
    std::unordered_map<std::string, Entry> pictures_;
    std::uint64_t generation_ = 0;
};

QColor ColorFromBgr(std::uint32_t bgr);

class CanvasPainter {
  public:
    CanvasPainter(const CanvasModel& canvas, const FormModel& model, PictureCache& pictures);

    // Sets up the painter so one unit is one point (1/72 inch) from the page's corner,
    // for a device of pixelsPerInch. Fonts given in points then come out true to size.
    static void BeginPage(QPainter& p, double pixelsPerInch);
    // Paints a page (0-based). exposed: the part to repaint, in inches (empty = all).
    // nextPart, when given, is called after every partLabels labels drawn while more
    // follow, so that a writer can hand on what it holds of the page so far.
    void PaintPage(QPainter& p, int page, const QRectF& exposed = {}, int partLabels = 0,
                   const std::function<void()>& nextPart = {}) const;

    void PaintPaper(QPainter& p, int page) const;
    void PaintBackground(QPainter& p, int page) const;
    void PaintImage(QPainter& p, const ImageRecord& image) const;
    void PaintBox(QPainter& p, const BoxRecord& box) const;
    void PaintHotspot(QPainter& p, const HotspotRecord& hotspot) const;
    void PaintSignatureBox(QPainter& p, const SignatureBoxRecord& box) const;
    void PaintLine(QPainter& p, const LineRecord& line) const;
    void PaintBarcode(QPainter& p, int labelIndex) const;
    // exposed: the part of the page repainted, in points (empty = all).
    void PaintLabel(QPainter& p, int labelIndex, const QRectF& exposed = {}) const;
    // The printout of a page: its picture, then the text of every visible label (no
    // background, border or selection colour), then images and barcode pictures.
    // Shapes belong to the screen and stay off paper.
    void PaintPrintout(QPainter& p, int page) const;
    // Whether a printout of the page would show anything.
    bool HasPrintout(int page) const;
    // Highlights of marked pictures and shapes (the screen only).
    void PaintMarks(QPainter& p, int page) const;

    // A painter of the same canvas and options with caches of its own, for another thread.
    CanvasPainter Twin() const;
    const CanvasModel& Canvas() const { return canvas_; }
    // Whether drawing the page reads no picture (no background, no image).
    bool DrawsWithoutPictures(int page) const;
    CanvasPainter(const CanvasPainter&) = delete;
    CanvasPainter& operator=(const CanvasPainter&) = delete;
    CanvasPainter(CanvasPainter&&);
    ~CanvasPainter();

    // Hatches hotspots and signature boxes as the fill-in option shows them.
    void SetFillIn(bool on) { fillIn_ = on; }
    // Changes whenever an option or the pictures read change what the same page draws.
    std::uint64_t OptionsKey() const {
        return pictures_.Generation() << 1 | std::uint64_t(fillIn_);
    }

  private:
    void PrintLabel(QPainter& p, int labelIndex) const;
    // A caption too small to read, as a bar where its letters would be.
    void PaintCaptionBar(QPainter& p, const LabelControl& c, const QRectF& r, double size) const;
    void PaintPlaceholder(QPainter& p, const QRectF& r, const std::string& name) const;
    const QFont& FontOf(const LabelControl& c, double deviceDpi) const;
    const CaptionGlyphs& CaptionGlyphsOf(const QFont& font, QPainter& p) const;

    const CanvasModel& canvas_;
    const FormModel& model_;
    PictureCache& pictures_;
    bool fillIn_ = false;
    mutable std::unordered_map<std::string, QFont> fonts_;
    // Keyed by the font's entry in fonts_, which never moves.
    mutable std::unordered_map<const QFont*, std::unique_ptr<CaptionGlyphs>> captionGlyphs_;
    mutable const QFont* lastFont_ = nullptr;
    mutable std::string lastFontName_;
    mutable double lastFontSize_ = 0, lastFontDpi_ = 0;
    mutable int lastFontStyle_ = 0;
};

// A caption cut, one character at a time, until it fits width: the last characters go
// unless it is right-aligned, then the first ones.
QString FitCaption(QString text, const QFontMetricsF& metrics, double width,
                   LabelAlignment alignment);

// A rectangle in inches as painter units (points).
QRectF PointsRect(const Rect& r);
