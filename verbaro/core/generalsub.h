#pragma once

class Program;

// Lesson opening. The first and last lesson of the lesson database that
// ships with the program: the exercise window cannot step beyond them.
inline constexpr const char* kFirstLessonId = "010101";
inline constexpr const char* kLastLessonId = "010102";

// Opens the lesson selected in the unit menu (a part or unit row stands for
// its first lesson): sets the open-lesson variables, runs the lesson's
// queries and shows the exercise window modally. Returns when that window
// has closed, or after telling the learner that the lesson has no sentences.
void OpenLesson(Program& program);

// Copies the current rsSelUnit row into the open-lesson variables: CName into
// UnitName and UnitName2, DlgObj into UnitDlgObj, ObjNums into UnitObjNums
// (each only when not Null) and chengji into UnitScore (0 when Null).
void ReadLessonRow(Program& program);
