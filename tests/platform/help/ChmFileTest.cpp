#include "help/ChmFile.h"
#include "HelpFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

using platform::ChmFile;

namespace {

struct DefaultTopicCase {
    const char* file;
    const char* topic;
};

class DefaultTopicTest : public ::testing::TestWithParam<DefaultTopicCase> {};

// The project's default topic first; without one the root home page, else
// the first page of the topic list (not the first page by name).
TEST_P(DefaultTopicTest, FindsTheFirstPageToShow) {
    const auto chm = ChmFile::open(helpFixture(GetParam().file));
    ASSERT_NE(chm, nullptr);
    EXPECT_EQ(chm->defaultTopic(), QString::fromLatin1(GetParam().topic));
    EXPECT_TRUE(chm->read(chm->defaultTopic()).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DefaultTopicTest,
    ::testing::Values(DefaultTopicCase{"fixture.chm", "/pages/start.htm"},
                      DefaultTopicCase{"home.chm", "/index.htm"},
                      DefaultTopicCase{"notopic.chm", "/pages/two.htm"}),
    [](const auto& info) {
        return QString::fromLatin1(info.param.file).section('.', 0, 0).toStdString();
    });

TEST(ChmFileTest, ReadsTitleAndLanguageFromTheSystemFile) {
    const auto chm = ChmFile::open(helpFixture("fixture.chm"));
    ASSERT_NE(chm, nullptr);
    EXPECT_EQ(chm->title(), QString::fromUtf8("测试帮助")); // stored in GBK
    EXPECT_EQ(chm->codePage(), "GB18030");

    const auto untitled = ChmFile::open(helpFixture("notopic.chm"));
    ASSERT_NE(untitled, nullptr);
    EXPECT_TRUE(untitled->title().isEmpty());
    EXPECT_EQ(untitled->codePage(), "CP1252");
}

TEST(ChmFileTest, ResolvesObjectsAsHelpProjectsNameThem) {
    const auto chm = ChmFile::open(helpFixture("fixture.chm"));
    ASSERT_NE(chm, nullptr);
    for (const char* name : {"/pages/two.htm", "pages\\two.htm", "/PAGES/Two.HTM"}) {
        SCOPED_TRACE(name);
        const auto bytes = chm->read(QString::fromLatin1(name));
        ASSERT_TRUE(bytes.has_value());
        EXPECT_TRUE(bytes->contains("The second page."));
    }
    EXPECT_FALSE(chm->contains("/pages/none.htm"));
    EXPECT_FALSE(chm->read("/pages/none.htm").has_value());

    const auto png = chm->read("/pages/red.png");
    ASSERT_TRUE(png.has_value());
    EXPECT_TRUE(png->startsWith("\x89PNG"));
    EXPECT_TRUE(chm->objects().contains("/pages/red.png"));
    EXPECT_FALSE(chm->objects().contains("/#SYSTEM"));
}

TEST(ChmFileTest, RefusesWhatIsNotAHelpFile) {
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    QFile real(helpFixture("fixture.chm"));
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray chmBytes = real.readAll();

    const QStringList refused{
        dir.filePath("missing.chm"),
        write("empty.chm", {}),
        write("text.chm", "<html><body>not compiled</body></html>"),
        write("header.chm", chmBytes.left(64)),
        dir.path(),
    };
    for (const QString& path : refused) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(ChmFile::open(path), nullptr);
    }
}

} // namespace

namespace {

// The fixture's bytes with changes, written to a file of their own.
class DamagedChm {
public:
    DamagedChm() {
        QFile real(helpFixture("fixture.chm"));
        EXPECT_TRUE(real.open(QIODevice::ReadOnly));
        bytes = real.readAll();
    }
    quint32 u32(qsizetype at) const { return qFromLittleEndian<quint32>(bytes.constData() + at); }
    void setU32(qsizetype at, quint32 v) { qToLittleEndian(v, bytes.data() + at); }
    qsizetype directory() const { return qsizetype(u32(0x48)); } // the ITSP header
    // The LZX reset table: version 2, 8, a table offset of 0x28.
    qsizetype resetTable() const {
        for (qsizetype at = 0; at + 0x28 <= bytes.size(); ++at)
            if (u32(at) == 2 && u32(at + 8) == 8 && u32(at + 12) == 0x28)
                return at;
        return -1;
    }
    QString write() {
        QFile f(dir.filePath("damaged.chm"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QByteArray bytes;
    QTemporaryDir dir;
};

} // namespace

// chmlib trusts the headers and parameters a file gives: the reader checks
// them first, so a damaged file is refused or read in part, never a crash,
// a hang or a 4 GiB allocation.
TEST(ChmFileTest, DamagedHeadersAreRefused) {
    const struct {
        const char* what;
        qsizetype field; // from the ITSP header
        quint32 value;
    } cases[] = {{"a 4 GiB directory block", 0x10, 0xFFFFFF00u},
                 {"no directory blocks", 0x2c, 0},
                 {"a first listing block out of range", 0x20, 7}};
    for (const auto& c : cases) {
        DamagedChm chm;
        chm.setU32(chm.directory() + c.field, c.value);
        EXPECT_EQ(ChmFile::open(chm.write()), nullptr) << c.what;
    }
}

// chmlib divides by the control data's window size as it opens a file.
TEST(ChmFileTest, ControlDataWithoutAWindowIsRefused) {
    DamagedChm chm;
    const qsizetype lzxc = chm.bytes.indexOf("LZXC");
    ASSERT_GT(lzxc, 0);
    for (quint32 window : {0u, 3u, 0x80u}) { // in units of 32 KiB
        chm.setU32(lzxc + 0x0c, window);
        EXPECT_EQ(ChmFile::open(chm.write()), nullptr) << window;
    }
}

// An object of the compression's own in a section that is neither stored
// (0) nor compressed (1): chmlib would decompress it while opening the file,
// before it has read the block length it divides by. The control data,
// compressed, is read through the decompressor before its counts are set.
TEST(ChmFileTest, CompressionObjectsOutsideTheirSectionsAreRefused) {
    const struct {
        const char* name;
        char section;
    } cases[] = {{"InstanceData/ResetTable", 2},
                 {"MSCompressed/ControlData", 2},
                 {"MSCompressed/ControlData", 1}};
    for (const auto& c : cases) {
        DamagedChm chm;
        const qsizetype entry = chm.bytes.indexOf(c.name);
        ASSERT_GT(entry, 0) << c.name;
        const qsizetype section = entry + qsizetype(std::strlen(c.name));
        ASSERT_EQ(chm.bytes[section], '\0') << c.name; // stored, section 0
        chm.bytes[section] = c.section;
        EXPECT_EQ(ChmFile::open(chm.write()), nullptr) << c.name << " in " << int(c.section);
    }
}

TEST(ChmFileTest, AResetTableWithoutABlockLengthIsRefused) {
    DamagedChm chm;
    const qsizetype table = chm.resetTable();
    ASSERT_GT(table, 0);
    chm.setU32(table + 0x20, 0); // chmlib would divide by it
    const auto file = ChmFile::open(chm.write());
    if (file) {
        EXPECT_FALSE(file->read("/pages/two.htm").has_value());
    }
    EXPECT_EQ(file, nullptr);
}

TEST(ChmFileTest, AListingChainThatLoopsIsRefused) {
    DamagedChm chm;
    const qsizetype itsp = chm.directory();
    const quint32 first = chm.u32(itsp + 0x20);
    const qsizetype block = itsp + 0x54 + qsizetype(first) * chm.u32(itsp + 0x10);
    ASSERT_EQ(chm.bytes.mid(block, 4), "PMGL");
    chm.setU32(block + 0x10, first); // its next block is itself
    const auto file = ChmFile::open(chm.write());
    if (file) {
        EXPECT_LT(file->objects().size(), 1000); // chmlib would go round for ever
    }
    EXPECT_EQ(file, nullptr);
}

// Found by fuzzing: the reset table's entry starts before the listing
// block's free space and ends inside it. chmlib reads it whole (its section
// number is garbage) and divided by zero opening the file.
// Found by fuzzing, each a file chmlib divided by zero opening:
//  - the reset table's entry starts before the listing block's free space
//    and ends inside it; chmlib reads it whole (its section number is
//    garbage);
//  - a page's length is a number 80 bytes long; chmlib reads on to its last
//    byte, and the reset table's entry after it has a garbage section;
//  - the control data lies past the end of the file; chmlib cannot read it,
//    turns compression off, and divides by a window size it never read.
TEST(ChmFileTest, EntriesAreReadAsChmlibReadsThem) {
    for (const char* name : {"entry-past-free-space.chm", "long-number-before-reset-table.chm",
                             "control-data-past-the-end.chm"}) {
        EXPECT_EQ(ChmFile::open(QStringLiteral(HELP_DAMAGED_DIR "/") + QLatin1String(name)),
                  nullptr)
            << name;
    }
}
