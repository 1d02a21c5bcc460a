// The main window's life: the start sequence after the login, the global lists the program works on,
// what the close keeps, the caption and the date the window works as of.

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenu>
#include <QTabWidget>

#include "MainData.h"
#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "PenaltyWarrantTemplates.h"
#include "TClients.h"
#include "U_LoggedUser.h"
#include "f_Main.h"
#include "kv_DbGridUtl.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/grid/GridView.h"
#include "platform/os/IniFile.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/Translations.h"
#include "u_PercCalc.h"
#include "u_VersionConfig.h"
#include "u_filials.h"

namespace TolvMain {

TolvLogic::TVersionConfig* globalVersionConfig = nullptr;
TolvLogic::TClients* globalClients = nullptr;
TolvLogic::TAgents* globalAgents = nullptr;
TolvLogic::TPlaces* globalPlaces = nullptr;
TolvLogic::TDepositTypes* globalDepositTypes = nullptr;
TolvLogic::TPasportData* globalPasportData = nullptr;
TolvLogic::DirWarrantes* globalDirWarrantes = nullptr;

namespace {

const QString kSection = QStringLiteral("FMain");

TFMain::StepRecorder& stepRecorder() {
    static TFMain::StepRecorder recorder;
    return recorder;
}

template <typename T>
void deleteGlobal(T*& global) {
    delete global;
    global = nullptr;
}

}  // namespace

void TFMain::setStepRecorder(StepRecorder recorder) {
    stepRecorder() = std::move(recorder);
}

void TFMain::step(const QString& name) {
    if (stepRecorder()) stepRecorder()(name);
}

// Members filled by the units of the wizard, the text keys, the services and the contract info frame.
void TFMain::runLangWizard() {
    step(QStringLiteral("runLangWizard"));
}
void TFMain::registerTextKeys() {
    step(QStringLiteral("registerTextKeys"));
}
void TFMain::createAddServices() {
    step(QStringLiteral("createAddServices"));
}
void TFMain::recalcDebt() {
    step(QStringLiteral("recalcDebt"));
    if (infoFrame_.recalcDebt) infoFrame_.recalcDebt();
}

void TFMain::startSequence() {
    // First start: the language wizard.
    const bool firstStart =
        utl::SettingsFile::readInt(QStringLiteral("LANG_MASTER"), QStringLiteral("is_showed_once"), 0) == 0;
    if (firstStart) runLangWizard();
    const int language = ui::Translations::language();
    NLang_rus->setChecked(language == 1);
    NLang_ukr->setChecked(language == 2);
    applyActionTexts(language);
    registerTextKeys();
    setDocumentLanguages();
    createDocumentEvents(firstStart);
    createAddServices();
    step(QStringLiteral("scCreateFR"));
    fiscalRegister = KassRegister::FiscalRegister::scCreateFR(0);
    bindFiscalMenu();
    createGlobalLists();
    utl::DbGridUtl::restoreGridLayout(*gr_Contracts, contractGridSuffix(),
                                      utl::SettingsFile::userIniFileName());
    restoreDetailGridLayouts();
    recalcDebt();
    // The start always shows all contracts of all branches.
    cb_contrFilter->setCurrentIndex(0);
    combo_FilialFilter->setKeyValue(0);
    openContractList();
    data::Dataset* contracts = ContractsDS->dataSet();
    data::Dataset* ops = OpsDS->dataSet();
    auto keyOf = [](data::Dataset* set, const QString& field) {
        if (!set || !set->active() || set->isEmpty()) return 0;
        data::Field* f = set->findField(field);
        return f ? f->asInteger() : 0;
    };
    updateContractActions(keyOf(contracts, QStringLiteral("CONTRACT_ID")));
    updateOperationActions(keyOf(ops, QStringLiteral("OP_ID")));
}

void TFMain::createGlobalLists() {
    step(QStringLiteral("createGlobalLists"));
    fb::Database* db = getZarvelDb();
    // Marked first: lists made before a failure are freed like the rest.
    listsMade_ = true;
    globalVersionConfig = new TolvLogic::TVersionConfig(db, VuxSecur::isMaster());
    globalClients = new TolvLogic::TClients(db);
    globalAgents = new TolvLogic::TAgents(db);
    globalPlaces = new TolvLogic::TPlaces(db);
    globalDepositTypes = new TolvLogic::TDepositTypes(db);
    globalPasportData = new TolvLogic::TPasportData(db);
    globalDirWarrantes = new TolvLogic::DirWarrantes();
    TolvLogic::setGlobalGoldTarifs(new TolvLogic::GoldTarifs(db));

    // The list the contract filter chooses.
    TolvLogic::TPenaltyContracts* shown = globalVersionConfig->getContracts();
    if (isDebtorsFilter())
        shown = globalVersionConfig->getDebitors();
    else if (isInActFilter())
        shown = globalVersionConfig->getInActs();
    ContractsDS->setDataSet(shown->getDataSet());
    gr_Contracts->setDataSource(ContractsDS.get());
    createContractInfoFrame();

    // The branch filter source made anew.
    combo_FilialFilter->setListSource(nullptr);
    branchDir = std::make_unique<TolvLogic::FilialsDir>(db);
    ds_FilialFilter = std::make_unique<grid::DataSource>(branchDir->getDataSet());
    combo_FilialFilter->setListSource(ds_FilialFilter->dataSet());
    if (combo_FilialFilter->keyValue().isEmpty()) combo_FilialFilter->setKeyValue(0);
    // The stored branch filter, applied without reopening the contract list.
    refreshBranchFilter(os::IniFile(utl::SettingsFile::userIniFileName())
                            .readInt(kSection, QStringLiteral("combo_FilialFilter"), 0));

    // A register that does not answer is handled as anywhere else; the lists stay made.
    if (utl::SettingsFile::readBool(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRisEnabled"), false))
        guarded([this] { startFiscalRegister(); });
    else
        mFR->menuAction()->setVisible(false);
    updateCaption();
}

void TFMain::freeGlobalLists() {
    step(QStringLiteral("freeGlobalLists"));
    if (!listsMade_) return;
    listsMade_ = false;
    ContractsDS->setDataSet(nullptr);
    OpsDS->setDataSet(nullptr);
    SalesDS->setDataSet(nullptr);
    ds_AddServices->setDataSet(nullptr);
    for (ui::DbGrid* g : {gr_Contracts, gr_Ops, gr_Sales, greh_AddServices}) g->setDataSource(nullptr);
    combo_FilialFilter->setListSource(nullptr);
    if (branchDir) branchDir->close();
    ds_FilialFilter.reset();
    branchDir.reset();
    if (N_CurFilial) N_CurFilial->clear();
    if (globalVersionConfig) {
        globalVersionConfig->getContracts()->close();
        globalVersionConfig->getOperations()->close();
        globalVersionConfig->getDebitors()->close();
        globalVersionConfig->getInActs()->close();
    }
    deleteGlobal(globalClients);
    deleteGlobal(globalAgents);
    deleteGlobal(globalVersionConfig);
    deleteGlobal(globalPlaces);
    deleteGlobal(globalDepositTypes);
    deleteGlobal(globalPasportData);
    deleteGlobal(globalDirWarrantes);
    TolvLogic::GoldTarifs* tarifs = TolvLogic::getGlobalGoldTarifs();
    TolvLogic::setGlobalGoldTarifs(nullptr);
    delete tarifs;
    if (fiscalRegister) fiscalRegister->close();
    // The grids show their design-time columns until the next lists come.
    for (ui::DbGrid* g : {gr_Contracts, gr_Ops, gr_Sales, greh_AddServices}) g->setDataSource(nullptr);
    gr_Contracts->setDataSource(ContractsDS.get());
    gr_Ops->setDataSource(OpsDS.get());
    gr_Sales->setDataSource(SalesDS.get());
    greh_AddServices->setDataSource(ds_AddServices.get());
}

void TFMain::refreshBranchFilter(int filialId) {
    const core::Variant kept = combo_FilialFilter->keyValue();
    branchDir->close();
    branchDir->open();
    fillBranchMenu();
    if (filialId == -1)
        combo_FilialFilter->setKeyValue(kept);
    else
        combo_FilialFilter->setKeyValue(filialId);
}

void TFMain::fillBranchMenu(bool afterClick, int clickedId) {
    N_CurFilial->clear();
    if (!branchDir) return;
    const auto entries = afterClick ? branchDir->menuItemClick(clickedId) : branchDir->fillMenu();
    for (const auto& entry : entries) {
        QAction* item = N_CurFilial->addAction(entry.caption);
        item->setCheckable(true);
        item->setChecked(entry.checked);
        item->setData(entry.id);
        const int id = entry.id;
        // Rebuilt after the click, so the menu is refilled once the click has been handled.
        connect(item, &QAction::triggered, this, [this, id] {
            QMetaObject::invokeMethod(
                this, [this, id] { guarded([this, id] { fillBranchMenu(true, id); }); },
                Qt::QueuedConnection);
        });
    }
}

QString TFMain::contractGridSuffix() const {
    data::Dataset* shown = ContractsDS ? ContractsDS->dataSet() : nullptr;
    if (!shown || !globalVersionConfig) return QStringLiteral("_unknown");
    if (shown == globalVersionConfig->getDebitors()->getDataSet()) return QStringLiteral("_debitors");
    if (shown == globalVersionConfig->getInActs()->getDataSet()) return QStringLiteral("_contractsInAct");
    if (shown == globalVersionConfig->getContracts()->getDataSet()) return QStringLiteral("_contracts");
    return QStringLiteral("_unknown");
}

void TFMain::restoreDetailGridLayouts() {
    const QString ini = utl::SettingsFile::userIniFileName();
    for (ui::DbGrid* g : {gr_Ops, greh_AddServices, gr_Sales})
        utl::DbGridUtl::restoreGridLayout(*g, QString(), ini);
}

bool TFMain::isDebtorsFilter() const {
    return cb_contrFilter->currentIndex() == 5;
}
bool TFMain::isInActFilter() const {
    return cb_contrFilter->currentIndex() == 7;
}

void TFMain::FormClose() {
    const QString ini = utl::SettingsFile::userIniFileName();
    const core::Variant branch = combo_FilialFilter->keyValue();
    os::IniFile(ini).writeInt(kSection, QStringLiteral("combo_FilialFilter"),
                              branch.isEmpty() ? 0 : branch.toInt());
    utl::DbGridUtl::saveGridLayout(*gr_Contracts, contractGridSuffix(), ini);
    for (ui::DbGrid* g : {gr_Ops, greh_AddServices, gr_Sales})
        utl::DbGridUtl::saveGridLayout(*g, QString(), ini);
    freeGlobalLists();
}

void TFMain::closeEvent(QCloseEvent* event) {
    // Only a window whose start ran to its end has anything to keep.
    if (started_ && !closed_) {
        closed_ = true;
        FormClose();
    }
    QMainWindow::closeEvent(event);
}

void TFMain::FormDestroy() {
    // A termination skips the close: free what the start made all the same, keeping nothing.
    if (listsMade_) freeGlobalLists();
    fiscalRegister.reset();
}

void TFMain::updateCaption() {
    QString file = getZarvelDb()->databaseName();
    file = file.mid(std::max({file.lastIndexOf(u'/'), file.lastIndexOf(u'\\'), file.lastIndexOf(u':')}) + 1);
    QString caption = message(QStringLiteral("IDS_49")) + VuxSecur::getLogin() + QStringLiteral(" [") + file +
                      QStringLiteral("] ");
    if (fiscalRegister && fiscalRegister->isConnected()) caption += message(QStringLiteral("IDS_50"));
    setWindowTitle(caption);
}

core::DateTime TFMain::workDate() const {
    // A manager works as of the info frame's debt date once the frame exists; everybody else as of
    // today.
    if (VuxSecur::isMaster() && infoFrame_.debtDate) {
        const core::DateTime date = infoFrame_.debtDate();
        if (!date.isZero()) return date;
    }
    return core::DateTime::today();
}

bool TFMain::isBackupAvailable() const {
    return udb::isLocalServer(
        utl::SettingsFile::readString(QStringLiteral("DB"), QStringLiteral("PATH"), QString()));
}

}  // namespace TolvMain
