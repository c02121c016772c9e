#include "widgets/FlexGrid.h"
#include "LessonDbFixture.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTest>

#include <gtest/gtest.h>

using platform::FlexGrid;
using platform::Twips;
using platform::db::Connection;
using platform::db::Recordset;

namespace {

const QString kLesson = "SELECT * FROM TAB_Dlg WHERE UnitID = '010101' ORDER BY DlgNum";
const std::vector<FlexGrid::Column> kColumns = {
    {"DlgObj", "称呼"}, {"EDlg", "对话内容"}, {"cishu", "勤奋指数"}, {"chengji", "能力指数"}};

// A grid bound to the four sentences of a lesson: A First, B Second, A Third,
// B Fourth.
class FlexGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        cn.SetConnectionString(f.connectionString());
        cn.Open();
        rs.Open(kLesson, cn);
        grid.SetDataSource(&rs, kColumns);
    }
    // A mouse event at a pixel of the grid's cell area.
    QPoint cellCentre(int row, int col) {
        const QRect r = grid.visualRect(grid.model()->index(row - 1, col));
        return r.center();
    }

    LessonDbFixture f;
    Connection cn;
    Recordset rs;
    FlexGrid grid{nullptr, Twips(15, 15)};
};

TEST_F(FlexGridTest, RowNShowsRecordNBelowTheHeader) {
    EXPECT_EQ(grid.Rows(), 5);
    EXPECT_EQ(grid.Cols(), 5);
    const char* expected[][5] = {{"", "称呼", "对话内容", "勤奋指数", "能力指数"},
                                 {"", "A", "First.", "", ""},
                                 {"", "B", "Second.", "", ""},
                                 {"", "A", "Third.", "", ""},
                                 {"", "B", "Fourth.", "", ""}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(grid.TextMatrix(r, c), QString::fromUtf8(expected[r][c])) << r << "," << c;
    EXPECT_EQ(grid.TextMatrix(9, 1), "");
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Col(), 1);
    // The header row is the grid's header, the cells its model.
    EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal).toString(), "对话内容");
    EXPECT_EQ(grid.model()->rowCount(), 4);
}

TEST_F(FlexGridTest, WrittenCellsShowUntilTheRecordsetIsReadAgain) {
    grid.SetTextMatrix(2, 4, "7");
    grid.SetTextMatrix(0, 2, "Sentence");
    EXPECT_EQ(grid.TextMatrix(2, 4), "7");
    EXPECT_EQ(grid.model()->index(1, 4).data().toString(), "7");

    // Scores written to the database: the changed row is read again, and a
    // refresh reads every row; the header keeps its text.
    rs.SetAbsolutePosition(2);
    rs.SetField("chengji", 3);
    rs.SetField("cishu", 1);
    rs.Update();
    EXPECT_EQ(grid.TextMatrix(2, 3), "1");
    EXPECT_EQ(grid.TextMatrix(2, 4), "3");
    f.db().exec("UPDATE TAB_Dlg SET EDlg = 'Changed.' WHERE DlgID = '010101000010'");
    rs.Close();
    rs.Open(kLesson, cn);
    EXPECT_EQ(grid.TextMatrix(1, 2), "Changed.");
    grid.SetTextMatrix(1, 2, "typed");
    grid.Refresh();
    EXPECT_EQ(grid.TextMatrix(1, 2), "Changed.");
    EXPECT_EQ(grid.TextMatrix(0, 2), "Sentence");

    // Another lesson has other rows.
    rs.Close();
    rs.Open("SELECT * FROM TAB_Dlg WHERE UnitID = '010102'", cn);
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_EQ(grid.TextMatrix(1, 1), "Tom");
    // Rebinding starts over with the given captions.
    grid.SetDataSource(&rs, {{"CDlg", ""}});
    EXPECT_EQ(grid.Cols(), 2);
    EXPECT_EQ(grid.TextMatrix(0, 1), "CDlg");
    EXPECT_EQ(grid.TextMatrix(1, 1), "H");
}

TEST_F(FlexGridTest, SizesInTwipsFollowTheScreensTwipsPerPixel) {
    struct Case {
        double twipsPerPixel;
        double width;
        int pixels;
    };
    const Case cases[] = {{15, 450, 30}, {15, 700, 47}, {12, 450, 38}, {12, 850, 71}};
    for (const Case& c : cases) {
        grid.SetTwips(Twips(c.twipsPerPixel, c.twipsPerPixel));
        grid.SetColWidth(1, c.width);
        grid.SetRowHeight(2, c.width);
        EXPECT_EQ(grid.columnWidth(1), c.pixels) << c.twipsPerPixel << " " << c.width;
        EXPECT_EQ(grid.rowHeight(1), c.pixels) << c.twipsPerPixel << " " << c.width;
        EXPECT_DOUBLE_EQ(grid.ColWidth(1), c.width);
    }
    grid.SetTwips(Twips(12, 12));
    grid.SetColWidth(0, 0);
    EXPECT_EQ(grid.columnWidth(0), 0);
    grid.SetRowHeightMin(670);
    grid.SetRowHeight(3, 300);
    EXPECT_DOUBLE_EQ(grid.RowHeight(3), 670);
    EXPECT_EQ(grid.rowHeight(2), 56);
    grid.SetRowHeight(0, 900); // the minimum holds for the header too
    EXPECT_EQ(grid.horizontalHeader()->height(), 75);
    grid.Move(120, 240, 6000, 3000);
    EXPECT_EQ(grid.geometry(), QRect(10, 20, 500, 250));
    EXPECT_DOUBLE_EQ(grid.Width(), 6000);
}

TEST_F(FlexGridTest, EqualNeighboursOfAMergedColumnShowOnce) {
    f.db().exec("UPDATE TAB_Dlg SET DlgObj = 'A' WHERE DlgID = '010101000020'");
    rs.Close();
    rs.Open(kLesson, cn); // A, A, A, B
    grid.SetMergeCol(1, true);
    EXPECT_EQ(grid.rowSpan(0, 1), 1) << "no merging while MergeCells is 0";
    grid.SetMergeCells(3);
    EXPECT_EQ(grid.rowSpan(0, 1), 3);
    EXPECT_EQ(grid.rowSpan(3, 1), 1);
    EXPECT_EQ(grid.rowSpan(0, 2), 1) << "other columns stay apart";
    // Texts change: the merge follows.
    grid.SetTextMatrix(2, 1, "B"); // A B A B
    EXPECT_EQ(grid.rowSpan(0, 1), 1);
    EXPECT_EQ(grid.rowSpan(1, 1), 1);
    grid.SetTextMatrix(3, 1, "B"); // A B B B
    EXPECT_EQ(grid.rowSpan(1, 1), 3);
    // Restricted columns: column 2 merges only where column 1 merges too.
    grid.SetMergeCol(2, true);
    for (int row : {1, 2})
        grid.SetTextMatrix(row, 2, "Same"); // beside A and B
    for (int row : {3, 4})
        grid.SetTextMatrix(row, 2, "Other"); // beside B and B
    EXPECT_EQ(grid.rowSpan(0, 2), 1);
    EXPECT_EQ(grid.rowSpan(2, 2), 2);
    grid.SetMergeCells(1); // free merging
    EXPECT_EQ(grid.rowSpan(0, 2), 2);
    EXPECT_EQ(grid.rowSpan(2, 2), 2);
}

TEST_F(FlexGridTest, TopRowAndRowIsVisible) {
    for (int i = 0; i < 16; ++i)
        f.db().exec(
            "INSERT INTO TAB_Dlg (DlgID, UnitID, DlgObj, DlgNum, EDlg) VALUES (?, '010101', "
            "'C', ?, 'More.')",
            {QString("0101010009%1").arg(i, 2, 10, QChar('0')), 10 + i});
    rs.Close();
    rs.Open(kLesson, cn);       // 20 sentences
    grid.SetRowHeight(-1, 300); // 20 px
    grid.resize(400, 20 + 5 * 20 + 2 * grid.frameWidth());
    grid.show();
    QApplication::processEvents();
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_TRUE(grid.RowIsVisible(0));
    EXPECT_TRUE(grid.RowIsVisible(1));
    EXPECT_TRUE(grid.RowIsVisible(5));
    EXPECT_FALSE(grid.RowIsVisible(7));

    grid.SetTopRow(8);
    EXPECT_EQ(grid.TopRow(), 8);
    EXPECT_FALSE(grid.RowIsVisible(7));
    EXPECT_TRUE(grid.RowIsVisible(8));
    EXPECT_TRUE(grid.RowIsVisible(12));
    EXPECT_FALSE(grid.RowIsVisible(14));
    EXPECT_FALSE(grid.RowIsVisible(21));
    EXPECT_FALSE(grid.RowIsVisible(-1));

    grid.SetTopRow(1);
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_TRUE(grid.RowIsVisible(1));
}

TEST_F(FlexGridTest, CellColoursAreKeptPerCellAsStoredValues) {
    const std::uint32_t reading = 0xFFFF00; // cyan as stored (blue-green-red)
    const std::uint32_t say = 0x80FF80;
    QSignalSpy selChanges(&grid, &FlexGrid::SelChange);
    grid.SetCol(2);
    grid.SetRow(3);
    EXPECT_EQ(grid.RowSel(), 3);
    grid.SetCellBackColor(reading);
    grid.SetCellBackColorAt(4, 2, say);
    EXPECT_EQ(grid.CellBackColor(), reading);
    EXPECT_EQ(grid.CellBackColorAt(4, 2), say);
    EXPECT_EQ(grid.CellBackColorAt(3, 3), grid.BackColor()) << "never coloured";
    EXPECT_EQ(grid.model()->index(2, 2).data(Qt::BackgroundRole).value<QColor>(),
              QColor(0, 0xFF, 0xFF));
    EXPECT_EQ(grid.model()->index(3, 2).data(Qt::BackgroundRole).value<QColor>(),
              QColor(0x80, 0xFF, 0x80));
    EXPECT_GE(selChanges.count(), 2);

    // Colours stay through a refresh of the texts; clearing uses BackColor.
    grid.Refresh();
    EXPECT_EQ(grid.CellBackColorAt(3, 2), reading);
    grid.SetCellBackColorAt(3, 2, grid.BackColor());
    EXPECT_EQ(grid.model()->index(2, 2).data(Qt::BackgroundRole).value<QColor>(),
              grid.palette().color(QPalette::Base));
}

TEST_F(FlexGridTest, MouseEventsCarryTheButtonAndTwips) {
    grid.SetTwips(Twips(12, 12));
    grid.resize(500, 300);
    grid.show();
    QApplication::processEvents();
    QSignalSpy downs(&grid, &FlexGrid::MouseDown);
    QSignalSpy ups(&grid, &FlexGrid::MouseUp);
    QSignalSpy clicks(&grid, &FlexGrid::DblClick);

    // A right press changes no selection.
    const QPoint p = cellCentre(3, 2);
    QTest::mousePress(grid.viewport(), Qt::RightButton, Qt::ShiftModifier, p);
    ASSERT_EQ(downs.count(), 1);
    const QPoint inGrid = grid.viewport()->mapTo(&grid, p);
    EXPECT_EQ(downs[0][0].value<short>(), 2);
    EXPECT_EQ(downs[0][1].value<short>(), 1);
    EXPECT_FLOAT_EQ(downs[0][2].value<float>(), inGrid.x() * 12.0f);
    EXPECT_FLOAT_EQ(downs[0][3].value<float>(), inGrid.y() * 12.0f);
    EXPECT_EQ(grid.Row(), 1);
    QTest::mouseRelease(grid.viewport(), Qt::RightButton, {}, p);
    ASSERT_EQ(ups.count(), 1);
    EXPECT_EQ(ups[0][0].value<short>(), 2);
    int row = 0;
    int col = 0;
    ASSERT_TRUE(grid.CellAt(downs[0][2].value<float>(), downs[0][3].value<float>(), &row, &col));
    EXPECT_EQ(row, 3);
    EXPECT_EQ(col, 2);

    // A left click selects the cell; a double click reports itself.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(4, 2));
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(grid.RowSel(), 4);
    EXPECT_EQ(downs.count(), 2);
    EXPECT_EQ(downs[1][0].value<short>(), 1);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(2, 2));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid.RowSel(), 2);

    // The header row is above the cells: Y there is less than its height.
    const QPoint header = grid.horizontalHeader()->viewport()->rect().center();
    QTest::mousePress(grid.horizontalHeader()->viewport(), Qt::RightButton, {}, header);
    EXPECT_LT(downs.last()[3].value<float>(), grid.RowHeight(0) + 2 * 12);
    EXPECT_EQ(grid.RowSel(), 2);
}

TEST_F(FlexGridTest, LookSettings) {
    grid.SetColAlignment(2, 4);
    EXPECT_EQ(grid.model()->index(0, 2).data(Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignHCenter | Qt::AlignVCenter));
    grid.SetColAlignmentFixed(2, 1);
    EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_EQ(grid.ColAlignment(9), 0);

    QFont header = grid.FontFixed();
    header.setPointSizeF(14.25);
    grid.SetFontFixed(header);
    EXPECT_DOUBLE_EQ(
        grid.model()->headerData(1, Qt::Horizontal, Qt::FontRole).value<QFont>().pointSizeF(),
        14.25);
    grid.SetFontSize(15.75);
    EXPECT_DOUBLE_EQ(grid.FontSize(), 15.75);

    // A long sentence breaks into lines within a narrow column when its
    // column wraps words.
    grid.SetTextMatrix(1, 2, "I would like to book a table for four people at seven tonight.");
    const QModelIndex sentence = grid.model()->index(0, 2);
    QStyleOptionViewItem option;
    option.initFrom(&grid);
    option.rect = QRect(0, 0, 120, 400);
    option.font = grid.font();
    const int oneLine = grid.itemDelegate()->sizeHint(option, sentence).height();
    grid.SetColWordWrapOption(2, 1);
    EXPECT_EQ(grid.ColWordWrapOption(2), 1);
    EXPECT_GT(grid.itemDelegate()->sizeHint(option, sentence).height(), 2 * oneLine);
    EXPECT_EQ(grid.itemDelegate()->sizeHint(option, grid.model()->index(0, 3)).height(),
              grid.itemDelegate()->sizeHint(option, grid.model()->index(0, 4)).height());
    grid.SetToolTipText("tip");
    EXPECT_EQ(grid.ToolTipText(), "tip");
    grid.SetToolTipText("");
    EXPECT_EQ(grid.toolTip(), "");
}

} // namespace
