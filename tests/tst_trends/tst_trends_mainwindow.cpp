// The Trends window as the main window offers it: the "&Trends" button in
// the bottom row at both scales, Ctrl+T, a sample of both systems on every
// control-loop tick from the first, the window following the unit and
// system switches at once, and F1 in it reaching the main window's help.

#include "TrendRecorder.h"
#include "TrendsWindow.h"
#include "UnitLowPres.h"

#include "UnitModel.h"
#include "vcl/DesignScale.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QValueAxis>
#include <QtTest>

#include <memory>

namespace {

QStringList g_helpTopics;

QString GeneratedDatabase()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/DataBase");
}

void StopTimers(TLowPresFrm& f)
{
    f.ControlLoopTimer->stop();
    f.ArrowTimer->stop();
    f.FanTimer->stop();
}

} // namespace

class TstTrendsMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TLowPresFrm> makeShown(int width = 800, int height = 600)
    {
        TScreen::SetMetrics(width, height, 96);
        TMessageRecorder messages;
        auto f = std::make_unique<TLowPresFrm>();
        StopTimers(*f);
        f->show();
        StopTimers(*f);
        return f;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(GeneratedDatabase() + QStringLiteral("/BitmapTable.bdf")),
                 "the generated database must be built first");
        TLowPresFrm::SetDatabaseDirectory(GeneratedDatabase());
        TLowPresFrm::SetHelpHandler([](const QString&, const QString& topic) { g_helpTopics.append(topic); });
    }

    void cleanupTestCase()
    {
        TLowPresFrm::SetHelpHandler(nullptr);
        TLowPresFrm::SetDatabaseDirectory(QString());
        TScreen::ResetMetrics();
    }

    void init() { g_helpTopics.clear(); }

    void buttonInTheBottomRow_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<float>("scale");
        QTest::newRow("800x600") << 800 << 600 << 1.0f;
        QTest::newRow("1024x768") << 1024 << 768 << 1.28f;
    }

    void buttonInTheBottomRow()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(float, scale);
        auto f = makeShown(width, height);
        QCOMPARE(f->ScaleFactor, scale);
        QPushButton* b = f->BtnTrends;
        QVERIFY(b);
        QCOMPARE(b->objectName(), QStringLiteral("BtnTrends"));
        QCOMPARE(b->text(), QStringLiteral("&Trends"));
        QCOMPARE(b->parentWidget(), f.get());
        const TDesignScale s(scale);
        QCOMPARE(b->geometry(), s.rect(227, 480, 72, 25));
        // Same row, height and font as its neighbour; clear of the logo
        // (shown at its own size) and of the start-up button.
        QCOMPARE(b->y(), f->ButSpeedStart->y());
        QCOMPARE(b->height(), f->ButSpeedStart->height());
        QCOMPARE(b->font(), f->ButSpeedStart->font());
        QVERIFY(f->Image1->geometry().right() < b->geometry().left());
        QVERIFY(b->geometry().right() < f->ButSpeedStart->geometry().left());
        QVERIFY(f->rect().contains(b->geometry()));
        QVERIFY(b->isVisible());
    }

    void buttonAndCtrlTOpenOneWindow()
    {
        auto f = makeShown();
        QVERIFY(!f->TrendsWindow);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        QTest::keyClick(f.get(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(f->TrendsWindow);
        TTrendsWindow* window = f->TrendsWindow;
        QVERIFY(window->isVisible());
        QVERIFY(window->isWindow());
        QCOMPARE(window->windowTitle(), QStringLiteral("Trends"));
        window->close();
        QTest::mouseClick(f->BtnTrends, Qt::LeftButton);
        QCOMPARE(f->TrendsWindow.data(), window);
        QVERIFY(window->isVisible());
        // Plain T does nothing.
        window->close();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        QTest::keyClick(f.get(), Qt::Key_T);
        QVERIFY(!window->isVisible());
    }

    // Both systems on every tick from the first, whether the window is open
    // or not, as they stand after the tick's step.
    void everyTickRecordsBothSystems()
    {
        auto f = makeShown();
        QCOMPARE(f->TrendRecorder.Count(), 0);
        f->SpinBtnLeftUpClick();
        for (int tick = 1; tick <= 3; ++tick) {
            f->ControlLoopTimerTimer();
            QCOMPARE(f->TrendRecorder.Count(), tick);
            const TTrendSample& s = f->TrendRecorder.Last();
            QCOMPARE(s.Tick, std::int64_t(tick));
            QCOMPARE(s.System[TTrendRecorder::Low].Values.fan, f->LowPresModel->FanSpeed);
            QCOMPARE(s.System[TTrendRecorder::High].Values.fan, f->HighPresModel->FanSpeed);
            QCOMPARE(s.System[TTrendRecorder::Low].Values.temp[0], f->LowPresModel->Rooms[0]->GetTemperature());
        }
        QVERIFY(f->TrendRecorder.At(0).Time <= f->TrendRecorder.Last().Time);
    }

    void followsUnitsAndSystemAtOnce()
    {
        auto f = makeShown();
        for (int i = 0; i < 4; ++i)
            f->ControlLoopTimerTimer();
        QTest::mouseClick(f->BtnTrends, Qt::LeftButton);
        TTrendsWindow* window = f->TrendsWindow;
        QVERIFY(window);
        QCOMPARE(window->TemperatureAxis->titleText(), QStringLiteral("Temperature (°F)"));
        QTest::mouseClick(f->RadioMetric, Qt::LeftButton);
        QVERIFY(f->Metric);
        QVERIFY(window->Metric());
        QCOMPARE(window->TemperatureAxis->titleText(), QStringLiteral("Temperature (°C)"));
        QCOMPARE(window->TemperatureSeries[0]->points().last().y(),
                 double(f->LowPresModel->Rooms[0]->GetTemperature()));
        QTest::mouseClick(f->BtnToggleSystems, Qt::LeftButton);
        QVERIFY(window->HighPressure());
        QCOMPARE(window->DiscView->chart()->title(), QStringLiteral("VAV Box Opening"));
        // The fan as the main window shows it in this system.
        QCOMPARE(window->FanSeries->points().last().y(), double(float(1.5 * double(f->HighPresModel->FanSpeed))));
    }

    void helpKeyInTheTrendsWindow()
    {
        auto f = makeShown();
        QTest::mouseClick(f->BtnTrends, Qt::LeftButton);
        TTrendsWindow* window = f->TrendsWindow;
        QVERIFY(window);
        QTest::keyClick(window->ComboSpan, Qt::Key_F2);
        QCOMPARE(g_helpTopics, QStringList());
        QTest::keyClick(window->ComboSpan, Qt::Key_F1);
        QCOMPARE(g_helpTopics, QStringList{QStringLiteral("Trends")});
    }
};

QTEST_MAIN(TstTrendsMainWindow)
#include "tst_trends_mainwindow.moc"
