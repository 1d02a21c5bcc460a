#pragma once
// Dollar rates per branch and day (DIR_EXCHANGE): the rate of one day with the lookup of the rate in
// force, and the day-by-day history of a period for the rate window.

#include "kv_DBRecord.h"
#include "kv_RxMemWrapper.h"
#include "platform/core/DateTime.h"
#include "u_DbFields.h"

namespace TolvLogic {

// The rate row of one branch and day, keyed by (ID_FILIAL, DATA) and read when it is made. The rate is
// kept in ten-thousandths of a currency unit per dollar.
class TExchangeInfo : public ufb::TDBRecord {
public:
    enum Column { eID = 0, eID_FILIAL, eUSD_EXCHANGE, eDATA };

    TExchangeInfo(int filialId, core::DateTime date);

    core::Variant getValue(int index) const;
    void setValue(int index, const core::Variant& value);

    // The rate in force: the record's own row when it exists (true); otherwise the latest row before
    // the date (the record's own day when the date is 0), or 1.0 without one (false).
    bool findRate(double& rate, core::DateTime date) const;
    // The record's own rate, or the rate in force on its day.
    double getRate() const;
    void setRate(double rate);
    // Updates the row when it existed, else inserts it (and from then on updates), each in a
    // transaction of its own. A rate of zero or less is refused: the calculation divides by it.
    void save();

    int getFilialId() const { return filialId_; }
    core::DateTime getDate() const { return date_; }
    bool exists() const { return exists_; }

private:
    int filialId_;
    core::DateTime date_;
    bool exists_ = false;
};

// The rates of a branch for every day of a period: SIGN (the day has a row of its own), DATA and
// EXCHANGE, the rate in force.
class TExchangeHistory : public ufb::RxMemWrapper {
public:
    // How the grid shows a row: a rate of the day's own in black, a carried or default one in grey.
    enum class Shade { Own, Carried };

    TExchangeHistory(int filialId, core::DateTime beginDate, core::DateTime endDate,
                     core::DateTime locateDate);

    void setPeriod(core::DateTime beginDate, core::DateTime endDate);
    // Refills the table for the period and stands on the locate date's row (when there is one).
    void reload();
    // The cell parameters of a view row, for the grid that shows the history.
    Shade onGetCellParams(int row);
    // The bound grids shade their rows by onGetCellParams.
    void assignGridEvents() override;

private:
    void initFields();

    int filialId_;
    core::DateTime beginDate_;
    core::DateTime endDate_;
    core::DateTime locateDate_;
};

}  // namespace TolvLogic
