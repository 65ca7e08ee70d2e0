// The air-flow arrows drawn over the main scene: a small outline at a
// heading, an arrow that hops along a path of points, and an arrow whose path
// shortens and squeezes toward its start as the air flow weakens.
#pragma once

#include "gr32/GR32.h"

#include <array>
#include <vector>

// One point of an arrow path: top-left corner of the arrow's 50 x 50 box in
// buffer pixels, and the heading in whole degrees (0 right, 90 up the screen).
struct TArrowPoint {
    int X = 0;
    int Y = 0;
    int Angle = 0;
    bool operator==(const TArrowPoint&) const = default;
};

// Arrow size for a screen width. The table knows six widths; any other width
// takes the size of the nearest of them (the smaller on a tie), so an arrow is
// never invisible.
float ArrowScaleForScreenWidth(double screenWidth);

class TArrow : public TPositionedLayer {
public:
    // Visible, no mouse events, not scaled, location (0, 0, 50, 50); size from
    // the effective screen width; outline for heading 0.
    explicit TArrow(TLayerCollection* collection);

    // Heading in degrees; a new value rebuilds the outline.
    int Angle() const { return -FAngle; }
    void SetAngle(int Value);
    // Size factor; the outline follows at the next change of heading.
    float Scale() const { return FScale; }
    void SetScale(float Value);

    int ScreenAngle() const { return FAngle; }
    int HeadInset() const { return FHeadInset; }
    int TipLength() const { return FTipLength; }
    int ShoulderLength() const { return FShoulderLength; }
    // Tail, shoulder, barb, tip, barb, shoulder; relative to the top-left corner.
    const std::array<QPoint, 6>& Outline() const { return FOutline; }

    // Closed 1-pixel outline in pen value 0, replacing the pixels.
    void PaintArrow(TPositionedLayer* Sender, TBitmap32& Buffer);

    // The location, and the outline wherever it reaches beyond it.
    QRectF PaintBounds() const override;

protected:
    void PlaceAt(const TArrowPoint& point);

    int FAngle = -1;
    float FScale = 0;
    int FHeadInset = 0;
    int FTipLength = 0;
    int FShoulderLength = 0;
    std::array<QPoint, 6> FOutline{};
};

class TMovingArrow : public TArrow {
public:
    explicit TMovingArrow(TLayerCollection* collection);

    void AddPoint(int X, int Y, int Angle);
    // Back to point 0 (stays put on a path without points).
    void Restart();
    // On to the next active point, wrapping to point 0.
    void Step();

    int Points() const { return FPoints; }
    int Index() const { return FIndex; }
    const std::vector<TArrowPoint>& Items() const { return FItems; }

protected:
    std::vector<TArrowPoint> FItems;
    int FIndex = 0;
    int FPoints = 0;
};

class TAirFlowLayer : public TMovingArrow {
public:
    explicit TAirFlowLayer(TLayerCollection* collection);

    float Strength() const { return FStrength; }
    void SetStrength(float Value);
    bool StrengthChanged() const { return FChanged; }
    int FullPoints() const { return FFullPoints; }
    const std::vector<TArrowPoint>& BasePath() const { return FBasePath; }

    // Shortens and squeezes the path from the strength and recomputes the headings.
    void UpdateFlow();
    // Full strength, reshaped, back at the start.
    void ResetFlow();
    // Reshapes first when the strength changed and the arrow is at the start.
    void PaintFlow(TPositionedLayer* Sender, TBitmap32& Buffer);

protected:
    float FStrength = 0;
    int FFullPoints = 0;
    std::vector<TArrowPoint> FBasePath;
    bool FChanged = false;
};
