#include "PenaltyContracts.h"

#include <cmath>

#include "PenaltyOperations.h"
#include "TClients.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100.h"
#include "kv_RxMemWrapper.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/dialogs/Dialogs.h"
#include "u_PercCalc.h"
#include "u_contractSubjects.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

const QString kContractId = QStringLiteral("CONTRACT_ID");

QString tr(const QString& key, const char16_t* defaultText) {
    return KVLibTranslator::instance().translate(key, QString::fromUtf16(defaultText));
}

QString name(const char* const* list, int index) {
    return QString::fromLatin1(list[index]);
}

// A one-row question in a transaction of its own, with the values of its ":NAME" parameters; null when
// no row came back.
Variant ask(const QString& sql, const QString& field,
            std::initializer_list<std::pair<QString, Variant>> params = {}) {
    ufb::AutoQuery q(sql, nullptr);
    for (const auto& [name, value] : params) q->setParam(name, value);
    q->open();
    if (q->isEmpty()) return Variant::null();
    return q->fieldByName(field).value();
}

}  // namespace

TPenaltyContractInfo::TPenaltyContractInfo(fb::Transaction* transaction)
    : contract_(QStringLiteral("PENALTY_CONTRACTS"), kContractId, -1, nullptr),
      deposit_(QStringLiteral("PENALTY_DEPOSITS"), kContractId, -1, nullptr),
      import_(QStringLiteral("CONTRACT_IMPORT"), kContractId, -1, nullptr),
      transaction_(transaction) {}

TPenaltyContractInfo::TPenaltyContractInfo(int contractId, fb::Transaction* transaction)
    : contract_(QStringLiteral("PENALTY_CONTRACTS"), transaction),
      deposit_(QStringLiteral("PENALTY_DEPOSITS"), transaction),
      import_(QStringLiteral("CONTRACT_IMPORT"), transaction),
      transaction_(transaction) {
    for (ufb::TDBRecord* record : {&contract_, &deposit_, &import_}) record->SetKey(kContractId, contractId);
    load();
}

TPenaltyContractInfo::~TPenaltyContractInfo() = default;

ContractSubjects* TPenaltyContractInfo::getSubjects() {
    if (!subjects_) {
        createSubjects(getIdDepositeType());
        subjects_->load(transaction_);
    }
    return subjects_.get();
}

void TPenaltyContractInfo::createSubjects(int depositTypeId) {
    subjects_.reset();
    subjects_ = ContractSubjects::scCreateForType(contract_.GetField(kContractId).toInt(), depositTypeId);
}

bool TPenaltyContractInfo::setIdDepositeType(int depositTypeId) {
    if (depositTypeId == getIdDepositeType()) return true;
    ContractSubjects* items = getSubjects();
    if (items->getCount() > 0 &&
        !ui::askYesNo(
            tr(QStringLiteral("PenaltyContracts.TPenaltyContractInfo.setIdDepositeType.Message"),
               u"Был изменен тип залога. \nСуществующий список залогов будет очишен.\n\nПродолжить?"),
            QString(), ui::MsgType::Warning)) {
        return false;
    }
    // The old items' stored rows go with the next save of the new list.
    const std::vector<int> keys = items->getAllKeys();
    createSubjects(depositTypeId);
    subjects_->setDeletedKeys(keys);
    subjects_->open();
    deposit_.SetField(QStringLiteral("DEPOSIT_TYPE"), depositTypeId);
    return true;
}

void TPenaltyContractInfo::failNotFound() const {
    throw core::Exception(
        tr(QStringLiteral("u_ContractPrmsFiller.ContractPrmsFillerSum.findOpenContractsSum.Exception2"),
           u"Невозможно загрузить информацию о договоре. ID=") +
        contract_.GetField(kContractId).toText());
}

void TPenaltyContractInfo::failTermsCount() {
    throw core::Exception(
        tr(QStringLiteral("PenaltyContracts.TPenaltyContractInfo.load.Exception"),
           u"Количество записей в таблице-расширении PENALTY_DEPOSITS должно быть одинаково с "
           u"количеством записей в родительской таблице PENALTY_CONTRACTS"));
}

int TPenaltyContractInfo::load() {
    const int found = contract_.Select(transaction_);
    if (found != 1) failNotFound();
    const Variant id = contract_.GetField(kContractId);
    deposit_.SetKey(kContractId, id);
    if (deposit_.Select(transaction_) != found) failTermsCount();
    import_.SetKey(kContractId, id);
    isImport_ = import_.Select(transaction_) > 0;
    return found;
}

int TPenaltyContractInfo::load(data::Dataset& head, data::Dataset& terms, data::Dataset& import) {
    // By the key there is one row at most.
    const int found = contract_.LoadFromDataSet(head) ? 1 : 0;
    if (found != 1) failNotFound();
    const Variant id = contract_.GetField(kContractId);
    deposit_.SetKey(kContractId, id);
    if ((deposit_.LoadFromDataSet(terms) ? 1 : 0) != found) failTermsCount();
    import_.SetKey(kContractId, id);
    isImport_ = import_.LoadFromDataSet(import);
    return found;
}

Variant TPenaltyContractInfo::getContractValue(int index) const {
    return contract_.GetField(name(penaltyContractsFields, index), true);
}

Variant TPenaltyContractInfo::getDepositValue(int index) const {
    return deposit_.GetField(name(penaltyDepositsFields, index), true);
}

Variant TPenaltyContractInfo::getImportValue(int index) const {
    return import_.GetField(name(contractImportFields, index), true);
}

void TPenaltyContractInfo::setContractValue(int index, const Variant& value) {
    contract_.SetField(name(penaltyContractsFields, index), value, index == cCONTRACT_ID);
}

void TPenaltyContractInfo::setDepositValue(int index, const Variant& value) {
    deposit_.SetField(name(penaltyDepositsFields, index), value);
}

int TPenaltyContractInfo::getDepositInt(int index) const {
    return getDepositValue(index).toInt();
}

void TPenaltyContractInfo::setDepositInt(int index, int value) {
    setDepositValue(index, value);
}

int TPenaltyContractInfo::getIdDepositeType() const {
    const Variant type = deposit_.GetField(QStringLiteral("DEPOSIT_TYPE"), false);
    return type.isEmpty() ? 0 : type.toInt();
}

bool TPenaltyContractInfo::isNew() const {
    return getContractValue(cCONTRACT_ID).toInt() == -1;
}

QString TPenaltyContractInfo::getClientName(fb::Transaction* transaction) const {
    if (isImport_) return getImportValue(iCLIENT_NAME).toText();
    return TClients::NameById(getContractValue(cCLIENT_ID).toInt(), transaction);
}

int TPenaltyContractInfo::getFilialNumber() const {
    const Variant number = ask(QStringLiteral("select number from dir_filial where id=") +
                                   udb::var2DbVar(getContractValue(cFILIAL_ID)),
                               QStringLiteral("number"));
    return number.isEmpty() ? 0 : number.toInt();
}

QString TPenaltyContractInfo::getFilialName() const {
    return ask(QStringLiteral("select name from dir_filial where id=") +
                   udb::var2DbVar(getContractValue(cFILIAL_ID)),
               QStringLiteral("name"))
        .toText();
}

void TPenaltyContractInfo::setStorage(int kind, int value) {
    setDepositInt(dSTORAGE_TYPE, kind);
    setDepositInt(dSTORAGE_VAL, value);
    if (kind == 1) {
        setDepositInt(dSTORAGE_SUM, value);
    } else if (kind == 2 || kind == 3) {
        // A percent a day of the valuation (2) or of the principal (3), rounded half to even.
        const QString base = name(penaltyDepositsFields, kind == 2 ? dSUBJECT_PRICE : dDEPOSIT_SUM);
        int sum = 0;
        if (deposit_.fieldExists(base)) {
            sum = static_cast<int>(
                std::nearbyint(deposit_.GetField(base).toDouble() * Money100::fromHundredths(value) * 0.01));
        }
        setDepositInt(dSTORAGE_SUM, sum);
    }
}

DateTime TPenaltyContractInfo::getLastOpDate(bool onlyPayments) const {
    const QString id = udb::quoteSql(getContractValue(cCONTRACT_ID).toText());
    QString sql =
        QStringLiteral(
            " select max(OP_DATE) AS MAX_DATE    from PENALTY_OPERATIONS         where DEPOSIT_ID = '") +
        id + u'\'';
    if (onlyPayments) sql += QStringLiteral(" and OP_SUM>=0 ");
    Variant date = ask(sql, QStringLiteral("MAX_DATE"));
    if (date.isNull()) {
        date = ask(
            QStringLiteral(" select CONTRACT_DATE AS MAX_DATE from PENALTY_CONTRACTS                 where "
                           "CONTRACT_ID = '") +
                id + u'\'',
            QStringLiteral("MAX_DATE"));
    }
    return date.isEmpty() ? DateTime() : date.toDateTime();
}

DateTime TPenaltyContractInfo::findOpDate(DateTime date, bool after, bool onlyPayments) const {
    // The day is a parameter: as text it would follow the user's date format, which the server does
    // not read.
    QString sql = QStringLiteral("select OP_DATE from PENALTY_OPERATIONS where DEPOSIT_ID = '") +
                  udb::quoteSql(getContractValue(cCONTRACT_ID).toText()) + QStringLiteral("' and OP_DATE ") +
                  (after ? QStringLiteral(">=") : QStringLiteral("<")) + QStringLiteral(" :DAY");
    if (onlyPayments) sql += QStringLiteral(" and OP_SUM>=0 ");
    sql += QStringLiteral(" order by OP_DATE ") + (after ? QStringLiteral("asc") : QStringLiteral("desc"));
    const Variant found = ask(sql, QStringLiteral("OP_DATE"), {{QStringLiteral("DAY"), date.datePart()}});
    return found.isEmpty() ? DateTime() : found.toDateTime();
}

int TPenaltyContractInfo::getIncreaseSum() const {
    const Variant sum =
        ask(QStringLiteral(" Select    (-sum(OPS.OP_SUM)) as INC_BASE_SUM  from PENALTY_OPERATIONS OPS  "
                           "where    DEPOSIT_ID = ") +
                udb::var2DbVar(getContractValue(cCONTRACT_ID)) + QStringLiteral("   and (OPS.OP_SUM < 0) "),
            QStringLiteral("INC_BASE_SUM"));
    return sum.isEmpty() ? 0 : sum.toInt();
}

int TPenaltyContractInfo::getFullCreditSum() const {
    return getDepositInt(dDEPOSIT_SUM) + getIncreaseSum();
}

QString TPenaltyContractInfo::genWarrantFoundation() const {
    // The "i" of the default is the Latin letter the cash documents have always printed.
    return tr(QStringLiteral("PenaltyContracts.TPenaltyContractInfo.genWarrantFoundation"), u"Договiр № ") +
           getContractValue(cCONTRACT_NUM).toText() + tr(QStringLiteral("common.fromLetter2"), u" от ") +
           core::dateToStr(getContractValue(cCONTRACT_DATE).toDateTime()) +
           tr(QStringLiteral("common.yearLetter"), u" р.");
}

std::vector<DateTime> TPenaltyContractInfo::getOperationDates() const {
    ufb::AutoQuery q(QStringLiteral(" select distinct OP_DATE from PENALTY_OPERATIONS where DEPOSIT_ID = ") +
                         udb::var2DbVar(getContractValue(cCONTRACT_ID)),
                     nullptr);
    q->open();
    std::vector<DateTime> dates;
    for (; !q->eof(); q->next()) dates.push_back(q->fieldByName(QStringLiteral("OP_DATE")).asDateTime());
    return dates;
}

bool TPenaltyContractInfo::hasOperations() const {
    return !getOperationDates().empty();
}

int TPenaltyContractInfo::getOverdueDays(DateTime date) const {
    PercCalc calc(this, nullptr);
    const std::vector<OpItem>& items = calc.calc(
        utl::DateUtl::DateInterval(getContractValue(cCONTRACT_DATE).toDateTime(), date), false, false);
    if (items.empty()) return -1;
    const OpItem& last = items.back();
    const double full = percmath::roundEven(static_cast<double>(getDepositInt(dPENALTY_PERC)) *
                                            getDepositInt(dPENALTY_DAYS) * 0.01 * last.base * 0.01);
    if (!(last.perc.sum > full || last.penalty.sum > 0)) return -1;
    // The opening item is never counted: without an expiry the count is the items less one.
    int count = 0;
    for (std::size_t i = items.size() - 1; i > 0; --i) {
        ++count;
        if (items[i].termExpired) break;
    }
    return count;
}

int TPenaltyContractInfo::getDaysToPlanClose(const TPenaltyOperationInfo& operation) const {
    const int term = getDepositInt(dPENALTY_DAYS);
    const DateTime opDate = operation.getValue(TPenaltyOperationInfo::oOP_DATE).toDateTime();
    const int opId = operation.getValue(TPenaltyOperationInfo::oOP_ID).toInt();
    PercCalc calc(this, nullptr);
    const std::vector<OpItem>& items =
        calc.calc(utl::DateUtl::DateInterval(opDate, opDate.addDays(term + 2)), false, false);
    int days = term;
    bool found = false;
    for (const OpItem& item : items) {
        if (item.opId != -1) {
            if (item.opId != opId) {
                days = term;
                break;
            }
            days = 0;
            found = true;
        } else if (found) {
            if (item.termExpired) break;
            ++days;
        }
    }
    if (!found) days = term;
    return std::max(days, 0);
}

bool TPenaltyContractInfo::isClosedWithDebt() const {
    if (getContractValue(cCONTRACT_STATE).toInt() != csCLOSED) return false;
    PercCalc calc(getContractValue(cCONTRACT_ID).toInt(), nullptr);
    return calc.getDebt(getContractValue(cCONTRACT_CLOSE).toDateTime(), false, true).getTotal() != 0;
}

void TPenaltyContractInfo::setPermission(quint8 state, quint8 action, bool allowed, const QString& message) {
    permissions_[AllowKey{state, action}] = AllowPremiss{message, allowed};
}

void TPenaltyContractInfo::fillAllowedOperations() {
    permissions_.clear();
    auto refuse = [this](quint8 state, quint8 action, const char* keyEnd, const char16_t* text) {
        setPermission(state, action, false,
                      tr(QStringLiteral("PenaltyContracts.TPenaltyContractInfo.fillAllowedOperations.") +
                             QString::fromLatin1(keyEnd),
                         text));
    };
    auto allow = [this](quint8 state, std::initializer_list<quint8> actions) {
        for (quint8 action : actions) setPermission(state, action, true, QString());
    };

    allow(csOPENED, {caNEWOPERATION, caONSALE, 4, caREOPEN});
    refuse(csOPENED, caSALING, "caSALING",
           u"Перед реализацией залога договор необходимо выставить на реализацию");
    refuse(csOPENED, caOFFSALE, "caOFFSALE", u"Договор не выставлен на реализацию");

    refuse(csCLOSED, caNEWOPERATION, "csCLOSED.caNEWOPERATION",
           u"Невозможно создать новую операцию, т.к договор закрыт");
    refuse(csCLOSED, caONSALE, "csCLOSED.caONSALE",
           u"Невозможно выставить залог на реализацию, договор закрыт");
    refuse(csCLOSED, caSALING, "csCLOSED.caSALING", u"Невозможно реализовать залог, т.к договор закрыт");
    refuse(csCLOSED, caOFFSALE, "csCLOSED.caOFFSALE",
           u"Невозможно снять залог с реализации, т.к договор закрыт");
    allow(csCLOSED, {4, caREOPEN});

    refuse(csSALED, caNEWOPERATION, "caNEWOPERATION",
           u"Невозможно создать новую операцию, т.к залог договора реализован");
    refuse(csSALED, caONSALE, "caONSALE",
           u"Невозможно выставить залог на реализацию, т.к залог уже реализован");
    allow(csSALED, {caSALING});
    refuse(csSALED, caOFFSALE, "caOFFSALED",
           u"Невозможно снять залог с реализации, т.к залог уже реализован");
    allow(csSALED, {4, caREOPEN});

    allow(csONSALE, {caNEWOPERATION, caONSALE, caSALING, caOFFSALE, 4, caREOPEN});
}

bool TPenaltyContractInfo::checkAllowedOperation(int action) {
    fillAllowedOperations();
    const int state = getContractValue(cCONTRACT_STATE).toInt();
    const auto it =
        permissions_.find(AllowKey{static_cast<quint8>(state & 0xFF), static_cast<quint8>(action & 0xFF)});
    if (it == permissions_.end() || it->second.allowed) return true;
    throw core::Exception(it->second.message);
}

// ---- TToSaleInfo ----------------------------------------------------------------------------------

TToSaleInfo::TToSaleInfo(fb::Transaction* transaction)
    : TDBRecord(QStringLiteral("TOSALE"), kContractId, -1, transaction) {}

Variant TToSaleInfo::getValue(int index) const {
    return GetField(name(toSaleFields, index), true);
}

void TToSaleInfo::setValue(int index, const Variant& value) {
    SetField(name(toSaleFields, index), value, index == tCONTRACT_ID);
}

}  // namespace TolvLogic
