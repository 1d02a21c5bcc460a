#pragma once
// The pledged items of one contract, edited in memory in the contract editor's grid and written to
// SUBJECTS with the contract: their names, piece counts, valuations and credits, and for precious metal
// also the assay, the prices per gram and the weights from which valuation and credit follow.

#include <QString>
#include <functional>
#include <memory>

#include "kv_GridPickupList.h"
#include "kv_RxMemWrapper.h"

namespace fb {
class Transaction;
}

namespace TolvLogic {

class ContractPrmsFiller;

// Sums over a contract's items; money in currency units.
struct SubjectsTotals {
    double price = 0;           // valuation
    double depositSum = 0;      // credit
    double proposedCredit = 0;  // the credits a terms filler proposes for the valuations
    qint32 itemsCount = 0;
};

class ContractSubjects : public ufb::RxMemWrapper {
public:
    using Event = std::function<void()>;

    // Loads the contract, makes the list for its pledge type and loads its items in the transaction.
    static std::unique_ptr<ContractSubjects> scCreate(int contractId, fb::Transaction* transaction);
    // The precious-metal list for a pledge type coded "GOLD", else the plain list; set up, closed.
    static std::unique_ptr<ContractSubjects> scCreateForType(int contractId, int depositTypeId);

    ContractSubjects(int contractId, int depositTypeId);
    ~ContractSubjects() override;

    ufb::PickupList* getPickupList() override { return pickupList_.get(); }
    void assignGridEvents() override;

    // Clears the events and the editing flag, closes the table, installs the table's handlers,
    // defines the fields and columns and makes the pick lists.
    void setup();
    int getContractId() const { return contractId_; }
    void setContractId(int contractId) { contractId_ = contractId; }
    int getDepositTypeId() const { return depositTypeId_; }

    // The contract's stored items, read in the transaction.
    void load(fb::Transaction* transaction);
    virtual QString getSelectSql() const;
    // Writes every row, then deletes the stored rows removed since loading; back at the first row.
    void saveAll(fb::Transaction* transaction);
    // Writes the current row; a row never stored gets its key from GEN_SUBJECTS_ID.
    virtual void saveRow(fb::Transaction* transaction);

    int getCount();
    int getItemsCount();
    // All items as one text for documents and reports.
    virtual QString getDescription();
    // NAME, PRICE, ITEMS_COUNT of the current row; a missing credit becomes 0.
    bool checkRequired();
    // The full check of the current row; the first missing value is reported and gives false.
    virtual bool checkRow();
    // checkRow on every row; then the names are recorded among the standard names of the pledge type.
    bool checkAllAndRegister();
    static SubjectsTotals calcTotals(ContractSubjects& list, const ContractPrmsFiller* filler);
    // Spreads a credit (currency units) over the items in proportion to their valuations; the last
    // row takes what remains, so the shares add up to the credit exactly.
    void spreadDepositSum(double sum);
    // The current row's credit in units times the percent / 100.
    double calcRowPercent(double percent);

    // Raised after a row is posted or deleted and after its valuation or credit changes.
    Event onChanged;
    // Raised when a row starts or stops being edited.
    Event onEditStateChanged;
    bool isEditing() const { return isEditing_; }

    virtual void onFieldChange(data::Field& field);

protected:
    virtual void initFields();
    virtual void addPickups(ufb::PickupList& pickups);
    virtual void onGetCellParams(int row, const grid::Column& column, grid::CellStyle& style);
    // The grid's edit-button and key-press events are cleared here; the precious-metal list sets its own.
    virtual void installGridHandlers(grid::GridView& grid);
    void raiseChanged();
    // Adds a column of the items grid; the titles are translated under the key given.
    grid::Column& addItemColumn(const QString& fieldName, int width, const QString& key,
                                const QString& title);
    // Sets a field of the current row with its change handler off.
    void setQuiet(const QString& fieldName, const core::Variant& value) { setFieldValue(fieldName, value); }
    data::Field& field(const QString& name) { return getDataSet()->fieldByName(name); }
    // Grid name used in the refusal to bind without a sort-marker grid.
    virtual QString className() const { return QStringLiteral("ContractSubjects"); }

private:
    void onAfterPost();
    void onAfterDelete();
    void onBeforeInsert();
    void onBeforeEdit();
    void onAfterCancel();

    int contractId_;
    int depositTypeId_;
    std::unique_ptr<ufb::PickupList> pickupList_;
    bool isEditing_ = false;
    bool changedSuspended_ = false;
};

// Precious-metal items: assay, valuation and credit per gram, gross weight and the weight of stones.
class ContractSubjectsGold : public ContractSubjects {
public:
    using ContractSubjects::ContractSubjects;
    ~ContractSubjectsGold() override;

    QString getSelectSql() const override;
    void saveRow(fb::Transaction* transaction) override;
    QString getDescription() override;
    bool checkRow() override;
    void onFieldChange(data::Field& field) override;
    // Valuation and credit of the current row from its weights and prices per gram.
    void recalcRow();
    // The assay column's button: picks a tariff from the program-wide precious-metal price list.
    void gridEditButtonClick();
    // A key pressed on the assay cell unties the row from the price list.
    void gridKeyPress(QChar key);

protected:
    void initFields() override;
    void onGetCellParams(int row, const grid::Column& column, grid::CellStyle& style) override;
    void installGridHandlers(grid::GridView& grid) override;
    QString className() const override { return QStringLiteral("ContractSubjectsGold"); }
};

}  // namespace TolvLogic
