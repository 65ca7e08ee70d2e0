#include "table/EasyTable.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <climits>

namespace {

QString quoteIdentifier(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString newConnectionName(const QString& tableName)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("corvair-table-%1-%2").arg(++counter).arg(tableName);
}

// The column of `columns` called `name` (SQLite names are case-insensitive).
QString findColumn(const QStringList& columns, const QString& name)
{
    for (const QString& c : columns)
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return QString();
}

} // namespace

TTableError::TTableError(const QString& message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{
}

QString TEasyDatabase::TableFilePath(const QString& tableName) const
{
    return QDir(m_directory).filePath(tableName + QStringLiteral(".bdf"));
}

TEasyTable::TEasyTable(TEasyDatabase* database, const QString& tableName,
                       const QString& indexName)
    : m_database(database)
    , m_tableName(tableName)
    , m_indexName(indexName)
    , m_expectedColumns(KnownColumns(tableName))
{
}

TEasyTable::~TEasyTable()
{
    releaseConnection();
}

QStringList TEasyTable::ImageTableColumns()
{
    return {QStringLiteral("Name"), QStringLiteral("Data"), QStringLiteral("ImageType")};
}

QStringList TEasyTable::ArrowTableColumns()
{
    return {QStringLiteral("ArrowNr"), QStringLiteral("X"), QStringLiteral("Y"),
            QStringLiteral("Angle"), QStringLiteral("PathName")};
}

QStringList TEasyTable::KnownColumns(const QString& tableName)
{
    if (tableName == QLatin1String("BitmapTable") || tableName == QLatin1String("MovieTable"))
        return ImageTableColumns();
    if (tableName == QLatin1String("ArrowTable_800x600"))
        return ArrowTableColumns();
    return {};
}

QString TEasyTable::FilePath() const
{
    if (!m_database)
        return m_tableName + QStringLiteral(".bdf");
    return m_database->TableFilePath(m_tableName);
}

void TEasyTable::fail(const QString& what) const
{
    throw TTableError(QStringLiteral("Cannot read the asset table %1 (file %2): %3")
                          .arg(m_tableName, QDir::toNativeSeparators(FilePath()), what));
}

void TEasyTable::SetActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

void TEasyTable::Open()
{
    if (m_active)
        return;
    try {
        openConnection();
        checkSchema();
        m_active = true;
        runQuery();
    } catch (...) {
        releaseConnection();
        m_active = false;
        throw;
    }
}

void TEasyTable::Close()
{
    releaseConnection();
    m_active = false;
}

void TEasyTable::openConnection()
{
    if (!m_database)
        fail(QStringLiteral("the table belongs to no database."));
    const QString dir = m_database->Directory();
    if (dir.isEmpty())
        fail(QStringLiteral("no database folder has been set."));
    if (!QFileInfo(dir).isDir())
        fail(QStringLiteral("the database folder %1 does not exist.")
                 .arg(QDir::toNativeSeparators(dir)));

    const QString path = FilePath();
    const QFileInfo info(path);
    if (!info.exists())
        fail(QStringLiteral("the file is missing."));
    if (!info.isFile())
        fail(QStringLiteral("it is not a file."));
    {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly))
            fail(QStringLiteral("the file cannot be read (%1).").arg(probe.errorString()));
    }
    // SQLite takes an empty file for an empty database.
    if (info.size() == 0)
        fail(QStringLiteral("the file is empty, not a database."));

    m_connectionName = newConnectionName(m_tableName);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (!db.isValid())
        fail(QStringLiteral("the SQLite driver of Qt (QSQLITE) is not available."));
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open())
        fail(QStringLiteral("the file cannot be opened as a database (%1).")
                 .arg(db.lastError().text()));
}

void TEasyTable::checkSchema()
{
    // SQLite opens foreign files without complaint; the first query finds out.
    QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(m_tableName))))
        fail(QStringLiteral("the file is not a readable database (%1).")
                 .arg(q.lastError().text()));
    m_columns.clear();
    while (q.next())
        m_columns << q.value(1).toString();
    if (q.lastError().isValid())
        fail(QStringLiteral("the file is not a readable database (%1).")
                 .arg(q.lastError().text()));
    if (m_columns.isEmpty())
        fail(QStringLiteral("the database holds no table %1.").arg(m_tableName));

    if (!m_expectedColumns.isEmpty()) {
        bool same = m_columns.size() == m_expectedColumns.size();
        for (qsizetype i = 0; same && i < m_columns.size(); ++i)
            same = m_columns[i].compare(m_expectedColumns[i], Qt::CaseInsensitive) == 0;
        if (!same)
            fail(QStringLiteral("the table has the columns (%1) instead of (%2).")
                     .arg(m_columns.join(QStringLiteral(", ")),
                          m_expectedColumns.join(QStringLiteral(", "))));
    }
    if (!m_indexName.isEmpty() && findColumn(m_columns, m_indexName).isEmpty())
        fail(QStringLiteral("the table has no column %1 for its index.").arg(m_indexName));
}

void TEasyTable::runQuery()
{
    QString sql = QStringLiteral("SELECT * FROM %1").arg(quoteIdentifier(m_tableName));
    bool bind = false;
    QString bindValue;
    if (m_filtered && !m_filter.trimmed().isEmpty()) {
        // Field='value' with '' standing for one quote inside the value.
        static const QRegularExpression re(
            QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*=\\s*'((?:[^']|'')*)'\\s*$"));
        const QRegularExpressionMatch m = re.match(m_filter);
        if (!m.hasMatch())
            fail(QStringLiteral("the filter %1 is not of the form Field='value'.").arg(m_filter));
        const QString column = findColumn(m_columns, m.captured(1));
        if (column.isEmpty())
            fail(QStringLiteral("the filter names the field %1, which the table lacks.")
                     .arg(m.captured(1)));
        bindValue = m.captured(2).replace(QLatin1String("''"), QLatin1String("'"));
        sql += QStringLiteral(" WHERE %1 = ?").arg(quoteIdentifier(column));
        bind = true;
    }
    sql += QStringLiteral(" ORDER BY ");
    if (!m_indexName.isEmpty())
        sql += quoteIdentifier(findColumn(m_columns, m_indexName)) + QStringLiteral(", ");
    sql += QStringLiteral("rowid");

    m_query.reset();
    m_record = QSqlRecord();
    m_hasRecord = false;
    m_query = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_connectionName, false));
    m_query->setForwardOnly(true);
    if (!m_query->prepare(sql))
        fail(QStringLiteral("the table cannot be queried (%1).").arg(m_query->lastError().text()));
    if (bind)
        m_query->addBindValue(bindValue);
    if (!m_query->exec())
        fail(QStringLiteral("reading the table failed (%1).").arg(m_query->lastError().text()));
    fetch(true);
}

void TEasyTable::fetch(bool first)
{
    if (m_query->next()) {
        m_record = m_query->record();
        m_hasRecord = true;
        m_eof = false;
        m_bof = first;
        return;
    }
    // A corrupt file can end a result early: that is an error, not the end.
    if (m_query->lastError().isValid()) {
        m_eof = true;
        fail(QStringLiteral("reading the table failed (%1).").arg(m_query->lastError().text()));
    }
    m_eof = true;
    if (first) {
        m_bof = true;
        m_hasRecord = false;
        m_record = QSqlRecord();
    } else {
        m_bof = false;
    }
}

void TEasyTable::releaseConnection()
{
    m_query.reset();
    m_record = QSqlRecord();
    m_hasRecord = false;
    m_eof = true;
    m_bof = true;
    if (m_connectionName.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

void TEasyTable::SetFilter(const QString& filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    if (m_active && m_filtered)
        runQuery();
}

void TEasyTable::SetFiltered(bool filtered)
{
    m_filtered = filtered;
    if (m_active)
        runQuery();
}

void TEasyTable::First()
{
    if (!m_active)
        fail(QStringLiteral("the table is not open."));
    runQuery();
}

void TEasyTable::Next()
{
    if (!m_active)
        fail(QStringLiteral("the table is not open."));
    if (m_eof)
        return;
    fetch(false);
}

int TEasyTable::FieldCount() const
{
    return static_cast<int>(m_columns.size());
}

QVariant TEasyTable::value(int pos) const
{
    if (!m_active)
        fail(QStringLiteral("the table is not open."));
    if (pos < 0 || pos >= m_columns.size())
        fail(QStringLiteral("the table has no field at position %1.").arg(pos));
    if (!m_hasRecord)
        return QVariant();
    return m_record.value(pos);
}

bool TEasyTable::IsNull(int pos) const
{
    return value(pos).isNull();
}

int TEasyTable::AsInteger(int pos) const
{
    const QVariant v = value(pos);
    if (v.isNull())
        return 0;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < INT_MIN || n > INT_MAX)
        fail(QStringLiteral("field %1 holds \"%2\", not an integer.").arg(pos).arg(v.toString()));
    return static_cast<int>(n);
}

QString TEasyTable::AsString(int pos) const
{
    return value(pos).toString();
}

QByteArray TEasyTable::AsBytes(int pos) const
{
    return value(pos).toByteArray();
}

std::unique_ptr<QIODevice> TEasyTable::CreateBlobStream(int pos) const
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(AsBytes(pos));
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}
