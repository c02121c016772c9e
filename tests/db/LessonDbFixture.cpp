#include "LessonDbFixture.h"

#include "core/LessonDatabase.h"
#include "db/Database.h"

#include <QDir>

using platform::db::Database;

namespace {

// The rows of the tests, in the program's own tables (LessonDatabase::Schema).
const char* const kRows = R"(
INSERT INTO TAB_Unit (UnitID, CName, DlgObj, DlgObjE, ObjNums) VALUES
  ('010102', 'Lesson two', 'Tom,Lucy', NULL, 2),
  ('010000', 'Part one', NULL, NULL, NULL),
  ('010101', 'Lesson one', 'A,B', 'A: A   B: B', 2),
  ('010100', 'Unit one', NULL, NULL, NULL),
  ('020000', 'Part two', NULL, NULL, NULL);
INSERT INTO TAB_Dlg (DlgID, UnitID, DlgObj, DlgNum, EDlg, CDlg, EDlgSB) VALUES
  ('010101000030', '010101', 'A', 3, 'Third.', 'C3', 'Third'),
  ('010101000010', '010101', 'A', 1, 'First.', 'C1', 'First'),
  ('010101000040', '010101', 'B', 4, 'Fourth.', 'C4', 'Fourth'),
  ('010101000020', '010101', 'B', 2, 'Second.', 'C2', 'Second'),
  ('010102000010', '010102', 'Tom', 1, 'Hi.', 'H', 'Hi');
)";

} // namespace

QString LessonDbFixture::tempRoot() {
    QString root = qEnvironmentVariable("VERBARO_TEST_TMP");
    if (root.isEmpty())
        root = QDir::tempPath();
    QDir().mkpath(root);
    return root;
}

LessonDbFixture::LessonDbFixture() : m_dir(tempRoot() + "/db-XXXXXX") {
    QDir().mkpath(dataPath() + "data");
    auto db = Database::open(dbFile(), kPassword, Database::OpenMode::CreateNew);
    db->execScript(LessonDatabase::Schema);
    db->execScript(kRows);
}

LessonDbFixture::~LessonDbFixture() = default;

QString LessonDbFixture::connectionString(const QString& password) const {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dbFile() +
           ";Persist Security Info=False;Jet OLEDB:Database Password=" + password;
}

Database& LessonDbFixture::db() {
    if (!m_db)
        m_db = Database::open(dbFile(), kPassword, Database::OpenMode::ExistingOnly);
    return *m_db;
}

void LessonDbFixture::closeDb() {
    m_db.reset();
}

QVariant LessonDbFixture::scalar(const QString& sql, const QVariantList& params) {
    const auto r = db().query(sql, params);
    return r.rows.empty() ? QVariant() : r.rows[0][0];
}
