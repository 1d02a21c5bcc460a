// The two views of the contract list besides the plain one: the debtors on a date, and the contracts
// handed over in acts with the act's number; and the lookups of a contract's act and parcel.
#include "PenaltyContracts.h"
#include "U_LoggedUser.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100.h"
#include "kv_Money100Field.h"
#include "kv_Translator.h"
#include "platform/fb/Query.h"
#include "u_ContractHooks.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

using kvtr::tr;

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

// The first column of the first row of a select, in a transaction of its own; -1 without a row.
int firstId(const QString& sql) {
    ufb::AutoQuery q(sql, nullptr);
    q->open();
    if (q->eof() || q->field(0)->isNull()) return -1;
    return q->field(0)->asInteger();
}

}  // namespace

// ---- TPenaltyDebitors -------------------------------------------------------------------------------

TPenaltyDebitors::TPenaltyDebitors()
    : TPenaltyContracts(false, true, nullptr, TolvMain::VuxSecur::isMaster()), debtDate_(DateTime::today()) {
    initFields();
}

QString TPenaltyDebitors::overdueCondition(DateTime date) {
    const QString d = sqlDate(date);
    const QString lastClearing = QStringLiteral(
        "(select max(PO.OP_DATE) from PENALTY_OPERATIONS PO where PO.DEPOSIT_ID = C.CONTRACT_ID and "
        "PO.OP_REST_PERC = 0)");
    // The first term counts the contract date as its day one; a payment that cleared the interest
    // starts a new term from its own date.
    return QStringLiteral(" C.CONTRACT_STATE = 0 and C.CONTRACT_DATE + PD.PENALTY_DAYS - 1 < ") + d +
           QStringLiteral(" and (") + lastClearing + QStringLiteral(" is null or ") + lastClearing +
           QStringLiteral(" + PD.PENALTY_DAYS - 1 < ") + d + u')';
}

void TPenaltyDebitors::clearFilter() {
    TPenaltyContracts::clearFilter();
    addFilter(overdueCondition(debtDate_));
}

void TPenaltyDebitors::setDebtDate(DateTime date) {
    if (date.dayNumber() == debtDate_.dayNumber()) return;
    debtDate_ = date;
    clearFilter();
}

void TPenaltyDebitors::initFields() {
    TPenaltyContracts::initFields();
    for (const char* name : {"STOR_DEBT", "PERC_DEBT", "PENALTY_DEBT"}) {
        auto money = std::make_unique<data::Field>(data::DataType::Integer, 0, data::FieldKind::Calculated);
        money->setOnGetText(&ufb::TMoney100Field::getMoneyText);
        addField(std::move(money), latin(name));
    }
    addField(std::make_unique<data::Field>(data::DataType::Integer, 0, data::FieldKind::Calculated),
             QStringLiteral("DEBT_TIME"));

    struct Column {
        const char* field;
        const char* plainKey;  // null: a fixed title
        const char16_t* plainTitle;
        const char* key;
        const char16_t* title;
    };
    // "Задолж|Xранениe" is stored with a Latin X and e, as it always was.
    const Column columns[] = {
        {"STOR_DEBT", "PenaltyContracts.TPenaltyDebitors.STOR_DEBTrx", u"Задолж по хранению",
         "PenaltyContracts.TPenaltyDebitors.STOR_DEBT", u"Задолж|Xранениe"},
        {"PERC_DEBT", "PenaltyContracts.TPenaltyDebitors.PERC_DEBTrx", u"Задолж по %",
         "PenaltyContracts.TPenaltyDebitors.PERC_DEBT", u"Задолж|%"},
        {"PENALTY_DEBT", nullptr, u"Пеня", "PenaltyContracts.TPenaltyDebitors.PENALTY_DEBT", u"Задолж|Пеня"},
        {"DEBT_TIME", "PenaltyContracts.TPenaltyDebitors.DEBT_TIMErx", u"Просрочка",
         "PenaltyContracts.TPenaltyDebitors.DEBT_TIME", u"Задолж|Просрочка"},
    };
    for (const Column& c : columns) {
        addColumn(latin(c.field), 60,
                  c.plainKey ? tr(c.plainKey, c.plainTitle) : QString::fromUtf16(c.plainTitle), noSortMarker);
        addColumnEh(latin(c.field), 60, tr(c.key, c.title), noSortMarker);
    }
    getDataSet()->setFilterPredicate([this](data::Dataset& ds) { return filterRecord(ds); });
    getDataSet()->setFiltered(true);
}

DebtSums TPenaltyDebitors::debtOf(int contractId) const {
    PercCalc calc(contractId, nullptr);
    return calc.getDebt(debtDate_, false, true);
}

bool TPenaltyDebitors::filterRecord(data::Dataset& dataset) {
    const data::Field& id = dataset.fieldByName(QStringLiteral("CONTRACT_ID"));
    if (id.isNull()) return true;
    const DebtSums debt = debtOf(id.asInteger());
    if (debt.penalty > 0) return true;
    const data::Field& rate = dataset.fieldByName(QStringLiteral("DEPOSIT_PERC"));
    const qint64 perc = rate.isNull() ? 0 : rate.asInteger();
    // One term's interest on the principal owed, in 64 bits: a large principal times the rate passes
    // the 32-bit range.
    return debt.perc > Money100::divRoundHalfEven(static_cast<qint64>(debt.base) * perc, 10000);
}

void TPenaltyDebitors::OnCalcFields(data::Dataset& dataset) {
    const data::Field& id = dataset.fieldByName(QStringLiteral("CONTRACT_ID"));
    if (id.isNull() || id.asInteger() == 0) return;
    const DebtSums debt = debtOf(id.asInteger());
    dataset.fieldByName(QStringLiteral("STOR_DEBT")).setValue(debt.storage);
    dataset.fieldByName(QStringLiteral("PERC_DEBT")).setValue(debt.perc);
    dataset.fieldByName(QStringLiteral("PENALTY_DEBT")).setValue(debt.penalty);
    dataset.fieldByName(QStringLiteral("DEBT_TIME")).setValue(debt.debtDays);
    TPenaltyContracts::OnCalcFields(dataset);
}

QString TPenaltyDebitors::getDebtTimeText(const data::Field& field) const {
    const data::Field& id = field.dataset()->fieldByName(QStringLiteral("CONTRACT_ID"));
    if (id.isNull() || id.asInteger() == 0) return QString();
    const Variant last = getLastPayDate(id.asInteger());
    if (last.isEmpty()) return QString();
    return QString::number(debtDate_.dayNumber() - last.toDateTime().dayNumber() - 29);
}

QString TPenaltyDebitors::IBQueryGetTextToSaleSum(const data::Field& field) {
    const Variant sum = field.value();
    if (sum.isEmpty() || sum.toInt() == 0) {
        return tr("PenaltyContracts.TPenaltyDebitors.IBQueryGetTextToSaleSum.Text", u"Ждем");
    }
    QString text;
    ufb::TMoney100Field::getMoneyText(const_cast<data::Field&>(field), text, true);
    return text;
}

// ---- TPenaltyInActs ---------------------------------------------------------------------------------

TPenaltyInActs::TPenaltyInActs() : TPenaltyContracts(false, true, nullptr, TolvMain::VuxSecur::isMaster()) {
    initFields();
}

QString TPenaltyInActs::getExtraSelectFields() const {
    // One row per contract whatever the number of its acts: the number of the act with the lowest id,
    // the one scGetContractActId reports.
    return QStringLiteral(
        " ,(select first 1 act.NUM from ACT_SUBJ sa join ACT act on act.ID = sa.ID_ACT where "
        "sa.ID_CONTRACT = C.CONTRACT_ID and act.NUM is not NULL order by act.ID) as NUM_ACT ");
}

void TPenaltyInActs::clearFilter() {
    TPenaltyContracts::clearFilter();
    addFilter(
        QStringLiteral("exists (select 1 from ACT_SUBJ sa join ACT act on act.ID = sa.ID_ACT where "
                       "sa.ID_CONTRACT = C.CONTRACT_ID and act.NUM is not NULL)"));
}

void TPenaltyInActs::initFields() {
    addStringField(QStringLiteral("NUM_ACT"), 80);
    const QString title = tr("field.ACT_NUM", u"№ акта");
    addColumn(QStringLiteral("NUM_ACT"), 60, title, QStringLiteral("NUM_ACT"));
    addColumnEh(QStringLiteral("NUM_ACT"), 60, title, QStringLiteral("NUM_ACT"));
    TPenaltyContracts::initFields();
    setOrderBy(QStringLiteral("NUM_ACT, C.CONTRACT_DATE desc, C.CONTRACT_ID desc"));
}

int TPenaltyInActs::scGetContractActId(int contractId) {
    return firstId(QStringLiteral("select distinct ID_ACT from ACT_SUBJ where ID_CONTRACT = ") +
                   QString::number(contractId) + QStringLiteral(" order by 1"));
}

int TPenaltyInActs::scGetContractParcelId(int contractId) {
    return firstId(QStringLiteral("select distinct A.ID_PARCEL from ACT_SUBJ SA left join ACT A on A.ID = "
                                  "SA.ID_ACT where A.ID_PARCEL is not null and SA.ID_CONTRACT = ") +
                   QString::number(contractId) + QStringLiteral(" order by 1"));
}

}  // namespace TolvLogic
