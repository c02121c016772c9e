#include "widgets/DataGrid.h"

#include "db/Recordset.h"
#include "process/HandlerGuard.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <cmath>

namespace platform {

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), m_model(new RecordsetModel(this)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    m_rowHeight = verticalHeader()->defaultSectionSize();
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { moveRecordset(current); });
}

void DataGrid::setDataSource(db::Recordset* recordset,
                             const std::vector<RecordsetModel::Column>& columns) {
    for (const auto& link : m_follow)
        disconnect(link);
    m_follow.clear();
    m_model->bind(recordset, columns);
    m_widths.assign(columns.size(), 0);
    for (size_t i = 0; i < columns.size(); ++i)
        m_widths[i] = columnWidth(static_cast<int>(i));
    if (recordset) {
        // A grid bound to another recordset before must stop following it.
        m_follow << connect(recordset, &db::Recordset::currentChanged, this,
                            &DataGrid::followRecordset);
        m_follow << connect(recordset, &db::Recordset::rowsReset, this, &DataGrid::followRecordset);
    }
    followRecordset();
}

void DataGrid::Refresh() {
    m_model->refresh();
    followRecordset();
}

void DataGrid::followRecordset() {
    db::Recordset* rs = dataSource();
    if (!rs || m_syncing)
        return;
    const int position = rs->AbsolutePosition();
    m_syncing = true;
    if (position >= 1) {
        const QModelIndex row = m_model->index(position - 1, 0);
        selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect |
                                                   QItemSelectionModel::Rows);
        scrollTo(row);
    } else {
        selectionModel()->clearSelection();
    }
    m_syncing = false;
}

void DataGrid::moveRecordset(const QModelIndex& current) {
    db::Recordset* rs = dataSource();
    if (!rs || m_syncing || !current.isValid() || rs->State() != db::ObjectState::Open)
        return;
    // This runs in the selection model's slot: a failure of the recordset
    // stops here and goes to the window as an error, never through Qt.
    m_syncing = true;
    QString failure;
    try {
        if (rs->AbsolutePosition() != current.row() + 1)
            rs->SetAbsolutePosition(current.row() + 1);
    } catch (...) {
        failure = HandlerGuard::describe(std::current_exception());
    }
    m_syncing = false;
    if (!failure.isNull())
        emit Error(failure);
}

double DataGrid::ColumnWidth(int column) const {
    if (column < 0 || column >= static_cast<int>(m_widths.size()))
        return 0;
    return m_widths[static_cast<size_t>(column)];
}

void DataGrid::SetColumnWidth(int column, double width) {
    if (column < 0 || column >= static_cast<int>(m_widths.size()))
        return;
    m_widths[static_cast<size_t>(column)] = std::max(0.0, width);
    setColumnWidth(column, static_cast<int>(std::lround(m_widths[static_cast<size_t>(column)])));
}

void DataGrid::SetRowHeight(double height) {
    m_rowHeight = std::max(1.0, height);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(static_cast<int>(std::lround(m_rowHeight)));
}

void DataGrid::SetFontSize(double points) {
    if (points <= 0)
        return;
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);
    horizontalHeader()->setFont(f);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        emit DblClick();
}

} // namespace platform
