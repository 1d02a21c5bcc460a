#pragma once
// The data of the payment benchmarks: 1,000 contracts, and a busy day of 100 payments under each cash-order
// method, made the way the tests make their database; a payment row and its removal after a round.

#include <QString>

#include "PenaltyOperations.h"
#include "Warrantcalculation.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "platform/core/DateTime.h"
#include "platform/fb/Script.h"
#include "platform/fb/Statement.h"

namespace cashday {

using core::DateTime;
using namespace TolvLogic;

constexpr int kContracts = 1000;
constexpr int kDayPayments = 100;

// The busy day of each method: 1 summary, 2 detailed.
inline DateTime busyDay(int method) {
    return DateTime::encode(2024, 3, 10 + method);
}

inline void generate(fb::Database& db) {
    fb::runScript(db, QStringLiteral(R"(
set term ^ ;
execute block as
  declare i integer = 1; declare fil integer;
begin
  select first 1 ID from DIR_FILIAL where IS_CURENT = 1 into :fil;
  insert into CLIENTS (CLIENT_ID, CLIENT_NAME) values (1, 'Клієнтенко Петро');
  while (i <= %1) do begin
    insert into PENALTY_CONTRACTS (CONTRACT_ID, CLIENT_ID, AGENT_ID, CONTRACT_DATE, CONTRACT_STATE, CONTRACT_NUM,
      FILIAL_ID) values (:i, 1, 1, dateadd(-mod(:i, 60) day to date '2024-03-01'), 0, '1.' || :i, :fil);
    insert into PENALTY_DEPOSITS (CONTRACT_ID, DEPOSIT_SUM, PENALTY_DAYS, DEPOSIT_PERC, PENALTY_PERC,
      SUBJECT_PRICE, DEPOSIT_TYPE) values (:i, 100000, 30, 1500, 100, 150000, 1);
    i = i + 1;
  end
end^
set term ; ^
)")
                          .arg(kContracts));
}

inline TPenaltyOperationInfo payment(int contract, DateTime date) {
    TPenaltyOperationInfo op;
    op.setValue(TPenaltyOperationInfo::oOP_ID, core::Variant::null());
    op.setValue(TPenaltyOperationInfo::oDEPOSIT_ID, contract);
    op.setValue(TPenaltyOperationInfo::oOP_DATE, date);
    op.setValue(TPenaltyOperationInfo::oOP_SUM, 10000);
    op.setValue(TPenaltyOperationInfo::oOP_STORAGE_SUM, 300);
    op.setValue(TPenaltyOperationInfo::oOP_PERC_SUM, 1500);
    op.setValue(TPenaltyOperationInfo::oOP_PENALTY_SUM, 0);
    op.setValue(TPenaltyOperationInfo::oNON_CALC_DAYS, 0);
    return op;
}

// 100 payments on the method's day, with their orders.
inline void fillDay(int method) {
    WarrantCalculationManager::setCalculationMethod(method);
    TPenaltyOperations operations(TolvMain::getZarvelDb(), nullptr);
    for (int i = 1; i <= kDayPayments; ++i) {
        TPenaltyOperationInfo op = payment(i, busyDay(method));
        operations.insertOperation(op, nullptr);
    }
}

// Takes the payment away again outside the timing, so that every round meets a day of 100 payments.
inline void undo(int opId) {
    udb::execSql(QStringLiteral("delete from WARRANTES where ID_OPERATION = %1").arg(opId));
    udb::execSql(QStringLiteral("delete from PENALTY_OPERATIONS where OP_ID = %1").arg(opId));
}

// The same payment row inserted and committed by a statement of its own, without the contract layer.
inline int bareInsert(int contract, DateTime day) {
    std::unique_ptr<fb::Transaction> t = udb::createTransaction(TolvMain::getZarvelDb());
    t->start();
    // The key is taken the way the contract layer takes it: on the inserting transaction.
    const int id = udb::genId(QStringLiteral("GEN_OPERATIONS_ID"), t.get());
    fb::Statement st(t.get());
    st.setSql(
        QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_STORAGE_SUM, "
                       "OP_PERC_SUM, OP_PENALTY_SUM, OP_DATE, NON_CALC_DAYS) values (:ID, :C, 10000, 300, "
                       "1500, 0, :D, 0)"));
    st.setParam(QStringLiteral("ID"), id);
    st.setParam(QStringLiteral("C"), contract);
    st.setParam(QStringLiteral("D"), day);
    st.execute();
    t->commit();
    return id;
}

}  // namespace cashday
