#pragma once

#include "widgets/Twips.h"

#include <QFont>
#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <cstdint>
#include <vector>

namespace platform::db {
class Recordset;
}

namespace platform {

class FlexGridModel;
class FlexGridDelegate;

// The hierarchical flex grid: a grid of text cells with one fixed header row
// (row 0) and one fixed column (column 0). Bound to a recordset, row n shows
// the n-th record and column c (c >= 1) the c-th chosen field; the cells are
// read from the recordset when it is bound, when Refresh() is called and
// whenever the recordset reports changed rows. Cell texts written through
// SetTextMatrix show until the cells are read again.
//
// As in the platform's grid:
// - Row and Col are the current cell; RowSel and ColSel the other corner of
//   the selection. Setting Row or Col also resets RowSel/ColSel to it. A left
//   click makes the clicked cell current and selected (SelChange), a right
//   click changes nothing but raises MouseDown/MouseUp.
// - Row heights and column widths are in twips (converted with the screen's
//   twips per pixel given to the grid); a width of 0 hides the column.
// - Alignment values: 0 left-top, 1 left-centre, 2 left-bottom, 3 centre-top,
//   4 centre-centre, 5 centre-bottom, 6 right-top, 7 right-centre,
//   8 right-bottom, 9 general (text left, numbers right; centred vertically).
// - MergeCells 0 never, 1 free, 2 restrict rows, 3 restrict columns,
//   4 restrict both: equal neighbouring cells of a column with MergeCol set
//   show as one cell (rows are merged only in columns; a cell of a
//   restricted column merges only while the cells left of it merge too).
// - Colours are stored values 0x00BBGGRR (system colours with the high bit).
// - Mouse events carry the button (1 left, 2 right, 4 middle), the shift
//   state (1 Shift, 2 Ctrl, 4 Alt) and X, Y in twips relative to the grid.
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr, Twips twips = Twips());
    ~FlexGrid() override;

    // ---- binding
    struct Column {
        QString field;   // recordset field shown in the column
        QString caption; // header text (row 0); empty gives the field name
    };
    // Binds to `recordset` (nullptr unbinds) showing `columns` as columns
    // 1..n. Every cell is read anew; colours, merged cells and the current
    // cell start over. Column widths, alignments and row heights set before
    // stay where the column or row still exists.
    void SetDataSource(db::Recordset* recordset, const std::vector<Column>& columns);
    db::Recordset* DataSource() const;
    // Reads every cell's text from the recordset again (rows added or
    // removed included) and repaints. Colours, widths and heights stay.
    void Refresh();

    // ---- shape and text
    int Rows() const;
    int Cols() const;
    void SetRows(int rows); // for a grid without recordset; at least 1
    void SetCols(int cols); // at least 1
    int FixedRows() const { return 1; }
    int FixedCols() const { return 1; }
    QString TextMatrix(int row, int col) const; // "" outside the grid
    void SetTextMatrix(int row, int col, const QString& text);
    QString Text() const { return TextMatrix(Row(), Col()); }
    void SetText(const QString& text) { SetTextMatrix(Row(), Col(), text); }

    // ---- current cell, selection and scrolling
    int Row() const { return m_row; }
    int Col() const { return m_col; }
    void SetRow(int row); // clamped into the grid
    void SetCol(int col);
    int RowSel() const { return m_rowSel; }
    int ColSel() const { return m_colSel; }
    void SetRowSel(int row);
    void SetColSel(int col);
    // The first data row shown below the header (1 when the grid is empty).
    int TopRow() const;
    void SetTopRow(int row);
    // True when any part of the row is inside the visible area.
    bool RowIsVisible(int row) const;
    bool ColIsVisible(int col) const;

    // ---- sizes in twips
    void SetTwips(Twips twips);
    const Twips& twips() const { return m_twips; }
    double RowHeight(int row) const;
    void SetRowHeight(int row, double twips); // row -1: every row
    double RowHeightMin() const { return m_rowHeightMin; }
    void SetRowHeightMin(double twips);
    double ColWidth(int col) const;
    void SetColWidth(int col, double twips); // col -1: every column
    double Left() const { return m_twips.toTwipsX(x()); }
    double Top() const { return m_twips.toTwipsY(y()); }
    double Width() const { return m_twips.toTwipsX(width()); }
    double Height() const { return m_twips.toTwipsY(height()); }
    void Move(double left, double top, double width, double height);

    // ---- look
    int ColAlignment(int col) const;
    void SetColAlignment(int col, int alignment); // col -1: every column
    int ColAlignmentFixed(int col) const;         // of the header cell
    void SetColAlignmentFixed(int col, int alignment);
    // Per column: 0 single line, 1 word break, 2 ellipsis, 3 word break and
    // ellipsis. With WordWrap on, every column breaks words.
    int ColWordWrapOption(int col) const;
    void SetColWordWrapOption(int col, int option);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wrap);
    // 0 free (the clicked cell), 1 by row (whole rows), 2 by column.
    int SelectionMode() const { return m_selectionMode; }
    void SetSelectionMode(int mode);
    int MergeCells() const { return m_mergeCells; }
    void SetMergeCells(int mode);
    bool MergeCol(int col) const;
    void SetMergeCol(int col, bool merge);
    // Cell font (data rows) and the header row's font.
    QFont Font() const { return font(); }
    void SetFont(const QFont& font);
    QFont FontFixed() const { return m_fontFixed; }
    void SetFontFixed(const QFont& font);
    double FontSize() const { return font().pointSizeF(); }
    void SetFontSize(double points);

    // ---- colours (stored values)
    std::uint32_t BackColor() const { return m_backColor; }
    void SetBackColor(std::uint32_t color);
    std::uint32_t BackColorFixed() const { return m_backColorFixed; }
    void SetBackColorFixed(std::uint32_t color);
    // The current cell's background; a cell never coloured has BackColor
    // (BackColorFixed in the header).
    std::uint32_t CellBackColor() const { return CellBackColorAt(m_row, m_col); }
    void SetCellBackColor(std::uint32_t color) { SetCellBackColorAt(m_row, m_col, color); }
    std::uint32_t CellBackColorAt(int row, int col) const;
    void SetCellBackColorAt(int row, int col, std::uint32_t color);

    QString ToolTipText() const { return toolTip(); }
    void SetToolTipText(const QString& text) { setToolTip(text); }

    // The cell at a point in twips relative to the grid: false outside cells.
    bool CellAt(double xTwips, double yTwips, int* row, int* col) const;

signals:
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    void DblClick();
    void Click();
    void SelChange();    // the selection changed (by the learner or the program)
    void RowColChange(); // the current cell changed

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class FlexGridModel;
    friend class FlexGridDelegate;
    struct Cell {
        QString text;
        std::uint32_t back = 0;
        bool coloured = false;
    };
    QVariant cellData(int row, int col, int role) const;
    void readCells();
    void applySizes();
    void updateMerges();
    void resizeCells(int rows, int cols);
    void readRow(int row);
    void setCurrent(int row, int col);
    void setSelectionEnd(int row, int col);
    void emitSelectionChanges(int oldRow, int oldCol, int oldRowSel, int oldColSel);
    bool handleMouse(QObject* watched, QEvent* event);
    bool cellAtPixel(const QPoint& pos, int* row, int* col) const;
    bool inSelection(int row, int col) const;
    int defaultRowHeightPx(bool header) const;

    FlexGridModel* m_model;
    QPointer<db::Recordset> m_rs;
    std::vector<Column> m_columns;
    QList<QMetaObject::Connection> m_links;
    Twips m_twips;
    std::vector<std::vector<Cell>> m_cells; // [row][col], row 0 the header

    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;

    std::vector<double> m_rowHeights; // twips, per row; < 0 means the default
    std::vector<double> m_colWidths;  // twips, per column
    std::vector<int> m_alignment;
    std::vector<int> m_alignmentFixed;
    std::vector<int> m_wrapOption;
    std::vector<bool> m_mergeCol;
    double m_rowHeightMin = 0;
    int m_mergeCells = 0;
    int m_selectionMode = 0;
    bool m_leftDown = false;   // the left button went down on a cell
    bool m_dblClicked = false; // the press being released was a double-click
    int m_pressRow = -1;
    int m_pressCol = -1;
    bool m_wordWrap = false;
    QFont m_fontFixed;
    std::uint32_t m_backColor = 0x80000005;
    std::uint32_t m_backColorFixed = 0x8000000F;
};

} // namespace platform
