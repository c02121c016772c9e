#include "db/Recordset.h"

#include "PlatformError.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/FindCriterion.h"

#include <QSet>

namespace platform::db {

Recordset::Recordset(QObject* parent) : QObject(parent) {}

Recordset::~Recordset() = default;

ObjectState Recordset::State() const {
    return m_open ? ObjectState::Open : ObjectState::Closed;
}

void Recordset::SetLockType(LockTypeEnum value) {
    if (m_open)
        throw PlatformError("The lock type cannot change while the recordset is open");
    m_lockType = value;
}

void Recordset::requireOpen() const {
    if (!m_open)
        throw PlatformError("Operation is not allowed when the recordset is closed");
}

void Recordset::requireCurrent() const {
    requireOpen();
    if (IsBOF() || IsEOF())
        throw PlatformError("Either BOF or EOF is True: there is no current record");
}

void Recordset::Open(const QString& source, Connection& connection,
                     const QVariantList& parameters) {
    if (m_open)
        throw PlatformError("Operation is not allowed when the recordset is open");
    const std::shared_ptr<Database> db = connection.database();
    if (!db)
        throw PlatformError("Operation is not allowed when the connection is closed");
    QueryResult result = db->query(source, parameters);
    findUpdateTarget(result, *db);
    m_source = source;
    m_db = db;
    m_columns = result.columns;
    m_rows = std::move(result.rows);
    m_cur = m_rows.empty() ? -1 : 0;
    m_editMode = EditModeEnum::None;
    m_open = true;
    emit rowsReset();
    emit currentChanged();
}

void Recordset::Close() {
    requireOpen();
    if (m_editMode != EditModeEnum::None)
        throw PlatformError("The recordset has an edit in progress: Update or CancelUpdate first");
    m_open = false;
    m_db.reset();
    m_columns.clear();
    m_rows.clear();
    m_origin.clear();
    m_keyColumns.clear();
    m_table.clear();
    m_cur = -1;
    emit rowsReset();
    emit currentChanged();
}

void Recordset::findUpdateTarget(const QueryResult& result, Database& db) {
    m_table.clear();
    m_keyColumns.clear();
    m_origin.clear();
    m_notUpdatable.clear();
    QSet<QString> tables;
    for (const QString& t : result.originTables) {
        if (!t.isEmpty())
            tables.insert(t);
    }
    if (tables.size() != 1) {
        m_notUpdatable = "The recordset does not read exactly one table";
        return;
    }
    const QString table = *tables.begin();
    for (int i = 0; i < result.columns.size(); ++i)
        m_origin << (result.originTables[i] == table ? result.originColumns[i] : QString());
    const QStringList key = db.primaryKey(table);
    if (key.isEmpty()) {
        m_notUpdatable = QString("Table %1 has no primary key").arg(table);
        return;
    }
    for (const QString& k : key) {
        int found = -1;
        for (int i = 0; i < m_origin.size() && found < 0; ++i) {
            if (m_origin[i].compare(k, Qt::CaseInsensitive) == 0)
                found = i;
        }
        if (found < 0) {
            m_notUpdatable =
                QString("The key column %1 of %2 is not in the recordset").arg(k, table);
            m_keyColumns.clear();
            return;
        }
        m_keyColumns.push_back(found);
    }
    m_table = table;
}

bool Recordset::IsBOF() const {
    return m_rows.empty() || m_cur < 0;
}

bool Recordset::IsEOF() const {
    return m_rows.empty() || m_cur >= static_cast<int>(m_rows.size());
}

int Recordset::RecordCount() const {
    return m_open ? static_cast<int>(m_rows.size()) : 0;
}

void Recordset::commitPendingEdit() {
    if (m_editMode != EditModeEnum::None)
        Update();
}

void Recordset::moveTo(int index) {
    commitPendingEdit();
    if (index == m_cur)
        return;
    m_cur = index;
    emit currentChanged();
}

void Recordset::MoveFirst() {
    requireOpen();
    if (!m_rows.empty())
        moveTo(0);
}

void Recordset::MoveLast() {
    requireOpen();
    if (!m_rows.empty())
        moveTo(static_cast<int>(m_rows.size()) - 1);
}

void Recordset::MoveNext() {
    requireOpen();
    if (IsEOF())
        throw PlatformError("MoveNext: the recordset is already at EOF");
    moveTo(m_cur + 1);
}

void Recordset::MovePrevious() {
    requireOpen();
    if (IsBOF())
        throw PlatformError("MovePrevious: the recordset is already at BOF");
    moveTo(m_cur - 1);
}

int Recordset::AbsolutePosition() const {
    if (!m_open || m_rows.empty())
        return PosUnknown;
    if (IsBOF())
        return PosBOF;
    if (IsEOF())
        return PosEOF;
    return m_cur + 1;
}

void Recordset::SetAbsolutePosition(int position) {
    requireOpen();
    if (position < 1 || position > static_cast<int>(m_rows.size()))
        throw PlatformError(
            QString("AbsolutePosition %1 is outside 1..%2").arg(position).arg(m_rows.size()));
    moveTo(position - 1);
}

void Recordset::Find(const QString& criteria) {
    requireOpen();
    const FindCriterion c = FindCriterion::parse(criteria);
    const int column = fieldIndexOrThrow(c.field);
    const int count = static_cast<int>(m_rows.size());
    int i = m_cur < 0 ? 0 : m_cur;
    while (i < count && !c.matches(m_rows[static_cast<size_t>(i)][static_cast<size_t>(column)]))
        ++i;
    moveTo(std::min(i, count));
}

int Recordset::FieldIndex(const QString& name) const {
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int Recordset::fieldIndexOrThrow(const QString& name) const {
    const int i = FieldIndex(name);
    if (i < 0)
        throw PlatformError(QString("The recordset has no field named %1").arg(name));
    return i;
}

QVariant Recordset::ValueAt(int position, int column) const {
    if (position < 1 || position > RecordCount() || column < 0 || column >= m_columns.size())
        throw PlatformError(QString("No value at row %1, column %2").arg(position).arg(column));
    return m_rows[static_cast<size_t>(position - 1)][static_cast<size_t>(column)];
}

QVariant Recordset::Field(const QString& name) const {
    requireCurrent();
    return m_rows[static_cast<size_t>(m_cur)][static_cast<size_t>(fieldIndexOrThrow(name))];
}

void Recordset::SetField(const QString& name, const QVariant& value) {
    requireCurrent();
    const int column = fieldIndexOrThrow(name);
    if (m_lockType == LockTypeEnum::ReadOnly)
        throw PlatformError("The recordset is read-only");
    if (!m_notUpdatable.isEmpty())
        throw PlatformError(m_notUpdatable);
    if (m_origin[column].isEmpty())
        throw PlatformError(QString("The field %1 is not a table column").arg(name));
    auto& row = m_rows[static_cast<size_t>(m_cur)];
    if (m_editMode == EditModeEnum::None) {
        m_editMode = EditModeEnum::InProgress;
        m_original = row;
        m_changed.assign(row.size(), false);
    }
    row[static_cast<size_t>(column)] = value;
    m_changed[static_cast<size_t>(column)] = true;
    emit rowChanged(m_cur + 1);
}

void Recordset::AddNew() {
    requireOpen();
    if (m_lockType == LockTypeEnum::ReadOnly)
        throw PlatformError("The recordset is read-only");
    if (!m_notUpdatable.isEmpty())
        throw PlatformError(m_notUpdatable);
    commitPendingEdit();
    m_beforeAdd = m_cur;
    m_rows.emplace_back(static_cast<size_t>(m_columns.size()));
    m_cur = static_cast<int>(m_rows.size()) - 1;
    m_editMode = EditModeEnum::Add;
    m_original = m_rows.back();
    m_changed.assign(m_rows.back().size(), false);
    emit rowInserted(m_cur + 1);
    emit currentChanged();
}

void Recordset::CancelUpdate() {
    requireOpen();
    if (m_editMode == EditModeEnum::Add) {
        const int removed = m_cur + 1;
        m_rows.pop_back();
        m_cur = m_beforeAdd;
        m_editMode = EditModeEnum::None;
        emit rowRemoved(removed);
        emit currentChanged();
    } else if (m_editMode == EditModeEnum::InProgress) {
        m_rows[static_cast<size_t>(m_cur)] = m_original;
        m_editMode = EditModeEnum::None;
        emit rowChanged(m_cur + 1);
    }
}

std::shared_ptr<Database> Recordset::databaseForWrite() const {
    std::shared_ptr<Database> db = m_db.lock();
    if (!db)
        throw PlatformError("Cannot write the row: the connection has been closed");
    return db;
}

std::vector<int> Recordset::changedColumns() const {
    std::vector<int> cols;
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (m_changed[i])
            cols.push_back(static_cast<int>(i));
    }
    return cols;
}

void Recordset::Update() {
    requireOpen();
    if (m_editMode == EditModeEnum::None)
        return;
    const std::shared_ptr<Database> db = databaseForWrite();
    if (m_editMode == EditModeEnum::Add)
        insertCurrent(*db);
    else
        updateCurrent(*db);
    m_editMode = EditModeEnum::None;
    emit rowChanged(m_cur + 1);
}

void Recordset::insertCurrent(Database& db) {
    const auto& row = m_rows[static_cast<size_t>(m_cur)];
    QStringList names;
    QStringList marks;
    QVariantList params;
    for (int c : changedColumns()) {
        names << Database::quoteName(m_origin[c]);
        marks << "?";
        params << row[static_cast<size_t>(c)];
    }
    const QString table = Database::quoteName(m_table);
    if (names.isEmpty())
        db.exec("INSERT INTO " + table + " DEFAULT VALUES");
    else
        db.exec("INSERT INTO " + table + " (" + names.join(',') + ") VALUES (" + marks.join(',') +
                    ")",
                params);
    rereadCurrent(db, "rowid = ?", {db.lastInsertRowId()});
}

void Recordset::updateCurrent(Database& db) {
    const auto& row = m_rows[static_cast<size_t>(m_cur)];
    QStringList sets;
    QStringList where;
    QVariantList setParams;
    QVariantList whereParams;
    for (int k : m_keyColumns) {
        where << Database::quoteName(m_origin[k]) + " = ?";
        whereParams << m_original[static_cast<size_t>(k)];
    }
    // Optimistic: the changed fields must still hold what was read.
    for (int c : changedColumns()) {
        const QString name = Database::quoteName(m_origin[c]);
        sets << name + " = ?";
        setParams << row[static_cast<size_t>(c)];
        where << name + " IS ?";
        whereParams << m_original[static_cast<size_t>(c)];
    }
    const int changed = db.exec("UPDATE " + Database::quoteName(m_table) + " SET " +
                                    sets.join(", ") + " WHERE " + where.join(" AND "),
                                setParams + whereParams);
    if (changed != 1)
        throw PlatformError("Row cannot be located for updating: it was changed or deleted "
                            "since it was read");
    QStringList keyWhere;
    QVariantList keyParams;
    for (int k : m_keyColumns) {
        keyWhere << Database::quoteName(m_origin[k]) + " = ?";
        keyParams << row[static_cast<size_t>(k)];
    }
    rereadCurrent(db, keyWhere.join(" AND "), keyParams);
}

// Reads the written row back, so the recordset shows what the table holds
// (defaults, the column's type affinity).
void Recordset::rereadCurrent(Database& db, const QString& where, const QVariantList& params) {
    rereadRow(db, m_cur, where, params);
}

// Copies the stored values of the row found by `where` into row `index`.
Recordset::Reread Recordset::rereadRow(Database& db, int index, const QString& where,
                                       const QVariantList& params) {
    QStringList names;
    std::vector<size_t> targets;
    for (int i = 0; i < m_origin.size(); ++i) {
        if (!m_origin[i].isEmpty()) {
            names << Database::quoteName(m_origin[i]);
            targets.push_back(static_cast<size_t>(i));
        }
    }
    const QueryResult r = db.query("SELECT " + names.join(',') + " FROM " +
                                       Database::quoteName(m_table) + " WHERE " + where,
                                   params);
    if (r.rows.size() != 1)
        return Reread::Missing;
    auto& row = m_rows[static_cast<size_t>(index)];
    bool changed = false;
    for (size_t i = 0; i < targets.size(); ++i) {
        QVariant& value = row[targets[i]];
        const QVariant& stored = r.rows[0][i];
        changed = changed || value.isValid() != stored.isValid() || value != stored;
        value = stored;
    }
    return changed ? Reread::Changed : Reread::Same;
}

// Reads row `index` again by its key; false when it is no longer stored.
bool Recordset::resyncRow(Database& db, int index) {
    const auto& row = m_rows[static_cast<size_t>(index)];
    QStringList where;
    QVariantList params;
    for (int k : m_keyColumns) {
        where << Database::quoteName(m_origin[k]) + " = ?";
        params << row[static_cast<size_t>(k)];
    }
    const Reread result = rereadRow(db, index, where.join(" AND "), params);
    if (result == Reread::Changed)
        emit rowChanged(index + 1);
    return result != Reread::Missing;
}

void Recordset::dropRow(int index) {
    m_rows.erase(m_rows.begin() + index);
    const bool current = index == m_cur;
    if (index < m_cur)
        --m_cur;
    emit rowRemoved(index + 1);
    if (current)
        emit currentChanged();
}

void Recordset::Resync(AffectEnum affect) {
    requireOpen();
    if (!m_notUpdatable.isEmpty())
        throw PlatformError("Cannot resync the recordset: " + m_notUpdatable);
    if (affect == AffectEnum::Current)
        requireCurrent();
    CancelUpdate();
    const std::shared_ptr<Database> db = databaseForWrite();
    if (affect == AffectEnum::Current) {
        // Cancelling an added row may have left no current row.
        if (!IsBOF() && !IsEOF() && !resyncRow(*db, m_cur))
            dropRow(m_cur);
        return;
    }
    for (int i = static_cast<int>(m_rows.size()) - 1; i >= 0; --i) {
        if (!resyncRow(*db, i))
            dropRow(i);
    }
}

} // namespace platform::db
