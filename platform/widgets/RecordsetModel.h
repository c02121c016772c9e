#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

namespace platform::db {
class Recordset;
}

namespace platform {

// Shows chosen fields of a recordset as table columns and follows the
// recordset's changes. Null shows as an empty cell.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString caption;
    };

    explicit RecordsetModel(QObject* parent = nullptr);

    // Binds to a recordset (nullptr unbinds) with the columns to show.
    void bind(db::Recordset* recordset, const std::vector<Column>& columns);
    db::Recordset* recordset() const { return m_rs; }
    // Reads every row again.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QPointer<db::Recordset> m_rs;
    std::vector<Column> m_columns;
    std::vector<int> m_fieldIndex; // recordset column of each shown column
    QList<QMetaObject::Connection> m_links;
};

} // namespace platform
