// The Trends window: the recorded history of the system the main window
// shows, drawn against time, so a class can watch a load change travel
// through room temperature, disc opening, fan, pressure and energy.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QAreaSeries;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QValueAxis;
class TTrendRecorder;

// The colours of the Trends window, in one place.
namespace TrendColours {
// One per room, shared by every chart and the legend. None of them is the
// red that marks a heating room in the main window.
inline const std::array<QColor, 4> Room = {QColor(0x1F, 0x6F, 0xD1), QColor(0xE0, 0x8A, 0x0B),
                                           QColor(0x1E, 0x9E, 0x4A), QColor(0x8E, 0x44, 0xAD)};
inline const QColor Plant(0x3A, 0x4A, 0x5A);
inline const QColor Supply(0xC8, 0x3A, 0x22);
inline constexpr int BandAlpha = 90;
} // namespace TrendColours

// What the Trends window needs of the main window.
struct TTrendsLink {
    std::function<bool()> Metric;       // units of the main window's readouts
    std::function<bool()> HighPressure; // the system the main window shows
    // Receives every released key with the window's help topic; the main
    // window's ShowHelpTopic opens the topic on F1.
    std::function<void(const QString& topic, int key)> HelpHook;
};

class TTrendsWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString HelpTopic = QStringLiteral("Trends");
    static inline const std::array<QString, 4> RoomNames = {
        QStringLiteral("Left Room"), QStringLiteral("Centre: Left"), QStringLiteral("Centre: Right"),
        QStringLiteral("Right Room")};
    // Choices of ComboSpan, in order; 0 = the whole history.
    static inline const std::array<int, 4> SpanSeconds = {2 * 60, 10 * 60, 60 * 60, 0};

    // The recorder must outlive the window. A parent keeps the window on
    // its own (it stays a top-level window) and deletes it with itself.
    TTrendsWindow(const TTrendRecorder& recorder, TTrendsLink link, QWidget* parent = nullptr);

    // Reads the main window's units and system again; a change relabels the
    // axes and redraws the whole history at once.
    void SyncWithMainWindow();
    // Rebuilds every series from the history.
    void Redraw();
    // Writes the history as CSV; false after telling the user why.
    bool ExportTo(const QString& path);

    bool Metric() const { return FMetric; }
    bool HighPressure() const { return FHighPressure; }
    bool Paused() const { return FPaused; }
    // Time range on the charts' time axis, in seconds since the start.
    double ViewStart() const { return FViewStart; }
    double ViewEnd() const { return FViewEnd; }

    // ---- controls -------------------------------------------------------------
    std::array<QLabel*, 4> LegendSwatches{};
    std::array<QLabel*, 4> LegendNames{};
    QLabel* LblSystem = nullptr;
    QComboBox* ComboSpan = nullptr;
    QPushButton* BtnPause = nullptr;
    QPushButton* BtnExport = nullptr;

    QChartView* TemperatureView = nullptr;
    QChartView* DiscView = nullptr;
    QChartView* FanView = nullptr;
    QChartView* PressureView = nullptr;
    QChartView* EnergyView = nullptr;
    QChartView* SupplyView = nullptr;

    // ---- series and axes --------------------------------------------------------
    std::array<QLineSeries*, 4> TemperatureSeries{};
    std::array<QLineSeries*, 4> SetpointSeries{};
    std::array<QAreaSeries*, 4> HeatingBands{};
    std::array<QLineSeries*, 4> DiscSeries{};
    QLineSeries* FanSeries = nullptr;
    QLineSeries* PressureSeries = nullptr;
    QLineSeries* EnergySeries = nullptr;
    QLineSeries* SupplySeries = nullptr;

    QValueAxis* TemperatureAxis = nullptr;
    QValueAxis* DiscAxis = nullptr;
    QValueAxis* FanAxis = nullptr;
    QValueAxis* PressureAxis = nullptr;
    QValueAxis* EnergyAxis = nullptr;
    QValueAxis* SupplyAxis = nullptr;
    std::array<QValueAxis*, 6> TimeAxes{};

public slots:
    void ExportClick();
    void PauseClick();
    void ComboSpanChange();
    void RecorderRecorded();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();
    void FormKeyUp(int key);
    void UpdateTexts();
    // Takes over the main window's units and system; true when either changed.
    bool ReadMainWindow();
    QChartView* AddChart(const QString& title, QValueAxis*& valueAxis, QValueAxis*& timeAxis);
    int BucketCount() const;

    const TTrendRecorder& FRecorder;
    TTrendsLink FLink;
    bool FMetric = false;
    bool FHighPressure = false;
    bool FPaused = false;
    double FPausedAt = 0.0; // last sample time when the view was paused
    double FViewStart = 0.0;
    double FViewEnd = 0.0;
};
