// Opening a list over a large table must show its first screen without reading the rest.
#include <benchmark/benchmark.h>

#include "bench/support/BenchDb.h"
#include "platform/fb/Query.h"
#include "platform/fb/Transaction.h"

namespace {

void BM_OpenAndShowFirst100(benchmark::State& state) {
    fb::Database& db = benchdb::contracts();
    for (auto _ : state) {
        fb::Transaction t(&db);
        t.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
        fb::Query q(&t);
        q.setSql(QStringLiteral("select * from CONTRACTS order by ID"));
        q.open();
        q.fetchMore(99);
        benchmark::DoNotOptimize(q.valueAt(99, 0));
        if (q.recordCount() != 100) state.SkipWithError("fetched more than the first screen");
    }
}
BENCHMARK(BM_OpenAndShowFirst100)->Unit(benchmark::kMillisecond);

void BM_OpenAndFetchAll(benchmark::State& state) {
    fb::Database& db = benchdb::contracts();
    for (auto _ : state) {
        fb::Transaction t(&db);
        fb::Query q(&t);
        q.setSql(QStringLiteral("select * from CONTRACTS order by ID"));
        q.open();
        q.fetchAll();
        benchmark::DoNotOptimize(q.recordCount());
    }
}
BENCHMARK(BM_OpenAndFetchAll)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchdb::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
