// A grid over a query of 100,000 rows must paint its first screen without reading the rest, and
// scrolling must read a page at a time.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "bench/support/BenchDb.h"
#include "platform/fb/Query.h"
#include "platform/fb/Transaction.h"
#include "platform/ui/DbGrid.h"

namespace {

// A shown grid over the contracts query, opened.
struct ContractGrid {
    fb::Transaction transaction{&benchdb::contracts()};
    fb::Query query{&transaction};
    ui::DbGrid grid;
    grid::DataSource source{&query};

    ContractGrid() {
        query.setSql(QStringLiteral("select * from CONTRACTS order by ID"));
        grid.setColumns({{.fieldName = QStringLiteral("ID"), .width = 60}, {.fieldName = QStringLiteral("NUM"), .width = 90},
                         {.fieldName = QStringLiteral("CLIENT"), .width = 200},
                         {.fieldName = QStringLiteral("SUMMA"), .width = 90}, {.fieldName = QStringLiteral("D"), .width = 90}});
        grid.setDataSource(&source);
        grid.resize(600, 800);
        query.open();
        grid.show();
        QCoreApplication::processEvents();
    }
};

// Opening the query and painting the grid's first screen.
void BM_GridFirstPaint(benchmark::State& state) {
    benchdb::contracts();  // built once, outside the measure
    for (auto _ : state) {
        ContractGrid g;
        const QPixmap picture = g.grid.grab();
        benchmark::DoNotOptimize(picture.cacheKey());
        if (g.query.recordCount() > 2 * ui::DatasetModel::kPage) state.SkipWithError("read more than the first pages");
        state.counters["rows_read"] = g.query.recordCount();
    }
}
BENCHMARK(BM_GridFirstPaint)->Unit(benchmark::kMillisecond);

// Scrolling to the bottom of what was read: the grid asks the query for one more page.
void BM_GridScrollOnePage(benchmark::State& state) {
    ContractGrid g;
    for (auto _ : state) {
        g.grid.scrollToBottom();
        QCoreApplication::processEvents();
        const QPixmap picture = g.grid.grab();
        benchmark::DoNotOptimize(picture.cacheKey());
    }
    state.counters["rows_read"] = g.query.recordCount();
}
BENCHMARK(BM_GridScrollOnePage)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchdb::prepareEnvironment();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
