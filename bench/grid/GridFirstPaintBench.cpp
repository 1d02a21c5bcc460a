// A grid over a query of 100,000 rows must paint its first screen without reading the rest, and
// scrolling must read a page at a time.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/fb/Database.h"
#include "platform/fb/Query.h"
#include "platform/fb/Script.h"
#include "platform/fb/Transaction.h"
#include "platform/ui/DbGrid.h"

namespace {

constexpr int kRows = 100000;

struct BigTable {
    QTemporaryDir dir;
    fb::Database db;
    BigTable() : db(dir.filePath(QStringLiteral("bench.fdb"))) {
        db.create();
        fb::runScript(db, QStringLiteral(
            "create table CONTRACTS (ID integer not null primary key, NUM varchar(80), CLIENT varchar(80), "
            "SUMMA integer, D date);\n"
            "set term ^ ;\n"
            "execute block as declare i integer = 0; begin while (i < %1) do begin "
            "insert into CONTRACTS values (:i, 'Д-' || :i, 'Клієнт ' || :i, :i * 100, dateadd(:i / 100 day to "
            "date '2020-01-01')); i = i + 1; end end^\n"
            "set term ; ^\n").arg(kRows));
    }
};

BigTable& table() {
    static BigTable t;
    return t;
}

std::vector<grid::Column> columns() {
    return {{.fieldName = QStringLiteral("ID"), .width = 60}, {.fieldName = QStringLiteral("NUM"), .width = 90},
            {.fieldName = QStringLiteral("CLIENT"), .width = 200}, {.fieldName = QStringLiteral("SUMMA"), .width = 90},
            {.fieldName = QStringLiteral("D"), .width = 90}};
}

// Opening the query and painting the grid's first screen.
void BM_GridFirstPaint(benchmark::State& state) {
    table();  // built once, outside the measure
    for (auto _ : state) {
        fb::Transaction t(&table().db);
        fb::Query q(&t);
        q.setSql(QStringLiteral("select * from CONTRACTS order by ID"));
        ui::DbGrid grid;
        grid::DataSource source(&q);
        grid.setColumns(columns());
        grid.setDataSource(&source);
        grid.resize(600, 800);
        q.open();
        grid.show();
        QCoreApplication::processEvents();
        const QPixmap picture = grid.grab();
        benchmark::DoNotOptimize(picture.cacheKey());
        if (q.recordCount() > 2 * ui::DatasetModel::kPage) state.SkipWithError("read more than the first pages");
        state.counters["rows_read"] = q.recordCount();
    }
}
BENCHMARK(BM_GridFirstPaint)->Unit(benchmark::kMillisecond);

// One page further down: the grid asks the query for one more page.
void BM_GridScrollOnePage(benchmark::State& state) {
    fb::Transaction t(&table().db);
    fb::Query q(&t);
    q.setSql(QStringLiteral("select * from CONTRACTS order by ID"));
    ui::DbGrid grid;
    grid::DataSource source(&q);
    grid.setColumns(columns());
    grid.setDataSource(&source);
    grid.resize(600, 800);
    q.open();
    grid.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        grid.scrollToBottom();
        QCoreApplication::processEvents();
        const QPixmap picture = grid.grab();
        benchmark::DoNotOptimize(picture.cacheKey());
    }
    state.counters["rows_read"] = q.recordCount();
}
BENCHMARK(BM_GridScrollOnePage)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const char* lock = std::getenv("FIREBIRD_LOCK");
    if (!lock || !*lock) {
        const QString dir = QDir::tempPath() + QStringLiteral("/tolvanix-fblock");
        QDir().mkpath(dir);
        setenv("FIREBIRD_LOCK", dir.toLocal8Bit().constData(), 1);
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
