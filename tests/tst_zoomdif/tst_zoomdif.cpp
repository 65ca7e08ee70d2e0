// The diffuser close-up, driven through its real controls: the main window's
// assignments, the user's clicks and arrows, the animation tick (called
// directly) and the keys.

#include "HelpViewer.h"
#include "UnitZoomDif.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Which stored picture ImageDiff shows: its index, -1 for none, -2 when the
// shown picture matches more than one store.
int ShownPicture(const TVSDFrm& w)
{
    const QImage shown = w.ImageDiff->pixmap().toImage();
    if (shown.isNull())
        return -1;
    int found = -1;
    for (int i = 0; i < TVSDFrm::PictureCount; ++i) {
        if (w.StoredPicture(i).toImage() == shown) {
            if (found != -1)
                return -2;
            found = i;
        }
    }
    return found;
}

QPoint ArrowPoint(QSpinBox* spin, QStyle::SubControl which)
{
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.subControls = QStyle::SC_All;
    option.buttonSymbols = spin->buttonSymbols();
    option.frame = spin->hasFrame();
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    return spin->style()->subControlRect(QStyle::CC_SpinBox, &option, which, spin).center();
}

void ClickArrow(QSpinBox* spin, QStyle::SubControl which)
{
    QTest::mouseClick(spin, Qt::LeftButton, {}, ArrowPoint(spin, which));
}

struct KeyCall {
    QString topic;
    int key;
};

} // namespace

class TestZoomDif : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TVSDFrm> w;
    QList<KeyCall> keyCalls;

    // Shows the window as the active one, so controls can take the focus.
    void Activate()
    {
        w->show();
        QApplication::setActiveWindow(w.get());
        QCOMPARE(QApplication::activeWindow(), w.get());
    }

    // Keeps the real 200 ms timer from firing while a test spins events;
    // the tests run the animation tick themselves.
    void HoldRealTimer() { w->Timer1->setInterval(24 * 3600 * 1000); }

    void StartAnimation()
    {
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        QVERIFY(w->CheckManual->isChecked());
        QTest::mouseClick(w->CheckAnimate, Qt::LeftButton);
        QVERIFY(w->CheckAnimate->isChecked());
        QVERIFY(w->Timer1->isActive());
    }

private slots:
    void init()
    {
        TScreen::SetMetrics(800, 600, 96);
        w = std::make_unique<TVSDFrm>();
        keyCalls.clear();
    }

    void cleanup()
    {
        w.reset();
        TScreen::ResetMetrics();
    }

    void windowIsBorderlessOnTopAndAtDesignSize()
    {
        const Qt::WindowFlags flags = w->windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w->isWindow());
        QCOMPARE(w->size(), QSize(361, 301));
        QCOMPARE(w->pos(), QPoint((800 - 361) / 2, (600 - 301) / 2));
        QCOMPARE(VSDFrm, w.get());
        QCOMPARE(w->Timer1->interval(), 200);
        QCOMPARE(w->SpinDiscOpening->minimum(), 30);
        QCOMPARE(w->SpinDiscOpening->maximum(), 100);
        QCOMPARE(w->SpinDiscOpening->singleStep(), 10);
        // The longest room name fits the caption.
        w->lblCaption->setText(QStringLiteral("Centre: Right"));
        QVERIFY(w->lblCaption->width()
                >= w->lblCaption->fontMetrics().horizontalAdvance(w->lblCaption->text()));
        // The caption is drawn over the picture, not under it.
        QVERIFY(w->ImageDiff->geometry().intersects(w->lblCaption->geometry()));
        QVERIFY(w->PanelDiffuser->children().indexOf(w->lblCaption)
                > w->PanelDiffuser->children().indexOf(w->ImageDiff));
    }

    void storedPicturesAreNineDistinctTransparentPictures()
    {
        QCOMPARE(w->FPictures.size(), TVSDFrm::PictureCount);
        for (int i = 0; i < TVSDFrm::PictureCount; ++i) {
            const QImage picture = w->StoredPicture(i).toImage();
            QVERIFY2(!picture.isNull(), qPrintable(QStringLiteral("picture %1 missing").arg(i)));
            QCOMPARE(picture.size(), QSize(345, 190));
            QVERIFY(picture.hasAlphaChannel());
            QVERIFY(w->FPictures[i]->isHidden());
            for (int j = 0; j < i; ++j)
                QVERIFY2(picture != w->StoredPicture(j).toImage(),
                         qPrintable(QStringLiteral("pictures %1 and %2 are the same").arg(j).arg(i)));
        }
    }

    void creationState()
    {
        QCOMPARE(w->SpinDiscOpening->value(), 30);
        QCOMPARE(w->FPictureIndex, 0);
        QCOMPARE(w->FAnimationStep, 1);
        QCOMPARE(w->FSpinFocused, false);
        QCOMPARE(ShownPicture(*w), 0);
        QCOMPARE(w->lblCaption->text(), QStringLiteral("Room"));
        QVERIFY(!w->CheckManual->isChecked());
        QVERIFY(w->CheckManual->isEnabled());
        QVERIFY(!w->SpinDiscOpening->isEnabled());
        QVERIFY(!w->CheckAnimate->isEnabled());
        QVERIFY(!w->CheckHeatMode->isEnabled());
        QVERIFY(!w->Timer1->isActive());
    }

    // The main window sets the rounded opening; the picture is the 10 % step
    // at or below it.
    void followingShowsStepAtOrBelow_data()
    {
        QTest::addColumn<int>("opening");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("picture");
        QTest::newRow("30") << 30 << 30 << 0;
        QTest::newRow("39") << 39 << 39 << 0;
        QTest::newRow("47") << 47 << 47 << 1;
        QTest::newRow("48") << 48 << 48 << 1;
        QTest::newRow("70") << 70 << 70 << 4;
        QTest::newRow("99") << 99 << 99 << 6;
        QTest::newRow("100") << 100 << 100 << 7;
        QTest::newRow("above range clamps") << 130 << 100 << 7;
        QTest::newRow("below range clamps") << 12 << 30 << 0;
    }

    void followingShowsStepAtOrBelow()
    {
        QFETCH(int, opening);
        QFETCH(int, value);
        QFETCH(int, picture);
        // Start away from the target so the change handler has to run.
        w->SpinDiscOpening->setValue(opening > 60 ? 40 : 80);
        w->SpinDiscOpening->setValue(opening);
        w->CheckHeatMode->setChecked(false);
        QCOMPARE(w->SpinDiscOpening->value(), value);
        QCOMPARE(w->FPictureIndex, picture);
        QCOMPARE(ShownPicture(*w), picture);
        QVERIFY(!w->CheckManual->isChecked());
    }

    // A store left empty (a picture that could not be read) shows nothing.
    void emptyStoreShowsNoPicture()
    {
        w->Image3->clear();
        w->SpinDiscOpening->setValue(60);
        QCOMPARE(w->FPictureIndex, 3);
        QVERIFY(w->ImageDiff->pixmap().isNull());
        w->SpinDiscOpening->setValue(70);
        QCOMPARE(ShownPicture(*w), 4);
    }

    void followingHeatState()
    {
        w->SpinDiscOpening->setValue(70);
        w->CheckHeatMode->setChecked(false);
        QCOMPARE(ShownPicture(*w), 4);

        // The room starts heating: heat picture, value back to 30.
        w->SpinDiscOpening->setValue(70);
        w->CheckHeatMode->setChecked(true);
        QCOMPARE(w->SpinDiscOpening->value(), 30);
        QCOMPARE(ShownPicture(*w), TVSDFrm::HeatPicture);

        // Still heating, the disc opens: the disc picture shows again.
        w->SpinDiscOpening->setValue(60);
        w->CheckHeatMode->setChecked(true);
        QCOMPARE(ShownPicture(*w), 3);

        // Still heating, same opening: nothing changes.
        w->SpinDiscOpening->setValue(60);
        w->CheckHeatMode->setChecked(true);
        QCOMPARE(ShownPicture(*w), 3);

        // Heating stops: the 30 % picture, whatever the value.
        w->SpinDiscOpening->setValue(60);
        w->CheckHeatMode->setChecked(false);
        QCOMPARE(w->SpinDiscOpening->value(), 60);
        QCOMPARE(ShownPicture(*w), 0);
    }

    void manualModeEnablesTheThree()
    {
        w->show();
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        QVERIFY(w->CheckManual->isChecked());
        QVERIFY(w->SpinDiscOpening->isEnabled());
        QVERIFY(w->CheckAnimate->isEnabled());
        QVERIFY(w->CheckHeatMode->isEnabled());
        QCOMPARE(ShownPicture(*w), 0);
    }

    void heatModeByHand()
    {
        Activate();
        HoldRealTimer();
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        for (int i = 0; i < 4; ++i)
            ClickArrow(w->SpinDiscOpening, QStyle::SC_SpinBoxUp);
        QCOMPARE(w->SpinDiscOpening->value(), 70);
        QCOMPARE(ShownPicture(*w), 4);

        QTest::mouseClick(w->CheckHeatMode, Qt::LeftButton);
        QVERIFY(w->CheckHeatMode->isChecked());
        QCOMPARE(w->SpinDiscOpening->value(), 30);
        QCOMPARE(w->FPictureIndex, 0);
        QCOMPARE(ShownPicture(*w), TVSDFrm::HeatPicture);
        QVERIFY(!w->CheckAnimate->isChecked());
        QVERIFY(!w->Timer1->isActive());

        QTest::mouseClick(w->CheckHeatMode, Qt::LeftButton);
        QVERIFY(!w->CheckHeatMode->isChecked());
        QCOMPARE(ShownPicture(*w), 0);
    }

    void heatModeStopsAnimation()
    {
        w->show();
        HoldRealTimer();
        StartAnimation();
        w->Timer1Timer();
        w->Timer1Timer();
        QTest::mouseClick(w->CheckHeatMode, Qt::LeftButton);
        QVERIFY(!w->CheckAnimate->isChecked());
        QVERIFY(!w->Timer1->isActive());
        QCOMPARE(w->SpinDiscOpening->value(), 30);
        QCOMPARE(ShownPicture(*w), TVSDFrm::HeatPicture);
    }

    void animateClearsHeatAndSwings()
    {
        w->show();
        HoldRealTimer();
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        w->SpinDiscOpening->setValue(80);
        QTest::mouseClick(w->CheckHeatMode, Qt::LeftButton);
        QVERIFY(w->CheckHeatMode->isChecked());

        QTest::mouseClick(w->CheckAnimate, Qt::LeftButton);
        QVERIFY(w->CheckAnimate->isChecked());
        QVERIFY(!w->CheckHeatMode->isChecked());
        QVERIFY(w->Timer1->isActive());
        QCOMPARE(w->SpinDiscOpening->value(), 30);
        QCOMPARE(w->FAnimationStep, 1);
        QCOMPARE(ShownPicture(*w), 0);

        // Up to 100 %, down to 30 %, and up again: a full swing is 14 steps.
        const QList<int> expected = {40, 50, 60, 70, 80, 90, 100, 90, 80, 70, 60, 50, 40, 30, 40, 50};
        for (int step = 0; step < expected.size(); ++step) {
            w->Timer1Timer();
            const int value = expected[step];
            QCOMPARE(w->SpinDiscOpening->value(), value);
            QCOMPARE(w->FPictureIndex, (value - 30) / 10);
            QCOMPARE(ShownPicture(*w), (value - 30) / 10);
            QVERIFY(w->CheckAnimate->isChecked());
            QVERIFY(w->Timer1->isActive());
        }
    }

    void animateRestartsFromThirty()
    {
        w->show();
        HoldRealTimer();
        StartAnimation();
        for (int i = 0; i < 9; ++i)   // up to 100 and back to 80, moving down
            w->Timer1Timer();
        QCOMPARE(w->SpinDiscOpening->value(), 80);
        QCOMPARE(w->FAnimationStep, -1);

        QTest::mouseClick(w->CheckAnimate, Qt::LeftButton);   // stops where it stands
        QVERIFY(!w->Timer1->isActive());
        QCOMPARE(w->SpinDiscOpening->value(), 80);
        QCOMPARE(ShownPicture(*w), 5);

        QTest::mouseClick(w->CheckAnimate, Qt::LeftButton);   // starts over at 30, going up
        QCOMPARE(w->SpinDiscOpening->value(), 30);
        QCOMPARE(w->FAnimationStep, 1);
        w->Timer1Timer();
        QCOMPARE(w->SpinDiscOpening->value(), 40);
    }

    // The user's arrows take the disc over from the animation and from heat mode.
    void userArrowStopsAnimation_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("value");
        QTest::newRow("mouse on up arrow") << QStringLiteral("mouse up") << 70;
        QTest::newRow("mouse on down arrow") << QStringLiteral("mouse down") << 50;
        QTest::newRow("up key") << QStringLiteral("key up") << 70;
        QTest::newRow("down key") << QStringLiteral("key down") << 50;
    }

    void userArrowStopsAnimation()
    {
        QFETCH(QString, how);
        QFETCH(int, value);
        Activate();
        HoldRealTimer();
        StartAnimation();
        for (int i = 0; i < 3; ++i)
            w->Timer1Timer();
        QCOMPARE(w->SpinDiscOpening->value(), 60);
        QVERIFY(!w->FSpinFocused);

        if (how == QLatin1String("mouse up"))
            ClickArrow(w->SpinDiscOpening, QStyle::SC_SpinBoxUp);
        else if (how == QLatin1String("mouse down"))
            ClickArrow(w->SpinDiscOpening, QStyle::SC_SpinBoxDown);
        else {
            w->SpinDiscOpening->setFocus(Qt::TabFocusReason);
            QTest::keyClick(w->SpinDiscOpening, how == QLatin1String("key up") ? Qt::Key_Up : Qt::Key_Down);
        }

        QVERIFY(w->FSpinFocused);
        QCOMPARE(w->SpinDiscOpening->value(), value);
        QVERIFY(!w->Timer1->isActive());
        QVERIFY(!w->CheckAnimate->isChecked());
        QVERIFY(!w->CheckHeatMode->isChecked());
        QCOMPARE(ShownPicture(*w), (value - 30) / 10);
    }

    void userArrowLeavesHeatMode()
    {
        Activate();
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        QTest::mouseClick(w->CheckHeatMode, Qt::LeftButton);
        QCOMPARE(ShownPicture(*w), TVSDFrm::HeatPicture);
        ClickArrow(w->SpinDiscOpening, QStyle::SC_SpinBoxUp);
        QVERIFY(!w->CheckHeatMode->isChecked());
        QCOMPARE(w->SpinDiscOpening->value(), 40);
        QCOMPARE(ShownPicture(*w), 1);
    }

    void spinTextCannotBeTyped()
    {
        Activate();
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        w->SpinDiscOpening->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(w->SpinDiscOpening, QStringLiteral("95"));
        QTest::keyClick(w->SpinDiscOpening, Qt::Key_Backspace);
        QTest::keyClick(w->SpinDiscOpening, Qt::Key_Return);
        QCOMPARE(w->SpinDiscOpening->value(), 30);
        QCOMPARE(w->SpinDiscOpening->text(), QStringLiteral("30"));
    }

    // Holding the focus in the spin edit stops the animation at its next step.
    void focusedSpinStopsAnimationAtNextStep()
    {
        Activate();
        HoldRealTimer();
        StartAnimation();
        w->SpinDiscOpening->setFocus(Qt::TabFocusReason);
        QVERIFY(w->FSpinFocused);
        w->Timer1Timer();
        QCOMPARE(w->SpinDiscOpening->value(), 40);
        QCOMPARE(ShownPicture(*w), 1);
        QVERIFY(!w->CheckAnimate->isChecked());
        QVERIFY(!w->Timer1->isActive());

        // Moving on to another control ends the user's hold.
        w->BtnClose->setFocus(Qt::TabFocusReason);
        QVERIFY(!w->FSpinFocused);
    }

    void clearingManualStopsAnimation()
    {
        w->show();
        HoldRealTimer();
        StartAnimation();
        w->Timer1Timer();
        w->Timer1Timer();
        QCOMPARE(ShownPicture(*w), 2);

        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        QVERIFY(!w->CheckManual->isChecked());
        QVERIFY(!w->CheckAnimate->isChecked());
        QVERIFY(!w->Timer1->isActive());
        QVERIFY(!w->SpinDiscOpening->isEnabled());
        QVERIFY(!w->CheckAnimate->isEnabled());
        QVERIFY(!w->CheckHeatMode->isEnabled());
        QCOMPARE(w->SpinDiscOpening->value(), 50);
        QCOMPARE(ShownPicture(*w), 2);
    }

    void clearingManualKeepsHeatMode()
    {
        w->show();
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        QTest::mouseClick(w->CheckHeatMode, Qt::LeftButton);
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        QVERIFY(w->CheckHeatMode->isChecked());
        QVERIFY(!w->CheckHeatMode->isEnabled());
        QCOMPARE(ShownPicture(*w), TVSDFrm::HeatPicture);
    }

    void clearingManualWithFocusInSpinEndsUserHold()
    {
        Activate();
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        ClickArrow(w->SpinDiscOpening, QStyle::SC_SpinBoxUp);
        QVERIFY(w->FSpinFocused);
        // Disabling the spin edit takes its focus away; the main window's
        // next assignment must not count as the user's.
        w->CheckManual->setChecked(false);
        QVERIFY(!w->FSpinFocused);
        w->SpinDiscOpening->setValue(30);
        w->CheckHeatMode->setChecked(true);
        QVERIFY(w->CheckHeatMode->isChecked());
        QCOMPARE(ShownPicture(*w), TVSDFrm::HeatPicture);
    }

    // Every released key goes once, with the topic "Zoom", to the help hook,
    // wherever the focus is.
    void keysGoToHelpHook_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("target");
        QTest::newRow("F1 on the window") << int(Qt::Key_F1) << QStringLiteral("window");
        QTest::newRow("F1 on a check box") << int(Qt::Key_F1) << QStringLiteral("check");
        QTest::newRow("F1 on the spin edit") << int(Qt::Key_F1) << QStringLiteral("spin");
        QTest::newRow("F1 on a label") << int(Qt::Key_F1) << QStringLiteral("label");
        QTest::newRow("A on the window") << int(Qt::Key_A) << QStringLiteral("window");
        QTest::newRow("Escape on the button") << int(Qt::Key_Escape) << QStringLiteral("button");
    }

    void keysGoToHelpHook()
    {
        QFETCH(int, key);
        QFETCH(QString, target);
        Activate();
        w->SetHelpHook([this](const QString& topic, int k) { keyCalls.append({topic, k}); });
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);

        QWidget* receiver = w.get();
        if (target == QLatin1String("check"))
            receiver = w->CheckAnimate;
        else if (target == QLatin1String("spin"))
            receiver = w->SpinDiscOpening;
        else if (target == QLatin1String("label"))
            receiver = w->Label1;
        else if (target == QLatin1String("button"))
            receiver = w->BtnClose;
        if (receiver != w.get() && receiver->focusPolicy() != Qt::NoFocus)
            receiver->setFocus(Qt::TabFocusReason);

        QTest::keyPress(receiver, Qt::Key(key));
        QVERIFY(keyCalls.isEmpty());   // the press alone does nothing
        QTest::keyRelease(receiver, Qt::Key(key));
        QCOMPARE(keyCalls.size(), 1);
        QCOMPARE(keyCalls[0].topic, QStringLiteral("Zoom"));
        QCOMPARE(keyCalls[0].key, key);
        QVERIFY(w->isVisible());
    }

    void f1WithoutHookOpensHelpAtZoom()
    {
        QVERIFY2(QFileInfo::exists(DefaultHelpFilePath()), qPrintable(DefaultHelpFilePath()));
        TMessageRecorder recorder;
        Activate();
        QTest::keyClick(w.get(), Qt::Key_A);
        QVERIFY(!SharedHelpViewer() || !SharedHelpViewer()->isVisible());

        QTest::keyClick(w.get(), Qt::Key_F1);
        QVERIFY(SharedHelpViewer());
        QVERIFY(SharedHelpViewer()->isVisible());
        QCOMPARE(LastShownHelpTopic(), QStringLiteral("Zoom"));
        QVERIFY(recorder.messages().isEmpty());
        SharedHelpViewer()->close();
    }

    void closeHidesAndKeepsState()
    {
        Activate();
        HoldRealTimer();
        QTest::mouseClick(w->CheckManual, Qt::LeftButton);
        ClickArrow(w->SpinDiscOpening, QStyle::SC_SpinBoxUp);
        ClickArrow(w->SpinDiscOpening, QStyle::SC_SpinBoxUp);
        QTest::mouseClick(w->CheckAnimate, Qt::LeftButton);
        w->Timer1Timer();
        w->Timer1Timer();
        w->Timer1Timer();
        w->lblCaption->setText(QStringLiteral("Right Room"));
        QCOMPARE(w->SpinDiscOpening->value(), 60);

        QTest::mouseClick(w->BtnClose, Qt::LeftButton);
        QVERIFY(!w->isVisible());

        w->show();
        QVERIFY(w->isVisible());
        QCOMPARE(w->lblCaption->text(), QStringLiteral("Right Room"));
        QVERIFY(w->CheckManual->isChecked());
        QVERIFY(w->CheckAnimate->isChecked());
        QVERIFY(!w->CheckHeatMode->isChecked());
        QCOMPARE(w->SpinDiscOpening->value(), 60);
        QCOMPARE(ShownPicture(*w), 3);
        QVERIFY(w->Timer1->isActive());
    }
};

QTEST_MAIN(TestZoomDif)
#include "tst_zoomdif.moc"
