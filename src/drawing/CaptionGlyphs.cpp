#include "drawing/CaptionGlyphs.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QVarLengthArray>

#include "shell/qt/QtText.h"

namespace {
// Pairs that kern and letters that ligate in common fonts: the table is used only for a
// font whose shaping of these agrees with its kerned advances, so ligatures and kerning
// from tables the raw font does not read send the font back to shaping.
const char* const kShapingProbe = "AVATAR Te To Yo Wa LT P. office fluffy \"A\" 1/4 ff fi fl";
}  // namespace

CaptionGlyphs::CaptionGlyphs(const QFont& font, const QPaintDevice* device) {
    const QFont resolved = device ? QFont(font, device) : font;
    raw_ = QRawFont::fromFont(resolved);
    if (!raw_.isValid()) return;
    for (int b = 0x20; b < 256; ++b) {
        const QString ch = toUnicode(std::string(1, char(b)));
        if (ch.size() != 1 || ch[0].category() == QChar::Other_Format) continue;
        quint32 glyph = 0;
        int count = 1;
        if (raw_.glyphIndexesForChars(ch.constData(), 1, &glyph, &count) && count == 1)
            glyphs_[b] = glyph;
    }
    const std::string probe = kShapingProbe;
    QVarLengthArray<quint32, 64> glyphs(qsizetype(probe.size()));
    QVarLengthArray<QPointF, 64> advances(qsizetype(probe.size()));
    for (std::size_t i = 0; i < probe.size(); ++i)
        if (!(glyphs[qsizetype(i)] = glyphs_[std::uint8_t(probe[i])])) return;
    raw_.advancesForGlyphIndexes(glyphs.data(), advances.data(), int(probe.size()),
                                 QRawFont::KernedAdvances);
    double width = 0;
    for (const QPointF& a : advances) width += a.x();
    usable_ = std::abs(width - QFontMetricsF(resolved).horizontalAdvance(toUnicode(probe))) < 1e-3;
}

bool CaptionGlyphs::Draw(QPainter& p, const QRectF& r, std::string_view caption,
                         LabelAlignment alignment, const QRectF& visible) const {
    // Printers and PDF files keep the text of what they draw: they get it from shaping.
    if (!usable_ || p.paintEngine()->type() != QPaintEngine::Raster) return false;
    const qsizetype n = qsizetype(caption.size());
    QVarLengthArray<quint32, 64> glyphs(n);
    QVarLengthArray<QPointF, 64> positions(n);
    for (qsizetype i = 0; i < n; ++i)
        if (!(glyphs[i] = glyphs_[std::uint8_t(caption[std::size_t(i)])])) return false;
    if (n == 0) return true;
    raw_.advancesForGlyphIndexes(glyphs.data(), positions.data(), int(n), QRawFont::KernedAdvances);
    // Advances become pen positions; trailing spaces count toward the width that places a
    // right-aligned or centred caption, as they do in drawText's.
    double width = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double advance = positions[i].x();
        positions[i] = QPointF(width, 0);
        width += advance;
    }
    const double x = alignment == LabelAlignment::Right    ? r.right() - width
                     : alignment == LabelAlignment::Centre ? r.left() + (r.width() - width) / 2
                                                           : r.left();
    const double ascent = raw_.ascent(), height = ascent + raw_.descent();
    // Cut to the label only where the caption runs out of it.
    const bool clip = !r.contains(QRectF(x, r.top(), width, height));
    // A label that only reaches into the area repainted (a crowded page under a selected
    // label) draws the letters there; a letter's ink may run past its advance, by less
    // than an em.
    qsizetype first = 0, end = n;
    if (!visible.isEmpty()) {
        const double slack = raw_.pixelSize();
        auto after = [&](qsizetype i) { return x + (i + 1 < n ? positions[i + 1].x() : width); };
        while (first < end && after(first) + slack < visible.left()) ++first;
        while (end > first && x + positions[end - 1].x() - slack > visible.right()) --end;
        if (first == end) return true;
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setRawData(glyphs.constData() + first, positions.constData() + first, int(end - first));
    if (clip) {
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
    }
    p.drawGlyphRun(QPointF(x, r.top() + ascent), run);
    if (clip) p.restore();
    return true;
}
