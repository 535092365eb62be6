#pragma once
// Drawing an area of a page into a kept picture of it. A large area of a crowded page is
// cut into two bands, one above the other, drawn at once on two threads: most of a page
// of thousands of labels is shaping and drawing their captions, and each band is drawn
// exactly as the whole area would be there (the same transformation, clipped to the band),
// so the picture does not depend on how it was cut.
#include <QColor>
#include <QImage>
#include <QRegion>

class CanvasPainter;

// Draws area (the picture's pixels divided by ratio) of a page at ppi over a fill of
// `around`, within area alone.
void PaintPageArea(const CanvasPainter& painter, QImage& picture, double ratio, double ppi,
                   const QRegion& area, const QColor& around, int page);
