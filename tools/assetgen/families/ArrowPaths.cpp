// The arrow-path table: four arrows along each system's duct and two out of each
// room's diffuser. Paths are laid out as curves of arrow centres; each stored
// point is the top-left of the arrow's box, relative to its path's origin.

#include "ArrowGeometry.h"
#include "AssetSink.h"
#include "Families.h"
#include "SceneGeometry.h"

#include <QPainterPath>
#include <QVector>

#include <cmath>

namespace {

using namespace Scene;

struct Point {
    QPoint topLeft; // of the arrow's box, scene pixels
    int heading;
};

int angleBetween(int a, int b)
{
    const int d = std::abs(a - b) % 360;
    return std::min(d, 360 - d);
}

// Points at equal steps along a curve of arrow centres. The stored position is
// the arrow box's top-left, and the heading is the direction from the previous
// stored position, the rule the scene uses when it reshapes a path; the heading
// and the box offset it implies are settled together, so the arrow's centre stays
// on the curve and the headings survive a reshape at full strength unchanged.
QVector<Point> sample(const QPainterPath& curve, int count)
{
    QVector<QPointF> centres;
    const qreal len = curve.length();
    for (int i = 0; i < count; ++i)
        centres.push_back(curve.pointAtPercent(curve.percentAtLength(len * i / (count - 1))));
    auto place = [](QPointF centre, int heading) {
        const QPointF tl = centre - ArrowGeometry::centre(heading);
        return QPoint(int(std::lround(tl.x())), int(std::lround(tl.y())));
    };
    QVector<Point> pts(count);
    for (int i = 1; i < count; ++i) {
        const QPointF d = centres[i] - centres[i - 1];
        int heading = ArrowGeometry::headingOf(d.x(), d.y());
        if (i == 1)
            pts[0] = {place(centres[0], heading), heading};
        // Of the headings near the curve's own, take the one that agrees best with
        // the step it implies (ties: the one nearest the curve).
        const int curveHeading = heading;
        int bestMismatch = 1000;
        for (int delta = 0; delta <= 60 && bestMismatch > 0; ++delta) {
            for (int h : {curveHeading - delta, curveHeading + delta}) {
                const int wrapped = h > 180 ? h - 360 : (h <= -180 ? h + 360 : h);
                const QPoint step = place(centres[i], wrapped) - pts[i - 1].topLeft;
                const int mismatch = angleBetween(ArrowGeometry::headingOf(step.x(), step.y()), wrapped);
                if (mismatch < bestMismatch) {
                    bestMismatch = mismatch;
                    heading = wrapped;
                }
            }
        }
        pts[i] = {place(centres[i], heading), heading};
    }
    if (count > 1)
        pts[0].heading = pts[1].heading;
    return pts;
}

int pointsFor(const QPainterPath& curve, qreal spacing, int atLeast)
{
    return std::max(atLeast, int(std::lround(curve.length() / spacing)) + 1);
}

void emitPath(AssetSink& sink, int arrowNr, const QString& name, const QVector<Point>& pts, QPoint origin)
{
    for (const Point& p : pts)
        sink.addArrowPoint(arrowNr, p.topLeft.x() - origin.x(), p.topLeft.y() - origin.y(), p.heading, name);
}

// Four arrows spread evenly along one route: each path is the route started a
// quarter further on.
void emitDuctArrows(AssetSink& sink, const QPainterPath& route, qreal spacing, const int (&numbers)[4],
                    const QPoint (&origins)[4], const QString& prefix)
{
    const QVector<Point> pts = sample(route, pointsFor(route, spacing, 20));
    const int n = pts.size();
    for (int k = 0; k < 4; ++k) {
        QVector<Point> shifted;
        const int start = k * n / 4;
        for (int i = 0; i < n; ++i)
            shifted.push_back(pts[(start + i) % n]);
        emitPath(sink, numbers[k], prefix + QString::number(k + 1), shifted, origins[k]);
    }
}

// Outdoor air in at the louvre, along the intake, round the bend, down the riser
// through the fan and out along the main duct.
QPainterPath ductRoute(qreal intakeX, qreal intakeY, qreal riserX, qreal laneY, qreal endX)
{
    constexpr qreal r = 16;
    QPainterPath path(QPointF(intakeX, intakeY));
    path.lineTo(riserX - r, intakeY);
    path.arcTo(QRectF(riserX - 2 * r, intakeY, 2 * r, 2 * r), 90, -90);
    path.lineTo(riserX, laneY - r);
    path.arcTo(QRectF(riserX, laneY - 2 * r, 2 * r, 2 * r), 180, 90);
    path.lineTo(endX, laneY);
    return path;
}

// Air leaves the diffuser sideways along the ceiling, then bends down into the
// room and falls to the floor. The bend starts early enough that the first half
// of the points already falls: a weak flow uses only its first points, squeezed
// towards the diffuser, so weak air drops close to it.
QPainterPath roomThrow(QPointF start, QPointF end)
{
    const qreal dx = end.x() - start.x();
    const qreal dy = end.y() - start.y();
    const qreal lead = std::min<qreal>(std::abs(dx) * 0.35, 24) * (dx < 0 ? -1 : 1);
    QPainterPath path(start);
    path.lineTo(start.x() + lead, start.y());
    path.cubicTo(start.x() + lead + (dx - lead) * 0.75, start.y(), end.x(), end.y() - dy * 0.55, end.x(), end.y());
    return path;
}

} // namespace

void addArrowPaths(AssetSink& sink)
{
    // Low-pressure duct: paths 0..3.
    const QPainterPath low = ductRoute(56, 48, LowFanX + FanSize / 2.0, LowArrowLane, LowDuctEnd - 14);
    emitDuctArrows(sink, low, 8, {0, 1, 2, 3}, {QPoint(40, 22), QPoint(40, 22), QPoint(40, 22), QPoint(33, 22)},
                   QStringLiteral("LowPres"));

    // Room paths 4..11, two per room, stored relative to the room.
    static const char* const names[4][2] = {{"LeftL", "LeftR"}, {"Mid1L", "Mid1R"}, {"mid2L", "mid2R"},
                                            {"RightL", "RightR"}};
    constexpr qreal startY = 13;  // just below the diffuser face
    constexpr qreal endY = 134;   // above the floor
    constexpr qreal fromFace = 30;
    constexpr qreal fromWall = 12;
    for (int r = 0; r < 4; ++r) {
        const Room& room = Rooms[r];
        const qreal c = room.diffuserX - room.x;
        const qreal leftWall = room.outer && room.windowLeft ? OuterWall : Partition;
        const qreal rightWall = room.outer && !room.windowLeft ? RoomWidth - OuterWall : RoomWidth - Partition;
        const QPoint origin(room.x, RoomTop);
        const QPointF o(origin);
        const QPainterPath toLeft = roomThrow(o + QPointF(c - fromFace, startY), o + QPointF(leftWall + fromWall, endY));
        const QPainterPath toRight =
            roomThrow(o + QPointF(c + fromFace, startY), o + QPointF(rightWall - fromWall, endY));
        emitPath(sink, 4 + 2 * r, QString::fromLatin1(names[r][0]), sample(toLeft, pointsFor(toLeft, 7, 22)), origin);
        emitPath(sink, 5 + 2 * r, QString::fromLatin1(names[r][1]), sample(toRight, pointsFor(toRight, 7, 22)), origin);
    }

    // High-pressure duct: paths 20..23.
    const QPainterPath high = ductRoute(14, 22, HighFanX + FanSize / 2.0, HighArrowLane, HighDuctEnd - 12);
    emitDuctArrows(sink, high, 8, {20, 21, 22, 23}, {QPoint(5, 0), QPoint(8, 0), QPoint(12, 0), QPoint(15, 0)},
                   QStringLiteral("HighPres"));
}
