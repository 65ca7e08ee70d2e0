// Broken asset databases: each table file in turn is missing, empty, cut
// short, noise, the wrong table, has the wrong columns, NULLs, values of the
// wrong kind, absurd pictures, hostile names, too few or odd arrow paths, or
// a hundred thousand rows. The windows are built in-process the way the
// program builds them, and the program itself is started on the same folder:
// either it shows its fixed messages and goes on, or it names the file and
// the fault and ends with a non-zero status. Never a crash, a hang, a write
// to the database or memory without bound.

#include "UnitHighCali.h"
#include "UnitLowCali.h"
#include "UnitLowPres.h"
#include "UnitMovie.h"
#include "SpinButton.h"
#include "UnitZoomDif.h"

#include "UnitArrow.h"
#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtEndian>
#include <QtTest>

#include <sys/resource.h>

#include <cmath>
#include <memory>

namespace {

const QString kBitmap = QStringLiteral("BitmapTable");
const QString kArrow = QStringLiteral("ArrowTable_800x600");
const QString kMovie = QStringLiteral("MovieTable");
const QStringList kTables = {kBitmap, kArrow, kMovie};

enum Outcome {
    Fatal,   // the window being built reports the table fault (the intro: only the intro is lost)
    GoesOn,  // the program goes on, with or without its fixed messages
    Either,  // a cut-off file: which read fails first depends on where the cut falls
};
enum Messages { None, Some, Any };

QString BinDir()
{
    return QCoreApplication::applicationDirPath();
}

QString GeneratedDatabase()
{
    return BinDir() + QStringLiteral("/DataBase");
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The most memory a child may ever have held; the program needs a fraction.
// AddressSanitizer's shadow and quarantine count too.
constexpr long kChildRssLimitKb = kSanitized ? 3L * 1024 * 1024 : 1024L * 1024;

// The fixed texts the loaders show, and the clear one for a table that
// breaks while the intro plays.
bool IsKnownMessage(const QString& m)
{
    static const QList<QRegularExpression> known = {
        QRegularExpression(QStringLiteral("^Bitmap .* not in (BitmapTable|MovieTable)$")),
        QRegularExpression(
            QStringLiteral("^Bitmap .* has unknown image type .* in (BitmapTable|MovieTable)$")),
        QRegularExpression(
            QStringLiteral("^Bitmap .* in (BitmapTable|MovieTable) could not be decoded$")),
        QRegularExpression(QStringLiteral("^Empty BMP$")),
        QRegularExpression(
            QStringLiteral("^The Database table containing the arrow path is empty\\.$")),
        QRegularExpression(QStringLiteral("^Error\\. Could not load arrows$")),
        QRegularExpression(QStringLiteral(
            "^Cannot read the asset table MovieTable \\(file .*MovieTable\\.bdf\\): .+")),
    };
    for (const QRegularExpression& re : known)
        if (re.match(m).hasMatch())
            return true;
    return false;
}

QString RunSql(const QString& path, const QStringList& statements)
{
    static int counter = 0;
    const QString name = QStringLiteral("corrupt-writer-%1").arg(++counter);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            error = db.lastError().text();
        for (const QString& s : statements) {
            if (!error.isEmpty())
                break;
            QSqlQuery q(db);
            if (!q.exec(s))
                error = s + QStringLiteral(": ") + q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

QByteArray FileHash(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash h(QCryptographicHash::Sha1);
    h.addData(&f);
    return h.result();
}

// A BMP and a GIF that declare 30000 x 30000 pixels and hold a few bytes.
QByteArray HugeBmp()
{
    QByteArray d(14 + 40 + 16, '\0');
    d[0] = 'B';
    d[1] = 'M';
    auto put32 = [&d](int at, quint32 v) { qToLittleEndian<quint32>(v, d.data() + at); };
    auto put16 = [&d](int at, quint16 v) { qToLittleEndian<quint16>(v, d.data() + at); };
    put32(2, quint32(d.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 30000);
    put32(22, 30000);
    put16(26, 1);
    put16(28, 24);
    return d;
}

QByteArray HugeGif()
{
    QByteArray d("GIF89a");
    auto put16 = [&d](quint16 v) { d.append(char(v & 0xFF)).append(char(v >> 8)); };
    put16(30000);
    put16(30000);
    d.append('\0').append('\0').append('\0');
    d.append(',');
    put16(0);
    put16(0);
    put16(30000);
    put16(30000);
    d.append('\0');
    d.append(QByteArray::fromHex("02024c0100"));
    d.append(';');
    return d;
}

QString Hex(const QByteArray& bytes)
{
    return QStringLiteral("X'%1'").arg(QString::fromLatin1(bytes.toHex()));
}

// Turns the copy of `table` at `path` into the fault. False: unknown fault.
bool ApplyFault(const QString& table, const QString& path, const QString& fault, QString& error)
{
    const bool arrows = table == kArrow;
    const QString t = table;
    QStringList sql;
    if (fault == QLatin1String("missing")) {
        QFile::remove(path);
        return true;
    }
    if (fault == QLatin1String("empty") || fault == QLatin1String("truncated")
        || fault == QLatin1String("random bytes") || fault == QLatin1String("damaged pages")) {
        QFile f(path);
        const qint64 size = f.size();
        if (fault == QLatin1String("empty")) {
            f.resize(0);
        } else if (fault == QLatin1String("truncated")) {
            f.resize(size / 2);
        } else if (fault == QLatin1String("damaged pages")) {
            // Zeros over the third quarter: the header and the first rows stay readable.
            if (!f.open(QIODevice::ReadWrite) || !f.seek(size / 2)
                || f.write(QByteArray(int(size / 4), '\0')) != size / 4)
                error = f.errorString();
        } else {
            QByteArray noise(int(std::min<qint64>(size, 256 * 1024)), '\0');
            QRandomGenerator gen(8);
            for (char& c : noise)
                c = char(gen.bounded(256));
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(noise) != noise.size())
                error = f.errorString();
        }
        return true;
    }
    if (fault == QLatin1String("no rows")) {
        sql << QStringLiteral("DELETE FROM %1").arg(t);
    } else if (fault == QLatin1String("wrong table")) {
        sql << QStringLiteral("ALTER TABLE %1 RENAME TO Pictures").arg(t);
    } else if (fault == QLatin1String("wrong columns")) {
        sql << QStringLiteral("ALTER TABLE %1 RENAME COLUMN %2 TO Kind")
                   .arg(t, arrows ? QStringLiteral("Angle") : QStringLiteral("ImageType"));
    } else if (fault == QLatin1String("NULL fields")) {
        if (arrows)
            sql << QStringLiteral("UPDATE %1 SET X = NULL, Y = NULL, Angle = NULL WHERE rowid % 3 = 0").arg(t)
                << QStringLiteral("UPDATE %1 SET PathName = NULL WHERE rowid % 7 = 0").arg(t)
                << QStringLiteral("UPDATE %1 SET ArrowNr = NULL WHERE rowid % 11 = 0").arg(t);
        else
            sql << QStringLiteral("UPDATE %1 SET Data = NULL WHERE rowid % 3 = 0").arg(t)
                << QStringLiteral("UPDATE %1 SET ImageType = NULL WHERE rowid % 3 = 1").arg(t);
    } else if (fault == QLatin1String("wrong field types")) {
        if (arrows)
            sql << QStringLiteral("UPDATE %1 SET Angle = 12.75 WHERE rowid % 2 = 0").arg(t)
                << QStringLiteral("UPDATE %1 SET X = 'left' WHERE rowid = 3").arg(t);
        else
            sql << QStringLiteral("UPDATE %1 SET ImageType = 'gif' WHERE rowid % 4 = 0").arg(t)
                << QStringLiteral("UPDATE %1 SET ImageType = 1.5 WHERE rowid % 4 = 1").arg(t)
                << QStringLiteral("UPDATE %1 SET Data = 'not a picture' WHERE rowid % 4 = 2").arg(t)
                << QStringLiteral("UPDATE %1 SET Name = 42 WHERE rowid % 9 = 3").arg(t);
    } else if (fault == QLatin1String("30000 x 30000 header") && !arrows) {
        sql << QStringLiteral("UPDATE %1 SET Data = %2 WHERE ImageType = 1").arg(t, Hex(HugeBmp()))
            << QStringLiteral("UPDATE %1 SET Data = %2 WHERE ImageType = 0").arg(t, Hex(HugeGif()));
    } else if (fault == QLatin1String("quotes and SQL in names")) {
        if (arrows) {
            sql << QStringLiteral("UPDATE %1 SET PathName = PathName || ''' OR ''1''=''1; "
                                  "DROP TABLE %1; --' WHERE ArrowNr <= 3").arg(t);
        } else {
            // Hostile rows first, so a lookup that matched too much would find them.
            const QString gif = Hex(QByteArray::fromHex(
                "47494638396101000100800000ff0000ffffff2c00000000010001000002024401003b"));
            sql << QStringLiteral("ALTER TABLE %1 RENAME TO Old").arg(t)
                << QStringLiteral("CREATE TABLE %1 (Name TEXT NOT NULL, Data BLOB, ImageType INTEGER)").arg(t);
            for (const char* name : {"' OR '1'='1", "Left_Background'; DROP TABLE BitmapTable; --",
                                     "Robert\"); DELETE FROM MovieTable; --", "%", "_", "*",
                                     "Name='Frame_0001'", "Frame_0001' --"}) {
                QString quoted = QString::fromUtf8(name);
                quoted.replace(QLatin1Char('\''), QLatin1String("''"));
                sql << QStringLiteral("INSERT INTO %1 VALUES ('%2', %3, 0)").arg(t, quoted, gif);
            }
            sql << QStringLiteral("INSERT INTO %1 SELECT * FROM Old").arg(t)
                << QStringLiteral("DROP TABLE Old");
        }
    } else if (fault == QLatin1String("100 000 rows")) {
        const QString rows = QStringLiteral("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                            "FROM c WHERE i < 100000) ");
        if (arrows) {
            sql << QStringLiteral("INSERT INTO %1 %2 SELECT i % 24, i % 500, i % 300, (i * 7) % 360, "
                                  "'Bulk' || (i % 24) FROM c").arg(t, rows);
        } else {
            // Before the real rows: every lookup walks past them.
            sql << QStringLiteral("ALTER TABLE %1 RENAME TO Old").arg(t)
                << QStringLiteral("CREATE TABLE %1 (Name TEXT NOT NULL, Data BLOB, ImageType INTEGER)").arg(t)
                << QStringLiteral("INSERT INTO %1 %2 SELECT 'Junk' || i, X'00', i % 2 FROM c").arg(t, rows)
                << QStringLiteral("INSERT INTO %1 SELECT * FROM Old").arg(t)
                << QStringLiteral("DROP TABLE Old");
        }
    } else if (fault == QLatin1String("fewer than sixteen paths") && arrows) {
        sql << QStringLiteral("DELETE FROM %1 WHERE ArrowNr > 5").arg(t);
    } else if (fault == QLatin1String("path numbers out of range") && arrows) {
        sql << QStringLiteral("UPDATE %1 SET ArrowNr = ArrowNr + 100 WHERE rowid % 2 = 0").arg(t)
            << QStringLiteral("UPDATE %1 SET ArrowNr = -1 - ArrowNr WHERE rowid % 2 = 1").arg(t);
    } else if (fault == QLatin1String("a single point per path") && arrows) {
        sql << QStringLiteral("DELETE FROM %1 WHERE rowid NOT IN "
                              "(SELECT MIN(rowid) FROM %1 GROUP BY ArrowNr, PathName)").arg(t);
    } else if (fault == QLatin1String("coordinates at the 32-bit limits") && arrows) {
        sql << QStringLiteral("UPDATE %1 SET X = 2147483647, Y = -2147483648 WHERE rowid % 3 = 0").arg(t)
            << QStringLiteral("UPDATE %1 SET X = -2147483648, Angle = -2147483648 WHERE rowid % 3 = 1").arg(t)
            << QStringLiteral("UPDATE %1 SET Y = 2147483647, Angle = 2147483647 WHERE rowid % 3 = 2").arg(t);
    } else {
        return false;
    }
    error = RunSql(path, sql);
    return true;
}

double ParseReadout(const QString& text, bool& ok)
{
    const QString t = text.trimmed();
    double v = QLocale().toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    return v;
}

} // namespace

class TstCorruptDb : public QObject {
    Q_OBJECT

    // What one in-process run saw.
    struct Seen {
        QString fatal;          // the TTableError that stopped a window, if any
        QStringList messages;   // everything shown with ShowMessage
    };

    // Plays the whole intro by its timers, as far as it goes.
    static void PlayIntro(TMovieFrm* intro)
    {
        QPointer<TMovieFrm> alive(intro);
        intro->show();
        for (int i = 0; i < TMovieFrm::FrameTotal + 40 && alive && intro->MovieTimer->isActive(); ++i) {
            intro->MovieTimerTimer();
            if (alive && i % 10 == 0)
                intro->MainImage->ComposeNow();
        }
        for (int i = 0; i < 3 && alive && intro->GreenTimer->isActive(); ++i)
            intro->GreenTimerTimer();
        if (alive)
            intro->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The main window keeps working with whatever it could load.
    static void Exercise(TLowPresFrm& f, TLowCaliFrm& low, THighCaliFrm& high)
    {
        f.show();
        for (int system = 0; system < 2; ++system) {
            for (int i = 0; i < 4; ++i) {
                f.ControlLoopTimerTimer();
                f.ArrowTimerTimer();
                f.FanTimerTimer();
            }
            for (TPositionedLayer* spot : f.RoomClickRegions)
                QTest::mouseClick(f.MainImage, Qt::LeftButton, {},
                                  spot->Location().toQRectF().center().toPoint());
            f.MainImage->ComposeNow();
            QTest::mouseClick(f.BtnToggleSystems, Qt::LeftButton);
        }
        QTest::mouseClick(f.SpinBtnLeft->UpButton(), Qt::LeftButton);
        QTest::mouseClick(f.BtnLowCali, Qt::LeftButton);
        low.MainImage->ComposeNow();
        high.MainImage->ComposeNow();
        low.close();
        high.close();
        if (VSDFrm)
            VSDFrm->close();
        f.ControlLoopTimerTimer();
    }

    static QStringList Readouts(const TLowPresFrm& f)
    {
        QStringList texts;
        for (const QLineEdit* e : {f.EditSupplyTemperature, f.EditFanSpeed, f.EditDuctPressure,
                                   f.EditEnergyConsumption, f.EditTemp1, f.EditTemp4,
                                   f.EditDiscOpening2, f.EditLoad1})
            texts << e->text();
        return texts;
    }

    Seen RunInProcess(const QString& table, const QString& dir)
    {
        Seen seen;
        TMessageRecorder recorder;
        TLowPresFrm::SetDatabaseDirectory(dir);
        std::unique_ptr<TLowPresFrm> f;
        std::unique_ptr<TLowCaliFrm> low;
        std::unique_ptr<THighCaliFrm> high;
        // Built in the program's order; the first table fault stops it.
        try {
            f = std::make_unique<TLowPresFrm>();
            low = std::make_unique<TLowCaliFrm>(f->ScaleFactor, f->EasyImages.get());
            high = std::make_unique<THighCaliFrm>(f->ScaleFactor, f->EasyImages.get());
        } catch (const TTableError& e) {
            seen.fatal = e.message();
        }
        TLowPresFrm::SetDatabaseDirectory(GeneratedDatabase());
        if (!seen.fatal.isEmpty()) {
            f.reset();
            seen.messages = recorder.messages();
            return seen;
        }
        f->ControlLoopTimer->stop();
        f->SetCalibrationWindows({low.get(), [&](bool m) { low->SetPressureLabels(m); }},
                                 {high.get(), [&](bool m) { high->SetPressureLabels(m); }});

        // The intro, as the program makes it on the first show.
        if (table == kMovie && QFileInfo::exists(dir + QStringLiteral("/MovieTable.bdf"))) {
            try {
                PlayIntro(new TMovieFrm(f->EasyCorvAirData.get(), f.get()));
            } catch (const TTableError& e) {
                seen.fatal = e.message();
            }
        }
        Exercise(*f, *low, *high);
        f->ArrowTimer->stop();
        f->FanTimer->stop();
        for (const QString& text : Readouts(*f)) {
            bool ok = false;
            const double v = ParseReadout(text, ok);
            if (!ok || !std::isfinite(v))
                seen.messages << QStringLiteral("readout '%1' is not a number").arg(text);
        }
        seen.messages = recorder.messages() + seen.messages;
        return seen;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(GeneratedDatabase() + QStringLiteral("/MovieTable.bdf")),
                 "the generated database must be built first");
        TScreen::SetMetrics(800, 600, 96);
        TLowPresFrm::SetHelpHandler([](const QString&, const QString&) {});
        new TVSDFrm();  // becomes VSDFrm, as the program makes it
        VSDFrm->close();
    }

    void cleanupTestCase()
    {
        delete VSDFrm;
        TLowPresFrm::SetHelpHandler(nullptr);
        TLowPresFrm::SetDatabaseDirectory(QString());
        TScreen::ResetMetrics();
    }

    // The intro reads its frames while it plays. A table that breaks then
    // (the file cut short under the running program) ends the intro with a
    // message naming the file; the program goes on.
    void introTableBreaksWhilePlaying()
    {
        QTemporaryDir tmp;
        for (const QString& t : kTables)
            QVERIFY(QFile::copy(GeneratedDatabase() + QLatin1Char('/') + t + QStringLiteral(".bdf"),
                                tmp.filePath(t + QStringLiteral(".bdf"))));
        TMessageRecorder recorder;
        TLowPresFrm::SetDatabaseDirectory(tmp.path());
        TLowPresFrm f;
        TLowPresFrm::SetDatabaseDirectory(GeneratedDatabase());
        f.ControlLoopTimer->stop();
        QPointer<TMovieFrm> intro = new TMovieFrm(f.EasyCorvAirData.get(), &f);
        intro->show();
        for (int i = 0; i < 3; ++i)
            intro->MovieTimerTimer();
        QVERIFY(recorder.messages().isEmpty());
        QVERIFY(QFile::resize(tmp.filePath(QStringLiteral("MovieTable.bdf")), 4096));
        for (int i = 0; i < TMovieFrm::FrameTotal && intro && intro->MovieTimer->isActive(); ++i)
            intro->MovieTimerTimer();
        QCOMPARE(recorder.messages().size(), 1);
        QVERIFY2(recorder.messages().first().contains(QStringLiteral("MovieTable.bdf")),
                 qPrintable(recorder.messages().first()));
        QVERIFY(!intro || !intro->isVisible());
        QCOMPARE(MovieFrm, nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!intro);
        f.ControlLoopTimerTimer();
        f.ArrowTimerTimer();
        f.ArrowTimer->stop();
        f.FanTimer->stop();
    }

    void brokenTable_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("faultText");  // the fatal message says this
        QTest::addColumn<int>("messages");

        // Faults of the file itself: every table.
        for (const QString& t : kTables) {
            const QByteArray n = t.toUtf8();
            const bool movie = t == kMovie;
            // Without its table there is simply no intro.
            if (movie)
                QTest::newRow(n + ": missing") << t << "missing" << int(GoesOn) << "" << int(None);
            else
                QTest::newRow(n + ": missing") << t << "missing" << int(Fatal) << "missing" << int(None);
            QTest::newRow(n + ": empty") << t << "empty" << int(Fatal) << "empty" << int(None);
            QTest::newRow(n + ": truncated") << t << "truncated" << int(Either) << "" << int(Any);
            QTest::newRow(n + ": damaged pages") << t << "damaged pages" << int(Either) << "" << int(Any);
            QTest::newRow(n + ": random bytes") << t << "random bytes" << int(Fatal) << "not a readable database" << int(None);
            QTest::newRow(n + ": wrong table") << t << "wrong table" << int(Fatal) << "holds no table " + t << int(None);
            QTest::newRow(n + ": wrong columns") << t << "wrong columns" << int(Fatal) << "Kind" << int(None);
            QTest::newRow(n + ": no rows") << t << "no rows" << int(GoesOn) << "" << int(Some);
            QTest::newRow(n + ": quotes and SQL in names") << t << "quotes and SQL in names" << int(GoesOn) << "" << int(None);
            QTest::newRow(n + ": 100 000 rows") << t << "100 000 rows" << int(GoesOn) << "" << int(None);
        }
        for (const QString& t : {kBitmap, kMovie}) {
            const QByteArray n = t.toUtf8();
            QTest::newRow(n + ": NULL fields") << t << "NULL fields" << int(GoesOn) << "" << int(Some);
            QTest::newRow(n + ": wrong field types") << t << "wrong field types" << int(GoesOn) << "" << int(Some);
            QTest::newRow(n + ": 30000 x 30000 header") << t << "30000 x 30000 header" << int(GoesOn) << "" << int(Some);
        }
        const QByteArray a = kArrow.toUtf8();
        QTest::newRow(a + ": NULL fields") << kArrow << "NULL fields" << int(GoesOn) << "" << int(None);
        QTest::newRow(a + ": wrong field types") << kArrow << "wrong field types" << int(Fatal) << "not an integer" << int(None);
        QTest::newRow(a + ": fewer than sixteen paths") << kArrow << "fewer than sixteen paths" << int(GoesOn) << "" << int(None);
        QTest::newRow(a + ": path numbers out of range") << kArrow << "path numbers out of range" << int(GoesOn) << "" << int(Some);
        QTest::newRow(a + ": a single point per path") << kArrow << "a single point per path" << int(GoesOn) << "" << int(None);
        QTest::newRow(a + ": coordinates at the 32-bit limits") << kArrow << "coordinates at the 32-bit limits" << int(GoesOn) << "" << int(None);
    }

    void brokenTable()
    {
        QFETCH(QString, table);
        QFETCH(QString, fault);
        QFETCH(int, outcome);
        QFETCH(QString, faultText);
        QFETCH(int, messages);

        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString dir = tmp.filePath(QStringLiteral("DataBase"));
        QVERIFY(QDir().mkpath(dir));
        for (const QString& t : kTables)
            QVERIFY(QFile::copy(GeneratedDatabase() + QLatin1Char('/') + t + QStringLiteral(".bdf"),
                                dir + QLatin1Char('/') + t + QStringLiteral(".bdf")));
        const QString path = dir + QLatin1Char('/') + table + QStringLiteral(".bdf");
        QString error;
        QVERIFY2(ApplyFault(table, path, fault, error), qPrintable(fault));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QMap<QString, QByteArray> hashes;
        for (const QString& t : kTables)
            hashes[t] = FileHash(dir + QLatin1Char('/') + t + QStringLiteral(".bdf"));

        // ---- in-process: the windows as the program builds them
        const Seen seen = RunInProcess(table, dir);
        const QString file = table + QStringLiteral(".bdf");
        qInfo("%s", qPrintable(seen.fatal.isEmpty()
                                   ? QStringLiteral("goes on, %1 message(s)%2").arg(seen.messages.size())
                                         .arg(seen.messages.isEmpty() ? QString() : QStringLiteral(", first: ") + seen.messages.first())
                                   : QStringLiteral("stops: ") + seen.fatal));
        if (outcome == Fatal)
            QVERIFY2(!seen.fatal.isEmpty(), "the fault went unnoticed");
        if (outcome == GoesOn)
            QVERIFY2(seen.fatal.isEmpty(), qPrintable(seen.fatal));
        if (!seen.fatal.isEmpty()) {
            QVERIFY2(seen.fatal.contains(file), qPrintable(seen.fatal));
            QVERIFY2(seen.fatal.contains(faultText), qPrintable(seen.fatal));
        }
        for (const QString& m : seen.messages)
            QVERIFY2(IsKnownMessage(m), qPrintable(m));
        if (messages == None)
            QVERIFY2(seen.messages.isEmpty(), qPrintable(seen.messages.join(QLatin1Char('\n'))));
        if (messages == Some)
            QVERIFY(!seen.messages.isEmpty());
        QCOMPARE(LowPresFrm, nullptr);

        // ---- the program itself on the same folder
        const QString program = tmp.filePath(QStringLiteral("corvair"));
        QVERIFY(QFile::copy(BinDir() + QStringLiteral("/corvair"), program));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("CORVAIR_QUIT_AFTER_SHOW_MS"), QStringLiteral("200"));
        p.setProcessEnvironment(env);
        p.start(program, {});
        QVERIFY(p.waitForStarted());
        // A guard against a hang only, far beyond any run.
        QVERIFY2(p.waitForFinished(600000), "the program did not end");
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(p.exitStatus() == QProcess::NormalExit, qPrintable(QStringLiteral("crashed:\n") + err));
        // The intro's table only costs the intro.
        const bool stops = table != kMovie && !seen.fatal.isEmpty();
        QVERIFY2(p.exitCode() == (stops ? 1 : 0),
                 qPrintable(QStringLiteral("exit %1:\n%2").arg(p.exitCode()).arg(err)));
        if (!seen.fatal.isEmpty() && (table != kMovie || outcome == Fatal))
            QVERIFY2(err.contains(file), qPrintable(err));

        rusage usage{};
        QCOMPARE(getrusage(RUSAGE_CHILDREN, &usage), 0);
        QVERIFY2(usage.ru_maxrss < kChildRssLimitKb,
                 qPrintable(QStringLiteral("the program held %1 MB").arg(usage.ru_maxrss / 1024)));

        // Nobody wrote to the database.
        for (const QString& t : kTables)
            QVERIFY2(FileHash(dir + QLatin1Char('/') + t + QStringLiteral(".bdf")) == hashes[t],
                     qPrintable(t));
    }
};

QTEST_MAIN(TstCorruptDb)
#include "tst_corruptdb.moc"
