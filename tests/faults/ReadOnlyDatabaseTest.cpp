// A lesson database that can be read but not written (its disk mounted
// read-only, or the file and folder without write permission): the program
// starts and the lessons can be practised, but the learner is told at
// start-up that no result will be saved, instead of meeting it later.
#include "FakePlatform.h"
#include "GlyphonForTests.h"
#include "LessonDbFixture.h"
#include "SmallDisk.h"
#include "core/FrmMain.h"
#include "core/Program.h"
#include "core/Start.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace {

const QString kNotice = QStringLiteral("课程数据库是只读的，练习成绩将无法保存。");

class ReadOnlyDatabaseTest : public ::testing::TestWithParam<bool> {
protected:
    void TearDown() override {
        program.forms.unload<frmUnit>();
        program.forms.unload<FrmMain>();
        QApplication::processEvents();
        program.MyDataEm.DbCn.Close();
        m_disk.reset();
    }
    QString app() const { return folder.path() + "/app"; }

    // The program folder with its lesson database, read-only when asked: on
    // a disk mounted read-only as root (who may write any file), without
    // write permissions otherwise.
    void Install(bool readOnly) {
        QDir().mkpath(app());
        if (readOnly && geteuid() == 0) {
            m_disk = std::make_unique<SmallDisk>(app(), 4096);
            if (!m_disk->mounted())
                GTEST_SKIP() << qPrintable(m_disk->why());
        }
        LessonDbFixture::write(app());
        if (!readOnly)
            return;
        if (m_disk) {
            ASSERT_TRUE(m_disk->setReadOnly(true));
        } else {
            const auto readable = QFile::ReadOwner | QFile::ExeOwner;
            QFile::setPermissions(app() + "/data/qvedbdemo.aaa", QFile::ReadOwner);
            QFile::setPermissions(app() + "/data", readable);
            QFile::setPermissions(app(), readable);
        }
    }

    QTemporaryDir folder;
    FakePlatformWithGlyphon fake;
    Program program{fake.platform};
    std::unique_ptr<SmallDisk> m_disk;
};

TEST_P(ReadOnlyDatabaseTest, StartsAndSaysAtOnceThatNothingWillBeSaved) {
    const bool readOnly = GetParam();
    Install(readOnly);
    if (IsSkipped() || HasFatalFailure())
        return;
    StartUp(program, app());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return fake.programEnd.endedWith || program.forms.isLoaded<frmUnit>(); }, 10000));
    QApplication::processEvents();

    EXPECT_FALSE(fake.programEnd.endedWith) << "the lessons can still be practised";
    EXPECT_TRUE(program.forms.isLoaded<frmUnit>());
    int notices = 0;
    for (const auto& box : fake.messages.shown)
        if (box.text.startsWith(kNotice)) {
            ++notices;
            EXPECT_EQ(box.title, QStringLiteral("警告"));
            EXPECT_TRUE(box.text.contains(app() + "/data/qvedbdemo.aaa")) << qPrintable(box.text);
        }
    EXPECT_EQ(notices, readOnly ? 1 : 0);
    EXPECT_EQ(program.MyDataEm.IsReadOnly(), readOnly);
}

INSTANTIATE_TEST_SUITE_P(Database, ReadOnlyDatabaseTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ReadOnly" : "Writable"; });

} // namespace
