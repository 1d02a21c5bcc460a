#include "u_PercCalc.h"

#include <climits>
#include <map>

#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "kv_FbDbIni.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Money100.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/fb/Error.h"
#include "platform/fb/Transaction.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

// The optimizer tends to take the date index for these selections, and walks every operation of the
// period of every contract: the contract's own index is the short way.
const QString kByContract =
    QStringLiteral(" PLAN SORT (PENALTY_OPERATIONS INDEX (IDX_PENALTY_OPERATIONS_RUN))");

// The statements every uncached calculation runs, prepared once per connection: preparing costs more
// than running them. Between uses a query rests on a transaction that is never started, since leaving
// its transaction would unprepare it.
class PreparedReads {
public:
    // The query of the text on the transaction, ready for its parameters; back at rest on release.
    class Use {
    public:
        Use(const QString& sql, fb::Transaction* transaction) : query_(instance().query(sql)) {
            query_.setTransaction(transaction);
        }
        ~Use() {
            query_.close();
            query_.setTransaction(instance().anchor_.get());
        }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        fb::Query* operator->() const { return &query_; }
        fb::Query& operator*() const { return query_; }

    private:
        fb::Query& query_;
    };

private:
    static PreparedReads& instance() {
        static PreparedReads reads;
        return reads;
    }

    fb::Query& query(const QString& sql) {
        fb::Database* db = TolvMain::getZarvelDb();
        if (!anchor_ || anchor_->defaultDatabase() != db) {
            // Another connection: the queries go before the transaction they rest on.
            queries_.clear();
            anchor_ = udb::createTransaction(db);
        }
        std::unique_ptr<fb::Query>& q = queries_[sql];
        if (!q) {
            q = std::make_unique<fb::Query>(anchor_.get());
            q->setSql(sql);
        }
        return *q;
    }

    std::unique_ptr<fb::Transaction> anchor_;
    std::map<QString, std::unique_ptr<fb::Query>> queries_;
};

// Reached only from the user-interface thread, like every other cache of the program.
std::map<PercCalc::CacheIdent, DebtSums>& debtCache() {
    static std::map<PercCalc::CacheIdent, DebtSums> cache;
    return cache;
}

int intOf(const Variant& value) {
    return value.isEmpty() ? 0 : value.toInt();
}

int dayOf(const Variant& value) {
    return value.isEmpty() ? 0 : value.toDateTime().dayNumber();
}

// Another workstation holds the row: Firebird 3 reports a no-wait conflict as a deadlock followed by
// an update conflict, older servers as a lock conflict.
bool isTransientWriteFailure(const fb::Error& e) {
    constexpr long concurrentTransaction = 335544878;
    return e.hasGdsCode(fb::gds::LockConflict) || e.hasGdsCode(fb::gds::Deadlock) ||
           e.hasGdsCode(fb::gds::UpdateConflict) || e.hasGdsCode(concurrentTransaction);
}

// Restores the engine's option flags however the run ends.
class FlagsGuard {
public:
    FlagsGuard(bool& skipAhead, bool& startAtCheckpoint)
        : skipAhead_(skipAhead),
          start_(startAtCheckpoint),
          savedSkip_(skipAhead),
          savedStart_(startAtCheckpoint) {
        skipAhead_ = true;
        start_ = true;
    }
    ~FlagsGuard() {
        skipAhead_ = savedSkip_;
        start_ = savedStart_;
    }
    FlagsGuard(const FlagsGuard&) = delete;
    FlagsGuard& operator=(const FlagsGuard&) = delete;

private:
    bool& skipAhead_;
    bool& start_;
    bool savedSkip_;
    bool savedStart_;
};

}  // namespace

// ---- DebtSums -------------------------------------------------------------------------------------

int DebtSums::getSaleSum() const {
    int sum = base + storage;
    if (udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("isCalcSaleSumWithPerc"), true))
        sum += perc;
    if (udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("isCalcSaleSumWithPenalty"), true)) {
        sum += penalty;
    }
    return sum;
}

// ---- PercCalcOperations ---------------------------------------------------------------------------

PercCalcOperations::PercCalcOperations(int depositId, DateTime from, DateTime to)
    : transaction_(udb::createReadTransaction(TolvMain::getZarvelDb())), depositId_(depositId) {
    PreparedReads::Use q(
        QStringLiteral("select * from PENALTY_OPERATIONS where OP_DATE between :FROM_DATE and "
                       ":TO_DATE and DEPOSIT_ID = :DEPOSIT_ID") +
            kByContract + QStringLiteral(" order by OP_DATE, OP_ID"),
        transaction_.get());
    q->setParam(QStringLiteral("FROM_DATE"), from.datePart());
    q->setParam(QStringLiteral("TO_DATE"), to.datePart());
    q->setParam(QStringLiteral("DEPOSIT_ID"), depositId);
    read(*q);
}

PercCalcOperations::PercCalcOperations(int depositId, int exceptId)
    : transaction_(udb::createReadTransaction(TolvMain::getZarvelDb())), depositId_(depositId) {
    // One text for every contract and exception (-1 is no key), so the connection reuses it.
    fb::Query q(transaction_.get());
    q.setSql(QStringLiteral("select * from PENALTY_OPERATIONS where DEPOSIT_ID = :DEPOSIT_ID and OP_ID <> "
                            ":EXCEPT_ID") +
             kByContract + QStringLiteral(" order by OP_DATE, OP_ID"));
    q.setParam(QStringLiteral("DEPOSIT_ID"), depositId);
    q.setParam(QStringLiteral("EXCEPT_ID"), exceptId);
    read(q);
}

PercCalcOperations::~PercCalcOperations() = default;

void PercCalcOperations::read(fb::Query& q) {
    q.open();
    const data::Field& id = q.fieldByName(QStringLiteral("OP_ID"));
    const data::Field& date = q.fieldByName(QStringLiteral("OP_DATE"));
    const data::Field& sum = q.fieldByName(QStringLiteral("OP_SUM"));
    const data::Field& storage = q.fieldByName(QStringLiteral("OP_STORAGE_SUM"));
    const data::Field& perc = q.fieldByName(QStringLiteral("OP_PERC_SUM"));
    const data::Field& penalty = q.fieldByName(QStringLiteral("OP_PENALTY_SUM"));
    const data::Field& nonCalc = q.fieldByName(QStringLiteral("NON_CALC_DAYS"));
    const data::Field& restBase = q.fieldByName(QStringLiteral("OP_REST_BASE"));
    const data::Field& restPerc = q.fieldByName(QStringLiteral("OP_REST_PERC"));
    const data::Field& restStorage = q.fieldByName(QStringLiteral("OP_REST_STORAGE"));
    const data::Field& restPenalty = q.fieldByName(QStringLiteral("OP_REST_PENALTY"));
    auto money = [](const data::Field& f) { return f.isNull() ? 0 : f.asInteger(); };
    for (; !q.eof(); q.next()) {
        OpRow r;
        r.opId = id.asInteger();
        r.date = date.asDateTime().dayNumber();
        r.sum = money(sum);
        r.storageSum = money(storage);
        r.percSum = money(perc);
        r.penaltySum = money(penalty);
        r.nonCalcDays = money(nonCalc);
        r.hasRest = !restBase.isNull();
        if (r.hasRest) {
            r.restBase = restBase.asInteger();
            r.restPerc = money(restPerc);
            r.restStorage = money(restStorage);
            r.restPenalty = money(restPenalty);
        }
        rows_.push_back(r);
    }
}

int PercCalcOperations::getLastOpId() const {
    return rows_.empty() ? -1 : rows_.back().opId;
}

DateTime PercCalcOperations::getLastOpDate() const {
    return rows_.empty() ? DateTime() : DateTime(rows_.back().date);
}

void PercCalcOperations::updateOperationDebt(std::size_t row, const OpItem& currDebt) {
    if (!writer_) writer_ = udb::createTransaction(TolvMain::getZarvelDb());
    fb::Transaction* transaction = writer_.get();
    TPenaltyOperationInfo record(rows_.at(row).opId, false);
    if (record.Select(transaction) == 0) {
        throw core::Exception(
            KVLibTranslator::instance().translate(QStringLiteral("exception.DB"), QString()) +
            QStringLiteral(" \n\nInfo:  fn: PercCalcOperations::updateOperationDebt(const "
                           "OpItem& currDebt), src/contracts/u_PercCalc.cpp:466"));
    }
    record.setValue(TPenaltyOperationInfo::oOP_REST_BASE, currDebt.base);
    record.setValue(TPenaltyOperationInfo::oOP_REST_PERC, currDebt.perc.sum);
    record.setValue(TPenaltyOperationInfo::oOP_REST_PENALTY, currDebt.penalty.sum);
    record.setValue(TPenaltyOperationInfo::oOP_REST_STORAGE, currDebt.storage.sum);
    try {
        record.Update(transaction, true);
    } catch (const fb::Error& e) {
        // A checkpoint is a shortcut: the figures stand without it, and the next run writes it.
        if (!isTransientWriteFailure(e)) throw;
    }
}

void PercCalcOperations::scClearOperationDebts(int depositId, fb::Transaction* transaction) {
    PercCalc::scClearCache(depositId);
    QString sql = QStringLiteral(
        " update PENALTY_OPERATIONS set             OP_REST_BASE=NULL,                        "
        "OP_REST_PERC=NULL,                        OP_REST_PENALTY=NULL,                     "
        "OP_REST_STORAGE=NULL                     ");
    if (depositId != -1) sql += QStringLiteral(" where DEPOSIT_ID = :DEPOSIT_ID");
    ufb::AutoQuery q(sql, transaction);
    if (depositId != -1) q->setParam(QStringLiteral("DEPOSIT_ID"), depositId);
    q->execSql();
    if (!transaction) q->transaction()->commit();  // stored by our own commit, where a failure raises
}

// ---- PercCalc -------------------------------------------------------------------------------------

PercCalc::PercCalc(const TPenaltyContractInfo* contract, const TPenaltyOperationInfo* operation)
    : contract_(contract),
      contractId_(contract->getContractValue(TPenaltyContractInfo::cCONTRACT_ID).toInt()),
      operation_(operation) {}

PercCalc::PercCalc(int contractId, const TPenaltyOperationInfo* operation)
    : contractId_(contractId), operation_(operation) {}

PercCalc::~PercCalc() = default;

fb::Transaction* PercCalc::reads() {
    if (!reads_) {
        reads_ = udb::createTransaction(TolvMain::getZarvelDb());
        reads_->setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                           QStringLiteral("nowait"), QStringLiteral("read")});
    }
    return reads_.get();
}

void PercCalc::endReads() {
    if (reads_ && reads_->inTransaction()) reads_->commit();
}

const TPenaltyContractInfo& PercCalc::contract() {
    if (!contract_) {
        // One transaction and three prepared selections for the three rows of the contract.
        auto select = [this](const char* table) {
            auto use = std::make_unique<PreparedReads::Use>(
                QStringLiteral("select * from ") + QString::fromLatin1(table) +
                    QStringLiteral(" where CONTRACT_ID = :CONTRACT_ID"),
                reads());
            (*use)->setParam(QStringLiteral("CONTRACT_ID"), contractId_);
            (*use)->open();
            return use;
        };
        const auto head = select("PENALTY_CONTRACTS");
        const auto terms = select("PENALTY_DEPOSITS");
        const auto import = select("CONTRACT_IMPORT");
        ownContract_ = std::make_unique<TPenaltyContractInfo>(reads());
        ownContract_->setContractValue(TPenaltyContractInfo::cCONTRACT_ID, contractId_);
        ownContract_->load(**head, **terms, **import);
        contract_ = ownContract_.get();
    }
    return *contract_;
}

DebtTerms PercCalc::scTermsOf(const TPenaltyContractInfo& contract) {
    using C = TPenaltyContractInfo;
    const ufb::TDBRecord& head = contract.getContractRecord();
    const ufb::TDBRecord& deposit = contract.getDepositRecord();
    auto column = [](const ufb::TDBRecord& record, const char* const* names, int index) {
        return record.GetField(QString::fromLatin1(names[index]), false);
    };
    auto term = [&](int index) { return intOf(column(deposit, penaltyDepositsFields, index)); };
    DebtTerms t;
    t.contractId = intOf(column(head, penaltyContractsFields, C::cCONTRACT_ID));
    t.contractDate = dayOf(column(head, penaltyContractsFields, C::cCONTRACT_DATE));
    t.state = intOf(column(head, penaltyContractsFields, C::cCONTRACT_STATE));
    const Variant close = column(head, penaltyContractsFields, C::cCONTRACT_CLOSE);
    t.hasClose = !close.isEmpty();
    t.closeDate = dayOf(close);
    t.filialId = intOf(column(head, penaltyContractsFields, C::cFILIAL_ID));
    t.depositSum = term(C::dDEPOSIT_SUM);
    t.penaltyDays = term(C::dPENALTY_DAYS);
    t.depositPerc = term(C::dDEPOSIT_PERC);
    t.penaltyPerc = term(C::dPENALTY_PERC);
    t.dollarPrice = term(C::dDOLLAR_PRICE);
    t.subjectPrice = term(C::dSUBJECT_PRICE);
    t.isCalcPercWithPenalty = term(C::dIS_CALC_PERC_WITH_PENALTY) != 0;
    t.exceedDays = term(C::dEXCEED_DAYS);
    t.isPrivInExceed = term(C::dIS_PRIV_IN_EXCEED) != 0;
    t.isPenalFromRetSum = term(C::dIS_PENAL_FROM_RET_SUM);
    t.minAccrualDays = term(C::dMIN_ACCRUAL_DAYS);
    t.storageType = term(C::dSTORAGE_TYPE);
    t.storageVal = term(C::dSTORAGE_VAL);
    t.isStorageStartWPen = term(C::dIS_STORAGE_START_W_PEN) != 0;
    t.storageMinDays = term(C::dSTORAGE_MIN_DAYS);
    t.isUsdExchange = term(C::dIS_USD_EXCHANGE) != 0;
    t.isMakeExchangeByIncrease = term(C::dIS_MAKE_EXCHANGE_BY_INCREASE) != 0;
    return t;
}

DollarRates PercCalc::scLoadRates(const DebtTerms& terms, fb::Transaction* transaction) {
    DollarRates rates;
    if (!terms.isUsdExchange) return rates;
    // The rate day of every accrued day is a payment date or the day itself; both lists are read once.
    ufb::AutoQuery payments(QStringLiteral("select OP_DATE from PENALTY_OPERATIONS where DEPOSIT_ID = ") +
                                QString::number(terms.contractId) + QStringLiteral(" and OP_SUM>=0") +
                                kByContract + QStringLiteral(" order by OP_DATE"),
                            transaction);
    payments->open();
    for (; !payments->eof(); payments->next()) {
        rates.paymentDates.push_back(
            payments->fieldByName(QStringLiteral("OP_DATE")).asDateTime().dayNumber());
    }
    ufb::AutoQuery history(QStringLiteral("select DATA, USD_EXCHANGE from DIR_EXCHANGE where ID_FILIAL = ") +
                               QString::number(terms.filialId) + QStringLiteral(" order by DATA"),
                           payments->transaction());
    history->open();
    for (; !history->eof(); history->next()) {
        rates.rates.emplace_back(
            history->fieldByName(QStringLiteral("DATA")).asDateTime().dayNumber(),
            Money100::fromTenThousandths(history->fieldByName(QStringLiteral("USD_EXCHANGE")).asLargeInt()));
    }
    return rates;
}

long double PercCalc::scGetDayRate(const TPenaltyContractInfo& contract, DateTime date) {
    const DebtTerms terms = scTermsOf(contract);
    const DollarRates rates = scLoadRates(terms);
    return dayRate(terms, &rates, date.dayNumber());
}

void PercCalc::calcPeriod(const DebtTerms& terms, int to, bool ignoreState, RunRequest& request) {
    request.begin = terms.contractDate;
    request.end = to;
    request.tailDays = 0;
    if (operation_) {
        request.tailDays = intOf(operation_->GetField(QStringLiteral("NON_CALC_DAYS"), false));
    }
    if (ignoreState) return;
    if ((terms.state == csCLOSED || terms.state == csSALED) && terms.hasClose && to > terms.closeDate) {
        request.end = terms.closeDate;
    }
    if (terms.state == csSALED || terms.state == csONSALE) {
        if (!toSale_) {
            toSale_ = std::make_unique<TToSaleInfo>(nullptr);
            toSale_->setValue(TToSaleInfo::tCONTRACT_ID, contractId_);
            if (toSale_->Select(reads()) == 0) toSale_.reset();
        }
        if (toSale_) {
            const int toSaleDate = dayOf(toSale_->getValue(TToSaleInfo::tTOSALE_DATE));
            if (to >= toSaleDate) {
                request.end = toSaleDate;
                request.tailDays = intOf(toSale_->getValue(TToSaleInfo::tNON_CALC_DAYS));
            }
        }
    }
}

std::vector<OpItem>& PercCalc::calc(const utl::DateUtl::DateInterval& interval, bool onlyEvents,
                                    bool ignoreState) {
    RunRequest request;
    request.from = interval.begin.dayNumber();
    request.to = interval.end.dayNumber();
    terms_ = scTermsOf(contract());
    calcPeriod(terms_, request.to, ignoreState, request);
    if (operation_) {
        request.boundingOpId = intOf(operation_->GetField(QStringLiteral("OP_ID"), false));
        const Variant date = operation_->GetField(QStringLiteral("OP_DATE"), false);
        request.hasBoundingDate = !date.isEmpty();
        request.boundingDate = dayOf(date);
    }
    request.onlyEvents = onlyEvents;
    request.skipAhead = skipAhead_;
    request.startAtCheckpoint = startAtCheckpoint_;

    PercCalcOperations operations(contractId_, DateTime(request.begin), DateTime(request.end));
    const DollarRates rates = scLoadRates(terms_, reads());
    endReads();
    PercCalcState state(terms_, &rates, operations.rows(), request, &operations);
    state.run(items_);
    return items_;
}

DebtSums PercCalc::getDebt(DateTime date, bool ignoreState, bool useCache) {
    const CacheIdent key{contractId_, date.dayNumber(), ignoreState,
                         operation_ ? intOf(operation_->GetField(QStringLiteral("OP_ID"), false)) : -1};
    auto& cache = debtCache();
    if (useCache) {
        const auto hit = cache.find(key);
        if (hit != cache.end()) return hit->second;
    }
    {
        FlagsGuard flags(skipAhead_, startAtCheckpoint_);
        calc(utl::DateUtl::DateInterval(DateTime(0.0), date), false, ignoreState);
    }
    if (date.dayNumber() < terms_.contractDate) return DebtSums();
    DebtSums result;
    if (!items_.empty()) {
        const OpItem& last = items_.back();
        result.base = last.base;
        result.perc = last.perc.sum;
        result.penalty = last.penalty.sum;
        result.storage = last.storage.sum;
        result.debtDays = debtDaysOf(terms_, items_);
    }
    cache[key] = result;
    return result;
}

void PercCalc::scClearCache(int contractId) {
    auto& cache = debtCache();
    if (contractId == -1) {
        cache.clear();
        return;
    }
    cache.erase(cache.lower_bound(CacheIdent{contractId, INT_MIN, false, INT_MIN}),
                cache.lower_bound(CacheIdent{contractId + 1, INT_MIN, false, INT_MIN}));
}

}  // namespace TolvLogic
