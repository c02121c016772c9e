#include "db/Connection.h"

#include "PlatformError.h"
#include "db/ConnectionProperties.h"
#include "db/Database.h"
#include "paths/IPathLookup.h"

namespace platform::db {

Connection::Connection(const IPathLookup* paths) : m_paths(paths) {}

Connection::~Connection() = default;

void Connection::SetConnectionString(const QString& value) {
    if (m_db)
        throw PlatformError("The connection string cannot change while the connection is open");
    m_connectionString = value;
}

void Connection::Open() {
    if (m_db)
        throw PlatformError("The connection is already open");
    const ConnectionProperties props = ConnectionProperties::parse(m_connectionString);
    if (props.dataSource.isEmpty())
        throw PlatformError("The connection string names no Data Source");
    const QString path = m_paths ? m_paths->resolve(props.dataSource) : props.dataSource;
    m_db = Database::open(path, props.password, Database::OpenMode::ExistingOnly);
}

void Connection::Close() {
    m_db.reset();
}

ObjectState Connection::State() const {
    return m_db ? ObjectState::Open : ObjectState::Closed;
}

Database& Connection::openDatabase() const {
    if (!m_db)
        throw PlatformError("Operation is not allowed when the connection is closed");
    return *m_db;
}

int Connection::BeginTrans() {
    openDatabase().begin();
    return 1;
}

void Connection::CommitTrans() {
    openDatabase().commit();
}

void Connection::RollbackTrans() {
    openDatabase().rollback();
}

bool Connection::InTransaction() const {
    return m_db && m_db->inTransaction();
}

} // namespace platform::db
