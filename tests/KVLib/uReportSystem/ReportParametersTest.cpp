#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "kv_DBRecord.h"
#include "kv_ReportSystem.h"
#include "kv_RtfUtil.h"
#include "kv_Valuta.h"
#include "platform/core/DateTime.h"
#include "platform/data/MemTable.h"
#include "platform/os/Shell.h"
#include "platform/rtf/RtfEngine.h"

namespace {

using ReportSys::ReportParameters;

TEST(ReportParameters, MoneyComesInSixForms) {
    utl::Valuta::setValuta(QStringLiteral("грн"), QStringLiteral("коп"), 0, 0);
    const struct {
        double amount;
        QStringList texts;  // NAME, _F, _F4, _E, _FE, _T
    } cases[] = {
        {0, {"0", "0.00", "0.0000", "", "", "ноль грн 00 коп"}},
        {12.5, {"12.5", "12.50", "12.5000", "0", "12.50", "двенадцать грн 50 коп"}},
        {1234.56,
         {"1234.56", "1234.56", "1234.5600", "0", "1234.56",
          "одна тысяча двести тридцать четыре грн 56 коп"}},
        {-5.25, {"-5.25", "-5.25", "-5.2500", "0", "-5.25", "минус пять грн 25 коп"}},
    };
    const QStringList suffixes{"", "_F", "_F4", "_E", "_FE", "_T"};
    for (const auto& c : cases) {
        ReportParameters p(QStringLiteral("CONTRACT"));
        p.addMoneyParam(QStringLiteral("DEPOSIT_SUM"), c.amount);
        EXPECT_EQ(p.getNames().size(), 6);
        for (int i = 0; i < suffixes.size(); ++i)
            EXPECT_EQ(p.getValue(QStringLiteral("CONTRACT@DEPOSIT_SUM") + suffixes[i]), c.texts[i])
                << c.amount << suffixes[i].toStdString();
    }
}

TEST(ReportParameters, TheFirstValueOfANameWins) {
    ReportParameters p(QStringLiteral("OPER"));
    p.addParam(QStringLiteral("SUMMA"), 1550);
    p.addMoneyParam(QStringLiteral("SUMMA"), 15.5);
    p.addParam(QStringLiteral("SUMMA"), QStringLiteral("later"));
    EXPECT_EQ(p.getValue(QStringLiteral("OPER@SUMMA")), QStringLiteral("1550"));
    EXPECT_EQ(p.getValue(QStringLiteral("OPER@SUMMA_F")), QStringLiteral("15.50"));
    EXPECT_EQ(p.getNames(), (QStringList{"OPER@SUMMA", "OPER@SUMMA_E", "OPER@SUMMA_F", "OPER@SUMMA_F4",
                                         "OPER@SUMMA_FE", "OPER@SUMMA_T"}));
}

TEST(ReportParameters, ValuesBecomeTexts) {
    ReportParameters p(QStringLiteral("COMMON"));
    p.addParam(QStringLiteral("NULL"), core::Variant::null());
    p.addParam(QStringLiteral("UNSET"), core::Variant());
    p.addParam(QStringLiteral("EMPTY"), QString());
    p.addParam(QStringLiteral("DATE"), core::DateTime::encode(2026, 12, 9));
    p.addParam(QStringLiteral("STAMP"), core::DateTime::encode(2026, 12, 9, 14, 30, 5));
    p.addParam(QStringLiteral("INT"), 42);
    p.addParam(QStringLiteral("REAL"), 0.1 + 0.2);
    p.addParam(QStringLiteral("PLAIN"), QStringLiteral("x"), false);
    EXPECT_EQ(p.getNames(), (QStringList{"COMMON@DATE", "COMMON@EMPTY", "COMMON@INT", "COMMON@REAL",
                                         "COMMON@STAMP", "PLAIN"}));
    EXPECT_EQ(p.getValue(QStringLiteral("COMMON@DATE")), QStringLiteral("09.12.2026"));
    EXPECT_EQ(p.getValue(QStringLiteral("COMMON@STAMP")), QStringLiteral("09.12.2026 14:30:05"));
    EXPECT_EQ(p.getValue(QStringLiteral("COMMON@INT")), QStringLiteral("42"));
    EXPECT_EQ(p.getValue(QStringLiteral("COMMON@REAL")), QStringLiteral("0.3"));
    EXPECT_EQ(p.getValue(QStringLiteral("COMMON@ABSENT")), QString());
    EXPECT_TRUE(p.hasValues());
    p.clear();
    EXPECT_FALSE(p.hasValues());
}

TEST(ReportParameters, RecordFieldsWithStoredPercents) {
    ufb::TDBRecord record(QStringLiteral("CONTRACTS"), nullptr);
    record.SetField(QStringLiteral("DEPOSIT_PERC"), 1550);
    record.SetField(QStringLiteral("PENALTY_PERC"), 25);
    record.SetField(QStringLiteral("DEPOSIT_SUM"), 100000);
    record.SetField(QStringLiteral("NUM"), QStringLiteral("К-1"));
    record.SetField(QStringLiteral("CLOSE_DATE"), core::Variant::null());
    ReportParameters p(QStringLiteral("CONTRACT"));
    p.addRecordFields(record);
    EXPECT_EQ(p.getValue(QStringLiteral("CONTRACT@DEPOSIT_PERC")), QStringLiteral("15.5"));
    EXPECT_EQ(p.getValue(QStringLiteral("CONTRACT@PENALTY_PERC")), QStringLiteral("0.25"));
    EXPECT_EQ(p.getValue(QStringLiteral("CONTRACT@DEPOSIT_SUM")), QStringLiteral("100000"));
    EXPECT_EQ(p.getValue(QStringLiteral("CONTRACT@NUM")), QStringLiteral("К-1"));
    EXPECT_FALSE(p.getNames().contains(QStringLiteral("CONTRACT@CLOSE_DATE")));
}

TEST(ReportParameters, DatasetsFillTheTablesOfATemplate) {
    data::MemTable subjects;
    subjects.setObjectName(QStringLiteral("mSubjs"));
    subjects.addField(QStringLiteral("NAME"), data::DataType::String, 40);
    subjects.addField(QStringLiteral("WEIGHT"), data::DataType::Float);
    subjects.open();
    for (auto [name, weight] : {std::pair{u"Кільце", 2.5}, std::pair{u"Ланцюжок", 10.0}}) {
        subjects.append();
        subjects[QStringLiteral("NAME")].setValue(QString::fromUtf16(name));
        subjects[QStringLiteral("WEIGHT")].setValue(weight);
        subjects.post();
    }
    ReportParameters p(QStringLiteral("CONTRACT"));
    p.addDataSet(&subjects);
    EXPECT_EQ(p.getDataSetCount(), 1);
    EXPECT_EQ(p.getDataSet(QStringLiteral("mSubjs")), &subjects);
    EXPECT_EQ(p.getDataSet(QStringLiteral("msubjs")), nullptr);
    EXPECT_EQ(p.getDataSetNames(), QStringList{QStringLiteral("mSubjs")});

    QTemporaryDir dir;
    QFile tpl(dir.filePath(QStringLiteral("t.rtf")));
    ASSERT_TRUE(tpl.open(QIODevice::WriteOnly));
    tpl.write("{\\rtf1 [[CONTRACT@NUM]]\\par [[#mSubjs]][[mSubjs.NAME]]=[[mSubjs.WEIGHT]][[/mSubjs]]\\par}");
    tpl.close();
    rtf::Engine engine;
    engine.setInputFile(tpl.fileName());
    engine.setOutputFile(dir.filePath(QStringLiteral("out/d.rtf")));
    ReportSys::addRtfVar(engine, QStringLiteral("CONTRACT@NUM"), QStringLiteral("К-1"));
    ReportSys::addRtfVar(engine, QStringLiteral("CONTRACT@NUM"), QStringLiteral("К-2"));
    EXPECT_EQ(engine.varValue(QStringLiteral("CONTRACT@NUM")), QStringLiteral("К-1"));
    QStringList opened;
    const auto old = os::setOpenHandler([&](const QString& path) {
        opened << path;
        return true;
    });
    EXPECT_EQ(ReportSys::executeRtf(engine, p.getDataSetArray(), true),
              dir.filePath(QStringLiteral("out/d.rtf")));
    os::setOpenHandler(old);
    EXPECT_EQ(opened, QStringList{dir.filePath(QStringLiteral("out/d.rtf"))});
    QFile out(dir.filePath(QStringLiteral("out/d.rtf")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QByteArray text = out.readAll();
    EXPECT_TRUE(text.contains("\\u1050\\'ca\\u1110\\'b3\\u1083\\'eb\\u1100\\'fc\\u1094\\'f6\\u1077\\'e5=2.5"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("=10")) << text.toStdString();
}

}  // namespace
