// The main window's rights after a login, the reconnect that reloads everything, the change of user,
// the hidden switch to the second database and the lock.

#include <QAction>

#include "MainData.h"
#include "U_AutomateHelper.h"
#include "U_LoggedUser.h"
#include "f_Main.h"
#include "kv_FbDbIni.h"
#include "kv_FormHelpers.h"
#include "kv_MainDb.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Database.h"
#include "platform/fb/Error.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"
#include "u_PercCalc.h"
#include "u_TolvGlobal.h"

namespace TolvMain {

namespace {

// The PERMISSION keys that open single actions to agents, in the order they are read.
const struct {
    const char* key;
    const char* action;
} kPermissions[] = {
    {"CanAgentEditGoldTarif", "A_GoldTariff"},
    {"CanAgentMakeActs", "a_Acts"},
    {"CanAgentMakeGeneralReport", "A_genRep"},
    {"CanAgentMakeOtherReps", "OtherReportsAct"},
    {"CanAgentMakeExpReport", "A_repAccruals"},
    {"CanAgentMakePercReport", "A_repAccrualsPerc"},
    {"CanAgentWorkWithInventReport", "ShowInventReport"},
    {"CanAgentMakeAddServicesRep", "a_AddServiceRep"},
    {"CanAgentMakeSpreadsheetRep", "a_FilialSpreadSheet"},
    {"CanAgentExpExcelContracts", "a_Export2ExcelContracts"},
    {"CanAgentExpExcelSubject", "a_Export2ExcelSubjs"},
    {"CanAgentExportData", "a_ExportPenalty"},
    {"CanAgentImportData", "a_ImportPenalty"},
    {"CanAgentSeeExpHistory", "a_ExportHistory"},
    {"CanAgentSeeImpHistory", "a_ImportHistory"},
    {"CanAgentDoDataDump", "a_DataDump"},
};

}  // namespace

void TFMain::applyRights() {
    const bool master = VuxSecur::isMaster();
    for (QAction* a : actionList) {
        if (a->property("Tag").toInt() != 1) continue;
        a->setVisible(master);
        a->setEnabled(master);
    }
    if (!master) {
        for (const auto& p : kPermissions) {
            const bool open =
                udb::dbIniReadBool(QStringLiteral("PERMISSION"), QString::fromLatin1(p.key), false);
            QAction* a = action(QString::fromLatin1(p.action));
            a->setVisible(open);
            a->setEnabled(open);
        }
    }
    updateCaption();
    TolvGlobal::setCurrencyNaming();
    restoreDetailGridLayouts();
    QAction* backup = action(QStringLiteral("a_RunBackup"));
    backup->setVisible(isBackupAvailable());
    action(QStringLiteral("a_CheckBackup"))->setEnabled(backup->isVisible());
    gridTextHandler.reset();
    gridTextHandler = std::make_unique<GridMessageHandler>(gr_Contracts);
}

void TFMain::ReconnectActExecute() {
    const utl::AutoScreenCursor hourglass;
    fb::Database& db = *getZarvelDb();
    try {
        VuxSecur::reloadAgent();
        freeGlobalLists();
        if (db.connected()) db.close();
        // The settings stored in the database are read again too: others may have changed them.
        udb::dbIniDropCache();
        db.open();
    } catch (const std::exception& e) {
        // Nothing may run without the lists: the error, then a new login; its Cancel ends the program.
        freeGlobalLists();
        ui::showError(QString::fromUtf8(e.what()));
        if (!reloginOrEnd(QStringLiteral("PATH"))) return;
    }
    createGlobalLists();
    TolvLogic::PercCalc::scClearCache(-1);
    openContractList();
}

bool TFMain::reloginOrEnd(const QString& pathKey) {
    fb::Database& db = *getZarvelDb();
    if (db.connected()) db.close();
    setDatabasePath(pathKey);
    // The rights of the next login are read from the database it opens, maybe another one.
    udb::dbIniDropCache();
    if (!loginDialog.execute()) {
        ui::requestTerminate();
        return false;
    }
    return true;
}

void TFMain::ReloginActExecute() {
    if (!reloginOrEnd(QStringLiteral("PATH"))) return;
    ReconnectActExecute();
}

void TFMain::Relogin2ActExecute() {
    if (!reloginOrEnd(QStringLiteral("PATH2"))) return;
    ReconnectActExecute();
}

void TFMain::LockAppActExecute() {
    loginDialog.lockMode = true;
    const bool opened = loginDialog.execute();
    loginDialog.lockMode = false;
    if (!opened) ui::requestTerminate();
}

}  // namespace TolvMain
