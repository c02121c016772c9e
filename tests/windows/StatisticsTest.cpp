#include "WindowsFixture.h"
#include "db/Recordset.h"
#include "widgets/DataGrid.h"
#include "windows/FrmBox.h"
#include "windows/PracticeDays.h"
#include "windows/ProgressChart.h"
#include "windows/frmUnit.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QValueAxis>

namespace {

using Log = std::vector<std::tuple<QString, int, int>>;

class StatisticsTest : public WindowsFixture {
protected:
    void TearDown() override {
        program.forms.unload<FrmBox>();
        program.forms.unload<frmUnit>();
        WindowsFixture::TearDown();
    }
    // The window as the log button loads it: rsSelCom reopened first.
    FrmBox& loadedBox() {
        program.forms.unload<FrmBox>();
        program.MyDataEm.rsSelCom.Close();
        program.MyDataEm.SelCom.OpenRecordset();
        FrmBox& box = program.forms.get<FrmBox>();
        box.Form_Load();
        return box;
    }
    QString cell(FrmBox& box, int row, int column) {
        return box.BoxData->model()->index(row, column).data().toString();
    }
};

TEST(IndexTextTest, KeepsTwoDecimalsAndNeverRoundsUp) {
    const std::pair<double, const char*> cases[] = {
        {1.5, "1.5"}, {7.0 / 3, "2.33"}, {3, "3"},          {17.0 / 30, "0.56"},
        {0, "00"},    {0.57, "0.57"},    {0.05, "0.05"},    {0.009, "00"},
        {1, "1"},     {0.999, "0.99"},   {10.999, "10.99"}, {2.675, "2.67"},
    };
    for (const auto& [ratio, shown] : cases)
        EXPECT_EQ(IndexText(ratio), QString(shown)) << ratio;
}

// The overall index over the real log: all days summed, then divided.
TEST_F(StatisticsTest, OverallIndexOfTheLog) {
    const std::pair<Log, const char*> cases[] = {
        {{{"2026-12-07", 20, 10}, {"2026-12-08", 25, 20}}, "1.5"},
        {{{"2026-12-08", 7, 3}}, "2.33"},
        {{{"2026-12-06", 60, 5}, {"2026-12-07", 0, 5}, {"2026-12-08", 0, 10}}, "3"},
        {{{"2026-12-08", 17, 30}}, "0.56"},
        {{{"2026-12-07", 0, 4}, {"2026-12-08", 0, 8}}, "00"},
        {{{"2026-12-08", 0, 0}}, "00"},
        {{}, "0"},
    };
    for (const auto& [log, shown] : cases) {
        writeLog(log);
        FrmBox& box = loadedBox();
        EXPECT_EQ(box.zhishu->text(), QString(shown)) << shown;
        EXPECT_EQ(box.BoxData->model()->rowCount(), int(log.size())) << shown;
    }
}

TEST_F(StatisticsTest, GridListsTheDaysNewestFirst) {
    writeLog({{"2026-12-06", 10, 5}, {"2026-12-08", 30, 10}, {"2026-12-07", 0, 4}});
    FrmBox& box = loadedBox();
    EXPECT_EQ(box.windowTitle(), "统计窗口");
    QAbstractItemModel* m = box.BoxData->model();
    ASSERT_EQ(m->columnCount(), 3);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "日期");
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "能力指数");
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "勤奋指数");
    const char* rows[][3] = {
        {"2026-12-08", "30", "10"}, {"2026-12-07", "0", "4"}, {"2026-12-06", "10", "5"}};
    ASSERT_EQ(m->rowCount(), 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(cell(box, r, c), QString(rows[r][c])) << r << "," << c;
    EXPECT_EQ(program.MyDataEm.rsSelCom.AbsolutePosition(), 1);
    EXPECT_EQ(box.BoxData->currentIndex().row(), 0) << "the newest day is selected";
    EXPECT_TRUE(box.BoxData->font().families().contains("宋体"));
    EXPECT_TRUE(box.zhishu->font().families().contains("宋体"));
}

// The log button reopens the log each time: totals earned in between show.
TEST_F(StatisticsTest, LogReopenedShowsNewTotals) {
    frmUnit& menu = program.forms.get<frmUnit>();
    QString index;
    QString points;
    const auto readAndClose = [&] {
        FrmBox& box = program.forms.get<FrmBox>();
        EXPECT_TRUE(box.isVisible());
        EXPECT_TRUE(box.isModal());
        index = box.zhishu->text();
        points = cell(box, 0, 1);
        box.close();
    };
    whileModal([&] { menu.ShowLog(); }, readAndClose);
    EXPECT_EQ(index, "2.5"); // 5 points over 2 attempts
    EXPECT_EQ(points, "5");
    EXPECT_FALSE(program.forms.isLoaded<FrmBox>()) << "closing unloads it";

    // A practice on that day adds 40 points over 8 attempts, as scoring does.
    ::MyDataEm& data = program.MyDataEm;
    data.Reopen(data.SelRe, "Date1", "2026-12-08");
    data.rsSelRe.SetField("NowChengji", 45);
    data.rsSelRe.SetField("NowCishu", 10);
    data.rsSelRe.Update();

    whileModal([&] { menu.ShowLog(); }, readAndClose);
    EXPECT_EQ(index, "4.5");
    EXPECT_EQ(points, "45");
}

TEST_F(StatisticsTest, ChartShowsTheDaysOldestToNewest) {
    writeLog({{"2026-12-08", 30, 10}, {"2026-12-06", 10, 5}, {"2026-12-07", 0, 4}});
    ProgressChart& chart = *loadedBox().ProgressChart1;
    EXPECT_EQ(chart.dayAxis()->categories(), QStringList({"12-06", "12-07", "12-08"}));
    const double points[] = {10, 0, 30};
    const double attempts[] = {5, 4, 10};
    const double average[] = {2, 0, 3};
    ASSERT_EQ(chart.pointsBars()->count(), 3);
    ASSERT_EQ(chart.attemptsBars()->count(), 3);
    ASSERT_EQ(chart.averageLine()->count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(chart.pointsBars()->at(i), points[i]) << i;
        EXPECT_EQ(chart.attemptsBars()->at(i), attempts[i]) << i;
        EXPECT_EQ(chart.averageLine()->at(i), QPointF(i, average[i])) << i;
    }
    // Every bar and point fits on its scale.
    EXPECT_GE(chart.countAxis()->max(), 30);
    EXPECT_EQ(chart.countAxis()->min(), 0);
    EXPECT_GE(chart.averageAxis()->max(), 3);
    EXPECT_EQ(chart.averageAxis()->min(), 0);
}

TEST_F(StatisticsTest, EmptyLogShowsAnEmptyChartWithItsAxes) {
    writeLog({});
    FrmBox& box = loadedBox();
    ProgressChart& chart = *box.ProgressChart1;
    EXPECT_EQ(box.zhishu->text(), "0");
    EXPECT_EQ(chart.pointsBars()->count(), 0);
    EXPECT_EQ(chart.attemptsBars()->count(), 0);
    EXPECT_EQ(chart.averageLine()->count(), 0);
    EXPECT_TRUE(chart.dayAxis()->categories().isEmpty());
    EXPECT_EQ(chart.chart()->axes().size(), 3);
    for (QAbstractAxis* axis : chart.chart()->axes())
        EXPECT_TRUE(axis->isVisible());
    EXPECT_GT(chart.countAxis()->max(), chart.countAxis()->min());
    EXPECT_GT(chart.averageAxis()->max(), chart.averageAxis()->min());
}

TEST_F(StatisticsTest, ChartKeepsTheLatestDaysReadable) {
    Log log;
    QDate day(2026, 10, 1);
    for (int i = 0; i < 40; ++i)
        log.emplace_back(day.addDays(i).toString(Qt::ISODate), i, 1);
    writeLog(log);
    ProgressChart& chart = *loadedBox().ProgressChart1;
    ASSERT_EQ(chart.pointsBars()->count(), ProgressChart::MaxDays);
    EXPECT_EQ(chart.dayAxis()->categories().last(), "11-09"); // the newest day
    EXPECT_EQ(chart.pointsBars()->at(ProgressChart::MaxDays - 1), 39);
    EXPECT_TRUE(chart.chart()->title().contains("30"));

    // The same date of two years needs the year to tell them apart.
    writeLog({{"2025-12-08", 1, 1}, {"2026-12-08", 2, 1}});
    EXPECT_EQ(loadedBox().ProgressChart1->dayAxis()->categories(),
              QStringList({"2025-12-08", "2026-12-08"}));
}

// Qt resizes a window many times: the fonts follow the screen's density
// from their designed size and never grow or shrink further.
TEST_F(StatisticsTest, ResizeScalesFontsByDensityWithoutCompounding) {
    struct Case {
        std::int16_t screenWidth;
        double scaleFactor;
        double points;
    } cases[] = {{1024, 1.0, 10.5}, {1024, 0.8, 8.4}, {1280, 1.25, 10.5}, {1280, 1.0, 8.4}};
    for (const Case& c : cases) {
        program.vars.ScreenWidth = c.screenWidth;
        program.vars.ScaleFactor = c.scaleFactor;
        FrmBox& box = loadedBox();
        for (int i = 0; i < 3; ++i) {
            box.Form_Resize();
            EXPECT_DOUBLE_EQ(box.BoxData->font().pointSizeF(), c.points) << c.scaleFactor;
            EXPECT_DOUBLE_EQ(box.BoxData->horizontalHeader()->font().pointSizeF(), c.points);
        }
    }
}

} // namespace
