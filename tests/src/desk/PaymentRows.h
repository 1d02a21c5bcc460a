#pragma once
// What the payment tests share: contracts whose debt is known on a date, the program's lists and
// hooks as the program installs them, a register that records or refuses, faults planted in the
// database by triggers, and a picture of every table a payment writes.

#include <QStringList>
#include <memory>

#include "PenaltyContracts.h"
#include "U_LoggedUser.h"
#include "Warrantcalculation.h"
#include "kv_fiscalRegister.h"
#include "platform/dialogs/Dialogs.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/src/desk/ServicesRows.h"
#include "u_OperationPayment.h"
#include "u_VersionConfig.h"

namespace desktest {

using core::DateTime;
using TolvMain::VuxSecur;

// Principal 1000.00 over a 20-day term at 15 % for the term, penalty 2 % a day after it, storage
// 0.50 a day within it: on day 20 the debt is 1000.00, 150.00, 20.00 and 10.00.
inline const DateTime kStart = DateTime::encode(2024, 1, 10);
inline const DateTime kDebtDay = kStart.addDays(20);

struct Terms {
    QString set = QStringLiteral(
        "PENALTY_DAYS = 20, DEPOSIT_PERC = 1500, PENALTY_PERC = 200, STORAGE_TYPE = 1, STORAGE_VAL = 50, "
        "STORAGE_SUM = 50");
    DateTime start = kStart;
    int depositSum = 100000;
    QString number = QStringLiteral("5.24.1");
    std::optional<int> depositType;
    int clientId = 0;  // 0: a client of its own
};

inline int newPaymentContract(const Terms& t = {}) {
    const int client = t.clientId ? t.clientId : newClient(QStringLiteral("Петренко Іван"));
    const int id = newContract({.clientId = client,
                                .date = t.start,
                                .number = t.number,
                                .depositSum = t.depositSum,
                                .depositType = t.depositType});
    udb::execSql(QStringLiteral("update PENALTY_DEPOSITS set ") + t.set +
                 QStringLiteral(" where CONTRACT_ID = ") + QString::number(id));
    return id;
}

// A register that prints nothing: it records the receipts asked for, and answers, refuses or fails as
// told.
struct RecordingRegister : KassRegister::FRMariya {
    enum class Fail { None, Refuse, Error, NoSignal };
    DateTime date;
    Fail fail = Fail::None;
    bool cancelFails = false;
    int receipts = 0;  // receipts closed
    int cancels = 0;
    // "pay <principal> <storage> <interest> <penalty>", "inc <sum>", "credit <number> <item sums>",
    // "cancel"
    QStringList calls;
    ServiceLines services;

    bool answer() {
        switch (fail) {
            case Fail::Refuse:
                return false;
            case Fail::Error:
                throw KassRegister::FRException({QStringLiteral("E1")}, {}, this);
            case Fail::NoSignal:
                throw KassRegister::FRNoSignal(QStringLiteral("Нет связи"), this);
            case Fail::None:
                break;
        }
        ++receipts;
        return true;
    }
    bool printPaymentCheck(const QString&, qint32 principal, qint32 storage, qint32 interest, qint32 penalty,
                           const ServiceLines& lines) override {
        calls << QStringLiteral("pay %1 %2 %3 %4").arg(principal).arg(storage).arg(interest).arg(penalty);
        services = lines;
        return answer();
    }
    bool printCreditCheck(const QString& number, Lines pledge, const ServiceLines& lines) override {
        QStringList sums;
        for (const LineInfo& l : pledge) sums << QString::number(l.sum);
        calls << QStringLiteral("credit %1 %2").arg(number, sums.join(u'+'));
        services = lines;
        return answer();
    }
    bool printCreditIncreaseCheck(const QString&, qint32 sum, const ServiceLines& lines) override {
        calls << QStringLiteral("inc %1").arg(sum);
        services = lines;
        return answer();
    }
    void cancelCheck() override {
        ++cancels;
        calls << QStringLiteral("cancel");
        if (cancelFails) throw KassRegister::FRNoSignal(QStringLiteral("Отмена не прошла"), this);
    }
    DateTime getDate() const override { return date; }
};

// Faults planted by triggers, switched by context variables of the session (and of the dialog's
// transaction for the commit).
inline void plantFaults() {
    if (scalar(QStringLiteral("select count(*) as V from RDB$EXCEPTIONS where RDB$EXCEPTION_NAME = "
                              "'TEST_FAULT'"))
            .toInt() > 0) {
        return;
    }
    const QStringList ddl = {
        QStringLiteral("create exception TEST_FAULT 'injected fault'"),
        QStringLiteral(
            "create trigger TEST_FAULT_OPS for PENALTY_OPERATIONS before insert or update position 90 as "
            "begin if (rdb$get_context('USER_SESSION', 'FAULT') = 'insert') then exception TEST_FAULT; end"),
        QStringLiteral(
            "create trigger TEST_FAULT_SERV for ADD_SERVICES before update position 90 as "
            "begin if (rdb$get_context('USER_SESSION', 'FAULT') = 'services') then exception TEST_FAULT; "
            "end"),
        QStringLiteral(
            "create trigger TEST_FAULT_CNTR for PENALTY_CONTRACTS before update position 90 as "
            "begin if (rdb$get_context('USER_SESSION', 'FAULT') = 'closing') then exception TEST_FAULT; end"),
        QStringLiteral(
            "create trigger TEST_FAULT_WARR for WARRANTES before insert or update or delete position 90 as "
            "declare n integer; begin "
            "n = coalesce(cast(rdb$get_context('USER_SESSION', 'WARR_N') as integer), 0) + 1; "
            "rdb$set_context('USER_SESSION', 'WARR_N', n); "
            "if (rdb$get_context('USER_SESSION', 'FAULT') = 'warrant' and "
            "n = cast(rdb$get_context('USER_SESSION', 'WARR_AT') as integer)) then exception TEST_FAULT; "
            "end"),
        QStringLiteral("create trigger TEST_FAULT_COMMIT on transaction commit as "
                       "begin if (rdb$get_context('USER_TRANSACTION', 'FAULT') = 'commit') then "
                       "exception TEST_FAULT; end"),
    };
    for (const QString& sql : ddl) udb::execSql(sql);
}

inline void setFault(const QString& fault, int at = 0) {
    udb::execSql(QStringLiteral("execute block as begin rdb$set_context('USER_SESSION', 'FAULT', %1); "
                                "rdb$set_context('USER_SESSION', 'WARR_AT', %2); "
                                "rdb$set_context('USER_SESSION', 'WARR_N', 0); end")
                     .arg(fault.isEmpty() ? QStringLiteral("NULL") : lit(fault))
                     .arg(at));
}

inline int warrantWrites() {
    return scalar(QStringLiteral("select rdb$get_context('USER_SESSION', 'WARR_N') as V from rdb$database"))
        .toInt();
}

// The rows a statement reads, as text: cells joined by ",", rows by ";".
inline QString tableRows(const QString& sql) {
    ufb::AutoQuery q(sql, nullptr);
    q->open();
    QStringList out;
    for (; !q->eof(); q->next()) {
        QStringList cells;
        for (int i = 0; i < q->fieldCount(); ++i) cells << q->field(i)->asString();
        out << cells.join(u',');
    }
    return out.join(u';');
}

// Every row a payment may write, as text: operations with their checkpoints, contract states, services
// and cash orders.
inline QString tablesPicture() {
    const auto rows = tableRows;
    return rows(QStringLiteral("select OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_DATE, OP_REST_BASE, "
                               "OP_REST_PERC from PENALTY_OPERATIONS order by OP_ID")) +
           u'|' +
           rows(QStringLiteral("select CONTRACT_ID, CONTRACT_STATE, CONTRACT_CLOSE from PENALTY_CONTRACTS "
                               "order by CONTRACT_ID")) +
           u'|' + rows(QStringLiteral("select ID, ID_OBJ, PRICE, DATA from ADD_SERVICES order by ID")) +
           u'|' + rows(QStringLiteral("select ID, ID_OPERATION, W_SUM, W_DATE from WARRANTES order by ID"));
}

// The program's lists and hooks, a manager or an agent logged in.
class PaymentSuite : public ContractSuite {
protected:
    void SetUp() override {
        clearServices();
        TolvLogic::installServicesFactory();
        TolvLogic::installWarrantCalculation();
        login(true);
        config = std::make_unique<TolvLogic::TVersionConfig>(&testDb().db(), true);
    }
    void TearDown() override {
        config.reset();
        VuxSecur::setLoginHook({});
        VuxSecur::reset();
        setFault(QString());
        ContractSuite::TearDown();
    }
    static void login(bool manager) {
        VuxSecur::setLoginHook([manager] {
            return VuxSecur::Login{manager ? QStringLiteral("MANAGER") : QStringLiteral("kassir"),
                                   manager ? QStringLiteral("MASTERROLE") : QStringLiteral("AGENTROLE")};
        });
    }
    std::unique_ptr<TolvLogic::OperationPayment> payment() {
        return std::make_unique<TolvLogic::OperationPayment>(&testDb().db(), config->getOperations(),
                                                             config->getContracts());
    }
    static int count(const QString& tableAndWhere) {
        return scalar(QStringLiteral("select count(*) as V from ") + tableAndWhere).toInt();
    }

    std::unique_ptr<TolvLogic::TVersionConfig> config;
    // The per-user file first: its reset comes before the settings file is set up.
    tolvtest::ScopedUserIni userIni;
    OwnSettingsFile ini{"[FISCAL_MARIYA]\r\nFRisEnabled=1\r\n"};
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs boxScope{&boxes};
};

}  // namespace desktest
