#pragma once
// What the contract layer asks of the layers above it when money changes: the regeneration of a day's
// automatic cash orders and the additional-services lists of contracts and operations. The cash and
// desk layers install their implementations at start-up; the contract layer only calls them.

#include <QString>
#include <functional>
#include <memory>

#include "platform/core/DateTime.h"

namespace data {
class Dataset;
}
namespace fb {
class Transaction;
}

namespace TolvLogic {

class TPenaltyContractInfo;
class TPenaltyOperationInfo;

// Events of the additional services (ID_EVENT of DIR_ADD_SERVICES).
enum ServiceEvent : quint8 {
    astCONTRACT = 0,  // contract concluded; ID_OBJ is the contract
    astOP_PAY = 1,    // repayment; ID_OBJ is the operation
    astOP_INC = 2,    // loan increase; ID_OBJ is the operation
    astSALEDOWN = 3,  // taken off sale; ID_OBJ is the contract
    astCLOSE = 4      // contract closed; ID_OBJ is the closing operation
};

// The additional services of one event of one object (object -1: not stored yet). Destroying a list
// deletes the rows of its event still left under object -1.
class ServicesList {
public:
    virtual ~ServicesList() = default;
    virtual quint8 getEvent() const = 0;
    // Stores the rows under the object id and takes it as the list's object; commits the list's
    // transaction only when asked.
    virtual void save(int objectId, bool commit) = 0;
    // The list's rows, with at least NAME and PRICE (hundredths; below 0 paid out to the client); a
    // closed dataset reads as no rows. The cash orders of the services are made from them.
    virtual data::Dataset& rows() = 0;
};

// Makes the services list of an event for an object and a date, working in the transaction.
class ServicesFactory {
public:
    virtual ~ServicesFactory() = default;
    virtual std::unique_ptr<ServicesList> create(ServiceEvent event, int objectId, core::DateTime date,
                                                 fb::Transaction* transaction) = 0;
};

// The automatic cash orders of one date, by the method in force on that date in a branch.
class WarrantCalculation {
public:
    virtual ~WarrantCalculation() = default;
    // Brings the date's automatic orders of the contract's branch in line with the stored rows; code
    // names what changed ("EXPENSE_DEPOSIT", "RECEIPT_DEPOSIT", ...).
    virtual void recalc(core::DateTime date, TPenaltyContractInfo& contract, const QString& code,
                        TPenaltyOperationInfo* operation, ServicesList* services, const QString& text) = 0;
};

// The cash layer's WarrantCalculationManager::scCreate: the calculation of a date and branch on the
// transaction, or none when the method stored for that date is unknown.
class WarrantCalculationFactory {
public:
    virtual ~WarrantCalculationFactory() = default;
    virtual std::unique_ptr<WarrantCalculation> scCreate(core::DateTime date, int filialId,
                                                         fb::Transaction* transaction) = 0;
};

// The program-wide implementations (not owned). Asking for one that was never installed raises
// core::Exception: a money change must not go through without its cash orders or services.
void setServicesFactory(ServicesFactory* factory);
ServicesFactory& servicesFactory();
void setWarrantCalculationFactory(WarrantCalculationFactory* factory);
WarrantCalculationFactory& warrantCalculationFactory();

// The cash-order calculation of a date for the contract's branch (FILIAL_ID), in the transaction.
std::unique_ptr<WarrantCalculation> createWarrantCalculation(core::DateTime date,
                                                             const TPenaltyContractInfo& contract,
                                                             fb::Transaction* transaction);
// Regenerates the automatic cash orders of a date for the contract's branch, in the transaction; a
// date whose method is unknown is left alone.
void recalcWarrants(core::DateTime date, TPenaltyContractInfo& contract, const QString& code,
                    TPenaltyOperationInfo* operation, ServicesList* services, fb::Transaction* transaction);

}  // namespace TolvLogic

// The directory of additional services, as far as the contract layer reads it.
class DirAddServices {
public:
    // The service's article number on the fiscal register (0 when it has none); a service id without a
    // row raises.
    static int scGetArticleNum(int serviceId);
};

// The working user's rights, as the application shell establishes them at login.
namespace TolvMain::VuxSecur {
// True when the working user is a manager; false for an agent, and while the shell has installed no
// test (the lists only store the answer).
bool isMaster();
// The shell's test; an empty function takes it away.
void setIsMasterHook(std::function<bool()> test);
}  // namespace TolvMain::VuxSecur
