#pragma once

#include <QString>
#include <QVariant>

namespace platform::db {

// A Find criterion of the one form the programs use: Field = 'value'.
// A quote inside the value is written doubled ('O''Brien'). The field name
// may be given in [brackets]. Any other form raises PlatformError.
struct FindCriterion {
    QString field;
    QString value;

    static FindCriterion parse(const QString& criteria);

    // Text comparison without regard to case, as the Jet provider compares;
    // Null never matches.
    bool matches(const QVariant& fieldValue) const;
};

} // namespace platform::db
