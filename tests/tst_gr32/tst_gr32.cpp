// Bitmaps, layers and the layered image control: what the scenes rely on.
#include "gr32/GR32.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr TColor32 kRed = Color32(255, 0, 0);
constexpr TColor32 kBlue = Color32(0, 0, 255);

TBitmapLayer* solidLayer(TLayerCollection& c, TFloatRect where, TColor32 color, int w = 4, int h = 4)
{
    auto* layer = new TBitmapLayer(&c);
    layer->Bitmap().SetSize(w, h);
    layer->Bitmap().Clear(color);
    layer->SetLocation(where);
    return layer;
}

// Counts how often a layer is painted, and where.
class CountingLayer : public TPositionedLayer {
public:
    using TPositionedLayer::TPositionedLayer;
    void Paint(TBitmap32& buffer) override
    {
        ++paints;
        clips.append(buffer.ClipRect());
    }
    int paints = 0;
    QList<QRect> clips;
};

}  // namespace

class TestGr32 : public QObject {
    Q_OBJECT
private slots:
    void lineLeavesOutEndPixelAndClips_data();
    void lineLeavesOutEndPixelAndClips();
    void copyKeepsSettingsButNotListener();
    void assignNullGivesEmptyBitmap();
    void opaqueLayerCopiesColourBlendLayerUsesMasterAlpha();
    void layerStretchesNearestNeighbour();
    void masterAlphaBeyond255DrawsFull();
    void laterLayersDrawOnTop();
    void layerAtFindsTopmostWithMouseEventsEvenWhenHidden();
    void mouseUpReportsLayerWherePressBegan();
    void stepRepaintsOnlyTheTwoRectangles();
    void freeingLayerRemovesItAndRepaints();
};

void TestGr32::lineLeavesOutEndPixelAndClips_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QPoint>("lastDrawn");
    QTest::newRow("horizontal") << QPoint(1, 1) << QPoint(5, 1) << 4 << QPoint(4, 1);
    QTest::newRow("vertical up") << QPoint(2, 6) << QPoint(2, 2) << 4 << QPoint(2, 3);
    QTest::newRow("diagonal") << QPoint(0, 0) << QPoint(3, 3) << 3 << QPoint(2, 2);
    QTest::newRow("clipped at left") << QPoint(-3, 4) << QPoint(2, 4) << 2 << QPoint(1, 4);
    QTest::newRow("zero length") << QPoint(3, 3) << QPoint(3, 3) << 0 << QPoint(-1, -1);
}

void TestGr32::lineLeavesOutEndPixelAndClips()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, pixels);
    QFETCH(QPoint, lastDrawn);
    TBitmap32 b;
    b.SetSize(8, 8);
    b.Clear(kBlue);
    b.LineS(from.x(), from.y(), to.x(), to.y(), 0);
    int count = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            count += b.Pixel(x, y) == 0;
    QCOMPARE(count, pixels);
    if (to.x() >= 0 && to.x() < 8 && to.y() >= 0 && to.y() < 8)
        QCOMPARE(b.Pixel(to.x(), to.y()), kBlue);
    if (lastDrawn.x() >= 0)
        QCOMPARE(b.Pixel(lastDrawn.x(), lastDrawn.y()), TColor32(0));
}

void TestGr32::copyKeepsSettingsButNotListener()
{
    TBitmap32 a;
    a.SetSize(2, 2);
    a.Clear(kRed);
    a.SetMasterAlpha(77);
    a.SetDrawMode(TDrawMode::dmBlend);
    int targetChanges = 0;
    TBitmap32 b;
    b.SetOnChange([&] { ++targetChanges; });
    b = a;
    QCOMPARE(b.Width(), 2);
    QCOMPARE(b.Pixel(1, 1), kRed);
    QCOMPARE(b.MasterAlpha(), 77);
    QCOMPARE(b.DrawMode(), TDrawMode::dmBlend);
    QCOMPARE(targetChanges, 1);  // the target keeps its own listener
    a.SetPixel(0, 0, kBlue);
    QCOMPARE(b.Pixel(0, 0), kRed);  // pixels are not shared
}

void TestGr32::assignNullGivesEmptyBitmap()
{
    TBitmap32 b;
    b.SetSize(3, 3);
    b.Assign(nullptr);
    QVERIFY(b.Empty());
    QCOMPARE(b.Width(), 0);
}

void TestGr32::opaqueLayerCopiesColourBlendLayerUsesMasterAlpha()
{
    TImage32 image;
    image.resize(10, 10);
    image.SetBackColor(Qt::black);
    auto* opaque = solidLayer(image.Layers(), {0, 0, 4, 4}, Color32(200, 100, 50, 10));
    auto* blend = solidLayer(image.Layers(), {5, 5, 9, 9}, Color32(255, 255, 255));
    blend->Bitmap().SetDrawMode(TDrawMode::dmBlend);
    blend->Bitmap().SetMasterAlpha(128);
    Q_UNUSED(opaque);
    const QImage shot = image.Snapshot();
    // Opaque drawing ignores the pixel's alpha and keeps its colour.
    QCOMPARE(QColor(shot.pixel(1, 1)), QColor(200, 100, 50));
    // Half of white over black.
    QVERIFY(qAbs(qRed(shot.pixel(6, 6)) - 128) <= 1);
}

void TestGr32::layerStretchesNearestNeighbour()
{
    TImage32 image;
    image.resize(8, 8);
    auto* layer = new TBitmapLayer(&image.Layers());
    layer->Bitmap().SetSize(2, 1);
    layer->Bitmap().SetPixel(0, 0, kRed);
    layer->Bitmap().SetPixel(1, 0, kBlue);
    layer->SetLocation({0, 0, 8, 2});
    const QImage shot = image.Snapshot();
    QCOMPARE(QColor(shot.pixel(3, 1)), QColor(Qt::red));
    QCOMPARE(QColor(shot.pixel(4, 1)), QColor(Qt::blue));
}

void TestGr32::masterAlphaBeyond255DrawsFull()
{
    TImage32 image;
    image.resize(4, 4);
    image.SetBackColor(Qt::black);
    auto* layer = solidLayer(image.Layers(), {0, 0, 4, 4}, kRed);
    layer->Bitmap().SetDrawMode(TDrawMode::dmBlend);
    layer->Bitmap().SetMasterAlpha(265);
    QCOMPARE(layer->Bitmap().MasterAlpha(), 265);
    QCOMPARE(QColor(image.Snapshot().pixel(2, 2)), QColor(Qt::red));
}

void TestGr32::laterLayersDrawOnTop()
{
    TImage32 image;
    image.resize(6, 6);
    solidLayer(image.Layers(), {0, 0, 6, 6}, kRed);
    auto* top = solidLayer(image.Layers(), {0, 0, 6, 6}, kBlue);
    QCOMPARE(QColor(image.Snapshot().pixel(3, 3)), QColor(Qt::blue));
    top->SetVisible(false);
    QCOMPARE(QColor(image.Snapshot().pixel(3, 3)), QColor(Qt::red));
}

void TestGr32::layerAtFindsTopmostWithMouseEventsEvenWhenHidden()
{
    TImage32 image;
    image.resize(20, 20);
    auto* bottom = solidLayer(image.Layers(), {0, 0, 10, 10}, kRed);
    auto* hidden = solidLayer(image.Layers(), {5, 5, 15, 15}, kBlue);
    auto* deaf = solidLayer(image.Layers(), {0, 0, 20, 20}, kBlue);
    bottom->SetMouseEvents(true);
    hidden->SetMouseEvents(true);
    hidden->SetVisible(false);
    deaf->SetMouseEvents(false);
    QCOMPARE(image.LayerAt({2, 2}), static_cast<TCustomLayer*>(bottom));
    QCOMPARE(image.LayerAt({7, 7}), static_cast<TCustomLayer*>(hidden));
    QCOMPARE(image.LayerAt({10, 10}), static_cast<TCustomLayer*>(hidden));  // right/bottom edges exclusive
    QCOMPARE(image.LayerAt({15, 15}), static_cast<TCustomLayer*>(nullptr));
    hidden->SetMouseEvents(false);
    QCOMPARE(image.LayerAt({7, 7}), static_cast<TCustomLayer*>(bottom));
}

void TestGr32::mouseUpReportsLayerWherePressBegan()
{
    TImage32 image;
    image.resize(40, 20);
    auto* target = solidLayer(image.Layers(), {0, 0, 10, 10}, kRed);
    target->SetMouseEvents(true);
    QList<TCustomLayer*> ups;
    connect(&image, &TImage32::MouseUp, this, [&](QMouseEvent*, TCustomLayer* l) { ups.append(l); });
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(30, 15));
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(30, 15));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(ups.size(), 2);
    QCOMPARE(ups[0], static_cast<TCustomLayer*>(target));  // pressed on it, released elsewhere
    QCOMPARE(ups[1], static_cast<TCustomLayer*>(target));  // pressed elsewhere, released on it
}

void TestGr32::stepRepaintsOnlyTheTwoRectangles()
{
    TImage32 image;
    image.resize(400, 300);
    auto* watcher = new CountingLayer(&image.Layers());
    watcher->SetLocation({0, 0, 400, 300});
    auto* arrow = new TPositionedLayer(&image.Layers());
    arrow->SetLocation({10, 10, 60, 60});
    image.ComposeNow();
    watcher->paints = 0;
    watcher->clips.clear();
    arrow->SetLocation({200, 100, 250, 150});
    image.ComposeNow();
    QRegion painted;
    for (const QRect& r : watcher->clips)
        painted += r;
    QVERIFY(painted.contains(QRect(10, 10, 50, 50)));
    QVERIFY(painted.contains(QRect(200, 100, 50, 50)));
    // Nothing far from the two rectangles is composed again.
    int area = 0;
    for (const QRect& r : painted)
        area += r.width() * r.height();
    QVERIFY2(area <= 2 * 50 * 50, qPrintable(QString::number(area)));
}

void TestGr32::freeingLayerRemovesItAndRepaints()
{
    TImage32 image;
    image.resize(10, 10);
    image.SetBackColor(Qt::black);
    auto* layer = solidLayer(image.Layers(), {0, 0, 10, 10}, kRed);
    QCOMPARE(QColor(image.Snapshot().pixel(5, 5)), QColor(Qt::red));
    delete layer;
    QCOMPARE(image.Layers().Count(), 0);
    QCOMPARE(QColor(image.Snapshot().pixel(5, 5)), QColor(Qt::black));
}

QTEST_MAIN(TestGr32)
#include "tst_gr32.moc"
