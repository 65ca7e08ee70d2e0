#include "UnitArrow.h"

#include "vcl/Rounding.h"
#include "vcl/Screen.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

constexpr long double kPi = 3.1415926535897932385L;
constexpr float kBoxSize = 50.0f;

struct WidthScale {
    int width;
    float scale;
};

constexpr WidthScale kArrowScales[] = {
    {640, 1.0f}, {800, 1.0f}, {1024, 1.5f}, {1152, 2.0f}, {1280, 3.0f}, {1600, 3.0f},
};

QPoint polar(long double degrees, int length)
{
    const long double rad = degrees * kPi / 180.0L;
    return QPoint(RoundHalfEven(double(length * std::cos(rad))),
                  RoundHalfEven(double(length * std::sin(rad))));
}

}  // namespace

float ArrowScaleForScreenWidth(double screenWidth)
{
    const WidthScale* best = &kArrowScales[0];
    double bestDistance = std::abs(screenWidth - best->width);
    for (const WidthScale& entry : kArrowScales) {
        const double d = std::abs(screenWidth - entry.width);
        if (d < bestDistance) {
            best = &entry;
            bestDistance = d;
        }
    }
    return best->scale;
}

// ---------------------------------------------------------------- TArrow

TArrow::TArrow(TLayerCollection* collection) : TPositionedLayer(collection)
{
    SetVisible(true);
    SetMouseEvents(false);
    SetScaled(false);
    SetLocation({0, 0, kBoxSize, kBoxSize});
    FAngle = -1;
    SetScale(ArrowScaleForScreenWidth(EffectiveScreenWidth()));
    SetAngle(0);
    SetOnPaint([this](TPositionedLayer* sender, TBitmap32& buffer) { PaintArrow(sender, buffer); });
}

void TArrow::SetScale(float Value)
{
    FScale = Value;
    FHeadInset = RoundHalfEven(5.0 * Value);
    FTipLength = RoundHalfEven(15.0 * Value);
    FShoulderLength = FTipLength - FHeadInset;
}

void TArrow::SetAngle(int Value)
{
    // Headings come from the asset table; keep the negation defined.
    if (Value == INT_MIN)
        Value %= 360;
    const int a = -Value;
    if (a == FAngle)
        return;
    Changed();
    FAngle = a;

    std::array<QPoint, 6> v;
    v[0] = QPoint(0, 0);
    v[1] = polar(a - 8.0L, FShoulderLength);
    v[2] = polar(a - 18.0L, FShoulderLength);
    v[3] = polar(a, FTipLength);
    v[4] = polar(a + 18.0L, FShoulderLength);
    v[5] = polar(a + 8.0L, FShoulderLength);

    // Shoulders always lie within the box of tail, barbs and tip.
    const int minX = std::min({0, v[2].x(), v[3].x(), v[4].x()});
    const int minY = std::min({0, v[2].y(), v[3].y(), v[4].y()});
    for (QPoint& p : v)
        p -= QPoint(minX, minY);
    FOutline = v;
    Changed();
}

QRectF TArrow::PaintBounds() const
{
    const QRectF location = Location().toQRectF();
    int maxX = 0, maxY = 0;
    for (const QPoint& p : FOutline) {
        maxX = std::max(maxX, p.x());
        maxY = std::max(maxY, p.y());
    }
    const QRectF outline(RoundHalfEven(Location().Left), RoundHalfEven(Location().Top), maxX + 1,
                         maxY + 1);
    return location.united(outline);
}

void TArrow::PaintArrow(TPositionedLayer*, TBitmap32& Buffer)
{
    const TColor32 pen = 0;
    // An arrow far off the buffer draws nothing; skipping it also keeps the
    // outline's corners from running past the ends of int.
    const QRectF reach = QRectF(0, 0, Buffer.Width(), Buffer.Height()).adjusted(-100, -100, 100, 100);
    if (!reach.intersects(Location().toQRectF()))
        return;
    const QPoint origin(RoundHalfEven(Location().Left), RoundHalfEven(Location().Top));
    for (int i = 0; i < 6; ++i) {
        const QPoint from = FOutline[size_t(i)] + origin;
        const QPoint to = FOutline[size_t((i + 1) % 6)] + origin;
        Buffer.LineS(from.x(), from.y(), to.x(), to.y(), pen);
    }
}

void TArrow::PlaceAt(const TArrowPoint& point)
{
    SetLocation({float(point.X), float(point.Y), float(point.X) + kBoxSize,
                 float(point.Y) + kBoxSize});
    SetAngle(point.Angle);
}

// ---------------------------------------------------------------- TMovingArrow

TMovingArrow::TMovingArrow(TLayerCollection* collection) : TArrow(collection) {}

void TMovingArrow::AddPoint(int X, int Y, int Angle)
{
    // Appends after the active points; stored points are never dropped.
    const size_t slot = size_t(FPoints);
    if (FItems.size() < slot + 1)
        FItems.resize(slot + 1);
    FItems[slot] = TArrowPoint{X, Y, Angle};
    ++FPoints;
}

void TMovingArrow::Restart()
{
    FIndex = 0;
    if (FItems.empty())
        return;
    PlaceAt(FItems[0]);
}

void TMovingArrow::Step()
{
    if (FPoints == 0)
        return;
    if (FIndex < FPoints - 1)
        ++FIndex;
    else
        FIndex = 0;
    PlaceAt(FItems[size_t(FIndex)]);
}

// ---------------------------------------------------------------- TAirFlowLayer

TAirFlowLayer::TAirFlowLayer(TLayerCollection* collection) : TMovingArrow(collection)
{
    SetOnPaint([this](TPositionedLayer* sender, TBitmap32& buffer) { PaintFlow(sender, buffer); });
}

void TAirFlowLayer::SetStrength(float Value)
{
    if (Value == FStrength)
        return;
    FStrength = Value;
    FChanged = true;
}

void TAirFlowLayer::UpdateFlow()
{
    FChanged = false;
    if (FBasePath.empty()) {
        FFullPoints = FPoints;
        FBasePath.assign(FItems.begin(), FItems.begin() + FPoints);
    }

    const double strength = FStrength;
    if (strength < 0.5)
        FPoints = FFullPoints / 2;
    else
        FPoints = std::min(RoundHalfEven(FFullPoints * strength), FFullPoints);
    if (FPoints <= 0 || FBasePath.empty())
        return;

    const int x0 = FBasePath[0].X;
    for (int i = 0; i < FPoints; ++i)
        FItems[size_t(i)].X = x0 + RoundHalfEven((double(FBasePath[size_t(i)].X) - x0) * strength);

    for (int i = 0; i < FPoints; ++i) {
        TArrowPoint& p = FItems[size_t(i)];
        if (i == 0) {
            p.Angle = 0;
            continue;
        }
        const TArrowPoint& prev = FItems[size_t(i - 1)];
        // In 64 bits: points from a broken table may lie at the ends of int.
        const long long dx = (long long)p.X - prev.X;
        const long long dy = (long long)prev.Y - p.Y;  // up the screen is positive
        if (dx != 0)
            p.Angle = RoundHalfEven(double(std::atan2((long double)dy, (long double)dx) * 180.0L / kPi));
        else if (dy > 0)
            p.Angle = 90;
        else if (dy < 0)
            p.Angle = -90;
        else
            p.Angle = prev.Angle;  // same spot: keep going the way it went
    }

    if ((long double)FStrength > 0.9L) {
        if (FPoints > 1)
            FItems[0].Angle = FItems[1].Angle;
    } else {
        const int n = RoundHalfEven(double((1.0L - FStrength) * 10.0L));
        if (n >= 0 && n < FPoints && size_t(n) + 1 < FItems.size()) {
            for (int i = n; i >= 0; --i)
                FItems[size_t(i)].Angle = FItems[size_t(i) + 1].Angle;
        }
    }
}

void TAirFlowLayer::ResetFlow()
{
    SetStrength(1.0f);
    UpdateFlow();
    Restart();
}

void TAirFlowLayer::PaintFlow(TPositionedLayer* Sender, TBitmap32& Buffer)
{
    if (FChanged && FIndex == 0)
        UpdateFlow();
    PaintArrow(Sender, Buffer);
}
