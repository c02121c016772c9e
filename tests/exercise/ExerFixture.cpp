#include "ExerFixture.h"

#include "com/HResult.h"
#include "com/ServerHostCall.h"
#include "core/ImageButtons.h"
#include "core/LessonDatabase.h"
#include "core/ResPicture.h"
#include "core/generalsub.h"
#include "db/Database.h"
#include "exercise/frmExer.h"
#include "registry/FileRegistry.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QDir>
#include <QLibrary>

using platform::db::Database;

namespace {

// The lessons of the tests, in the program's own tables (LessonDatabase::Schema).
const char* const kLessons = R"(
INSERT INTO TAB_Unit (UnitID, CName, DlgObj, DlgObjE, ObjNums, chengji) VALUES
  ('010000', 'Part one', NULL, NULL, NULL, NULL),
  ('010100', 'Unit one', NULL, NULL, NULL, NULL),
  ('010101', 'Lesson one', 'A,B', 'A: Amy  B: Bob', 2, NULL),
  ('010102', 'Lesson two', 'Tom,Lucy', NULL, 2, 12),
  ('010103', 'Lesson three', 'P,Q', NULL, 2, NULL),
  ('010104', 'Long lesson', 'X,Y', NULL, 2, NULL),
  ('010200', 'Unit two', NULL, NULL, NULL, NULL),
  ('010201', 'Empty lesson', 'A,B', NULL, 2, NULL),
  ('020000', 'Part two', NULL, NULL, NULL, NULL),
  ('030000', 'Part three', NULL, NULL, NULL, NULL),
  ('030100', 'Unit three', NULL, NULL, NULL, NULL),
  ('030101', 'Monologue', NULL, NULL, 0, NULL);
INSERT INTO TAB_Dlg (DlgID, UnitID, DlgObj, DlgNum, EDlg, CDlg, EDlgSB) VALUES
  ('010101000010', '010101', 'A', 1, 'Hello.', '你好。', 'Hello'),
  ('010101000020', '010101', 'B', 2, 'Hi there.', '嗨。', 'Hi there'),
  ('010101000030', '010101', 'A', 3, 'How are you?', '你好吗？', 'How are you'),
  ('010101000040', '010101', 'B', 4, 'Fine, thanks.', '很好，谢谢。', 'Fine thanks'),
  ('010102000010', '010102', 'Tom', 1, 'Good morning.', '早上好。', 'Good morning'),
  ('010102000020', '010102', 'Lucy', 2, 'Morning, Tom.', '早，汤姆。', 'Morning Tom'),
  ('010102000030', '010102', 'Lucy', 3, 'Nice day.', '天气真好。', 'Nice day'),
  ('010103000010', '010103', 'Q', 1, 'Come in.', '请进。', 'Come in'),
  ('010103000020', '010103', 'Q', 2, 'Sit down.', '请坐。', 'Sit down'),
  ('010103000030', '010103', 'P', 3, 'Thank you.', '谢谢。', 'Thank you'),
  ('010103000040', '010103', NULL, 4, 'A bell rings.', '铃响了。', 'A bell rings'),
  ('010103000050', '010103', 'P', 5, 'Goodbye.', '再见。', 'Goodbye'),
  ('030101000010', '030101', NULL, 1, 'One.', '一。', 'One'),
  ('030101000020', '030101', NULL, 2, 'Two.', '二。', 'Two'),
  ('030101000030', '030101', NULL, 3, 'Three.', '三。', 'Three');
)";

QTemporaryDir* g_registryHome = nullptr;
platform::FileRegistry* g_registry = nullptr;

} // namespace

void ExerFixture::SetUpTestSuite() {
    if (g_registry)
        return;
    // The image button library registers itself in the per-user registry of
    // a folder of this test run.
    g_registryHome = new QTemporaryDir();
    qputenv("XDG_DATA_HOME", g_registryHome->path().toUtf8());
    QLibrary glyphon(QStringLiteral(GLYPHON_PATH));
    ASSERT_TRUE(glyphon.load()) << qPrintable(glyphon.errorString());
    using Entry = platform::com::HResult (*)();
    const auto registerServer = reinterpret_cast<Entry>(glyphon.resolve("DllRegisterServer"));
    ASSERT_NE(registerServer, nullptr);
    {
        platform::FileRegistry writer(platform::RegAccess::ReadWrite);
        ASSERT_EQ(platform::com::setServerHost(glyphon, {&writer, nullptr}), platform::com::S_OK);
        ASSERT_EQ(registerServer(), platform::com::S_OK);
    }
    g_registry = new platform::FileRegistry(platform::RegAccess::ReadOnly);
}

void ExerFixture::SetUp() {
    ASSERT_NE(g_registry, nullptr);
    fake.platform.registry = g_registry;
    QDir().mkpath(folder.path() + "/data");
    {
        auto db = Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                                 Database::OpenMode::CreateNew);
        db->execScript(LessonDatabase::Schema);
        db->execScript(kLessons);
    }
    QString longLesson = "INSERT INTO TAB_Dlg (DlgID, UnitID, DlgObj, DlgNum, EDlg, CDlg, EDlgSB) "
                         "VALUES ";
    for (int i = 1; i <= 12; ++i)
        longLesson += QString("%1('0101040000%2', '010104', '%3', %4, 'Line %4.', '第%4句。', "
                              "'Line %4')")
                          .arg(i > 1 ? "," : "")
                          .arg(i, 2, 10, QChar('0'))
                          .arg(i % 2 ? "X" : "Y")
                          .arg(i);
    Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                   Database::OpenMode::ExistingOnly)
        ->execScript(longLesson + ";");

    program = std::make_unique<Program>(fake.platform);
    GlobalVars& g = program->vars;
    g.AppPath = folder.path() + "/";
    g.DataPath = g.AppPath;
    g.ScreenWidth = 1024;
    g.ScaleFactor = 1.0;
    g.AgentChoice = 2;
    fake.agent.Load("Merlin", g.AppPath + "CHAR/Merlin.acs");
    program->MyDataEm.OpenDatabase(g.DataPath);
}

void ExerFixture::TearDown() {
    if (program && program->forms.isLoaded<frmExer>())
        program->forms.get<frmExer>().Unload();
    QApplication::processEvents();
    program.reset();
}

void ExerFixture::SelectUnitRow(const QString& id) {
    auto& rs = program->MyDataEm.rsSelUnit;
    rs.MoveFirst();
    rs.Find("UnitID = '" + id + "'");
    ASSERT_FALSE(rs.IsEOF()) << qPrintable(id);
}

frmExer& ExerFixture::LoadLesson(const QString& id) {
    SelectUnitRow(id);
    GlobalVars& g = program->vars;
    MyDataEm& data = program->MyDataEm;
    g.CurUnitID = id;
    ReadLessonRow(*program);
    data.Reopen(data.Command1, "UnitID", id.left(2) + "0000");
    data.Reopen(data.SelUnitContent, "UnitID", id);
    frmExer& window = program->forms.get<frmExer>();
    window.Load();
    window.show();
    QApplication::processEvents();
    return window;
}

frmExer& ExerFixture::exer() {
    return program->forms.get<frmExer>();
}

FakeVoice& ExerFixture::voice() {
    return *fake.speech.voices.at(fake.speech.voices.size() - 2);
}

FakeRecoContext& ExerFixture::reco() {
    return *fake.speech.contexts.back();
}

FakeSpeechGrammar* ExerFixture::grammar() {
    return reco().grammars.empty() ? nullptr : reco().grammars.back();
}

bool ExerFixture::Shows(const ImageButton* button, const QString& picture) {
    return button->Picture().toImage() == LoadResPicture(picture).toImage();
}

bool ExerFixture::Listening() {
    FakeSpeechGrammar* g = grammar();
    return g && !g->stateCalls.empty() && g->stateCalls.back() == 1;
}
