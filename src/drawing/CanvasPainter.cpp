#include "drawing/CanvasPainter.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <unordered_map>
#include <vector>

#include "drawing/Barcode.h"
#include "drawing/Metafile.h"
#include "shell/AtomicFile.h"
#include "shell/Units.h"
#include "shell/qt/QtText.h"

namespace {
using units::InchesToPoints;
// One pixel of a 96 dpi screen, the unit shape border widths are counted in.
constexpr double kPixelPoints = units::kPointsPerInch / 96;
// A caption whose letters come out smaller than this many pixels cannot be read: a bar
// in its ink shows where it lies for a fraction of what shaping its glyphs costs.
constexpr double kLeastReadablePixels = 4;

bool Finite(const Rect& r) {
    return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.width) &&
           std::isfinite(r.height);
}

Qt::PenStyle BoxPenStyle(int styleCode) {
    switch (BoxStyleFromCode(styleCode)) {
        case 2:
            return Qt::DashLine;
        case 3:
            return Qt::DotLine;
        case 4:
            return Qt::DashDotLine;
        case 5:
            return Qt::DashDotDotLine;
        default:
            return Qt::SolidLine;
    }
}

// Drops from labels (back to front) each one a later label of exactly its place covers:
// that label's fill hides it, and its border if the later one has a border too.
void DropHiddenTwins(const CanvasModel& canvas, std::vector<int>& labels) {
    struct PlaceHash {
        size_t operator()(const Rect& r) const { return size_t(LookHasher().Add(r).Value()); }
    };
    std::unordered_map<Rect, bool, PlaceHash> bordered;  // the places seen, from the top
    bordered.reserve(labels.size());
    std::vector<bool> hidden(labels.size());
    bool any = false;
    for (size_t k = labels.size(); k-- > 0;) {
        const LabelControl* c = canvas.LabelAt(labels[k]);
        if (!(c->width > 0 && c->height > 0)) continue;  // fills nothing, hides nothing
        auto [at, first] =
            bordered.try_emplace({c->left, c->top, c->width, c->height}, c->bordered);
        if (!first && (at->second || !c->bordered)) hidden[k] = any = true;
        at->second = at->second || c->bordered;
    }
    if (!any) return;
    size_t kept = 0;
    for (size_t k = 0; k < labels.size(); ++k)
        if (!hidden[k]) labels[kept++] = labels[k];
    labels.resize(kept);
}

}  // namespace

QRectF PointsRect(const Rect& r) {
    return {InchesToPoints(r.left), InchesToPoints(r.top), InchesToPoints(r.width),
            InchesToPoints(r.height)};
}

QColor ColorFromBgr(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void Picture::Draw(QPainter& p, const QRectF& frame) const {
    if (vector) {
        p.save();
        vector->render(&p, frame);
        p.restore();
    } else if (!raster.isNull()) {
        p.drawImage(frame, raster);
    }
}

const Picture& PictureCache::Get(const std::string& path) {
    // Size and time of change tell a file rewritten in place from the one read before.
    std::error_code ec;
    std::filesystem::path file(path);
    auto size = path.empty() ? -1 : std::int64_t(std::filesystem::file_size(file, ec));
    if (ec) size = -1;
    auto modified =
        size < 0
            ? 0
            : std::int64_t(std::filesystem::last_write_time(file, ec).time_since_epoch().count());
    auto it = pictures_.find(path);
    if (it != pictures_.end() && it->second.size == size && it->second.modified == modified)
        return it->second.picture;
    Entry entry{modified, size, {}};
    std::string bytes, error;
    if (size >= 0 && files::ReadWholeFile(path, bytes, error)) {
        if (SniffMetafile(bytes) == MetafileKind::None) {
            entry.picture.raster = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                                                    int(std::min<size_t>(bytes.size(), INT_MAX)));
        } else if (std::string svg = MetafileToSvg(bytes); !svg.empty()) {
            auto renderer = std::make_shared<QSvgRenderer>(QByteArray::fromStdString(svg));
            if (renderer->isValid()) entry.picture.vector = std::move(renderer);
        }
    }
    return (pictures_[path] = std::move(entry)).picture;
}

CanvasPainter::CanvasPainter(const CanvasModel& canvas, const FormModel& model,
                             PictureCache& pictures)
    : canvas_(canvas), model_(model), pictures_(pictures) {}

void CanvasPainter::BeginPage(QPainter& p, double pixelsPerInch) {
    // Pixels per point.
    p.scale(pixelsPerInch / units::kPointsPerInch, pixelsPerInch / units::kPointsPerInch);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void CanvasPainter::PaintPage(QPainter& p, int page, const QRectF& exposed, int partLabels,
                              const std::function<void()>& nextPart) const {
    auto visible = [&](const Rect& r) {
        if (!Finite(r)) return false;
        if (exposed.isEmpty()) return true;
        // Zero-width shapes (lines, empty boxes) still touch the area they lie in.
        QRectF box(r.left, r.top, std::max(r.width, 1e-3), std::max(r.height, 1e-3));
        return box.intersects(exposed);
    };
    PaintPaper(p, page);
    PaintBackground(p, page);
    for (const auto& im : canvas_.Images())
        if (im.active && im.page == page && visible(im.r)) PaintImage(p, im);
    for (const auto& b : canvas_.Boxes())
        if (b.active && b.page == page && visible(b.r)) PaintBox(p, b);
    for (const auto& h : canvas_.Hotspots())
        if (h.active && h.page == page && visible(h.r)) PaintHotspot(p, h);
    for (const auto& s : canvas_.SignatureBoxes())
        if (s.active && s.page == page && visible(s.r)) PaintSignatureBox(p, s);
    for (const auto& l : canvas_.Lines()) {
        Rect r{std::min(l.x1, l.x2), std::min(l.y1, l.y2), std::fabs(l.x2 - l.x1),
               std::fabs(l.y2 - l.y1)};
        if (l.active && l.page == page && visible(r)) PaintLine(p, l);
    }
    for (const auto& b : canvas_.Barcodes()) {
        const LabelControl* c = canvas_.LabelAt(b.label);
        if (b.active && c && c->visible && c->page == page && visible(canvas_.BarcodeRect(b.label)))
            PaintBarcode(p, b.label);
    }
    // An area less than the page draws only the labels the canvas's index finds there.
    const bool whole = exposed.isEmpty() ||
                       exposed.contains(QRectF(0, 0, canvas_.PageWidth(), canvas_.PageHeight()));
    std::vector<int> found;
    const Rect area{exposed.left(), exposed.top(), exposed.width(), exposed.height()};
    if (!whole) canvas_.LabelsIn(page, area, found);
    const QRectF exposedPoints = whole ? QRectF() : PointsRect(area);
    std::vector<int> shown;
    for (int i : whole ? canvas_.LabelOrder() : found) {
        const LabelControl* c = canvas_.LabelAt(i);
        if (c && c->visible && c->page == page && visible({c->left, c->top, c->width, c->height}))
            shown.push_back(i);
    }
    // On screen a label under a twin of its place shows nothing: every label fills its
    // place opaquely and its letters are cut to it. Forms pasted onto themselves stack
    // dozens of labels on each spot. Printers and PDF files keep every label's text.
    if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster)
        DropHiddenTwins(canvas_, shown);
    int drawn = 0;
    for (int i : shown) {
        if (partLabels > 0 && drawn > 0 && drawn % partLabels == 0 && nextPart) nextPart();
        PaintLabel(p, i, exposedPoints);
        ++drawn;
    }
}

CanvasPainter::CanvasPainter(CanvasPainter&&) = default;
CanvasPainter::~CanvasPainter() = default;

CanvasPainter CanvasPainter::Twin() const {
    CanvasPainter twin(canvas_, model_, pictures_);
    twin.fillIn_ = fillIn_;
    return twin;
}

bool CanvasPainter::DrawsWithoutPictures(int page) const {
    if (!canvas_.BackgroundPath(page).empty()) return false;
    for (const auto& im : canvas_.Images())
        if (im.active && im.page == page) return false;
    return true;
}

bool CanvasPainter::HasPrintout(int page) const {
    if (!canvas_.BackgroundPath(page).empty()) return true;
    for (int i : canvas_.LabelOrder())
        if (const LabelControl* c = canvas_.LabelAt(i);
            c && c->visible && c->page == page && !canvas_.IsCompanionLabel(i))
            return true;
    for (const auto& im : canvas_.Images())
        if (im.active && im.page == page) return true;
    for (const auto& b : canvas_.Barcodes()) {
        const LabelControl* c = canvas_.LabelAt(b.label);
        if (b.active && c && c->page == page) return true;
    }
    return false;
}

void CanvasPainter::PaintPrintout(QPainter& p, int page) const {
    PaintBackground(p, page);
    // A shape's companion label names it on the screen only: on paper it would be white
    // text that nobody sees but a PDF still carries.
    for (int i : canvas_.LabelOrder()) {
        const LabelControl* c = canvas_.LabelAt(i);
        if (c && c->visible && c->page == page && !canvas_.IsCompanionLabel(i)) PrintLabel(p, i);
    }
    for (const auto& im : canvas_.Images())
        if (im.active && im.page == page && Finite(im.r)) PaintImage(p, im);
    for (const auto& b : canvas_.Barcodes()) {
        const LabelControl* c = canvas_.LabelAt(b.label);
        if (b.active && c && c->visible && c->page == page && Finite(canvas_.BarcodeRect(b.label)))
            PaintBarcode(p, b.label);
    }
}

void CanvasPainter::PaintMarks(QPainter& p, int page) const {
    // The picture or shape whose dialog is open wears a highlight frame.
    auto frame = [&](const Rect& r) {
        p.save();
        p.setPen(QPen(QColor(0, 120, 215), 2 * kPixelPoints, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(PointsRect(r).adjusted(-2, -2, 2, 2));
        p.restore();
    };
    for (const auto& im : canvas_.Images())
        if (im.active && im.marked && im.page == page) frame(im.r);
    for (const auto& h : canvas_.Hotspots())
        if (h.active && h.marked && h.page == page) frame(h.r);
    for (const auto& s : canvas_.SignatureBoxes())
        if (s.active && s.marked && s.page == page) frame(s.r);
    for (const auto& b : canvas_.Boxes())
        if (b.active && b.marked && b.page == page) frame(b.r);
    for (const auto& b : canvas_.Barcodes()) {
        const LabelControl* c = canvas_.LabelAt(b.label);
        if (b.active && b.marked && c && c->page == page) frame(canvas_.BarcodeRect(b.label));
    }
}

void CanvasPainter::PaintPaper(QPainter& p, int) const {
    QRectF page = PointsRect({0, 0, canvas_.PageWidth(), canvas_.PageHeight()});
    if (page.isValid()) p.fillRect(page, Qt::white);
}

void CanvasPainter::PaintBackground(QPainter& p, int page) const {
    std::string path = canvas_.BackgroundPath(page);
    if (path.empty()) return;
    const Picture& picture = pictures_.Get(path);
    QRectF pageRect = PointsRect({0, 0, canvas_.PageWidth(), canvas_.PageHeight()});
    if (picture.IsNull()) {
        // An unreadable picture: the page shows that one is there.
        PaintPlaceholder(p, pageRect, QFileInfo(toUnicode(path)).fileName().toStdString());
        return;
    }
    if (picture.vector) {  // a metafile fills the page
        picture.Draw(p, pageRect);
        return;
    }
    const QImage& image = picture.raster;
    // A page picture keeps its own size, as its resolution gives it.
    double dpiX =
        units::DotsPerMetreToDpi(image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() : 3780);
    double dpiY =
        units::DotsPerMetreToDpi(image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() : 3780);
    QRectF target(0, 0, InchesToPoints(units::PixelsToInches(image.width(), dpiX)),
                  InchesToPoints(units::PixelsToInches(image.height(), dpiY)));
    p.save();
    // Within the caller's clip: a page repainted in part must not get the picture
    // anywhere else, over what lies above it there.
    p.setClipRect(pageRect, Qt::IntersectClip);
    p.drawImage(target, image);
    p.restore();
}

void CanvasPainter::PaintPlaceholder(QPainter& p, const QRectF& r, const std::string& name) const {
    p.save();
    p.setPen(QPen(QColor(128, 128, 128), kPixelPoints, Qt::DashLine));
    p.setBrush(QColor(240, 240, 240));
    p.drawRect(r);
    p.setPen(QPen(QColor(200, 200, 200), kPixelPoints));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
    QFont f("Arial");
    f.setPointSizeF(units::FontSizeOnPointScale(std::clamp(r.height() / 4, 4.0, 9.0),
                                                std::max(1, p.device()->logicalDpiY())));
    p.setFont(f);
    p.setPen(QColor(64, 64, 64));
    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, toUnicode(name));
    p.restore();
}

void CanvasPainter::PaintImage(QPainter& p, const ImageRecord& im) const {
    QRectF r = PointsRect(im.r);
    const Picture& picture = pictures_.Get(im.path);
    if (picture.IsNull()) {
        PaintPlaceholder(p, r, im.name);
        return;
    }
    picture.Draw(p, r);
}

void CanvasPainter::PaintBox(QPainter& p, const BoxRecord& b) const {
    p.save();
    QPen pen(ColorFromBgr(std::uint32_t(b.borderColor) & 0xFFFFFF),
             std::max(1, b.borderWidth) * kPixelPoints, BoxPenStyle(b.styleCode));
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(fillIn_ ? QBrush(pen.color(), Qt::DiagCrossPattern) : Qt::NoBrush);
    p.drawRect(PointsRect(b.r));
    p.restore();
}

void CanvasPainter::PaintHotspot(QPainter& p, const HotspotRecord& h) const {
    p.save();
    QColor border(0, 0, 0);
    p.setPen(QPen(border, kPixelPoints));
    p.setBrush(fillIn_ ? QBrush(border, Qt::BDiagPattern) : Qt::NoBrush);
    p.drawRect(PointsRect(h.r));
    p.restore();
}

void CanvasPainter::PaintSignatureBox(QPainter& p, const SignatureBoxRecord& s) const {
    p.save();
    QColor border(0, 0, 0);
    p.setPen(QPen(border, kPixelPoints));
    // A signature-pad box is cross-hatched; the fill-in option hatches the others.
    if (s.signaturePad)
        p.setBrush(QBrush(border, Qt::DiagCrossPattern));
    else
        p.setBrush(fillIn_ ? QBrush(border, Qt::BDiagPattern) : Qt::NoBrush);
    p.drawRect(PointsRect(s.r));
    p.restore();
}

void CanvasPainter::PaintLine(QPainter& p, const LineRecord& l) const {
    p.save();
    p.setPen(QPen(ColorFromBgr(l.color), std::max(1, l.width) * kPixelPoints));
    p.drawLine(QPointF(InchesToPoints(l.x1), InchesToPoints(l.y1)),
               QPointF(InchesToPoints(l.x2), InchesToPoints(l.y2)));
    p.restore();
}

void CanvasPainter::PaintBarcode(QPainter& p, int index) const {
    // The symbol is stretched over the item, its quiet zones inside the frame and the
    // text as typed beneath the bars.
    constexpr int kQuietModules = 10;
    QRectF r = PointsRect(canvas_.BarcodeRect(index));
    const LabelControl* c = canvas_.LabelAt(index);
    std::string data = c ? c->caption.str() : std::string();
    BarcodeSymbol symbol = EncodeBarcode(data);
    p.save();
    p.fillRect(r, Qt::white);
    QRectF bars(r.left(), r.top(), r.width(), r.height() * 0.75);
    if (symbol.refused) {
        // A marked placeholder: bars for another text would scan as other data.
        p.setPen(QPen(Qt::red, kPixelPoints));
        p.setBrush(QBrush(QColor(255, 0, 0, 96), Qt::BDiagPattern));
        p.drawRect(bars);
        p.drawLine(bars.topLeft(), bars.bottomRight());
        p.drawLine(bars.bottomLeft(), bars.topRight());
    }
    double unit = r.width() / double(symbol.modules.size() + 2 * kQuietModules);
    for (size_t i = 0; i < symbol.modules.size();) {
        size_t run = i;
        while (run < symbol.modules.size() && symbol.modules[run] == symbol.modules[i]) ++run;
        if (symbol.modules[i])
            p.fillRect(QRectF(bars.left() + (kQuietModules + double(i)) * unit, bars.top(),
                              double(run - i) * unit, bars.height()),
                       Qt::black);
        i = run;
    }
    QFont f("Arial");
    f.setPointSizeF(units::FontSizeOnPointScale(std::clamp(r.height() * 0.18, 3.0, 8.0),
                                                std::max(1, p.device()->logicalDpiY())));
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRectF(r.left(), bars.bottom(), r.width(), r.bottom() - bars.bottom()),
               Qt::AlignCenter, toUnicode(data));
    p.restore();
}

const QFont& CanvasPainter::FontOf(const LabelControl& c, double deviceDpi) const {
    // Most labels of a page share a font: the last one asked for is found without a key.
    if (lastFont_ && lastFontName_ == c.fontName && lastFontSize_ == c.fontSize &&
        lastFontStyle_ == (c.bold ? 1 : 0) + (c.italic ? 2 : 0) && lastFontDpi_ == deviceDpi)
        return *lastFont_;
    std::string key = c.fontName + '\t' + std::to_string(c.fontSize) + (c.bold ? "b" : "") +
                      (c.italic ? "i" : "") + '\t' + std::to_string(deviceDpi);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        QFont f(toUnicode(c.fontName));
        double size = c.fontSize > 0 && c.fontSize <= 2000 ? c.fontSize : 8;
        f.setPointSizeF(units::FontSizeOnPointScale(size, deviceDpi));
        f.setBold(c.bold);
        f.setItalic(c.italic);
        f.setHintingPreference(QFont::PreferNoHinting);
        it = fonts_.emplace(key, f).first;
    }
    lastFont_ = &it->second;
    lastFontName_ = c.fontName;
    lastFontSize_ = c.fontSize;
    lastFontStyle_ = (c.bold ? 1 : 0) + (c.italic ? 2 : 0);
    lastFontDpi_ = deviceDpi;
    return it->second;
}

const CaptionGlyphs& CanvasPainter::CaptionGlyphsOf(const QFont& font, QPainter& p) const {
    auto& glyphs = captionGlyphs_[&font];
    if (!glyphs) glyphs = std::make_unique<CaptionGlyphs>(font, p.device());
    return *glyphs;
}

void CanvasPainter::PaintLabel(QPainter& p, int index, const QRectF& exposed) const {
    const LabelControl* c = canvas_.LabelAt(index);
    if (!c) return;
    QRectF r = PointsRect({c->left, c->top, c->width, c->height});
    if (!r.isValid()) return;
    p.fillRect(r, ColorFromBgr(canvas_.LabelBackColor(index)));
    double dpi = std::max(1, p.device()->logicalDpiY());
    // Setting the same font or pen again is not free, and a page sets them thousands of times.
    const QFont& font = FontOf(*c, dpi);
    if (&font != &p.font() && !(font == p.font())) p.setFont(font);
    if (QColor ink = ColorFromBgr(canvas_.LabelForeColor(index));
        p.pen().color() != ink || p.pen().style() != Qt::SolidLine || p.pen().widthF() != 1)
        p.setPen(ink);
    const double size = c->fontSize > 0 && c->fontSize <= 2000 ? c->fontSize : 8;
    const bool wraps = canvas_.LabelTextWraps(index);
    if (size * std::abs(p.transform().m22()) < kLeastReadablePixels) {
        PaintCaptionBar(p, *c, r, size);
    } else if (wraps || c->shownRows > 1 ||
               !CaptionGlyphsOf(font, p).Draw(p, r, c->caption, c->alignment, exposed)) {
        int flags = Qt::AlignTop;
        flags |= c->alignment == LabelAlignment::Right    ? Qt::AlignRight
                 : c->alignment == LabelAlignment::Centre ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
        if (wraps) flags |= Qt::TextWordWrap;
        QString text = toUnicode(c->caption);
        for (int n = 2; n <= c->shownRows; ++n) text += QStringLiteral("\nROW %1").arg(n);
        p.drawText(r, flags, text);
    }
    if (c->bordered) {
        p.setPen(QPen(Qt::black, kPixelPoints));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
    }
}

void CanvasPainter::PaintCaptionBar(QPainter& p, const LabelControl& c, const QRectF& r,
                                    double size) const {
    // About half an em per character, as wide as the caption would run within the label,
    // at the height of its small letters.
    const double length = std::min(r.width(), 0.5 * size * double(c.caption.size()));
    const double left = c.alignment == LabelAlignment::Right    ? r.right() - length
                        : c.alignment == LabelAlignment::Centre ? r.center().x() - length / 2
                                                                : r.left();
    QColor ink = p.pen().color();
    ink.setAlpha(128);
    p.fillRect(QRectF(left, r.top() + 0.35 * size, length, std::min(0.5 * size, r.height())), ink);
}

void CanvasPainter::PrintLabel(QPainter& p, int index) const {
    const LabelControl* c = canvas_.LabelAt(index);
    QRectF r = PointsRect({c->left, c->top, c->width, c->height});
    if (!r.isValid()) return;
    // Laid out in the device's own pixels with the font at its true size: a font shrunk
    // to the point scale measures with the rounding of a few pixels and cuts captions
    // that fit on paper.
    const double dpi = std::max(1, p.device()->logicalDpiY());
    const double k = dpi / units::kPointsPerInch;
    p.save();
    p.scale(1 / k, 1 / k);
    r = QRectF(r.left() * k, r.top() * k, r.width() * k, r.height() * k);
    const QFont& font = FontOf(*c, units::kPointsPerInch);
    p.setFont(font);
    p.setPen(ColorFromBgr(canvas_.LabelForeColor(index)));
    int flags = Qt::AlignTop | Qt::TextSingleLine;
    flags |= c->alignment == LabelAlignment::Right    ? Qt::AlignRight
             : c->alignment == LabelAlignment::Centre ? Qt::AlignHCenter
                                                      : Qt::AlignLeft;
    QString text = toUnicode(c->caption);
    if (canvas_.LabelTextWraps(index))
        flags = (flags & ~Qt::TextSingleLine) | Qt::TextWordWrap;
    else
        text = FitCaption(text, QFontMetricsF(font, p.device()), r.width(), c->alignment);
    p.drawText(r, flags, text);
    p.restore();
}

QString FitCaption(QString text, const QFontMetricsF& metrics, double width,
                   LabelAlignment alignment) {
    while (!text.isEmpty() && metrics.horizontalAdvance(text) > width) {
        if (alignment == LabelAlignment::Right)
            text.remove(0, 1);
        else
            text.chop(1);
    }
    return text;
}
