#pragma once
// What the cash book window prints: the document event of a row (chosen by the type its order or
// register records, not by the sign of its amount) and the events of the book of a day, each with the
// values its parameters are filled from. The document layer produces them.

#include <QString>
#include <vector>

#include "platform/core/DateTime.h"
#include "platform/core/Variant.h"

namespace TolvLogic {

struct CashPrintEvent {
    QString code;                       // CB_WRECEIPT, CB_CASHBOOK ...
    std::vector<core::Variant> params;  // in the order the event's parameter filling takes them
};

// The row's event with its order id (CB_WRECEIPT, CB_WEXPENSE: id, -1, -1, "0") or register id
// (CB_RRECEIPT, CB_REXPENSE). A register row prints as an order when the day's method is 1 or
// grouping is off. A row whose order or register is gone raises the record's load error.
CashPrintEvent rowPrintEvent(int id, const core::Variant& dirWarrantes, int dayMethod, bool grouping);

// The book of the day: CB_CASHBOOK (date, branch, numbered sheets) only on a day with receipts or
// expenses, then CB_REGBOOK (date, date, branch).
std::vector<CashPrintEvent> bookPrintEvents(core::DateTime date, int branchId, bool numberSheets);

}  // namespace TolvLogic
