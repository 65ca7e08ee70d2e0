// corvair-sim as a user runs it: options, CSV output, scripts and errors.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Header = QStringLiteral(
    "tick,system,supply_c,fan_rpm,duct_pa,energy_kw,temp0,temp1,temp2,temp3,"
    "disc0,disc1,disc2,disc3,heat0,heat1,heat2,heat3,rate0,rate1,rate2,rate3");

enum Column { Tick, System, Supply, Fan, Duct, Energy, Temp0, Disc0 = 10, Heat0 = 14, Rate0 = 18, ColumnCount = 22 };

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runSim(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(CORVAIR_SIM), args);
    Run r;
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// Rows of a successful run, header checked.
QList<QStringList> rowsOf(const Run &r)
{
    const QStringList lines = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QList<QStringList> rows;
    if (lines.isEmpty() || lines.first() != Header)
        return rows;
    for (qsizetype i = 1; i < lines.size(); ++i)
        rows << lines[i].split(QLatin1Char(','));
    return rows;
}

// The row of one system at one tick.
QStringList rowAt(const QList<QStringList> &rows, int tick, const QString &system)
{
    for (const auto &row : rows)
        if (row.value(Tick).toInt() == tick && row.value(System) == system)
            return row;
    return {};
}

double real(const QStringList &row, int column)
{
    return row.value(column).toDouble();
}

} // namespace

class TestSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void versionAndHelp();
    void rowFormat();
    void rowCount_data();
    void rowCount();
    void defaultScenarioSettles();
    void scriptTakesEffectAtItsTick();
    void scriptOrderWithinATick();
    void speedCommand();
    void errors_data();
    void errors();

private:
    QString writeScript(const QByteArray &text);
    QTemporaryDir m_dir;
    int m_scripts = 0;
};

void TestSim::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFileInfo::exists(QStringLiteral(CORVAIR_SIM)), CORVAIR_SIM);
}

QString TestSim::writeScript(const QByteArray &text)
{
    const QString path = m_dir.filePath(QStringLiteral("script%1.txt").arg(++m_scripts));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return {};
    return path;
}

void TestSim::versionAndHelp()
{
    const Run version = runSim({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("corvair-sim 1.0.1\n"));
    QVERIFY(version.err.isEmpty());

    const Run help = runSim({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith("Usage: corvair-sim [--ticks N] [--speed S] [--script FILE]"));
    QVERIFY(help.err.isEmpty());
}

void TestSim::rowFormat()
{
    const Run r = runSim({QStringLiteral("--ticks"), QStringLiteral("3")});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.err.isEmpty());
    QVERIFY(r.out.startsWith(Header.toUtf8() + '\n'));
    QVERIFY(r.out.endsWith('\n'));

    const auto rows = rowsOf(r);
    QCOMPARE(rows.size(), 6);
    static const QRegularExpression realPattern(QStringLiteral("^-?\\d+(\\.\\d+)?(e[-+]\\d+)?$"));
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList &row = rows[i];
        QCOMPARE(row.size(), int(ColumnCount));
        QCOMPARE(row[Tick], QString::number(i / 2 + 1));
        QCOMPARE(row[System], i % 2 ? QStringLiteral("high") : QStringLiteral("low"));
        for (int c = Supply; c < ColumnCount; ++c) {
            if (c >= Heat0 && c < Rate0)
                QVERIFY2(row[c] == QLatin1String("0") || row[c] == QLatin1String("1"), qPrintable(row[c]));
            else
                QVERIFY2(realPattern.match(row[c]).hasMatch(), qPrintable(row[c]));
        }
    }

    // A new room's first sub-steps (speed 90 here): 15 °C supply, discs at the minimum,
    // and nine significant digits so 32-bit values come back exactly.
    const QStringList low = rowAt(rows, 1, QStringLiteral("low"));
    QCOMPARE(low[Supply], QStringLiteral("15"));
    QCOMPARE(low[Fan], QStringLiteral("750"));
    QCOMPARE(low[Disc0], QStringLiteral("30"));
    const QString temp = low[Temp0];
    QCOMPARE(QString::asprintf("%.9g", double(temp.toFloat())), temp);
}

void TestSim::rowCount_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("rows");
    QTest::newRow("default 120 ticks") << QStringList{} << 240;
    QTest::newRow("--ticks 0: header only") << QStringList{"--ticks", "0"} << 0;
    QTest::newRow("--ticks=7") << QStringList{"--ticks=7"} << 14;
}

void TestSim::rowCount()
{
    QFETCH(QStringList, args);
    QFETCH(int, rows);
    const Run r = runSim(args);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.startsWith(Header.toUtf8()));
    QCOMPARE(int(rowsOf(r).size()), rows);
}

void TestSim::defaultScenarioSettles()
{
    const Run r = runSim({QStringLiteral("--ticks"), QStringLiteral("240")});
    QCOMPARE(r.exitCode, 0);
    const auto rows = rowsOf(r);
    QCOMPARE(rows.size(), 480);
    for (int tick = 120; tick <= 240; ++tick) {
        const QStringList low = rowAt(rows, tick, QStringLiteral("low"));
        QCOMPARE(low[Supply], QStringLiteral("15"));
        for (int room = 0; room < 4; ++room) {
            const double t = real(low, Temp0 + room);
            QVERIFY2(qAbs(t - 22.0) < 0.25, qPrintable(QStringLiteral("tick %1 room %2: %3").arg(tick).arg(room).arg(t)));
        }
    }
}

void TestSim::scriptTakesEffectAtItsTick()
{
    const QString script = writeScript("# a hot left room from tick 5\n"
                                       "5 load 0 100\n"
                                       "\n"
                                       "3 temp 2 25.5   # initial temperature\n"
                                       "7 supply 26\n");
    QVERIFY(!script.isEmpty());
    const Run r = runSim({"--speed", "0", "--ticks", "8", "--script", script});
    QCOMPARE(r.exitCode, 0);
    const auto rows = rowsOf(r);
    QCOMPARE(rows.size(), 16);

    for (const QString &system : {QStringLiteral("low"), QStringLiteral("high")}) {
        // load: room 0 starts warming at tick 5, not before
        QCOMPARE(rowAt(rows, 4, system)[Rate0], rowAt(rows, 4, system)[Rate0 + 3]);
        QVERIFY(real(rowAt(rows, 5, system), Rate0) > real(rowAt(rows, 5, system), Rate0 + 3) + 1.0);
        // temp: room 2 is near 25.5 from tick 3
        QVERIFY(qAbs(real(rowAt(rows, 2, system), Temp0 + 2) - 22.0) < 0.01);
        QVERIFY(qAbs(real(rowAt(rows, 3, system), Temp0 + 2) - 25.5) < 0.01);
        // supply: start-up from tick 7 puts every room at 15 °C
        QCOMPARE(rowAt(rows, 6, system)[Supply], QStringLiteral("15"));
        QCOMPARE(rowAt(rows, 7, system)[Supply], QStringLiteral("26"));
        QVERIFY(qAbs(real(rowAt(rows, 7, system), Temp0 + 1) - 15.0) < 0.01);
    }
}

void TestSim::scriptOrderWithinATick()
{
    // Lines in any tick order; within a tick the file order holds.
    const QString script = writeScript("3 temp 0 30\n"
                                       "1 temp 0 18\n"
                                       "3 temp 0 25\r\n"
                                       "2 setpoint 0 +24\n");
    const Run r = runSim({"--speed", "0", "--ticks", "3", "--script", script});
    QCOMPARE(r.exitCode, 0);
    const auto rows = rowsOf(r);
    QVERIFY(qAbs(real(rowAt(rows, 1, QStringLiteral("low")), Temp0) - 18.0) < 0.01);
    QVERIFY(qAbs(real(rowAt(rows, 3, QStringLiteral("low")), Temp0) - 25.0) < 0.01);
    QVERIFY(qAbs(real(rowAt(rows, 3, QStringLiteral("high")), Temp0) - 25.0) < 0.01);
}

void TestSim::speedCommand()
{
    // With a hot load the temperature climbs in proportion to the sub-steps per tick.
    const QString script = writeScript("1 load 0 100\n"
                                       "3 speed 8\n"
                                       "4 speed -1  # ignored: stays at 8\n");
    const Run r = runSim({"--speed", "0", "--ticks", "4", "--script", script});
    QCOMPARE(r.exitCode, 0);
    const auto rows = rowsOf(r);
    auto rise = [&](int tick) {
        return real(rowAt(rows, tick, QStringLiteral("low")), Temp0)
             - real(rowAt(rows, tick - 1, QStringLiteral("low")), Temp0);
    };
    const double one = rise(2);  // 1 sub-step
    const double many = rise(3); // 201 sub-steps
    QVERIFY(one > 0.0);
    QVERIFY2(many > 50 * one, qPrintable(QStringLiteral("%1 vs %2").arg(many).arg(one)));
    QVERIFY2(rise(4) > 50 * one, qPrintable(QStringLiteral("%1 vs %2").arg(rise(4)).arg(one)));
}

void TestSim::errors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("script");   // written to a file and passed with --script when set
    QTest::addColumn<int>("line");            // expected FILE:LINE, 0 for option errors
    QTest::addColumn<QString>("what");        // part of the message

    const QByteArray none;
    QTest::newRow("unknown option") << QStringList{"--fast"} << none << 0 << "--fast";
    QTest::newRow("stray argument") << QStringList{"120"} << none << 0 << "120";
    QTest::newRow("--ticks without value") << QStringList{"--ticks"} << none << 0 << "--ticks";
    QTest::newRow("--ticks not a number") << QStringList{"--ticks", "ten"} << none << 0 << "ten";
    QTest::newRow("--ticks negative") << QStringList{"--ticks", "-1"} << none << 0 << "--ticks";
    QTest::newRow("--ticks too large") << QStringList{"--ticks", "99999999999"} << none << 0 << "99999999999";
    QTest::newRow("--speed real") << QStringList{"--speed", "1.5"} << none << 0 << "1.5";
    QTest::newRow("--speed negative") << QStringList{"--speed=-3"} << none << 0 << "--speed";
    QTest::newRow("--script without value") << QStringList{"--script"} << none << 0 << "--script";
    QTest::newRow("error wins over --help") << QStringList{"--help", "--bogus"} << none << 0 << "--bogus";
    QTest::newRow("missing script file") << QStringList{"--script", "/nonexistent/x.txt"} << none << -1 << "/nonexistent/x.txt";
    QTest::newRow("script is a directory") << QStringList{"--script", "/"} << none << -1 << "/";

    QTest::newRow("unknown command") << QStringList{} << QByteArray("1 load 0 25\n# fine so far\n\n2 heat 0 25\n") << 4 << "heat";
    QTest::newRow("missing command") << QStringList{} << QByteArray("5\n") << 1 << "command";
    QTest::newRow("too few arguments") << QStringList{} << QByteArray("1 load 0\n") << 1 << "load";
    QTest::newRow("too many arguments") << QStringList{} << QByteArray("1 supply 26 1\n") << 1 << "supply";
    QTest::newRow("speed without value") << QStringList{} << QByteArray("1 speed\n") << 1 << "speed";
    QTest::newRow("tick not a number") << QStringList{} << QByteArray("x load 0 25\n") << 1 << "'x'";
    QTest::newRow("tick real") << QStringList{} << QByteArray("1.5 load 0 25\n") << 1 << "1.5";
    QTest::newRow("tick 0") << QStringList{} << QByteArray("0 load 0 25\n") << 1 << "below 1";
    QTest::newRow("tick negative") << QStringList{} << QByteArray("3 load 1 0\n-2 load 0 25\n") << 2 << "below 1";
    QTest::newRow("room 4") << QStringList{} << QByteArray("1 load 4 25\n") << 1 << "0..3";
    QTest::newRow("room -1") << QStringList{} << QByteArray("1 temp -1 20\n") << 1 << "0..3";
    QTest::newRow("room not a number") << QStringList{} << QByteArray("1 setpoint left 20\n") << 1 << "left";
    QTest::newRow("load not a number") << QStringList{} << QByteArray("1 load 0 25%\n") << 1 << "25%";
    QTest::newRow("setpoint must be whole") << QStringList{} << QByteArray("1 setpoint 0 22.5\n") << 1 << "22.5";
    QTest::newRow("supply not a number") << QStringList{} << QByteArray("1 supply warm\n") << 1 << "warm";
    QTest::newRow("temp not a number") << QStringList{} << QByteArray("1 temp 0 2x\n") << 1 << "2x";
    QTest::newRow("temp nan") << QStringList{} << QByteArray("1 temp 0 nan\n") << 1 << "nan";
    QTest::newRow("temp beyond float") << QStringList{} << QByteArray("1 temp 0 1e39\n") << 1 << "1e39";
    QTest::newRow("control characters stay on one line")
        << QStringList{} << QByteArray("1 lo\x1b[2Jad\x0b" "0 25\n") << 1 << "lo?[2Jad";
}

void TestSim::errors()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, script);
    QFETCH(int, line);
    QFETCH(QString, what);

    QString file;
    if (!script.isNull()) {
        file = writeScript(script);
        QVERIFY(!file.isEmpty());
        args << QStringLiteral("--script") << file;
    }
    const Run r = runSim(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.out.isEmpty(), r.out.left(200).constData());

    const QString err = QString::fromUtf8(r.err);
    QVERIFY2(err.endsWith(QLatin1Char('\n')) && err.count(QLatin1Char('\n')) == 1, qPrintable(err));
    QString prefix = QStringLiteral("corvair-sim: ");
    if (line > 0)
        prefix += file + QLatin1Char(':') + QString::number(line) + QStringLiteral(": ");
    else if (line < 0)
        prefix += args.last() + QStringLiteral(": ");
    QVERIFY2(err.startsWith(prefix), qPrintable(err));
    QVERIFY2(err.size() > prefix.size() + 1, qPrintable(err)); // says what is wrong
    QVERIFY2(err.contains(what), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
