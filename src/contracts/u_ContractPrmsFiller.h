#pragma once
// The source of a contract's proposed terms: rates, storage fee, minimum days and flags for the
// contract editor, and a proposed credit for each pledged item. The office chooses one of three kinds:
// constant terms from the settings, terms by the loan sum, or terms by the term in days.

#include <QString>
#include <QStringList>
#include <bitset>
#include <functional>
#include <memory>

#include "platform/data/Field.h"
#include "platform/grid/GridView.h"

namespace fb {
class Transaction;
}

namespace TolvLogic {

class TPenaltyContractInfo;
class ContractSubjects;

// The terms a filler proposes; a filler overwrites only the fields its kind provides.
struct ContractPrms {
    double perc = 0;
    double penaltyPerc = 0;
    double creditPerc = 0;
    quint8 storageType = 1;
    double storageVal = 0;
    qint32 storageMinDays = 0;
    bool isStorageStartWithPenalty = false;
    bool isPenalFromRetSum = false;
    bool isPercWithPenaltyStart = false;
    qint32 minAccrualDays = 0;
    qint32 exceedDays = 0;
};

// The editor's term field as the filler sees it; the editor's combo box implements it, so the filler
// needs no widgets.
class TermField {
public:
    virtual ~TermField() = default;
    virtual void setItems(const QStringList& items) = 0;
    virtual int itemCount() const = 0;
    virtual QString itemText(int index) const = 0;
    // Pick-only: a choice among the items; otherwise free text is allowed too.
    virtual void setPickOnly(bool pickOnly) = 0;
    virtual void setText(const QString& text) = 0;
    virtual void select(int index) = 0;
    // Runs the field's change handler, as a change by the user would.
    virtual void fireChange() = 0;
};

class ContractPrmsFiller {
public:
    // The editor's events: 1 a new contract is set up, 2 the term changed, 3 another client was chosen,
    // 4 the credit sum changed. Code 0 is in no set.
    using EventSet = std::bitset<5>;

    virtual ~ContractPrmsFiller() = default;
    ContractPrmsFiller(const ContractPrmsFiller&) = delete;
    ContractPrmsFiller& operator=(const ContractPrmsFiller&) = delete;

    // 0 constant terms, 1 by sum, 2 by term, as the "DEFAULTS" settings choose.
    static int scGetKind();
    static std::unique_ptr<ContractPrmsFiller> scCreate();
    // For precious metal: 0 the credit comes from the per-gram prices, 1 from the tariff by term.
    static int scGetGoldCreditMethod();
    static void scSetGoldCreditMethod(int method);

    // Fills the terms when the filler reacts to the event; false leaves them untouched.
    bool fillOnEvent(ContractPrms& prms, int event);

    virtual void fill(ContractPrms& prms) = 0;
    // The contract being edited (not owned) and the transaction of the lookups (null: the shared change
    // transaction).
    virtual void init(TPenaltyContractInfo* contract, fb::Transaction* transaction);
    virtual void getCreditPerc(double& creditPerc) const {}
    // The credit proposed for one pledged item of that valuation, both in hundredths; 0 for none.
    virtual double calcSubjCredit(int valuation) const { return 0; }
    // Prepares the editor's term field: here free text showing the term.
    virtual void setupTermControl(TermField& field, int term);

    const EventSet& events() const { return events_; }

protected:
    ContractPrmsFiller() = default;
    explicit ContractPrmsFiller(EventSet events) : events_(events) {}
    fb::Transaction* transaction() const;
    TPenaltyContractInfo* contract_ = nullptr;

private:
    fb::Transaction* transaction_ = nullptr;
    EventSet events_;
};

class ContractPrmsFillerConst : public ContractPrmsFiller {
public:
    ContractPrmsFillerConst();
    ~ContractPrmsFillerConst() override;
    void fill(ContractPrms& prms) override;
};

class ContractPrmsFillerSum : public ContractPrmsFiller {
public:
    ContractPrmsFillerSum();
    ~ContractPrmsFillerSum() override;
    void fill(ContractPrms& prms) override;
    // The credits of the client's other open contracts with their loan increases, in hundredths; a client
    // of -1 (none chosen yet) gives 0.
    int findOpenContractsSum(int clientId, int contractId) const;

private:
    bool inclClientOpenedContracts = false;
};

class ContractPrmsFillerDays : public ContractPrmsFiller {
public:
    ContractPrmsFillerDays();
    // Gives the items grid its former cell handler back.
    ~ContractPrmsFillerDays() override;
    void fill(ContractPrms& prms) override;
    // Also installs the handlers on the contract's pledged-items list and its grid.
    void init(TPenaltyContractInfo* contract, fb::Transaction* transaction) override;
    void getCreditPerc(double& creditPerc) const override;
    double calcSubjCredit(int valuation) const override;
    // A pick-only list of the tariff's terms.
    void setupTermControl(TermField& field, int term) override;

    virtual void onGridGetCellParams(int row, const grid::Column& column, grid::CellStyle& style);
    virtual void onGoldFieldChange(data::Field& field);
    virtual void onPriceChange(data::Field& field);

private:
    using CellHandler = std::function<void(int, const grid::Column&, grid::CellStyle&)>;
    CellHandler oldGridGetCellParams_;
    data::Field::ChangeHandler oldGoldFieldChange_;
    data::Field::ChangeHandler oldPriceChange_;
    ContractSubjects* subjects_ = nullptr;  // whose fields carry our handlers
    grid::GridView* grid_ = nullptr;        // whose cell handler is ours
};

}  // namespace TolvLogic
