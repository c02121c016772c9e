#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

namespace platform::db {

class Connection;
class Recordset;

// A named, pre-written query of a data environment with its one recordset.
// Its parameters are named (matched without regard to case) and bound to
// the query's `?` marks in the order they are declared.
class Command {
public:
    Command(QString name, QString commandText, QStringList parameterNames, Connection& connection,
            Recordset& recordset);

    QString Name() const { return m_name; }
    QString CommandText() const { return m_commandText; }
    void SetCommandText(const QString& text) { m_commandText = text; }

    QStringList ParameterNames() const { return m_parameterNames; }
    QVariant Parameter(const QString& name) const;
    void SetParameter(const QString& name, const QVariant& value); // unknown name raises

    Recordset& recordset() const { return m_recordset; }
    Connection& connection() const { return m_connection; }

    // Opens the recordset with the command text and the current parameter values.
    void OpenRecordset();
    // The reopen pattern: close the recordset if open, set the parameter, open it.
    void Reopen(const QString& parameterName, const QVariant& value);

private:
    int parameterIndex(const QString& name) const;

    QString m_name;
    QString m_commandText;
    QStringList m_parameterNames;
    QVariantList m_values;
    Connection& m_connection;
    Recordset& m_recordset;
};

} // namespace platform::db
