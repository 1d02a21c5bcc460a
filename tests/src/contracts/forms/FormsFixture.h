#pragma once
// What the contract windows' tests share: a database for the suite, a settings file of their own with
// the program folder (report templates, the Excel output folder, the per-user file beside it), the
// dialogs answered by script, and rows made per test.

#include <QDir>
#include <QFile>

#include "kv_FbDbIni.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/os/Program.h"
#include "platform/ui/Form.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/src/contracts/ContractRows.h"

namespace formstest {

using namespace contracttest;

class FormsSuite : public ContractSuite {
protected:
    void SetUp() override {
        ui::Form::setLanguage(ui::kLanguageRussian);
        udb::dbIniDropCache();
        QDir(os::programDir()).mkpath(QStringLiteral("reports"));
        QFile::copy(QStringLiteral(TOLV_EXCHANGE_TEMPLATE),
                    QDir(os::programDir()).filePath(QStringLiteral("reports/exchangeList.xlsx")));
        QDir(os::programDir()).mkpath(QStringLiteral("out"));
    }
    void TearDown() override {
        ui::Form::setLanguage(ui::kLanguageRussian);
        udb::dbIniDropCache();
        ContractSuite::TearDown();
    }
    // A branch of the test's own.
    static int branch(const QString& name = QStringLiteral("Центральна")) {
        static int number = 700;
        return newBranch(++number, name, false);
    }
    static void addRate(int filial, core::DateTime date, int rate) {
        udb::execSql(
            QStringLiteral("insert into DIR_EXCHANGE (ID_FILIAL, USD_EXCHANGE, DATA) values (%1, %2, %3)")
                .arg(filial)
                .arg(rate)
                .arg(lit(date)));
    }
    // A contract indexed to the dollar (or not) in the branch.
    static int indexedContract(int filial, core::DateTime date, int dollarPrice, bool indexed = true) {
        Contract c;
        c.clientId = newClient(QStringLiteral("Кліент"));
        c.filialId = filial;
        c.date = date;
        const int id = newContract(c);
        udb::execSql(
            QStringLiteral("update PENALTY_DEPOSITS set IS_USD_EXCHANGE = %1, DOLLAR_PRICE = %2 where "
                           "CONTRACT_ID = %3")
                .arg(indexed ? 1 : 0)
                .arg(dollarPrice)
                .arg(id));
        return id;
    }

    OwnSettingsFile settings{"[LANG_MASTER]\r\ninterfeyce_lang=1\r\n[WordReports]\r\nPATH=out\r\n"};
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
};

}  // namespace formstest
