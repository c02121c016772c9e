#include "windows/PracticeDays.h"

#include "db/Recordset.h"

#include <cmath>

std::vector<PracticeDay> ReadPracticeDays(platform::db::Recordset& rs) {
    std::vector<PracticeDay> days;
    if (rs.RecordCount() < 1)
        return days;
    rs.MoveFirst();
    while (!rs.IsEOF()) {
        days.push_back({rs.Field(QStringLiteral("NowData")).toString(),
                        rs.Field(QStringLiteral("NowChengji")).toLongLong(),
                        rs.Field(QStringLiteral("NowCishu")).toLongLong()});
        rs.MoveNext();
    }
    return days;
}

QString OverallIndexText(const std::vector<PracticeDay>& days) {
    if (days.empty())
        return QStringLiteral("0");
    // 64-bit sums: years of practice cannot overflow them.
    qint64 points = 0;
    qint64 attempts = 0;
    for (const PracticeDay& d : days) {
        points += d.points;
        attempts += d.attempts;
    }
    return IndexText(attempts == 0 ? 0.0 : double(points) / double(attempts));
}

QString IndexText(double ratio) {
    // Rounding to 15 significant digits first keeps a product such as
    // 0.57 x 100 = 56.999999999999993 at 57 before the decimals are cut.
    const double hundredths = std::trunc(QString::number(ratio * 100, 'g', 15).toDouble());
    QString text = QString::number(hundredths / 100, 'g', 15);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1); // ".56": no zero before the decimal point
    return ratio >= 1 ? text : QStringLiteral("0") + text;
}
