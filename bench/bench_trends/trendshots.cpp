// corvair-trendshots OUTDIR: the Trends window after a ten-minute lesson at
// the main window's speed, once for each system, rendered offscreen.
#include "TrendRecorder.h"
#include "TrendScenario.h"
#include "TrendsWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvair-trendshots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "corvair-trendshots: cannot create %s\n", argv[1]);
        return 1;
    }

    TTrendRecorder recorder;
    trendscenario::RunClass(recorder, trendscenario::ClassTicks, 90);

    bool metric = false;
    bool high = false;
    TTrendsWindow window(recorder, {[&] { return metric; }, [&] { return high; }, nullptr});
    window.ComboSpan->setCurrentIndex(1); // ten minutes: the whole lesson
    window.resize(900, 820);
    window.show();

    struct Shot {
        const char* file;
        bool metric, high;
    };
    // The low-pressure system in the program's first units, the
    // high-pressure one in metric units.
    for (const Shot& s : {Shot{"trends-low.png", false, false}, Shot{"trends-high.png", true, true}}) {
        metric = s.metric;
        high = s.high;
        window.SyncWithMainWindow();
        QApplication::processEvents();
        window.Redraw(); // with the plot areas laid out
        const QString path = QDir(out).filePath(QLatin1String(s.file));
        if (!window.grab().save(path)) {
            std::fprintf(stderr, "corvair-trendshots: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
