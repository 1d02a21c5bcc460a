#include "u_ContractEditor.h"

#include <cmath>
#include <limits>

#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "TClients.h"
#include "U_LoggedUser.h"
#include "Warrantcalculation.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100.h"
#include "kv_Translator.h"
#include "kv_Valuta.h"
#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Query.h"
#include "platform/fb/Transaction.h"
#include "platform/os/IniFile.h"
#include "u_AddServices.h"
#include "u_Exchange.h"
#include "u_PercCalc.h"
#include "u_contractSubjects.h"
#include "u_filials.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;
using Contract = TPenaltyContractInfo;
using F = ContractFieldError;

namespace {

const kvtr::Text kTexts[] = {
    {"PenaltyOrderEdit.IDS_0", u"Нет ни одного филиала, для которого разрешен ручной ввод договоров.",
     u"Немає жодної філії, для якої дозволено ручне введення договорів."},
    {"PenaltyOrderEdit.IDS_1", u"Хранение", u"Зберігання"},
    {"PenaltyOrderEdit.IDS_3", u"выдача кредита", u"видача кредиту"},
    {"PenaltyOrderEdit.IDS_4", u"Новый договор", u"Новий договір"},
    {"PenaltyOrderEdit.IDS_5", u"Добавить", u"Додати"},
    {"PenaltyOrderEdit.IDS_6", u"Редактировать договор №", u"Редагувати договір №"},
    {"PenaltyOrderEdit.IDS_7", u"Сохранить", u"Зберегти"},
    {"PenaltyOrderEdit.IDS_8", u"Просмотр договора №", u"Перегляд договору №"},
    {"PenaltyOrderEdit.IDS_9", u" [Импортирован]", u" [Імпортовано]"},
    {"PenaltyOrderEdit.IDS_23",
     u"При выключенной опции хранения \"Учитывать хранение при начислении пени\"\n",
     u"При вимкненій опції зберігання \"Враховувати зберігання при нарахуванні пені\"\n"},
    {"PenaltyOrderEdit.IDS_24", u"доп.услуги", u"дод.послуги"},
    {"PenaltyOrderEdit.IDS_25", u"Курс $ (справочно)", u"Курс $ (довідково)"},
    {"PenaltyOrderEdit.IDS_26",
     u"Курс доллара США на момент заключения догвора (справочно, в расчетах не участвует)",
     u"Курс долара США на момент укладання договору (довідково, в розрахунках не бере участі)"},
    {"PenaltyOrderEdit.IDS_27", u"Курс $", u"Курс $"},
    {"PenaltyOrderEdit.IDS_28", u"Курс $ на дату договора", u"Курс $ на дату договору"},
    {"PenaltyOrderEdit.IDS_29", u"Не указаны параметры хранения.", u"Не вказано параметри зберігання."},
    {"PenaltyOrderEdit.IDS_32", u"Не указан номер договора", u"Не вказано номер договору"},
    {"PenaltyOrderEdit.IDS_33", u"Не указана дата договора", u"Не вказано дату договору"},
    {"PenaltyOrderEdit.IDS_34", u"Не выбран клиент", u"Не обрано клієнта"},
    {"PenaltyOrderEdit.IDS_35", u"Нельзя создавать договора для филиала, из которого разрешён импорт",
     u"Не можна створювати договори для філії, з якої дозволено імпорт"},
    {"PenaltyOrderEdit.IDS_36", u"Не указан ни один предмет залога", u"Не вказано жодного предмета застави"},
    {"PenaltyOrderEdit.IDS_37", u"Не указана оценочная стоимость", u"Не вказано оціночну вартість"},
    {"PenaltyOrderEdit.IDS_40", u"При выключенной опции \"Начислять проценты при начислении пени\"\n",
     u"При вимкненій опції \"Нараховувати відсотки при нарахуванні пені\"\n"},
    {"PenaltyOrderEdit.IDS_41", u"необходимо указать процентную ставку пени",
     u"необхідно вказати відсоткову ставку пені"},
    {"PenaltyOrderEdit.IDS_45", u"Не указан курс доллара", u"Не вказано курс долара"},
    {"PenaltyOrderEdit.IDS_46", u"Не указано место нахождения залога",
     u"Не вказано місце знаходження застави"},
    {"PenaltyOrderEdit.IDS_47", u"Не указан тип залога", u"Не вказано тип застави"},
    {"PenaltyOrderEdit.IDS_48", u"Не указана длительность договора", u"Не вказано тривалість договору"},
    {"PenaltyOrderEdit.IDS_49", u"Не указана процентная ставка.", u"Не вказано відсоткову ставку."},
    {"PenaltyOrderEdit.IDS_51",
     u"Заданный номер договора уже существует.\nСгенерировать новый номер договора?",
     u"Заданий номер договору вже існує.\nЗгенерувати новий номер договору?"},
    {"PenaltyOrderEdit.IDS_52",
     u"Вы собираетесь изменить данные по договору, у которого есть операции. \nВ случае сохранения "
     u"изменений данные по операциям будут пересчитаны.\n\nПродолжить?",
     u"Ви збираєтеся змінити дані договору, у якого є операції. \nУ разі збереження змін дані операцій "
     u"буде перераховано.\n\nПродовжити?"},
    {"PenaltyOrderEdit.IDS_56", u"Сумма финансового кредита", u"Сума фінансового кредиту"},
    {"PenaltyOrderEdit.IDS_57",
     u"Сумма финансового кредита (сумма кредита превышает cтоимость расчитанную по тарифной сетке)",
     u"Сума фінансового кредиту (сума кредиту перевищує вартість, розраховану за тарифною сіткою)"},
    {"PenaltyOrderEdit.IDS_58", u"Сумма финансового кредита (сумма кредита превышает оценочную стоимость)",
     u"Сума фінансового кредиту (сума кредиту перевищує оціночну вартість)"},
    {"PenaltyOrderEdit.hintDayPerc", u"Процентная ставка за сутки, %/сутки",
     u"Відсоткова ставка за добу, %/добу"},
    {"PenaltyOrderEdit.hintPerc", u"Процентная ставка за весь договор, %",
     u"Відсоткова ставка за весь договір, %"},
    {"PenaltyOrderEdit.hintPenalty", u"Процентная ставка пени в день, %/день",
     u"Відсоткова ставка пені на день, %/день"},
    {"PenaltyOrderEdit.userDefaults", u"Договор сохранён, но настройки по умолчанию не записаны:\n\n",
     u"Договір збережено, але налаштування за замовчуванням не записано:\n\n"},
    {"PenaltyOrderEdit.receiptWithoutSave", u"Фискальный чек напечатан, но договор не сохранён:\n\n",
     u"Фіскальний чек надруковано, але договір не збережено:\n\n"},
};

const QString kDefaults = QStringLiteral("DEFAULTS");
const QString kUserSection = QStringLiteral("PenaltyOrderEditForm");
const QString kSavepoint = QStringLiteral("CONTRACT_SAVE");
constexpr int kDetailMethod = 2;

os::IniFile userIni() {
    return os::IniFile(utl::SettingsFile::userIniFileName());
}

bool dbBool(const char* key, bool defaultValue) {
    return udb::dbIniReadBool(kDefaults, QString::fromLatin1(key), defaultValue);
}

double round2(double v) {
    return std::round(v * 100.0) / 100.0;
}

// A value too large for the hundredths it is kept in.
void checkRange(double units) {
    if (!std::isfinite(units) || std::fabs(units) * 100.0 > double(std::numeric_limits<qint32>::max()))
        throw core::Exception(QStringLiteral("Arithmetic overflow"));
}

}  // namespace

// ---- texts ----------------------------------------------------------------------------------------

std::vector<std::pair<QString, QString>> ContractEditor::scTexts(int language) {
    return kvtr::textsIn(kTexts, language);
}

QString ContractEditor::text(const char* id) {
    const QByteArray key = QByteArrayLiteral("PenaltyOrderEdit.") + id;
    for (const kvtr::Text& t : kTexts) {
        if (key == t.key) return kvtr::tr(t.key, t.ru);
    }
    return QString::fromLatin1(id);
}

// ---- life -----------------------------------------------------------------------------------------

ContractEditor::ContractEditor(fb::Database* database, TPenaltyContracts* contracts)
    : database_(database), contracts_(contracts) {
    trn_ = udb::createTransaction(database);
    // Whatever the dialog leaves unsaved is undone.
    trn_->setDefaultAction(fb::TransactionAction::Rollback);
    trn_->start();
    // The branch list reads committed rows on a transaction of its own, never in the dialog's.
    filials_ = std::make_unique<FilialsDir>(database);
    filials_->setImportFilter(1);
    filials_->open();
    data::Dataset* ds = filials_->getDataSet();
    if (ds->recordCount() == 0) throw core::Exception(text("IDS_0"));
    filialId_ = ds->fieldByName(QStringLiteral("ID")).asInteger();
    termsFiller_ = ContractPrmsFiller::scCreate();
    contract_ = std::make_unique<Contract>(nullptr);
    term_.onChange = [this] { termChanged(); };
}

ContractEditor::~ContractEditor() {
    // The services delete their rows under -1 in the transaction, before it rolls back.
    servicesCash_.reset();
    services_.reset();
    termsFiller_.reset();
    try {
        if (trn_ && trn_->inTransaction()) trn_->rollback();
    } catch (const core::Exception&) {
        // Released without a handle, the server ends the transaction; nothing of it was committed.
    }
}

void ContractEditor::requireTransaction() {
    if (!trn_->inTransaction()) trn_->start();
}

void ContractEditor::setNew(DateTime workDate, KassRegister::FiscalRegister* fiscalRegister) {
    loading_ = true;
    editMode_ = false;
    fiscalRegister_ = fiscalRegister;
    contract_->setContractValue(Contract::cCONTRACT_ID, -1);
    contract_->setContractValue(Contract::cCLIENT_ID, -1);
    contract_->setStorage(1, 0);
    caption_ = text("IDS_4");
    workDate_ = workDate.datePart();
    date_ = workDate_;
    genContractNum();
    const int agent = TAgents::agentIdByLogin(TolvMain::VuxSecur::getLogin());
    contract_->setContractValue(Contract::cAGENT_ID, agent);
    agentName_ = TAgents::agentNameById(agent);

    calcPercWithPenalty_ = dbBool("isCalcPercWithPenalty", true);
    privInExceed_ = dbBool("isPrivInExceed", false);
    calcExchange_ = dbBool("CalcExchange", false);
    calcExchangeIfIncrease_ = calcExchange_ && dbBool("CalcExchangeIfIncrease", false);
    exceedDays_ = udb::dbIniReadInt(kDefaults, QStringLiteral("repExceedDays"), 0);

    initServices(workDate_);

    const os::IniFile ini = userIni();
    const int tech = TDepositTypes::scGetIdByCode(QStringLiteral("TECH"));
    applyDepositType(dbBool("StPrmDeposType", true) ? ini.readInt(kUserSection, "defaultIdDepositType", tech)
                                                    : tech);
    if (dbBool("StPrmPlace", true)) setPlace(ini.readInt(kUserSection, "defaultIdStorePlace", -1));
    if (dbBool("StPrmPenaltyDays", true))
        term_.setText(QString::number(ini.readInt(kUserSection, "defaultPenaltyDays", 30)));
    initDollarPrice();

    bool ok = false;
    const int typed = term_.text().toInt(&ok);
    termsFiller_->setupTermControl(term_, ok ? typed : 0);
    if (services_) services_->setPenaltyDays(penaltyDays(), true);
    loading_ = false;
    fillTerms(1);
    // The documents of a new contract: the entries the pledge type brought, and the cash orders.
    dateOrFilialChanged();
    onChanged();
}

void ContractEditor::loadContract(int contractId, DateTime workDate) {
    loading_ = true;
    workDate_ = workDate.datePart();
    editMode_ = true;
    contract_->setContractValue(Contract::cCONTRACT_ID, contractId);
    contract_->load();
    applyDepositType(contract_->getIdDepositeType());
    number_ = contract_->getContractValue(Contract::cCONTRACT_NUM).toText();
    caption_ = text("IDS_6") + number_;
    date_ = contract_->getContractValue(Contract::cCONTRACT_DATE).toDateTime().datePart();
    const Contract& c = *contract_;
    storageType_ = c.getDepositInt(Contract::dSTORAGE_TYPE);
    if (storageType_ == 0) storageType_ = 1;
    storageValue_ = Money100::fromHundredths(c.getDepositInt(Contract::dSTORAGE_VAL));
    storageMinDays_ = c.getDepositInt(Contract::dSTORAGE_MIN_DAYS);
    storageStartWithPenalty_ = c.getDepositInt(Contract::dIS_STORAGE_START_W_PEN) != 0;
    if (c.isImport()) {
        caption_ = text("IDS_8") + number_ + text("IDS_9");
        placeName_ = c.getImportValue(Contract::iDEPOSIT_PLACE).toText();
        agentName_ = c.getImportValue(Contract::iAGENT_NAME).toText();
        clientName_ = c.getImportValue(Contract::iCLIENT_NAME).toText();
        filials_->setImportFilter(2);
    } else {
        placeName_ = TPlaces(database_).placeNameById(c.getDepositInt(Contract::dDEPOSIT_PLACE));
        agentName_ = TAgents::agentNameById(c.getContractValue(Contract::cAGENT_ID).toInt());
        clientName_ = TClients::NameById(c.getContractValue(Contract::cCLIENT_ID).toInt());
    }
    filialId_ = c.getContractValue(Contract::cFILIAL_ID).toInt();
    subjPrice_ = c.getDepositInt(Contract::dSUBJECT_PRICE);
    depositSum_ = c.getDepositInt(Contract::dDEPOSIT_SUM);
    applyCreditLimits();
    perc_ = Money100::fromHundredths(c.getDepositInt(Contract::dDEPOSIT_PERC));
    offFlag_ = c.getDepositInt(Contract::dOFF_FLAG) != 0;
    note_ = c.getContractValue(Contract::cNOTE).toText();
    penaltyPerc_ = Money100::fromHundredths(c.getDepositInt(Contract::dPENALTY_PERC));
    calcPercWithPenalty_ = c.getDepositInt(Contract::dIS_CALC_PERC_WITH_PENALTY) != 0;
    penaltyFromRetSum_ = c.getDepositInt(Contract::dIS_PENAL_FROM_RET_SUM) != 0;
    privInExceed_ = c.getDepositInt(Contract::dIS_PRIV_IN_EXCEED) != 0;
    calcExchange_ = c.getDepositInt(Contract::dIS_USD_EXCHANGE) == 1;
    calcExchangeIfIncrease_ = c.getDepositInt(Contract::dIS_MAKE_EXCHANGE_BY_INCREASE) == 1;
    const int days = c.getDepositInt(Contract::dPENALTY_DAYS);
    termsFiller_->setupTermControl(term_, days);
    term_.setText(QString::number(days));
    perDayFromWhole();
    minAccrualDays_ = c.getDepositInt(Contract::dMIN_ACCRUAL_DAYS);
    exceedDays_ = c.getDepositInt(Contract::dEXCEED_DAYS);
    initDollarPrice();
    initServices(date_);
    loading_ = false;
    if (detailCashMethod() && depositSum_ > 0) addDocument(QStringLiteral("CB_WEXPENSE"), {}, text("IDS_3"));
    servicesChanged();
    onChanged();
}

// ---- numbering, branch and date -------------------------------------------------------------------

void ContractEditor::genContractNum() {
    number_ = contracts_->buildOrderNum(filialId_, workDate_);
    proposedNumber_ = number_;
}

void ContractEditor::setFilial(int filialId) {
    if (editMode_) return;
    filialId_ = filialId;
    dateOrFilialChanged();
    onChanged();
}

void ContractEditor::setDate(DateTime date) {
    date_ = date.datePart();
    dateOrFilialChanged();
    onChanged();
}

void ContractEditor::dateOrFilialChanged() {
    // The number is always that of the work date, whatever day the contract is dated.
    if (!editMode_) genContractNum();
    if (services_) services_->setDate(date_);
    applyExchange();
    if (detailCashMethod() && depositSum_ != 0) addDocument(QStringLiteral("CB_WEXPENSE"), {}, text("IDS_3"));
    if (!detailCashMethod()) removeDocument(QStringLiteral("CB_WEXPENSE"));
    servicesChanged();
}

bool ContractEditor::detailCashMethod() const {
    const std::pair<int, int> key{filialId_, date_.dayNumber()};
    if (!cashMethod_ || *cashMethod_ != key) {
        cashMethodValue_ = WarrantCalculationManager::getCalculationMethod(date_, filialId_, database_);
        cashMethod_ = key;
    }
    return cashMethodValue_ == kDetailMethod;
}

// ---- pickers --------------------------------------------------------------------------------------

void ContractEditor::setClient(int clientId, const QString& name) {
    contract_->setContractValue(Contract::cCLIENT_ID, clientId);
    clientName_ = name;
    fillTerms(3);
    onChanged();
}

void ContractEditor::setPlace(int placeId) {
    contract_->setDepositValue(Contract::dDEPOSIT_PLACE, placeId);
    placeName_ = placeId == -1 ? QString() : TPlaces(database_).placeNameById(placeId).trimmed();
    onChanged();
}

bool ContractEditor::setDepositType(int depositTypeId) {
    if (!contract_->setIdDepositeType(depositTypeId)) return false;
    applyDepositType(depositTypeId);
    subjectsChanged();
    return true;
}

void ContractEditor::applyDepositType(int depositTypeId) {
    if (depositTypeId != contract_->getIdDepositeType() && !contract_->setIdDepositeType(depositTypeId))
        return;
    ContractSubjects* items = contract_->getSubjects();
    items->onChanged = nullptr;
    depositTypeName_ = depositTypeId ? TDepositTypes::scGetName(depositTypeId) : QString();
    depositTypeCode_ = TDepositTypes::scGetCode(depositTypeId);
    if (!items->getDataSet()->active()) items->open();
    termsFiller_->init(contract_.get(), nullptr);
    items->onChanged = [this] { subjectsChanged(); };
    const bool gold = depositTypeCode_ == QStringLiteral("GOLD");
    removeDocument(gold ? QStringLiteral("CNTR_OPEN") : QStringLiteral("CNTR_OPEN_GOLD"));
    addDocument(gold ? QStringLiteral("CNTR_OPEN_GOLD") : QStringLiteral("CNTR_OPEN"), {}, {});
}

QString ContractEditor::subjGridSection() const {
    return QStringLiteral("PenaltyOrderEditForm_subjGrid_") +
           (depositTypeCode_ == QStringLiteral("GOLD") ? QStringLiteral("GOLD") : QStringLiteral("DEFAULT"));
}

// ---- rates and term -------------------------------------------------------------------------------

int ContractEditor::penaltyDays() const {
    bool ok = false;
    const int days = term_.text().trimmed().toInt(&ok);
    return ok ? days : 0;
}

void ContractEditor::wholeFromPerDay() {
    const int days = penaltyDays();
    perc_ = days > 0 ? round2(dayPerc_ * days) : 0;
    try {
        checkRange(perc_);
    } catch (...) {
        dayPerc_ = perc_ = 0;
        throw;
    }
}

void ContractEditor::perDayFromWhole() {
    const int days = penaltyDays();
    dayPerc_ = days > 0 ? round2(perc_ / days) : 0;
}

void ContractEditor::setDayPerc(double perc) {
    dayPerc_ = std::fabs(perc);
    wholeFromPerDay();
    onChanged();
}

void ContractEditor::setPerc(double perc) {
    perc_ = std::fabs(perc);
    try {
        checkRange(perc_);
    } catch (...) {
        perc_ = 0;
        throw;
    }
    perDayFromWhole();
    onChanged();
}

void ContractEditor::setPenaltyPerc(double perc) {
    penaltyPerc_ = std::fabs(perc);
    onChanged();
}

void ContractEditor::setExceedDays(int days) {
    exceedDays_ = std::abs(days);
    onChanged();
}

void ContractEditor::setTermText(const QString& text) {
    term_.setText(text);
    termChanged();
}

void ContractEditor::termChanged() {
    if (loading_) return;
    if (!term_.text().isEmpty()) contract_->setDepositInt(Contract::dPENALTY_DAYS, penaltyDays());
    fillTerms(2);
    wholeFromPerDay();
    if (ContractPrmsFiller::scGetKind() == 2) {
        const SubjectsTotals totals = ContractSubjects::calcTotals(*contract_->getSubjects(), nullptr);
        depositSum_ = std::llround(totals.depositSum * 100.0);
    }
    if (services_) services_->setPenaltyDays(penaltyDays(), true);
    onChanged();
}

void ContractEditor::fillTerms(int reason) {
    if (loading_) return;
    contract_->setDepositInt(Contract::dDEPOSIT_SUM, static_cast<int>(depositSum_));
    ContractPrms terms;
    if (termsFiller_->fillOnEvent(terms, reason)) {
        dayPerc_ = round2(terms.perc);
        wholeFromPerDay();
        penaltyPerc_ = round2(terms.penaltyPerc);
        setStorage(terms.storageType, terms.storageVal, terms.storageMinDays,
                   terms.isStorageStartWithPenalty);
        calcPercWithPenalty_ = terms.isPercWithPenaltyStart;
        penaltyFromRetSum_ = terms.isPenalFromRetSum;
        minAccrualDays_ = terms.minAccrualDays;
    }
}

QString ContractEditor::hintMoney(double units) const {
    core::ScopedDecimalSeparator point(u'.');
    return core::formatFloat(QStringLiteral(",0.00"), units) + u' ' + utl::Valuta::getValutaName();
}

QString ContractEditor::dayPercHint() const {
    return text("hintDayPerc") + u'\n' + hintMoney(dayPerc_ * Money100::fromHundredths(depositSum_) / 100.0);
}

QString ContractEditor::percHint() const {
    return text("hintPerc") + u'\n' + hintMoney(perc_ * Money100::fromHundredths(depositSum_) / 100.0);
}

QString ContractEditor::penaltyPercHint() const {
    double money = penaltyPerc_ * Money100::fromHundredths(depositSum_) / 100.0;
    if (penaltyFromRetSum_) money *= 1.0 + perc_ / 100.0;
    return text("hintPenalty") + u'\n' + hintMoney(money);
}

// ---- loan sum, valuation and items ----------------------------------------------------------------

void ContractEditor::setDepositSum(qint64 hundredths) {
    if (std::llabs(hundredths) > std::numeric_limits<qint32>::max()) {
        depositSum_ = 0;
        onChanged();
        throw core::Exception(QStringLiteral("Arithmetic overflow"));
    }
    depositSum_ = hundredths;
    if (!subjectsSync_) contract_->getSubjects()->spreadDepositSum(Money100::fromHundredths(depositSum_));
    fillTerms(4);
    applyCreditLimits();
    if (services_) services_->setContrSum(Money100::fromHundredths(depositSum_), true);
    if (depositSum_ != 0 && detailCashMethod()) {
        addDocument(QStringLiteral("CB_WEXPENSE"), {}, text("IDS_3"));
    } else if (depositSum_ == 0) {
        removeDocument(QStringLiteral("CB_WEXPENSE"));
    }
    refreshStorageSum();
    onChanged();
}

void ContractEditor::roundDepositSum() {
    const qint64 whole = depositSum_ / 100;
    const qint64 frac = depositSum_ % 100;
    if (frac == 0) return;
    qint64 units = whole;
    if (frac > 50 || (frac == 50 && whole % 2 != 0)) ++units;
    setDepositSum(units * 100);
}

void ContractEditor::subjectsChanged() {
    // A row being typed is summed once it is posted: walking the rows now would post it half-typed.
    const data::DatasetState state = contract_->getSubjects()->getDataSet()->state();
    if (state == data::DatasetState::Edit || state == data::DatasetState::Insert) return;
    subjectsSync_ = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{subjectsSync_};
    const SubjectsTotals totals = ContractSubjects::calcTotals(*contract_->getSubjects(), nullptr);
    subjPrice_ = std::llround(totals.price * 100.0);
    contract_->setDepositInt(Contract::dSUBJECT_PRICE, static_cast<int>(subjPrice_));
    setDepositSum(std::llround(totals.depositSum * 100.0));
    contract_->setDepositInt(Contract::dDEPOSIT_SUM, static_cast<int>(depositSum_));
    if (services_) {
        services_->setContrPrice(Money100::fromHundredths(subjPrice_), true);
        services_->setContrSum(Money100::fromHundredths(depositSum_), true);
    }
    applyCreditLimits();
    refreshStorageSum();
    onChanged();
}

void ContractEditor::applyCreditLimits() {
    depositSumLook_ = FieldLook::Normal;
    depositSumHint_ = text("IDS_56");
    const data::DatasetState state = contract_->getSubjects()->getDataSet()->state();
    const bool typing = state == data::DatasetState::Edit || state == data::DatasetState::Insert;
    const SubjectsTotals totals =
        typing ? SubjectsTotals{}
               : ContractSubjects::calcTotals(*contract_->getSubjects(), termsFiller_.get());
    const double loan = Money100::fromHundredths(depositSum_);
    if (totals.proposedCredit != 0 && loan - totals.proposedCredit > 0.001) {
        depositSumLook_ = FieldLook::Blue;
        depositSumHint_ = text("IDS_57");
    }
    // Above the valuation weighs more than above the tariff: it is tested last.
    if (subjPrice_ < depositSum_) {
        depositSumLook_ = FieldLook::Red;
        depositSumHint_ = text("IDS_58");
    }
}

// ---- storage --------------------------------------------------------------------------------------

void ContractEditor::setStorage(int type, double value, int minDays, bool startWithPenalty) {
    storageType_ = type == 0 ? 1 : type;
    storageValue_ = value;
    storageMinDays_ = minDays;
    storageStartWithPenalty_ = startWithPenalty;
    refreshStorageSum();
    onChanged();
}

void ContractEditor::setStorageSum(double units) {
    checkRange(units);
    setStorage(1, std::fabs(units), storageMinDays_, storageStartWithPenalty_);
}

void ContractEditor::refreshStorageSum() {
    contract_->setDepositInt(Contract::dSUBJECT_PRICE, static_cast<int>(subjPrice_));
    contract_->setDepositInt(Contract::dDEPOSIT_SUM, static_cast<int>(depositSum_));
    contract_->setStorage(storageType_, static_cast<int>(std::llround(storageValue_ * 100.0)));
}

qint64 ContractEditor::storageSum() const {
    return contract_->getDepositInt(Contract::dSTORAGE_SUM);
}

// ---- dollar indexation ----------------------------------------------------------------------------

void ContractEditor::setCalcExchange(bool on) {
    calcExchange_ = on;
    if (!on) calcExchangeIfIncrease_ = false;
    applyExchange();
    onChanged();
}

void ContractEditor::applyExchange() {
    dollarLook_ = FieldLook::Normal;
    if (!calcExchange_) {
        if (!loading_ && editMode_) return;
        return;
    }
    double rate = 1.0;
    const bool ofTheDay = TExchangeInfo(filialId_, date_).findRate(rate, date_);
    dollarPrice_ = rate;
    if (!ofTheDay) dollarLook_ = FieldLook::Blue;
}

void ContractEditor::initDollarPrice() {
    if (!editMode_ && calcExchange_) {
        applyExchange();
        return;
    }
    if (editMode_) {
        dollarPrice_ = contract_->getDepositInt(Contract::dDOLLAR_PRICE) / 10000.0;
        if (calcExchange_) applyExchange();
        return;
    }
    dollarPrice_ = dbBool("StPrmDollarPrice", true)
                       ? userIni().readInt(kUserSection, QStringLiteral("defaultDollarPrice"), 0) / 10000.0
                       : 0;
}

QString ContractEditor::exchangeLabel() const {
    return calcExchange_ ? text("IDS_27") : text("IDS_25");
}

QString ContractEditor::exchangeHint() const {
    return calcExchange_ ? text("IDS_28") : text("IDS_26");
}

// ---- services and documents -----------------------------------------------------------------------

void ContractEditor::initServices(DateTime date) {
    servicesCash_.reset();
    services_.reset();
    const int id = contract_->getContractValue(Contract::cCONTRACT_ID).toInt();
    services_ = std::make_unique<NewContractService>(id, date, trn_.get());
    if (editMode_) {
        services_->setContrPrice(Money100::fromHundredths(subjPrice_), false);
        services_->setContrSum(Money100::fromHundredths(depositSum_), false);
        services_->setPenaltyDays(penaltyDays(), false);
    }
    servicesCash_ = std::make_unique<ServicesCashType>(services_.get(), false);
    services_->onChange = [this] {
        servicesChanged();
        onChanged();
    };
}

void ContractEditor::servicesChanged() {
    if (!services_) return;
    const QString suffix = text("IDS_24");
    if (detailCashMethod()) {
        servicesCash_->split();
        const auto total = [](ufb::RxMemWrapper* list) {
            qint64 sum = 0;
            data::Dataset& ds = *list->getDataSet();
            if (!ds.active()) return sum;
            for (ds.first(); !ds.eof(); ds.next()) sum += ds.fieldByName(QStringLiteral("PRICE")).asInteger();
            return sum;
        };
        if (total(servicesCash_->getReceipt()) > 0) {
            addDocument(QStringLiteral("CB_WRECEIPT"), suffix, suffix);
        } else {
            removeDocument(QStringLiteral("CB_WRECEIPT"), suffix);
        }
        if (total(servicesCash_->getExpense()) < 0) {
            addDocument(QStringLiteral("CB_WEXPENSE"), suffix, suffix);
        } else {
            removeDocument(QStringLiteral("CB_WEXPENSE"), suffix);
        }
    } else {
        removeDocument(QStringLiteral("CB_WRECEIPT"), suffix);
        removeDocument(QStringLiteral("CB_WEXPENSE"), suffix);
    }
}

qint64 ContractEditor::total() const {
    // The commit closes the list's rows: the total they had stays shown.
    if (services_ && services_->getDataSet()->active()) servicesTotal_ = services_->getTotal(true);
    return depositSum_ - servicesTotal_;
}

void ContractEditor::addDocument(const QString& code, const QString& suffix, const QString& caption) {
    if (hasDocument(code, suffix)) return;
    documents_.push_back({code, suffix, caption});
}

void ContractEditor::removeDocument(const QString& code, const QString& suffix) {
    std::erase_if(documents_,
                  [&](const ContractDocument& d) { return d.code == code && d.suffix == suffix; });
}

bool ContractEditor::hasDocument(const QString& code, const QString& suffix) const {
    for (const ContractDocument& d : documents_) {
        if (d.code == code && d.suffix == suffix) return true;
    }
    return false;
}

// ---- rights ---------------------------------------------------------------------------------------

bool ContractEditor::isImport() const {
    return contract_->isImport();
}

bool ContractEditor::canEdit(bool forced) const {
    const bool isNew = !editMode_;
    if (!isNew && !TolvMain::VuxSecur::isMaster()) return false;
    if (isImport()) return false;
    if (isNew) return true;
    if (!forced && contract_->hasOperations()) return false;
    if (contract_->getContractValue(Contract::cCONTRACT_STATE).toInt() != csOPENED) return false;
    const int id = contract_->getContractValue(Contract::cCONTRACT_ID).toInt();
    return !TPenaltyInActs::scIsContractInAct(id);
}

ContractAccess ContractEditor::access() const {
    ContractAccess a;
    a.edit = canEdit();
    a.full = a.edit && TolvMain::VuxSecur::isMaster();
    a.calcExchange = a.full && (!editMode_ || !contract_->hasOperations());
    a.calcExchangeIfIncrease = a.calcExchange && calcExchange_;
    a.dollarReadOnly = !a.edit || calcExchange_;
    a.forceOffered = !forcedEdit_ && canEdit(true) != a.edit;
    return a;
}

bool ContractEditor::confirmForcedEdit() {
    if (!ui::askYesNo(text("IDS_52"), QString(), ui::MsgType::Warning)) return false;
    forcedEdit_ = true;
    onChanged();
    return true;
}

QString ContractEditor::saveCaption() const {
    return editMode_ ? text("IDS_7") : text("IDS_5");
}

}  // namespace TolvLogic
