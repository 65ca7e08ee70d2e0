#pragma once

// Small drawing helpers shared by the picture families. All coordinates are
// design pixels; every helper draws with antialiasing on the given painter.

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

namespace Draw {

// A transparent canvas to draw an overlay or a masked picture on.
QImage canvas(int width, int height);

// Starts a painter with antialiasing.
void begin(QPainter& p, QImage& image);

// Fills a shape with a 1-pixel outline darker than the fill.
void shape(QPainter& p, const QPainterPath& path, QRgb fill);
void box(QPainter& p, const QRectF& r, QRgb fill, qreal radius = 0);

// Rectangular sheet-metal duct: body, top highlight, flanged joints every
// jointSpacing pixels along its length. Vertical when the rectangle is taller than wide.
void rectDuct(QPainter& p, const QRectF& r, qreal jointSpacing);
// Round (spiral) duct seen from the side: rounded body with a highlight band and
// spiral seams.
void roundDuct(QPainter& p, const QRectF& r, qreal seamSpacing);

// A wavy line from a to b (heat shimmer, drafts).
QPainterPath wave(QPointF a, QPointF b, qreal amplitude, qreal wavelength, qreal phase = 0);
// An open arrow head at tip pointing along the direction from `from` to tip.
void arrowHead(QPainter& p, QPointF from, QPointF tip, qreal size);

// Diagonal section hatching inside a rectangle (cut concrete and masonry).
void hatch(QPainter& p, const QRectF& r, QRgb fill, qreal spacing);

} // namespace Draw
