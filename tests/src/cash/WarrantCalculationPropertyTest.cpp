// Random changes of money through the contract layer on contracts of two branches, the method setting
// flipped at random. After each change every day it touched must equal its computation from scratch,
// a second regeneration must change nothing, and the day sums must be the money the stored rows moved.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <random>

#include "CashCalc.h"
#include "kv_MainDb.h"
#include "platform/core/Formats.h"

using namespace cashtest;
using contracttest::Contract;
using contracttest::newBranch;
using contracttest::newClient;
using Info = TolvLogic::TPenaltyContractInfo;
using Op = TolvLogic::TPenaltyOperationInfo;

namespace {

int envInt(const char* name, int fallback) {
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? fallback : value.toInt();
}

std::vector<int> ids(const QString& sql, fb::Transaction* transaction = nullptr) {
    ufb::AutoQuery q(sql, transaction);
    q->open();
    std::vector<int> result;
    for (; !q->eof(); q->next()) result.push_back(q->fieldByName(QStringLiteral("V")).asInteger());
    return result;
}

// The automatic orders of a day and branch as comparable rows; keys, numbers and the register's own key
// left out (its type and pledge type stay).
std::vector<QString> snapshot(DateTime day, int branch, bool withNumbers,
                              fb::Transaction* transaction = nullptr) {
    ufb::AutoQuery q(
        QStringLiteral(
            "select W.ID_DIR_WARRANTES, W.W_TYPE, W.ACCOUNT_NUMBER, W.W_SUM, cast(W.OPERATION_SUBJECT as "
            "blob sub_type text) as S, cast(W.FOUNDATION as blob sub_type text) as F, cast(W.ADDITION as "
            "blob sub_type text) as A, W.IDENTIFICATION_DATA, W.ID_OPERATION, W.ID_CONTRACT, "
            "W.CREDIT_SUM, W.PERC_SUM, W.PENALTY, W.REAL_SUM, W.STORAGE_SUM, W.ID_SERVICE_EVENT, "
            "R.R_TYPE, R.R_SUBJ_TYPE, W.NUMBER from WARRANTES W left join REGISTERS R on R.ID = "
            "W.ID_REGISTER where W.W_DATE = :D and W.ID_FILIAL = %1 and W.ID_DIR_WARRANTES is not null")
            .arg(branch),
        transaction);
    q->setParam(QStringLiteral("D"), day);
    q->open();
    std::vector<QString> rows;
    for (; !q->eof(); q->next()) {
        QStringList row;
        for (int i = 0; i < q->fieldCount() - (withNumbers ? 0 : 1); ++i) row << q->field(i)->asString();
        // The detailed orders keep the contract foundation written with them: a contract moved to another
        // day later rewrites only the orders of its loan.
        static const QRegularExpression contractDate(QStringLiteral(" от \\d\\d\\.\\d\\d\\.\\d{4} р\\."));
        rows.push_back(row.join(u'|').replace(contractDate, QStringLiteral(" от <дата> р.")));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString allCounters(fb::Transaction* transaction = nullptr) {
    return scalar(QStringLiteral(
                      "select list(WNT_RECEIPT_NUM_AUTOINC || '/' || WNT_EXPENSE_NUM_AUTOINC) as V from "
                      "DIR_FILIAL"),
                  transaction)
        .toText();
}

// The service rows of the day that belong to the branch: by the row's own event, a contract's or an
// operation's.
QString branchServices(int branch) {
    return QStringLiteral(
               " from ADD_SERVICES A join DIR_ADD_SERVICES DAS on DAS.ID = A.ID_SERVICE where A.DATA = :D "
               "and ((DAS.ID_EVENT in (0, 3) and exists (select 1 from PENALTY_CONTRACTS PC where "
               "PC.CONTRACT_ID = A.ID_OBJ and PC.FILIAL_ID = %1)) or (DAS.ID_EVENT in (1, 2, 4) and exists "
               "(select 1 from PENALTY_OPERATIONS PO join PENALTY_CONTRACTS PC on PC.CONTRACT_ID = "
               "PO.DEPOSIT_ID where PO.OP_ID = A.ID_OBJ and PC.FILIAL_ID = %1)))")
        .arg(branch);
}

qint64 sumOf(const QString& sql, DateTime day) {
    ufb::AutoQuery q(sql, nullptr);
    q->setParam(QStringLiteral("D"), day);
    q->open();
    return q->eof() || q->field(0)->isNull() ? 0 : q->field(0)->value().toInt64();
}

// The money the stored rows moved on the day in the branch: receipts and expenses.
std::pair<qint64, qint64> moneyMoved(DateTime day, int branch) {
    const QString ops = QStringLiteral(
                            " from PENALTY_OPERATIONS PO join PENALTY_CONTRACTS PC on PC.CONTRACT_ID = "
                            "PO.DEPOSIT_ID where PO.OP_DATE = :D and PC.FILIAL_ID = %1")
                            .arg(branch);
    const qint64 receipts =
        sumOf(QStringLiteral(
                  "select sum(iif(PO.OP_SUM > 0, PO.OP_SUM, 0) + PO.OP_STORAGE_SUM + PO.OP_PERC_SUM + "
                  "PO.OP_PENALTY_SUM)") +
                  ops,
              day) +
        sumOf(QStringLiteral(
                  "select sum(S.SALE_SUM) from SALES S join PENALTY_CONTRACTS PC on PC.CONTRACT_ID = "
                  "S.CONTRACT_ID where PC.CONTRACT_CLOSE = :D and S.IS_CREATE_WARRANT = 1 and PC.FILIAL_ID "
                  "= %1")
                  .arg(branch),
              day) +
        sumOf(QStringLiteral("select sum(A.PRICE)") + branchServices(branch) +
                  QStringLiteral(" and A.PRICE > 0"),
              day);
    const qint64 expenses =
        sumOf(QStringLiteral("select sum(-PO.OP_SUM)") + ops + QStringLiteral(" and PO.OP_SUM < 0"), day) +
        sumOf(QStringLiteral(
                  "select sum(PD.DEPOSIT_SUM) from PENALTY_DEPOSITS PD join PENALTY_CONTRACTS PC on "
                  "PC.CONTRACT_ID = PD.CONTRACT_ID where PC.CONTRACT_DATE = :D and PC.FILIAL_ID = %1")
                  .arg(branch),
              day) +
        sumOf(QStringLiteral("select sum(-A.PRICE)") + branchServices(branch) +
                  QStringLiteral(" and A.PRICE < 0"),
              day);
    return {receipts, expenses};
}

// Every regeneration the day's movements ask for, as their callers make them.
void regenerateDay(DateTime day, int branch, int method, fb::Transaction* t) {
    if (method == 1) {
        TPenaltyContractInfo anyContract(t);
        anyContract.setContractValue(Info::cFILIAL_ID, branch);
        WarrantCalculationSum(t).recalc(day, anyContract, QStringLiteral("RECEIPT_DEPOSIT"), nullptr, nullptr,
                                        QString());
        return;
    }
    WarrantCalculationDetail calc(t);
    const QString b = QString::number(branch);
    const QString d = lit(day);
    for (const int c :
         ids(QStringLiteral("select CONTRACT_ID as V from PENALTY_CONTRACTS where CONTRACT_DATE = %1 "
                            "and FILIAL_ID = %2")
                 .arg(d, b),
             t)) {
        TPenaltyContractInfo contract(c, t);
        StoredServices list(astCONTRACT, c, day, t);
        calc.recalc(day, contract, QStringLiteral("EXPENSE_DEPOSIT"), nullptr, &list, QString());
    }
    for (const int o :
         ids(QStringLiteral("select PO.OP_ID as V from PENALTY_OPERATIONS PO join PENALTY_CONTRACTS PC on "
                            "PC.CONTRACT_ID = PO.DEPOSIT_ID where PO.OP_DATE = %1 and PC.FILIAL_ID = %2")
                 .arg(d, b),
             t)) {
        Op op(o, false);
        op.Select(t);
        TPenaltyContractInfo contract(op.getValue(Op::oDEPOSIT_ID).toInt(), t);
        const bool increase = op.getValue(Op::oOP_SUM).toInt() < 0;
        StoredServices list(increase ? astOP_INC : astOP_PAY, o, day, t);
        calc.recalc(day, contract,
                    increase ? QStringLiteral("EXPENSE_DEPOSIT") : QStringLiteral("RECEIPT_DEPOSIT"), &op,
                    &list, QString());
    }
    for (const int c :
         ids(QStringLiteral("select CONTRACT_ID as V from PENALTY_CONTRACTS where CONTRACT_CLOSE = %1 "
                            "and FILIAL_ID = %2")
                 .arg(d, b),
             t)) {
        TPenaltyContractInfo contract(c, t);
        calc.recalc(day, contract, QStringLiteral("RECEIPT_SALE"), nullptr, nullptr, QString());
    }
    ufb::AutoQuery q(QStringLiteral("select distinct A.ID_OBJ, DAS.ID_EVENT") + branchServices(branch), t);
    q->setParam(QStringLiteral("D"), day);
    q->open();
    for (; !q->eof(); q->next()) {
        const int object = q->fieldByName(QStringLiteral("ID_OBJ")).asInteger();
        const auto event = static_cast<ServiceEvent>(q->fieldByName(QStringLiteral("ID_EVENT")).asInteger());
        StoredServices list(event, object, day, t);
        if (event == astCONTRACT || event == astSALEDOWN) {
            TPenaltyContractInfo contract(object, t);
            calc.recalc(day, contract, QStringLiteral("RECEIPT_SERVICE"), nullptr, &list, QString());
        } else {
            Op op(object, false);
            op.Select(t);
            TPenaltyContractInfo contract(op.getValue(Op::oDEPOSIT_ID).toInt(), t);
            calc.recalc(day, contract, QStringLiteral("RECEIPT_SERVICE"), &op, &list, QString());
        }
    }
}

class CashPropertyTest : public CalcSuite {
protected:
    void checkDay(DateTime day, int branch, const std::string& where) {
        SCOPED_TRACE(where + " day " + core::dateToStr(day).toStdString() + " branch " +
                     std::to_string(branch));
        const int method = WarrantCalculationManager::getDayCalculationMethod(day, branch);
        const std::vector<QString> stored = snapshot(day, branch, false);
        const auto [receipts, expenses] = moneyMoved(day, branch);
        qint64 r = 0, e = 0;
        WarrantCalculationManager::getDayTotals(day, branch, r, e);
        EXPECT_EQ(r, receipts);
        EXPECT_EQ(e, expenses);
        EXPECT_EQ(WarrantCalculationManager::getBalanceBefore(day.addDays(1), branch),
                  WarrantCalculationManager::getBalanceBefore(day, branch) + r - e);
        if (method == 0) {
            EXPECT_TRUE(stored.empty());
            return;
        }
        // A second regeneration changes nothing, numbers and counters included.
        const std::vector<QString> numbered = snapshot(day, branch, true);
        const QString counters = allCounters();
        regenerateDay(day, branch, method, change());
        EXPECT_EQ(snapshot(day, branch, true, change()), numbered);
        EXPECT_EQ(allCounters(), counters);
        change()->rollback();
        // From scratch.
        udb::execSql(
            QStringLiteral("delete from WARRANTES where W_DATE = %1 and ID_FILIAL = %2 and ID_DIR_WARRANTES "
                           "is not null")
                .arg(lit(day))
                .arg(branch),
            change());
        if (method == 2) {
            udb::execSql(
                QStringLiteral("delete from REGISTERS where R_DATE = %1 and ID_FILIAL = %2 and R_TYPE > 0")
                    .arg(lit(day))
                    .arg(branch),
                change());
        }
        regenerateDay(day, branch, method, change());
        EXPECT_EQ(snapshot(day, branch, false, change()), stored);
        change()->rollback();
    }
};

TEST_F(CashPropertyTest, EveryTouchedDayEqualsItsComputationFromScratch) {
    const unsigned seed = static_cast<unsigned>(envInt("TOLV_PROPERTY_SEED", 20240315));
    const int steps = envInt("TOLV_PROPERTY_STEPS", 70);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    const int branches[] = {newBranch(81, QStringLiteral("Перша"), false),
                            newBranch(82, QStringLiteral("Друга"), false)};
    for (const int b : branches) setCounters(b, 1, 1);
    const int client = newClient(QStringLiteral("Клієнт Випадковий"));
    const auto dayOf = [](int i) { return DateTime::encode(2024, 10, 1 + i); };
    constexpr int kDays = 4;
    TPenaltyOperations operations(TolvMain::getZarvelDb(), nullptr);
    TPenaltyContracts contracts(nullptr, false);
    const QStringList names = {QStringLiteral("Оцінка"), QStringLiteral("Пакування"),
                               QStringLiteral("Знижка")};
    const auto fillServices = [&](StoredServices& list) {
        for (int n = pick(3); n > 0; --n) list.add(names[pick(3)], (pick(5) - 1) * 250);
    };
    const auto contractsWhere = [&](const QString& condition) {
        return ids(QStringLiteral(
                       "select CONTRACT_ID as V from PENALTY_CONTRACTS where FILIAL_ID in (%1, %2) and %3 "
                       "order by CONTRACT_ID")
                       .arg(branches[0])
                       .arg(branches[1])
                       .arg(condition));
    };
    const auto contractDays = [&](int c) {
        std::vector<DateTime> days;
        ufb::AutoQuery q(
            QStringLiteral("select CONTRACT_DATE as D from PENALTY_CONTRACTS where CONTRACT_ID = %1 union "
                           "select CONTRACT_CLOSE from PENALTY_CONTRACTS where CONTRACT_ID = %1 and "
                           "CONTRACT_CLOSE is not null union select OP_DATE from PENALTY_OPERATIONS where "
                           "DEPOSIT_ID = %1 union select DATA from ADD_SERVICES where ID_OBJ = %1 or ID_OBJ "
                           "in (select OP_ID from PENALTY_OPERATIONS where DEPOSIT_ID = %1)")
                .arg(c),
            nullptr);
        q->open();
        for (; !q->eof(); q->next()) days.push_back(q->fieldByName(QStringLiteral("D")).asDateTime());
        return days;
    };
    const auto branchOf = [](int c) {
        return scalar(QStringLiteral("select FILIAL_ID as V from PENALTY_CONTRACTS where CONTRACT_ID = %1")
                          .arg(c))
            .toInt();
    };
    int numbered = 0;

    for (int step = 0; step < steps; ++step) {
        if (pick(4) == 0) setMethod(1 + pick(2));
        std::vector<std::pair<DateTime, int>> touched;
        const std::vector<int> open = contractsWhere(QStringLiteral("CONTRACT_STATE = 0"));
        const std::vector<int> sold = contractsWhere(QStringLiteral("CONTRACT_STATE = 2"));
        const std::vector<int> all = contractsWhere(QStringLiteral("1 = 1"));
        const std::vector<int> ops =
            ids(QStringLiteral("select PO.OP_ID as V from PENALTY_OPERATIONS PO join "
                               "PENALTY_CONTRACTS PC on PC.CONTRACT_ID = PO.DEPOSIT_ID where "
                               "PC.FILIAL_ID in (%1, %2) order by PO.OP_ID")
                    .arg(branches[0])
                    .arg(branches[1]));
        int action = pick(10);
        if (open.empty() && action != 0) action = 0;
        std::string what;
        const DateTime day = dayOf(pick(kDays));
        switch (action) {
            case 0: {  // a loan paid out, with contract services
                what = "new contract";
                const int b = branches[pick(2)];
                Info info(nullptr);
                info.setContractValue(Info::cCLIENT_ID, client);
                info.setContractValue(Info::cAGENT_ID, 1);
                info.setContractValue(Info::cCONTRACT_DATE, day);
                info.setContractValue(Info::cCONTRACT_STATE, 0);
                info.setContractValue(Info::cCONTRACT_NUM, QStringLiteral("9.24.%1").arg(++numbered));
                info.setContractValue(Info::cFILIAL_ID, b);
                info.setDepositValue(Info::dDEPOSIT_SUM, 10000 * (1 + pick(9)));
                info.setDepositValue(Info::dPENALTY_DAYS, 30);
                info.setDepositValue(Info::dDEPOSIT_PERC, 1500);
                info.setDepositValue(Info::dPENALTY_PERC, 100);
                info.setDepositValue(Info::dSUBJECT_PRICE, 200000);
                info.getDepositRecord().SetField(QStringLiteral("DEPOSIT_TYPE"), 1 + pick(2));
                StoredServices list(astCONTRACT, -1, day, nullptr);
                fillServices(list);
                info.save(nullptr, true, &list);
                touched.push_back({day, b});
                break;
            }
            case 1:
            case 2: {  // a payment or a credit increase, with its services
                const bool increase = action == 2;
                what = increase ? "increase" : "payment";
                const int c = open[pick(static_cast<int>(open.size()))];
                Op op = increase ? operationRecord(day, c, -1000 * (1 + pick(5)))
                                 : operationRecord(day, c, 1000 * pick(4), 100 * pick(3), 50 * (1 + pick(4)),
                                                   25 * pick(2));
                StoredServices list(increase ? astOP_INC : astOP_PAY, -1, day, nullptr);
                fillServices(list);
                operations.insertOperation(op, &list);
                touched.push_back({day, branchOf(c)});
                break;
            }
            case 3: {  // an operation moved to another day
                if (ops.empty()) continue;
                what = "moved operation";
                Op op(ops[pick(static_cast<int>(ops.size()))], true);
                const DateTime old = op.getValue(Op::oOP_DATE).toDateTime();
                touched.push_back({old, branchOf(op.getValue(Op::oDEPOSIT_ID).toInt())});
                // Its services move with it, as the operation dialog stores them.
                StoredServices list(op.getValue(Op::oOP_SUM).toInt() < 0 ? astOP_INC : astOP_PAY,
                                    op.getValue(Op::oOP_ID).toInt(), old, nullptr);
                list.moveTo(day);
                op.setValue(Op::oOP_DATE, day);
                operations.updateOperation(op, &list);
                touched.push_back({day, touched.back().second});
                break;
            }
            case 4: {  // an operation deleted
                if (ops.empty()) continue;
                what = "deleted operation";
                Op op(ops[pick(static_cast<int>(ops.size()))], true);
                touched.push_back(
                    {op.getValue(Op::oOP_DATE).toDateTime(), branchOf(op.getValue(Op::oDEPOSIT_ID).toInt())});
                operations.deleteOperation(op, nullptr);
                break;
            }
            case 5: {  // a sale
                what = "sale";
                const int c = open[pick(static_cast<int>(open.size()))];
                udb::execSql(
                    QStringLiteral("insert into SALES (CONTRACT_ID, SALE_SUM, IS_CREATE_WARRANT) values (%1, "
                                   "%2, %3)")
                        .arg(c)
                        .arg(5000 * (1 + pick(6)))
                        .arg(pick(4) == 0 ? 0 : 1));
                contracts.setState(c, day, csSALED, nullptr, nullptr, QString());
                touched.push_back({day, branchOf(c)});
                break;
            }
            case 6: {  // a sale undone
                if (sold.empty()) continue;
                what = "sale undone";
                const int c = sold[pick(static_cast<int>(sold.size()))];
                touched.push_back(
                    {TPenaltyContractInfo(c, nullptr).getContractValue(Info::cCONTRACT_CLOSE).toDateTime(),
                     branchOf(c)});
                contracts.setState(c, day, csOPENED, nullptr, nullptr, QString());
                break;
            }
            case 7: {  // a contract deleted
                what = "deleted contract";
                const int c = all[pick(static_cast<int>(all.size()))];
                const int b = branchOf(c);
                for (const DateTime d : contractDays(c)) touched.push_back({d, b});
                Info info(c, nullptr);
                info.remove();
                break;
            }
            case 8: {  // a contract moved to another day
                what = "moved contract";
                const int c = open[pick(static_cast<int>(open.size()))];
                Info info(c, nullptr);
                const DateTime old = info.getContractValue(Info::cCONTRACT_DATE).toDateTime();
                touched.push_back({old, branchOf(c)});
                StoredServices list(astCONTRACT, c, old, nullptr);
                list.moveTo(day);
                info.setContractValue(Info::cCONTRACT_DATE, day);
                info.save(nullptr, true, &list);
                touched.push_back({day, touched.back().second});
                break;
            }
            default: {  // taken off sale: services of the event on the day
                what = "taken off sale";
                const int c = open[pick(static_cast<int>(open.size()))];
                StoredServices list(astSALEDOWN, -1, day, nullptr);
                fillServices(list);
                list.save(c, false);
                regenerate(day, c, QStringLiteral("RECEIPT_SERVICE"), &list);
                touched.push_back({day, branchOf(c)});
                break;
            }
        }
        for (const auto& [d, b] : touched) checkDay(d, b, "step " + std::to_string(step) + " " + what);
        EXPECT_EQ(scalar(QStringLiteral(
                             "select count(*) as V from (select ID_FILIAL, W_TYPE, NUMBER from WARRANTES "
                             "where ID_DIR_WARRANTES is not null group by 1, 2, 3 having count(*) > 1)"))
                      .toInt(),
                  0);
        EXPECT_EQ(
            scalar(QStringLiteral("select count(*) as V from (select R_DATE, ID_FILIAL from REGISTERS where "
                                  "R_TYPE = 0 group by 1, 2 having count(*) > 1)"))
                .toInt(),
            0);
        if (HasFailure()) break;
    }
}

}  // namespace
