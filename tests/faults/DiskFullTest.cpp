// The disk filling up under the lesson database (a real tmpfs of a few
// hundred KiB holding the data folder, a real SQLCipher file): an attempt
// that cannot be stored is refused with a message the learner reads, nothing
// of it is half-written, the grids and totals show what is stored, and
// practice goes on once there is space again.
#include "ExerFixture.h"
#include "SmallDisk.h"
#include "StoredTotals.h"
#include "db/Database.h"
#include "exercise/ExerModes.h"
#include "exercise/frmExer.h"
#include "widgets/FlexGrid.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <memory>

using platform::db::Database;

namespace {

// The exercise fixture with its data folder (lesson database and grammar
// file) moved onto a small disk of its own.
class DataOnSmallDiskTest : public ExerFixture {
protected:
    void SetUp() override {
        ExerFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_disk = std::make_unique<SmallDisk>(folder.path() + "/small", 384);
        if (!m_disk->mounted())
            GTEST_SKIP() << qPrintable(m_disk->why());
        program->MyDataEm.DbCn.Close();
        QDir().mkpath(m_disk->path() + "/data");
        ASSERT_TRUE(QFile::copy(folder.path() + "/data/qvedbdemo.aaa", DbFile()));
        program->vars.DataPath = m_disk->path() + "/";
    }
    void TearDown() override {
        ExerFixture::TearDown();
        m_disk.reset();
    }
    QString DbFile() const { return m_disk->path() + "/data/qvedbdemo.aaa"; }

    // Empties the write-ahead log (so that the next write needs new
    // blocks), then fills every free block of the disk.
    void FillDisk() {
        Database::open(DbFile(), "pqlomvek", Database::OpenMode::ExistingOnly)
            ->query("PRAGMA wal_checkpoint(TRUNCATE)");
        ASSERT_TRUE(m_disk->fill());
    }

    // Follows the first sentence and says it right or wrong at difficulty 5;
    // returns the sentence's id.
    QString Attempt(bool right) {
        frmExer& w = exer();
        w.Fenshu = 5;
        w.EGrid->SetRow(1);
        w.modes().CmdFollowOne_Click();
        EXPECT_TRUE(voice().playNext());
        const QString id = program->MyDataEm.rsSelUnitContent.Field("DlgID").toString();
        EXPECT_TRUE(reco().hear(right ? w.TargetText : QStringLiteral("Something else")));
        return id;
    }

    std::unique_ptr<SmallDisk> m_disk;
};

using DiskFullTest = DataOnSmallDiskTest;

TEST_F(DiskFullTest, AttemptIsRefusedWholeAndPracticeGoesOnWithSpace) {
    program->MyDataEm.OpenDatabase(program->vars.DataPath);
    frmExer& w = LoadLesson("030101");
    program->vars.AgentChar = fake.agent.character("Merlin");
    const StoredTotals before = StoredTotals::read(DbFile());

    struct Case {
        bool right;
        qint64 points;
    };
    StoredTotals expected = before;
    for (const Case c : {Case{true, 5}, Case{false, 0}}) {
        SCOPED_TRACE(c.right ? "right answer" : "wrong answer");
        FillDisk();
        fake.messages.shown.clear();
        const QString failed = Attempt(c.right);
        // The learner is told, in words, that this attempt was not recorded
        // and why.
        ASSERT_EQ(fake.messages.shown.size(), 1u);
        const auto& box = fake.messages.shown[0];
        EXPECT_EQ(box.title, QStringLiteral("错误"));
        EXPECT_TRUE(box.text.startsWith(QStringLiteral("保存练习成绩时出错，这次练习没有记入。")))
            << qPrintable(box.text);
        EXPECT_TRUE(box.text.contains(QStringLiteral("磁盘空间不足"))) << qPrintable(box.text);
        // Nothing of it is stored, and the window shows what is.
        ASSERT_TRUE(m_disk->free());
        EXPECT_EQ(StoredTotals::read(DbFile()), expected)
            << qPrintable(StoredTotals::read(DbFile()).describe());
        auto& sentence = program->MyDataEm.rsSelUnitContent;
        const int row = sentence.AbsolutePosition();
        const int s = static_cast<int>(StoredTotals::sentenceIds().indexOf(failed));
        EXPECT_EQ(sentence.Field("DlgID").toString(), failed);
        EXPECT_EQ(sentence.Field("chengji").toLongLong(), expected.rows[s].points);
        EXPECT_EQ(sentence.Field("cishu").toLongLong(), expected.rows[s].count);
        for (auto [column, field] : {std::pair{3, "cishu"}, std::pair{4, "chengji"}})
            for (platform::FlexGrid* grid : {w.EGrid, w.CGrid})
                EXPECT_EQ(grid->TextMatrix(row, column), sentence.Field(field).toString()) << field;
        const qint64 lesson = expected.rows[3].points;
        EXPECT_EQ(w.LbRCTip->text(),
                  lesson < 1 ? QStringLiteral("还没得分呢") : QString(" %1分").arg(lesson));

        // With space again the same attempt is stored whole.
        fake.messages.shown.clear();
        const QString id = Attempt(c.right);
        EXPECT_TRUE(fake.messages.shown.empty());
        expected = expected.plus(id, c.points);
        const StoredTotals after = StoredTotals::read(DbFile());
        EXPECT_EQ(after, expected) << qPrintable(after.describe());
        EXPECT_TRUE(after.rollsUp());
    }
}

} // namespace

namespace {

// The whole data folder read-only (the lesson database and the folder the
// grammar file is written to): the lesson still opens and can be practised,
// each attempt is refused with the reason, nothing is stored.
using ReadOnlyDataFolderTest = DataOnSmallDiskTest;

TEST_F(ReadOnlyDataFolderTest, LessonIsPractisedAndEachAttemptSaysWhyItIsNotKept) {
    // This test's own session folder.
    const QString run = folder.path() + "/run";
    QDir().mkpath(run);
    QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));
    struct Restore {
        QByteArray value;
        ~Restore() { qputenv("XDG_RUNTIME_DIR", value); }
    } restore{runtime};

    ASSERT_TRUE(m_disk->setReadOnly(true));
    program->MyDataEm.OpenDatabase(program->vars.DataPath);
    ASSERT_TRUE(program->MyDataEm.IsReadOnly());
    const StoredTotals before = StoredTotals::read(DbFile());
    frmExer& w = LoadLesson("030101");
    for (const auto& box : fake.messages.shown)
        ADD_FAILURE() << "on opening: " << qPrintable(box.text);
    EXPECT_FALSE(fake.programEnd.endedWith);
    ASSERT_NE(grammar(), nullptr);
    EXPECT_EQ(grammar()->rules.at(0).phrases, QStringList({"One", "Two", "Three"}));
    EXPECT_FALSE(QFile::exists(m_disk->path() + "/~file.xml"));
    EXPECT_TRUE(QFile::exists(run + "/verbaro/~file.xml"));

    program->vars.AgentChar = fake.agent.character("Merlin");
    for (bool right : {true, false}) {
        fake.messages.shown.clear();
        Attempt(right);
        ASSERT_EQ(fake.messages.shown.size(), 1u) << right;
        EXPECT_TRUE(fake.messages.shown[0].text.contains(
            QStringLiteral("课程数据库是只读的，练习成绩无法保存。")))
            << qPrintable(fake.messages.shown[0].text);
    }
    EXPECT_EQ(w.LbRCTip->text(), QStringLiteral("还没得分呢"));
    EXPECT_EQ(StoredTotals::read(DbFile()), before);
}

} // namespace
