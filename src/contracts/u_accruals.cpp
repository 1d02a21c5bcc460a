#include "u_accruals.h"

#include <algorithm>

#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "PenaltySales.h"
#include "kv_Money100.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/data/Dataset.h"
#include "platform/fb/Query.h"
#include "u_contractSubjects.h"

using core::DateTime;
using core::Variant;

namespace TolvLogic {

using Money100::divRoundHalfEven;

namespace {

using C = TPenaltyContractInfo;

bool hasClose(const TPenaltyContractInfo& contract) {
    return !contract.getContractValue(C::cCONTRACT_CLOSE).isEmpty();
}

DateTime closeDate(const TPenaltyContractInfo& contract) {
    return contract.getContractValue(C::cCONTRACT_CLOSE).toDateTime();
}

}  // namespace

// ---- AccrualsCalcer -------------------------------------------------------------------------------

AccrualsCalcer::Accruals AccrualsCalcer::Accruals::operator+(const Accruals& other) const {
    Accruals sum = *this;
    sum.depositSum = std::max(depositSum, other.depositSum);
    sum.accrualDaysStor += other.accrualDaysStor;
    sum.accrualDaysPerc += other.accrualDaysPerc;
    sum.accrualDaysPenalty += other.accrualDaysPenalty;
    sum.accrualStorSum += other.accrualStorSum;
    sum.accrualPercSum += other.accrualPercSum;
    sum.accrualPenaltySum += other.accrualPenaltySum;
    sum.accrualSum += other.accrualSum;
    return sum;
}

DateTime AccrualsCalcer::calcTermEnd(const TPenaltyContractInfo& contract, bool ignoreState) {
    if (hasClose(contract) && !ignoreState) return closeDate(contract);
    const int contractId = contract.getContractValue(C::cCONTRACT_ID).toInt();
    ufb::AutoQuery q(QStringLiteral(" select                                   max(PO.OP_DATE) as maxOpDate  "
                                    "       from PENALTY_OPERATIONS PO             where                   "
                                    "                 PO.DEPOSIT_ID = ") +
                         udb::var2DbVar(Variant(contractId)),
                     nullptr);
    q->open();
    const data::Field& maxOpDate = q->fieldByName(QStringLiteral("maxOpDate"));
    const DateTime d = maxOpDate.isNull() ? contract.getContractValue(C::cCONTRACT_DATE).toDateTime()
                                          : maxOpDate.asDateTime();
    return d.addDays(contract.getDepositInt(C::dPENALTY_DAYS) + 1 + contract.getDepositInt(C::dEXCEED_DAYS));
}

DateTime AccrualsCalcer::calcLastRefinDate(const TPenaltyContractInfo& contract,
                                           const std::vector<OpItem>& items, bool ignoreState) {
    if (hasClose(contract) && contract.getContractValue(C::cCONTRACT_STATE).toInt() == csCLOSED &&
        !ignoreState) {
        return closeDate(contract);
    }
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->termExpired) return DateTime(it->date);
    }
    // A pledge put on sale and sold before its term ran out has no expiry: the sale day stands for it.
    if (hasClose(contract)) return closeDate(contract);
    throw core::Exception(KVLibTranslator::instance().translate(
        QStringLiteral("u_accruals.AccrualsCalcer.calcLastRefinDate.Exception"),
        QStringLiteral("Не найдена последняя дата рефинансирования по рассчитанным процентам для отчета")));
}

AccrualsCalcer::Accruals AccrualsCalcer::calcAccruals(const TPenaltyContractInfo& contract,
                                                      const utl::DateUtl::DateInterval& period,
                                                      bool ignoreState) {
    const int p0 = period.begin.dayNumber();
    const int p1 = period.end.dayNumber();
    auto inPeriod = [&](int d) { return p0 <= d && d <= p1; };

    Accruals total;
    total.accrualDate = DateTime(p1);
    Accruals pending;
    int prevStorage = 0;
    int prevPerc = 0;
    int prevPenalty = 0;
    bool grace = false;
    int left = 0;
    total.isSaled = !ignoreState && contract.getContractValue(C::cCONTRACT_STATE).toInt() == csSALED &&
                    hasClose(contract) && closeDate(contract).dayNumber() <= p1;
    const int exceedDays = contract.getDepositInt(C::dEXCEED_DAYS);

    PercCalc calc(&contract, nullptr);
    const std::vector<OpItem>& items = calc.calc(
        {contract.getContractValue(C::cCONTRACT_DATE).toDateTime(), calcTermEnd(contract, ignoreState)},
        false, ignoreState);

    for (std::size_t i = 1; i < items.size(); ++i) {
        const OpItem& item = items[i];
        if (item.base > total.depositSum) total.depositSum = item.base;
        Accruals day;
        const bool isDay = item.opId == -1;
        if (isDay) {
            day.accrualStorSum = item.storage.sum - prevStorage;
            if (day.accrualStorSum > 0) day.accrualDaysStor += item.storage.chargedDays;
            day.accrualPercSum = item.perc.sum - prevPerc;
            if (day.accrualPercSum > 0) day.accrualDaysPerc += item.perc.chargedDays;
            day.accrualPenaltySum = item.penalty.sum - prevPenalty;
            if (day.accrualPenaltySum > 0) day.accrualDaysPenalty += 1;
        } else {
            grace = false;
            if (!inPeriod(item.date)) pending = Accruals();
        }
        if (isDay && item.termExpired) {
            grace = true;
            left = exceedDays;
        }
        const bool held = grace && left <= 0;
        if (held) pending += day;
        if (item.date > p1) break;
        if (inPeriod(item.date) && !held) {
            total += pending;
            pending = Accruals();
            total += day;
            total.accrualDate = DateTime(item.date);
        }
        if (grace) --left;
        prevStorage = item.storage.sum;
        prevPerc = item.perc.sum;
        prevPenalty = item.penalty.sum;
    }

    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->opId == -1 || it->date > p1 || it->increase != 0) continue;
        const TPenaltyOperationInfo operation(it->opId, true);
        total.payDate = operation.getValue(TPenaltyOperationInfo::oOP_DATE).toDateTime();
        break;
    }
    if (hasClose(contract) && inPeriod(closeDate(contract).dayNumber()))
        total.accrualDate = closeDate(contract);
    total.accrualSum = total.accrualStorSum + total.accrualPercSum + total.accrualPenaltySum;

    if (total.isSaled) {
        const DateTime refin = calcLastRefinDate(contract, items, ignoreState);
        PercCalc atSale(&contract, nullptr);
        const DebtSums debt = atSale.getDebt(refin.addDays(-1 + exceedDays), false, true);
        const int contractId = contract.getContractValue(C::cCONTRACT_ID).toInt();
        const TSaleInfo sale(contractId, nullptr);
        total.accrualSum = sale.getValue(TSaleInfo::sSALE_SUM).toInt() - debt.getTotal();
        total.depositSum = debt.base;
    }
    return total;
}

DebtSums AccrualsCalcer::scGetAccruedDebt(int contractId, DateTime date, bool ignoreState) {
    const TPenaltyContractInfo contract(contractId, nullptr);
    const Accruals a = calcAccruals(
        contract, {contract.getContractValue(C::cCONTRACT_DATE).toDateTime(), date}, ignoreState);
    DebtSums debt;
    debt.base = a.depositSum;
    debt.perc = a.accrualPercSum;
    debt.penalty = a.accrualPenaltySum;
    debt.storage = a.accrualStorSum;
    debt.debtDays = -1;
    return debt;
}

// ---- AccrualsCacher -------------------------------------------------------------------------------

AccrualsCacher::DebtCacheData AccrualsCacher::scGetDebt(AccrualsCacher* cacher, DateTime date,
                                                        int contractId) {
    auto compute = [&] {
        // Acts and parcels take a pledge as it stood, whatever became of the contract since.
        const DebtSums debt = AccrualsCalcer::scGetAccruedDebt(contractId, date, true);
        const TPenaltyContractInfo contract(contractId, nullptr);
        return DebtCacheData{debt.base,    debt.perc,     debt.penalty,
                             debt.storage, debt.debtDays, contract.getOverdueDays(date)};
    };
    if (!cacher) return compute();
    const DebtCacheIdent key{contractId, date};
    const auto hit = cacher->cache_.find(key);
    if (hit != cacher->cache_.end()) return hit->second;
    return cacher->cache_[key] = compute();
}

std::vector<AccrualsCacher::DebtCacheData> AccrualsCacher::scSplitDebt(const DebtCacheData& debt,
                                                                       const std::vector<int>& credits) {
    std::vector<DebtCacheData> parts;
    qint64 rb = debt.base, rp = debt.perc, rn = debt.penalty, rs = debt.storage;
    auto share = [&](int amount, qint64 s) {
        return debt.base == 0 ? 0 : divRoundHalfEven(qint64(amount) * s, debt.base);
    };
    for (std::size_t i = 0; i < credits.size(); ++i) {
        DebtCacheData part;
        part.overdueDays = debt.overdueDays;
        if (i + 1 == credits.size()) {
            part.base = int(rb);
            part.perc = int(rp);
            part.penalty = int(rn);
            part.storage = int(rs);
        } else {
            const qint64 s = credits[i];
            part.base = int(s);
            part.perc = int(share(debt.perc, s));
            part.penalty = int(share(debt.penalty, s));
            part.storage = int(share(debt.storage, s));
            rb -= part.base;
            rp -= part.perc;
            rn -= part.penalty;
            rs -= part.storage;
        }
        parts.push_back(part);
    }
    return parts;
}

AccrualsCacher::DebtCacheData AccrualsCacher::scGetDebtSubj(AccrualsCacher* cacher, DateTime date,
                                                            int contractId, int itemId) {
    const DebtCacheData debt = scGetDebt(cacher, date, contractId);
    const std::unique_ptr<ContractSubjects> list = ContractSubjects::scCreate(contractId, nullptr);
    data::Dataset& ds = *list->getDataSet();
    std::vector<int> ids;
    std::vector<int> credits;
    for (ds.first(); !ds.eof(); ds.next()) {
        ids.push_back(ds.fieldByName(QStringLiteral("ID")).asInteger());
        credits.push_back(ds.fieldByName(QStringLiteral("DEPOSIT_SUM")).asInteger());
    }
    const auto found = std::find(ids.begin(), ids.end(), itemId);
    if (found != ids.end()) return scSplitDebt(debt, credits).at(std::size_t(found - ids.begin()));
    const KVLibTranslator& tr = KVLibTranslator::instance();
    throw core::Exception(
        tr.translate(QStringLiteral("u_Act.DebtCacher.scGetDebtSubj.Exception1_1"),
                     QStringLiteral("Предмет залога с id=")) +
        QString::number(itemId) +
        tr.translate(QStringLiteral("u_Act.DebtCacher.scGetDebtSubj.Exception1_2"),
                     QStringLiteral(" не найден")) +
        QStringLiteral("\n\nFunc: AccrualsCacher::scGetDebtSubj()\nLine: u_accruals:468\n\n"));
}

}  // namespace TolvLogic
