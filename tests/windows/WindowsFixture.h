#pragma once

#include "FakePlatform.h"
#include "GlyphonForTests.h"
#include "core/LessonDbFixture.h"
#include "core/Program.h"
#include "db/Database.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

// A program over fake platform services with the small lesson database
// open, whose practice log a test can fill.
class WindowsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        LessonDbFixture::write(folder.path());
        program.vars.ScreenWidth = 1024;
        program.vars.ScaleFactor = 1.0;
        program.MyDataEm.OpenDatabase(folder.path() + "/");
    }
    void TearDown() override { QApplication::processEvents(); }

    // Replaces the practice log with these days (day, points, attempts).
    void writeLog(const std::vector<std::tuple<QString, int, int>>& days) {
        auto db = platform::db::Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                                               platform::db::Database::OpenMode::ExistingOnly);
        db->exec("DELETE FROM TAB_Box");
        for (const auto& [day, points, attempts] : days)
            db->exec("INSERT INTO TAB_Box VALUES (?, ?, ?)", {day, points, attempts});
    }

    // Runs `whileShown` once a modal window opened by `open` is on screen;
    // `whileShown` must close it.
    static void whileModal(const std::function<void()>& open,
                           const std::function<void()>& whileShown) {
        QObject scope;
        QTimer::singleShot(0, &scope, whileShown);
        // A failed check must not leave the test waiting for ever.
        QTimer::singleShot(20000, &scope, [] {
            ADD_FAILURE() << "the modal window was left open";
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
        open();
    }

    QTemporaryDir folder;
    FakePlatformWithGlyphon fake;
    Program program{fake.platform};
};
