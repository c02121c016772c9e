#pragma once

#include "db/ObjectState.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace platform::db {

class Connection;
class Database;
struct QueryResult;

enum class LockTypeEnum { ReadOnly, Optimistic };
enum class EditModeEnum { None, InProgress, Add };
enum class AffectEnum { Current, All };

// An ADO-like client-side recordset: the query's rows are read in full when
// it opens; it scrolls both ways, counts its rows exactly and writes the
// current row back to its table. Positions are 1-based as ADO's
// AbsolutePosition. Grids bound to it follow the signals.
//
// Writing: SetField() starts an edit of the current row, Update() writes it
// (optimistically: the row must still hold the values read, else the update
// fails). Moving to another row while an edit is pending writes it first, as
// ADO does; Close() refuses while an edit is pending (Update or CancelUpdate
// first). Only a query over one table whose primary key is among the columns
// can be written; the key locates the row, and every value crosses as a bound
// parameter.
class Recordset : public QObject {
    Q_OBJECT
public:
    // AbsolutePosition when there is no current row.
    static constexpr int PosUnknown = -1; // empty or closed
    static constexpr int PosBOF = -2;
    static constexpr int PosEOF = -3;

    explicit Recordset(QObject* parent = nullptr);
    ~Recordset() override;

    // Runs `source` with positional `?` parameters and reads all rows. The
    // current row is then the first one. Raises when already open.
    void Open(const QString& source, Connection& connection, const QVariantList& parameters = {});
    void Close();
    ObjectState State() const;
    QString Source() const { return m_source; }

    LockTypeEnum LockType() const { return m_lockType; }
    void SetLockType(LockTypeEnum value); // only while closed

    void MoveFirst(); // on an empty recordset these two leave BOF and EOF set
    void MoveLast();
    void MoveNext();     // past the last row gives EOF; raises at EOF
    void MovePrevious(); // before the first row gives BOF; raises at BOF
    int AbsolutePosition() const;
    void SetAbsolutePosition(int position); // 1..RecordCount, else raises
    bool IsBOF() const;
    bool IsEOF() const;
    int RecordCount() const; // 0 when closed

    // Moves from the current row (included) to the first row satisfying
    // "Field = 'value'"; when none does, the recordset is left at EOF.
    void Find(const QString& criteria);

    // Fields of the current row, by name without regard to case; Null is an
    // invalid QVariant. Raise at BOF/EOF and for unknown names.
    QVariant Field(const QString& name) const;
    void SetField(const QString& name, const QVariant& value);
    void Update();
    void AddNew();
    void CancelUpdate();
    EditModeEnum EditMode() const { return m_editMode; }

    // Reads the stored values again, for the current row or for every row,
    // located by their keys; a pending edit is cancelled first. This is how a
    // recordset gets back to what the table holds after a transaction was
    // rolled back. A row that is no longer stored (added in the rolled-back
    // transaction) leaves the recordset; the current row then moves to the
    // row after it (or EOF). Raises when the recordset is closed, has no
    // current row (Current) or cannot locate rows (no key).
    void Resync(AffectEnum affect = AffectEnum::All);

    // For grids: column names in query order, and any row's values.
    QStringList ColumnNames() const { return m_columns; }
    int FieldIndex(const QString& name) const; // -1 when there is none
    QVariant ValueAt(int position, int column) const;

signals:
    void currentChanged();          // the current row (or BOF/EOF) changed
    void rowsReset();               // opened or closed: every row may differ
    void rowChanged(int position);  // values of that row changed
    void rowInserted(int position); // AddNew appended that row
    void rowRemoved(int position);  // CancelUpdate dropped the added row

private:
    void requireOpen() const;
    void requireCurrent() const;
    int fieldIndexOrThrow(const QString& name) const;
    void moveTo(int index);
    void commitPendingEdit();
    void findUpdateTarget(const QueryResult& result, Database& db);
    std::shared_ptr<Database> databaseForWrite() const;
    void insertCurrent(Database& db);
    void updateCurrent(Database& db);
    void rereadCurrent(Database& db, const QString& where, const QVariantList& params);
    enum class Reread { Same, Changed, Missing };
    Reread rereadRow(Database& db, int index, const QString& where, const QVariantList& params);
    bool resyncRow(Database& db, int index);
    void dropRow(int index);
    std::vector<int> changedColumns() const;

    bool m_open = false;
    QString m_source;
    LockTypeEnum m_lockType = LockTypeEnum::Optimistic;
    std::weak_ptr<Database> m_db;
    QStringList m_columns;
    std::vector<std::vector<QVariant>> m_rows;
    int m_cur = -1; // row index; -1 is BOF, m_rows.size() is EOF

    // Where writes go: one table, its key columns among ours, and for each of
    // our columns the table column it shows (empty for expressions).
    QString m_table;
    QString m_notUpdatable; // why writes are refused, when they are
    QStringList m_origin;
    std::vector<int> m_keyColumns;

    EditModeEnum m_editMode = EditModeEnum::None;
    std::vector<QVariant> m_original;
    std::vector<bool> m_changed;
    int m_beforeAdd = -1;
};

} // namespace platform::db
