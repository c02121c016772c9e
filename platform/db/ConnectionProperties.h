#pragma once

#include <QString>

namespace platform::db {

// The parts of an OLE DB style connection string this platform uses:
// "Key=Value" pairs separated by ";", keys without regard to case, values
// optionally in single or double quotes (which may then hold ";"). Other keys
// (Provider, Persist Security Info, ...) are accepted and ignored.
struct ConnectionProperties {
    QString dataSource; // "Data Source"
    QString password;   // "Jet OLEDB:Database Password"

    static ConnectionProperties parse(const QString& connectionString);
};

} // namespace platform::db
