// The database version check: the comparison of build numbers, its boxes, and the version the
// database records.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "U_VersionManager.h"
#include "kv_FbUtil.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Transaction.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TestDatabase.h"

namespace {

using Common::VersionManager;

const QString kOlder = QStringLiteral(
    "Версия программы меньше, чем версия базы данных:\n%1\n%2.\nОбновите программу, пожалуйста.");
const QString kIncomparable =
    QStringLiteral("Не получилось сравнить версии.\nВозможно, изменился формат версии:\n%1\n%2.");

TEST(VersionManagerTest, ComparesBuildNumbersAndShowsTheReason) {
    struct Case {
        QString program;
        QString db;
        int result;
        QString box;  // empty: none
    };
    const std::vector<Case> cases = {
        {QStringLiteral("6.3.1.517"), QStringLiteral("6.3.1.518"), -1, kOlder},
        {QStringLiteral("6.3.1.517"), QStringLiteral("7.0.0.517"), 0, {}},
        {QStringLiteral("6.3.1.517"), QStringLiteral("6.3.1.516"), 1, {}},
        {QStringLiteral("6.3.1.517"), QStringLiteral("6.3.1.5a"), 254, kIncomparable},
        {QStringLiteral("6.3.1.517"), QStringLiteral("6.3.1.517."), 254, kIncomparable},
        {QStringLiteral("6.3.1.517"), QStringLiteral("517"), 0, {}},
        {QStringLiteral("6.3.1.517"), QStringLiteral("600"), -1, kOlder},
        {QStringLiteral("7.0.0.1"), QStringLiteral("6.3.1.517"), -1, kOlder},
        // A program without a version cannot be compared.
        {QString(), QStringLiteral("6.3.1.517"), 254, kIncomparable},
    };
    for (const Case& c : cases) {
        ui::ScriptedDialogs boxes;
        ui::ScopedDialogs scoped(&boxes);
        const VersionManager vm(c.program, c.db);
        EXPECT_EQ(vm.compareVersions(), c.result) << c.program.toStdString() << " / " << c.db.toStdString();
        EXPECT_EQ(vm.checkVersions(), c.box.isEmpty());
        EXPECT_EQ(boxes.texts(), c.box.isEmpty() ? QStringList() : QStringList{c.box.arg(c.program, c.db)});
    }
    EXPECT_EQ(VersionManager::splitVersion(QStringLiteral("6.3.")),
              (QStringList{QStringLiteral("6"), QStringLiteral("3.")}));
    EXPECT_EQ(VersionManager::splitVersion(QStringLiteral("6.3.1.517")).size(), 4);
}

TEST(VersionManagerTest, TheDatabaseVersionIsTheRowOfTheGreatestId) {
    tolvtest::TestDatabase db;
    QCoreApplication::setApplicationVersion(QStringLiteral(TOLV_VERSION));
    {
        // A fresh database belongs to the program built with it.
        const VersionManager fresh;
        EXPECT_EQ(fresh.getProgramVersion(), QStringLiteral(TOLV_VERSION));
        ui::ScriptedDialogs boxes;
        ui::ScopedDialogs scoped(&boxes);
        EXPECT_TRUE(fresh.checkVersions());
        EXPECT_GE(fresh.compareVersions(), 0);
        EXPECT_NE(fresh.compareVersions(), 254);
    }
    fb::Transaction t(&db.db());
    t.start();
    udb::execSql(QStringLiteral("insert into DB_VERSION (ID, VER_NUM) values (2, '6.3.1.900')"), &t);
    udb::execSql(QStringLiteral("insert into DB_VERSION (ID, VER_NUM) values (3, '6.3.1.100')"), &t);
    t.commit();
    EXPECT_EQ(VersionManager().getDbVersion(), QStringLiteral("6.3.1.100"));

    t.start();
    udb::execSql(QStringLiteral("update DB_VERSION set VER_NUM = '' where ID = 3"), &t);
    t.commit();
    EXPECT_EQ(tolvtest::errorText([] { VersionManager(); }),
              QStringLiteral("Не получилось определить версию базы данных."));
    t.start();
    udb::execSql(QStringLiteral("delete from DB_VERSION"), &t);
    t.commit();
    EXPECT_EQ(tolvtest::errorText([] { VersionManager(); }),
              QStringLiteral("Не получилось определить версию базы данных."));
    QCoreApplication::setApplicationVersion(QString());
}

}  // namespace
