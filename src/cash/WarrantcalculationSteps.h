#pragma once
// What the two calculation methods share inside the cash layer: waiting out another workstation that
// regenerates the same day, and joining a column of a query's rows.

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "PenaltyWarrantTemplates.h"

#include "platform/core/DateTime.h"

namespace fb {
class Error;
class Query;
class Transaction;
}  // namespace fb

namespace TolvLogic {
class WarrantInfo;
}

namespace TolvLogic::cashcalc {

// How long a regeneration waits for another workstation's regeneration of the same day (10 s unless
// set otherwise).
void setDayLockWait(int milliseconds);
// A lock conflict, or a unique key met while another workstation's row is not committed yet.
bool isBusy(const fb::Error& e);
// Runs the attempt until it answers true; a busy database makes it wait and try again, until the wait
// is over and the day's busy message is raised. The failed statement alone is undone each time.
void retryWhileBusy(const std::function<bool()>& attempt, core::DateTime date);

// An automatic order template as the regeneration uses it, read in the interface language; a missing
// one raises the template's error.
struct Template {
    int id = 0;
    int type = 0;
    QString account;
    QString foundation;
    QString subject;
};
// The automatic templates of one regeneration, read together by the first that is asked for, with
// their texts, on the regeneration's transaction.
class Templates {
public:
    explicit Templates(fb::Transaction* transaction) : transaction_(transaction), info_(transaction) {}
    const Template& get(const QString& code);

private:
    void readAll();
    // The template info_ holds now.
    Template current() const;
    fb::Transaction* transaction_;
    bool readAll_ = false;
    DirWarrantInfo info_;  // holds the texts of every template
    std::map<QString, Template> read_;
};

// The automatic orders of a day and branch, read by one statement, from which each regenerated order
// of the day is taken as the record's own lookup of the day and template (and services event) would
// find it.
class DayOrders {
public:
    DayOrders(core::DateTime date, int branchId, fb::Transaction* transaction);
    ~DayOrders();
    // WarrantInfo::loadOrInitForDay without a statement.
    void loadOrInit(WarrantInfo& order, int templateId, std::optional<int> serviceEvent);

private:
    core::DateTime date_;
    int branchId_;
    std::unique_ptr<fb::Query> rows_;
};

// Stores a regenerated order: a new one with an amount takes the next number of the branch's counter
// (receipt or expense by W_TYPE) at that moment, and only then, so two workstations never store one
// number and an order of amount 0 takes none.
void storeOrder(WarrantInfo& order, int branchId, fb::Transaction* transaction);

}  // namespace TolvLogic::cashcalc
