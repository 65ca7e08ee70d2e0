#include "AssetWriter.h"

#include "GifEncoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstdio>
#include <functional>

void AssetWriter::fail(const QString& what)
{
    if (m_error.isEmpty())
        m_error = what;
}

void AssetWriter::addImage(QVector<ImageRecord>& table, QSet<QString>& names, const QString& tableName,
                           const QString& name, const QImage& image, ImageFormat format)
{
    if (name.isEmpty()) {
        fail(QStringLiteral("%1: a picture without a name").arg(tableName));
        return;
    }
    if (names.contains(name)) {
        fail(QStringLiteral("%1: picture %2 drawn twice").arg(tableName, name));
        return;
    }
    if (image.isNull()) {
        fail(QStringLiteral("%1: picture %2 is empty").arg(tableName, name));
        return;
    }
    QByteArray data;
    if (format == ImageFormat::Gif) {
        QString why;
        data = encodeGif(image, {}, &why);
        if (data.isEmpty()) {
            fail(QStringLiteral("%1: picture %2: %3").arg(tableName, name, why));
            return;
        }
    } else {
        data = encodeBmp(image);
    }
    names.insert(name);
    table.push_back({name, data, int(format)});
}

void AssetWriter::addBitmap(const QString& name, const QImage& image, ImageFormat format)
{
    addImage(m_bitmaps, m_bitmapNames, QStringLiteral("BitmapTable"), name, image, format);
}

void AssetWriter::addMovieFrame(const QString& name, const QImage& image, ImageFormat format)
{
    addImage(m_movie, m_movieNames, QStringLiteral("MovieTable"), name, image, format);
}

void AssetWriter::addArrowPoint(int arrowNr, int x, int y, int angle, const QString& pathName)
{
    if (pathName.isEmpty()) {
        fail(QStringLiteral("ArrowTable_800x600: path %1 without a name").arg(arrowNr));
        return;
    }
    m_arrows.push_back({arrowNr, x, y, angle, pathName});
}

void AssetWriter::addFile(const QString& relativePath, const QByteArray& bytes)
{
    if (relativePath.isEmpty() || QDir::isAbsolutePath(relativePath) || relativePath.contains(QStringLiteral(".."))) {
        fail(QStringLiteral("file name %1 is not a plain relative path").arg(relativePath));
        return;
    }
    for (const auto& f : m_files) {
        if (f.first == relativePath) {
            fail(QStringLiteral("file %1 written twice").arg(relativePath));
            return;
        }
    }
    m_files.push_back({relativePath, bytes});
}

namespace {

// Runs fill() on a fresh SQLite file at a temporary name, then moves it over target.
bool writeSqliteFile(const QString& target, const std::function<bool(QSqlDatabase&, QString*)>& fill,
                     QString* error)
{
    const QString temp = target + QStringLiteral(".tmp");
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));
    const QString connection = QStringLiteral("assetgen:") + target;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(temp);
        if (!db.open()) {
            *error = QStringLiteral("%1: %2").arg(temp, db.lastError().text());
        } else {
            ok = db.transaction() && fill(db, error);
            if (ok && !db.commit()) {
                *error = QStringLiteral("%1: %2").arg(temp, db.lastError().text());
                ok = false;
            }
            if (!ok)
                db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (ok && std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = QStringLiteral("cannot move %1 to %2").arg(temp, target);
        ok = false;
    }
    if (!ok) {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
    }
    return ok;
}

bool exec(QSqlQuery& q, const QString& sql, QString* error)
{
    if (q.exec(sql))
        return true;
    *error = QStringLiteral("%1: %2").arg(sql, q.lastError().text());
    return false;
}

} // namespace

bool AssetWriter::writeImageTable(const QString& dir, const QString& table, const QVector<ImageRecord>& rows,
                                  QString* error)
{
    return writeSqliteFile(dir + QLatin1Char('/') + table + QStringLiteral(".bdf"),
        [&](QSqlDatabase& db, QString* err) {
            QSqlQuery q(db);
            if (!exec(q, QStringLiteral("CREATE TABLE %1 (Name TEXT NOT NULL, Data BLOB, ImageType INTEGER)").arg(table), err)
                || !exec(q, QStringLiteral("CREATE INDEX %1_Name ON %1 (Name)").arg(table), err))
                return false;
            if (!q.prepare(QStringLiteral("INSERT INTO %1 (Name, Data, ImageType) VALUES (?, ?, ?)").arg(table))) {
                *err = q.lastError().text();
                return false;
            }
            for (const ImageRecord& r : rows) {
                q.bindValue(0, r.name);
                q.bindValue(1, r.data);
                q.bindValue(2, r.type);
                if (!q.exec()) {
                    *err = QStringLiteral("%1 %2: %3").arg(table, r.name, q.lastError().text());
                    return false;
                }
            }
            return true;
        },
        error);
}

bool AssetWriter::writeArrowTable(const QString& dir, QString* error)
{
    return writeSqliteFile(dir + QStringLiteral("/ArrowTable_800x600.bdf"),
        [&](QSqlDatabase& db, QString* err) {
            QSqlQuery q(db);
            if (!exec(q, QStringLiteral("CREATE TABLE ArrowTable_800x600 (ArrowNr INTEGER, X INTEGER, Y INTEGER, "
                                        "Angle INTEGER, PathName TEXT)"), err)
                || !exec(q, QStringLiteral("CREATE INDEX ArrowNr ON ArrowTable_800x600 (ArrowNr)"), err))
                return false;
            if (!q.prepare(QStringLiteral("INSERT INTO ArrowTable_800x600 (ArrowNr, X, Y, Angle, PathName) "
                                          "VALUES (?, ?, ?, ?, ?)"))) {
                *err = q.lastError().text();
                return false;
            }
            // Rows go in by path number; the points of a path keep their order.
            QVector<ArrowRecord> rows = m_arrows;
            std::stable_sort(rows.begin(), rows.end(),
                             [](const ArrowRecord& a, const ArrowRecord& b) { return a.arrowNr < b.arrowNr; });
            for (const ArrowRecord& r : rows) {
                q.bindValue(0, r.arrowNr);
                q.bindValue(1, r.x);
                q.bindValue(2, r.y);
                q.bindValue(3, r.angle);
                q.bindValue(4, r.pathName);
                if (!q.exec()) {
                    *err = QStringLiteral("arrow path %1: %2").arg(r.arrowNr).arg(q.lastError().text());
                    return false;
                }
            }
            return true;
        },
        error);
}

bool AssetWriter::write(const QString& databaseDir, const QString& pictureDir, QString* error)
{
    if (!m_error.isEmpty()) {
        *error = m_error;
        return false;
    }
    if (!QDir().mkpath(databaseDir)) {
        *error = QStringLiteral("cannot create %1").arg(databaseDir);
        return false;
    }
    if (!writeImageTable(databaseDir, QStringLiteral("BitmapTable"), m_bitmaps, error)
        || !writeArrowTable(databaseDir, error))
        return false;
    // The main window plays the intro whenever MovieTable.bdf exists, so a run
    // without intro frames must not leave an old one behind.
    const QString movie = databaseDir + QStringLiteral("/MovieTable.bdf");
    if (!m_movie.isEmpty()) {
        if (!writeImageTable(databaseDir, QStringLiteral("MovieTable"), m_movie, error))
            return false;
    } else if (QFile::exists(movie) && !QFile::remove(movie)) {
        *error = QStringLiteral("cannot remove the stale %1").arg(movie);
        return false;
    }

    for (const auto& [relative, bytes] : m_files) {
        const QString path = pictureDir + QLatin1Char('/') + relative;
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            *error = QStringLiteral("cannot create the folder of %1").arg(path);
            return false;
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
            return false;
        }
    }
    return true;
}
