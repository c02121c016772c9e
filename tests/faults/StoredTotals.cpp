#include "StoredTotals.h"

#include "core/MyDataEm.h"
#include "db/Database.h"

#include <QDate>

using platform::db::Database;

namespace {

StoredTotals::Pair PairOf(const std::vector<std::vector<QVariant>>& rows) {
    if (rows.empty())
        return {};
    return {rows[0][0].toLongLong(), rows[0][1].toLongLong()};
}

} // namespace

const QStringList& StoredTotals::sentenceIds() {
    static const QStringList ids{"030101000010", "030101000020", "030101000030"};
    return ids;
}

StoredTotals StoredTotals::read(const QString& file, QString* integrity) {
    auto db = Database::open(file, "pqlomvek", Database::OpenMode::ExistingOnly);
    if (integrity)
        *integrity = db->query("PRAGMA integrity_check").rows.at(0).at(0).toString();
    StoredTotals t;
    int i = 0;
    for (const QString& id : sentenceIds())
        t.rows[i++] =
            PairOf(db->query("SELECT chengji, cishu FROM TAB_Dlg WHERE DlgID = ?", {id}).rows);
    for (const char* id : {"030101", "030100", "030000"})
        t.rows[i++] = PairOf(
            db->query("SELECT chengji, cishu FROM TAB_Unit WHERE UnitID = ?", {QString(id)}).rows);
    t.rows[i] = PairOf(db->query("SELECT NowChengji, NowCishu FROM TAB_Box WHERE NowData = ?",
                                 {MyDataEm::Day(QDate::currentDate())})
                           .rows);
    return t;
}

StoredTotals StoredTotals::plus(const QString& dlgId, qint64 points) const {
    StoredTotals t = *this;
    const int sentence = static_cast<int>(sentenceIds().indexOf(dlgId));
    for (int i = 0; i < kRows; ++i)
        if (i == sentence || i >= 3) {
            t.rows[i].points += points;
            t.rows[i].count += 1;
        }
    return t;
}

bool StoredTotals::rollsUp() const {
    const Pair sum{rows[0].points + rows[1].points + rows[2].points,
                   rows[0].count + rows[1].count + rows[2].count};
    for (int i = 3; i < kRows; ++i)
        if (!(rows[i] == sum))
            return false;
    return true;
}

QString StoredTotals::describe() const {
    static const char* const names[kRows] = {"s1", "s2", "s3", "lesson", "unit", "part", "day"};
    QString s;
    for (int i = 0; i < kRows; ++i)
        s += QString("%1 %2/%3  ").arg(names[i]).arg(rows[i].points).arg(rows[i].count);
    return s.trimmed();
}
