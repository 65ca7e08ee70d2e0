#include "CommandLine.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <string>

#ifndef CORVAIR_VERSION
#error "CORVAIR_VERSION must be defined by the build"
#endif

namespace {

const char* const kUsage =
    "Usage: corvair [--help] [--version]\n"
    "\n"
    "Corvane-Air Calorift: an interactive simulator of a variable-air-volume\n"
    "air-distribution system with self-balancing control-disc diffusers.\n"
    "Without options it opens the system simulator window.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this text and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "The program reads its pictures from DataBase/ and its help from\n"
    "Help/Corv_Air.html beside the program file, and writes no files.\n"
    "corvair-sim runs the same air-system models without a window (CSV out).\n";

// Keeps an argument readable on one line of the terminal, whatever it holds.
std::string printable(const char* text)
{
    std::string out(text);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f)
            c = '?';
    }
    return out;
}

class QuitAfterShowFilter : public QObject
{
public:
    QuitAfterShowFilter(int delayMs, QObject* parent)
        : QObject(parent), m_delayMs(delayMs) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Any top-level window counts, so a start-up message box ends the
        // run too (with the status its caller returns) instead of waiting
        // for a click nobody will make.
        if (!m_armed && event->type() == QEvent::Show && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->isWindow()) {
            m_armed = true;
            QTimer::singleShot(m_delayMs, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int m_delayMs;
    bool m_armed = false;
};

} // namespace

int HandleCommandLine(int argc, char** argv)
{
    if (argc <= 1)
        return -1;
    const auto is = [](const char* arg, const char* shortName, const char* longName) {
        return std::strcmp(arg, shortName) == 0 || std::strcmp(arg, longName) == 0;
    };
    if (argc == 2 && is(argv[1], "-h", "--help")) {
        std::fputs(kUsage, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (argc == 2 && is(argv[1], "-v", "--version")) {
        std::printf("corvair %s\n", CORVAIR_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    for (int i = 1; i < argc; ++i) {
        if (is(argv[i], "-h", "--help") || is(argv[i], "-v", "--version"))
            continue;
        const std::string shown = printable(argv[i]);
        if (argv[i][0] == '-')
            std::fprintf(stderr, "corvair: unknown option '%s' (try 'corvair --help')\n", shown.c_str());
        else
            std::fprintf(stderr, "corvair: unexpected argument '%s' (try 'corvair --help')\n", shown.c_str());
        return 2;
    }
    std::fputs("corvair: give --help or --version alone\n", stderr);
    return 2;
}

void ArmQuitAfterShow()
{
    if (!QCoreApplication::instance())
        return;
    bool ok = false;
    const int delayMs = qEnvironmentVariableIntValue("CORVAIR_QUIT_AFTER_SHOW_MS", &ok);
    if (!ok || delayMs < 0)
        return;
    auto* filter = new QuitAfterShowFilter(delayMs, QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}
