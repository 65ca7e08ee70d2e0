// The custom-drawn button: its faces pixel by pixel, and when it clicks.
#include "G32_Button.h"

#include <QSignalSpy>
#include <QtTest>

#include <set>
#include <utility>

namespace {

using Pixels = std::set<std::pair<int, int>>;

TColor32 rgb(int r, int g, int b) { return Color32(r, g, b); }

QString show(TColor32 c)
{
    return QStringLiteral("(%1,%2,%3,a%4)")
        .arg(RedComponent(c)).arg(GreenComponent(c)).arg(BlueComponent(c)).arg(AlphaComponent(c));
}

// Colours that occur nowhere else in a face, so caption pixels can be told apart.
QPalette distinctPalette()
{
    QPalette pal;
    pal.setColor(QPalette::Light, QColor(250, 250, 1));
    pal.setColor(QPalette::Dark, QColor(1, 2, 3));
    pal.setColor(QPalette::Shadow, QColor(9, 9, 9));
    pal.setColor(QPalette::ButtonText, QColor(7, 8, 9));
    return pal;
}

const TBitmap32& face(TG32_Button& b)
{
    b.ValidateBuffer();
    return b.Buffer();
}

Pixels pixelsOf(const TBitmap32& bmp, TColor32 c)
{
    Pixels out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if ((bmp.Pixel(x, y) | 0xFF000000u) == (c | 0xFF000000u))
                out.insert({x, y});
    return out;
}

Pixels shifted(const Pixels& p, int dx, int dy)
{
    Pixels out;
    for (auto [x, y] : p)
        out.insert({x + dx, y + dy});
    return out;
}

// White at alpha 163 / black at alpha 81 over an opaque channel, to the nearest value.
int overWhite(int c) { return (255 * 163 + c * 92 + 127) / 255; }
int overBlack(int c) { return (c * 174 + 127) / 255; }

// A button in a window of its own, so real mouse input reaches it.
struct Host {
    QWidget window;
    TG32_Button* button;
    Host()
    {
        window.resize(220, 120);
        button = new TG32_Button(&window);
        button->move(60, 40);
        button->SetCaption(QStringLiteral("Go"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Qt drops a move to where the pointer already is; start off the button.
        QTest::mouseMove(&window, QPoint(2, 2));
    }
};

const QPoint Inside(20, 10);
const QPoint Outside(-30, 50);  // in the window, off the button

} // namespace

class TestButton : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void gradientRows_data();
    void gradientRows();
    void raisedEdge_data();
    void raisedEdge();
    void flatFaceHasNoBrackets();
    void hoverBrackets();
    void pressedLook();
    void captionPlacement();
    void disabledCaptionIsEmbossed();
    void clicks_data();
    void clicks();
    void pressedLookFollowsThePointer();
    void hoverFollowsThePointer();
    void accelerator_data();
    void accelerator();
    void altAcceleratorFromTheWindow();
    void settersRepaint();
};

void TestButton::defaults()
{
    TG32_Button b;
    QCOMPARE(b.width(), 75);
    QCOMPARE(b.height(), 25);
    QCOMPARE(b.Contrast(), 64);
    QVERIFY(!b.Down() && !b.MouseIn() && !b.Tracking());
    QCOMPARE(b.FocusColor(), b.palette().color(QPalette::Midlight));
    QCOMPARE(b.BackColor(), b.palette().color(QPalette::Dark));
    QCOMPARE(b.DisabledColor(), b.palette().color(QPalette::Button));
}

void TestButton::gradientRows_data()
{
    QTest::addColumn<int>("contrast");
    QTest::addColumn<QColor>("base");
    QTest::addColumn<int>("row");
    QTest::addColumn<QColor>("expected");

    const QColor grey(100, 140, 180);
    // Height 25: mid = 12, shift = ((12 - y) * contrast) div 25, truncated toward zero.
    QTest::newRow("c64 row 1 +28") << 64 << grey << 1 << QColor(128, 168, 208);
    QTest::newRow("c64 row 11 +2") << 64 << grey << 11 << QColor(102, 142, 182);
    QTest::newRow("c64 row 12 unchanged") << 64 << grey << 12 << grey;
    QTest::newRow("c64 row 13 -2 (not -3)") << 64 << grey << 13 << QColor(98, 138, 178);
    QTest::newRow("c64 row 23 -28 (not -29)") << 64 << grey << 23 << QColor(72, 112, 152);
    const QColor sky(166, 202, 240);
    QTest::newRow("c200 row 1 +88 clamped") << 200 << sky << 1 << QColor(254, 255, 255);
    QTest::newRow("c200 row 12") << 200 << sky << 12 << sky;
    QTest::newRow("c200 row 23 -88") << 200 << sky << 23 << QColor(78, 114, 152);
    QTest::newRow("c-64 reverses") << -64 << grey << 1 << QColor(72, 112, 152);
    QTest::newRow("c0 flat") << 0 << grey << 1 << grey;
    QTest::newRow("c0 flat bottom") << 0 << grey << 23 << grey;
}

void TestButton::gradientRows()
{
    QFETCH(int, contrast);
    QFETCH(QColor, base);
    QFETCH(int, row);
    QFETCH(QColor, expected);
    TG32_Button b;
    b.SetColor(base);
    b.SetContrast(contrast);
    const TBitmap32& buf = face(b);
    // The whole row between the edges, not one sample.
    for (int x = 1; x < 74; ++x)
        QCOMPARE(show(buf.Pixel(x, row)), show(TG32_Button::ToColor32(expected)));
}

void TestButton::raisedEdge_data()
{
    QTest::addColumn<int>("contrast");
    QTest::addColumn<int>("topShift");
    QTest::addColumn<int>("bottomShift");
    // Rows 0 and 24 take the gradient's extremes under the edge.
    QTest::newRow("c64 +30/-30") << 64 << 30 << -30;
    QTest::newRow("c200 +96/-96") << 200 << 96 << -96;
    QTest::newRow("c0 flat") << 0 << 0 << 0;
}

void TestButton::raisedEdge()
{
    QFETCH(int, contrast);
    QFETCH(int, topShift);
    QFETCH(int, bottomShift);
    TG32_Button b;
    b.SetColor(QColor(120, 120, 120));
    b.SetContrast(contrast);
    const TBitmap32& buf = face(b);
    const auto near = [](int actual, int expected) { return std::abs(actual - expected) <= 1; };
    const int top = overWhite(std::clamp(120 + topShift, 0, 255));
    const int bottom = overBlack(std::clamp(120 + bottomShift, 0, 255));
    for (int x = 0; x < 75; ++x) {
        QVERIFY2(near(RedComponent(buf.Pixel(x, 0)), top), qPrintable(show(buf.Pixel(x, 0))));
        QVERIFY2(near(RedComponent(buf.Pixel(x, 24)), bottom), qPrintable(show(buf.Pixel(x, 24))));
    }
    for (int y = 1; y <= 23; ++y) {
        const int shift = contrast * (12 - y) / 25;
        QVERIFY(near(RedComponent(buf.Pixel(0, y)), overWhite(std::clamp(120 + shift, 0, 255))));
        QVERIFY(near(RedComponent(buf.Pixel(74, y)), overBlack(std::clamp(120 + shift, 0, 255))));
        QCOMPARE(AlphaComponent(buf.Pixel(0, y)), 255);
    }
    // The edge sits over the face; it does not shift the face itself.
    QCOMPARE(RedComponent(buf.Pixel(1, 12)), 120);
    QCOMPARE(RedComponent(buf.Pixel(73, 12)), 120);
}

void TestButton::flatFaceHasNoBrackets()
{
    Host h;
    h.button->SetContrast(0);
    h.button->SetFocusColor(QColor(0, 255, 0));
    h.button->SetCaption(QString());
    QTest::mouseMove(h.button, Inside);
    QVERIFY(h.button->MouseIn());
    const TBitmap32& buf = face(*h.button);
    for (int y = 1; y < 24; ++y)
        for (int x = 1; x < 74; ++x)
            QCOMPARE(show(buf.Pixel(x, y)), show(rgb(0, 255, 0)));
    // The raised edge is still there.
    QVERIFY(RedComponent(buf.Pixel(10, 0)) > 150);
    QVERIFY(GreenComponent(buf.Pixel(10, 24)) < 255);
}

void TestButton::hoverBrackets()
{
    Host h;
    h.button->SetColor(QColor(166, 202, 240));
    h.button->SetFocusColor(QColor(0, 255, 0));
    h.button->SetContrast(200);
    h.button->SetCaption(QString());
    QTest::mouseMove(h.button, Inside);
    QVERIFY(h.button->MouseIn());
    const TBitmap32& buf = face(*h.button);
    const int W = 75, H = 25;
    Pixels brackets;
    for (int t = 3; t <= 7; ++t) {
        brackets.insert({3, t});
        brackets.insert({W - 3, t});
        brackets.insert({t, 3});
        brackets.insert({t, H - 4});
    }
    for (int t = H - 8; t <= H - 4; ++t) {
        brackets.insert({3, t});
        brackets.insert({W - 3, t});
    }
    for (int t = W - 7; t <= W - 3; ++t) {
        brackets.insert({t, 3});
        brackets.insert({t, H - 4});
    }
    QCOMPARE(brackets.size(), size_t(36));
    QCOMPARE(pixelsOf(buf, 0), brackets);
    for (auto [x, y] : brackets)
        QCOMPARE(buf.Pixel(x, y), TColor32(0));
    // The face around them is lime, shaded: row 12 exactly lime.
    QCOMPARE(show(buf.Pixel(20, 12)), show(rgb(0, 255, 0)));
    QCOMPARE(show(buf.Pixel(20, 1)), show(rgb(88, 255, 88)));
}

void TestButton::pressedLook()
{
    Host h;
    h.button->setPalette(distinctPalette());
    h.button->SetBackColor(QColor(20, 100, 250));
    h.button->SetCaption(QString());
    QTest::mousePress(h.button, Qt::LeftButton, {}, Inside);
    QVERIFY(h.button->Down());
    const TBitmap32& buf = face(*h.button);
    const int W = 75, H = 25;
    const QString frame = show(rgb(9, 9, 9));
    for (int x = 0; x < W; ++x) {
        QCOMPARE(show(buf.Pixel(x, 0)), frame);
        QCOMPARE(show(buf.Pixel(x, H - 1)), frame);
    }
    for (int y = 0; y < H; ++y) {
        QCOMPARE(show(buf.Pixel(0, y)), frame);
        QCOMPARE(show(buf.Pixel(W - 1, y)), frame);
    }
    // Channel 20 darkens to 0 (clamped); the light edge is 0 + 64, not 20 - 32 + 64.
    const QString dark = show(rgb(0, 68, 218));
    const QString light = show(rgb(64, 132, 255));
    for (int x = 1; x <= W - 2; ++x) {
        QCOMPARE(show(buf.Pixel(x, 1)), dark);
        QCOMPARE(show(buf.Pixel(x, H - 2)), light);
    }
    for (int y = 2; y <= H - 3; ++y) {
        QCOMPARE(show(buf.Pixel(1, y)), dark);
        QCOMPARE(show(buf.Pixel(W - 2, y)), light);
    }
    // Corners where the dark and light lines meet: the later line wins.
    QCOMPARE(show(buf.Pixel(1, H - 2)), light);
    QCOMPARE(show(buf.Pixel(W - 2, 1)), dark);
    QCOMPARE(show(buf.Pixel(10, 10)), show(rgb(20, 100, 250)));
}

void TestButton::captionPlacement()
{
    QWidget host;
    auto& b = *new TG32_Button(&host);
    b.resize(140, 25);
    b.setPalette(distinctPalette());
    b.SetContrast(0);
    b.SetColor(QColor(200, 200, 200));
    b.SetCaption(QStringLiteral("Skip Intro >>"));
    const TColor32 ink = rgb(7, 8, 9);
    const Pixels normal = pixelsOf(face(b), ink);
    QVERIFY(normal.size() > 20);
    // Centred: the glyphs' box lies within the button with equal-ish margins.
    int minX = 1000, maxX = -1;
    for (auto [x, y] : normal) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
    }
    QVERIFY2(minX > 2 && std::abs(minX - (139 - maxX)) <= 3, qPrintable(QString::number(minX)));

    // Pressed: the same glyphs two pixels right and down.
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QTest::mousePress(&b, Qt::LeftButton, {}, Inside);
    QVERIFY(b.Down());
    QCOMPARE(pixelsOf(face(b), ink), shifted(normal, 2, 2));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, Inside);
    QCOMPARE(pixelsOf(face(b), ink), normal);
}

void TestButton::disabledCaptionIsEmbossed()
{
    TG32_Button b;
    b.setPalette(distinctPalette());
    b.SetContrast(64);
    b.SetColor(QColor(200, 200, 200));
    b.SetDisabledColor(QColor(180, 180, 180));
    b.SetCaption(QStringLiteral("Skip"));
    const Pixels glyphs = pixelsOf(face(b), rgb(7, 8, 9));
    QVERIFY(!glyphs.empty());

    b.setEnabled(false);
    const TBitmap32& buf = face(b);
    QCOMPARE(pixelsOf(buf, rgb(7, 8, 9)).size(), size_t(0));
    // Shadow colour at the normal place, highlight one pixel right and down
    // wherever the shadow does not cover it.
    const Pixels shadow = pixelsOf(buf, rgb(1, 2, 3));
    const Pixels highlight = pixelsOf(buf, rgb(250, 250, 1));
    QCOMPARE(shadow, glyphs);
    Pixels expectedHighlight;
    for (auto p : shifted(glyphs, 1, 1))
        if (!glyphs.count(p))
            expectedHighlight.insert(p);
    QCOMPARE(highlight, expectedHighlight);
    // Face in the disabled colour.
    QCOMPARE(show(buf.Pixel(3, 12)), show(rgb(180, 180, 180)));
}

void TestButton::clicks_data()
{
    // A gesture: a list of (action, point); p = press left, P = press right,
    // m = move, r = release left, R = release right.
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QList<QPoint>>("points");
    QTest::addColumn<int>("clicks");

    QTest::newRow("click") << "pr" << QList<QPoint>{Inside, Inside} << 1;
    QTest::newRow("press, drag off, release") << "pmr" << QList<QPoint>{Inside, Outside, Outside} << 0;
    QTest::newRow("drag off and back, release")
        << "pmmr" << QList<QPoint>{Inside, Outside, Inside, Inside} << 1;
    QTest::newRow("right release ends the press")
        << "pPRr" << QList<QPoint>{Inside, Inside, Inside, Inside} << 0;
    QTest::newRow("right click alone") << "PR" << QList<QPoint>{Inside, Inside} << 0;
    QTest::newRow("two clicks") << "prpr" << QList<QPoint>{Inside, Inside, Inside, Inside} << 2;
}

void TestButton::clicks()
{
    QFETCH(QString, actions);
    QFETCH(QList<QPoint>, points);
    QFETCH(int, clicks);
    Host h;
    QSignalSpy spy(h.button, &TG32_Button::Click);
    for (int i = 0; i < actions.size(); ++i) {
        const QPoint p = points[i];
        switch (actions[i].toLatin1()) {
        case 'p': QTest::mousePress(h.button, Qt::LeftButton, {}, p); break;
        case 'P': QTest::mousePress(h.button, Qt::RightButton, {}, p); break;
        case 'm': QTest::mouseMove(h.button, p); break;
        case 'r': QTest::mouseRelease(h.button, Qt::LeftButton, {}, p); break;
        case 'R': QTest::mouseRelease(h.button, Qt::RightButton, {}, p); break;
        }
    }
    QCOMPARE(spy.count(), clicks);
    QVERIFY(!h.button->Down());
    QVERIFY(!h.button->Tracking());
}

void TestButton::pressedLookFollowsThePointer()
{
    Host h;
    h.button->SetBackColor(QColor(20, 100, 250));
    h.button->SetColor(QColor(166, 202, 240));
    h.button->SetCaption(QString());
    QTest::mousePress(h.button, Qt::LeftButton, {}, Inside);
    QVERIFY(h.button->Down() && h.button->Tracking());
    QCOMPARE(show(face(*h.button).Pixel(10, 12)), show(rgb(20, 100, 250)));

    // Off the button during the press: released face in Color, still tracking.
    QTest::mouseMove(h.button, Outside);
    QVERIFY(!h.button->Down() && h.button->Tracking() && !h.button->MouseIn());
    QCOMPARE(show(face(*h.button).Pixel(10, 12)), show(rgb(166, 202, 240)));

    QTest::mouseMove(h.button, Inside);
    QVERIFY(h.button->Down() && h.button->MouseIn());
    QCOMPARE(show(face(*h.button).Pixel(10, 12)), show(rgb(20, 100, 250)));
    QTest::mouseRelease(h.button, Qt::LeftButton, {}, Inside);
    // Back to hover.
    QVERIFY(!h.button->Down() && h.button->MouseIn());
    QCOMPARE(show(face(*h.button).Pixel(10, 12)), show(TG32_Button::ToColor32(h.button->FocusColor())));
}

void TestButton::hoverFollowsThePointer()
{
    Host h;
    h.button->SetColor(QColor(166, 202, 240));
    h.button->SetFocusColor(QColor(0, 255, 0));
    QTest::mouseMove(h.button, Inside);
    QVERIFY(h.button->MouseIn());
    QTest::mouseMove(&h.window, QPoint(5, 5));
    QVERIFY(!h.button->MouseIn());
    QCOMPARE(show(face(*h.button).Pixel(10, 12)), show(rgb(166, 202, 240)));
}

void TestButton::accelerator_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("clicks");

    QTest::newRow("marked letter") << "S&kip" << QChar('k') << true << 1;
    QTest::newRow("either case") << "S&kip" << QChar('K') << true << 1;
    QTest::newRow("unmarked letter") << "S&kip" << QChar('s') << true << 0;
    QTest::newRow("disabled") << "S&kip" << QChar('k') << false << 0;
    QTest::newRow("no accelerator") << "Skip" << QChar('s') << true << 0;
    QTest::newRow("&& is a literal") << "R&&D" << QChar('d') << true << 0;
    QTest::newRow("after a literal &") << "R&&&D" << QChar('d') << true << 1;
}

void TestButton::accelerator()
{
    QFETCH(QString, caption);
    QFETCH(QChar, typed);
    QFETCH(bool, enabled);
    QFETCH(int, clicks);
    TG32_Button b;
    b.SetCaption(caption);
    b.setEnabled(enabled);
    QSignalSpy spy(&b, &TG32_Button::Click);
    QCOMPARE(b.DialogChar(typed), clicks > 0);
    QCOMPARE(spy.count(), clicks);
}

void TestButton::altAcceleratorFromTheWindow()
{
    Host h;
    h.button->SetCaption(QStringLiteral("S&kip"));
    h.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.window));
    QSignalSpy spy(h.button, &TG32_Button::Click);
    QTest::keyClick(&h.window, Qt::Key_K, Qt::AltModifier);
    QCOMPARE(spy.count(), 1);
    h.button->setEnabled(false);
    QTest::keyClick(&h.window, Qt::Key_K, Qt::AltModifier);
    QCOMPARE(spy.count(), 1);
}

void TestButton::settersRepaint()
{
    TG32_Button b;
    b.SetCaption(QString());
    b.SetColor(QColor(10, 20, 30));
    b.SetContrast(0);
    QCOMPARE(show(face(b).Pixel(5, 5)), show(rgb(10, 20, 30)));
    b.SetDisabledColor(QColor(40, 50, 60));
    b.setEnabled(false);
    QCOMPARE(show(face(b).Pixel(5, 5)), show(rgb(40, 50, 60)));
    b.setEnabled(true);
    b.SetColor(QColor(70, 80, 90));
    QCOMPARE(show(face(b).Pixel(5, 5)), show(rgb(70, 80, 90)));
    b.SetContrast(50);
    QVERIFY(face(b).Pixel(5, 1) != face(b).Pixel(5, 20));
}

QTEST_MAIN(TestButton)
#include "tst_button.moc"
