#include <gtest/gtest.h>

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_FileUtils.h"
#include "platform/core/Exception.h"
#include "platform/data/MemTable.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Service.h"
#include "platform/os/Program.h"
#include "tests/support/PrivateServer.h"
#include "tests/support/TestDatabase.h"

using core::Variant;

namespace {

// ID 1..3 with names a, b, c and sums 1.5, 2.5, 3.
struct Table {
    data::MemTable t;
    Table(int rows = 3) {
        t.addField(QStringLiteral("ID"), data::DataType::Integer);
        t.addField(QStringLiteral("NAME"), data::DataType::String, 10);
        t.addField(QStringLiteral("SUMMA"), data::DataType::Float);
        t.open();
        const double sums[] = {1.5, 2.5, 3};
        for (int i = 0; i < rows; ++i) {
            t.append();
            t[QStringLiteral("ID")].setValue(i + 1);
            t[QStringLiteral("NAME")].setValue(QString(QChar(u'a' + i)));
            t[QStringLiteral("SUMMA")].setValue(sums[i]);
            t.post();
        }
    }
};

TEST(DatasetHelpersTest, ColumnsAndSumsKeepThePosition) {
    Table tab;
    tab.t.setRecNo(2);
    EXPECT_EQ(udb::columnToVector(tab.t, QStringLiteral("ID")), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(tab.t.recNo(), 2);
    EXPECT_FALSE(tab.t.controlsDisabled());
    EXPECT_EQ(udb::columnToSet(tab.t, QStringLiteral("ID")), (std::set<int>{1, 2, 3}));
    std::vector<Variant> values;
    EXPECT_EQ(udb::columnToText(tab.t, QStringLiteral("NAME"), QStringLiteral(","), &values), QStringLiteral("a,b,c"));
    EXPECT_EQ(values.size(), 3u);
    EXPECT_EQ(tab.t.recNo(), 2);
    EXPECT_DOUBLE_EQ(udb::sumField(tab.t, QStringLiteral("SUMMA")), 7.0);
    EXPECT_EQ(tab.t.recNo(), 2);

    Table empty(0);
    EXPECT_EQ(udb::columnToText(empty.t, QStringLiteral("NAME"), QStringLiteral(",")), QString());
    empty.t.close();
    EXPECT_EQ(udb::columnToText(empty.t, QStringLiteral("NAME"), QStringLiteral(",")), QString());
}

TEST(DatasetHelpersTest, RememberedPositions) {
    Table tab;
    tab.t.setRecNo(3);
    {
        ufb::QLocatRmb byKey(0, tab.t, true, QStringLiteral("ID"), 0);  // 0: the current row's id
        EXPECT_TRUE(tab.t.controlsDisabled());
        tab.t.first();
        byKey.reLocate();
        EXPECT_EQ(tab.t.recNo(), 3);
        EXPECT_FALSE(tab.t.controlsDisabled());
    }
    EXPECT_FALSE(tab.t.controlsDisabled());
    tab.t.setRecNo(2);
    ufb::QLocatRmb byNumber(2, tab.t);
    tab.t.last();
    byNumber.reLocate();
    EXPECT_EQ(tab.t.recNo(), 2);

    // Controls that were already disabled stay disabled.
    tab.t.disableControls();
    {
        ufb::QLocatRmb byBookmark(1, tab.t, true);
        tab.t.sortOnFields(QStringLiteral("SUMMA"), false, true);
        byBookmark.reLocate();
        EXPECT_EQ(tab.t[QStringLiteral("ID")].asInteger(), 2);
        EXPECT_TRUE(tab.t.controlsDisabled());
    }
    EXPECT_TRUE(tab.t.controlsDisabled());
    tab.t.enableControls();

    try {
        ufb::QLocatRmb bad(5, tab.t);
        FAIL();
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Неизвестный тип восстановления позиции в наборе данных"
                                              "\n\nFunc: QLocatRmb::init()\nLine: kv_FbUtil:903\n\n"));
    }
}

class RefreshLocateTest : public tolvtest::DbSuite {};

TEST_F(RefreshLocateTest, ReopensAndReturnsToTheRow) {
    for (int i = 1; i <= 3; ++i) {
        udb::execSql(QStringLiteral("insert into INI (SECTION, NAME, VAL) values ('RL', 'n%1', '%1')").arg(i));
    }
    ufb::AutoQuery q(QStringLiteral("select VAL as ID, NAME from INI where SECTION = 'RL' order by NAME"), nullptr);
    udb::refreshLocate(*q.get(), QStringLiteral("ID"), QStringLiteral("2"));  // closed: opens and locates
    EXPECT_EQ(q->recNo(), 2);
    udb::execSql(QStringLiteral("insert into INI (SECTION, NAME, VAL) values ('RL', 'n0', '0')"));
    udb::refreshLocate(*q.get(), QStringLiteral("ID"));  // the current row's value
    EXPECT_EQ(q->fieldByName(QStringLiteral("ID")).asString(), QStringLiteral("2"));
    EXPECT_EQ(q->recNo(), 3);
    udb::refreshLocate(*q.get(), QStringLiteral("ID"), QStringLiteral("99"));  // not found: first row
    EXPECT_EQ(q->recNo(), 1);
    udb::refetch(*q.get());
    EXPECT_EQ(q->recordCount(), 4);
}

TEST(DbPathTest, HostsFilesAndLocality) {
    os::setProgramFile(QStringLiteral("/opt/tolvanix/tolvanix"));
    struct Case {
        const char16_t* path;
        const char16_t* host;
        const char16_t* file;
        bool local;
    };
    const Case cases[] = {
        {u"server:C:\\db\\base.gdb", u"server", u"C:\\db\\base.gdb", false},
        {u"192.168.0.5:D:\\base\\db.gdb", u"192.168.0.5", u"D:\\base\\db.gdb", false},
        {u"C:\\db\\base.gdb", u"127.0.0.1", u"C:\\db\\base.gdb", true},
        {u"D:\\base\\db.gdb", u"127.0.0.1", u"D:\\base\\db.gdb", true},
        {u"localhost:base", u"localhost", u"localhost:base", true},
        {u"server:alias", u"server", u"server:alias", false},
        {u"server:/db/x.fdb", u"server", u"/db/x.fdb", false},
        {u"server/3051:/db/x.fdb", u"server/3051", u"/db/x.fdb", false},
        {u"127.0.0.1/3051:/db/x.fdb", u"127.0.0.1/3051", u"/db/x.fdb", true},
        {u"/var/db/x.fdb", u"127.0.0.1", u"/var/db/x.fdb", true},
    };
    for (const Case& c : cases) {
        const QString path = QString::fromUtf16(c.path);
        EXPECT_EQ(udb::dbHost(path), QString::fromUtf16(c.host)) << path.toStdString();
        EXPECT_EQ(udb::dbFilePath(path), QString::fromUtf16(c.file)) << path.toStdString();
        EXPECT_EQ(udb::isLocalServer(path), c.local) << path.toStdString();
    }
    EXPECT_TRUE(udb::isLocalServer(FileUtils::hostName().toLower() + QStringLiteral(":/db/x.fdb")));
    EXPECT_EQ(udb::expandDbPath(QStringLiteral("data/tolvanix.fdb")), QStringLiteral("/opt/tolvanix/data/tolvanix.fdb"));
    EXPECT_EQ(udb::expandDbPath(QStringLiteral("/var/db/x.fdb")), QStringLiteral("/var/db/x.fdb"));
    EXPECT_EQ(udb::expandDbPath(QStringLiteral("server:alias")), QStringLiteral("server:alias"));
    os::setProgramFile(QString());
}

TEST(SecurityServiceTest, WrongPasswordThenCancelOrRetry) {
    tolvtest::PrivateServer server;
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    fb::Service service;
    service.setServerName(server.host());

    dialogs.passwords = {std::nullopt};  // the user cancels the first prompt
    try {
        udb::tryActivateSs(service, QStringLiteral("wrong"), 3);
        FAIL();
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Не удалось подключиться к системе безопасности"));
    }
    EXPECT_EQ(dialogs.prompts, 1);
    EXPECT_EQ(dialogs.texts(), QStringList({QStringLiteral("Введите пароль SYSDBA")}));

    dialogs.passwords = {QStringLiteral("still wrong"), tolvtest::PrivateServer::sysdbaPassword()};
    udb::tryActivateSs(service, QStringLiteral("wrong"), 3);
    EXPECT_TRUE(service.active());
    EXPECT_EQ(dialogs.prompts, 3);

    fb::Service never;
    never.setServerName(server.host());
    dialogs.passwords = {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};
    EXPECT_THROW(udb::tryActivateSs(never, QStringLiteral("wrong"), 3), core::Exception);
    EXPECT_EQ(dialogs.prompts, 5);  // three activations, two prompts
}

}  // namespace
