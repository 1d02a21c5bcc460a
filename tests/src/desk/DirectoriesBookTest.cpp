#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "Book.h"
#include "TClients.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Transaction.h"
#include "platform/ui/DbGrid.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/src/contracts/ContractRows.h"

using namespace contracttest;
using tolvtest::onModal;

namespace {

class DirectoriesBookTest : public ContractSuite {
protected:
    void SetUp() override {
        settings_ = std::make_unique<OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
    }
    void TearDown() override {
        settings_.reset();
        ContractSuite::TearDown();
    }
    tolvtest::ScopedUserIni userIni_;
    std::unique_ptr<OwnSettingsFile> settings_;
    ui::ScriptedDialogs boxes_;
    ui::ScopedDialogs scoped_{&boxes_};
};

int count(const QString& table, const QString& where) {
    return scalar(QStringLiteral("select count(*) as V from ") + table + QStringLiteral(" where ") + where)
        .toInt();
}

// OK in the editing form commits the list's own transaction: pending work of the shared change
// transaction is neither committed nor undone by it.
TEST_F(DirectoriesBookTest, EditingListsCommitTheirOwnTransaction) {
    udb::execSql(QStringLiteral("insert into PLACES (PLACE_NAME) values ('Чужая работа')"), change());

    struct Case {
        const char* name;
        std::function<std::unique_ptr<ufb::TableWrapper>()> make;
        std::function<void(data::Dataset&)> fill;
        QString table, where;
    };
    const std::vector<Case> cases = {
        {"places", [] { return std::make_unique<TolvLogic::TPlaces>(); },
         [](data::Dataset& ds) {
             ds.fieldByName(QStringLiteral("PLACE_NAME")).setValue(QStringLiteral("Сейф під'їзду"));
         },
         "PLACES", "PLACE_NAME = 'Сейф під''їзду'"},
        {"users", [] { return std::make_unique<TolvLogic::TAgents>(); },
         [](data::Dataset& ds) {
             ds.fieldByName(QStringLiteral("AGENT_NAME")).setValue(QStringLiteral("Ґудзь Олесь"));
             ds.fieldByName(QStringLiteral("AGENT_LOGIN")).setValue(QStringLiteral("GUDZ"));
             ds.fieldByName(QStringLiteral("AGENT_PASSWORD")).setValue(QStringLiteral("*******"));
             ds.fieldByName(QStringLiteral("GROUP_ID")).setValue(0);
         },
         "AGENTS", "AGENT_LOGIN = 'GUDZ'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto list = c.make();
        ufb::TBookForm book(nullptr, QString());
        onModal<ufb::TBookForm>([&c, &list](ufb::TBookForm& form) {
            data::Dataset& ds = *list->getDataSet();
            ds.append();
            c.fill(ds);
            QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("btn_OK")), Qt::LeftButton);
        });
        book.showBook(0, list.get(), QStringLiteral("Справочник"), true);
        EXPECT_TRUE(boxes_.shown.empty()) << boxes_.texts().join(u'\n').toStdString();
        EXPECT_EQ(count(c.table, c.where), 1);
    }
    EXPECT_TRUE(change()->inTransaction());
    change()->rollback();
    EXPECT_EQ(count(QStringLiteral("PLACES"), QStringLiteral("PLACE_NAME = 'Чужая работа'")), 0);
}

TEST_F(DirectoriesBookTest, ClientsShowPassportTitlesInTwoRows) {
    newClient(QStringLiteral("Дем'яненко Олена"));
    TolvLogic::TClients clients;
    ufb::TBookForm book(nullptr, QString());
    QStringList titles;
    onModal<ufb::TBookForm>([&titles](ufb::TBookForm& form) {
        auto* grid = form.findChild<ui::DbGrid*>(QStringLiteral("DBGrid1"));
        for (int i = 0; i < grid->model()->columnCount(); ++i)
            titles << grid->model()->headerData(i, Qt::Horizontal).toString();
        form.close();
    });
    EXPECT_FALSE(book.showBook(1, &clients, QStringLiteral("Справочник клиентов"), false));
    EXPECT_TRUE(titles.contains(QStringLiteral("Паспорт\nСерия"))) << titles.join(u',').toStdString();
    EXPECT_TRUE(titles.contains(QStringLiteral("Паспорт\nДата выдачи")));
}

}  // namespace
