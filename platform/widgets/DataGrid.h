#pragma once

#include "widgets/RecordsetModel.h"

#include <QTableView>

namespace platform {

// The data grid control: a table bound to a recordset. Selecting a row moves
// the recordset's current row, and moving the recordset selects the row, so
// both always agree. Widths and heights are in pixels.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    void setDataSource(db::Recordset* recordset,
                       const std::vector<RecordsetModel::Column>& columns);
    db::Recordset* dataSource() const { return m_model->recordset(); }

    // Reads the rows again from the recordset and selects its current row.
    void Refresh();

    double ColumnWidth(int column) const;
    void SetColumnWidth(int column, double width);
    double RowHeight() const { return m_rowHeight; }
    void SetRowHeight(double height);
    double FontSize() const { return font().pointSizeF(); }
    void SetFontSize(double points);

signals:
    void DblClick(); // a row was double-clicked (after it became the current row)
    // Selecting a row could not move the recordset (a database failure); the
    // window reports it.
    void Error(const QString& what);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void followRecordset();
    void moveRecordset(const QModelIndex& current);

    RecordsetModel* m_model;
    QList<QMetaObject::Connection> m_follow;
    std::vector<double> m_widths; // unrounded, so repeated scaling stays exact
    double m_rowHeight = 0;
    bool m_syncing = false;
};

} // namespace platform
