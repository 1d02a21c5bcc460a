#include "Warrantcalculation.h"

#include <QThread>

#include "PenaltyWarrantTemplates.h"
#include "PenaltyWarrants.h"
#include "WarrantcalculationSteps.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "platform/data/Dataset.h"
#include "platform/fb/Query.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/fb/Error.h"
#include "platform/fb/Transaction.h"
#include "u_filials.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

// ---- settings -------------------------------------------------------------------------------------

namespace CashSettings {

int warrantCalculationMethod() {
    return udb::dbIniReadInt(QStringLiteral("DEFAULTS"), QStringLiteral("WarrantCalculationMethod"), 1);
}

bool groupAutoOrdersInRegister() {
    return udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("groupAutoOrdersInRegister"), false);
}

bool numCashBookSheets() {
    return udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("INI_DFLT_NumCashBookSheets"), true);
}

bool canAgentSeeCashDate() {
    return udb::dbIniReadBool(QStringLiteral("PERMISSION"), QStringLiteral("CanAgentSeeCashDate"), false);
}

}  // namespace CashSettings

// ---- steps shared by both methods ------------------------------------------------------------------

namespace cashcalc {

namespace {
int lockWaitMs = 10000;
}

void setDayLockWait(int milliseconds) {
    lockWaitMs = milliseconds;
}

bool isBusy(const fb::Error& e) {
    // "attempt to store duplicate value (visible to active transactions)": a key of a row another
    // transaction has not committed yet.
    constexpr long kDuplicateNotCommitted = 335544349;
    return e.hasGdsCode(fb::gds::LockConflict) || e.hasGdsCode(fb::gds::Deadlock) ||
           e.hasGdsCode(fb::gds::UpdateConflict) || e.hasGdsCode(fb::gds::UniqueKey) ||
           e.hasGdsCode(kDuplicateNotCommitted);
}

void retryWhileBusy(const std::function<bool()>& attempt, DateTime date) {
    constexpr int kPauseMs = 5;
    for (int waited = 0;; waited += kPauseMs) {
        try {
            if (attempt()) return;
        } catch (const fb::Error& e) {
            if (!isBusy(e)) throw;
        }
        if (waited >= lockWaitMs) {
            throw core::Exception(
                kvtr::tr("Warrantcalculation.dayBusy",
                         u"Кассовые ордера за %1 сейчас пересчитывает другое рабочее место. "
                         u"Повторите операцию позже.")
                    .arg(core::dateToStr(date)));
        }
        QThread::msleep(kPauseMs);
    }
}

void Templates::readAll() {
    readAll_ = true;
    // The codes the regenerations use; a code missing here is looked up alone below and raises.
    ufb::AutoQuery q(QStringLiteral("select * from DIR_WARRANTES where CODE in ('RECEIPT_DEPOSIT', "
                                    "'RECEIPT_PERCENT', 'RECEIPT_STORAGE', 'RECEIPT_PENALTY', 'RECEIPT_SALE', "
                                    "'EXPENSE_DEPOSIT', 'RECEIPT_SERVICE', 'EXPENSE_SERVICE') order by ID"),
                     transaction_);
    q->open();
    for (; !q->eof(); q->next()) {
        info_.LoadFromDataSet(*q.get());
        // The first template of a code, as the lookup of the code alone reads it.
        read_.emplace(info_.GetField(DirWarrantInfo::dCODE).toText(), current());
    }
}

Template Templates::current() const {
    return Template{.id = info_.GetField(DirWarrantInfo::dID).toInt(),
                    .type = info_.GetField(DirWarrantInfo::dW_TYPE).toInt(),
                    .account = info_.GetField(DirWarrantInfo::dACCOUNT_NUMBER).toText(),
                    .foundation = info_.getFoundation(),
                    .subject = info_.getOperationSubject()};
}

const Template& Templates::get(const QString& code) {
    if (!readAll_) readAll();
    auto found = read_.find(code);
    if (found != read_.end()) return found->second;
    info_.loadAutoWarrant(code, transaction_);
    return read_.emplace(code, current()).first->second;
}

DayOrders::DayOrders(DateTime date, int branchId, fb::Transaction* transaction)
    : date_(date), branchId_(branchId), rows_(udb::createQuery(transaction)) {
    rows_->setSql(QStringLiteral("select ") + WarrantInfo::selectList() +
                  QStringLiteral(" from WARRANTES where W_DATE = :W_DATE and ID_FILIAL = :ID_FILIAL and "
                                 "ID_DIR_WARRANTES is not null order by ID"));
    rows_->setParam(QStringLiteral("W_DATE"), date);
    rows_->setParam(QStringLiteral("ID_FILIAL"), branchId);
    rows_->open();
}

DayOrders::~DayOrders() = default;

void DayOrders::loadOrInit(WarrantInfo& order, int templateId, std::optional<int> serviceEvent) {
    data::Dataset& rows = *rows_;
    data::Field& templ = rows.fieldByName(QStringLiteral("ID_DIR_WARRANTES"));
    data::Field& event = rows.fieldByName(QStringLiteral("ID_SERVICE_EVENT"));
    data::Dataset* found = nullptr;
    for (rows.first(); !rows.eof(); rows.next()) {
        if (templ.isNull() || templ.asInteger() != templateId) continue;
        if (serviceEvent && (event.isNull() || event.asInteger() != *serviceEvent)) continue;
        found = &rows;
        break;
    }
    order.loadOrInitForDay(date_, templateId, branchId_, found, serviceEvent);
}

void storeOrder(WarrantInfo& order, int branchId, fb::Transaction* transaction) {
    const int counter = order.GetField(WarrantInfo::wW_TYPE).toInt() == 0
                            ? FilialInfo::fWNT_RECEIPT_NUM_AUTOINC
                            : FilialInfo::fWNT_EXPENSE_NUM_AUTOINC;
    fb::Database* db = transaction->defaultDatabase();
    order.saveOrDrop([&] { return QString::number(FilialInfo::scTakeNumber(branchId, counter, false, db)); },
                     transaction);
}

}  // namespace cashcalc

// ---- the manager ------------------------------------------------------------------------------------

WarrantCalculationManager::WarrantCalculationManager(fb::Transaction* transaction)
    : transaction_(transaction) {}

WarrantCalculationManager::~WarrantCalculationManager() = default;

fb::Database* WarrantCalculationManager::database() const {
    if (transaction_ && transaction_->defaultDatabase()) return transaction_->defaultDatabase();
    return TolvMain::getZarvelDb();
}

int WarrantCalculationManager::getDayCalculationMethod(DateTime date, int branchId, fb::Database* database) {
    if (branchId == -1) branchId = FilialsDir::scGetCurentFilialId(false);
    std::unique_ptr<fb::Query> q = udb::createReadQuery(database ? database : TolvMain::getZarvelDb());
    q->setSql(QStringLiteral("SELECT r_type from registers where r_date = :DATE_FOR and ID_FILIAL = ") +
              QString::number(branchId));
    q->setParam(QStringLiteral("DATE_FOR"), date);
    q->open();
    const int method = q->eof() ? 0 : (q->fieldByName(QStringLiteral("R_TYPE")).asInteger() == 0 ? 1 : 2);
    q->close();
    q->transaction()->commit();
    return method;
}

int WarrantCalculationManager::getCalculationMethod(DateTime date, int branchId, fb::Database* database) {
    const int recorded = getDayCalculationMethod(date, branchId, database);
    if (recorded != 0) return recorded;
    return static_cast<quint8>(CashSettings::warrantCalculationMethod());
}

bool WarrantCalculationManager::setCalculationMethod(int method) {
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("WarrantCalculationMethod"), method, nullptr);
    return true;
}

bool WarrantCalculationManager::checkCalculationMethod(int method) {
    const int recorded = getDayCalculationMethod(DateTime::today(), -1);
    return recorded == 0 || recorded == method;
}

std::unique_ptr<WarrantCalculationManager> WarrantCalculationManager::scCreate(DateTime date, int branchId,
                                                                               fb::Transaction* transaction) {
    fb::Database* db = transaction ? transaction->defaultDatabase() : nullptr;
    switch (getCalculationMethod(date, branchId, db)) {
        case 1:
            return std::make_unique<WarrantCalculationSum>(transaction);
        case 2:
            return std::make_unique<WarrantCalculationDetail>(transaction);
        default:
            return nullptr;
    }
}

int WarrantCalculationManager::getReceiptNumber(int branchId) {
    return FilialInfo(branchId).getField(FilialInfo::fWNT_RECEIPT_NUM_AUTOINC).toInt();
}

int WarrantCalculationManager::getExpenseNumber(int branchId) {
    return FilialInfo(branchId).getField(FilialInfo::fWNT_EXPENSE_NUM_AUTOINC).toInt();
}

void WarrantCalculationManager::advanceReceiptNumber(int branchId) {
    FilialInfo::scTakeNumber(branchId, FilialInfo::fWNT_RECEIPT_NUM_AUTOINC);
}

void WarrantCalculationManager::advanceExpenseNumber(int branchId) {
    FilialInfo::scTakeNumber(branchId, FilialInfo::fWNT_EXPENSE_NUM_AUTOINC);
}

qint64 WarrantCalculationManager::selectSum(const QString& sql, DateTime date, fb::Transaction* transaction) {
    ufb::AutoQuery q(sql, transaction);
    q->setParam(QStringLiteral("DATE_FOR"), date);
    q->open();
    if (q->eof()) return 0;
    const data::Field& sum = q->fieldByName(QStringLiteral("C_SUM"));
    return sum.isNull() ? 0 : sum.value().toInt64();
}

namespace {

QString daySumSql(bool before, int branchId, int type) {
    return QStringLiteral(" select sum(W.W_SUM) AS C_SUM from WARRANTES W where ") +
           (before ? QStringLiteral("W.W_DATE<:DATE_FOR") : QStringLiteral("W.W_DATE=:DATE_FOR")) +
           QStringLiteral(" and W.ID_FILIAL = ") + QString::number(branchId) +
           QStringLiteral(" and W.W_TYPE = ") + QString::number(type);
}

}  // namespace

bool WarrantCalculationManager::hasReceipts(DateTime date, int branchId, fb::Transaction* transaction) {
    return selectSum(daySumSql(false, branchId, 0), date, transaction) > 0;
}

bool WarrantCalculationManager::hasExpenses(DateTime date, int branchId, fb::Transaction* transaction) {
    return selectSum(daySumSql(false, branchId, 1), date, transaction) > 0;
}

qint64 WarrantCalculationManager::getBalanceBefore(DateTime date, int branchId,
                                                   fb::Transaction* transaction) {
    return selectSum(daySumSql(true, branchId, 0), date, transaction) -
           selectSum(daySumSql(true, branchId, 1), date, transaction);
}

void WarrantCalculationManager::getDayTotals(DateTime date, int branchId, qint64& receipts, qint64& expenses,
                                             fb::Transaction* transaction) {
    receipts = selectSum(daySumSql(false, branchId, 0), date, transaction);
    expenses = selectSum(daySumSql(false, branchId, 1), date, transaction);
}

void WarrantCalculationManager::recalcTwoDates(DateTime date1, DateTime date2, TPenaltyContractInfo& contract,
                                               const QString& code, TPenaltyOperationInfo* operation,
                                               ServicesList* services, const QString& text) {
    recalc(date1, contract, code, operation, services, text);
    if (date2 != date1) recalc(date2, contract, code, operation, services, text);
}

void WarrantCalculationManager::recalcDates(const std::vector<DateTime>& dates,
                                            TPenaltyContractInfo& contract, const QString& code,
                                            TPenaltyOperationInfo* operation, ServicesList* services,
                                            const QString& text) {
    for (const DateTime date : dates) recalc(date, contract, code, operation, services, text);
}

// ---- the factory ------------------------------------------------------------------------------------

std::unique_ptr<WarrantCalculation> WarrantCalculationManagerFactory::scCreate(DateTime date, int filialId,
                                                                               fb::Transaction* transaction) {
    return WarrantCalculationManager::scCreate(date, filialId, transaction);
}

void installWarrantCalculation() {
    static WarrantCalculationManagerFactory factory;
    setWarrantCalculationFactory(&factory);
}

}  // namespace TolvLogic
