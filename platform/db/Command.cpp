#include "db/Command.h"

#include "PlatformError.h"
#include "db/Recordset.h"

namespace platform::db {

Command::Command(QString name, QString commandText, QStringList parameterNames,
                 Connection& connection, Recordset& recordset)
    : m_name(std::move(name)), m_commandText(std::move(commandText)),
      m_parameterNames(std::move(parameterNames)), m_connection(connection),
      m_recordset(recordset) {
    for (qsizetype i = 0; i < m_parameterNames.size(); ++i)
        m_values << QVariant();
}

int Command::parameterIndex(const QString& name) const {
    for (int i = 0; i < m_parameterNames.size(); ++i) {
        if (m_parameterNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw PlatformError(QString("Command %1 has no parameter named %2").arg(m_name, name));
}

QVariant Command::Parameter(const QString& name) const {
    return m_values[parameterIndex(name)];
}

void Command::SetParameter(const QString& name, const QVariant& value) {
    m_values[parameterIndex(name)] = value;
}

void Command::OpenRecordset() {
    m_recordset.Open(m_commandText, m_connection, m_values);
}

void Command::Reopen(const QString& parameterName, const QVariant& value) {
    if (m_recordset.State() == ObjectState::Open)
        m_recordset.Close();
    SetParameter(parameterName, value);
    OpenRecordset();
}

} // namespace platform::db
