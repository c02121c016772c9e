#pragma once

#include <QString>

class QFont;
#include <cstdint>

class frmExer;
class Program;

namespace platform {
class FlexGrid;
}

// The two sentence grids, EGrid (English) and CGrid (Chinese): their layout,
// the highlights both always carry, the pop-up that shows a sentence in the
// other language and the reading on double-click.
class ExerGrids {
public:
    ExerGrids(frmExer& window, Program& program);

    void DoIniGridSetting();
    // Colours cell (ARow, ACol) in both grids; the colour is stored
    // blue-green-red. Both grids' current cell is left there.
    void SetCellColor(std::int32_t ACol, std::int32_t ARow, std::uint32_t AColor);

    void EGrid_MouseDown(short Button, short Shift, float X, float Y);
    void CGrid_MouseDown(short Button, short Shift, float X, float Y);
    void EGrid_MouseUp(short Button, short Shift, float X, float Y);
    void CGrid_MouseUp(short Button, short Shift, float X, float Y);
    void EGrid_DblClick();
    void CGrid_DblClick();
    void EGrid_SelChange();

    // The sentence column of a row coloured in both grids / set back to the
    // grid's background; rows outside the sentences are left alone.
    void Highlight(int row, std::uint32_t colour);
    void ClearRow(int row);
    // Top row of both grids.
    void SetTopRows(int row);
    bool RowIsVisible(int row) const;
    // When visibilityRow is hidden, both grids scroll to show `row` at the top.
    void ScrollTo(int row, int visibilityRow);
    // The selected sentence: the selected row of the grid shown.
    int SelectedRow() const;
    // The grids' fonts for the window's ScaleFactor, from their designed sizes.
    void ScaleFonts();

    // Row height (twips) of a lesson's sentence rows.
    static std::int16_t RowHeightFor(const QString& lessonId, double scaleFactor);
    // Height (twips) of the pop-up for a text of `length` characters.
    static int PopupHeight(int length, bool chinese, double scaleFactor);

private:
    // Column widths in twips, and what the sentence column leaves free.
    struct ColumnWidths {
        double role = 0;
        double number = 0;
        double allowance = 0;
    };
    ColumnWidths Widths(bool withRoles) const;
    static double TextWidth(const platform::FlexGrid& grid, const QFont& font, const QString& text);
    void LayOut(platform::FlexGrid& grid, const ColumnWidths& widths);
    void ShowPopup(platform::FlexGrid& pressed, platform::FlexGrid& other, float X, float Y,
                   bool chinese);
    void MouseUp(short Button);

    frmExer& m_w;
    Program& m_program;
};
