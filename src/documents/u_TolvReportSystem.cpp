#include "u_TolvReportSystem.h"

#include <memory>

#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "kv_Translator.h"
#include "u_TolvReportParameters.h"

using core::DateTime;

namespace {

const kvtr::Text kTexts[] = {
    {"u_TolvReportSystem.ReportEvntContract.Name", u"Договор - Заключение договора",
     u"Договір - Укладання договору"},
    {"u_TolvReportSystem.ReportEvntCntrGold.Name", u"Договор - Заключение договора (д.м.)",
     u"Договір - Укладання договору (д.м.)"},
    {"u_TolvReportSystem.ReportEvntCntrForSale.Name", u"Договор - Выставление на реализацию",
     u"Договір - Виставлення на реалізацію"},
    {"u_TolvReportSystem.ReportEvntCntrSale.Name", u"Договор - Реализация", u"Договір - Реалізація"},
    {"u_TolvReportSystem.ReportEvntCntrClose.Name", u"Договор - Закрытие договора",
     u"Договір - Закриття договору"},
    {"u_TolvReportSystem.ReportEvntCntrCloseGold.Name", u"Договор - Закрытие договора (д.м.)",
     u"Договір - Закриття договору (д.м.)"},
    {"u_TolvReportSystem.ReportEvntProlong.Name", u"Договор - Заявление об отсрочке",
     u"Договір - Заява на прострочення"},
    {"u_TolvReportSystem.ReportEvntOpPay.Name", u"Операция - Погашение кредита",
     u"Операція - Погашення кредиту"},
    {"u_TolvReportSystem.ReportEvntOpInc.Name", u"Операция - Увеличение займа",
     u"Операція - Збільшення займу"},
    {"u_TolvReportSystem.ReportEvntCbWReceipt.Name", u"Касса - Приходный ордер", u"Каса - Прибутковий ордер"},
    {"u_TolvReportSystem.ReportEvntCbWExpense.Name", u"Касса - Расходный ордер", u"Каса - Видатковий ордер"},
    {"u_TolvReportSystem.CashBookPrinting.Unsupported", u"Печать этого кассового документа не подключена: ",
     u"Друк цього касового документа не підключено: "},
};

// The translated name of the class's event, with the table's Russian text as the default.
QString eventName(const char* className) {
    const QString key =
        QStringLiteral("u_TolvReportSystem.") + QLatin1String(className) + QStringLiteral(".Name");
    for (const kvtr::Text& t : kTexts)
        if (key == QLatin1String(t.key))
            return KVLibTranslator::instance().translate(key, QString::fromUtf16(t.ru));
    return key;
}

template <class Group>
Group& group(ReportSys::ReportEvnt& event, const char* code) {
    return *static_cast<Group*>(event.getParamGroup(QLatin1String(code)));
}

// The operation's day for its services, the zero date when no row has that id.
DateTime operationDay(int operationId) {
    TolvLogic::TPenaltyOperationInfo operation(operationId, false);
    if (operation.Select() == 0) return DateTime();
    return operation.getValue(TolvLogic::TPenaltyOperationInfo::oOP_DATE).toDateTime().datePart();
}

DateTime contractDay(int contractId) {
    const TolvLogic::TPenaltyContractInfo contract(contractId, nullptr);
    return contract.getContractValue(TolvLogic::TPenaltyContractInfo::cCONTRACT_DATE).toDateTime().datePart();
}

void addContractGroups(ReportSys::ReportEvnt& e) {
    e.addParameter(std::make_unique<ReportParamCommon>());
    e.addParameter(std::make_unique<ReportParamCompany>());
    e.addParameter(std::make_unique<ReportParamAgent>());
    e.addParameter(std::make_unique<ReportParamClient>());
    e.addParameter(std::make_unique<ReportParamContract>());
}

void fillOpening(ReportSys::ReportEvnt& e, int contractId) {
    e.getParams().clear();
    group<ReportParamCommon>(e, "COMMON").fill();
    group<ReportParamCompany>(e, "COMPANY").fill();
    group<ReportParamAgent>(e, "AGENT").fill(contractId);
    group<ReportParamClient>(e, "CLIENT").fill(contractId);
    group<ReportParamContract>(e, "CONTRACT").fill(contractId);
    group<ReportParamAddServices>(e, "SERVICE").fill(contractId, 0, contractDay(contractId));
}

void fillClosing(ReportSys::ReportEvnt& e, int contractId, int operationId) {
    e.getParams().clear();
    group<ReportParamCommon>(e, "COMMON").fill();
    group<ReportParamCompany>(e, "COMPANY").fill();
    group<ReportParamAgent>(e, "AGENT").fill(contractId);
    group<ReportParamClient>(e, "CLIENT").fill(contractId);
    group<ReportParamContract>(e, "CONTRACT").fill(contractId);
    group<ReportParamOperation>(e, "OPERATION").fill(operationId);
    group<ReportParamAddServices>(e, "SERVICE").fill(operationId, 4, operationDay(operationId));
}

void initOperationGroups(ReportSys::ReportEvnt& e) {
    e.addParameter(std::make_unique<ReportParamCommon>());
    e.addParameter(std::make_unique<ReportParamCompany>());
    e.addParameter(std::make_unique<ReportParamContract>());
    e.addParameter(std::make_unique<ReportParamClient>());
    e.addParameter(std::make_unique<ReportParamAgent>());
    e.addParameter(std::make_unique<ReportParamOperation>());
    e.addParameter(std::make_unique<ReportParamAddServices>());
}

void fillOperation(ReportSys::ReportEvnt& e, int operationId, int contractId, int serviceEvent) {
    e.getParams().clear();
    group<ReportParamCommon>(e, "COMMON").fill();
    group<ReportParamCompany>(e, "COMPANY").fill();
    group<ReportParamContract>(e, "CONTRACT").fill(contractId);
    group<ReportParamClient>(e, "CLIENT").fill(contractId);
    group<ReportParamAgent>(e, "AGENT").fill(contractId);
    group<ReportParamOperation>(e, "OPERATION").fill(operationId);
    group<ReportParamAddServices>(e, "SERVICE").fill(operationId, serviceEvent, operationDay(operationId));
}

void initWarrantGroups(ReportSys::ReportEvnt& e) {
    e.addParameter(std::make_unique<ReportParamCommon>());
    e.addParameter(std::make_unique<ReportParamCompany>());
    e.addParameter(std::make_unique<ReportParamWarrant>());
}

void fillWarrant(ReportSys::ReportEvnt& e, int warrantId, int contractId, int operationId,
                 const QString& code) {
    e.getParams().clear();
    group<ReportParamWarrant>(e, "WARRANT").fill(warrantId, contractId, operationId, code);
    group<ReportParamCompany>(e, "COMPANY").fill();
    group<ReportParamCommon>(e, "COMMON").fill();
}

void fillSaleSide(ReportSys::ReportEvnt& e, int contractId) {
    e.getParams().clear();
    group<ReportParamCommon>(e, "COMMON").fill();
    group<ReportParamContract>(e, "CONTRACT").fill(contractId);
    group<ReportParamAgent>(e, "AGENT").fill(contractId);
}

}  // namespace

// The constructors load the templates and then add the groups, as every event does.
#define TOLV_EVENT_CONSTRUCTOR(Class, code)                                           \
    Class::Class() : ReportSys::ReportEvnt(QStringLiteral(code), eventName(#Class)) { \
        load();                                                                       \
        initParameters();                                                             \
    }

TOLV_EVENT_CONSTRUCTOR(ReportEvntContract, "CNTR_OPEN")
TOLV_EVENT_CONSTRUCTOR(ReportEvntCntrGold, "CNTR_OPEN_GOLD")
TOLV_EVENT_CONSTRUCTOR(ReportEvntCntrForSale, "CNTR_FORSALE")
TOLV_EVENT_CONSTRUCTOR(ReportEvntCntrSale, "CNTR_SALE")
TOLV_EVENT_CONSTRUCTOR(ReportEvntCntrClose, "CNTR_CLOSE")
TOLV_EVENT_CONSTRUCTOR(ReportEvntCntrCloseGold, "CNTR_CLOSE_GOLD")
TOLV_EVENT_CONSTRUCTOR(ReportEvntProlong, "CNTR_PROLONG")
TOLV_EVENT_CONSTRUCTOR(ReportEvntOpPay, "OP_PAY")
TOLV_EVENT_CONSTRUCTOR(ReportEvntOpInc, "OP_INC")
TOLV_EVENT_CONSTRUCTOR(ReportEvntCbWReceipt, "CB_WRECEIPT")
TOLV_EVENT_CONSTRUCTOR(ReportEvntCbWExpense, "CB_WEXPENSE")
#undef TOLV_EVENT_CONSTRUCTOR

void ReportEvntContract::initParameters() {
    addContractGroups(*this);
    addParameter(std::make_unique<ReportParamAddServices>());
}
void ReportEvntContract::fillParams(int contractId) {
    fillOpening(*this, contractId);
}

void ReportEvntCntrGold::initParameters() {
    addContractGroups(*this);
    addParameter(std::make_unique<ReportParamAddServices>());
}
void ReportEvntCntrGold::fillParams(int contractId) {
    fillOpening(*this, contractId);
}

void ReportEvntCntrForSale::initParameters() {
    addParameter(std::make_unique<ReportParamCommon>());
    addParameter(std::make_unique<ReportParamContract>());
    addParameter(std::make_unique<ReportParamForSale>());
    addParameter(std::make_unique<ReportParamAgent>());
}
void ReportEvntCntrForSale::fillParams(int contractId) {
    fillSaleSide(*this, contractId);
    group<ReportParamForSale>(*this, "FORSALE").fill(contractId);
}

void ReportEvntCntrSale::initParameters() {
    addParameter(std::make_unique<ReportParamCommon>());
    addParameter(std::make_unique<ReportParamContract>());
    addParameter(std::make_unique<ReportParamSale>());
    addParameter(std::make_unique<ReportParamAgent>());
}
void ReportEvntCntrSale::fillParams(int contractId) {
    fillSaleSide(*this, contractId);
    group<ReportParamSale>(*this, "SALE").fill(contractId);
}

void ReportEvntCntrClose::initParameters() {
    addContractGroups(*this);
    addParameter(std::make_unique<ReportParamOperation>());
    addParameter(std::make_unique<ReportParamAddServices>());
}
void ReportEvntCntrClose::fillParams(int contractId, int operationId) {
    fillClosing(*this, contractId, operationId);
}

void ReportEvntCntrCloseGold::initParameters() {
    addContractGroups(*this);
    addParameter(std::make_unique<ReportParamOperation>());
    addParameter(std::make_unique<ReportParamAddServices>());
}
void ReportEvntCntrCloseGold::fillParams(int contractId, int operationId) {
    fillClosing(*this, contractId, operationId);
}

void ReportEvntProlong::initParameters() {
    addParameter(std::make_unique<ReportParamProlong>());
    addParameter(std::make_unique<ReportParamClient>());
    addParameter(std::make_unique<ReportParamContract>());
    addParameter(std::make_unique<ReportParamCompany>());
}
void ReportEvntProlong::fillParams(int contractId) {
    getParams().clear();
    group<ReportParamProlong>(*this, "PROLONG").fill(contractId);
    group<ReportParamClient>(*this, "CLIENT").fill(contractId);
    group<ReportParamContract>(*this, "CONTRACT").fill(contractId);
    group<ReportParamCompany>(*this, "COMPANY").fill();
}

void ReportEvntOpPay::initParameters() {
    initOperationGroups(*this);
}
void ReportEvntOpPay::fillParams(int operationId, int contractId) {
    fillOperation(*this, operationId, contractId, 1);
}

void ReportEvntOpInc::initParameters() {
    initOperationGroups(*this);
}
void ReportEvntOpInc::fillParams(int operationId, int contractId) {
    fillOperation(*this, operationId, contractId, 2);
}

void ReportEvntCbWReceipt::initParameters() {
    initWarrantGroups(*this);
}
void ReportEvntCbWReceipt::fillParams(int warrantId, int contractId, int operationId, const QString& code) {
    fillWarrant(*this, warrantId, contractId, operationId, code);
}

void ReportEvntCbWExpense::initParameters() {
    initWarrantGroups(*this);
}
void ReportEvntCbWExpense::fillParams(int warrantId, int contractId, int operationId, const QString& code) {
    fillWarrant(*this, warrantId, contractId, operationId, code);
}

namespace TolvReports {

bool fillEventParams(ReportSys::ReportEvnt* event, const DocumentIds& ids) {
    if (auto* e = dynamic_cast<ReportEvntContract*>(event))
        e->fillParams(ids.contractId);
    else if (auto* e = dynamic_cast<ReportEvntCntrGold*>(event))
        e->fillParams(ids.contractId);
    else if (auto* e = dynamic_cast<ReportEvntCntrForSale*>(event))
        e->fillParams(ids.contractId);
    else if (auto* e = dynamic_cast<ReportEvntCntrSale*>(event))
        e->fillParams(ids.contractId);
    else if (auto* e = dynamic_cast<ReportEvntCntrClose*>(event))
        e->fillParams(ids.contractId, ids.operationId);
    else if (auto* e = dynamic_cast<ReportEvntCntrCloseGold*>(event))
        e->fillParams(ids.contractId, ids.operationId);
    else if (auto* e = dynamic_cast<ReportEvntProlong*>(event))
        e->fillParams(ids.contractId);
    else if (auto* e = dynamic_cast<ReportEvntOpPay*>(event))
        e->fillParams(ids.operationId, ids.contractId);
    else if (auto* e = dynamic_cast<ReportEvntOpInc*>(event))
        e->fillParams(ids.operationId, ids.contractId);
    else if (auto* e = dynamic_cast<ReportEvntCbWReceipt*>(event))
        e->fillParams(ids.warrantId, ids.contractId, ids.operationId, ids.warrantCode);
    else if (auto* e = dynamic_cast<ReportEvntCbWExpense*>(event))
        e->fillParams(ids.warrantId, ids.contractId, ids.operationId, ids.warrantCode);
    else
        return false;
    return true;
}

ReportSys::InitParamsCallback initParamsCallback(std::function<DocumentIds()> selected) {
    return [selected = std::move(selected)](ReportSys::ReportTemplate* tmpl) {
        fillEventParams(tmpl->getEvent(), selected());
    };
}

void createDocumentEvents(bool afterLanguageChange,
                          const std::function<void(ReportSys::ReportSystem&)>& cashBookEvents) {
    ReportSys::ReportSystem& system = ReportSys::ReportSystem::instance();
    if (afterLanguageChange) {
        system.setResetActive(true);
        system.deleteEvents();
    }
    system.addReportEvent(std::make_unique<ReportEvntContract>());
    system.addReportEvent(std::make_unique<ReportEvntCntrGold>());
    system.addReportEvent(std::make_unique<ReportEvntCntrForSale>());
    system.addReportEvent(std::make_unique<ReportEvntCntrSale>());
    system.addReportEvent(std::make_unique<ReportEvntCntrClose>());
    system.addReportEvent(std::make_unique<ReportEvntCntrCloseGold>());
    system.addReportEvent(std::make_unique<ReportEvntProlong>());
    system.addReportEvent(std::make_unique<ReportEvntOpPay>());
    system.addReportEvent(std::make_unique<ReportEvntOpInc>());
    if (cashBookEvents) cashBookEvents(system);
    system.addReportEvent(std::make_unique<ReportEvntCbWReceipt>());
    system.addReportEvent(std::make_unique<ReportEvntCbWExpense>());
    ReportSys::checkForNewReports(system);
    ReportSys::checkForLostedReports(system);
}

std::vector<std::pair<QString, QString>> tolvReportSystemTexts(int language) {
    return kvtr::textsIn(kTexts, language);
}

}  // namespace TolvReports
