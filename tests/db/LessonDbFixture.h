#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <memory>

namespace platform::db {
class Database;
}

// A temporary folder laid out as the program folder, with a small lesson
// database "data/qvedbdemo.aaa" keyed like the real one.
class LessonDbFixture {
public:
    static constexpr const char* kPassword = "pqlomvek";

    LessonDbFixture();
    ~LessonDbFixture();

    QString dataPath() const { return m_dir.path() + "/"; }
    QString dbFile() const { return dataPath() + "data/qvedbdemo.aaa"; }
    QString connectionString(const QString& password = kPassword) const;

    // Raw access for arranging and checking rows (opened on demand).
    platform::db::Database& db();
    void closeDb();
    QVariant scalar(const QString& sql, const QVariantList& params = {});

    // A folder for other files of a test.
    static QString tempRoot();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<platform::db::Database> m_db;
};
