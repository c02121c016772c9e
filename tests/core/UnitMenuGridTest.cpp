#include "FakePlatform.h"
#include "GlyphonForTests.h"
#include "LessonDbFixture.h"
#include "core/Program.h"
#include "db/Recordset.h"
#include "widgets/DataGrid.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class UnitMenuGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        LessonDbFixture::write(folder.path());
        program.vars.ScreenWidth = 1024;
        program.MyDataEm.OpenDatabase(folder.path() + "/");
    }
    void TearDown() override {
        program.forms.unload<frmUnit>();
        QApplication::processEvents();
    }
    frmUnit& shownMenu() {
        frmUnit& menu = program.forms.get<frmUnit>();
        menu.Show();
        QApplication::processEvents();
        return menu;
    }
    QString cell(int row, int column) {
        platform::DataGrid* grid = program.forms.get<frmUnit>().DataGrid1;
        return grid->model()->index(row, column).data().toString();
    }

    QTemporaryDir folder;
    FakePlatformWithGlyphon fake;
    Program program{fake.platform};
};

TEST_F(UnitMenuGridTest, ListsPartsUnitsAndLessonsInIdOrderWithTheirColumns) {
    frmUnit& menu = shownMenu();
    QAbstractItemModel* model = menu.DataGrid1->model();
    ASSERT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "                 单元名称");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), " 勤奋指数");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "能力指数");
    ASSERT_EQ(model->rowCount(), 4);
    const char* names[] = {"第一部分", "第一单元", "初次见面", "碰到熟人"};
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(cell(r, 0), QString::fromUtf8(names[r])) << r;
    EXPECT_EQ(cell(2, 1), "") << "a Null count shows empty";
    EXPECT_EQ(cell(3, 1), "3");
    EXPECT_EQ(cell(3, 2), "12");
}

TEST_F(UnitMenuGridTest, GridRowAndRecordsetCurrentRowAreOne) {
    frmUnit& menu = shownMenu();
    platform::db::Recordset& rs = program.MyDataEm.rsSelUnit;
    EXPECT_EQ(menu.DataGrid1->currentIndex().row(), 0);

    // The learner clicks the fourth row.
    QTableView* grid = menu.DataGrid1;
    const QRect r = grid->visualRect(grid->model()->index(3, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    EXPECT_EQ(rs.Field("UnitID").toString(), "010102");

    // The program moves the recordset; the grid follows.
    rs.MoveFirst();
    rs.Find("UnitID = '010101'");
    EXPECT_EQ(menu.DataGrid1->currentIndex().row(), 2);

    // Keyboard moves count as selecting too.
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(rs.AbsolutePosition(), 2);
}

// Qt resizes a window many times: every resize gives the grid its designed
// sizes scaled once, never scaled again on top of the last resize.
TEST_F(UnitMenuGridTest, ResizeScalesFromTheDesignedSizes) {
    struct Case {
        double twipsPerPixel;
        double scaleFactor;
        double widths[3];
        double font;
        double rows;
    } cases[] = {
        {15.0, 1.0, {339, 109, 109}, 12, 29},
        {15.0, 0.8, {271, 87, 87}, 9.6, 23.2},
        {12.0, 1.0, {424, 136.5, 136.5}, 12, 29},
    };
    for (const Case& c : cases) {
        fake.display.twipsPerPixel = c.twipsPerPixel;
        program.vars.ScaleFactor = c.scaleFactor;
        frmUnit& menu = shownMenu();
        platform::DataGrid* grid = menu.DataGrid1;
        for (int resize = 0; resize < 3; ++resize) {
            menu.Form_Resize();
            for (int i = 0; i < 3; ++i)
                EXPECT_DOUBLE_EQ(grid->ColumnWidth(i), c.widths[i]) << c.scaleFactor << " " << i;
            EXPECT_DOUBLE_EQ(grid->FontSize(), c.font) << c.scaleFactor;
            EXPECT_DOUBLE_EQ(grid->RowHeight(), c.rows) << c.scaleFactor;
        }
        program.forms.unload<frmUnit>();
    }
}

TEST_F(UnitMenuGridTest, ClickingTheGreetingHidesIt) {
    frmUnit& menu = shownMenu();
    EXPECT_EQ(menu.Text1->text(), "大家好啊");
    ASSERT_TRUE(menu.Text1->isVisible());
    QTest::mouseClick(menu.Text1, Qt::LeftButton);
    EXPECT_FALSE(menu.Text1->isVisible());
}

} // namespace
