// A payment stored with the cash layer (TPenaltyOperations::insertOperation, committed, the day's
// automatic orders regenerated) under the summary and the detailed method, against a bare insert of the
// same operation row and its commit. 1,000 contracts; the day already holds 100 payments. Also the first
// payment of a day (the day's marker or registers made).
#include <benchmark/benchmark.h>

#include "PenaltyOperations.h"
#include "Warrantcalculation.h"
#include "bench/support/BenchDb.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "platform/fb/Script.h"
#include "platform/fb/Statement.h"
#include "tests/support/OwnSettingsFile.h"
#include "tests/support/TestDatabase.h"

using core::DateTime;
using namespace TolvLogic;

namespace {

constexpr int kContracts = 1000;
constexpr int kDayPayments = 100;

// The busy day of each method: 1 summary, 2 detailed.
DateTime busyDay(int method) {
    return DateTime::encode(2024, 3, 10 + method);
}

void generate(fb::Database& db) {
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

TPenaltyOperationInfo payment(int contract, DateTime date) {
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
void fillDay(int method) {
    WarrantCalculationManager::setCalculationMethod(method);
    TPenaltyOperations operations(TolvMain::getZarvelDb(), nullptr);
    for (int i = 1; i <= kDayPayments; ++i) {
        TPenaltyOperationInfo op = payment(i, busyDay(method));
        operations.insertOperation(op, nullptr);
    }
}

// Takes the payment away again outside the timing, so that every round meets a day of 100 payments.
void undo(int opId) {
    udb::execSql(QStringLiteral("delete from WARRANTES where ID_OPERATION = %1").arg(opId));
    udb::execSql(QStringLiteral("delete from PENALTY_OPERATIONS where OP_ID = %1").arg(opId));
}

void BM_BareInsert(benchmark::State& state) {
    int contract = kDayPayments;
    for (auto _ : state) {
        const int id = udb::genId(QStringLiteral("GEN_OPERATIONS_ID"));
        std::unique_ptr<fb::Transaction> t = udb::createTransaction(TolvMain::getZarvelDb());
        t->start();
        fb::Statement st(t.get());
        st.setSql(QStringLiteral(
            "insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_STORAGE_SUM, "
            "OP_PERC_SUM, OP_PENALTY_SUM, OP_DATE, NON_CALC_DAYS) values (:ID, :C, 10000, 300, "
            "1500, 0, :D, 0)"));
        st.setParam(QStringLiteral("ID"), id);
        st.setParam(QStringLiteral("C"), contract % kContracts + 1);
        st.setParam(QStringLiteral("D"), busyDay(1));
        st.execute();
        t->commit();
        state.PauseTiming();
        undo(id);
        ++contract;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareInsert)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Argument: the method; 0 the contract layer alone (a setting no strategy answers, on a day without
// rows), to show what of the time is the cash layer's.
void BM_InsertOperation(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    if (method == 0) WarrantCalculationManager::setCalculationMethod(9);
    TPenaltyOperations operations(TolvMain::getZarvelDb(), nullptr);
    int contract = kDayPayments;
    for (auto _ : state) {
        TPenaltyOperationInfo op = payment(contract % kContracts + 1, busyDay(method));
        operations.insertOperation(op, nullptr);
        state.PauseTiming();
        undo(op.getValue(TPenaltyOperationInfo::oOP_ID).toInt());
        ++contract;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertOperation)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The first payment of a new day under the method.
void BM_FirstPaymentOfADay(benchmark::State& state) {
    const int method = static_cast<int>(state.range(0));
    WarrantCalculationManager::setCalculationMethod(method);
    TPenaltyOperations operations(TolvMain::getZarvelDb(), nullptr);
    DateTime day = DateTime::encode(2025 + method, 1, 1);
    for (auto _ : state) {
        TPenaltyOperationInfo op = payment(1, day);
        operations.insertOperation(op, nullptr);
        day = day.addDays(1);
    }
}
BENCHMARK(BM_FirstPaymentOfADay)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchdb::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    tolvtest::OwnSettingsFile settings("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
    tolvtest::TestDatabase db;
    installWarrantCalculation();
    generate(db.db());
    fillDay(1);
    fillDay(2);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
