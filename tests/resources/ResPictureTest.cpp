#include "core/ResPicture.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

namespace {

// Every picture name the windows pass, as they pass it (lower case).
QStringList namesTheProgramUses() {
    QStringList names;
    for (const char* base : {"readall", "read", "follow", "followone", "record", "recordone",
                             "help", "set", "return", "exit"})
        names << QString("%1-1").arg(base) << QString("%1-2").arg(base);
    for (const char* suffix : {"qingjing", "lang", "sel"})
        for (int i = 0; i < 2; ++i)
            names << QString("%1-1-%2").arg(i).arg(suffix) << QString("%1-2-%2").arg(i).arg(suffix);
    for (int i = 0; i < 5; ++i)
        names << QString("%1-1-main").arg(i) << QString("%1-2-main").arg(i);
    names << "stop";
    return names;
}

bool hasRedText(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 80 && c.blue() < 80)
                return true;
        }
    return false;
}

TEST(ResPicture, EveryNameTheProgramUsesResolvesWithoutRegardToCase) {
    for (const QString& name : namesTheProgramUses()) {
        for (const QString& spelling : {name, name.toUpper(), name.left(1).toUpper() + name.mid(1)})
            EXPECT_FALSE(LoadResPicture(spelling).isNull()) << spelling.toStdString();
    }
    EXPECT_EQ(ResPictureNames().size(), namesTheProgramUses().size());
    EXPECT_TRUE(ResPictureNames().contains("READALL-2"));
}

TEST(ResPicture, SizesAndRedHoverTexts) {
    const QSize button(81, 28);
    for (const char* name :
         {"readall-1", "read-2", "follow-1", "followone-2", "record-1", "recordone-2",
          "0-1-qingjing", "1-2-qingjing", "stop", "0-1-lang", "1-2-lang", "0-1-main", "4-2-main"})
        EXPECT_EQ(LoadResPicture(name).size(), button) << name;
    EXPECT_EQ(LoadResPicture("3-1-main").size(), QSize(66, 62));

    EXPECT_TRUE(hasRedText(LoadResPicture("stop").toImage()));
    EXPECT_TRUE(hasRedText(LoadResPicture("readall-2").toImage()));
    EXPECT_FALSE(hasRedText(LoadResPicture("readall-1").toImage()));
    // Each picture of a pair differs from the other, and each button from the rest.
    EXPECT_NE(LoadResPicture("read-1").toImage(), LoadResPicture("read-2").toImage());
    EXPECT_NE(LoadResPicture("read-1").toImage(), LoadResPicture("readall-1").toImage());
    EXPECT_NE(LoadResPicture("0-1-sel").toImage(), LoadResPicture("1-1-sel").toImage());
}

TEST(ResPicture, UnknownNamesGiveANullPictureAndSaySo) {
    QString error;
    EXPECT_TRUE(LoadResPicture("readall-3", &error).isNull());
    EXPECT_TRUE(error.contains("readall-3"));
    EXPECT_TRUE(LoadResPicture("", &error).isNull());
    error.clear();
    EXPECT_FALSE(LoadResPicture("  READ-1 ", &error).isNull());
    EXPECT_TRUE(error.isEmpty());
}

} // namespace
