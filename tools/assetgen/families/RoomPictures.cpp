// The four rooms: backgrounds, the load overlays (hot: people, computers, lights;
// cold: drafts from the outer wall; sun: beams through the window), and the
// temperature tint shared by all rooms.
//
// Every room is drawn from one template whose outer side is on the left; the
// centre-right and the right room are drawn mirrored, so the right room's window
// is in its right-hand wall.

#include "AssetSink.h"
#include "DrawKit.h"
#include "Families.h"
#include "Palette.h"
#include "SceneGeometry.h"

#include <QtMath>

namespace {

using namespace Scene;

constexpr int W = RoomWidth;
constexpr int H = RoomHeight;

bool mirrored(const Room& room) { return room.x >= 398; }

// Maps template coordinates onto the room picture.
void roomTransform(QPainter& p, const Room& room)
{
    if (mirrored(room)) {
        p.translate(W, 0);
        p.scale(-1, 1);
    }
}

// ---------------------------------------------------------------- background

void drawOuterWall(QPainter& p)
{
    const QRectF above(0, 0, OuterWall, WindowTop);
    const QRectF below(0, WindowBottom, OuterWall, FloorTop - WindowBottom);
    Draw::hatch(p, above, Palette::Structure, 5);
    Draw::hatch(p, below, Palette::Structure, 5);
    p.save();
    p.setPen(QPen(Palette::outline(Palette::Structure), 1.0));
    p.drawLine(QPointF(OuterWall - 0.5, 0), QPointF(OuterWall - 0.5, WindowTop));
    p.drawLine(QPointF(OuterWall - 0.5, WindowBottom), QPointF(OuterWall - 0.5, FloorTop));
    p.drawLine(QPointF(0, WindowTop - 0.5), QPointF(OuterWall, WindowTop - 0.5));
    p.drawLine(QPointF(0, WindowBottom + 0.5), QPointF(OuterWall, WindowBottom + 0.5));
    // Window in section: frame, double glazing, inner sill.
    const QRectF opening(0, WindowTop, OuterWall, WindowBottom - WindowTop);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::Glass));
    p.drawRect(opening);
    p.setBrush(Palette::color(Palette::WindowFrame));
    p.drawRect(QRectF(0, WindowTop, OuterWall, 3));
    p.drawRect(QRectF(0, WindowBottom - 3, OuterWall, 3));
    p.setPen(QPen(Palette::color(Palette::CoolLight), 1.0));
    p.drawLine(QPointF(3.5, WindowTop + 3), QPointF(3.5, WindowBottom - 3));
    p.drawLine(QPointF(5.5, WindowTop + 3), QPointF(5.5, WindowBottom - 3));
    p.setPen(QPen(Palette::outline(Palette::WindowFrame), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(opening.adjusted(0.5, 0.5, -0.5, -0.5));
    p.restore();
    Draw::box(p, QRectF(0, WindowBottom, OuterWall + 4, 3), Palette::WindowFrame);
}

void drawPartition(QPainter& p, qreal x)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::Structure));
    p.drawRect(QRectF(x, 0, Partition, FloorTop));
    p.setPen(QPen(Palette::outline(Palette::Structure), 1.0));
    const qreal inner = x < W / 2 ? x + Partition - 0.5 : x + 0.5;
    p.drawLine(QPointF(inner, 0), QPointF(inner, FloorTop));
    p.restore();
}

void drawThermostat(QPainter& p, qreal x)
{
    Draw::box(p, QRectF(x, 80, 8, 11), Palette::Diffuser, 1.5);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::Disc));
    p.drawEllipse(QPointF(x + 4, 84.5), 1.8, 1.8);
    p.setBrush(Palette::color(Palette::Cool));
    p.drawRect(QRectF(x + 2, 88, 4, 1));
    p.restore();
}

void drawDoor(QPainter& p, qreal x)
{
    const QRectF door(x, FloorTop - 58, 28, 58);
    Draw::box(p, door.adjusted(-2, -2, 2, 0), Palette::WindowFrame);
    Draw::box(p, door, Palette::CeilingBoard);
    Draw::box(p, QRectF(x + 4, FloorTop - 52, 20, 20), Palette::RoomWall);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::Disc));
    p.drawRect(QRectF(x + 22, FloorTop - 30, 4, 2));
    p.restore();
}

QImage roomBackground(const Room& room)
{
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Palette::RoomWall);
    QPainter p;
    Draw::begin(p, img);
    roomTransform(p, room);

    // Far wall: a faint dado line and the skirting.
    p.save();
    p.setPen(QPen(Palette::withAlpha(Palette::Structure, 60), 1.0));
    p.drawLine(QPointF(0, 96.5), QPointF(W, 96.5));
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::withAlpha(Palette::Furniture, 120));
    p.drawRect(QRectF(0, FloorTop - 4, W, 4));
    p.restore();
    if (!room.outer)
        drawDoor(p, 16);
    drawThermostat(p, W - 15);

    // Suspended ceiling board.
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::CeilingBoard));
    p.drawRect(QRectF(0, 0, W, CeilingBoard));
    p.setPen(QPen(Palette::outline(Palette::CeilingBoard), 1.0));
    p.drawLine(QPointF(0, CeilingBoard - 0.5), QPointF(W, CeilingBoard - 0.5));
    p.restore();

    // Floor: finish over the cut slab.
    Draw::hatch(p, QRectF(0, FloorTop + FloorFinish, W, H - FloorTop - FloorFinish), Palette::Structure, 5);
    Draw::box(p, QRectF(-1, FloorTop, W + 2, FloorFinish + 1), Palette::Floor);

    // Walls.
    if (room.outer)
        drawOuterWall(p);
    else
        drawPartition(p, 0);
    drawPartition(p, W - Partition);
    return img;
}

// ---------------------------------------------------------------- hot loads

void heatWaves(QPainter& p, qreal cx, qreal top, int count, qreal height = 16)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        const qreal x = cx + (i - (count - 1) / 2.0) * 6;
        p.setPen(QPen(Palette::color(i % 2 ? Palette::WarmLight : Palette::Warm), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(Draw::wave(QPointF(x, top), QPointF(x, top - height), 1.6, 8, i * 1.3));
    }
    p.restore();
}

void halo(QPainter& p, const QRectF& r)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::withAlpha(Palette::WarmLight, 46));
    p.drawEllipse(r);
    p.restore();
}

void personStanding(QPainter& p, qreal x)
{
    halo(p, QRectF(x - 16, FloorTop - 56, 32, 60));
    QPainterPath body;
    body.addEllipse(QPointF(x, FloorTop - 41), 4.5, 4.5);
    body.addRoundedRect(QRectF(x - 6.5, FloorTop - 35, 13, 19), 3.5, 3.5);
    body.addRoundedRect(QRectF(x - 9.5, FloorTop - 34, 3.5, 16), 1.7, 1.7);
    body.addRoundedRect(QRectF(x + 6, FloorTop - 34, 3.5, 16), 1.7, 1.7);
    body.addRoundedRect(QRectF(x - 5.5, FloorTop - 18, 5, 18), 1.5, 1.5);
    body.addRoundedRect(QRectF(x + 0.5, FloorTop - 18, 5, 18), 1.5, 1.5);
    body.setFillRule(Qt::WindingFill);
    Draw::shape(p, body.simplified(), Palette::Warm);
    heatWaves(p, x, FloorTop - 49, 3);
}

// A seated person facing `dir` (+1 right, -1 left), on a chair.
void personSeated(QPainter& p, qreal x, int dir)
{
    halo(p, QRectF(x - 16, FloorTop - 50, 32, 54));
    // Chair.
    p.save();
    p.setPen(QPen(Palette::outline(Palette::Disc), 1.0));
    p.setBrush(Palette::color(Palette::Disc));
    p.drawRect(QRectF(x - 8, FloorTop - 17, 16, 3));
    p.drawRect(QRectF(x - dir * 8 - 1.5, FloorTop - 32, 3, 18));
    p.drawRect(QRectF(x - 1, FloorTop - 14, 2, 12));
    p.drawRect(QRectF(x - 7, FloorTop - 3, 14, 2));
    p.restore();
    QPainterPath body;
    body.addEllipse(QPointF(x + dir * 1, FloorTop - 38), 4.5, 4.5);
    body.addRoundedRect(QRectF(x - 5.5, FloorTop - 32, 11, 17), 3.5, 3.5);
    // Thigh forward and shin down.
    body.addRoundedRect(QRectF(dir > 0 ? x - 2 : x - 12, FloorTop - 20, 14, 5), 2, 2);
    body.addRoundedRect(QRectF(x + dir * 10 - 2.5, FloorTop - 19, 5, 19), 1.5, 1.5);
    // Forearm reaching to the desk.
    body.addRoundedRect(QRectF(dir > 0 ? x : x - 12, FloorTop - 26, 12, 3.5), 1.7, 1.7);
    body.setFillRule(Qt::WindingFill);
    Draw::shape(p, body.simplified(), Palette::Warm);
    heatWaves(p, x + dir, FloorTop - 46, 3);
}

// A desk with a monitor (screen facing the viewer) and a computer under it.
void deskComputer(QPainter& p, qreal left, qreal width, qreal monitorX)
{
    halo(p, QRectF(monitorX - 20, FloorTop - 50, 40, 54));
    const qreal top = FloorTop - 24;
    Draw::box(p, QRectF(left, top, width, 3), Palette::Furniture);
    Draw::box(p, QRectF(left + 2, top + 3, 3, FloorTop - top - 3), Palette::Furniture);
    Draw::box(p, QRectF(left + width - 5, top + 3, 3, FloorTop - top - 3), Palette::Furniture);
    // Monitor.
    Draw::box(p, QRectF(monitorX - 2, top - 4, 4, 4), Palette::Disc);
    Draw::box(p, QRectF(monitorX - 6, top - 1.5, 12, 2), Palette::Disc);
    Draw::box(p, QRectF(monitorX - 10, top - 19, 20, 15), Palette::Disc, 1.5);
    Draw::box(p, QRectF(monitorX - 8, top - 17, 16, 11), Palette::WarmLight);
    // Tower under the desk, its vents glowing.
    const qreal towerX = monitorX > left + width / 2 ? left + 7 : left + width - 16;
    Draw::box(p, QRectF(towerX, FloorTop - 18, 9, 18), Palette::Disc, 1);
    p.save();
    p.setPen(QPen(Palette::color(Palette::WarmLight), 1.0));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(towerX + 2, FloorTop - 14 + 3 * i + 0.5), QPointF(towerX + 7, FloorTop - 14 + 3 * i + 0.5));
    p.restore();
    heatWaves(p, monitorX, top - 22, 3, 14);
}

// Recessed ceiling lights with their warm light cones.
void ceilingLights(QPainter& p, std::initializer_list<qreal> xs)
{
    for (qreal x : xs) {
        p.save();
        QPainterPath cone;
        cone.moveTo(x - 8, CeilingBoard);
        cone.lineTo(x + 8, CeilingBoard);
        cone.lineTo(x + 20, CeilingBoard + 36);
        cone.lineTo(x - 20, CeilingBoard + 36);
        cone.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::withAlpha(Palette::WarmLight, 52));
        p.drawPath(cone);
        p.setBrush(Palette::withAlpha(Palette::Sun, 110));
        QPainterPath inner;
        inner.moveTo(x - 6, CeilingBoard);
        inner.lineTo(x + 6, CeilingBoard);
        inner.lineTo(x + 11, CeilingBoard + 18);
        inner.lineTo(x - 11, CeilingBoard + 18);
        inner.closeSubpath();
        p.drawPath(inner);
        p.restore();
        Draw::box(p, QRectF(x - 9, 0, 18, CeilingBoard + 2.5), Palette::WarmLight, 1);
        // Short rays to the sides show the heat the lamp gives off.
        p.save();
        p.setPen(QPen(Palette::color(Palette::Warm), 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x - 12, CeilingBoard + 4), QPointF(x - 16, CeilingBoard + 8));
        p.drawLine(QPointF(x + 12, CeilingBoard + 4), QPointF(x + 16, CeilingBoard + 8));
        p.drawLine(QPointF(x, CeilingBoard + 6), QPointF(x, CeilingBoard + 11));
        p.restore();
    }
}

// Step 1..4 of the hot load; each step adds one heat source.
QImage hotOverlay(const Room& room, int step)
{
    QImage img = Draw::canvas(W, H);
    QPainter p;
    Draw::begin(p, img);
    roomTransform(p, room);
    switch (step) {
    case 1: personStanding(p, 44); break;
    case 2: deskComputer(p, 78, 46, 96); break;
    case 3: personSeated(p, 128, -1); break;
    case 4: ceilingLights(p, {38, 126}); break;
    }
    return img;
}

// ---------------------------------------------------------------- cold loads

void draft(QPainter& p, const QPainterPath& path, qreal width)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    // A pale band under the line gives the stream some body.
    p.setPen(QPen(Palette::withAlpha(Palette::CoolLight, 70), width + 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(Palette::color(Palette::Cool), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    const qreal len = path.length();
    const QPointF tip = path.pointAtPercent(1.0);
    const QPointF before = path.pointAtPercent(path.percentAtLength(std::max<qreal>(0, len - 6)));
    Draw::arrowHead(p, before, tip, 5);
    p.restore();
}

// Cold air falls from the glass down the wall and spreads along the floor. Each
// stream keeps its own distance from the wall and its own height over the floor.
QPainterPath fallingDraft(qreal startY, qreal fromWall, qreal overFloor, qreal reach, qreal phase)
{
    QPainterPath guide;
    const qreal x0 = OuterWall + fromWall;
    const qreal lane = FloorTop - overFloor;
    guide.moveTo(x0, startY);
    guide.lineTo(x0, lane - 14);
    guide.quadTo(x0, lane, x0 + 14, lane);
    guide.lineTo(OuterWall + reach, lane);
    // Ripple the guide slightly so it reads as moving air.
    QPainterPath out;
    const qreal len = guide.length();
    constexpr int steps = 120;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = guide.percentAtLength(len * i / steps);
        const QPointF pt = guide.pointAtPercent(t);
        const qreal ang = qDegreesToRadians(guide.angleAtPercent(t));
        const QPointF n(-std::sin(ang), -std::cos(ang));
        const QPointF q = pt + n * 1.5 * std::sin(len * i / steps / 6.0 + phase);
        if (i == 0)
            out.moveTo(q);
        else
            out.lineTo(q);
    }
    return out;
}

void snowflake(QPainter& p, QPointF c, qreal r)
{
    p.save();
    p.setPen(QPen(Palette::color(Palette::Cool), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal a = qDegreesToRadians(90.0 + 60.0 * i);
        const QPointF d(std::cos(a) * r, std::sin(a) * r);
        p.drawLine(c - d, c + d);
    }
    p.restore();
}

void frost(QPainter& p)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::withAlpha(Palette::Frost, 230));
    p.drawRect(QRectF(0, WindowTop + 3, OuterWall, WindowBottom - WindowTop - 6));
    p.setPen(QPen(Palette::color(Palette::CoolLight), 1.0));
    for (qreal y = WindowTop + 8; y < WindowBottom - 6; y += 9) {
        p.drawLine(QPointF(1.5, y), QPointF(OuterWall - 1.5, y + 4));
        p.drawLine(QPointF(OuterWall - 1.5, y), QPointF(1.5, y + 4));
    }
    p.restore();
}

QImage coldOverlay(const Room& room, int step)
{
    QImage img = Draw::canvas(W, H);
    QPainter p;
    Draw::begin(p, img);
    roomTransform(p, room);
    switch (step) {
    case 1:
        draft(p, fallingDraft(WindowBottom - 10, 4, 5, 44, 0), 1.6);
        break;
    case 2:
        draft(p, fallingDraft(WindowTop + 36, 10, 12, 80, 1.1), 1.6);
        snowflake(p, QPointF(OuterWall + 18, WindowTop + 24), 4);
        break;
    case 3:
        frost(p);
        draft(p, fallingDraft(WindowTop + 18, 16, 19, 114, 2.3), 1.8);
        snowflake(p, QPointF(OuterWall + 28, WindowTop + 8), 4.5);
        break;
    case 4: {
        // A pool of cold air over the floor, thinning out into the room.
        QLinearGradient pool(OuterWall, 0, W, 0);
        pool.setColorAt(0.0, Palette::withAlpha(Palette::CoolLight, 120));
        pool.setColorAt(1.0, Palette::withAlpha(Palette::CoolLight, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(pool);
        QPainterPath shape;
        shape.moveTo(OuterWall, FloorTop - 34);
        shape.cubicTo(60, FloorTop - 28, 110, FloorTop - 18, W - Partition, FloorTop - 15);
        shape.lineTo(W - Partition, FloorTop);
        shape.lineTo(OuterWall, FloorTop);
        shape.closeSubpath();
        p.drawPath(shape);
        draft(p, fallingDraft(WindowTop + 4, 22, 26, 146, 3.0), 2.0);
        snowflake(p, QPointF(OuterWall + 36, WindowTop + 40), 5);
        break;
    }
    }
    return img;
}

// ---------------------------------------------------------------- sun

// Sun masks: the beam falls through the window, down into the room. A higher
// level lights more of the window and a wider patch of floor.
QImage sunMask(const Room& room, int step)
{
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p;
    Draw::begin(p, img);
    roomTransform(p, room);
    const qreal slope = 0.78; // drop per pixel into the room
    const qreal top = WindowBottom - (WindowBottom - WindowTop) * step / 4.0;
    auto floorHit = [slope](qreal y) { return OuterWall + (FloorTop - y) / slope; };

    QPainterPath beam;
    beam.moveTo(OuterWall, top);
    const qreal farX = floorHit(top);
    if (farX <= W - Partition) {
        beam.lineTo(farX, FloorTop);
    } else {
        beam.lineTo(W - Partition, top + (W - Partition - OuterWall) * slope);
        beam.lineTo(W - Partition, FloorTop);
    }
    beam.lineTo(floorHit(WindowBottom), FloorTop);
    beam.lineTo(OuterWall, WindowBottom);
    beam.closeSubpath();

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(205, 205, 205));
    p.drawPath(beam);
    // Brighter rays along the beam.
    p.save();
    p.setClipPath(beam);
    p.setBrush(Qt::white);
    for (qreal y0 = WindowTop - 4; y0 < WindowBottom + 60; y0 += 11) {
        QPainterPath ray;
        ray.moveTo(OuterWall, y0);
        ray.lineTo(OuterWall, y0 + 5);
        ray.lineTo(OuterWall + 200, y0 + 5 + 200 * slope);
        ray.lineTo(OuterWall + 200, y0 + 200 * slope);
        ray.closeSubpath();
        p.drawPath(ray);
    }
    p.restore();
    // Sunlit patch on the floor and glare on the glass.
    p.setBrush(Qt::white);
    p.drawRect(QRectF(floorHit(WindowBottom), FloorTop, std::min<qreal>(farX, W - Partition) - floorHit(WindowBottom),
                      FloorFinish));
    p.drawRect(QRectF(0, top, OuterWall, WindowBottom - top));
    return img;
}

// ---------------------------------------------------------------- tint

// The temperature tint colours the room's air, fading out towards walls, ceiling
// and floor, and never hides what is in the room.
QImage tintMask()
{
    constexpr int full = 175;
    constexpr qreal fade = 10;
    QImage img(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const qreal dx = std::min<qreal>(x + 0.5 - Partition, W - Partition - x - 0.5);
            const qreal dy = std::min<qreal>(y + 0.5 - CeilingBoard, FloorTop - y - 0.5);
            const qreal d = std::min(dx, dy);
            const qreal k = std::clamp(d / fade, 0.0, 1.0);
            const int v = int(std::lround(full * k));
            line[x] = qRgb(v, v, v);
        }
    }
    return img;
}

QImage solid(QRgb color)
{
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(color);
    return img;
}

} // namespace

void addRoomPictures(AssetSink& sink)
{
    static const char* const steps[] = {"25", "50", "75", "100"};
    for (const Room& room : Rooms) {
        const QString name = QString::fromLatin1(room.name);
        const QImage background = roomBackground(room);
        sink.addBitmap(name + QStringLiteral("_Background"), background, ImageFormat::Bmp);
        for (int s = 1; s <= 4; ++s) {
            const QString level = QString::fromLatin1(steps[s - 1]);
            const QImage hot = hotOverlay(room, s);
            sink.addBitmap(name + QStringLiteral("_Hot") + level, flattenOver(hot, background), ImageFormat::Gif);
            sink.addBitmap(name + QStringLiteral("_Hot") + level + QStringLiteral("_Alpha"), alphaToMask(hot),
                           ImageFormat::Gif);
        }
        if (!room.outer)
            continue;
        for (int s = 1; s <= 4; ++s) {
            const QString level = QString::fromLatin1(steps[s - 1]);
            const QImage cold = coldOverlay(room, s);
            sink.addBitmap(name + QStringLiteral("_Cold") + level, flattenOver(cold, background), ImageFormat::Gif);
            sink.addBitmap(name + QStringLiteral("_Cold") + level + QStringLiteral("_Alpha"), alphaToMask(cold),
                           ImageFormat::Gif);
        }
        for (int s = 1; s <= 4; ++s)
            sink.addBitmap(name + QStringLiteral("_Sun") + QString::fromLatin1(steps[s - 1]) + QStringLiteral("_Alpha"),
                           sunMask(room, s), ImageFormat::Gif);
    }
    sink.addBitmap(QStringLiteral("Yellow"), solid(Palette::Sun), ImageFormat::Gif);
    sink.addBitmap(QStringLiteral("Hot"), solid(Palette::Warm), ImageFormat::Gif);
    sink.addBitmap(QStringLiteral("Cold"), solid(Palette::Cool), ImageFormat::Gif);
    sink.addBitmap(QStringLiteral("Hot_Alpha"), tintMask(), ImageFormat::Gif);
}
