#include "ArrowGeometry.h"

#include <algorithm>
#include <cmath>

namespace ArrowGeometry {

namespace {

int roundHalfEven(double v) { return int(std::nearbyint(v)); }

} // namespace

std::array<QPoint, 6> outline(int heading)
{
    constexpr double pi = 3.1415926535897932385;
    const int tip = 15, shoulder = 10;
    const double a = -heading;
    auto at = [&](double delta, int r) {
        const double rad = (a + delta) * pi / 180.0;
        return QPoint(roundHalfEven(r * std::cos(rad)), roundHalfEven(r * std::sin(rad)));
    };
    std::array<QPoint, 6> v{QPoint(0, 0), at(-8, shoulder), at(-18, shoulder), at(0, tip), at(18, shoulder), at(8, shoulder)};
    int minX = 0, minY = 0;
    for (int i : {2, 3, 4}) {
        minX = std::min(minX, v[i].x());
        minY = std::min(minY, v[i].y());
    }
    for (QPoint& p : v)
        p -= QPoint(minX, minY);
    return v;
}

QRect bounds(int heading)
{
    const auto v = outline(heading);
    int x0 = v[0].x(), x1 = x0, y0 = v[0].y(), y1 = y0;
    for (const QPoint& p : v) {
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    return QRect(QPoint(x0, y0), QPoint(x1, y1));
}

QPointF centre(int heading)
{
    const QRect b = bounds(heading);
    return QPointF((b.left() + b.right()) / 2.0, (b.top() + b.bottom()) / 2.0);
}

int headingOf(double dx, double dy)
{
    if (dx == 0 && dy == 0)
        return 0;
    return roundHalfEven(std::atan2(-dy, dx) * 180.0 / 3.1415926535897932385);
}

} // namespace ArrowGeometry
