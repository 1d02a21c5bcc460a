#pragma once
// The cash book sheet: the cash documents of one branch in a period, one row per order (or per
// register where the detailed method's orders are grouped), with its number, its party and its amount
// in the receipt or the expense column. It computes no balances: the day sums do.

#include <QString>

#include "kv_QueryWrapper.h"
#include "platform/core/DateTime.h"

namespace TolvLogic {

class CashBook : public ufb::QueryWrapper {
public:
    // The layouts: the summary method's orders read whole from the query, or a list whose rows load
    // their order or register.
    enum Layout { Summary = 1, List = 2 };

    // On the transaction (none: the program database with a transaction of its own); nothing opened.
    explicit CashBook(fb::Transaction* transaction);
    // On the program database, loaded at once.
    CashBook(core::DateTime begin, core::DateTime end, int branchId, bool byModificationDate);
    ~CashBook() override;

    // Defines the layout of the period's end date (or the list by modification date) and opens it.
    void load(core::DateTime begin, core::DateTime end, int branchId, bool byModificationDate);
    bool open() override;
    // The plain grid does not sort.
    void gridTitleClick(int) override {}
    void assignGridEvents() override;

    // The calculated columns of the current row; a row whose order or register is gone raises the
    // record's load error.
    virtual void OnCalcFields(data::Dataset& dataset);
    // Automatic orders (summary) and registers (list) are shaded.
    virtual void getCellParams(int row, const grid::Column& column, grid::CellStyle& style);

    int layout() const { return layout_; }
    bool grouping() const { return grouping_; }
    const QString& dateColumn() const { return dateColumn_; }

    // The background and text colours of a shaded row.
    static constexpr quint32 kShade = 0xE3E3E3;
    static constexpr quint32 kShadeText = 0x000000;

private:
    void defineSummary();
    void defineList();
    // The calculated fields after the layout's data fields, and the grid's columns.
    void defineCalculated();
    void calcSummary(data::Dataset& dataset);
    void calcList(data::Dataset& dataset);

    bool grouping_ = false;
    bool byModificationDate_ = false;
    core::DateTime begin_;
    core::DateTime end_;
    int branchId_ = 0;
    int layout_ = List;
    QString dateColumn_ = QStringLiteral("W_DATE");
};

}  // namespace TolvLogic
