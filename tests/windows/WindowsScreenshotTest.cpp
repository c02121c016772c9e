#include "WindowsFixture.h"
#include "core/ImageButtons.h"
#include "core/ResPicture.h"
#include "core/generalsub.h"
#include "exercise/frmExer.h"
#include "windows/AboutButton.h"
#include "windows/FrmBox.h"
#include "windows/FrmSet.h"
#include "windows/ProgressChart.h"
#include "windows/frmAbout.h"
#include "windows/frmUnit.h"

#include <QBarSet>
#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <cstdlib>

namespace {

// The windows on a real X server, saved as pictures under the build tree
// (tests/windows/tmp) for a person to look at.
class WindowsScreenshotTest : public WindowsFixture {
protected:
    static bool ButtonShows(const ImageButton* button, const QString& picture) {
        return button->Picture().toImage() == LoadResPicture(picture).toImage();
    }
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            if (qEnvironmentVariable("VERBARO_REQUIRE_SERVICES") == "1")
                FAIL() << "no X server";
            GTEST_SKIP() << "no X server";
        }
        WindowsFixture::SetUp();
    }
    void TearDown() override {
        program.forms.unload<FrmSet>();
        if (program.forms.isLoaded<frmExer>())
            program.forms.get<frmExer>().Unload();
        program.forms.unload<FrmBox>();
        program.forms.unload<frmAbout>();
        program.forms.unload<frmUnit>();
        WindowsFixture::TearDown();
    }

    // What the X server shows of the window, once it is painted.
    QImage screenshot(QWidget& window, const QString& name) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(400);
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(window.winId()).toImage();
        const QString out = qEnvironmentVariable("VERBARO_TEST_TMP");
        if (!out.isEmpty() && QDir().mkpath(out))
            shot.save(out + "/" + name);
        return shot;
    }
    static int colourCount(const QImage& image, const QRect& area) {
        QSet<QRgb> colours;
        for (int y = area.top(); y <= area.bottom(); y += 3)
            for (int x = area.left(); x <= area.right(); x += 3)
                colours.insert(image.pixel(x, y));
        return colours.size();
    }
    // How many pixels of the area are close to `colour`.
    static int pixelsLike(const QImage& image, const QRect& area, QColor colour) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                         std::abs(c.blue() - colour.blue()) <
                     40;
            }
        return n;
    }
};

TEST_F(WindowsScreenshotTest, StatisticsWindowWithItsChart) {
    // A learner's week: more practice and better answers as the days go by.
    std::vector<std::tuple<QString, int, int>> log;
    const int points[] = {12, 20, 0, 35, 42, 40, 66};
    const int attempts[] = {10, 14, 6, 18, 20, 16, 24};
    for (int i = 0; i < 7; ++i)
        log.emplace_back(QDate(2026, 12, 2).addDays(i).toString(Qt::ISODate), points[i],
                         attempts[i]);
    writeLog(log);
    QImage shot;
    whileModal([&] { program.forms.get<frmUnit>().ShowLog(); },
               [&] {
                   FrmBox& box = program.forms.get<FrmBox>();
                   shot = screenshot(box, "statistics-window.png");
                   EXPECT_EQ(box.zhishu->text(), "1.99"); // 215 points, 108 attempts
                   box.close();
               });
    ASSERT_FALSE(shot.isNull());
    const QRect chartArea(shot.width() * 45 / 100, 0, shot.width() * 55 / 100, shot.height());
    EXPECT_GT(colourCount(shot, chartArea), 20) << "the chart is drawn";
    // Bars of both colours and the average line are on screen.
    EXPECT_GT(pixelsLike(shot, chartArea, QColor(0x2f, 0x7f, 0xd0)), 200);
    EXPECT_GT(pixelsLike(shot, chartArea, QColor(0xf0, 0xa0, 0x30)), 200);
    EXPECT_GT(pixelsLike(shot, chartArea, QColor(0xc8, 0x28, 0x28)), 50);
}

TEST_F(WindowsScreenshotTest, AboutWindow) {
    QImage shot;
    whileModal([&] { program.forms.get<frmUnit>().ShowAbout(); },
               [&] {
                   frmAbout& about = program.forms.get<frmAbout>();
                   EXPECT_TRUE(QTest::qWaitForWindowExposed(&about));
                   // From the window onto the button: the pointer may rest where
                   // an earlier run left it, and a pointer that does not move
                   // reports nothing.
                   QTest::mouseMove(&about, QPoint(10, 10));
                   QTest::qWait(100);
                   QTest::mouseMove(about.cmdsysinfo, about.cmdsysinfo->rect().center());
                   QTest::qWait(100);
                   shot = screenshot(about, "about-window.png");
                   EXPECT_EQ(about.cmdsysinfo->Style(), 4) << "raised under the pointer";
                   about.cmdOK->click();
               });
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(colourCount(shot, shot.rect()), 20);
}

TEST_F(WindowsScreenshotTest, UnitMenuWithItsButtons) {
    frmUnit& menu = program.forms.get<frmUnit>();
    menu.Show();
    QTest::mouseMove(&menu, QPoint(5, 5));
    QTest::qWait(100);
    // The pointer on the enter button shows its red text.
    QTest::mouseMove(menu.CmdDo[0]->control(), menu.CmdDo[0]->control()->rect().center());
    QTest::qWait(100);
    const QImage shot = screenshot(menu, "unit-menu.png");
    ASSERT_FALSE(shot.isNull());
    for (ImageButton* button : menu.CmdDo) {
        ASSERT_NE(button, nullptr);
        const QRect area = button->control()->geometry();
        EXPECT_TRUE(shot.rect().contains(area));
        EXPECT_GT(colourCount(shot, area), 3) << "a picture is drawn";
    }
    EXPECT_TRUE(ButtonShows(menu.CmdDo[0], "0-2-main"));
}

TEST_F(WindowsScreenshotTest, SettingsWindow) {
    auto& units = program.MyDataEm.rsSelUnit;
    units.Find("UnitID = '010101'");
    ASSERT_FALSE(units.IsEOF());
    GlobalVars& g = program.vars;
    g.CurUnitID = "010101";
    g.AgentChoice = 2;
    fake.agent.Load("Merlin", g.AppPath + "CHAR/Merlin.acs");
    ReadLessonRow(program);
    MyDataEm& data = program.MyDataEm;
    data.Reopen(data.Command1, "UnitID", "010000");
    data.Reopen(data.SelUnitContent, "UnitID", "010101");
    frmExer& exer = program.forms.get<frmExer>();
    exer.Load();
    exer.show();
    QImage shot;
    whileModal([&] { program.forms.get<FrmSet>().Show(); },
               [&] {
                   FrmSet& set = program.forms.get<FrmSet>();
                   shot = screenshot(set, "settings-window.png");
                   set.Command1->click();
               });
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(colourCount(shot, shot.rect()), 10);
    EXPECT_FALSE(program.forms.isLoaded<FrmSet>());
}

} // namespace
