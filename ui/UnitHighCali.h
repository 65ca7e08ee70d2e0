// The high-pressure balancing walkthrough: four VAV boxes, each with its
// thermostat, MAX and MIN dials, balancing dampers and diffusers.
#pragma once

#include "CalibrationForm.h"

class THighCaliFrm : public TCalibrationForm {
    Q_OBJECT
public:
    static constexpr int StepCount = 53;

    // As TLowCaliFrm.
    THighCaliFrm(float scale, TEasyTable* images, THelpHook helpHook = {},
                 QWidget* parent = nullptr);
    ~THighCaliFrm() override;

    QPushButton* BtnPrev2 = nullptr;
    QPushButton* BtnNext2 = nullptr;
    QPushButton* BtnHighCali = nullptr;
    QPlainTextEdit* MemoDescription2 = nullptr;
    QLabel* LblAction2 = nullptr;

    TBitmapLayerList* FDiffuserPair = nullptr;
    TBitmapLayerList* FDamperPair = nullptr;
    TBitmapLayerList* FOneDamper = nullptr;
    TBitmapLayerList* FOneDiffuser = nullptr;
    TBitmapLayerList* FThermostat = nullptr;
    TBitmapLayerList* FMaxDial = nullptr;
    TBitmapLayerList* FMinDial = nullptr;

    void BtnNext2Click() { NextClick(); }
    void BtnPrev2Click() { PrevClick(); }
    // Shows the low-pressure walkthrough.
    void BtnHighCaliClick() { SwitchClick(); }
    void MemoDescription2Enter() { MemoEnter(); }

protected:
    void BuildScene() override;
    void AddSteps() override;
    TCalibrationForm* Partner() const override;
};

// The one high-pressure walkthrough, once created.
extern THighCaliFrm* HighCaliFrm;
