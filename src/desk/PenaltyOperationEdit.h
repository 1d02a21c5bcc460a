#pragma once
// The operation dialog: a payment or a loan increase on one contract, with the debt it leaves, the
// services of the operation and the documents to print. The window binds the controls to the
// operation's logic (u_OperationPayment) and prints the documents after the save has committed.

#include <exception>
#include <memory>

#include "platform/core/DateTime.h"
#include "platform/ui/Form.h"
#include "u_OperationPayment.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TFExchangeInfo;
class TFr_AddServicesList;

namespace KassRegister {
class FiscalRegister;
}
namespace ReportSys {
class ReportEvnt;
class TFrKVReportList;
}  // namespace ReportSys
namespace TolvLogic {
class TVersionConfig;
}
namespace ui {
class ButtonEdit;
class CurrencyEdit;
class DateEdit;
}  // namespace ui

class TAddPenaltyOpForm : public ui::Form {
    Q_OBJECT
public:
    // The shared lists the saves go through; the program sets them after login.
    static void setVersionConfig(TolvLogic::TVersionConfig* config);
    // The application's exception handler, which closes a register that does not answer; without one
    // an error box shows what a handler raised.
    static void setExceptionHandler(std::function<void(const std::exception_ptr&)> handler);

    // The main window's entry points: a new operation on the date (0: today) with the register, and a
    // stored operation (no register).
    static ui::ModalResult scAddOperation(int contractId, core::DateTime date,
                                          KassRegister::FiscalRegister* fiscalRegister);
    static ui::ModalResult scEditOperation(int contractId, int opId);
    static ui::ModalResult scExecute(int contractId, int opId, core::DateTime date,
                                     KassRegister::FiscalRegister* fiscalRegister);

    TAddPenaltyOpForm(QWidget* owner, TolvLogic::TVersionConfig& config);
    ~TAddPenaltyOpForm() override;

    // Everything scExecute does before showing the window.
    void prepare(int contractId, int opId, core::DateTime date, KassRegister::FiscalRegister* fiscalRegister);
    TolvLogic::OperationPayment& logic() { return *logic_; }
    // Fills the document events of the choice for the saved operation.
    void printDocuments(int opId, int contractId);

    void AddBtnClick();
    void CancelBtnClick();
    void bt_ForceEditClick();
    void spbt_ExchangeInfoClick();

    ui::ButtonEdit* NumEdit;
    ui::DateEdit* de_OpDate;
    QLineEdit* edClient;
    QToolButton* bt_Client;
    QLineEdit* edClientImported;
    QToolButton* bt_ClientImported;
    QLineEdit* AgentEdit;
    QGroupBox* grBx_Op;
    QComboBox* cb_OpVid;
    ui::CurrencyEdit* SumEdit;
    QLabel* BaseDebtLab;
    QLabel* rxL_StorageSum;
    QLabel* PercDebtLab;
    QToolButton* spbt_ExchangeInfo;
    QLabel* PenaltyDebtLab;
    QLabel* l_Total;
    QCheckBox* chBx_IncldCurDay;
    QGroupBox* grbox_AddServices;
    QLabel* l_AllSum;
    QLabel* l_AllSumVal;
    QLineEdit* NoteMemo;
    QGroupBox* gbox_Reports;
    QPushButton* bt_ForceEdit;
    QPushButton* AddBtn;
    QPushButton* CancelBtn;

    ReportSys::TFrKVReportList* reportList;
    TFr_AddServicesList* servicesFrame = nullptr;
    TFExchangeInfo* exchangeInfo = nullptr;

protected:
    void formShow() override;
    void formClose() override;
    void moveEvent(QMoveEvent* event) override;

private:
    void build();
    void de_OpDateChange();
    void chBx_IncldCurDayClick();
    void cb_OpVidChange();
    void SumEditChange();
    // The controls as the logic stands.
    void showState();
    void setDocumentEvents(int kind);
    void onServicesReplaced();
    void onServicesChanged();
    void applyEditRights();
    void placeExchangeInfo();
    void openClientCard();
    void runHandler(const std::function<void()>& handler);

    TolvLogic::TVersionConfig& config_;
    std::unique_ptr<TolvLogic::OperationPayment> logic_;
    std::unique_ptr<ReportSys::ReportEvnt> servicesReceipt_;
    std::unique_ptr<ReportSys::ReportEvnt> servicesExpense_;
    bool updating_ = false;
    int shownDocumentKind_ = -1;
};
