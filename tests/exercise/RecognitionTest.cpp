// The grammar file the window writes for each lesson, read back by the real
// grammar reader, the recogniser's settings, and the judging of attempts.
#include "ExerFixture.h"
#include "db/Database.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerRecognition.h"
#include "exercise/ExerSequencer.h"
#include "exercise/frmExer.h"
#include "speech/GrammarFile.h"
#include "widgets/FlexGrid.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRadioButton>

using platform::GrammarFile;
using platform::db::Database;

namespace {

class RecognitionTest : public ExerFixture {
protected:
    QByteArray GrammarFileBytes() {
        QFile file(folder.path() + "/~file.xml");
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    void Sql(const QString& sql) {
        Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                       Database::OpenMode::ExistingOnly)
            ->execScript(sql);
    }
    // "chengji/cishu" of a stored row, "-" for Null.
    QString Stored(const QString& table, const QString& key, const QString& id) {
        auto db = Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                                 Database::OpenMode::ExistingOnly);
        const auto r =
            db->query("SELECT chengji, cishu FROM " + table + " WHERE " + key + " = ?", {id});
        auto text = [](const QVariant& v) { return v.isNull() ? QString("-") : v.toString(); };
        return text(r.rows.at(0).at(0)) + "/" + text(r.rows.at(0).at(1));
    }
    // Follows one sentence of the monologue lesson: its model plays, then
    // the learner's turn.
    void FollowOne(int row, int retries = 1) {
        frmExer& w = exer();
        program->vars.AgentChar = fake.agent.character("Merlin");
        w.RETRYNUMS = static_cast<std::int16_t>(retries);
        w.EGrid->SetRow(row);
        w.modes().CmdFollowOne_Click();
        ASSERT_TRUE(voice().playNext());
        ASSERT_TRUE(Listening());
    }
};

TEST_F(RecognitionTest, ThreeSentencesGiveElevenLinesInTheSingleByteCodePage) {
    LoadLesson("030101");
    const QByteArray bytes = GrammarFileBytes();
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    QStringList expected{"<GRAMMAR LANGID=\"409\">",
                         "<RULE NAME=\"dialog\" TOPLEVEL=\"ACTIVE\">",
                         "<P>",
                         "<L>",
                         "<P>One</P>",
                         "<P>Two</P>",
                         "<P>Three</P>",
                         "</L>",
                         "</P>",
                         "</RULE>",
                         "</GRAMMAR>"};
    ASSERT_EQ(lines.size(), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(lines[i], (expected[i] + (i < 10 ? "\r" : "")).toLatin1()) << i;
    // The grammar read it, its one rule inactive until the learner's turn.
    ASSERT_NE(grammar(), nullptr);
    EXPECT_EQ(program->vars.RecoGrammar, static_cast<platform::ISpeechGrammar*>(grammar()));
    ASSERT_EQ(grammar()->rules.size(), 1u);
    EXPECT_EQ(grammar()->rules[0].phrases, QStringList({"One", "Two", "Three"}));
    EXPECT_FALSE(grammar()->anyActive());
    EXPECT_TRUE(program->MyDataEm.rsSelUnitContent.IsEOF());
}

// Each recogniser text as written and as the real reader gives it back.
TEST(GrammarText, PhrasesAreTrimmedEscapedAndReadBackWhole) {
    struct Case {
        QString stored;
        QByteArray line;  // as written (Windows-1252 unless declared UTF-8)
        QString readBack; // what the grammar reader returns
        bool utf8;
    };
    const Case cases[] = {
        {QString(), "<P></P>", QString(), false}, // a Null text
        {"  How are you \t", "<P>How are you</P>", "How are you", false},
        {"Tom & Jerry <3>", "<P>Tom &amp; Jerry &lt;3&gt;</P>", "Tom & Jerry <3>", false},
        {"Say \"it's\"", "<P>Say &quot;it&apos;s&quot;</P>", "Say \"it's\"", false},
        {QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac"), "<P>Caf\xe9 \x80</P>",
         QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac"), false},
        {QString::fromUtf8("Ni hao \xe4\xbd\xa0\xe5\xa5\xbd"),
         "<P>Ni hao \xe4\xbd\xa0\xe5\xa5\xbd</P>",
         QString::fromUtf8("Ni hao \xe4\xbd\xa0\xe5\xa5\xbd"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        const QByteArray bytes = ExerRecognition::GrammarBytes({c.stored, "Fine"});
        EXPECT_TRUE(bytes.contains("\r\n" + c.line + "\r\n<P>Fine</P>\r\n"));
        EXPECT_EQ(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"), c.utf8);
        const auto rules = GrammarFile::parse(bytes, "test");
        ASSERT_EQ(rules.size(), 1u);
        const QStringList expected =
            c.readBack.isEmpty() ? QStringList{"Fine"} : QStringList{c.readBack, "Fine"};
        QStringList phrases = rules[0].phrases;
        phrases.removeAll(QString());
        EXPECT_EQ(phrases, expected);
    }
}

TEST_F(RecognitionTest, AReadOnlyOldFileIsReplaced) {
    QFile old(folder.path() + "/~File.xml");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("<GRAMMAR><broken");
    old.close();
    old.setPermissions(QFileDevice::ReadOwner);
    LoadLesson("030101");
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_FALSE(fake.programEnd.endedWith.has_value());
    ASSERT_EQ(grammar()->rules.size(), 1u);
    EXPECT_EQ(grammar()->rules[0].phrases.size(), 3);
}

TEST_F(RecognitionTest, AFileThatCannotBeWrittenOrLoadedIsToldAndEndsTheProgram) {
    // In the way, not removable as a file: in the data folder and in the
    // session folder the grammar falls back to.
    ASSERT_TRUE(QDir(folder.path()).mkdir("~file.xml"));
    ASSERT_TRUE(QDir(folder.path()).mkpath("run/verbaro/~file.xml"));
    QFile::setPermissions(folder.path() + "/run",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path() + "/run"));
    LoadLesson("030101");
    qputenv("XDG_RUNTIME_DIR", runtime);
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("建立数据文件时发生错误！"));
    EXPECT_EQ(fake.messages.shown[0].title, QStringLiteral("错误"));
    EXPECT_EQ(fake.messages.shown[1].text, QStringLiteral("加载过程中出错！"));
    EXPECT_EQ(fake.programEnd.endedWith, 1);
}

TEST_F(RecognitionTest, OnlyRecognitionsAreReportedAndThresholdsFollowTheDifficulty) {
    LoadLesson("030101");
    frmExer& w = exer();
    EXPECT_EQ(reco().interests,
              platform::IRecoContext::SRERecognition | platform::IRecoContext::SREFalseRecognition);
    for (const char* name :
         {"HighConfidenceThreshold", "NormalConfidenceThreshold", "LowConfidenceThreshold"})
        EXPECT_EQ(reco().properties.GetPropertyNumber(name), 10) << name;
    grammar()->stateCalls.clear();
    w.SbOpn[9]->click();
    EXPECT_EQ(w.Fenshu, 10);
    for (const char* name :
         {"HighConfidenceThreshold", "NormalConfidenceThreshold", "LowConfidenceThreshold"})
        EXPECT_EQ(reco().properties.GetPropertyNumber(name), 100) << name;
    EXPECT_EQ(grammar()->stateCalls, (std::vector<int>{1, 0}));
}

// One attempt on sentence 1 ("One") of the monologue lesson, judged.
struct JudgingCase {
    const char* name;
    const char* storedTarget; // EDlgSB of sentence 1
    const char* heard;
    int confidence;
    const char* row; // chengji/cishu stored for sentence 1
    const char* sound;
};

void PrintTo(const JudgingCase& c, std::ostream* os) {
    *os << c.name;
}

class JudgingTest : public RecognitionTest, public ::testing::WithParamInterface<JudgingCase> {};

TEST_P(JudgingTest, AnAttemptIsJudgedAgainstTheSentenceToSay) {
    const JudgingCase& c = GetParam();
    Sql(QString("UPDATE TAB_Dlg SET EDlgSB = '%1' WHERE DlgID = '030101000010';")
            .arg(c.storedTarget));
    LoadLesson("030101");
    FollowOne(1);
    EXPECT_TRUE(reco().hear(c.heard, c.confidence));
    EXPECT_FALSE(Listening());
    EXPECT_EQ(Stored("TAB_Dlg", "DlgID", "030101000010"), c.row);
    EXPECT_EQ(fake.sound.played, QStringList{folder.path() + "/wave/" + c.sound});
    EXPECT_EQ(exer().CurMode, 0) << "one attempt per sentence: the mode ends";
    EXPECT_EQ(exer().TryCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, JudgingTest,
    ::testing::Values(JudgingCase{"right", "One", "One", 100, "1/1", "good.wav"},
                      JudgingCase{"another", "One", "Two", 100, "-/1", "try another.wav"},
                      JudgingCase{"rejected", "One", "One", 5, "-/1", "try another.wav"},
                      JudgingCase{"blanks", "  One ", "One", 100, "1/1", "good.wav"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecognitionTest, ARecognitionWithoutARunningModeOnlyStopsListening) {
    LoadLesson("030101");
    exer().sequencer().Listen();
    EXPECT_TRUE(reco().hear("One"));
    EXPECT_FALSE(Listening());
    EXPECT_EQ(Stored("TAB_Dlg", "DlgID", "030101000010"), "-/-");
    EXPECT_TRUE(fake.sound.played.isEmpty());
    EXPECT_EQ(exer().TryCount, 0);
}

TEST_F(RecognitionTest, ThreeRightAnswersStillTakeThreeAttempts) {
    LoadLesson("030101");
    FollowOne(1, 3);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        ASSERT_TRUE(Listening()) << attempt;
        EXPECT_TRUE(reco().hear("One"));
        EXPECT_EQ(exer().CurMode, attempt < 3 ? 5 : 0) << attempt;
        EXPECT_EQ(exer().TryCount, attempt % 3) << attempt;
    }
    EXPECT_FALSE(Listening());
    EXPECT_EQ(Stored("TAB_Dlg", "DlgID", "030101000010"), "3/3");
}

} // namespace
