#pragma once
// The fiscal cash register as the program's logic sees it: the receipt line, the date check before a
// receipt, and the receipts the contract layer prints. The serial-port driver of the one register model
// implements it; tests implement it with a recording register.

#include <QString>
#include <map>
#include <vector>

#include "platform/core/DateTime.h"

namespace KassRegister {

class FiscalRegister {
public:
    // One receipt line. The sum is positive when the client pays it and negative when it is paid out.
    struct LineInfo {
        QString name;
        qint32 sum = 0;  // hundredths
        qint32 article = 0;
        qint32 taxIndex1 = 0;  // tax schemes 1 to 8, 0 none
        qint32 taxIndex2 = 0;
    };
    using Lines = std::vector<LineInfo>;
    // Service lines under "<running number>_<service id>", printed in the order of the keys as texts.
    using ServiceLines = std::map<QString, LineInfo>;

    virtual ~FiscalRegister() = default;

    // The receipt of a loan issue: a return-mode receipt with a contract line and one credit line per
    // pledge line, then the service lines, then the payment dialog; true when the receipt was closed
    // with the cash entered, false when it was cancelled. A register failure cancels the receipt and
    // is passed on.
    virtual bool printCreditCheck(const QString& contractNum, Lines pledgeLines,
                                  const ServiceLines& services) = 0;
    // The register's own date, as its configuration was last read from the device.
    virtual core::DateTime getDate() const = 0;

    // True when the date is the register's own; otherwise asks whether to print with the register's
    // date, and true only for Yes.
    bool examCheckDate(core::DateTime date) const;
};

}  // namespace KassRegister
