#include "UnitModel.h"

#include <cmath>

namespace {

// Every stored result goes through here: the state is 32-bit and the
// rounding is part of the behaviour (tiny rates leave a temperature unchanged).
inline float Store(double value)
{
    return static_cast<float>(value);
}

constexpr double MinDisc = 30.0;
constexpr double MaxDisc = 100.0;
constexpr double FullAirflow = 240.0; // fully open disc
constexpr double ReheatOn = 10.0;

} // namespace

// ---------------------------------------------------------------- TRoom

void TRoom::SetSupplyTemperature(int value)
{
    SupplyTemperature = Store(value);
    if (SupplyTemperature != 15.0f)
        Temperature = 15.0f;
}

void TRoom::MoveDisc(double x)
{
    DiscOpening = Store(DiscOpening + x / 2 * 70 / 10);
}

void TRoom::SimulateStep()
{
    // A cold load acts with a third of the strength of a hot one.
    const float q = Load > 0 ? Store(Load / 100.0 * 1.53)
                             : Store(Load / 100.0 * 1.53 / 3);
    const float c = Store(-1.30593 * Airflow / 1000
                          * (static_cast<double>(SupplyTemperature) + Reheat - Temperature));
    const float b = Store((static_cast<double>(q) - c) * 1000);
    float d = Store(std::sqrt(std::fabs(static_cast<double>(b)) / 39.1779));
    if (b < 0)
        d = -d;
    HeatRate = d;
    const float e = Store(static_cast<double>(d) * 100 / 3600000);
    const double t = Temperature;
    Temperature = Store(t * 19 / 20 + (t + e) / 20);

    ControlDisc();
}

void TRoom::ControlDisc()
{
    TempError = Store(static_cast<double>(Temperature) - Setpoint);
    const double err = TempError;
    const double rate = HeatRate;

    if (Mode == 0) {
        Reheat = 0.0f;
        if (err >= 2.0) {
            DiscOpening = Store(MaxDisc);
        } else if (rate < 0 && err < 0.1) {
            if (DiscOpening > MinDisc)
                MoveDisc(err);
            else
                Mode = 1;
        } else if (rate >= 0 && err > -0.1) {
            MoveDisc(err);
        } else if (rate < 0 && err > 0.5) {
            MoveDisc(err - rate);
        } else if (rate >= 0 && err < -0.5) {
            if (DiscOpening > MinDisc)
                MoveDisc(err - rate);
            else
                Mode = 1;
        }
    } else if (Mode == 1) {
        switch (HeatStage) {
        case 0:
            DiscOpening = Store(MinDisc);
            Reheat = Store(ReheatOn);
            HeatStage = 2;
            break;
        case 1:
            Reheat = 0.0f;
            HeatStage = 3;
            break;
        case 2: {
            if (SupplyTemperature > Temperature) {
                if (DiscOpening < MaxDisc)
                    MoveDisc(-err);
            } else if (DiscOpening > MinDisc) {
                MoveDisc(err);
            }
            // Cooling fast: wait a little longer before switching the heat off.
            const double threshold = (rate > 0 || std::fabs(rate) < 0.2) ? 0.1 : 0.2;
            if (err > threshold) {
                Reheat = 0.0f;
                HeatStage = 1;
            }
            break;
        }
        case 3:
            if (rate < 0) {
                if (err < -0.05)
                    HeatStage = 0;
                else if (err > 0.2) {
                    Reheat = 0.0f;
                    Mode = 0;
                }
            } else if (rate > 0) {
                if (err > 0.1) {
                    Reheat = 0.0f;
                    Mode = 0;
                } else if (err < 0.1) {
                    HeatStage = 0;
                }
            }
            break;
        default:
            break;
        }
    }

    if (DiscOpening > MaxDisc)
        DiscOpening = Store(MaxDisc);
    else if (DiscOpening < MinDisc)
        DiscOpening = Store(MinDisc);
    Airflow = Store(DiscOpening / 100.0 * FullAirflow);
}

// ---------------------------------------------------------------- TCombinedRoom

void TCombinedRoom::ControlDisc()
{
    // Without a partner there is nothing to copy: the room controls its own box.
    if (Leads || !Partner) {
        TRoom::ControlDisc();
        return;
    }
    Reheat = Partner->Reheat;
    DiscOpening = Partner->DiscOpening;
    Airflow = Partner->Airflow;
    Setpoint = Partner->Setpoint;
}

// ---------------------------------------------------------------- TModel

TRoom *TModel::AddRoom()
{
    return AddRoom(std::make_unique<TRoom>());
}

TRoom *TModel::RoomAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= Rooms.size())
        return nullptr;
    return Rooms[static_cast<std::size_t>(index)].get();
}

void TModel::SetLoad(int index, int load)
{
    if (TRoom *room = RoomAt(index)) {
        room->SetLoad(load);
        Recalculate();
    }
}

void TModel::SetSetpoint(int index, int setpoint)
{
    if (TRoom *room = RoomAt(index)) {
        room->SetSetpoint(setpoint);
        Recalculate();
    }
}

void TModel::SetRoomTemperature(int index, double value)
{
    if (TRoom *room = RoomAt(index))
        room->SetTemperature(value);
}

void TModel::SetSimulationSpeed(int value)
{
    if (value >= 0)
        SimulationSpeed = value;
}

void TModel::SetSupplyTemperature(int value)
{
    SupplyTemperature = Store(value);
    for (auto &room : Rooms)
        room->SetSupplyTemperature(value);
}

void TModel::Step()
{
    // 64-bit so that an absurd speed cannot overflow into a negative count.
    const long long n = 25LL * SimulationSpeed;
    if (n >= 0) {
        for (long long i = 0; i <= n; ++i) {
            for (auto &room : Rooms)
                room->SimulateStep();
        }
    }
    Recalculate();
}

void TModel::Recalculate()
{
    static constexpr PlantConstants low{
        9.58144, 1.11856,
        473.29, 124.55,
        2.0, 60.0,
        1000.0,
        1.0214769230769232, 2.2434461538461536,
    };
    RecalculateWith(low);
}

void TModel::RecalculateWith(const PlantConstants &c)
{
    TotalAirflow = 0.0f;
    EnergyConsumption = 0.0f;
    DuctPressure = 0.0f;
    bool reachedSetpoint = false;
    std::size_t coldRooms = 0;

    for (const auto &room : Rooms) {
        const double o = room->DiscOpening;
        TotalAirflow = Store(static_cast<double>(TotalAirflow) + room->Airflow);
        EnergyConsumption = Store(EnergyConsumption + ((o - 30) / 70 * c.energySpan + c.energyBase) / 4);
        if (room->IsHeating())
            EnergyConsumption = Store(EnergyConsumption + 2.0);
        DuctPressure = Store(DuctPressure + ((o - 30) / 70 * c.pressureSpan + c.pressureBase) / 4);
        if (SupplyTemperature == 26.0f) {
            if (!(static_cast<double>(room->Setpoint) > room->Temperature))
                reachedSetpoint = true;
        } else if (static_cast<double>(room->Temperature) + 2.0 < room->Setpoint) {
            ++coldRooms;
        }
    }

    // The readouts above still show the rooms before any switch of the supply.
    if (reachedSetpoint)
        SetSupplyTemperature(15);
    else if (coldRooms == Rooms.size())
        SetSupplyTemperature(26);

    const double total = TotalAirflow;
    // 2 * 2 is exact, so one power-of-two scale gives the same bits as doubling twice.
    const float x = Store(total / 600 * c.airflowScale * 540 + c.airflowBase);
    FanDemand = Store(x / c.demandDivisor + total / c.demandDivisor * 1.5384615384615385);
    FanSpeed = Store((FanDemand - c.demandAtMin) / c.demandSpan * 970 + 750);
}

// ---------------------------------------------------------------- THighPressureModel

void THighPressureModel::Recalculate()
{
    static constexpr PlantConstants high{
        13.3699, 2.2371,
        622.75, 249.1,
        4.0, 1200.0,
        400.0,
        7.3220680958385875, 9.434552332912988,
    };
    RecalculateWith(high);
}

// ---------------------------------------------------------------- conversions

float CelsiusToFahrenheit(double x)
{
    return Store(x * 1.8 + 32);
}

float FahrenheitToCelsius(double x)
{
    return Store((x - 32) * 0.55555555555555555556);
}
