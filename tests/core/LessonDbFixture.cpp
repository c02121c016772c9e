#include "LessonDbFixture.h"

#include "core/LessonDatabase.h"
#include "db/Database.h"

#include <QDir>

using platform::db::Database;

void LessonDbFixture::write(const QString& programFolder, const QString& key) {
    QDir().mkpath(programFolder + "/data");
    auto db =
        Database::open(programFolder + "/data/qvedbdemo.aaa", key, Database::OpenMode::CreateNew);
    db->execScript(LessonDatabase::Schema);
    db->execScript(R"(
        INSERT INTO TAB_Unit (UnitID, CName) VALUES ('010100', '第一单元');
        INSERT INTO TAB_Unit (UnitID, CName, DlgObj, ObjNums, cishu, chengji)
            VALUES ('010102', '碰到熟人', 'Tom,Lucy', 2, 3, 12);
        INSERT INTO TAB_Unit (UnitID, CName) VALUES ('010000', '第一部分');
        INSERT INTO TAB_Unit (UnitID, CName, DlgObj, ObjNums) VALUES ('010101', '初次见面', 'A,B', 2);
        INSERT INTO TAB_Dlg VALUES ('010101000010', '010101', 'A', 1, 'Hello.', '你好。', NULL, NULL, 'hello');
        INSERT INTO TAB_Box VALUES ('2026-12-08', 5, 2);
    )");
}
