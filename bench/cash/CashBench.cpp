// A payment stored with the cash layer (TPenaltyOperations::insertOperation, committed, the day's
// automatic orders regenerated) under the summary and the detailed method, against a bare insert of the
// same operation row and its commit. 1,000 contracts; the day already holds 100 payments. Also the first
// payment of a day (the day's marker or registers made).
#include <benchmark/benchmark.h>

#include "PenaltyOperations.h"
#include "Warrantcalculation.h"
#include "bench/support/BenchDb.h"
#include "bench/support/CashDay.h"
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

using namespace cashday;

void BM_BareInsert(benchmark::State& state) {
    int contract = kDayPayments;
    for (auto _ : state) {
        const int id = bareInsert(contract % kContracts + 1, busyDay(1));
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
    int contract = 0;
    for (auto _ : state) {
        // A contract of its own each round: one contract's growing history would be measured instead.
        TPenaltyOperationInfo op = payment(contract++ % kContracts + 1, day);
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
