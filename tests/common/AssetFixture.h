// Small SQLite asset tables built inside a test, in the layout the program reads.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <stdexcept>
#include <vector>

namespace fixture {

inline void exec(QSqlQuery& q)
{
    if (!q.exec())
        throw std::runtime_error("fixture SQL failed: " + q.lastError().text().toStdString());
}

inline void exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw std::runtime_error("fixture SQL failed: " + sql.toStdString() + ": "
                                 + q.lastError().text().toStdString());
}

// Creates (or extends) the SQLite file at path and lets fill write into it.
inline void writeDatabase(const QString& path, const std::function<void(QSqlDatabase&)>& fill)
{
    static int counter = 0;
    const QString name = QStringLiteral("fixture-writer-%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            throw std::runtime_error("fixture: cannot create " + path.toStdString());
        exec(db, QStringLiteral("BEGIN"));
        fill(db);
        exec(db, QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

struct ImageRow {
    QString name;
    QByteArray data;
    QVariant type;  // 0 GIF, 1 BMP; anything else to test the loader
};

inline void createImageTable(QSqlDatabase& db, const QString& table)
{
    exec(db, QStringLiteral("CREATE TABLE \"%1\" (Name TEXT NOT NULL, Data BLOB, ImageType INTEGER)")
                 .arg(table));
}

inline void addImage(QSqlDatabase& db, const QString& table, const ImageRow& row)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO \"%1\" (Name, Data, ImageType) VALUES (?, ?, ?)").arg(table));
    q.addBindValue(row.name);
    q.addBindValue(row.data);
    q.addBindValue(row.type);
    exec(q);
}

// <dir>/<table>.bdf holding one image table with the given rows.
inline QString writeImageTable(const QString& dir, const QString& table,
                               const std::vector<ImageRow>& rows)
{
    const QString path = QDir(dir).filePath(table + QStringLiteral(".bdf"));
    writeDatabase(path, [&](QSqlDatabase& db) {
        createImageTable(db, table);
        for (const ImageRow& r : rows)
            addImage(db, table, r);
    });
    return path;
}

struct ArrowRow {
    int arrowNr;
    int x;
    int y;
    int angle;
    QString pathName;
};

inline QString writeArrowTable(const QString& dir, const std::vector<ArrowRow>& rows)
{
    const QString table = QStringLiteral("ArrowTable_800x600");
    const QString path = QDir(dir).filePath(table + QStringLiteral(".bdf"));
    writeDatabase(path, [&](QSqlDatabase& db) {
        exec(db, QStringLiteral("CREATE TABLE %1 (ArrowNr INTEGER, X INTEGER, Y INTEGER, "
                                "Angle INTEGER, PathName TEXT)").arg(table));
        exec(db, QStringLiteral("CREATE INDEX ArrowNr ON %1 (ArrowNr)").arg(table));
        for (const ArrowRow& r : rows) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?)").arg(table));
            q.addBindValue(r.arrowNr);
            q.addBindValue(r.x);
            q.addBindValue(r.y);
            q.addBindValue(r.angle);
            q.addBindValue(r.pathName);
            exec(q);
        }
    });
    return path;
}

} // namespace fixture
