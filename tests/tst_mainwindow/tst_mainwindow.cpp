// The system simulator window, driven through its real controls on the
// generated asset database: layout and scaling, help key, scene bindings,
// control loop, room inputs, arrow loading, system switch, start-up and
// units. Timer ticks are run by calling the handlers.

#include "../common/AssetFixture.h"

#include "UnitLowPres.h"
#include "UnitZoomDif.h"

#include "GR32_Extra.h"
#include "UnitArrow.h"
#include "UnitModel.h"
#include "UnitRoomLayer.h"
#include "UnitTextLayer.h"
#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/DesignScale.h"
#include "vcl/Format.h"
#include "vcl/Messages.h"
#include "vcl/Rounding.h"
#include "vcl/Screen.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(std::vector<fixture::ArrowRow>)

namespace {

struct HelpCall {
    QString file;
    QString topic;
};
QList<HelpCall> g_helpCalls;

QString BinDir()
{
    return QCoreApplication::applicationDirPath();
}

QString GeneratedDatabase()
{
    return BinDir() + QStringLiteral("/DataBase");
}

QColor TextColour(const QWidget* w, QPalette::ColorRole role = QPalette::Text)
{
    return w->palette().color(role);
}

void Click(QAbstractButton* b)
{
    QTest::mouseClick(b, Qt::LeftButton);
}

void StopTimers(TLowPresFrm& f)
{
    f.ControlLoopTimer->stop();
    f.ArrowTimer->stop();
    f.FanTimer->stop();
}

void Ticks(TLowPresFrm& f, int n)
{
    for (int i = 0; i < n; ++i)
        f.ControlLoopTimerTimer();
}

// Degrees Celsius as the imperial readouts show them.
float Fahrenheit(double c)
{
    return float(c * 1.8 + 32.0);
}

// A database folder holding the generated image table and an arrow table of
// our own.
struct FixtureDatabase {
    QTemporaryDir dir;
    explicit FixtureDatabase(const std::vector<fixture::ArrowRow>& arrows)
    {
        QFile::copy(GeneratedDatabase() + QStringLiteral("/BitmapTable.bdf"),
                    dir.filePath(QStringLiteral("BitmapTable.bdf")));
        fixture::writeArrowTable(dir.path(), arrows);
    }
    QString path() const { return dir.path(); }
};

struct DesignPlace {
    const char* name;
    const char* parent; // nullptr: the window itself
    int l, t, w, h;
};

// Every control of the window at its design place (800-pixel screen).
const DesignPlace kDesign[] = {
    {"MainImage", nullptr, 5, 4, 724, 380},
    {"RichEdit1", "MainImage", 192, 40, 126, 17},
    {"EditTempUnit", "MainImage", 277, 56, 41, 17},
    {"EditSupplyTemperature", "MainImage", 320, 40, 41, 24},
    {"RichEdit3", "MainImage", 248, 79, 70, 17},
    {"EditFanSpeedUnit", "MainImage", 269, 95, 49, 17},
    {"EditFanSpeed", "MainImage", 320, 80, 49, 24},
    {"RichEdit2", "MainImage", 376, 40, 126, 17},
    {"EditEnergyUnit", "MainImage", 461, 56, 41, 17},
    {"EditEnergyConsumption", "MainImage", 505, 41, 56, 24},
    {"RichEdit4", "MainImage", 416, 79, 86, 17},
    {"EditPressureUnit", "MainImage", 448, 95, 54, 17},
    {"EditDuctPressure", "MainImage", 505, 80, 56, 24},
    {"GroupBox1", "MainImage", 601, 8, 113, 80},
    {"RadioImperial", "GroupBox1", 16, 24, 73, 17},
    {"RadioMetric", "GroupBox1", 16, 48, 73, 17},
    {"Edit5", "MainImage", 606, 93, 104, 16},
    {"TrackBarAniSpd", "MainImage", 601, 110, 113, 32},
    {"Edit1", "MainImage", 32, 190, 137, 18},
    {"EditTempSetpoint1", "MainImage", 207, 183, 40, 24},
    {"EditTempSetpoint2", "MainImage", 341, 183, 40, 24},
    {"EditTempSetpoint3", "MainImage", 490, 183, 40, 24},
    {"EditTempSetpoint4", "MainImage", 639, 183, 40, 24},
    {"UpDownTempSetpoint1", "MainImage", 247, 183, 19, 24},
    {"UpDownTempSetpoint2", "MainImage", 381, 183, 19, 24},
    {"UpDownTempSetpoint3", "MainImage", 530, 183, 19, 24},
    {"UpDownTempSetpoint4", "MainImage", 679, 183, 19, 24},
    {"Label4", nullptr, 16, 384, 37, 16},
    {"Label5", nullptr, 16, 398, 78, 16},
    {"Label2", nullptr, 16, 422, 31, 16},
    {"LblDiscOpening", nullptr, 16, 448, 72, 16},
    {"Label7", nullptr, 16, 462, 51, 16},
    {"EditTemp1", nullptr, 137, 384, 40, 24},
    {"EditTemp2", nullptr, 305, 384, 40, 24},
    {"EditTemp3", nullptr, 464, 384, 41, 24},
    {"EditTemp4", nullptr, 624, 384, 41, 24},
    {"SpinBtnTempLeft", nullptr, 178, 385, 20, 22},
    {"SpinBtnTempMid1", nullptr, 346, 385, 20, 22},
    {"SpinBtnTempMid2", nullptr, 506, 385, 20, 22},
    {"SpinBtnTempRight", nullptr, 666, 385, 20, 22},
    {"EditLoad1", nullptr, 137, 416, 40, 24},
    {"EditLoad2", nullptr, 305, 416, 40, 24},
    {"EditLoad3", nullptr, 464, 416, 41, 24},
    {"EditLoad4", nullptr, 624, 416, 41, 24},
    {"SpinBtnLeft", nullptr, 178, 417, 20, 22},
    {"SpinBtnMid1", nullptr, 346, 417, 20, 22},
    {"SpinBtnMid2", nullptr, 506, 417, 20, 22},
    {"SpinBtnRight", nullptr, 666, 417, 20, 22},
    {"BtnHotColdLeft", nullptr, 105, 414, 28, 29},
    {"BtnHotColdRight", nullptr, 592, 414, 30, 29},
    {"EditDiscOpening1", nullptr, 137, 448, 40, 24},
    {"EditDiscOpening2", nullptr, 305, 448, 40, 24},
    {"EditDiscOpening3", nullptr, 464, 448, 41, 24},
    {"EditDiscOpening4", nullptr, 624, 448, 41, 24},
    {"EditScratch1", nullptr, 199, 384, 49, 24},
    {"EditScratch2", nullptr, 367, 384, 49, 24},
    {"EditScratch3", nullptr, 527, 384, 49, 24},
    {"EditScratch4", nullptr, 687, 384, 49, 24},
    {"ButSpeedStart", nullptr, 305, 480, 144, 25},
    {"BtnToggleSystems", nullptr, 464, 480, 161, 25},
    {"BtnLowCali", nullptr, 641, 480, 88, 25},
};

} // namespace

class TstMainWindow : public QObject {
    Q_OBJECT

    QStringList m_messages; // recorded while the last window was built

    std::unique_ptr<TLowPresFrm> make(int width = 800, int height = 600, int ppi = 96)
    {
        TScreen::SetMetrics(width, height, ppi);
        TMessageRecorder recorder;
        auto f = std::make_unique<TLowPresFrm>();
        StopTimers(*f);
        m_messages = recorder.messages();
        return f;
    }

    // Shown as the program shows it (unit texts, start values), timers held.
    std::unique_ptr<TLowPresFrm> makeShown(int width = 800, int height = 600, int ppi = 96)
    {
        auto f = make(width, height, ppi);
        f->show();
        StopTimers(*f);
        return f;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(GeneratedDatabase() + QStringLiteral("/BitmapTable.bdf")),
                 "the generated database must be built first");
        TLowPresFrm::SetDatabaseDirectory(GeneratedDatabase());
        TLowPresFrm::SetHelpHandler([](const QString& file, const QString& topic) {
            g_helpCalls.append({file, topic});
        });
        TScreen::SetMetrics(800, 600, 96);
        new TVSDFrm(); // becomes VSDFrm; lives for the whole run
        VSDFrm->close();
    }

    void cleanupTestCase()
    {
        delete VSDFrm;
        TLowPresFrm::SetHelpHandler(nullptr);
        TLowPresFrm::SetDatabaseDirectory(QString());
        TScreen::ResetMetrics();
    }

    void init()
    {
        g_helpCalls.clear();
        if (VSDFrm) {
            VSDFrm->close();
            VSDFrm->CheckManual->setChecked(false);
            VSDFrm->CheckAnimate->setChecked(false);
        }
    }

    // ---- frame ------------------------------------------------------------------

    void buildsFromTheGeneratedDatabaseWithoutMessages()
    {
        auto f = make();
        QCOMPARE(m_messages, QStringList());
        QCOMPARE(LowPresFrm, f.get());
        QVERIFY(f->ArrowsLoaded);
        QCOMPARE(int(f->AirFlowLayers.size()), 16);
        QVERIFY(!f->Image1->pixmap().isNull());
        QCOMPARE(f->Image1->size(), QSize(207, 47));
        f.reset();
        QCOMPARE(LowPresFrm, nullptr);
    }

    void scaling_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("ppi");
        QTest::addColumn<float>("scale");
        QTest::addColumn<QSize>("windowSize");
        QTest::newRow("800x600") << 800 << 600 << 96 << 1.0f << QSize(747, 584);
        QTest::newRow("800x600@120") << 800 << 600 << 120 << 1.0f << QSize(747, 584);
        // 29 + 927 wide; Round(23.5 + 230.4) + 486 high.
        QTest::newRow("1024x768@96") << 1024 << 768 << 96 << 1.28f << QSize(956, 740);
        QTest::newRow("1024x768@120") << 1024 << 768 << 120 << 1.28f << QSize(956, 740);
        // A wide screen is limited by its height.
        QTest::newRow("1920x600") << 1920 << 600 << 96 << 1.0f << QSize(747, 584);
    }

    void scaling()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, ppi);
        QFETCH(float, scale);
        QFETCH(QSize, windowSize);
        auto f = make(width, height, ppi);
        QCOMPARE(f->ScaleFactor, scale);
        QCOMPARE(f->size(), windowSize);
        const TDesignScale s(scale);
        for (const DesignPlace& d : kDesign) {
            auto* w = f->findChild<QWidget*>(QLatin1String(d.name));
            QVERIFY2(w, d.name);
            QWidget* parent = d.parent ? f->findChild<QWidget*>(QLatin1String(d.parent)) : f.get();
            QVERIFY2(w->parentWidget() == parent, d.name);
            QCOMPARE(w->geometry(), s.rect(d.l, d.t, d.w, d.h));
            // Nothing reaches beyond the control that holds it.
            QVERIFY2(parent->rect().contains(w->geometry()), d.name);
        }
        // The logo keeps its own size at its scaled place.
        QCOMPARE(f->Image1->geometry(), QRect(s.px(13), s.px(482), 207, 47));
        QVERIFY(f->rect().contains(f->Image1->geometry()));
        QCOMPARE(f->font().pixelSize(), s.px(13));
        QCOMPARE(f->BtnHotColdLeft->font().pixelSize(), s.px(20));
        QVERIFY(f->BtnHotColdLeft->font().bold());
    }

    void designTextsAndSettings()
    {
        auto f = make();
        QCOMPARE(f->windowTitle(), QStringLiteral("Low  Pressure System v1.01a"));
        QCOMPARE(f->RichEdit1->text(), QStringLiteral("Supply Temperature"));
        QCOMPARE(f->EditSupplyTemperature->text(), QStringLiteral("15"));
        QCOMPARE(f->EditEnergyConsumption->text(), QStringLiteral("200"));
        QCOMPARE(f->EditTemp3->text(), QStringLiteral("22.5"));
        QCOMPARE(f->EditDiscOpening2->text(), QStringLiteral("30"));
        QCOMPARE(f->EditTempSetpoint4->text(), QStringLiteral("22"));
        QVERIFY(f->RadioImperial->isChecked());
        QCOMPARE(f->TrackBarAniSpd->minimum(), 0);
        QCOMPARE(f->TrackBarAniSpd->maximum(), 100);
        QCOMPARE(f->TrackBarAniSpd->value(), 90);
        QCOMPARE(f->TrackBarAniSpd->tickInterval(), 10);
        for (TUpDown* ud : {f->UpDownTempSetpoint1, f->UpDownTempSetpoint4}) {
            QCOMPARE(ud->Min(), 15);
            QCOMPARE(ud->Max(), 29);
            QCOMPARE(ud->Position(), 22);
        }
        QVERIFY(f->ButSpeedStart->isCheckable());
        QCOMPARE(TextColour(f->ButSpeedStart, QPalette::ButtonText), QColor(Qt::blue));
        QCOMPARE(TextColour(f->BtnHotColdRight, QPalette::ButtonText), QColor(Qt::red));
        QCOMPARE(f->ArrowTimer->interval(), 80);
        QCOMPARE(f->FanTimer->interval(), 100);
        QCOMPARE(f->ControlLoopTimer->interval(), 500);
        QVERIFY(f->EditScratch2->isHidden());
        QCOMPARE(f->SpinBtnLeft->toolTip(), QStringLiteral("Set Load in room"));
        QCOMPARE(f->BtnLowCali->toolTip(), QStringLiteral("Low Pressure Calibration procedure"));
    }

    void controlLoopRunsFromCreation()
    {
        TScreen::SetMetrics(800, 600, 96);
        TMessageRecorder recorder;
        TLowPresFrm f;
        QVERIFY(f.ControlLoopTimer->isActive());
        QVERIFY(!f.ArrowTimer->isActive());
        QVERIFY(!f.FanTimer->isActive());
    }

    void readoutsRefuseTheFocus()
    {
        auto f = makeShown();
        for (QLineEdit* e : {f->EditTemp1, f->EditFanSpeed, f->EditTempSetpoint2, f->EditDiscOpening4}) {
            QVERIFY(e->isReadOnly());
            e->setFocus();
            QVERIFY(!e->hasFocus());
        }
    }

    // ---- help key ---------------------------------------------------------------

    void helpKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("onChild");
        QTest::addColumn<int>("calls");
        QTest::newRow("F1 on the window") << int(Qt::Key_F1) << false << 1;
        QTest::newRow("F1 on a button") << int(Qt::Key_F1) << true << 1;
        QTest::newRow("F2") << int(Qt::Key_F2) << false << 0;
        QTest::newRow("P on a button") << int(Qt::Key_P) << true << 0;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << false << 0;
    }

    void helpKey()
    {
        QFETCH(int, key);
        QFETCH(bool, onChild);
        QFETCH(int, calls);
        auto f = makeShown();
        QWidget* target = onChild ? static_cast<QWidget*>(f->BtnLowCali) : f.get();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(g_helpCalls.size(), calls);
        if (calls) {
            QCOMPARE(g_helpCalls[0].topic, QStringLiteral("Main_System"));
            QCOMPARE(g_helpCalls[0].file, BinDir() + QStringLiteral("/Help/Corv_Air.html"));
        }
    }

    void helpTopicOfOtherWindows()
    {
        auto f = make();
        f->ShowHelpTopic(QStringLiteral("Zoom"), Qt::Key_F1);
        f->ShowHelpTopic(QStringLiteral("Calibration_Form"), Qt::Key_F2);
        QCOMPARE(g_helpCalls.size(), 1);
        QCOMPARE(g_helpCalls[0].topic, QStringLiteral("Zoom"));
    }

    // ---- scene and bindings -----------------------------------------------------

    void sceneOrderAndBindings()
    {
        auto f = make();
        const std::vector<TRoomLayer*> rooms = {f->LeftRoom, f->Mid1Room, f->Mid2Room, f->RightRoom};
        QVERIFY(f->RoomLayers == rooms);
        QCOMPARE(int(f->RoomClickRegions.size()), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(f->RoomClickRegions[size_t(i)], rooms[size_t(i)]->DiffuserSpot());
        QVERIFY(f->LeftRoom->OuterRoom() && f->RightRoom->OuterRoom());
        QVERIFY(!f->Mid1Room->OuterRoom() && !f->Mid2Room->OuterRoom());

        // Drawing order: rooms, low-pressure duct, high-pressure duct, arrows.
        TLayerCollection& c = f->MainImage->Layers();
        int last = -1;
        for (TCustomLayer* l : std::initializer_list<TCustomLayer*>{
                 f->LeftRoom, f->Mid1Room, f->Mid2Room, f->RightRoom, f->LowPresDuct, f->HighPresDuct,
                 f->AirFlowLayers.front(), f->AirFlowLayers.back()}) {
            QVERIFY(c.IndexOf(l) > last);
            last = c.IndexOf(l);
        }
        QVERIFY(f->LowPresDuct->Visible());
        QVERIFY(!f->HighPresDuct->Visible());

        // Room arrows of the table land with their rooms.
        QCOMPARE(f->LeftRoom->LeftFlow, f->AirFlowLayers[4]);
        QCOMPARE(f->LeftRoom->RightFlow, f->AirFlowLayers[5]);
        QCOMPARE(f->Mid2Room->LeftFlow, f->AirFlowLayers[8]);
        QCOMPARE(f->RightRoom->RightFlow, f->AirFlowLayers[11]);
        for (int i = 0; i < 16; ++i)
            QCOMPARE(f->AirFlowLayers[size_t(i)]->Visible(), i >= 4 ? i <= 11 : true);
    }

    void modelsAndRoomData()
    {
        auto f = make();
        QCOMPARE(int(f->LowPresModel->Rooms.size()), 4);
        QCOMPARE(int(f->HighPresModel->Rooms.size()), 4);
        for (const auto& r : f->LowPresModel->Rooms)
            QVERIFY(!dynamic_cast<TCombinedRoom*>(r.get()));
        QVERIFY(!dynamic_cast<TCombinedRoom*>(f->HighPresModel->Rooms[0].get()));
        QVERIFY(!dynamic_cast<TCombinedRoom*>(f->HighPresModel->Rooms[3].get()));
        auto* first = dynamic_cast<TCombinedRoom*>(f->HighPresModel->Rooms[1].get());
        auto* second = dynamic_cast<TCombinedRoom*>(f->HighPresModel->Rooms[2].get());
        QVERIFY(first && second);
        QCOMPARE(first->Partner, second);
        QVERIFY(first->Leads);
        QCOMPARE(second->Partner, first);
        QVERIFY(!second->Leads);
        QCOMPARE(f->LowPresModel->SimulationSpeed, 90);
        QCOMPARE(f->HighPresModel->SimulationSpeed, 90);

        QCOMPARE(int(f->RoomData.size()), 4);
        const QLineEdit* temps[] = {f->EditTemp1, f->EditTemp2, f->EditTemp3, f->EditTemp4};
        const QLineEdit* loads[] = {f->EditLoad1, f->EditLoad2, f->EditLoad3, f->EditLoad4};
        const TUpDown* upDowns[] = {f->UpDownTempSetpoint1, f->UpDownTempSetpoint2,
                                    f->UpDownTempSetpoint3, f->UpDownTempSetpoint4};
        for (int i = 0; i < 4; ++i) {
            const TRoomData& d = *f->RoomData[size_t(i)];
            QCOMPARE(d.EditTemp, temps[i]);
            QCOMPARE(d.EditLoad, loads[i]);
            QCOMPARE(d.UpDownTempSetpoint, upDowns[i]);
            QCOMPARE(d.UpDownTempSetpoint->Associate(), d.EditTempSetpoint);
            for (const QObject* o : std::initializer_list<const QObject*>{
                     d.EditScratch, d.EditTemp, d.EditDiscOpening, d.EditLoad, d.EditTempSetpoint,
                     d.UpDownTempSetpoint})
                QCOMPARE(Tag(o), i);
        }
        QCOMPARE(f->RoomData[0]->BtnHotCold, f->BtnHotColdLeft);
        QCOMPARE(f->RoomData[1]->BtnHotCold, nullptr);
        QCOMPARE(f->RoomData[2]->BtnHotCold, nullptr);
        QCOMPARE(f->RoomData[3]->BtnHotCold, f->BtnHotColdRight);
        QCOMPARE(Tag(f->BtnHotColdRight), 3);
    }

    // ---- control loop -----------------------------------------------------------

    void readoutsFollowTheShownModel_data()
    {
        QTest::addColumn<bool>("high");
        QTest::addColumn<bool>("metric");
        QTest::newRow("low, imperial") << false << false;
        QTest::newRow("low, metric") << false << true;
        QTest::newRow("high, imperial") << true << false;
        QTest::newRow("high, metric") << true << true;
    }

    void readoutsFollowTheShownModel()
    {
        QFETCH(bool, high);
        QFETCH(bool, metric);
        auto f = makeShown();
        if (high)
            Click(f->BtnToggleSystems);
        if (metric)
            Click(f->RadioMetric);
        QCOMPARE(f->HighPressure, high);
        QCOMPARE(f->Metric, metric);
        Ticks(*f, 1);
        const TModel& m = high ? static_cast<const TModel&>(*f->HighPresModel) : *f->LowPresModel;
        const TModel& other = high ? static_cast<const TModel&>(*f->LowPresModel) : *f->HighPresModel;
        // The two plants differ, so the readouts show which model is shown.
        QVERIFY(m.FanSpeed != other.FanSpeed);
        const float t = m.Rooms[1]->GetTemperature();
        QCOMPARE(f->EditTemp2->text(), FormatFloat("%4.2f", metric ? t : Fahrenheit(t)));
        // No load yet: every disc stays at 30 %, shown with a leading blank.
        QCOMPARE(f->EditDiscOpening3->text(), QStringLiteral(" 30"));
        // The high-pressure fan turns 1.5 times as fast as its model says.
        QCOMPARE(f->EditFanSpeed->text(),
                 QString::number(RoundHalfEven((high ? 1.5 : 1.0) * double(m.FanSpeed))));
        if (!high)
            QCOMPARE(f->EditFanSpeed->text(), QStringLiteral("750"));
        QCOMPARE(f->FanTimer->interval(),
                 RoundHalfEven(300.0 - (double(m.FanSpeed) - 750.0) / 970.0 * 285.0));
        QCOMPARE(f->EditSupplyTemperature->text(), metric ? QStringLiteral("15") : QStringLiteral("59"));
        QCOMPARE(TextColour(f->EditSupplyTemperature), QColor(Qt::blue));
        const float pressure = metric ? m.DuctPressure : float(m.DuctPressure / 249.1);
        const float energy = metric ? m.EnergyConsumption : float(m.EnergyConsumption * 1.341);
        QCOMPARE(f->EditDuctPressure->text(), FormatFloat("%5.2f", pressure));
        QCOMPARE(f->EditEnergyConsumption->text(), FormatFloat("%5.3f", energy));
        QCOMPARE(f->EditTempUnit->text(), metric ? QStringLiteral("( °C )") : QStringLiteral("( °F )"));
        QCOMPARE(f->EditPressureUnit->text(), metric ? QStringLiteral("( Pa )") : QStringLiteral("( ins.wg )"));
        QCOMPARE(f->EditEnergyUnit->text(), metric ? QStringLiteral("( kW )") : QStringLiteral("( Hp )"));
    }

    void hiddenSystemKeepsRunning()
    {
        auto f = makeShown();
        Click(f->SpinBtnMid1->UpButton());
        Click(f->SpinBtnMid1->UpButton());
        Ticks(*f, 20);
        // The high-pressure model moved although the low-pressure one was shown.
        const float highTemp = f->HighPresModel->Rooms[1]->GetTemperature();
        QVERIFY(highTemp != 22.0f);
        Click(f->BtnToggleSystems);
        const float before = f->HighPresModel->Rooms[1]->GetTemperature();
        Ticks(*f, 1);
        QCOMPARE(f->EditTemp2->text(),
                 FormatFloat("%4.2f", Fahrenheit(f->HighPresModel->Rooms[1]->GetTemperature())));
        QVERIFY(f->HighPresModel->Rooms[1]->GetTemperature() != before);
    }

    void heatingRoomsShowRed()
    {
        auto f = makeShown();
        // A full hot load keeps the centre-left room from heating.
        for (int i = 0; i < 4; ++i)
            Click(f->SpinBtnMid1->UpButton());
        Ticks(*f, 40);
        const TModel& m = *f->LowPresModel;
        QVERIFY(!m.Rooms[1]->IsHeating());
        QVERIFY(m.Rooms[0]->IsHeating());
        for (int i = 0; i < 4; ++i) {
            const TRoomData& d = *f->RoomData[size_t(i)];
            QCOMPARE(TextColour(d.EditTemp), QColor(m.Rooms[size_t(i)]->IsHeating() ? Qt::red : Qt::black));
            QCOMPARE(d.EditScratch->text(), FormatFloat("%4.2f", m.Rooms[size_t(i)]->GetHeatRate()));
        }
    }

    // ---- start-up ---------------------------------------------------------------

    void startupSequence()
    {
        auto f = makeShown();
        Click(f->ButSpeedStart);
        QVERIFY(f->ButSpeedStart->isChecked());
        QCOMPARE(TextColour(f->ButSpeedStart, QPalette::ButtonText), QColor(Qt::red));
        QCOMPARE(f->LowPresModel->SupplyTemperature, 26.0f);
        QCOMPARE(f->HighPresModel->SupplyTemperature, 26.0f);
        Ticks(*f, 1);
        QCOMPARE(f->EditSupplyTemperature->text(), QStringLiteral("79"));
        QCOMPARE(TextColour(f->EditSupplyTemperature), QColor(Qt::red));
        // The plant warms the building until a room reaches its setpoint; the
        // tick then releases the button.
        int n = 0;
        while (f->LowPresModel->SupplyTemperature != 15.0f && n++ < 5000) {
            QVERIFY(f->ButSpeedStart->isChecked());
            Ticks(*f, 1);
        }
        QCOMPARE(f->LowPresModel->SupplyTemperature, 15.0f);
        QVERIFY(!f->ButSpeedStart->isChecked());
        QCOMPARE(TextColour(f->ButSpeedStart, QPalette::ButtonText), QColor(Qt::blue));
        QCOMPARE(f->EditSupplyTemperature->text(), QStringLiteral("59"));
        QCOMPARE(TextColour(f->EditSupplyTemperature), QColor(Qt::blue));
    }

    void startupStopsBothWhenTheShownSystemHasEnded()
    {
        auto f = makeShown();
        Click(f->BtnToggleSystems);
        Click(f->ButSpeedStart);
        // The high-pressure plant ends its start-up first; the tick releases
        // the button while the low-pressure one is still warming up.
        f->HighPresModel->SetSupplyTemperature(15);
        for (int i = 0; i < 4; ++i)
            f->HighPresModel->SetRoomTemperature(i, 22.0);
        Ticks(*f, 1);
        QCOMPARE(f->HighPresModel->SupplyTemperature, 15.0f);
        QCOMPARE(f->LowPresModel->SupplyTemperature, 26.0f);
        QVERIFY(!f->ButSpeedStart->isChecked());
        Click(f->ButSpeedStart);
        QCOMPARE(f->LowPresModel->SupplyTemperature, 15.0f);
        QCOMPARE(f->HighPresModel->SupplyTemperature, 15.0f);
        QVERIFY(!f->ButSpeedStart->isChecked());
        QCOMPARE(TextColour(f->ButSpeedStart, QPalette::ButtonText), QColor(Qt::blue));
    }

    void supplyColourChangesOnlyAtItsTwoValues()
    {
        auto f = makeShown();
        Click(f->BtnToggleSystems);
        Click(f->ButSpeedStart);
        Ticks(*f, 1);
        QCOMPARE(TextColour(f->EditSupplyTemperature), QColor(Qt::red));
        // Neither value: warm rooms, so the plant does not restart its warm-up.
        f->HighPresModel->SupplyTemperature = 20.0f;
        for (int i = 0; i < 4; ++i)
            f->HighPresModel->SetRoomTemperature(i, 22.0);
        f->HighPresModel->SetSimulationSpeed(0);
        f->LowPresModel->SetSimulationSpeed(0);
        Ticks(*f, 1);
        QCOMPARE(f->EditSupplyTemperature->text(), QStringLiteral("68"));
        QCOMPARE(TextColour(f->EditSupplyTemperature), QColor(Qt::red));
    }

    // ---- room inputs ------------------------------------------------------------

    void coldLoadOfLevelThree()
    {
        auto f = makeShown();
        Click(f->BtnHotColdRight);
        QCOMPARE(f->BtnHotColdRight->text(), QStringLiteral("C"));
        QCOMPARE(TextColour(f->BtnHotColdRight, QPalette::ButtonText), QColor(Qt::blue));
        for (int i = 0; i < 3; ++i)
            Click(f->SpinBtnRight->UpButton());
        QCOMPARE(f->EditLoad4->text(), QStringLiteral("75"));
        QCOMPARE(f->LowPresModel->Rooms[3]->Load, -75);
        QCOMPARE(f->HighPresModel->Rooms[3]->Load, -75);
        QCOMPARE(f->RightRoom->ColdLevel(), 3);

        // Back to hot: the load starts again from 0 and the models hear it.
        Click(f->BtnHotColdRight);
        QCOMPARE(f->BtnHotColdRight->text(), QStringLiteral("H"));
        QCOMPARE(TextColour(f->BtnHotColdRight, QPalette::ButtonText), QColor(Qt::red));
        QCOMPARE(f->EditLoad4->text(), QStringLiteral("0"));
        QCOMPARE(f->LowPresModel->Rooms[3]->Load, 0);
        QCOMPARE(f->HighPresModel->Rooms[3]->Load, 0);
    }

    void loadStopsAtItsLimits()
    {
        auto f = makeShown();
        Click(f->SpinBtnMid2->DownButton());
        QCOMPARE(f->EditLoad3->text(), QStringLiteral("0"));
        for (int i = 0; i < 4; ++i)
            Click(f->SpinBtnMid2->UpButton());
        QCOMPARE(f->EditLoad3->text(), QStringLiteral("100"));
        // A model change at the limit would show here: the window must not send.
        f->LowPresModel->Rooms[2]->Load = 7;
        Click(f->SpinBtnMid2->UpButton());
        QCOMPARE(f->EditLoad3->text(), QStringLiteral("100"));
        QCOMPARE(f->LowPresModel->Rooms[2]->Load, 7);
        QCOMPARE(f->HighPresModel->Rooms[2]->Load, 100);
        QCOMPARE(f->Mid2Room->HotLevel(), 4);
    }

    void sunGoesToOneOuterRoom_data()
    {
        QTest::addColumn<int>("rightLoadWhenLeftClears");
        QTest::addColumn<bool>("rightShowsSunAfterwards");
        QTest::newRow("right without load takes the sun back") << 0 << false;
        QTest::newRow("right with a hot load keeps its overlays") << 2 << true;
    }

    void sunGoesToOneOuterRoom()
    {
        QFETCH(int, rightLoadWhenLeftClears);
        QFETCH(bool, rightShowsSunAfterwards);
        auto f = makeShown();
        Click(f->SpinBtnLeft->UpButton());
        QVERIFY(f->LeftRoom->HasSunLoad());
        QVERIFY(f->RightRoom->HotMode());
        for (int i = 0; i < 2; ++i)
            Click(f->SpinBtnRight->UpButton());
        QVERIFY(f->RightRoom->HasHotLoad());
        QVERIFY(!f->RightRoom->HasSunLoad());
        for (int i = rightLoadWhenLeftClears; i < 2; ++i)
            Click(f->SpinBtnRight->DownButton());
        QCOMPARE(f->RightRoom->GetLoad(), rightLoadWhenLeftClears);
        Click(f->SpinBtnLeft->DownButton());
        QCOMPARE(f->LeftRoom->GetLoad(), 0);
        // Without a hot load the right room goes back to sun mode at once;
        // with one it keeps the hot overlays.
        QCOMPARE(f->RightRoom->HotMode(), rightShowsSunAfterwards);
        QCOMPARE(f->RightRoom->GetLoad(), rightLoadWhenLeftClears);
        if (!rightShowsSunAfterwards) {
            Click(f->SpinBtnRight->UpButton());
            QVERIFY(f->RightRoom->HasSunLoad());
            QCOMPARE(f->LowPresModel->Rooms[3]->Load, 25);
        }
    }

    void initialTemperatureBound()
    {
        auto f = makeShown();
        // The last temperature the control loop gave the room.
        f->LeftRoom->SetTemperature(49.5f);
        Click(f->SpinBtnTempLeft->UpButton());
        QCOMPARE(f->LeftRoom->Temperature(), 50.5f);
        QCOMPARE(f->EditTemp1->text(), QStringLiteral("122.90"));
        QCOMPARE(f->LowPresModel->Rooms[0]->GetTemperature(), 50.5f);
        QCOMPARE(f->HighPresModel->Rooms[0]->GetTemperature(), 50.5f);
        Click(f->SpinBtnTempLeft->UpButton());
        Click(f->SpinBtnTempLeft->DownButton());
        QCOMPARE(f->LeftRoom->Temperature(), 50.5f);
        QCOMPARE(f->LowPresModel->Rooms[0]->GetTemperature(), 50.5f);

        f->RightRoom->SetTemperature(-19.5f);
        Click(f->SpinBtnTempRight->DownButton());
        QCOMPARE(f->RightRoom->Temperature(), -20.5f);
        Click(f->SpinBtnTempRight->UpButton());
        QCOMPARE(f->RightRoom->Temperature(), -20.5f);

        // The models do not recalculate: the readouts wait for the next tick.
        Click(f->RadioMetric);
        f->Mid1Room->SetTemperature(22.0f);
        Click(f->SpinBtnTempMid1->DownButton());
        QCOMPARE(f->EditTemp2->text(), QStringLiteral("21.00"));
        QCOMPARE(f->LowPresModel->Rooms[1]->GetTemperature(), 21.0f);
    }

    void setpointTexts()
    {
        auto f = makeShown();
        // Shown in imperial units at start.
        QCOMPARE(f->EditTempSetpoint1->text(), QStringLiteral("71.60"));
        QCOMPARE(f->LowPresModel->Rooms[0]->Setpoint, 22);
        Click(f->RadioMetric);
        QCOMPARE(f->EditTempSetpoint1->text(), QStringLiteral("22"));
        Click(f->RadioImperial);
        QCOMPARE(f->EditTempSetpoint1->text(), QStringLiteral("71.60"));
        // Imperial is selected already: nothing changes.
        f->EditTempSetpoint2->setText(QStringLiteral("marker"));
        Click(f->RadioImperial);
        QCOMPARE(f->EditTempSetpoint2->text(), QStringLiteral("marker"));
        QVERIFY(!f->Metric);
    }

    void setpointUpDown_data()
    {
        QTest::addColumn<bool>("metric");
        QTest::addColumn<int>("ups");
        QTest::addColumn<int>("downs");
        QTest::addColumn<int>("setpoint");
        QTest::addColumn<QString>("text");
        QTest::newRow("22 to 23 imperial") << false << 1 << 0 << 23 << QStringLiteral("73.40");
        QTest::newRow("22 to 23 metric") << true << 1 << 0 << 23 << QStringLiteral("23");
        QTest::newRow("stops at 29") << true << 9 << 0 << 29 << QStringLiteral("29");
        QTest::newRow("stops at 15") << false << 0 << 9 << 15 << QStringLiteral("59.00");
    }

    void setpointUpDown()
    {
        QFETCH(bool, metric);
        QFETCH(int, ups);
        QFETCH(int, downs);
        QFETCH(int, setpoint);
        QFETCH(QString, text);
        auto f = makeShown();
        if (metric)
            Click(f->RadioMetric);
        int clicks = 0;
        connect(f->UpDownTempSetpoint3, &TUpDown::Click, this, [&clicks] { ++clicks; });
        for (int i = 0; i < ups; ++i)
            Click(f->UpDownTempSetpoint3->UpButton());
        for (int i = 0; i < downs; ++i)
            Click(f->UpDownTempSetpoint3->DownButton());
        QCOMPARE(f->UpDownTempSetpoint3->Position(), setpoint);
        QCOMPARE(f->EditTempSetpoint3->text(), text);
        QCOMPARE(f->LowPresModel->Rooms[2]->Setpoint, setpoint);
        QCOMPARE(f->HighPresModel->Rooms[2]->Setpoint, setpoint);
        // Clicks beyond the range are refused before they reach the window.
        QCOMPARE(clicks, std::abs(setpoint - 22));
    }

    void startValuesOnEveryShow()
    {
        auto f = makeShown();
        QCOMPARE(f->EditTemp1->text(), QStringLiteral("71.60"));
        Click(f->UpDownTempSetpoint2->UpButton());
        Click(f->RadioMetric);
        f->hide();
        f->show();
        StopTimers(*f);
        QCOMPARE(f->EditTemp1->text(), QStringLiteral("22.00"));
        QCOMPARE(f->UpDownTempSetpoint2->Position(), 22);
        QCOMPARE(f->EditTempSetpoint2->text(), QStringLiteral("22"));
        QCOMPARE(f->LowPresModel->Rooms[1]->Setpoint, 22);
        Click(f->UpDownTempSetpoint4->UpButton());
        Click(f->RadioImperial);
        f->hide();
        f->show();
        StopTimers(*f);
        // Rewritten in the units on show, not as bare degrees Celsius, and
        // texts already in these units are not converted again.
        QCOMPARE(f->EditTempSetpoint4->text(), QStringLiteral("71.60"));
        QCOMPARE(f->EditTempSetpoint1->text(), QStringLiteral("71.60"));
    }

    void trackBarSetsTheSimulationSpeed()
    {
        auto f = makeShown();
        f->TrackBarAniSpd->setValue(0);
        QCOMPARE(f->LowPresModel->SimulationSpeed, 0);
        QCOMPARE(f->HighPresModel->SimulationSpeed, 0);
        QCOMPARE(f->ArrowTimer->interval(), 80);
        f->SpeedBusy = true;
        f->TrackBarAniSpd->setValue(50);
        QCOMPARE(f->LowPresModel->SimulationSpeed, 0);
    }

    // ---- diffuser close-up ------------------------------------------------------

    void diffuserClickPlacesTheCloseUp_data()
    {
        QTest::addColumn<int>("room");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("atMainRightEdge");
        QTest::newRow("left") << 0 << QStringLiteral("Left Room") << true;
        QTest::newRow("centre left") << 1 << QStringLiteral("Centre: Left") << true;
        QTest::newRow("centre right") << 2 << QStringLiteral("Centre: Right") << false;
        QTest::newRow("right") << 3 << QStringLiteral("Right Room") << false;
    }

    void diffuserClickPlacesTheCloseUp()
    {
        QFETCH(int, room);
        QFETCH(QString, caption);
        QFETCH(bool, atMainRightEdge);
        auto f = make();
        f->move(30, 40);
        f->show();
        StopTimers(*f);
        VSDFrm->move(500, 77);
        const QPoint spot = f->RoomClickRegions[size_t(room)]->Location().toQRectF().center().toPoint();
        QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, spot);
        QVERIFY(VSDFrm->isVisible());
        QCOMPARE(VSDFrm->lblCaption->text(), caption);
        QCOMPARE(f->SelectedRoom, room);
        const QRect main = f->frameGeometry();
        const QRect closeUp = VSDFrm->frameGeometry();
        if (atMainRightEdge)
            QCOMPARE(closeUp.right(), main.right());
        else
            QCOMPARE(closeUp.left(), main.left());
        QCOMPARE(closeUp.top(), 77);
    }

    void diffuserClickAndCursorOnlyInTheLowPressureSystem()
    {
        auto f = makeShown();
        const QPoint spot = f->RoomClickRegions[1]->Location().toQRectF().center().toPoint();
        QTest::mouseMove(f->MainImage, spot);
        QCOMPARE(f->MainImage->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(f->MainImage, QPoint(2, 2));
        QCOMPARE(f->MainImage->cursor().shape(), Qt::ArrowCursor);

        Click(f->BtnToggleSystems);
        QTest::mouseMove(f->MainImage, spot);
        QCOMPARE(f->MainImage->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, spot);
        QVERIFY(!VSDFrm->isVisible());
    }

    void closeUpFollowsItsRoom()
    {
        auto f = makeShown();
        const QPoint spot = f->RoomClickRegions[0]->Location().toQRectF().center().toPoint();
        QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, spot);
        QVERIFY(VSDFrm->isVisible());
        // A full hot load opens the left room's disc.
        for (int i = 0; i < 4; ++i)
            Click(f->SpinBtnLeft->UpButton());
        int n = 0;
        while (f->LowPresModel->Rooms[0]->GetDiscOpening() < 60.0f && n++ < 2000)
            Ticks(*f, 1);
        const TRoom& r = *f->LowPresModel->Rooms[0];
        QVERIFY(r.GetDiscOpening() >= 60.0f);
        QCOMPARE(VSDFrm->SpinDiscOpening->value(), RoundHalfEven(r.GetDiscOpening()));
        QCOMPARE(VSDFrm->CheckHeatMode->isChecked(), r.IsHeating());

        // In manual mode, and while animating, the close-up is left alone.
        VSDFrm->CheckManual->setChecked(true);
        VSDFrm->SpinDiscOpening->setValue(40);
        Ticks(*f, 1);
        QCOMPARE(VSDFrm->SpinDiscOpening->value(), 40);
        VSDFrm->CheckAnimate->setChecked(true);
        VSDFrm->Timer1->stop();
        const int animated = VSDFrm->SpinDiscOpening->value();
        Ticks(*f, 1);
        QCOMPARE(VSDFrm->SpinDiscOpening->value(), animated);
        VSDFrm->CheckManual->setChecked(false);
        Ticks(*f, 1);
        QCOMPARE(VSDFrm->SpinDiscOpening->value(), RoundHalfEven(r.GetDiscOpening()));

        // It follows the room opened last, not the others.
        f->SelectedRoom = 2;
        Ticks(*f, 1);
        const TRoom& other = *f->LowPresModel->Rooms[2];
        QVERIFY(RoundHalfEven(other.GetDiscOpening()) != RoundHalfEven(r.GetDiscOpening()));
        QCOMPARE(VSDFrm->SpinDiscOpening->value(), RoundHalfEven(other.GetDiscOpening()));
        QCOMPARE(VSDFrm->CheckHeatMode->isChecked(), other.IsHeating());
    }

    void switchAndCalibrationCloseTheCloseUp()
    {
        auto f = makeShown();
        const QPoint spot = f->RoomClickRegions[2]->Location().toQRectF().center().toPoint();
        QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, spot);
        QVERIFY(VSDFrm->isVisible());
        Click(f->BtnToggleSystems);
        QVERIFY(!VSDFrm->isVisible());
        Click(f->BtnToggleSystems);
        QTest::mouseClick(f->MainImage, Qt::LeftButton, {}, spot);
        QVERIFY(VSDFrm->isVisible());

        // The low-pressure walkthrough takes the close-up's place.
        QWidget low;
        QWidget high;
        QList<bool> labels;
        f->SetCalibrationWindows({&low, [&](bool m) { labels.append(m); }}, {&high, {}});
        Click(f->BtnLowCali);
        QVERIFY(low.isVisible());
        QVERIFY(!high.isVisible());
        QVERIFY(!VSDFrm->isVisible());
        Click(f->RadioMetric);
        QCOMPARE(labels, QList<bool>{true});
        low.hide();
        Click(f->BtnToggleSystems);
        Click(f->BtnLowCali);
        QVERIFY(high.isVisible());
        QVERIFY(!low.isVisible());
    }

    // ---- system switch and units ------------------------------------------------

    void systemSwitch()
    {
        auto f = makeShown();
        Click(f->BtnToggleSystems);
        QVERIFY(f->HighPressure);
        QCOMPARE(f->windowTitle(), QStringLiteral("High Pressure System v1.01a"));
        QCOMPARE(f->BtnToggleSystems->text(), QStringLiteral("&Low Pressure System"));
        QCOMPARE(f->LblDiscOpening->text(), QStringLiteral("VAV Box"));
        QVERIFY(f->EditTempSetpoint3->isHidden());
        QVERIFY(f->UpDownTempSetpoint3->isHidden());
        QVERIFY(f->EditDiscOpening3->isHidden());
        QVERIFY(!f->LowPresDuct->Visible());
        QVERIFY(f->HighPresDuct->Visible() && f->HighPresDuct->Active());
        for (int i = 0; i < 16; ++i)
            QCOMPARE(f->AirFlowLayers[size_t(i)]->Visible(), i >= 4);
        // Room arrows take their strength from the box openings at once.
        QCOMPARE(f->LeftRoom->LeftFlow->Strength(), 0.3f);
        QCOMPARE(f->RightRoom->RightFlow->Strength(), 0.3f);
        QCOMPARE(f->RightRoom->RightFlow->Points(), f->RightRoom->RightFlow->FullPoints() / 2);
        QVERIFY(!f->RightRoom->RightFlow->StrengthChanged());
        // The fan of the duct in use shows a frame at once.
        QVERIFY(f->HighPresDuct->Fans()[0]->Visible() || f->HighPresDuct->Fans()[1]->Visible());

        Click(f->BtnToggleSystems);
        QCOMPARE(f->windowTitle(), QStringLiteral("Low Pressure System v1.01a"));
        QCOMPARE(f->BtnToggleSystems->text(), QStringLiteral("&High Pressure System"));
        QCOMPARE(f->LblDiscOpening->text(), QStringLiteral("Control Disc"));
        QVERIFY(!f->EditTempSetpoint3->isHidden());
        QVERIFY(f->LowPresDuct->Visible());
        QVERIFY(!f->HighPresDuct->Visible());
        QCOMPARE(f->LeftRoom->LeftFlow->Strength(), 1.0f);
        QCOMPARE(f->LeftRoom->LeftFlow->Points(), f->LeftRoom->LeftFlow->FullPoints());
        QCOMPARE(f->LeftRoom->LeftFlow->Index(), 0);
        for (int i = 0; i < 16; ++i)
            QCOMPARE(f->AirFlowLayers[size_t(i)]->Visible(), i < 12);
    }

    void arrowTickSetsStrengthOnlyInTheHighPressureSystem()
    {
        auto f = makeShown();
        TAirFlowLayer* flow = f->Mid1Room->RightFlow;
        const int index = flow->Index();
        f->ArrowTimerTimer();
        QCOMPARE(flow->Strength(), 0.0f);
        QCOMPARE(flow->Index(), (index + 1) % flow->Points());
        Click(f->BtnToggleSystems);
        f->HighPresModel->Rooms[1]->DiscOpening = 70.0f;
        f->ArrowTimerTimer();
        QCOMPARE(flow->Strength(), 0.7f);
        QCOMPARE(f->Mid1Room->LeftFlow->Strength(), 0.7f);
    }

    void pressureLabels_data()
    {
        QTest::addColumn<bool>("high");
        QTest::addColumn<bool>("metric");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("low imperial") << false << false
            << QStringList{"0.32\"", "0.24\"", "0.28\"", "0.24\""};
        QTest::newRow("low metric") << false << true << QStringList{"80 Pa", "60 Pa", "70 Pa", "60 Pa"};
        QTest::newRow("high imperial") << true << false << QStringList{"0.04\" - 0.24\""};
        QTest::newRow("high metric") << true << true << QStringList{"10 Pa - 60 Pa"};
    }

    void pressureLabels()
    {
        QFETCH(bool, high);
        QFETCH(bool, metric);
        QFETCH(QStringList, texts);
        auto f = makeShown();
        if (metric)
            Click(f->RadioMetric);
        if (high)
            Click(f->BtnToggleSystems);
        QVERIFY(f->PressureLabels);
        QStringList shown;
        for (int i = 0; i < f->PressureLabels->LabelCount(); ++i)
            shown << f->PressureLabels->Label(i).Text;
        QCOMPARE(shown, texts);
        // One label layer at a time, drawn over everything else.
        TLayerCollection& c = f->MainImage->Layers();
        QCOMPARE(c.IndexOf(f->PressureLabels), c.Count() - 1);
        int textLayers = 0;
        for (int i = 0; i < c.Count(); ++i)
            textLayers += dynamic_cast<TTextLayer*>(c.Items(i)) ? 1 : 0;
        QCOMPARE(textLayers, 1);
        QCOMPARE(f->PressureLabels->Location(),
                 (TFloatRect{0, 0, float(f->MainImage->width()), float(f->MainImage->height())}));
    }

    // ---- activation -------------------------------------------------------------

    void animationTimersFollowActivationAndIntro()
    {
        FixtureDatabase db({{0, 0, 0, 0, QStringLiteral("Duct")}});
        QFile movie(db.dir.filePath(QStringLiteral("MovieTable.bdf")));
        QVERIFY(movie.open(QIODevice::WriteOnly));
        movie.close();
        TLowPresFrm::SetDatabaseDirectory(db.path());
        int created = 0;
        QPointer<QWidget> intro;
        TLowPresFrm::SetIntroFactory([&](TLowPresFrm*) {
            ++created;
            intro = new QWidget;
            return intro.data();
        });
        auto f = make();
        f->show();
        TLowPresFrm::SetDatabaseDirectory(GeneratedDatabase());
        TLowPresFrm::SetIntroFactory(nullptr);

        QCOMPARE(created, 1);
        QVERIFY(intro && intro->isVisible());
        f->FormActivate();
        QVERIFY(!f->ArrowTimer->isActive());
        QVERIFY(!f->FanTimer->isActive());
        intro->hide();
        f->FormActivate();
        QVERIFY(f->ArrowTimer->isActive());
        QVERIFY(f->FanTimer->isActive());
        f->ControlLoopTimer->start();
        f->FormDeactivate();
        QVERIFY(!f->ArrowTimer->isActive());
        QVERIFY(!f->FanTimer->isActive());
        QVERIFY(f->ControlLoopTimer->isActive());
        f->hide();
        f->show();
        QCOMPARE(created, 1);
        StopTimers(*f);
        delete intro;
    }

    void noIntroWithoutItsTable()
    {
        FixtureDatabase db({{0, 0, 0, 0, QStringLiteral("Duct")}});
        TLowPresFrm::SetDatabaseDirectory(db.path());
        int created = 0;
        TLowPresFrm::SetIntroFactory([&](TLowPresFrm*) {
            ++created;
            return nullptr;
        });
        auto f = makeShown();
        TLowPresFrm::SetIntroFactory(nullptr);
        TLowPresFrm::SetDatabaseDirectory(GeneratedDatabase());
        QCOMPARE(created, 0);
        QCOMPARE(f->MovieFrm(), nullptr);
        f->FormActivate();
        QVERIFY(f->ArrowTimer->isActive());
        QVERIFY(f->FanTimer->isActive());
        StopTimers(*f);
    }

    // ---- arrow table ------------------------------------------------------------

    void arrowTable_data()
    {
        using Rows = std::vector<fixture::ArrowRow>;
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QList<int>>("pointsPerPath");
        const QString empty = QStringLiteral("The Database table containing the arrow path is empty.");
        const QString none = QStringLiteral("Error. Could not load arrows");
        QTest::newRow("empty") << Rows{} << QStringList{empty, none} << QList<int>{};
        QTest::newRow("no usable path number")
            << Rows{{12, 1, 1, 0, "A"}, {30, 1, 1, 0, "B"}} << QStringList{none} << QList<int>{};
        QTest::newRow("unused numbers skipped inside a path")
            << Rows{{11, 1, 1, 0, "A"}, {12, 5, 5, 0, "A"}, {19, 5, 5, 0, "B"}, {20, 2, 2, 0, "A"}}
            << QStringList{} << QList<int>{2};
        QTest::newRow("same name twice is one path")
            << Rows{{2, 1, 1, 0, "A"}, {3, 2, 2, 0, "A"}, {4, 3, 3, 0, "LeftL"}}
            << QStringList{} << QList<int>{2, 1};
        QTest::newRow("fewer than sixteen paths")
            << Rows{{0, 0, 0, 0, "D0"}, {0, 10, 0, 0, "D0"}, {5, 3, 4, 90, "LeftR"}, {21, 7, 7, 0, "H1"}}
            << QStringList{} << QList<int>{2, 1, 1};
    }

    void arrowTable()
    {
        using Rows = std::vector<fixture::ArrowRow>;
        QFETCH(Rows, rows);
        QFETCH(QStringList, messages);
        QFETCH(QList<int>, pointsPerPath);
        FixtureDatabase db(rows);
        TLowPresFrm::SetDatabaseDirectory(db.path());
        auto f = makeShown();
        TLowPresFrm::SetDatabaseDirectory(GeneratedDatabase());
        QCOMPARE(m_messages, messages);
        QCOMPARE(f->ArrowsLoaded, !pointsPerPath.isEmpty());
        QList<int> points;
        for (TAirFlowLayer* l : f->AirFlowLayers)
            points << l->Points();
        QCOMPARE(points, pointsPerPath);

        // The window keeps working with whatever arrows it has.
        Click(f->BtnToggleSystems);
        f->ArrowTimerTimer();
        Ticks(*f, 2);
        Click(f->BtnToggleSystems);
        f->ArrowTimerTimer();
        f->FanTimerTimer();
        f->MainImage->ComposeNow();
        QCOMPARE(f->windowTitle(), QStringLiteral("Low Pressure System v1.01a"));
    }

    void arrowPointsAreScaledFromTheirOrigin_data()
    {
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<QList<int>>("first"); // x, y, heading of the first point
        // 10 x 1.28 + 74 x 1.28 = 107.52 -> 108; 212 x 1.28 = 271.36 -> 271.
        QTest::newRow("1024") << 1024 << QList<int>{108, 271, 45};
        QTest::newRow("800") << 800 << QList<int>{84, 212, 45};
    }

    void arrowPointsAreScaledFromTheirOrigin()
    {
        QFETCH(int, screenWidth);
        QFETCH(QList<int>, first);
        // The second record carries number 11 but continues path "LeftL" of
        // number 4, so it keeps the left room's origin, not the right room's.
        FixtureDatabase db({{4, 10, 0, 45, "LeftL"}, {11, 487, 2, 0, "LeftL"}});
        TLowPresFrm::SetDatabaseDirectory(db.path());
        auto f = make(screenWidth, screenWidth * 3 / 4);
        TLowPresFrm::SetDatabaseDirectory(GeneratedDatabase());
        QCOMPARE(int(f->AirFlowLayers.size()), 1);
        QCOMPARE(f->LeftRoom->LeftFlow, f->AirFlowLayers[0]);
        QCOMPARE(f->LeftRoom->RightFlow, nullptr);
        const auto& items = f->AirFlowLayers[0]->Items();
        QCOMPARE(int(items.size()), 2);
        QCOMPARE((QList<int>{items[0].X, items[0].Y, items[0].Angle}), first);
        const double s = double(f->ScaleFactor);
        QCOMPARE(items[1].X, RoundHalfEven(487 * s + 74 * s));
        QCOMPARE(items[1].Y, RoundHalfEven(2 * s + 212 * s));
    }

    // ---- database faults --------------------------------------------------------

    void databaseFaultsStopTheWindow_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("named"); // the message names it
        QTest::newRow("no folder") << QStringLiteral("folder") << QStringLiteral("DataBase");
        QTest::newRow("no arrow table") << QStringLiteral("arrows") << QStringLiteral("ArrowTable_800x600.bdf");
        QTest::newRow("image table is not a database") << QStringLiteral("garbage") << QStringLiteral("BitmapTable.bdf");
    }

    void databaseFaultsStopTheWindow()
    {
        QFETCH(QString, what);
        QFETCH(QString, named);
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QStringLiteral("DataBase"));
        if (what != QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(dir));
            if (what == QLatin1String("garbage")) {
                QFile f(dir + QStringLiteral("/BitmapTable.bdf"));
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(QByteArray(4096, 'x'));
            } else {
                QFile::copy(GeneratedDatabase() + QStringLiteral("/BitmapTable.bdf"),
                            dir + QStringLiteral("/BitmapTable.bdf"));
            }
        }
        TLowPresFrm::SetDatabaseDirectory(dir);
        TMessageRecorder recorder;
        QString error;
        try {
            TLowPresFrm f;
        } catch (const TTableError& e) {
            error = e.message();
        }
        TLowPresFrm::SetDatabaseDirectory(GeneratedDatabase());
        QVERIFY2(!error.isEmpty(), "a broken database must stop the window");
        QVERIFY2(error.contains(named), qPrintable(error));
        QCOMPARE(LowPresFrm, nullptr);

        // The program itself says so and ends with status 1.
        const QString program = tmp.filePath(QStringLiteral("corvair"));
        QVERIFY(QFile::copy(BinDir() + QStringLiteral("/corvair"), program));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(program, {});
        QVERIFY(p.waitForFinished(-1));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(err.contains(named), qPrintable(err));
    }

    // ---- one model, one truth ---------------------------------------------------

    void readoutsMatchTheCommandLineSimulator();
};

namespace {

struct SimRow {
    float supply, fan, pressure, energy;
    float temp[4], disc[4], rate[4];
    bool heat[4];
};

// tick -> (low row, high row)
QMap<int, QPair<SimRow, SimRow>> ParseSimCsv(const QByteArray& csv)
{
    QMap<int, QPair<SimRow, SimRow>> rows;
    const QList<QByteArray> lines = csv.split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> c = lines[i].split(',');
        if (c.size() != 22)
            continue;
        SimRow r{};
        auto num = [&](int k) { return float(c[k].toDouble()); };
        r.supply = num(2);
        r.fan = num(3);
        r.pressure = num(4);
        r.energy = num(5);
        for (int k = 0; k < 4; ++k) {
            r.temp[k] = num(6 + k);
            r.disc[k] = num(10 + k);
            r.heat[k] = c[14 + k] == "1";
            r.rate[k] = num(18 + k);
        }
        const int tick = c[0].toInt();
        if (c[1] == "low")
            rows[tick].first = r;
        else
            rows[tick].second = r;
    }
    return rows;
}

bool SameState(const TModel& m, const SimRow& r, QString& why)
{
    auto check = [&](const char* what, float a, float b) {
        if (a != b && why.isEmpty())
            why = QStringLiteral("%1: window %2, simulator %3").arg(QLatin1String(what)).arg(a, 0, 'g', 9).arg(b, 0, 'g', 9);
    };
    check("supply", m.SupplyTemperature, r.supply);
    check("fan", m.FanSpeed, r.fan);
    check("pressure", m.DuctPressure, r.pressure);
    check("energy", m.EnergyConsumption, r.energy);
    for (int k = 0; k < 4; ++k) {
        check("temperature", m.Rooms[size_t(k)]->GetTemperature(), r.temp[k]);
        check("disc", m.Rooms[size_t(k)]->GetDiscOpening(), r.disc[k]);
        check("heat rate", m.Rooms[size_t(k)]->GetHeatRate(), r.rate[k]);
        if (m.Rooms[size_t(k)]->IsHeating() != r.heat[k] && why.isEmpty())
            why = QStringLiteral("heating of room %1").arg(k);
    }
    return why.isEmpty();
}

} // namespace

void TstMainWindow::readoutsMatchTheCommandLineSimulator()
{
    // The window's inputs, tick by tick, and the same inputs as a script.
    const QByteArray script =
        "1 load 0 50\n"
        "1 load 3 -75\n"
        "1 temp 2 23.5\n"
        "30 setpoint 1 24\n"
        "30 load 1 100\n"
        "60 supply 26\n"
        "80 speed 40\n"
        "150 load 0 0\n"
        "150 setpoint 3 19\n";
    constexpr int kTicks = 200;
    QTemporaryDir tmp;
    const QString scriptPath = tmp.filePath(QStringLiteral("inputs.txt"));
    {
        QFile s(scriptPath);
        QVERIFY(s.open(QIODevice::WriteOnly));
        s.write(script);
    }
    QProcess sim;
    sim.start(BinDir() + QStringLiteral("/corvair-sim"),
              {QStringLiteral("--ticks"), QString::number(kTicks), QStringLiteral("--script"), scriptPath});
    QVERIFY(sim.waitForFinished(-1));
    QCOMPARE(sim.exitCode(), 0);
    const auto rows = ParseSimCsv(sim.readAllStandardOutput());
    QCOMPARE(rows.size(), kTicks);

    auto f = makeShown();
    for (int tick = 1; tick <= kTicks; ++tick) {
        switch (tick) {
        case 1:
            Click(f->SpinBtnLeft->UpButton());
            Click(f->SpinBtnLeft->UpButton());
            Click(f->BtnHotColdRight);
            for (int i = 0; i < 3; ++i)
                Click(f->SpinBtnRight->UpButton());
            Click(f->SpinBtnTempMid2->UpButton()); // 22.5 (the tint's start) + 1
            break;
        case 30:
            Click(f->UpDownTempSetpoint2->UpButton());
            Click(f->UpDownTempSetpoint2->UpButton());
            for (int i = 0; i < 4; ++i)
                Click(f->SpinBtnMid1->UpButton());
            break;
        case 60:
            QCOMPARE(f->LowPresModel->SupplyTemperature, 15.0f);
            Click(f->ButSpeedStart);
            break;
        case 80:
            f->TrackBarAniSpd->setValue(40);
            break;
        case 100:
            Click(f->BtnToggleSystems);
            break;
        case 120:
            Click(f->RadioMetric);
            break;
        case 150:
            Click(f->SpinBtnLeft->DownButton());
            Click(f->SpinBtnLeft->DownButton());
            for (int i = 0; i < 3; ++i)
                Click(f->UpDownTempSetpoint4->DownButton());
            break;
        case 170:
            Click(f->BtnToggleSystems);
            break;
        default:
            break;
        }
        f->ControlLoopTimerTimer();

        QString why;
        QVERIFY2(SameState(*f->LowPresModel, rows[tick].first, why),
                 qPrintable(QStringLiteral("tick %1, low: %2").arg(tick).arg(why)));
        QVERIFY2(SameState(*f->HighPresModel, rows[tick].second, why),
                 qPrintable(QStringLiteral("tick %1, high: %2").arg(tick).arg(why)));

        const bool high = f->HighPressure;
        const bool metric = f->Metric;
        const SimRow& r = high ? rows[tick].second : rows[tick].first;
        auto temp = [&](float c) { return metric ? c : Fahrenheit(c); };
        QCOMPARE(f->EditSupplyTemperature->text(), QString::number(RoundHalfEven(temp(r.supply))));
        QCOMPARE(f->EditFanSpeed->text(),
                 QString::number(RoundHalfEven(high ? 1.5 * double(r.fan) : double(r.fan))));
        QCOMPARE(f->EditDuctPressure->text(),
                 FormatFloat("%5.2f", metric ? r.pressure : float(r.pressure / 249.1)));
        QCOMPARE(f->EditEnergyConsumption->text(),
                 FormatFloat("%5.3f", metric ? r.energy : float(r.energy * 1.341)));
        for (int k = 0; k < 4; ++k) {
            const TRoomData& d = *f->RoomData[size_t(k)];
            QCOMPARE(d.EditTemp->text(), FormatFloat("%4.2f", temp(r.temp[k])));
            QCOMPARE(d.EditDiscOpening->text(), FormatFloat("%3.0f", r.disc[k]));
            QCOMPARE(d.EditScratch->text(), FormatFloat("%4.2f", r.rate[k]));
            QCOMPARE(f->RoomLayers[size_t(k)]->Temperature(), r.temp[k]);
        }
    }
}

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
