#pragma once

#include "db/Command.h"
#include "db/Connection.h"
#include "db/Recordset.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace platform {
class IPathLookup;
}

// The main program's data environment: the one connection to the lesson
// database and its named queries, each with the one recordset that all
// windows share. Exists once per run.
class MyDataEm {
public:
    // With `paths`, the database file is found without regard to case.
    explicit MyDataEm(const platform::IPathLookup* paths = nullptr);
    MyDataEm(const MyDataEm&) = delete;
    MyDataEm& operator=(const MyDataEm&) = delete;

    // The connection string for the lesson database under DataPath (ending in "/").
    static QString ConnectionStringFor(const QString& DataPath);

    // Start-up: (re)opens DbCn on the lesson database, then rsSelUnit
    // (optimistic locking, at its first row) and rsSelCom. Raises
    // PlatformError when any step fails.
    void OpenDatabase(const QString& DataPath);

    // True when the open lesson database can be read but not written (a
    // read-only file, folder or disk): no practice result can be saved.
    bool IsReadOnly() const;

    // The reopen pattern: close the command's recordset if open, set the
    // parameter, open it again.
    void Reopen(platform::db::Command& command, const QString& parameterName,
                const QVariant& value);

    // Reopens rsselunited on the unit row of a lesson (first four digits of
    // its id + "00"), the id travelling as a bound parameter.
    void OpenUnitRow(const QString& lessonId);

    // NowData, the practice log's day, is a date without time of day. Every
    // binding and every reading of it goes through here: a date, a date-time
    // (its calendar date) or the stored ISO text give the day; Null none.
    static QDate Day(const QVariant& value);

    platform::db::Connection DbCn;

    platform::db::Recordset rsSelUnit;
    platform::db::Recordset rsSelUnitContent;
    platform::db::Recordset rsCommand1;
    platform::db::Recordset rsselunited;
    platform::db::Recordset rsSelCom;
    platform::db::Recordset rsSelRe;

    platform::db::Command SelUnit;
    platform::db::Command SelUnitContent;
    platform::db::Command Command1;
    platform::db::Command selunited;
    platform::db::Command SelCom;
    platform::db::Command SelRe;
};
