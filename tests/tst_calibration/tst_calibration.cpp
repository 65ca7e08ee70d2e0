// Both balancing walkthroughs on the real windows, built from the generated
// asset database: the step tables, clicks on targets with any button, the
// Previous and Next buttons, the pointer, the fan, the pressure figures, the
// help key and closing.
#include "CalibrationForm.h"
#include "GR32_Extra.h"
#include "UnitHighCali.h"
#include "UnitLowCali.h"
#include "UnitTextLayer.h"
#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// The walkthroughs as they must come out, step by step.
struct ExpectedStep {
    const char* group;
    int x, y;
    const char* action;
    const char* description;
};

const ExpectedStep LowSteps[] = {
    {"FDamper", 67, 258, "Click in the red square",
     "The first task is to fully open the damper on the \"index\" branch duct (This is usually the branch duct that is furthest from the AHU, or the one that is most likely to be starved if the fan does not supply sufficient air)."},
    {"FDiffuserRow", 107, 326, "Click on each of the highlighted diffusers",
     "Next, fully open all the diffusers on the branch duct."},
    {"FStaticControl", 0, 89, "Click in the red square",
     "Now adjust the static pressure in the main duct to the point where the diffuser requiring the highest pressure to satisfy its design volume meets the design airflow requirement."},
    {"FStaticControl", 209, 238, "Click in the red square",
     "Without changing anything in the branch duct, adjust the branch duct static pressure controller so that the pressure in that branch will be controlled at the level which exists when these measurements are made."},
    {"FDamper", 67, 123, "Click in the red square",
     "With the main duct static pressure now set, each of the branch duct static pressure controllers may be adjusted according to the following procedure.\r\n\r\nChoose a branch to ballance. Fully open the damper on the branch being ballanced."},
    {"FDiffuserRow", 107, 191, "Click on each of the highlighted diffusers",
     "Now, fully open all the diffusers on the branch duct."},
    {"FOneDiffuser", 322, 191, "Click on the highlighted diffuser",
     "Measure the supply air volume from the diffuser requiring the highest pressure to satisfy its design volume using a correctly sized balancing hood."},
    {"FStaticControl", 0, 89, "Click in the red square",
     "If there is not sufficient pressure, the static pressure in the main duct will have to be adjusted upwards."},
    {"FOneDiffuser", 322, 191, "Click on the highlighted diffuser",
     "Measure the supply air volume from the diffuser again."},
    {"FStaticControl", 209, 103, "Click in the red square",
     "Adjust the static pressure in the duct until the desired air volume from this diffuser has been achieved."},
    {"FOneDiffuser", 107, 191, "Click on the highlighted diffuser",
     "Once this diffuser is satisfied, it is safe to assume that all diffusers further upstream will deliver no less than the design air quantity. \r\nA few random spot checks should confirm this."},
    {"none", 0, 0, "Done",
     "In operation the system becomes self-balancing as each diffuser adjusts to the required room load."},
};
const char* const HighDescriptions[] = {
    nullptr,
    /* D1 */ "Start with the VAV box that requires the maximum fan discharge pressure to satisfy the minimum pressure at the inlet to that box.\r\n\r\nAdjust the thermostat serving the VAV box to its minimum temperature set point to ensure the VAV box is supplying the maximum air to its downstream diffusers.",
    /* D2 */ "Next, each diffuser balancing damper would be opened fully.",
    /* D3 */ "Measure the flow through each diffuser to arrive at a total air volume downstream of the VAV box.",
    /* D4 */ "Adjust the maximum flow dial of the VAV box up or down, depending on the result.",
    /* D5 */ "Check the total flow again and repeat this procedure until the maximum flow rate is within 10% of the total design flow rate.",
    /* D6 */ "Close one of the balancing damper until the diffuser delivers within 10% of the design air volume flow rate.",
    /* D7 */ "Establish the volume of air now leaving the other diffuser...",
    /* D8 */ "... And close its balancing damper until it delivers within 10% of the design air volume flow rate.",
    /* D9 */ "Once the second damper has been adjusted, it is necessary to go back to the first to ensure that, having adjusted the second, its flow rate is still within 10% of design air volume flow rate.",
    /* D10 */ "If the flow rate is not correct, the damper must be readjusted.",
    /* D11 */ "This procedure could be repeated several times, until both are correct.",
    /* D12 */ "Adjust the thermostat to the maximum temperature set point so that the VAV box delivers its minimum flow rate.",
    /* D13 */ "The total flow of the diffusers down stream of the VAV box is again checked.",
    /* D14 */ "Adjust the minimum flow Dial of the VAV box up or down, depending on the result.",
    /* D15 */ "This procedure is repeated until the total minimum flow rate is within 10% of the minimum design flow rate.\r\n\r\nNow repeat the procedure for each VAV box and it's associated diffusers.",
    /* D16 */ "Adjust the thermostat serving the VAV box to its minimum temperature set point to ensure the VAV box is supplying the maximum air to its downstream diffusers.",
    /* D17 */ "Next, fully open the diffuser balancing damper.",
    /* D18 */ "Measure the flow through the diffuser.",
    /* D19 */ "Check the flow again and repeat this procedure until the maximum flow rate is within 10% of the design flow rate.",
    /* D20 */ "Close the balancing damper until the diffuser delivers within 10% of the design air volume flow rate.",
    /* D21 */ "The flow of the diffuser down stream of the VAV box is again checked.",
    /* D22 */ "This procedure is repeated until the total minimum flow rate is within 10% of the minimum design flow rate.\r\n\r\nNow move to the next VAV box.",
    /* D23 */ "This procedure is repeated until the total minimum flow rate is within 10% of the minimum design flow rate.",
    /* D24 */ "As the balancing dampers have been set for the maximum airflow rate requirements, there is no further diffuser balancing required.",
};
struct ExpectedHighStep { const char* group; int x, y; const char* action; int description; };
const ExpectedHighStep HighSteps[] = {
    {"FThermostat", 245, 273, "Click on the thermostat", 1},
    {"FDamperPair", 266, 300, "Click on both the highlighted dampers", 2},
    {"FDiffuserPair", 255, 322, "Click on both the highlighted diffusers", 3},
    {"FMaxDial", 237, 286, "Click on the red square labeled MAX", 4},
    {"FDiffuserPair", 255, 322, "Click on both the highlighted diffusers", 5},
    {"FOneDamper", 410, 300, "Click on the highlighted damper", 6},
    {"FOneDiffuser", 255, 322, "Click on the highlighted diffuser", 7},
    {"FOneDamper", 266, 300, "Click on the highlighted damper", 8},
    {"FOneDiffuser", 400, 322, "Click on the highlighted diffuser", 9},
    {"FOneDamper", 410, 300, "Click on the highlighted damper", 10},
    {"FOneDiffuser", 255, 322, "Click on the highlighted diffuser", 11},
    {"FOneDamper", 266, 300, "Click on the highlighted damper", 11},
    {"FThermostat", 245, 273, "Click on the thermostat", 12},
    {"FDiffuserPair", 255, 322, "Click on both the highlighted diffusers", 13},
    {"FMinDial", 237, 286, "Click on the red square labeled MIN", 14},
    {"FDiffuserPair", 255, 322, "Click on both the highlighted diffusers", 15},
    {"FThermostat", 103, 273, "Click on the thermostat", 16},
    {"FOneDamper", 126, 300, "Click on the highlighted damper", 17},
    {"FOneDiffuser", 114, 322, "Click on the highlighted diffuser", 18},
    {"FMaxDial", 95, 286, "Click on the red square labeled MAX", 4},
    {"FOneDiffuser", 114, 322, "Click on the highlighted diffuser", 19},
    {"FOneDamper", 126, 300, "Click on the highlighted damper", 20},
    {"FThermostat", 103, 273, "Click on the thermostat", 12},
    {"FOneDiffuser", 114, 322, "Click on the highlighted diffuser", 21},
    {"FMinDial", 95, 286, "Click on the red square labeled MIN", 14},
    {"FOneDiffuser", 114, 322, "Click on the highlighted diffuser", 22},
    {"FThermostat", 245, 140, "Click on the thermostat", 16},
    {"FDamperPair", 266, 162, "Click on both the highlighted dampers", 2},
    {"FDiffuserPair", 255, 184, "Click on both the highlighted diffusers", 3},
    {"FMaxDial", 237, 149, "Click on the red square labeled MAX", 4},
    {"FDiffuserPair", 255, 184, "Click on both the highlighted diffusers", 5},
    {"FOneDamper", 410, 162, "Click on the highlighted damper", 6},
    {"FOneDiffuser", 255, 184, "Click on the highlighted diffuser", 7},
    {"FOneDamper", 266, 162, "Click on the highlighted damper", 8},
    {"FOneDiffuser", 400, 184, "Click on the highlighted diffuser", 9},
    {"FOneDamper", 410, 162, "Click on the highlighted damper", 10},
    {"FOneDiffuser", 255, 184, "Click on the highlighted diffuser", 11},
    {"FOneDamper", 266, 162, "Click on the highlighted damper", 11},
    {"FThermostat", 245, 140, "Click on the thermostat", 12},
    {"FDiffuserPair", 255, 184, "Click on both the highlighted diffusers", 13},
    {"FMinDial", 237, 149, "Click on the red square labeled MIN", 14},
    {"FDiffuserPair", 255, 184, "Click on both the highlighted diffusers", 22},
    {"FThermostat", 103, 140, "Click on the thermostat", 16},
    {"FOneDamper", 126, 162, "Click on the highlighted damper", 17},
    {"FOneDiffuser", 114, 184, "Click on the highlighted diffuser", 18},
    {"FMaxDial", 95, 149, "Click on the red square labeled MAX", 4},
    {"FOneDiffuser", 114, 184, "Click on the highlighted diffuser", 19},
    {"FOneDamper", 126, 162, "Click on the highlighted damper", 20},
    {"FThermostat", 103, 140, "Click on the thermostat", 12},
    {"FOneDiffuser", 114, 184, "Click on the highlighted diffuser", 21},
    {"FMinDial", 95, 149, "Click on the red square labeled MIN", 14},
    {"FOneDiffuser", 114, 184, "Click on the highlighted diffuser", 23},
    {"none", 0, 0, "Done", 24},
};


QString DatabaseDir()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/DataBase");
}

// Both windows over one image table, with the help key recorded.
struct Windows {
    TEasyDatabase database;
    std::unique_ptr<TEasyTable> images;
    QList<QPair<QString, int>> help;
    std::unique_ptr<TLowCaliFrm> low;
    std::unique_ptr<THighCaliFrm> high;

    explicit Windows(float scale = 1.0f, const QString& dir = DatabaseDir())
    {
        database.SetDirectory(dir);
        images = std::make_unique<TEasyTable>(&database, QStringLiteral("BitmapTable"));
        auto hook = [this](const QString& topic, int key) { help.append({topic, key}); };
        low = std::make_unique<TLowCaliFrm>(scale, images.get(), hook);
        high = std::make_unique<THighCaliFrm>(scale, images.get(), hook);
    }
    ~Windows()
    {
        high.reset();
        low.reset();
    }
};

QPushButton* NextButton(TCalibrationForm* f)
{
    if (auto* low = qobject_cast<TLowCaliFrm*>(f))
        return low->BtnNext1;
    return static_cast<THighCaliFrm*>(f)->BtnNext2;
}

QPushButton* PrevButton(TCalibrationForm* f)
{
    if (auto* low = qobject_cast<TLowCaliFrm*>(f))
        return low->BtnPrev1;
    return static_cast<THighCaliFrm*>(f)->BtnPrev2;
}

QLabel* ActionLabel(TCalibrationForm* f)
{
    if (auto* low = qobject_cast<TLowCaliFrm*>(f))
        return low->LblAction;
    return static_cast<THighCaliFrm*>(f)->LblAction2;
}

QPlainTextEdit* Memo(TCalibrationForm* f)
{
    if (auto* low = qobject_cast<TLowCaliFrm*>(f))
        return low->MemoDescription;
    return static_cast<THighCaliFrm*>(f)->MemoDescription2;
}

TBitmapLayerList* Group(TCalibrationForm* f, const QString& name)
{
    if (auto* low = qobject_cast<TLowCaliFrm*>(f)) {
        const QHash<QString, TBitmapLayerList*> groups{{QStringLiteral("FDamper"), low->FDamper},
                                                       {QStringLiteral("FDiffuserRow"), low->FDiffuserRow},
                                                       {QStringLiteral("FStaticControl"), low->FStaticControl},
                                                       {QStringLiteral("FOneDiffuser"), low->FOneDiffuser}};
        return groups.value(name);
    }
    auto* high = static_cast<THighCaliFrm*>(f);
    const QHash<QString, TBitmapLayerList*> groups{{QStringLiteral("FThermostat"), high->FThermostat},
                                                   {QStringLiteral("FDamperPair"), high->FDamperPair},
                                                   {QStringLiteral("FDiffuserPair"), high->FDiffuserPair},
                                                   {QStringLiteral("FMaxDial"), high->FMaxDial},
                                                   {QStringLiteral("FMinDial"), high->FMinDial},
                                                   {QStringLiteral("FOneDamper"), high->FOneDamper},
                                                   {QStringLiteral("FOneDiffuser"), high->FOneDiffuser}};
    return groups.value(name);
}

// The targets of the current step that are shown and clickable.
QList<TMultiBitmapLayer*> ShownTargets(TCalibrationForm* f)
{
    QList<TMultiBitmapLayer*> shown;
    if (TBitmapLayerList* group = f->Steps().CurrentLayers())
        for (int i = 0; i < group->ChildCount(); ++i)
            if (IsLayerActive(group->Children(i)))
                shown.append(group->Children(i));
    return shown;
}

// Every layer of the image that is visible and takes clicks.
int ClickableLayers(TCalibrationForm* f)
{
    int n = 0;
    TLayerCollection& layers = f->MainImage->Layers();
    for (int i = 0; i < layers.Count(); ++i)
        if (IsLayerActive(layers.Items(i)))
            ++n;
    return n;
}

QPoint Centre(const TCustomLayer* layer)
{
    return static_cast<const TPositionedLayer*>(layer)->Location().toQRectF().center().toPoint();
}

void GoTo(TCalibrationForm* f, int index)
{
    while (f->Steps().Current() > index)
        PrevButton(f)->click();
    while (f->Steps().Current() < index)
        NextButton(f)->click();
}

void ShowAndWait(QWidget* w)
{
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

} // namespace

class TestCalibration : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void captions();
    void windowSize_data();
    void windowSize();
    void everyPictureIsInTheDatabase();
    void lowSteps_data();
    void lowSteps();
    void highSteps_data();
    void highSteps();
    void firstStep_data();
    void firstStep();
    void stepTwoNeedsEveryDiffuser_data();
    void stepTwoNeedsEveryDiffuser();
    void sharedGroupsJumpBetweenPlaces();
    void previousShowsClickedTargetsAgain();
    void clicksOutsideTargetsDoNothing();
    void doneDisablesNext_data();
    void doneDisablesNext();
    void lastTargetClickReachesDone();
    void previousDisabledOnFirstStep();
    void handPointerOnlyOverShownTargets();
    void fanTurnsOnlyWhileActive();
    void pressureLabels_data();
    void pressureLabels();
    void unitChangeReplacesLabels();
    void f1GoesToTheHelpHookOnce();
    void closingOneClosesBoth_data();
    void closingOneClosesBoth();
    void stepKeptAcrossCloseAndReopen();
    void switchButtonsShowTheOtherWindow();
    void memoRefusesTheFocus();
    void everyTargetLiesInsideThePicture_data();
    void everyTargetLiesInsideThePicture();
    void missingPicturesStillBuildTheWindows();

private:
    std::unique_ptr<TMessageRecorder> m_messages;
};

void TestCalibration::init()
{
    TScreen::SetMetrics(800, 600, 96);
    m_messages = std::make_unique<TMessageRecorder>();
}

void TestCalibration::cleanup()
{
    m_messages.reset();
    TScreen::ResetMetrics();
}

void TestCalibration::captions()
{
    Windows w;
    QCOMPARE(w.low->windowTitle(), QStringLiteral("Low  Pressure System Calibration v1.01a"));
    QCOMPARE(w.high->windowTitle(), QStringLiteral("High Pressure System Calibration v1.01a"));
    QCOMPARE(w.low->BitBtn1->text(), QStringLiteral("&High Pressure System"));
    QCOMPARE(w.high->BtnHighCali->text(), QStringLiteral("&Low Pressure System"));
    QCOMPARE(w.low->MainImage->toolTip(), QStringLiteral("Click in the red square"));
    QCOMPARE(w.high->MainImage->toolTip(), QStringLiteral("Click on the thermostat"));
}

void TestCalibration::windowSize_data()
{
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<int>("screenHeight");
    QTest::addColumn<int>("ppi");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("image");
    // 23 + 472 wide; 120 + 352 + 89 + 31 (47 / 1.5) high.
    QTest::newRow("800 x 600") << 800 << 600 << 96 << QSize(495, 592) << QRect(9, 9, 472, 352);
    QTest::newRow("800 x 600 at 120 ppi") << 800 << 600 << 120 << QSize(495, 592) << QRect(9, 9, 472, 352);
    // [29.44] + 604 wide; [153.6] + 451 + 114 + 31 high.
    QTest::newRow("1024 x 768") << 1024 << 768 << 96 << QSize(633, 750) << QRect(12, 12, 604, 451);
}

void TestCalibration::windowSize()
{
    QFETCH(int, screenWidth);
    QFETCH(int, screenHeight);
    QFETCH(int, ppi);
    QFETCH(QSize, size);
    QFETCH(QRect, image);
    TScreen::SetMetrics(screenWidth, screenHeight, ppi);
    Windows w(ScaleFactorForScreen());
    for (TCalibrationForm* f : {static_cast<TCalibrationForm*>(w.low.get()), static_cast<TCalibrationForm*>(w.high.get())}) {
        QCOMPARE(f->size(), size);
        QCOMPARE(f->MainImage->geometry(), image);
        // The logo keeps its own size.
        QCOMPARE(f->Image1->size(), QSize(207, 47));
    }
}

void TestCalibration::everyPictureIsInTheDatabase()
{
    Windows w;
    // Every picture and mask the two scenes name was found and decoded.
    QCOMPARE(m_messages->messages(), QStringList());
    QCOMPARE(w.low->FBackground->Location(), (TFloatRect{0, 0, 472, 352}));
    QCOMPARE(w.high->FBackground->Location(), (TFloatRect{0, 0, 472, 352}));
    QCOMPARE(w.low->FBackground->Bitmap().DrawMode(), TDrawMode::dmBlend);
}

void TestCalibration::lowSteps_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(LowSteps)); ++i)
        QTest::addRow("step %d", i + 1) << i;
}

void TestCalibration::lowSteps()
{
    QFETCH(int, index);
    TScreen::SetMetrics(1024, 768, 96);
    const float s = ScaleFactorForScreen();
    Windows w(s);
    QCOMPARE(w.low->Steps().Count(), int(std::size(LowSteps)));
    const ExpectedStep& e = LowSteps[index];
    const THotSpot& step = w.low->Steps().Items(index);
    QVERIFY(step.Layers() == Group(w.low.get(), QString::fromUtf8(e.group)));
    QCOMPARE(step.Action(), QString::fromUtf8(e.action));
    QCOMPARE(step.Description(), QString::fromUtf8(e.description));
    if (step.Layers()) {
        QCOMPARE(step.X(), float(e.x) * s);
        QCOMPARE(step.Y(), float(e.y) * s);
    }
}

void TestCalibration::highSteps_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(HighSteps)); ++i)
        QTest::addRow("step %d", i + 1) << i;
}

void TestCalibration::highSteps()
{
    QFETCH(int, index);
    TScreen::SetMetrics(1024, 768, 96);
    const float s = ScaleFactorForScreen();
    Windows w(s);
    QCOMPARE(w.high->Steps().Count(), int(std::size(HighSteps)));
    const ExpectedHighStep& e = HighSteps[index];
    const THotSpot& step = w.high->Steps().Items(index);
    QVERIFY(step.Layers() == Group(w.high.get(), QString::fromUtf8(e.group)));
    QCOMPARE(step.Action(), QString::fromUtf8(e.action));
    QCOMPARE(step.Description(), QString::fromUtf8(HighDescriptions[e.description]));
    if (step.Layers()) {
        QCOMPARE(step.X(), float(e.x) * s);
        QCOMPARE(step.Y(), float(e.y) * s);
    }
}

void TestCalibration::firstStep_data()
{
    QTest::addColumn<bool>("high");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QPointF>("place");
    QTest::addColumn<QString>("action");
    QTest::newRow("low: the red square over the index branch damper")
        << false << QStringLiteral("FDamper") << QPointF(67, 258) << QStringLiteral("Click in the red square");
    QTest::newRow("high: the thermostat of the lower right box")
        << true << QStringLiteral("FThermostat") << QPointF(245, 273) << QStringLiteral("Click on the thermostat");
}

void TestCalibration::firstStep()
{
    QFETCH(bool, high);
    QFETCH(QString, group);
    QFETCH(QPointF, place);
    QFETCH(QString, action);
    Windows w;
    TCalibrationForm* f = high ? static_cast<TCalibrationForm*>(w.high.get()) : w.low.get();
    QCOMPARE(f->Steps().Current(), 0);
    TBitmapLayerList* targets = Group(f, group);
    QVERIFY(f->Steps().CurrentLayers() == targets);
    QCOMPARE(ShownTargets(f).size(), 1);
    QCOMPARE(QPointF(targets->Children(0)->Location().Left, targets->Children(0)->Location().Top), place);
    // Nothing else in the picture takes clicks.
    QCOMPARE(ClickableLayers(f), 1);
    const QString description = high ? QString::fromUtf8(HighDescriptions[1]) : QString::fromUtf8(LowSteps[0].description);
    QCOMPARE(Memo(f)->toPlainText(), QString(description).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(ActionLabel(f)->text(), action);
    QCOMPARE(f->MainImage->toolTip(), action);
    QVERIFY(!PrevButton(f)->isEnabled());
    QVERIFY(NextButton(f)->isEnabled());
}

void TestCalibration::stepTwoNeedsEveryDiffuser_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("left button, left to right") << Qt::LeftButton << QList<int>{0, 1, 2};
    QTest::newRow("right button, right to left") << Qt::RightButton << QList<int>{2, 1, 0};
    QTest::newRow("middle button, middle first") << Qt::MiddleButton << QList<int>{1, 0, 2};
}

void TestCalibration::stepTwoNeedsEveryDiffuser()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QList<int>, order);
    Windows w;
    TLowCaliFrm* f = w.low.get();
    ShowAndWait(f);
    // Step 1: the one red square.
    QTest::mouseClick(f->MainImage, button, {}, Centre(f->FDamper->Children(0)));
    QCOMPARE(f->Steps().Current(), 1);
    QVERIFY(f->BtnPrev1->isEnabled());
    QCOMPARE(f->MainImage->toolTip(), QStringLiteral("Click on each of the highlighted diffusers"));

    for (int n = 0; n < 3; ++n) {
        TMultiBitmapLayer* diffuser = f->FDiffuserRow->Children(order[n]);
        QVERIFY(IsLayerActive(diffuser));
        QTest::mouseClick(f->MainImage, button, {}, Centre(diffuser));
        QVERIFY(!diffuser->Visible());
        QVERIFY(!diffuser->MouseEvents());
        QCOMPARE(f->Steps().Current(), n < 2 ? 1 : 2);
    }
    QCOMPARE(f->LblAction->text(), QStringLiteral("Click in the red square"));
    QCOMPARE(f->MainImage->toolTip(), QStringLiteral("Click in the red square"));
    QVERIFY(f->BtnPrev1->isEnabled());
    QVERIFY(f->BtnNext1->isEnabled());
}

void TestCalibration::sharedGroupsJumpBetweenPlaces()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    ShowAndWait(f);
    GoTo(f, 2);
    TMultiBitmapLayer* square = f->FStaticControl->Children(0);
    QCOMPARE(square->Location().Left, 0.0f);
    QCOMPARE(square->Location().Top, 89.0f);
    // Clicking it begins step 4, which shows the same square on the lower branch.
    QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, Centre(square));
    QCOMPARE(f->Steps().Current(), 3);
    QVERIFY(IsLayerActive(square));
    QCOMPARE(square->Location().Left, 209.0f);
    QCOMPARE(square->Location().Top, 238.0f);

    // Steps 2 and 6 share the diffuser row: in step 6 all three show again, higher up.
    GoTo(f, 1);
    QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, Centre(f->FDiffuserRow->Children(0)));
    GoTo(f, 5);
    QCOMPARE(ShownTargets(f).size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(f->FDiffuserRow->Children(i)->Location().Top, 191.0f);
    QCOMPARE(f->FDiffuserRow->Children(2)->Location().Left, 322.0f);
}

void TestCalibration::previousShowsClickedTargetsAgain()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    ShowAndWait(f);
    GoTo(f, 1);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, Centre(f->FDiffuserRow->Children(i)));
    QCOMPARE(f->Steps().Current(), 2);
    f->BtnPrev1->click();
    QCOMPARE(f->Steps().Current(), 1);
    QCOMPARE(ShownTargets(f).size(), 3);
    QCOMPARE(f->LblAction->text(), QStringLiteral("Click on each of the highlighted diffusers"));
}

void TestCalibration::clicksOutsideTargetsDoNothing()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    ShowAndWait(f);
    f->FanTimerTimer(); // a fan picture shows
    const QPoint fan = Centre(f->FFan->Children(1));
    const QPoint empty(440, 330);
    // Where a diffuser of step 2 will be: hidden now, so not there for clicks.
    const QPoint laterTarget = Centre(f->FDiffuserRow->Children(0));
    for (const QPoint& at : {fan, empty, laterTarget}) {
        QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, at);
        QCOMPARE(f->Steps().Current(), 0);
        QCOMPARE(ShownTargets(f).size(), 1);
    }
}

void TestCalibration::doneDisablesNext_data()
{
    QTest::addColumn<bool>("high");
    QTest::addColumn<QPointF>("previousPlace");
    QTest::newRow("low") << false << QPointF(107, 191);
    QTest::newRow("high") << true << QPointF(114, 184);
}

void TestCalibration::doneDisablesNext()
{
    QFETCH(bool, high);
    QFETCH(QPointF, previousPlace);
    Windows w;
    TCalibrationForm* f = high ? static_cast<TCalibrationForm*>(w.high.get()) : w.low.get();
    const int last = f->Steps().Count() - 1;
    GoTo(f, last);
    QCOMPARE(f->Steps().Current(), last);
    QVERIFY(!NextButton(f)->isEnabled());
    QVERIFY(PrevButton(f)->isEnabled());
    QCOMPARE(ActionLabel(f)->text(), QStringLiteral("Done"));
    QCOMPARE(f->MainImage->toolTip(), QStringLiteral("Done"));
    QCOMPARE(ClickableLayers(f), 0);

    PrevButton(f)->click();
    QCOMPARE(f->Steps().Current(), last - 1);
    QVERIFY(NextButton(f)->isEnabled());
    const QList<TMultiBitmapLayer*> shown = ShownTargets(f);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(QPointF(shown[0]->Location().Left, shown[0]->Location().Top), previousPlace);
}

void TestCalibration::lastTargetClickReachesDone()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    ShowAndWait(f);
    GoTo(f, 10);
    QTest::mouseClick(f->MainImage, Qt::RightButton, {}, Centre(f->FOneDiffuser->Children(0)));
    QCOMPARE(f->Steps().Current(), 11);
    QVERIFY(!f->BtnNext1->isEnabled());
    QCOMPARE(f->MainImage->toolTip(), QStringLiteral("Done"));
    QCOMPARE(f->MemoDescription->toPlainText(), QString::fromUtf8(LowSteps[11].description));
}

void TestCalibration::previousDisabledOnFirstStep()
{
    Windows w;
    THighCaliFrm* f = w.high.get();
    f->BtnNext2->click();
    f->BtnNext2->click();
    QVERIFY(f->BtnPrev2->isEnabled());
    f->BtnPrev2->click();
    QVERIFY(f->BtnPrev2->isEnabled());
    f->BtnPrev2->click();
    QCOMPARE(f->Steps().Current(), 0);
    QVERIFY(!f->BtnPrev2->isEnabled());
    QVERIFY(f->BtnNext2->isEnabled());
    // The thermostat of step 1 shows again at its place.
    QCOMPARE(ShownTargets(f), QList<TMultiBitmapLayer*>{f->FThermostat->Children(0)});
}

void TestCalibration::handPointerOnlyOverShownTargets()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    ShowAndWait(f);
    f->FanTimerTimer();
    GoTo(f, 1);
    auto pointerAt = [f](QPoint at) {
        QTest::mouseMove(f->MainImage, at);
        return f->MainImage->cursor().shape();
    };
    const QPoint first = Centre(f->FDiffuserRow->Children(0));
    const QPoint second = Centre(f->FDiffuserRow->Children(1));
    QCOMPARE(pointerAt(first), Qt::PointingHandCursor);
    QCOMPARE(pointerAt(QPoint(440, 330)), Qt::ArrowCursor);
    QCOMPARE(pointerAt(second), Qt::PointingHandCursor);
    // Clicked away: the pointer turns back at once and stays normal there.
    QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, second);
    QCOMPARE(f->MainImage->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(pointerAt(first), Qt::PointingHandCursor);
    QCOMPARE(pointerAt(second), Qt::ArrowCursor);
    // The fan and the target of another step (the damper of step 1).
    QCOMPARE(pointerAt(Centre(f->FFan->Children(1))), Qt::ArrowCursor);
    QCOMPARE(pointerAt(QPoint(80, 271)), Qt::ArrowCursor);
}

void TestCalibration::fanTurnsOnlyWhileActive()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    TBitmapLayerList* fan = f->FFan;
    // Before the window has been active no fan picture shows.
    QVERIFY(!fan->Children(0)->Visible() && !fan->Children(1)->Visible());
    QVERIFY(!f->FanTimer->isActive());
    QCOMPARE(f->FanTimer->interval(), 100);

    ShowAndWait(f);
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    QVERIFY(f->FanTimer->isActive());
    // The first tick shows the second picture, then they alternate.
    for (bool second : {true, false, true}) {
        f->FanTimerTimer();
        QCOMPARE(fan->Children(1)->Visible(), second);
        QCOMPARE(fan->Children(0)->Visible(), !second);
        QVERIFY(!fan->Children(0)->MouseEvents() && !fan->Children(1)->MouseEvents());
    }

    // Another window becomes the active one: the fan stands still.
    ShowAndWait(w.high.get());
    w.high->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.high.get()));
    QVERIFY(!f->FanTimer->isActive());
    QVERIFY(w.high->FanTimer->isActive());
}

void TestCalibration::pressureLabels_data()
{
    QTest::addColumn<bool>("high");
    QTest::addColumn<bool>("metric");
    QTest::addColumn<QList<QPoint>>("places");
    QTest::addColumn<QStringList>("texts");
    const QList<QPoint> lowPlaces{{270, 38}, {60, 38}, {30, 130}, {31, 170}, {31, 245},
                                  {130, 129}, {340, 129}, {130, 268}, {340, 268}};
    QTest::newRow("low, metric") << false << true << lowPlaces
        << QStringList{"250 Pa", "200 Pa", "150 Pa", "170 Pa", "150 Pa", "60 Pa", "60 Pa", "60 Pa", "60 Pa"};
    QTest::newRow("low, imperial") << false << false << lowPlaces
        << QStringList{"1\"", "0.8\"", "0.6\"", "0.68\"", "0.6\"", "0.24\"", "0.24\"", "0.24\"", "0.24\""};
    QTest::newRow("high, metric") << true << true
        << QList<QPoint>{{270, 38}, {220, 127}, {220, 265}, {320, 153}, {320, 291}}
        << QStringList{"1000 Pa", "500 Pa", "500 Pa", "10 Pa - 60 Pa", "10 Pa - 60 Pa"};
    // The ranges stand 20 pixels further right.
    QTest::newRow("high, imperial") << true << false
        << QList<QPoint>{{270, 38}, {220, 127}, {220, 265}, {340, 153}, {340, 291}}
        << QStringList{"4\"", "2\"", "2\"", "0.04\" - 0.24\"", "0.04\" - 0.24\""};
}

void TestCalibration::pressureLabels()
{
    QFETCH(bool, high);
    QFETCH(bool, metric);
    QFETCH(QList<QPoint>, places);
    QFETCH(QStringList, texts);
    Windows w;
    TCalibrationForm* f = high ? static_cast<TCalibrationForm*>(w.high.get()) : w.low.get();
    QVERIFY(f->PressureLabels() == nullptr);
    f->SetPressureLabels(metric);
    TTextLayer* labels = f->PressureLabels();
    QVERIFY(labels);
    QCOMPARE(labels->LabelCount(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        QCOMPARE(QPoint(labels->Label(i).X, labels->Label(i).Y), places[i]);
        QCOMPARE(labels->Label(i).Text, texts[i]);
    }
    // Over the whole picture, on top of everything, taking no clicks.
    QCOMPARE(labels->Location(), (TFloatRect{0, 0, 472, 352}));
    TLayerCollection& layers = f->MainImage->Layers();
    QVERIFY(layers.Items(layers.Count() - 1) == labels);
    QVERIFY(!labels->MouseEvents());
}

void TestCalibration::unitChangeReplacesLabels()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    const int labelsBefore = TTextlabel::LiveCount();
    const int layersBefore = f->MainImage->Layers().Count();
    f->SetPressureLabels(true);
    f->SetPressureLabels(false);
    f->SetPressureLabels(true);
    // One label layer, the earlier ones freed with their labels.
    QCOMPARE(f->MainImage->Layers().Count(), layersBefore + 1);
    QCOMPARE(TTextlabel::LiveCount() - labelsBefore, 9);
    QCOMPARE(f->PressureLabels()->Label(0).Text, QStringLiteral("250 Pa"));
    // The picture shows it: white figures where the plate was plain.
    f->MainImage->ComposeAll();
    const QImage picture = f->MainImage->Snapshot();
    int white = 0;
    for (int y = 38; y < 50; ++y)
        for (int x = 270; x < 305; ++x)
            white += picture.pixel(x, y) == qRgb(255, 255, 255);
    QVERIFY(white > 20);
}

void TestCalibration::f1GoesToTheHelpHookOnce()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    ShowAndWait(f);
    // Released on the window itself and on a control: the window sees each key once.
    QTest::keyRelease(f, Qt::Key_F1);
    QTest::keyRelease(f->BtnNext1, Qt::Key_F1);
    QTest::keyRelease(f->MemoDescription, Qt::Key_A);
    const QList<QPair<QString, int>> expected{{QStringLiteral("Calibration_Form"), Qt::Key_F1},
                                              {QStringLiteral("Calibration_Form"), Qt::Key_F1},
                                              {QStringLiteral("Calibration_Form"), Qt::Key_A}};
    QCOMPARE(w.help, expected);
    // Keys of the other window are that window's.
    w.help.clear();
    QTest::keyRelease(w.high.get(), Qt::Key_F1);
    QCOMPARE(w.help.size(), 1);
}

void TestCalibration::closingOneClosesBoth_data()
{
    QTest::addColumn<bool>("closeHigh");
    QTest::addColumn<bool>("byButton");
    QTest::newRow("low closed by its button") << false << true;
    QTest::newRow("high closed by its button") << true << true;
    QTest::newRow("low closed by the window frame") << false << false;
    QTest::newRow("high closed by the window frame") << true << false;
}

void TestCalibration::closingOneClosesBoth()
{
    QFETCH(bool, closeHigh);
    QFETCH(bool, byButton);
    Windows w;
    ShowAndWait(w.low.get());
    ShowAndWait(w.high.get());
    TCalibrationForm* f = closeHigh ? static_cast<TCalibrationForm*>(w.high.get()) : w.low.get();
    if (byButton)
        f->BtnClose->click();
    else
        QVERIFY(f->close());
    QVERIFY(!w.low->isVisible());
    QVERIFY(!w.high->isVisible());
    // Only hidden: both can be shown again.
    QVERIFY(!w.low->testAttribute(Qt::WA_DeleteOnClose));
    ShowAndWait(w.low.get());
    QVERIFY(!w.high->isVisible());
}

void TestCalibration::stepKeptAcrossCloseAndReopen()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    ShowAndWait(f);
    GoTo(f, 1);
    QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, Centre(f->FDiffuserRow->Children(1)));
    f->BtnClose->click();
    QVERIFY(!f->isVisible());
    ShowAndWait(f);
    QCOMPARE(f->Steps().Current(), 1);
    QCOMPARE(ShownTargets(f).size(), 2);
    QVERIFY(!IsLayerActive(f->FDiffuserRow->Children(1)));
}

void TestCalibration::switchButtonsShowTheOtherWindow()
{
    Windows w;
    ShowAndWait(w.low.get());
    w.low->BitBtn1->click();
    QVERIFY(w.high->isVisible());
    QVERIFY(w.low->isVisible());
    w.low->hide();
    w.high->BtnHighCali->click();
    QVERIFY(w.low->isVisible());
}

void TestCalibration::memoRefusesTheFocus()
{
    Windows w;
    TLowCaliFrm* f = w.low.get();
    ShowAndWait(f);
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    f->MemoDescription->setFocus(Qt::MouseFocusReason);
    QVERIFY(!f->MemoDescription->hasFocus());
    QVERIFY(f->focusWidget() != f->MemoDescription);
}

void TestCalibration::everyTargetLiesInsideThePicture_data()
{
    QTest::addColumn<bool>("high");
    QTest::addColumn<int>("screenWidth");
    QTest::newRow("low at 800") << false << 800;
    QTest::newRow("high at 800") << true << 800;
    QTest::newRow("low at 1024") << false << 1024;
    QTest::newRow("high at 1024") << true << 1024;
}

void TestCalibration::everyTargetLiesInsideThePicture()
{
    QFETCH(bool, high);
    QFETCH(int, screenWidth);
    TScreen::SetMetrics(screenWidth, screenWidth * 3 / 4, 96);
    Windows w(ScaleFactorForScreen());
    TCalibrationForm* f = high ? static_cast<TCalibrationForm*>(w.high.get()) : w.low.get();
    const QRectF picture(QPointF(0, 0), QSizeF(f->MainImage->size()));
    for (int i = 0; i < f->Steps().Count(); ++i) {
        GoTo(f, i);
        for (TMultiBitmapLayer* target : ShownTargets(f)) {
            const QRectF r = target->Location().toQRectF();
            QVERIFY2(!r.isEmpty() && picture.contains(r),
                     qPrintable(QStringLiteral("step %1: target at %2,%3 %4x%5").arg(i + 1).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
        }
    }
}

void TestCalibration::missingPicturesStillBuildTheWindows()
{
    // An image table without a single picture.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("empty-images"));
        db.setDatabaseName(dir.filePath(QStringLiteral("BitmapTable.bdf")));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE BitmapTable (Name TEXT NOT NULL, Data BLOB, ImageType INTEGER)")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("empty-images"));

    Windows w(1.0f, dir.path());
    QVERIFY(m_messages->messages().size() > 0);
    // The steps are all there; the empty targets can never be clicked, Next still works.
    QCOMPARE(w.low->Steps().Count(), 12);
    QCOMPARE(w.high->Steps().Count(), 53);
    ShowAndWait(w.low.get());
    QTest::mouseClick(w.low->MainImage, Qt::LeftButton, {}, QPoint(80, 271));
    QCOMPARE(w.low->Steps().Current(), 0);
    w.low->BtnNext1->click();
    QCOMPARE(w.low->Steps().Current(), 1);
    QCOMPARE(w.low->LblAction->text(), QStringLiteral("Click on each of the highlighted diffusers"));
    // The table was closed again after the build.
    QVERIFY(!w.images->Active());
}

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
