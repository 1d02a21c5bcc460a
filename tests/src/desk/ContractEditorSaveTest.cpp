#include <gtest/gtest.h>

#include <QDir>

#include "Warrantcalculation.h"
#include "platform/fb/Database.h"
#include "platform/os/IniFile.h"
#include "tests/KVLib/uFiscalRegister/RegisterFixture.h"
#include "tests/src/desk/EditorRows.h"
#include "tests/support/ErrorText.h"
#include "u_filials.h"

using namespace desktest;
using namespace TolvLogic;
using Contract = TolvLogic::TPenaltyContractInfo;
using F = TolvLogic::ContractFieldError;

namespace {

using tolvtest::errorText;

const QString kServicesSuffix = QStringLiteral("доп.услуги");

// The transaction's commit fails while the mark is set.
void markCommitFault(fb::Transaction* t, bool on) {
    ufb::AutoQuery q(QStringLiteral("select rdb$set_context('USER_TRANSACTION', 'FAULT', %1) as V from "
                                    "rdb$database")
                         .arg(on ? QStringLiteral("'commit'") : QStringLiteral("NULL")),
                     t);
    q->open();
}

// Faults of the writes only a contract save makes: the counter's advance, the contract and its items.
void plantContractFaults() {
    plantFaults();
    if (scalar(QStringLiteral("select count(*) as V from RDB$TRIGGERS where RDB$TRIGGER_NAME = "
                              "'TEST_FAULT_ADVANCE'"))
            .toInt() > 0) {
        return;
    }
    const struct {
        const char* name;
        const char* table;
        const char* fault;
    } triggers[] = {{"TEST_FAULT_ADVANCE", "DIR_FILIAL", "advance"},
                    {"TEST_FAULT_NEWCNTR", "PENALTY_CONTRACTS", "contract"},
                    {"TEST_FAULT_ITEMS", "SUBJECTS", "items"}};
    for (const auto& t : triggers) {
        udb::execSql(
            QStringLiteral("create trigger %1 for %2 before insert or update position 91 as begin if "
                           "(rdb$get_context('USER_SESSION', 'FAULT') = '%3') then exception "
                           "TEST_FAULT; end")
                .arg(QString::fromLatin1(t.name), QString::fromLatin1(t.table),
                     QString::fromLatin1(t.fault)));
    }
}

class ContractSaveFlowTest : public EditorSuite {
protected:
    int counter() const {
        return scalar(
                   QStringLiteral("select ORDER_NUM_AUTOINC as V from DIR_FILIAL where ID = %1").arg(branch))
            .toInt();
    }
    static int contracts() { return count(QStringLiteral("PENALTY_CONTRACTS")); }
};

struct CheckCase {
    const char* name;
    std::function<void(ContractEditor&)> change;
    F::Field field;
    QString text;
};

TEST_F(ContractSaveFlowTest, EachCheckRefusesWithItsTextAndField) {
    const int imported = newBranch(8, QStringLiteral("Імпорт"), true);
    const auto noItems = [](ContractEditor& e) {
        data::Dataset& ds = *e.contract()->getSubjects()->getDataSet();
        while (ds.recordCount() > 0) {
            ds.first();
            ds.remove();
        }
    };
    const std::vector<CheckCase> cases = {
        {"1 number", [](ContractEditor& e) { e.setNumber(QStringLiteral(" \t ")); }, F::fNumber,
         QStringLiteral("Не указан номер договора")},
        {"2 date", [](ContractEditor& e) { e.setDate(DateTime()); }, F::fDate,
         QStringLiteral("Не указана дата договора")},
        {"3 client", [](ContractEditor& e) { e.setClient(-1, QStringLiteral("  ")); }, F::fClient,
         QStringLiteral("Не выбран клиент")},
        {"4 importing branch", [imported](ContractEditor& e) { e.setFilial(imported); }, F::fFilial,
         QStringLiteral("Нельзя создавать договора для филиала, из которого разрешён импорт")},
        {"5 no items", noItems, F::fSubjects, QStringLiteral("Не указан ни один предмет залога")},
        {"9 no rate",
         [](ContractEditor& e) {
             e.setStorage(1, 5, 0, true);
             e.setPerc(0);
         },
         F::fPerc, QStringLiteral("Не указана процентная ставка.")},
        {"10 no penalty",
         [](ContractEditor& e) {
             e.setCalcPercWithPenalty(false);
             e.setPenaltyPerc(0);
         },
         F::fPenaltyPerc,
         QStringLiteral(
             "При выключенной опции \"Начислять проценты при начислении пени\"\nнеобходимо указать "
             "процентную ставку пени")},
        {"11 storage without penalty",
         [](ContractEditor& e) {
             e.setStorage(1, 5, 0, false);
             e.setPenaltyPerc(0);
         },
         F::fPenaltyPerc,
         QStringLiteral(
             "При выключенной опции хранения \"Учитывать хранение при начислении пени\"\nнеобходимо "
             "указать процентную ставку пени")},
        {"12 dollar", [](ContractEditor& e) { e.setDollarPrice(0); }, F::fDollarPrice,
         QStringLiteral("Не указан курс доллара")},
        {"13 place", [](ContractEditor& e) { e.setPlace(-1); }, F::fPlace,
         QStringLiteral("Не указано место нахождения залога")},
        {"15 term",
         [](ContractEditor& e) {
             // Storage only: a term of 0 leaves no whole-term rate, which a loan would need first.
             e.setStorage(1, 5, 0, true);
             e.setDepositSum(0);
             e.setTermText(QStringLiteral("0"));
         },
         F::fPenaltyDays, QStringLiteral("Не указана длительность договора")},
    };
    const QString before = contractTables();
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto e = filled();
        c.change(*e);
        try {
            e->save();
            ADD_FAILURE() << "saved";
        } catch (const F& error) {
            EXPECT_EQ(error.message(), c.text);
            EXPECT_EQ(error.field(), c.field);
        }
        EXPECT_TRUE(e->services()->isRecalcEnabled()) << "repricing is back on";
        EXPECT_EQ(contractTables(), before);
    }
}

TEST_F(ContractSaveFlowTest, AnItemWithoutANameStopsTheSaveWithTheListsMessage) {
    auto e = filled();
    data::Dataset& ds = *e->contract()->getSubjects()->getDataSet();
    ds.first();
    ds.edit();
    ds.fieldByName(QStringLiteral("NAME")).setValue(QString());
    ds.post();
    const QString before = contractTables();
    EXPECT_EQ(e->save(), ContractEditor::SaveResult::NotWritten);
    EXPECT_FALSE(boxes.shown.empty());
    EXPECT_EQ(contractTables(), before);
}

TEST_F(ContractSaveFlowTest, AStorageOnlyContractPassesAndATypedNumberIsSavedTrimmed) {
    auto e = filled();
    e->setPerc(0);
    e->setDepositSum(0);
    e->setStorage(1, 5, 0, true);
    e->setNumber(QStringLiteral("  77.1 \t"));
    ASSERT_EQ(e->save(), ContractEditor::SaveResult::Saved);
    EXPECT_EQ(scalar(QStringLiteral("select '[' || CONTRACT_NUM || ']' as V from PENALTY_CONTRACTS where "
                                    "CONTRACT_ID = %1")
                         .arg(e->savedContractId()))
                  .toText(),
              QStringLiteral("[77.1]"));
    EXPECT_EQ(scalar(QStringLiteral("select STORAGE_SUM as V from PENALTY_DEPOSITS where CONTRACT_ID = %1")
                         .arg(e->savedContractId()))
                  .toInt(),
              500);
}

TEST_F(ContractSaveFlowTest, ATakenNumberAsksAndRenumbersOnYesSavingNothing) {
    newContract({.clientId = client, .number = QStringLiteral("1.24.99"), .filialId = branch});
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        auto e = filled();
        e->setNumber(QStringLiteral("1.24.99"));
        const QString before = contractTables();
        const int counterBefore = counter();
        boxes.answers = {yes ? ui::ModalResult::Yes : ui::ModalResult::No};
        EXPECT_EQ(e->save(), ContractEditor::SaveResult::NotWritten);
        EXPECT_EQ(
            boxes.shown.back().text,
            QStringLiteral("Заданный номер договора уже существует.\nСгенерировать новый номер договора?"));
        EXPECT_EQ(contractTables(), before);
        if (!yes) {
            EXPECT_EQ(e->number(), QStringLiteral("1.24.99"));
            continue;
        }
        EXPECT_EQ(counter(), counterBefore + 1);
        EXPECT_NE(e->number(), QStringLiteral("1.24.99"));
        const QString renumbered = e->number();
        const int contractsBefore = contracts();
        ASSERT_EQ(e->save(), ContractEditor::SaveResult::Saved);
        EXPECT_EQ(contracts(), contractsBefore + 1);
        EXPECT_EQ(
            scalar(QStringLiteral("select CONTRACT_NUM as V from PENALTY_CONTRACTS where CONTRACT_ID = %1")
                       .arg(e->savedContractId()))
                .toText(),
            renumbered);
    }
}

TEST_F(ContractSaveFlowTest, YearlyNumberingReusesANumberInAnotherYear) {
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("ResetContractNumOn_"), 1);
    newContract({.clientId = client,
                 .date = DateTime::encode(2023, 6, 1),
                 .number = QStringLiteral("A-1"),
                 .filialId = branch});
    auto e = filled();
    e->setNumber(QStringLiteral("A-1"));
    EXPECT_EQ(e->save(), ContractEditor::SaveResult::Saved);
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("ResetContractNumOn_"), 0);
}

TEST_F(ContractSaveFlowTest, ANewContractIsStoredWholeInOneCommitAfterTheCounterAdvanced) {
    WarrantCalculationManager::setCalculationMethod(2);
    newService(QStringLiteral("Оцінка"), astCONTRACT, QStringLiteral("25"), true, 91);
    // Past every number the other tests of the branch stored.
    udb::execSql(QStringLiteral("update DIR_FILIAL set ORDER_NUM_AUTOINC = 500 where ID = %1").arg(branch));
    RecordingRegister fr;
    fr.date = kStart;
    auto e = filled(kStart, &fr);
    const QString proposed = e->number();
    const int counterBefore = counter();
    const int contractsBefore = contracts();
    bool checkedBeforeCommit = false;
    e->beforeCommit = [&] {
        // Nothing of the contract is visible to others yet; the counter is, already advanced.
        EXPECT_EQ(contracts(), contractsBefore);
        EXPECT_EQ(counter(), counterBefore + 1);
        checkedBeforeCommit = true;
    };
    ASSERT_EQ(e->save(), ContractEditor::SaveResult::Saved);
    EXPECT_TRUE(checkedBeforeCommit);
    const int id = e->savedContractId();
    EXPECT_EQ(e->number(), proposed) << "the counter taken is the one proposed";
    EXPECT_EQ(count(QStringLiteral("PENALTY_DEPOSITS where CONTRACT_ID = %1 and DEPOSIT_SUM = 80000 and "
                                   "PENALTY_DAYS = 30 and DEPOSIT_PERC = 1500 and PENALTY_PERC = 100")
                        .arg(id)),
              1);
    EXPECT_EQ(count(QStringLiteral("SUBJECTS where ID_CONTRACT = %1").arg(id)), 2);
    EXPECT_EQ(storedServices(id, astCONTRACT), QStringLiteral("Оцінка:2500"));
    EXPECT_GE(count(QStringLiteral("WARRANTES where W_TYPE = 1 and W_DATE = %1").arg(lit(kStart))), 1);
    EXPECT_EQ(fr.calls, QStringList{QStringLiteral("credit %1 50000+30000").arg(proposed)});
    EXPECT_EQ(e->save(), ContractEditor::SaveResult::Saved) << "a second Save stores nothing more";
    EXPECT_EQ(contracts(), contractsBefore + 1);
    const os::IniFile ini(utl::SettingsFile::userIniFileName());
    EXPECT_EQ(ini.readInt(QStringLiteral("PenaltyOrderEditForm"), QStringLiteral("defaultPenaltyDays"), 0),
              30);
    EXPECT_EQ(ini.readInt(QStringLiteral("PenaltyOrderEditForm"), QStringLiteral("defaultIdStorePlace"), 0),
              place);
    WarrantCalculationManager::setCalculationMethod(1);
}

struct Fault {
    const char* name;
    QString session;  // the session's fault mark
    RecordingRegister::Fail register_ = RecordingRegister::Fail::None;
    bool commit = false;
    bool advances = true;  // the counter moved before the fault
};

TEST_F(ContractSaveFlowTest, AFailureAtAnyStepLeavesTheDatabaseAndTheDialogAsTheyWere) {
    WarrantCalculationManager::setCalculationMethod(2);
    plantContractFaults();
    newService(QStringLiteral("Оцінка"), astCONTRACT, QStringLiteral("25"), true, 91);
    using R = RecordingRegister::Fail;
    const std::vector<Fault> faults = {
        {"advance", QStringLiteral("advance"), R::None, false, false},
        {"contract", QStringLiteral("contract")},
        {"items", QStringLiteral("items")},
        {"services", QStringLiteral("services")},
        {"cash orders", QStringLiteral("warrant")},
        {"refused receipt", QString(), R::Refuse},
        {"register error", QString(), R::Error},
        {"commit", QString(), R::None, true},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.name);
        RecordingRegister fr;
        fr.date = kStart;
        auto e = filled(kStart, &fr);
        const QString number = e->number();
        const QString before = contractTables();
        const int counterBefore = counter();
        const int contractsBefore = contracts();
        setFault(f.session, 1);
        fr.fail = f.register_;
        if (f.commit) e->beforeCommit = [&] { markCommitFault(e->transaction(), true); };

        QString error;
        try {
            if (e->save() == ContractEditor::SaveResult::Saved) ADD_FAILURE() << "saved";
        } catch (const core::Exception& x) {
            error = x.message();
        }
        if (f.commit) {
            EXPECT_TRUE(error.startsWith(QStringLiteral("Фискальный чек напечатан, но договор не сохранён")))
                << error.toStdString();
        }
        EXPECT_EQ(contractTables(), before);
        EXPECT_EQ(counter(), counterBefore + (f.advances ? 1 : 0));
        EXPECT_TRUE(e->contract()->isNew());
        EXPECT_EQ(e->number(), number);
        EXPECT_EQ(e->depositSum(), 80000);
        EXPECT_EQ(shownServices(*e->services()), QStringLiteral("Оцінка:2500"));
        EXPECT_TRUE(e->services()->isRecalcEnabled());

        setFault(QString());
        fr.fail = R::None;
        if (f.commit) {
            markCommitFault(e->transaction(), false);
            e->beforeCommit = [] {};
        }
        ASSERT_EQ(e->save(), ContractEditor::SaveResult::Saved);
        EXPECT_EQ(contracts(), contractsBefore + 1);
        EXPECT_EQ(count(QStringLiteral("SUBJECTS where ID_CONTRACT = %1").arg(e->savedContractId())), 2);
        EXPECT_EQ(storedServices(e->savedContractId(), astCONTRACT), QStringLiteral("Оцінка:2500"));
    }
    WarrantCalculationManager::setCalculationMethod(1);
}

// Two workstations with their dialogs open: the proposed number is taken afresh from the counter, and a
// typed number stored meanwhile on another connection refuses the save.
TEST_F(ContractSaveFlowTest, TwoWorkstationsNeverStoreOneNumber) {
    auto a = filled();
    auto b = filled();
    ASSERT_EQ(a->number(), b->number());
    ASSERT_EQ(b->save(), ContractEditor::SaveResult::Saved);
    ASSERT_EQ(a->save(), ContractEditor::SaveResult::Saved);
    EXPECT_NE(a->number(), b->number());
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_NUM = %1").arg(lit(a->number()))), 1);

    auto c = filled();
    c->setNumber(QStringLiteral("T-5"));
    c->beforeWrite = [&] {
        fb::Database second(testDb().path());
        second.open();
        auto t = udb::createTransaction(&second);
        t->start();
        newContract({.clientId = client, .number = QStringLiteral("T-5"), .filialId = branch}, t.get());
        t->commit();
    };
    const int contractsBefore = contracts();
    boxes.answers = {ui::ModalResult::No};
    EXPECT_EQ(c->save(), ContractEditor::SaveResult::NotWritten);
    EXPECT_EQ(boxes.shown.back().text,
              QStringLiteral("Заданный номер договора уже существует.\nСгенерировать новый номер договора?"));
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_NUM = 'T-5'")), 1);
    EXPECT_EQ(contracts(), contractsBefore + 1) << "only the other workstation's contract";
    EXPECT_TRUE(c->contract()->isNew());
}

TEST_F(ContractSaveFlowTest, AnUnwritablePerUserFileIsToldAndTheContractStays) {
    // A folder where the file should be: nothing can be written there.
    ASSERT_TRUE(QDir().mkpath(utl::SettingsFile::userIniFileName()));
    auto e = filled();
    ASSERT_EQ(e->save(), ContractEditor::SaveResult::Saved);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_TRUE(boxes.shown.back().text.startsWith(QStringLiteral("Договор сохранён, но настройки")));
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1").arg(e->savedContractId())), 1);
    QDir(utl::SettingsFile::userIniFileName()).removeRecursively();
}

TEST_F(ContractSaveFlowTest, AChangeOfAStoredContractWritesNoDefaultsAndAForcedOneDropsTheCheckpoints) {
    plantContractFaults();
    const int contract =
        newPaymentContract({.number = QStringLiteral("5.24.7"),
                            .depositType = TDepositTypes::scGetIdByCode(QStringLiteral("TECH"))});
    udb::execSql(QStringLiteral("update PENALTY_DEPOSITS set DEPOSIT_PLACE = %1, DOLLAR_PRICE = 10000, "
                                "SUBJECT_PRICE = 150000 where CONTRACT_ID = %2")
                     .arg(place)
                     .arg(contract));
    udb::execSql(
        QStringLiteral("insert into SUBJECTS (ID, ID_CONTRACT, NAME, ITEMS_COUNT, PRICE, DEPOSIT_SUM) "
                       "values (gen_id(GEN_SUBJECTS_ID, 1), %1, 'Ноутбук', 1, 150000, 100000)")
            .arg(contract));
    newOperation(contract, {.date = kStart.addDays(5), .sum = 1000, .rest = 5});
    const QString rests =
        QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1 and OP_REST_BASE is not null").arg(contract);
    const auto forced = [&] {
        auto e = editor();
        e->loadContract(contract, kStart);
        boxes.answers = {ui::ModalResult::Yes};
        EXPECT_TRUE(e->confirmForcedEdit());
        e->setNote(QStringLiteral("змінено"));
        return e;
    };
    {
        setFault(QStringLiteral("insert"));
        auto e = forced();
        const QString before = contractTables();
        EXPECT_FALSE(errorText([&] { e->save(); }).isEmpty());
        EXPECT_EQ(contractTables(), before);
        EXPECT_EQ(count(rests), 1) << "nothing is committed";
        EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where NOTE = 'змінено'")), 0);
        setFault(QString());
    }
    auto e = forced();
    ASSERT_EQ(e->save(), ContractEditor::SaveResult::Saved);
    EXPECT_EQ(count(rests), 0);
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where NOTE = 'змінено'")), 1);
    EXPECT_FALSE(os::IniFile(utl::SettingsFile::userIniFileName())
                     .sectionExists(QStringLiteral("PenaltyOrderEditForm")));
}

TEST_F(ContractSaveFlowTest, ADifferingRegisterDateAnsweredNoSavesWithoutAReceipt) {
    RecordingRegister fr;
    fr.date = kStart.addDays(1);
    auto e = filled(kStart, &fr);
    boxes.answers = {ui::ModalResult::No};
    ASSERT_EQ(e->save(), ContractEditor::SaveResult::Saved);
    EXPECT_TRUE(fr.calls.isEmpty());
    EXPECT_EQ(count(QStringLiteral("PENALTY_CONTRACTS where CONTRACT_ID = %1").arg(e->savedContractId())), 1);
}

// The loan issue of a new contract over a serial line.
TEST_F(ContractSaveFlowTest, ANewContractPrintsItsLoanIssueOnTheRegister) {
    newService(QStringLiteral("Оцінка"), astCONTRACT, QStringLiteral("25"), true, 91);
    frsim::RegisterSimulator sim;
    frtest::ScriptedForms forms;
    forms.payCash = 0;
    KassRegister::FiscalRegister::setDialogs(&forms);
    KassRegister::FRMariya fr;
    frtest::openOnSimulator(fr, sim);
    const DateTime day = DateTime::encode(2026, 3, 15);  // the register's date
    auto e = filled(day, &fr);
    sim.clearLog();
    ASSERT_EQ(e->save(), ContractEditor::SaveResult::Saved);
    const QString all = sim.log().join(u'|');
    EXPECT_TRUE(all.contains(QStringLiteral("FINFДог.N ") + e->number())) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("BFISПОЗИКА      000050000"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("BFISПОЗИКА      000030000"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("FISCДОД.ПОСЛУГИ 000002500"))) << all.toStdString();
    KassRegister::FiscalRegister::setDialogs(nullptr);
}

}  // namespace
