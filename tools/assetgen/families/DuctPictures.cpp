// The two supply ducts of the scene. Each picture holds the whole air path of its
// system (outdoor-air intake, fan cabinet, main duct, branches, diffusers) and the
// slab between the ceiling void and the rooms; its mask keeps the page around
// them clear. The fan wheel is a pair of frames of its own.

#include "AssetSink.h"
#include "DrawKit.h"
#include "Families.h"
#include "Palette.h"
#include "SceneGeometry.h"

#include <QtMath>

namespace {

using namespace Scene;

constexpr qreal FanRadius = 29.0;

void drawFanWheel(QPainter& p, QPointF c, qreal turnDegrees)
{
    p.save();
    // Casing ring and the dark throat behind the blades.
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    p.setBrush(Palette::color(Palette::Diffuser));
    p.drawEllipse(c, FanRadius - 0.5, FanRadius - 0.5);
    p.setBrush(Palette::color(Palette::DuctBody));
    p.drawEllipse(c, FanRadius - 4.5, FanRadius - 4.5);
    // Four swept blades.
    p.translate(c);
    p.rotate(turnDegrees);
    for (int i = 0; i < 4; ++i) {
        QPainterPath blade;
        blade.moveTo(0, -3);
        blade.cubicTo(8, -9, 18, -8, 22, -2);
        blade.cubicTo(18, 2, 9, 4, 0, 3);
        blade.closeSubpath();
        p.setPen(QPen(Palette::outline(Palette::Disc), 1.0));
        p.setBrush(Palette::color(Palette::Disc));
        p.drawPath(blade);
        p.rotate(90);
    }
    p.setBrush(Palette::color(Palette::DuctJoint));
    p.drawEllipse(QPointF(0, 0), 5, 5);
    p.setBrush(Palette::color(Palette::DuctHighlight));
    p.drawEllipse(QPointF(0, 0), 2, 2);
    p.restore();
}

QImage fanFrame(qreal turnDegrees)
{
    QImage img = Draw::canvas(FanSize, FanSize);
    QPainter p;
    Draw::begin(p, img);
    drawFanWheel(p, QPointF(FanSize / 2.0, FanSize / 2.0), turnDegrees);
    return img;
}

// Slab between ceiling void and rooms, cut in section.
void drawSlab(QPainter& p)
{
    const QRectF slab(BuildingLeft, SlabTop, BuildingRight - BuildingLeft, RoomTop - SlabTop);
    Draw::hatch(p, slab, Palette::Structure, 5);
    p.save();
    p.setPen(QPen(Palette::outline(Palette::Structure), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(slab.adjusted(0.5, 0.5, -0.5, -0.5));
    p.restore();
}

// A neck from `top` down through the slab, then the diffuser below the ceiling.
void drawDiffuser(QPainter& p, int cx, qreal top, bool controlDisc)
{
    const QRectF neck(cx - NeckHalf, top, 2 * NeckHalf, RoomTop - top);
    Draw::rectDuct(p, neck, 16);
    // Cone of the diffuser and its face plate.
    QPainterPath cone;
    cone.moveTo(cx - NeckHalf, RoomTop);
    cone.lineTo(cx + NeckHalf, RoomTop);
    cone.lineTo(cx + DiffuserHalf - 2, DiffuserBottom - 3);
    cone.lineTo(cx - DiffuserHalf + 2, DiffuserBottom - 3);
    cone.closeSubpath();
    Draw::shape(p, cone, Palette::Diffuser);
    Draw::box(p, QRectF(cx - DiffuserHalf, DiffuserBottom - 4, 2 * DiffuserHalf, 4), Palette::Diffuser, 1);
    if (controlDisc) {
        // The control disc hangs in the throat on its stem.
        p.save();
        p.setPen(QPen(Palette::color(Palette::Disc), 1.0));
        p.drawLine(QPointF(cx, top + 6), QPointF(cx, RoomTop + 2));
        p.restore();
        Draw::box(p, QRectF(cx - 11, RoomTop + 1.5, 22, 3.5), Palette::Disc, 1.5);
    } else {
        p.save();
        p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
        for (int k = -1; k <= 1; ++k)
            p.drawLine(QPointF(cx + 5 * k, RoomTop + 1), QPointF(cx + 9 * k, DiffuserBottom - 4));
        p.restore();
    }
}

// Outdoor-air louvre with slanted blades.
void drawLouvre(QPainter& p, const QRectF& r)
{
    Draw::box(p, r, Palette::Structure);
    p.save();
    p.setPen(QPen(Palette::color(Palette::DuctHighlight), 1.2));
    for (qreal y = r.top() + 3; y < r.bottom() - 2; y += 4)
        p.drawLine(QPointF(r.left() + 1.5, y + 2), QPointF(r.right() - 1.5, y));
    p.restore();
}

// Intake: louvre on the left, a horizontal run, a bend and a riser down to the cabinet.
void drawIntake(QPainter& p, qreal louvreX, qreal top, qreal riserLeft, qreal cabinetTop)
{
    constexpr qreal size = 32;
    const qreal riserRight = riserLeft + size;
    Draw::rectDuct(p, QRectF(louvreX + 8, top, riserLeft - louvreX - 8, size), 28);
    Draw::rectDuct(p, QRectF(riserLeft, top + size, size, cabinetTop - top - size), 24);
    // The bend, with a rounded outer corner.
    QPainterPath bend;
    bend.moveTo(riserLeft, top);
    bend.lineTo(riserRight - 12, top);
    bend.quadTo(riserRight, top, riserRight, top + 12);
    bend.lineTo(riserRight, top + size);
    bend.lineTo(riserLeft, top + size);
    bend.closeSubpath();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::DuctBody));
    p.drawPath(bend);
    p.setBrush(Palette::color(Palette::DuctHighlight));
    p.drawRect(QRectF(riserLeft, top + 2, size - 12, 3));
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    p.setBrush(Qt::NoBrush);
    QPainterPath edge;
    edge.moveTo(riserLeft, top + 0.5);
    edge.lineTo(riserRight - 12, top + 0.5);
    edge.quadTo(riserRight - 0.5, top + 0.5, riserRight - 0.5, top + 12);
    edge.lineTo(riserRight - 0.5, top + size);
    p.drawPath(edge);
    p.setBrush(Palette::color(Palette::DuctJoint));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(riserLeft - 1, top - 1, 2, size + 2));
    p.drawRect(QRectF(riserLeft - 1, top + size - 1, size + 2, 2));
    p.restore();
    drawLouvre(p, QRectF(louvreX, top - 3, 9, size + 6));
}

// The fan section: a panelled cabinet with the fan wheel in it.
void drawCabinet(QPainter& p, const QRectF& r, QPointF fanCentre)
{
    Draw::box(p, r, Palette::Diffuser, 2);
    p.save();
    p.setPen(QPen(Palette::withAlpha(Palette::DuctJoint, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(3.5, 3.5, -3.5, -3.5));
    p.restore();
    drawFanWheel(p, fanCentre, 0);
}

void drawPlate(QPainter& p, const Label& l)
{
    Draw::box(p, QRectF(l.x - 3, l.y - 2, l.plateWidth, PlateHeight), Palette::LabelPlate, 2);
}

// A short round collar from the main duct into a box below it.
void drawCollar(QPainter& p, qreal cx, qreal top, qreal bottom)
{
    Draw::box(p, QRectF(cx - 6, top - 1, 12, bottom - top + 2), Palette::DuctBody);
}

// A VAV box: casing, damper symbol and actuator.
void drawVavBox(QPainter& p, const QRectF& r, qreal damperX, qreal actuatorX)
{
    Draw::box(p, r, Palette::DuctBody, 2);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::DuctHighlight));
    p.drawRect(QRectF(r.left() + 2, r.top() + 2, r.width() - 4, 2));
    // Damper: a blade across a round throat.
    const QPointF c(damperX, r.center().y());
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    p.setBrush(Palette::color(Palette::Diffuser));
    p.drawEllipse(c, 5.5, 5.5);
    p.setPen(QPen(Palette::color(Palette::Disc), 1.6));
    p.drawLine(c + QPointF(-4, 3), c + QPointF(4, -3));
    p.restore();
    Draw::box(p, QRectF(actuatorX, r.top() + 4, 9, r.height() - 8), Palette::Disc, 1.5);
}

QImage lowPressureDrawing()
{
    QImage img = Draw::canvas(Width, HighDuctPicture.height());
    QPainter p;
    Draw::begin(p, img);
    drawSlab(p);

    // Outdoor air, fan section, main duct.
    const QPointF fanCentre(LowFanX + FanSize / 2.0, LowFanY + FanSize / 2.0);
    drawIntake(p, LowDuctX, 32, fanCentre.x() - 16, 109);
    drawCabinet(p, QRectF(63, 109, LowDuctStart - 63, 72), fanCentre);
    Draw::rectDuct(p, QRectF(LowDuctStart, LowDuctTop, LowDuctEnd - LowDuctStart, LowDuctBottom - LowDuctTop), 48);
    Draw::box(p, QRectF(LowDuctEnd - 3, LowDuctTop - 1, 4, LowDuctBottom - LowDuctTop + 2), Palette::DuctJoint);
    for (const Label& l : LowPressureLabels)
        drawPlate(p, l);

    // One control-disc diffuser per room, straight below the duct.
    for (const Room& room : Rooms) {
        drawCollar(p, room.diffuserX, LowDuctBottom - 1, LowDuctBottom + 3);
        drawDiffuser(p, room.diffuserX, LowDuctBottom + 3, true);
    }
    return img;
}

QImage highPressureDrawing()
{
    QImage img = Draw::canvas(Width, HighDuctPicture.height());
    QPainter p;
    Draw::begin(p, img);
    drawSlab(p);

    const QPointF fanCentre(HighFanX + FanSize / 2.0, HighFanY + FanSize / 2.0);
    drawIntake(p, 0, 6, fanCentre.x() - 16, 83);
    drawCabinet(p, QRectF(18, 83, 74, 72), fanCentre);
    // Reducer from the fan outlet to the small high-velocity duct.
    QPainterPath reducer;
    reducer.moveTo(91, 127);
    reducer.lineTo(HighDuctStart + 1, HighDuctTop);
    reducer.lineTo(HighDuctStart + 1, HighDuctBottom);
    reducer.lineTo(91, 154);
    reducer.closeSubpath();
    Draw::shape(p, reducer, Palette::DuctBody);
    p.save();
    p.setClipPath(reducer);
    p.setPen(QPen(Palette::color(Palette::DuctHighlight), 2.0));
    p.drawLine(QPointF(91, 131.5), QPointF(HighDuctStart + 1, HighDuctTop + 3.5));
    p.restore();
    Draw::box(p, QRectF(90, 126, 3, 30), Palette::DuctJoint);
    Draw::box(p, QRectF(HighDuctStart - 1, HighDuctTop - 1, 3, HighDuctBottom - HighDuctTop + 2), Palette::DuctJoint);
    Draw::roundDuct(p, QRectF(HighDuctStart, HighDuctTop, HighDuctEnd - HighDuctStart, HighDuctBottom - HighDuctTop), 26);

    const Room& left = Rooms[0];
    const Room& mid1 = Rooms[1];
    const Room& mid2 = Rooms[2];
    const Room& right = Rooms[3];

    // Branch outlets from the shared box to the two centre rooms (drawn first, the box covers their ends).
    const qreal outletTop = 160, outletBottom = 174;
    const QRectF shared(346, 155, 112, BoxBottom - 155);
    Draw::rectDuct(p, QRectF(mid1.diffuserX - NeckHalf, outletTop, shared.left() - mid1.diffuserX + NeckHalf + 2,
                             outletBottom - outletTop), 0);
    Draw::rectDuct(p, QRectF(shared.right() - 2, outletTop, mid2.diffuserX + NeckHalf - shared.right() + 2,
                             outletBottom - outletTop), 0);
    drawDiffuser(p, mid1.diffuserX, outletBottom - 1, false);
    drawDiffuser(p, mid2.diffuserX, outletBottom - 1, false);

    // Boxes hang from the duct on short collars; each feeds its diffuser.
    const QRectF leftBox(150, BoxTop, 52, BoxBottom - BoxTop);
    const QRectF rightBox(596, BoxTop, 56, BoxBottom - BoxTop);
    drawCollar(p, left.diffuserX, HighDuctBottom - 1, BoxTop + 1);
    drawCollar(p, 402, HighDuctBottom - 1, shared.top() + 1);
    drawCollar(p, right.diffuserX, HighDuctBottom - 1, BoxTop + 1);
    drawDiffuser(p, left.diffuserX, BoxBottom - 1, false);
    drawDiffuser(p, right.diffuserX, BoxBottom - 1, false);
    drawVavBox(p, leftBox, 160, 189);
    drawVavBox(p, rightBox, 606, 640);
    drawVavBox(p, shared, 353, 445);
    drawPlate(p, HighPressureLabel);
    return img;
}

} // namespace

void addDuctPictures(AssetSink& sink)
{
    const QImage low = lowPressureDrawing().copy(LowDuctPicture);
    sink.addBitmap(QStringLiteral("LowPres_Background"), flattenOver(low, Palette::Page), ImageFormat::Bmp);
    sink.addBitmap(QStringLiteral("LowPres_Alpha"), alphaToMask(low), ImageFormat::Gif);

    const QImage high = highPressureDrawing().copy(HighDuctPicture);
    sink.addBitmap(QStringLiteral("HighPres_Background"), flattenOver(high, Palette::Page), ImageFormat::Bmp);
    sink.addBitmap(QStringLiteral("HighPres_Alpha"), alphaToMask(high), ImageFormat::Gif);

    // Two frames of the fan: the blades half a blade pitch apart, so alternating
    // them reads as a spinning wheel.
    addMaskedBitmap(sink, QStringLiteral("Fan1"), fanFrame(0), ImageFormat::Gif, Palette::Page);
    addMaskedBitmap(sink, QStringLiteral("Fan2"), fanFrame(45), ImageFormat::Gif, Palette::Page);
}
