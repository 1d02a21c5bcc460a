#pragma once
// The dialog in which the cashier writes a manual receipt or expense order, or corrects a stored one;
// new numbers come from the branch's order counters.

#include <QString>
#include <memory>

#include "platform/core/DateTime.h"
#include "platform/ui/Form.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace ui {
class ButtonEdit;
class CurrencyEdit;
class DateEdit;
}  // namespace ui

namespace TolvLogic {
class WarrantInfo;
}

class TFWarrantEdit : public ui::Form {
    Q_OBJECT
public:
    explicit TFWarrantEdit(QWidget* owner = nullptr);
    ~TFWarrantEdit() override;

    // Both give 1 when the order was saved, else 0. Editing a missing order raises IDS_4.
    static int scNewWarrant(core::DateTime date, int branchId);
    static int scEditWarrant(int id);

    void setBranch(int branchId) { branchId_ = branchId; }
    void setNew();
    void setEdit(int id);
    int result() const { return result_; }
    const TolvLogic::WarrantInfo& order() const { return *order_; }

    // Published handlers.
    void cb_TypeChange();
    void ed_FoundationButtonClick();
    void bt_AddChangeClick();
    void bt_CancelClick();

    // Raises the first failed check's text with its control focused.
    void validate();
    // Stores the order in one transaction (with the counter taken for a proposed number).
    void save();

    QLineEdit* ed_Number;
    ui::DateEdit* de_Date;
    QComboBox* cb_Type;
    ui::CurrencyEdit* ce_Sum;
    ui::ButtonEdit* ed_Foundation;
    QLineEdit* ed_AccountNumber;
    QLabel* lab_OperationSubject;
    QLineEdit* ed_OperationSubject;
    QLineEdit* ed_Addition;
    QLabel* lab_IdentificationData;
    QLineEdit* ed_IdentificationData;
    QWidget* pnl_algn_1;
    QPushButton* bt_AddChange;
    QPushButton* bt_Cancel;

private:
    void fail(QWidget* control, const char* ids);

    std::unique_ptr<TolvLogic::WarrantInfo> order_;
    int branchId_ = 0;
    bool editMode_ = false;
    int result_ = 0;
};
