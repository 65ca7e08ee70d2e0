#include "UnitHighCali.h"

#include "GR32_Extra.h"
#include "UnitLowCali.h"

THighCaliFrm* HighCaliFrm = nullptr;

namespace {

// Descriptions, several of them shared by steps of different boxes.
const char* const D1 =
    "Start with the VAV box that requires the maximum fan discharge pressure to satisfy the minimum pressure at the inlet to that box.\r\n\r\nAdjust the thermostat serving the VAV box to its minimum temperature set point to ensure the VAV box is supplying the maximum air to its downstream diffusers.";
const char* const D2 =
    "Next, each diffuser balancing damper would be opened fully.";
const char* const D3 =
    "Measure the flow through each diffuser to arrive at a total air volume downstream of the VAV box.";
const char* const D4 =
    "Adjust the maximum flow dial of the VAV box up or down, depending on the result.";
const char* const D5 =
    "Check the total flow again and repeat this procedure until the maximum flow rate is within 10% of the total design flow rate.";
const char* const D6 =
    "Close one of the balancing damper until the diffuser delivers within 10% of the design air volume flow rate.";
const char* const D7 =
    "Establish the volume of air now leaving the other diffuser...";
const char* const D8 =
    "... And close its balancing damper until it delivers within 10% of the design air volume flow rate.";
const char* const D9 =
    "Once the second damper has been adjusted, it is necessary to go back to the first to ensure that, having adjusted the second, its flow rate is still within 10% of design air volume flow rate.";
const char* const D10 =
    "If the flow rate is not correct, the damper must be readjusted.";
const char* const D11 =
    "This procedure could be repeated several times, until both are correct.";
const char* const D12 =
    "Adjust the thermostat to the maximum temperature set point so that the VAV box delivers its minimum flow rate.";
const char* const D13 =
    "The total flow of the diffusers down stream of the VAV box is again checked.";
const char* const D14 =
    "Adjust the minimum flow Dial of the VAV box up or down, depending on the result.";
const char* const D15 =
    "This procedure is repeated until the total minimum flow rate is within 10% of the minimum design flow rate.\r\n\r\nNow repeat the procedure for each VAV box and it's associated diffusers.";
const char* const D16 =
    "Adjust the thermostat serving the VAV box to its minimum temperature set point to ensure the VAV box is supplying the maximum air to its downstream diffusers.";
const char* const D17 =
    "Next, fully open the diffuser balancing damper.";
const char* const D18 =
    "Measure the flow through the diffuser.";
const char* const D19 =
    "Check the flow again and repeat this procedure until the maximum flow rate is within 10% of the design flow rate.";
const char* const D20 =
    "Close the balancing damper until the diffuser delivers within 10% of the design air volume flow rate.";
const char* const D21 =
    "The flow of the diffuser down stream of the VAV box is again checked.";
const char* const D22 =
    "This procedure is repeated until the total minimum flow rate is within 10% of the minimum design flow rate.\r\n\r\nNow move to the next VAV box.";
const char* const D23 =
    "This procedure is repeated until the total minimum flow rate is within 10% of the minimum design flow rate.";
const char* const D24 =
    "As the balancing dampers have been set for the maximum airflow rate requirements, there is no further diffuser balancing required.";

struct TStep {
    TBitmapLayerList* THighCaliFrm::*Group; // null: a closing step without targets
    int X;                                  // design pixels
    int Y;
    const char* Action;
    const char* Description;
};

// Four boxes in turn: lower right (steps 1-16), lower left (17-26), upper
// right (27-42), upper left (43-52); then the closing step.
const TStep StepTable[] = {
    {&THighCaliFrm::FThermostat, 245, 273, "Click on the thermostat", D1}, // 1
    {&THighCaliFrm::FDamperPair, 266, 300, "Click on both the highlighted dampers", D2}, // 2
    {&THighCaliFrm::FDiffuserPair, 255, 322, "Click on both the highlighted diffusers", D3}, // 3
    {&THighCaliFrm::FMaxDial, 237, 286, "Click on the red square labeled MAX", D4}, // 4
    {&THighCaliFrm::FDiffuserPair, 255, 322, "Click on both the highlighted diffusers", D5}, // 5
    {&THighCaliFrm::FOneDamper, 410, 300, "Click on the highlighted damper", D6}, // 6
    {&THighCaliFrm::FOneDiffuser, 255, 322, "Click on the highlighted diffuser", D7}, // 7
    {&THighCaliFrm::FOneDamper, 266, 300, "Click on the highlighted damper", D8}, // 8
    {&THighCaliFrm::FOneDiffuser, 400, 322, "Click on the highlighted diffuser", D9}, // 9
    {&THighCaliFrm::FOneDamper, 410, 300, "Click on the highlighted damper", D10}, // 10
    {&THighCaliFrm::FOneDiffuser, 255, 322, "Click on the highlighted diffuser", D11}, // 11
    {&THighCaliFrm::FOneDamper, 266, 300, "Click on the highlighted damper", D11}, // 12
    {&THighCaliFrm::FThermostat, 245, 273, "Click on the thermostat", D12}, // 13
    {&THighCaliFrm::FDiffuserPair, 255, 322, "Click on both the highlighted diffusers", D13}, // 14
    {&THighCaliFrm::FMinDial, 237, 286, "Click on the red square labeled MIN", D14}, // 15
    {&THighCaliFrm::FDiffuserPair, 255, 322, "Click on both the highlighted diffusers", D15}, // 16
    {&THighCaliFrm::FThermostat, 103, 273, "Click on the thermostat", D16}, // 17
    {&THighCaliFrm::FOneDamper, 126, 300, "Click on the highlighted damper", D17}, // 18
    {&THighCaliFrm::FOneDiffuser, 114, 322, "Click on the highlighted diffuser", D18}, // 19
    {&THighCaliFrm::FMaxDial, 95, 286, "Click on the red square labeled MAX", D4}, // 20
    {&THighCaliFrm::FOneDiffuser, 114, 322, "Click on the highlighted diffuser", D19}, // 21
    {&THighCaliFrm::FOneDamper, 126, 300, "Click on the highlighted damper", D20}, // 22
    {&THighCaliFrm::FThermostat, 103, 273, "Click on the thermostat", D12}, // 23
    {&THighCaliFrm::FOneDiffuser, 114, 322, "Click on the highlighted diffuser", D21}, // 24
    {&THighCaliFrm::FMinDial, 95, 286, "Click on the red square labeled MIN", D14}, // 25
    {&THighCaliFrm::FOneDiffuser, 114, 322, "Click on the highlighted diffuser", D22}, // 26
    {&THighCaliFrm::FThermostat, 245, 140, "Click on the thermostat", D16}, // 27
    {&THighCaliFrm::FDamperPair, 266, 162, "Click on both the highlighted dampers", D2}, // 28
    {&THighCaliFrm::FDiffuserPair, 255, 184, "Click on both the highlighted diffusers", D3}, // 29
    {&THighCaliFrm::FMaxDial, 237, 149, "Click on the red square labeled MAX", D4}, // 30
    {&THighCaliFrm::FDiffuserPair, 255, 184, "Click on both the highlighted diffusers", D5}, // 31
    {&THighCaliFrm::FOneDamper, 410, 162, "Click on the highlighted damper", D6}, // 32
    {&THighCaliFrm::FOneDiffuser, 255, 184, "Click on the highlighted diffuser", D7}, // 33
    {&THighCaliFrm::FOneDamper, 266, 162, "Click on the highlighted damper", D8}, // 34
    {&THighCaliFrm::FOneDiffuser, 400, 184, "Click on the highlighted diffuser", D9}, // 35
    {&THighCaliFrm::FOneDamper, 410, 162, "Click on the highlighted damper", D10}, // 36
    {&THighCaliFrm::FOneDiffuser, 255, 184, "Click on the highlighted diffuser", D11}, // 37
    {&THighCaliFrm::FOneDamper, 266, 162, "Click on the highlighted damper", D11}, // 38
    {&THighCaliFrm::FThermostat, 245, 140, "Click on the thermostat", D12}, // 39
    {&THighCaliFrm::FDiffuserPair, 255, 184, "Click on both the highlighted diffusers", D13}, // 40
    {&THighCaliFrm::FMinDial, 237, 149, "Click on the red square labeled MIN", D14}, // 41
    {&THighCaliFrm::FDiffuserPair, 255, 184, "Click on both the highlighted diffusers", D22}, // 42
    {&THighCaliFrm::FThermostat, 103, 140, "Click on the thermostat", D16}, // 43
    {&THighCaliFrm::FOneDamper, 126, 162, "Click on the highlighted damper", D17}, // 44
    {&THighCaliFrm::FOneDiffuser, 114, 184, "Click on the highlighted diffuser", D18}, // 45
    {&THighCaliFrm::FMaxDial, 95, 149, "Click on the red square labeled MAX", D4}, // 46
    {&THighCaliFrm::FOneDiffuser, 114, 184, "Click on the highlighted diffuser", D19}, // 47
    {&THighCaliFrm::FOneDamper, 126, 162, "Click on the highlighted damper", D20}, // 48
    {&THighCaliFrm::FThermostat, 103, 140, "Click on the thermostat", D12}, // 49
    {&THighCaliFrm::FOneDiffuser, 114, 184, "Click on the highlighted diffuser", D21}, // 50
    {&THighCaliFrm::FMinDial, 95, 149, "Click on the red square labeled MIN", D14}, // 51
    {&THighCaliFrm::FOneDiffuser, 114, 184, "Click on the highlighted diffuser", D23}, // 52
    {nullptr, 0, 0, "Done", D24}, // 53
};
static_assert(std::size(StepTable) == THighCaliFrm::StepCount);

} // namespace

THighCaliFrm::THighCaliFrm(float scale, TEasyTable* images, THelpHook helpHook, QWidget* parent)
    : TCalibrationForm(
          TDesign{
              QStringLiteral("High Pressure System Calibration"),
              QStringLiteral("Click on the thermostat"),
              QStringLiteral("BtnPrev2"),
              QStringLiteral("BtnNext2"),
              QStringLiteral("BtnHighCali"),
              QStringLiteral("&Low Pressure System"),
              QStringLiteral("Low Pressure System Calibration procedure"),
              QStringLiteral("MemoDescription2"),
              QStringLiteral("Describes of the current step in the High Pressure Calibration Procedure"),
              QStringLiteral("LblAction2"),
              QStringLiteral("LblAction2"),
              true,
              {{270, 38, "1000 Pa"},
               {220, 127, "500 Pa"},
               {220, 265, "500 Pa"},
               {320, 153, "10 Pa - 60 Pa"},
               {320, 291, "10 Pa - 60 Pa"}},
              // The ranges stand further right: the imperial text is longer.
              {{270, 38, "4\""},
               {220, 127, "2\""},
               {220, 265, "2\""},
               {340, 153, "0.04\" - 0.24\""},
               {340, 291, "0.04\" - 0.24\""}},
          },
          scale, images, std::move(helpHook), parent)
{
    BtnPrev2 = FBtnPrev;
    BtnNext2 = FBtnNext;
    BtnHighCali = FBtnSwitch;
    MemoDescription2 = FMemo;
    LblAction2 = FLblAction;
    FormCreate();
    // Reachable only once it is complete.
    if (!HighCaliFrm)
        HighCaliFrm = this;
}

THighCaliFrm::~THighCaliFrm()
{
    if (HighCaliFrm == this)
        HighCaliFrm = nullptr;
}

void THighCaliFrm::BuildScene()
{
    // Drawing order: later groups lie on top.
    FBackground = AddBackground(QStringLiteral("HighPres_Balance"),
                                QStringLiteral("HighPres_Balance_Alpha"));

    FDiffuserPair = AddGroup(255, 322);
    AddTarget(FDiffuserPair, QStringLiteral("HP_Diff"), QStringLiteral("HP1_Diff_Alpha"), 255, 322);
    AddTarget(FDiffuserPair, QStringLiteral("HP_Diff"), QStringLiteral("HP1_Diff_Alpha"), 400, 322);

    FDamperPair = AddGroup(266, 300);
    AddTarget(FDamperPair, QStringLiteral("HP_Damp"), QStringLiteral("HP1_Damp_Alpha"), 266, 300);
    AddTarget(FDamperPair, QStringLiteral("HP_Damp"), QStringLiteral("HP1_Damp_Alpha"), 410, 300);

    FOneDamper = AddGroup(0, 0);
    AddTarget(FOneDamper, QStringLiteral("HP_Damp"), QStringLiteral("HP1_Damp_Alpha"), 0, 0);

    FOneDiffuser = AddGroup(0, 0);
    AddTarget(FOneDiffuser, QStringLiteral("HP_Diff"), QStringLiteral("HP1_Diff_Alpha"), 0, 0);

    FThermostat = AddGroup(0, 0);
    AddTarget(FThermostat, QStringLiteral("HP_Thermo"), QStringLiteral("HP_Thermo_Alpha"), 0, 0);

    FMaxDial = AddGroup(0, 0);
    AddTarget(FMaxDial, QStringLiteral("HP_DialMax"), QStringLiteral("HP_DialMax_Alpha"), 0, 0);

    FMinDial = AddGroup(0, 0);
    AddTarget(FMinDial, QStringLiteral("HP_DialMin"), QStringLiteral("HP_DialMin_Alpha"), 0, 0);

    AddFan();
}

void THighCaliFrm::AddSteps()
{
    for (const TStep& step : StepTable)
        AddStep(step.Group ? this->*step.Group : nullptr, step.X, step.Y, step.Action,
                step.Description);
}

TCalibrationForm* THighCaliFrm::Partner() const
{
    return LowCaliFrm;
}
