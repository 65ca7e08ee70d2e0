#pragma once

#include <QSqlRecord>
#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

class QIODevice;
class QSqlQuery;

// Anything wrong with the asset store itself: folder or file missing or
// unreadable, not a database, table or columns missing, a read that fails.
// The text names the file and the fault.
class TTableError : public std::runtime_error {
public:
    explicit TTableError(const QString& message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The asset database: a folder holding one SQLite file per table,
// <folder>/<TableName>.bdf.
class TEasyDatabase {
public:
    TEasyDatabase() = default;

    void SetDirectory(const QString& directory) { m_directory = directory; }
    QString Directory() const { return m_directory; }

    void SetDatabaseName(const QString& name) { m_databaseName = name; }
    QString DatabaseName() const { return m_databaseName; }

    // <Directory>/<tableName>.bdf
    QString TableFilePath(const QString& tableName) const;

private:
    QString m_directory;
    QString m_databaseName = QStringLiteral("CorvAir");
};

// A read-only table of the asset database. Records are read in index order
// (when an index is named: by that column, ties in insertion order) or in
// insertion order. The table never writes.
class TEasyTable {
public:
    TEasyTable(TEasyDatabase* database, const QString& tableName,
               const QString& indexName = QString());
    ~TEasyTable();
    TEasyTable(const TEasyTable&) = delete;
    TEasyTable& operator=(const TEasyTable&) = delete;

    // Column names (by position) the asset tables must have.
    static QStringList ImageTableColumns();  // Name, Data, ImageType
    static QStringList ArrowTableColumns();  // ArrowNr, X, Y, Angle, PathName
    // The columns expected of a table of this name: the image or arrow
    // columns for the known asset tables, empty (any columns) otherwise.
    static QStringList KnownColumns(const QString& tableName);

    QString TableName() const { return m_tableName; }
    QString IndexName() const { return m_indexName; }
    QString FilePath() const;

    // Checked by position when the table opens; empty accepts any columns.
    void SetExpectedColumns(const QStringList& columns) { m_expectedColumns = columns; }
    QStringList ExpectedColumns() const { return m_expectedColumns; }

    // Opening checks the folder, the file, the table and its columns and
    // throws TTableError naming the file when anything is wrong.
    bool Active() const { return m_active; }
    void SetActive(bool active);
    void Open();
    void Close();

    // The filter text has the form Field='value' with quotes inside the value
    // doubled. The value is passed to SQLite as a bound parameter.
    void SetFilter(const QString& filter);
    QString Filter() const { return m_filter; }
    // Switching filtering on or off repositions an open table on its first
    // matching record (Eof when there is none).
    void SetFiltered(bool filtered);
    bool Filtered() const { return m_filtered; }

    // Fewer records kept in memory; reading is forward-only record by record
    // anyway, so this is only remembered.
    void SetSmallRecordCache(bool on) { m_smallRecordCache = on; }
    bool SmallRecordCache() const { return m_smallRecordCache; }

    void First();
    void Next();
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }

    // Fields of the current record by position (from 0). Without a current
    // record they read as null. A position outside the table throws.
    int FieldCount() const;
    bool IsNull(int pos) const;
    int AsInteger(int pos) const;
    QString AsString(int pos) const;
    QByteArray AsBytes(int pos) const;
    // A read-only stream over a blob field of the current record; the stream
    // keeps its own copy of the bytes.
    std::unique_ptr<QIODevice> CreateBlobStream(int pos) const;

private:
    [[noreturn]] void fail(const QString& what) const;
    void openConnection();
    void checkSchema();
    void runQuery();
    void fetch(bool first);
    void releaseConnection();
    QVariant value(int pos) const;

    TEasyDatabase* m_database;
    QString m_tableName;
    QString m_indexName;
    QStringList m_expectedColumns;
    QStringList m_columns;
    QString m_connectionName;
    QString m_filter;
    bool m_filtered = false;
    bool m_smallRecordCache = false;
    bool m_active = false;
    bool m_eof = true;
    bool m_bof = true;
    std::unique_ptr<QSqlQuery> m_query;
    QSqlRecord m_record;
    bool m_hasRecord = false;
};
