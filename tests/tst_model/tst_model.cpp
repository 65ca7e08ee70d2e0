// The room model, the disc controller's state machine and the two system models.
#include "UnitModel.h"

#include <QtTest>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

// Counts heap allocations while switched on, to prove Step() never allocates.
static std::atomic<bool> g_countAllocations{false};
static std::atomic<long> g_allocations{0};

void *operator new(std::size_t size)
{
    if (g_countAllocations.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr float Ulp22 = 1.0f / (1 << 19); // spacing of floats between 16 and 32

// A room that only counts its sub-steps.
class CountingRoom : public TRoom
{
public:
    void SimulateStep() override { ++steps; }
    int steps = 0;
};

// Both models as the main window builds them.
void buildLow(TModel &m)
{
    for (int i = 0; i < 4; ++i)
        m.AddRoom();
}

void buildHigh(TModel &m)
{
    m.AddRoom();
    auto *leading = m.AddRoom(std::make_unique<TCombinedRoom>());
    auto *following = m.AddRoom(std::make_unique<TCombinedRoom>());
    m.AddRoom();
    leading->SetPartner(following, true);
    following->SetPartner(leading, false);
}

// Controller fixture: a room at 22 °C setpoint with the given state.
struct DiscState
{
    int mode;
    int stage;
    float err; // Temperature - 22
    float rate;
    float disc;
    float supply;
    float reheat;
};

void prepare(TRoom &room, const DiscState &s)
{
    room.Setpoint = 22;
    room.Temperature = 22.0f + s.err;
    room.HeatRate = s.rate;
    room.DiscOpening = s.disc;
    room.SupplyTemperature = s.supply;
    room.Reheat = s.reheat;
    room.Mode = static_cast<std::uint8_t>(s.mode);
    room.HeatStage = static_cast<std::uint8_t>(s.stage);
}

bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    // ---- room
    void newRoomEntersHeatModeThenHeats();
    void loadHeat_data();
    void loadHeat();
    void roundingVisibility_data();
    void roundingVisibility();
    void controlDisc_data();
    void controlDisc();
    void leavingHeatModeKeepsStage3();
    void roomSupplyTemperature_data();
    void roomSupplyTemperature();
    void followingRoomCopiesPartner();
    void combinedRoomWithoutPartnerControlsItself();
    void conversions_data();
    void conversions();

    // ---- system models
    void ranges_data();
    void ranges();
    void heatingRoomAddsTwoKilowatts();
    void subStepsPerStep_data();
    void subStepsPerStep();
    void startUpNeedsMoreThanTwoDegrees_data();
    void startUpNeedsMoreThanTwoDegrees();
    void startUpEndsWhenAnyRoomReachesSetpoint();
    void setRoomTemperatureDoesNotRecalculate();
    void indicesOutsideTheRoomsAreIgnored();
    void highPressureFollowingRoomCounts();
    void stepDoesNotAllocate();
};

// ---------------------------------------------------------------- room

void TestModel::newRoomEntersHeatModeThenHeats()
{
    TRoom room;
    room.SetSetpoint(22);

    room.SimulateStep();
    QVERIFY2(near(room.HeatRate, -4.32, 0.005), qPrintable(QString::number(room.HeatRate)));
    QVERIFY(room.TempError < 0.0f && room.TempError > -1e-4f);
    QCOMPARE(room.Mode, std::uint8_t(1));
    QCOMPARE(room.HeatStage, std::uint8_t(0));
    QCOMPARE(room.DiscOpening, 30.0f);
    QCOMPARE(room.Airflow, 72.0f);
    QVERIFY(!room.IsHeating());

    room.SimulateStep(); // heat on
    QCOMPARE(room.HeatStage, std::uint8_t(2));
    QCOMPARE(room.Reheat, 10.0f);
    QVERIFY(room.IsHeating());
    QVERIFY(room.HeatRate < 0.0f); // this sub-step still ran without reheat

    room.SimulateStep();
    QVERIFY2(near(room.HeatRate, 2.68, 0.005), qPrintable(QString::number(room.HeatRate)));
}

void TestModel::loadHeat_data()
{
    QTest::addColumn<int>("load");
    QTest::addColumn<double>("rate");
    // With supply air at room temperature the rate is sqrt(Q * 1000 / 39.1779).
    QTest::newRow("no load") << 0 << 0.0;
    QTest::newRow("hot 100 (Q 1.53)") << 100 << 6.24920;
    QTest::newRow("cold 100 (Q -0.51)") << -100 << -3.60797;
    QTest::newRow("hot 25") << 25 << 3.12460;
    QTest::newRow("cold 25 is a third") << -25 << -1.80399;
}

void TestModel::loadHeat()
{
    QFETCH(int, load);
    QFETCH(double, rate);
    TRoom room;
    room.SetLoad(load);
    room.SetTemperature(15.0); // equal to the supply: no air term
    room.SimulateStep();
    QVERIFY2(near(room.HeatRate, rate, 1e-4), qPrintable(QString::number(room.HeatRate)));
}

void TestModel::roundingVisibility_data()
{
    QTest::addColumn<int>("load");
    QTest::addColumn<int>("ulps");
    // Near 22 °C one float step is 2^-19; a change below half of it is lost.
    QTest::newRow("rate 0.625 lost") << 1 << 0;
    QTest::newRow("rate 0.884 one step up") << 2 << 1;
    QTest::newRow("rate -0.625 lost") << -3 << 0;
    QTest::newRow("rate -0.722 one step down") << -4 << -1;
}

void TestModel::roundingVisibility()
{
    QFETCH(int, load);
    QFETCH(int, ulps);
    TRoom room;
    room.SetSetpoint(22);
    room.SupplyTemperature = 22.0f; // no air term, so the load alone sets the rate
    room.SetLoad(load);
    room.SimulateStep();
    QCOMPARE(room.Temperature, 22.0f + ulps * Ulp22);
}

void TestModel::controlDisc_data()
{
    QTest::addColumn<DiscState>("before");
    QTest::addColumn<float>("disc");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("stage");
    QTest::addColumn<float>("reheat");

    //                                           mode stage err    rate   disc  supply reheat
    // cooling control
    QTest::newRow("err 2.0 opens fully") << DiscState{0, 0, 2.0f, -5.0f, 30, 15, 0} << 100.0f << 0 << 0 << 0.0f;
    QTest::newRow("err 1.99 moves") << DiscState{0, 0, 1.99f, 1.0f, 30, 15, 0} << 36.965f << 0 << 0 << 0.0f;
    QTest::newRow("cooling clears reheat") << DiscState{0, 3, 0.3f, -1.0f, 50, 15, 10} << 50.0f << 0 << 3 << 0.0f;
    QTest::newRow("A moves") << DiscState{0, 0, -0.05f, -1.0f, 50, 15, 0} << 49.825f << 0 << 0 << 0.0f;
    QTest::newRow("A at 30 enters heat mode") << DiscState{0, 0, -0.05f, -1.0f, 30, 15, 0} << 30.0f << 1 << 0 << 0.0f;
    QTest::newRow("A keeps stage 3") << DiscState{0, 3, -0.05f, -1.0f, 30, 15, 0} << 30.0f << 1 << 3 << 0.0f;
    QTest::newRow("B moves, rate 0") << DiscState{0, 0, 0.05f, 0.0f, 50, 15, 0} << 50.175f << 0 << 0 << 0.0f;
    QTest::newRow("B clamps at 30") << DiscState{0, 0, -0.05f, 0.0f, 30, 15, 0} << 30.0f << 0 << 0 << 0.0f;
    QTest::newRow("C moves by err-rate") << DiscState{0, 0, 0.6f, -1.0f, 50, 15, 0} << 55.6f << 0 << 0 << 0.0f;
    QTest::newRow("C clamps at 100") << DiscState{0, 0, 0.6f, -1.0f, 99, 15, 0} << 100.0f << 0 << 0 << 0.0f;
    QTest::newRow("D moves by err-rate") << DiscState{0, 0, -0.6f, 1.0f, 50, 15, 0} << 44.4f << 0 << 0 << 0.0f;
    QTest::newRow("D at 30 enters heat mode") << DiscState{0, 0, -0.6f, 1.0f, 30, 15, 0} << 30.0f << 1 << 0 << 0.0f;
    QTest::newRow("falling, err 0.3: nothing") << DiscState{0, 0, 0.3f, -1.0f, 50, 15, 0} << 50.0f << 0 << 0 << 0.0f;
    QTest::newRow("rising, err -0.3: nothing") << DiscState{0, 0, -0.3f, 1.0f, 50, 15, 0} << 50.0f << 0 << 0 << 0.0f;

    // heat mode
    QTest::newRow("stage 0 heat on") << DiscState{1, 0, -0.5f, -1.0f, 60, 15, 0} << 30.0f << 1 << 2 << 10.0f;
    QTest::newRow("stage 1 heat off") << DiscState{1, 1, 0.5f, 1.0f, 40, 15, 10} << 40.0f << 1 << 3 << 0.0f;
    QTest::newRow("stage 2 warm supply opens") << DiscState{1, 2, -0.1f, 1.0f, 30, 26, 10} << 30.35f << 1 << 2 << 10.0f;
    QTest::newRow("stage 2 cool supply closes") << DiscState{1, 2, -0.05f, 1.0f, 50, 15, 10} << 49.825f << 1 << 2 << 10.0f;
    QTest::newRow("stage 2 rate -0.2: threshold 0.2") << DiscState{1, 2, 0.15f, -0.2f, 50, 15, 10} << 50.525f << 1 << 2 << 10.0f;
    QTest::newRow("stage 2 rate -0.19: threshold 0.1") << DiscState{1, 2, 0.15f, -0.19f, 50, 15, 10} << 50.525f << 1 << 1 << 0.0f;
    QTest::newRow("stage 2 rising, err 0.15 exits") << DiscState{1, 2, 0.15f, 0.5f, 50, 15, 10} << 50.525f << 1 << 1 << 0.0f;
    QTest::newRow("stage 2 falling fast, err 0.25 exits") << DiscState{1, 2, 0.25f, -0.5f, 50, 15, 10} << 50.875f << 1 << 1 << 0.0f;
    QTest::newRow("stage 3 rate 0: nothing") << DiscState{1, 3, -1.0f, 0.0f, 30, 15, 0} << 30.0f << 1 << 3 << 0.0f;
    QTest::newRow("stage 3 falling, err -0.06") << DiscState{1, 3, -0.06f, -1.0f, 30, 15, 0} << 30.0f << 1 << 0 << 0.0f;
    QTest::newRow("stage 3 falling, err 0: waits") << DiscState{1, 3, 0.0f, -1.0f, 30, 15, 0} << 30.0f << 1 << 3 << 0.0f;
    QTest::newRow("stage 3 falling, err 0.21 cools") << DiscState{1, 3, 0.21f, -1.0f, 30, 15, 0} << 30.0f << 0 << 3 << 0.0f;
    QTest::newRow("stage 3 rising, err 0.11 cools") << DiscState{1, 3, 0.11f, 1.0f, 30, 15, 0} << 30.0f << 0 << 3 << 0.0f;
    QTest::newRow("stage 3 rising, err 0.09") << DiscState{1, 3, 0.09f, 1.0f, 30, 15, 0} << 30.0f << 1 << 0 << 0.0f;
}

void TestModel::controlDisc()
{
    QFETCH(DiscState, before);
    QFETCH(float, disc);
    QFETCH(int, mode);
    QFETCH(int, stage);
    QFETCH(float, reheat);

    TRoom room;
    prepare(room, before);
    room.ControlDisc();

    QVERIFY2(near(room.DiscOpening, disc, 1e-4), qPrintable(QString::number(room.DiscOpening)));
    QCOMPARE(int(room.Mode), mode);
    QCOMPARE(int(room.HeatStage), stage);
    QCOMPARE(room.Reheat, reheat);
    QCOMPARE(room.Airflow, static_cast<float>(room.DiscOpening / 100.0 * 240));
    QCOMPARE(room.TempError, static_cast<float>(room.Temperature - 22.0));
}

void TestModel::leavingHeatModeKeepsStage3()
{
    TRoom room;
    prepare(room, {1, 3, 0.3f, -1.0f, 30, 15, 0});
    room.ControlDisc();
    QCOMPARE(room.Mode, std::uint8_t(0));

    // Back into heat mode: starts waiting in stage 3, heat stays off.
    prepare(room, {0, 3, -0.02f, -1.0f, 30, 15, 0});
    room.ControlDisc();
    QCOMPARE(room.Mode, std::uint8_t(1));
    room.ControlDisc();
    QCOMPARE(room.HeatStage, std::uint8_t(3));
    QVERIFY(!room.IsHeating());
}

void TestModel::roomSupplyTemperature_data()
{
    QTest::addColumn<int>("supply");
    QTest::addColumn<float>("temperature");
    QTest::newRow("15 leaves the room alone") << 15 << 24.5f;
    QTest::newRow("26 starts at 15") << 26 << 15.0f;
    QTest::newRow("any other value starts at 15") << 18 << 15.0f;
}

void TestModel::roomSupplyTemperature()
{
    QFETCH(int, supply);
    QFETCH(float, temperature);
    TRoom room;
    room.SetTemperature(24.5);
    room.SetSupplyTemperature(supply);
    QCOMPARE(room.SupplyTemperature, float(supply));
    QCOMPARE(room.Temperature, temperature);
}

void TestModel::followingRoomCopiesPartner()
{
    TCombinedRoom leading, following;
    leading.SetPartner(&following, true);
    following.SetPartner(&leading, false);

    leading.SetSetpoint(25);
    leading.SetTemperature(30.0); // err 5: opens fully
    leading.Reheat = 10.0f;
    following.SetSetpoint(21);
    following.SetTemperature(18.0);
    following.TempError = 0.7f;
    following.Mode = 1;
    following.HeatStage = 2;

    leading.ControlDisc();
    following.ControlDisc();

    QCOMPARE(leading.DiscOpening, 100.0f);
    QCOMPARE(leading.Reheat, 0.0f);
    QCOMPARE(following.DiscOpening, 100.0f);
    QCOMPARE(following.Airflow, 240.0f);
    QCOMPARE(following.Reheat, 0.0f);
    QCOMPARE(following.Setpoint, 25);
    // Its own controller state is untouched.
    QCOMPARE(following.TempError, 0.7f);
    QCOMPARE(following.Mode, std::uint8_t(1));
    QCOMPARE(following.HeatStage, std::uint8_t(2));
    QCOMPARE(following.Temperature, 18.0f);
}

void TestModel::combinedRoomWithoutPartnerControlsItself()
{
    TCombinedRoom lonely; // never linked: must not crash, behaves as a plain room
    lonely.SetSetpoint(20);
    lonely.SetTemperature(23.0);
    lonely.ControlDisc();
    QCOMPARE(lonely.DiscOpening, 100.0f);
    QCOMPARE(lonely.TempError, 3.0f);
}

void TestModel::conversions_data()
{
    QTest::addColumn<bool>("toFahrenheit");
    QTest::addColumn<double>("in");
    QTest::addColumn<float>("out");
    QTest::newRow("22 C") << true << 22.0 << 71.6f;
    QTest::newRow("-40 C") << true << -40.0 << -40.0f;
    QTest::newRow("100 C") << true << 100.0 << 212.0f;
    QTest::newRow("71.6 F") << false << 71.6 << 22.0f;
    QTest::newRow("32 F") << false << 32.0 << 0.0f;
    QTest::newRow("212 F") << false << 212.0 << 100.0f;
}

void TestModel::conversions()
{
    QFETCH(bool, toFahrenheit);
    QFETCH(double, in);
    QFETCH(float, out);
    QCOMPARE(toFahrenheit ? CelsiusToFahrenheit(in) : FahrenheitToCelsius(in), out);
}

// ---------------------------------------------------------------- system models

void TestModel::ranges_data()
{
    QTest::addColumn<bool>("high");
    QTest::addColumn<float>("disc");
    QTest::addColumn<double>("pressure");
    QTest::addColumn<double>("energy");
    QTest::addColumn<double>("fan");
    QTest::newRow("low, 30 %") << false << 30.0f << 124.55 << 1.11856 << 750.0;
    QTest::newRow("low, 100 %") << false << 100.0f << 597.84 << 10.7 << 1720.0;
    QTest::newRow("high, 30 %") << true << 30.0f << 249.1 << 2.2371 << 686.0;
    QTest::newRow("high, 100 %") << true << 100.0f << 871.85 << 15.607 << 1573.6;
}

void TestModel::ranges()
{
    QFETCH(bool, high);
    QFETCH(float, disc);
    QFETCH(double, pressure);
    QFETCH(double, energy);
    QFETCH(double, fan);

    TModel low;
    THighPressureModel hp;
    TModel &m = high ? static_cast<TModel &>(hp) : low;
    high ? buildHigh(m) : buildLow(m);
    for (auto &room : m.Rooms) {
        room->DiscOpening = disc;
        room->Airflow = static_cast<float>(disc / 100.0 * 240);
    }
    m.Recalculate();

    QVERIFY2(near(m.DuctPressure, pressure, 1e-3), qPrintable(QString::number(m.DuctPressure)));
    QVERIFY2(near(m.EnergyConsumption, energy, 1e-4), qPrintable(QString::number(m.EnergyConsumption)));
    QVERIFY2(near(m.FanSpeed, fan, 0.05), qPrintable(QString::number(m.FanSpeed)));
    QCOMPARE(m.TotalAirflow, disc / 100.0f * 240 * 4);
}

void TestModel::heatingRoomAddsTwoKilowatts()
{
    for (float disc : {30.0f, 65.0f, 100.0f}) {
        TModel m;
        buildLow(m);
        for (auto &room : m.Rooms)
            room->DiscOpening = disc;
        m.Recalculate();
        const float cool = m.EnergyConsumption;
        m.Rooms[2]->Reheat = 10.0f;
        m.Recalculate();
        QVERIFY2(near(m.EnergyConsumption - cool, 2.0, 1e-5), qPrintable(QString::number(disc)));
    }
}

void TestModel::subStepsPerStep_data()
{
    QTest::addColumn<QList<int>>("speeds");
    QTest::addColumn<int>("steps");
    QTest::newRow("speed 0: one") << QList<int>{0} << 1;
    QTest::newRow("speed 1") << QList<int>{1} << 26;
    QTest::newRow("speed 90") << QList<int>{90} << 2251;
    QTest::newRow("speed 100") << QList<int>{100} << 2501;
    QTest::newRow("-1 keeps the previous speed") << QList<int>{4, -1} << 101;
    QTest::newRow("-1 on a new model keeps 0") << QList<int>{-1} << 1;
}

void TestModel::subStepsPerStep()
{
    QFETCH(QList<int>, speeds);
    QFETCH(int, steps);
    TModel m;
    auto *a = m.AddRoom(std::make_unique<CountingRoom>());
    auto *b = m.AddRoom(std::make_unique<CountingRoom>());
    for (int s : speeds)
        m.SetSimulationSpeed(s);
    m.Step();
    QCOMPARE(a->steps, steps);
    QCOMPARE(b->steps, steps);
}

void TestModel::startUpNeedsMoreThanTwoDegrees_data()
{
    QTest::addColumn<bool>("high");
    QTest::addColumn<float>("temperature");
    QTest::addColumn<bool>("starts");
    QTest::newRow("low, exactly 2.0 below") << false << 20.0f << false;
    QTest::newRow("low, 2.01 below") << false << 19.99f << true;
    QTest::newRow("high, exactly 2.0 below") << true << 20.0f << false;
    QTest::newRow("high, 2.01 below") << true << 19.99f << true;
}

void TestModel::startUpNeedsMoreThanTwoDegrees()
{
    QFETCH(bool, high);
    QFETCH(float, temperature);
    QFETCH(bool, starts);

    TModel low;
    THighPressureModel hp;
    TModel &m = high ? static_cast<TModel &>(hp) : low;
    high ? buildHigh(m) : buildLow(m);
    for (int i = 0; i < 4; ++i) {
        m.SetSetpoint(i, 22);
        m.SetRoomTemperature(i, temperature);
    }
    m.Recalculate();

    QCOMPARE(m.SupplyTemperature, starts ? 26.0f : 15.0f);
    for (auto &room : m.Rooms) {
        QCOMPARE(room->SupplyTemperature, m.SupplyTemperature);
        QCOMPARE(room->Temperature, starts ? 15.0f : temperature);
    }

    // One warm room is enough to stop it.
    m.SetRoomTemperature(3, 22.0);
    for (int i = 0; i < 3; ++i)
        m.SetRoomTemperature(i, 15.0);
    m.Recalculate();
    QCOMPARE(m.SupplyTemperature, 15.0f);
}

void TestModel::startUpEndsWhenAnyRoomReachesSetpoint()
{
    TModel m;
    buildLow(m);
    for (int i = 0; i < 4; ++i)
        m.SetSetpoint(i, 22);
    m.SetSupplyTemperature(26);
    for (auto &room : m.Rooms)
        QCOMPARE(room->Temperature, 15.0f);

    m.SetRoomTemperature(1, 21.99);
    m.Recalculate();
    QCOMPARE(m.SupplyTemperature, 26.0f);

    m.SetRoomTemperature(1, 22.0);
    m.Recalculate();
    QCOMPARE(m.SupplyTemperature, 15.0f);
    QCOMPARE(m.Rooms[0]->SupplyTemperature, 15.0f);
    QCOMPARE(m.Rooms[0]->Temperature, 15.0f); // the others stay cold
    QCOMPARE(m.Rooms[1]->Temperature, 22.0f);
}

void TestModel::setRoomTemperatureDoesNotRecalculate()
{
    TModel m;
    buildLow(m);
    for (int i = 0; i < 4; ++i)
        m.SetSetpoint(i, 22);
    const float fan = m.FanSpeed;
    QVERIFY(fan > 0.0f);

    for (int i = 0; i < 4; ++i)
        m.SetRoomTemperature(i, 19.0); // would start the plant if recalculated
    m.Rooms[0]->DiscOpening = 100.0f;
    m.Rooms[0]->Airflow = 240.0f;
    QCOMPARE(m.SupplyTemperature, 15.0f);
    QCOMPARE(m.FanSpeed, fan);

    m.SetLoad(0, 25);
    QCOMPARE(m.SupplyTemperature, 26.0f);
    QVERIFY(m.FanSpeed > fan);
}

void TestModel::indicesOutsideTheRoomsAreIgnored()
{
    TModel m;
    buildLow(m);
    for (int index : {-1, 4, 1000}) {
        m.SetLoad(index, 100);
        m.SetSetpoint(index, 30);
        m.SetRoomTemperature(index, 40.0);
    }
    QCOMPARE(m.FanSpeed, 0.0f); // no Recalculate either
    for (auto &room : m.Rooms) {
        QCOMPARE(room->Load, 0);
        QCOMPARE(room->Setpoint, 23);
        QCOMPARE(room->Temperature, 22.0f);
    }
}

void TestModel::highPressureFollowingRoomCounts()
{
    THighPressureModel m;
    buildHigh(m);
    m.SetSimulationSpeed(10);
    for (int i = 0; i < 4; ++i)
        m.SetSetpoint(i, 22);
    m.SetLoad(1, 100); // the leading centre room warms and opens the shared box
    for (int i = 0; i < 5; ++i)
        m.Step();

    const TRoom &leading = *m.Rooms[1];
    const TRoom &following = *m.Rooms[2];
    QVERIFY(leading.DiscOpening > 30.0f);
    QCOMPARE(following.DiscOpening, leading.DiscOpening);
    QCOMPARE(following.Airflow, leading.Airflow);
    QVERIFY(following.Temperature < leading.Temperature); // its own load is 0

    double airflow = 0;
    for (auto &room : m.Rooms)
        airflow += room->Airflow;
    QVERIFY(near(m.TotalAirflow, airflow, 1e-3));
    double pressure = 0;
    for (auto &room : m.Rooms)
        pressure += ((room->DiscOpening - 30.0) / 70 * 622.75 + 249.1) / 4;
    QVERIFY(near(m.DuctPressure, pressure, 1e-3));
}

void TestModel::stepDoesNotAllocate()
{
    TModel low;
    THighPressureModel high;
    buildLow(low);
    buildHigh(high);
    for (TModel *m : {&low, static_cast<TModel *>(&high)}) {
        m->SetSimulationSpeed(100);
        for (int i = 0; i < 4; ++i)
            m->SetSetpoint(i, 22);
        m->SetLoad(0, 75);
        m->SetLoad(3, -50);
    }

    g_allocations = 0;
    g_countAllocations = true;
    for (int i = 0; i < 3; ++i) {
        low.Step();
        high.Step();
    }
    g_countAllocations = false;
    QCOMPARE(g_allocations.load(), 0L);
}

QTEST_APPLESS_MAIN(TestModel)
#include "tst_model.moc"
