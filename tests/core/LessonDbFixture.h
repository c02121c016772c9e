#pragma once

#include <QString>

// A small lesson database in a program folder: one part, one unit and two
// lessons, keyed with the program's password unless another key is given.
struct LessonDbFixture {
    // Writes <programFolder>/data/qvedbdemo.aaa.
    static void write(const QString& programFolder, const QString& key = "pqlomvek");
};
