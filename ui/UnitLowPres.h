// The system simulator window: the animated building cross-section with
// its readouts and inputs, both system models behind it, and the services
// the other windows use (help key, scale factor, image table).
#pragma once

#include "RoomData.h"
#include "TrendRecorder.h"
#include "UpDown.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;

class TAirFlowLayer;
class TCustomLayer;
class TDuctLayer;
class TEasyDatabase;
class TEasyTable;
class THighPressureModel;
class TImage32;
class TModel;
class TPositionedLayer;
class TRoom;
class TRoomLayer;
class TSpinButton;
class TTextLayer;
class TTrendsWindow;

// A walkthrough window as the main window sees it: something to show, and
// its pressure labels to switch between units.
struct TCalibrationLink {
    QPointer<QWidget> Window;
    std::function<void(bool metric)> SetPressureLabels;
};

class TLowPresFrm : public QWidget {
    Q_OBJECT
public:
    // Builds the whole window, its scene and its models. Throws TTableError
    // when the asset database itself cannot be read.
    explicit TLowPresFrm(QWidget* parent = nullptr);
    ~TLowPresFrm() override;

    // ---- where things are -------------------------------------------------
    // The asset folder; empty (the default) means DataBase beside the program.
    // Takes effect for windows created afterwards.
    static void SetDatabaseDirectory(const QString& directory);
    static QString DatabaseDirectory();
    // The help file; empty (the default) means Help/Corv_Air.html beside the program.
    static void SetHelpFilePath(const QString& path);
    static QString HelpFilePath();

    // Opens the help file at a topic. The default shows the in-program help
    // viewer; tests put a recorder in its place. Null restores the default.
    using HelpHandler = std::function<void(const QString& helpFile, const QString& topic)>;
    static void SetHelpHandler(HelpHandler handler);

    // Creates the intro window on the first show, when MovieTable.bdf exists.
    // Null (the default): no intro.
    using IntroFactory = std::function<QWidget*(TLowPresFrm* mainWindow)>;
    static void SetIntroFactory(IntroFactory factory);

    // ---- services for the other windows ---------------------------------------
    // F1 (Qt::Key_F1) opens the help at the keyword's topic; other keys do nothing.
    void ShowHelpTopic(const QString& keyword, int key);
    void SetCalibrationWindows(TCalibrationLink low, TCalibrationLink high);
    QWidget* MovieFrm() const { return FMovieFrm; }

    // ---- controls -------------------------------------------------------------------
    TImage32* MainImage;
    QLabel* RichEdit1;
    QLabel* EditTempUnit;
    QLineEdit* EditSupplyTemperature;
    QLabel* RichEdit3;
    QLabel* EditFanSpeedUnit;
    QLineEdit* EditFanSpeed;
    QLabel* RichEdit2;
    QLabel* EditEnergyUnit;
    QLineEdit* EditEnergyConsumption;
    QLabel* RichEdit4;
    QLabel* EditPressureUnit;
    QLineEdit* EditDuctPressure;
    QGroupBox* GroupBox1;
    QRadioButton* RadioImperial;
    QRadioButton* RadioMetric;
    QLabel* Edit5;
    QSlider* TrackBarAniSpd;
    QLabel* Edit1;
    QLineEdit* EditTempSetpoint1;
    QLineEdit* EditTempSetpoint2;
    QLineEdit* EditTempSetpoint3;
    QLineEdit* EditTempSetpoint4;
    TUpDown* UpDownTempSetpoint1;
    TUpDown* UpDownTempSetpoint2;
    TUpDown* UpDownTempSetpoint3;
    TUpDown* UpDownTempSetpoint4;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label2;
    QLabel* LblDiscOpening;
    QLabel* Label7;
    QLineEdit* EditTemp1;
    QLineEdit* EditTemp2;
    QLineEdit* EditTemp3;
    QLineEdit* EditTemp4;
    TSpinButton* SpinBtnTempLeft;
    TSpinButton* SpinBtnTempMid1;
    TSpinButton* SpinBtnTempMid2;
    TSpinButton* SpinBtnTempRight;
    QLineEdit* EditLoad1;
    QLineEdit* EditLoad2;
    QLineEdit* EditLoad3;
    QLineEdit* EditLoad4;
    TSpinButton* SpinBtnLeft;
    TSpinButton* SpinBtnMid1;
    TSpinButton* SpinBtnMid2;
    TSpinButton* SpinBtnRight;
    QPushButton* BtnHotColdLeft;
    QPushButton* BtnHotColdRight;
    QLineEdit* EditDiscOpening1;
    QLineEdit* EditDiscOpening2;
    QLineEdit* EditDiscOpening3;
    QLineEdit* EditDiscOpening4;
    QLineEdit* EditScratch1;
    QLineEdit* EditScratch2;
    QLineEdit* EditScratch3;
    QLineEdit* EditScratch4;
    QLabel* Image1;
    QPushButton* ButSpeedStart;
    QPushButton* BtnToggleSystems;
    QPushButton* BtnLowCali;
    QPushButton* BtnTrends;
    QTimer* ArrowTimer;
    QTimer* FanTimer;
    QTimer* ControlLoopTimer;

    // ---- the asset database ---------------------------------------------------------
    std::unique_ptr<TEasyDatabase> EasyCorvAirData;
    std::unique_ptr<TEasyTable> EasyImages; // BitmapTable
    std::unique_ptr<TEasyTable> EasyPath;   // ArrowTable_800x600, ordered by ArrowNr

    // ---- state ---------------------------------------------------------------------------
    TDuctLayer* LowPresDuct = nullptr;
    TDuctLayer* HighPresDuct = nullptr;
    bool ArrowsLoaded = false;
    std::vector<TAirFlowLayer*> AirFlowLayers;
    TTextLayer* PressureLabels = nullptr;
    std::vector<TPositionedLayer*> RoomClickRegions;
    int SelectedRoom = 0;
    bool Busy = false;
    bool SpeedBusy = false;
    std::unique_ptr<TModel> LowPresModel;
    std::unique_ptr<THighPressureModel> HighPresModel;
    bool Metric = false;
    float ScaleFactor = 1.0f;
    TRoomLayer* LeftRoom = nullptr;
    TRoomLayer* RightRoom = nullptr;
    TRoomLayer* Mid1Room = nullptr;
    TRoomLayer* Mid2Room = nullptr;
    std::vector<std::unique_ptr<TRoomData>> RoomData;
    std::vector<TRoomLayer*> RoomLayers;
    bool HighPressure = false;
    // Both systems, every control-loop tick, for the Trends window.
    TTrendRecorder TrendRecorder;
    QPointer<TTrendsWindow> TrendsWindow;

    // ---- the window's own operations ------------------------------------------------
    float DisplayTemperature(double celsius) const;
    float DisplayPressure(double pascal) const;
    float DisplayEnergy(double kilowatt) const;

    void ChangeLoad(int index, int delta);
    void UpdateSunSide();
    void SendLoad(int index, bool cold, int load);
    void ToggleLoadType(int index);
    void StepInitialTemperature(TRoomLayer* room, QLineEdit* edit, int delta);
    void SendRoomTemperature(int index, float celsius);
    void SetpointClick(QLineEdit* edit, TUpDown* upDown);
    void SetStartValues();

    void LoadArrowPaths();
    void ShowArrowsForSystem();

    void UnitsRefresh();
    void ConvertSetpointText(QLineEdit* edit);
    TTextLayer* CreatePressureLabels();

    // The model shown: the high-pressure one when HighPressure is set.
    TModel& SelectedModel() const;

public slots:
    void FormShow();
    void FormActivate();
    void FormDeactivate();
    void FormKeyUp(int key);

    void ControlLoopTimerTimer();
    void FanTimerTimer();
    void ArrowTimerTimer();
    void TrackBarAniSpdChange();

    void SpinBtnLeftUpClick() { ChangeLoad(0, +1); }
    void SpinBtnLeftDownClick() { ChangeLoad(0, -1); }
    void SpinBtnMid1UpClick() { ChangeLoad(1, +1); }
    void SpinBtnMid1DownClick() { ChangeLoad(1, -1); }
    void SpinBtnMid2UpClick() { ChangeLoad(2, +1); }
    void SpinBtnMid2DownClick() { ChangeLoad(2, -1); }
    void SpinBtnRightUpClick() { ChangeLoad(3, +1); }
    void SpinBtnRightDownClick() { ChangeLoad(3, -1); }
    void BtnHotColdLeftClick() { ToggleLoadType(0); }
    void BtnHotColdRightClick() { ToggleLoadType(3); }
    void SpinBtnTempLeftUpClick() { StepInitialTemperature(LeftRoom, EditTemp1, +1); }
    void SpinBtnTempLeftDownClick() { StepInitialTemperature(LeftRoom, EditTemp1, -1); }
    void SpinBtnTempMid1UpClick() { StepInitialTemperature(Mid1Room, EditTemp2, +1); }
    void SpinBtnTempMid1DownClick() { StepInitialTemperature(Mid1Room, EditTemp2, -1); }
    void SpinBtnTempMid2UpClick() { StepInitialTemperature(Mid2Room, EditTemp3, +1); }
    void SpinBtnTempMid2DownClick() { StepInitialTemperature(Mid2Room, EditTemp3, -1); }
    void SpinBtnTempRightUpClick() { StepInitialTemperature(RightRoom, EditTemp4, +1); }
    void SpinBtnTempRightDownClick() { StepInitialTemperature(RightRoom, EditTemp4, -1); }
    void UpDownTempSetpoint1Click() { SetpointClick(EditTempSetpoint1, UpDownTempSetpoint1); }
    void UpDownTempSetpoint2Click() { SetpointClick(EditTempSetpoint2, UpDownTempSetpoint2); }
    void UpDownTempSetpoint3Click() { SetpointClick(EditTempSetpoint3, UpDownTempSetpoint3); }
    void UpDownTempSetpoint4Click() { SetpointClick(EditTempSetpoint4, UpDownTempSetpoint4); }
    void UpDownTempSetpoint1ChangingEx(bool& allowChange, int newValue, TUpDownDirection direction);
    void EditFanSpeedEnter(QWidget* edit);
    void MainImageMouseDown(QMouseEvent* event, TCustomLayer* layer);
    void MainImageMouseMove(QMouseEvent* event, TCustomLayer* layer);

    void BtnToggleSystemsClick();
    void ButSpeedStartClick();
    void RadioImperialClick();
    void RadioMetricClick();
    void BtnLowCaliClick();
    void BtnTrendsClick();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void BuildScene();
    void BuildModels();
    TRoomData* AddRoomData(int index, QLineEdit* scratch, QLineEdit* temp, QLineEdit* disc,
                           QLineEdit* load, QLineEdit* setpoint, TUpDown* upDown,
                           QPushButton* hotCold);
    TRoom* ModelRoom(const TModel& model, int index) const;
    TAirFlowLayer* FlowLayer(int index) const;

    QString FHelpFile;
    // The units the setpoint edits are written in; the designed "22" is °C.
    bool FSetpointTextMetric = true;
    QPointer<QWidget> FMovieFrm;
    TCalibrationLink FLowCali;
    TCalibrationLink FHighCali;
};

// The one main window, once created.
extern TLowPresFrm* LowPresFrm;
