#pragma once
// The payment dialog of a fiscal receipt: the lines the client pays and those paid out, their imposed
// taxes, the amount, the cash handed over and the change; OK closes the receipt with the cash, Cancel
// cancels it. Every amount is kept in hundredths; floating values exist only for display.

#include <QLabel>
#include <QPushButton>
#include <memory>

#include "kv_fiscalRegister.h"
#include "platform/grid/GridView.h"
#include "platform/ui/Form.h"

class QGroupBox;
class QFrame;

namespace data {
class MemTable;
}
namespace ui {
class CurrencyEdit;
class DbGrid;
}  // namespace ui

namespace KassRegister {

class TFROplata : public ui::Form {
    Q_OBJECT
public:
    // Prepares the dialog for the lines, shows it modally and answers whether the receipt was closed.
    static bool scShowOplata(FRMariya& fr, const FiscalRegister::Lines& lines);

    TFROplata(FRMariya& fr, const FiscalRegister::Lines& lines);
    ~TFROplata() override;

    bool result() const { return result_; }
    bool payOutMode() const { return payOut_; }
    qint64 totalHundredths() const { return total_; }
    qint64 changeHundredths() const;
    data::MemTable* toPayTable() const { return toPay_.get(); }
    data::MemTable* toPayOutTable() const { return toPayOut_.get(); }

    QGroupBox* gr_ToPay;
    QGroupBox* gr_ToPayOut;
    ui::DbGrid* grid_ToPay;
    ui::DbGrid* grid_ToPayOut;
    QFrame* p_Input;
    QLabel* l_Summa;
    QLabel* l_Cash;
    QLabel* l_Change;
    ui::CurrencyEdit* ced_Summa;
    ui::CurrencyEdit* ced_Cash;
    ui::CurrencyEdit* ced_Change;
    QPushButton* bt_OK;
    QPushButton* bt_Cnacel;

private:
    void prepare(const FiscalRegister::Lines& lines);
    void addLine(data::MemTable& table, const FRLine& line);
    void cashChanged();
    void okClicked();
    void cancelClicked();

    FRMariya& fr_;
    std::unique_ptr<data::MemTable> toPay_;
    std::unique_ptr<data::MemTable> toPayOut_;
    grid::DataSource toPaySource_;
    grid::DataSource toPayOutSource_;
    qint64 total_ = 0;  // signed: positive when the client pays
    bool payOut_ = false;
    bool result_ = false;
};

}  // namespace KassRegister
