// The intro window: which frame shows at which tick, Skip, the closing
// stage's fade and blinking target, and the window letting itself go.
#include "UnitMovie.h"

#include "G32_Button.h"
#include "GR32_Extra.h"
#include "table/EasyTable.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include "../common/AssetFixture.h"

#include <QBuffer>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

constexpr int BgW = 700, BgH = 470;
const QRgb BgColor = qRgb(50, 60, 70);
const QPoint TargetCentre(263 + 25, 334 + 10);  // the fixture's target is 50 x 20
const QPoint LogoPixel(300 + 5, 10 + 5);
const QPoint FramePixel(156 + 10, 175 + 10);

QByteArray bmp(int w, int h, QRgb color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    return bytes;
}

// Frame n is a small picture whose red channel is n, stretched into the frame rectangle.
QRgb frameColor(int n) { return qRgb(n, 200, 100); }

// Writes MovieTable.bdf with the frames `hasFrame` accepts and the closing
// pictures except those named in `leaveOut`.
void writeMovieTable(const QString& dir, const std::function<bool(int)>& hasFrame,
                     const QStringList& leaveOut = {})
{
    std::vector<fixture::ImageRow> rows;
    const auto add = [&](const QString& name, const QByteArray& data) {
        if (!leaveOut.contains(name))
            rows.push_back({name, data, 1});
    };
    add(QStringLiteral("IntroBackground"), bmp(BgW, BgH, BgColor));
    for (int n = 1; n <= 98; ++n)
        if (hasFrame(n))
            add(TMovieFrm::FrameName(n), bmp(6, 3, frameColor(n)));
    add(QStringLiteral("Logo"), bmp(40, 20, qRgb(240, 0, 0)));
    add(QStringLiteral("Logo_Alpha"), bmp(40, 20, qRgb(255, 255, 255)));
    add(QStringLiteral("Building"), bmp(60, 30, qRgb(0, 0, 240)));
    add(QStringLiteral("Building_Alpha"), bmp(60, 30, qRgb(255, 255, 255)));
    add(QStringLiteral("GreenScreen"), bmp(50, 20, qRgb(0, 220, 0)));
    add(QStringLiteral("GreenScreen_Alpha"), bmp(50, 20, qRgb(255, 255, 255)));
    fixture::writeImageTable(dir, QStringLiteral("MovieTable"), rows);
}

// The frame the window shows (its red channel), or -1 for an empty rectangle.
int shownFrame(TMovieFrm& w)
{
    const TBitmap32& b = w.FFrameLayer->Bitmap();
    return b.Empty() ? -1 : RedComponent(b.Pixel(0, 0));
}

int nextFrame(TMovieFrm& w) { return w.FNextFrame ? RedComponent(w.FNextFrame->Pixel(0, 0)) : -1; }

QRgb screenPixel(TMovieFrm& w, QPoint p) { return w.MainImage->Snapshot().pixel(p) | 0xFF000000u; }

} // namespace

class TestIntro : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void frameNames_data();
    void frameNames();
    void creation();
    void everyFrameOnceInOrder();
    void skip_data();
    void skip();
    void skipAfterTheClosingStageDoesNothing();
    void fade();
    void greenTimerIsNotRestartedByTheFade();
    void blinking();
    void targetClosesTheWindow_data();
    void targetClosesTheWindow();
    void handCursorOverTheTarget();
    void hiddenDuringTheFrames();
    void missingFrame();
    void missingClosingPictures();
    void missingTable();
    void generatedIntroFitsItsWindow();

private:
    // A window on the fixture table in m_dir.
    TMovieFrm* create();
    // Ticks until the closing stage is built.
    void tickToClosing(TMovieFrm& w);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TEasyDatabase> m_db;
    std::unique_ptr<TMessageRecorder> m_messages;
    QPointer<TMovieFrm> m_window;
};

void TestIntro::init()
{
    TScreen::SetMetrics(1024, 768);
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_db = std::make_unique<TEasyDatabase>();
    m_db->SetDirectory(m_dir->path());
    m_messages = std::make_unique<TMessageRecorder>();
}

void TestIntro::cleanup()
{
    delete m_window.data();
    QCOMPARE(MovieFrm, nullptr);
    m_messages.reset();
    m_db.reset();
    m_dir.reset();
    TScreen::ResetMetrics();
}

TMovieFrm* TestIntro::create()
{
    m_window = new TMovieFrm(m_db.get());
    return m_window;
}

void TestIntro::tickToClosing(TMovieFrm& w)
{
    for (int guard = 0; !w.FClosing && guard < 200; ++guard)
        w.MovieTimerTimer();
    QVERIFY(w.FClosing);
}

void TestIntro::frameNames_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("first") << 1 << "Frame_0001";
    QTest::newRow("ninth") << 9 << "Frame_0009";
    QTest::newRow("tenth") << 10 << "Frame_0010";
    QTest::newRow("last") << 98 << "Frame_0098";
}

void TestIntro::frameNames()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    QCOMPARE(TMovieFrm::FrameName(number), name);
}

void TestIntro::creation()
{
    writeMovieTable(m_dir->path(), [](int) { return true; });
    TMovieFrm& w = *create();
    QCOMPARE(MovieFrm, &w);
    QCOMPARE(w.windowTitle(), QStringLiteral("Corvane Air"));
    QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
    // The background sets the size; Skip sits 30 pixels in from its right and bottom.
    QCOMPARE(w.size(), QSize(BgW, BgH));
    QCOMPARE(w.MainImage->geometry(), QRect(0, 0, BgW, BgH));
    QCOMPARE(w.ButSkip->geometry(), QRect(BgW - 99 - 30, BgH - 25 - 30, 99, 25));
    QCOMPARE(w.ButSkip->Caption(), QStringLiteral("Skip Intro >>"));
    QCOMPARE(w.ButSkip->Contrast(), 200);
    QCOMPARE(w.ButSkip->FocusColor(), QColor(0, 255, 0));
    // Centred on the screen.
    QCOMPARE(w.pos(), QPoint((1024 - BgW) / 2, (768 - BgH) / 2));

    // Frame 1 is up at once, frame 2 waits.
    QCOMPARE(w.FFrameLayer->Location(), (TFloatRect{156, 175, 636, 425}));
    QVERIFY(w.FFrameLayer->Visible());
    QVERIFY(!w.FFrameLayer->MouseEvents());
    QCOMPARE(shownFrame(w), 1);
    QCOMPARE(nextFrame(w), 2);
    QCOMPARE(w.FFrameCount, 2);
    QVERIFY(!w.FClosing);
    QCOMPARE(screenPixel(w, FramePixel), frameColor(1));
    QCOMPARE(screenPixel(w, QPoint(150, 170)), BgColor);
    QCOMPARE(screenPixel(w, QPoint(635, 424)), frameColor(1));
    QCOMPARE(screenPixel(w, QPoint(636, 424)), BgColor);

    QCOMPARE(w.MovieTimer->interval(), 275);
    QCOMPARE(w.GreenTimer->interval(), 1000);
    QVERIFY(!w.MovieTimer->isActive());
    QVERIFY(!w.GreenTimer->isActive());
    w.show();
    QVERIFY(w.MovieTimer->isActive());
    QVERIFY(!w.GreenTimer->isActive());
    QVERIFY(m_messages->messages().isEmpty());
}

void TestIntro::everyFrameOnceInOrder()
{
    writeMovieTable(m_dir->path(), [](int) { return true; });
    TMovieFrm& w = *create();
    QList<int> shown{shownFrame(w)};
    for (int tick = 1; tick <= 96; ++tick) {
        QVERIFY(!w.FClosing);
        w.MovieTimerTimer();
        shown.append(shownFrame(w));
        // Exactly one frame read ahead, never more.
        QCOMPARE(w.FFrameCount, tick + 2);
        QCOMPARE(nextFrame(w), tick + 2);
        QVERIFY(w.FramesInMemory() <= 2);
    }
    QList<int> expected;
    for (int n = 1; n <= 97; ++n)
        expected.append(n);
    QCOMPARE(shown, expected);

    // The tick that showed frame 97 read frame 98 and built the closing stage.
    QVERIFY(w.FClosing);
    QVERIFY(w.ButSkip->isHidden());
    QVERIFY(!w.EasyMovie->Active());
    QCOMPARE(w.FLogoList->Children(0)->Bitmap().MasterAlpha(), 15);
    QCOMPARE(w.MovieTimer->interval(), 275);

    // Frame 98 is never shown.
    w.MovieTimerTimer();
    QVERIFY(!w.FFrameLayer->Visible());
    QCOMPARE(w.FNextFrame, nullptr);
    QCOMPARE(w.MovieTimer->interval(), 40);
    // The shown frame and the one read ahead; never the whole film.
    QCOMPARE(w.PeakFramesInMemory(), 2);
    QVERIFY(m_messages->messages().isEmpty());
}

void TestIntro::skip_data()
{
    QTest::addColumn<int>("ticksBefore");
    QTest::newRow("at once") << 0;
    QTest::newRow("after one tick") << 1;
    QTest::newRow("half way") << 50;
    QTest::newRow("one frame before the end") << 95;
}

void TestIntro::skip()
{
    QFETCH(int, ticksBefore);
    const int ahead = ticksBefore + 2;  // the frame read ahead when Skip is pressed
    // Only the frames that may be read are in the table: reading any other
    // one would show a message.
    writeMovieTable(m_dir->path(), [ahead](int n) { return n <= ahead || n == 98; });
    TMovieFrm& w = *create();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.MovieTimer->stop();  // the test is the clock
    for (int i = 0; i < ticksBefore; ++i)
        w.MovieTimerTimer();

    QTest::mouseClick(w.ButSkip, Qt::LeftButton, {}, QPoint(50, 12));
    QCOMPARE(w.FFrameCount, 97);
    QVERIFY(!w.FClosing);
    QVERIFY(w.ButSkip->isVisible());

    w.MovieTimerTimer();
    QCOMPARE(shownFrame(w), ahead);
    QVERIFY(w.FFrameLayer->Visible());
    QVERIFY(w.FClosing);
    QVERIFY(w.ButSkip->isHidden());
    QCOMPARE(w.FLogoList->Children(0)->Bitmap().MasterAlpha(), 15);
    QCOMPARE(w.FLogoList->Children(1)->Bitmap().MasterAlpha(), 15);
    QVERIFY(w.FLogoList->Children(0)->Visible());
    QCOMPARE(m_messages->messages(), QStringList());
}

void TestIntro::skipAfterTheClosingStageDoesNothing()
{
    writeMovieTable(m_dir->path(), [](int) { return true; });
    TMovieFrm& w = *create();
    tickToClosing(w);
    const int layers = w.MainImage->Layers().Count();
    w.ButSkipClick();
    w.MovieTimerTimer();
    w.MovieTimerTimer();
    QCOMPARE(w.FFrameCount, 98);
    QCOMPARE(w.MainImage->Layers().Count(), layers);
}

void TestIntro::fade()
{
    writeMovieTable(m_dir->path(), [](int) { return true; });
    TMovieFrm& w = *create();
    w.ButSkipClick();
    w.MovieTimerTimer();  // builds the closing stage: alpha 15
    QList<int> alphas{w.FLogoList->Children(1)->Bitmap().MasterAlpha()};
    int greenStartedAt = -1;
    for (int i = 0; i < 30; ++i) {
        w.MovieTimerTimer();
        QCOMPARE(w.MovieTimer->interval(), 40);
        QVERIFY(!w.FFrameLayer->Visible());
        const int logo = w.FLogoList->Children(0)->Bitmap().MasterAlpha();
        const int building = w.FLogoList->Children(1)->Bitmap().MasterAlpha();
        QCOMPARE(logo, building);
        alphas.append(building);
        if (greenStartedAt < 0 && w.GreenTimer->isActive())
            greenStartedAt = building;
    }
    QCOMPARE(alphas.mid(0, 4), (QList<int>{15, 25, 35, 45}));
    QCOMPARE(alphas.at(9), 105);
    QCOMPARE(alphas.at(24), 255);
    QCOMPARE(alphas.last(), 315);
    QCOMPARE(greenStartedAt, 105);

    // Beyond 255 the pictures draw at full strength, no stronger.
    const QRgb full = screenPixel(w, LogoPixel);
    QCOMPARE(full, qRgb(240, 0, 0));
    QCOMPARE(screenPixel(w, QPoint(80 + 5, 68 + 5)), qRgb(0, 0, 240));
}

void TestIntro::greenTimerIsNotRestartedByTheFade()
{
    writeMovieTable(m_dir->path(), [](int) { return true; });
    TMovieFrm& w = *create();
    w.ButSkipClick();
    while (!w.GreenTimer->isActive())
        w.MovieTimerTimer();
    const int before = w.GreenTimer->remainingTime();
    QTest::qSleep(200);
    w.MovieTimerTimer();
    w.MovieTimerTimer();
    // Started once; later fade ticks must not start its second over again.
    const int after = w.GreenTimer->remainingTime();
    QVERIFY2(after <= before - 100, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
}

void TestIntro::blinking()
{
    writeMovieTable(m_dir->path(), [](int) { return true; });
    TMovieFrm& w = *create();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.ButSkipClick();
    w.MovieTimerTimer();
    TMultiBitmapLayer* target = w.GreenTarget();
    QVERIFY(target);
    QVERIFY(!target->Visible());
    QVERIFY(target->MouseEvents());
    w.GreenTimerTimer();
    QVERIFY(target->Visible());
    QCOMPARE(screenPixel(w, TargetCentre), qRgb(0, 220, 0));
    w.GreenTimerTimer();
    QVERIFY(!target->Visible());
    QVERIFY(screenPixel(w, TargetCentre) != qRgb(0, 220, 0));
    // While shown the window stays.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_window);
    QCOMPARE(MovieFrm, &w);
}

void TestIntro::targetClosesTheWindow_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("closes");
    const QPoint away(20, 20);
    QTest::newRow("press and release on the target") << TargetCentre << TargetCentre << true;
    QTest::newRow("press on the target, release away") << TargetCentre << away << true;
    QTest::newRow("press away, release on the target") << away << TargetCentre << true;
    QTest::newRow("press and release away") << away << away << false;
}

void TestIntro::targetClosesTheWindow()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(bool, closes);
    writeMovieTable(m_dir->path(), [](int) { return true; });
    TMovieFrm& w = *create();
    QSignalSpy hidden(&w, &TMovieFrm::IntroHidden);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.MovieTimer->stop();
    w.ButSkipClick();
    w.MovieTimerTimer();
    // The target has not blinked on yet, and takes the click all the same.
    QVERIFY(!w.GreenTarget()->Visible());

    QTest::mousePress(w.MainImage, Qt::LeftButton, {}, press);
    QTest::mouseMove(w.MainImage, release);
    QTest::mouseRelease(w.MainImage, Qt::LeftButton, {}, release);
    QCOMPARE(w.isVisible(), !closes);
    QCOMPARE(hidden.count(), closes ? 1 : 0);
    if (!closes)
        return;

    // Released at GreenTimer's next tick, after its handler has returned.
    w.GreenTimerTimer();
    QCOMPARE(MovieFrm, nullptr);
    QVERIFY(m_window);
    QVERIFY(!w.GreenTimer->isActive());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_window);
}

void TestIntro::handCursorOverTheTarget()
{
    writeMovieTable(m_dir->path(), [](int) { return true; });
    TMovieFrm& w = *create();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.MovieTimer->stop();
    QTest::mouseMove(w.MainImage, TargetCentre);
    QCOMPARE(w.MainImage->cursor().shape(), Qt::ArrowCursor);  // no target yet
    w.ButSkipClick();
    w.MovieTimerTimer();
    QTest::mouseMove(w.MainImage, TargetCentre + QPoint(1, 0));
    QCOMPARE(w.MainImage->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(w.MainImage, QPoint(20, 20));
    QCOMPARE(w.MainImage->cursor().shape(), Qt::ArrowCursor);
}

void TestIntro::hiddenDuringTheFrames()
{
    writeMovieTable(m_dir->path(), [](int) { return true; });
    TMovieFrm& w = *create();
    w.show();
    w.MovieTimer->stop();
    for (int i = 0; i < 10; ++i)
        w.MovieTimerTimer();
    w.hide();
    // The frames and the fade go on while hidden, and start GreenTimer as usual.
    int ticks = 0;
    while (!w.GreenTimer->isActive() && ticks < 200) {
        w.MovieTimerTimer();
        ++ticks;
    }
    QVERIFY(w.GreenTimer->isActive());
    // Frames 12..97 (the last of these ticks builds the closing stage), then nine fade ticks.
    QCOMPARE(ticks, 86 + 9);
    QVERIFY(m_window);
    w.GreenTimerTimer();
    QCOMPARE(MovieFrm, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_window);
}

void TestIntro::missingFrame()
{
    writeMovieTable(m_dir->path(), [](int n) { return n != 5; });
    TMovieFrm& w = *create();
    QCOMPARE(w.FFrameCount, 2);
    w.MovieTimerTimer();  // shows 2, reads 3
    w.MovieTimerTimer();  // shows 3, reads 4
    QVERIFY(m_messages->messages().isEmpty());
    w.MovieTimerTimer();  // shows 4, reads 5
    QCOMPARE(m_messages->messages(), QStringList{QStringLiteral("Bitmap Frame_0005 not in MovieTable")});
    QCOMPARE(shownFrame(w), 4);
    w.MovieTimerTimer();  // frame 5's tick: the rectangle is empty
    QCOMPARE(shownFrame(w), -1);
    QCOMPARE(screenPixel(w, FramePixel), BgColor);
    w.MovieTimerTimer();
    QCOMPARE(shownFrame(w), 6);
    QCOMPARE(screenPixel(w, FramePixel), frameColor(6));
    QCOMPARE(m_messages->messages().size(), 1);
}

void TestIntro::missingClosingPictures()
{
    writeMovieTable(m_dir->path(), [](int) { return true; },
                    {QStringLiteral("Logo"), QStringLiteral("GreenScreen_Alpha")});
    TMovieFrm& w = *create();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.MovieTimer->stop();
    w.ButSkipClick();
    w.MovieTimerTimer();
    QVERIFY(w.FClosing);
    const QStringList messages = m_messages->messages();
    QVERIFY2(messages.contains(QStringLiteral("Bitmap Logo not in MovieTable")), qPrintable(messages.join('|')));
    QVERIFY2(messages.contains(QStringLiteral("Bitmap GreenScreen_Alpha not in MovieTable")),
             qPrintable(messages.join('|')));
    QVERIFY(messages.contains(QStringLiteral("Empty BMP")));
    QVERIFY(w.FLogoList->Children(0)->Bitmap().Empty());
    // The fade goes on; the target without its mask is a solid rectangle and still closes the window.
    for (int i = 0; i < 12; ++i)
        w.MovieTimerTimer();
    QVERIFY(w.GreenTimer->isActive());
    w.GreenTimerTimer();
    QCOMPARE(screenPixel(w, QPoint(263, 334)), qRgb(0, 220, 0));
    QTest::mouseClick(w.MainImage, Qt::LeftButton, {}, TargetCentre);
    QVERIFY(!w.isVisible());
}

void TestIntro::missingTable()
{
    // The main window only creates the intro when the table is there; should
    // it be missing all the same, creation fails loudly and leaves no window behind.
    QVERIFY_THROWS_EXCEPTION(TTableError, create());
    QCOMPARE(MovieFrm, nullptr);
}

void TestIntro::generatedIntroFitsItsWindow()
{
    // The pictures the asset generator drew, played through the real window.
    m_db->SetDirectory(QCoreApplication::applicationDirPath() + QStringLiteral("/DataBase"));
    QVERIFY(QFile::exists(m_db->TableFilePath(QStringLiteral("MovieTable"))));
    TMovieFrm& w = *create();
    const QRect window(QPoint(0, 0), w.size());
    const QRect frameRect(156, 175, 480, 250);
    QVERIFY(window.contains(frameRect.adjusted(-10, -10, 10, 10)));
    QVERIFY(window.contains(w.ButSkip->geometry()));
    QVERIFY(!w.ButSkip->geometry().intersects(frameRect));

    // Every frame is there and fills the rectangle as drawn, without stretching.
    int shown = 1;
    while (!w.FClosing) {
        QCOMPARE(w.FFrameLayer->Bitmap().Width(), 480);
        QCOMPARE(w.FFrameLayer->Bitmap().Height(), 250);
        w.MovieTimerTimer();
        ++shown;
    }
    QCOMPARE(shown, 97);
    QCOMPARE(m_messages->messages(), QStringList());

    // The closing pictures lie inside the window and their masks cut them out:
    // transparent at the corner, opaque in the middle.
    const std::array<TMultiBitmapLayer*, 3> pictures{w.FLogoList->Children(0), w.FLogoList->Children(1),
                                                     w.GreenTarget()};
    for (TMultiBitmapLayer* layer : pictures) {
        const QRectF where = layer->Location().toQRectF();
        QVERIFY(!where.isEmpty());
        QVERIFY(QRectF(window).contains(where));
        const TBitmap32& b = layer->Bitmap();
        QCOMPARE(AlphaComponent(b.Pixel(0, 0)), 0);
        QCOMPARE(AlphaComponent(b.Pixel(b.Width() - 1, b.Height() - 1)), 0);
    }
    QCOMPARE(AlphaComponent(pictures[1]->Bitmap().Pixel(316, 125)), 255);
    QCOMPARE(AlphaComponent(pictures[2]->Bitmap().Pixel(133, 32)), 255);
    // The target does not hide under the building.
    QVERIFY(!pictures[2]->Location().toQRectF().intersects(pictures[1]->Location().toQRectF()));
    QCOMPARE(m_messages->messages(), QStringList());
}

QTEST_MAIN(TestIntro)
#include "tst_intro.moc"
