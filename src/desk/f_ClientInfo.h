#pragma once
// The read-only card of a client that came with a contract taken over from another branch: the
// client's data as the contract's import record carries it (CONTRACT_IMPORT), not a directory row.

#include "platform/ui/Form.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace TolvLogic {
class TPenaltyContractInfo;
}

class TFClientInfo : public ui::Form {
    Q_OBJECT
public:
    // Copies the contract's import values into the fields; the contract stays the caller's. The caller
    // shows the card modally and destroys it.
    TFClientInfo(QWidget* owner, const TolvLogic::TPenaltyContractInfo& contract);

    QLineEdit* ed_clientName;
    QLineEdit* ed_clientAddress;
    QLineEdit* ed_clientInn;
    QLineEdit* ed_clientPhone;
    QLineEdit* ed_clientPassportSN;
    QLineEdit* ed_clientPassportNum;
    QLineEdit* ed_clientPassportInfo;
    QLineEdit* ed_clientPassportDate;
    QPlainTextEdit* memo_clientInfo;
    QPushButton* bt_Ok;

private:
    void fill(const TolvLogic::TPenaltyContractInfo& contract);
};
