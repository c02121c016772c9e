#include "ExerFixture.h"
#include "exercise/ExerGrids.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerPlayback.h"
#include "exercise/frmExer.h"
#include "widgets/FlexGrid.h"
#include "widgets/PopupButton.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>

namespace {

using GridsTest = ExerFixture;

// Whether a text fits a column of the grid as shown, in the given font.
bool Fits(const platform::FlexGrid& grid, int col, const QFont& font, const QString& text) {
    return QFontMetrics(font).horizontalAdvance(text) < grid.columnWidth(col);
}

TEST_F(GridsTest, LayoutAtScaleFactorOneAndOneAndAQuarter) {
    struct Case {
        double scale;
        int screenWidth;
        const char* lesson;
        int rowHeight;
        int minHeight;
        double roleWidth; // the designed widths, the least the columns get
        double numberWidth;
        double allowance; // grid width minus the four columns
    };
    const Case cases[] = {
        {1.0, 1024, "010101", 850, 670, 450, 700, 350},
        {1.0, 1024, "030101", 850, 670, 0, 700, 350},
        {1.25, 1280, "010102", 1062, 838, 562.5, 875, 437.5},
        {1.25, 1280, "030101", 1062, 838, 0, 875, 437.5},
    };
    const char* headers[] = {"称呼", "对话内容", "勤奋指数", "能力指数"};
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 %2").arg(c.scale).arg(c.lesson).toStdString());
        program->vars.ScaleFactor = c.scale;
        program->vars.ScreenWidth = static_cast<std::int16_t>(c.screenWidth);
        frmExer& w = LoadLesson(c.lesson);
        EXPECT_EQ(w.heightwidth, c.rowHeight);
        for (platform::FlexGrid* grid : {w.EGrid, w.CGrid}) {
            EXPECT_EQ(grid->RowHeightMin(), c.minHeight);
            for (int r = 1; r < grid->Rows(); ++r)
                EXPECT_EQ(grid->RowHeight(r), c.rowHeight) << r;
            EXPECT_EQ(grid->ColWidth(0), 0);
            if (c.roleWidth == 0) {
                EXPECT_EQ(grid->ColWidth(1), 0) << "no roles, no role column";
            } else {
                EXPECT_GE(grid->ColWidth(1), c.roleWidth);
            }
            EXPECT_GE(grid->ColWidth(3), c.numberWidth);
            EXPECT_EQ(grid->ColWidth(4), grid->ColWidth(3));
            // Both grids alike, so the columns stay put when the language changes.
            EXPECT_EQ(grid->ColWidth(1), w.EGrid->ColWidth(1));
            EXPECT_EQ(grid->ColWidth(3), w.EGrid->ColWidth(3));
            // The sentences take the rest.
            EXPECT_NEAR(grid->ColWidth(2),
                        grid->Width() - grid->ColWidth(1) - grid->ColWidth(3) - grid->ColWidth(4) -
                            c.allowance,
                        0.5);
            for (int col = 1; col <= 4; ++col) {
                const QString header = QString::fromUtf8(headers[col - 1]);
                EXPECT_EQ(grid->TextMatrix(0, col), header);
                EXPECT_EQ(grid->ColAlignment(col), 4);
                if (grid->ColWidth(col) > 0) {
                    EXPECT_TRUE(Fits(*grid, col, grid->FontFixed(), header)) << col;
                }
            }
            for (int r = 1; r < grid->Rows() && c.roleWidth > 0; ++r) {
                EXPECT_TRUE(Fits(*grid, 1, grid->Font(), grid->TextMatrix(r, 1)))
                    << "role name of row " << r;
            }
            EXPECT_EQ(grid->ColWordWrapOption(1), 1) << "a long role name wraps";
            EXPECT_EQ(grid->ColWordWrapOption(2), 1) << "long sentences wrap";
            EXPECT_TRUE(grid->MergeCol(1));
            EXPECT_EQ(grid->MergeCells(), 3);
        }
        w.Unload();
        QApplication::processEvents();
    }
}

TEST_F(GridsTest, AVeryLongRoleNameWrapsInsteadOfNarrowingTheSentences) {
    frmExer& w = LoadLesson("010101");
    const double wideOne = w.EGrid->ColWidth(1);
    w.EGrid->SetTextMatrix(1, 1, "The manager of the hotel's front desk on the night shift");
    w.DoIniGridSetting();
    EXPECT_GT(w.EGrid->ColWidth(1), wideOne);
    EXPECT_EQ(w.EGrid->ColWidth(1), 1800) << "no wider: longer names wrap";
    EXPECT_EQ(w.CGrid->ColWidth(1), 1800);
    EXPECT_GT(w.EGrid->ColWidth(2), w.EGrid->Width() / 2);
}

TEST_F(GridsTest, TallRowsForTheUnitsWithLongSentences) {
    for (const char* id : {"040101", "040301", "040502", "140101", "120105"})
        EXPECT_EQ(ExerGrids::RowHeightFor(id, 1.0), 1200) << id;
    for (const char* id : {"010101", "040201", "120201", "010401"})
        EXPECT_EQ(ExerGrids::RowHeightFor(id, 1.0), 850) << id;
    EXPECT_EQ(ExerGrids::RowHeightFor("040101", 1.25), 1500);
}

TEST_F(GridsTest, PopupHeights) {
    EXPECT_EQ(ExerGrids::PopupHeight(30, true, 1.0), 780);
    EXPECT_EQ(ExerGrids::PopupHeight(50, false, 1.0), 1040);
    EXPECT_EQ(ExerGrids::PopupHeight(11, true, 1.0), 260);
    EXPECT_EQ(ExerGrids::PopupHeight(0, false, 1.25), 650);
}

TEST_F(GridsTest, RightButtonShowsTheOtherLanguageUntilReleased) {
    frmExer& w = LoadLesson("010101");
    const double rowY = 600 + w.heightwidth * 1.5; // over the second row
    w.grids().EGrid_MouseDown(2, 0, 300, rowY);
    EXPECT_TRUE(w.txtchinese->isVisible());
    EXPECT_EQ(w.txtchinese->text(), "嗨。");
    EXPECT_EQ(w.txtchinese->height(), 260 / 15);
    EXPECT_EQ(w.txtchinese->x(), w.ToPixels(w.EGrid->Left() + 300 + 166));
    EXPECT_EQ(w.txtchinese->y(), w.ToPixels(w.EGrid->Top() + rowY + 20));
    w.cmddialog->SetStyle(4);
    w.grids().EGrid_MouseUp(2, 0, 300, rowY);
    EXPECT_FALSE(w.txtchinese->isVisible());
    EXPECT_TRUE(w.txtchinese->text().isEmpty());
    EXPECT_EQ(w.txtchinese->width(), 200);
    EXPECT_EQ(w.txtchinese->height(), 16);
    EXPECT_EQ(w.cmddialog->Style(), 0);

    w.grids().CGrid_MouseDown(2, 0, 300, rowY);
    EXPECT_EQ(w.txtchinese->text(), "Hi there.");
    EXPECT_EQ(w.txtchinese->height(), 2 * 260 / 15 + 1);
    w.grids().CGrid_MouseUp(2, 0, 300, rowY);

    // Over the header, and below the last sentence: nothing shows.
    w.grids().EGrid_MouseDown(2, 0, 300, 500);
    EXPECT_FALSE(w.txtchinese->isVisible());
    w.grids().EGrid_MouseDown(2, 0, 300, 600 + w.heightwidth * 9);
    EXPECT_FALSE(w.txtchinese->isVisible());
    w.grids().EGrid_MouseDown(1, 0, 300, rowY);
    EXPECT_FALSE(w.txtchinese->isVisible()) << "only the right button";
    EXPECT_TRUE(fake.programEnd.runtimeErrors.isEmpty());
}

TEST_F(GridsTest, CellColourLeavesBothGridsOnTheCell) {
    frmExer& w = LoadLesson("010101");
    w.grids().SetCellColor(2, 3, SayColour);
    for (platform::FlexGrid* grid : {w.EGrid, w.CGrid}) {
        EXPECT_EQ(grid->Row(), 3);
        EXPECT_EQ(grid->Col(), 2);
        EXPECT_EQ(grid->CellBackColor(), SayColour);
    }
    w.EGrid->SetToolTipText("tip");
    w.grids().EGrid_SelChange();
    EXPECT_TRUE(w.EGrid->ToolTipText().isEmpty());
}

TEST_F(GridsTest, DoubleClickReadsTheSentenceOrStopsTheReading) {
    frmExer& w = LoadLesson("010101");
    w.modes().CmdLang2_Click(1);
    w.CGrid->SetRow(3);
    w.grids().CGrid_DblClick();
    EXPECT_EQ(w.CurMode, 2);
    ASSERT_EQ(voice().spoken.size(), 1);
    EXPECT_TRUE(voice().spoken[0].endsWith("010101000032.wav"));
    w.grids().CGrid_DblClick();
    EXPECT_EQ(w.CurMode, 0);
}

} // namespace
