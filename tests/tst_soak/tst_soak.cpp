// A long run: the main window goes through 100 000 control-loop ticks at
// full simulation speed, with its arrows and fan turning in between and the
// user switching systems, units, loads and the start-up now and then. Once
// warm, the process must not grow. Warm means 1 000 ticks and a full Trends
// history: the window keeps the last four hours of ticks in a ring of fixed
// size, which fills in the first 28 800 ticks.

#include "SpinButton.h"
#include "UnitLowPres.h"
#include "UnitModel.h"

#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <unistd.h>

namespace {

// Resident memory in bytes, from /proc/self/statm.
qint64 ResidentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

} // namespace

class TstSoak : public QObject {
    Q_OBJECT

private slots:
    void memoryStaysFlat()
    {
        constexpr int kTicks = 100000;
        // Room for allocator slack; a leak of 16 bytes a tick would pass it.
        constexpr qint64 kMargin = 1536 * 1024;

        TScreen::SetMetrics(800, 600, 96);
        TLowPresFrm::SetDatabaseDirectory(QCoreApplication::applicationDirPath() + QStringLiteral("/DataBase"));
        TLowPresFrm::SetHelpHandler([](const QString&, const QString&) {});
        TMessageRecorder messages;
        TLowPresFrm f;
        const int kWarmUp = 1000 + f.TrendRecorder.Capacity();
        QVERIFY(kWarmUp < kTicks / 2);
        f.show();
        QApplication::setActiveWindow(&f);
        // The ticks come from here, not from the clock.
        f.ControlLoopTimer->stop();
        f.ArrowTimer->stop();
        f.FanTimer->stop();
        f.TrackBarAniSpd->setValue(100);
        QCOMPARE(f.LowPresModel->SimulationSpeed, 100);

        QTest::mouseClick(f.SpinBtnLeft->UpButton(), Qt::LeftButton);
        QTest::mouseClick(f.SpinBtnMid2->UpButton(), Qt::LeftButton);
        QTest::mouseClick(f.BtnHotColdRight, Qt::LeftButton);
        QTest::mouseClick(f.SpinBtnRight->UpButton(), Qt::LeftButton);

        qint64 early = 0;
        qint64 baseline = 0;
        qint64 peak = 0;
        QList<qint64> samples;
        for (int tick = 1; tick <= kTicks; ++tick) {
            f.ControlLoopTimerTimer();
            // 500 ms of arrows (80 ms) and fan (at least 15 ms a frame, usually far more).
            for (int i = 0; i < 6; ++i)
                f.ArrowTimerTimer();
            for (int i = 0; i < 3; ++i)
                f.FanTimerTimer();
            if (tick % 100 == 0)
                QCoreApplication::sendPostedEvents();  // repaint what changed
            // Now and then the user does something.
            switch (tick % 5000) {
            case 1000: QTest::mouseClick(f.BtnToggleSystems, Qt::LeftButton); break;
            case 2000: QTest::mouseClick(f.Metric ? f.RadioImperial : f.RadioMetric, Qt::LeftButton); break;
            case 3000: QTest::mouseClick(f.ButSpeedStart, Qt::LeftButton); break;
            case 4000: QTest::mouseClick(f.SpinBtnMid1->UpButton(), Qt::LeftButton); break;
            case 4500: QTest::mouseClick(f.SpinBtnMid1->DownButton(), Qt::LeftButton); break;
            default: break;
            }
            if (tick == 1000)
                early = ResidentBytes();
            if (tick == kWarmUp) {
                QCOMPARE(f.TrendRecorder.Count(), f.TrendRecorder.Capacity());
                baseline = ResidentBytes();
            }
            if (tick > kWarmUp && tick % 1000 == 0) {
                const qint64 now = ResidentBytes();
                peak = std::max(peak, now);
                if (tick % 10000 == 0)
                    samples << now / 1024;
            }
        }
        const qint64 end = ResidentBytes();
        qInfo("resident after 1000 ticks: %lld KiB; with the history full (%d ticks): %lld KiB; "
              "after %d: %lld KiB; peak after that %lld KiB; every 10000: %s",
              early / 1024, kWarmUp, baseline / 1024, kTicks, end / 1024, peak / 1024,
              qPrintable([&] { QStringList s; for (qint64 v : samples) s << QString::number(v); return s.join(QLatin1Char(' ')); }()));
        QVERIFY(baseline > 0);
        QVERIFY2(peak <= baseline + kMargin,
                 qPrintable(QStringLiteral("grew from %1 KiB to %2 KiB").arg(baseline / 1024).arg(peak / 1024)));
        QCOMPARE(messages.messages(), QStringList());

        TLowPresFrm::SetHelpHandler(nullptr);
        TLowPresFrm::SetDatabaseDirectory(QString());
        TScreen::ResetMetrics();
    }
};

QTEST_MAIN(TstSoak)
#include "tst_soak.moc"
