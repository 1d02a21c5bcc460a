#include "u_CashBookPrinting.h"

#include "kv_ReportMenus.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "u_TolvReportSystem.h"

namespace TolvReports {

void CashBookPrinting::showMenu(const QStringList& codes, const FillRequest& fill, QMenu* popup,
                                QWidget* control) {
    ReportSys::ReportSystem::instance().showReportsMenu(
        codes, [fill](ReportSys::ReportTemplate* chosen) { fill(chosen->getEvent()->getCode(), chosen->getName()); },
        popup, control);
}

void CashBookPrinting::fillParams(const TolvLogic::CashPrintEvent& event) {
    ReportSys::ReportEvnt* target = ReportSys::ReportSystem::instance().getEventByCode(event.code);
    const auto& p = event.params;
    // Only the cash orders are filled here, from (order id, contract id, operation id, order code);
    // the book and register events are not filled by this layer yet.
    const bool order = event.code == QLatin1String("CB_WRECEIPT") || event.code == QLatin1String("CB_WEXPENSE");
    if (!order || p.size() != 4 ||
        !fillEventParams(target, DocumentIds{.contractId = p[1].toInt(),
                                             .operationId = p[2].toInt(),
                                             .warrantId = p[0].toInt(),
                                             .warrantCode = p[3].toText()})) {
        throw core::Exception(KVLibTranslator::instance().translate(
                                  QStringLiteral("u_TolvReportSystem.CashBookPrinting.Unsupported"),
                                  QStringLiteral("Печать этого кассового документа не подключена: ")) +
                              event.code);
    }
}

void installCashBookPrinting() {
    static CashBookPrinting printing;
    TFCashBook::setCashPrinting(&printing);
}

}  // namespace TolvReports
