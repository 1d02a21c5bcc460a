#pragma once
// The cash tests' set-up for the automatic orders: the calculation installed, services lists that keep
// their rows in ADD_SERVICES under their event, the automatic templates with known texts, and readers
// of a day's orders and registers as comparable text rows.

#include <QStringList>
#include <map>
#include <memory>

#include "CashRows.h"
#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "Warrantcalculation.h"
#include "WarrantcalculationSteps.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "platform/data/MemTable.h"
#include "u_ContractHooks.h"

namespace cashtest {

using core::DateTime;
using namespace TolvLogic;
using contracttest::scalar;

// The directory service of the name and event, made on first use.
inline int serviceId(int event, const QString& name) {
    const core::Variant id =
        scalar(QStringLiteral("select ID as V from DIR_ADD_SERVICES where ID_EVENT = %1 and NAME = %2")
                   .arg(event)
                   .arg(lit(name)));
    if (!id.isEmpty()) return id.toInt();
    const int made = udb::genId(QStringLiteral("GEN_DIR_ADD_SERVICES_ID"));
    udb::execSql(QStringLiteral("insert into DIR_ADD_SERVICES (ID, NAME, ID_EVENT) values (%1, %2, %3)")
                     .arg(made)
                     .arg(lit(name))
                     .arg(event));
    return made;
}

// A stored service row, as the services lists store theirs.
inline void addServiceRow(int event, int objectId, DateTime date, const QString& name, int price,
                          fb::Transaction* transaction = nullptr) {
    udb::execSql(QStringLiteral("insert into ADD_SERVICES (ID, ID_SERVICE, NAME, ID_OBJ, DATA, PRICE) values "
                                "(gen_id(GEN_ADD_SERVICES_ID, 1), %1, %2, %3, %4, %5)")
                     .arg(serviceId(event, name))
                     .arg(lit(name))
                     .arg(objectId)
                     .arg(lit(date))
                     .arg(price),
                 transaction);
}

// The services of one event, object and date: read from ADD_SERVICES when made for a stored object,
// stored there (replacing that object's rows of the event and date) when saved.
class StoredServices : public ServicesList {
public:
    StoredServices(ServiceEvent event, int objectId, DateTime date, fb::Transaction* transaction)
        : event_(event), objectId_(objectId), date_(date), from_(date), transaction_(transaction) {
        rows_.addField(QStringLiteral("NAME"), data::DataType::String, 255);
        rows_.addField(QStringLiteral("PRICE"), data::DataType::Integer);
        rows_.open();
        if (objectId_ < 0) return;
        ufb::AutoQuery q(
            QStringLiteral("select A.NAME, A.PRICE from ADD_SERVICES A join DIR_ADD_SERVICES D on "
                           "D.ID = A.ID_SERVICE where A.ID_OBJ = %1 and D.ID_EVENT = %2 and A.DATA = :D "
                           "order by A.ID")
                .arg(objectId_)
                .arg(event_),
            transaction_);
        q->setParam(QStringLiteral("D"), date_);
        q->open();
        for (; !q->eof(); q->next()) {
            add(q->fieldByName(QStringLiteral("NAME")).asString(),
                q->fieldByName(QStringLiteral("PRICE")).asInteger());
        }
    }
    void add(const QString& name, int price) {
        rows_.append();
        rows_.fieldByName(QStringLiteral("NAME")).setValue(name);
        rows_.fieldByName(QStringLiteral("PRICE")).setValue(price);
        rows_.post();
    }
    // The services go with their object to its new date when saved.
    void moveTo(DateTime date) {
        from_ = date_;
        date_ = date;
    }
    quint8 getEvent() const override { return event_; }
    // The object's services of the event and date (and of the date it moved from) are this list's rows
    // from now on.
    void save(int objectId, bool) override {
        objectId_ = objectId;
        udb::execSql(
            QStringLiteral("delete from ADD_SERVICES A where A.ID_OBJ = %1 and A.DATA in (%2, %3) and "
                           "A.ID_SERVICE in (select ID from DIR_ADD_SERVICES where ID_EVENT = %4)")
                .arg(objectId)
                .arg(lit(date_), lit(from_))
                .arg(event_),
            transaction_);
        for (rows_.first(); !rows_.eof(); rows_.next()) {
            addServiceRow(event_, objectId, date_, rows_.fieldByName(QStringLiteral("NAME")).asString(),
                          rows_.fieldByName(QStringLiteral("PRICE")).asInteger(), transaction_);
        }
    }
    data::Dataset& rows() override { return rows_; }

private:
    ServiceEvent event_;
    int objectId_;
    DateTime date_;
    DateTime from_;
    fb::Transaction* transaction_;
    data::MemTable rows_;
};

class StoredServicesFactory : public ServicesFactory {
public:
    std::unique_ptr<ServicesList> create(ServiceEvent event, int objectId, DateTime date,
                                         fb::Transaction* transaction) override {
        return std::make_unique<StoredServices>(event, objectId, date, transaction);
    }
    int articleNum(int serviceId) override {
        return scalar(QStringLiteral("select ARTICLE_NUM as V from DIR_ADD_SERVICES where ID = %1")
                          .arg(serviceId),
                      nullptr)
            .toInt();
    }
};

// One automatic template's texts (both languages) and account.
struct AutoTexts {
    const char* code;
    const char16_t* foundation;
    const char* account;
};

inline void setTemplates(const std::vector<AutoTexts>& texts, const QString& subject) {
    for (const AutoTexts& t : texts) {
        const QString code = QString::fromLatin1(t.code);
        udb::execSql(QStringLiteral("update DIR_WARRANTES set ACCOUNT_NUMBER = %1 where CODE = %2")
                         .arg(lit(QString::fromLatin1(t.account)), lit(code)));
        udb::execSql(
            QStringLiteral("update DIR_WARRANTES_LANGS set FOUNDATION = %1, OPERATION_SUBJECT = %2 where "
                           "ID_REC = (select ID from DIR_WARRANTES where CODE = %3)")
                .arg(lit(QString::fromUtf16(t.foundation)), lit(subject), lit(code)));
    }
}

// The texts the examples of the automatic orders use.
inline void setExampleTemplates() {
    setTemplates({{"RECEIPT_DEPOSIT", u"Возврат займа", "301"},
                  {"RECEIPT_PERCENT", u"Проценты", "703"},
                  {"RECEIPT_STORAGE", u"Хранение", "704"},
                  {"RECEIPT_PENALTY", u"Пеня", "705"},
                  {"RECEIPT_SALE", u"Реализация", "706"},
                  {"EXPENSE_DEPOSIT", u"Выдача займа", "377"},
                  {"RECEIPT_SERVICE", u"Доп. услуги", "707"},
                  {"EXPENSE_SERVICE", u"Возврат доп. услуг", "708"}},
                 QStringLiteral("Договоры"));
}

inline void setCounters(int branch, int receipt, int expense, int regReceipt = 1, int regExpense = 1) {
    udb::execSql(
        QStringLiteral("update DIR_FILIAL set WNT_RECEIPT_NUM_AUTOINC = %1, WNT_EXPENSE_NUM_AUTOINC = %2, "
                       "REG_RECEIPT_NUM_AUTOINC = %3, REG_EXPENSE_NUM_AUTOINC = %4 where ID = %5")
            .arg(receipt)
            .arg(expense)
            .arg(regReceipt)
            .arg(regExpense)
            .arg(branch));
}

inline QString counters(int branch) {
    return scalar(
               QStringLiteral("select WNT_RECEIPT_NUM_AUTOINC || ' / ' || WNT_EXPENSE_NUM_AUTOINC as V from "
                              "DIR_FILIAL where ID = %1")
                   .arg(branch))
        .toText();
}

inline void setMethod(int method) {
    WarrantCalculationManager::setCalculationMethod(method);
}

// An operation row with its four shares.
inline int newPayment(int contractId, DateTime date, int sum, int storage = 0, int perc = 0, int penalty = 0,
                      fb::Transaction* transaction = nullptr) {
    const int id = udb::genId(QStringLiteral("GEN_OPERATIONS_ID"));
    udb::execSql(
        QStringLiteral("insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_STORAGE_SUM, "
                       "OP_PERC_SUM, OP_PENALTY_SUM, OP_DATE, NON_CALC_DAYS) values (%1, %2, %3, %4, %5, "
                       "%6, %7, 0)")
            .arg(id)
            .arg(contractId)
            .arg(sum)
            .arg(storage)
            .arg(perc)
            .arg(penalty)
            .arg(lit(date)),
        transaction);
    return id;
}

inline DateTime d24(int d, int m) {
    return DateTime::encode(2024, m, d);
}

// The summary example on 15.03.2024: C1..C4 and, that day, O1 (C1), O2 (C3, which closes) and C4's
// increase, in a new branch of the number with counters 10 / 5; the summary method set.
struct SummaryDay {
    int branch, client, c1, c2, c3, c4, o1, o2, increase;
};
inline SummaryDay summaryDay(int number) {
    const DateTime D = d24(15, 3);
    setMethod(1);
    SummaryDay s{};
    s.branch = contracttest::newBranch(number, QStringLiteral("Сумарна"), false);
    setCounters(s.branch, 10, 5);
    s.client = contracttest::newClient(QStringLiteral("Клієнт"));
    const auto contract = [&](DateTime date, const char* num, int sum) {
        return contracttest::newContract(contracttest::Contract{.clientId = s.client,
                                                                .date = date,
                                                                .number = QString::fromLatin1(num),
                                                                .filialId = s.branch,
                                                                .depositSum = sum});
    };
    s.c1 = contract(d24(1, 3), "1.24.7", 100000);
    s.c2 = contract(D, "1.24.8", 50000);
    s.c3 = contract(d24(1, 2), "1.24.9", 30000);
    s.c4 = contract(d24(1, 1), "1.24.5", 40000);
    udb::execSql(QStringLiteral("update PENALTY_CONTRACTS set CONTRACT_STATE = 1, CONTRACT_CLOSE = %1 where "
                                "CONTRACT_ID = %2")
                     .arg(lit(D))
                     .arg(s.c3));
    s.o1 = newPayment(s.c1, D, 20000, 300, 1500);
    s.o2 = newPayment(s.c3, D, 30000, 0, 900, 250);
    s.increase = newPayment(s.c4, D, -10000);
    return s;
}

inline TPenaltyOperationInfo operationRecord(DateTime date, int contractId, int sum, int storage = 0,
                                             int perc = 0, int penalty = 0) {
    TPenaltyOperationInfo op;
    op.setValue(TPenaltyOperationInfo::oOP_ID, core::Variant::null());
    op.setValue(TPenaltyOperationInfo::oDEPOSIT_ID, contractId);
    op.setValue(TPenaltyOperationInfo::oOP_DATE, date);
    op.setValue(TPenaltyOperationInfo::oOP_SUM, sum);
    op.setValue(TPenaltyOperationInfo::oOP_STORAGE_SUM, storage);
    op.setValue(TPenaltyOperationInfo::oOP_PERC_SUM, perc);
    op.setValue(TPenaltyOperationInfo::oOP_PENALTY_SUM, penalty);
    op.setValue(TPenaltyOperationInfo::oNON_CALC_DAYS, 0);
    return op;
}

// Regenerates the date for the contract through the installed factory, committed.
inline void regenerate(DateTime date, int contractId, const QString& code = QStringLiteral("RECEIPT_DEPOSIT"),
                       ServicesList* services = nullptr, fb::Transaction* transaction = nullptr,
                       TPenaltyOperationInfo* operation = nullptr) {
    TPenaltyContractInfo contract(contractId, transaction);
    std::unique_ptr<WarrantCalculation> calc = createWarrantCalculation(date, contract, transaction);
    if (calc) calc->recalc(date, contract, code, operation, services, QString());
}

// The automatic orders of the day and branch, one text row each ordered by template code and sum:
// "CODE|sum|number|subject|foundation|addition|account".
inline std::vector<QString> dayOrders(DateTime date, int branch, fb::Transaction* transaction = nullptr) {
    ufb::AutoQuery q(
        QStringLiteral("select DW.CODE, W.W_SUM, W.NUMBER, cast(W.OPERATION_SUBJECT as blob sub_type text) "
                       "as S, cast(W.FOUNDATION as blob sub_type text) as F, cast(W.ADDITION as blob "
                       "sub_type text) as A, W.ACCOUNT_NUMBER from WARRANTES W join DIR_WARRANTES DW on "
                       "DW.ID = W.ID_DIR_WARRANTES where W.W_DATE = :D and W.ID_FILIAL = %1 order by "
                       "DW.CODE, W.W_SUM")
            .arg(branch),
        transaction);
    q->setParam(QStringLiteral("D"), date);
    q->open();
    std::vector<QString> rows;
    for (; !q->eof(); q->next()) {
        QStringList row;
        for (const char* f : {"CODE", "W_SUM", "NUMBER", "S", "F", "A", "ACCOUNT_NUMBER"})
            row << q->fieldByName(QString::fromLatin1(f)).asString();
        rows.push_back(row.join(u'|'));
    }
    return rows;
}

inline int registerCount(DateTime date, int branch, const QString& condition = QStringLiteral("1 = 1"),
                         fb::Transaction* transaction = nullptr) {
    return scalar(QStringLiteral(
                      "select count(*) as V from REGISTERS where R_DATE = %1 and ID_FILIAL = %2 and %3")
                      .arg(lit(date))
                      .arg(branch)
                      .arg(condition),
                  transaction)
        .toInt();
}

// A suite with the calculation and the stored services installed, and Russian texts.
class CalcSuite : public contracttest::ContractSuite {
protected:
    void SetUp() override {
        settings_ = std::make_unique<contracttest::OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
        installWarrantCalculation();
        setServicesFactory(&services_);
        setExampleTemplates();
    }
    void TearDown() override {
        setServicesFactory(nullptr);
        setWarrantCalculationFactory(nullptr);
        cashcalc::setDayLockWait(10000);
        settings_.reset();
        ContractSuite::TearDown();
    }

    StoredServicesFactory services_;
    std::unique_ptr<contracttest::OwnSettingsFile> settings_;
};

}  // namespace cashtest
