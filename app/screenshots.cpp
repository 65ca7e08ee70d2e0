// corvair-screenshots OUTDIR: pictures of the main window for the docs,
// rendered offscreen on pretend screens, with the simulation run ahead by
// calling the timer handlers.
#include "UnitLowPres.h"
#include "UnitZoomDif.h"

#include "GR32_Extra.h"
#include "UnitArrow.h"
#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void hold(TLowPresFrm& f)
{
    f.ControlLoopTimer->stop();
    f.ArrowTimer->stop();
    f.FanTimer->stop();
}

std::unique_ptr<TLowPresFrm> shownWindow(int width, int height)
{
    TScreen::SetMetrics(width, height, 96);
    auto f = std::make_unique<TLowPresFrm>();
    f->show();
    hold(*f);
    return f;
}

// Moves the arrows and the fan along, as the window's timers would.
void animate(TLowPresFrm& f, int arrowSteps)
{
    for (int i = 0; i < arrowSteps; ++i) {
        f.ArrowTimerTimer();
        if (i % 3 == 0)
            f.FanTimerTimer();
    }
}

bool save(TLowPresFrm& f, const QString& dir, const QString& name)
{
    QApplication::processEvents();
    hold(f);
    f.MainImage->ComposeNow();
    const QString path = QDir(dir).filePath(name);
    if (!f.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void press(QAbstractButton* b, int times = 1)
{
    for (int i = 0; i < times; ++i)
        b->click();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane-Air Calorift"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvair-screenshots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    try {
        TScreen::SetMetrics(800, 600, 96);
        TVSDFrm closeUp;
        closeUp.close();

        // Fresh windows, as they open.
        {
            auto f = shownWindow(800, 600);
            f->ControlLoopTimerTimer();
            animate(*f, 7);
            ok &= save(*f, out, QStringLiteral("main-800x600.png"));
        }
        {
            auto f = shownWindow(1024, 768);
            f->ControlLoopTimerTimer();
            animate(*f, 7);
            ok &= save(*f, out, QStringLiteral("main-1024x768.png"));
        }

        // Loads in every room, three minutes of simulated time, then each
        // system in each unit system.
        for (bool high : {false, true}) {
            for (bool metric : {false, true}) {
                auto f = shownWindow(1024, 768);
                press(f->SpinBtnLeft->UpButton(), 3);      // sun, 75 %
                press(f->SpinBtnMid1->UpButton(), 2);      // people and machines, 50 %
                press(f->SpinBtnMid2->UpButton(), 4);      // 100 %
                press(f->BtnHotColdRight);                 // cold outer wall
                press(f->SpinBtnRight->UpButton(), 2);     // 50 %
                press(f->UpDownTempSetpoint2->UpButton(), 1);
                if (high)
                    press(f->BtnToggleSystems);
                if (metric)
                    press(f->RadioMetric);
                for (int tick = 0; tick < 360; ++tick)
                    f->ControlLoopTimerTimer();
                animate(*f, 23);
                const QString name = QStringLiteral("main-%1-%2.png")
                                         .arg(high ? QStringLiteral("highpressure") : QStringLiteral("lowpressure"),
                                              metric ? QStringLiteral("metric") : QStringLiteral("imperial"));
                ok &= save(*f, out, name);
            }
        }

        // The start-up sequence under way.
        {
            auto f = shownWindow(1024, 768);
            press(f->SpinBtnMid1->UpButton(), 1);
            press(f->ButSpeedStart);
            for (int tick = 0; tick < 4; ++tick)
                f->ControlLoopTimerTimer();
            animate(*f, 11);
            ok &= save(*f, out, QStringLiteral("main-startup.png"));
        }
    } catch (const TTableError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return ok ? 0 : 1;
}
