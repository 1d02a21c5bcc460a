#include <gtest/gtest.h>

#include <algorithm>

#include "PenaltyOperations.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/os/IniFile.h"
#include "tests/KVLib/uFiscalRegister/RegisterFixture.h"
#include "tests/src/desk/PaymentRows.h"
#include "tests/support/ErrorText.h"

using namespace desktest;
using namespace TolvLogic;
using Op = TolvLogic::TPenaltyOperationInfo;

namespace {

using Kind = OperationKind;
using tolvtest::errorText;

class OperationPaymentTest : public PaymentSuite {};

// The dialog's transaction fails its commit while the mark is set.
void markCommitFault(OperationPayment& p, bool on) {
    ufb::AutoQuery q(QStringLiteral("select rdb$set_context('USER_TRANSACTION', 'FAULT', %1) as V from "
                                    "rdb$database")
                         .arg(on ? QStringLiteral("'commit'") : QStringLiteral("NULL")),
                     p.transaction());
    q->open();
}

struct SplitCase {
    const char* name;
    double sum;
    int kind;
    DebtSums parts;  // base, perc, penalty, storage
    int kindAfter;
    QString base, penalty, perc, total;  // empty: not checked
};

// The debt of the contract is 1000.00 principal, 150.00 interest, 20.00 penalty and 10.00 storage.
TEST_F(OperationPaymentTest, TheSumSplitsOverTheDebtsInOrder) {
    const int contract = newPaymentContract();
    const std::vector<SplitCase> cases = {
        {"below the penalty",
         15.00,
         okREPAY,
         {0, 0, 1500, 0},
         okREPAY,
         "1000 (-0)",
         "5 (-15)",
         "",
         "1165 (-15)"},
        {"into the interest",
         100.00,
         okREPAY,
         {0, 8000, 2000, 0},
         okREPAY,
         "",
         "",
         "70 (-80)",
         "1080 (-100)"},
        {"the charges: a re-pledge",
         180.00,
         okREPAY,
         {0, 15000, 2000, 1000},
         okREPLEDGE,
         "1000 (-0)",
         "",
         "",
         "1000 (-180)"},
        {"a hundredth more: a repayment",
         180.01,
         okREPLEDGE,
         {1, 15000, 2000, 1000},
         okREPAY,
         "999.99 (-0.01)",
         "",
         "",
         ""},
        {"the whole debt",
         1180.00,
         okREPAY,
         {100000, 15000, 2000, 1000},
         okREPAY,
         "0 (-1000)",
         "0 (-20)",
         "0 (-150)",
         "0 (-1180)"},
        {"above the debt",
         1300.00,
         okREPAY,
         {112000, 15000, 2000, 1000},
         okREPAY,
         "-120 (-1120)",
         "",
         "",
         ""},
        {"a negative sum is taken positive",
         -100.00,
         okREPAY,
         {0, 8000, 2000, 0},
         okREPAY,
         "",
         "",
         "70 (-80)",
         ""},
        {"an increase",
         250.00,
         okINCREASE,
         {-25000, 0, 0, 0},
         okINCREASE,
         "1250 (+250)",
         "20 (+0)",
         "",
         "1430 (+250)"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = payment();
        p->open(contract, -1, kDebtDay, nullptr);
        EXPECT_EQ(p->debt(), (DebtSums{100000, 15000, 2000, 1000, p->debt().debtDays}));
        p->setKind(c.kind);
        p->setSum(c.sum);
        EXPECT_EQ(p->opSums().base, c.parts.base);
        EXPECT_EQ(p->opSums().perc, c.parts.perc);
        EXPECT_EQ(p->opSums().penalty, c.parts.penalty);
        EXPECT_EQ(p->opSums().storage, c.parts.storage);
        EXPECT_EQ(p->kind(), c.kindAfter);
        const DebtLabels l = p->labels();
        if (!c.base.isEmpty()) EXPECT_EQ(l.base, c.base);
        if (!c.penalty.isEmpty()) EXPECT_EQ(l.penalty, c.penalty);
        if (!c.perc.isEmpty()) EXPECT_EQ(l.perc, c.perc);
        if (!c.total.isEmpty()) EXPECT_EQ(l.total, c.total);
    }
}

TEST_F(OperationPaymentTest, TheWholeDebtBringsTheClosingDocumentsAndServices) {
    newService(QStringLiteral("Закриття"), astCLOSE, QStringLiteral("3"), true, 93);
    const int contract = newPaymentContract();
    auto p = payment();
    p->open(contract, -1, kDebtDay, nullptr);
    EXPECT_EQ(p->services()->getEvent(), astOP_PAY);
    p->setSum(1180.00);
    EXPECT_EQ(p->kind(), okREPAY);
    EXPECT_EQ(p->documentKind(), okCLOSE);
    EXPECT_EQ(p->services()->getEvent(), astCLOSE);
    EXPECT_EQ(shownServices(*p->services()), QStringLiteral("Закриття:300"));
    p->setSum(1179.99);
    EXPECT_EQ(p->documentKind(), okREPAY);
    EXPECT_EQ(p->services()->getEvent(), astOP_PAY);
}

TEST_F(OperationPaymentTest, AnIncreaseIsPaidOut) {
    const int contract = newPaymentContract();
    auto p = payment();
    p->open(contract, -1, kDebtDay, nullptr);
    p->setKind(okINCREASE);
    p->setSum(250.00);
    EXPECT_EQ(p->operationTotalCaption(), QStringLiteral("Итого к выдаче "));
    EXPECT_EQ(p->operationTotalValue(), QStringLiteral("250.00"));
    EXPECT_EQ(p->note(), QStringLiteral("Увеличение основной суммы"));
}

TEST_F(OperationPaymentTest, WithoutChargesTheBaseLabelShowsThePart) {
    const int contract = newPaymentContract({.set = QStringLiteral("DEPOSIT_PERC = 0, PENALTY_PERC = 0")});
    auto p = payment();
    p->open(contract, -1, kStart.addDays(5), nullptr);
    p->setSum(200.00);
    EXPECT_EQ(p->labels().base, QStringLiteral("800 (-200)"));
    p->setKind(okINCREASE);
    p->setSum(500.00);
    EXPECT_EQ(p->labels().base, QStringLiteral("1500 (+500)"));
}

TEST_F(OperationPaymentTest, Kinds) {
    const int contract = newPaymentContract();
    {
        auto p = payment();
        p->open(contract, -1, kDebtDay, nullptr);
        p->setKind(okCLOSE);
        EXPECT_FALSE(p->sumEnabled());
        EXPECT_EQ(p->sum(), 118000);
        p->setSum(5.00);
        EXPECT_EQ(p->sum(), 118000) << "the closing sum is the whole debt";
        EXPECT_EQ(errorText([&] { p->setKind(4); }), QStringLiteral("Неизвестный тип операции"));
    }
    os::IniFile(utl::SettingsFile::userIniFileName())
        .writeInt(QStringLiteral("PenaltyOpEditForm"), QStringLiteral("opVid"), okINCREASE);
    {
        auto p = payment();
        p->open(contract, -1, kDebtDay, nullptr);
        EXPECT_EQ(p->kind(), okREPAY) << "a remembered increase opens as a repayment";
        EXPECT_TRUE(p->canIncrease());
    }
    const int indexed =
        newPaymentContract({.set = QStringLiteral("IS_USD_EXCHANGE = 1, DOLLAR_PRICE = 10000")});
    auto p = payment();
    p->open(indexed, -1, kDebtDay, nullptr);
    EXPECT_FALSE(p->canIncrease()) << "an indexed contract has no increase, even for a manager";
}

// A service priced by the days of use; the contract of 01.03.2024 paid on 15.04.2024.
TEST_F(OperationPaymentTest, DaysOfUseFollowTheCurrentDaySwitchInEveryEvent) {
    newService(QStringLiteral("Днi"), astOP_PAY, QStringLiteral("PENALTY_DAYS_CUR"), true, 91);
    newService(QStringLiteral("Днi закриття"), astCLOSE, QStringLiteral("PENALTY_DAYS_CUR"), true, 92);
    const int contract = newPaymentContract({.start = DateTime::encode(2024, 3, 1)});
    auto p = payment();
    p->open(contract, -1, DateTime::encode(2024, 4, 15), nullptr);
    p->setIncludeCurDay(true);
    EXPECT_EQ(shownServices(*p->services()), QStringLiteral("Днi:4600"));
    p->setIncludeCurDay(false);
    EXPECT_EQ(shownServices(*p->services()), QStringLiteral("Днi:4500"));
    p->setKind(okCLOSE);
    EXPECT_EQ(shownServices(*p->services()), QStringLiteral("Днi закриття:4500"));
}

TEST_F(OperationPaymentTest, ChecksBeforeSaving) {
    const int contract = newPaymentContract();
    const int last = newOperation(contract, {.date = kStart.addDays(10), .perc = 100});
    const int noClient = newPaymentContract({.clientId = -1});
    const int noNumber = newPaymentContract({.number = QStringLiteral("  ")});
    struct Case {
        const char* name;
        int contract;
        DateTime date;
        double sum;
        QString error;  // empty: passes
        OperationFieldError::Field field = OperationFieldError::fNumber;
    };
    const std::vector<Case> cases = {
        {"no number", noNumber, kDebtDay, 10, "Не выбран договор", OperationFieldError::fNumber},
        {"no client", noClient, kDebtDay, 10, "Не выбран клиент", OperationFieldError::fClient},
        {"no sum", contract, kDebtDay, 0, "Не указана сумма операции", OperationFieldError::fSum},
        {"before the last operation", contract, kStart.addDays(9), 10,
         "Операцию можно сохранить только в том случае, если она \nбудет последней по дате (нельзя добавить "
         "операцию \nв середину списка операций)",
         OperationFieldError::fDate},
        {"on the last operation's day", contract, kStart.addDays(10), 10, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = payment();
        p->open(c.contract, -1, c.date, nullptr);
        p->setSum(c.sum);
        if (c.error.isEmpty()) {
            EXPECT_NO_THROW(p->validate());
            continue;
        }
        try {
            p->validate();
            ADD_FAILURE() << "passed";
        } catch (const OperationFieldError& e) {
            EXPECT_EQ(e.message(), c.error);
            EXPECT_EQ(e.field(), c.field);
        }
    }
    auto p = payment();
    p->open(contract, -1, kDebtDay, nullptr);
    p->setDate(DateTime());
    p->setSum(10);
    EXPECT_EQ(errorText([&] { p->validate(); }), QStringLiteral("Не указана дата операции"));
    (void)last;
}

TEST_F(OperationPaymentTest, RightsToChangeAStoredOperation) {
    const int contract = newPaymentContract();
    const int first = newOperation(contract, {.date = kStart.addDays(5), .perc = 100});
    const int last = newOperation(contract, {.date = kStart.addDays(10), .perc = 100});
    {
        auto p = payment();
        p->open(contract, last, DateTime(), nullptr);
        EXPECT_TRUE(p->canEdit());
        EXPECT_FALSE(p->offersForcedEdit());
    }
    auto p = payment();
    p->open(contract, first, DateTime(), nullptr);
    EXPECT_FALSE(p->canEdit());
    EXPECT_TRUE(p->offersForcedEdit());
    boxes.answers = {ui::ModalResult::No, ui::ModalResult::Yes};
    EXPECT_FALSE(p->confirmForcedEdit());
    EXPECT_FALSE(p->canEdit());
    EXPECT_TRUE(p->confirmForcedEdit());
    EXPECT_TRUE(p->canEdit());
    EXPECT_TRUE(boxes.shown.back().text.startsWith(QStringLiteral("Вы собираетесь изменить данные")));

    login(false);
    auto agent = payment();
    agent->open(contract, last, DateTime(), nullptr);
    EXPECT_FALSE(agent->canEdit());
    EXPECT_FALSE(agent->offersForcedEdit());
}

// ---- save -----------------------------------------------------------------------------------------

TEST_F(OperationPaymentTest, TheWholeDebtClosesTheContractInTheSameCommitOnlyOnYes) {
    newService(QStringLiteral("Закриття"), astCLOSE, QStringLiteral("3"), true, 93);
    const int contract = newPaymentContract();
    auto p = payment();
    p->open(contract, -1, kDebtDay, nullptr);
    p->setSum(1180.00);
    const QString before = tablesPicture();
    const QString orders =
        QStringLiteral("WARRANTES where W_DATE = '%1'").arg(core::formatDateTime("yyyy-mm-dd", kDebtDay));
    const int ordersBefore = count(orders);

    boxes.answers = {ui::ModalResult::No};
    EXPECT_EQ(p->save(), OperationPayment::SaveResult::NotWritten);
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Закрыть договор?"));
    EXPECT_EQ(tablesPicture(), before);
    EXPECT_EQ(p->sum(), 118000) << "the input stays";
    EXPECT_FALSE(
        os::IniFile(utl::SettingsFile::userIniFileName()).sectionExists(QStringLiteral("PenaltyOpEditForm")));

    boxes.answers = {ui::ModalResult::Yes};
    EXPECT_EQ(p->save(), OperationPayment::SaveResult::Saved);
    EXPECT_EQ(p->save(), OperationPayment::SaveResult::Saved) << "a second OK saves nothing more";
    const int opId = p->savedOpId();
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(contract)), 1);
    EXPECT_EQ(
        scalar(QStringLiteral("select CONTRACT_STATE as V from PENALTY_CONTRACTS where CONTRACT_ID = %1")
                   .arg(contract))
            .toInt(),
        csCLOSED);
    EXPECT_EQ(storedServices(opId), QStringLiteral("Закриття:300"));
    EXPECT_GT(count(orders), ordersBefore);
    EXPECT_EQ(OperationPayment::scRememberedKind(), okREPAY);
}

TEST_F(OperationPaymentTest, AnExcessGoesIntoThePrincipal) {
    const int contract = newPaymentContract();
    auto p = payment();
    p->open(contract, -1, kDebtDay, nullptr);
    p->setSum(1300.00);
    boxes.answers = {ui::ModalResult::Yes};
    ASSERT_EQ(p->save(), OperationPayment::SaveResult::Saved);
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Закрыть договор?"));
    EXPECT_EQ(
        scalar(
            QStringLiteral("select OP_SUM as V from PENALTY_OPERATIONS where OP_ID = %1").arg(p->savedOpId()))
            .toInt(),
        112000);
}

TEST_F(OperationPaymentTest, AnIncreaseStoresANegativeSumAndAsksNothing) {
    const int contract = newPaymentContract();
    RecordingRegister fr;
    fr.date = kDebtDay;
    auto p = payment();
    p->open(contract, -1, kDebtDay, &fr);
    p->setKind(okINCREASE);
    p->setSum(250.00);
    EXPECT_EQ(p->save(), OperationPayment::SaveResult::Saved);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(fr.calls, QStringList{QStringLiteral("inc 25000")});
    EXPECT_EQ(
        scalar(
            QStringLiteral("select OP_SUM as V from PENALTY_OPERATIONS where OP_ID = %1").arg(p->savedOpId()))
            .toInt(),
        -25000);
    EXPECT_EQ(OperationPayment::scRememberedKind(), okINCREASE);
}

TEST_F(OperationPaymentTest, NoReceiptWithoutTheRegisterForAnEditOrWithItsDateDeclined) {
    const int contract = newPaymentContract();
    RecordingRegister fr;
    fr.date = kDebtDay.addDays(1);
    {
        utl::SettingsFile::writeBool(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRisEnabled"), false);
        auto p = payment();
        p->open(contract, -1, kDebtDay, &fr);
        p->setSum(10);
        EXPECT_EQ(p->save(), OperationPayment::SaveResult::Saved);
        utl::SettingsFile::writeBool(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRisEnabled"), true);
    }
    {
        boxes.answers = {ui::ModalResult::No};
        auto p = payment();
        p->open(contract, -1, kDebtDay, &fr);
        p->setSum(10);
        EXPECT_EQ(p->save(), OperationPayment::SaveResult::Saved);
        EXPECT_TRUE(boxes.shown.back().text.startsWith(QStringLiteral("Введенная дата не совпадает")));
    }
    const int last = PercCalcOperations(contract, -1).getLastOpId();
    auto p = payment();
    p->open(contract, last, DateTime(), &fr);
    p->setSum(12);
    EXPECT_EQ(p->save(), OperationPayment::SaveResult::Saved);
    EXPECT_TRUE(fr.calls.isEmpty());
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(contract)), 2);
}

TEST_F(OperationPaymentTest, AForcedEditEmptiesEveryCheckpointInTheSameCommit) {
    const int contract = newPaymentContract();
    const int first = newOperation(contract, {.date = kStart.addDays(5), .rest = 100000, .perc = 100});
    newOperation(contract, {.date = kStart.addDays(10), .rest = 100000, .perc = 100});
    auto p = payment();
    p->open(contract, first, DateTime(), nullptr);
    boxes.answers = {ui::ModalResult::Yes};
    ASSERT_TRUE(p->confirmForcedEdit());
    p->setSum(2.00);
    plantFaults();
    p->beforeReceipt = [&] { markCommitFault(*p, true); };
    EXPECT_THROW(p->save(), core::Exception);
    markCommitFault(*p, false);
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1 and OP_REST_BASE is null")
                        .arg(contract)),
              0)
        << "a failed commit keeps every checkpoint";
    p->beforeReceipt = [] {};
    EXPECT_EQ(p->save(), OperationPayment::SaveResult::Saved);
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1 and OP_REST_BASE is not null")
                        .arg(contract)),
              0);
}

TEST_F(OperationPaymentTest, AStoredOperationIsNotChangedByAnAgent) {
    const int contract = newPaymentContract();
    const int last = newOperation(contract, {.date = kStart.addDays(10), .perc = 100});
    login(false);
    auto p = payment();
    p->open(contract, last, DateTime(), nullptr);
    p->setSum(3);
    const QString before = tablesPicture();
    EXPECT_EQ(p->save(), OperationPayment::SaveResult::NotWritten);
    EXPECT_EQ(tablesPicture(), before);
}

// Each step of a payment made to fail: nothing is stored, at most the receipt of the commit case is
// closed, the dialog's input stays, and the next OK stores one operation with one receipt.
TEST_F(OperationPaymentTest, EveryFailingStepLeavesNothingBehind) {
    plantFaults();
    newService(QStringLiteral("Оцiнка"), astOP_PAY, QStringLiteral("OP_SUM*0.01"), true, 91);
    newService(QStringLiteral("Довiдка"), astOP_PAY, QStringLiteral("5"), true, 92);
    newService(QStringLiteral("Закриття"), astCLOSE, QStringLiteral("3"), true, 93);

    // How many cash-order writes a closing payment makes.
    int warrantSteps = 0;
    {
        const int contract = newPaymentContract();
        auto p = payment();
        p->open(contract, -1, kDebtDay, nullptr);
        p->setSum(1180.00);
        boxes.answers = {ui::ModalResult::Yes};
        setFault(QStringLiteral("count"));
        ASSERT_EQ(p->save(), OperationPayment::SaveResult::Saved);
        warrantSteps = warrantWrites();
        setFault(QString());
    }
    ASSERT_GT(warrantSteps, 0);

    struct Case {
        QString name;
        QString fault;
        int at = 0;
        RecordingRegister::Fail register_ = RecordingRegister::Fail::None;
        bool cancelFails = false;
        int receiptsClosed = 0;
    };
    std::vector<Case> cases = {
        {"insert", "insert"},
        {"services", "services"},
        {"closing", "closing"},
        {"refused receipt", "", 0, RecordingRegister::Fail::Refuse},
        {"register error", "", 0, RecordingRegister::Fail::Error},
        {"no signal, the cancel failing too", "", 0, RecordingRegister::Fail::NoSignal, true},
        {"commit", "commit", 0, RecordingRegister::Fail::None, false, 1},
    };
    for (int i = 1; i <= warrantSteps; ++i)
        cases.push_back({QStringLiteral("cash order %1").arg(i), "warrant", i});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const int contract = newPaymentContract();
        RecordingRegister fr;
        fr.date = kDebtDay;
        fr.fail = c.register_;
        fr.cancelFails = c.cancelFails;
        auto p = payment();
        p->open(contract, -1, kDebtDay, &fr);
        p->setSum(1180.00);
        const QString shown = shownServices(*p->services());
        const QString before = tablesPicture();

        boxes.answers = {ui::ModalResult::Yes};
        if (c.fault == QStringLiteral("commit")) {
            p->beforeReceipt = [&] { markCommitFault(*p, true); };
        } else {
            setFault(c.fault, c.at);
        }
        QString error;
        OperationPayment::SaveResult result = OperationPayment::SaveResult::Saved;
        try {
            result = p->save();
        } catch (const KassRegister::FRNoSignal& e) {
            error = QStringLiteral("no signal: ") + e.message();
        } catch (const ReceiptWithoutPayment& e) {
            error = QStringLiteral("receipt: ") + e.message();
        } catch (const core::Exception& e) {
            error = e.message();
        }
        setFault(QString());
        p->beforeReceipt = [] {};
        if (p->transaction()->inTransaction()) markCommitFault(*p, false);

        if (c.register_ == RecordingRegister::Fail::Refuse) {
            EXPECT_EQ(result, OperationPayment::SaveResult::NotWritten);
        } else {
            EXPECT_FALSE(error.isEmpty());
        }
        if (c.register_ == RecordingRegister::Fail::NoSignal) {
            EXPECT_EQ(error, QStringLiteral("no signal: Нет связи")) << "the first error passes on";
        }
        if (c.fault == QStringLiteral("commit")) {
            EXPECT_TRUE(error.startsWith(
                QStringLiteral("receipt: Фискальный чек напечатан, но операция не сохранена:\n\n")))
                << error.toStdString();
        }
        EXPECT_EQ(tablesPicture(), before);
        EXPECT_EQ(fr.receipts, c.receiptsClosed);
        EXPECT_EQ(p->sum(), 118000);
        EXPECT_EQ(shownServices(*p->services()), shown) << "the dialog's services stay";
        EXPECT_FALSE(p->isSaved());

        // The next OK stores one operation and one receipt.
        fr.fail = RecordingRegister::Fail::None;
        fr.receipts = 0;
        boxes.answers = {ui::ModalResult::Yes};
        ASSERT_EQ(p->save(), OperationPayment::SaveResult::Saved);
        EXPECT_EQ(fr.receipts, 1);
        EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(contract)), 1);
        EXPECT_EQ(storedServices(p->savedOpId()), QStringLiteral("Закриття:300"));
        EXPECT_EQ(count(QStringLiteral("ADD_SERVICES where ID_OBJ = -1")), 0);
    }
}

// Another workstation holds the day's cash order: the save fails at once, stores nothing, and goes
// through once that workstation is done.
TEST_F(OperationPaymentTest, ADayOrderHeldElsewhereStopsTheSaveWhole) {
    const int first = newPaymentContract();
    auto p = payment();
    p->open(first, -1, kDebtDay, nullptr);
    p->setSum(50.00);
    ASSERT_EQ(p->save(), OperationPayment::SaveResult::Saved);

    const int contract = newPaymentContract();
    auto q = payment();
    q->open(contract, -1, kDebtDay, nullptr);
    q->setSum(60.00);
    auto other = udb::createTransaction(&testDb().db());
    other->start();
    udb::execSql(QStringLiteral("update WARRANTES set W_SUM = W_SUM where W_DATE = '%1'")
                     .arg(core::formatDateTime(QStringLiteral("yyyy-mm-dd"), kDebtDay)),
                 other.get());
    const QString before = tablesPicture();
    EXPECT_THROW(q->save(), core::Exception);
    EXPECT_EQ(tablesPicture(), before);
    EXPECT_EQ(q->sum(), 6000);
    other->rollback();
    EXPECT_EQ(q->save(), OperationPayment::SaveResult::Saved);
    EXPECT_EQ(count(QStringLiteral("PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(contract)), 1);
}

// Eleven services: the keys order as texts, so "10_" comes before "1_".
TEST_F(OperationPaymentTest, ServicesReachTheReceiptInTheOrderOfTheirKeys) {
    for (int i = 0; i < 11; ++i) {
        newService(QStringLiteral("Послуга %1").arg(i), astOP_PAY, QString::number(i + 1), true, 100 + i);
    }
    const int contract = newPaymentContract();
    RecordingRegister fr;
    fr.date = kDebtDay;
    auto p = payment();
    p->open(contract, -1, kDebtDay, &fr);
    p->setSum(100.00);
    ASSERT_EQ(p->save(), OperationPayment::SaveResult::Saved);
    QStringList keys;
    for (const auto& [key, line] : fr.services) keys << key.section(u'_', 0, 0) + u':' + line.name;
    EXPECT_EQ(keys.mid(0, 3), (QStringList{QStringLiteral("0:Послуга 0"), QStringLiteral("10:Послуга 10"),
                                           QStringLiteral("1:Послуга 1")}));
    EXPECT_EQ(fr.calls, QStringList{QStringLiteral("pay 0 0 8000 2000")});
}

// The receipt over a serial line: 670.00 paid as principal, interest and penalty, 700.00 in cash.
TEST_F(OperationPaymentTest, APaymentPrintsItsReceiptOnTheRegister) {
    frsim::RegisterSimulator sim;
    frtest::ScriptedForms forms;
    forms.payCash = 70000;
    KassRegister::FiscalRegister::setDialogs(&forms);
    KassRegister::FRMariya fr;
    frtest::openOnSimulator(fr, sim);

    const DateTime day = DateTime::encode(2026, 3, 15);  // the register's date
    const int contract = newPaymentContract(
        {.set = QStringLiteral("PENALTY_DAYS = 20, DEPOSIT_PERC = 1500, PENALTY_PERC = 200"),
         .start = day.addDays(-20),
         .number = QStringLiteral("7.26.3")});
    auto p = payment();
    p->open(contract, -1, day, &fr);
    p->setSum(670.00);
    sim.clearLog();
    ASSERT_EQ(p->save(), OperationPayment::SaveResult::Saved);
    const QStringList log = sim.log();
    const QString all = log.join(u'|');
    EXPECT_TRUE(all.contains(QStringLiteral("FINFДог.N 7.26.3"))) << all.toStdString();
    ASSERT_EQ(forms.paymentLines.size(), 3u);
    EXPECT_EQ(forms.paymentLines[0].name, QStringLiteral("ОСН.СУМА"));
    EXPECT_EQ(forms.paymentLines[0].sum, 50000);
    EXPECT_EQ(forms.paymentLines[1].sum, 15000);
    EXPECT_EQ(forms.paymentLines[2].sum, 2000);
    // The cash given and the change the register works out from it.
    const auto comp =
        std::find_if(log.begin(), log.end(), [](const QString& l) { return l.startsWith("COMP"); });
    ASSERT_NE(comp, log.end());
    EXPECT_TRUE(comp->endsWith(QStringLiteral("0000070000"))) << comp->toStdString();
    EXPECT_EQ(70000 - (forms.paymentLines[0].sum + forms.paymentLines[1].sum + forms.paymentLines[2].sum),
              3000);
    KassRegister::FiscalRegister::setDialogs(nullptr);
}

}  // namespace
