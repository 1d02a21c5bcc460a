// Debts of contracts on a date: one contract and all 10,000 of a generated database, cold (the cache
// empty, the checkpoints stored) and warm (from the cache), and the day-by-day arithmetic alone.
#include <benchmark/benchmark.h>

#include "bench/support/BenchDb.h"
#include "platform/fb/Script.h"
#include "tests/support/TestDatabase.h"
#include "u_PercCalc.h"

using core::DateTime;
using namespace TolvLogic;

namespace {

constexpr int kContracts = 10000;
constexpr int kFirstId = 100000;

tolvtest::TestDatabase* database = nullptr;

// The day every debt is asked on.
DateTime asked() {
    return DateTime::encode(2024, 6, 1);
}

// 10,000 contracts made 10 to 409 days before the asked day, 0 to 10 operations each; every third one
// has a 30-day term that has run out, the others a term longer than their age; every tenth is indexed
// to the dollar, whose rate the branch records daily.
void generate() {
    fb::runScript(database->db(), QStringLiteral(R"(
set term ^ ;
execute block as
  declare i integer = 0; declare k integer; declare n integer; declare age integer; declare fil integer;
  declare cd date; declare step integer; declare term integer; declare d date;
begin
  select first 1 ID from DIR_FILIAL where IS_CURENT = 1 into :fil;
  d = date '2023-04-01';
  while (d <= date '2024-06-01') do begin
    insert into DIR_EXCHANGE (ID_FILIAL, USD_EXCHANGE, DATA) values (:fil, 250000 + mod(datediff(day from date '2023-04-01' to :d) * 37, 40000), :d);
    d = dateadd(1 day to d);
  end
  while (i < %1) do begin
    age = 10 + mod(i * 37, 400);
    cd = dateadd(-age day to date '2024-06-01');
    term = iif(mod(i, 3) = 0, 30, age + 30);
    insert into PENALTY_CONTRACTS (CONTRACT_ID, CLIENT_ID, AGENT_ID, CONTRACT_DATE, CONTRACT_STATE, CONTRACT_NUM, FILIAL_ID)
      values (:i + %2, -1, 1, :cd, 0, 'B-' || :i, :fil);
    insert into PENALTY_DEPOSITS (CONTRACT_ID, DEPOSIT_SUM, PENALTY_DAYS, DEPOSIT_PERC, PENALTY_PERC, SUBJECT_PRICE,
      STORAGE_TYPE, STORAGE_VAL, IS_USD_EXCHANGE, DOLLAR_PRICE, IS_CALC_PERC_WITH_PENALTY)
      values (:i + %2, 10000 + mod(:i * 7919, 2000000), :term, 1500, 100, 300000, mod(:i, 4), 10,
              iif(mod(:i, 10) = 0, 1, 0), 260000, mod(:i, 2));
    n = mod(i * 7, 11);
    step = age / (n + 1);
    k = 0;
    while (k < n) do begin
      insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_STORAGE_SUM, OP_PENALTY_SUM, OP_DATE, NON_CALC_DAYS)
        values (gen_id(GEN_OPERATIONS_ID, 1), :i + %2, iif(mod(:i + :k, 5) = 0, -5000, mod(:i * :k, 3) * 1000),
                mod(:i * 13 + :k * 101, 3000), mod(:k, 2) * 100, 0, dateadd((:k + 1) * :step day to :cd),
                iif(mod(:i + :k, 9) = 0, 1, 0));
      k = k + 1;
    end
    i = i + 1;
  end
end^
set term ; ^
)")
                                      .arg(kContracts)
                                      .arg(kFirstId));
}

// Every contract once, which stores the checkpoints of all operations.
void computeAll() {
    for (int i = 0; i < kContracts; ++i) PercCalc(kFirstId + i, nullptr).getDebt(asked(), false, false);
}

// An overdue contract with ten operations.
constexpr int kOne = kFirstId + 3 * 11 * 10 + 3;

void BM_OneContractCold(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        PercCalc::scClearCache(kOne);
        state.ResumeTiming();
        benchmark::DoNotOptimize(PercCalc(kOne, nullptr).getDebt(asked(), false, true));
    }
}
BENCHMARK(BM_OneContractCold)->Unit(benchmark::kMillisecond);

void BM_OneContractWarm(benchmark::State& state) {
    PercCalc(kOne, nullptr).getDebt(asked(), false, true);
    for (auto _ : state) benchmark::DoNotOptimize(PercCalc(kOne, nullptr).getDebt(asked(), false, true));
}
BENCHMARK(BM_OneContractWarm)->Unit(benchmark::kMicrosecond);

void BM_AllContractsCold(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        PercCalc::scClearCache(-1);
        state.ResumeTiming();
        for (int i = 0; i < kContracts; ++i) {
            benchmark::DoNotOptimize(PercCalc(kFirstId + i, nullptr).getDebt(asked(), false, true));
        }
    }
}
BENCHMARK(BM_AllContractsCold)->Unit(benchmark::kSecond)->Iterations(2);

void BM_AllContractsWarm(benchmark::State& state) {
    for (int i = 0; i < kContracts; ++i) PercCalc(kFirstId + i, nullptr).getDebt(asked(), false, true);
    for (auto _ : state) {
        for (int i = 0; i < kContracts; ++i) {
            benchmark::DoNotOptimize(PercCalc(kFirstId + i, nullptr).getDebt(asked(), false, true));
        }
    }
}
BENCHMARK(BM_AllContractsWarm)->Unit(benchmark::kMillisecond);

// The example contract over three years day by day, with a payment of the interest every month:
// the figure is contract-days per second.
void BM_ArithmeticAlone(benchmark::State& state) {
    const bool indexed = state.range(0) != 0;
    DebtTerms terms;
    terms.contractDate = DateTime::encode(2021, 1, 1).dayNumber();
    terms.depositSum = 100000;
    terms.penaltyDays = 30;
    terms.depositPerc = 1500;
    terms.penaltyPerc = 100;
    terms.storageType = 3;
    terms.storageVal = 10;
    terms.isCalcPercWithPenalty = true;
    terms.isUsdExchange = indexed;
    terms.dollarPrice = 260000;
    constexpr int kDays = 3 * 365;
    DollarRates rates;
    std::vector<OpRow> rows;
    for (int m = 1; m <= 30; ++m) {
        OpRow r;
        r.opId = m;
        r.date = terms.contractDate + m * 30;
        r.percSum = 15000;
        rows.push_back(r);
        rates.paymentDates.push_back(r.date);
    }
    for (int d = 0; d <= kDays; ++d) rates.rates.emplace_back(terms.contractDate + d, 2.6 + (d % 40) * 0.01);
    RunRequest request;
    request.to = request.end = terms.contractDate + kDays - 1;
    request.begin = terms.contractDate;
    std::vector<OpItem> items;
    items.reserve(kDays + 64);
    for (auto _ : state) {
        PercCalcState run(terms, &rates, rows, request, nullptr);
        run.run(items);
        benchmark::DoNotOptimize(items.back().perc.sum);
    }
    state.counters["contract-days/s"] =
        benchmark::Counter(double(kDays) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ArithmeticAlone)->Arg(0)->Arg(1)->ArgNames({"indexed"})->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchdb::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    tolvtest::TestDatabase db;
    database = &db;
    generate();
    computeAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
