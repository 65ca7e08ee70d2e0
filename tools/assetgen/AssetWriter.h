#pragma once

#include "AssetSink.h"

#include <QSet>
#include <QStringList>
#include <QVector>

// Collects what the families produce and writes it out:
// - one SQLite file per table in the database folder (BitmapTable.bdf,
//   ArrowTable_800x600.bdf, and MovieTable.bdf only when there are intro frames);
// - plain files (close-up pictures, logo) below the picture folder.
// Each file is written under a temporary name and renamed into place, so a failed
// run never leaves a half-written table behind.
class AssetWriter : public AssetSink {
public:
    void addBitmap(const QString& name, const QImage& image, ImageFormat format) override;
    void addMovieFrame(const QString& name, const QImage& image, ImageFormat format) override;
    void addArrowPoint(int arrowNr, int x, int y, int angle, const QString& pathName) override;
    void addFile(const QString& relativePath, const QByteArray& bytes) override;

    // First problem met while collecting (duplicate name, encoding failure), or empty.
    QString collectError() const { return m_error; }

    // Writes everything. Returns false and sets *error when anything fails.
    bool write(const QString& databaseDir, const QString& pictureDir, QString* error);

private:
    struct ImageRecord {
        QString name;
        QByteArray data;
        int type;
    };
    struct ArrowRecord {
        int arrowNr, x, y, angle;
        QString pathName;
    };

    void addImage(QVector<ImageRecord>& table, QSet<QString>& names, const QString& tableName,
                  const QString& name, const QImage& image, ImageFormat format);
    void fail(const QString& what);
    bool writeImageTable(const QString& dir, const QString& table, const QVector<ImageRecord>& rows,
                         QString* error);
    bool writeArrowTable(const QString& dir, QString* error);

    QVector<ImageRecord> m_bitmaps;
    QSet<QString> m_bitmapNames;
    QVector<ImageRecord> m_movie;
    QSet<QString> m_movieNames;
    QVector<ArrowRecord> m_arrows;
    QVector<QPair<QString, QByteArray>> m_files;
    QString m_error;
};
