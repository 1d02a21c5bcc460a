// The contract list over 1,000,000 contracts: the first screen (open and 100 rows with their debts),
// cold and with the debts cached, against a bare fetch of the same statement; and each filter the main
// window offers, opened to its first screen. Every plan is printed; the program fails when the
// contracts are read NATURAL or the plain list is sorted instead of read through its date index.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "PenaltyContracts.h"
#include "bench/support/BenchDb.h"
#include "bench/support/MillionContracts.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "kv_settingsFile.h"
#include "platform/fb/Script.h"
#include "platform/fb/Statement.h"
#include "platform/os/Program.h"
#include "tests/support/TestDatabase.h"

using core::DateTime;
using namespace TolvLogic;

namespace {

constexpr int kScreen = 100;

tolvtest::TestDatabase* database = nullptr;
int rareClient = 0;
int pickedClient = 0;
bool plansBad = false;

void generate() {
    benchdb::fillMillionContracts(database->db());
    rareClient = 777;
    pickedClient = 12345;
}

QString planOf(const QString& sql) {
    auto transaction = udb::createTransaction(&database->db());
    fb::Statement st(transaction.get());
    st.setSql(sql);
    return st.plan();
}

// Prints the plan once per case and marks the run failed when the contracts are read without an index,
// or, for the plain list, when the rows are sorted instead of read in the date index's order.
void checkPlan(const char* name, const QString& sql, bool plain) {
    const QString plan = planOf(sql);
    std::printf("%s: %s\n", name, plan.toUtf8().constData());
    const bool natural = plan.contains(QStringLiteral("C NATURAL"));
    const bool sorted = plain && (plan.contains(QStringLiteral("SORT")) ||
                                  !plan.contains(QStringLiteral("C ORDER IDX_PENALTY_CONTRACTS_DATE")));
    if (natural || sorted) {
        std::printf("  ^ refused: %s\n",
                    natural ? "contracts read NATURAL" : "not read through the date index");
        plansBad = true;
    }
}

// Moves over the first screen, reading each row's principal (calculated as the row is reached).
int firstScreen(TPenaltyContracts& list) {
    data::Dataset& ds = *list.getDataSet();
    int rows = 0;
    long long sum = 0;
    for (ds.first(); !ds.eof() && rows < kScreen; ds.next(), ++rows) {
        sum += ds.fieldByName(QStringLiteral("DEPOSIT_SUM_DEBT")).asInteger();
    }
    benchmark::DoNotOptimize(sum);
    return rows;
}

void BM_FirstScreenCold(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        PercCalc::scClearCache(-1);
        state.ResumeTiming();
        TPenaltyContracts list(nullptr, true);
        list.open();
        if (firstScreen(list) != kScreen) state.SkipWithError("short first screen");
    }
}
BENCHMARK(BM_FirstScreenCold)->Unit(benchmark::kMillisecond);

void BM_FirstScreenCached(benchmark::State& state) {
    {
        TPenaltyContracts warm(nullptr, true);
        warm.open();
        firstScreen(warm);
    }
    for (auto _ : state) {
        TPenaltyContracts list(nullptr, true);
        list.open();
        if (firstScreen(list) != kScreen) state.SkipWithError("short first screen");
    }
}
BENCHMARK(BM_FirstScreenCached)->Unit(benchmark::kMillisecond);

// The same statement text, fetched bare: what the cached first screen is measured against.
void BM_BareFetchOfTheSameStatement(benchmark::State& state) {
    TPenaltyContracts list(nullptr, true);
    list.prepareSql();
    const QString sql = list.getQuery()->sql();
    for (auto _ : state) {
        std::unique_ptr<fb::Query> q = udb::createQuery(&database->db());
        q->setSql(sql);
        q->open();
        q->fetchMore(kScreen - 1);
        if (q->recordCount() != kScreen) state.SkipWithError("short first screen");
    }
}
BENCHMARK(BM_BareFetchOfTheSameStatement)->Unit(benchmark::kMillisecond);

struct FilterCase {
    const char* name;
    std::function<void(TPenaltyContracts&)> apply;
};

const FilterCase& filterCase(int index) {
    static const FilterCase cases[] = {
        {"number prefix", [](TPenaltyContracts& l) { l.filterByNumber(QStringLiteral("1.99999")); }},
        {"rare client name", [](TPenaltyContracts& l) { l.filterByClientName(QStringLiteral("рідкісн")); }},
        {"common client name",
         [](TPenaltyContracts& l) { l.filterByClientName(QStringLiteral("коваленко")); }},
        {"client by id", [](TPenaltyContracts& l) { l.filterByClientId(pickedClient); }},
        {"state sold", [](TPenaltyContracts& l) { l.filterByState(csSALED); }},
    };
    return cases[index];
}

// Setting the filter, opening and the first screen, with the debts not cached.
void BM_Filter(benchmark::State& state) {
    const FilterCase& c = filterCase(static_cast<int>(state.range(0)));
    state.SetLabel(c.name);
    for (auto _ : state) {
        state.PauseTiming();
        PercCalc::scClearCache(-1);
        state.ResumeTiming();
        TPenaltyContracts list(nullptr, true);
        c.apply(list);
        list.open();
        if (firstScreen(list) == 0) state.SkipWithError("nothing found");
    }
}
BENCHMARK(BM_Filter)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// The interface language comes from the settings file beside the program.
struct Settings {
    QTemporaryDir dir;
    Settings() {
        os::setProgramFile(dir.filePath(QStringLiteral("Tolvanix")));
        QFile ini(dir.filePath(QStringLiteral("db.ini")));
        if (ini.open(QIODevice::WriteOnly)) ini.write("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
        ini.close();
        utl::SettingsFile::init(QStringLiteral("db.ini"), utl::tfpEXE_DIR);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchdb::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    Settings settings;
    tolvtest::TestDatabase db;
    database = &db;
    generate();
    {
        TPenaltyContracts plain(nullptr, true);
        plain.prepareSql();
        checkPlan("plain list", plain.getQuery()->sql(), true);
        for (int i = 0; i <= 4; ++i) {
            TPenaltyContracts list(nullptr, true);
            filterCase(i).apply(list);
            list.prepareSql();
            checkPlan(filterCase(i).name, list.getQuery()->sql(), false);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return plansBad ? 1 : 0;
}
