#include "LessonDbFixture.h"

#include "PlatformError.h"
#include "db/Connection.h"
#include "db/ConnectionProperties.h"
#include "db/Recordset.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using platform::PlatformError;
using platform::db::Connection;
using platform::db::ConnectionProperties;
using platform::db::ObjectState;
using platform::db::Recordset;

TEST(ConnectionProperties, ReadsSourceAndPasswordIgnoringCaseAndOtherKeys) {
    const auto p = ConnectionProperties::parse(
        "Provider=Microsoft.Jet.OLEDB.4.0; data source = /x/data/q.aaa ;"
        "Persist Security Info=False;JET OLEDB:DATABASE PASSWORD=secret");
    EXPECT_EQ(p.dataSource, "/x/data/q.aaa");
    EXPECT_EQ(p.password, "secret");

    const auto quoted = ConnectionProperties::parse("Data Source=\"/a;b/c.aaa\";"
                                                    "Jet OLEDB:Database Password='p;q'");
    EXPECT_EQ(quoted.dataSource, "/a;b/c.aaa");
    EXPECT_EQ(quoted.password, "p;q");

    EXPECT_THROW(ConnectionProperties::parse("Data Source=\"/unclosed"), PlatformError);
    EXPECT_THROW(ConnectionProperties::parse("Data Source=/a;junk"), PlatformError);
}

// Install paths with the characters that end or quote a value come back whole.
TEST(ConnectionProperties, QuotedValuesComeBackExactly) {
    const QString values[] = {
        "/opt/verbaro/data/q.aaa",
        "/home/o'brien/verbaro/data/q.aaa",
        "/home/say \"hi\"/data/q.aaa",
        "/srv/a;b/data/q.aaa",
        "/x/'both\" ;kinds'/q.aaa",
        "\"leading quote",
        "'leading single",
        " padded ",
        "",
    };
    for (const QString& value : values) {
        const QString text = "Provider=P;Data Source=" + ConnectionProperties::quote(value) +
                             ";Jet OLEDB:Database Password=" + ConnectionProperties::quote(value);
        const auto p = ConnectionProperties::parse(text);
        EXPECT_EQ(p.dataSource, value) << text.toStdString();
        EXPECT_EQ(p.password, value) << text.toStdString();
    }
    EXPECT_EQ(ConnectionProperties::quote("/plain/path"), "/plain/path");

    // As others write them: either quote, doubled inside; an apostrophe
    // inside a plain value is just a character.
    const struct {
        const char* text;
        const char* source;
    } written[] = {
        {"Data Source='/o''brien/q.aaa'", "/o'brien/q.aaa"},
        {"Data Source=\"/say \"\"hi\"\"/q.aaa\" ; x=y", "/say \"hi\"/q.aaa"},
        {"Data Source = '/a\"b;c' ;", "/a\"b;c"},
        {"Data Source=/home/o'brien/q.aaa", "/home/o'brien/q.aaa"},
    };
    for (const auto& w : written)
        EXPECT_EQ(ConnectionProperties::parse(w.text).dataSource, w.source) << w.text;
    EXPECT_THROW(ConnectionProperties::parse("Data Source='/a'b;x=y"), PlatformError);
}

TEST(Connection, OpensTheKeyedDatabaseAndCloses) {
    LessonDbFixture f;
    Connection cn;
    EXPECT_EQ(cn.State(), ObjectState::Closed);
    cn.SetConnectionString(f.connectionString());
    EXPECT_EQ(cn.ConnectionString(), f.connectionString());
    cn.Open();
    EXPECT_EQ(cn.State(), ObjectState::Open);
    EXPECT_THROW(cn.SetConnectionString("Data Source=/elsewhere"), PlatformError);
    cn.Close();
    EXPECT_EQ(cn.State(), ObjectState::Closed);
}

// Each way the database can be unusable must fail in Open() itself.
TEST(Connection, OpenFailures) {
    LessonDbFixture f;
    const QString missing = f.dataPath() + "data/missing.aaa";
    const QString text = f.dataPath() + "data/notes.aaa";
    const QString empty = f.dataPath() + "data/empty.aaa";
    QFile t(text);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write(QByteArray("This is plain text, not a database at all.\n").repeated(200));
    t.close();
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.close();

    const struct {
        const char* name;
        QString connection;
    } cases[] = {
        {"missing file", "Data Source=" + missing + ";Jet OLEDB:Database Password=pqlomvek"},
        {"wrong password", f.connectionString("wrongpwd")},
        {"no password", "Data Source=" + f.dbFile()},
        {"text file", "Data Source=" + text + ";Jet OLEDB:Database Password=pqlomvek"},
        {"empty file", "Data Source=" + empty + ";Jet OLEDB:Database Password=pqlomvek"},
        {"no data source", "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=x"},
        {"folder", "Data Source=" + f.dataPath() + "data;Jet OLEDB:Database Password=x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Connection cn;
        cn.SetConnectionString(c.connection);
        try {
            cn.Open();
            ADD_FAILURE() << "Open() succeeded";
        } catch (const PlatformError& err) {
            EXPECT_FALSE(err.message().isEmpty());
        }
        EXPECT_EQ(cn.State(), ObjectState::Closed);
    }
    EXPECT_FALSE(QFileInfo::exists(missing)) << "a missing database must not be created";
    EXPECT_EQ(QFileInfo(empty).size(), 0);

    // The real database is untouched by the failed attempts.
    Connection cn;
    cn.SetConnectionString(f.connectionString());
    EXPECT_NO_THROW(cn.Open());
}

TEST(Connection, RecordsetsKeepTheirRowsAfterCloseButCannotWrite) {
    LessonDbFixture f;
    Connection cn;
    cn.SetConnectionString(f.connectionString());
    cn.Open();
    Recordset rs;
    rs.Open("SELECT * FROM TAB_Unit ORDER BY UnitID", cn);
    cn.Close();
    EXPECT_EQ(rs.Field("UnitID").toString(), "010000");
    rs.SetField("cishu", 1);
    EXPECT_THROW(rs.Update(), PlatformError);
    rs.CancelUpdate();
    Recordset other;
    EXPECT_THROW(other.Open("SELECT * FROM TAB_Unit", cn), PlatformError);
}
