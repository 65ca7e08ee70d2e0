// The diffuser close-up: a section through one control-disc diffuser, eight
// pictures with the disc at 30 %, 40 % ... 100 % opening and one in heat mode.
// The disc, the air streams and the opening gauge all move linearly with the
// opening, so stepping through the pictures reads as one smooth motion.
// GIF with a transparent background; the window's colour shows around the drawing.

#include "AssetSink.h"
#include "DrawKit.h"
#include "Families.h"
#include "GifEncoder.h"
#include "Palette.h"

#include <QFont>

namespace {

constexpr int W = 345;
constexpr int H = 190;

// Section geometry: the neck widens into the outer cone, whose mouth sits in
// the suspended ceiling; the control disc moves down inside the cone, away from the
// throat; a plaque below the mouth turns the air out along the ceiling.
constexpr qreal NeckLeft = 144, NeckRight = 201, Cx = (NeckLeft + NeckRight) / 2;
constexpr qreal ThroatY = 72;        // neck meets cone; the seat lips sit here
constexpr qreal CeilingY = 106, BoardTop = 99;
constexpr qreal MouthHalf = 74;      // half width of the cone at the ceiling
constexpr qreal DiscClosedY = 77;    // disc top at 30 %
constexpr qreal DiscTravel = 17;     // further down at 100 %
constexpr qreal DiscHalf = 27;
constexpr qreal PlaqueY = 114;
constexpr qreal PlaqueHalf = 62;

struct Colors {
    QRgb duct, joint, highlight, diffuser, disc, air, airLight;
};

const Colors cool{Palette::DuctBody, Palette::DuctJoint, Palette::DuctHighlight, Palette::Diffuser,
                  Palette::Disc, Palette::Cool, Palette::CoolLight};
const Colors warm{0xFFF6B48F, Palette::Warm, 0xFFFBD9C4, 0xFFF8C7A8, 0xFFB8341F, Palette::Warm, Palette::WarmLight};

QFont labelFont(int px, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

void airArrow(QPainter& p, const QPainterPath& path, QRgb color, qreal width)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Palette::color(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    const qreal len = path.length();
    if (len > 4) {
        const QPointF tip = path.pointAtPercent(1.0);
        const QPointF before = path.pointAtPercent(path.percentAtLength(len - 4));
        QPainterPath head;
        const QPointF d = tip - before;
        const qreal l = std::hypot(d.x(), d.y());
        const QPointF u = d / l, n(-u.y(), u.x());
        const qreal s = 3.5 + width;
        head.moveTo(tip + u * 2);
        head.lineTo(tip - u * s + n * s * 0.7);
        head.lineTo(tip - u * s - n * s * 0.7);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::color(color));
        p.drawPath(head);
    }
    p.restore();
}

// fraction: 0 at 30 % opening, 1 at 100 %.
QImage closeup(qreal fraction, bool heat)
{
    const Colors& c = heat ? warm : cool;
    QImage img = Draw::canvas(W, H);
    QPainter p;
    Draw::begin(p, img);

    // Suspended ceiling in section, with tile joints, cut open for the mouth.
    for (int side : {-1, 1}) {
        const qreal inner = Cx + side * (MouthHalf + 4);
        const qreal outer = Cx + side * 152;
        const QRectF board(std::min(inner, outer), BoardTop, std::abs(outer - inner), CeilingY - BoardTop);
        Draw::box(p, board, Palette::CeilingBoard);
        p.setPen(QPen(Palette::outline(Palette::CeilingBoard), 1.0));
        for (qreal x = inner + side * 30; side * (outer - x) > 4; x += side * 30)
            p.drawLine(QPointF(x, BoardTop), QPointF(x, CeilingY));
    }

    // Neck.
    const QRectF neck(NeckLeft, 0, NeckRight - NeckLeft, ThroatY + 1);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(c.duct));
    p.drawRect(neck);
    p.setBrush(Palette::color(c.highlight));
    p.drawRect(QRectF(NeckLeft + 3, 0, 5, ThroatY));
    p.setBrush(Palette::color(c.joint));
    p.drawRect(QRectF(NeckLeft - 2, 24, NeckRight - NeckLeft + 4, 3));
    p.setPen(QPen(Palette::color(c.joint), 1.2));
    p.drawLine(QPointF(NeckLeft + 0.5, 0), QPointF(NeckLeft + 0.5, ThroatY));
    p.drawLine(QPointF(NeckRight - 0.5, 0), QPointF(NeckRight - 0.5, ThroatY));

    // Inside of the cone, seen in section, behind the disc and the air.
    QPainterPath inside;
    inside.moveTo(NeckLeft, ThroatY);
    inside.lineTo(NeckRight, ThroatY);
    inside.lineTo(Cx + MouthHalf, CeilingY);
    inside.lineTo(Cx - MouthHalf, CeilingY);
    inside.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::withAlpha(c.duct, 110));
    p.drawPath(inside);

    // Supply air coming down the neck; more of it the wider the disc opens.
    const qreal flow = 0.35 + 0.65 * fraction;
    for (int k = -1; k <= 1; ++k) {
        QPainterPath down;
        down.moveTo(Cx + 14 * k, 4);
        down.lineTo(Cx + 14 * k, 26 + 26 * flow);
        airArrow(p, down, c.air, 1.2 + 0.9 * flow);
    }

    // Actuator in the neck on its bracket, the stem and the control disc.
    const qreal discY = DiscClosedY + DiscTravel * fraction;
    p.setPen(QPen(Palette::color(c.joint), 1.2));
    p.drawLine(QPointF(NeckLeft, 42), QPointF(Cx - 6, 48));
    p.drawLine(QPointF(NeckRight, 42), QPointF(Cx + 6, 48));
    Draw::box(p, QRectF(Cx - 6, 40, 12, 20), c.disc, 3);
    Draw::box(p, QRectF(Cx - 1.5, 60, 3, discY - 60), c.joint);
    QPainterPath disc;
    disc.addRoundedRect(QRectF(Cx - DiscHalf, discY, 2 * DiscHalf, 6), 3, 3);
    Draw::shape(p, disc, c.disc);

    // Outer cone plates and the seat lips at the throat.
    for (int side : {-1, 1}) {
        const qreal neckSide = side < 0 ? NeckLeft : NeckRight;
        QPainterPath plate;
        plate.moveTo(neckSide, ThroatY - 1);
        plate.lineTo(Cx + side * (MouthHalf + 4), CeilingY - 4);
        plate.lineTo(Cx + side * (MouthHalf + 4), CeilingY);
        plate.lineTo(Cx + side * MouthHalf, CeilingY);
        plate.lineTo(neckSide - side * 1, ThroatY + 4);
        plate.closeSubpath();
        Draw::shape(p, plate, c.diffuser);
        Draw::box(p, QRectF(side < 0 ? NeckLeft - 1 : NeckRight - 10, ThroatY - 2, 11, 4), c.joint, 1);
    }

    // Plaque below the mouth, hung on two rods.
    p.setPen(QPen(Palette::color(c.joint), 1.0));
    for (int side : {-1, 1})
        p.drawLine(QPointF(Cx + side * (MouthHalf - 12), CeilingY - 6), QPointF(Cx + side * (MouthHalf - 12), PlaqueY));
    Draw::box(p, QRectF(Cx - PlaqueHalf, PlaqueY, 2 * PlaqueHalf, 5), c.diffuser, 2);

    // Air between disc and seat, then out of the mouth: along the ceiling, the
    // farther the wider the disc opens, or straight down into the room in heat mode.
    for (int side : {-1, 1}) {
        QPainterPath through;
        through.moveTo(Cx + side * 21, ThroatY - 12);
        through.quadTo(Cx + side * 23, discY + 2, Cx + side * (DiscHalf + 15), discY + 11);
        airArrow(p, through, c.airLight, 1.0 + fraction);
        QPainterPath out;
        const qreal y0 = (CeilingY + PlaqueY) / 2 + 1;
        out.moveTo(Cx + side * (PlaqueHalf - 6), y0);
        if (heat) {
            out.cubicTo(Cx + side * (PlaqueHalf + 14), y0, Cx + side * (PlaqueHalf + 22), y0 + 12,
                        Cx + side * (PlaqueHalf + 22), y0 + 52);
        } else {
            const qreal reach = 28 + 56 * fraction;
            const qreal droop = 16 * (1 - fraction);
            out.cubicTo(Cx + side * (PlaqueHalf + reach * 0.5), y0, Cx + side * (PlaqueHalf + reach * 0.8), y0,
                        Cx + side * (PlaqueHalf + reach), y0 + droop);
        }
        airArrow(p, out, c.air, 1.4 + 1.2 * fraction);
    }

    // Callouts.
    const QColor ink = Palette::color(Palette::Text);
    p.setFont(labelFont(11));
    p.setPen(ink);
    p.drawText(QPointF(NeckRight + 10, 14), heat ? QStringLiteral("warm supply air") : QStringLiteral("supply air"));
    p.drawText(QPointF(262, 66), QStringLiteral("control disc"));
    p.drawText(QPointF(24, 95), QStringLiteral("ceiling"));
    p.setPen(QPen(ink, 0.8));
    p.drawLine(QPointF(259, 63), QPointF(Cx + DiscHalf - 2, discY + 3));

    // Opening gauge along the bottom (the heat picture says what heat mode does instead).
    p.setFont(labelFont(11, true));
    p.setPen(ink);
    if (heat) {
        p.drawText(QPointF(40, 176), QStringLiteral("Heat mode:"));
        p.setFont(labelFont(11));
        p.drawText(QPointF(108, 176), QStringLiteral("warm air is thrown down into the room"));
        return img;
    }
    const QRectF gauge(100, 167, 180, 9);
    p.drawText(QPointF(40, 176), QStringLiteral("Opening"));
    Draw::box(p, gauge, Palette::RoomWall, 2);
    Draw::box(p, QRectF(gauge.left(), gauge.top(), 14 + (gauge.width() - 14) * fraction, gauge.height()),
              Palette::CoolLight, 2);
    // No figure here: the window shows the exact opening beside a picture
    // that stands for its 10 % step.
    return img;
}

} // namespace

void addCloseupPictures(AssetSink& sink)
{
    GifOptions options;
    options.transparent = true;
    options.matte = Palette::CloseupMatte;
    for (int i = 0; i < 8; ++i)
        sink.addFile(QStringLiteral("closeup/Image%1.gif").arg(i), encodeGif(closeup(i / 7.0, false), options));
    sink.addFile(QStringLiteral("closeup/ImageHeat.gif"), encodeGif(closeup(0, true), options));
}
