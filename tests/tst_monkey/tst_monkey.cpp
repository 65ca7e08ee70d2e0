// A monkey at the keyboard and mouse: the program's windows, wired as the
// program wires them, get a seeded random stream of user actions (every
// button, spin button, up-down, radio button, the track bar, diffuser clicks,
// the close-up's controls, walkthrough clicks and buttons, the Trends
// window, keys with F1)
// interleaved with the ticks of the timers that are running. After every
// action the readouts must still make sense.
//
//   CORVAIR_MONKEY_SEED     the seed (default 1); a failure prints it
//   CORVAIR_MONKEY_ACTIONS  how many actions (default 20000)
//
// Timers never fire by themselves here: a tick is an action, taken only
// while its timer runs, so a seed replays exactly. (The one exception: a
// file dialog the user cancels runs its own event loop for a moment.)

#include "TrendsWindow.h"
#include "UnitHighCali.h"
#include "UnitLowCali.h"
#include "UnitLowPres.h"
#include "UnitZoomDif.h"

#include "GR32_Extra.h"
#include "UnitHotSpot.h"
#include "UnitRoomLayer.h"
#include "gr32/GR32.h"
#include "vcl/Messages.h"
#include "vcl/Rounding.h"
#include "vcl/Screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <deque>
#include <functional>
#include <memory>

namespace {

QStringList g_helpTopics;

// As the program hands the other windows' keys to the main window.
void ShowHelpFromOtherWindow(const QString& topic, int key)
{
    if (LowPresFrm)
        LowPresFrm->ShowHelpTopic(topic, key);
}

bool Parse(const QString& text, double& value)
{
    bool ok = false;
    const QString t = text.trimmed();
    value = QLocale().toDouble(t, &ok);
    if (!ok)
        value = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(value);
}

struct Action {
    const char* name;
    int weight;
    std::function<void()> run;
};

// The user cancels every dialog (the Trends export asks for a file).
class TDialogCanceller : public QObject {
public:
    int Cancelled = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QDialog*>(watched)) {
                ++Cancelled;
                QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            }
        return false;
    }
};

} // namespace

class TstMonkey : public QObject {
    Q_OBJECT

    std::unique_ptr<TLowPresFrm> f;
    std::unique_ptr<TVSDFrm> closeUp;
    std::unique_ptr<TLowCaliFrm> lowCali;
    std::unique_ptr<THighCaliFrm> highCali;
    std::unique_ptr<TMessageRecorder> messages;
    TDialogCanceller dialogs;
    QRandomGenerator rng;
    std::vector<Action> actions;
    int totalWeight = 0;
    // What the last action expects of the help recorder: a topic, or nothing.
    QString expectHelp;
    qsizetype helpBefore = 0;
    QString keyTarget;  // where the last key went, for the failure message
    // The units each readout was written in. The plant and room readouts
    // take new units at the next control-loop tick, not at the switch.
    QHash<const QLineEdit*, bool> writtenMetric;

    int pick(int n) { return int(rng.bounded(quint32(n))); }

    void click(QAbstractButton* b)
    {
        if (b->isVisible() && b->isEnabled())
            QTest::mouseClick(b, Qt::LeftButton);
    }

    // A press and release at pos, as a user's click.
    void clickAt(QWidget* w, QPoint pos)
    {
        if (w->isVisible())
            QTest::mouseClick(w, Qt::LeftButton, {}, pos);
    }

    void moveTo(QWidget* w, QPoint pos)
    {
        if (!w->isVisible())
            return;
        QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }

    QPoint randomPoint(QWidget* w) { return QPoint(pick(w->width()), pick(w->height())); }

    // The main window, the close-up, both walkthroughs and, once opened, Trends.
    QList<QWidget*> programWindows() const
    {
        QList<QWidget*> all = {f.get(), closeUp.get(), lowCali.get(), highCali.get()};
        if (f->TrendsWindow)
            all << f->TrendsWindow.data();
        return all;
    }

    QWidget* randomVisibleWindow()
    {
        QList<QWidget*> shown;
        for (QWidget* w : programWindows())
            if (w->isVisible())
                shown << w;
        return shown.isEmpty() ? nullptr : shown[pick(int(shown.size()))];
    }

    static QString HelpTopicOf(QWidget* w, TLowPresFrm* main, TVSDFrm* closeUp)
    {
        if (w == main)
            return QStringLiteral("Main_System");
        if (w == closeUp)
            return QStringLiteral("Zoom");
        if (w == main->TrendsWindow)
            return TTrendsWindow::HelpTopic;
        return QStringLiteral("Calibration_Form");
    }

    void key(QWidget* window, Qt::Key k, Qt::KeyboardModifiers mods = {})
    {
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        keyTarget = QStringLiteral("%1 '%2' in %3").arg(QLatin1String(target->metaObject()->className()),
                                                       target->objectName(),
                                                       QLatin1String(window->metaObject()->className()));
        if (k == Qt::Key_F1) {
            expectHelp = HelpTopicOf(window, f.get(), closeUp.get());
            helpBefore = g_helpTopics.size();
        }
        QTest::keyClick(target, k, mods);
    }

    // Clicks a shown target of the walkthrough's current step, or anywhere.
    void walkthroughClick(TCalibrationForm* w)
    {
        if (!w->isVisible())
            return;
        if (TBitmapLayerList* group = w->Steps().CurrentLayers()) {
            QList<QPoint> targets;
            for (int i = 0; i < group->ChildCount(); ++i)
                if (IsLayerActive(group->Children(i)))
                    targets << group->Children(i)->Location().toQRectF().center().toPoint();
            if (!targets.isEmpty() && pick(4) != 0) {
                clickAt(w->MainImage, targets[pick(int(targets.size()))]);
                return;
            }
        }
        clickAt(w->MainImage, randomPoint(w->MainImage));
    }

    void add(const char* name, int weight, std::function<void()> run)
    {
        actions.push_back({name, weight, std::move(run)});
        totalWeight += weight;
    }

    void buildActions()
    {
        TLowPresFrm* m = f.get();
        TVSDFrm* v = closeUp.get();
        // ---- main window
        const std::vector<std::pair<const char*, TSpinButton*>> spins = {
            {"load left", m->SpinBtnLeft}, {"load centre left", m->SpinBtnMid1},
            {"load centre right", m->SpinBtnMid2}, {"load right", m->SpinBtnRight},
            {"temperature left", m->SpinBtnTempLeft}, {"temperature centre left", m->SpinBtnTempMid1},
            {"temperature centre right", m->SpinBtnTempMid2}, {"temperature right", m->SpinBtnTempRight},
            {"setpoint 1", m->UpDownTempSetpoint1}, {"setpoint 2", m->UpDownTempSetpoint2},
            {"setpoint 3", m->UpDownTempSetpoint3}, {"setpoint 4", m->UpDownTempSetpoint4}};
        for (const auto& [name, spin] : spins) {
            TSpinButton* s = spin;
            add(name, 6, [this, s] { click(pick(2) ? s->UpButton() : s->DownButton()); });
        }
        add("hot/cold left", 3, [this, m] { click(m->BtnHotColdLeft); });
        add("hot/cold right", 3, [this, m] { click(m->BtnHotColdRight); });
        add("start-up sequence", 3, [this, m] { click(m->ButSpeedStart); });
        add("system switch", 3, [this, m] { click(m->BtnToggleSystems); });
        add("calibration", 2, [this, m] { click(m->BtnLowCali); });
        add("imperial", 3, [this, m] { click(m->RadioImperial); });
        add("metric", 3, [this, m] { click(m->RadioMetric); });
        add("track bar drag", 3, [this, m] { if (m->TrackBarAniSpd->isVisible()) m->TrackBarAniSpd->setValue(pick(101)); });
        add("track bar key", 2, [this, m] {
            static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown,
                                           Qt::Key_Home, Qt::Key_End};
            QTest::keyClick(m->TrackBarAniSpd, keys[pick(6)]);
        });
        add("diffuser click", 8, [this, m] {
            if (m->RoomClickRegions.empty())
                return;
            const TPositionedLayer* spot = m->RoomClickRegions[size_t(pick(int(m->RoomClickRegions.size())))];
            clickAt(m->MainImage, spot->Location().toQRectF().center().toPoint());
        });
        add("scene click", 3, [this, m] { clickAt(m->MainImage, randomPoint(m->MainImage)); });
        add("scene move", 3, [this, m] { moveTo(m->MainImage, randomPoint(m->MainImage)); });
        add("readout click", 2, [this, m] {
            QLineEdit* edits[] = {m->EditTemp2, m->EditFanSpeed, m->EditTempSetpoint1, m->EditDiscOpening4};
            clickAt(edits[pick(4)], QPoint(3, 3));
        });
        // ---- the close-up
        add("close-up manual", 3, [this, v] { click(v->CheckManual); });
        add("close-up animate", 3, [this, v] { click(v->CheckAnimate); });
        add("close-up heat", 3, [this, v] { click(v->CheckHeatMode); });
        add("close-up step", 4, [this, v] {
            if (v->SpinDiscOpening->isVisible())
                QTest::keyClick(v->SpinDiscOpening, pick(2) ? Qt::Key_Up : Qt::Key_Down);
        });
        add("close-up type", 2, [this, v] {
            if (!v->SpinDiscOpening->isVisible())
                return;
            QTest::keyClick(v->SpinDiscOpening, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(v->SpinDiscOpening, QString::number(pick(130)));
            QTest::keyClick(v->SpinDiscOpening, Qt::Key_Return);
        });
        add("close-up close", 2, [this, v] { click(v->BtnClose); });
        // ---- the walkthroughs
        for (TCalibrationForm* w : {static_cast<TCalibrationForm*>(lowCali.get()),
                                    static_cast<TCalibrationForm*>(highCali.get())}) {
            const bool low = w == lowCali.get();
            add(low ? "low walkthrough click" : "high walkthrough click", 6,
                [this, w] { walkthroughClick(w); });
            add(low ? "low walkthrough move" : "high walkthrough move", 2,
                [this, w] { moveTo(w->MainImage, randomPoint(w->MainImage)); });
            QPushButton* prev = low ? lowCali->BtnPrev1 : highCali->BtnPrev2;
            QPushButton* next = low ? lowCali->BtnNext1 : highCali->BtnNext2;
            QPushButton* other = low ? lowCali->BitBtn1 : highCali->BtnHighCali;
            add(low ? "low walkthrough previous" : "high walkthrough previous", 3, [this, prev] { click(prev); });
            add(low ? "low walkthrough next" : "high walkthrough next", 4, [this, next] { click(next); });
            add(low ? "low walkthrough switch" : "high walkthrough switch", 2, [this, other] { click(other); });
            add(low ? "low walkthrough close" : "high walkthrough close", 2, [this, w] { click(w->BtnClose); });
        }
        // ---- the Trends window
        add("trends", 2, [this, m] { click(m->BtnTrends); });
        add("trends pause", 2, [this, m] { if (m->TrendsWindow) click(m->TrendsWindow->BtnPause); });
        add("trends span", 2, [this, m] {
            if (m->TrendsWindow && m->TrendsWindow->ComboSpan->isVisible())
                m->TrendsWindow->ComboSpan->setCurrentIndex(pick(m->TrendsWindow->ComboSpan->count()));
        });
        add("trends export", 1, [this, m] { if (m->TrendsWindow) click(m->TrendsWindow->BtnExport); });
        add("trends close", 2, [m] { if (m->TrendsWindow) m->TrendsWindow->close(); });
        // ---- keys and windows
        add("F1", 3, [this] { if (QWidget* w = randomVisibleWindow()) key(w, Qt::Key_F1); });
        add("key", 4, [this] {
            static const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return,
                                           Qt::Key_Escape, Qt::Key_Up, Qt::Key_Down, Qt::Key_F2,
                                           Qt::Key_H, Qt::Key_5, Qt::Key_Delete};
            if (QWidget* w = randomVisibleWindow())
                key(w, keys[pick(int(std::size(keys)))], pick(5) == 0 ? Qt::AltModifier : Qt::NoModifier);
        });
        add("activate a window", 3, [this] {
            if (QWidget* w = randomVisibleWindow())
                QApplication::setActiveWindow(w);
        });
        // The screen is drawn from the windows as they are now.
        add("look", 3, [this] { if (QWidget* w = randomVisibleWindow()) (void)w->grab(); });
        add("leave the program", 1, [] { QApplication::setActiveWindow(nullptr); });
        // ---- timer ticks, only while their timer runs
        add("control-loop tick", 40, [m] { if (m->ControlLoopTimer->isActive()) m->ControlLoopTimerTimer(); });
        add("arrow tick", 25, [m] { if (m->ArrowTimer->isActive()) m->ArrowTimerTimer(); });
        add("fan tick", 10, [m] { if (m->FanTimer->isActive()) m->FanTimerTimer(); });
        add("close-up tick", 10, [v] { if (v->Timer1->isActive()) v->Timer1Timer(); });
        add("walkthrough fan tick", 5, [this] {
            for (TCalibrationForm* w : {static_cast<TCalibrationForm*>(lowCali.get()),
                                        static_cast<TCalibrationForm*>(highCali.get())})
                if (w->FanTimer->isActive())
                    w->FanTimerTimer();
        });
    }

    // Empty when all is well, else what is wrong.
    QString check()
    {
        TLowPresFrm& m = *f;
        const bool metric = m.Metric;
        if (m.RadioMetric->isChecked() != metric || m.RadioImperial->isChecked() == metric)
            return QStringLiteral("the radio buttons disagree with the units");
        if (m.EditTempUnit->text() != (metric ? QStringLiteral("( °C )") : QStringLiteral("( °F )"))
            || m.EditPressureUnit->text() != (metric ? QStringLiteral("( Pa )") : QStringLiteral("( ins.wg )"))
            || m.EditEnergyUnit->text() != (metric ? QStringLiteral("( kW )") : QStringLiteral("( Hp )")))
            return QStringLiteral("a unit text disagrees with the units");
        const auto toCelsius = [this](const QLineEdit* e, double shown) {
            return writtenMetric.value(e) ? shown : (shown - 32.0) / 1.8;
        };

        struct Readout {
            const QLineEdit* edit;
            const char* name;
        };
        const Readout all[] = {
            {m.EditSupplyTemperature, "supply temperature"}, {m.EditFanSpeed, "fan speed"},
            {m.EditDuctPressure, "fan pressure"}, {m.EditEnergyConsumption, "energy"},
            {m.EditTemp1, "temperature 1"}, {m.EditTemp2, "temperature 2"},
            {m.EditTemp3, "temperature 3"}, {m.EditTemp4, "temperature 4"},
            {m.EditDiscOpening1, "disc 1"}, {m.EditDiscOpening2, "disc 2"},
            {m.EditDiscOpening3, "disc 3"}, {m.EditDiscOpening4, "disc 4"},
            {m.EditLoad1, "load 1"}, {m.EditLoad2, "load 2"}, {m.EditLoad3, "load 3"},
            {m.EditLoad4, "load 4"}, {m.EditTempSetpoint1, "setpoint 1"},
            {m.EditTempSetpoint2, "setpoint 2"}, {m.EditTempSetpoint3, "setpoint 3"},
            {m.EditTempSetpoint4, "setpoint 4"}};
        QMap<const QLineEdit*, double> value;
        for (const Readout& r : all) {
            double v = 0;
            if (!Parse(r.edit->text(), v))
                return QStringLiteral("%1 reads '%2'").arg(QLatin1String(r.name), r.edit->text());
            value[r.edit] = v;
        }
        // The plant supplies at 15 or 26 degrees Celsius.
        const double supply = toCelsius(m.EditSupplyTemperature, value[m.EditSupplyTemperature]);
        if (std::fabs(supply - 15.0) > 0.5 && std::fabs(supply - 26.0) > 0.5)
            return QStringLiteral("supply temperature %1 in the unit shown").arg(m.EditSupplyTemperature->text());
        for (const QLineEdit* e : {m.EditFanSpeed, m.EditDuctPressure, m.EditEnergyConsumption})
            if (value[e] < 0)
                return QStringLiteral("%1 reads %2").arg(e->objectName(), e->text());
        for (const QLineEdit* e : {m.EditTemp1, m.EditTemp2, m.EditTemp3, m.EditTemp4}) {
            // Start temperatures stay within -21..51 °C and the plant pulls them towards 15..26.
            const double c = toCelsius(e, value[e]);
            if (c < -40.0 || c > 80.0)
                return QStringLiteral("%1 reads %2 (%3 °C)").arg(e->objectName(), e->text()).arg(c);
        }
        for (const QLineEdit* e : {m.EditDiscOpening1, m.EditDiscOpening2, m.EditDiscOpening3, m.EditDiscOpening4})
            if (value[e] < 30.0 || value[e] > 100.0)
                return QStringLiteral("%1 reads %2").arg(e->objectName(), e->text());
        for (const QLineEdit* e : {m.EditLoad1, m.EditLoad2, m.EditLoad3, m.EditLoad4}) {
            const double l = value[e];
            if (l != 0 && l != 25 && l != 50 && l != 75 && l != 100)
                return QStringLiteral("%1 reads %2").arg(e->objectName(), e->text());
        }
        // The setpoint text is the up-down's position in the units shown.
        for (const auto& d : m.RoomData) {
            // Converted at once when the units change.
            if (writtenMetric.value(d->EditTempSetpoint) != metric)
                return QStringLiteral("%1 was left in the other units").arg(d->EditTempSetpoint->objectName());
            const double c = toCelsius(d->EditTempSetpoint, value[d->EditTempSetpoint]);
            if (RoundHalfEven(c) != d->UpDownTempSetpoint->Position() || c < 14.99 || c > 29.01)
                return QStringLiteral("%1 reads %2 for %3 °C")
                    .arg(d->EditTempSetpoint->objectName(), d->EditTempSetpoint->text())
                    .arg(d->UpDownTempSetpoint->Position());
        }
        if (m.LowPresDuct->Visible() == m.HighPresDuct->Visible()
            || m.HighPresDuct->Visible() != m.HighPressure)
            return QStringLiteral("ducts shown: low %1, high %2 in the %3 system")
                .arg(m.LowPresDuct->Visible())
                .arg(m.HighPresDuct->Visible())
                .arg(m.HighPressure ? QStringLiteral("high") : QStringLiteral("low"));

        const QList<QWidget*> ours = programWindows();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            // A drop-down list open over one of the windows belongs to it.
            if (w->windowType() == Qt::Popup && w->parentWidget()
                && ours.contains(w->parentWidget()->window()))
                continue;
            if (w->isVisible() && !ours.contains(w))
                return QStringLiteral("an extra window is open: %1 '%2'")
                    .arg(QLatin1String(w->metaObject()->className()), w->windowTitle());
        }

        if (!expectHelp.isEmpty()) {
            if (g_helpTopics.size() != helpBefore + 1 || g_helpTopics.last() != expectHelp)
                return QStringLiteral("F1 on %3 opened '%1' instead of '%2'")
                    .arg(g_helpTopics.mid(helpBefore).join(QLatin1Char(',')), expectHelp, keyTarget);
        } else if (g_helpTopics.size() != helpBefore) {
            return QStringLiteral("help opened without F1: %1").arg(g_helpTopics.last());
        }
        if (!messages->messages().isEmpty())
            return QStringLiteral("message shown: %1").arg(messages->messages().join(QLatin1Char('|')));
        return {};
    }

private slots:
    void initTestCase()
    {
        TScreen::SetMetrics(800, 600, 96);
        TLowPresFrm::SetDatabaseDirectory(QCoreApplication::applicationDirPath() + QStringLiteral("/DataBase"));
        // F1 must not open a real help window that waits for nobody.
        TLowPresFrm::SetHelpHandler([](const QString&, const QString& topic) { g_helpTopics << topic; });
        messages = std::make_unique<TMessageRecorder>();
        qApp->installEventFilter(&dialogs);

        // The program's windows, in the program's order and wiring.
        f = std::make_unique<TLowPresFrm>();
        closeUp = std::make_unique<TVSDFrm>();
        closeUp->SetHelpHook(ShowHelpFromOtherWindow);
        closeUp->close();
        lowCali = std::make_unique<TLowCaliFrm>(f->ScaleFactor, f->EasyImages.get(), ShowHelpFromOtherWindow);
        highCali = std::make_unique<THighCaliFrm>(f->ScaleFactor, f->EasyImages.get(), ShowHelpFromOtherWindow);
        for (QWidget* w : {static_cast<QWidget*>(closeUp.get()), static_cast<QWidget*>(lowCali.get()),
                           static_cast<QWidget*>(highCali.get())})
            w->setAttribute(Qt::WA_QuitOnClose, false);
        TLowCaliFrm* low = lowCali.get();
        THighCaliFrm* high = highCali.get();
        f->SetCalibrationWindows({low, [low](bool metric) { low->SetPressureLabels(metric); }},
                                 {high, [high](bool metric) { high->SetPressureLabels(metric); }});
        f->show();
        QApplication::setActiveWindow(f.get());
        QCOMPARE(messages->messages(), QStringList());
        // The readouts the designer left empty fill on the first tick.
        f->ControlLoopTimerTimer();
        QCoreApplication::sendPostedEvents();
        for (QLineEdit* e : f->findChildren<QLineEdit*>()) {
            writtenMetric[e] = f->Metric;
            connect(e, &QLineEdit::textChanged, this, [this, e] { writtenMetric[e] = f->Metric; });
        }
    }

    void cleanupTestCase()
    {
        highCali.reset();
        lowCali.reset();
        closeUp.reset();
        f.reset();
        messages.reset();
        TLowPresFrm::SetHelpHandler(nullptr);
        TLowPresFrm::SetDatabaseDirectory(QString());
        TScreen::ResetMetrics();
    }

    // Found by the monkey: the walkthroughs (and in one order the close-up)
    // took a new key for the previous one climbing to its parents when it
    // landed at the same address, and swallowed F1.
    void helpOnEveryF1_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("topic");
        const char* names[] = {"main window", "close-up", "low walkthrough", "high walkthrough"};
        const QString topics[] = {QStringLiteral("Main_System"), QStringLiteral("Zoom"),
                                  QStringLiteral("Calibration_Form"), QStringLiteral("Calibration_Form")};
        for (int w = 0; w < 4; ++w)
            for (const char* how : {"on the window", "on a control", "on the window after Space on a control"})
                QTest::newRow(QByteArray(names[w]) + ", " + how) << w << QString::fromLatin1(how) << topics[w];
    }

    void helpOnEveryF1()
    {
        QFETCH(int, window);
        QFETCH(QString, how);
        QFETCH(QString, topic);
        QWidget* windows[] = {f.get(), closeUp.get(), lowCali.get(), highCali.get()};
        QAbstractButton* controls[] = {f->BtnToggleSystems, closeUp->CheckManual, lowCali->BtnNext1,
                                       highCali->BtnNext2};
        QWidget* w = windows[window];
        w->show();
        QWidget* target = how == QLatin1String("on a control") ? controls[window] : w;
        g_helpTopics.clear();
        for (int i = 0; i < 3; ++i) {
            if (how.endsWith(QLatin1String("Space on a control")))
                QTest::keyClick(controls[window], Qt::Key_Space);
            QTest::keyClick(target, Qt::Key_F1);
        }
        QCOMPARE(g_helpTopics, QStringList(3, topic));
        if (w != f.get())
            w->close();
    }

    void randomUserActions()
    {
        bool ok = false;
        const quint32 seed = quint32(qEnvironmentVariableIntValue("CORVAIR_MONKEY_SEED", &ok));
        const quint32 useSeed = ok ? seed : 1;
        const int envCount = qEnvironmentVariableIntValue("CORVAIR_MONKEY_ACTIONS", &ok);
        const int count = ok && envCount > 0 ? envCount : 20000;
        rng.seed(useSeed);
        buildActions();
        expectHelp.clear();
        helpBefore = g_helpTopics.size();
        QVERIFY2(check().isEmpty(), qPrintable(check()));

        std::deque<QString> recent;
        QMap<QString, int> runs;
        for (int i = 0; i < count; ++i) {
            int r = pick(totalWeight);
            const Action* a = &actions.front();
            for (const Action& candidate : actions) {
                if (r < candidate.weight) {
                    a = &candidate;
                    break;
                }
                r -= candidate.weight;
            }
            expectHelp.clear();
            helpBefore = g_helpTopics.size();
            a->run();
            // What the event loop would deliver next: repaints, deferred deletes.
            QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            ++runs[QLatin1String(a->name)];
            recent.push_back(QStringLiteral("#%1 %2").arg(i).arg(QLatin1String(a->name)));
            if (recent.size() > 25)
                recent.pop_front();
            const QString why = check();
            if (!why.isEmpty()) {
                QStringList last(recent.begin(), recent.end());
                QFAIL(qPrintable(QStringLiteral("seed %1, action #%2 (%3): %4\nlast actions: %5\n"
                                                "replay: CORVAIR_MONKEY_SEED=%1 CORVAIR_MONKEY_ACTIONS=%6")
                                     .arg(useSeed)
                                     .arg(i)
                                     .arg(QLatin1String(a->name), why, last.join(QStringLiteral(", ")))
                                     .arg(i + 1)));
            }
        }
        qInfo("seed %u: %d actions of %d kinds; help opened %d times; windows open at the end: close-up %d, "
              "walkthroughs %d/%d", useSeed, count, int(actions.size()), int(g_helpTopics.size()), int(closeUp->isVisible()),
              int(lowCali->isVisible()), int(highCali->isVisible()));
        // Every kind of action came up.
        for (const Action& a : actions)
            QVERIFY2(runs.value(QLatin1String(a.name)) > 0, a.name);
    }
};

QTEST_MAIN(TstMonkey)
#include "tst_monkey.moc"
