// The intro: its background, the 98 frames of the short film and the closing
// pictures (logo, building, the green start target) with their masks.
//
// The film has three scenes, each told by one picture with a caption strip:
//   1. supply air leaves a diffuser and spreads along the ceiling;
//   2. a room warms up and the control disc opens, then it cools and the disc closes;
//   3. one fan and one duct serve four rooms, each diffuser finding its own opening.
// Frames are GIF: the art is flat, so 256 colours hold it without visible loss.

#include "AssetSink.h"
#include "DrawKit.h"
#include "Families.h"
#include "Palette.h"

#include <QFont>
#include <QFontMetricsF>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Where the window puts things (see the intro window): the frame rectangle,
// the logo, the building and the target.
constexpr int BackgroundW = 792, BackgroundH = 500;
constexpr QRect FrameRect(156, 175, 480, 250);
constexpr int FrameW = 480, FrameH = 250;
constexpr int FrameCount = 98;
constexpr QPoint LogoAt(300, 10);
constexpr QSize LogoSize(470, 56);
constexpr QPoint BuildingAt(80, 68);
constexpr QSize BuildingSize(632, 250);
constexpr QPoint TargetAt(263, 334);
constexpr QSize TargetSize(266, 64);

// The picture above the caption strip.
constexpr int ArtH = 218;

// Scene boundaries (frame numbers): two wipe frames open scenes 2 and 3.
constexpr int Scene2 = 27;
constexpr int Scene3 = 65;
constexpr int WipeFrames = 2;

constexpr qreal Setpoint = 22.0;

QFont font(qreal px, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(int(px));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

qreal smooth(qreal t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

void text(QPainter& p, QPointF at, const QString& s, const QFont& f, const QColor& c,
          Qt::Alignment align = Qt::AlignLeft)
{
    p.save();
    p.setFont(f);
    p.setPen(c);
    const QFontMetricsF fm(f);
    qreal x = at.x();
    if (align & Qt::AlignHCenter)
        x -= fm.horizontalAdvance(s) / 2;
    else if (align & Qt::AlignRight)
        x -= fm.horizontalAdvance(s);
    p.drawText(QPointF(x, at.y()), s);
    p.restore();
}

QString celsius(qreal t) { return QStringLiteral("%1 \u00B0C").arg(t, 0, 'f', 1); }

// ---------------------------------------------------------------- building blocks

// Small filled chevrons running along a path: the air. `offset` moves them
// along (pixels), `front` hides whatever lies beyond that distance from the
// start (air that has not arrived yet).
void airFlow(QPainter& p, const QPainterPath& path, qreal offset, qreal spacing, qreal size, QRgb color,
             qreal front = 1e9, qreal from = 0)
{
    const qreal len = path.length();
    if (len <= 0)
        return;
    p.save();
    // A faint track shows the stream between the chevrons.
    QPainterPath track;
    const qreal trackEnd = std::min(front, len);
    if (trackEnd > from) {
        const int steps = std::max(2, int((trackEnd - from) / 4));
        for (int i = 0; i <= steps; ++i) {
            const QPointF pt = path.pointAtPercent(path.percentAtLength(from + (trackEnd - from) * i / steps));
            if (i == 0)
                track.moveTo(pt);
            else
                track.lineTo(pt);
        }
        p.setPen(QPen(Palette::withAlpha(color, 55), size * 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(track);
    }
    p.setPen(QPen(Palette::outline(color), 0.8));
    p.setBrush(Palette::color(color));
    const qreal start = std::fmod(offset, spacing);
    for (qreal d = start; d < std::min(len, front); d += spacing) {
        if (d < from)
            continue;
        const qreal pct = path.percentAtLength(d);
        const QPointF c = path.pointAtPercent(pct);
        const qreal a = qDegreesToRadians(-path.angleAtPercent(pct));
        const QPointF u(std::cos(a), std::sin(a));
        const QPointF n(-u.y(), u.x());
        QPainterPath head;
        head.moveTo(c + u * size);
        head.lineTo(c - u * size * 0.7 + n * size * 0.85);
        head.lineTo(c - u * size * 0.25);
        head.lineTo(c - u * size * 0.7 - n * size * 0.85);
        head.closeSubpath();
        p.drawPath(head);
    }
    p.restore();
}

// A diffuser seen in section under a ceiling at `ceilingY`: neck from neckTop,
// a cone to the ceiling opening, a rim, and the control disc `gap` pixels
// below the rim on its stem. Returns the y of the disc's top.
qreal diffuser(QPainter& p, qreal cx, qreal neckTop, qreal ceilingY, qreal neckHalf, qreal coneHalf,
               qreal discHalf, qreal gap, qreal scale = 1.0)
{
    const qreal coneTop = ceilingY - 8 * scale;
    Draw::box(p, QRectF(cx - neckHalf, neckTop, 2 * neckHalf, coneTop - neckTop + 1), Palette::DuctBody);
    QPainterPath cone;
    cone.moveTo(cx - neckHalf, coneTop);
    cone.lineTo(cx + neckHalf, coneTop);
    cone.lineTo(cx + coneHalf, ceilingY);
    cone.lineTo(cx - coneHalf, ceilingY);
    cone.closeSubpath();
    Draw::shape(p, cone, Palette::Diffuser);
    const qreal rimH = 3 * scale;
    Draw::box(p, QRectF(cx - coneHalf - 4 * scale, ceilingY, 2 * coneHalf + 8 * scale, rimH), Palette::Diffuser);
    const qreal discTop = ceilingY + rimH + gap;
    const qreal discH = std::max(3.0, 4 * scale);
    Draw::box(p, QRectF(cx - 1.5 * scale, coneTop - 4 * scale, 3 * scale, discTop - coneTop + 4 * scale),
              Palette::Disc);
    Draw::box(p, QRectF(cx - discHalf, discTop, 2 * discHalf, discH), Palette::Disc, 1.5);
    return discTop;
}

// The paths air takes out of a diffuser: down the neck, out of the gap
// between rim and disc, along the ceiling and then down into the room.
QPainterPath outletPath(qreal cx, qreal neckTop, qreal gapY, qreal discHalf, int side, qreal reach,
                        qreal dropTo)
{
    QPainterPath path;
    path.moveTo(cx + side * 2, neckTop);
    path.lineTo(cx + side * 2, gapY - 6);
    path.quadTo(QPointF(cx + side * 4, gapY), QPointF(cx + side * (discHalf + 4), gapY));
    path.lineTo(cx + side * reach * 0.7, gapY + 2);
    path.cubicTo(QPointF(cx + side * reach * 1.02, gapY + 4), QPointF(cx + side * reach, gapY + 22),
                 QPointF(cx + side * reach * 0.96, dropTo));
    return path;
}

void slab(QPainter& p, qreal width, qreal top, qreal bottom)
{
    Draw::hatch(p, QRectF(-1, top, width + 2, bottom - top), Palette::Structure, 6);
    p.save();
    p.setPen(QPen(Palette::outline(Palette::Structure), 1.0));
    p.drawLine(QPointF(-1, bottom - 0.5), QPointF(width + 1, bottom - 0.5));
    p.restore();
}

void ceilingBoard(QPainter& p, qreal width, qreal y, qreal h, std::initializer_list<std::pair<qreal, qreal>> gaps)
{
    qreal x = -1;
    for (auto [a, b] : gaps) {
        Draw::box(p, QRectF(x, y, a - x, h), Palette::CeilingBoard);
        x = b;
    }
    Draw::box(p, QRectF(x, y, width + 1 - x, h), Palette::CeilingBoard);
}

void floorAt(QPainter& p, qreal width, qreal y, qreal bottom)
{
    Draw::hatch(p, QRectF(-1, y + 4, width + 2, bottom - y - 4), Palette::Structure, 6);
    Draw::box(p, QRectF(-1, y, width + 2, 5), Palette::Floor);
}

// An outer wall in section with a window between winTop and winBottom.
void outerWall(QPainter& p, qreal x, qreal w, qreal top, qreal floorY, qreal winTop, qreal winBottom)
{
    Draw::hatch(p, QRectF(x, top, w, winTop - top), Palette::Structure, 5);
    Draw::hatch(p, QRectF(x, winBottom, w, floorY - winBottom), Palette::Structure, 5);
    Draw::box(p, QRectF(x, winTop, w, winBottom - winTop), Palette::Glass);
    p.save();
    p.setPen(QPen(Palette::color(Palette::CoolLight), 1.0));
    p.drawLine(QPointF(x + w * 0.38, winTop + 2), QPointF(x + w * 0.38, winBottom - 2));
    p.drawLine(QPointF(x + w * 0.62, winTop + 2), QPointF(x + w * 0.62, winBottom - 2));
    p.restore();
    Draw::box(p, QRectF(x - 1, winBottom - 1, w + 2, 3), Palette::WindowFrame);
}

void partition(QPainter& p, qreal x, qreal top, qreal bottom)
{
    Draw::box(p, QRectF(x, top, 4, bottom - top), Palette::Structure);
}

// People and equipment: the room's heat loads, drawn like the main scene's.
void person(QPainter& p, qreal x, qreal floorY, qreal scale, QRgb fill, qreal opacity = 1.0)
{
    if (opacity <= 0)
        return;
    p.save();
    p.setOpacity(opacity);
    p.translate(x, floorY);
    p.scale(scale, scale);
    QPainterPath body;
    body.addEllipse(QPointF(0, -41), 4.5, 4.5);
    body.addRoundedRect(QRectF(-6.5, -35, 13, 19), 3.5, 3.5);
    body.addRoundedRect(QRectF(-9.5, -34, 3.5, 16), 1.7, 1.7);
    body.addRoundedRect(QRectF(6, -34, 3.5, 16), 1.7, 1.7);
    body.addRoundedRect(QRectF(-5.5, -18, 5, 18), 1.5, 1.5);
    body.addRoundedRect(QRectF(0.5, -18, 5, 18), 1.5, 1.5);
    body.setFillRule(Qt::WindingFill);
    Draw::shape(p, body.simplified(), fill);
    p.restore();
}

void heatWaves(QPainter& p, qreal cx, qreal top, int count, qreal height, qreal phase, qreal opacity = 1.0)
{
    if (opacity <= 0)
        return;
    p.save();
    p.setOpacity(opacity);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        const qreal x = cx + (i - (count - 1) / 2.0) * 6;
        p.setPen(QPen(Palette::color(i % 2 ? Palette::WarmLight : Palette::Warm), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(Draw::wave(QPointF(x, top), QPointF(x, top - height), 1.6, 8, i * 1.3 + phase));
    }
    p.restore();
}

void desk(QPainter& p, qreal left, qreal width, qreal floorY, bool screenOn, qreal scale = 1.0)
{
    const qreal top = floorY - 24 * scale;
    Draw::box(p, QRectF(left, top, width, 3 * scale), Palette::Furniture);
    Draw::box(p, QRectF(left + 2, top + 3 * scale, 3 * scale, floorY - top - 3 * scale), Palette::Furniture);
    Draw::box(p, QRectF(left + width - 2 - 3 * scale, top + 3 * scale, 3 * scale, floorY - top - 3 * scale),
              Palette::Furniture);
    const qreal mx = left + width * 0.6;
    Draw::box(p, QRectF(mx - 2 * scale, top - 4 * scale, 4 * scale, 4 * scale), Palette::Disc);
    Draw::box(p, QRectF(mx - 10 * scale, top - 19 * scale, 20 * scale, 15 * scale), Palette::Disc, 1.5);
    Draw::box(p, QRectF(mx - 8 * scale, top - 17 * scale, 16 * scale, 11 * scale),
              screenOn ? Palette::WarmLight : Palette::LabelPlate);
}

void sunBeams(QPainter& p, QPointF window, qreal h, QPointF floorHit, qreal spread, qreal strength)
{
    if (strength <= 0)
        return;
    p.save();
    QPainterPath beam;
    beam.moveTo(window);
    beam.lineTo(window + QPointF(0, h));
    beam.lineTo(floorHit + QPointF(spread, 0));
    beam.lineTo(floorHit);
    beam.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::withAlpha(Palette::Sun, int(110 * strength)));
    p.drawPath(beam);
    p.restore();
}

// The warm or cool wash over a room's air: strength 0 at the setpoint.
void roomTint(QPainter& p, const QRectF& r, qreal temperature)
{
    const qreal d = temperature - Setpoint;
    if (std::abs(d) < 0.05)
        return;
    p.save();
    p.setPen(Qt::NoPen);
    const int alpha = int(std::min(1.0, std::abs(d) / 3.0) * 78);
    p.setBrush(Palette::withAlpha(d > 0 ? Palette::Warm : Palette::Cool, alpha));
    p.drawRect(r);
    p.restore();
}

void fan(QPainter& p, QPointF c, qreal r, qreal angle)
{
    p.save();
    p.setPen(QPen(Palette::outline(Palette::DuctBody), 1.0));
    p.setBrush(Palette::color(Palette::DuctBody));
    p.drawEllipse(c, r, r);
    p.setBrush(Palette::color(Palette::DuctHighlight));
    p.drawEllipse(c, r - 4, r - 4);
    p.translate(c);
    p.rotate(angle);
    p.setBrush(Palette::color(Palette::Disc));
    p.setPen(QPen(Palette::outline(Palette::Disc), 0.8));
    for (int i = 0; i < 4; ++i) {
        QPainterPath blade;
        blade.moveTo(0, 0);
        blade.cubicTo(r * 0.2, -r * 0.45, r * 0.62, -r * 0.5, r * 0.72, -r * 0.12);
        blade.cubicTo(r * 0.5, 0, r * 0.2, r * 0.05, 0, 0);
        p.drawPath(blade);
        p.rotate(90);
    }
    p.drawEllipse(QPointF(0, 0), r * 0.16, r * 0.16);
    p.restore();
}

void callout(QPainter& p, QPointF label, QPointF target, const QString& s, Qt::Alignment align = Qt::AlignLeft)
{
    p.save();
    p.setPen(QPen(Palette::withAlpha(Palette::Text, 170), 0.9));
    const QFontMetricsF fm(font(11));
    const qreal w = fm.horizontalAdvance(s);
    const QPointF anchor = align & Qt::AlignRight ? label + QPointF(3, -4) : label + QPointF(-3, -4);
    p.drawLine(anchor, target);
    p.setBrush(Palette::color(Palette::Text));
    p.setPen(Qt::NoPen);
    p.drawEllipse(target, 1.6, 1.6);
    p.restore();
    text(p, align & Qt::AlignRight ? label - QPointF(w, 0) : label, s, font(11), Palette::color(Palette::Text));
}

// The strip under the picture: the scene's number and what it shows.
void caption(QPainter& p, int scene, const QString& s)
{
    const QRectF strip(0, ArtH, FrameW, FrameH - ArtH);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::LabelPlate));
    p.drawRect(strip);
    p.setBrush(Palette::color(Palette::Cool));
    p.drawEllipse(QPointF(18, ArtH + 16), 10, 10);
    p.restore();
    text(p, QPointF(18, ArtH + 21), QString::number(scene), font(13, true), Qt::white, Qt::AlignHCenter);
    text(p, QPointF(36, ArtH + 21), s, font(13, true), Palette::color(Palette::DuctHighlight));
}

QImage newFrame()
{
    QImage img(FrameW, FrameH, QImage::Format_RGB32);
    img.fill(Palette::RoomWall);
    return img;
}

void frameBorder(QPainter& p)
{
    p.save();
    p.setPen(QPen(Palette::outline(Palette::LabelPlate), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, FrameW - 1, FrameH - 1));
    p.restore();
}

// ---------------------------------------------------------------- scene 1

// s counts the scene's frames from 0; the air arrives during the first few.
QImage sceneDiffuser(int s)
{
    QImage img = newFrame();
    QPainter p;
    Draw::begin(p, img);

    // Ceiling void, slab, duct.
    p.fillRect(QRectF(0, 0, FrameW, 66), Palette::color(Palette::Page));
    slab(p, FrameW, 0, 12);
    Draw::rectDuct(p, QRectF(-4, 22, 266, 30), 64);

    // The room under the ceiling.
    floorAt(p, FrameW, 202, ArtH);
    person(p, 82, 202, 1.25, Palette::Structure);
    desk(p, 330, 92, 202, false, 1.2);
    person(p, 312, 202, 1.25, Palette::Structure);

    const qreal cx = 240, ceilingY = 66;
    ceilingBoard(p, FrameW, 62, 5, {{176, 304}});
    const qreal gap = 10;
    const qreal discTop = diffuser(p, cx, 50, ceilingY, 16, 56, 48, gap, 1.7);
    const qreal gapY = ceilingY + 5 + gap / 2;

    // Air: along the duct, down the neck, out both sides along the ceiling.
    const qreal speed = 9, spacing = 24;
    const qreal offset = s * speed;
    const qreal front = 40 + s * 48;
    QPainterPath duct;
    duct.moveTo(-10, 37);
    duct.lineTo(cx - 12, 37);
    duct.quadTo(QPointF(cx - 2, 37), QPointF(cx - 2, 47));
    const qreal ductLen = duct.length();
    airFlow(p, duct, offset, spacing, 5, Palette::CoolLight, front);
    for (int side : {-1, 1}) {
        QPainterPath out = outletPath(cx, 47, gapY, 48, side, 200, 196);
        airFlow(p, out, offset - ductLen, spacing, 5, Palette::CoolLight, front - ductLen);
    }

    callout(p, QPointF(298, 36), QPointF(263, 36), QStringLiteral("supply duct"));
    callout(p, QPointF(418, 54), QPointF(408, 63), QStringLiteral("ceiling"));
    callout(p, QPointF(318, 118), QPointF(cx + 40, discTop + 4), QStringLiteral("control disc"));
    if (s >= 8)
        text(p, QPointF(58, 112), QStringLiteral("cool air spreads along the ceiling"), font(12),
             Palette::color(Palette::Cool));
    // Second half: point out the disc that the next scene is about.
    const bool discTurn = s >= 14;
    if (discTurn) {
        p.save();
        p.setPen(QPen(Palette::color(Palette::Highlighted), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(cx - 56, discTop - 5, 112, 16), 7, 7);
        p.restore();
    }

    caption(p, 1, discTurn ? QStringLiteral("The control disc under the outlet sets how much air leaves")
                           : QStringLiteral("Supply air leaves the diffuser and hugs the ceiling"));
    frameBorder(p);
    return img;
}

// ---------------------------------------------------------------- scene 2

struct RoomState {
    qreal temperature;
    qreal opening; // percent, 30..100
    qreal sun;     // 0..1
    qreal people;  // 0..1
};

qreal openingFor(qreal temperature)
{
    return std::clamp(30 + 70 * (temperature - Setpoint) / 2.6, 30.0, 100.0);
}

qreal scene2Temperature(qreal s)
{
    if (s < 3)
        return Setpoint;
    if (s < 13)
        return Setpoint + 3.2 * smooth((s - 3) / 10);
    if (s < 19)
        return Setpoint + 3.2 - 0.4 * smooth((s - 13) / 6);
    if (s < 33)
        return Setpoint + 2.8 * (1 - smooth((s - 19) / 14));
    return Setpoint;
}

RoomState scene2State(int s)
{
    RoomState st;
    st.temperature = scene2Temperature(s);
    // The disc answers the room a moment later.
    st.opening = openingFor(scene2Temperature(s - 1.5));
    st.sun = smooth((s - 2) / 3.0) * (1 - smooth((s - 17) / 3.0));
    st.people = smooth((s - 4) / 2.0) * (1 - smooth((s - 18) / 2.0));
    return st;
}

QImage sceneDisc(int s)
{
    const RoomState st = scene2State(s);
    QImage img = newFrame();
    QPainter p;
    Draw::begin(p, img);

    constexpr qreal roomRight = 322, ceilingY = 52, floorY = 196;
    p.fillRect(QRectF(0, 0, roomRight, ceilingY), Palette::color(Palette::Page));
    slab(p, roomRight, 0, 10);
    Draw::rectDuct(p, QRectF(-4, 15, 186, 22), 60);

    // Room: window wall on the left, sun, people, a desk.
    floorAt(p, roomRight, floorY, ArtH);
    const QRectF air(10, ceilingY + 3, roomRight - 14, floorY - ceilingY - 3);
    sunBeams(p, QPointF(10, 78), 70, QPointF(60, floorY), 120, st.sun);
    desk(p, 214, 84, floorY, st.people > 0.5);
    const qreal second = smooth((s - 6) / 2.0) * (1 - smooth((s - 19) / 2.0));
    person(p, 196, floorY, 1.0, Palette::Warm, st.people);
    person(p, 92, floorY, 1.0, Palette::Warm, second);
    heatWaves(p, 196, floorY - 52, 3, 14, s * 0.9, st.people);
    heatWaves(p, 92, floorY - 52, 3, 14, s * 0.9 + 1, second);
    heatWaves(p, 70, floorY - 8, 3, 12, s * 0.9 + 2, st.sun);
    roomTint(p, air, st.temperature);
    outerWall(p, 0, 10, ceilingY, floorY, 78, 148);
    partition(p, roomRight - 4, ceilingY, floorY);

    // The diffuser: the disc drops as it opens.
    const qreal cx = 160;
    ceilingBoard(p, roomRight, 47, 5, {{102, 218}});
    const qreal gap = 1 + 15 * (st.opening - 30) / 70;
    const qreal discTop = diffuser(p, cx, 37, ceilingY, 14, 50, 44, gap, 1.5);
    const qreal gapY = ceilingY + 4.5 + gap / 2;
    const qreal flow = (st.opening - 20) / 80; // more opening, more and faster air
    qreal travelled = 0;
    for (int i = 0; i < s; ++i)
        travelled += 3 + 10 * (openingFor(scene2Temperature(i - 1.5)) - 20) / 80;
    QPainterPath duct;
    duct.moveTo(-10, 26);
    duct.lineTo(cx - 12, 26);
    duct.quadTo(QPointF(cx - 2, 26), QPointF(cx - 2, 36));
    const qreal ductLen = duct.length();
    const qreal spacing = 30 - 12 * flow;
    airFlow(p, duct, travelled, spacing, 4.5, Palette::CoolLight);
    for (int side : {-1, 1}) {
        const qreal reach = 66 + 70 * flow;
        QPainterPath out = outletPath(cx, 36, gapY, 44, side, reach, ceilingY + 40 + 90 * flow);
        airFlow(p, out, travelled - ductLen, spacing, 4.5, Palette::CoolLight);
    }
    callout(p, QPointF(204, 112), QPointF(cx + 30, discTop + 4), QStringLiteral("control disc"));

    // Instruments: the room's temperature against its setpoint, and the disc opening.
    const QRectF card(332, 6, 142, 206);
    Draw::box(p, card, Palette::RoomWall, 6);
    text(p, QPointF(367, 24), QStringLiteral("room"), font(11, true), Palette::color(Palette::Text), Qt::AlignHCenter);
    text(p, QPointF(437, 24), QStringLiteral("disc"), font(11, true), Palette::color(Palette::Text), Qt::AlignHCenter);
    // Thermometer, 18..28 degrees over 130 px.
    const qreal tubeTop = 34, tubeBottom = 160;
    const auto yOf = [&](qreal t) { return tubeBottom - (t - 18) * (tubeBottom - tubeTop) / 10; };
    const QRgb mercury = st.temperature > Setpoint + 0.4 ? Palette::Warm
                         : st.temperature < Setpoint - 0.4 ? Palette::Cool
                                                           : Palette::Disc;
    Draw::box(p, QRectF(361, tubeTop - 3, 12, tubeBottom - tubeTop + 8), Palette::Page, 6);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(mercury));
    p.drawRect(QRectF(364, yOf(st.temperature), 6, tubeBottom + 4 - yOf(st.temperature)));
    p.drawEllipse(QPointF(367, tubeBottom + 12), 9, 9);
    p.setPen(QPen(Palette::color(Palette::Text), 1.0));
    for (int t = 18; t <= 28; t += 2)
        p.drawLine(QPointF(352, yOf(t)), QPointF(357, yOf(t)));
    p.setPen(QPen(Palette::color(Palette::Text), 1.2, Qt::DashLine));
    p.drawLine(QPointF(346, yOf(Setpoint)), QPointF(388, yOf(Setpoint)));
    p.restore();
    text(p, QPointF(349, yOf(Setpoint) - 4), QStringLiteral("set"), font(9), Palette::color(Palette::Text),
         Qt::AlignHCenter);
    text(p, QPointF(367, 200), celsius(st.temperature), font(12, true), Palette::color(mercury), Qt::AlignHCenter);

    // Disc opening bar, 0..100 % over the same height.
    const QRectF bar(428, tubeTop, 18, tubeBottom + 12 - tubeTop);
    Draw::box(p, bar, Palette::Page, 2);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::Cool));
    const qreal filled = bar.height() * st.opening / 100;
    p.drawRect(QRectF(bar.left() + 2, bar.bottom() - filled, bar.width() - 4, filled - 2));
    p.restore();
    text(p, QPointF(437, 200), QStringLiteral("%1 %").arg(int(std::round(st.opening))), font(12, true),
         Palette::color(Palette::Cool), Qt::AlignHCenter);

    const QString what = s < 18 ? QStringLiteral("The room warms up: the control disc opens, more cool air")
                                : QStringLiteral("The room cools down: the disc closes, less air");
    caption(p, 2, what);
    frameBorder(p);
    return img;
}

// ---------------------------------------------------------------- scene 3

struct Scene3Room {
    qreal start;  // temperature before the air arrives
    int kind;     // 0 sun, 1 people, 2 empty, 3 office
};
constexpr std::array<Scene3Room, 4> Scene3Rooms{{{25.0, 0}, {24.6, 1}, {20.6, 2}, {25.4, 3}}};
constexpr qreal S3Left = 8, S3RoomW = 116, S3Ceiling = 60, S3Floor = 190;
constexpr qreal S3FanX = 22, S3DuctY = 30;
constexpr qreal S3FrontSpeed = 34;

qreal roomCentre3(int i) { return S3Left + S3RoomW * i + S3RoomW / 2; }
// Scene frame at which the air reaches room i's diffuser.
qreal servedAt3(int i) { return (roomCentre3(i) - S3FanX - 18) / S3FrontSpeed; }

qreal temperature3(int i, qreal s)
{
    const qreal t0 = Scene3Rooms[size_t(i)].start;
    const qreal since = s - servedAt3(i);
    if (since <= 0)
        return t0;
    return Setpoint + (t0 - Setpoint) * std::exp(-since / 4.5);
}

QImage sceneBuilding(int s)
{
    QImage img = newFrame();
    QPainter p;
    Draw::begin(p, img);

    p.fillRect(QRectF(0, 0, FrameW, S3Ceiling), Palette::color(Palette::Page));
    slab(p, FrameW, 0, 8);
    const qreal ductLeft = S3FanX + 16, ductRight = 462;
    Draw::rectDuct(p, QRectF(ductLeft, 21, ductRight - ductLeft, 18), 58);
    fan(p, QPointF(S3FanX, S3DuctY), 17, s * 33.0);
    floorAt(p, FrameW, S3Floor, ArtH);

    const qreal front = S3FanX + 18 + s * S3FrontSpeed; // x the air has reached in the duct
    std::array<qreal, 4> gaps{};
    for (int i = 0; i < 4; ++i) {
        const qreal x0 = S3Left + S3RoomW * i;
        const qreal cx = roomCentre3(i);
        const qreal t = temperature3(i, s);
        const QRectF air(x0 + 4, S3Ceiling + 3, S3RoomW - 4, S3Floor - S3Ceiling - 3);
        const qreal load = std::clamp((t - Setpoint) / 3.0, 0.0, 1.0);
        switch (Scene3Rooms[size_t(i)].kind) {
        case 0:
            sunBeams(p, QPointF(S3Left + 8, 86), 64, QPointF(x0 + 46, S3Floor), 60, 1.0);
            heatWaves(p, x0 + 70, S3Floor - 6, 3, 10, s * 0.9, 0.5 + 0.5 * load);
            break;
        case 1:
            person(p, x0 + 36, S3Floor, 0.9, Palette::Warm);
            person(p, x0 + 78, S3Floor, 0.9, Palette::Warm);
            heatWaves(p, x0 + 36, S3Floor - 46, 3, 10, s * 0.9, 0.5 + 0.5 * load);
            heatWaves(p, x0 + 78, S3Floor - 46, 3, 10, s * 0.9 + 1, 0.5 + 0.5 * load);
            break;
        case 2:
            Draw::box(p, QRectF(x0 + 20, S3Floor - 52, 24, 52), Palette::CeilingBoard);
            break;
        case 3:
            desk(p, x0 + 22, 64, S3Floor, true, 0.9);
            heatWaves(p, x0 + 60, S3Floor - 44, 3, 10, s * 0.9, 0.5 + 0.5 * load);
            break;
        }
        roomTint(p, air, t);
        gaps[size_t(i)] = 1 + 9 * (openingFor(temperature3(i, s - 1)) - 30) / 70;

        // The reading, and a tick once the room sits at its setpoint.
        const bool settled = std::abs(t - Setpoint) < 0.3;
        const QRgb ink = t > Setpoint + 0.3 ? Palette::Warm : t < Setpoint - 0.3 ? Palette::Cool : Palette::Text;
        text(p, QPointF(cx, S3Floor - 66), celsius(t), font(12, true), Palette::color(ink), Qt::AlignHCenter);
        if (settled) {
            p.save();
            p.setPen(QPen(Palette::color(Palette::Cool), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            QPainterPath tick;
            tick.moveTo(cx - 7, S3Floor - 92);
            tick.lineTo(cx - 2, S3Floor - 87);
            tick.lineTo(cx + 8, S3Floor - 98);
            p.drawPath(tick);
            p.restore();
        }
    }
    outerWall(p, S3Left - 4, 8, S3Ceiling, S3Floor, 86, 150);
    outerWall(p, S3Left + 4 * S3RoomW - 4, 8, S3Ceiling, S3Floor, 86, 150);
    for (int i = 1; i < 4; ++i)
        partition(p, S3Left + S3RoomW * i - 2, S3Ceiling, S3Floor);

    ceilingBoard(p, FrameW, 56, 4,
                 {{roomCentre3(0) - 22, roomCentre3(0) + 22}, {roomCentre3(1) - 22, roomCentre3(1) + 22},
                  {roomCentre3(2) - 22, roomCentre3(2) + 22}, {roomCentre3(3) - 22, roomCentre3(3) + 22}});

    // Air along the duct up to the front, then down into each room it has reached.
    QPainterPath duct;
    duct.moveTo(S3FanX + 18, S3DuctY);
    duct.lineTo(ductRight - 4, S3DuctY);
    airFlow(p, duct, s * 11.0, 20, 4, Palette::CoolLight, front - (S3FanX + 18));
    for (int i = 0; i < 4; ++i) {
        const qreal cx = roomCentre3(i);
        const qreal gap = gaps[size_t(i)];
        diffuser(p, cx, 39, S3Ceiling, 7, 20, 17, gap, 0.9);
        const qreal since = s - servedAt3(i);
        if (since <= 0)
            continue;
        const qreal flow = (openingFor(temperature3(i, s - 1)) - 20) / 80;
        const qreal gapY = S3Ceiling + 1.5 + gap / 2 + 1;
        for (int side : {-1, 1}) {
            QPainterPath out = outletPath(cx, 40, gapY, 17, side, 30 + 24 * flow, S3Ceiling + 24 + 60 * flow);
            airFlow(p, out, s * (3 + 9 * flow), 22 - 8 * flow, 3.5, Palette::CoolLight, since * 40);
        }
    }

    const QString what = s < 17 ? QStringLiteral("One fan, one duct: each diffuser takes what its room needs")
                                : QStringLiteral("Every room at its own setpoint, with no balancing by hand");
    caption(p, 3, what);
    frameBorder(p);
    return img;
}

QImage sceneFrame(int n)
{
    if (n < Scene2)
        return sceneDiffuser(n - 1);
    if (n < Scene3)
        return sceneDisc(n - Scene2);
    return sceneBuilding(n - Scene3);
}

// The first frames of scenes 2 and 3 wipe the new picture in from the left.
QImage frame(int n)
{
    QImage img = sceneFrame(n);
    for (int start : {Scene2, Scene3}) {
        const int k = n - start;
        if (k < 0 || k >= WipeFrames)
            continue;
        const QImage before = sceneFrame(start - 1);
        const int edge = FrameW * (k + 1) / (WipeFrames + 1);
        QPainter p(&img);
        p.drawImage(QRect(edge, 0, FrameW - edge, FrameH), before, QRect(edge, 0, FrameW - edge, FrameH));
        p.fillRect(QRect(edge - 1, 0, 3, FrameH), Palette::color(Palette::LabelPlate));
    }
    return img;
}

// ---------------------------------------------------------------- background and closing pictures

// A round badge: a diffuser with air leaving it, cool to one side, warm to the other.
void diffuserMark(QPainter& p, QPointF c, qreal r)
{
    p.save();
    p.setPen(QPen(Palette::outline(Palette::LabelPlate), 1.0));
    p.setBrush(Palette::color(Palette::LabelPlate));
    p.drawEllipse(c, r, r);
    p.translate(c);
    p.scale(r / 20, r / 20);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::DuctHighlight));
    p.drawRect(QRectF(-3.5, -15, 7, 9));
    QPainterPath cone;
    cone.moveTo(-3.5, -6.5);
    cone.lineTo(3.5, -6.5);
    cone.lineTo(11, -1);
    cone.lineTo(-11, -1);
    cone.closeSubpath();
    p.drawPath(cone);
    p.setBrush(Palette::color(Palette::Diffuser));
    p.drawRoundedRect(QRectF(-8, 1.5, 16, 2.6), 1, 1);
    for (int side : {-1, 1}) {
        QPainterPath stream;
        stream.moveTo(side * 9, 3);
        stream.cubicTo(side * 16.5, 3, side * 17, 8, side * 15, 12.5);
        p.setPen(QPen(Palette::color(side < 0 ? Palette::CoolLight : Palette::WarmLight), 2.2, Qt::SolidLine,
                      Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(stream);
    }
    p.restore();
}

QImage background()
{
    QImage img(BackgroundW, BackgroundH, QImage::Format_RGB32);
    img.fill(Palette::Page);
    QPainter p;
    Draw::begin(p, img);

    // Header: the mark and what this is; the logo fades in to its right at the end.
    diffuserMark(p, QPointF(38, 34), 21);
    text(p, QPointF(70, 30), QStringLiteral("VAV air distribution"), font(14, true), Palette::color(Palette::Text));
    text(p, QPointF(70, 48), QStringLiteral("training simulator"), font(12), Palette::color(Palette::Structure));
    p.setPen(QPen(Palette::withAlpha(Palette::Structure, 110), 1.0));
    p.drawLine(QPointF(16, 66.5), QPointF(BackgroundW - 16, 66.5));

    // Title over the film (the closing picture covers it).
    text(p, QPointF(BackgroundW / 2.0, 112), QStringLiteral("Self-balancing VAV diffusers"), font(28, true),
         Palette::color(Palette::Text), Qt::AlignHCenter);
    text(p, QPointF(BackgroundW / 2.0, 140),
         QStringLiteral("How one duct keeps every room at its own temperature"), font(15),
         Palette::color(Palette::Disc), Qt::AlignHCenter);

    // The stage the film plays on.
    const QRectF stage(FrameRect.adjusted(-14, -12, 14, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::withAlpha(Palette::Structure, 40));
    p.drawRoundedRect(stage.translated(2, 3), 10, 10);
    Draw::box(p, stage, Palette::CeilingBoard, 10);

    // Legend along the bottom, left of the skip button.
    qreal x = FrameRect.left() - 14;
    const qreal y = 462;
    const auto legend = [&](QRgb swatch, const QString& s, bool arrow) {
        p.save();
        if (arrow) {
            QPainterPath path;
            path.moveTo(x, y);
            path.lineTo(x + 18, y);
            airFlow(p, path, 4, 9, 4, swatch);
        } else {
            p.setPen(QPen(Palette::outline(swatch), 1.0));
            p.setBrush(Palette::withAlpha(swatch, swatch == Palette::Disc ? 255 : 150));
            p.drawRoundedRect(QRectF(x, y - 6, 18, 12), 2, 2);
        }
        p.restore();
        text(p, QPointF(x + 24, y + 4.5), s, font(12), Palette::color(Palette::Text));
        x += 24 + QFontMetricsF(font(12)).horizontalAdvance(s) + 22;
    };
    legend(Palette::CoolLight, QStringLiteral("supply air"), true);
    legend(Palette::Disc, QStringLiteral("control disc"), false);
    legend(Palette::Warm, QStringLiteral("warmer than set"), false);
    legend(Palette::Cool, QStringLiteral("cooler than set"), false);
    return img;
}

// The wordmark, right-aligned so it ends near the window's right edge.
QImage logo()
{
    QImage img = Draw::canvas(LogoSize.width(), LogoSize.height());
    QPainter p;
    Draw::begin(p, img);
    const QFont big = font(38, true);
    const QFontMetricsF fm(big);
    const QString first = QStringLiteral("Corvane-Air ");
    const QString second = QStringLiteral("Calorift");
    const qreal right = LogoSize.width() - 8;
    const qreal left = right - fm.horizontalAdvance(first + second);
    text(p, QPointF(left, 42), first, big, Palette::color(Palette::Text));
    text(p, QPointF(left + fm.horizontalAdvance(first), 42), second, big, Palette::color(Palette::Warm));
    return img;
}

QImage building()
{
    const int W = BuildingSize.width(), H = BuildingSize.height();
    QImage img = Draw::canvas(W, H);
    QPainter p;
    Draw::begin(p, img);
    const QRectF card(3, 2, W - 8, H - 8);
    // A soft shadow under the card.
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.setBrush(Palette::withAlpha(Palette::Structure, 22));
        p.drawRoundedRect(card.translated(i, i + 1), 14, 14);
    }
    QPainterPath shape;
    shape.addRoundedRect(card, 14, 14);
    p.setBrush(Palette::color(Palette::Frost));
    p.drawPath(shape);
    p.save();
    p.setClipPath(shape);

    // Sun and clouds.
    p.setBrush(Palette::withAlpha(Palette::Sun, 90));
    p.drawEllipse(QPointF(70, 52), 34, 34);
    p.setBrush(Palette::color(Palette::Sun));
    p.drawEllipse(QPointF(70, 52), 22, 22);
    const auto cloud = [&](qreal x, qreal y, qreal s) {
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(x, y), 22 * s, 11 * s);
        p.drawEllipse(QPointF(x + 18 * s, y - 6 * s), 16 * s, 12 * s);
        p.drawEllipse(QPointF(x + 34 * s, y), 18 * s, 9 * s);
    };
    cloud(480, 40, 1.0);
    cloud(560, 78, 0.7);
    cloud(150, 96, 0.55);

    // Ground (plain strokes: the hatch helper would reset the card's clip).
    const qreal groundY = 206;
    p.fillRect(QRectF(0, groundY, W, H - groundY), Palette::color(Palette::Floor));
    p.setPen(QPen(Palette::outline(Palette::Floor), 1.0));
    p.drawLine(QPointF(0, groundY + 0.5), QPointF(W, groundY + 0.5));
    p.setPen(QPen(QColor::fromRgba(Palette::Floor).darker(112), 1.0));
    for (qreal x = -40; x < W; x += 9)
        p.drawLine(QPointF(x, H), QPointF(x + 30, groundY + 6));

    // The building in section: roof with its fan unit, ceiling void with the
    // duct, four rooms with their diffusers, every one at its setpoint.
    const qreal bl = 100, br = 532, roofY = 64, voidBottom = 110, floorY = 200;
    const qreal roomW = (br - bl) / 4;
    p.fillRect(QRectF(bl, roofY, br - bl, floorY - roofY), Palette::color(Palette::Page));
    Draw::box(p, QRectF(bl + 14, roofY - 32, 70, 32), Palette::DuctBody, 3);
    fan(p, QPointF(bl + 49, roofY - 16), 13, 20);
    Draw::box(p, QRectF(bl - 8, roofY, br - bl + 16, 9), Palette::Structure);
    Draw::rectDuct(p, QRectF(bl + 22, roofY + 5, 16, 14), 0);
    Draw::rectDuct(p, QRectF(bl + 22, roofY + 16, br - bl - 40, 14), 48);
    for (int i = 0; i < 4; ++i) {
        const qreal x0 = bl + roomW * i;
        p.fillRect(QRectF(x0, voidBottom, roomW, floorY - voidBottom), Palette::color(Palette::RoomWall));
        const qreal cx = x0 + roomW / 2;
        if (i == 1)
            person(p, x0 + 30, floorY, 0.8, Palette::Structure);
        if (i == 3)
            desk(p, x0 + 40, 52, floorY, false, 0.8);
        if (i == 0)
            person(p, x0 + 74, floorY, 0.8, Palette::Structure);
        if (i > 0)
            partition(p, x0 - 2, voidBottom, floorY);
        text(p, QPointF(cx, voidBottom + 50), celsius(Setpoint), font(12, true), Palette::color(Palette::Text),
             Qt::AlignHCenter);
    }
    Draw::box(p, QRectF(bl, voidBottom - 4, br - bl, 4), Palette::CeilingBoard);
    for (int i = 0; i < 4; ++i) {
        const qreal cx = bl + roomW * i + roomW / 2;
        diffuser(p, cx, roofY + 29, voidBottom, 5, 15, 13, 4, 0.8);
        for (int side : {-1, 1}) {
            QPainterPath out = outletPath(cx, roofY + 30, voidBottom + 5.5, 13, side, 40, voidBottom + 42);
            airFlow(p, out, 6 + 7 * i, 16, 3, Palette::CoolLight);
        }
    }
    outerWall(p, bl - 8, 8, roofY + 9, floorY, 124, 176);
    outerWall(p, br, 8, roofY + 9, floorY, 124, 176);
    Draw::box(p, QRectF(bl - 12, floorY, br - bl + 24, 6), Palette::Structure);
    p.restore();

    p.setPen(QPen(Palette::outline(Palette::Frost), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    return img;
}

QImage greenScreen()
{
    const int W = TargetSize.width(), H = TargetSize.height();
    QImage img = Draw::canvas(W, H);
    QPainter p;
    Draw::begin(p, img);
    const QRectF r(2, 2, W - 4, H - 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::withAlpha(Palette::Structure, 70));
    p.drawRoundedRect(r.translated(1, 2), 16, 16);
    QPainterPath body;
    body.addRoundedRect(r, 16, 16);
    Draw::shape(p, body, Palette::Go);
    p.save();
    p.setClipPath(body);
    p.setBrush(Palette::color(Palette::GoLight));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(r.left() + 4, r.top() + 3, r.width() - 8, r.height() * 0.42), 12, 12);
    p.restore();
    // A play sign and the words.
    const QPointF c(r.left() + 32, r.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 19, 19);
    QPainterPath play;
    play.moveTo(c + QPointF(-6, -10));
    play.lineTo(c + QPointF(11, 0));
    play.lineTo(c + QPointF(-6, 10));
    play.closeSubpath();
    p.setBrush(Palette::color(Palette::Go));
    p.drawPath(play);
    text(p, QPointF(r.left() + 62, r.center().y() + 8.5), QStringLiteral("Click to start"), font(24, true), Qt::white);
    return img;
}

void addMaskedMovieImage(AssetSink& sink, const QString& name, const QImage& drawing, QRgb matte)
{
    sink.addMovieFrame(name, flattenOver(drawing, matte), ImageFormat::Gif);
    sink.addMovieFrame(name + QStringLiteral("_Alpha"), alphaToMask(drawing), ImageFormat::Gif);
}

} // namespace

void addIntroPictures(AssetSink& sink)
{
    sink.addMovieFrame(QStringLiteral("IntroBackground"), background(), ImageFormat::Gif);
    for (int n = 1; n <= FrameCount; ++n)
        sink.addMovieFrame(QStringLiteral("Frame_%1").arg(n, 4, 10, QLatin1Char('0')), frame(n), ImageFormat::Gif);
    addMaskedMovieImage(sink, QStringLiteral("Logo"), logo(), Palette::Page);
    // The building's card is opaque; its soft shadow falls on the page.
    addMaskedMovieImage(sink, QStringLiteral("Building"), building(), Palette::Page);
    addMaskedMovieImage(sink, QStringLiteral("GreenScreen"), greenScreen(), Palette::CeilingBoard);
}
