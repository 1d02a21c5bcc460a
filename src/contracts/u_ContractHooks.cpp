#include "u_ContractHooks.h"

#include "PenaltyContracts.h"
#include "platform/core/Exception.h"

namespace TolvLogic {

namespace {

ServicesFactory* installedServices = nullptr;
WarrantCalculationFactory* installedWarrants = nullptr;

template <class Hook>
Hook& installed(Hook* hook, const char* what) {
    if (!hook) throw core::Exception(QString::fromLatin1(what) + QStringLiteral(" is not installed"));
    return *hook;
}

}  // namespace

void setServicesFactory(ServicesFactory* factory) {
    installedServices = factory;
}

ServicesFactory& servicesFactory() {
    return installed(installedServices, "The additional services list");
}

void setWarrantCalculationFactory(WarrantCalculationFactory* factory) {
    installedWarrants = factory;
}

WarrantCalculationFactory& warrantCalculationFactory() {
    return installed(installedWarrants, "The cash-order calculation");
}

std::unique_ptr<WarrantCalculation> createWarrantCalculation(core::DateTime date,
                                                             const TPenaltyContractInfo& contract,
                                                             fb::Transaction* transaction) {
    const core::Variant filial = contract.getContractValue(TPenaltyContractInfo::cFILIAL_ID);
    return warrantCalculationFactory().scCreate(date, filial.isEmpty() ? 0 : filial.toInt(), transaction);
}

void recalcWarrants(core::DateTime date, TPenaltyContractInfo& contract, const QString& code,
                    TPenaltyOperationInfo* operation, ServicesList* services, fb::Transaction* transaction) {
    std::unique_ptr<WarrantCalculation> calc = createWarrantCalculation(date, contract, transaction);
    if (calc) calc->recalc(date, contract, code, operation, services, QString());
}

int serviceArticleNum(int serviceId) {
    return servicesFactory().articleNum(serviceId);
}

}  // namespace TolvLogic
