// How long a document of 40 variables and a 1,000-row table takes to fill and write.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/rtf/RtfEngine.h"

namespace {

// A template as a word processor writes it: each variable in a paragraph of its own with its
// formatting, and a table whose second row repeats.
QByteArray makeTemplate() {
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}}"
        "{\\colortbl;\\red0\\green0\\blue0;}\\paperw11906\\paperh16838\\sectd\n";
    for (int i = 0; i < 40; ++i)
        rtf += "\\pard\\plain\\f0\\fs24 {\\b \\'cf\\'ee\\'eb\\'e5 " + QByteArray::number(i) +
               ":} [[GROUP@VALUE_" + QByteArray::number(i) + "]]\\par\n";
    const QByteArray cell = "\\pard\\plain\\intbl\\f0\\fs20 ";
    rtf += "\\trowd\\cellx2000\\cellx6000\\cellx9000" + cell + "N\\cell" + cell + "NAME\\cell" + cell +
           "SUM\\cell\\row\n";
    rtf += "\\trowd\\cellx2000\\cellx6000\\cellx9000" + cell + "[[#mSubjs]][[mSubjs.NO]]\\cell" + cell +
           "[[mSubjs.NAME]]\\cell" + cell + "[[mSubjs.SUM]][[/mSubjs]]\\cell\\row\n";
    rtf += "\\pard\\plain\\f0\\fs24 [[GROUP@TOTAL]]\\par\n}";
    return rtf;
}

void FillTemplate(benchmark::State& state) {
    QTemporaryDir dir;
    QFile in(dir.filePath(QStringLiteral("template.rtf")));
    in.open(QIODevice::WriteOnly);
    in.write(makeTemplate());
    in.close();
    rtf::Table table{
        QStringLiteral("mSubjs"), {QStringLiteral("NO"), QStringLiteral("NAME"), QStringLiteral("SUM")}, {}};
    for (int r = 0; r < 1000; ++r)
        table.rows.push_back({QString::number(r + 1),
                              QStringLiteral("Кільце золоте, проба 585, вага %1 г").arg(r),
                              QStringLiteral("%1.50").arg(r * 10)});
    const std::vector<rtf::Table> tables{table};
    for (auto _ : state) {
        rtf::Engine engine;
        engine.setInputFile(in.fileName());
        engine.setOutputFile(dir.filePath(QStringLiteral("out/document.rtf")));
        for (int i = 0; i < 40; ++i)
            engine.createVar(QStringLiteral("GROUP@VALUE_%1").arg(i),
                             QStringLiteral("Значення {%1} \\ ґ").arg(i));
        engine.createVar(QStringLiteral("GROUP@TOTAL"), QStringLiteral("одна тисяча грн 00 коп"));
        benchmark::DoNotOptimize(engine.execute(tables));
    }
}
BENCHMARK(FillTemplate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
