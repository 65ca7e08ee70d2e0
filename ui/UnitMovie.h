// The intro: frames read one at a time from MovieTable and shown over a
// background picture, then the logo and the building fade in and a green
// target blinks until it is clicked. The window releases itself afterwards.
#pragma once

#include <QWidget>

#include <memory>

class QTimer;
class TBitmap32;
class TBitmapLayer;
class TBitmapLayerList;
class TCustomLayer;
class TEasyDatabase;
class TEasyTable;
class TG32_Button;
class TImage32;
class TMultiBitmapLayer;

class TMovieFrm : public QWidget {
    Q_OBJECT
public:
    static constexpr int FrameTotal = 98;
    static constexpr int FrameInterval = 275;  // ms per frame
    static constexpr int FadeInterval = 40;    // ms per fade step
    static constexpr int GreenInterval = 1000; // ms per blink
    static constexpr int DesignClientWidth = 610;
    static constexpr int DesignClientHeight = 410;

    // Reads MovieTable of the database (not owned; it must outlive the
    // window). Shows frame 1 at once and reads frame 2 ahead. Throws
    // TTableError when the table itself cannot be read.
    explicit TMovieFrm(TEasyDatabase* database, QWidget* parent = nullptr);
    ~TMovieFrm() override;

    // "Frame_" + number with four digits.
    static QString FrameName(int number);

    // ---- controls
    TImage32* MainImage;
    TG32_Button* ButSkip;
    QTimer* MovieTimer;
    QTimer* GreenTimer;
    std::unique_ptr<TEasyTable> EasyMovie;

    // ---- state
    int FFrameCount = 0;
    std::unique_ptr<TBitmap32> FNextFrame;
    TBitmapLayer* FFrameLayer = nullptr;
    TBitmapLayerList* FLogoList = nullptr;
    TBitmapLayerList* FGreenList = nullptr;
    bool FClosing = false;

    // The green target (child 0 of FGreenList), or null before the closing stage.
    TMultiBitmapLayer* GreenTarget() const;
    // Frame bitmaps held right now (the shown one and the one read ahead),
    // and the most there have ever been at once.
    int FramesInMemory() const;
    int PeakFramesInMemory() const { return FPeakFrames; }

public slots:
    void FormShow();
    void MovieTimerTimer();
    void GreenTimerTimer();
    void ButSkipClick();
    void MainImageMouseUp(QMouseEvent* event, TCustomLayer* layer);
    void MainImageMouseMove(QMouseEvent* event, TCustomLayer* layer);
    void FormClose();

signals:
    // The window was hidden (the target was clicked): the main window may
    // start its animation now.
    void IntroHidden();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void LoadNextFrame();
    void BuildClosingStage();
    void notePeak();

    int FPeakFrames = 0;
};

// The one intro window while it exists; cleared when it releases itself.
extern TMovieFrm* MovieFrm;
