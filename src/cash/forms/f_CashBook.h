#pragma once
// The cashier's window over the cash book of one branch and day: the day's orders and registers, the
// balance at the start of the day, the day's receipts and expenses and the balance at its end; manual
// orders added, corrected and deleted through the order dialog, registers opened in their own window,
// the orders, registers and the book printed through the document layer.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "CashBookPrint.h"
#include "platform/core/DateTime.h"
#include "platform/grid/GridView.h"
#include "platform/ui/Form.h"

class QGroupBox;
class QLabel;
class QMenu;
class QToolButton;

namespace ui {
class DateEdit;
class DbGrid;
class LookupCombo;
class MoneyDisplay;
}  // namespace ui

namespace TolvLogic {
class CashBook;
class FilialsDir;
class WarrantCalculationManager;
}  // namespace TolvLogic

// The printing of cash documents, installed by the document layer: it offers the active templates of
// the event codes and fills a chosen template's event with the values the window decided on.
class CashPrinting {
public:
    // Called for the chosen template with its event's code and the template's name.
    using FillRequest = std::function<void(const QString& eventCode, const QString& templateName)>;
    virtual ~CashPrinting() = default;
    // No active template does nothing, one is produced at once, several are offered in the popup
    // below the control.
    virtual void showMenu(const QStringList& codes, const FillRequest& fill, QMenu* popup, QWidget* control) = 0;
    // Fills the event of the code with the values, in the order its parameter filling takes them.
    virtual void fillParams(const TolvLogic::CashPrintEvent& event) = 0;
};

class TFCashBook : public ui::Form {
    Q_OBJECT
public:
    // Shows the composition of a register (the register window's TFRegisterStructure::scShowRegister).
    using RegisterOpener = std::function<void(int registerId)>;

    explicit TFCashBook(QWidget* owner = nullptr);
    ~TFCashBook() override;

    // The modal window on the day; the date is changeable only for a manager or with the agents'
    // permission.
    static void scShowCashBook(core::DateTime date);
    // Installed by the register window and the document layer at start; either missing makes its
    // action raise a clear error. Both return what was installed before.
    static RegisterOpener setRegisterOpener(RegisterOpener opener);
    static CashPrinting* setCashPrinting(CashPrinting* printing);

    // Whether the date (edit and spin button) may be changed.
    void setDateEnabled(bool enabled);
    TolvLogic::CashBook* sheet() const { return sheet_.get(); }
    int dayMethod() const { return dayMethod_; }
    int branchId() const;

    void reloadCashBook();
    void updateButtons();

    // Published handlers.
    void de_DateChange();
    void sb_DateTopClick();
    void sb_DateBottomClick();
    void combo_FilialFilterChange();
    void btn_RefreshClick();
    void bt_AddClick();
    void btn_EditClick();
    void btn_DeleteClick();
    void grid_CashBookCellClick();
    void btn_WarrsClick();
    void btn_CashClick();
    // Fills the chosen template's event from what the print action decided.
    void fillEventParams(const std::vector<TolvLogic::CashPrintEvent>& events, const QString& eventCode,
                         const QString& templateName);

    QLabel* lab_Date;
    ui::DateEdit* de_Date;
    QWidget* sb_Date;
    QToolButton* sb_DateTop;
    QToolButton* sb_DateBottom;
    QGroupBox* gbox_Reports;
    QPushButton* btn_Refresh;
    QPushButton* bt_Add;
    QPushButton* btn_Delete;
    QPushButton* btn_Edit;
    QPushButton* btn_Warrs;
    QGroupBox* gbox_CashBook;
    QPushButton* btn_Cash;
    QPushButton* btn_Close;
    QLabel* RxLabel7;
    ui::LookupCombo* combo_FilialFilter;
    QLabel* lab_Reminder;
    ui::MoneyDisplay* ce_Reminder;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* lab_Carrying;
    ui::MoneyDisplay* ce_CarryingReceipt;
    ui::MoneyDisplay* ce_CarryingExpense;
    QLabel* ed_Reminder2;
    ui::MoneyDisplay* ce_Reminder2;
    QWidget* pnl_algn_1;
    QWidget* pnl_algn_2;
    ui::DbGrid* grid_CashBook;
    QMenu* pMenu_Docs;

protected:
    void formShow() override;
    void formClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void saveWidths() const;
    void loadWidths();
    void print(const std::vector<TolvLogic::CashPrintEvent>& events, QWidget* button);
    core::Variant currentField(const QString& name) const;
    bool atEnd() const;

    std::unique_ptr<TolvLogic::FilialsDir> branches_;
    std::unique_ptr<TolvLogic::CashBook> sheet_;
    std::unique_ptr<TolvLogic::WarrantCalculationManager> calculation_;
    grid::DataSource source_;
    int dayMethod_ = 0;
    bool filterAttached_ = false;
    bool dateAttached_ = false;
};
