// Pressure-figure labels: placement, font size, colour and ownership.
#include "UnitTextLayer.h"

#include "vcl/Screen.h"

#include <QFontInfo>
#include <QtTest>

namespace {

// The white pixels of a picture composed over black.
struct Ink {
    QRect box;
    int count = 0;
    int other = 0;  // neither black nor white: soft edges
};

Ink inkOf(const QImage& picture)
{
    Ink ink;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y) & 0xFFFFFF;
            if (c == 0xFFFFFF) {
                ++ink.count;
                ink.box |= QRect(x, y, 1, 1);
            } else if (c != 0) {
                ++ink.other;
            }
        }
    }
    return ink;
}

struct Scene {
    Scene()
    {
        image.resize(1100, 800);
        image.SetBackColor(Qt::black);
    }
    TTextLayer* layer(int left = 0, int top = 0, int width = 1100, int height = 800)
    {
        return new TTextLayer(&image.Layers(), left, top, width, height);
    }
    TImage32 image;
};

}  // namespace

class TestTextLayer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanupTestCase();

    void createdAsPassiveOverlay();
    void placement_data();
    void placement();
    void fontSize_data();
    void fontSize();
    void drawnWhiteWithoutSoftEdges();
    void trailingQuoteIsDrawn();
    void positionIgnoresLocation();
    void noLabelsDrawNothing();
    void freeingReleasesLabelsAndText();
};

void TestTextLayer::init() { TScreen::SetMetrics(800, 600, 96); }

void TestTextLayer::cleanupTestCase() { TScreen::ResetMetrics(); }

void TestTextLayer::createdAsPassiveOverlay()
{
    Scene s;
    TTextLayer* layer = s.layer(0, 0, 747, 584);
    QVERIFY(layer->Visible());
    QVERIFY(!layer->MouseEvents());
    QVERIFY(layer->Scaled());
    QCOMPARE(layer->Location(), (TFloatRect{0, 0, 747, 584}));
    QCOMPARE(s.image.LayerAt(QPointF(100, 100)), nullptr);
    layer->AddLabel(200, 147, "80 Pa");
    layer->AddLabel(300, 147, "60 Pa");
    QCOMPARE(layer->LabelCount(), 2);
    QCOMPARE(layer->Label(1).X, 300);
    QCOMPARE(layer->Label(1).Text, QString("60 Pa"));
}

void TestTextLayer::placement_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("800x600") << 800 << 600 << QPoint(200, 147);
    QTest::newRow("1024x768") << 1024 << 768 << QPoint(256, 188);
    // A wide screen scales by the design's fit: 768 / 600 = 1.28.
    QTest::newRow("1366x768") << 1366 << 768 << QPoint(256, 188);
}

void TestTextLayer::placement()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QPoint, expected);
    TScreen::SetMetrics(width, height, 96);
    QCOMPARE(TTextLayer::LabelPosition(200, 147), expected);

    Scene s;
    s.layer()->AddLabel(200, 147, "80 Pa");
    const Ink ink = inkOf(s.image.Snapshot());
    QVERIFY(ink.count > 0);
    // The ink starts just right of and below the label's corner, within one line.
    const QFontMetrics fm(TTextLayer::LabelFont());
    QVERIFY2(ink.box.left() >= expected.x() && ink.box.left() <= expected.x() + 3,
             qPrintable(QString::number(ink.box.left())));
    QVERIFY2(ink.box.top() >= expected.y() && ink.box.bottom() < expected.y() + fm.height(),
             qPrintable(QString("%1..%2").arg(ink.box.top()).arg(ink.box.bottom())));
}

void TestTextLayer::fontSize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("ppi");
    QTest::addColumn<int>("points");
    QTest::newRow("800 at 96") << 800 << 96 << 8;
    QTest::newRow("1024 at 96") << 1024 << 96 << 10;
    QTest::newRow("800 at 120") << 800 << 120 << 6;
    QTest::newRow("1024 at 120") << 1024 << 120 << 8;
    QTest::newRow("1280 at 96") << 1280 << 96 << 13;
}

void TestTextLayer::fontSize()
{
    QFETCH(int, width);
    QFETCH(int, ppi);
    QFETCH(int, points);
    TScreen::SetMetrics(width, width * 3 / 4, ppi);
    QCOMPARE(TTextLayer::FontSize(), points);
    const QFont font = TTextLayer::LabelFont();
    // Points become pixels at the screen's density.
    QCOMPARE(font.pixelSize(), qRound(points * ppi / 72.0));
    QVERIFY(!font.bold());
    QVERIFY(!font.italic());
    QVERIFY(!font.underline());
    QVERIFY(!font.strikeOut());
    QVERIFY(!QFontInfo(font).family().isEmpty());
}

void TestTextLayer::drawnWhiteWithoutSoftEdges()
{
    TScreen::SetMetrics(1024, 768, 96);
    Scene s;
    TTextLayer* layer = s.layer();
    layer->AddLabel(10, 10, "10 Pa - 60 Pa");
    layer->AddLabel(10, 40, "0.04\" - 0.24\"");
    const Ink ink = inkOf(s.image.Snapshot());
    QVERIFY(ink.count > 50);
    QCOMPARE(ink.other, 0);
}

void TestTextLayer::trailingQuoteIsDrawn()
{
    QImage withQuote, without;
    {
        Scene s;
        s.layer()->AddLabel(20, 20, "0.32\"");
        withQuote = s.image.Snapshot();
    }
    {
        Scene s;
        s.layer()->AddLabel(20, 20, "0.32");
        without = s.image.Snapshot();
    }
    const Ink a = inkOf(withQuote);
    const Ink b = inkOf(without);
    QVERIFY(a.count > b.count);
    // The quote's ink lies right of the digits, near the top of the line.
    QVERIFY(a.box.right() > b.box.right());
    QVERIFY(a.box.top() <= b.box.top());
}

void TestTextLayer::positionIgnoresLocation()
{
    Scene s;
    // A small layer far from its label: the label still lands at its own place.
    TTextLayer* layer = s.layer(500, 400, 40, 20);
    layer->AddLabel(30, 30, "70 Pa");
    const Ink ink = inkOf(s.image.Snapshot());
    QVERIFY(ink.count > 0);
    QVERIFY(ink.box.left() >= 30 && ink.box.left() < 40);
    QVERIFY(ink.box.top() >= 30 && ink.box.top() < 45);
    // A later partial repaint over the label redraws it too.
    s.image.Invalidate(QRectF(0, 0, 200, 200));
    QCOMPARE(inkOf(s.image.Snapshot()).count, ink.count);
}

void TestTextLayer::noLabelsDrawNothing()
{
    Scene s;
    s.layer();
    const Ink ink = inkOf(s.image.Snapshot());
    QCOMPARE(ink.count, 0);
    QCOMPARE(ink.other, 0);
}

void TestTextLayer::freeingReleasesLabelsAndText()
{
    Scene s;
    const int before = TTextlabel::LiveCount();
    TTextLayer* layer = s.layer();
    layer->AddLabel(100, 100, "80 Pa");
    layer->AddLabel(200, 100, "60 Pa");
    layer->AddLabel(300, 100, "70 Pa");
    QCOMPARE(TTextlabel::LiveCount(), before + 3);
    QVERIFY(inkOf(s.image.Snapshot()).count > 0);
    delete layer;
    QCOMPARE(TTextlabel::LiveCount(), before);
    QCOMPARE(s.image.Layers().Count(), 0);
    QCOMPARE(inkOf(s.image.Snapshot()).count, 0);

    // The collection frees a layer it still holds, labels and all.
    s.layer()->AddLabel(1, 1, "x");
    s.image.Layers().Clear();
    QCOMPARE(TTextlabel::LiveCount(), before);
}

QTEST_MAIN(TestTextLayer)
#include "tst_textlayer.moc"
