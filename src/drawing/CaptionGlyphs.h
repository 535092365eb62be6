#pragma once
// A one-line caption drawn from a table of the font's glyphs for the 256 Windows-1252
// bytes: shaping and laying out each label's text through Qt is most of what drawing a
// crowded page costs, and a Latin caption needs neither.
#include <QFont>
#include <QRawFont>
#include <QRectF>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "layout/LabelControl.h"

class QPainter;

class CaptionGlyphs {
  public:
    // The font as the painter's device resolves it.
    CaptionGlyphs(const QFont& font, const QPaintDevice* device);
    // Draws the caption in the rectangle, top-aligned, as QPainter::drawText would, and
    // says so; false, with nothing drawn, for a caption the table cannot draw as shaping
    // would (a control character, a letter the font lacks, an invisible format
    // character), a font whose shaping the table does not reproduce, or a device other
    // than a picture. Only the letters that reach into visible (when given) are drawn:
    // the others leave no pixel there.
    bool Draw(QPainter& p, const QRectF& r, std::string_view caption, LabelAlignment alignment,
              const QRectF& visible = {}) const;

  private:
    QRawFont raw_;
    bool usable_ = false;
    std::array<std::uint32_t, 256> glyphs_{};  // 0: drawn by shaping
};
