#pragma once

#include <QFont>

// The windows' Chinese font "宋体", with the serif Ming faces that stand in
// for it on this desktop.
inline QFont SongTi(double points, bool bold = false) {
    QFont f;
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"),
                   QStringLiteral("AR PL UMing TW")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}
