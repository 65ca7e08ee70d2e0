// Renders the intro for looking at it: the window at a few frames, the
// closing stage, and a contact sheet of every frame.
//
//   corvair-intro-shots OUTDIR
//
// Run from the folder that holds DataBase/ (build/bin).
#include "UnitMovie.h"

#include "GR32_Extra.h"
#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/Messages.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTimer>

#include <cstdio>

namespace {

QImage ContactSheet(TEasyDatabase& database)
{
    TEasyTable table(&database, QStringLiteral("MovieTable"));
    constexpr int Columns = 7, ThumbW = 240, ThumbH = 125, Label = 16, Gap = 6;
    constexpr int Rows = (TMovieFrm::FrameTotal + Columns - 1) / Columns;
    QImage sheet(Columns * (ThumbW + Gap) + Gap, Rows * (ThumbH + Label + Gap) + Gap, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int n = 1; n <= TMovieFrm::FrameTotal; ++n) {
        const int x = Gap + ((n - 1) % Columns) * (ThumbW + Gap);
        const int y = Gap + ((n - 1) / Columns) * (ThumbH + Label + Gap);
        p.drawText(x, y + 12, TMovieFrm::FrameName(n));
        if (auto frame = LoadNamedBitmap(&table, TMovieFrm::FrameName(n)))
            p.drawImage(QRect(x, y + Label, ThumbW, ThumbH), frame->Image());
    }
    return sheet;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvair-intro-shots OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    TMessageRecorder messages;
    TEasyDatabase database;
    database.SetDirectory(QCoreApplication::applicationDirPath() + QStringLiteral("/DataBase"));

    auto* window = new TMovieFrm(&database);
    window->show();
    window->MovieTimer->stop();  // this program is the clock
    int shown = 1;
    for (int frame : {10, 40, 78}) {
        while (shown < frame) {
            window->MovieTimerTimer();
            ++shown;
        }
        window->grab().save(out.filePath(QStringLiteral("intro-frame-%1.png").arg(frame, 3, 10, QLatin1Char('0'))));
    }
    // Closing stage: the fade through, the target blinked on.
    while (!window->GreenTimer->isActive() || window->FLogoList->Children(1)->Bitmap().MasterAlpha() < 255)
        window->MovieTimerTimer();
    window->GreenTimerTimer();
    window->grab().save(out.filePath(QStringLiteral("intro-closing.png")));
    delete window;

    ContactSheet(database).save(out.filePath(QStringLiteral("intro-frames-sheet.png")));
    for (const QString& m : messages.messages())
        std::fprintf(stderr, "message: %s\n", qPrintable(m));
    return messages.messages().isEmpty() ? 0 : 1;
}
