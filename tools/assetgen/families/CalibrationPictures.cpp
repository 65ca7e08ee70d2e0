// The pictures of the two balancing walkthroughs: a schematic of each system
// on a 472 x 352 card, and the targets the steps lay over it (red squares
// and highlighted parts). Every element of a schematic is placed from the
// spot where the walkthrough puts its target, so each target covers the
// element its step talks about.

#include "AssetSink.h"
#include "DrawKit.h"
#include "Families.h"
#include "Palette.h"
#include "SceneGeometry.h"

#include <QFontMetrics>
#include <QtMath>

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int CardWidth = 472;
constexpr int CardHeight = 352;

// The fan frames (Fan1, Fan2) are laid over the cabinet at this corner.
constexpr int FanX = 336;
constexpr int FanY = 31;
constexpr qreal FanRadius = 29.0;
const QRectF Cabinet(326, 20, 80, 80);

// ---------------------------------------------------------------- target spots

namespace Low {
constexpr int Square = 26;              // red squares (damper, static-pressure controllers)
constexpr int DiffWidth = 40;           // highlighted diffuser
constexpr int DiffHeight = 20;
constexpr int DamperX = 67;
constexpr int DamperY[] = {123, 258};   // upper branch, lower ("index") branch
constexpr int MainStaticX = 0;
constexpr int MainStaticY = 89;
constexpr int BranchStaticX = 209;
constexpr int BranchStaticY[] = {103, 238};
constexpr int DiffuserX[] = {107, 215, 322};
constexpr int DiffuserY[] = {191, 326};

constexpr int DuctHeight = 20;
constexpr int RiserLeft = 8;
constexpr int RiserRight = 30;
constexpr int MainTop = 33;
constexpr int MainBottom = 57;
constexpr int BranchEnd = 380;
// The branch runs through the middle of its damper's square.
constexpr int BranchTop(int level) { return DamperY[level] + Square / 2 - DuctHeight / 2; }
} // namespace Low

namespace High {
constexpr int DialWidth = 26;           // red square with its MAX / MIN tag
constexpr int DialHeight = 22;
constexpr int DamperSize = 14;
constexpr int DiffWidth = 36;
constexpr int DiffHeight = 12;
constexpr int ThermoWidth = 22;
constexpr int ThermoHeight = 12;

struct Box {
    QPoint dial;        // top-left of the MAX / MIN target
    QPoint thermostat;  // top-left of the thermostat target
    int damperY;
    int diffuserY;
    int damperX[2];     // second entry 0 for a box with one diffuser
    int diffuserX[2];
    int dropLeft;       // the drop from the high-pressure branch to the inlet
};

constexpr Box Boxes[] = {
    {{237, 286}, {245, 273}, 300, 322, {266, 410}, {255, 400}, 200}, // lower right
    {{95, 286}, {103, 273}, 300, 322, {126, 0}, {114, 0}, 58},       // lower left
    {{237, 149}, {245, 140}, 162, 184, {266, 410}, {255, 400}, 200}, // upper right
    {{95, 149}, {103, 140}, 162, 184, {126, 0}, {114, 0}, 58},       // upper left
};

constexpr int PipeSize = 12;
constexpr int RiserLeft = 20;
constexpr int RiserRight = 36;
constexpr int MainTop = 34;
constexpr int MainBottom = 54;
constexpr int DropWidth = 12;

QRectF boxRect(const Box& b) { return QRectF(b.dial.x() - 8, b.dial.y() - 2, 35, 24); }
// Inlet and outlet pass straight through the box.
qreal pipeTop(const Box& b) { return b.dial.y() + 2; }
// The high-pressure branch of a level runs this far above the boxes.
qreal branchTop(const Box& b) { return b.dial.y() - 42; }
} // namespace High

// ---------------------------------------------------------------- pressure figures

// The program writes the figures in white 8-point Arial over dark plates;
// a plate must hold the longer of the metric and the imperial text.
struct Figure {
    int metricX;
    int imperialX;
    int y;
    const char* metric;
    const char* imperial;
};

constexpr Figure LowFigures[] = {
    {270, 270, 38, "250 Pa", "1\""},      {60, 60, 38, "200 Pa", "0.8\""},
    {30, 30, 130, "150 Pa", "0.6\""},     {31, 31, 170, "170 Pa", "0.68\""},
    {31, 31, 245, "150 Pa", "0.6\""},     {130, 130, 129, "60 Pa", "0.24\""},
    {340, 340, 129, "60 Pa", "0.24\""},   {130, 130, 268, "60 Pa", "0.24\""},
    {340, 340, 268, "60 Pa", "0.24\""},
};

constexpr Figure HighFigures[] = {
    {270, 270, 38, "1000 Pa", "4\""},
    {220, 220, 127, "500 Pa", "2\""},
    {220, 220, 265, "500 Pa", "2\""},
    {320, 340, 153, "10 Pa - 60 Pa", "0.04\" - 0.24\""},
    {320, 340, 291, "10 Pa - 60 Pa", "0.04\" - 0.24\""},
};

QFont figureFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPixelSize(11); // 8 points at 96 pixels per inch
    return f;
}

QFont smallFont(int pixels, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QRectF plateRect(const Figure& fig)
{
    const QFontMetrics fm(figureFont());
    const int left = std::min(fig.metricX, fig.imperialX);
    const int right = std::max(fig.metricX + fm.horizontalAdvance(QString::fromUtf8(fig.metric)),
                               fig.imperialX + fm.horizontalAdvance(QString::fromUtf8(fig.imperial)));
    return QRectF(left - 3, fig.y - 2, right - left + 6, 16);
}

void drawPlate(QPainter& p, const Figure& fig)
{
    Draw::box(p, plateRect(fig), Palette::LabelPlate, 2);
}

// ---------------------------------------------------------------- shared parts

void drawCard(QPainter& p)
{
    p.save();
    p.setPen(QPen(Palette::outline(Palette::Page), 1.0));
    p.setBrush(Palette::color(Palette::Page));
    p.drawRoundedRect(QRectF(0.5, 0.5, CardWidth - 1, CardHeight - 1), 6, 6);
    p.restore();
}

void drawText(QPainter& p, const QRectF& r, const QString& text, const QFont& font, QRgb colour,
              int flags = Qt::AlignCenter)
{
    p.save();
    p.setFont(font);
    p.setPen(Palette::color(colour));
    p.drawText(r, flags, text);
    p.restore();
}

// A suspended ceiling in which a row of diffusers sits.
void drawCeiling(QPainter& p, qreal y, qreal left, qreal right)
{
    Draw::box(p, QRectF(left, y, right - left, 3), Palette::CeilingBoard);
}

// The fan section with a still wheel: the turning frames cover it once the
// window has been active.
void drawFanCabinet(QPainter& p)
{
    Draw::box(p, Cabinet, Palette::Diffuser, 2);
    p.save();
    p.setPen(QPen(Palette::withAlpha(Palette::DuctJoint, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(Cabinet.adjusted(3.5, 3.5, -3.5, -3.5));
    const QPointF c(FanX + Scene::FanSize / 2.0, FanY + Scene::FanSize / 2.0);
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    p.setBrush(Palette::color(Palette::Diffuser));
    p.drawEllipse(c, FanRadius - 0.5, FanRadius - 0.5);
    p.setBrush(Palette::color(Palette::DuctBody));
    p.drawEllipse(c, FanRadius - 4.5, FanRadius - 4.5);
    p.translate(c);
    p.rotate(22.5);
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
    p.restore();

    // Outdoor-air louvre on the far side.
    const QRectF louvre(Cabinet.right(), Cabinet.top() + 14, 12, Cabinet.height() - 28);
    Draw::box(p, louvre, Palette::Structure);
    p.save();
    p.setPen(QPen(Palette::color(Palette::DuctHighlight), 1.2));
    for (qreal y = louvre.top() + 3; y < louvre.bottom() - 2; y += 4)
        p.drawLine(QPointF(louvre.left() + 1.5, y + 2), QPointF(louvre.right() - 1.5, y));
    p.restore();
    drawText(p, QRectF(Cabinet.left(), 4, Cabinet.width(), 14), QStringLiteral("AHU"),
             smallFont(11, true), Palette::Text);
}

// A duct elbow: the outer corner rounded, an outline all round that reads as
// the flanges where it meets the straight runs.
void drawElbow(QPainter& p, const QRectF& r, Qt::Corner outer)
{
    const qreal rad = std::min(r.width(), r.height()) * 0.7;
    const qreal l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    QPainterPath path;
    switch (outer) {
    case Qt::TopLeftCorner:
        path.moveTo(l, b);
        path.lineTo(l, t + rad);
        path.quadTo(l, t, l + rad, t);
        path.lineTo(rt, t);
        path.lineTo(rt, b);
        break;
    case Qt::TopRightCorner:
        path.moveTo(l, t);
        path.lineTo(rt - rad, t);
        path.quadTo(rt, t, rt, t + rad);
        path.lineTo(rt, b);
        path.lineTo(l, b);
        break;
    case Qt::BottomLeftCorner:
        path.moveTo(l, t);
        path.lineTo(rt, t);
        path.lineTo(rt, b);
        path.lineTo(l + rad, b);
        path.quadTo(l, b, l, b - rad);
        break;
    case Qt::BottomRightCorner:
        path.moveTo(l, t);
        path.lineTo(rt, t);
        path.lineTo(rt, b - rad);
        path.quadTo(rt, b, rt - rad, b);
        path.lineTo(l, b);
        break;
    }
    path.closeSubpath();
    Draw::shape(p, path, Palette::DuctBody);
}

// Round duct seen from the side, horizontal or vertical, with its highlight
// along the lit side.
void drawPipe(QPainter& p, const QRectF& r)
{
    const bool vertical = r.height() > r.width();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::DuctBody));
    p.drawRect(r);
    p.setBrush(Palette::color(Palette::DuctHighlight));
    if (vertical)
        p.drawRect(QRectF(r.left() + r.width() * 0.22, r.top(), r.width() * 0.2, r.height()));
    else
        p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.22, r.width(), r.height() * 0.2));
    p.setBrush(Palette::withAlpha(Palette::DuctJoint, 70));
    if (vertical)
        p.drawRect(QRectF(r.right() - r.width() * 0.28, r.top(), r.width() * 0.28, r.height()));
    else
        p.drawRect(QRectF(r.left(), r.bottom() - r.height() * 0.28, r.width(), r.height() * 0.28));
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    if (vertical) {
        p.drawLine(QPointF(r.left() + 0.5, r.top()), QPointF(r.left() + 0.5, r.bottom()));
        p.drawLine(QPointF(r.right() - 0.5, r.top()), QPointF(r.right() - 0.5, r.bottom()));
    } else {
        p.drawLine(QPointF(r.left(), r.top() + 0.5), QPointF(r.right(), r.top() + 0.5));
        p.drawLine(QPointF(r.left(), r.bottom() - 0.5), QPointF(r.right(), r.bottom() - 0.5));
    }
    p.restore();
}

// An end cap closing a duct run.
void drawCap(QPainter& p, const QRectF& r)
{
    Draw::box(p, r, Palette::DuctJoint);
}

// ---------------------------------------------------------------- low-pressure schematic

// Neck, cone, face plate and the control disc of a self-balancing diffuser,
// inside the target rectangle at (x, y).
QPainterPath lowDiffuserOutline(qreal x, qreal y)
{
    QPainterPath path;
    path.moveTo(x + 13, y);
    path.lineTo(x + 27, y);
    path.lineTo(x + 27, y + 5);
    path.lineTo(x + 38, y + 13);
    path.lineTo(x + 40, y + 13);
    path.lineTo(x + 40, y + 18);
    path.lineTo(x + 0, y + 18);
    path.lineTo(x + 0, y + 13);
    path.lineTo(x + 2, y + 13);
    path.lineTo(x + 13, y + 5);
    path.closeSubpath();
    return path;
}

void drawLowDiffuser(QPainter& p, qreal x, qreal y, qreal branchBottom)
{
    // The neck from the branch down to the diffuser.
    Draw::rectDuct(p, QRectF(x + 13, branchBottom - 1, 14, y + 6 - branchBottom), 0);
    Draw::shape(p, lowDiffuserOutline(x, y), Palette::Diffuser);
    p.save();
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    p.drawLine(QPointF(x + 1, y + 13.5), QPointF(x + 39, y + 13.5));
    p.restore();
    // The control disc hangs under the face.
    Draw::box(p, QRectF(x + 9, y + 16, 22, 4), Palette::Disc, 1.5);
}

// A balancing damper across a rectangular branch: frame, blade at half open,
// pivot and a hand quadrant above the duct.
void drawLowDamper(QPainter& p, qreal x, qreal branchTop, qreal branchBottom)
{
    const qreal cx = x + Low::Square / 2.0;
    const qreal cy = (branchTop + branchBottom) / 2.0;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::DuctJoint));
    p.drawRect(QRectF(cx - 6, branchTop - 1, 2, branchBottom - branchTop + 2));
    p.drawRect(QRectF(cx + 4, branchTop - 1, 2, branchBottom - branchTop + 2));
    p.setPen(QPen(Palette::color(Palette::Disc), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx - 5, branchBottom - 3), QPointF(cx + 5, branchTop + 3));
    p.setPen(QPen(Palette::color(Palette::Disc), 1.2));
    p.drawLine(QPointF(cx, cy), QPointF(cx, branchTop - 2));
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::Disc));
    p.drawEllipse(QPointF(cx, cy), 2, 2);
    // Quadrant and handle.
    QPainterPath quadrant;
    quadrant.moveTo(cx - 7, branchTop);
    quadrant.arcTo(QRectF(cx - 7, branchTop - 7, 14, 14), 180, -180);
    quadrant.closeSubpath();
    p.restore();
    Draw::shape(p, quadrant, Palette::Diffuser);
    p.save();
    p.setPen(QPen(Palette::color(Palette::Disc), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx, branchTop), QPointF(cx + 4, branchTop - 5));
    p.restore();
}

// A static-pressure controller: a dark case with a gauge, its sensing tube
// into the duct below.
void drawController(QPainter& p, const QRectF& inner, qreal tubeBottom)
{
    p.save();
    p.setPen(QPen(Palette::color(Palette::Disc), 1.4));
    const qreal tx = inner.center().x() + 4;
    p.drawLine(QPointF(tx, inner.bottom() - 1), QPointF(tx, tubeBottom));
    p.restore();
    Draw::box(p, inner, Palette::Disc, 2);
    const QPointF c(inner.center().x() - 3, inner.center().y());
    p.save();
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    p.setBrush(Palette::color(Palette::DuctHighlight));
    p.drawEllipse(c, 5.5, 5.5);
    p.setPen(QPen(Palette::color(Palette::Target), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(3, -3));
    p.setPen(QPen(Palette::color(Palette::DuctHighlight), 1.0));
    p.drawLine(QPointF(inner.right() - 4.5, inner.top() + 4), QPointF(inner.right() - 4.5, inner.bottom() - 4));
    p.restore();
}

QImage lowDrawing()
{
    using namespace Low;
    QImage img = Draw::canvas(CardWidth, CardHeight);
    QPainter p;
    Draw::begin(p, img);
    drawCard(p);

    const qreal upperTop = BranchTop(0), lowerTop = BranchTop(1);
    const qreal upperBottom = upperTop + DuctHeight, lowerBottom = lowerTop + DuctHeight;

    // Ceilings of the two floors, with the diffusers set in them.
    for (int level = 0; level < 2; ++level)
        drawCeiling(p, DiffuserY[level] + 17, RiserRight + 14, CardWidth - 10);

    // Main duct from the fan to the riser, the riser, the two branches.
    Draw::rectDuct(p, QRectF(RiserRight, MainTop, Cabinet.left() - RiserRight + 2, MainBottom - MainTop), 48);
    Draw::rectDuct(p, QRectF(RiserLeft, MainBottom, RiserRight - RiserLeft, lowerTop - MainBottom), 40);
    drawElbow(p, QRectF(RiserLeft, MainTop, RiserRight - RiserLeft, MainBottom - MainTop), Qt::TopLeftCorner);
    drawElbow(p, QRectF(RiserLeft, lowerTop, RiserRight - RiserLeft, DuctHeight), Qt::BottomLeftCorner);
    Draw::rectDuct(p, QRectF(RiserRight, upperTop, BranchEnd - RiserRight, DuctHeight), 56);
    Draw::rectDuct(p, QRectF(RiserRight, lowerTop, BranchEnd - RiserRight, DuctHeight), 56);
    drawCap(p, QRectF(BranchEnd - 2, upperTop - 1, 4, DuctHeight + 2));
    drawCap(p, QRectF(BranchEnd - 2, lowerTop - 1, 4, DuctHeight + 2));

    // Three diffusers under each branch.
    for (int x : DiffuserX) {
        drawLowDiffuser(p, x, DiffuserY[0], upperBottom);
        drawLowDiffuser(p, x, DiffuserY[1], lowerBottom);
    }

    // A balancing damper at the start of each branch.
    drawLowDamper(p, DamperX, upperTop, upperBottom);
    drawLowDamper(p, DamperX, lowerTop, lowerBottom);

    // Static-pressure controllers: one on the riser for the main duct, one on each branch.
    drawController(p, QRectF(MainStaticX + 4, MainStaticY + 4, Square - 8, Square - 8), MainStaticY + Square - 4);
    for (int level = 0; level < 2; ++level) {
        const qreal top = BranchStaticY[level];
        drawController(p, QRectF(BranchStaticX + 4, top + 3, Square - 8, Square - 10),
                       BranchTop(level) + 3);
    }

    drawFanCabinet(p);

    for (const Figure& fig : LowFigures)
        drawPlate(p, fig);

    drawText(p, QRectF(BranchEnd + 8, lowerTop + 2, CardWidth - BranchEnd - 12, 16),
             QStringLiteral("index branch"), smallFont(10), Palette::Text, Qt::AlignLeft | Qt::AlignVCenter);
    return img;
}

// ---------------------------------------------------------------- high-pressure schematic

QPainterPath highDiffuserOutline(qreal x, qreal y)
{
    QPainterPath path;
    path.moveTo(x + 12, y);
    path.lineTo(x + 24, y);
    path.lineTo(x + 33, y + 7);
    path.lineTo(x + 36, y + 7);
    path.lineTo(x + 36, y + 11);
    path.lineTo(x + 0, y + 11);
    path.lineTo(x + 0, y + 7);
    path.lineTo(x + 3, y + 7);
    path.closeSubpath();
    return path;
}

void drawHighDiffuser(QPainter& p, qreal x, qreal y)
{
    Draw::shape(p, highDiffuserOutline(x, y), Palette::Diffuser);
    p.save();
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    for (int k = -1; k <= 1; ++k)
        p.drawLine(QPointF(x + 18 + 4 * k, y + 1), QPointF(x + 18 + 9 * k, y + 7));
    p.restore();
}

// A round balancing damper in a diffuser's neck, blade at half open.
void drawRoundDamper(QPainter& p, QPointF c, QRgb fill)
{
    p.save();
    p.setPen(QPen(Palette::outline(fill), 1.0));
    p.setBrush(Palette::color(fill));
    p.drawEllipse(c, 6.0, 6.0);
    p.setPen(QPen(Palette::color(Palette::Disc), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-4, 3), c + QPointF(4, -3));
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::Disc));
    p.drawEllipse(c, 1.3, 1.3);
    p.restore();
}

// A thermostat: a small wall unit with its dial, wired to the box controller.
void drawThermostat(QPainter& p, qreal x, qreal y, qreal wireBottom, QRgb fill, QRgb wire)
{
    p.save();
    p.setPen(QPen(Palette::color(wire), 1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(x + 11, y + 5);
    path.lineTo(x + 4, y + 5);
    path.lineTo(x + 4, wireBottom);
    p.drawPath(path);
    p.restore();
    Draw::box(p, QRectF(x + 11, y, 11, 10), fill, 2);
    p.save();
    p.setPen(QPen(Palette::color(Palette::Disc), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(x + 16.5, y + 5), 2.5, 2.5);
    p.restore();
}

void drawDial(QPainter& p, QPointF c)
{
    p.save();
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    p.setBrush(Palette::color(Palette::DuctHighlight));
    p.drawEllipse(c, 4.0, 4.0);
    p.setPen(QPen(Palette::color(Palette::Text), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(2.2, -2.2));
    p.restore();
}

// A VAV box: casing with the controller panel carrying the MAX and MIN dials.
void drawVavBox(QPainter& p, const High::Box& b)
{
    const QRectF r = High::boxRect(b);
    Draw::box(p, r, Palette::DuctBody, 2);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::DuctHighlight));
    p.drawRect(QRectF(r.left() + 2, r.top() + 2, r.width() - 4, 2));
    p.restore();
    const QRectF panel(b.dial.x() - 1, b.dial.y() - 1, 27, 22);
    Draw::box(p, panel, Palette::Disc, 1.5);
    // The dials sit in the middle of the red squares their steps show (14 pixels, 12 apart).
    drawDial(p, QPointF(b.dial.x() + 7, b.dial.y() + 7));
    drawDial(p, QPointF(b.dial.x() + 19, b.dial.y() + 7));
    const QFont tiny = smallFont(5, true);
    drawText(p, QRectF(b.dial.x(), b.dial.y() + 14, 14, 7), QStringLiteral("MAX"), tiny, Palette::DuctHighlight);
    drawText(p, QRectF(b.dial.x() + 12, b.dial.y() + 14, 14, 7), QStringLiteral("MIN"), tiny, Palette::DuctHighlight);
}

QImage highDrawing()
{
    using namespace High;
    QImage img = Draw::canvas(CardWidth, CardHeight);
    QPainter p;
    Draw::begin(p, img);
    drawCard(p);

    // Ceilings of the two floors.
    drawCeiling(p, Boxes[0].diffuserY + 11, RiserRight + 14, CardWidth - 10);
    drawCeiling(p, Boxes[2].diffuserY + 11, RiserRight + 14, CardWidth - 10);

    // Main duct from the fan, riser, and one high-pressure branch per floor.
    const qreal lowerBranch = branchTop(Boxes[0]);
    const qreal upperBranch = branchTop(Boxes[2]);
    drawPipe(p, QRectF(RiserRight - 2, MainTop, Cabinet.left() - RiserRight + 4, MainBottom - MainTop));
    drawPipe(p, QRectF(RiserLeft, MainBottom - 2, RiserRight - RiserLeft, lowerBranch - MainBottom + 2));
    drawElbow(p, QRectF(RiserLeft, MainTop, RiserRight - RiserLeft, MainBottom - MainTop), Qt::TopLeftCorner);
    for (qreal top : {upperBranch, lowerBranch}) {
        const qreal right = Boxes[0].dropLeft + DropWidth;
        drawPipe(p, QRectF(RiserRight - 1, top, right - RiserRight + 1 - DropWidth, PipeSize));
        drawElbow(p, QRectF(right - DropWidth, top, DropWidth, PipeSize), Qt::TopRightCorner);
    }
    drawElbow(p, QRectF(RiserLeft, lowerBranch, RiserRight - RiserLeft, PipeSize), Qt::BottomLeftCorner);

    for (const Box& b : Boxes) {
        const qreal pipe = pipeTop(b);
        const QRectF box = boxRect(b);
        const bool pair = b.damperX[1] != 0;
        // Drop from the branch and the inlet into the box.
        drawPipe(p, QRectF(b.dropLeft, branchTop(b) + PipeSize - 1, DropWidth, pipe - branchTop(b) - PipeSize + 1));
        drawPipe(p, QRectF(b.dropLeft + DropWidth - 1, pipe, box.left() - b.dropLeft - DropWidth + 2, PipeSize));
        drawElbow(p, QRectF(b.dropLeft, pipe, DropWidth, PipeSize), Qt::BottomLeftCorner);
        // Outlet to the diffusers, with a damper in each diffuser's neck.
        const qreal outletEnd = (pair ? b.damperX[1] : b.damperX[0]) + DamperSize + 2;
        drawPipe(p, QRectF(box.right() - 1, pipe, outletEnd - box.right() + 1, PipeSize));
        drawCap(p, QRectF(outletEnd - 2, pipe - 1, 3, PipeSize + 2));
        for (int k = 0; k < (pair ? 2 : 1); ++k) {
            const qreal cx = b.damperX[k] + DamperSize / 2.0;
            drawPipe(p, QRectF(cx - 5, pipe + PipeSize - 1, 10, b.diffuserY - pipe - PipeSize + 2));
            drawRoundDamper(p, QPointF(cx, b.damperY + DamperSize / 2.0), Palette::Diffuser);
            drawHighDiffuser(p, b.diffuserX[k], b.diffuserY);
        }
        drawVavBox(p, b);
        drawThermostat(p, b.thermostat.x(), b.thermostat.y(), box.top() + 1, Palette::Diffuser, Palette::Disc);
    }
    drawFanCabinet(p);

    for (const Figure& fig : HighFigures)
        drawPlate(p, fig);
    // The inlet figures hang beside their drops.
    p.save();
    p.setPen(QPen(Palette::color(Palette::LabelPlate), 1.0));
    for (const Figure& fig : HighFigures)
        if (fig.metricX == 220) {
            const QRectF plate = plateRect(fig);
            p.drawLine(QPointF(Boxes[0].dropLeft + DropWidth, plate.center().y()),
                       QPointF(plate.left(), plate.center().y()));
        }
    p.restore();
    return img;
}

// ---------------------------------------------------------------- targets

// A red square: a 3-pixel frame and a faint wash inside, so the element
// under it still shows.
QImage redSquare(int w, int h, const QRect& square)
{
    QImage img = Draw::canvas(w, h);
    QPainter p(&img);
    p.fillRect(square, Palette::withAlpha(Palette::Target, 45));
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::Target));
    const QRect s = square;
    p.drawRect(QRect(s.left(), s.top(), s.width(), 3));
    p.drawRect(QRect(s.left(), s.bottom() - 2, s.width(), 3));
    p.drawRect(QRect(s.left(), s.top(), 3, s.height()));
    p.drawRect(QRect(s.right() - 2, s.top(), 3, s.height()));
    return img;
}

// A highlighted part: the element's shape in the highlight colour with a
// soft halo, so it stands out from the grey schematic.
QImage highlighted(int w, int h, const QPainterPath& shape)
{
    QImage img = Draw::canvas(w, h);
    QPainter p;
    Draw::begin(p, img);
    p.setPen(QPen(Palette::withAlpha(Palette::Highlighted, 110), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    Draw::shape(p, shape, Palette::Highlighted);
    return img;
}

QImage dialTarget(bool max)
{
    using namespace High;
    const int squareLeft = max ? 0 : 12;
    QImage img = redSquare(DialWidth, DialHeight, QRect(squareLeft, 0, 14, 14));
    QPainter p;
    Draw::begin(p, img);
    const QRectF tag(max ? 0 : DialWidth - 16, 14, 16, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::Target));
    p.drawRoundedRect(tag, 2, 2);
    drawText(p, tag, max ? QStringLiteral("MAX") : QStringLiteral("MIN"), smallFont(7, true), 0xFFFFFFFF);
    return img;
}

// Colour with full alpha (true colours also at soft edges) and the coverage
// as a grey mask: the walkthrough applies the mask when it loads the picture.
void addTarget(AssetSink& sink, const QString& name, const QString& maskName, const QImage& drawing)
{
    QImage colour = drawing.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < colour.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(colour.scanLine(y));
        for (int x = 0; x < colour.width(); ++x)
            line[x] = qAlpha(line[x]) ? (line[x] | 0xFF000000u) : Palette::Page;
    }
    sink.addBitmap(name, colour.convertToFormat(QImage::Format_RGB32), ImageFormat::Bmp);
    if (!maskName.isEmpty())
        sink.addBitmap(maskName, alphaToMask(drawing), ImageFormat::Gif);
}

} // namespace

void addCalibrationPictures(AssetSink& sink)
{
    // The schematics: the card's rounded corners are cut out by the mask.
    addMaskedBitmap(sink, QStringLiteral("LowPres_Balance"), lowDrawing(), ImageFormat::Bmp, Palette::Page);
    addMaskedBitmap(sink, QStringLiteral("HighPres_Balance"), highDrawing(), ImageFormat::Bmp, Palette::Page);

    // Low pressure. The static-pressure square has the damper square's shape
    // and is shown through the damper's mask.
    const QImage square = redSquare(Low::Square, Low::Square, QRect(0, 0, Low::Square, Low::Square));
    addTarget(sink, QStringLiteral("LP_Damp"), QStringLiteral("LP_Damp_Alpha"), square);
    addTarget(sink, QStringLiteral("LP_Static"), QString(), square);
    addTarget(sink, QStringLiteral("LP_Diff"), QStringLiteral("LP1_Diff_Alpha"),
              highlighted(Low::DiffWidth, Low::DiffHeight, lowDiffuserOutline(0, 0).translated(0, 1)));

    // High pressure.
    addTarget(sink, QStringLiteral("HP_Diff"), QStringLiteral("HP1_Diff_Alpha"),
              highlighted(High::DiffWidth, High::DiffHeight, highDiffuserOutline(0, 0)));
    {
        QImage damper = Draw::canvas(High::DamperSize, High::DamperSize);
        QPainter p;
        Draw::begin(p, damper);
        drawRoundDamper(p, QPointF(High::DamperSize / 2.0, High::DamperSize / 2.0), Palette::Highlighted);
        p.end();
        addTarget(sink, QStringLiteral("HP_Damp"), QStringLiteral("HP1_Damp_Alpha"), damper);
    }
    {
        QImage thermo = Draw::canvas(High::ThermoWidth, High::ThermoHeight);
        QPainter p;
        Draw::begin(p, thermo);
        drawThermostat(p, 0, 0, High::ThermoHeight, Palette::Highlighted, Palette::Highlighted);
        p.end();
        addTarget(sink, QStringLiteral("HP_Thermo"), QStringLiteral("HP_Thermo_Alpha"), thermo);
    }
    addTarget(sink, QStringLiteral("HP_DialMax"), QStringLiteral("HP_DialMax_Alpha"), dialTarget(true));
    addTarget(sink, QStringLiteral("HP_DialMin"), QStringLiteral("HP_DialMin_Alpha"), dialTarget(false));
}
