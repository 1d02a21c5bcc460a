#pragma once
// The main window of the program. Its first show runs the start sequence before the window appears:
// the interface language, the login under the server role of a manager or an agent, and the database
// version check; a cancelled login or a failed check ends the program before it shows.
//
// The window's code is spread over files by what it does: f_Main.cpp its texts and creation,
// f_MainLogin.cpp the login and the database path, f_MainActions.cpp the actions, menus and tool bar,
// f_MainPanel.cpp the search panel and grids, f_MainLife.cpp the start sequence, the global lists and
// the close, f_MainRights.cpp the rights, reconnect and change of user, f_MainFiscal.cpp the fiscal
// register and the exception handler, f_MainDocuments.cpp the document events.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>

#include "U_AutomateHelper.h"
#include "kvF_Login.h"
#include "platform/core/DateTime.h"
#include "platform/ui/Translations.h"
#include "u_ContractDialogs.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolBar;

namespace fb {
class Error;
}
namespace grid {
class DataSource;
struct Column;
struct CellStyle;
}  // namespace grid
namespace data {
class Dataset;
}
namespace ui {
class DateEdit;
class DbGrid;
class LookupCombo;
}  // namespace ui
namespace KassRegister {
class FiscalRegister;
class FRNoSignal;
}  // namespace KassRegister
namespace TolvLogic {
class TVersionConfig;
class TClients;
class TAgents;
class TPlaces;
class TDepositTypes;
class TPasportData;
class DirWarrantes;
class GoldTarifs;
class FilialsDir;
class TPenaltyContracts;
}  // namespace TolvLogic

namespace TolvMain {

class TFMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFMain(QWidget* owner = nullptr);
    ~TFMain() override;

    // The window's own texts (IDS_...) in the active language.
    QString message(const QString& key) const { return texts_.message(key); }
    const ui::Translations& translations() const { return texts_; }

    // The login dialog's check: connects with the login and password, refuses SYSDBA and logins the
    // program does not know, and chooses the server role. Shows the hourglass throughout.
    bool checkUser(const QString& login, const QString& password);
    // Takes the database path from the key of section "DB" of "db.ini"; an empty value leaves the
    // connection's database name as it is. A path without ":" is a file relative to the program.
    void setDatabasePath(const QString& key);

    // The role the walk over the user's role memberships chooses: MASTERROLE at the first name that,
    // trimmed of blanks, is exactly "MASTERROLE"; AGENTROLE otherwise.
    static QString chooseRole(const QStringList& roleNames);
    // The box shown when the database cannot be reached: IDS_8, the database name, IDS_9, the advice
    // IDS_10 to IDS_14 for an unavailable database only, IDS_15 and the server's text.
    QString connectErrorText(long gdsCode, const QString& databaseName, const QString& serverText) const;

    // The settings dialog's database page, shown after a connection error so the user can correct the
    // path; the settings dialog installs it. An empty hook shows nothing.
    using DbPathSettingsHook = std::function<void()>;
    static void setDbPathSettingsHook(DbPathSettingsHook hook);

    // The role the last accepted login chose (empty before one).
    const QString& loginRole() const { return acceptedRole_; }
    // Whether the start sequence of the first show ran to its end.
    bool started() const { return started_; }

    // Rights after every login: Tag 1 actions for managers only, PERMISSION keys opening single actions
    // for agents, then the caption, currency naming, detail layouts, backup and grid text handler.
    void applyRights();
    // Frees the lists, reopens the connection with the last login's parameters, makes the lists again.
    // When the connection cannot be reopened the error is shown and the login window runs as for a
    // change of user; its Cancel ends the program.
    void ReconnectActExecute();
    // The hidden switch to the second database ("PATH2"), then the reconnect.
    void Relogin2ActExecute();
    // Change of user: the login window against "PATH", then the reconnect. Cancel ends the program.
    void ReloginActExecute();
    // The login window in lock mode: only the last password opens.
    void LockAppActExecute();

    void createGlobalLists();
    void freeGlobalLists();
    void restoreDetailGridLayouts();
    QString contractGridSuffix() const;
    void updateCaption();
    core::DateTime workDate() const;
    bool isDebtorsFilter() const;
    bool isInActFilter() const;
    bool isBackupAvailable() const;
    // The action of the action list by its name (null when there is none).
    QAction* action(const QString& name) const;
    // Captions of actions and menus in the interface language (1 Russian, 2 Ukrainian).
    void applyActionTexts(int language);

    // Creates and registers the program's document events, their names in the active language; with
    // reportChanges the events are dropped first and the template changes are reported.
    void createDocumentEvents(bool reportChanges);
    // Opens the fiscal register, registers the cashier and shows the menu "Регистратор" (false when
    // the register refused the registration). A register that does not answer raises FRNoSignal.
    bool startFiscalRegister();
    // The application's exception handler: the register's no-signal failure has its own handling,
    // every other exception the standard display.
    void ApplicationEvents1Exception(const std::exception& e);
    // The register closed and the user told; a manager goes on without it, anybody else ends the program.
    void onRegisterNoSignal(KassRegister::FiscalRegister* reg, const KassRegister::FRNoSignal& e);

    // The document system's template languages ("no", "ru", "ua", named in the interface language)
    // and the current one, by the country of the settings file.
    void setDocumentLanguages();

    // Members that later units fill; empty here. Each reports its call to the step recorder.
    void runLangWizard();
    void registerTextKeys();
    void createAddServices();
    void recalcDebt();
    void openContractList();
    void updateContractActions(int contractId);
    void updateOperationActions(int opId);
    // Receives the names of the members above as they run (tests watch the start sequence with it).
    using StepRecorder = std::function<void(const QString& step)>;
    static void setStepRecorder(StepRecorder recorder);

    // ---- Actions on contracts and operations (f_MainContractActs.cpp) ----
    // Each reads the selected contract (and operation), checks what the window itself refuses, opens
    // the desk's window or calls the contract service, then reloads the list.
    void CreateContractActExecute();
    void EditContractActExecute();
    void DeleteContractActExecute();
    void AddOpActExecute();
    void EditOpActExecute();
    void DeleteOpActExecute();
    void AddToSaleActExecute();
    void DeleteToSaleActExecute();
    void AddSaleActExecute();
    void SendToArchiveExecute();
    void GetFormArchiveExecute();
    void ZayavlActExecute();
    void ZayavlDelActExecute();
    void a_ReopenContractManualExecute();
    void a_CloseContractManualExecute();
    // The debt frame in InfoFramePlace and the services of the selected contract, through the parts
    // the program installs (nothing happens without them).
    void createContractInfoFrame();
    QWidget* contractInfoFrame() const { return infoFrame_.widget; }
    // The debt frame's sums and the selected contract's services (the contract list calls them).
    void clearSums();
    void loadAddServices(int contractId);
    // ---- end of the actions on contracts and operations ----

    utl::KVLoginDialog loginDialog;
    // The text answering of the contract grid.
    std::unique_ptr<GridMessageHandler> gridTextHandler;

    void setVisible(bool visible) override;

    // Components.
    QList<QAction*> actionList;
    QMenu* mFR = nullptr;
    QMenu* N_Reports = nullptr;
    QMenu* N_Lang = nullptr;
    QAction* NLang_rus = nullptr;
    QAction* NLang_ukr = nullptr;
    QMenu* N_CurFilial = nullptr;
    QToolBar* SpeedBar1 = nullptr;
    ui::DbGrid* gr_Contracts = nullptr;
    ui::DbGrid* gr_Ops = nullptr;
    ui::DbGrid* greh_AddServices = nullptr;
    ui::DbGrid* gr_Sales = nullptr;
    std::unique_ptr<grid::DataSource> ContractsDS;
    std::unique_ptr<grid::DataSource> OpsDS;
    std::unique_ptr<grid::DataSource> ds_AddServices;
    std::unique_ptr<grid::DataSource> SalesDS;
    QTabWidget* pc_ContrInfo = nullptr;
    QLabel* DogNText = nullptr;
    QLabel* DBText1 = nullptr;
    QLineEdit* NumFilterEdit = nullptr;
    ui::LookupCombo* combo_FilialFilter = nullptr;
    QLineEdit* FIOFilterEdit = nullptr;
    QPushButton* bt_Client = nullptr;
    ui::DateEdit* DateFilterEdit = nullptr;
    QLineEdit* AgentFilterEdit = nullptr;
    QPushButton* bt_Agent = nullptr;
    QComboBox* cb_contrFilter = nullptr;
    QCheckBox* chBx_showArchive = nullptr;
    QPushButton* bt_Search = nullptr;
    QPushButton* bt_DefaultFilter = nullptr;
    QPushButton* bt_SetGrid = nullptr;
    QTimer* timeForCalcPercents = nullptr;
    QWidget* InfoFramePlace = nullptr;

    // Members.
    std::unique_ptr<KassRegister::FiscalRegister> fiscalRegister;
    // The branch directory behind the branch filter combo, made with the global lists.
    std::unique_ptr<TolvLogic::FilialsDir> branchDir;
    std::unique_ptr<grid::DataSource> ds_FilialFilter;
    // Reopens the branch directory, rebuilds "Текущий филиал" and selects the key (-1 keeps the one
    // selected); the contract list is not reopened here.
    void refreshBranchFilter(int filialId);
    int clientFilterId = -1;
    int agentFilterId = -1;

    // ---- The contract list (f_MainContracts.cpp) ----
    // The reload after an action changed data: with a contract id the contract list shows just that
    // contract; with -1 the list bound to the grid is reopened with its conditions.
    void reloadAtContract(int contractId);
    // Sets the action's enabled state; a manager's action (Tag 1) stays off for anybody else.
    void enableAction(QAction* action, bool value);
    // The search panel back to its defaults; the list is not reloaded.
    void resetFilterPanel();

private:
    void setupContractList();
    TolvLogic::TPenaltyContracts* shownContractList() const;
    int currentContractId() const;
    void applyContractFilter(TolvLogic::TPenaltyContracts* list);
    void selectContractList();
    void bindContractList(TolvLogic::TPenaltyContracts* list);
    // Follows the data sets of ContractsDS and OpsDS, whichever they are now.
    void watchDataSets();
    void openDetails();
    void ContractsDSDataChange();
    void timeForCalcPercentsTimer();
    void OpsDSDataChange();
    void applyContractActions(int contractId);
    void applyOperationActions(int opId);
    // Runs the action only when it is enabled and visible, as its menu item would.
    void triggerAction(const QString& name);
    void gr_ContractsGetCellParams(int row, const grid::Column& column, grid::CellStyle& style);
    void bt_ClientClick();
    void bt_AgentClick();
    QPointer<data::Dataset> watchedContracts_;
    QPointer<data::Dataset> watchedOps_;
    QMetaObject::Connection contractsLinks_[3];
    QMetaObject::Connection opsLinks_[3];
    int shownOpId_ = 0;
    int shownOpState_ = 255;
    // ---- end of the contract list ----

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createPanel();
    void FormClose();
    void FormDestroy();
    // Closes the connection, takes the path from the key of "DB", runs the login window; false when
    // it was cancelled (the program then ends).
    bool reloginOrEnd(const QString& pathKey);
    void step(const QString& name);
    // Fills "Текущий филиал" from the branch directory (the entries its menu click answers too).
    void fillBranchMenu(bool afterClick = false, int clickedId = 0);
    // FormShow 4 to 16: what follows an accepted login and a matching database version.
    void startSequence();

    QList<QMenu*> menus_;
    bool listsMade_ = false;
    bool closed_ = false;
    void addTexts();
    // The panel's labels, the pages' captions and the filter items in the interface language.
    void applyPanelTexts(int language);
    // Connects the menu "Регистратор" to the register object, once it exists.
    void bindFiscalMenu();
    // Runs a step whose failure must not stop the rest: its exception goes to the exception handler.
    static void guarded(const std::function<void()>& step);
    void FormCreate();
    // False when the program is to end.
    bool FormShow();

    ui::Translations texts_;
    std::function<void(const std::exception&)> previousExceptionHandler_;
    QList<QLabel*> panelLabels_;
    QString acceptedRole_;
    bool firstShowDone_ = false;
    bool started_ = false;
    // ---- Actions on contracts and operations: private part ----
    void connectContractActions();
    void addContractActTexts();
    void deleteSelectedContracts();
    // CONTRACT_ID of the selected row; -1 without one.
    int selectedContractId() const;
    int selectedField(const QString& name) const;
    void reopenOperations(bool toLast);
    ContractInfoFrame infoFrame_;
    // ---- end ----
};

// The program's main window while it lives (null otherwise).
extern TFMain* FMain;

// The global lists, made by TFMain::createGlobalLists and freed by TFMain::freeGlobalLists; null
// before the first and after the last. The gold tariffs are the program-wide holder of the contract
// layer (getGlobalGoldTarifs).
extern TolvLogic::TVersionConfig* globalVersionConfig;
extern TolvLogic::TClients* globalClients;
extern TolvLogic::TAgents* globalAgents;
extern TolvLogic::TPlaces* globalPlaces;
extern TolvLogic::TDepositTypes* globalDepositTypes;
extern TolvLogic::TPasportData* globalPasportData;
extern TolvLogic::DirWarrantes* globalDirWarrantes;

}  // namespace TolvMain
