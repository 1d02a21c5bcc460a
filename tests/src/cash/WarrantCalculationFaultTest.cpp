// A payment's regeneration failing at each write in turn, and two workstations regenerating one day.
#include <gtest/gtest.h>

#include "CashCalc.h"
#include "kv_MainDb.h"
#include "platform/fb/Database.h"
#include "tests/support/ErrorText.h"

using namespace cashtest;
using contracttest::Contract;
using contracttest::newBranch;
using contracttest::newClient;
using contracttest::newContract;
using Op = TolvLogic::TPenaltyOperationInfo;
using tolvtest::errorText;

namespace {

DateTime d24(int d, int m) {
    return DateTime::encode(2024, m, d);
}

// Every row of the branch's orders and registers, as text.
QString cashRows(int branch) {
    QString text;
    for (const char* sql :
         {"select ID || '|' || coalesce(ID_DIR_WARRANTES, '') || '|' || coalesce(NUMBER, '') || '|' || "
          "W_DATE || '|' "
          "|| W_SUM || '|' || coalesce(OPERATION_SUBJECT, '') || '|' || coalesce(FOUNDATION, '') || '|' || "
          "coalesce(ID_OPERATION, '') || '|' || coalesce(ID_REGISTER, '') || '|' || "
          "coalesce(ID_SERVICE_EVENT, '') as V "
          "from WARRANTES where ID_FILIAL = %1 order by ID",
          "select ID || '|' || R_TYPE || '|' || R_NUMBER || '|' || R_DATE as V from REGISTERS where "
          "ID_FILIAL = %1 order "
          "by ID"}) {
        ufb::AutoQuery q(QString::fromLatin1(sql).arg(branch), nullptr);
        q->open();
        for (; !q->eof(); q->next()) text += q->fieldByName(QStringLiteral("V")).asString() + u'\n';
    }
    return text;
}

class WarrantCalculationFaultTest : public CalcSuite {
protected:
    static void SetUpTestSuite() {
        CalcSuite::SetUpTestSuite();
        // Each write to the orders and registers counts; the one whose turn is set fails.
        udb::execSql(QStringLiteral("create exception FAULT_INJECTED 'запис не вдався'"));
        for (const char* table : {"WARRANTES", "REGISTERS"}) {
            udb::execSql(
                QStringLiteral(
                    "create trigger FAULT_%1 for %1 active before insert or update or delete position 20 as "
                    "declare n integer; begin if (rdb$get_context('USER_SESSION', 'FAIL_AT') is not null) "
                    "then "
                    "begin n = coalesce(cast(rdb$get_context('USER_SESSION', 'WRITES') as integer), 0) + 1; "
                    "rdb$set_context('USER_SESSION', 'WRITES', n); if (n = "
                    "cast(rdb$get_context('USER_SESSION', "
                    "'FAIL_AT') as integer)) then exception FAULT_INJECTED; end end")
                    .arg(QLatin1String(table)));
        }
    }
    static void failAt(int write) {
        scalar(QStringLiteral(
                   "select rdb$set_context('USER_SESSION', 'WRITES', 0) + rdb$set_context('USER_SESSION', "
                   "'FAIL_AT', %1) as V from rdb$database")
                   .arg(write > 0 ? QString::number(write) : QStringLiteral("NULL")));
    }
    void TearDown() override {
        failAt(0);
        CalcSuite::TearDown();
    }

    TPenaltyOperations operations{TolvMain::getZarvelDb(), nullptr};
};

TEST_F(WarrantCalculationFaultTest, AFailingWriteLeavesOrdersAndRegistersAsTheyWere) {
    for (const int method : {1, 2}) {
        SCOPED_TRACE("method " + std::to_string(method));
        setMethod(method);
        const int branch = newBranch(90 + method, QStringLiteral("Збої"), false);
        setCounters(branch, 1, 1);
        const int client = newClient(QStringLiteral("Клієнт"));
        const int c = newContract(Contract{
            .clientId = client, .date = d24(1, 11), .number = QStringLiteral("7.24.1"), .filialId = branch});
        const DateTime day = d24(12, 11);
        // The day already has orders: another payment with its services.
        Op first = operationRecord(day, c, 10000, 0, 500);
        StoredServices firstServices(astOP_PAY, -1, day, nullptr);
        firstServices.add(QStringLiteral("Оцінка"), 700);
        operations.insertOperation(first, &firstServices);

        int write = 1;
        for (;; ++write) {
            ASSERT_LT(write, 100);
            const QString before = cashRows(branch);
            const int operationsBefore =
                scalar(QStringLiteral("select count(*) as V from PENALTY_OPERATIONS where DEPOSIT_ID = %1")
                           .arg(c))
                    .toInt();
            std::unique_ptr<fb::Transaction> t = udb::createTransaction(TolvMain::getZarvelDb());
            t->start();
            Op pay = operationRecord(day, c, 20000, 300, 1500, 100);
            pay.setTransaction(t.get());
            StoredServices services(astOP_PAY, -1, day, t.get());
            services.add(QStringLiteral("Пакування"), 400);
            services.add(QStringLiteral("Знижка"), -150);
            failAt(write);
            QString error;
            try {
                operations.insertOperation(pay, &services);
            } catch (const std::exception& e) {
                error = QString::fromUtf8(e.what());
            }
            failAt(0);
            if (error.isEmpty()) {
                t->commit();
                break;
            }
            t->rollback();
            EXPECT_TRUE(error.contains(QStringLiteral("FAULT_INJECTED"))) << error.toStdString();
            EXPECT_EQ(cashRows(branch), before) << "write " << write;
            EXPECT_EQ(
                scalar(QStringLiteral("select count(*) as V from PENALTY_OPERATIONS where DEPOSIT_ID = %1")
                           .arg(c))
                    .toInt(),
                operationsBefore);
        }
        // Every write was tried: the payment's orders and its services' are there in the end.
        EXPECT_GT(write, 3);
        EXPECT_NE(cashRows(branch).count(u'\n'), 0);
    }
}

// Two workstations: the program's connection and a second one to the same database.
TEST_F(WarrantCalculationFaultTest, TwoWorkstationsRegeneratingOneDay) {
    fb::Database other(testDb().path());
    other.open();
    cashcalc::setDayLockWait(300);
    for (const int method : {1, 2}) {
        SCOPED_TRACE("method " + std::to_string(method));
        setMethod(method);
        const int branch = newBranch(95 + method, QStringLiteral("Два місця"), false);
        setCounters(branch, 1, 1);
        const int client = newClient(QStringLiteral("Клієнт"));
        const int c = newContract(Contract{
            .clientId = client, .date = d24(1, 12), .number = QStringLiteral("8.24.1"), .filialId = branch});
        const DateTime day = d24(5, 12);
        // Each workstation stores a payment and regenerates the day in its transaction.
        const auto work = [&](fb::Database* db, int sum) {
            auto t = udb::createTransaction(db);
            t->start();
            try {
                Op op(newPayment(c, day, sum, 0, 0, 0, t.get()), false);
                op.Select(t.get());
                TPenaltyContractInfo contract(c, t.get());
                WarrantCalculationManager::scCreate(day, branch, t.get())
                    ->recalc(day, contract, QStringLiteral("RECEIPT_DEPOSIT"), &op, nullptr, QString());
            } catch (...) {
                t->rollback();
                throw;
            }
            return t;
        };
        auto first = work(TolvMain::getZarvelDb(), 10000);
        // The second waits for the first and gives up with the day's message; its work rolls back whole.
        std::unique_ptr<fb::Transaction> second;
        const QString error = errorText([&] { second = work(&other, 20000); });
        EXPECT_TRUE(error.contains(QStringLiteral("пересчитывает другое рабочее место")))
            << error.toStdString();
        first->commit();
        EXPECT_EQ(
            scalar(
                QStringLiteral("select count(*) as V from PENALTY_OPERATIONS where DEPOSIT_ID = %1").arg(c))
                .toInt(),
            1);
        // Once the first is committed the second goes through and counts its money once.
        second = work(&other, 20000);
        second->commit();
        qint64 receipts = 0, expenses = 0;
        WarrantCalculationManager::getDayTotals(day, branch, receipts, expenses);
        EXPECT_EQ(receipts, 30000);
        EXPECT_EQ(registerCount(day, branch, QStringLiteral("R_TYPE = 0")), method == 1 ? 1 : 0);
        EXPECT_EQ(registerCount(day, branch, QStringLiteral("R_TYPE = 1")), method == 2 ? 1 : 0);
        EXPECT_EQ(scalar(QStringLiteral("select count(distinct NUMBER) - count(*) as V from WARRANTES where "
                                        "ID_FILIAL = %1")
                             .arg(branch))
                      .toInt(),
                  0);
    }
}

}  // namespace
