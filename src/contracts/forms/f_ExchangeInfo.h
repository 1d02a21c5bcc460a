#pragma once
// The small tool window beside the payment dialog of a contract indexed to the dollar: the rate of the
// day the credit was issued, the rate in force for the operation, and the daily interest they give.

#include <memory>

#include "platform/core/DateTime.h"
#include "platform/ui/Form.h"

class QLabel;
class QToolButton;

namespace TolvLogic {
class TPenaltyContractInfo;
}

class TFExchangeInfo : public ui::Form {
    Q_OBJECT
public:
    // A contract passed in becomes the window's; without one the window loads the contract of the id.
    TFExchangeInfo(QWidget* owner, std::unique_ptr<TolvLogic::TPenaltyContractInfo> contract,
                   core::DateTime date, int contractId);
    ~TFExchangeInfo() override;

    void setDate(core::DateTime date);
    core::DateTime date() const { return date_; }
    // Recomputes and shows the four values for the operation date.
    void refresh();
    bool isFixed() const { return fixed_; }
    // The button stays pressed exactly while the window is not fixed (it follows its owner).
    void setFixed(bool fixed);

    QLabel* l_CreditDays;
    QLabel* l_CreditDaysVal;
    QLabel* l_FirstExchange;
    QLabel* l_FirstExchangeVal;
    QLabel* l_CurExchange;
    QLabel* l_CurExchangeVal;
    QLabel* l_PercExchange;
    QLabel* l_PercExchangeVal;
    QToolButton* spbt_Fix;

protected:
    void formShow() override;

private:
    void spbt_FixClick();

    std::unique_ptr<TolvLogic::TPenaltyContractInfo> contract_;
    core::DateTime date_;
    bool fixed_ = false;
};
