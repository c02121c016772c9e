#pragma once

#include <QStringList>

// The names of the 90 lessons in the order of their numbers (1 to 90).
const QStringList& LessonNames();
