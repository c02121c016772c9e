#include "core/MyDataEm.h"

#include "core/LessonDatabase.h"

#include "db/ConnectionProperties.h"
#include "db/Database.h"

#include <QDateTime>

using platform::db::Command;
using platform::db::ConnectionProperties;
using platform::db::LockTypeEnum;
using platform::db::ObjectState;
using platform::db::Recordset;

namespace {

// The unit row of a lesson, looked up with the id as a bound parameter.
const QString kUnitRowQuery = QStringLiteral("select * from TAB_Unit where UnitID=?");

void closeIfOpen(Recordset& rs) {
    if (rs.State() == ObjectState::Open)
        rs.Close();
}

} // namespace

MyDataEm::MyDataEm(const platform::IPathLookup* paths)
    : DbCn(paths),
      SelUnit("SelUnit", "SELECT * FROM TAB_Unit ORDER BY UnitID", {}, DbCn, rsSelUnit),
      SelUnitContent("SelUnitContent",
                     "SELECT * FROM TAB_Dlg WHERE (UnitID = ?) ORDER BY chengji,cishu desc,DlgNum",
                     {"UnitID"}, DbCn, rsSelUnitContent),
      Command1("Command1", "SELECT * FROM TAB_Unit WHERE UnitID = ? ", {"UnitID"}, DbCn,
               rsCommand1),
      selunited("selunited", "select * from TAB_Unit", {}, DbCn, rsselunited),
      SelCom("SelCom", "select * from TAB_Box order by NowData desc", {}, DbCn, rsSelCom),
      SelRe("SelRe", "select * from TAB_Box where NowData=?", {"Date1"}, DbCn, rsSelRe) {}

QString MyDataEm::ConnectionStringFor(const QString& DataPath) {
    // The install path may hold ";" or quotes (/home/o'brien/): quoted, it
    // stays one value.
    return "Provider=Microsoft.Jet.OLEDB.4.0;" + QString("Data Source=") +
           ConnectionProperties::quote(DataPath + "data/qvedbdemo.aaa") + ";" +
           "Persist Security Info=False;" + "Jet OLEDB:Database Password=" + LessonDatabase::Key;
}

void MyDataEm::OpenDatabase(const QString& DataPath) {
    if (DbCn.State() == ObjectState::Open)
        DbCn.Close();
    DbCn.SetConnectionString(ConnectionStringFor(DataPath));
    DbCn.Open();

    closeIfOpen(rsSelUnit);
    rsSelUnit.SetLockType(LockTypeEnum::Optimistic);
    SelUnit.OpenRecordset();
    rsSelUnit.MoveFirst();

    closeIfOpen(rsSelCom);
    SelCom.OpenRecordset();
}

bool MyDataEm::IsReadOnly() const {
    const auto db = DbCn.database();
    return db && db->readOnly();
}

void MyDataEm::Reopen(Command& command, const QString& parameterName, const QVariant& value) {
    // SelRe looks up one day of the practice log, whatever time of it is given.
    command.Reopen(parameterName, &command == &SelRe ? QVariant(Day(value)) : value);
}

void MyDataEm::OpenUnitRow(const QString& lessonId) {
    closeIfOpen(rsselunited);
    rsselunited.Open(kUnitRowQuery, DbCn, {lessonId.left(4) + "00"});
}

QDate MyDataEm::Day(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QString:
        return QDate::fromString(value.toString().left(10), Qt::ISODate);
    default:
        return {};
    }
}
