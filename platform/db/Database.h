#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

struct sqlite3;

namespace platform::db {

// The rows of one query, fully read, with where each column comes from.
struct QueryResult {
    QStringList columns;       // result column names, in query order
    QStringList originTables;  // table of each column; empty for an expression
    QStringList originColumns; // column of that table; empty for an expression
    std::vector<std::vector<QVariant>> rows;
};

// One open SQLCipher database file, written through a write-ahead log with
// full synchronous commits: once a write or commit returns, it survives a
// killed process or a power cut. Values cross as QVariant: Null is an
// invalid QVariant, integers are qlonglong, text is QString, dates (QDate, or
// a QDateTime at midnight) are written as ISO text "YYYY-MM-DD". All statements take positional `?`
// parameters; nothing is ever pasted into SQL text.
class Database {
public:
    enum class OpenMode { ExistingOnly, CreateNew };

    // Opens `path` with `key` (no key when empty). ExistingOnly never creates
    // a file and checks that the key opens a real database; CreateNew makes a
    // new file (which must not exist yet). A file on a read-only disk is
    // opened for reading (see readOnly()). Raises PlatformError on failure.
    static std::unique_ptr<Database> open(const QString& path, const QString& key, OpenMode mode);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs one statement that returns no rows; returns the number of rows changed.
    int exec(const QString& sql, const QVariantList& params = {});
    // Runs one statement and reads all of its rows.
    QueryResult query(const QString& sql, const QVariantList& params = {});
    // Runs several statements without parameters (schema scripts).
    void execScript(const QString& sql);

    // One explicit transaction at a time: begin() raises while one is open,
    // commit() and rollback() raise when none is. A failed commit() leaves
    // the transaction open (roll it back) unless SQLite already undid it, in
    // which case it says so. rollback() after SQLite undid the work itself
    // (a full disk, an I/O error) just ends the transaction.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_transaction; }
    // True when SQLite could open the file for reading only (a read-only
    // file, folder or file system): every write will fail.
    bool readOnly() const;
    // The journal mode in force ("wal" unless the folder refuses it).
    QString journalMode();

    qint64 lastInsertRowId() const;
    // The primary key columns of `table`, in key order; empty when it has none.
    QStringList primaryKey(const QString& table);

    // Identifier quoting for table and column names taken from the schema.
    static QString quoteName(const QString& name);

private:
    explicit Database(sqlite3* handle, QString path);
    static std::unique_ptr<Database> openWith(const QString& path, const QByteArray& name,
                                              int flags, const QString& key, bool create);
    QString error() const;
    void makeDurable();

    sqlite3* m_db = nullptr;
    QString m_path;
    bool m_transaction = false;
};

} // namespace platform::db
