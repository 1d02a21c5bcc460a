#pragma once
// Rows the contract tests make for themselves: branches, clients, contracts with their terms, and
// operations, each under a key of its own from the database's generators. Written on the given
// transaction, or committed at once without one (the contract's questions read committed rows only).

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <ostream>

#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_settingsFile.h"
#include "platform/core/DateTime.h"
#include "platform/fb/Transaction.h"
#include "platform/os/Program.h"
#include "tests/support/OwnSettingsFile.h"
#include "tests/support/TestDatabase.h"
#include "u_filials.h"

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace contracttest {

inline core::DateTime day(int d, int m, int y = 2009) {
    return core::DateTime::encode(y, m, d);
}

inline QString lit(const core::Variant& value) {
    return udb::var2DbVar(value);
}

inline int newBranch(int number, const QString& name, bool imported, fb::Transaction* transaction = nullptr) {
    const int id = udb::genId(QStringLiteral("GEN_DIR_FILIAL_ID"));
    udb::execSql(
        QStringLiteral(
            "insert into DIR_FILIAL (ID, NUMBER, NAME, IS_IMPORT, IS_CURENT) values (%1, %2, %3, %4, 0)")
            .arg(id)
            .arg(number)
            .arg(lit(name))
            .arg(imported ? 1 : 0),
        transaction);
    return id;
}

inline int newClient(const QString& name, fb::Transaction* transaction = nullptr) {
    const int id = udb::genId(QStringLiteral("GEN_CLIENTS_ID"));
    udb::execSql(
        QStringLiteral("insert into CLIENTS (CLIENT_ID, CLIENT_NAME) values (%1, %2)").arg(id).arg(lit(name)),
        transaction);
    return id;
}

struct Contract {
    int clientId = -1;
    core::DateTime date = day(5, 3);
    int state = 0;
    QString number = QStringLiteral("3.09.17");
    int filialId = 0;  // 0: the current branch
    int depositSum = 150000;
    int subjectPrice = 123456;
    std::optional<int> depositType;
    bool withTerms = true;
    int id = 0;  // 0: the generator's next key
};

inline int newContract(const Contract& c, fb::Transaction* transaction = nullptr) {
    const int id = c.id ? c.id : udb::genId(QStringLiteral("GEN_CONTRACTS_ID"));
    const int filial = c.filialId ? c.filialId : TolvLogic::FilialsDir::scGetCurentFilialId();
    udb::execSql(
        QStringLiteral("insert into PENALTY_CONTRACTS (CONTRACT_ID, CLIENT_ID, AGENT_ID, CONTRACT_DATE, "
                       "CONTRACT_STATE, CONTRACT_NUM, FILIAL_ID) values (%1, %2, 1, %3, %4, %5, %6)")
            .arg(id)
            .arg(c.clientId)
            .arg(lit(c.date), QString::number(c.state), lit(c.number), QString::number(filial)),
        transaction);
    if (c.withTerms) {
        udb::execSql(
            QStringLiteral("insert into PENALTY_DEPOSITS (CONTRACT_ID, DEPOSIT_SUM, PENALTY_DAYS, "
                           "DEPOSIT_PERC, PENALTY_PERC, SUBJECT_PRICE, DEPOSIT_TYPE) values (%1, %2, 30, "
                           "1500, 100, %3, %4)")
                .arg(id)
                .arg(c.depositSum)
                .arg(c.subjectPrice)
                .arg(c.depositType ? QString::number(*c.depositType) : QStringLiteral("NULL")),
            transaction);
    }
    return id;
}

struct Operation {
    core::DateTime date;
    int sum = 0;
    int nonCalcDays = 0;
    std::optional<int> rest;  // a checkpoint: every OP_REST_ column set to it
    int perc = 0;
};

inline int newOperation(int contractId, const Operation& o, fb::Transaction* transaction = nullptr) {
    const int id = udb::genId(QStringLiteral("GEN_OPERATIONS_ID"));
    const QString rest = o.rest ? QString::number(*o.rest) : QStringLiteral("NULL");
    udb::execSql(
        QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_DATE, "
                       "NON_CALC_DAYS, OP_REST_PERC, OP_REST_STORAGE, OP_REST_PENALTY, OP_REST_BASE) "
                       "values (%1, %2, %3, %4, %5, %6, %7, %7, %7, %7)")
            .arg(id)
            .arg(contractId)
            .arg(o.sum)
            .arg(o.perc)
            .arg(lit(o.date))
            .arg(o.nonCalcDays)
            .arg(rest),
        transaction);
    return id;
}

// A kind of precious metal and a tariff by assay.
inline int newMetal(const QString& name, fb::Transaction* transaction = nullptr) {
    const int id = udb::genId(QStringLiteral("GEN_DIR_DRAGME_TYPE_ID"));
    udb::execSql(
        QStringLiteral("insert into DIR_DRAGME_TYPE (ID, NAME) values (%1, %2)").arg(id).arg(lit(name)),
        transaction);
    return id;
}

inline int newTariff(int metal, const QString& assay, int price, int deposit,
                     fb::Transaction* transaction = nullptr) {
    const int id = udb::genId(QStringLiteral("GEN_GOLD_TARIF_ID"));
    udb::execSql(
        QStringLiteral("insert into GOLD_TARIF (ID, PROB_NAME, PRICE_PER_GRAM, DEPOSIT_PER_GRAM, ID_ME_TYPE) "
                       "values (%1, %2, %3, %4, %5)")
            .arg(id)
            .arg(lit(assay))
            .arg(price)
            .arg(deposit)
            .arg(metal),
        transaction);
    return id;
}

// A suite whose tests may write on the shared change transaction: what they leave there is rolled back.
class ContractSuite : public tolvtest::DbSuite {
protected:
    void TearDown() override {
        if (change()->inTransaction()) change()->rollback();
    }
    static fb::Transaction* change() { return TolvMain::getChangeTransact(); }
};

// One value of a one-row select, read on the transaction or on a transaction of its own.
inline core::Variant scalar(const QString& sql, fb::Transaction* transaction = nullptr) {
    return udb::getField(transaction, sql, QStringLiteral("V"), core::Variant(), QString());
}

using tolvtest::OwnSettingsFile;

}  // namespace contracttest
