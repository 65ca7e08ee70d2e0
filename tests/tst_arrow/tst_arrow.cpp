// Arrow outlines, paths and the air-flow reshaping.
#include "UnitArrow.h"

#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QtTest>

namespace {

using Outline = std::array<QPoint, 6>;

constexpr TColor32 kPaper = Color32(0x12, 0x34, 0x56);

// Moves of 10 pixels right, up, left, down, repeated: segment headings 0, 90,
// 180, -90, robust under any squeeze that keeps a move wider than a pixel.
// Every stored heading is 45, so a recomputed heading is always visible.
void addSquarePath(TMovingArrow& arrow, int points, int x0 = 200, int y0 = 300)
{
    static const QPoint moves[] = {{10, 0}, {0, -10}, {-10, 0}, {0, 10}};
    QPoint p(x0, y0);
    for (int i = 0; i < points; ++i) {
        arrow.AddPoint(p.x(), p.y(), 45);
        p += moves[i % 4];
    }
}

int squareHeading(int i)  // heading of point i >= 1 of the square path
{
    static const int headings[] = {0, 90, 180, -90};
    return headings[(i - 1) % 4];
}

// Records the areas the image composes again.
class ClipWatcher : public TPositionedLayer {
public:
    using TPositionedLayer::TPositionedLayer;
    void Paint(TBitmap32& buffer) override { painted += buffer.ClipRect(); }
    QRegion painted;
};

}  // namespace

class TestArrow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanupTestCase();

    void outlineVertices_data();
    void outlineVertices();
    void scaleSetsLengthsWithTiesToEven_data();
    void scaleSetsLengthsWithTiesToEven();
    void scaleWaitsForNextHeading();
    void sameHeadingKeepsOutline();
    void sizeFollowsEffectiveScreenWidth_data();
    void sizeFollowsEffectiveScreenWidth();
    void createdInvisibleToMouseAtOrigin();

    void paintReplacesOutlinePixelsOnly();
    void paintIsClippedToBuffer();
    void stepRepaintsOnlyOldAndNewBox();

    void stepWrapsAndFollowsStoredPath();
    void emptyPathStaysPut();

    void activePointCount_data();
    void activePointCount();
    void segmentHeadings_data();
    void segmentHeadings();
    void startHeadingsCopiedBelowNinetyPercent();
    void startHeadingOnlyAboveNinetyPercent();
    void squeezeRoundsHalfEvenAndLeavesInactivePoints();
    void zeroStrengthFallsStraightDown();
    void updateFlowWithoutPointsChangesNothing();
    void equalStrengthIsNoChange();
    void reshapeWaitsForStartOfPath();
    void stepBeyondActivePointsWraps();
    void resetFlowRestoresFullPath();
};

void TestArrow::init() { TScreen::SetMetrics(800, 600, 96); }

void TestArrow::cleanupTestCase() { TScreen::ResetMetrics(); }

void TestArrow::outlineVertices_data()
{
    QTest::addColumn<int>("heading");
    QTest::addColumn<Outline>("expected");
    QTest::newRow("right") << 0
                           << Outline{QPoint(0, 3), QPoint(10, 2), QPoint(10, 0), QPoint(15, 3),
                                      QPoint(10, 6), QPoint(10, 4)};
    QTest::newRow("up") << 90
                        << Outline{QPoint(3, 15), QPoint(2, 5), QPoint(0, 5), QPoint(3, 0),
                                   QPoint(6, 5), QPoint(4, 5)};
    QTest::newRow("left") << 180
                          << Outline{QPoint(15, 3), QPoint(5, 4), QPoint(5, 6), QPoint(0, 3),
                                     QPoint(5, 0), QPoint(5, 2)};
    QTest::newRow("down") << -90
                          << Outline{QPoint(3, 0), QPoint(4, 10), QPoint(6, 10), QPoint(3, 15),
                                     QPoint(0, 10), QPoint(2, 10)};
}

void TestArrow::outlineVertices()
{
    QFETCH(int, heading);
    QFETCH(Outline, expected);
    TImage32 image;
    auto* arrow = new TArrow(&image.Layers());
    QCOMPARE(arrow->Scale(), 1.0f);
    arrow->SetAngle(heading);
    QCOMPARE(arrow->Angle(), heading);
    QCOMPARE(arrow->ScreenAngle(), -heading);
    QCOMPARE(arrow->Outline(), expected);
}

void TestArrow::scaleSetsLengthsWithTiesToEven_data()
{
    QTest::addColumn<float>("scale");
    QTest::addColumn<int>("inset");
    QTest::addColumn<int>("tip");
    QTest::addColumn<int>("shoulder");
    QTest::newRow("1.0") << 1.0f << 5 << 15 << 10;
    QTest::newRow("1.5 halves to even") << 1.5f << 8 << 22 << 14;
    QTest::newRow("2.0") << 2.0f << 10 << 30 << 20;
    QTest::newRow("3.0") << 3.0f << 15 << 45 << 30;
}

void TestArrow::scaleSetsLengthsWithTiesToEven()
{
    QFETCH(float, scale);
    QFETCH(int, inset);
    QFETCH(int, tip);
    QFETCH(int, shoulder);
    TImage32 image;
    auto* arrow = new TArrow(&image.Layers());
    arrow->SetScale(scale);
    QCOMPARE(arrow->HeadInset(), inset);
    QCOMPARE(arrow->TipLength(), tip);
    QCOMPARE(arrow->ShoulderLength(), shoulder);
    // Pointing right, the tip lies tip-length pixels right of the tail.
    arrow->SetAngle(1);
    arrow->SetAngle(0);
    QCOMPARE(arrow->Outline()[3].x() - arrow->Outline()[0].x(), tip);
}

void TestArrow::scaleWaitsForNextHeading()
{
    TImage32 image;
    auto* arrow = new TArrow(&image.Layers());
    const Outline before = arrow->Outline();
    arrow->SetScale(3.0f);
    QCOMPARE(arrow->Outline(), before);
    arrow->SetAngle(90);
    QCOMPARE(arrow->Outline()[0], QPoint(9, 45));  // tail below a 45-pixel arrow
    QCOMPARE(arrow->Outline()[3], QPoint(9, 0));
}

void TestArrow::sameHeadingKeepsOutline()
{
    TImage32 image;
    auto* arrow = new TArrow(&image.Layers());
    arrow->SetAngle(30);
    const Outline at30 = arrow->Outline();
    // A rebuild would now produce a bigger outline.
    arrow->SetScale(2.0f);
    arrow->SetAngle(30);
    QCOMPARE(arrow->Outline(), at30);
}

void TestArrow::sizeFollowsEffectiveScreenWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<float>("scale");
    QTest::newRow("640x480") << 640 << 480 << 1.0f;
    QTest::newRow("800x600") << 800 << 600 << 1.0f;
    QTest::newRow("1024x768") << 1024 << 768 << 1.5f;
    QTest::newRow("1152x864") << 1152 << 864 << 2.0f;
    QTest::newRow("1280x960") << 1280 << 960 << 3.0f;
    QTest::newRow("1600x1200") << 1600 << 1200 << 3.0f;
    // Widths outside the table take the nearest listed width.
    QTest::newRow("1366 nearest 1280") << 1366 << 1025 << 3.0f;
    QTest::newRow("900 nearest 800") << 900 << 675 << 1.0f;
    QTest::newRow("1100 nearest 1152") << 1100 << 825 << 2.0f;
    QTest::newRow("1088 tie takes smaller") << 1088 << 816 << 1.5f;
    QTest::newRow("tiny screen") << 320 << 240 << 1.0f;
    QTest::newRow("huge screen") << 3840 << 2880 << 3.0f;
    // A wide screen counts by the width the scaled design fills: 1.28 x 800.
    QTest::newRow("1366x768 wide") << 1366 << 768 << 1.5f;
    QTest::newRow("1920x1080 wide") << 1920 << 1080 << 3.0f;
}

void TestArrow::sizeFollowsEffectiveScreenWidth()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(float, scale);
    TScreen::SetMetrics(width, height, 96);
    TImage32 image;
    auto* arrow = new TArrow(&image.Layers());
    QCOMPARE(arrow->Scale(), scale);
    QVERIFY(arrow->TipLength() > 0);
}

void TestArrow::createdInvisibleToMouseAtOrigin()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    QVERIFY(arrow->Visible());
    QVERIFY(!arrow->MouseEvents());
    QVERIFY(!arrow->Scaled());
    QCOMPARE(arrow->Location(), (TFloatRect{0, 0, 50, 50}));
    QCOMPARE(image.LayerAt(QPointF(10, 10)), nullptr);
    QCOMPARE(arrow->Angle(), 0);
    QCOMPARE(arrow->Strength(), 0.0f);
    QCOMPARE(arrow->Points(), 0);
    QCOMPARE(arrow->Index(), 0);
}

void TestArrow::paintReplacesOutlinePixelsOnly()
{
    TImage32 image;
    auto* arrow = new TArrow(&image.Layers());
    arrow->SetLocation({5, 7, 55, 57});
    TBitmap32 buffer;
    buffer.SetSize(40, 30);
    buffer.Clear(kPaper);
    arrow->PaintArrow(arrow, buffer);

    // Heading 0 at scale 1: outline box (0,0)-(15,6) offset by the location.
    const QRect box(5, 7, 16, 7);
    for (const QPoint& v : arrow->Outline())
        QCOMPARE(buffer.Pixel(5 + v.x(), 7 + v.y()), TColor32(0));
    // The vertical side from the lower barb to its shoulder.
    QCOMPARE(buffer.Pixel(15, 12), TColor32(0));
    int changed = 0;
    for (int y = 0; y < buffer.Height(); ++y) {
        for (int x = 0; x < buffer.Width(); ++x) {
            const TColor32 c = buffer.Pixel(x, y);
            QVERIFY2(c == 0 || c == kPaper, qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
            if (c == 0) {
                ++changed;
                QVERIFY2(box.contains(x, y), qPrintable(QString("stray %1,%2").arg(x).arg(y)));
            }
        }
    }
    // An outline, not a filled shape: the head's inside keeps its colour.
    QCOMPARE(buffer.Pixel(5 + 12, 7 + 3), kPaper);
    QVERIFY(changed >= 25 && changed <= 34);
}

void TestArrow::paintIsClippedToBuffer()
{
    TImage32 image;
    auto* arrow = new TArrow(&image.Layers());
    arrow->SetLocation({-5, 26, 45, 76});  // tail off the left edge, head off the bottom
    TBitmap32 buffer;
    buffer.SetSize(20, 30);
    buffer.Clear(kPaper);
    arrow->PaintArrow(arrow, buffer);
    QCOMPARE(buffer.Pixel(-5 + 10, 26 + 0), TColor32(0));  // barb, inside
    QCOMPARE(buffer.Pixel(-5 + 15, 26 + 3), TColor32(0));  // tip, inside
}

void TestArrow::stepRepaintsOnlyOldAndNewBox()
{
    TImage32 image;
    image.resize(400, 300);
    auto* watcher = new ClipWatcher(&image.Layers());
    watcher->SetLocation({0, 0, 400, 300});
    auto* arrow = new TMovingArrow(&image.Layers());
    arrow->AddPoint(20, 30, 0);
    arrow->AddPoint(200, 100, 90);
    arrow->Restart();
    image.ComposeNow();
    watcher->painted = QRegion();

    arrow->Step();
    const QImage picture = image.Snapshot();
    QVERIFY(watcher->painted.contains(QRect(20, 30, 50, 50)));
    QVERIFY(watcher->painted.contains(QRect(200, 100, 50, 50)));
    int area = 0;
    for (const QRect& r : watcher->painted)
        area += r.width() * r.height();
    // Each box plus at most a pixel of margin all round.
    QVERIFY2(area <= 2 * 53 * 53, qPrintable(QString::number(area)));
    // Heading 90: the tip is at (3, 0) of the box, drawn black; the old spot is clear.
    QCOMPARE(picture.pixel(203, 100) & 0xFFFFFF, 0u);
    QVERIFY((picture.pixel(20, 33) & 0xFFFFFF) != 0u);
}

void TestArrow::stepWrapsAndFollowsStoredPath()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    arrow->AddPoint(10, 20, 0);
    arrow->AddPoint(30, 20, 45);
    arrow->AddPoint(50, 40, -90);
    QCOMPARE(arrow->Points(), 3);
    arrow->Restart();
    QCOMPARE(arrow->Location(), (TFloatRect{10, 20, 60, 70}));

    const struct {
        int index;
        TFloatRect where;
        int heading;
    } expected[] = {{1, {30, 20, 80, 70}, 45}, {2, {50, 40, 100, 90}, -90}, {0, {10, 20, 60, 70}, 0}};
    for (const auto& e : expected) {
        arrow->Step();
        QCOMPARE(arrow->Index(), e.index);
        QCOMPARE(arrow->Location(), e.where);
        // Before any reshaping the table's headings are used as they are.
        QCOMPARE(arrow->Angle(), e.heading);
    }
}

void TestArrow::emptyPathStaysPut()
{
    TImage32 image;
    auto* arrow = new TMovingArrow(&image.Layers());
    arrow->SetLocation({5, 5, 55, 55});
    arrow->Step();
    QCOMPARE(arrow->Index(), 0);
    QCOMPARE(arrow->Location(), (TFloatRect{5, 5, 55, 55}));
    arrow->Restart();
    QCOMPARE(arrow->Location(), (TFloatRect{5, 5, 55, 55}));

    // One point at low strength keeps no active point: the arrow stops.
    auto* flow = new TAirFlowLayer(&image.Layers());
    flow->AddPoint(100, 100, 0);
    flow->SetStrength(0.3f);
    flow->UpdateFlow();
    QCOMPARE(flow->Points(), 0);
    flow->Step();
    QCOMPARE(flow->Index(), 0);
}

void TestArrow::activePointCount_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<float>("strength");
    QTest::addColumn<int>("active");
    QTest::newRow("41 at 0.49 halves") << 41 << 0.49f << 20;
    QTest::newRow("41 at 0.5 ties to even") << 41 << 0.5f << 20;
    QTest::newRow("41 at 0.6") << 41 << 0.6f << 25;
    QTest::newRow("41 at 1.2 capped") << 41 << 1.2f << 41;
    QTest::newRow("40 at 0.75") << 40 << 0.75f << 30;
    QTest::newRow("40 at 0.95") << 40 << 0.95f << 38;
    QTest::newRow("40 at 0") << 40 << 0.0f << 20;
    QTest::newRow("40 at -1") << 40 << -1.0f << 20;
}

void TestArrow::activePointCount()
{
    QFETCH(int, points);
    QFETCH(float, strength);
    QFETCH(int, active);
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    addSquarePath(*arrow, points);
    arrow->SetStrength(strength);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Points(), active);
    QCOMPARE(arrow->FullPoints(), points);
    QCOMPARE(int(arrow->Items().size()), points);
    QCOMPARE(int(arrow->BasePath().size()), points);
    // Reshaping always starts again from the stored full path.
    arrow->SetStrength(1.0f);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Points(), points);
}

void TestArrow::segmentHeadings_data()
{
    QTest::addColumn<QPoint>("move");  // screen pixels, y down
    QTest::addColumn<int>("heading");
    QTest::newRow("right") << QPoint(10, 0) << 0;
    QTest::newRow("up the screen") << QPoint(0, -10) << 90;
    QTest::newRow("down the screen") << QPoint(0, 10) << -90;
    QTest::newRow("left") << QPoint(-10, 0) << 180;
    QTest::newRow("up-right") << QPoint(10, -10) << 45;
    QTest::newRow("down-left") << QPoint(-10, 10) << -135;
    QTest::newRow("shallow down") << QPoint(10, 5) << -27;
    QTest::newRow("left, slightly up") << QPoint(-10, -1) << 174;
    QTest::newRow("left, slightly down") << QPoint(-10, 1) << -174;
}

void TestArrow::segmentHeadings()
{
    QFETCH(QPoint, move);
    QFETCH(int, heading);
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    arrow->AddPoint(100, 100, 33);
    arrow->AddPoint(100 + move.x(), 100 + move.y(), 33);
    arrow->SetStrength(1.0f);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Items()[1].Angle, heading);
    QCOMPARE(arrow->Items()[0].Angle, heading);  // the start looks where the path goes
}

void TestArrow::startHeadingsCopiedBelowNinetyPercent()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    addSquarePath(*arrow, 40);
    arrow->SetStrength(0.75f);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Points(), 30);
    // n = Round(2.5) = 2: points 0, 1, 2 carry point 3's heading (left).
    for (int i = 0; i <= 2; ++i)
        QCOMPARE(arrow->Items()[size_t(i)].Angle, 180);
    for (int i = 3; i < 30; ++i)
        QCOMPARE(arrow->Items()[size_t(i)].Angle, squareHeading(i));
    // Beyond the active points the stored headings stay.
    for (int i = 30; i < 40; ++i)
        QCOMPARE(arrow->Items()[size_t(i)].Angle, 45);
}

void TestArrow::startHeadingOnlyAboveNinetyPercent()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    addSquarePath(*arrow, 40);
    arrow->SetStrength(0.95f);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Items()[0].Angle, squareHeading(1));
    for (int i = 1; i < arrow->Points(); ++i)
        QCOMPARE(arrow->Items()[size_t(i)].Angle, squareHeading(i));

    // A Single 0.9 is not above 0.9: n = 1 copies point 2's heading (up)
    // into points 1 and 0.
    arrow->SetStrength(0.9f);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Points(), 36);
    QCOMPARE(arrow->Items()[0].Angle, 90);
    QCOMPARE(arrow->Items()[1].Angle, 90);
    QCOMPARE(arrow->Items()[2].Angle, 90);
    QCOMPARE(arrow->Items()[3].Angle, 180);
}

void TestArrow::squeezeRoundsHalfEvenAndLeavesInactivePoints()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    const int offsets[] = {0, 1, 3, 5, 7, 9, 11, 13};
    for (int i = 0; i < 8; ++i)
        arrow->AddPoint(100 + offsets[i], 50 + i, 0);
    arrow->SetStrength(0.5f);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Points(), 4);
    // 0.5, 1.5, 2.5 round to 0, 2, 2.
    const int squeezed[] = {100, 100, 102, 102, 107, 109, 111, 113};
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(arrow->Items()[size_t(i)].X, squeezed[i]);
        QCOMPARE(arrow->Items()[size_t(i)].Y, 50 + i);
    }
}

void TestArrow::zeroStrengthFallsStraightDown()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    addSquarePath(*arrow, 40);
    arrow->SetStrength(1.0f);
    arrow->UpdateFlow();
    arrow->SetStrength(0.0f);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Points(), 20);
    const auto& items = arrow->Items();
    for (int i = 0; i < 20; ++i) {
        QCOMPARE(items[size_t(i)].X, 200);
        QCOMPARE(items[size_t(i)].Y, arrow->BasePath()[size_t(i)].Y);
        QVERIFY2(items[size_t(i)].Angle == 90 || items[size_t(i)].Angle == -90,
                 qPrintable(QString("point %1: %2").arg(i).arg(items[size_t(i)].Angle)));
    }
    // Past the copied start, points between different heights point up or
    // down; a point on the same spot as the one before keeps its heading.
    for (int i = 12; i < 20; ++i) {
        const int dy = items[size_t(i - 1)].Y - items[size_t(i)].Y;
        const int expected = dy > 0 ? 90 : (dy < 0 ? -90 : items[size_t(i - 1)].Angle);
        QCOMPARE(items[size_t(i)].Angle, expected);
    }
}

void TestArrow::updateFlowWithoutPointsChangesNothing()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    arrow->SetStrength(0.8f);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Points(), 0);
    QCOMPARE(arrow->FullPoints(), 0);
    QVERIFY(arrow->Items().empty());
    QVERIFY(!arrow->StrengthChanged());
    // Points added afterwards still become the base path at the next reshaping.
    addSquarePath(*arrow, 10);
    arrow->UpdateFlow();
    QCOMPARE(arrow->FullPoints(), 10);
    QCOMPARE(arrow->Points(), 8);
}

void TestArrow::equalStrengthIsNoChange()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    arrow->SetStrength(0.0f);
    QVERIFY(!arrow->StrengthChanged());
    arrow->SetStrength(0.5f);
    QVERIFY(arrow->StrengthChanged());
    QCOMPARE(arrow->Strength(), 0.5f);
    arrow->UpdateFlow();
    QVERIFY(!arrow->StrengthChanged());
    arrow->SetStrength(0.5f);
    QVERIFY(!arrow->StrengthChanged());
}

void TestArrow::reshapeWaitsForStartOfPath()
{
    TImage32 image;
    image.resize(600, 500);
    auto* arrow = new TAirFlowLayer(&image.Layers());
    addSquarePath(*arrow, 40);
    arrow->ResetFlow();
    arrow->Step();
    arrow->Step();
    arrow->SetStrength(0.5f);
    image.ComposeAll();
    image.ComposeNow();  // paints at index 2: no reshaping yet
    QCOMPARE(arrow->Points(), 40);
    QVERIFY(arrow->StrengthChanged());

    while (arrow->Index() != 0)
        arrow->Step();
    image.ComposeNow();  // the step back to point 0 repaints the arrow
    QCOMPARE(arrow->Points(), 20);
    QVERIFY(!arrow->StrengthChanged());
    // The start does not move: point 0 is where the arrow stands.
    QCOMPARE(arrow->Items()[0].X, 200);
    QCOMPARE(arrow->Location(), (TFloatRect{200, 300, 250, 350}));
}

void TestArrow::stepBeyondActivePointsWraps()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    addSquarePath(*arrow, 40);
    arrow->ResetFlow();
    for (int i = 0; i < 25; ++i)
        arrow->Step();
    QCOMPARE(arrow->Index(), 25);
    arrow->SetStrength(0.5f);
    arrow->UpdateFlow();
    QCOMPARE(arrow->Points(), 20);
    arrow->Step();
    QCOMPARE(arrow->Index(), 0);
    QCOMPARE(arrow->Location(), (TFloatRect{200, 300, 250, 350}));
}

void TestArrow::resetFlowRestoresFullPath()
{
    TImage32 image;
    auto* arrow = new TAirFlowLayer(&image.Layers());
    addSquarePath(*arrow, 12);
    arrow->SetStrength(0.3f);
    arrow->UpdateFlow();
    arrow->Step();
    arrow->Step();
    arrow->ResetFlow();
    QCOMPARE(arrow->Strength(), 1.0f);
    QCOMPARE(arrow->Points(), 12);
    QCOMPARE(arrow->Index(), 0);
    QVERIFY(!arrow->StrengthChanged());
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(arrow->Items()[size_t(i)].X, arrow->BasePath()[size_t(i)].X);
        QCOMPARE(arrow->Items()[size_t(i)].Y, arrow->BasePath()[size_t(i)].Y);
    }
    QCOMPARE(arrow->Location(), (TFloatRect{200, 300, 250, 350}));
    QCOMPARE(arrow->Angle(), squareHeading(1));
}

QTEST_MAIN(TestArrow)
#include "tst_arrow.moc"
