#pragma once
// A failure reported by the Firebird client or server, with the codes callers branch on.

#include <QString>
#include <vector>

#include "platform/core/Exception.h"

namespace fb {

// Frequently tested server error codes.
namespace gds {
constexpr long ForeignKey = 335544466;       // violation of FOREIGN KEY constraint
constexpr long UniqueKey = 335544665;        // violation of PRIMARY or UNIQUE KEY constraint
constexpr long LockConflict = 335544345;     // lock conflict on no wait transaction
constexpr long Deadlock = 335544336;         // deadlock: the first code of a no-wait update conflict
constexpr long UpdateConflict = 335544451;   // update conflicts with concurrent update
constexpr long LoginFailed = 335544472;      // user name and password are not defined
constexpr long IoError = 335544344;          // I/O error during an operation on a file
constexpr long NetworkError = 335544721;     // unable to complete network request to host
constexpr long Unavailable = 335544375;      // unavailable database
constexpr long Transliteration = 335544565;  // cannot transliterate between character sets
}  // namespace gds

class Error : public core::Exception {
public:
    // fullText: every message of the status vector, one per line; firstMessage: the first alone.
    Error(QString fullText, QString firstMessage, std::vector<long> gdsCodes, int sqlCode);

    // The first gds code of the status vector (0 for errors raised by this layer itself).
    long gdsCode() const { return codes_.empty() ? 0 : codes_.front(); }
    const std::vector<long>& gdsCodes() const { return codes_; }
    bool hasGdsCode(long code) const;
    int sqlCode() const { return sqlCode_; }
    const QString& firstMessage() const { return firstMessage_; }
    const QString& fullText() const { return message(); }

private:
    QString firstMessage_;
    std::vector<long> codes_;
    int sqlCode_;
};

}  // namespace fb
