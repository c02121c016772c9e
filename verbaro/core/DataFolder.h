#pragma once

#include <QString>

// Where the lesson database ("data/" below it) and the grammar file written
// for each lesson live. That is the program folder, unless the program folder
// holds its lesson database as a template: marked read-only (as a system-wide
// installation ships it) or not writable for this user, or in a folder this
// user may not write. Then each user works on a copy in the per-user folder,
// made on first start and kept from then on, so that installing another
// version of the program never touches a learner's results.
struct DataFolder {
    QString path;  // ends in "/"
    QString error; // set when the per-user copy could not be made

    // `appPath` ends in "/"; `userFolder` is the per-user Verbaro folder
    // (empty: none, the program folder is used as it is).
    static DataFolder choose(const QString& appPath, const QString& userFolder);

    // The lesson database's file below the data folder.
    static const QString DatabaseFile;

private:
    static bool isTemplate(const QString& appPath);
    static QString copyDatabase(const QString& from, const QString& to);
};
