// Shows one of the contract layer's windows over a database, as a user would see it, in the interface
// language given: the constant calculation parameters, the dollar-indexed interest of a contract on a
// day, or the dollar rate of a branch and day (with its history part when asked).
//   tolvanix-contractformsdemo DATABASE params
//   tolvanix-contractformsdemo DATABASE interest CONTRACT_ID DD.MM.YYYY
//   tolvanix-contractformsdemo DATABASE rate BRANCH_ID DD.MM.YYYY [--history]
//       [--lang 1|2] [--hold MS [--grab FILE]]
// With --hold the window closes by itself after that many milliseconds (for pictures of the screen),
// saving a picture of itself first when --grab names a file.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "PenaltyContracts.h"
#include "f_ConstParams.h"
#include "f_Exchange.h"
#include "f_ExchangeInfo.h"
#include "kv_MainDb.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/fb/Database.h"
#include "platform/os/IniFile.h"
#include "platform/os/Program.h"
#include "platform/ui/Form.h"
#include "platform/ui/QtDialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setProcessFormats();
    ui::installQtDialogs();
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        qCritical(
            "usage: tolvanix-contractformsdemo DATABASE params | interest CONTRACT_ID DATE | rate BRANCH_ID "
            "DATE "
            "[--history] [--lang 1|2] [--hold MS [--grab FILE.png]]");
        return 2;
    }
    const auto option = [&](const char* name, int fallback) {
        const int at = static_cast<int>(args.indexOf(QString::fromLatin1(name)));
        return at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
    };
    const int language = option("--lang", 1);
    const int hold = option("--hold", 0);
    const int grabAt = static_cast<int>(args.indexOf(QStringLiteral("--grab")));
    const QString grab = grabAt > 0 && grabAt + 1 < args.size() ? args[grabAt + 1] : QString();
    ui::Form::setLanguage(language);

    // The directories read the interface language from the settings file beside the program: the
    // demo's own, in a folder of its own, which also keeps the per-user file.
    QTemporaryDir folder;
    os::setProgramFile(folder.filePath(QStringLiteral("tolvanix-contractformsdemo")));
    QFile ini(folder.filePath(QStringLiteral("db.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[LANG_MASTER]\r\ninterfeyce_lang=" + QByteArray::number(language) + "\r\n");
    ini.close();
    utl::SettingsFile::init(QStringLiteral("db.ini"), utl::tfpEXE_DIR);
    if (args.contains(QStringLiteral("--history"))) {
        os::IniFile(utl::SettingsFile::userIniFileName())
            .writeBool(QStringLiteral("FExchange"), QStringLiteral("chbx_ExchangeHistory->Checked"), true);
    }

    fb::Database db(args[1]);
    db.open();
    TolvMain::setZarvelDb(&db);
    const auto grabAndClose = [&](QWidget* w) {
        if (!w) return;
        if (!grab.isEmpty()) w->grab().save(grab);
        w->close();
    };
    if (hold > 0) QTimer::singleShot(hold, [&] { grabAndClose(QApplication::activeModalWidget()); });
    const QString what = args[2];
    core::DateTime date = core::DateTime::today();
    if (args.size() > 4) core::tryStrToDateTime(args[4], date);
    ui::runGuarded([&] {
        if (what == QLatin1String("params")) {
            TFConstParams::scExecute();
        } else if (what == QLatin1String("rate") && args.size() > 3) {
            TFExchange::scExecute(args[3].toInt(), date);
        } else if (what == QLatin1String("interest") && args.size() > 3) {
            // A tool window is not modal: it runs in the application's loop.
            TFExchangeInfo window(nullptr, nullptr, date, args[3].toInt());
            window.show();
            if (hold > 0) QTimer::singleShot(hold, [&] { grabAndClose(&window); });
            QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
            app.exec();
        }
    });
    TolvMain::setZarvelDb(nullptr);
    return 0;
}
