#pragma once
// The small dialog of the register's service operations: a service cash deposit (mode 0) or
// withdrawal (1), the number of the receipt a return refers to (2), and the register's access
// password (3).

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "kv_fiscalRegister.h"
#include "platform/ui/Form.h"

namespace ui {
class CurrencyEdit;
}

namespace KassRegister {

class TFRSumSlyzh : public ui::Form {
    Q_OBJECT
public:
    // Modes 0, 1 and 2; OK does the work on the register. Any other mode is refused.
    static void scShowSlysh(FiscalRegister& fr, int mode);
    // The password typed; a cancelled prompt raises FRNoSignal for the register.
    static QString scShowPassword(FiscalRegister& fr);
    // The same without the exception: nothing when cancelled.
    static std::optional<QString> askPassword(FiscalRegister& fr);

    TFRSumSlyzh(FiscalRegister& fr, int mode);

    QLabel* l_EnterSumm;
    ui::CurrencyEdit* ced_FRSum;
    QLineEdit* ed_Text;
    QPushButton* bt_OK;
    QPushButton* bt_Cancel;

private:
    void okClicked();

    FiscalRegister& fr_;
    int mode_;
    QString password_;
};

}  // namespace KassRegister
