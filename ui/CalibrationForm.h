// What both calibration walkthrough windows share: the window layout, the
// step mechanics (targets in the picture, a click hides a target, the step
// advances when all of its targets are clicked), Previous and Next, the
// turning fan, closing, keys and the pressure figures.
#pragma once

#include "UnitHotSpot.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QMouseEvent;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class TBitmapLayerList;
class TCustomLayer;
class TEasyTable;
class TImage32;
class TTextLayer;

class TCalibrationForm : public QWidget {
    Q_OBJECT
public:
    // Receives every released key with the window's help topic; the main
    // window's ShowHelpTopic opens the topic on F1 (Qt::Key_F1).
    using THelpHook = std::function<void(const QString& topic, int key)>;

    static inline const QString HelpTopic = QStringLiteral("Calibration_Form");
    static inline const QString Version = QStringLiteral("v1.01a");
    // The logo stored with the window; its height takes part in the window height.
    static inline const QString LogoResource = QStringLiteral(":/closeup/Logo.bmp");
    static constexpr int DesignLogoHeight = 47;

    ~TCalibrationForm() override;

    // Replaces the pressure figures by the metric or the imperial set, on top
    // of every other layer.
    void SetPressureLabels(bool Metric);

    float Scale() const { return FScale; }
    THotSpotGroupList& Steps() { return FSteps; }
    const THotSpotGroupList& Steps() const { return FSteps; }
    TTextLayer* PressureLabels() const { return FPressureLabels; }
    bool FanPhase() const { return FFanPhase; }

    // Controls both windows have under the same name.
    TImage32* MainImage = nullptr;
    QPushButton* BtnClose = nullptr;
    QLabel* Image1 = nullptr;
    QTimer* FanTimer = nullptr;

    // Groups both windows have.
    TBitmapLayerList* FBackground = nullptr;
    TBitmapLayerList* FFan = nullptr;

    // Handlers both windows share under the same name.
    void FormActivate();
    void FormDeactivate();
    void FormKeyUp(int key);
    void FanTimerTimer();
    void BtnCloseClick();
    void MainImageMouseDown(QMouseEvent* event, TCustomLayer* layer);
    void MainImageMouseMove(QMouseEvent* event, TCustomLayer* layer);

protected:
    struct TPressureLabel {
        int X;
        int Y;
        const char* Text;
    };

    // What differs between the two windows' designs.
    struct TDesign {
        QString Caption;
        QString ImageHint;
        QString PrevName, NextName;
        QString SwitchName, SwitchCaption, SwitchHint;
        QString MemoName, MemoHint;
        QString ActionName, ActionCaption;
        bool ActionTransparent = false;
        std::vector<TPressureLabel> MetricLabels;
        std::vector<TPressureLabel> ImperialLabels;
    };

    TCalibrationForm(TDesign design, float scale, TEasyTable* images, THelpHook helpHook,
                     QWidget* parent);

    // Runs the creation that needs the subclass: its groups (BuildScene) and
    // its steps (AddSteps), then begins step 1. Call from the subclass's constructor.
    void FormCreate();
    virtual void BuildScene() = 0;
    virtual void AddSteps() = 0;
    // The other walkthrough window, if it exists.
    virtual TCalibrationForm* Partner() const = 0;

    // Scene building; positions in design pixels. A missing picture has been
    // reported by the loader and leaves its layer empty.
    TBitmapLayerList* AddBackground(const QString& picture, const QString& mask);
    TBitmapLayerList* AddGroup(int x, int y);
    void AddTarget(TBitmapLayerList* group, const QString& picture, const QString& mask, int x,
                   int y);
    void AddFan();
    void AddStep(TBitmapLayerList* group, int x, int y, const char* action,
                 const char* description);

    // The handlers behind the per-window buttons.
    void NextClick();
    void PrevClick();
    void SwitchClick();
    void MemoEnter();

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPushButton* FBtnPrev = nullptr;
    QPushButton* FBtnNext = nullptr;
    QPushButton* FBtnSwitch = nullptr;
    QPlainTextEdit* FMemo = nullptr;
    QLabel* FLblAction = nullptr;

private:
    void CreateControls();
    // The hand pointer over a shown target of the current step, the normal one elsewhere.
    void UpdatePointer(TCustomLayer* layer);
    bool IsCurrentTarget(TCustomLayer* layer) const;
    void RepaintNow();

    TDesign FDesign;
    float FScale;
    TEasyTable* FImages;
    THelpHook FHelpHook;
    THotSpotGroupList FSteps;
    TTextLayer* FPressureLabels = nullptr;
    bool FFanPhase = true;

    // A released key climbs from the focused control to its parents; the
    // window hands it on once, at the first stop.
    const QEvent* FKeyEvent = nullptr;
    QPointer<QObject> FKeyWatched;
};
