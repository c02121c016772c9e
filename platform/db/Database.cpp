#include "db/Database.h"

#include "PlatformError.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <functional>

// Debian's libsqlcipher is built with the codec; its header declares the key
// functions only when told so.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

namespace platform::db {

namespace {

struct StatementCloser {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementCloser>;

QString text(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

// A date is ISO text "YYYY-MM-DD"; a date-time at midnight is that date (as a
// date and a date-time of the day's start are one value on the platform),
// any other date-time carries its time: "YYYY-MM-DD hh:mm:ss".
QString storedDate(const QVariant& v) {
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    const QDateTime when = v.toDateTime();
    if (when.time() == QTime(0, 0))
        return when.date().toString(Qt::ISODate);
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

int bindValue(sqlite3_stmt* st, int index, const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return sqlite3_bind_null(st, index);
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return sqlite3_bind_int64(st, index, v.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(st, index, static_cast<sqlite3_int64>(v.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(st, index, v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(st, index, b.constData(), static_cast<int>(b.size()),
                                 SQLITE_TRANSIENT);
    }
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return sqlite3_bind_text(st, index, storedDate(v).toUtf8().constData(), -1,
                                 SQLITE_TRANSIENT);
    default: {
        const QByteArray s = v.toString().toUtf8();
        return sqlite3_bind_text(st, index, s.constData(), static_cast<int>(s.size()),
                                 SQLITE_TRANSIENT);
    }
    }
}

QVariant columnValue(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(st, i)));
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(st, i));
        return QVariant(QByteArray(p, sqlite3_column_bytes(st, i)));
    }
    default:
        return QVariant();
    }
}

} // namespace

Database::Database(sqlite3* handle, QString path) : m_db(handle), m_path(std::move(path)) {}

Database::~Database() {
    sqlite3_close_v2(m_db);
}

std::unique_ptr<Database> Database::open(const QString& path, const QString& key, OpenMode mode) {
    const bool create = mode == OpenMode::CreateNew;
    if (create && QFileInfo::exists(path))
        throw PlatformError(
            QString("Cannot create the database \"%1\": the file exists").arg(path));
    if (!create && !QFileInfo(path).isFile())
        throw PlatformError(QString("Cannot open the database \"%1\": no such file").arg(path));

    // Without SQLITE_OPEN_CREATE a missing file stays missing.
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    try {
        return openWith(path, QFile::encodeName(path), flags, key, create);
    } catch (const PlatformError&) {
        const QFileInfo file(path);
        if (create || (file.isWritable() && QFileInfo(file.absolutePath()).isWritable()))
            throw;
        // A database in write-ahead-log mode on a read-only disk cannot make
        // its shared-memory file; nothing can change it there, so it is read
        // as immutable.
        const QByteArray uri =
            QUrl::fromLocalFile(file.absoluteFilePath()).toEncoded() + "?immutable=1";
        try {
            return openWith(path, uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, key, false);
        } catch (const PlatformError&) {
        }
        throw;
    }
}

std::unique_ptr<Database> Database::openWith(const QString& path, const QByteArray& name, int flags,
                                             const QString& key, bool create) {
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &handle, flags, nullptr);
    std::unique_ptr<Database> db(new Database(handle, path));
    if (rc != SQLITE_OK)
        throw PlatformError(QString("Cannot open the database \"%1\": %2").arg(path, db->error()));
    sqlite3_busy_timeout(handle, 2000);
    if (!key.isEmpty()) {
        const QByteArray k = key.toUtf8();
        if (sqlite3_key(handle, k.constData(), static_cast<int>(k.size())) != SQLITE_OK)
            throw PlatformError(
                QString("Cannot set the key of the database \"%1\": %2").arg(path, db->error()));
    }
    if (create) {
        db->makeDurable();
        return db;
    }

    // The key is only tried when a page is read: read the schema now so that a
    // wrong password or a foreign file fails here and not at the first query.
    try {
        db->query("SELECT count(*) FROM sqlite_master");
        if (db->query("PRAGMA page_count").rows.at(0).at(0).toLongLong() < 1)
            throw PlatformError("the file is empty");
    } catch (const PlatformError& e) {
        throw PlatformError(
            QString("Cannot open the database \"%1\": not a database or wrong password (%2)")
                .arg(path, e.message()));
    }
    if (!db->readOnly())
        db->makeDurable();
    return db;
}

// The write-ahead log keeps the file whole whatever moment the process dies
// at, and lets a reader look while a transaction is open; FULL syncs the log
// at every commit. Where the log cannot be made (a read-only folder) the
// rollback journal, also synced in full, is kept.
void Database::makeDurable() {
    query("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=FULL");
}

bool Database::readOnly() const {
    return sqlite3_db_readonly(m_db, "main") == 1;
}

QString Database::journalMode() {
    return query("PRAGMA journal_mode").rows.at(0).at(0).toString().toLower();
}

void Database::begin() {
    if (m_transaction)
        throw PlatformError(
            "Cannot start a transaction: one is already in progress (they do not nest)");
    // IMMEDIATE takes the write lock now, so a busy file fails here and not
    // half-way through the writes.
    exec("BEGIN IMMEDIATE");
    m_transaction = true;
}

void Database::commit() {
    if (!m_transaction)
        throw PlatformError("Cannot commit: no transaction is in progress");
    try {
        exec("COMMIT");
    } catch (const PlatformError& e) {
        if (sqlite3_get_autocommit(m_db) == 0)
            throw; // still open: the caller rolls back
        m_transaction = false;
        throw PlatformError(
            QString("The transaction was rolled back: the commit failed (%1)").arg(e.message()));
    }
    m_transaction = false;
}

void Database::rollback() {
    if (!m_transaction)
        throw PlatformError("Cannot roll back: no transaction is in progress");
    m_transaction = false;
    if (sqlite3_get_autocommit(m_db) == 0)
        exec("ROLLBACK");
}

QString Database::error() const {
    return m_db ? text(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
}

QString Database::quoteName(const QString& name) {
    QString q = name;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

namespace {

// Compiles exactly one statement and binds its positional parameters.
StatementPtr prepare(sqlite3* db, const QString& sql, const QVariantList& params,
                     const std::function<QString()>& error) {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &raw, &tail) !=
        SQLITE_OK)
        throw PlatformError(QString("Query failed: %1 [%2]").arg(error(), sql));
    StatementPtr st(raw);
    if (!st)
        throw PlatformError(QString("Query is empty [%1]").arg(sql));
    if (!QByteArray(tail).trimmed().isEmpty())
        throw PlatformError(QString("Query holds more than one statement [%1]").arg(sql));
    const int expected = sqlite3_bind_parameter_count(raw);
    if (expected != params.size())
        throw PlatformError(QString("Query expects %1 parameter(s), %2 given [%3]")
                                .arg(expected)
                                .arg(params.size())
                                .arg(sql));
    for (int i = 0; i < expected; ++i) {
        if (bindValue(raw, i + 1, params[i]) != SQLITE_OK)
            throw PlatformError(QString("Cannot bind parameter %1: %2").arg(i + 1).arg(error()));
    }
    return st;
}

} // namespace

int Database::exec(const QString& sql, const QVariantList& params) {
    StatementPtr st = prepare(m_db, sql, params, [this] { return error(); });
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(st.get());
    if (rc != SQLITE_DONE)
        throw PlatformError(QString("Statement failed: %1 [%2]").arg(error(), sql));
    return sqlite3_changes(m_db);
}

QueryResult Database::query(const QString& sql, const QVariantList& params) {
    StatementPtr st = prepare(m_db, sql, params, [this] { return error(); });
    QueryResult result;
    const int n = sqlite3_column_count(st.get());
    for (int i = 0; i < n; ++i) {
        result.columns << text(sqlite3_column_name(st.get(), i));
        result.originTables << text(sqlite3_column_table_name(st.get(), i));
        result.originColumns << text(sqlite3_column_origin_name(st.get(), i));
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        std::vector<QVariant> row;
        row.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            row.push_back(columnValue(st.get(), i));
        result.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        throw PlatformError(QString("Query failed: %1 [%2]").arg(error(), sql));
    return result;
}

void Database::execScript(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString why = message ? QString::fromUtf8(message) : error();
        sqlite3_free(message);
        throw PlatformError(QString("Script failed on \"%1\": %2").arg(m_path, why));
    }
}

qint64 Database::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(m_db);
}

QStringList Database::primaryKey(const QString& table) {
    // PRAGMA takes no bound parameters; the name comes from the schema and is quoted.
    const QueryResult info = query("PRAGMA table_info(" + quoteName(table) + ")");
    const int nameCol = static_cast<int>(info.columns.indexOf("name"));
    const int pkCol = static_cast<int>(info.columns.indexOf("pk"));
    std::vector<std::pair<qlonglong, QString>> keys;
    for (const auto& row : info.rows) {
        const qlonglong order = row.at(pkCol).toLongLong();
        if (order > 0)
            keys.emplace_back(order, row.at(nameCol).toString());
    }
    std::sort(keys.begin(), keys.end());
    QStringList names;
    for (const auto& k : keys)
        names << k.second;
    return names;
}

} // namespace platform::db
