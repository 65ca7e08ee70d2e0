#include "UnitLowCali.h"

#include "GR32_Extra.h"
#include "UnitHighCali.h"

TLowCaliFrm* LowCaliFrm = nullptr;

namespace {

struct TStep {
    TBitmapLayerList* TLowCaliFrm::*Group; // null: a closing step without targets
    int X;                                 // design pixels
    int Y;
    const char* Action;
    const char* Description;
};

const TStep StepTable[] = {
    {&TLowCaliFrm::FDamper, 67, 258, "Click in the red square",
     "The first task is to fully open the damper on the \"index\" branch duct (This is usually the branch duct that is furthest from the AHU, or the one that is most likely to be starved if the fan does not supply sufficient air)."},
    {&TLowCaliFrm::FDiffuserRow, 107, 326, "Click on each of the highlighted diffusers",
     "Next, fully open all the diffusers on the branch duct."},
    {&TLowCaliFrm::FStaticControl, 0, 89, "Click in the red square",
     "Now adjust the static pressure in the main duct to the point where the diffuser requiring the highest pressure to satisfy its design volume meets the design airflow requirement."},
    {&TLowCaliFrm::FStaticControl, 209, 238, "Click in the red square",
     "Without changing anything in the branch duct, adjust the branch duct static pressure controller so that the pressure in that branch will be controlled at the level which exists when these measurements are made."},
    {&TLowCaliFrm::FDamper, 67, 123, "Click in the red square",
     "With the main duct static pressure now set, each of the branch duct static pressure controllers may be adjusted according to the following procedure.\r\n\r\nChoose a branch to ballance. Fully open the damper on the branch being ballanced."},
    {&TLowCaliFrm::FDiffuserRow, 107, 191, "Click on each of the highlighted diffusers",
     "Now, fully open all the diffusers on the branch duct."},
    {&TLowCaliFrm::FOneDiffuser, 322, 191, "Click on the highlighted diffuser",
     "Measure the supply air volume from the diffuser requiring the highest pressure to satisfy its design volume using a correctly sized balancing hood."},
    {&TLowCaliFrm::FStaticControl, 0, 89, "Click in the red square",
     "If there is not sufficient pressure, the static pressure in the main duct will have to be adjusted upwards."},
    {&TLowCaliFrm::FOneDiffuser, 322, 191, "Click on the highlighted diffuser",
     "Measure the supply air volume from the diffuser again."},
    {&TLowCaliFrm::FStaticControl, 209, 103, "Click in the red square",
     "Adjust the static pressure in the duct until the desired air volume from this diffuser has been achieved."},
    {&TLowCaliFrm::FOneDiffuser, 107, 191, "Click on the highlighted diffuser",
     "Once this diffuser is satisfied, it is safe to assume that all diffusers further upstream will deliver no less than the design air quantity. \r\nA few random spot checks should confirm this."},
    {nullptr, 0, 0, "Done",
     "In operation the system becomes self-balancing as each diffuser adjusts to the required room load."},
};
static_assert(std::size(StepTable) == TLowCaliFrm::StepCount);

} // namespace

TLowCaliFrm::TLowCaliFrm(float scale, TEasyTable* images, THelpHook helpHook, QWidget* parent)
    : TCalibrationForm(
          TDesign{
              QStringLiteral("Low  Pressure System Calibration"),
              QStringLiteral("Click in the red square"),
              QStringLiteral("BtnPrev1"),
              QStringLiteral("BtnNext1"),
              QStringLiteral("BitBtn1"),
              QStringLiteral("&High Pressure System"),
              QStringLiteral("High Pressure System Calibration procedure"),
              QStringLiteral("MemoDescription"),
              QStringLiteral("Describes the current step of the Low Pressure Calibration procedure"),
              QStringLiteral("LblAction"),
              QStringLiteral("LblAction"),
              false,
              {{270, 38, "250 Pa"},
               {60, 38, "200 Pa"},
               {30, 130, "150 Pa"},
               {31, 170, "170 Pa"},
               {31, 245, "150 Pa"},
               {130, 129, "60 Pa"},
               {340, 129, "60 Pa"},
               {130, 268, "60 Pa"},
               {340, 268, "60 Pa"}},
              {{270, 38, "1\""},
               {60, 38, "0.8\""},
               {30, 130, "0.6\""},
               {31, 170, "0.68\""},
               {31, 245, "0.6\""},
               {130, 129, "0.24\""},
               {340, 129, "0.24\""},
               {130, 268, "0.24\""},
               {340, 268, "0.24\""}},
          },
          scale, images, std::move(helpHook), parent)
{
    BtnPrev1 = FBtnPrev;
    BtnNext1 = FBtnNext;
    BitBtn1 = FBtnSwitch;
    MemoDescription = FMemo;
    LblAction = FLblAction;
    FormCreate();
    // Reachable only once it is complete.
    if (!LowCaliFrm)
        LowCaliFrm = this;
}

TLowCaliFrm::~TLowCaliFrm()
{
    if (LowCaliFrm == this)
        LowCaliFrm = nullptr;
}

void TLowCaliFrm::BuildScene()
{
    // Drawing order: later groups lie on top.
    FBackground = AddBackground(QStringLiteral("LowPres_Balance"),
                                QStringLiteral("LowPres_Balance_Alpha"));

    FDiffuserRow = AddGroup(107, 326);
    for (int x : {107, 215, 322})
        AddTarget(FDiffuserRow, QStringLiteral("LP_Diff"), QStringLiteral("LP1_Diff_Alpha"), x, 326);

    FDamper = AddGroup(0, 0);
    AddTarget(FDamper, QStringLiteral("LP_Damp"), QStringLiteral("LP_Damp_Alpha"), 0, 0);

    // The static-pressure square has the damper square's shape, so it shares its mask.
    FStaticControl = AddGroup(0, 0);
    AddTarget(FStaticControl, QStringLiteral("LP_Static"), QStringLiteral("LP_Damp_Alpha"), 0, 0);

    FOneDiffuser = AddGroup(0, 0);
    AddTarget(FOneDiffuser, QStringLiteral("LP_Diff"), QStringLiteral("LP1_Diff_Alpha"), 0, 0);

    AddFan();
}

void TLowCaliFrm::AddSteps()
{
    for (const TStep& step : StepTable)
        AddStep(step.Group ? this->*step.Group : nullptr, step.X, step.Y, step.Action,
                step.Description);
}

TCalibrationForm* TLowCaliFrm::Partner() const
{
    return HighCaliFrm;
}
