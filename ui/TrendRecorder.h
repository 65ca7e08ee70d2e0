// The history behind the Trends window: one sample of both systems per
// control-loop tick, in model units, in a ring of fixed size so memory stays
// flat however long the program runs. It can write itself out in exactly the
// rows corvair-sim prints, so a class run and a scripted run compare directly.
#pragma once

#include "SimRunner.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class TModel;

// One system at the end of one tick.
struct TTrendSystemSample {
    sim::CsvRow Values;              // °C, the model's FanSpeed, Pa, kW, %, heat rate
    std::int32_t Setpoint[4] = {};   // °C
};

struct TTrendSample {
    double Time = 0.0;      // seconds since the recorder was created
    std::int64_t Tick = 0;  // 1 for the first tick ever recorded
    TTrendSystemSample System[2]; // TTrendRecorder::Low, TTrendRecorder::High
};

class TTrendRecorder : public QObject {
    Q_OBJECT
public:
    enum TSystem { Low = 0, High = 1 };

    // Four hours at two ticks a second.
    static constexpr int DefaultCapacity = 4 * 60 * 60 * 2;

    explicit TTrendRecorder(int capacity = DefaultCapacity, QObject* parent = nullptr);

    // Records both systems as they stand now, stamped with the time since
    // this recorder was created. Call once per control-loop tick, after the
    // models have stepped.
    void Record(const TModel& low, const TModel& high);
    // The same at a given time; a time before the last one is taken as the
    // last one, so the history stays in time order.
    void Record(double seconds, const TModel& low, const TModel& high);

    int Capacity() const { return FCapacity; }
    int Count() const { return int(FSamples.size()); }
    bool IsEmpty() const { return FSamples.empty(); }
    // Ticks recorded since creation, including those the ring has dropped.
    std::int64_t TotalTicks() const { return FTotalTicks; }

    // Sample i of those kept, 0 = the oldest.
    const TTrendSample& At(int i) const
    {
        size_t j = size_t(FHead) + size_t(i);
        if (j >= FSamples.size())
            j -= FSamples.size();
        return FSamples[j];
    }
    const TTrendSample& Last() const { return At(Count() - 1); }
    // Index of the first kept sample at or after the time; Count() if none.
    int FirstAtOrAfter(double seconds) const;

    // Header and one low and one high row per kept tick, as corvair-sim
    // writes them.
    std::string Csv() const;
    // Writes Csv() through a temporary file beside the target that replaces
    // it only when everything was written. False, with the reason in `error`,
    // leaves no file behind (and an existing file untouched).
    bool SaveCsv(const QString& path, QString* error = nullptr) const;

signals:
    void Recorded();

private:
    int FCapacity;
    int FHead = 0; // index of the oldest sample once the ring is full
    std::int64_t FTotalTicks = 0;
    std::vector<TTrendSample> FSamples;
    QElapsedTimer FClock;
};
