// Corvane-Air Calorift: starts the windows in their fixed order and runs the
// message loop until the main window closes.
#include "CommandLine.h"
#include "UnitHighCali.h"
#include "UnitLowCali.h"
#include "UnitLowPres.h"
#include "UnitMovie.h"
#include "UnitZoomDif.h"

#include "table/EasyTable.h"
#include "vcl/Messages.h"

#include <QApplication>
#include <QIcon>

#include <exception>
#include <memory>

namespace {

// Every secondary window hands its released keys, with its own help topic,
// to the main window.
void ShowHelpFromOtherWindow(const QString& topic, int key)
{
    if (LowPresFrm)
        LowPresFrm->ShowHelpTopic(topic, key);
}

// The intro plays on the main window's first show when its table exists.
// A broken intro table only costs the intro.
QWidget* CreateIntro(TLowPresFrm* main)
{
    try {
        auto* intro = new TMovieFrm(main->EasyCorvAirData.get(), main);
        // Without a window manager the main window may never be activated
        // again, so the end of the intro starts its animation itself.
        QObject::connect(intro, &TMovieFrm::IntroHidden, main, [main] {
            if (main->isActiveWindow())
                main->FormActivate();
            else
                main->activateWindow();
        });
        return intro;
    } catch (const TTableError& e) {
        ShowMessage(e.message());
        return nullptr;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (const int status = HandleCommandLine(argc, argv); status >= 0)
        return status;
    QApplication app(argc, argv);
    ArmQuitAfterShow();
    const QString title = QStringLiteral("Corvane-Air Calorift");
    QApplication::setApplicationName(title);
    QApplication::setApplicationDisplayName(title);
    QGuiApplication::setDesktopFileName(QStringLiteral("corvair"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("corvair")));
    TLowPresFrm::SetIntroFactory(CreateIntro);

    std::unique_ptr<TLowPresFrm> mainWindow;
    std::unique_ptr<TVSDFrm> closeUp;
    std::unique_ptr<TLowCaliFrm> lowCali;
    std::unique_ptr<THighCaliFrm> highCali;
    // The windows read the asset database while they are built. When it
    // cannot be read, say which file and why, and stop before any window
    // appears.
    try {
        mainWindow = std::make_unique<TLowPresFrm>();

        // The close-up starts hidden.
        closeUp = std::make_unique<TVSDFrm>();
        closeUp->SetHelpHook(ShowHelpFromOtherWindow);
        closeUp->close();

        lowCali = std::make_unique<TLowCaliFrm>(mainWindow->ScaleFactor, mainWindow->EasyImages.get(),
                                                ShowHelpFromOtherWindow);
        highCali = std::make_unique<THighCaliFrm>(mainWindow->ScaleFactor, mainWindow->EasyImages.get(),
                                                  ShowHelpFromOtherWindow);
    } catch (const TTableError& e) {
        ShowMessage(e.message());
        return 1;
    } catch (const std::exception& e) {
        ShowMessage(QStringLiteral("The program could not start: %1").arg(QString::fromLocal8Bit(e.what())));
        return 1;
    }

    // Only the main window keeps the program alive.
    for (QWidget* w : {static_cast<QWidget*>(closeUp.get()), static_cast<QWidget*>(lowCali.get()),
                       static_cast<QWidget*>(highCali.get())})
        w->setAttribute(Qt::WA_QuitOnClose, false);
    TLowCaliFrm* low = lowCali.get();
    THighCaliFrm* high = highCali.get();
    mainWindow->SetCalibrationWindows({low, [low](bool metric) { low->SetPressureLabels(metric); }},
                                      {high, [high](bool metric) { high->SetPressureLabels(metric); }});

    // The first show refreshes the units of all windows, so it comes after
    // they all exist.
    mainWindow->show();
    const int result = app.exec();
    highCali.reset();
    lowCali.reset();
    closeUp.reset();
    mainWindow.reset();
    return result;
}
