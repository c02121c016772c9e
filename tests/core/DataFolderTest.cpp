#include "core/DataFolder.h"
#include "FakePlatform.h"
#include "GlyphonForTests.h"
#include "LessonDbFixture.h"
#include "core/FrmMain.h"
#include "core/Program.h"
#include "core/Start.h"
#include "db/Recordset.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;

QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& file, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A program folder with a lesson database, and a per-user folder.
class DataFolderTest : public ::testing::Test {
protected:
    QString app() const { return programDir.path() + "/"; }
    QString user() const { return userDir.path() + "/verbaro"; }
    QString shipped() const { return app() + DataFolder::DatabaseFile; }
    QString copy() const { return user() + "/" + DataFolder::DatabaseFile; }
    void shipReadOnly() {
        LessonDbFixture::write(programDir.path());
        ASSERT_TRUE(QFile::setPermissions(shipped(), kReadOnly));
    }

    QTemporaryDir programDir;
    QTemporaryDir userDir;
};

TEST_F(DataFolderTest, WritableDatabaseIsUsedWhereItIs) {
    LessonDbFixture::write(programDir.path());
    for (const QString& userFolder : {user(), QString()}) {
        const DataFolder data = DataFolder::choose(app(), userFolder);
        EXPECT_EQ(data.path, app());
        EXPECT_TRUE(data.error.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(copy()));
}

TEST_F(DataFolderTest, ReadOnlyDatabaseIsCopiedOnceForTheUser) {
    shipReadOnly();
    const DataFolder first = DataFolder::choose(app(), user());
    EXPECT_TRUE(first.error.isEmpty()) << qPrintable(first.error);
    EXPECT_EQ(first.path, user() + "/");
    EXPECT_EQ(contents(copy()), contents(shipped()));
    EXPECT_TRUE(QFileInfo(copy()).permissions() & QFile::WriteOwner) << "the copy takes results";
    EXPECT_FALSE(QFile::exists(copy() + ".partial"));

    // The learner's results stay, whatever the installed template holds now.
    writeFile(copy(), "results");
    const DataFolder again = DataFolder::choose(app(), user());
    EXPECT_EQ(again.path, user() + "/");
    EXPECT_TRUE(again.error.isEmpty());
    EXPECT_EQ(contents(copy()), "results");
}

TEST_F(DataFolderTest, CopyThatCannotBeMadeIsReported) {
    shipReadOnly();
    // A file where the per-user folder should be: no folder can be made there.
    writeFile(userDir.path() + "/blocked", "x");
    const DataFolder data = DataFolder::choose(app(), userDir.path() + "/blocked/verbaro");
    EXPECT_FALSE(data.error.isEmpty());
    EXPECT_TRUE(data.error.contains(userDir.path() + "/blocked")) << qPrintable(data.error);
}

TEST_F(DataFolderTest, MissingDatabaseLeavesTheProgramFolder) {
    const DataFolder data = DataFolder::choose(app(), user());
    EXPECT_EQ(data.path, app());
    EXPECT_TRUE(data.error.isEmpty());
}

// The start-up of an installation whose database is read-only.
class InstalledStartUpTest : public DataFolderTest {
protected:
    void runStartUp(const QString& userFolder) {
        program.userFolder = userFolder;
        StartUp(program, programDir.path());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return fake.programEnd.endedWith || program.forms.isLoaded<frmUnit>(); }, 10000));
        QApplication::processEvents();
    }
    void TearDown() override {
        program.forms.unload<frmUnit>();
        program.forms.unload<FrmMain>();
        QApplication::processEvents();
    }

    FakePlatformWithGlyphon fake;
    Program program{fake.platform};
};

TEST_F(InstalledStartUpTest, OpensTheUnitMenuOnTheUsersCopy) {
    shipReadOnly();
    runStartUp(user());
    EXPECT_EQ(program.vars.DataPath, user() + "/");
    EXPECT_EQ(program.vars.AppPath, app());
    EXPECT_EQ(program.vars.GeniePath, app() + "CHAR/Genie.acs") << "characters stay installed";
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_FALSE(fake.programEnd.endedWith);
    ASSERT_TRUE(program.forms.isLoaded<frmUnit>());
    EXPECT_TRUE(QFile::exists(copy()));
}

TEST_F(InstalledStartUpTest, CopyFailureEndsWithAnErrorAndTheScreenRestored) {
    shipReadOnly();
    writeFile(userDir.path() + "/blocked", "x");
    runStartUp(userDir.path() + "/blocked/verbaro");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].title, "错误");
    EXPECT_EQ(fake.programEnd.endedWith, 1);
    EXPECT_FALSE(program.forms.isLoaded<frmUnit>());
    ASSERT_FALSE(fake.display.changes.empty());
    EXPECT_EQ(fake.display.changes.back().first.pelsWidth, 1280u) << "start-up size restored";
}

} // namespace
