// Opening a list over a large table must show its first screen without reading the rest.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/fb/Database.h"
#include "platform/fb/Query.h"
#include "platform/fb/Script.h"
#include "platform/fb/Transaction.h"

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

void BM_OpenAndShowFirst100(benchmark::State& state) {
    fb::Database& db = table().db;
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
    fb::Database& db = table().db;
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
    const char* lock = std::getenv("FIREBIRD_LOCK");
    if (!lock || !*lock) {
        const QString dir = QDir::tempPath() + QStringLiteral("/tolvanix-fblock");
        QDir().mkpath(dir);
        setenv("FIREBIRD_LOCK", dir.toLocal8Bit().constData(), 1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
