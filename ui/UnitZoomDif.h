#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QSpinBox>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

// A check box whose caption sits on the left and whose box sits at the
// right edge of the control, so stacked boxes line up in one column.
class TLeftCaptionCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TLeftCaptionCheckBox(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

// A panel with a one-pixel border and a lowered inner bevel.
class TBevelPanel : public QFrame {
    Q_OBJECT
public:
    explicit TBevelPanel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Close-up of one room's diffuser: eight pictures of the control disc from
// 30 % to 100 % opening and one of the diffuser in heat mode. The main window
// drives it every control-loop tick unless "Manual Mode" is ticked; in manual
// mode the user steps the disc, shows the heat picture or lets the disc swing
// by itself ("Animate Mode"). Nothing done here reaches the simulation.
class TVSDFrm : public QWidget {
    Q_OBJECT
public:
    // Receives every released key with this window's help topic; the main
    // window's ShowHelpTopic opens the topic on F1.
    using THelpHook = std::function<void(const QString& topic, int key)>;

    static constexpr int DesignWidth = 361;
    static constexpr int DesignHeight = 301;
    static constexpr int PictureCount = 9;   // eight disc openings + heat
    static constexpr int HeatPicture = 8;
    static inline const QString HelpTopic = QStringLiteral("Zoom");

    explicit TVSDFrm(QWidget* parent = nullptr);
    ~TVSDFrm() override;

    void SetHelpHook(THelpHook hook);

    // Controls, named as in the window's design.
    TBevelPanel* PanelDiffuser = nullptr;
    QLabel* ImageDiff = nullptr;
    QLabel* Image0 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Image4 = nullptr;
    QLabel* Image5 = nullptr;
    QLabel* Image6 = nullptr;
    QLabel* Image7 = nullptr;
    QLabel* ImageHeat = nullptr;
    QLabel* lblCaption = nullptr;
    TBevelPanel* Panel1 = nullptr;
    QCheckBox* CheckManual = nullptr;
    QLabel* Label1 = nullptr;
    QSpinBox* SpinDiscOpening = nullptr;
    QPushButton* BtnClose = nullptr;
    QCheckBox* CheckAnimate = nullptr;
    QCheckBox* CheckHeatMode = nullptr;
    QTimer* Timer1 = nullptr;

    // Image0..Image7 (disc at 30 + 10 x i %), then ImageHeat. Not owned.
    QList<QLabel*> FPictures;
    int FPictureIndex = 0;
    int FAnimationStep = 1;
    bool FSpinFocused = false;

    void ResetAnimation();

    // The stored picture i (0..8); a null pixmap when it could not be loaded.
    QPixmap StoredPicture(int index) const;

    // Handlers, named after their control and event.
    void FormCreate();
    void FormDestroy();
    void FormKeyUp(int key);
    void Timer1Timer();
    void SpinDiscOpeningChange();
    void SpinDiscOpeningEnter();
    void SpinDiscOpeningExit();
    void CheckManualClick();
    void CheckAnimateClick();
    void CheckHeatModeClick();
    void BtnCloseClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ShowPicture(int index);
    void WatchKeys(QWidget* widget);

    THelpHook FHelpHook;
    // A released key travels up from the focused control to the window; these
    // let the preview see it once, at the first control it reaches.
    const QEvent* FKeyEvent = nullptr;
    QPointer<QObject> FKeyWatched;
};

// The one close-up window; empty until it is created.
extern TVSDFrm* VSDFrm;
