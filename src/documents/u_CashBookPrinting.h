#pragma once
// The cash book window's printing through the document system: the window's event codes offered with
// their active templates, a chosen cash order template filled with its order.

#include "f_CashBook.h"

namespace TolvReports {

class CashBookPrinting : public CashPrinting {
public:
    void showMenu(const QStringList& codes, const FillRequest& fill, QMenu* popup, QWidget* control) override;
    // The cash order events take (order id, contract id, operation id, order code); an event of the
    // document system that this layer does not fill raises a clear error.
    void fillParams(const TolvLogic::CashPrintEvent& event) override;
};

// Installs one printing for the program's life.
void installCashBookPrinting();

}  // namespace TolvReports
