#include "TrendRecorder.h"

#include "UnitModel.h"

#include <QSaveFile>

#include <algorithm>

namespace {

TTrendSystemSample SampleOf(const TModel& model)
{
    TTrendSystemSample s;
    s.Values = sim::csvRowOf(model);
    const size_t n = std::min<size_t>(model.Rooms.size(), 4);
    for (size_t i = 0; i < n; ++i)
        s.Setpoint[i] = model.Rooms[i]->Setpoint;
    return s;
}

} // namespace

TTrendRecorder::TTrendRecorder(int capacity, QObject* parent)
    : QObject(parent)
    , FCapacity(std::max(1, capacity))
{
    // Reserved, not touched: pages are used as the history fills.
    FSamples.reserve(size_t(FCapacity));
    FClock.start();
}

void TTrendRecorder::Record(const TModel& low, const TModel& high)
{
    Record(double(FClock.nsecsElapsed()) / 1e9, low, high);
}

void TTrendRecorder::Record(double seconds, const TModel& low, const TModel& high)
{
    TTrendSample sample;
    sample.Time = IsEmpty() ? seconds : std::max(seconds, Last().Time);
    sample.Tick = ++FTotalTicks;
    sample.System[Low] = SampleOf(low);
    sample.System[High] = SampleOf(high);

    if (Count() < FCapacity) {
        FSamples.push_back(sample);
    } else {
        FSamples[size_t(FHead)] = sample;
        FHead = (FHead + 1) % FCapacity;
    }
    emit Recorded();
}

int TTrendRecorder::FirstAtOrAfter(double seconds) const
{
    int lo = 0;
    int hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (At(mid).Time < seconds)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

std::string TTrendRecorder::Csv() const
{
    std::string out = sim::csvHeader();
    // About 190 characters a row.
    out.reserve(out.size() + size_t(Count()) * 2 * 200);
    for (int i = 0; i < Count(); ++i) {
        const TTrendSample& s = At(i);
        sim::appendCsvRow(out, static_cast<long long>(s.Tick), "low", s.System[Low].Values);
        sim::appendCsvRow(out, static_cast<long long>(s.Tick), "high", s.System[High].Values);
    }
    return out;
}

bool TTrendRecorder::SaveCsv(const QString& path, QString* error) const
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("No file name was given."));

    // Never falls back to writing the target in place, so a failure cannot
    // leave half a file.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const std::string text = Csv();
    const qint64 size = qint64(text.size());
    if (file.write(text.data(), size) != size) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
