#include <gtest/gtest.h>

#include <QStringList>
#include <memory>
#include <vector>

#include "ContractRows.h"
#include "TClients.h"
#include "U_Zayavlenie.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Query.h"
#include "platform/fb/Table.h"
#include "platform/fb/Transaction.h"
#include "tests/support/ErrorText.h"

using core::Variant;
using namespace contracttest;
using TolvLogic::TAgentInfo;
using TolvLogic::TAgents;
using TolvLogic::TClients;
using TolvLogic::TPlaces;
using TolvLogic::Zayavlenie;
using tolvtest::errorText;

namespace {

void useLanguage(int language) {
    for (const auto& [key, text] : TolvLogic::clientsTexts(language))
        KVLibTranslator::instance().set(key, text);
}

// Committed at once, as another workstation would have stored it.
void exec(const QString& sql) {
    udb::execSql(sql, nullptr);
}

// Collects what the pick list offers.
class OfferedTexts : public ufb::PickupOutput {
public:
    explicit OfferedTexts(QStringList* texts) : texts_(texts) {}
    void clear(const ufb::PickupData&) override { texts_->clear(); }
    void add(const ufb::PickupData&, const QString& text) override { texts_->append(text); }

private:
    QStringList* texts_;
};

class ClientsTest : public ContractSuite {
protected:
    void SetUp() override {
        settings_ = std::make_unique<OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
        useLanguage(1);
    }
    void TearDown() override {
        useLanguage(1);
        settings_.reset();
        ContractSuite::TearDown();
    }

    std::unique_ptr<OwnSettingsFile> settings_;
    ui::ScriptedDialogs boxes_;
    ui::ScopedDialogs scoped_{&boxes_};
};

// A client appended to the list and posted; the list's key of the new row.
int postClient(TClients& list, const QString& name, const QString& authority) {
    data::Dataset& ds = *list.getDataSet();
    ds.append();
    ds.fieldByName(QStringLiteral("CLIENT_NAME")).setValue(name);
    if (!authority.isNull()) ds.fieldByName(QStringLiteral("CLIENT_PASSPORT_INFO")).setValue(authority);
    ds.post();
    return ds.fieldByName(QStringLiteral("CLIENT_ID")).asInteger();
}

// ---- Clients --------------------------------------------------------------------------------------

TEST_F(ClientsTest, PassportLineInBothLanguages) {
    struct Case {
        QString sn, num, info, date;
        int language;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"АБ", "123456", "РОВД", "01.02.2003", 1, "Паспорт АБ 123456 Выданный РОВД 01.02.2003"},
        {"АБ", "123456", "РОВД", "01.02.2003", 2, "Паспорт АБ 123456 Виданий РОВД 01.02.2003"},
        {{}, {}, {}, {}, 1, "Паспорт   Выданный  "},
        {"КВ", "7", "Дем'янівський РВ", {}, 2, "Паспорт КВ 7 Виданий Дем'янівський РВ "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        const int id = udb::genId(QStringLiteral("GEN_CLIENTS_ID"));
        exec(QStringLiteral(
                 "insert into CLIENTS (CLIENT_ID, CLIENT_NAME, CLIENT_PASSPORT_SN, CLIENT_PASSPORT_NUM, "
                 "CLIENT_PASSPORT_INFO, CLIENT_PASSPORT_DATE) values (%1, 'П', %2, %3, %4, %5)")
                 .arg(id)
                 .arg(c.sn.isNull() ? QStringLiteral("null") : lit(c.sn),
                      c.num.isNull() ? QStringLiteral("null") : lit(c.num),
                      c.info.isNull() ? QStringLiteral("null") : lit(c.info),
                      c.date.isNull() ? QStringLiteral("null") : lit(c.date)));
        useLanguage(c.language);
        EXPECT_EQ(TClients::PassportInfoById(id), c.expected);
    }
    // Without any texts copied in, the issue word is the default one.
    KVLibTranslator::instance().set(QStringLiteral("TClients.TClients.PassportInfoById.PassportInfo"),
                                    QStringLiteral(" Виданий "));
    EXPECT_EQ(TClients::PassportInfoById(newClient(QStringLiteral("Б"))),
              QStringLiteral("Паспорт   Виданий  "));
}

TEST_F(ClientsTest, NewAuthorityIsOfferedForThePickListOnPost) {
    exec(QStringLiteral("insert into PASPORT_DATA (DATA) values ('Известный РОВД')"));
    struct Case {
        QString authority;
        ui::ModalResult answer;
        bool asked;
        bool stored;
    };
    const std::vector<Case> cases = {
        {"РОВД", ui::ModalResult::Ok, true, true},
        {"Печерский РУ", ui::ModalResult::Cancel, true, false},
        {"Дем'янівський РВ", ui::ModalResult::Ok, true, true},
        {"Известный РОВД", ui::ModalResult::Ok, false, true},
        {"", ui::ModalResult::Ok, false, false},
    };
    TClients list;
    QStringList offered;
    list.getPickupList()->setOutput(std::make_unique<OfferedTexts>(&offered));
    list.open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.authority.toStdString());
        boxes_.shown.clear();
        boxes_.answers = {c.answer};
        const int id = postClient(list, QStringLiteral("Клиент ") + c.authority, c.authority);
        EXPECT_GT(id, 0);  // posted whatever the answer
        if (c.asked) {
            ASSERT_EQ(boxes_.shown.size(), 1u);
            EXPECT_EQ(boxes_.shown[0].text, QStringLiteral("Добавить \"") + c.authority +
                                                QStringLiteral("\" в справочник \"Кем выдан паспорт\"?"));
            EXPECT_EQ(boxes_.shown[0].type, ui::MsgType::Confirmation);
            EXPECT_EQ(boxes_.shown[0].buttons, ui::Buttons(ui::Button::Ok));
        } else {
            EXPECT_TRUE(boxes_.shown.empty());
        }
        if (c.authority.isEmpty()) continue;
        // Committed on a transaction of its own: another connection's read sees it.
        const int rows =
            scalar(QStringLiteral("select count(*) as V from PASPORT_DATA where DATA = ") + lit(c.authority))
                .toInt();
        EXPECT_EQ(rows, c.stored ? 1 : 0);
        if (c.asked) EXPECT_EQ(offered.contains(c.authority), c.stored);
    }
}

TEST_F(ClientsTest, NewRowsTakeTheirKeysFromTheDatabase) {
    TClients clients;
    clients.open();
    data::Dataset& cds = *clients.getDataSet();
    cds.append();
    EXPECT_EQ(cds.fieldByName(QStringLiteral("CLIENT_ID")).value().toInt(), 0);
    cds.fieldByName(QStringLiteral("CLIENT_NAME")).setValue(QStringLiteral("Яковенко Ґалина"));
    cds.post();
    const int clientId = cds.fieldByName(QStringLiteral("CLIENT_ID")).asInteger();
    EXPECT_GT(clientId, 0);
    EXPECT_EQ(cds.fieldByName(QStringLiteral("CLIENT_NAME")).asString(), QStringLiteral("Яковенко Ґалина"));
    clients.getTransaction()->commit();
    EXPECT_EQ(TClients::NameById(clientId), QStringLiteral("Яковенко Ґалина"));

    TAgents agents;
    agents.open();
    data::Dataset& ads = *agents.getDataSet();
    ads.append();
    EXPECT_EQ(ads.fieldByName(QStringLiteral("AGENT_ID")).value().toInt(), 0);
    ads.fieldByName(QStringLiteral("AGENT_NAME")).setValue(QStringLiteral("Новий агент"));
    ads.fieldByName(QStringLiteral("AGENT_LOGIN")).setValue(QStringLiteral("NEWAGENT"));
    ads.fieldByName(QStringLiteral("AGENT_PASSWORD")).setValue(QStringLiteral("*******"));
    ads.fieldByName(QStringLiteral("GROUP_ID")).setValue(0);
    ads.post();
    const int agentId = ads.fieldByName(QStringLiteral("AGENT_ID")).asInteger();
    EXPECT_GT(agentId, 0);
    EXPECT_EQ(ads.fieldByName(QStringLiteral("AGENT_LOGIN")).asString(), QStringLiteral("NEWAGENT"));
    agents.getTransaction()->rollback();

    TPlaces places;
    places.open();
    data::Dataset& pds = *places.getDataSet();
    pds.append();
    EXPECT_TRUE(pds.fieldByName(QStringLiteral("PLACE_ID")).isNull());
    pds.fieldByName(QStringLiteral("PLACE_NAME")).setValue(QStringLiteral("Сейф №2, під'їзд"));
    pds.post();
    const int placeId = pds.fieldByName(QStringLiteral("PLACE_ID")).asInteger();
    EXPECT_GT(placeId, 0);
    places.getTransaction()->commit();
    EXPECT_EQ(places.placeNameById(placeId), QStringLiteral("Сейф №2, під'їзд"));
}

TEST_F(ClientsTest, ClientColumnsAndSortByIndex) {
    TClients list;
    QStringList titles;
    for (const grid::Column& c : list.columnsEh()) titles << c.title;
    EXPECT_EQ(titles, (QStringList{"Ф.И.О.", "Адрес", "ИНН", "Паспорт|Серия", "Паспорт|Номер",
                                   "Паспорт|Кем выдан", "Паспорт|Дата выдачи", "Телефон", "Примечание"}));
    for (const grid::Column& c : list.columnsEh()) EXPECT_FALSE(c.titleButton);

    newClient(QStringLiteral("ААА сортировка"));
    const int z = newClient(QStringLiteral("ЯЯЯ сортировка"));
    exec(QStringLiteral("update CLIENTS set CLIENT_ADDRESS = 'А адрес' where CLIENT_ID = %1").arg(z));
    list.open();
    auto firstName = [&list] {
        data::Dataset& ds = *list.getDataSet();
        ds.first();
        return ds.fieldByName(QStringLiteral("CLIENT_NAME")).asString();
    };
    const QString byName = firstName();
    list.sortByField(QStringLiteral("CLIENT_INN"));  // not indexed: order kept
    EXPECT_EQ(firstName(), byName);
    list.sortByField(QStringLiteral("CLIENT_ADDRESS"));  // nulls first in an ascending order
    data::Dataset& ds = *list.getDataSet();
    ds.last();
    EXPECT_EQ(ds.fieldByName(QStringLiteral("CLIENT_ID")).asInteger(), z);
    list.sortByField(QStringLiteral("CLIENT_NAME"));
    EXPECT_EQ(firstName(), byName);
}

// ---- Users ----------------------------------------------------------------------------------------

TEST_F(ClientsTest, LookupsOfTheSeededManager) {
    const int id = TAgents::agentIdByLogin(QStringLiteral("manager"));
    EXPECT_GT(id, 0);
    EXPECT_EQ(TAgents::agentNameById(id), QStringLiteral("Администратор"));
    EXPECT_EQ(TAgents::agentLoginById(id), QStringLiteral("MANAGER"));
    EXPECT_EQ(TAgents::agentNameByLogin(QStringLiteral("Manager")), QStringLiteral("Администратор"));
    EXPECT_EQ(TAgents::kassirIdByLogin(QStringLiteral("MANAGER")), QStringLiteral("1"));
    const TAgentInfo typed(QStringLiteral("mAnAgEr"), nullptr);
    EXPECT_EQ(typed.login(), QStringLiteral("mAnAgEr"));
    EXPECT_TRUE(typed.isManager());
    EXPECT_EQ(typed.agentId(), id);
}

TEST_F(ClientsTest, LoginsDifferingOnlyInCaseIdentifyNobody) {
    exec(QStringLiteral(
        "insert into AGENTS (AGENT_NAME, AGENT_LOGIN, AGENT_PASSWORD, GROUP_ID, KASSIR_ID) values "
        "('Іванов І.', 'ivanov', '*', 0, '7')"));
    exec(QStringLiteral(
        "insert into AGENTS (AGENT_NAME, AGENT_LOGIN, AGENT_PASSWORD, GROUP_ID, KASSIR_ID) values "
        "('Иванов И.', 'IVANOV', '*', 0, '8')"));
    const QString failure =
        QStringLiteral("Невозможно идентифициоровать пользователя программы\nAGENT_LOGIN = ");
    const std::vector<std::function<void()>> byLogin = {
        [] { TAgents::agentIdByLogin(QStringLiteral("ivanov")); },
        [] { TAgents::agentNameByLogin(QStringLiteral("ivanov")); },
        [] { TAgents::kassirIdByLogin(QStringLiteral("ivanov")); },
        [] { TAgentInfo(QStringLiteral("ivanov"), nullptr); },
    };
    for (const auto& lookup : byLogin) EXPECT_EQ(errorText(lookup), failure + QStringLiteral("ivanov"));
    EXPECT_EQ(errorText([] { TAgents::agentIdByLogin(QStringLiteral("IVANOV")); }),
              failure + QStringLiteral("IVANOV"));

    const int id =
        scalar(QStringLiteral("select AGENT_ID as V from AGENTS where AGENT_LOGIN = 'ivanov'")).toInt();
    EXPECT_EQ(TAgents::agentLoginById(id), QStringLiteral("ivanov"));
    EXPECT_EQ(TAgents::agentNameById(id), QStringLiteral("Іванов І."));
    EXPECT_EQ(errorText([] { TAgents::agentNameById(987654); }),
              QStringLiteral("Невозможно идентифициоровать пользователя программы\nAGENT_ID = 987654"));
}

TEST_F(ClientsTest, UserGroupsInTheInterfaceLanguageAndSortByIndex) {
    struct Case {
        int language;
        QString agents, managers;
    };
    const std::vector<Case> cases = {{1, "Агенты", "Менеджеры"}, {2, "Агенти", "Менеджери"}};
    exec(
        QStringLiteral("insert into AGENTS (AGENT_NAME, AGENT_LOGIN, AGENT_PASSWORD, GROUP_ID) values "
                       "('ААА агент', 'ZZZ_AGENT', '*', 0)"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        utl::SettingsFile::writeInt(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"),
                                    c.language);
        TAgents list;
        EXPECT_FALSE(list.groups()->active());
        ASSERT_TRUE(list.open());
        EXPECT_TRUE(list.groups()->active());
        data::Dataset& ds = *list.getDataSet();
        ASSERT_TRUE(ds.locate(QStringLiteral("AGENT_LOGIN"), QStringLiteral("MANAGER")));
        EXPECT_EQ(ds.fieldByName(QStringLiteral("AG_GROUP")).asString(), c.managers);
        ASSERT_TRUE(ds.locate(QStringLiteral("AGENT_LOGIN"), QStringLiteral("ZZZ_AGENT")));
        EXPECT_EQ(ds.fieldByName(QStringLiteral("AG_GROUP")).asString(), c.agents);

        auto firstLogin = [&ds] {
            ds.first();
            return ds.fieldByName(QStringLiteral("AGENT_LOGIN")).asString();
        };
        // Other tests of the suite leave agents too ("Іванов І." sorts before "ААА" in the code
        // page), so the expected first row is whatever the server's own order puts first.
        ufb::AutoQuery byName(QStringLiteral("select first 1 AGENT_LOGIN from AGENTS order by AGENT_NAME"),
                              nullptr);
        byName->open();
        const QString firstByName = byName->field(0)->asString();
        list.sortByField(QStringLiteral("AGENT_NAME"));
        EXPECT_EQ(firstLogin(), firstByName);
        list.sortByField(QStringLiteral("KASSIR_ID"));  // not indexed: order kept
        EXPECT_EQ(firstLogin(), firstByName);
        list.sortByField(QStringLiteral("AGENT_LOGIN"));
        EXPECT_NE(firstLogin(), QStringLiteral("ZZZ_AGENT"));
        list.sortByField(QStringLiteral("AG_GROUP"));
        ds.first();
        EXPECT_EQ(ds.fieldByName(QStringLiteral("GROUP_ID")).asInteger(), 0);
        list.close();
        EXPECT_FALSE(list.groups()->active());
    }
}

// ---- Deferral applications ------------------------------------------------------------------------

TEST_F(ClientsTest, DeferralApplicationLifecycle) {
    Contract c;
    c.clientId = newClient(QStringLiteral("Заявник"));
    const int contract = newContract(c);
    EXPECT_FALSE(Zayavlenie::scExists(contract));

    Zayavlenie z(contract);
    z.SetField(Zayavlenie::zDATE_CUR, day(1, 4));
    z.SetField(Zayavlenie::zDATE_TO, day(1, 5));
    z.SetField(Zayavlenie::zNOTE, QStringLiteral("Обіцяв прийти з під'їзду"));
    z.Insert();
    EXPECT_TRUE(Zayavlenie::scExists(contract));
    z.SetField(Zayavlenie::zNOTE, QStringLiteral("Отсрочка до мая"));
    z.Update();
    Zayavlenie read(contract);
    ASSERT_EQ(read.Select(), 1);
    EXPECT_EQ(read.GetField(Zayavlenie::zNOTE).toText(), QStringLiteral("Отсрочка до мая"));
    EXPECT_EQ(read.GetField(Zayavlenie::zDATE_TO), Variant(day(1, 5)));

    struct Case {
        ui::ModalResult answer;
        QStringList texts;
        bool existsAfter;
    };
    const QString ask = QStringLiteral("Удалить заявление на отсрочку?");
    const std::vector<Case> cases = {
        {ui::ModalResult::No, {ask}, true},
        {ui::ModalResult::Yes, {ask, "Заявление удалено"}, false},
        {ui::ModalResult::Yes, {"Заявление на отсрочку не составлено"}, false},
    };
    for (const Case& step : cases) {
        boxes_.shown.clear();
        boxes_.answers = {step.answer};
        Zayavlenie::scDelZayav(contract);
        EXPECT_EQ(boxes_.texts(), step.texts);
        EXPECT_EQ(Zayavlenie::scExists(contract), step.existsAfter);
    }
    EXPECT_EQ(boxes_.shown.front().type, ui::MsgType::Information);

    // In Ukrainian.
    for (const auto& [key, text] : TolvLogic::zayavlenieTexts(2)) KVLibTranslator::instance().set(key, text);
    boxes_.shown.clear();
    Zayavlenie::scDelZayav(contract);
    for (const auto& [key, text] : TolvLogic::zayavlenieTexts(1)) KVLibTranslator::instance().set(key, text);
    EXPECT_EQ(boxes_.texts(), QStringList{QStringLiteral("Заяву на відстрочку не складено")});

    Zayavlenie again(contract);
    again.SetField(Zayavlenie::zNOTE, QStringLiteral("ще раз"));
    again.Insert();
    again.Delete();
    EXPECT_FALSE(Zayavlenie::scExists(contract));
}

}  // namespace
