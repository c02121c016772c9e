#include "DemoDbBuilder.h"

#include "core/LessonDatabase.h"
#include "db/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <cstdio>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString& where, const QString& why) {
    throw std::runtime_error((where + ": " + why).toStdString());
}

QString requireText(const QJsonObject& o, const QString& key, const QString& where) {
    if (!o.value(key).isString() || o.value(key).toString().trimmed().isEmpty())
        fail(where, QString("\"%1\" must be a non-empty text").arg(key));
    return o.value(key).toString();
}

int requireCount(const QJsonObject& o, const QString& key, const QString& where) {
    const QJsonValue v = o.value(key);
    if (!v.isDouble() || v.toDouble() != v.toInt() || v.toInt() < 1)
        fail(where, QString("\"%1\" must be a positive whole number").arg(key));
    return v.toInt();
}

bool isLesson(const QString& unitId) {
    return !unitId.endsWith("00");
}

void validateRoles(const QJsonObject& row, const QString& where, QStringList& names) {
    const QJsonArray roles = row.value("roles").toArray();
    QSet<QString> voices;
    for (int i = 0; i < roles.size(); ++i) {
        const QJsonObject r = roles[i].toObject();
        const QString at = where + QString(" role %1").arg(i + 1);
        names << requireText(r, "name", at);
        voices << requireText(r, "voice", at);
        requireCount(r, "speed", at);
    }
    if (names.size() < 2 || names.size() > 3)
        fail(where, "a lesson needs two or three roles");
    if (voices.size() != names.size())
        fail(where, "each role needs its own voice");
    if (requireText(row, "DlgObj", where) != names.join(','))
        fail(where, "\"DlgObj\" must list the role names separated by \",\"");
    if (requireCount(row, "ObjNums", where) != names.size())
        fail(where, "\"ObjNums\" must equal the number of roles");
}

void validateSentences(const QJsonObject& row, const QString& unitId, const QStringList& roles,
                       const QString& where) {
    static const QRegularExpression words("^[A-Za-z']+( [A-Za-z']+)*$");
    const QJsonArray sentences = row.value("sentences").toArray();
    if (sentences.isEmpty())
        fail(where, "a lesson needs sentences");
    for (int i = 0; i < sentences.size(); ++i) {
        const QJsonObject s = sentences[i].toObject();
        const QString at = where + QString(" sentence %1").arg(i + 1);
        const QString expectedId = unitId + QString("%1").arg(i + 1, 5, 10, QChar('0')) + "0";
        if (requireText(s, "DlgID", at) != expectedId)
            fail(at, QString("\"DlgID\" must be %1").arg(expectedId));
        if (!roles.contains(requireText(s, "DlgObj", at)))
            fail(at, "\"DlgObj\" is not one of the lesson's roles");
        requireText(s, "EDlg", at);
        requireText(s, "CDlg", at);
        if (!words.match(requireText(s, "EDlgSB", at)).hasMatch())
            fail(at, "\"EDlgSB\" must hold words separated by single spaces only");
    }
}

} // namespace

DemoDbBuilder::DemoDbBuilder(const QString& jsonPath) : m_jsonPath(jsonPath) {
    QFile file(jsonPath);
    if (!file.open(QIODevice::ReadOnly))
        fail(jsonPath, file.errorString());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (doc.isNull())
        fail(jsonPath, error.errorString());
    m_root = doc.object();
    validate();
}

void DemoDbBuilder::validate() const {
    static const QRegularExpression sixDigits("^[0-9]{6}$");
    const QJsonArray rows = m_root.value("rows").toArray();
    if (rows.isEmpty())
        fail(m_jsonPath, "\"rows\" must be a non-empty list");
    QSet<QString> ids;
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        const QString where = m_jsonPath + QString(" row %1").arg(i + 1);
        const QString id = requireText(row, "UnitID", where);
        if (!sixDigits.match(id).hasMatch())
            fail(where, "\"UnitID\" must be six digits");
        if (ids.contains(id))
            fail(where, "duplicate \"UnitID\"");
        ids << id;
        requireText(row, "CName", where);
        if (!isLesson(id)) {
            if (row.contains("sentences"))
                fail(where, "only lesson rows have sentences");
            continue;
        }
        requireText(row, "scene", where);
        QStringList roles;
        validateRoles(row, where, roles);
        validateSentences(row, id, roles, where);
    }
}

void DemoDbBuilder::fill(platform::db::Database& db) const {
    db.execScript(LessonDatabase::Schema);
    db.exec("BEGIN");
    for (const QJsonValue& v : m_root.value("rows").toArray()) {
        const QJsonObject row = v.toObject();
        const QString id = row.value("UnitID").toString();
        const bool lesson = isLesson(id);
        db.exec("INSERT INTO TAB_Unit (UnitID, CName, DlgObj, DlgObjE, ObjNums) VALUES (?,?,?,?,?)",
                {id, row.value("CName").toString(), row.value("DlgObj").toVariant(),
                 row.value("DlgObjE").toVariant(),
                 lesson ? QVariant(row.value("ObjNums").toInt()) : QVariant()});
        int number = 0;
        for (const QJsonValue& sv : row.value("sentences").toArray()) {
            const QJsonObject s = sv.toObject();
            db.exec("INSERT INTO TAB_Dlg (DlgID, UnitID, DlgObj, DlgNum, EDlg, CDlg, EDlgSB) "
                    "VALUES (?,?,?,?,?,?,?)",
                    {s.value("DlgID").toString(), id, s.value("DlgObj").toString(), ++number,
                     s.value("EDlg").toString(), s.value("CDlg").toString(),
                     s.value("EDlgSB").toString()});
        }
    }
    db.exec("COMMIT");
}

void DemoDbBuilder::write(const QString& databasePath) const {
    const QFileInfo target(databasePath);
    if (!QDir().mkpath(target.absolutePath()))
        fail(databasePath, "cannot create its folder");
    const QString temp = target.absoluteFilePath() + ".part";
    QFile::remove(temp);
    try {
        auto db = platform::db::Database::open(temp, kPassword,
                                               platform::db::Database::OpenMode::CreateNew);
        fill(*db);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    // rename() replaces the old file in one step.
    if (std::rename(QFile::encodeName(temp).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        QFile::remove(temp);
        fail(databasePath, "cannot move the new database into place");
    }
}
