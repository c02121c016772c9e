#include "paths/PathLookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

class PathLookupTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    QTemporaryDir drives;
    platform::PathLookup lookup{drives.path()};
    QString r(const QString& rel) const { return root.path() + "/" + rel; }
};

TEST_F(PathLookupTest, ExactNameWinsOverCaseInsensitiveMatch) {
    touch(r("QVhelp.chm"));
    touch(r("qvhelp.chm"));
    EXPECT_EQ(lookup.resolve(r("qvhelp.chm")), r("qvhelp.chm"));
    EXPECT_EQ(lookup.resolve(r("QVhelp.chm")), r("QVhelp.chm"));
}

TEST_F(PathLookupTest, MatchesEveryComponentWithoutRegardToCase) {
    touch(r("CHAR/Merlin.acs"));
    touch(r("data/~file.xml"));
    struct Case {
        const char* asked;
        const char* found;
    } cases[] = {
        {"char/MERLIN.ACS", "CHAR/Merlin.acs"},
        {"Data\\~File.xml", "data/~file.xml"},
        {"CHAR\\Merlin.acs", "CHAR/Merlin.acs"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lookup.resolve(r(c.asked)), r(c.found)) << c.asked;
        EXPECT_TRUE(lookup.fileExists(r(c.asked))) << c.asked;
    }
}

TEST_F(PathLookupTest, MissingFileKeepsResolvedFoldersAndGivenName) {
    touch(r("Data/x.txt"));
    EXPECT_EQ(lookup.resolve(r("data/New.xml")), r("Data/New.xml"));
    EXPECT_FALSE(lookup.fileExists(r("data/New.xml")));
}

TEST_F(PathLookupTest, FolderIsNotAFile) {
    QDir().mkpath(r("lst"));
    EXPECT_FALSE(lookup.fileExists(r("LST")));
}

TEST_F(PathLookupTest, DrivePathsLiveInThePerUserDriveFolder) {
    EXPECT_EQ(lookup.resolve("c:\\temptemp\\zorvik.swf"),
              drives.path() + "/drive_c/temptemp/zorvik.swf");
    EXPECT_EQ(lookup.resolve("D:\\x"), drives.path() + "/drive_d/x");
    touch(drives.path() + "/drive_c/TempTemp/Zorvik.SWF");
    EXPECT_TRUE(lookup.fileExists("C:\\temptemp\\zorvik.swf"));
}

} // namespace

// ".." cannot climb out of the drive folder: at the drive's root it stays
// there, as on Windows.
TEST(PathLookupDrive, DotDotStaysInsideTheDriveFolder) {
    QTemporaryDir drives;
    const platform::PathLookup lookup{drives.path()};
    const QString c = drives.path() + "/drive_c";
    const struct {
        const char* asked;
        QString found;
    } cases[] = {
        {"c:\\..\\..\\etc\\passwd", c + "/etc/passwd"},
        {"C:/../x", c + "/x"},
        {"c:\\a\\..\\..\\..\\b", c + "/b"},
        {"c:\\a\\.\\b\\..\\c.txt", c + "/a/c.txt"},
        {"c:\\temp\\..", c},
        {"c:\\..\\", c + "/"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(lookup.resolve(k.asked), k.found) << k.asked;
    touch(c + "/Data/File.txt");
    EXPECT_TRUE(lookup.fileExists("c:\\..\\data\\..\\..\\DATA\\file.TXT"));
}
