#pragma once

// The lesson database as the program, the demo builder and the tests know it:
// its key and its tables, defined once.
struct LessonDatabase {
    // The database key ("Jet OLEDB:Database Password" in the connection string).
    static constexpr const char* Key = "pqlomvek";

    // The three tables: parts, units and lessons with their practice totals;
    // the sentences of each lesson with theirs; the day totals.
    static constexpr const char* Schema = R"(
CREATE TABLE TAB_Unit (
    UnitID TEXT NOT NULL PRIMARY KEY,
    CName TEXT, DlgObj TEXT, DlgObjE TEXT,
    ObjNums INTEGER, cishu INTEGER, chengji INTEGER);
CREATE TABLE TAB_Dlg (
    DlgID TEXT NOT NULL PRIMARY KEY,
    UnitID TEXT, DlgObj TEXT, DlgNum INTEGER,
    EDlg TEXT, CDlg TEXT, cishu INTEGER, chengji INTEGER, EDlgSB TEXT);
CREATE INDEX TAB_Dlg_UnitID ON TAB_Dlg (UnitID);
CREATE TABLE TAB_Box (
    NowData TEXT NOT NULL PRIMARY KEY,
    NowChengji INTEGER, NowCishu INTEGER);
)";
};
