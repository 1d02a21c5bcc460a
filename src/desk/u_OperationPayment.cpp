#include "u_OperationPayment.h"

#include <cmath>
#include <cstdlib>

#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "PenaltyOperations.h"
#include "PenaltyWarrants.h"
#include "TClients.h"
#include "U_LoggedUser.h"
#include "Warrantcalculation.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100.h"
#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Transaction.h"
#include "platform/os/IniFile.h"
#include "u_ServiceReceipt.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;
using Op = TPenaltyOperationInfo;
using Contract = TPenaltyContractInfo;

namespace {

const kvtr::Text kTexts[] = {
    {"PenaltyOperationEdit.IDS_0", u"Новая операция", u"Нова операція"},
    {"PenaltyOperationEdit.IDS_1", u"доп.услуги", u"дод.послуги"},
    {"PenaltyOperationEdit.IDS_2", u"Не выбран договор", u"Не обрано договір"},
    {"PenaltyOperationEdit.IDS_3", u"Не указана дата операции", u"Не вказано дату операції"},
    {"PenaltyOperationEdit.IDS_4", u"Не выбран клиент", u"Не обрано клієнта"},
    {"PenaltyOperationEdit.IDS_5", u"Не указана сумма операции", u"Не вказано суму операції"},
    {"PenaltyOperationEdit.IDS_6", u"Неизвестный тип операции", u"Невідомий тип операції"},
    {"PenaltyOperationEdit.IDS_7", u"Сохранить", u"Зберегти"},
    {"PenaltyOperationEdit.IDS_8", u"Просмотр операции [Импортирована]", u"Перегляд операції [Імпортована]"},
    {"PenaltyOperationEdit.IDS_9", u"Закрыть", u"Закрити"},
    {"PenaltyOperationEdit.IDS_10", u"Закрыть договор?", u"Закрити договір?"},
    {"PenaltyOperationEdit.IDS_11", u"Ошибка печати:\n\n", u"Помилка друку:\n\n"},
    {"PenaltyOperationEdit.IDS_12", u"Редактирование операции", u"Редагування операції"},
    {"PenaltyOperationEdit.IDS_16", u"Итого к выдаче ", u"Разом до видачі "},
    {"PenaltyOperationEdit.IDS_17", u"Итого к оплате ", u"Разом до сплати "},
    {"PenaltyOperationEdit.IDS_18",
     u"Операцию можно сохранить только в том случае, если она \nбудет последней по дате (нельзя добавить "
     u"операцию \nв середину списка операций)",
     u"Операцію можна зберегти лише в тому разі, якщо вона \nбуде останньою за датою (не можна додати "
     u"операцію \nв середину списку операцій)"},
    {"PenaltyOperationEdit.IDS_26",
     u"Вы собираетесь изменить данные по операции, которая содержит после себя ещё операции.\nДанные по "
     u"следующим операциям будут пересчитаны.\n\nПродолжить?",
     u"Ви збираєтеся змінити дані операції, після якої є ще операції.\nДані наступних операцій буде "
     u"перераховано.\n\nПродовжити?"},
    {"PenaltyOperationEdit.receiptWithoutPayment", u"Фискальный чек напечатан, но операция не сохранена:\n\n",
     u"Фіскальний чек надруковано, але операцію не збережено:\n\n"},
    {"PenaltyOperationEdit.opVid0", u"Погашение кредита", u"Погашення кредиту"},
    {"PenaltyOperationEdit.opVid1", u"Перезалог", u"Перезастава"},
    {"PenaltyOperationEdit.opVid2", u"Закрытие договора", u"Закриття договору"},
    {"PenaltyOperationEdit.opVid3", u"Увеличение основной суммы", u"Збільшення основної суми"},
};

const QString kUserSection = QStringLiteral("PenaltyOpEditForm");
const QString kUserKey = QStringLiteral("opVid");
const QString kSavepoint = QStringLiteral("OPERATION_SAVE");

os::IniFile userIni() {
    return os::IniFile(utl::SettingsFile::userIniFileName());
}

double units(qint64 hundredths) {
    return Money100::fromHundredths(static_cast<double>(hundredths));
}

// "<debt left> (<sign><part>)".
QString label(int debt, int part, QChar sign) {
    return hundredthsText(qint64(debt) - part) + QStringLiteral(" (") + sign +
           hundredthsText(std::abs(part)) + u')';
}

}  // namespace

QString hundredthsText(qint64 hundredths) {
    // The currency text drops trailing zeros of its four decimals; the separator is always ".".
    core::ScopedDecimalSeparator point(u'.');
    return core::currToStr(hundredths * 100);
}

// ---- texts ----------------------------------------------------------------------------------------

std::vector<std::pair<QString, QString>> OperationPayment::scTexts(int language) {
    return kvtr::textsIn(kTexts, language);
}

QString OperationPayment::text(const char* id) {
    const QByteArray key = QByteArrayLiteral("PenaltyOperationEdit.") + id;
    for (const kvtr::Text& t : kTexts) {
        if (key == t.key) return kvtr::tr(t.key, t.ru);
    }
    return QString::fromLatin1(id);
}

int OperationPayment::scRememberedKind() {
    return userIni().readInt(kUserSection, kUserKey, 0);
}

// ---- life -----------------------------------------------------------------------------------------

OperationPayment::OperationPayment(fb::Database* database, TPenaltyOperations* operations,
                                   TPenaltyContracts* contracts)
    : database_(database), operations_(operations), contracts_(contracts) {
    trn_ = udb::createTransaction(database);
    // Whatever the dialog leaves unsaved is undone.
    trn_->setDefaultAction(fb::TransactionAction::Rollback);
}

OperationPayment::~OperationPayment() {
    // The services delete their rows under -1 in the transaction, before it rolls back.
    servicesCash_.reset();
    services_.reset();
    calc_.reset();
    try {
        if (trn_ && trn_->inTransaction()) trn_->rollback();
    } catch (const core::Exception&) {
        // Released without a handle, the server ends the transaction; nothing of it was committed.
    }
}

void OperationPayment::requireTransaction() {
    if (!trn_->inTransaction()) trn_->start();
}

void OperationPayment::open(int contractId, int opId, DateTime date,
                            KassRegister::FiscalRegister* fiscalRegister) {
    loading_ = true;
    fiscalRegister_ = fiscalRegister;
    opDate_ = date.dayNumber() != 0 ? date.datePart() : DateTime::today();
    kind_ = okREPAY;
    if (opId == -1 && udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("OpStPrmOpVid"), true)) {
        kind_ = scRememberedKind();
        if (kind_ == okINCREASE || kind_ < 0 || kind_ > okINCREASE) kind_ = okREPAY;
    }
    includeCurDay_ =
        udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("IncludeCurDayInPercCalc"), true);
    requireTransaction();
    loadContract(contractId);
    loadOperation(opId);
    loading_ = false;
    dateChanged();
    setServiceEvent(documentKind());
}

void OperationPayment::loadContract(int contractId) {
    // Read in the dialog's transaction, which is open anyway (read committed).
    contract_ = std::make_unique<Contract>(contractId, trn_.get());
}

void OperationPayment::loadOperation(int opId) {
    opId_ = opId;
    operation_ = std::make_unique<Op>(opId, false);
    if (opId == -1) {
        // The date first: the debt calculation reads it from the operation that bounds it.
        operation_->setValue(Op::oOP_DATE, opDate_);
        setServiceEvent(okREPAY);
        setKind(kind_);
        return;
    }
    operationFound_ = operation_->Select() > 0;
    if (!operationFound_) return;
    opSums_.base = operation_->getValue(Op::oOP_SUM).toInt();
    opSums_.perc = operation_->getValue(Op::oOP_PERC_SUM).toInt();
    opSums_.penalty = operation_->getValue(Op::oOP_PENALTY_SUM).toInt();
    opSums_.storage = operation_->getValue(Op::oOP_STORAGE_SUM).toInt();
    opDate_ = operation_->getValue(Op::oOP_DATE).toDateTime().datePart();
    if (opSums_.base < 0) {
        kind_ = okINCREASE;
        opSums_.base = -opSums_.base;
    } else {
        includeCurDay_ = operation_->getValue(Op::oNON_CALC_DAYS).toInt() == 0;
        recalcDebt();
        kind_ = isClosedOnOperationDate() ? okCLOSE : paysChargesOnly() ? okREPLEDGE : okREPAY;
    }
    setServiceEvent(kind_);
    note_ = operation_->getValue(Op::oOP_INFO).toText();
    skipOpSumParam_ = true;
    sum_ = opSums_.getTotal();
}

// ---- the debt and the split -----------------------------------------------------------------------

void OperationPayment::recalcDebt() {
    if (!contract_ || !operation_) return;
    operation_->setValue(Op::oNON_CALC_DAYS, nonCalcDays());
    // Nothing the debt depends on changes in the dialog but the day and the days left out: the same
    // pair gives the same debt.
    const std::pair<int, int> key{opDate_.dayNumber(), nonCalcDays()};
    if (debtKey_ && *debtKey_ == key) return;
    if (!calc_) {
        calc_ = std::make_unique<PercCalc>(contract_.get(), operation_.get());
    }
    debt_ = calc_->getDebt(opDate_, false, false);
    debtKey_ = key;
}

bool OperationPayment::isPayment() const {
    if (kind_ < okREPAY || kind_ > okINCREASE) throw core::Exception(text("IDS_6"));
    return kind_ != okINCREASE;
}

bool OperationPayment::paysChargesOnly() const {
    const int charges = debt_.perc + debt_.penalty + debt_.storage;
    if (isNew()) return sum_ == charges && sum_ != 0;
    return opSums_.getTotal() == charges;
}

void OperationPayment::fillChargesSum() {
    if (kind_ == okREPLEDGE) sum_ = debt_.getTotal() - debt_.base;
}

bool OperationPayment::isClosedOnOperationDate() const {
    const Variant closed = contract_->getContractValue(Contract::cCONTRACT_CLOSE);
    return !closed.isEmpty() && closed.toDateTime().datePart() == opDate_;
}

void OperationPayment::setKind(int kind) {
    if (kind < okREPAY || kind > okINCREASE) throw core::Exception(text("IDS_6"));
    kind_ = kind;
    recalcDebt();
    note_.clear();
    if (kind == okCLOSE) note_ = text("opVid2");
    if (kind == okINCREASE) note_ = text("opVid3");
    setServiceEvent(documentKind());
    if (kind == okREPLEDGE) {
        fillChargesSum();
    } else {
        sum_ = 0;
    }
    splitSum();
    afterSplit();
}

void OperationPayment::setSum(double value) {
    try {
        sum_ = std::llabs(Money100::toHundredths(std::fabs(value)));
    } catch (...) {
        sum_ = 0;
        splitSum();
        throw;
    }
    splitSum();
    afterSplit();
}

// The kind follows the sum: a sum of exactly the charges is a re-pledge, any other a repayment.
void OperationPayment::afterSplit() {
    if (loading_) return;
    if (kind_ == okREPLEDGE && !paysChargesOnly())
        kind_ = okREPAY;
    else if (kind_ == okREPAY && paysChargesOnly())
        kind_ = okREPLEDGE;
}

void OperationPayment::splitSum() {
    if (loading_ || !contract_) return;
    if (kind_ == okCLOSE) sum_ = debt_.getTotal();
    qint64 rest = sum_;
    if (skipOpSumParam_) {
        skipOpSumParam_ = false;
    } else if (services_) {
        // Within a date change the rows are priced once, after the days of use are given too.
        services_->setOpSum(units(sum_), !deferReprice_);
        repricePending_ = deferReprice_;
    }
    if (isPayment()) {
        const auto take = [&rest](int debt) {
            const qint64 part = rest > debt ? debt : rest;
            rest -= part;
            return static_cast<int>(part);
        };
        opSums_.penalty = take(debt_.penalty);
        opSums_.perc = take(debt_.perc);
        opSums_.storage = take(debt_.storage);
        opSums_.base = static_cast<int>(rest);
    } else {
        opSums_ = DebtSums();
        opSums_.base = static_cast<int>(-sum_);
    }
    setServiceEvent(documentKind());
}

int OperationPayment::documentKind() const {
    return debt_.getTotal() == opSums_.getTotal() && kind_ != okINCREASE ? okCLOSE : kind_;
}

DebtLabels OperationPayment::labels() const {
    const QChar sign = kind_ == okINCREASE ? u'+' : u'-';
    return DebtLabels{label(debt_.base, opSums_.base, sign), label(debt_.storage, opSums_.storage, sign),
                      label(debt_.perc, opSums_.perc, sign), label(debt_.penalty, opSums_.penalty, sign),
                      label(debt_.getTotal(), opSums_.getTotal(), sign)};
}

// The services' prices and the operation's parts; a list closed by the commit reads as no rows.
qint64 OperationPayment::operationTotal() const {
    const bool rows = services_ && services_->rows().active();
    return (rows ? services_->getTotal(true) : 0) + qint64(opSums_.getTotal());
}

QString OperationPayment::operationTotalCaption() const {
    return text(operationTotal() >= 0 ? "IDS_17" : "IDS_16");
}

QString OperationPayment::operationTotalValue() const {
    return Money100::toStr(units(std::llabs(operationTotal())), 2);
}

// ---- date -----------------------------------------------------------------------------------------

void OperationPayment::setDate(DateTime date) {
    opDate_ = date.dayNumber() != 0 ? date.datePart() : DateTime();
    dateChanged();
}

void OperationPayment::setIncludeCurDay(bool on) {
    includeCurDay_ = on;
    dateChanged();
}

// Days of use the services price by: to the day the calculation counts to, that is the operation date
// less the day left out when the current day is not counted.
int OperationPayment::penaltyDaysCur() const {
    const DateTime counted = opDate_.addDays(-nonCalcDays());
    return counted.dayNumber() -
           contract_->getContractValue(Contract::cCONTRACT_DATE).toDateTime().dayNumber() + 1;
}

void OperationPayment::dateChanged() {
    if (loading_ || !contract_) return;
    recalcDebt();
    fillChargesSum();
    deferReprice_ = true;
    repricePending_ = false;
    try {
        splitSum();
    } catch (...) {
        deferReprice_ = false;
        throw;
    }
    deferReprice_ = false;
    afterSplit();
    const DateTime counted = opDate_.addDays(-nonCalcDays());
    if (services_) {
        const Variant stored = operation_->getValue(Op::oOP_DATE);
        const bool reprice = stored.isEmpty() || stored.toDateTime().datePart() != counted ||
                             operation_->getValue(Op::oOP_ID).isEmpty() ||
                             operation_->getValue(Op::oOP_ID).toInt() == -1;
        services_->setPenaltyDaysCur(penaltyDaysCur(), reprice || repricePending_);
    }
    repricePending_ = false;
    operation_->setValue(Op::oOP_DATE, counted);
}

// ---- services -------------------------------------------------------------------------------------

void OperationPayment::setServiceEvent(int kind, bool renew) {
    quint8 event = astOP_PAY;
    switch (kind) {
        case okREPAY:
        case okREPLEDGE:
            event = astOP_PAY;
            break;
        case okCLOSE:
            event = astCLOSE;
            break;
        case okINCREASE:
            event = astOP_INC;
            break;
        default:
            throw core::Exception(text("IDS_6"));
    }
    if (!renew && services_ && services_->getEvent() == event) return;
    requireTransaction();
    auto fresh = std::make_unique<NewOperationService>(event, opId_, opDate_, trn_.get());
    const bool reprice = !loading_ && isNew();
    fresh->setOpSum(units(opSums_.getTotal()), reprice);
    fresh->setContrSum(units(contract_->getDepositInt(Contract::dDEPOSIT_SUM)), reprice);
    fresh->setContrPrice(units(contract_->getDepositInt(Contract::dSUBJECT_PRICE)), reprice);
    fresh->setPenaltyDays(contract_->getDepositInt(Contract::dPENALTY_DAYS), reprice);
    fresh->setPenaltyDaysCur(penaltyDaysCur(), reprice);
    replaceServices(std::move(fresh));
}

// The window lets go of the old list before it goes, which deletes its rows under -1.
void OperationPayment::replaceServices(std::unique_ptr<NewOperationService> fresh) {
    servicesCash_.reset();
    std::unique_ptr<NewOperationService> old = std::move(services_);
    services_ = std::move(fresh);
    servicesCash_ = std::make_unique<ServicesCashType>(services_.get(), false);
    services_->onChange = [this] { servicesChanged(); };
    onServicesReplaced();
    old.reset();
}

void OperationPayment::servicesChanged() {
    if (detailCashMethod() && servicesCash_) servicesCash_->split();
    onServicesChanged();
}

bool OperationPayment::detailCashMethod() const {
    // Asked at every change of the services rows; the method of a day is read once.
    if (!cashMethod_ || cashMethod_->first != opDate_.dayNumber()) {
        cashMethod_ = std::pair(opDate_.dayNumber(),
                                WarrantCalculationManager::getCalculationMethod(opDate_, -1, database_));
    }
    return cashMethod_->second == 2;
}

namespace {
qint64 priceTotal(ufb::RxMemWrapper* list) {
    if (!list || !list->getDataSet()->active()) return 0;
    return static_cast<qint64>(udb::sumField(*list->getDataSet(), QStringLiteral("PRICE")));
}
}  // namespace

OperationPayment::DocumentEvents OperationPayment::documentEvents(int kind) const {
    DocumentEvents events;
    const bool detail = detailCashMethod();
    const auto cash = [&](const char* added, const char* removed) {
        if (!detail) return;
        events.added << QString::fromLatin1(added);
        events.removed << QString::fromLatin1(removed);
    };
    switch (kind) {
        case okREPAY:
        case okREPLEDGE:
            events.removed << QStringLiteral("OP_INC") << QStringLiteral("CNTR_CLOSE")
                           << QStringLiteral("CNTR_CLOSE_GOLD");
            events.added << QStringLiteral("OP_PAY");
            cash("CB_WRECEIPT", "CB_WEXPENSE");
            break;
        case okCLOSE:
            events.removed << QStringLiteral("OP_INC") << QStringLiteral("OP_PAY");
            events.added << (TDepositTypes::scIsGold(contract_->getIdDepositeType())
                                 ? QStringLiteral("CNTR_CLOSE_GOLD")
                                 : QStringLiteral("CNTR_CLOSE"));
            cash("CB_WRECEIPT", "CB_WEXPENSE");
            break;
        case okINCREASE:
            events.removed << QStringLiteral("OP_PAY") << QStringLiteral("CNTR_CLOSE")
                           << QStringLiteral("CNTR_CLOSE_GOLD");
            events.added << QStringLiteral("OP_INC");
            cash("CB_WEXPENSE", "CB_WRECEIPT");
            break;
        default:
            break;
    }
    return events;
}

int OperationPayment::automaticOrderId(int opId, const QString& code) {
    WarrantInfo order;
    if (!order.loadByOperation(opId, code, nullptr)) return -1;
    return order.GetField(WarrantInfo::wID).toInt();
}

bool OperationPayment::hasServiceReceipts() const {
    return servicesCash_ && priceTotal(servicesCash_->getReceipt()) > 0;
}

bool OperationPayment::hasServiceExpenses() const {
    return servicesCash_ && priceTotal(servicesCash_->getExpense()) < 0;
}

// ---- rights ---------------------------------------------------------------------------------------

bool OperationPayment::isImport() const {
    return contract_ && contract_->isImport();
}

bool OperationPayment::canIncrease() const {
    const bool allowed =
        TolvMain::VuxSecur::isMaster() ||
        udb::dbIniReadBool(QStringLiteral("PERMISSION"), QStringLiteral("CanAgentOpIncBaseSum"), true);
    return allowed && contract_->getDepositInt(Contract::dIS_USD_EXCHANGE) != 1;
}

namespace {
bool editAllowed(const Contract& contract, int opId, bool forced) {
    if (contract.getContractValue(Contract::cCONTRACT_STATE).toInt() != csOPENED) return false;
    if (!TolvMain::VuxSecur::isMaster()) return false;
    const int contractId = contract.getContractValue(Contract::cCONTRACT_ID).toInt();
    if (TPenaltyInActs::scIsContractInAct(contractId)) return false;
    if (!forced && PercCalcOperations(contractId, -1).getLastOpId() != opId) return false;
    return !contract.isImport();
}
}  // namespace

bool OperationPayment::canEdit() const {
    return editAllowed(*contract_, opId_, forcedEdit_);
}

bool OperationPayment::offersForcedEdit() const {
    return !forcedEdit_ && !isNew() && editAllowed(*contract_, opId_, true) &&
           !editAllowed(*contract_, opId_, false);
}

bool OperationPayment::confirmForcedEdit() {
    if (!ui::askYesNo(text("IDS_26"), QString(), ui::MsgType::Warning)) return false;
    forcedEdit_ = true;
    return true;
}

// ---- texts of the contract ------------------------------------------------------------------------

QString OperationPayment::contractNumber() const {
    return contract_ ? contract_->getContractValue(Contract::cCONTRACT_NUM).toText() : QString();
}

QString OperationPayment::clientName() const {
    if (isImport()) return contract_->getImportValue(Contract::iCLIENT_NAME).toText();
    return TClients::NameById(contract_->getContractValue(Contract::cCLIENT_ID).toInt());
}

QString OperationPayment::agentName() const {
    if (isImport()) return contract_->getImportValue(Contract::iAGENT_NAME).toText();
    return TAgents::agentLoginById(contract_->getContractValue(Contract::cAGENT_ID).toInt());
}

// ---- validation -----------------------------------------------------------------------------------

void OperationPayment::validate() const {
    using F = OperationFieldError;
    if (contractNumber().trimmed().isEmpty()) throw F(F::fNumber, text("IDS_2"));
    if (opDate_.dayNumber() == 0) throw F(F::fDate, text("IDS_3"));
    const Variant client = contract_->getContractValue(Contract::cCLIENT_ID);
    if (client.isEmpty() || client.toInt() == -1) throw F(F::fClient, text("IDS_4"));
    if (sum_ == 0) throw F(F::fSum, text("IDS_5"));
    const int contractId = contract_->getContractValue(Contract::cCONTRACT_ID).toInt();
    const DateTime last = PercCalcOperations(contractId, opId_).getLastOpDate();
    if (!forcedEdit_ && last.dayNumber() != 0 && opDate_ < last.datePart()) {
        throw F(F::fDate, text("IDS_18"));
    }
}

// ---- save -----------------------------------------------------------------------------------------

OperationPayment::SaveResult OperationPayment::save() {
    if (saved_) return SaveResult::Saved;
    validate();
    const bool close = isPayment() && opSums_.getTotal() >= debt_.getTotal();
    if (close && !ui::askYesNo(text("IDS_10"))) return SaveResult::NotWritten;
    // A stored operation changes only by a manager's hand.
    if (!isNew() && !TolvMain::VuxSecur::isMaster()) return SaveResult::NotWritten;

    requireTransaction();
    const bool servicesExisted = services_ != nullptr;
    const AddServices::Snapshot servicesBefore = services_ ? services_->snapshot() : AddServices::Snapshot{};
    udb::execSql(QStringLiteral("savepoint ") + kSavepoint, trn_.get());

    bool receiptClosed = false;
    SaveResult result = SaveResult::NotWritten;
    try {
        result = write(close, receiptClosed);
    } catch (...) {
        undo(servicesBefore, servicesExisted);
        // The receipt left open goes; a register that fails here must not hide the first error.
        if (fiscalRegister_ && !receiptClosed) {
            try {
                fiscalRegister_->cancelCheck();
            } catch (...) {
            }
        }
        throw;
    }
    if (result == SaveResult::NotWritten) {
        undo(servicesBefore, servicesExisted);
        return result;
    }
    saved_ = true;
    savedOpId_ = operation_->getValue(Op::oOP_ID).toInt();
    userIni().writeInt(kUserSection, kUserKey, kind_);
    return result;
}

OperationPayment::SaveResult OperationPayment::write(bool close, bool& receiptClosed) {
    const int contractId = contract_->getContractValue(Contract::cCONTRACT_ID).toInt();
    operation_->setValue(Op::oDEPOSIT_ID, contractId);
    operation_->setValue(Op::oOP_SUM, opSums_.base);
    operation_->setValue(Op::oOP_STORAGE_SUM, opSums_.storage);
    operation_->setValue(Op::oOP_PERC_SUM, opSums_.perc);
    operation_->setValue(Op::oOP_PENALTY_SUM, opSums_.penalty);
    operation_->setValue(Op::oOP_INFO, note_);
    operation_->setValue(Op::oOP_DATE, opDate_);
    operation_->setValue(Op::oNON_CALC_DAYS, nonCalcDays());
    if (services_) services_->setDate(opDate_);
    operation_->setTransaction(trn_.get());

    if (isNew()) {
        operation_->setValue(Op::oOP_ID, Variant::null());
        operations_->insertOperation(*operation_, services_.get());
    } else {
        operation_->setValue(Op::oOP_ID, opId_);
        operations_->updateOperation(*operation_, services_.get());
    }
    if (close) contracts_->closeContract(contractId, opDate_, trn_.get(), services_.get());
    // The rests of the operations after a changed one are computed again: dropped in the same commit.
    if (forcedEdit_) PercCalcOperations::scClearOperationDebts(contractId, trn_.get());

    beforeReceipt();
    const bool fiscal =
        isNew() && fiscalRegister_ &&
        utl::SettingsFile::readBool(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRisEnabled"), false) &&
        fiscalRegister_->examCheckDate(opDate_);
    if (fiscal) {
        // The rows as stored under the operation now, read afresh.
        services_->close();
        services_->open();
        const KassRegister::FiscalRegister::ServiceLines lines = serviceReceiptLines(services_->rows());
        const QString number = contractNumber().trimmed();
        const bool printed =
            isPayment() ? fiscalRegister_->printPaymentCheck(number, opSums_.base, opSums_.storage,
                                                             opSums_.perc, opSums_.penalty, lines)
                        : fiscalRegister_->printCreditIncreaseCheck(number, static_cast<qint32>(sum_), lines);
        if (!printed) {
            fiscalRegister_->cancelCheck();
            return SaveResult::NotWritten;
        }
        receiptClosed = true;
    }
    try {
        trn_->commit();
    } catch (const core::Exception& e) {
        if (!receiptClosed) throw;
        throw ReceiptWithoutPayment(text("receiptWithoutPayment") + e.message());
    }
    PercCalc::scClearCache(contractId);
    return SaveResult::Saved;
}

// Back to the savepoint: the operation, its services, the closing and the cash orders go, the rows the
// dialog made before the save stay; the records in memory are put back as they were.
void OperationPayment::undo(const AddServices::Snapshot& services, bool servicesExisted) {
    try {
        if (trn_->inTransaction()) {
            udb::execSql(QStringLiteral("rollback to savepoint ") + kSavepoint, trn_.get());
        }
    } catch (const core::Exception&) {
        // A transaction that cannot go back to its savepoint goes back whole, and the services with it.
        if (trn_->inTransaction()) trn_->rollback();
        servicesExisted = false;
    }
    operation_->setTransaction(nullptr);
    operation_->setValue(Op::oOP_ID, opId_);
    operation_->setValue(Op::oOP_DATE, opDate_.addDays(-nonCalcDays()));
    PercCalc::scClearCache(contract_->getContractValue(Contract::cCONTRACT_ID).toInt());
    debtKey_.reset();
    requireTransaction();
    if (services_ && servicesExisted) {
        services_->restore(services);
        if (servicesCash_) servicesCash_->split();
    } else {
        setServiceEvent(documentKind(), true);
    }
}

}  // namespace TolvLogic
