#pragma once
// The documents tests' database rows and fixture: a logged-in manager, contracts with their terms and
// items, and the values of a group by name.

#include <gtest/gtest.h>

#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "U_LoggedUser.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "tests/src/cash/CashRows.h"
#include "tests/src/contracts/ContractRows.h"
#include "tests/src/desk/ServicesRows.h"
#include "tests/support/ErrorText.h"
#include "u_TolvReportParameters.h"

namespace doctest {

using namespace contracttest;

class Groups : public ContractSuite {
protected:
    void SetUp() override {
        settings_ = std::make_unique<OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
        TolvMain::VuxSecur::setLoginHook([] {
            return TolvMain::VuxSecur::Login{QStringLiteral("MANAGER"), {}};
        });
        TolvMain::VuxSecur::reset();
    }
    void TearDown() override {
        ReportParamCommon::setClock({});
        TolvMain::VuxSecur::setLoginHook({});
        TolvMain::VuxSecur::reset();
        ContractSuite::TearDown();
        settings_.reset();
    }
    std::unique_ptr<OwnSettingsFile> settings_;
    // A contract with its terms: credit and storage in hundredths, rates in hundredths of a percent.
    static int contract(int deposit, int perc, int days, int storage = 0, int penalty = 100,
                        core::DateTime date = day(10, 1, 2024)) {
        const int id =
            newContract({.clientId = newClient(QStringLiteral("Петренко Іван")),
                         .date = date,
                         .depositSum = deposit,
                         .depositType = TolvLogic::TDepositTypes::scGetIdByCode(QStringLiteral("TECH"))});
        udb::execSql(QStringLiteral("update PENALTY_DEPOSITS set DEPOSIT_PERC = %1, PENALTY_DAYS = %2, "
                                    "STORAGE_SUM = %3, PENALTY_PERC = %4 where CONTRACT_ID = %5")
                         .arg(perc)
                         .arg(days)
                         .arg(storage)
                         .arg(penalty)
                         .arg(id));
        return id;
    }
    static void item(int contractId, const QString& name, int deposit, int price = 0) {
        udb::execSql(QStringLiteral("insert into SUBJECTS (ID, ID_CONTRACT, NAME, PRICE, DEPOSIT_SUM) values "
                                    "(gen_id(GEN_SUBJECTS_ID, 1), %1, %2, %3, %4)")
                         .arg(contractId)
                         .arg(lit(name))
                         .arg(price)
                         .arg(deposit));
    }
    static QString column(data::Dataset* table, const QString& name) {
        QStringList values;
        for (table->first(); !table->eof(); table->next()) values << table->fieldByName(name).asString();
        return values.join(u' ');
    }
    static void setCompany(const QString& name, const QString& value) {
        udb::execSql(
            QStringLiteral("delete from INI where SECTION = 'CompanyInfo' and NAME = %1").arg(lit(name)));
        if (!value.isNull())
            udb::execSql(QStringLiteral("insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', %1, %2)")
                             .arg(lit(name), lit(value)));
    }
};

using Expected = std::vector<std::pair<const char*, QString>>;
inline void expectValues(const ReportSys::ReportParameters& group, const Expected& expected) {
    for (const auto& [name, value] : expected) {
        EXPECT_TRUE(group.getNames().contains(group.getCode() + u'@' + QLatin1String(name))) << name;
        EXPECT_EQ(group.getValue(group.getCode() + u'@' + QLatin1String(name)), value) << name;
    }
}

}  // namespace doctest
