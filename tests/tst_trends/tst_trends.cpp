// The Trends window and its recorder: the ring, both systems on every tick,
// the export against corvair-sim itself, write failures, the unit and system
// switches over the whole history, span and pause, colours, help key.

#include "TrendRecorder.h"
#include "TrendsWindow.h"

#include "HelpViewer.h"
#include "SimRunner.h"
#include "UnitModel.h"
#include "vcl/Messages.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QValueAxis>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Both systems as the main window builds and starts them.
struct Plant {
    TModel low;
    THighPressureModel high;
    explicit Plant(int speed = 90)
    {
        sim::buildModels(low, high);
        sim::startModels(low, high, speed);
    }
    // The main window hands every input to both models, low first.
    void Apply(const std::function<void(TModel&)>& input)
    {
        input(low);
        input(high);
    }
    void Step()
    {
        low.Step();
        high.Step();
    }
};

// Known plant values without stepping, so expected display values are exact.
void SetKnownValues(TModel& m, float celsius, float fan, float pascal, float kilowatt, float disc)
{
    m.SupplyTemperature = 15.0f;
    m.FanSpeed = fan;
    m.DuctPressure = pascal;
    m.EnergyConsumption = kilowatt;
    for (auto& room : m.Rooms) {
        room->Temperature = celsius;
        room->DiscOpening = disc;
        room->Setpoint = 22;
    }
}

QByteArray RunSim(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(CORVAIR_SIM), args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QByteArray("corvair-sim failed: ") + p.readAllStandardError();
    return p.readAllStandardOutput();
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<double> Ys(const QLineSeries* s)
{
    QList<double> ys;
    for (const QPointF& p : s->points())
        ys << p.y();
    return ys;
}

// The main window as the Trends window sees it.
struct FakeMainWindow {
    bool metric = false;
    bool high = false;
    QList<QPair<QString, int>> keys;
    TTrendsLink Link()
    {
        return {[this] { return metric; }, [this] { return high; },
                [this](const QString& topic, int key) { keys.append({topic, key}); }};
    }
};

} // namespace

class TstTrends : public QObject {
    Q_OBJECT

private slots:
    // ---- recorder ---------------------------------------------------------------

    void fourHoursOfBothSystems()
    {
        TTrendRecorder recorder;
        QCOMPARE(recorder.Capacity(), 4 * 60 * 60 * 2);
    }

    void ringKeepsTheNewest_data()
    {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("kept");
        QTest::addColumn<int>("oldestTick");
        QTest::newRow("filling") << 5 << 3 << 3 << 1;
        QTest::newRow("just full") << 5 << 5 << 5 << 1;
        QTest::newRow("one over") << 5 << 6 << 5 << 2;
        QTest::newRow("wrapped twice and more") << 5 << 13 << 5 << 9;
        QTest::newRow("capacity 1") << 1 << 4 << 1 << 4;
    }

    void ringKeepsTheNewest()
    {
        QFETCH(int, capacity);
        QFETCH(int, ticks);
        QFETCH(int, kept);
        QFETCH(int, oldestTick);
        Plant plant(0);
        TTrendRecorder recorder(capacity);
        for (int tick = 1; tick <= ticks; ++tick) {
            // Tells the samples apart: the left room's temperature is the tick.
            plant.Apply([tick](TModel& m) { m.SetRoomTemperature(0, tick); });
            recorder.Record(tick * 0.5, plant.low, plant.high);
        }
        QCOMPARE(recorder.Count(), kept);
        QCOMPARE(recorder.TotalTicks(), std::int64_t(ticks));
        for (int i = 0; i < kept; ++i) {
            const TTrendSample& s = recorder.At(i);
            QCOMPARE(s.Tick, std::int64_t(oldestTick + i));
            QCOMPARE(s.Time, (oldestTick + i) * 0.5);
            QCOMPARE(s.System[TTrendRecorder::Low].Values.temp[0], float(oldestTick + i));
            QCOMPARE(s.System[TTrendRecorder::High].Values.temp[0], float(oldestTick + i));
        }
        QCOMPARE(recorder.Last().Tick, std::int64_t(ticks));
    }

    // Every tick holds both systems as they stood, in model units: the
    // window converts when it draws, the export writes them as they are.
    void bothSystemsInModelUnits()
    {
        Plant plant;
        TTrendRecorder recorder;
        plant.Apply([](TModel& m) {
            m.SetLoad(0, 100);
            m.SetLoad(3, -75);
            m.SetSetpoint(1, 24);
        });
        for (int tick = 1; tick <= 40; ++tick) {
            plant.Step();
            recorder.Record(tick * 0.5, plant.low, plant.high);
            const TTrendSample& s = recorder.Last();
            const TModel* models[2] = {&plant.low, &plant.high};
            for (int system : {TTrendRecorder::Low, TTrendRecorder::High}) {
                const TModel& m = *models[system];
                const TTrendSystemSample& got = s.System[system];
                QCOMPARE(got.Values.supply, m.SupplyTemperature);
                QCOMPARE(got.Values.fan, m.FanSpeed); // not the 1.5 the window shows
                QCOMPARE(got.Values.duct, m.DuctPressure);
                QCOMPARE(got.Values.energy, m.EnergyConsumption);
                for (int i = 0; i < 4; ++i) {
                    const TRoom& r = *m.Rooms[size_t(i)];
                    QCOMPARE(got.Values.temp[i], r.GetTemperature());
                    QCOMPARE(got.Values.disc[i], r.GetDiscOpening());
                    QCOMPARE(got.Values.heat[i], r.IsHeating());
                    QCOMPARE(got.Values.rate[i], r.GetHeatRate());
                    QCOMPARE(got.Setpoint[i], r.Setpoint);
                }
            }
        }
        // The systems really differ, so a mix-up would show.
        QVERIFY(recorder.Last().System[0].Values.fan != recorder.Last().System[1].Values.fan);
        QCOMPARE(recorder.Last().System[0].Setpoint[1], 24);
    }

    void timeNeverRunsBackwards()
    {
        Plant plant(0);
        TTrendRecorder recorder;
        recorder.Record(5.0, plant.low, plant.high);
        recorder.Record(3.0, plant.low, plant.high);
        recorder.Record(6.0, plant.low, plant.high);
        QCOMPARE(recorder.At(1).Time, 5.0);
        QCOMPARE(recorder.FirstAtOrAfter(5.0), 0);
        QCOMPARE(recorder.FirstAtOrAfter(5.5), 2);
        QCOMPARE(recorder.FirstAtOrAfter(7.0), 3);
    }

    // ---- export -------------------------------------------------------------------

    void exportEqualsCorvairSim_data()
    {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("ticks");
        QTest::newRow("whole run") << TTrendRecorder::DefaultCapacity << 240;
        // After the ring has wrapped the ticks keep their numbers.
        QTest::newRow("wrapped ring") << 50 << 240;
    }

    void exportEqualsCorvairSim()
    {
        QFETCH(int, capacity);
        QFETCH(int, ticks);
        // A class in miniature: loads on and off, a setpoint change, a
        // start-up, a room warmed by hand, the speed changed.
        struct Input {
            int tick;
            const char* script;
            std::function<void(TModel&)> apply;
        };
        const std::vector<Input> inputs = {
            {3, "load 0 100", [](TModel& m) { m.SetLoad(0, 100); }},
            {3, "load 3 -75", [](TModel& m) { m.SetLoad(3, -75); }},
            {20, "setpoint 1 25", [](TModel& m) { m.SetSetpoint(1, 25); }},
            {60, "supply 26", [](TModel& m) { m.SetSupplyTemperature(26); }},
            {90, "temp 2 24.5", [](TModel& m) { m.SetRoomTemperature(2, 24.5); }},
            {120, "load 0 0", [](TModel& m) { m.SetLoad(0, 0); }},
            {150, "speed 40", [](TModel& m) { m.SetSimulationSpeed(40); }},
            {200, "load 2 50", [](TModel& m) { m.SetLoad(2, 50); }},
        };
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile script(dir.filePath(QStringLiteral("class.script")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        for (const Input& in : inputs)
            script.write(QByteArray::number(in.tick) + ' ' + in.script + '\n');
        script.close();
        const QByteArray expected = RunSim({QStringLiteral("--ticks"), QString::number(ticks),
                                            QStringLiteral("--script"), script.fileName()});
        QVERIFY2(expected.startsWith("tick,system,"), expected.constData());

        Plant plant;
        TTrendRecorder recorder(capacity);
        size_t next = 0;
        for (int tick = 1; tick <= ticks; ++tick) {
            for (; next < inputs.size() && inputs[next].tick == tick; ++next)
                plant.Apply(inputs[next].apply);
            plant.Step();
            recorder.Record(tick * 0.5, plant.low, plant.high);
        }

        // The sim's header and its last `kept` ticks (two rows each).
        const QList<QByteArray> lines = expected.split('\n');
        const int kept = std::min(capacity, ticks);
        QByteArray tail = lines.first() + '\n';
        for (qsizetype i = 1 + 2 * (ticks - kept); i < lines.size(); ++i)
            if (!lines[i].isEmpty())
                tail += lines[i] + '\n';

        const QString path = dir.filePath(QStringLiteral("trends.csv"));
        FakeMainWindow main;
        TTrendsWindow window(recorder, main.Link());
        TMessageRecorder messages;
        QVERIFY(window.ExportTo(path));
        QCOMPARE(messages.messages(), QStringList());
        const QByteArray written = ReadAll(path);
        QCOMPARE(written.size(), tail.size());
        QVERIFY(written == tail);
        // Nothing else appeared beside it (no temporary file left over).
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void exportReplacesAnOlderFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trends.csv"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
        old.close();
        Plant plant(0);
        TTrendRecorder recorder;
        recorder.Record(0.5, plant.low, plant.high);
        QVERIFY(recorder.SaveCsv(path));
        QCOMPARE(ReadAll(path), QByteArray::fromStdString(recorder.Csv()));
        QCOMPARE(QByteArray::fromStdString(recorder.Csv()).count('\n'), 3);
    }

    void unwritableTarget_data()
    {
        QTest::addColumn<QString>("relative"); // inside a temporary folder
        QTest::addColumn<bool>("existed");
        // Root can write anywhere, but not below a plain file.
        QTest::newRow("folder is a file") << QStringLiteral("plain/trends.csv") << false;
        QTest::newRow("folder missing") << QStringLiteral("missing/trends.csv") << false;
        QTest::newRow("target is a folder") << QStringLiteral("folder") << true;
    }

    void unwritableTarget()
    {
        QFETCH(QString, relative);
        QFETCH(bool, existed);
        QTemporaryDir dir;
        QFile plain(dir.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("not a folder");
        plain.close();
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QString path = dir.filePath(relative);

        Plant plant(0);
        TTrendRecorder recorder;
        for (int tick = 1; tick <= 10; ++tick)
            recorder.Record(tick * 0.5, plant.low, plant.high);
        FakeMainWindow main;
        TTrendsWindow window(recorder, main.Link());
        TMessageRecorder messages;
        QVERIFY(!window.ExportTo(path));

        QCOMPARE(messages.messages().size(), 1);
        const QString text = messages.messages().first();
        QVERIFY2(text.startsWith(QStringLiteral("The trends could not be saved to \"")), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("No file was written.")), qPrintable(text));
        // A reason, not just a failure.
        QVERIFY2(text.section(QStringLiteral("\": "), 1).size() > QStringLiteral(". No file was written.").size() + 1,
                 qPrintable(text));
        QCOMPARE(QFileInfo(path).isDir(), existed);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("folder"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(ReadAll(plain.fileName()), QByteArray("not a folder"));
    }

    // ---- the window ---------------------------------------------------------------

    void unitsAndSystemOnTheWholeHistory_data()
    {
        QTest::addColumn<bool>("metric");
        QTest::addColumn<bool>("high");
        QTest::addColumn<QString>("temperatureTitle");
        QTest::addColumn<QString>("pressureTitle");
        QTest::addColumn<QString>("energyTitle");
        QTest::addColumn<QString>("supplyTitle");
        QTest::addColumn<QString>("discTitle");
        QTest::addColumn<double>("temperature"); // 20 °C
        QTest::addColumn<double>("setpoint");    // 22 °C
        QTest::addColumn<double>("supply");      // 15 °C
        QTest::addColumn<double>("pressure");    // 498.2 Pa
        QTest::addColumn<double>("energy");      // 10 kW
        QTest::addColumn<double>("fan");         // 1000 rpm in the model
        QTest::newRow("imperial, low") << false << false << "Temperature (°F)" << "ins.wg" << "Hp" << "°F"
                                       << "Control Disc Opening" << double(float(20 * 1.8 + 32))
                                       << double(float(22 * 1.8 + 32)) << 59.0 << double(float(498.2f / 249.1))
                                       << double(float(10 * 1.341)) << 1000.0;
        QTest::newRow("metric, low") << true << false << "Temperature (°C)" << "Pa" << "kW" << "°C"
                                     << "Control Disc Opening" << 20.0 << 22.0 << 15.0 << double(498.2f) << 10.0
                                     << 1000.0;
        QTest::newRow("metric, high") << true << true << "Temperature (°C)" << "Pa" << "kW" << "°C"
                                      << "VAV Box Opening" << 20.0 << 22.0 << 15.0 << double(498.2f) << 10.0
                                      << 1500.0;
        QTest::newRow("imperial, high") << false << true << "Temperature (°F)" << "ins.wg" << "Hp" << "°F"
                                        << "VAV Box Opening" << double(float(20 * 1.8 + 32))
                                        << double(float(22 * 1.8 + 32)) << 59.0 << double(float(498.2f / 249.1))
                                        << double(float(10 * 1.341)) << 1500.0;
    }

    void unitsAndSystemOnTheWholeHistory()
    {
        QFETCH(bool, metric);
        QFETCH(bool, high);
        QFETCH(QString, temperatureTitle);
        QFETCH(QString, pressureTitle);
        QFETCH(QString, energyTitle);
        QFETCH(QString, supplyTitle);
        QFETCH(QString, discTitle);
        QFETCH(double, temperature);
        QFETCH(double, setpoint);
        QFETCH(double, supply);
        QFETCH(double, pressure);
        QFETCH(double, energy);
        QFETCH(double, fan);

        // The same values in both systems, so only the system's own rules
        // (the fan's 1.5) tell them apart.
        Plant plant(0);
        SetKnownValues(plant.low, 20.0f, 1000.0f, 498.2f, 10.0f, 40.0f);
        SetKnownValues(plant.high, 20.0f, 1000.0f, 498.2f, 10.0f, 40.0f);
        TTrendRecorder recorder;
        for (int tick = 1; tick <= 30; ++tick)
            recorder.Record(tick * 0.5, plant.low, plant.high);

        // Opened in the other units and system, then the main window switches.
        FakeMainWindow main;
        main.metric = !metric;
        main.high = !high;
        TTrendsWindow window(recorder, main.Link());
        window.show();
        QCOMPARE(window.Metric(), !metric);
        main.metric = metric;
        main.high = high;
        window.SyncWithMainWindow();
        QCOMPARE(window.Metric(), metric);
        QCOMPARE(window.HighPressure(), high);

        QCOMPARE(window.TemperatureAxis->titleText(), temperatureTitle);
        QCOMPARE(window.PressureAxis->titleText(), pressureTitle);
        QCOMPARE(window.EnergyAxis->titleText(), energyTitle);
        QCOMPARE(window.SupplyAxis->titleText(), supplyTitle);
        QCOMPARE(window.DiscView->chart()->title(), discTitle);
        QCOMPARE(window.LblSystem->text(),
                 high ? QStringLiteral("High Pressure System") : QStringLiteral("Low Pressure System"));

        // Every point of the history, not just the newest.
        auto allEqual = [](const QLineSeries* s, double y, int count) {
            const QList<double> ys = Ys(s);
            if (ys.size() < count)
                return false;
            for (double v : ys)
                if (float(v) != float(y))
                    return false;
            return true;
        };
        for (int i = 0; i < 4; ++i) {
            QVERIFY(allEqual(window.TemperatureSeries[size_t(i)], temperature, 30));
            QVERIFY(allEqual(window.DiscSeries[size_t(i)], 40.0, 30));
            QVERIFY(allEqual(window.SetpointSeries[size_t(i)], setpoint, 2));
        }
        QVERIFY(allEqual(window.FanSeries, fan, 30));
        QVERIFY(allEqual(window.PressureSeries, pressure, 30));
        QVERIFY(allEqual(window.EnergySeries, energy, 30));
        QVERIFY(allEqual(window.SupplySeries, supply, 2));
        // Each axis holds its values.
        auto holds = [](const QValueAxis* a, double v) { return a->min() <= v && v <= a->max(); };
        QVERIFY(holds(window.TemperatureAxis, temperature) && holds(window.TemperatureAxis, setpoint));
        QVERIFY(holds(window.PressureAxis, pressure));
        QVERIFY(holds(window.EnergyAxis, energy));
        QVERIFY(holds(window.FanAxis, fan));
        QVERIFY(holds(window.SupplyAxis, supply));
        // The centre-right room shares the centre-left's box and thermostat
        // in the high-pressure system.
        QCOMPARE(window.DiscSeries[2]->isVisible(), !high);
        QCOMPARE(window.SetpointSeries[2]->isVisible(), !high);
        QVERIFY(window.TemperatureSeries[2]->isVisible());
    }

    // Heating shows as a band in the room's own lane, below the temperatures.
    void heatingBands()
    {
        Plant plant(0);
        SetKnownValues(plant.low, 20.0f, 1000.0f, 300.0f, 5.0f, 30.0f);
        TTrendRecorder recorder;
        for (int tick = 1; tick <= 40; ++tick) {
            // The right room heats from tick 11 to tick 20.
            plant.low.Rooms[3]->Reheat = (tick > 10 && tick <= 20) ? 10.0f : 0.0f;
            recorder.Record(tick * 0.5, plant.low, plant.high);
        }
        FakeMainWindow main;
        main.metric = true;
        TTrendsWindow window(recorder, main.Link());
        window.show();
        QAreaSeries* band = window.HeatingBands[3];
        const QList<QPointF> upper = band->upperSeries()->points();
        const QList<QPointF> lower = band->lowerSeries()->points();
        QVERIFY(!lower.isEmpty());
        const double base = lower.first().y();
        double on = -1, off = -1;
        for (const QPointF& p : upper) {
            if (p.y() > base && on < 0)
                on = p.x();
            if (p.y() > base)
                off = p.x();
        }
        QCOMPARE(on, 5.5);
        QCOMPARE(off, 10.5);
        // The lane lies inside the axis, below every temperature.
        QVERIFY(base >= window.TemperatureAxis->min());
        for (const QPointF& p : upper)
            QVERIFY(p.y() < 20.0);
        for (int i = 0; i < 3; ++i)
            for (const QPointF& p : window.HeatingBands[size_t(i)]->upperSeries()->points())
                QCOMPARE(p.y(), window.HeatingBands[size_t(i)]->lowerSeries()->points().first().y());
    }

    // A full four hours is thinned to about one point pair per pixel column,
    // and a one-sample spike still shows.
    void fullHistoryIsThinnedButKeepsItsPeaks()
    {
        Plant plant(0);
        SetKnownValues(plant.low, 22.0f, 1000.0f, 300.0f, 5.0f, 30.0f);
        TTrendRecorder recorder;
        const int spike = 17'321;
        for (int tick = 1; tick <= recorder.Capacity(); ++tick) {
            plant.low.Rooms[0]->Temperature = tick == spike ? 35.0f : 22.0f + float(tick % 7) * 0.1f;
            recorder.Record(tick * 0.5, plant.low, plant.high);
        }
        FakeMainWindow main;
        main.metric = true;
        TTrendsWindow window(recorder, main.Link());
        window.ComboSpan->setCurrentIndex(3); // all
        window.show();
        QCOMPARE(window.ViewEnd(), recorder.Last().Time);
        const QList<double> ys = Ys(window.TemperatureSeries[0]);
        QVERIFY2(ys.size() <= 2 * window.TemperatureView->width() + 4, qPrintable(QString::number(ys.size())));
        QVERIFY(ys.size() >= window.TemperatureView->width() / 2);
        QCOMPARE(*std::max_element(ys.begin(), ys.end()), 35.0);
        QVERIFY(window.TemperatureAxis->max() >= 35.0);
        // A short history is drawn sample by sample.
        window.ComboSpan->setCurrentIndex(0); // two minutes: 241 samples
        QCOMPARE(window.TemperatureSeries[0]->count(), 242); // and the one before, to the left edge
    }

    void spanAndPause()
    {
        Plant plant(0);
        TTrendRecorder recorder;
        int tick = 0;
        auto run = [&](int seconds) {
            for (int i = 0; i < 2 * seconds; ++i) {
                ++tick;
                recorder.Record(tick * 0.5, plant.low, plant.high);
            }
        };
        FakeMainWindow main;
        TTrendsWindow window(recorder, main.Link());
        window.show();
        run(30);
        // A short run starts at zero and grows into the span.
        window.ComboSpan->setCurrentIndex(0);
        QCOMPARE(window.ViewStart(), 0.0);
        QCOMPARE(window.ViewEnd(), 120.0);
        run(900);
        QCOMPARE(window.ViewEnd(), 930.0);
        QCOMPARE(window.ViewStart(), 930.0 - 120.0);
        window.ComboSpan->setCurrentIndex(1);
        QCOMPARE(window.ViewStart(), 930.0 - 600.0);
        window.ComboSpan->setCurrentIndex(2);
        QCOMPARE(window.ViewStart(), 0.0);
        QCOMPARE(window.ViewEnd(), 3600.0);
        // The axis moves on in quarter ticks (here of 300 s).
        window.ComboSpan->setCurrentIndex(3);
        QCOMPARE(window.ViewStart(), 0.0);
        QCOMPARE(window.ViewEnd(), 975.0);

        // Paused: the recording goes on, the view stays, even through a
        // unit switch or a change of span.
        QTest::mouseClick(window.BtnPause, Qt::LeftButton);
        QVERIFY(window.Paused());
        QCOMPARE(window.BtnPause->text(), QStringLiteral("&Resume"));
        QCOMPARE(window.FanSeries->points().last().x(), 930.0);
        run(60);
        QCOMPARE(recorder.Last().Time, 990.0);
        main.metric = true;
        window.SyncWithMainWindow();
        window.ComboSpan->setCurrentIndex(0);
        QCOMPARE(window.ViewEnd(), 930.0);
        QCOMPARE(window.FanSeries->points().last().x(), 930.0);
        QCOMPARE(window.TemperatureAxis->titleText(), QStringLiteral("Temperature (°C)"));

        QTest::mouseClick(window.BtnPause, Qt::LeftButton);
        QVERIFY(!window.Paused());
        QCOMPARE(window.ViewEnd(), 990.0);
        QCOMPARE(window.FanSeries->points().last().x(), 990.0);
        // And it follows new ticks again, in quarter ticks of 30 s.
        run(1);
        QCOMPARE(window.ViewEnd(), 997.5);
        QCOMPARE(window.ViewStart(), 997.5 - 120.0);
        QCOMPARE(window.FanSeries->points().last().x(), 991.0);
    }

    void roomColoursAndNames()
    {
        Plant plant(0);
        TTrendRecorder recorder;
        FakeMainWindow main;
        TTrendsWindow window(recorder, main.Link());
        const QStringList names = {QStringLiteral("Left Room"), QStringLiteral("Centre: Left"),
                                   QStringLiteral("Centre: Right"), QStringLiteral("Right Room")};
        QSet<QRgb> distinct;
        for (int i = 0; i < 4; ++i) {
            const QColor swatch = window.LegendSwatches[size_t(i)]->pixmap().toImage().pixelColor(5, 5);
            QCOMPARE(window.LegendNames[size_t(i)]->text(), names[i]);
            QCOMPARE(window.TemperatureSeries[size_t(i)]->pen().color(), swatch);
            QCOMPARE(window.SetpointSeries[size_t(i)]->pen().color(), swatch);
            QCOMPARE(window.DiscSeries[size_t(i)]->pen().color(), swatch);
            QCOMPARE(window.HeatingBands[size_t(i)]->brush().color().rgb(), swatch.rgb());
            QCOMPARE(window.TemperatureSeries[size_t(i)]->pen().style(), Qt::SolidLine);
            QCOMPARE(window.SetpointSeries[size_t(i)]->pen().style(), Qt::DashLine);
            distinct.insert(swatch.rgb());
        }
        QCOMPARE(distinct.size(), 4);
        QCOMPARE(window.windowTitle(), QStringLiteral("Trends"));
        QVERIFY(window.isWindow());
        QVERIFY(window.maximumSize().width() > 4000); // resizable
    }

    void openedWithAParentItIsStillItsOwnWindow()
    {
        QWidget main;
        TTrendRecorder recorder;
        FakeMainWindow link;
        QPointer<TTrendsWindow> window = new TTrendsWindow(recorder, link.Link(), &main);
        QVERIFY(window->isWindow());
        QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose));
        window->show();
        window->close(); // hides, stays for the next opening
        QVERIFY(window);
    }

    void helpKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("onChild");
        QTest::newRow("F1 on the window") << int(Qt::Key_F1) << false;
        QTest::newRow("F1 on the span choice") << int(Qt::Key_F1) << true;
        QTest::newRow("F2 on the window") << int(Qt::Key_F2) << false;
    }

    // Every released key goes once, with the window's topic, to the main
    // window's ShowHelpTopic, which opens help on F1.
    void helpKey()
    {
        QFETCH(int, key);
        QFETCH(bool, onChild);
        TTrendRecorder recorder;
        FakeMainWindow main;
        TTrendsWindow window(recorder, main.Link());
        window.show();
        QWidget* target = onChild ? static_cast<QWidget*>(window.ComboSpan) : &window;
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(main.keys.size(), 1);
        QCOMPARE(main.keys[0].first, QStringLiteral("Trends"));
        QCOMPARE(main.keys[0].second, key);
    }

    void helpTopicExists()
    {
        QFile file(QStringLiteral(HELP_SOURCE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(file.readAll()));
        QVERIFY(FindHelpAnchor(&doc, QStringLiteral("Trends")) >= 0);
        for (const char* topic : {"Main_System", "Zoom", "Calibration_Form"})
            QVERIFY2(FindHelpAnchor(&doc, QLatin1String(topic)) >= 0, topic);
        TMessageRecorder messages;
        ShowHelpFile(QStringLiteral(HELP_SOURCE), QStringLiteral("Trends"));
        QCOMPARE(messages.messages(), QStringList());
        QCOMPARE(LastShownHelpTopic(), QStringLiteral("Trends"));
    }
};

QTEST_MAIN(TstTrends)
#include "tst_trends.moc"
