// Saving and deleting a contract: the contract's writes and the regeneration of the automatic cash
// orders of every day they touch, and the fiscal receipt of a new loan.

#include <algorithm>

#include "PenaltyContracts.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/core/Exception.h"
#include "platform/data/Dataset.h"
#include "platform/fb/Query.h"
#include "platform/fb/Transaction.h"
#include "u_ContractHooks.h"
#include "u_PercCalc.h"
#include "u_ServiceReceipt.h"
#include "u_contractSubjects.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

const QString kExpenseDeposit = QStringLiteral("EXPENSE_DEPOSIT");

// The caller's transaction, or one of our own that the work commits once at its end.
class WorkTransaction {
public:
    explicit WorkTransaction(fb::Transaction* given) : given_(given) {
        if (!given_) {
            own_ = udb::createTransaction(TolvMain::getZarvelDb());
            own_->start();
        }
    }
    ~WorkTransaction() {
        if (own_ && own_->inTransaction()) own_->rollback();
    }
    fb::Transaction* get() const { return given_ ? given_ : own_.get(); }
    bool own() const { return own_ != nullptr; }
    void commitOwn() {
        if (own_) own_->commit();
    }
    void rollbackOwn() {
        if (own_ && own_->inTransaction()) own_->rollback();
    }

private:
    fb::Transaction* given_;
    std::unique_ptr<fb::Transaction> own_;
};

}  // namespace

void TPenaltyContractInfo::save(fb::Transaction* transaction, bool regenerate, ServicesList* services) {
    services_ = services;
    const int storedId = contract_.GetField(QStringLiteral("CONTRACT_ID")).toInt();
    const bool isNewContract = storedId == -1;

    // The stored copy, as committed, tells whether the contract moved to another day.
    std::unique_ptr<TPenaltyContractInfo> old;
    bool dateChanged = false;
    if (!isNewContract) {
        old = std::make_unique<TPenaltyContractInfo>(nullptr);
        old->setContractValue(cCONTRACT_ID, storedId);
        old->load();
        const Variant oldDate = old->getContractValue(cCONTRACT_DATE);
        if (!oldDate.isEmpty())
            dateChanged = getContractValue(cCONTRACT_DATE).toDateTime() != oldDate.toDateTime();
    }

    // The items forget the rows they deleted once the deletes ran; a rollback must give them back.
    const std::vector<int> deletedItems = subjects_ ? subjects_->getDeletedKeys() : std::vector<int>();
    WorkTransaction work(transaction);
    fb::Transaction* t = work.get();
    try {
        if (isNewContract) {
            const int id = udb::genId(QStringLiteral("GEN_CONTRACTS_ID"), t);
            setContractValue(cCONTRACT_ID, id);
            contract_.Insert(t);
            deposit_.SetKey(QStringLiteral("CONTRACT_ID"), id);
            deposit_.Insert(t);
            if (subjects_) {
                subjects_->setContractId(id);
                subjects_->saveAll(t);
            }
        } else {
            contract_.Update(t);
            deposit_.Update(t);
            PercCalc::scClearCache(storedId);
            // Items never opened were not changed.
            if (subjects_) subjects_->saveAll(t);
        }
        const int id = contract_.GetField(QStringLiteral("CONTRACT_ID")).toInt();
        if (services) services->save(id, false);
        if (regenerate) {
            if (dateChanged) {
                // The old day's payout order is rebuilt without this contract's loan.
                const DateTime oldDate = old->getContractValue(cCONTRACT_DATE).toDateTime();
                old->setDepositValue(dDEPOSIT_SUM, 0);
                std::unique_ptr<ServicesList> oldServices =
                    servicesFactory().create(astCONTRACT, id, oldDate, t);
                if (auto calc = createWarrantCalculation(oldDate, *this, t)) {
                    calc->recalc(oldDate, *old, kExpenseDeposit, nullptr, oldServices.get(), QString());
                }
            }
            const DateTime date = getContractValue(cCONTRACT_DATE).toDateTime();
            if (auto calc = createWarrantCalculation(date, *this, t)) {
                calc->recalc(date, *this, kExpenseDeposit, nullptr, services, QString());
            }
        }
        work.commitOwn();
    } catch (...) {
        work.rollbackOwn();
        if (subjects_) subjects_->setDeletedKeys(deletedItems);
        // Nothing of a new contract was stored: it stays new, so that a second save inserts it again.
        if (isNewContract) {
            setContractValue(cCONTRACT_ID, -1);
            deposit_.SetKey(QStringLiteral("CONTRACT_ID"), -1);
            if (subjects_) subjects_->setContractId(-1);
        }
        throw;
    }
}

void TPenaltyContractInfo::takeOffSale(fb::Transaction* transaction) {
    WorkTransaction work(transaction);
    fb::Transaction* t = work.get();
    const Variant state = getContractValue(cCONTRACT_STATE);
    try {
        udb::execSql(QStringLiteral("delete from ToSale where CONTRACT_ID = ") +
                         QString::number(getContractValue(cCONTRACT_ID).toInt()),
                     t);
        setContractValue(cCONTRACT_STATE, csOPENED);
        save(t, true, nullptr);
        work.commitOwn();
    } catch (...) {
        if (t->inTransaction()) t->rollback();
        setContractValue(cCONTRACT_STATE, state);
        throw;
    }
}

bool TPenaltyContractInfo::checkNotInAct() const {
    ufb::AutoQuery q(
        QStringLiteral(
            " select A.NUM, ASU.ID_CONTRACT  from   ACT_SUBJ ASU  left join ACT A on A.ID=ASU.ID_ACT  "
            "where ASU.ID_CONTRACT=") +
            QString::number(getContractValue(cCONTRACT_ID).toInt()),
        nullptr);
    q->open();
    if (!q->eof()) {
        throw core::Exception(QStringLiteral("Этот договор добавлен в акт №") +
                              q->fieldByName(QStringLiteral("NUM")).asString() +
                              QStringLiteral(". Удалите сначала договор из акта."));
    }
    return false;
}

void TPenaltyContractInfo::addServiceDates(std::vector<DateTime>& dates) const {
    ufb::AutoQuery q(
        QStringLiteral("select distinct DATA from ADD_SERVICES where ID_OBJ = ") +
            QString::number(getContractValue(cCONTRACT_ID).toInt()) +
            QStringLiteral(" and ID_SERVICE in (select ID from DIR_ADD_SERVICES where ID_EVENT = 3 "
                           "and IS_ACTIVE = 1)"),
        nullptr);
    q->open();
    for (; !q->eof(); q->next()) {
        const data::Field& data = q->fieldByName(QStringLiteral("DATA"));
        if (data.isNull()) continue;
        const DateTime date = data.asDateTime();
        if (std::find(dates.begin(), dates.end(), date) == dates.end()) dates.push_back(date);
    }
}

void TPenaltyContractInfo::remove() {
    load();
    checkNotInAct();
    std::vector<DateTime> days = getOperationDates();
    days.push_back(getContractValue(cCONTRACT_DATE).toDateTime());
    const Variant closed = getContractValue(cCONTRACT_CLOSE);
    if (!closed.isEmpty()) days.push_back(closed.toDateTime());
    addServiceDates(days);

    const int id = getContractValue(cCONTRACT_ID).toInt();
    WorkTransaction work(transaction_);
    fb::Transaction* t = work.get();
    try {
        // Terms, items, operations, sale rows and services go with the contract row in the database.
        udb::execSql(
            QStringLiteral(" delete from PENALTY_CONTRACTS  where CONTRACT_ID = ") + QString::number(id), t);
        PercCalc::scClearCache(id);
        setDepositValue(dDEPOSIT_SUM, 0);
        for (const DateTime day : days) {
            std::unique_ptr<WarrantCalculation> calc = createWarrantCalculation(day, *this, t);
            // The closing services go too: their orders must leave the day with the contract.
            std::unique_ptr<ServicesList> lists[] = {servicesFactory().create(astCONTRACT, id, day, t),
                                                     servicesFactory().create(astOP_PAY, id, day, t),
                                                     servicesFactory().create(astOP_INC, id, day, t),
                                                     servicesFactory().create(astSALEDOWN, id, day, t),
                                                     servicesFactory().create(astCLOSE, id, day, t)};
            if (!calc) continue;
            for (auto& list : lists) {
                calc->recalc(day, *this, QStringLiteral("DELETE_CONTRACT"), nullptr, list.get(), QString());
            }
        }
        work.commitOwn();
    } catch (...) {
        work.rollbackOwn();
        throw;
    }
}

bool TPenaltyContractInfo::printCreditReceipt(KassRegister::FiscalRegister& fr, data::Dataset& services) {
    using Line = KassRegister::FiscalRegister::LineInfo;
    if (!utl::SettingsFile::readBool(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRisEnabled"), false)) {
        return true;
    }
    if (!fr.examCheckDate(getContractValue(cCONTRACT_DATE).toDateTime())) return true;

    KassRegister::FiscalRegister::Lines pledge;
    ContractSubjects* items = getSubjects();
    data::Dataset* rows = items->getDataSet();
    if (rows->active()) {
        data::ControlsDisabled off(*rows);
        const data::Bookmark mark = rows->bookmark();
        for (rows->first(); !rows->eof(); rows->next()) {
            pledge.push_back(Line{.name = rows->fieldByName(QStringLiteral("NAME")).asString(),
                                  .sum = rows->fieldByName(QStringLiteral("DEPOSIT_SUM")).asInteger()});
        }
        if (rows->bookmarkValid(mark)) rows->gotoBookmark(mark);
    }

    return fr.printCreditCheck(getContractValue(cCONTRACT_NUM).toText(), std::move(pledge),
                               serviceReceiptLines(services));
}

KassRegister::FiscalRegister::ServiceLines serviceReceiptLines(data::Dataset& services) {
    KassRegister::FiscalRegister::ServiceLines lines;
    if (!services.active()) services.open();
    int n = 0;
    for (services.first(); !services.eof(); services.next(), ++n) {
        const int serviceId = services.fieldByName(QStringLiteral("ID_SERVICE")).asInteger();
        lines[QString::number(n) + u'_' + QString::number(serviceId)] =
            KassRegister::FiscalRegister::LineInfo{
                .name = services.fieldByName(QStringLiteral("NAME")).asString(),
                .sum = services.fieldByName(QStringLiteral("PRICE")).asInteger(),
                .article = serviceArticleNum(serviceId)};
    }
    return lines;
}

}  // namespace TolvLogic
