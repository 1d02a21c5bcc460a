// The program: the application object, the windows' implementations of the seams the lower layers
// call, then the entry routine.

#include <QApplication>

#include "Book.h"
#include "Warrantcalculation.h"
#include "WinMain.h"
#include "kv_frForms.h"
#include "kv_progressBar.h"
#include "platform/fb/LockFolder.h"
#include "platform/ui/QtDialogs.h"
#include "u_AddServices.h"
#include "u_DeskWindows.h"
#include "u_CashBookPrinting.h"

int main(int argc, char** argv) {
    // Before the engine's first call; the database tool uses the same folder.
    fb::prepareLockFolder();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TOLV_VERSION));

    ui::installQtDialogs();
    TFrmProgressBar::install();
    ufb::TBookForm::installPicker();
    KassRegister::installFiscalRegisterForms();
    // The lower layers' hooks: the automatic cash orders of every change of money, and services priced
    // by formula for every contract event.
    TolvLogic::installWarrantCalculation();
    TolvLogic::installServicesFactory();
    // The desk's windows behind the main window's contract and operation actions.
    TolvMain::installDeskWindows();
    // The cash book window prints its cash orders through the document events.
    TolvReports::installCashBookPrinting();

    return TolvMain::WinMain();
}
