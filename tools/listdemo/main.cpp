// Shows the main window's contract list over a database in a real grid, with its two-row titles and
// the current principal of each contract, to look at it as a user would.
//   tolvanix-listdemo DATABASE [--grab FILE.png]   with --grab: saves a picture of the window and quits

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include "PenaltyContracts.h"
#include "kv_MainDb.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/fb/Database.h"
#include "platform/os/Program.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/QtDialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setProcessFormats();
    ui::installQtDialogs();
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        qCritical("usage: tolvanix-listdemo DATABASE [--grab FILE.png]");
        return 2;
    }
    // The list reads the interface language from the settings file beside the program.
    QTemporaryDir folder;
    os::setProgramFile(folder.filePath(QStringLiteral("tolvanix-listdemo")));
    QFile ini(folder.filePath(QStringLiteral("db.ini")));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
    ini.close();
    utl::SettingsFile::init(QStringLiteral("db.ini"), utl::tfpEXE_DIR);

    fb::Database db(args[1]);
    db.open();
    TolvMain::setZarvelDb(&db);
    int result = 0;
    {
        TolvLogic::TPenaltyContracts list(nullptr, true);
        list.open();

        QWidget form;
        form.setObjectName(QStringLiteral("FMain"));
        form.setWindowTitle(QStringLiteral("Договоры"));
        auto* layout = new QVBoxLayout(&form);
        auto* grid = new ui::DbGrid(grid::GridKind::Eh, &form);
        grid->setObjectName(QStringLiteral("gr_Contracts"));
        layout->addWidget(grid);
        grid::DataSource source(list.getDataSet());
        grid->setDataSource(&source);
        list.bindGridEh(grid);
        form.resize(1100, 460);
        form.show();

        const int grab = static_cast<int>(args.indexOf(QStringLiteral("--grab")));
        if (grab > 0 && grab + 1 < args.size()) {
            QTimer::singleShot(500, [&] {
                form.grab().save(args[grab + 1]);
                app.quit();
            });
        }
        result = app.exec();
    }
    TolvMain::setZarvelDb(nullptr);
    return result;
}
