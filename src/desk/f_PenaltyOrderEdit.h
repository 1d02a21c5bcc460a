#pragma once
// The contract editor: a new pledge-loan contract or a stored one, with its client, terms, storage
// fee, pledged items, services and the documents to print. The window binds its controls to the
// editor's logic (u_ContractEditor) and prints the documents after the save has committed.

#include <memory>
#include <vector>

#include "platform/core/DateTime.h"
#include "platform/grid/GridView.h"
#include "platform/ui/Form.h"
#include "u_ContractEditor.h"
#include "u_StorageTerms.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
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
class DbGrid;
class LookupCombo;
class NumberEdit;
}  // namespace ui

namespace TolvMain {

class TPenaltyOrderEditForm : public ui::Form {
    Q_OBJECT
public:
    // The shared lists the saves go through; the program sets them after login.
    static void setVersionConfig(TolvLogic::TVersionConfig* config);

    // A new contract for the work date, issued on the register: the key of the contract saved and
    // committed, or -1.
    static int scNewContract(core::DateTime workDate, KassRegister::FiscalRegister* fiscalRegister);
    // A stored contract: OK after a save, Cancel otherwise.
    static ui::ModalResult scEditContract(int contractId, core::DateTime workDate);

    TPenaltyOrderEditForm(QWidget* owner, TolvLogic::TVersionConfig& config);
    ~TPenaltyOrderEditForm() override;

    void setNew(core::DateTime workDate, KassRegister::FiscalRegister* fiscalRegister);
    void loadContract(int contractId, core::DateTime workDate);
    TolvLogic::ContractEditor& logic() { return *logic_; }

    // Published handlers.
    void btn_SaveClick();
    void bt_CancelClick();
    void ClientEditButtonClick();
    void ClientEdit_ImportedButtonClick();
    void PlaceEditButtonClick();
    void ed_deposTypeButtonClick();
    void bt_RoundClick();
    void bt_ForceEditClick();
    void ce_StorageButtonClick();

    ui::LookupCombo* combo_Filial;
    QLineEdit* NumEdit;
    ui::DateEdit* DateEdit;
    ui::ButtonEdit* ClientEdit;
    ui::ButtonEdit* ClientEdit_Imported;
    QLineEdit* ed_Agent;
    QPushButton* bt_EditForce;
    ui::ButtonEdit* ed_deposType;
    ui::ButtonEdit* PlaceEdit;
    QComboBox* combo_penaltyDays;
    ui::NumberEdit* DayPercEdit;
    ui::NumberEdit* PercEdit;
    ui::NumberEdit* PenaltyPercEdit;
    ui::NumberEdit* ce_minAccrualDays;
    ui::NumberEdit* ce_ExceedDays;
    QLabel* rxl_Exchange;
    ui::NumberEdit* DollarPriceEdit;
    QLabel* l_Storage;
    ui::CurrencyEdit* e_Storage;
    QToolButton* b_Storage;
    ui::CurrencyEdit* SubjPriceEdit;
    ui::CurrencyEdit* DepositSumEdit;
    QToolButton* bt_Round;
    QLabel* l_Total;
    ui::CurrencyEdit* ce_Total;
    QGroupBox* gb_Subjs;
    ui::DbGrid* rg_Subjs;
    QPlainTextEdit* NoteMemo;
    QCheckBox* chBx_isCalcPercWithPenalty;
    QCheckBox* chBx_isPenaltyCalcFromRetSum;
    QCheckBox* chBx_IsPrivInExceed;
    QCheckBox* chbox_CalcExchange;
    QCheckBox* chbox_CalcExchangeIfIncrease;
    QCheckBox* OffCheck;
    QGroupBox* grbox_AddServices;
    QGroupBox* grBx_PrintReports;
    QPushButton* btn_Save;
    QPushButton* bt_Cancel;

    ReportSys::TFrKVReportList* reportList;
    TFr_AddServicesList* servicesFrame = nullptr;

protected:
    // Saves the grids' layouts and the items' column widths.
    void formClose() override;

private:
    // The per-user section the items' column widths were read from.
    QString subjSection_;
    // The editor's storage terms as the storage dialog edits them.
    TolvLogic::StorageTerms storageTerms() const;
    void build();
    // The controls as the logic stands.
    void showState();
    void applyAccess();
    void syncDocuments();
    void placeServices();
    void printDocuments(int contractId);
    ReportSys::ReportEvnt* eventOf(const TolvLogic::ContractDocument& d) const;
    // Runs a change handler: the logic's refusals go to the error box, the controls follow the logic.
    void handle(const std::function<void()>& handler);

    TolvLogic::TVersionConfig& config_;
    std::unique_ptr<TolvLogic::ContractEditor> logic_;
    std::unique_ptr<ReportSys::ReportEvnt> servicesReceipt_;
    std::unique_ptr<ReportSys::ReportEvnt> servicesExpense_;
    std::vector<TolvLogic::ContractDocument> shownDocuments_;
    grid::DataSource subjSource_;
    TolvLogic::NewContractService* framedServices_ = nullptr;
    bool updating_ = false;
};

}  // namespace TolvMain
