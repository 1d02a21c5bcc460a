#pragma once
// The template parameter groups of the program's documents: the moment of printing, the company, the
// agent, the client, the deferral application, the additional services, the contract with its items,
// putting up for sale, the sale, one operation and one cash order. Each fill empties the group first
// and reads committed rows only.

#include <QString>
#include <functional>
#include <memory>

#include "kv_ReportSystem.h"
#include "platform/core/DateTime.h"
#include "platform/data/MemTable.h"

namespace TolvLogic {
class Zayavlenie;
}

// A template table whose columns a fill defines anew each time.
class ReportTable : public data::MemTable {
public:
    // Closes the table and forgets its columns.
    void redefine() {
        close();
        clearFields();
    }
};

// COMMON: the date and time of printing.
class ReportParamCommon : public ReportSys::ReportParameters {
public:
    using Clock = std::function<core::DateTime()>;
    ReportParamCommon();
    void fill();
    // The clock every COMMON group reads; an empty one puts the system clock back. Returns the old.
    static Clock setClock(Clock clock);
};

// COMPANY: the requisites of the company (row 1) and its settings.
class ReportParamCompany : public ReportSys::ReportParameters {
public:
    ReportParamCompany();
    void fill();
};

// AGENT: the working user and the agent who made the contract.
class ReportParamAgent : public ReportSys::ReportParameters {
public:
    ReportParamAgent();
    void fill(int contractId);
};

// CLIENT: the borrower, from the client directory or the taken-over contract's own row.
class ReportParamClient : public ReportSys::ReportParameters {
public:
    ReportParamClient();
    void fill(int contractId);
};

// PROLONG: the contract's deferral application.
class ReportParamProlong : public ReportSys::ReportParameters {
public:
    ReportParamProlong();
    ~ReportParamProlong() override;
    void fill(int contractId);

private:
    std::unique_ptr<TolvLogic::Zayavlenie> record_;
};

// SERVICE: the additional services of an object and an event, as the table "Service" and their total.
class ReportParamAddServices : public ReportSys::ReportParameters {
public:
    ReportParamAddServices();
    void fill(int objectId, int serviceEvent, core::DateTime date);

private:
    ReportTable table_;
};

// CONTRACT: the contract, its terms, the amounts they imply, the branch and the items ("mSubjs").
class ReportParamContract : public ReportSys::ReportParameters {
public:
    ReportParamContract();
    void fill(int contractId);

private:
    ReportTable table_;
};

// FORSALE: the debts on the day the pledge went on sale and how the asked price covers them.
class ReportParamForSale : public ReportSys::ReportParameters {
public:
    ReportParamForSale();
    void fill(int contractId);
};

// SALE: the recorded sale of the pledge.
class ReportParamSale : public ReportSys::ReportParameters {
public:
    ReportParamSale();
    void fill(int contractId);
};

// OPERATION: one payment or loan increase and what is owed after it.
class ReportParamOperation : public ReportSys::ReportParameters {
public:
    ReportParamOperation();
    void fill(int operationId);
};

// WARRANT: one cash order, chosen by id or as the automatic order of a contract or an operation.
class ReportParamWarrant : public ReportSys::ReportParameters {
public:
    ReportParamWarrant();
    void fill(int warrantId, int contractId, int operationId, const QString& code);
};
