#pragma once

#include "core/LessonDatabase.h"

#include <QJsonObject>
#include <QString>

namespace platform::db {
class Database;
}

// Builds the demo lesson database from the lesson source (content/demo/lessons.json):
// the three tables, one TAB_Unit row per part, unit and lesson, one TAB_Dlg
// row per sentence, practice totals Null and TAB_Box empty. The file is
// written under a temporary name and renamed into place only when complete,
// so an interrupted build never leaves a half-written database.
class DemoDbBuilder {
public:
    // The database password the program connects with.
    static constexpr const char* kPassword = LessonDatabase::Key;

    // Reads and checks the lesson source; raises std::runtime_error with the
    // reason when it is malformed.
    explicit DemoDbBuilder(const QString& jsonPath);

    void write(const QString& databasePath) const;

private:
    void validate() const;
    void fill(platform::db::Database& db) const;

    QString m_jsonPath;
    QJsonObject m_root;
};
