#include "PenaltyOperations.h"

#include <algorithm>

#include "PenaltyContracts.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100Field.h"
#include "kv_Translator.h"
#include "platform/core/Formats.h"
#include "platform/fb/Database.h"
#include "platform/fb/Transaction.h"
#include "u_ContractHooks.h"
#include "u_PercCalc.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;
using Op = TPenaltyOperationInfo;

namespace {

using kvtr::tr;
using ufb::ChangeTransaction;

bool isIncrease(const Variant& opSum) {
    return opSum.toInt() < 0;
}

QString warrantCode(bool increase) {
    return increase ? QStringLiteral("EXPENSE_DEPOSIT") : QStringLiteral("RECEIPT_DEPOSIT");
}

// The first day whose accruals the operation changes: its date less the days it leaves uncalculated.
DateTime reachOf(const Op& operation) {
    const Variant days = operation.GetField(QStringLiteral("NON_CALC_DAYS"), false);
    const int back = days.isEmpty() ? 0 : std::max(0, days.toInt());
    return operation.getValue(Op::oOP_DATE).toDateTime().datePart().addDays(-back);
}

// Checkpoints are the rests the calculation found after each operation; a change reaching a day
// makes those of that day and every later one wrong, and a calculation never corrects a checkpoint.
void clearCheckpoints(int depositId, DateTime from, fb::Transaction* transaction) {
    // The day goes as a parameter, never as text in the user's date format.
    ufb::AutoQuery q(QStringLiteral(" update PENALTY_OPERATIONS set OP_REST_BASE=NULL, OP_REST_PERC=NULL, "
                                    "OP_REST_PENALTY=NULL, OP_REST_STORAGE=NULL where DEPOSIT_ID = :DEPOSIT_ID "
                                    "and OP_DATE >= :FROM_DAY"),
                     transaction);
    q->setParam(QStringLiteral("DEPOSIT_ID"), depositId);
    q->setParam(QStringLiteral("FROM_DAY"), from.datePart());
    q->execSql();
    if (!transaction) q->transaction()->commit();
}

// The event under which the operation's services are stored: a repayment that closed its contract
// keeps them under the closing event.
ServiceEvent servicesEventOf(bool increase, int opId, fb::Transaction* transaction) {
    if (increase) return astOP_INC;
    ufb::AutoQuery q(QStringLiteral("select count(*) as CNT from ADD_SERVICES S join DIR_ADD_SERVICES D on "
                                    "D.ID = S.ID_SERVICE where S.ID_OBJ = :OP_ID and D.ID_EVENT = ") +
                         QString::number(astCLOSE),
                     transaction);
    q->setParam(QStringLiteral("OP_ID"), opId);
    q->open();
    return q->fieldByName(QStringLiteral("CNT")).asInteger() > 0 ? astCLOSE : astOP_PAY;
}

}  // namespace

// ---- TPenaltyOperationInfo ------------------------------------------------------------------------

TPenaltyOperationInfo::TPenaltyOperationInfo()
    : TDBRecord(QStringLiteral("PENALTY_OPERATIONS"), QStringLiteral("OP_ID"), 0, nullptr) {}

TPenaltyOperationInfo::TPenaltyOperationInfo(int opId, bool load)
    : TDBRecord(QStringLiteral("PENALTY_OPERATIONS"), QStringLiteral("OP_ID"), opId, nullptr) {
    if (load) Select();
}

Variant TPenaltyOperationInfo::getValue(int index) const {
    return GetField(QString::fromLatin1(penaltyOperationsFields[index]), true);
}

void TPenaltyOperationInfo::setValue(int index, const Variant& value) {
    SetField(QString::fromLatin1(penaltyOperationsFields[index]), value, index == oOP_ID);
}

// ---- TPenaltyOperations ---------------------------------------------------------------------------

TPenaltyOperations::TPenaltyOperations(fb::Database* database, TPenaltyContracts* contracts)
    : QueryWrapper(database), contracts_(contracts) {
    setSql(QStringLiteral(
        "select O.OP_ID, O.OP_DATE, O.NON_CALC_DAYS, O.OP_SUM, O.OP_PERC_SUM, O.OP_PENALTY_SUM, "
        "O.OP_STORAGE_SUM, O.OP_INFO, O.OP_REST_PERC, O.OP_REST_STORAGE, O.OP_REST_PENALTY, "
        "O.OP_REST_BASE from PENALTY_OPERATIONS O"));
    setWhere(QStringLiteral("O.DEPOSIT_ID = :CONTRACT_ID "));
    setOrderBy(QStringLiteral("OP_DATE, OP_ID"));
    initFields();
}

void TPenaltyOperations::initFields() {
    addIntegerField(QStringLiteral("OP_ID"));
    addDateField(QStringLiteral("OP_DATE"));
    addIntegerField(QStringLiteral("NON_CALC_DAYS"));
    for (const char* money : {"OP_SUM", "OP_STORAGE_SUM", "OP_PERC_SUM", "OP_PENALTY_SUM", "OP_REST_PERC",
                              "OP_REST_STORAGE", "OP_REST_BASE", "OP_REST_PENALTY"}) {
        addMoney100Field(QString::fromLatin1(money));
    }
    for (const char* debt : {"BASE_DEBT", "STORAGE_DEBT", "PERC_DEBT", "PENALTY_DEBT"}) {
        auto field = std::make_unique<data::Field>(data::DataType::Integer, 0, data::FieldKind::Calculated);
        field->setDisplayFormat(QStringLiteral("0.00"));
        field->setEditFormat(QStringLiteral("0.00"));
        field->setOnGetText(&ufb::TMoney100Field::getMoneyText);
        addField(std::move(field), QString::fromLatin1(debt));
    }
    addStringField(QStringLiteral("OP_INFO"), 255);

    getDataSet()->onCalcFields = [](data::Dataset& ds) {
        const std::pair<const char*, const char*> debts[] = {{"BASE_DEBT", "OP_REST_BASE"},
                                                             {"PERC_DEBT", "OP_REST_PERC"},
                                                             {"PENALTY_DEBT", "OP_REST_PENALTY"},
                                                             {"STORAGE_DEBT", "OP_REST_STORAGE"}};
        for (const auto& [debt, rest] : debts) {
            ds.fieldByName(QString::fromLatin1(debt))
                .setValue(ds.fieldByName(QString::fromLatin1(rest)).value());
        }
    };

    auto column = [this](const char* field, int width, const char* key, const char16_t* title) {
        addColumnEh(QString::fromLatin1(field), width, tr(key, title), noSortMarker);
    };
    column("OP_DATE", 60, "PenaltyContracts.TPenaltyOperations.OP_DATE", u"Дата");
    column("OP_SUM", 70, "PenaltyContracts.TPenaltyOperations.OP_SUM", u"Погашено|Осн.сумма");
    column("OP_STORAGE_SUM", 70, "PenaltyContracts.TPenaltyOperations.OP_STORAGE_SUM", u"Погашено|Хранение");
    column("OP_PERC_SUM", 70, "PenaltyContracts.TPenaltyOperations.OP_PERC_SUM", u"Погашено|%");
    column("OP_PENALTY_SUM", 70, "PenaltyContracts.TPenaltyOperations.OP_PENALTY_SUM", u"Погашено|Пеня");
    column("BASE_DEBT", 75, "PenaltyContracts.TPenaltyOperations.BASE_DEBT", u"Долг|Осн.сумма");
    column("STORAGE_DEBT", 70, "PenaltyContracts.TPenaltyOperations.STOR_DEBT", u"Долг|Хранение");
    column("PERC_DEBT", 70, "PenaltyContracts.TPenaltyOperations.PERC_DEBT", u"Долг|%");
    column("PENALTY_DEBT", 70, "PenaltyContracts.TPenaltyOperations.PENALTY_DEBT", u"Долг|Пеня");
    column("OP_INFO", 120, "field.INFO", u"Примечание");
}

bool TPenaltyOperations::open() {
    // A payment taken at another workstation is seen from here on: the contract's cached debts go
    // whenever its operations are shown again.
    if (!contractId_.isEmpty()) PercCalc::scClearCache(contractId_.toInt());
    prepareSql();  // a new statement text forgets its parameters, so the contract is given after it
    getQuery()->setParam(QStringLiteral("CONTRACT_ID"), contractId_);
    return IbDataSetWrapper::open();
}

void TPenaltyOperations::insertOperation(TPenaltyOperationInfo& operation, ServicesList* services) {
    ChangeTransaction change(operation.getTransaction(), getDatabase());
    fb::Transaction* transaction = change.get();
    const int depositId = operation.getValue(Op::oDEPOSIT_ID).toInt();
    PercCalc::scClearCache(depositId);

    operation.setDatabase(getDatabase());
    operation.setValue(Op::oOP_ID, udb::genId(QStringLiteral("GEN_OPERATIONS_ID"), transaction));
    operation.Insert(transaction);
    clearCheckpoints(depositId, reachOf(operation), transaction);

    TPenaltyContractInfo contract(depositId, transaction);
    const int opId = operation.getValue(Op::oOP_ID).toInt();
    if (services) services->save(opId, false);
    recalcWarrants(operation.getValue(Op::oOP_DATE).toDateTime(), contract,
                   warrantCode(isIncrease(operation.getValue(Op::oOP_SUM))), &operation, services,
                   transaction);
    change.commit();
}

void TPenaltyOperations::updateOperation(TPenaltyOperationInfo& operation, ServicesList* services) {
    ChangeTransaction change(operation.getTransaction(), getDatabase());
    fb::Transaction* transaction = change.get();
    const int depositId = operation.getValue(Op::oDEPOSIT_ID).toInt();
    PercCalc::scClearCache(depositId);

    const int opId = operation.getValue(Op::oOP_ID).toInt();
    TPenaltyOperationInfo stored(opId, false);
    stored.setDatabase(getDatabase());
    stored.Select(transaction);
    // A row that is gone holds no columns: this read raises before anything is written.
    const Variant oldDate = stored.getValue(Op::oOP_DATE);
    const bool hadDate = !oldDate.isNull();
    // The old date's orders and services are those of the kind the operation had when it was stored.
    const bool wasIncrease = hadDate && isIncrease(stored.getValue(Op::oOP_SUM));
    const ServiceEvent oldEvent = hadDate ? servicesEventOf(wasIncrease, opId, transaction) : astOP_PAY;
    const int storedDepositId = hadDate ? stored.getValue(Op::oDEPOSIT_ID).toInt() : depositId;
    const DateTime storedReach = hadDate ? reachOf(stored) : DateTime();
    if (hadDate) {
        for (int sum : {Op::oOP_STORAGE_SUM, Op::oOP_PERC_SUM, Op::oOP_PENALTY_SUM, Op::oOP_SUM}) {
            stored.setValue(sum, 0);
        }
    }

    TPenaltyContractInfo contract(depositId, transaction);
    for (int rest : {Op::oOP_REST_BASE, Op::oOP_REST_PENALTY, Op::oOP_REST_PERC, Op::oOP_REST_STORAGE}) {
        operation.setValue(rest, Variant::null());
    }
    operation.Update(transaction, true);

    const DateTime newReach = reachOf(operation);
    if (!hadDate || storedDepositId == depositId) {
        clearCheckpoints(depositId, hadDate ? std::min(storedReach, newReach) : newReach, transaction);
    } else {
        PercCalc::scClearCache(storedDepositId);
        clearCheckpoints(storedDepositId, storedReach, transaction);
        clearCheckpoints(depositId, newReach, transaction);
    }

    if (services) services->save(opId, false);

    const DateTime newDate = operation.getValue(Op::oOP_DATE).toDateTime();
    const QString newCode = warrantCode(isIncrease(operation.getValue(Op::oOP_SUM)));
    if (!hadDate) {
        recalcWarrants(newDate, contract, newCode, nullptr, services, transaction);
    } else {
        const DateTime old = oldDate.toDateTime();
        std::unique_ptr<ServicesList> oldServices =
            servicesFactory().create(oldEvent, opId, old, transaction);
        recalcWarrants(old, contract, warrantCode(wasIncrease), &stored, oldServices.get(), transaction);
        if (wasIncrease) oldServices.reset();
        recalcWarrants(newDate, contract, newCode, &operation, services, transaction);
    }
    change.commit();
}

void TPenaltyOperations::deleteOperation(TPenaltyOperationInfo& operation, ServicesList* services) {
    ChangeTransaction change(operation.getTransaction(), getDatabase());
    fb::Transaction* transaction = change.get();
    // Declared after the transaction: a list made here never outlives it.
    std::unique_ptr<ServicesList> temporary;

    const Variant opId = operation.getValue(Op::oOP_ID);
    if (operation.Select(transaction) == 0) {
        // Whatever the caller left in the record belongs to no row: the next read must fail.
        operation.clear();
        operation.setValue(Op::oOP_ID, opId);
    }
    const int depositId = operation.getValue(Op::oDEPOSIT_ID).toInt();
    PercCalc::scClearCache(depositId);
    TPenaltyContractInfo contract(depositId, transaction);
    for (int sum : {Op::oOP_STORAGE_SUM, Op::oOP_PERC_SUM, Op::oOP_PENALTY_SUM}) operation.setValue(sum, 0);

    const DateTime date = operation.getValue(Op::oOP_DATE).toDateTime();
    const bool increase = isIncrease(operation.getValue(Op::oOP_SUM));
    const ServiceEvent event = servicesEventOf(increase, opId.toInt(), transaction);
    std::unique_ptr<WarrantCalculation> calc = createWarrantCalculation(date, contract, transaction);
    operation.Delete(transaction);
    clearCheckpoints(depositId, reachOf(operation), transaction);

    if (!services) {
        temporary = servicesFactory().create(event, -1, date, transaction);
        services = temporary.get();
    }
    operation.setValue(Op::oOP_SUM, 0);
    if (calc) calc->recalc(date, contract, warrantCode(increase), &operation, services, QString());
    // The placeholder's rows under -1 go in this transaction, before it commits: none is ever stored.
    temporary.reset();
    change.commit();
}

}  // namespace TolvLogic
