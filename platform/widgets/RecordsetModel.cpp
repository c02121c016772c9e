#include "widgets/RecordsetModel.h"

#include "db/Recordset.h"

namespace platform {

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetModel::bind(db::Recordset* recordset, const std::vector<Column>& columns) {
    for (const auto& link : m_links)
        disconnect(link);
    m_links.clear();
    beginResetModel();
    m_rs = recordset;
    m_columns = columns;
    endResetModel();
    refresh();
    if (!m_rs)
        return;
    m_links << connect(m_rs, &db::Recordset::rowsReset, this, &RecordsetModel::refresh);
    m_links << connect(m_rs, &db::Recordset::rowChanged, this, [this](int position) {
        emit dataChanged(index(position - 1, 0), index(position - 1, columnCount() - 1));
    });
    m_links << connect(m_rs, &db::Recordset::rowInserted, this, &RecordsetModel::refresh);
    m_links << connect(m_rs, &db::Recordset::rowRemoved, this, &RecordsetModel::refresh);
}

void RecordsetModel::refresh() {
    beginResetModel();
    m_fieldIndex.clear();
    for (const Column& c : m_columns)
        m_fieldIndex.push_back(m_rs ? m_rs->FieldIndex(c.field) : -1);
    endResetModel();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_rs ? 0 : m_rs->RecordCount();
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
    if (!m_rs || !index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const int field = m_fieldIndex.at(static_cast<size_t>(index.column()));
    if (field < 0 || index.row() >= m_rs->RecordCount())
        return {};
    const QVariant value = m_rs->ValueAt(index.row() + 1, field);
    return value.isNull() ? QVariant(QString()) : QVariant(value.toString());
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return {};
    return m_columns[static_cast<size_t>(section)].caption;
}

} // namespace platform
