// corvair-assetgen: draws every picture and arrow path of the simulator and
// writes the asset tables.
//
//   corvair-assetgen [--pictures DIR] OUTDIR
//
// OUTDIR receives the tables (BitmapTable.bdf, ArrowTable_800x600.bdf, and
// MovieTable.bdf when there are intro frames). The pictures compiled into the
// program (close-up pictures, logo) go below DIR, or below OUTDIR without it.

#include "AssetWriter.h"
#include "families/Families.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

using Family = void (*)(AssetSink&);

// Every picture family, in the order their records are stored.
constexpr Family families[] = {
    addRoomPictures,
    addDuctPictures,
    addArrowPaths,
    addCloseupPictures,
    addLogo,
    addCalibrationPictures,
    addIntroPictures,
};

} // namespace

int main(int argc, char* argv[])
{
    // Drawing needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvair-assetgen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the simulator's pictures and arrow paths and writes the asset tables."));
    parser.addHelpOption();
    QCommandLineOption pictures(QStringLiteral("pictures"),
                                QStringLiteral("Folder for the pictures compiled into the program (default: OUTDIR)."),
                                QStringLiteral("DIR"));
    parser.addOption(pictures);
    parser.addPositionalArgument(QStringLiteral("OUTDIR"), QStringLiteral("Folder for the asset tables."));
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: corvair-assetgen [--pictures DIR] OUTDIR\n");
        return 2;
    }
    const QString outDir = QDir(args.first()).absolutePath();
    const QString pictureDir = parser.isSet(pictures) ? QDir(parser.value(pictures)).absolutePath() : outDir;

    AssetWriter writer;
    for (Family family : families)
        family(writer);
    QString error;
    if (!writer.write(outDir, pictureDir, &error)) {
        std::fprintf(stderr, "corvair-assetgen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
