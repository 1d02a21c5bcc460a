#include <gtest/gtest.h>

#include "ContractRows.h"
#include "HooksRecording.h"
#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "kv_fiscalRegister.h"
#include "platform/core/Exception.h"
#include "platform/data/MemTable.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Query.h"
#include "tests/KVLib/uFiscalRegister/RegisterFixture.h"
#include "tests/support/ErrorText.h"
#include "u_contractSubjects.h"

using core::DateTime;
using core::Variant;
using namespace contracttest;
using namespace TolvLogic;
using Info = TolvLogic::TPenaltyContractInfo;

namespace {

using tolvtest::errorText;

// Every row of the contract tables, as text: what a failed save must leave as it was.
QString snapshot() {
    QString text;
    for (const char* table :
         {"PENALTY_CONTRACTS", "PENALTY_DEPOSITS", "SUBJECTS", "SUBJECTS_GOLD", "TOSALE"}) {
        ufb::AutoQuery q(QStringLiteral("select * from %1 order by 1").arg(QString::fromLatin1(table)),
                         nullptr);
        q->open();
        text += QString::fromLatin1(table) + u':';
        for (; !q->eof(); q->next()) {
            for (int i = 0; i < q->fieldCount(); ++i) {
                if (q->field(i)->fieldName() == QStringLiteral("MODIFY_DATE")) continue;
                text += q->field(i)->asString() + u'|';
            }
            text += u'\n';
        }
    }
    return text;
}

int count(const QString& sql) {
    return scalar(QStringLiteral("select count(*) as V from ") + sql).toInt();
}

class ContractSaveTest : public ContractSuite {
protected:
    void SetUp() override {
        branch = FilialsDir::scGetCurentFilialId();
        tech = TDepositTypes::scGetIdByCode(QStringLiteral("TECH"));
        client = newClient(QStringLiteral("Дем'яненко"));
    }

    QString calc(DateTime date) const { return QStringLiteral("calc %1 branch=%2").arg(d(date)).arg(branch); }
    std::vector<QString>& log() { return hooks.recorder.log; }

    // A new contract as the editor fills it, with two items.
    void fillNew(Info& info, DateTime date) {
        info.setContractValue(Info::cCLIENT_ID, client);
        info.setContractValue(Info::cAGENT_ID, 1);
        info.setContractValue(Info::cCONTRACT_DATE, date);
        info.setContractValue(Info::cCONTRACT_STATE, csOPENED);
        info.setContractValue(Info::cCONTRACT_NUM, QStringLiteral("1.09.1"));
        info.setContractValue(Info::cFILIAL_ID, branch);
        info.setContractValue(Info::cNOTE, QStringLiteral("з'їздив"));
        info.setDepositValue(Info::dDEPOSIT_SUM, 80000);
        info.setDepositValue(Info::dPENALTY_DAYS, 30);
        info.setDepositValue(Info::dDEPOSIT_PERC, 1500);
        info.setDepositValue(Info::dPENALTY_PERC, 100);
        info.setDepositValue(Info::dSUBJECT_PRICE, 100000);
        info.getDepositRecord().SetField(QStringLiteral("DEPOSIT_TYPE"), tech);
        addItem(info, QStringLiteral("комп'ютер"), 60000, 50000);
        addItem(info, QStringLiteral("Телефон"), 40000, 30000);
    }
    static void addItem(Info& info, const QString& name, int price, int credit) {
        data::Dataset& ds = *info.getSubjects()->getDataSet();
        ds.append();
        ds.fieldByName(QStringLiteral("NAME")).setValue(name);
        ds.fieldByName(QStringLiteral("ITEMS_COUNT")).setValue(1);
        ds.fieldByName(QStringLiteral("PRICE")).setValue(price);
        ds.fieldByName(QStringLiteral("DEPOSIT_SUM")).setValue(credit);
        ds.post();
    }
    // A stored contract with one item, committed.
    int stored(DateTime date) {
        Info info(nullptr);
        fillNew(info, date);
        info.save(nullptr, false, nullptr);
        log().clear();
        return info.getContractValue(Info::cCONTRACT_ID).toInt();
    }

    RecordingHooks hooks;
    int branch = 0;
    int tech = 0;
    int client = 0;
};

TEST_F(ContractSaveTest, ANewContractIsStoredWithItsTermsAndItems) {
    const int before =
        scalar(QStringLiteral("select gen_id(GEN_CONTRACTS_ID, 0) as V from RDB$DATABASE")).toInt();
    Info info(nullptr);
    fillNew(info, day(5, 3));
    std::unique_ptr<ServicesList> services = servicesFactory().create(astCONTRACT, -1, day(5, 3), nullptr);
    log().clear();
    info.save(nullptr, true, services.get());

    const int id = info.getContractValue(Info::cCONTRACT_ID).toInt();
    EXPECT_EQ(id, before + 1);
    EXPECT_FALSE(info.isNew());
    EXPECT_EQ(info.getServices(), services.get());
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1 and NOTE = 'з''їздив'").arg(id)),
              1);
    EXPECT_EQ(
        count(QStringLiteral("PENALTY_DEPOSITS where CONTRACT_ID = %1 and DEPOSIT_SUM = 80000").arg(id)), 1);
    EXPECT_EQ(count(QStringLiteral("SUBJECTS where ID_CONTRACT = %1").arg(id)), 2);
    EXPECT_EQ(info.getSubjects()->getContractId(), id);
    // Only the contract's own day is regenerated.
    EXPECT_EQ(log(), (std::vector<QString>{
                         QStringLiteral("save 0:-1 -> %1").arg(id), calc(day(5, 3)),
                         QStringLiteral("recalc 05.03.2009 EXPENSE_DEPOSIT no op 0:%1 rows=0").arg(id)}));
    EXPECT_EQ(hooks.recorder.depositSums, std::vector<int>{80000});
}

TEST_F(ContractSaveTest, AMovedContractRegeneratesItsOldDayWithoutThePayoutFirst) {
    struct Case {
        DateTime newDate;
        std::vector<QString> expected;
        std::vector<int> sums;
    };
    const int id = stored(day(5, 3));
    const std::vector<Case> cases = {
        {day(5, 3),
         {QStringLiteral("calc 05.03.2009 branch=%1").arg(branch),
          QStringLiteral("recalc 05.03.2009 EXPENSE_DEPOSIT no op no services rows=0")},
         {90000}},
        {day(7, 3),
         {QStringLiteral("services 0:%1 05.03.2009").arg(id),
          QStringLiteral("calc 05.03.2009 branch=%1").arg(branch),
          QStringLiteral("recalc 05.03.2009 EXPENSE_DEPOSIT no op 0:%1 rows=0").arg(id),
          QStringLiteral("drop 0:%1").arg(id), QStringLiteral("calc 07.03.2009 branch=%1").arg(branch),
          QStringLiteral("recalc 07.03.2009 EXPENSE_DEPOSIT no op no services rows=0")},
         {0, 90000}},
    };
    for (const Case& c : cases) {
        log().clear();
        hooks.recorder.depositSums.clear();
        Info info(id, nullptr);
        info.setContractValue(Info::cCONTRACT_DATE, c.newDate);
        info.setDepositValue(Info::dDEPOSIT_SUM, 90000);
        info.save(nullptr, true, nullptr);
        EXPECT_EQ(log(), c.expected);
        EXPECT_EQ(hooks.recorder.depositSums, c.sums);
        EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1 and CONTRACT_DATE = %2")
                            .arg(id)
                            .arg(lit(c.newDate))),
                  1);
    }
}

TEST_F(ContractSaveTest, InTheCallersTransactionNothingIsCommitted) {
    Info info(nullptr);
    fillNew(info, day(5, 3));
    info.save(change(), true, nullptr);
    const int id = info.getContractValue(Info::cCONTRACT_ID).toInt();
    EXPECT_EQ(hooks.recorder.transaction, change());
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1").arg(id)), 0);
    EXPECT_EQ(
        scalar(QStringLiteral("select count(*) as V from SUBJECTS where ID_CONTRACT = %1").arg(id), change())
            .toInt(),
        2);
    change()->rollback();
    EXPECT_EQ(count(QStringLiteral("SUBJECTS where ID_CONTRACT = %1").arg(id)), 0);
}

TEST_F(ContractSaveTest, AFailureAtAnyStepLeavesTheDatabaseUnchanged) {
    // Failures are injected by triggers that fire while a control row names their table.
    udb::execSql(QStringLiteral("create table TEST_FAIL_AT (WHAT varchar(31))"));
    udb::execSql(QStringLiteral("create exception E_TEST_FAIL 'injected failure'"));
    for (const char* table : {"PENALTY_CONTRACTS", "PENALTY_DEPOSITS", "SUBJECTS"}) {
        udb::execSql(
            QStringLiteral("create trigger TF_%1 for %1 before insert or update as begin if (exists(select 1 "
                           "from TEST_FAIL_AT where WHAT = '%1')) then exception E_TEST_FAIL; end")
                .arg(QString::fromLatin1(table)));
    }
    const int storedId = stored(day(5, 3));
    const int storedSum =
        scalar(QStringLiteral("select DEPOSIT_SUM as V from PENALTY_DEPOSITS where CONTRACT_ID = %1")
                   .arg(storedId))
            .toInt();
    const QStringList steps = {QStringLiteral("PENALTY_CONTRACTS"), QStringLiteral("PENALTY_DEPOSITS"),
                               QStringLiteral("SUBJECTS"), QStringLiteral("services"),
                               QStringLiteral("regeneration")};
    for (const bool isNew : {true, false}) {
        for (const QString& step : steps) {
            SCOPED_TRACE((step + (isNew ? " new" : " stored")).toStdString());
            udb::execSql(QStringLiteral("delete from TEST_FAIL_AT"));
            udb::execSql(QStringLiteral("insert into TEST_FAIL_AT values (%1)").arg(lit(step)));
            hooks.recorder.failSave = step == QStringLiteral("services");
            hooks.recorder.failRecalc = step == QStringLiteral("regeneration");
            const QString before = snapshot();

            std::unique_ptr<Info> info =
                isNew ? std::make_unique<Info>(nullptr) : std::make_unique<Info>(storedId, nullptr);
            if (isNew) {
                fillNew(*info, day(6, 3));
            } else {
                info->setContractValue(Info::cCONTRACT_DATE, day(9, 3));
                info->setDepositValue(Info::dDEPOSIT_SUM, 70000);
                addItem(*info, QStringLiteral("Годинник"), 10000, 5000);
                data::Dataset& items = *info->getSubjects()->getDataSet();
                items.first();
                items.remove();
            }
            std::unique_ptr<ServicesList> services =
                servicesFactory().create(astCONTRACT, -1, day(6, 3), nullptr);
            EXPECT_FALSE(errorText([&] { info->save(nullptr, true, services.get()); }).isEmpty());
            EXPECT_EQ(snapshot(), before);
            EXPECT_EQ(info->isNew(), isNew);

            // With the fault gone the same object saves whole.
            udb::execSql(QStringLiteral("delete from TEST_FAIL_AT"));
            hooks.recorder.failSave = hooks.recorder.failRecalc = false;
            info->save(nullptr, true, services.get());
            const int id = info->getContractValue(Info::cCONTRACT_ID).toInt();
            EXPECT_EQ(count(QStringLiteral("SUBJECTS where ID_CONTRACT = %1").arg(id)), 2);
            if (!isNew) {
                EXPECT_EQ(
                    count(QStringLiteral("PENALTY_DEPOSITS where CONTRACT_ID = %1 and DEPOSIT_SUM = 70000")
                              .arg(id)),
                    1);
                // Back to the stored state for the next step: a save writes only what changed, so the
                // terms must differ again for their step to be reached.
                udb::execSql(
                    QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_DATE = %1 where CONTRACT_ID = %2")
                        .arg(lit(day(5, 3)))
                        .arg(id));
                udb::execSql(
                    QStringLiteral("update PENALTY_DEPOSITS set DEPOSIT_SUM = %1 where CONTRACT_ID = %2")
                        .arg(storedSum)
                        .arg(id));
            }
        }
    }
}

TEST_F(ContractSaveTest, AConnectionLostWhileTheOrdersAreWrittenStoresNothing) {
    const QString before = snapshot();
    const QString onThatDay =
        QStringLiteral("PENALTY_CONTRACTS where CONTRACT_DATE = %1").arg(lit(day(7, 3)));
    const int stored = count(onThatDay);
    Info info(nullptr);
    fillNew(info, day(7, 3));
    hooks.recorder.closeConnection = true;
    EXPECT_FALSE(errorText([&] { info.save(nullptr, true, nullptr); }).isEmpty());
    hooks.recorder.closeConnection = false;
    TolvMain::getZarvelDb()->open();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(info.isNew());

    // A second try stores the contract once.
    info.save(nullptr, true, nullptr);
    EXPECT_EQ(count(onThatDay), stored + 1);
}

TEST_F(ContractSaveTest, AContractInAnActIsNotDeleted) {
    const int id = stored(day(5, 3));
    const int act = udb::genId(QStringLiteral("GEN_ACT_ID"));
    udb::execSql(QStringLiteral("insert into ACT (ID, NUM) values (%1, 'А-17')").arg(act));
    udb::execSql(
        QStringLiteral(
            "insert into ACT_SUBJ (ID, ID_ACT, ID_CONTRACT) values (gen_id(GEN_ACT_SUBJ_ID, 1), %1, %2)")
            .arg(act)
            .arg(id));
    const QString before = snapshot();
    Info info(id, nullptr);
    EXPECT_EQ(errorText([&] { info.remove(); }),
              QStringLiteral("Этот договор добавлен в акт №А-17. Удалите сначала договор из акта."));
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(log().empty());
}

TEST_F(ContractSaveTest, DeletingRegeneratesEveryDayTheContractTouched) {
    const int id = stored(day(5, 3));
    newOperation(id, {.date = day(5, 3), .sum = 10000});
    newOperation(id, {.date = day(12, 3), .sum = 10000});
    udb::execSql(
        QStringLiteral(
            "update PENALTY_CONTRACTS set CONTRACT_CLOSE = %1, CONTRACT_STATE = 1 where CONTRACT_ID = %2")
            .arg(lit(day(20, 3)))
            .arg(id));
    // Take-off-sale services: one on a day already collected, one on a day of its own, one inactive.
    const auto service = [](int active) {
        const int sid = udb::genId(QStringLiteral("GEN_DIR_ADD_SERVICES_ID"));
        udb::execSql(
            QStringLiteral(
                "insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT, IS_ACTIVE) values (%1, 'Зняття', 3, %2)")
                .arg(sid)
                .arg(active));
        return sid;
    };
    const int active = service(1), inactive = service(0);
    for (const auto& [sid, date] :
         {std::pair{active, day(12, 3)}, std::pair{active, day(25, 3)}, std::pair{inactive, day(27, 3)}}) {
        udb::execSql(
            QStringLiteral("insert into ADD_SERVICES (ID, ID_SERVICE, NAME, ID_OBJ, PRICE, DATA) values "
                           "(gen_id(GEN_ADD_SERVICES_ID, 1), %1, 'Зняття', %2, 500, %3)")
                .arg(sid)
                .arg(id)
                .arg(lit(date)));
    }

    Info info(id, nullptr);
    std::vector<DateTime> dates{day(12, 3)};
    info.addServiceDates(dates);
    EXPECT_EQ(dates, (std::vector<DateTime>{day(12, 3), day(25, 3)}));

    info.remove();
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1").arg(id)), 0);
    EXPECT_EQ(count(QStringLiteral("SUBJECTS where ID_CONTRACT = %1").arg(id)), 0);
    EXPECT_EQ(info.getDepositValue(Info::dDEPOSIT_SUM).toInt(), 0);
    std::vector<QString> days;
    for (const QString& line : log()) {
        if (line.startsWith(QStringLiteral("calc "))) days.push_back(line.mid(5, 10));
    }
    // The operation days, the contract day (again), the closing day, then the service day it lacked.
    EXPECT_EQ(days, (std::vector<QString>{QStringLiteral("05.03.2009"), QStringLiteral("12.03.2009"),
                                          QStringLiteral("05.03.2009"), QStringLiteral("20.03.2009"),
                                          QStringLiteral("25.03.2009")}));
    // One day in full: the five service lists (the closing one too), a regeneration with each, then
    // the lists go.
    const auto first = std::find(log().begin(), log().end(), calc(day(5, 3)));
    ASSERT_NE(first, log().end());
    std::vector<QString> expected{calc(day(5, 3))};
    for (int event = 0; event <= 4; ++event)
        expected.push_back(QStringLiteral("services %1:%2 05.03.2009").arg(event).arg(id));
    for (int event = 0; event <= 4; ++event) {
        expected.push_back(
            QStringLiteral("recalc 05.03.2009 DELETE_CONTRACT no op %1:%2 rows=0").arg(event).arg(id));
    }
    for (int event = 4; event >= 0; --event)
        expected.push_back(QStringLiteral("drop %1:%2").arg(event).arg(id));
    ASSERT_GE(std::distance(first, log().end()), static_cast<std::ptrdiff_t>(expected.size()));
    EXPECT_EQ(std::vector<QString>(first, first + expected.size()), expected);
    for (int sum : hooks.recorder.depositSums) EXPECT_EQ(sum, 0);
}

TEST_F(ContractSaveTest, AFailedDeleteLeavesTheContract) {
    const int id = stored(day(5, 3));
    hooks.recorder.failRecalc = true;
    const QString before = snapshot();
    Info info(id, nullptr);
    EXPECT_EQ(errorText([&] { info.remove(); }), QStringLiteral("касовий ордер не записано"));
    EXPECT_EQ(snapshot(), before);

    // In the contract's own transaction the caller decides.
    hooks.recorder.failRecalc = false;
    Info mine(id, change());
    mine.remove();
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1").arg(id)), 1);
    change()->commit();
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1").arg(id)), 0);
}

TEST_F(ContractSaveTest, TakingOffSale) {
    const int id = stored(day(5, 3));
    udb::execSql(
        QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_STATE = 3 where CONTRACT_ID = %1").arg(id));
    udb::execSql(
        QStringLiteral(
            "insert into TOSALE (CONTRACT_ID, AGENT_ID, TOSALE_SUM, TOSALE_DATE) values (%1, 1, 90000, %2)")
            .arg(id)
            .arg(lit(day(10, 4))));

    // A failure rolls back the caller's transaction too, and the object keeps its state.
    hooks.recorder.failRecalc = true;
    Info failing(id, nullptr);
    udb::execSql(QStringLiteral("update CLIENTS set CLIENT_NAME = 'Інший' where CLIENT_ID = %1").arg(client),
                 change());
    EXPECT_FALSE(errorText([&] { failing.takeOffSale(change()); }).isEmpty());
    EXPECT_FALSE(change()->inTransaction());
    EXPECT_EQ(failing.getContractValue(Info::cCONTRACT_STATE).toInt(), csONSALE);
    EXPECT_EQ(count(QStringLiteral("TOSALE where CONTRACT_ID = %1").arg(id)), 1);
    EXPECT_EQ(count(QStringLiteral("CLIENTS where CLIENT_NAME = 'Інший'")), 0);

    hooks.recorder.failRecalc = false;
    log().clear();
    Info info(id, nullptr);
    info.takeOffSale(nullptr);
    EXPECT_EQ(info.getContractValue(Info::cCONTRACT_STATE).toInt(), csOPENED);
    EXPECT_EQ(
        count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1 and CONTRACT_STATE = 0").arg(id)), 1);
    EXPECT_EQ(count(QStringLiteral("TOSALE where CONTRACT_ID = %1").arg(id)), 0);
    EXPECT_EQ(log(), (std::vector<QString>{
                         calc(day(5, 3)),
                         QStringLiteral("recalc 05.03.2009 EXPENSE_DEPOSIT no op no services rows=0")}));
}

// A register that records what it was asked to print.
struct RecordingRegister : KassRegister::FRMariya {
    DateTime date;
    bool answer = true;
    bool fail = false;
    int receipts = 0;
    QString contractNum;
    Lines pledge;
    ServiceLines services;

    bool printCreditCheck(const QString& number, Lines lines, const ServiceLines& serviceLines) override {
        ++receipts;
        if (fail) throw core::Exception(QStringLiteral("Фискальный регистратор не отвечает"));
        contractNum = number;
        pledge = std::move(lines);
        services = serviceLines;
        return answer;
    }
    DateTime getDate() const override { return date; }
};

class CreditReceiptTest : public ContractSaveTest {
protected:
    // The services of the loan as the editor's list holds them: id, name, price.
    std::unique_ptr<data::MemTable> servicesOf(const std::vector<std::pair<QString, int>>& rows) {
        auto table = std::make_unique<data::MemTable>();
        table->addField(QStringLiteral("ID_SERVICE"), data::DataType::Integer);
        table->addField(QStringLiteral("NAME"), data::DataType::String, 255);
        table->addField(QStringLiteral("PRICE"), data::DataType::Integer);
        table->open();
        int article = 100;
        for (const auto& [name, price] : rows) {
            const int sid = udb::genId(QStringLiteral("GEN_DIR_ADD_SERVICES_ID"));
            udb::execSql(
                QStringLiteral(
                    "insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT, ARTICLE_NUM) values (%1, %2, 0, %3)")
                    .arg(sid)
                    .arg(lit(name))
                    .arg(article++));
            table->append();
            table->fieldByName(QStringLiteral("ID_SERVICE")).setValue(sid);
            table->fieldByName(QStringLiteral("NAME")).setValue(name);
            table->fieldByName(QStringLiteral("PRICE")).setValue(price);
            table->post();
        }
        return table;
    }
};

TEST_F(CreditReceiptTest, NoReceiptWhenTheRegisterIsNotUsedOrItsDateDeclined) {
    Info info(nullptr);
    fillNew(info, day(5, 3));
    RecordingRegister fr;
    fr.date = day(6, 3);
    auto services = servicesOf({});
    {
        OwnSettingsFile ini("[FISCAL_MARIYA]\r\nFRisEnabled=0\r\n");
        EXPECT_TRUE(info.printCreditReceipt(fr, *services));
    }
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    dialogs.answers = {ui::ModalResult::No};
    OwnSettingsFile ini("[FISCAL_MARIYA]\r\nFRisEnabled=1\r\n");
    EXPECT_TRUE(info.printCreditReceipt(fr, *services));
    EXPECT_EQ(fr.receipts, 0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("Введенная дата не совпадает с текущей датой\nФискальный чек будет "
                             "напечатан с сегодняшней датой.\n\nПечатать чек?"));
    EXPECT_EQ(dialogs.shown[0].type, ui::MsgType::Warning);
    EXPECT_EQ(dialogs.shown[0].buttons, ui::Buttons(ui::Button::Yes) | ui::Button::No);
}

TEST_F(CreditReceiptTest, TheReceiptListsTheItemsAndTheServices) {
    Info info(nullptr);
    fillNew(info, day(5, 3));
    info.setContractValue(Info::cCONTRACT_NUM, QStringLiteral("3.09.17"));
    RecordingRegister fr;
    fr.date = day(5, 3);
    OwnSettingsFile ini("[FISCAL_MARIYA]\r\nFRisEnabled=1\r\n");
    std::vector<std::pair<QString, int>> rows;
    for (int i = 0; i < 11; ++i) rows.emplace_back(QStringLiteral("Послуга %1").arg(i), 100 * (i + 1));
    auto services = servicesOf(rows);

    EXPECT_TRUE(info.printCreditReceipt(fr, *services));
    EXPECT_EQ(fr.contractNum, QStringLiteral("3.09.17"));
    ASSERT_EQ(fr.pledge.size(), 2u);
    EXPECT_EQ(fr.pledge[0].name, QStringLiteral("комп'ютер"));
    EXPECT_EQ(fr.pledge[0].sum, 50000);
    EXPECT_EQ(fr.pledge[1].sum, 30000);
    // Keys order as texts ("10_..." before "1_..."): the service numbered 10 comes before the one
    // numbered 2.
    ASSERT_EQ(fr.services.size(), 11u);
    QStringList order;
    for (const auto& [key, line] : fr.services) order << line.name;
    EXPECT_EQ(order.mid(0, 4), (QStringList{QStringLiteral("Послуга 0"), QStringLiteral("Послуга 10"),
                                            QStringLiteral("Послуга 1"), QStringLiteral("Послуга 2")}));
    const auto& tenth = *std::next(fr.services.begin(), 1);
    EXPECT_TRUE(tenth.first.startsWith(QStringLiteral("10_")));
    EXPECT_EQ(tenth.second.sum, 1100);
    EXPECT_EQ(tenth.second.article, 110);

    fr.answer = false;
    EXPECT_FALSE(info.printCreditReceipt(fr, *services));
    fr.fail = true;
    EXPECT_EQ(errorText([&] { info.printCreditReceipt(fr, *services); }),
              QStringLiteral("Фискальный регистратор не отвечает"));
}

}  // namespace

namespace {

// The loan issue of a stored contract on a register over a serial line, closed as the payment
// dialog's OK closes a pay-out.
TEST_F(CreditReceiptTest, AStoredContractPrintsItsLoanIssueOnTheRegister) {
    frsim::RegisterSimulator sim;
    frtest::ScriptedForms forms;
    forms.payCash = 0;
    KassRegister::FiscalRegister::setDialogs(&forms);
    KassRegister::FRMariya fr;
    frtest::openOnSimulator(fr, sim);

    int id = 0;
    {
        Info info(nullptr);
        fillNew(info, DateTime::encode(2026, 3, 15));
        info.setContractValue(Info::cCONTRACT_NUM, QStringLiteral("3.26.1"));
        info.save(nullptr, false, nullptr);
        id = info.getContractValue(Info::cCONTRACT_ID).toInt();
    }
    Info info(id, nullptr);
    auto services = servicesOf({{QStringLiteral("Оцінка"), 2500}});
    {
        OwnSettingsFile ini("[FISCAL_MARIYA]\r\nFRisEnabled=0\r\n");
        sim.clearLog();
        EXPECT_TRUE(info.printCreditReceipt(fr, *services));
        EXPECT_TRUE(sim.log().isEmpty());
    }
    OwnSettingsFile ini("[FISCAL_MARIYA]\r\nFRisEnabled=1\r\n");
    sim.clearLog();
    EXPECT_TRUE(info.printCreditReceipt(fr, *services));
    const QStringList log = sim.log();
    ASSERT_EQ(log.size(), 11) << log.join(QLatin1Char('|')).toStdString();
    // The register's code page has no Ukrainian і: it goes as the Latin i.
    EXPECT_EQ(log.mid(0, 4), (QStringList{"CONf", "CANC", "PREP01", "FINFДог.N 3.26.1 Оцiнка"}));
    EXPECT_TRUE(log[4].startsWith(QStringLiteral("FISCДОД.ПОСЛУГИ 000002500")));
    EXPECT_EQ(log[5], QStringLiteral("FINFДог.N 3.26.1 комп'ютер"));
    EXPECT_TRUE(log[6].startsWith(QStringLiteral("BFISПОЗИКА      000050000")));
    EXPECT_TRUE(log[6].endsWith(QStringLiteral("0001")));
    EXPECT_TRUE(log[8].startsWith(QStringLiteral("BFISПОЗИКА      000030000")));
    EXPECT_EQ(log[9], QStringLiteral("COMP00000025000000080000") + QString(40, QLatin1Char('0')));
    EXPECT_EQ(log[10], QStringLiteral("KASS"));
    ASSERT_EQ(forms.paymentLines.size(), 3u);
    EXPECT_EQ(forms.paymentLines[0].sum, 2500);
    EXPECT_EQ(forms.paymentLines[1].name, QStringLiteral("ПОЗИКА - комп'ютер"));
    KassRegister::FiscalRegister::setDialogs(nullptr);
}

}  // namespace
