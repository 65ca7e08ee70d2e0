// The read-only table engine over the SQLite asset files.
#include "table/EasyTable.h"

#include "../common/AssetFixture.h"

#include <QFile>
#include <QIODevice>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>

using fixture::ArrowRow;
using fixture::ImageRow;

namespace {

QString filterFor(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("Name='") + quoted + QLatin1Char('\'');
}

// Every record from the current position to the end, as "field0/field4".
QStringList readArrowRows(TEasyTable& t)
{
    QStringList rows;
    for (t.First(); !t.Eof(); t.Next())
        rows << QStringLiteral("%1/%2").arg(t.AsInteger(0)).arg(t.AsString(4));
    return rows;
}

constexpr int kManyImages = 200;

// Enough records with overflowing blobs that the file spans many pages.
QString writeManyImages(const QString& dir, const QString& table)
{
    std::vector<ImageRow> rows;
    for (int i = 0; i < kManyImages; ++i)
        rows.push_back({QStringLiteral("Image%1").arg(i), QByteArray(3000, char(i)), 1});
    return fixture::writeImageTable(dir, table, rows);
}

} // namespace

class TestTable : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TEasyDatabase m_db;

    const std::vector<ImageRow> m_images{
        {QStringLiteral("Fan1"), QByteArray("fan one"), 0},
        {QStringLiteral("Fan2"), QByteArray("fan two"), 1},
        {QStringLiteral("O'Brien"), QByteArray("quote"), 1},
        {QStringLiteral("x' OR '1'='1"), QByteArray("sql-looking"), 1},
        {QStringLiteral("Empty"), QByteArray(), 7},
    };

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db.SetDirectory(m_dir.path());
        fixture::writeImageTable(m_dir.path(), QStringLiteral("BitmapTable"), m_images);
    }

    void databaseDefaults()
    {
        TEasyDatabase db;
        QCOMPARE(db.DatabaseName(), QStringLiteral("CorvAir"));
        db.SetDirectory(QStringLiteral("/some/where/DataBase"));
        QCOMPARE(db.TableFilePath(QStringLiteral("BitmapTable")),
                 QStringLiteral("/some/where/DataBase/BitmapTable.bdf"));
    }

    void filterByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("plain") << "Fan2" << true << QByteArray("fan two");
        QTest::newRow("quote in the name") << "O'Brien" << true << QByteArray("quote");
        QTest::newRow("SQL-looking name is a name") << "x' OR '1'='1" << true
                                                    << QByteArray("sql-looking");
        QTest::newRow("injection finds nothing") << "' OR 1=1 --" << false << QByteArray();
        QTest::newRow("case matters") << "fan1" << false << QByteArray();
        QTest::newRow("missing") << "Nobody" << false << QByteArray();
        QTest::newRow("empty name") << "" << false << QByteArray();
    }
    void filterByName()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QByteArray, data);
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        t.Open();
        t.SetFilter(filterFor(name));
        t.SetFiltered(true);
        QCOMPARE(t.Eof(), !found);
        if (found) {
            QCOMPARE(t.AsString(0), name);
            QCOMPARE(t.CreateBlobStream(1)->readAll(), data);
            t.Next();
            QVERIFY(t.Eof());
        }
        // Filtering off shows the whole table again, from its first record.
        t.SetFiltered(false);
        QVERIFY(!t.Eof());
        QCOMPARE(t.AsString(0), QStringLiteral("Fan1"));
        QCOMPARE(t.Filter(), filterFor(name));
    }

    void filterSetWhileClosedAppliesOnOpen()
    {
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        t.SetFilter(filterFor(QStringLiteral("Fan2")));
        t.SetFiltered(true);
        QVERIFY(!t.Active());
        t.Open();
        QCOMPARE(t.AsString(0), QStringLiteral("Fan2"));
        // A new filter on a filtered table repositions at once.
        t.SetFilter(filterFor(QStringLiteral("O'Brien")));
        QCOMPARE(t.AsString(0), QStringLiteral("O'Brien"));
    }

    void badFilterIsAnError_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("unquoted") << "Name=Fan1" << "not of the form";
        QTest::newRow("unbalanced quote") << "Name='O'Brien'" << "not of the form";
        QTest::newRow("unknown field") << "Colour='red'" << "Colour";
    }
    void badFilterIsAnError()
    {
        QFETCH(QString, filter);
        QFETCH(QString, fragment);
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        t.Open();
        t.SetFilter(filter);
        try {
            t.SetFiltered(true);
            QFAIL("no error");
        } catch (const TTableError& e) {
            QVERIFY2(e.message().contains(fragment), qPrintable(e.message()));
        }
    }

    void fieldsByPosition()
    {
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        t.Open();
        QCOMPARE(t.FieldCount(), 3);
        QCOMPARE(t.AsString(0), QStringLiteral("Fan1"));
        QCOMPARE(t.AsInteger(2), 0);
        QCOMPARE(t.AsString(2), QStringLiteral("0"));
        QVERIFY(!t.IsNull(1));
        t.SetFilter(filterFor(QStringLiteral("Empty")));
        t.SetFiltered(true);
        QCOMPARE(t.AsInteger(2), 7);
        QVERIFY(t.IsNull(1));
        QCOMPARE(t.CreateBlobStream(1)->size(), 0);
        QVERIFY_THROWS_EXCEPTION(TTableError, t.AsString(3));
        QVERIFY_THROWS_EXCEPTION(TTableError, t.AsInteger(-1));
        // Text that is no integer is an error, not a silent 0.
        QVERIFY_THROWS_EXCEPTION(TTableError, t.AsInteger(0));
        // Without a current record the fields read as null.
        t.SetFilter(filterFor(QStringLiteral("Nobody")));
        QVERIFY(t.IsNull(0));
        QCOMPARE(t.AsString(0), QString());
        QCOMPARE(t.AsInteger(2), 0);
    }

    void blobStreamIsReadOnlyAndComplete()
    {
        QByteArray big(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < big.size(); ++i)
            big[i] = char((i * 7 + i / 251) & 0xFF);
        QTemporaryDir dir;
        fixture::writeImageTable(dir.path(), QStringLiteral("MovieTable"),
                                 {{QStringLiteral("Big"), big, 1}});
        TEasyDatabase db;
        db.SetDirectory(dir.path());
        TEasyTable t(&db, QStringLiteral("MovieTable"));
        t.Open();
        const std::unique_ptr<QIODevice> s = t.CreateBlobStream(1);
        QVERIFY(s->isOpen());
        QVERIFY(s->isReadable());
        QVERIFY(!s->isWritable());
        QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
        QCOMPARE(s->write("x"), qint64(-1));
        QCOMPARE(s->readAll(), big);
        // The stream keeps its bytes after the table has moved on.
        const std::unique_ptr<QIODevice> kept = t.CreateBlobStream(1);
        t.Close();
        QCOMPARE(kept->readAll().size(), big.size());
    }

    void arrowRowsInIndexThenInsertionOrder()
    {
        QTemporaryDir dir;
        fixture::writeArrowTable(dir.path(), {
                                                 {5, 1, 1, 0, QStringLiteral("b1")},
                                                 {20, 1, 1, 0, QStringLiteral("d1")},
                                                 {0, 1, 1, 0, QStringLiteral("a1")},
                                                 {5, 2, 2, 0, QStringLiteral("b2")},
                                                 {0, 2, 2, 0, QStringLiteral("a2")},
                                                 {5, 3, 3, 90, QStringLiteral("b3")},
                                             });
        TEasyDatabase db;
        db.SetDirectory(dir.path());
        TEasyTable t(&db, QStringLiteral("ArrowTable_800x600"), QStringLiteral("ArrowNr"));
        t.SetSmallRecordCache(true);
        t.Open();
        QVERIFY(t.Bof());
        QVERIFY(!t.Eof());
        QCOMPARE(readArrowRows(t), (QStringList{"0/a1", "0/a2", "5/b1", "5/b2", "5/b3", "20/d1"}));
        QVERIFY(t.Eof());
        QVERIFY(!t.Bof());
        // Next past the end stays at the end.
        t.Next();
        QVERIFY(t.Eof());
        t.First();
        QVERIFY(t.Bof());
        QCOMPARE(t.AsInteger(1), 1);
        t.Next();
        QVERIFY(!t.Bof());
        QCOMPARE(t.AsString(4), QStringLiteral("a2"));
        QCOMPARE(t.AsInteger(2), 2);
    }

    void emptyTableIsAtEndAndBeginning()
    {
        QTemporaryDir dir;
        fixture::writeArrowTable(dir.path(), {});
        TEasyDatabase db;
        db.SetDirectory(dir.path());
        TEasyTable t(&db, QStringLiteral("ArrowTable_800x600"), QStringLiteral("ArrowNr"));
        t.Open();
        QVERIFY(t.Eof());
        QVERIFY(t.Bof());
        t.First();
        QVERIFY(t.Eof() && t.Bof());
    }

    void openCloseAndConnections()
    {
        const QStringList before = QSqlDatabase::connectionNames();
        {
            TEasyTable a(&m_db, QStringLiteral("BitmapTable"));
            TEasyTable b(&m_db, QStringLiteral("BitmapTable"));
            QVERIFY(!a.Active());
            QVERIFY(a.Eof());
            QVERIFY_THROWS_EXCEPTION(TTableError, a.Next());
            a.Open();
            a.Open();  // opening an open table changes nothing
            b.SetActive(true);
            QVERIFY(a.Active() && b.Active());
            QCOMPARE(QSqlDatabase::connectionNames().size(), before.size() + 2);
            b.Next();
            QCOMPARE(a.AsString(0), QStringLiteral("Fan1"));
            QCOMPARE(b.AsString(0), QStringLiteral("Fan2"));
            a.Close();
            QVERIFY(!a.Active());
            QCOMPARE(QSqlDatabase::connectionNames().size(), before.size() + 1);
            QVERIFY_THROWS_EXCEPTION(TTableError, a.AsString(0));
            a.Open();
            QCOMPARE(a.AsString(0), QStringLiteral("Fan1"));
        }
        // Destruction closes and removes the connections.
        QCOMPARE(QSqlDatabase::connectionNames(), before);
    }

    void neverWritesTheFile()
    {
        const QString path = m_db.TableFilePath(QStringLiteral("BitmapTable"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        {
            TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
            t.Open();
            while (!t.Eof())
                t.Next();
        }
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
        QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));
    }

    // Whatever is wrong with the store, opening (or reading) the table throws
    // a TTableError that names the file and the fault, and leaves nothing open.
    void brokenStoreIsAnError_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("missing folder") << "noFolder" << "BitmapTable" << "does not exist";
        QTest::newRow("missing file") << "noFile" << "BitmapTable" << "missing";
        QTest::newRow("folder instead of file") << "dirFile" << "BitmapTable" << "not a file";
        QTest::newRow("empty file") << "emptyFile" << "BitmapTable" << "empty";
        QTest::newRow("random bytes") << "random" << "BitmapTable" << "not a readable database";
        QTest::newRow("forged header") << "forged" << "BitmapTable" << "database";
        QTest::newRow("truncated database") << "truncated" << "BitmapTable" << "";
        QTest::newRow("wrong table") << "wrongTable" << "BitmapTable" << "no table BitmapTable";
        QTest::newRow("too few columns") << "twoColumns" << "BitmapTable" << "columns (Name, Data)";
        QTest::newRow("columns out of order") << "swapped" << "BitmapTable"
                                              << "instead of (Name, Data, ImageType)";
        QTest::newRow("arrow table lacks a column") << "arrowFour" << "ArrowTable_800x600"
                                                    << "columns";
    }
    void brokenStoreIsAnError()
    {
        QFETCH(QString, kind);
        QFETCH(QString, table);
        QFETCH(QString, fragment);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TEasyDatabase db;
        db.SetDirectory(dir.path());
        const QString file = db.TableFilePath(table);
        const auto writeBytes = [&file](const QByteArray& bytes) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        QString named = file;

        if (kind == "noFolder") {
            db.SetDirectory(dir.filePath(QStringLiteral("NoSuchDataBase")));
            named = QStringLiteral("NoSuchDataBase");
        } else if (kind == "dirFile") {
            QVERIFY(QDir(dir.path()).mkdir(table + QStringLiteral(".bdf")));
        } else if (kind == "emptyFile") {
            writeBytes(QByteArray());
        } else if (kind == "random") {
            QByteArray bytes(4096, Qt::Uninitialized);
            QRandomGenerator gen(1234);
            for (char& c : bytes)
                c = char(gen.bounded(256));
            writeBytes(bytes);
        } else if (kind == "forged") {
            QByteArray bytes("SQLite format 3");
            bytes.append('\0');
            bytes.append(QByteArray(2000, char(0x5A)));
            writeBytes(bytes);
        } else if (kind == "truncated") {
            writeManyImages(dir.path(), table);
            QFile f(file);
            QVERIFY(f.resize(f.size() * 2 / 5));
        } else if (kind == "wrongTable") {
            fixture::writeImageTable(dir.path(), QStringLiteral("Other"), {});
            QVERIFY(QFile::rename(db.TableFilePath(QStringLiteral("Other")), file));
        } else if (kind == "twoColumns" || kind == "swapped" || kind == "arrowFour") {
            const QString create = kind == "twoColumns"
                ? QStringLiteral("CREATE TABLE %1 (Name TEXT, Data BLOB)")
                : kind == "swapped"
                ? QStringLiteral("CREATE TABLE %1 (Name TEXT, ImageType INTEGER, Data BLOB)")
                : QStringLiteral("CREATE TABLE %1 (ArrowNr INTEGER, X INTEGER, Y INTEGER, Angle INTEGER)");
            fixture::writeDatabase(file, [&](QSqlDatabase& d) { fixture::exec(d, create.arg(table)); });
        }

        const QStringList connectionsBefore = QSqlDatabase::connectionNames();
        TEasyTable t(&db, table, table == "BitmapTable" ? QString() : QStringLiteral("ArrowNr"));
        try {
            t.Open();
            // A damaged file may only show when its records are read.
            for (int pass = 0; pass < 2; ++pass) {
                for (t.First(); !t.Eof(); t.Next())
                    t.CreateBlobStream(1)->readAll();
                t.SetFilter(QStringLiteral("Name='Image199'"));
                t.SetFiltered(true);
            }
            QFAIL("no error");
        } catch (const TTableError& e) {
            QVERIFY2(e.message().contains(named), qPrintable(e.message()));
            QVERIFY2(e.message().contains(fragment), qPrintable(e.message()));
            QCOMPARE(QString::fromStdString(e.what()), e.message());
        }
        t.Close();
        QVERIFY(!t.Active());
        QCOMPARE(QSqlDatabase::connectionNames(), connectionsBefore);
    }

    // Schema and first records intact, later records damaged: the fault shows
    // while stepping through the records and must not pass for their end.
    void damagedRecordsFailWhileReading()
    {
        QTemporaryDir dir;
        const QString file = writeManyImages(dir.path(), QStringLiteral("BitmapTable"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const qint64 size = f.size();
            QVERIFY(f.seek(size * 2 / 5));
            f.write(QByteArray(int(size / 5), char(0xA5)));
        }
        TEasyDatabase db;
        db.SetDirectory(dir.path());
        TEasyTable t(&db, QStringLiteral("BitmapTable"));
        t.Open();
        QCOMPARE(t.AsString(0), QStringLiteral("Image0"));
        int read = 0;
        try {
            while (!t.Eof()) {
                t.CreateBlobStream(1)->readAll();
                ++read;
                t.Next();
            }
            QFAIL(qPrintable(QStringLiteral("damage went unnoticed after %1 records").arg(read)));
        } catch (const TTableError& e) {
            QVERIFY2(e.message().contains(file), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("reading the table failed")),
                     qPrintable(e.message()));
        }
        QVERIFY(read > 0 && read < kManyImages);
    }

    void indexMustBeAColumn()
    {
        QTemporaryDir dir;
        fixture::writeImageTable(dir.path(), QStringLiteral("Custom"), {});
        TEasyDatabase db;
        db.SetDirectory(dir.path());
        TEasyTable t(&db, QStringLiteral("Custom"), QStringLiteral("Missing"));
        QVERIFY(t.ExpectedColumns().isEmpty());
        try {
            t.Open();
            QFAIL("no error");
        } catch (const TTableError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("no column Missing")),
                     qPrintable(e.message()));
        }
        QVERIFY(!t.Active());
    }
};

QTEST_MAIN(TestTable)
#include "tst_table.moc"
