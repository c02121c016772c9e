#include "ScopedDataHome.h"
#include "registry/FileRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using platform::FileRegistry;
using platform::RegAccess;
using platform::RegRoot;
using platform::RegValue;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    QString folder() const { return dir.path() + "/verbaro"; }
    FileRegistry writable() const { return FileRegistry(folder(), RegAccess::ReadWrite); }
    FileRegistry readOnly() const { return FileRegistry(folder(), RegAccess::ReadOnly); }
    QByteArray fileBytes(RegRoot root) const {
        QFile f(writable().fileOf(root));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(RegistryTest, ValuesSurviveInTheRootsFileAndIgnoreCase) {
    const QString key = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Verbaro.exe";
    ASSERT_TRUE(writable().setValue(RegRoot::LocalMachine, key, {}, RegValue::string("c:\\q")));
    ASSERT_TRUE(writable().setValue(RegRoot::LocalMachine, key, "Path", RegValue::string("c:\\")));
    ASSERT_TRUE(writable().setValue(RegRoot::CurrentUser, "Software\\X", "Count",
                                    RegValue::dword(0x8000000F)));

    const FileRegistry other = readOnly(); // another process, later
    EXPECT_EQ(other.value(RegRoot::LocalMachine, key.toUpper(), {}), RegValue::string("c:\\q"));
    EXPECT_EQ(other.value(RegRoot::LocalMachine, key, "PATH"), RegValue::string("c:\\"));
    EXPECT_EQ(other.value(RegRoot::CurrentUser, "software\\x", "count"),
              RegValue::dword(0x8000000F));
    EXPECT_FALSE(other.value(RegRoot::ClassesRoot, key, {}));
    EXPECT_TRUE(other.keyExists(RegRoot::LocalMachine, "SOFTWARE\\Microsoft"));
    EXPECT_TRUE(QFileInfo::exists(folder() + "/HKEY_LOCAL_MACHINE.reg"));
    EXPECT_TRUE(QFileInfo::exists(folder() + "/HKEY_CURRENT_USER.reg"));
    EXPECT_FALSE(QFileInfo::exists(folder() + "/HKEY_CLASSES_ROOT.reg"));
}

TEST_F(RegistryTest, TextWithQuotesBackslashesLineBreaksAndChineseRoundTrips) {
    const QString text = "a \"quoted\" c:\\path\\ \n second line\t提示 ; [x]";
    ASSERT_TRUE(
        writable().setValue(RegRoot::CurrentUser, "K", "name \"odd\"\\", RegValue::string(text)));
    EXPECT_EQ(readOnly().value(RegRoot::CurrentUser, "K", "name \"odd\"\\"),
              RegValue::string(text));
    EXPECT_EQ(readOnly().valueNames(RegRoot::CurrentUser, "K"), QStringList{"name \"odd\"\\"});

    ASSERT_TRUE(writable().setValue(RegRoot::CurrentUser, "Odd [key] 名", {}, RegValue::dword(1)));
    EXPECT_EQ(readOnly().value(RegRoot::CurrentUser, "odd [KEY] 名", {}), RegValue::dword(1));
    EXPECT_FALSE(writable().createKey(RegRoot::CurrentUser, "two\nlines"));
}

TEST_F(RegistryTest, DeletingATreeKeepsSiblingsThatShareAPrefix) {
    FileRegistry reg = writable();
    reg.setValue(RegRoot::ClassesRoot, "A\\B\\C", {}, RegValue::string("1"));
    reg.setValue(RegRoot::ClassesRoot, "A\\BC", {}, RegValue::string("2"));
    reg.setValue(RegRoot::ClassesRoot, "A\\B", "v", RegValue::string("3"));
    EXPECT_EQ(reg.subKeys(RegRoot::ClassesRoot, "a"), (QStringList{"B", "BC"}));

    EXPECT_TRUE(reg.deleteTree(RegRoot::ClassesRoot, "a\\b"));
    EXPECT_FALSE(reg.keyExists(RegRoot::ClassesRoot, "A\\B"));
    EXPECT_FALSE(reg.keyExists(RegRoot::ClassesRoot, "A\\B\\C"));
    EXPECT_EQ(reg.value(RegRoot::ClassesRoot, "A\\BC", {}), RegValue::string("2"));
    EXPECT_FALSE(reg.deleteTree(RegRoot::ClassesRoot, "A\\B")); // already gone
    EXPECT_TRUE(reg.deleteValue(RegRoot::ClassesRoot, "A\\BC", {}));
    EXPECT_FALSE(reg.value(RegRoot::ClassesRoot, "A\\BC", {}));
    EXPECT_TRUE(reg.keyExists(RegRoot::ClassesRoot, "A\\BC"));
}

TEST_F(RegistryTest, ReadOnlyStoreNeverWrites) {
    FileRegistry ro = readOnly();
    EXPECT_FALSE(ro.setValue(RegRoot::LocalMachine, "K", "v", RegValue::string("x")));
    EXPECT_FALSE(ro.createKey(RegRoot::LocalMachine, "K"));
    EXPECT_FALSE(QFileInfo::exists(folder())); // not even the folder

    ASSERT_TRUE(writable().setValue(RegRoot::LocalMachine, "K", "v", RegValue::string("x")));
    const QByteArray before = fileBytes(RegRoot::LocalMachine);
    EXPECT_FALSE(ro.setValue(RegRoot::LocalMachine, "K", "v", RegValue::string("y")));
    EXPECT_FALSE(ro.deleteTree(RegRoot::LocalMachine, "K"));
    EXPECT_FALSE(ro.deleteValue(RegRoot::LocalMachine, "K", "v"));
    EXPECT_EQ(fileBytes(RegRoot::LocalMachine), before);
    EXPECT_EQ(ro.value(RegRoot::LocalMachine, "K", "v"), RegValue::string("x"));
}

TEST_F(RegistryTest, WritesLeaveNoTemporaryFilesBehind) {
    FileRegistry reg = writable();
    for (int i = 0; i < 5; ++i)
        reg.setValue(RegRoot::ClassesRoot, QString("K%1").arg(i), {}, RegValue::dword(i));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"HKEY_CLASSES_ROOT.reg"});
}

TEST_F(RegistryTest, ReadsAHandWrittenFileAndSkipsLinesItCannotRead) {
    QDir().mkpath(folder());
    QFile f(folder() + "/HKEY_LOCAL_MACHINE.reg");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; comment\n"
            "\"orphan\"=\"before any key\"\n"
            "[Software\\\\Demo\\]\n"
            "  @=\"default\"  \n"
            "\"Broken=\"no end\n"
            "\"Size\"=dword:0000ffff\n"
            "\"Bad\"=dword:xyz\n"
            "garbage line\n"
            "[Other]\n");
    f.close();
    const FileRegistry reg = readOnly();
    EXPECT_EQ(reg.value(RegRoot::LocalMachine, "Software\\Demo", {}), RegValue::string("default"));
    EXPECT_EQ(reg.value(RegRoot::LocalMachine, "Software\\Demo", "Size"), RegValue::dword(0xffff));
    EXPECT_EQ(reg.valueNames(RegRoot::LocalMachine, "Software\\Demo"), (QStringList{"", "Size"}));
    EXPECT_TRUE(reg.keyExists(RegRoot::LocalMachine, "Other"));
    EXPECT_EQ(reg.subKeys(RegRoot::LocalMachine, {}), (QStringList{"Other", "Software"}));
}

// What another tool wrote, or what this version cannot read, stays in the
// file when a value is changed.
TEST_F(RegistryTest, LinesItCannotReadSurviveAWrite) {
    const QByteArray foreign[] = {"REGEDIT4",
                                  "; the installer's note",
                                  "\"orphan\"=\"before any key\"",
                                  "\"Broken=\"no end",
                                  "\"Bad\"=dword:xyz",
                                  "hex:00,01",
                                  "\"Latin1\"=\"caf\xe9\"",
                                  "[]",
                                  "\"UnderNoKey\"=\"x\""};
    QDir().mkpath(folder());
    QFile f(folder() + "/HKEY_LOCAL_MACHINE.reg");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(foreign[0] + "\r\n" + foreign[1] + "\n" + foreign[2] + "\n[Software\\Demo]\n" +
            "@=\"default\"\n" + foreign[3] + "\n" + foreign[4] + "\n" + foreign[5] + "\n" +
            foreign[6] + "\n" + foreign[7] + "\n" + foreign[8] + "\n");
    f.close();

    ASSERT_TRUE(
        writable().setValue(RegRoot::LocalMachine, "Software\\Demo", "New", RegValue::dword(7)));
    ASSERT_TRUE(writable().setValue(RegRoot::LocalMachine, "Other", "v", RegValue::string("w")));
    const QByteArray after = fileBytes(RegRoot::LocalMachine);
    for (const QByteArray& line : foreign)
        EXPECT_TRUE(after.contains(line + '\n')) << line.toStdString() << "\n"
                                                 << after.toStdString();
    EXPECT_EQ(after.indexOf("[]"), after.lastIndexOf("[]"));
    const FileRegistry reg = readOnly();
    EXPECT_EQ(reg.value(RegRoot::LocalMachine, "Software\\Demo", {}), RegValue::string("default"));
    EXPECT_EQ(reg.value(RegRoot::LocalMachine, "Software\\Demo", "New"), RegValue::dword(7));
    EXPECT_FALSE(reg.value(RegRoot::LocalMachine, "Software\\Demo", "UnderNoKey"));
    EXPECT_EQ(reg.valueNames(RegRoot::LocalMachine, "Software\\Demo"), (QStringList{"", "New"}));
    // Written again, the file is the same: nothing piles up.
    ASSERT_TRUE(writable().setValue(RegRoot::LocalMachine, "Other", "v", RegValue::string("w")));
    EXPECT_EQ(fileBytes(RegRoot::LocalMachine), after);
}

// A store file this process may not read is left alone: a change to that
// root fails instead of replacing the file with the one value.
TEST_F(RegistryTest, StoreThatCannotBeReadIsNeverWrittenOver) {
    ASSERT_TRUE(writable().setValue(RegRoot::CurrentUser, "Keep", "v", RegValue::string("x")));
    const QString file = writable().fileOf(RegRoot::CurrentUser);
    const QByteArray before = fileBytes(RegRoot::CurrentUser);
    // The folder stays writable (so a careless write would succeed); only the
    // file is unreadable. As root, permissions bind once the file-system
    // user is someone else.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0), 0);
    const bool asRoot = ::geteuid() == 0;
    if (asRoot)
        ::setfsuid(65534);
    QFile probe(file);
    const bool readable = probe.open(QIODevice::ReadOnly);
    const bool written =
        !readable && writable().setValue(RegRoot::CurrentUser, "Other", "v", RegValue::dword(1));
    const bool readAsEmpty = !readable && !readOnly().keyExists(RegRoot::CurrentUser, "Keep");
    if (asRoot)
        ::setfsuid(0);
    ::chmod(QFile::encodeName(file).constData(), 0600);
    if (readable)
        GTEST_SKIP() << "file permissions do not bind here";
    EXPECT_FALSE(written);
    EXPECT_TRUE(readAsEmpty);
    EXPECT_EQ(fileBytes(RegRoot::CurrentUser), before);
}

// Writers in other processes (the installer, the registration tool, a
// program) lock the store while they read, change and write it: none undoes
// another's change. Separate FileRegistry objects on threads stand for them
// (each opens its own lock).
TEST_F(RegistryTest, ConcurrentWritersLoseNoChange) {
    constexpr int kWriters = 4, kValues = 25;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([this, w] {
            FileRegistry reg = writable();
            for (int v = 0; v < kValues; ++v)
                reg.setValue(RegRoot::ClassesRoot, QString("Writer%1").arg(w),
                             QString("V%1").arg(v), RegValue::dword(static_cast<std::uint32_t>(v)));
        });
    for (std::thread& t : writers)
        t.join();
    const FileRegistry reg = readOnly();
    for (int w = 0; w < kWriters; ++w)
        EXPECT_EQ(reg.valueNames(RegRoot::ClassesRoot, QString("Writer%1").arg(w)).size(), kValues)
            << w;
}

// A key that cannot be stored (a line break in its name) is refused whole:
// none of its parents is made on the way.
TEST_F(RegistryTest, RefusedKeyLeavesNoParentsBehind) {
    QDir().mkpath(folder());
    QFile f(folder() + "/HKEY_CURRENT_USER.reg");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Parent\\Child\\Bad\rName]\n\"v\"=\"x\"\n");
    f.close();
    EXPECT_FALSE(readOnly().keyExists(RegRoot::CurrentUser, "Parent"));
    EXPECT_FALSE(writable().createKey(RegRoot::CurrentUser, "Other\\two\nlines"));
    ASSERT_TRUE(writable().setValue(RegRoot::CurrentUser, "Kept", {}, RegValue::dword(1)));
    EXPECT_EQ(readOnly().subKeys(RegRoot::CurrentUser, {}), QStringList{"Kept"});
    EXPECT_TRUE(fileBytes(RegRoot::CurrentUser).contains("[Parent\\Child\\Bad\rName]\n"));
}

TEST_F(RegistryTest, DefaultFolderFollowsXdgDataHome) {
    const ScopedDataHome home(dir.path());
    EXPECT_EQ(FileRegistry::defaultFolder(), dir.path() + "/verbaro");
}

} // namespace
