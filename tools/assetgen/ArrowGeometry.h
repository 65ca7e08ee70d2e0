#pragma once

// The arrow outline the scene draws at a path point (tail, shoulders, barbs and
// tip around the top-left of a 50 x 50 box). The generator needs it to put the
// visible arrow, not its box corner, on the drawn air path.

#include <QPointF>
#include <QRect>
#include <array>

namespace ArrowGeometry {

// The six outline vertices for a heading (degrees, counter-clockwise, 0 = right)
// at size factor 1, translated so that their smallest x and y are 0.
std::array<QPoint, 6> outline(int heading);

// Centre of the outline's bounding box, relative to the box's top-left.
QPointF centre(int heading);

// Bounding box of the outline, relative to the box's top-left.
QRect bounds(int heading);

// Heading of a move by (dx, dy) in screen coordinates (y down), rounded to
// whole degrees, -180..180.
int headingOf(double dx, double dy);

} // namespace ArrowGeometry
