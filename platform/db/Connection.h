#pragma once

#include "db/ObjectState.h"

#include <QString>
#include <memory>

namespace platform {
class IPathLookup;
}

namespace platform::db {

class Database;

// An ADO-like connection to one SQLCipher lesson database. The connection
// string names the file ("Data Source") and its key ("Jet OLEDB:Database
// Password"); other keys are ignored. Open() never creates a file, and fails
// with PlatformError for a missing file, a wrong password or a file that is
// not a database.
class Connection {
public:
    // With `paths`, the data source is looked up without regard to case.
    explicit Connection(const IPathLookup* paths = nullptr);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString ConnectionString() const { return m_connectionString; }
    void SetConnectionString(const QString& value);

    void Open();
    // Closing with a transaction open rolls it back.
    void Close();
    ObjectState State() const;

    // Explicit transactions, one at a time: BeginTrans returns the nesting
    // level (always 1) and raises when a transaction is already open or the
    // connection is closed; CommitTrans and RollbackTrans raise when none is
    // open. After a rollback the recordsets still show what was written in
    // the transaction: Resync them to get back to the stored rows.
    int BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

    // The open database, shared with the recordsets read through it (they
    // keep it only weakly: after Close() their updates fail cleanly).
    std::shared_ptr<Database> database() const { return m_db; }

private:
    Database& openDatabase() const;

    const IPathLookup* m_paths;
    QString m_connectionString;
    std::shared_ptr<Database> m_db;
};

} // namespace platform::db
