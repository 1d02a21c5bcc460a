#pragma once
// Drop-down pick lists of grid columns, filled from the values stored in database tables.

#include <QString>
#include <memory>
#include <vector>

namespace fb {
class Transaction;
}
namespace grid {
class GridView;
}

namespace ufb {

// One pick-list source: the values of a table's field for one grid column.
struct PickupData {
    PickupData(QString table, QString field, QString gridField, QString condition = QString(),
               fb::Transaction* transaction = nullptr);
    QString table;
    QString field;
    QString gridField;
    QString condition;  // without "where"; empty for none
    QString extraValue;  // put first when asked; always empty
    fb::Transaction* transaction;
};

// Where the values go.
class PickupOutput {
public:
    // A non-empty target accepts only the items of that grid field.
    explicit PickupOutput(QString targetField = QString()) : targetField_(std::move(targetField)) {}
    virtual ~PickupOutput() = default;
    virtual void clear(const PickupData& item) = 0;
    virtual void add(const PickupData& item, const QString& text) = 0;
    const QString& targetField() const { return targetField_; }

private:
    QString targetField_;
};

// The pick lists of a grid's columns (the plain grid and the sort-marker grid alike).
class PickupOutGrid : public PickupOutput {
public:
    explicit PickupOutGrid(grid::GridView* grid) : grid_(grid) {}
    void clear(const PickupData& item) override;
    void add(const PickupData& item, const QString& text) override;

protected:
    grid::GridView* grid_;
};

class PickupOutGridEh : public PickupOutGrid {
public:
    using PickupOutGrid::PickupOutGrid;
};

class PickupList {
public:
    PickupList() = default;
    PickupList(const PickupList&) = delete;
    PickupList& operator=(const PickupList&) = delete;

    void setOutput(std::unique_ptr<PickupOutput> output) { output_ = std::move(output); }
    PickupOutput* output() const { return output_.get(); }
    void add(const PickupData& item) { items_.push_back(item); }
    void setExtraFirst() { extraFirst_ = true; }
    // One select per item; each column's list is cleared before it is filled. Without an output
    // nothing happens; an item whose column the grid lacks is skipped.
    void fill();

private:
    std::unique_ptr<PickupOutput> output_;
    std::vector<PickupData> items_;
    bool extraFirst_ = false;
};

}  // namespace ufb
