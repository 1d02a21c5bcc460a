// The contract list's services that change stored data outside a contract object: the numbering of
// new contracts from the branch counter, and the stored change of a contract's state.
#include "PenaltyContracts.h"
#include "kv_DateUtl.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/fb/Query.h"
#include "u_ContractHooks.h"
#include "u_filials.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

const QString kDefaults = QStringLiteral("DEFAULTS");

// Whether the counter starts again at 1 between the branch's last contract and a new one.
bool restartsBetween(int rule, DateTime last, DateTime next) {
    const QDate a = last.date();
    const QDate b = next.date();
    switch (rule) {
        case 0:
            return false;
        case 1:
            return a.year() != b.year();
        case 2:
            return a.year() * 12 + a.month() != b.year() * 12 + b.month();
        case 3:
            return last.dayNumber() != next.dayNumber();
        default:
            throw core::Exception(KVLibTranslator::instance().translate(
                QStringLiteral("PenaltyContracts.TPenaltyContracts.autoincOrderNum.Exception"),
                QStringLiteral("Неизвестный тип авто сброса номера договора")));
    }
}

}  // namespace

int TPenaltyContracts::getResetContractNumOn() {
    return udb::dbIniReadInt(kDefaults, QStringLiteral("ResetContractNumOn_"), 0);
}

QString TPenaltyContracts::buildOrderNum(int filialId, DateTime contractDate) {
    return buildOrderNum(filialId, contractDate, autoincOrderNum(filialId, contractDate, false, nullptr));
}

QString TPenaltyContracts::buildOrderNum(int filialId, DateTime contractDate, int counter) {
    QString number = udb::dbIniReadString(kDefaults, QStringLiteral("OrderNumberTemplate"), QString());
    const utl::DateUtl::DateStr parts = utl::DateUtl::dateToDateStr(contractDate);
    const FilialInfo filial(filialId);
    number.replace(QStringLiteral("[POINT_NO]"), filial.getField(FilialInfo::fNUMBER).toText());
    number.replace(QStringLiteral("[AUTOINC]"), QString::number(counter));
    number.replace(QStringLiteral("[YYYY]"), parts.year4);
    number.replace(QStringLiteral("[YY]"), parts.year2);
    number.replace(QStringLiteral("[MM]"), parts.month);
    number.replace(QStringLiteral("[DD]"), parts.day);
    return number;
}

int TPenaltyContracts::autoincOrderNum(int filialId, DateTime contractDate, bool advance, fb::Transaction*) {
    const FilialInfo filial(filialId);
    const bool restart =
        restartsBetween(getResetContractNumOn(), FilialInfo::scGetLastContractDate(filial), contractDate);
    // The advance is one statement on that column alone, committed at once: two workstations never
    // take one number, and the other counters of the row are left as they are.
    if (advance)
        return FilialInfo::scTakeNumber(filialId, FilialInfo::fORDER_NUM_AUTOINC, restart, getDatabase());
    if (restart) return 1;
    const Variant counter = filial.getField(FilialInfo::fORDER_NUM_AUTOINC);
    return counter.isEmpty() ? 0 : counter.toInt();
}

bool TPenaltyContracts::isOrderNumUnique(int contractId, const QString& number, int year, int filialId) {
    QString sql =
        QStringLiteral(
            "select PC.CONTRACT_ID,PC.CONTRACT_DATE,PC.CONTRACT_NUM from PENALTY_CONTRACTS PC where   "
            "PC.CONTRACT_ID != %1  and PC.CONTRACT_NUM = '%2'  and PC.FILIAL_ID = %3")
            .arg(contractId)
            .arg(udb::quoteSql(number))
            .arg(filialId);
    if (getResetContractNumOn() == 1)
        sql += QStringLiteral(" and EXTRACT (year from PC.CONTRACT_DATE) = ") + QString::number(year);
    std::unique_ptr<fb::Query> q = createQuery();
    q->setSql(sql);
    q->open();
    const bool unique = q->eof();
    q->close();
    return unique;
}

void TPenaltyContracts::setState(int contractId, DateTime date, int state, fb::Transaction* transaction,
                                 ServicesList* services, const QString& text) {
    TPenaltyContractInfo contract(contractId, nullptr);
    const int storedState = contract.getContractValue(TPenaltyContractInfo::cCONTRACT_STATE).toInt();

    std::unique_ptr<fb::Transaction> own;
    fb::Transaction* work = transaction;
    if (!work) {
        own = udb::createTransaction(getDatabase());
        own->start();
        work = own.get();
    }
    try {
        const QString close =
            (state == csOPENED || state == csONSALE) ? QStringLiteral("NULL") : sqlDate(date);
        udb::execSql(
            QStringLiteral(" update PENALTY_CONTRACTS set                             CONTRACT_STATE = ") +
                QString::number(state) + QStringLiteral(",           CONTRACT_CLOSE = ") + close +
                QStringLiteral(" where                                                    CONTRACT_ID = ") +
                QString::number(contractId),
            work);
        if (storedState == csSALED && state != csSALED) deleteSale(contract, work, services, text);
        PercCalc::scClearCache(contractId);
        if (state == csSALED) {
            if (auto calc = createWarrantCalculation(date, contract, work)) {
                calc->recalc(date, contract, QStringLiteral("RECEIPT_SALE"), nullptr, services, text);
            }
        }
        if (own) own->commit();
    } catch (...) {
        if (own && own->inTransaction()) own->rollback();
        throw;
    }
}

void TPenaltyContracts::deleteSale(TPenaltyContractInfo& contract, fb::Transaction* transaction,
                                   ServicesList* services, const QString& text) {
    const int contractId = contract.getContractValue(TPenaltyContractInfo::cCONTRACT_ID).toInt();
    udb::execSql(QStringLiteral("delete from sales S where S.contract_id = ") + QString::number(contractId),
                 transaction);
    const Variant close = contract.getContractValue(TPenaltyContractInfo::cCONTRACT_CLOSE);
    if (close.isEmpty() || close.toDateTime().isZero()) return;
    // The sale's proceeds leave the cash orders of the day it was sold.
    if (auto calc = createWarrantCalculation(close.toDateTime(), contract, transaction)) {
        calc->recalc(close.toDateTime(), contract, QStringLiteral("RECEIPT_SALE"), nullptr, services, text);
    }
}

void TPenaltyContracts::closeContract(int contractId, DateTime date, fb::Transaction* transaction,
                                      ServicesList* services) {
    setState(contractId, date, csCLOSED, transaction, services, QString());
}

void TPenaltyContracts::reopenContract(int contractId, DateTime date, fb::Transaction* transaction) {
    setState(contractId, date, csOPENED, transaction, nullptr, QString());
}

void TPenaltyContracts::returnToSale(int contractId, fb::Transaction* transaction) {
    setState(contractId, DateTime(), csONSALE, transaction, nullptr, QString());
}

}  // namespace TolvLogic
