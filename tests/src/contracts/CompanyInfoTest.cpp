#include <gtest/gtest.h>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "kv_FbDbIni.h"
#include "tests/support/ErrorText.h"

using core::DateTime;
using core::Variant;
using namespace contracttest;
using TolvLogic::CompanyInfo;

namespace {

// Each test on a database of its own: the company's row 1 and the shared settings are the subject.
class CompanyInfoTest : public ::testing::Test {
protected:
    void SetUp() override { udb::dbIniDropCache(); }
    void TearDown() override { udb::dbIniDropCache(); }
    static int companyRows(int id) {
        return scalar(QStringLiteral("select count(*) as V from ZVIT_COMPANY where ID = %1").arg(id)).toInt();
    }
    static QString stored(const char* key) {
        return scalar(QStringLiteral("select VAL as V from INI where SECTION = 'CompanyInfo' and NAME = '%1'")
                          .arg(QLatin1String(key)))
            .toText();
    }
    tolvtest::TestDatabase database;
};

TEST_F(CompanyInfoTest, FirstUseCreatesRowOneAndReadsDefaults) {
    ASSERT_EQ(companyRows(1), 0);
    // No settings at all: the defaults apply.
    udb::execSql(QStringLiteral("delete from INI where SECTION = 'CompanyInfo'"));
    const CompanyInfo info(1);
    EXPECT_EQ(companyRows(1), 1);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) as V from ZVIT_COMPANY where ID = 1 and FULL_NM is null "
                                    "and EDR_CD is null and SUB_DEP_CNT is null"))
                  .toInt(),
              1);
    EXPECT_EQ(info.getValue(CompanyInfo::zSUB_DEP_CNT).toInt(), 0);
    EXPECT_EQ(info.getValue(CompanyInfo::zID).toInt(), 1);
    EXPECT_TRUE(info.isCompanyVATPayer);
    EXPECT_FLOAT_EQ(info.VATValue, 20.0f);
    EXPECT_TRUE(info.INN.isEmpty());
    EXPECT_TRUE(info.contractWithNBUDate.isZero());
    // A second object finds the row and makes no other.
    const CompanyInfo again(1);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) as V from ZVIT_COMPANY")).toInt(), 1);
}

TEST_F(CompanyInfoTest, MissingRowOtherThanOneIsRefused) {
    EXPECT_EQ(tolvtest::errorText([] { CompanyInfo info(7); }),
              QStringLiteral("Невозможно загрузить информацию о предприятии"));
    EXPECT_EQ(companyRows(7), 0);
}

TEST_F(CompanyInfoTest, EveryMemberSurvivesSaveAndReload) {
    {
        CompanyInfo info(1);
        const QString texts[] = {
            QStringLiteral("12345678"),      QStringLiteral("ТОВ «Дем'ян»"), QStringLiteral("Київська"),
            QStringLiteral("01001"),         QStringLiteral("Печерський"),   QStringLiteral("Київ"),
            QStringLiteral("вул. Ґрунтова"), QStringLiteral("12, кв. 3"),    QStringLiteral("044"),
            QStringLiteral("2345678"),       QStringLiteral("2345679"),      QStringLiteral("Шевченко"),
            QStringLiteral("Їжак"),          QStringLiteral("Олегович"),     QStringLiteral("Єрмак"),
            QStringLiteral("Ірина"),         QStringLiteral("Петрівна")};
        for (int i = CompanyInfo::zEDR_CD; i < CompanyInfo::zSUB_DEP_CNT; ++i) info.setValue(i, texts[i - 1]);
        info.setValue(CompanyInfo::zSUB_DEP_CNT, 4);
        info.isCompanyVATPayer = false;
        info.INN = QStringLiteral("1234567890");
        info.VATValue = 7.1f;
        info.registrationCertificateNum = QStringLiteral("РС-17");
        info.SPEC_COMMUNICATIONS_DEPARTMENT = QStringLiteral("Відділ спецзв'язку");
        info.contractWithSpecCommunications = QStringLiteral("СЗ-9");
        info.companyAccount = QStringLiteral("26001234567");
        info.INI_COMPANY_INFO_COMPANY_BANK = QStringLiteral("Зв'язок");
        info.INI_COMPANY_INFO_COMPANY_BANK_MFO = QStringLiteral("300001");
        info.INI_COMPANY_INFO_COMPANY_OKPO = QStringLiteral("87654321");
        info.contractWithNBUNum = QStringLiteral("НБУ-1");
        info.contractWithNBUDate = day(14, 5, 2008);
        info.save();
    }
    udb::dbIniDropCache();
    const CompanyInfo info(1);
    EXPECT_EQ(info.getValue(CompanyInfo::zFULL_NM).toText(), QStringLiteral("ТОВ «Дем'ян»"));
    EXPECT_EQ(info.getValue(CompanyInfo::zSTR_NM).toText(), QStringLiteral("вул. Ґрунтова"));
    EXPECT_EQ(info.getValue(CompanyInfo::zCHACC_MN).toText(), QStringLiteral("Петрівна"));
    EXPECT_EQ(info.getValue(CompanyInfo::zSUB_DEP_CNT).toInt(), 4);
    EXPECT_FALSE(info.isCompanyVATPayer);
    EXPECT_EQ(info.INN, QStringLiteral("1234567890"));
    EXPECT_FLOAT_EQ(info.VATValue, 7.1f);
    EXPECT_EQ(stored("VATValue"), QStringLiteral("7.1"));
    EXPECT_EQ(stored("isCompanyVATPayer"), QStringLiteral("0"));
    EXPECT_EQ(info.registrationCertificateNum, QStringLiteral("РС-17"));
    EXPECT_EQ(info.SPEC_COMMUNICATIONS_DEPARTMENT, QStringLiteral("Відділ спецзв'язку"));
    EXPECT_EQ(info.contractWithSpecCommunications, QStringLiteral("СЗ-9"));
    EXPECT_EQ(info.companyAccount, QStringLiteral("26001234567"));
    EXPECT_EQ(info.INI_COMPANY_INFO_COMPANY_BANK, QStringLiteral("Зв'язок"));
    EXPECT_EQ(info.INI_COMPANY_INFO_COMPANY_BANK_MFO, QStringLiteral("300001"));
    EXPECT_EQ(info.INI_COMPANY_INFO_COMPANY_OKPO, QStringLiteral("87654321"));
    EXPECT_EQ(info.contractWithNBUNum, QStringLiteral("НБУ-1"));
    EXPECT_EQ(info.contractWithNBUDate, day(14, 5, 2008));
    EXPECT_EQ(stored("contractWithNBUDate"), QStringLiteral("14.05.2008"));
}

TEST_F(CompanyInfoTest, EmptyDateLoadsEmptyAndSavesAsDayZero) {
    {
        CompanyInfo info(1);
        EXPECT_EQ(stored("contractWithNBUDate"), QString());  // the seed's empty text
        EXPECT_TRUE(info.contractWithNBUDate.isZero());
        info.save();
    }
    EXPECT_EQ(stored("contractWithNBUDate"), QStringLiteral("30.12.1899"));
    udb::dbIniDropCache();
    EXPECT_TRUE(CompanyInfo(1).contractWithNBUDate.isZero());
}

TEST_F(CompanyInfoTest, RowsOfReportsShareTheSettings) {
    CompanyInfo own(1);
    udb::execSql(QStringLiteral("insert into ZVIT_COMPANY (ID, FULL_NM) values (5, 'Копія')"));
    own.INN = QStringLiteral("555");
    own.setValue(CompanyInfo::zFULL_NM, QStringLiteral("Власна"));
    own.save();
    udb::dbIniDropCache();
    const CompanyInfo copy(5);
    EXPECT_EQ(copy.INN, QStringLiteral("555"));
    EXPECT_EQ(copy.getValue(CompanyInfo::zFULL_NM).toText(), QStringLiteral("Копія"));
    EXPECT_EQ(CompanyInfo(1).getValue(CompanyInfo::zFULL_NM).toText(), QStringLiteral("Власна"));
}

}  // namespace
