#pragma once

#include <QString>

namespace platform::db {

// The parts of an OLE DB style connection string this platform uses:
// "Key=Value" pairs separated by ";", keys without regard to case. A value
// that starts with a single or a double quote runs to the matching closing
// quote, and a doubled quote inside it stands for one quote, so a value may
// hold ";" and both quote characters. Other keys (Provider, Persist Security
// Info, ...) are accepted and ignored.
struct ConnectionProperties {
    QString dataSource; // "Data Source"
    QString password;   // "Jet OLEDB:Database Password"

    static ConnectionProperties parse(const QString& connectionString);

    // The value as it is written into a connection string: unchanged when it
    // needs no quoting, else in double quotes with each inner double quote
    // doubled. parse() gives back exactly `value`.
    static QString quote(const QString& value);
};

} // namespace platform::db
