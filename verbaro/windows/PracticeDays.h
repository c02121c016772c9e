#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace platform::db {
class Recordset;
}

// One day of the practice log: the points earned and the attempts made.
struct PracticeDay {
    QString day; // as stored: "YYYY-MM-DD"
    qint64 points = 0;
    qint64 attempts = 0;
};

// Every day of the log in the recordset's order, read from its first row to
// EOF (where it is left). A Null total counts as 0.
std::vector<PracticeDay> ReadPracticeDays(platform::db::Recordset& rs);

// The overall index of the log: the average number of points per attempt
// over all days, cut (never rounded up) to two decimals, written without
// trailing zeros and with "0" before it when below 1: 1.5, 2.33, 3, 0.56;
// "00" when nothing was earned; "0" for a log without days.
QString OverallIndexText(const std::vector<PracticeDay>& days);

// The index text of a ratio of points to attempts, as OverallIndexText writes it.
QString IndexText(double ratio);
