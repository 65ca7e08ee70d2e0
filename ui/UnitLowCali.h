// The low-pressure balancing walkthrough: fan, main duct, two branch ducts,
// each with a damper, a static-pressure controller and three diffusers.
#pragma once

#include "CalibrationForm.h"

class TLowCaliFrm : public TCalibrationForm {
    Q_OBJECT
public:
    static constexpr int StepCount = 12;

    // scale: the main window's ScaleFactor; images: its open or closed image
    // table (left as found). Throws TTableError when the table itself cannot
    // be read.
    TLowCaliFrm(float scale, TEasyTable* images, THelpHook helpHook = {},
                QWidget* parent = nullptr);
    ~TLowCaliFrm() override;

    // Controls under their design names.
    QPushButton* BtnPrev1 = nullptr;
    QPushButton* BtnNext1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPlainTextEdit* MemoDescription = nullptr;
    QLabel* LblAction = nullptr;

    // Target groups.
    TBitmapLayerList* FDiffuserRow = nullptr;
    TBitmapLayerList* FDamper = nullptr;
    TBitmapLayerList* FStaticControl = nullptr;
    TBitmapLayerList* FOneDiffuser = nullptr;

    void BtnNext1Click() { NextClick(); }
    void BtnPrev1Click() { PrevClick(); }
    // Shows the high-pressure walkthrough.
    void BitBtn1Click() { SwitchClick(); }
    void MemoDescriptionEnter() { MemoEnter(); }

protected:
    void BuildScene() override;
    void AddSteps() override;
    TCalibrationForm* Partner() const override;
};

// The one low-pressure walkthrough, once created.
extern TLowCaliFrm* LowCaliFrm;
