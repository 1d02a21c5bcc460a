#pragma once
// The program's document events of contracts, operations and cash orders: each names its code and
// translated name, owns the parameter groups its templates may use and fills them for the document
// at hand. Registration at start and after a change of language is createDocumentEvents.

#include <functional>
#include <utility>
#include <vector>

#include "kv_ReportSystem.h"

class ReportEvntContract : public ReportSys::ReportEvnt {
public:
    ReportEvntContract();
    void initParameters() override;
    void fillParams(int contractId);
};

class ReportEvntCntrGold : public ReportSys::ReportEvnt {
public:
    ReportEvntCntrGold();
    void initParameters() override;
    void fillParams(int contractId);
};

class ReportEvntCntrForSale : public ReportSys::ReportEvnt {
public:
    ReportEvntCntrForSale();
    void initParameters() override;
    void fillParams(int contractId);
};

class ReportEvntCntrSale : public ReportSys::ReportEvnt {
public:
    ReportEvntCntrSale();
    void initParameters() override;
    void fillParams(int contractId);
};

class ReportEvntCntrClose : public ReportSys::ReportEvnt {
public:
    ReportEvntCntrClose();
    void initParameters() override;
    void fillParams(int contractId, int operationId);
};

class ReportEvntCntrCloseGold : public ReportSys::ReportEvnt {
public:
    ReportEvntCntrCloseGold();
    void initParameters() override;
    void fillParams(int contractId, int operationId);
};

class ReportEvntProlong : public ReportSys::ReportEvnt {
public:
    ReportEvntProlong();
    void initParameters() override;
    void fillParams(int contractId);
};

class ReportEvntOpPay : public ReportSys::ReportEvnt {
public:
    ReportEvntOpPay();
    void initParameters() override;
    // The operation first, then its contract.
    void fillParams(int operationId, int contractId);
};

class ReportEvntOpInc : public ReportSys::ReportEvnt {
public:
    ReportEvntOpInc();
    void initParameters() override;
    void fillParams(int operationId, int contractId);
};

class ReportEvntCbWReceipt : public ReportSys::ReportEvnt {
public:
    ReportEvntCbWReceipt();
    void initParameters() override;
    void fillParams(int warrantId, int contractId, int operationId, const QString& code);
};

class ReportEvntCbWExpense : public ReportSys::ReportEvnt {
public:
    ReportEvntCbWExpense();
    void initParameters() override;
    void fillParams(int warrantId, int contractId, int operationId, const QString& code);
};

namespace TolvReports {

// What a window has selected when it prints from a menu: each event takes the identifiers it needs.
struct DocumentIds {
    int contractId = -1;
    int operationId = -1;
    int warrantId = -1;
    QString warrantCode = QStringLiteral("0");
};

// Calls the fillParams of the event's own class with the identifiers; false for an event of another
// kind (left untouched).
bool fillEventParams(ReportSys::ReportEvnt* event, const DocumentIds& ids);
// A menu's callback that fills the clicked template's event from the identifiers the window gives
// at the moment of the click.
ReportSys::InitParamsCallback initParamsCallback(std::function<DocumentIds()> selected);

// Creates and registers the events in the program's order and reports the templates found new or
// missing. After a change of language the active marks are set anew from the templates' language and
// every registered event is built again. cashBookEvents, when given, registers the cash book events,
// which come between the operation events and the cash order events.
void createDocumentEvents(bool afterLanguageChange,
                          const std::function<void(ReportSys::ReportSystem&)>& cashBookEvents = {});

// The texts of this unit's translator keys in the language (1 Russian, 2 Ukrainian) as {key, text}.
std::vector<std::pair<QString, QString>> tolvReportSystemTexts(int language);

}  // namespace TolvReports
