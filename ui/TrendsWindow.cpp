#include "TrendsWindow.h"

#include "HelpViewer.h"
#include "TrendRecorder.h"

#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The main window's display conversions: model values are metric.
float ShownTemperature(double celsius, bool metric)
{
    return metric ? float(celsius) : float(celsius * 1.8 + 32.0);
}

float ShownPressure(double pascal, bool metric)
{
    return metric ? float(pascal) : float(pascal / 249.1);
}

float ShownEnergy(double kilowatt, bool metric)
{
    return metric ? float(kilowatt) : float(kilowatt * 1.341);
}

// The smallest and the largest value of one series within one pixel column,
// each at its own time, so no peak the eye could see is lost.
struct TMinMax {
    double minT = 0, maxT = 0;
    float min = 0, max = 0;
    bool any = false;

    void add(double t, float v)
    {
        lastT = t;
        last = v;
        if (!any) {
            minT = maxT = t;
            min = max = v;
            any = true;
            return;
        }
        if (v < min) {
            min = v;
            minT = t;
        }
        if (v > max) {
            max = v;
            maxT = t;
        }
    }

    // The newest sample ends the line, so it reaches the right edge.
    double lastT = 0;
    float last = 0;

    void flush(QList<QPointF>& out)
    {
        if (!any)
            return;
        if (minT == maxT) {
            push(out, minT, min);
        } else if (minT < maxT) {
            push(out, minT, min);
            push(out, maxT, max);
        } else {
            push(out, maxT, max);
            push(out, minT, min);
        }
        any = false;
    }

    // A level stretch needs only its two ends: each point costs the chart
    // time however little it shows.
    static void push(QList<QPointF>& out, double t, float v)
    {
        const qsizetype n = out.size();
        if (n >= 2 && out[n - 1].y() == v && out[n - 2].y() == v)
            out[n - 1].setX(t);
        else
            out.append(QPointF(t, v));
    }
};

// A value that holds between changes (setpoint, supply, heating): drawn as
// upright steps. Thinned, all changes within one pixel column become one
// upright stroke that still spans every value they passed through.
struct TSteps {
    float value = 0;
    double lastT = 0;
    bool started = false;
    // Changes in the current column.
    bool changed = false;
    double changeT = 0;
    float from = 0, low = 0, high = 0;

    void add(double t, float v, bool thinned, QList<QPointF>& out)
    {
        lastT = t;
        if (!started) {
            out.append(QPointF(t, v));
            started = true;
            value = v;
            return;
        }
        if (v == value)
            return;
        if (!thinned) {
            out.append(QPointF(t, value));
            out.append(QPointF(t, v));
        } else if (!changed) {
            changed = true;
            changeT = t;
            from = value;
            low = high = v;
        } else {
            low = std::min(low, v);
            high = std::max(high, v);
        }
        value = v;
    }

    void closeColumn(QList<QPointF>& out)
    {
        if (!changed)
            return;
        out.append(QPointF(changeT, from));
        if (low != from && low != value)
            out.append(QPointF(changeT, low));
        if (high != from && high != value)
            out.append(QPointF(changeT, high));
        out.append(QPointF(changeT, value));
        changed = false;
    }

    void finish(QList<QPointF>& out)
    {
        closeColumn(out);
        if (started && (out.isEmpty() || out.last().x() != lastT))
            out.append(QPointF(lastT, value));
    }
};

// Running minimum and maximum for an axis range.
struct TExtent {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();

    void add(double v)
    {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    bool empty() const { return lo > hi; }
};

struct TNiceRange {
    double lo, hi, step;
};

// An axis range on round numbers (1, 2 or 5 times a power of ten), with
// as many ticks as there is room to label.
TNiceRange NiceRange(TExtent e, double fallbackLo, double fallbackHi, double minSpan, int maxIntervals)
{
    double lo = e.empty() ? fallbackLo : e.lo;
    double hi = e.empty() ? fallbackHi : e.hi;
    if (hi - lo < minSpan) {
        const double mid = (lo + hi) / 2;
        lo = mid - minSpan / 2;
        hi = mid + minSpan / 2;
    }
    double power = std::pow(10.0, std::floor(std::log10((hi - lo) / maxIntervals)));
    for (;;) {
        for (double m : {1.0, 2.0, 5.0}) {
            const double step = m * power;
            const double a = std::floor(lo / step) * step;
            const double b = std::max(std::ceil(hi / step) * step, a + step);
            if ((b - a) / step <= maxIntervals + 1e-9)
                return {a, b, step};
        }
        power *= 10;
    }
}

// Tick intervals a value axis has room to label, about one per 24 pixels.
int RoomForIntervals(const QChartView* view, double share = 1.0)
{
    qreal height = view->chart()->plotArea().height();
    if (height < 10) // not laid out yet
        height = view->height() - 50;
    return std::clamp(int(height * share / 24), 2, 6);
}

// Enough decimals to tell the ticks apart, no more.
QString LabelFormat(double step)
{
    return step >= 1 ? QStringLiteral("%.0f") : step >= 0.1 ? QStringLiteral("%.1f") : QStringLiteral("%.2f");
}

// Sets only what changed: any change makes the chart lay out its axes and
// lines anew, which costs more than drawing them.
void SetScale(QValueAxis* axis, double lo, double hi, double anchor, double interval, const QString& format)
{
    // The axis makes a label for every tick at once: a new range under the
    // old tick interval (say Pa under the ins.wg interval) would make
    // thousands. So the coarser of the two ticks comes first.
    const bool coarser = interval > axis->tickInterval();
    if (coarser && axis->tickInterval() != interval)
        axis->setTickInterval(interval);
    if (axis->min() != lo || axis->max() != hi)
        axis->setRange(lo, hi);
    if (axis->tickInterval() != interval)
        axis->setTickInterval(interval);
    if (axis->tickAnchor() != anchor)
        axis->setTickAnchor(anchor);
    if (axis->tickType() != QValueAxis::TicksDynamic)
        axis->setTickType(QValueAxis::TicksDynamic);
    if (axis->labelFormat() != format)
        axis->setLabelFormat(format);
}

// A range that starts and ends on a tick needs fewer changes: no anchor,
// no interval.
void SetFixedScale(QValueAxis* axis, double lo, double hi, double step, const QString& format)
{
    const int ticks = int(std::lround((hi - lo) / step)) + 1;
    if (axis->tickType() != QValueAxis::TicksFixed)
        axis->setTickType(QValueAxis::TicksFixed);
    if (axis->min() != lo || axis->max() != hi)
        axis->setRange(lo, hi);
    if (axis->tickCount() != ticks)
        axis->setTickCount(ticks);
    if (axis->labelFormat() != format)
        axis->setLabelFormat(format);
}

void SetFixedScale(QValueAxis* axis, const TNiceRange& r)
{
    SetFixedScale(axis, r.lo, r.hi, r.step, LabelFormat(r.step));
}

// Time ticks on whole minutes and the like, at most six.
double TimeTickInterval(double span)
{
    for (double interval : {10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0, 1800.0, 3600.0})
        if (span / interval <= 6)
            return interval;
    return 3600.0 * std::ceil(span / 3600.0 / 6);
}

QLineSeries* LineSeries(const QString& name, const QColor& colour, qreal width, Qt::PenStyle style)
{
    auto* s = new QLineSeries();
    s->setName(name);
    QPen pen(colour, width, style);
    pen.setCapStyle(Qt::FlatCap);
    s->setPen(pen);
    return s;
}

QFont PixelFont(int px, bool bold = false)
{
    QFont f;
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

} // namespace

TTrendsWindow::TTrendsWindow(const TTrendRecorder& recorder, TTrendsLink link, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , FRecorder(recorder)
    , FLink(std::move(link))
{
    setObjectName(QStringLiteral("TrendsWindow"));
    setWindowTitle(QStringLiteral("Trends"));
    // Nothing but the main window keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    CreateControls();
    FMetric = FLink.Metric ? FLink.Metric() : false;
    FHighPressure = FLink.HighPressure ? FLink.HighPressure() : false;
    UpdateTexts();
    // Roomy, but never bigger than the screen (an 800 x 600 classroom projector).
    resize(std::min(860, TScreen::Width() * 9 / 10), std::min(760, TScreen::Height() * 9 / 10));
    connect(&FRecorder, &TTrendRecorder::Recorded, this, &TTrendsWindow::RecorderRecorded);
    Redraw();
}

QChartView* TTrendsWindow::AddChart(const QString& title, QValueAxis*& valueAxis, QValueAxis*& timeAxis)
{
    auto* chart = new QChart();
    chart->setTitle(title);
    chart->setTitleFont(PixelFont(12, true));
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 6, 2));
    chart->layout()->setContentsMargins(0, 0, 0, 0);

    timeAxis = new QValueAxis();
    timeAxis->setLabelsFont(PixelFont(10));
    timeAxis->setTitleFont(PixelFont(10));
    chart->addAxis(timeAxis, Qt::AlignBottom);

    valueAxis = new QValueAxis();
    valueAxis->setLabelsFont(PixelFont(10));
    valueAxis->setTitleFont(PixelFont(10));
    chart->addAxis(valueAxis, Qt::AlignLeft);

    // Hairline grid and axis lines: the painter's fastest lines.
    for (QValueAxis* axis : {timeAxis, valueAxis}) {
        QPen grid = axis->gridLinePen();
        grid.setCosmetic(true);
        axis->setGridLinePen(grid);
        QPen line = axis->linePen();
        line.setCosmetic(true);
        axis->setLinePen(line);
    }

    auto* view = new QChartView(chart, this);
    view->setRenderHint(QPainter::Antialiasing);
    // Keys go to the window (F1), never into the chart.
    view->setFocusPolicy(Qt::NoFocus);
    view->setMinimumSize(200, 110);
    return view;
}

void TTrendsWindow::CreateControls()
{
    auto* top = new QHBoxLayout();
    for (int i = 0; i < 4; ++i) {
        QPixmap swatch(22, 12);
        swatch.fill(TrendColours::Room[size_t(i)]);
        LegendSwatches[size_t(i)] = new QLabel(this);
        LegendSwatches[size_t(i)]->setObjectName(QStringLiteral("LegendSwatch%1").arg(i));
        LegendSwatches[size_t(i)]->setPixmap(swatch);
        LegendNames[size_t(i)] = new QLabel(RoomNames[size_t(i)], this);
        LegendNames[size_t(i)]->setObjectName(QStringLiteral("LegendName%1").arg(i));
        top->addWidget(LegendSwatches[size_t(i)]);
        top->addWidget(LegendNames[size_t(i)]);
        top->addSpacing(12);
    }
    top->addStretch(1);
    LblSystem = new QLabel(this);
    LblSystem->setObjectName(QStringLiteral("LblSystem"));
    QFont bold = LblSystem->font();
    bold.setBold(true);
    LblSystem->setFont(bold);
    top->addWidget(LblSystem);

    QValueAxis* timeAxis = nullptr;
    TemperatureView = AddChart(QString(), TemperatureAxis, timeAxis);
    TimeAxes[0] = timeAxis;
    DiscView = AddChart(QString(), DiscAxis, timeAxis);
    TimeAxes[1] = timeAxis;
    FanView = AddChart(QStringLiteral("Fan Speed"), FanAxis, timeAxis);
    TimeAxes[2] = timeAxis;
    PressureView = AddChart(QStringLiteral("Fan Pressure"), PressureAxis, timeAxis);
    TimeAxes[3] = timeAxis;
    EnergyView = AddChart(QStringLiteral("Energy Consumption"), EnergyAxis, timeAxis);
    TimeAxes[4] = timeAxis;
    SupplyView = AddChart(QStringLiteral("Supply Temperature"), SupplyAxis, timeAxis);
    TimeAxes[5] = timeAxis;
    TemperatureView->setObjectName(QStringLiteral("TemperatureView"));
    DiscView->setObjectName(QStringLiteral("DiscView"));
    FanView->setObjectName(QStringLiteral("FanView"));
    PressureView->setObjectName(QStringLiteral("PressureView"));
    EnergyView->setObjectName(QStringLiteral("EnergyView"));
    SupplyView->setObjectName(QStringLiteral("SupplyView"));
    // One title for all the time axes: the small charts need their height
    // for the labels.
    TimeAxes[1]->setTitleText(QStringLiteral("Seconds since start"));
    // The chart below carries the same times; fewer labels also paint faster.
    for (int i : {0, 2, 3})
        TimeAxes[size_t(i)]->setLabelsVisible(false);

    auto attach = [](QChartView* view, QAbstractSeries* s, QValueAxis* x, QValueAxis* y) {
        view->chart()->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    };

    // Heating bands first, so the lines lie on top of them.
    for (int i = 0; i < 4; ++i) {
        const QColor c = TrendColours::Room[size_t(i)];
        auto* upper = new QLineSeries();
        auto* lower = new QLineSeries();
        auto* band = new QAreaSeries(upper, lower);
        // An area series does not own its edges; they go with it.
        upper->setParent(band);
        lower->setParent(band);
        band->setName(RoomNames[size_t(i)] + QStringLiteral(" heating"));
        QColor fill = c;
        fill.setAlpha(TrendColours::BandAlpha);
        band->setBrush(fill);
        band->setPen(Qt::NoPen);
        HeatingBands[size_t(i)] = band;
        attach(TemperatureView, band, TimeAxes[0], TemperatureAxis);
    }
    for (int i = 0; i < 4; ++i) {
        const QColor c = TrendColours::Room[size_t(i)];
        const QString& room = RoomNames[size_t(i)];
        SetpointSeries[size_t(i)] = LineSeries(room + QStringLiteral(" setpoint"), c, 1.5, Qt::DashLine);
        attach(TemperatureView, SetpointSeries[size_t(i)], TimeAxes[0], TemperatureAxis);
    }
    for (int i = 0; i < 4; ++i) {
        const QColor c = TrendColours::Room[size_t(i)];
        const QString& room = RoomNames[size_t(i)];
        TemperatureSeries[size_t(i)] = LineSeries(room, c, 2.0, Qt::SolidLine);
        attach(TemperatureView, TemperatureSeries[size_t(i)], TimeAxes[0], TemperatureAxis);
        DiscSeries[size_t(i)] = LineSeries(room, c, 2.0, Qt::SolidLine);
        attach(DiscView, DiscSeries[size_t(i)], TimeAxes[1], DiscAxis);
    }
    FanSeries = LineSeries(QStringLiteral("Fan Speed"), TrendColours::Plant, 1.5, Qt::SolidLine);
    attach(FanView, FanSeries, TimeAxes[2], FanAxis);
    PressureSeries = LineSeries(QStringLiteral("Fan Pressure"), TrendColours::Plant, 1.5, Qt::SolidLine);
    attach(PressureView, PressureSeries, TimeAxes[3], PressureAxis);
    EnergySeries = LineSeries(QStringLiteral("Energy Consumption"), TrendColours::Plant, 1.5, Qt::SolidLine);
    attach(EnergyView, EnergySeries, TimeAxes[4], EnergyAxis);
    SupplySeries = LineSeries(QStringLiteral("Supply Temperature"), TrendColours::Supply, 1.5, Qt::SolidLine);
    attach(SupplyView, SupplySeries, TimeAxes[5], SupplyAxis);

    DiscAxis->setTitleText(QStringLiteral("%"));
    FanAxis->setTitleText(QStringLiteral("RPM"));

    auto* bottom = new QHBoxLayout();
    auto* spanLabel = new QLabel(QStringLiteral("Time &span:"), this);
    ComboSpan = new QComboBox(this);
    ComboSpan->setObjectName(QStringLiteral("ComboSpan"));
    ComboSpan->addItems({QStringLiteral("2 minutes"), QStringLiteral("10 minutes"), QStringLiteral("60 minutes"),
                         QStringLiteral("All")});
    ComboSpan->setCurrentIndex(1);
    spanLabel->setBuddy(ComboSpan);
    BtnPause = new QPushButton(QStringLiteral("&Pause"), this);
    BtnPause->setObjectName(QStringLiteral("BtnPause"));
    BtnPause->setToolTip(QStringLiteral("Hold the view; the recording goes on"));
    BtnExport = new QPushButton(QStringLiteral("&Export CSV…"), this);
    BtnExport->setObjectName(QStringLiteral("BtnExport"));
    BtnExport->setToolTip(QStringLiteral("Save the history of both systems as corvair-sim writes it"));
    bottom->addWidget(spanLabel);
    bottom->addWidget(ComboSpan);
    bottom->addWidget(BtnPause);
    bottom->addStretch(1);
    bottom->addWidget(BtnExport);
    connect(ComboSpan, &QComboBox::currentIndexChanged, this, &TTrendsWindow::ComboSpanChange);
    connect(BtnPause, &QPushButton::clicked, this, &TTrendsWindow::PauseClick);
    connect(BtnExport, &QPushButton::clicked, this, &TTrendsWindow::ExportClick);

    auto* plant = new QGridLayout();
    plant->setSpacing(2);
    plant->addWidget(FanView, 0, 0);
    plant->addWidget(PressureView, 0, 1);
    plant->addWidget(EnergyView, 1, 0);
    plant->addWidget(SupplyView, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(TemperatureView, 5);
    layout->addWidget(DiscView, 4);
    layout->addLayout(plant, 5);
    layout->addLayout(bottom);
}

void TTrendsWindow::UpdateTexts()
{
    LblSystem->setText(FHighPressure ? QStringLiteral("High Pressure System") : QStringLiteral("Low Pressure System"));
    TemperatureView->chart()->setTitle(QStringLiteral("Room Temperatures  (dashed: setpoint, band: heat on)"));
    DiscView->chart()->setTitle(FHighPressure ? QStringLiteral("VAV Box Opening") : QStringLiteral("Control Disc Opening"));
    const QString degrees = FMetric ? QStringLiteral("°C") : QStringLiteral("°F");
    TemperatureAxis->setTitleText(QStringLiteral("Temperature (%1)").arg(degrees));
    SupplyAxis->setTitleText(degrees);
    PressureAxis->setTitleText(FMetric ? QStringLiteral("Pa") : QStringLiteral("ins.wg"));
    EnergyAxis->setTitleText(FMetric ? QStringLiteral("kW") : QStringLiteral("Hp"));
    // The centre-right room shares the centre-left room's VAV box and
    // thermostat in the high-pressure system, as in the main window.
    SetpointSeries[2]->setVisible(!FHighPressure);
    DiscSeries[2]->setVisible(!FHighPressure);
}

bool TTrendsWindow::ReadMainWindow()
{
    const bool metric = FLink.Metric ? FLink.Metric() : FMetric;
    const bool high = FLink.HighPressure ? FLink.HighPressure() : FHighPressure;
    if (metric == FMetric && high == FHighPressure)
        return false;
    FMetric = metric;
    FHighPressure = high;
    UpdateTexts();
    return true;
}

void TTrendsWindow::SyncWithMainWindow()
{
    if (ReadMainWindow())
        Redraw();
}

int TTrendsWindow::BucketCount() const
{
    const qreal plot = TemperatureView->chart()->plotArea().width();
    const int width = plot > 20 ? int(plot) : TemperatureView->width() - 60;
    return std::clamp(width / 2, 100, 2000);
}

void TTrendsWindow::Redraw()
{
    const int count = FRecorder.Count();
    const double last = count ? FRecorder.Last().Time : 0.0;
    const double end = FPaused ? FPausedAt : last;
    const int span = SpanSeconds[size_t(std::clamp(ComboSpan->currentIndex(), 0, 3))];
    // The time axis moves on in steps of a quarter of its tick interval,
    // not with every sample: each move makes every chart lay out its axes
    // again, which costs more than drawing the lines.
    const double oldest = count ? std::floor(FRecorder.At(0).Time) : 0.0;
    const double interval = TimeTickInterval(span > 0 ? span : std::max(end - oldest, 60.0));
    const double quantum = interval / 4;
    const double stepEnd = std::ceil(end / quantum) * quantum;
    double x0 = 0;
    double x1 = 0;
    if (span > 0) {
        x1 = std::max(double(span), stepEnd);
        x0 = x1 - span;
    } else {
        x0 = oldest;
        x1 = std::max(stepEnd, x0 + 60.0);
    }
    FViewStart = x0;
    FViewEnd = x1;

    // The sample just before the range too, so the lines reach the left
    // edge; nothing after the end (a paused view stays as it was).
    int first = FRecorder.FirstAtOrAfter(x0);
    if (first > 0)
        --first;
    const int stop = FRecorder.FirstAtOrAfter(std::nextafter(end, std::numeric_limits<double>::infinity()));

    const int buckets = BucketCount();
    const bool decimate = stop - first > 2 * buckets;
    const double bucketWidth = (x1 - x0) / buckets;
    const int system = FHighPressure ? TTrendRecorder::High : TTrendRecorder::Low;
    const double fanFactor = FHighPressure ? 1.5 : 1.0;
    const bool metric = FMetric;

    enum { Temp0 = 0, Disc0 = 4, Fan = 8, Pressure = 9, Energy = 10, Continuous = 11 };
    enum { Setpoint0 = 0, Heat0 = 4, Supply = 8, Stepped = 9 };
    std::array<TMinMax, Continuous> minMax;
    std::array<TSteps, Stepped> steps;
    std::array<QList<QPointF>, Continuous> lines;
    std::array<QList<QPointF>, Stepped> stepLines;
    const int expected = decimate ? 2 * buckets + 4 : stop - first;
    for (auto& l : lines)
        l.reserve(expected);

    TExtent tempExtent, fanExtent, pressureExtent, energyExtent;
    const bool setpointShown[4] = {true, true, !FHighPressure, true};

    // Heating, thinned: a column is shaded when the room heated at any
    // moment within it, so a short burst still shows.
    std::array<bool, 4> heatInColumn{};
    double columnStart = 0;
    auto closeColumn = [&] {
        for (int j = 0; j < Continuous; ++j)
            minMax[size_t(j)].flush(lines[size_t(j)]);
        for (int j = 0; j < Stepped; ++j) {
            if (j >= Heat0 && j < Heat0 + 4)
                steps[size_t(j)].add(columnStart, heatInColumn[size_t(j - Heat0)] ? 1.0f : 0.0f, false,
                                     stepLines[size_t(j)]);
            else
                steps[size_t(j)].closeColumn(stepLines[size_t(j)]);
        }
        heatInColumn = {};
    };

    int bucket = -1;
    for (int k = first; k < stop; ++k) {
        const TTrendSample& sample = FRecorder.At(k);
        const TTrendSystemSample& s = sample.System[system];
        const sim::CsvRow& v = s.Values;
        const double t = sample.Time;

        if (decimate) {
            const int b = std::clamp(int((t - x0) / bucketWidth), 0, buckets - 1);
            if (b != bucket) {
                if (bucket >= 0)
                    closeColumn();
                bucket = b;
                columnStart = t;
            }
        }

        float values[Continuous];
        for (int i = 0; i < 4; ++i) {
            values[Temp0 + i] = ShownTemperature(v.temp[i], metric);
            values[Disc0 + i] = v.disc[i];
        }
        values[Fan] = float(fanFactor * v.fan);
        values[Pressure] = ShownPressure(v.duct, metric);
        values[Energy] = ShownEnergy(v.energy, metric);
        for (int j = 0; j < Continuous; ++j) {
            if (decimate)
                minMax[size_t(j)].add(t, values[j]);
            else
                lines[size_t(j)].append(QPointF(t, values[j]));
        }

        float setpoints[4];
        for (int i = 0; i < 4; ++i) {
            setpoints[i] = ShownTemperature(s.Setpoint[i], metric);
            steps[size_t(Setpoint0 + i)].add(t, setpoints[i], decimate, stepLines[size_t(Setpoint0 + i)]);
            if (decimate)
                heatInColumn[size_t(i)] = heatInColumn[size_t(i)] || v.heat[i];
            else
                steps[size_t(Heat0 + i)].add(t, v.heat[i] ? 1.0f : 0.0f, false, stepLines[size_t(Heat0 + i)]);
        }
        const float supply = ShownTemperature(v.supply, metric);
        steps[Supply].add(t, supply, decimate, stepLines[Supply]);

        // Axis ranges from what lies inside the view.
        if (t >= x0) {
            for (int i = 0; i < 4; ++i) {
                tempExtent.add(values[Temp0 + i]);
                if (setpointShown[i])
                    tempExtent.add(setpoints[i]);
            }
            fanExtent.add(values[Fan]);
            pressureExtent.add(values[Pressure]);
            energyExtent.add(values[Energy]);
        }
    }
    if (decimate && bucket >= 0) {
        closeColumn();
        // The heating steps end with the newest sample.
        const double lastT = FRecorder.At(stop - 1).Time;
        for (int i = 0; i < 4; ++i)
            steps[size_t(Heat0 + i)].lastT = lastT;
    }
    for (int j = 0; j < Continuous; ++j) {
        TMinMax& m = minMax[size_t(j)];
        QList<QPointF>& l = lines[size_t(j)];
        m.flush(l);
        if (decimate && !l.isEmpty() && l.last().x() != m.lastT)
            l.append(QPointF(m.lastT, m.last));
    }
    for (int j = 0; j < Stepped; ++j)
        steps[size_t(j)].finish(stepLines[size_t(j)]);

    // Every change of an axis makes the chart lay out all its series again,
    // so the series are emptied first and filled once, after the axes.
    std::vector<QLineSeries*> all(TemperatureSeries.begin(), TemperatureSeries.end());
    all.insert(all.end(), SetpointSeries.begin(), SetpointSeries.end());
    all.insert(all.end(), DiscSeries.begin(), DiscSeries.end());
    for (QAreaSeries* band : HeatingBands) {
        all.push_back(band->upperSeries());
        all.push_back(band->lowerSeries());
    }
    all.insert(all.end(), {FanSeries, PressureSeries, EnergySeries, SupplySeries});
    for (QLineSeries* series : all)
        if (series->count())
            series->clear();

    // Where many samples share each column the lines become nearly upright
    // strokes two pixels apart: smoothing shows little there and costs most
    // of the painting, and one-pixel lines are what the painter draws
    // fastest.
    const bool dense = decimate && stop - first > 6 * buckets;
    for (QChartView* view : {TemperatureView, DiscView, FanView, PressureView, EnergyView, SupplyView})
        if (view->renderHints().testFlag(QPainter::Antialiasing) == dense)
            view->setRenderHint(QPainter::Antialiasing, !dense);
    auto setWidth = [dense](QLineSeries* series, qreal full) {
        const qreal width = dense ? 1.0 : full;
        if (series->pen().widthF() != width) {
            QPen pen = series->pen();
            pen.setWidthF(width);
            series->setPen(pen);
        }
    };
    for (int i = 0; i < 4; ++i) {
        setWidth(TemperatureSeries[size_t(i)], 2.0);
        setWidth(DiscSeries[size_t(i)], 2.0);
    }
    for (QLineSeries* series : {FanSeries, PressureSeries, EnergySeries})
        setWidth(series, 1.5);

    for (QValueAxis* axis : TimeAxes)
        SetScale(axis, x0, x1, 0.0, interval, QStringLiteral("%.0f"));

    // Temperatures on round numbers, with a strip below them for the four
    // heating bands, one lane per room; the ticks stay on the round numbers.
    constexpr double laneShare = 0.16;
    const TNiceRange temp = NiceRange(tempExtent, ShownTemperature(15, metric), ShownTemperature(29, metric),
                                      metric ? 2.0 : 4.0, RoomForIntervals(TemperatureView, 1 - laneShare));
    const double lanes = laneShare / (1 - laneShare) * (temp.hi - temp.lo);
    const double laneBottom = temp.lo - lanes;
    SetScale(TemperatureAxis, laneBottom, temp.hi, temp.lo, temp.step, LabelFormat(temp.step));

    SetFixedScale(FanAxis, NiceRange(fanExtent, 700 * fanFactor, 1800 * fanFactor, 100, RoomForIntervals(FanView)));
    SetFixedScale(PressureAxis, NiceRange(pressureExtent, ShownPressure(100, metric), ShownPressure(600, metric),
                                     metric ? 20.0 : 0.1, RoomForIntervals(PressureView)));
    SetFixedScale(EnergyAxis,
                  NiceRange(energyExtent, ShownEnergy(1, metric), ShownEnergy(11, metric), 1.0, RoomForIntervals(EnergyView)));
    // Only two supply temperatures exist (15 and 26 °C); keep both in view.
    const bool roomySupply = RoomForIntervals(SupplyView) >= 4;
    if (metric)
        SetFixedScale(SupplyAxis, 10, 30, roomySupply ? 5 : 10, QStringLiteral("%.0f"));
    else
        SetFixedScale(SupplyAxis, 50, 90, roomySupply ? 10 : 20, QStringLiteral("%.0f"));
    const int discRoom = RoomForIntervals(DiscView);
    SetScale(DiscAxis, 30, 100, 30, discRoom >= 7 ? 10 : discRoom >= 4 ? 20 : 35, QStringLiteral("%.0f"));

    const double lane = lanes / 4;
    for (int i = 0; i < 4; ++i) {
        const double y0 = laneBottom + (3 - i) * lane + lane * 0.12;
        const double y1 = laneBottom + (4 - i) * lane - lane * 0.12;
        QList<QPointF>& upper = stepLines[size_t(Heat0 + i)];
        for (QPointF& p : upper)
            p.setY(p.y() > 0.5 ? y1 : y0);
        if (!upper.isEmpty()) {
            HeatingBands[size_t(i)]->lowerSeries()->replace(
                {QPointF(upper.first().x(), y0), QPointF(upper.last().x(), y0)});
            HeatingBands[size_t(i)]->upperSeries()->replace(upper);
        }
    }
    for (int i = 0; i < 4; ++i) {
        TemperatureSeries[size_t(i)]->replace(lines[size_t(Temp0 + i)]);
        SetpointSeries[size_t(i)]->replace(stepLines[size_t(Setpoint0 + i)]);
        DiscSeries[size_t(i)]->replace(lines[size_t(Disc0 + i)]);
    }
    FanSeries->replace(lines[Fan]);
    PressureSeries->replace(lines[Pressure]);
    EnergySeries->replace(lines[Energy]);
    SupplySeries->replace(stepLines[Supply]);
}

bool TTrendsWindow::ExportTo(const QString& path)
{
    QString error;
    if (FRecorder.SaveCsv(path, &error))
        return true;
    QString reason = error.trimmed();
    if (!reason.endsWith(QLatin1Char('.')))
        reason += QLatin1Char('.');
    ShowMessage(QStringLiteral("The trends could not be saved to \"%1\": %2 No file was written.")
                    .arg(QDir::toNativeSeparators(path), reason));
    return false;
}

void TTrendsWindow::ExportClick()
{
    QFileDialog dialog(this, QStringLiteral("Export CSV"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("CSV files (*.csv)"));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(QDir::home().filePath(QStringLiteral("corvair-trends.csv")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    ExportTo(dialog.selectedFiles().first());
}

void TTrendsWindow::PauseClick()
{
    FPaused = !FPaused;
    if (FPaused)
        FPausedAt = FRecorder.IsEmpty() ? 0.0 : FRecorder.Last().Time;
    BtnPause->setText(FPaused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
    Redraw();
}

void TTrendsWindow::ComboSpanChange()
{
    Redraw();
}

void TTrendsWindow::RecorderRecorded()
{
    if (!isVisible() || FPaused)
        return;
    ReadMainWindow();
    Redraw();
}

void TTrendsWindow::FormKeyUp(int key)
{
    if (FLink.HelpHook) {
        FLink.HelpHook(HelpTopic, key);
        return;
    }
    if (key == Qt::Key_F1)
        ShowHelpFile(DefaultHelpFilePath(), HelpTopic);
}

void TTrendsWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        FormKeyUp(event->key());
    QWidget::keyReleaseEvent(event);
}

void TTrendsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ReadMainWindow();
    Redraw();
}

void TTrendsWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isVisible())
        Redraw();
}
