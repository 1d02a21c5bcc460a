// The main window's contract list over 1,000,000 contracts, logged in as the manager: the search
// ("Искать" with all contracts of all branches) to its first screen painted from the grid's model, with
// the debts not cached; and the work when the selection has rested (the timer's firing: the action
// states of the contract, the debt, the operations and the sale reopened).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>

#include "MainData.h"
#include "bench/support/BenchDb.h"
#include "bench/support/MillionContracts.h"
#include "f_Main.h"
#include "kv_settingsFile.h"
#include "platform/os/Program.h"
#include "platform/ui/DbGrid.h"
#include "tests/support/TestDatabase.h"
#include "u_PercCalc.h"
#include "u_TolvGlobal.h"

namespace {

constexpr int kScreenRows = 40;

TolvMain::TFMain* window = nullptr;

// Reads every cell of the first screen as the grid paints it; the rows read.
int paintFirstScreen() {
    QAbstractItemModel* model = window->gr_Contracts->model();
    if (model->rowCount() == 0 && model->canFetchMore({})) model->fetchMore({});
    const int rows = std::min(kScreenRows, model->rowCount());
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < model->columnCount(); ++col) {
            benchmark::DoNotOptimize(model->data(model->index(row, col), Qt::DisplayRole));
            benchmark::DoNotOptimize(model->data(model->index(row, col), Qt::BackgroundRole));
        }
    return rows;
}

void BM_OpenContractListToFirstScreen(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TolvLogic::PercCalc::scClearCache(-1);
        state.ResumeTiming();
        window->openContractList();
        if (paintFirstScreen() != kScreenRows) state.SkipWithError("short first screen");
    }
}
BENCHMARK(BM_OpenContractListToFirstScreen)->Unit(benchmark::kMillisecond);

// One move down the list (not timed), then the timer's firing.
void BM_WorkAfterThePause(benchmark::State& state) {
    window->openContractList();
    data::Dataset& contracts = *window->ContractsDS->dataSet();
    contracts.first();
    int moves = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (++moves % kScreenRows == 0) contracts.first();
        contracts.next();
        state.ResumeTiming();
        QMetaObject::invokeMethod(window->timeForCalcPercents, "timeout");
    }
    if (!window->OpsDS->dataSet()->active()) state.SkipWithError("the operations were not reopened");
}
BENCHMARK(BM_WorkAfterThePause)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    benchdb::prepareEnvironment();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    // The program's folder: its settings file naming the database beside it, the per-user file apart.
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("user")).toUtf8());
    os::setProgramFile(folder.filePath(QStringLiteral("tolvanix")));
    const QString path = folder.filePath(QStringLiteral("million.fdb"));
    tolvtest::TestDatabase::build(path);
    {
        fb::Database db(path);
        db.open();
        benchdb::fillMillionContracts(db);
        db.close();
    }
    QFile ini(folder.filePath(QStringLiteral("db.ini")));
    if (!ini.open(QIODevice::WriteOnly)) return 2;
    ini.write("[DB]\nPATH=million.fdb\n[LANG_MASTER]\ninterfeyce_lang=1\nis_showed_once=1\n");
    ini.close();

    TolvGlobal::initSettingsFile();
    {
        TolvMain::TMainDataMod data;
        TolvMain::TFMain main;
        window = &main;
        if (!main.loginDialog.checkUser(QStringLiteral("MANAGER"), QStringLiteral("any"))) return 3;
        main.applyRights();
        main.createGlobalLists();
        main.cb_contrFilter->setCurrentIndex(0);
        benchmark::RunSpecifiedBenchmarks();
        main.freeGlobalLists();
        window = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
