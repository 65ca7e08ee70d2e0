// Arrow tables: every 8 input bytes make one row of ArrowTable_800x600
// (path number, X, Y, heading, path name, now and then NULL, text, a real or
// a number beyond 32 bits in a field). The rows are written to a real table
// file and read by the main window's own loader; the window then animates,
// switches systems and composes its scene.
#include "UnitArrow.h"
#include "UnitLowPres.h"

#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariant>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

const char* const kPathNames[] = {"LeftL", "LeftR", "Mid1L", "Mid1R", "mid2L", "mid2R", "RightL",
                                  "RightR", "D0", "D1", "D2", "D3", "H0", "H1", "H2", "H3", "",
                                  "O'Brien\"; DROP TABLE ArrowTable_800x600; --"};

// Never destroyed: the process ends with the fuzzer, after Qt's own statics.
QApplication* g_app = nullptr;
QTemporaryDir* g_dir = nullptr;
TLowPresFrm* g_window = nullptr;
TMessageRecorder* g_messages = nullptr;

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_arrows: %s\n", what);
        std::abort();
    }
}

QVariant oddValue(uint8_t code)
{
    switch (code % 6) {
    case 0: return QVariant();  // NULL
    case 1: return QStringLiteral("x");
    case 2: return 2.5;
    case 3: return qint64(1) << 40;
    case 4: return INT_MAX;
    default: return INT_MIN;
    }
}

bool writeTable(const QString& path, const uint8_t* data, size_t size)
{
    QFile::remove(path);
    static int counter = 0;
    const QString name = QStringLiteral("fuzz-writer-%1").arg(++counter);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        ok = ok && q.exec(QStringLiteral("PRAGMA journal_mode=OFF"));
        ok = ok && q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        ok = ok && q.exec(QStringLiteral("CREATE TABLE ArrowTable_800x600 (ArrowNr INTEGER, X INTEGER, "
                                         "Y INTEGER, Angle INTEGER, PathName TEXT)"));
        ok = ok && q.exec(QStringLiteral("CREATE INDEX ArrowNr ON ArrowTable_800x600 (ArrowNr)"));
        ok = ok && q.exec(QStringLiteral("BEGIN"));
        QSqlQuery insert(db);
        ok = ok && insert.prepare(QStringLiteral("INSERT INTO ArrowTable_800x600 VALUES (?, ?, ?, ?, ?)"));
        for (size_t at = 0; ok && at + 8 <= size; at += 8) {
            const uint8_t* r = data + at;
            const uint8_t flags = r[7];
            const int nr = (r[0] & 0xE0) == 0xE0 ? int(int8_t(r[0])) : r[0] % 32;
            const int scale = (flags & 1) ? 65536 : 1;
            const int x = int(int16_t(r[1] | (r[2] << 8))) * scale;
            const int y = int(int16_t(r[3] | (r[4] << 8))) * scale;
            const int angle = int(int8_t(r[5])) * 3;
            const QString pathName = QString::fromUtf8(kPathNames[r[6] % std::size(kPathNames)]);
            QVariant fields[5] = {nr, x, y, angle, pathName};
            if (flags & 0x80)  // one field of an unexpected kind
                fields[(flags >> 4) % 5] = oddValue(flags >> 1);
            for (const QVariant& v : fields)
                insert.addBindValue(v);
            ok = insert.exec();
        }
        ok = ok && q.exec(QStringLiteral("COMMIT"));
        if (!ok)
            std::fprintf(stderr, "fuzz_arrows: cannot write the table: %s\n",
                         qPrintable(db.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_app = new QApplication(*argc, *argv);
    g_messages = new TMessageRecorder;  // lives for the whole run
    QString database = qEnvironmentVariable("CORVAIR_FUZZ_DATABASE");
    if (database.isEmpty())
        database = QCoreApplication::applicationDirPath() + QStringLiteral("/DataBase");
    check(QFile::exists(database + QStringLiteral("/BitmapTable.bdf")),
          "no generated database (set CORVAIR_FUZZ_DATABASE)");
    TScreen::SetMetrics(800, 600, 96);
    TLowPresFrm::SetDatabaseDirectory(database);
    g_window = new TLowPresFrm();
    g_window->show();
    g_window->ControlLoopTimer->stop();
    g_window->ArrowTimer->stop();
    g_window->FanTimer->stop();
    g_window->ControlLoopTimerTimer();
    // From here on the window reads its arrow table from a folder of our own.
    g_dir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/fuzz_arrows-XXXXXX"));
    g_window->EasyCorvAirData->SetDirectory(g_dir->path());
    std::atexit([] { g_dir->remove(); });
    // Whatever the scene builds once and keeps (fonts, caches) is built now.
    for (int system = 0; system < 2; ++system) {
        g_window->MainImage->ComposeNow();
        g_window->BtnToggleSystemsClick();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 8 * 4096)
        return -1;
    TLowPresFrm& f = *g_window;
    if (!writeTable(g_dir->filePath(QStringLiteral("ArrowTable_800x600.bdf")), data, size))
        return -1;

    g_messages->clear();
    bool failed = false;
    try {
        f.LoadArrowPaths();
    } catch (const TTableError& e) {
        // The program ends on this with the message; it must name the table.
        check(e.message().contains(QStringLiteral("ArrowTable_800x600")), "unnamed table fault");
        failed = true;
        f.EasyPath->Close();
    }
    if (!failed && g_messages->messages().isEmpty()) {
        check(f.ArrowsLoaded && !f.AirFlowLayers.empty(), "arrows loaded without a path");
        for (const TAirFlowLayer* l : f.AirFlowLayers)
            check(l->Points() >= 1, "a path without points");
    }

    // Animate in both systems, then back to where we started.
    for (int system = 0; system < 2; ++system) {
        for (int i = 0; i < 3; ++i)
            f.ArrowTimerTimer();
        f.FanTimerTimer();
        f.MainImage->ComposeNow();
        f.BtnToggleSystemsClick();
    }
    return 0;
}
