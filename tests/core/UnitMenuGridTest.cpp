#include "FakePlatform.h"
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
    FakePlatform fake;
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

TEST_F(UnitMenuGridTest, ResizeScalesColumnsFontAndRows) {
    program.vars.ScaleFactor = 0.8;
    frmUnit& menu = shownMenu();
    platform::DataGrid* grid = menu.DataGrid1;
    const double w0 = grid->ColumnWidth(0);
    const double font = grid->FontSize();
    menu.Form_Resize();
    EXPECT_DOUBLE_EQ(grid->ColumnWidth(0), w0 * 0.8 - 1);
    EXPECT_DOUBLE_EQ(grid->FontSize(), font * 0.8);
    EXPECT_DOUBLE_EQ(grid->RowHeight(), 29 * 0.8);
}

TEST_F(UnitMenuGridTest, ClickingTheGreetingHidesIt) {
    frmUnit& menu = shownMenu();
    EXPECT_EQ(menu.Text1->text(), "大家好啊");
    ASSERT_TRUE(menu.Text1->isVisible());
    QTest::mouseClick(menu.Text1, Qt::LeftButton);
    EXPECT_FALSE(menu.Text1->isVisible());
}

} // namespace
