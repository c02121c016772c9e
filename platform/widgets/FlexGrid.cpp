#include "widgets/FlexGrid.h"

#include "db/Recordset.h"
#include "widgets/MouseCodes.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace platform {

namespace {

constexpr double kDefaultColWidth = 960; // twips

Qt::Alignment alignmentFlags(int value, bool numeric) {
    static const Qt::Alignment table[] = {
        Qt::AlignLeft | Qt::AlignTop,        Qt::AlignLeft | Qt::AlignVCenter,
        Qt::AlignLeft | Qt::AlignBottom,     Qt::AlignHCenter | Qt::AlignTop,
        Qt::AlignHCenter | Qt::AlignVCenter, Qt::AlignHCenter | Qt::AlignBottom,
        Qt::AlignRight | Qt::AlignTop,       Qt::AlignRight | Qt::AlignVCenter,
        Qt::AlignRight | Qt::AlignBottom,
    };
    if (value >= 0 && value < 9)
        return table[value];
    // General: text to the left, numbers to the right.
    return (numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

bool isNumber(const QString& text) {
    bool ok = false;
    text.toDouble(&ok);
    return ok;
}

} // namespace

// Shows the grid's data rows (row n of the grid is model row n - 1); the
// header row is the horizontal header.
class FlexGridModel : public QAbstractTableModel {
public:
    explicit FlexGridModel(FlexGrid& grid) : QAbstractTableModel(&grid), m_grid(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_grid.m_cells.size()) - 1;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || m_grid.m_cells.empty()
                   ? 0
                   : static_cast<int>(m_grid.m_cells.front().size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        return m_grid.cellData(index.row() + 1, index.column(), role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal)
            return {};
        if (role == Qt::FontRole)
            return m_grid.m_fontFixed;
        return m_grid.cellData(0, section, role);
    }
    void reset() {
        beginResetModel();
        endResetModel();
    }
    void changed(int firstRow, int lastRow) {
        if (firstRow == 0)
            emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        const int first = std::max(0, firstRow - 1);
        const int last = lastRow - 1;
        if (last >= first && columnCount() > 0)
            emit dataChanged(index(first, 0), index(last, columnCount() - 1));
    }

private:
    FlexGrid& m_grid;
};

// Draws the cells with the grid's per-column word wrap and a frame around
// the current cell.
class FlexGridDelegate : public QStyledItemDelegate {
public:
    explicit FlexGridDelegate(FlexGrid& grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.row() + 1 == m_grid.Row() && index.column() == m_grid.Col()) {
            painter->save();
            painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const int wrap = m_grid.WordWrap() ? 1 : m_grid.ColWordWrapOption(index.column());
        if (wrap == 1 || wrap == 3)
            option->features |= QStyleOptionViewItem::WrapText;
        else
            option->features &= ~QStyleOptionViewItem::WrapText;
        option->textElideMode = (wrap == 2 || wrap == 3) ? Qt::ElideRight : Qt::ElideNone;
        option->state &= ~QStyle::State_HasFocus;
    }

private:
    FlexGrid& m_grid;
};

FlexGrid::FlexGrid(QWidget* parent, Twips twips)
    : QTableView(parent), m_model(new FlexGridModel(*this)), m_twips(twips) {
    m_cells.assign(2, std::vector<Cell>(2));
    m_fontFixed = font();
    setModel(m_model);
    setItemDelegate(new FlexGridDelegate(*this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setMinimumSectionSize(0);
        h->setHighlightSections(false);
    }
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsClickable(false);
    viewport()->installEventFilter(this);
    horizontalHeader()->viewport()->installEventFilter(this);
    m_row = m_rowSel = 1;
    m_col = m_colSel = 1;
    resizeCells(2, 2);
}

FlexGrid::~FlexGrid() = default;

// ---- cells

QVariant FlexGrid::cellData(int row, int col, int role) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return {};
    const Cell& cell = m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
    const bool fixed = row < FixedRows() || col < FixedCols();
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::TextAlignmentRole: {
        const auto& table = row < FixedRows() ? m_alignmentFixed : m_alignment;
        return static_cast<int>(
            alignmentFlags(table[static_cast<size_t>(col)], isNumber(cell.text)));
    }
    case Qt::BackgroundRole:
        if (!fixed && inSelection(row, col) && !(row == m_row && col == m_col))
            return palette().color(QPalette::Highlight);
        return colorFromOle(cell.coloured ? cell.back : fixed ? m_backColorFixed : m_backColor);
    case Qt::ForegroundRole:
        if (!fixed && inSelection(row, col) && !(row == m_row && col == m_col))
            return palette().color(QPalette::HighlightedText);
        return {};
    default:
        return {};
    }
}

void FlexGrid::resizeCells(int rows, int cols) {
    rows = std::max(1, rows);
    cols = std::max(1, cols);
    const auto r = static_cast<size_t>(rows);
    const auto c = static_cast<size_t>(cols);
    m_cells.resize(r);
    for (auto& row : m_cells)
        row.resize(c);
    m_rowHeights.resize(r, -1);
    m_colWidths.resize(c, -1);
    m_alignment.resize(c, 9);
    m_alignmentFixed.resize(c, 9);
    m_wrapOption.resize(c, 0);
    m_mergeCol.resize(c, false);
    m_model->reset();
    m_row = std::clamp(m_row, 0, rows - 1);
    m_rowSel = std::clamp(m_rowSel, 0, rows - 1);
    m_col = std::clamp(m_col, 0, cols - 1);
    m_colSel = std::clamp(m_colSel, 0, cols - 1);
    applySizes();
    updateMerges();
}

int FlexGrid::Rows() const {
    return static_cast<int>(m_cells.size());
}

int FlexGrid::Cols() const {
    return m_cells.empty() ? 0 : static_cast<int>(m_cells.front().size());
}

void FlexGrid::SetRows(int rows) {
    resizeCells(rows, Cols());
}

void FlexGrid::SetCols(int cols) {
    resizeCells(Rows(), cols);
}

QString FlexGrid::TextMatrix(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return {};
    return m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)].text;
}

void FlexGrid::SetTextMatrix(int row, int col, const QString& text) {
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return;
    m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)].text = text;
    m_model->changed(row, row);
    updateMerges();
}

// ---- binding

void FlexGrid::SetDataSource(db::Recordset* recordset, const std::vector<Column>& columns) {
    for (const auto& link : m_links)
        disconnect(link);
    m_links.clear();
    m_rs = recordset;
    m_columns = columns;
    for (auto& row : m_cells)
        for (Cell& cell : row)
            cell = Cell();
    readCells();
    const int cols = Cols();
    for (int c = 1; c < cols && c <= static_cast<int>(columns.size()); ++c) {
        const Column& column = columns[static_cast<size_t>(c - 1)];
        m_cells[0][static_cast<size_t>(c)].text =
            column.caption.isEmpty() ? column.field : column.caption;
    }
    m_model->changed(0, 0);
    setCurrent(std::min(1, Rows() - 1), std::min(1, Cols() - 1));
    if (!m_rs)
        return;
    // A reopened recordset holds other rows: start over as on binding;
    // changed rows are read again where they are.
    m_links << connect(m_rs, &db::Recordset::rowsReset, this, [this] {
        for (auto& row : m_cells)
            for (Cell& cell : row)
                cell.coloured = false;
        readCells();
        setCurrent(std::min(1, Rows() - 1), std::min(1, Cols() - 1));
    });
    m_links << connect(m_rs, &db::Recordset::rowChanged, this, [this](int position) {
        readRow(position);
        m_model->changed(position, position);
        updateMerges();
    });
    m_links << connect(m_rs, &db::Recordset::rowInserted, this, &FlexGrid::Refresh);
    m_links << connect(m_rs, &db::Recordset::rowRemoved, this, &FlexGrid::Refresh);
}

db::Recordset* FlexGrid::DataSource() const {
    return m_rs;
}

void FlexGrid::Refresh() {
    readCells();
    viewport()->update();
}

void FlexGrid::readCells() {
    if (!m_rs) {
        m_model->reset();
        updateMerges();
        return;
    }
    const int records = m_rs->State() == db::ObjectState::Open ? m_rs->RecordCount() : 0;
    resizeCells(records + 1, static_cast<int>(m_columns.size()) + 1);
    for (int r = 1; r <= records; ++r)
        readRow(r);
    m_model->reset();
    applySizes();
    updateMerges();
}

void FlexGrid::readRow(int row) {
    if (!m_rs || row < 1 || row >= Rows() || m_rs->State() != db::ObjectState::Open ||
        row > m_rs->RecordCount())
        return;
    auto& cells = m_cells[static_cast<size_t>(row)];
    for (size_t c = 0; c < m_columns.size() && c + 1 < cells.size(); ++c) {
        const int field = m_rs->FieldIndex(m_columns[c].field);
        const QVariant value = field < 0 ? QVariant() : m_rs->ValueAt(row, field);
        cells[c + 1].text = value.isNull() ? QString() : value.toString();
    }
}

// ---- current cell and selection

void FlexGrid::setCurrent(int row, int col) {
    const int oldRow = m_row, oldCol = m_col, oldRowSel = m_rowSel, oldColSel = m_colSel;
    m_row = std::clamp(row, 0, Rows() - 1);
    m_col = std::clamp(col, 0, Cols() - 1);
    m_rowSel = m_row;
    m_colSel = m_col;
    // Row selection spans the non-fixed columns, column selection the rows.
    if (m_selectionMode == 1) {
        m_col = std::max(m_col, std::min(FixedCols(), Cols() - 1));
        m_colSel = Cols() - 1;
    } else if (m_selectionMode == 2) {
        m_rowSel = Rows() - 1;
    }
    emitSelectionChanges(oldRow, oldCol, oldRowSel, oldColSel);
}

void FlexGrid::setSelectionEnd(int row, int col) {
    const int oldRowSel = m_rowSel, oldColSel = m_colSel;
    m_rowSel = std::clamp(row, 0, Rows() - 1);
    m_colSel = std::clamp(col, 0, Cols() - 1);
    if (m_selectionMode == 1)
        m_colSel = Cols() - 1;
    else if (m_selectionMode == 2)
        m_rowSel = Rows() - 1;
    emitSelectionChanges(m_row, m_col, oldRowSel, oldColSel);
}

void FlexGrid::emitSelectionChanges(int oldRow, int oldCol, int oldRowSel, int oldColSel) {
    viewport()->update();
    if (oldRow != m_row || oldCol != m_col)
        emit RowColChange();
    if (oldRow != m_row || oldCol != m_col || oldRowSel != m_rowSel || oldColSel != m_colSel)
        emit SelChange();
}

void FlexGrid::SetRow(int row) {
    setCurrent(row, m_col);
}

void FlexGrid::SetCol(int col) {
    setCurrent(m_row, col);
}

void FlexGrid::SetRowSel(int row) {
    setSelectionEnd(row, m_colSel);
}

void FlexGrid::SetColSel(int col) {
    setSelectionEnd(m_rowSel, col);
}

void FlexGrid::SetSelectionMode(int mode) {
    m_selectionMode = std::clamp(mode, 0, 2);
    setCurrent(m_row, m_col);
}

bool FlexGrid::inSelection(int row, int col) const {
    return row >= std::min(m_row, m_rowSel) && row <= std::max(m_row, m_rowSel) &&
           col >= std::min(m_col, m_colSel) && col <= std::max(m_col, m_colSel);
}

int FlexGrid::TopRow() const {
    const int first = rowAt(0);
    return first < 0 ? 1 : first + 1;
}

void FlexGrid::SetTopRow(int row) {
    updateGeometries();
    verticalScrollBar()->setValue(std::max(0, row - 1));
}

bool FlexGrid::RowIsVisible(int row) const {
    if (row < 0 || row >= Rows())
        return false;
    if (row == 0)
        return !horizontalHeader()->isHidden() && horizontalHeader()->height() > 0;
    const int y = rowViewportPosition(row - 1);
    const int h = rowHeight(row - 1);
    return h > 0 && y + h > 0 && y < viewport()->height();
}

bool FlexGrid::ColIsVisible(int col) const {
    if (col < 0 || col >= Cols())
        return false;
    const int x = columnViewportPosition(col);
    const int w = columnWidth(col);
    return w > 0 && x + w > 0 && x < viewport()->width();
}

// ---- sizes

void FlexGrid::SetTwips(Twips twips) {
    m_twips = twips;
    applySizes();
}

int FlexGrid::defaultRowHeightPx(bool header) const {
    const QFontMetrics metrics(header ? m_fontFixed : font());
    return metrics.height() + 6;
}

double FlexGrid::RowHeight(int row) const {
    if (row < 0 || row >= Rows())
        return 0;
    const double set = m_rowHeights[static_cast<size_t>(row)];
    const double height = set >= 0 ? set : m_twips.toTwipsY(defaultRowHeightPx(row == 0));
    return std::max(height, m_rowHeightMin);
}

void FlexGrid::SetRowHeight(int row, double twips) {
    twips = std::max(0.0, twips);
    if (row == -1)
        std::fill(m_rowHeights.begin(), m_rowHeights.end(), twips);
    else if (row >= 0 && row < Rows())
        m_rowHeights[static_cast<size_t>(row)] = twips;
    applySizes();
}

void FlexGrid::SetRowHeightMin(double twips) {
    m_rowHeightMin = std::max(0.0, twips);
    applySizes();
}

double FlexGrid::ColWidth(int col) const {
    if (col < 0 || col >= Cols())
        return 0;
    const double set = m_colWidths[static_cast<size_t>(col)];
    return set >= 0 ? set : kDefaultColWidth;
}

void FlexGrid::SetColWidth(int col, double twips) {
    twips = std::max(0.0, twips);
    if (col == -1)
        std::fill(m_colWidths.begin(), m_colWidths.end(), twips);
    else if (col >= 0 && col < Cols())
        m_colWidths[static_cast<size_t>(col)] = twips;
    applySizes();
}

void FlexGrid::applySizes() {
    for (int c = 0; c < Cols(); ++c)
        setColumnWidth(c, m_twips.toPixelsX(ColWidth(c)));
    for (int r = 1; r < Rows(); ++r)
        setRowHeight(r - 1, m_twips.toPixelsY(RowHeight(r)));
    const int header = m_twips.toPixelsY(RowHeight(0));
    horizontalHeader()->setFixedHeight(header);
    horizontalHeader()->setVisible(header > 0);
    updateGeometries();
}

void FlexGrid::Move(double left, double top, double width, double height) {
    setGeometry(m_twips.toPixels(left, top, width, height));
}

// ---- look

int FlexGrid::ColAlignment(int col) const {
    return col >= 0 && col < Cols() ? m_alignment[static_cast<size_t>(col)] : 0;
}

void FlexGrid::SetColAlignment(int col, int alignment) {
    if (col == -1)
        std::fill(m_alignment.begin(), m_alignment.end(), alignment);
    else if (col >= 0 && col < Cols())
        m_alignment[static_cast<size_t>(col)] = alignment;
    m_model->changed(1, Rows() - 1);
}

int FlexGrid::ColAlignmentFixed(int col) const {
    return col >= 0 && col < Cols() ? m_alignmentFixed[static_cast<size_t>(col)] : 0;
}

void FlexGrid::SetColAlignmentFixed(int col, int alignment) {
    if (col == -1)
        std::fill(m_alignmentFixed.begin(), m_alignmentFixed.end(), alignment);
    else if (col >= 0 && col < Cols())
        m_alignmentFixed[static_cast<size_t>(col)] = alignment;
    m_model->changed(0, 0);
}

int FlexGrid::ColWordWrapOption(int col) const {
    return col >= 0 && col < Cols() ? m_wrapOption[static_cast<size_t>(col)] : 0;
}

void FlexGrid::SetColWordWrapOption(int col, int option) {
    if (col >= 0 && col < Cols())
        m_wrapOption[static_cast<size_t>(col)] = std::clamp(option, 0, 3);
    viewport()->update();
}

void FlexGrid::SetWordWrap(bool wrap) {
    m_wordWrap = wrap;
    viewport()->update();
}

void FlexGrid::SetMergeCells(int mode) {
    m_mergeCells = std::clamp(mode, 0, 4);
    updateMerges();
}

bool FlexGrid::MergeCol(int col) const {
    return col >= 0 && col < Cols() && m_mergeCol[static_cast<size_t>(col)];
}

void FlexGrid::SetMergeCol(int col, bool merge) {
    if (col >= 0 && col < Cols())
        m_mergeCol[static_cast<size_t>(col)] = merge;
    updateMerges();
}

void FlexGrid::updateMerges() {
    clearSpans();
    if (m_mergeCells == 0)
        return;
    const bool restrictColumns = m_mergeCells == 3 || m_mergeCells == 4;
    const auto sameAs = [this, restrictColumns](int row, int other, int col) {
        const auto& a = m_cells[static_cast<size_t>(row)];
        const auto& b = m_cells[static_cast<size_t>(other)];
        const int from = restrictColumns ? FixedCols() : col;
        for (int c = std::min(from, col); c <= col; ++c)
            if (a[static_cast<size_t>(c)].text != b[static_cast<size_t>(c)].text)
                return false;
        return true;
    };
    for (int col = 0; col < Cols(); ++col) {
        if (!MergeCol(col))
            continue;
        int start = 1;
        for (int row = 2; row <= Rows(); ++row) {
            if (row < Rows() && sameAs(row, start, col))
                continue;
            if (row - start > 1)
                setSpan(start - 1, col, row - start, 1);
            start = row;
        }
    }
}

void FlexGrid::SetFont(const QFont& f) {
    setFont(f);
    applySizes();
}

void FlexGrid::SetFontFixed(const QFont& f) {
    m_fontFixed = f;
    horizontalHeader()->setFont(f);
    m_model->changed(0, 0);
    applySizes();
}

void FlexGrid::SetFontSize(double points) {
    if (points <= 0)
        return;
    QFont f = font();
    f.setPointSizeF(points);
    SetFont(f);
}

// ---- colours

void FlexGrid::SetBackColor(std::uint32_t color) {
    m_backColor = color;
    viewport()->update();
}

void FlexGrid::SetBackColorFixed(std::uint32_t color) {
    m_backColorFixed = color;
    viewport()->update();
    m_model->changed(0, 0);
}

std::uint32_t FlexGrid::CellBackColorAt(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return m_backColor;
    const Cell& cell = m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
    if (cell.coloured)
        return cell.back;
    return row < FixedRows() || col < FixedCols() ? m_backColorFixed : m_backColor;
}

void FlexGrid::SetCellBackColorAt(int row, int col, std::uint32_t color) {
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return;
    Cell& cell = m_cells[static_cast<size_t>(row)][static_cast<size_t>(col)];
    cell.back = color;
    cell.coloured = true;
    m_model->changed(row, row);
}

// ---- mouse and keys

bool FlexGrid::cellAtPixel(const QPoint& pos, int* row, int* col) const {
    const QRect header = horizontalHeader()->isVisible() ? horizontalHeader()->geometry() : QRect();
    const QRect cells = viewport()->geometry();
    int r = -1;
    int c = -1;
    if (header.contains(pos)) {
        r = 0;
        c = horizontalHeader()->logicalIndexAt(pos.x() - header.x());
    } else if (cells.contains(pos)) {
        const QPoint local = pos - cells.topLeft();
        const int modelRow = rowAt(local.y());
        r = modelRow < 0 ? -1 : modelRow + 1;
        c = columnAt(local.x());
    }
    if (r < 0 || c < 0)
        return false;
    *row = r;
    *col = c;
    return true;
}

bool FlexGrid::CellAt(double xTwips, double yTwips, int* row, int* col) const {
    return cellAtPixel(QPoint(m_twips.toPixelsX(xTwips), m_twips.toPixelsY(yTwips)), row, col);
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport() || watched == horizontalHeader()->viewport()) {
        if (handleMouse(watched, event))
            return true;
    }
    return QTableView::eventFilter(watched, event);
}

bool FlexGrid::handleMouse(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pos = static_cast<QWidget*>(watched)->mapTo(this, mouse->position().toPoint());
    const auto x = static_cast<float>(m_twips.toTwipsX(pos.x()));
    const auto y = static_cast<float>(m_twips.toTwipsY(pos.y()));
    const short shift = shiftCode(mouse->modifiers());
    int row = -1;
    int col = -1;
    const bool onCell = cellAtPixel(pos, &row, &col);
    const bool dataCell = onCell && row >= FixedRows() && col >= FixedCols();

    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        setFocus(Qt::MouseFocusReason);
        m_dblClicked = type == QEvent::MouseButtonDblClick;
        if (mouse->button() == Qt::LeftButton) {
            m_leftDown = dataCell;
            m_pressRow = row;
            m_pressCol = col;
            if (dataCell) {
                if (shift & 1)
                    setSelectionEnd(row, col);
                else
                    setCurrent(row, col);
            }
        }
        if (m_dblClicked) {
            if (mouse->button() == Qt::LeftButton)
                emit DblClick();
        } else {
            emit MouseDown(mouseButtonCode(mouse->button()), shift, x, y);
        }
        return true;
    case QEvent::MouseMove:
        if (m_leftDown && (mouse->buttons() & Qt::LeftButton) && dataCell)
            setSelectionEnd(row, col);
        return true;
    case QEvent::MouseButtonRelease: {
        const bool click = mouse->button() == Qt::LeftButton && !m_dblClicked && onCell &&
                           row == m_pressRow && col == m_pressCol;
        if (mouse->button() == Qt::LeftButton)
            m_leftDown = false;
        emit MouseUp(mouseButtonCode(mouse->button()), shift, x, y);
        if (click)
            emit Click();
        m_dblClicked = false;
        return true;
    }
    default:
        return false;
    }
}

bool FlexGrid::viewportEvent(QEvent* event) {
    // The grid's own tool tip, wherever the pointer is.
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (toolTip().isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), toolTip(), this);
        return true;
    }
    return QTableView::viewportEvent(event);
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    const int page = std::max(1, viewport()->height() / std::max(1, rowHeight(0)));
    int row = m_row;
    int col = m_col;
    switch (event->key()) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    default:
        QTableView::keyPressEvent(event);
        return;
    }
    row = std::clamp(row, std::min(FixedRows(), Rows() - 1), Rows() - 1);
    col = std::clamp(col, std::min(FixedCols(), Cols() - 1), Cols() - 1);
    setCurrent(row, col);
    if (row >= 1)
        scrollTo(m_model->index(row - 1, col));
}

} // namespace platform
