// A payment taken the way the operation dialog takes it, without its window: the contract and its debt
// loaded, the sum split, the operation saved with two formula services and its cash orders, and
// committed (no documents, the register off). Against a bare insert and commit of the same row. The
// data is the cash-order benchmark's: 1,000 contracts, the day already holding 100 payments.
#include <benchmark/benchmark.h>

#include "U_LoggedUser.h"
#include "bench/support/BenchDb.h"
#include "bench/support/CashDay.h"
#include "platform/dialogs/Dialogs.h"
#include "tests/support/OwnSettingsFile.h"
#include "tests/support/TestDatabase.h"
#include "u_AddServices.h"
#include "u_OperationPayment.h"
#include "u_VersionConfig.h"

using namespace cashday;

namespace {

constexpr int kMethod = 1;

// The payment's rows go again outside the timing: every round meets the same day.
void undoPayment(int opId) {
    udb::execSql(QStringLiteral("delete from ADD_SERVICES where ID_OBJ = %1").arg(opId));
    undo(opId);
}

void BM_BareInsert(benchmark::State& state) {
    int contract = kDayPayments;
    for (auto _ : state) {
        const int id = bareInsert(++contract % kContracts + 1, busyDay(kMethod));
        state.PauseTiming();
        undoPayment(id);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareInsert)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Payment(benchmark::State& state) {
    WarrantCalculationManager::setCalculationMethod(kMethod);
    TVersionConfig config(TolvMain::getZarvelDb(), true);
    int contract = kDayPayments;
    for (auto _ : state) {
        OperationPayment payment(config.getDatabase(), config.getOperations(), config.getContracts());
        payment.open(++contract % kContracts + 1, -1, busyDay(kMethod), nullptr);
        payment.setSum(117.00);
        if (payment.save() != OperationPayment::SaveResult::Saved) state.SkipWithError("not saved");
        state.PauseTiming();
        undoPayment(payment.savedOpId());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Payment)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchdb::prepareEnvironment();
    benchmark::Initialize(&argc, argv);
    tolvtest::OwnSettingsFile settings(
        "[LANG_MASTER]\r\ninterfeyce_lang=1\r\n[FISCAL_MARIYA]\r\nFRisEnabled=0\r\n");
    tolvtest::TestDatabase db;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs boxScope(&boxes);
    TolvMain::VuxSecur::setLoginHook([] { return TolvMain::VuxSecur::Login{QStringLiteral("SYSDBA"), {}}; });
    installWarrantCalculation();
    installServicesFactory();
    generate(db.db());
    fillDay(kMethod);
    for (const auto& [name, formula] : {std::pair{"Оцінка", "OP_SUM*0.01"}, std::pair{"Довідка", "5"}}) {
        udb::execSql(
            QStringLiteral("insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT, FORMULA, IS_ACTIVE, "
                           "ARTICLE_NUM) values (gen_id(GEN_DIR_ADD_SERVICES_ID, 1), '%1', 1, '%2', 1, 91)")
                .arg(QString::fromUtf8(name), QString::fromLatin1(formula)));
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TolvMain::VuxSecur::setLoginHook({});
    return 0;
}
