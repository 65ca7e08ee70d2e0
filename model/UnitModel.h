// UnitModel: the rooms' thermal model with the disc controller and heat mode,
// and the low- and high-pressure system models that own and drive the rooms.
//
// Plain arithmetic, no UI, no timers. State is held in 32-bit floats; every
// result is computed in double and rounded to float where it is stored, so the
// numbers match the classroom material to the last bit.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class TCombinedRoom;

// One room with its own control-disc diffuser.
class TRoom
{
public:
    TRoom() = default;
    virtual ~TRoom() = default;

    TRoom(const TRoom &) = delete;
    TRoom &operator=(const TRoom &) = delete;

    void SetLoad(int value) { Load = value; }
    void SetSetpoint(int value) { Setpoint = value; }
    void SetTemperature(double value) { Temperature = static_cast<float>(value); }
    // A start-up (anything but 15 °C supply) begins with the room at 15 °C.
    void SetSupplyTemperature(int value);

    float GetDiscOpening() const { return DiscOpening; }
    float GetTemperature() const { return Temperature; }
    float GetHeatRate() const { return HeatRate; }
    bool IsHeating() const { return Reheat != 0.0f; }

    // One step of the disc controller.
    virtual void ControlDisc();
    // One thermal sub-step, then ControlDisc (virtually, so a following
    // combined room copies its partner instead of controlling itself).
    virtual void SimulateStep();

    float Airflow = 80.0f;          // DiscOpening / 100 * 240 after each ControlDisc
    std::int32_t Load = 0;          // percent, -100..100; negative = cold load
    std::int32_t Setpoint = 23;     // °C
    float DiscOpening = 30.0f;      // percent, 30..100
    float TempError = 0.1f;         // Temperature - Setpoint
    float Temperature = 22.0f;      // °C
    float SupplyTemperature = 15.0f; // °C
    float Reheat = 0.0f;            // 10.0 while the heat is on
    float HeatRate = 0.0f;          // signed; positive = warming
    std::uint8_t Mode = 0;          // 0 cooling control, 1 heat mode
    std::uint8_t HeatStage = 0;     // 0 heat on, 1 heat off, 2 heating, 3 off and waiting

protected:
    // DiscOpening += x * 3.5, in the order the controller has always used.
    void MoveDisc(double x);
};

// A room that shares its VAV box with a partner: the leading room controls
// the box, the following room copies the box's state.
class TCombinedRoom : public TRoom
{
public:
    void SetPartner(TCombinedRoom *partner, bool leads)
    {
        Partner = partner;
        Leads = leads;
    }

    void ControlDisc() override;

    TCombinedRoom *Partner = nullptr; // not owned
    bool Leads = false;
};

// Low-pressure system: central plant, duct and one control-disc diffuser per room.
class TModel
{
public:
    TModel() = default;
    virtual ~TModel() = default;

    TModel(const TModel &) = delete;
    TModel &operator=(const TModel &) = delete;

    // Creates a plain room, appends it and returns it (still owned by the model).
    TRoom *AddRoom();
    // Appends a room the caller created (e.g. a TCombinedRoom); the model takes
    // ownership. A null room is ignored and gives null.
    template <class R>
    R *AddRoom(std::unique_ptr<R> room)
    {
        R *raw = room.get();
        if (raw)
            Rooms.push_back(std::move(room));
        return raw;
    }

    // Room operations ignore an index outside the room list.
    void SetLoad(int index, int load);
    void SetSetpoint(int index, int setpoint);
    void SetRoomTemperature(int index, double value); // no Recalculate: readouts wait for the next Step
    void SetSimulationSpeed(int value);               // negative values are ignored
    void SetSupplyTemperature(int value);

    // 25 * SimulationSpeed + 1 sub-steps of every room, then Recalculate.
    // Never allocates.
    void Step();
    // Plant readouts and the supply-air (start-up) logic.
    virtual void Recalculate();

    std::int32_t SimulationSpeed = 0;
    std::vector<std::unique_ptr<TRoom>> Rooms; // index 0..3: left .. right
    float TotalAirflow = 0.0f;
    float FanSpeed = 0.0f;          // rpm
    float EnergyConsumption = 0.0f; // kW
    float DuctPressure = 0.0f;      // Pa
    float FanDemand = 0.0f;
    float SupplyTemperature = 15.0f; // °C: 15 normal, 26 during start-up

protected:
    // What distinguishes the duct systems: the fan and its duct.
    struct PlantConstants
    {
        double energySpan, energyBase;     // per room: ((O-30)/70*span + base)/4
        double pressureSpan, pressureBase; // per room: ((O-30)/70*span + base)/4
        double airflowScale, airflowBase;  // X = total/600*scale*540 + base
        double demandDivisor;              // demand = X/div + total/div*1.538...
        double demandAtMin, demandSpan;    // fan speed 750 at min, +970 over the span
    };
    void RecalculateWith(const PlantConstants &c);

private:
    TRoom *RoomAt(int index) const;
};

// High-pressure system: VAV boxes, the two centre rooms sharing one.
class THighPressureModel : public TModel
{
public:
    void Recalculate() override;
};

float CelsiusToFahrenheit(double x);
float FahrenheitToCelsius(double x);
