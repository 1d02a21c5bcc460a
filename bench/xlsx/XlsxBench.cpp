// Rows of 13 fields through the report writer into the contract list template, saved: the time a
// large grid export takes.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "kv_Money100Field.h"
#include "kv_xlRep.h"
#include "platform/data/MemTable.h"

namespace {

void fillTable(data::MemTable& t, int rows, std::vector<QString>& names) {
    for (int f = 0; f < 13; ++f) {
        const QString name = QStringLiteral("F%1").arg(f);
        names.push_back(name);
        if (f % 4 == 0)
            t.addField(name, data::DataType::Integer);
        else if (f % 4 == 1)
            t.adoptField(std::make_unique<ufb::TMoney100Field>(), name);
        else if (f % 4 == 2)
            t.addField(name, data::DataType::Date);
        else
            t.addField(name, data::DataType::String, 40);
    }
    t.open();
    for (int r = 0; r < rows; ++r) {
        t.append();
        for (int f = 0; f < 13; ++f) {
            data::Field& field = *t.field(f);
            if (f % 4 == 0)
                field.setValue(r);
            else if (f % 4 == 1)
                field.setValue(r * 7 + f);
            else if (f % 4 == 2)
                field.setValue(core::DateTime(45000.0 + r % 365));
            else
                field.setValue(QStringLiteral("Клиент %1 кв. %2").arg(r).arg(f));
        }
        t.post();
    }
}

void BM_OutDataSetFieldsAndSave(benchmark::State& state) {
    data::MemTable table;
    std::vector<QString> names;
    fillTable(table, static_cast<int>(state.range(0)), names);
    QTemporaryDir dir;
    for (auto _ : state) {
        ExcelReport::ExcelManagerNative xl(QStringLiteral(TOLV_REPORTS_DIR "/contractList.xlsx"));
        xl.outDataSetFields(ExcelReport::CellAdrSN(QStringLiteral("$A$2")), table, names);
        xl.save(dir.filePath(QStringLiteral("contractList.xlsx")), false);
    }
}
BENCHMARK(BM_OutDataSetFieldsAndSave)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
