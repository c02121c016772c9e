#include "exercise/ExerGrids.h"

#include "core/Module_Show.h"
#include "core/Program.h"
#include "exercise/ExerModes.h"
#include "exercise/frmExer.h"
#include "process/IProgramEnd.h"
#include "ui/IMessageBox.h"
#include "widgets/FlexGrid.h"
#include "widgets/PopupButton.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <cmath>

using platform::FlexGrid;

namespace {

constexpr short kRightButton = 2;
constexpr int kHeaderAllowance = 600; // twips above the first sentence row
constexpr int kPopupLine = 260;
constexpr int kCentreCentre = 4;
constexpr int kWordBreak = 1;
constexpr int kMergeRestrictColumns = 3;
const char* const kTallRowPrefixes[] = {"0401", "0403", "0405", "1401", "1201"};
const char* const kHeaders[] = {"称呼", "对话内容", "勤奋指数", "能力指数"};

// Designed widths (twips at ScaleFactor 1): the role column, each number
// column, and what the sentence column leaves for the grid's lines and its
// scroll bar.
constexpr double kRoleWidth = 450;
constexpr double kNumberWidth = 700;
constexpr double kGridAllowance = 350;
// A role name wider than this wraps within its row rather than narrowing
// the sentences.
constexpr double kRoleWidthMax = 1800;
// Room around a cell's or a header's text (both sides and the grid line), pixels.
constexpr int kTextRoomPx = 14;

// Sizes become whole twips as the platform converts them: halves to even.
int Round(double v) {
    return RoundHalfEven(v);
}

QFont GridFont(const QStringList& families, double points) {
    QFont f;
    f.setFamilies(families);
    f.setPointSizeF(points);
    return f;
}

const QStringList kSerif = {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")};
const QStringList kSong = {QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"),
                           QStringLiteral("AR PL UMing TW")};

} // namespace

ExerGrids::ExerGrids(frmExer& window, Program& program) : m_w(window), m_program(program) {}

std::int16_t ExerGrids::RowHeightFor(const QString& lessonId, double scaleFactor) {
    // The lessons of these units have longer sentences.
    for (const char* prefix : kTallRowPrefixes)
        if (lessonId.startsWith(QLatin1String(prefix)))
            return static_cast<std::int16_t>(Round(1200 * scaleFactor));
    return static_cast<std::int16_t>(Round(850 * scaleFactor));
}

int ExerGrids::PopupHeight(int length, bool chinese, double scaleFactor) {
    const int lines = chinese ? length / 12 + 1 : length / 24 + 2;
    return Round(lines * kPopupLine * scaleFactor);
}

void ExerGrids::DoIniGridSetting() {
    const double k = m_program.vars.ScaleFactor;
    m_w.heightwidth = RowHeightFor(m_program.vars.CurUnitID, k);
    m_w.EGrid->SetRowHeightMin(Round(670 * k));
    m_w.CGrid->SetRowHeightMin(Round(670 * k));
    for (int i = 1; i < m_w.EGrid->Rows(); ++i) {
        m_w.EGrid->SetRowHeight(i, m_w.heightwidth);
        m_w.CGrid->SetRowHeight(i, m_w.heightwidth);
    }
    const ColumnWidths widths = Widths(m_program.vars.UnitObjNums > 0);
    LayOut(*m_w.EGrid, widths);
    LayOut(*m_w.CGrid, widths);
}

// Twips a text needs in a grid cell or header drawn in `font`.
double ExerGrids::TextWidth(const platform::FlexGrid& grid, const QFont& font,
                            const QString& text) {
    const int pixels = QFontMetrics(font).horizontalAdvance(text) + kTextRoomPx;
    return grid.twips().toTwipsX(pixels);
}

// The designed widths, widened where the fonts on this screen need more room
// for a header or a role name, the same in both grids so that switching the
// language keeps the columns in place; the sentence column takes the rest.
ExerGrids::ColumnWidths ExerGrids::Widths(bool withRoles) const {
    const double k = m_program.vars.ScaleFactor;
    ColumnWidths w;
    w.number = kNumberWidth * k;
    w.role = withRoles ? kRoleWidth * k : 0;
    for (const FlexGrid* grid : {m_w.EGrid, m_w.CGrid}) {
        const QFont header = grid->FontFixed();
        for (int c = 3; c <= 4; ++c)
            w.number =
                std::max(w.number, TextWidth(*grid, header, QString::fromUtf8(kHeaders[c - 1])));
        if (!withRoles)
            continue;
        double role = TextWidth(*grid, header, QString::fromUtf8(kHeaders[0]));
        for (int r = 1; r < grid->Rows(); ++r)
            role = std::max(role, TextWidth(*grid, grid->Font(), grid->TextMatrix(r, 1)));
        w.role = std::max(w.role, std::min(role, kRoleWidthMax * k));
    }
    w.role = Round(w.role);
    w.number = Round(w.number);
    w.allowance = kGridAllowance * k;
    return w;
}

void ExerGrids::LayOut(FlexGrid& grid, const ColumnWidths& widths) {
    grid.SetColWidth(0, 0);
    for (int c = 1; c <= 4; ++c)
        grid.SetColAlignment(c, kCentreCentre);
    for (int c = 1; c <= 4; ++c)
        grid.SetTextMatrix(0, c, QString::fromUtf8(kHeaders[c - 1]));
    grid.SetColWidth(1, widths.role);
    grid.SetColWidth(3, widths.number);
    grid.SetColWidth(4, widths.number);
    grid.SetColWidth(2, Round(grid.Width() - widths.role - 2 * widths.number - widths.allowance));
    // Long sentences and role names wrap within their row.
    grid.SetColWordWrapOption(1, kWordBreak);
    grid.SetColWordWrapOption(2, kWordBreak);
    grid.SetMergeCol(1, true);
    grid.SetMergeCells(kMergeRestrictColumns);
}

void ExerGrids::SetCellColor(std::int32_t ACol, std::int32_t ARow, std::uint32_t AColor) {
    try {
        for (FlexGrid* grid : {m_w.EGrid, m_w.CGrid}) {
            grid->SetCol(ACol);
            grid->SetRow(ARow);
            grid->SetCellBackColor(AColor);
        }
    } catch (const std::exception&) {
        m_program.platform.messages->show(
            {QStringLiteral("不期望的错误！1"), QStringLiteral("错误"), platform::MsgButtons::Ok},
            &m_w);
        m_program.platform.programEnd->endProgram(1);
    }
}

void ExerGrids::Highlight(int row, std::uint32_t colour) {
    if (row < 1 || row > m_w.DlgCount)
        return;
    SetCellColor(2, row, colour);
}

void ExerGrids::ClearRow(int row) {
    Highlight(row, m_w.EGrid->BackColor());
}

void ExerGrids::SetTopRows(int row) {
    m_w.EGrid->SetTopRow(row);
    m_w.CGrid->SetTopRow(row);
}

bool ExerGrids::RowIsVisible(int row) const {
    return m_w.EGrid->RowIsVisible(row);
}

void ExerGrids::ScrollTo(int row, int visibilityRow) {
    if (!RowIsVisible(visibilityRow))
        SetTopRows(row);
}

int ExerGrids::SelectedRow() const {
    const FlexGrid* shown = m_w.onoff ? m_w.EGrid : m_w.CGrid;
    return std::clamp(shown->RowSel(), 1, std::max(1, m_w.DlgCount));
}

void ExerGrids::ScaleFonts() {
    const double k = m_program.vars.ScaleFactor;
    m_w.CGrid->SetFont(GridFont(kSong, 12 * k));
    m_w.EGrid->SetFont(GridFont(kSerif, 15.75 * k));
}

void ExerGrids::ShowPopup(FlexGrid& pressed, FlexGrid& other, float X, float Y, bool chinese) {
    const double y = Y - kHeaderAllowance;
    if (y < 0)
        return;
    const int row = pressed.TopRow() + static_cast<int>(y / m_w.heightwidth);
    if (row >= other.Rows())
        return; // below the last sentence
    const QString text = other.TextMatrix(row, 2);
    QLabel* popup = m_w.txtchinese;
    const double k = m_program.vars.ScaleFactor;
    popup->setText(text);
    popup->resize(popup->width(), m_w.ToPixels(PopupHeight(text.size(), chinese, k)));
    const double top = pressed.Top() + Y + 20;
    const double left = pressed.Left() + X + 166;
    popup->move(m_w.ToPixels(left), m_w.ToPixels(top));
    popup->show();
    popup->raise();
}

void ExerGrids::EGrid_MouseDown(short Button, short Shift, float X, float Y) {
    Q_UNUSED(Shift);
    if (Button == kRightButton)
        ShowPopup(*m_w.EGrid, *m_w.CGrid, X, Y, true);
}

void ExerGrids::CGrid_MouseDown(short Button, short Shift, float X, float Y) {
    Q_UNUSED(Shift);
    if (Button == kRightButton)
        ShowPopup(*m_w.CGrid, *m_w.EGrid, X, Y, false);
}

void ExerGrids::MouseUp(short Button) {
    if (Button == kRightButton) {
        const double k = m_program.vars.ScaleFactor;
        m_w.txtchinese->clear();
        m_w.txtchinese->hide();
        m_w.txtchinese->resize(m_w.ToPixels(3000 * k), m_w.ToPixels(240 * k));
    }
    m_w.cmddialog->SetStyle(0);
}

void ExerGrids::EGrid_MouseUp(short Button, short Shift, float X, float Y) {
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    MouseUp(Button);
}

void ExerGrids::CGrid_MouseUp(short Button, short Shift, float X, float Y) {
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    MouseUp(Button);
}

void ExerGrids::EGrid_DblClick() {
    m_w.modes().readoneSub();
}

void ExerGrids::CGrid_DblClick() {
    // Any pending repaint first, so the double-clicked row shows selected.
    m_w.CGrid->repaint();
    m_w.modes().readoneSub();
}

void ExerGrids::EGrid_SelChange() {
    m_w.EGrid->SetToolTipText(QString());
}
