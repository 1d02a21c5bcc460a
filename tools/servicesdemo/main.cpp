// Shows the additional services over a database as a user would see them: the services frame of a
// new contract with two services, or the directory of services in the generic directory form.
//   tolvanix-servicesdemo DATABASE frame|directory [--lang 1|2] [--hold MS [--grab FILE]]
// Nothing is stored: the frame's rows are rolled back and the directory is left with Cancel.
// With --hold the window closes by itself after that many milliseconds, saving a picture of itself
// first when --grab names a file.

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include "Book.h"
#include "fr_AddServices.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/fb/Database.h"
#include "platform/fb/Query.h"
#include "platform/os/Program.h"
#include "platform/ui/Form.h"
#include "platform/ui/QtDialogs.h"
#include "u_AddServices.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setProcessFormats();
    ui::installQtDialogs();
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        qCritical(
            "usage: tolvanix-servicesdemo DATABASE frame|directory [--lang 1|2] [--hold MS [--grab "
            "FILE.png]]");
        return 2;
    }
    const auto option = [&](const char* name, int fallback) {
        const int at = static_cast<int>(args.indexOf(QString::fromLatin1(name)));
        return at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
    };
    const int hold = option("--hold", 0);
    const int grabAt = static_cast<int>(args.indexOf(QStringLiteral("--grab")));
    const QString grab = grabAt > 0 && grabAt + 1 < args.size() ? args[grabAt + 1] : QString();
    ui::Form::setLanguage(option("--lang", 1));

    QTemporaryDir folder;
    os::setProgramFile(folder.filePath(QStringLiteral("tolvanix-servicesdemo")));
    QFile ini(folder.filePath(QStringLiteral("db.ini")));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
    ini.close();
    qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
    utl::SettingsFile::init(QStringLiteral("db.ini"), utl::tfpEXE_DIR);

    fb::Database db(args[1]);
    db.open();
    TolvMain::setZarvelDb(&db);
    if (hold > 0) {
        QTimer::singleShot(hold, [&] {
            if (auto* w = QApplication::activeModalWidget()) {
                if (!grab.isEmpty()) w->grab().save(grab);
                w->close();
            }
        });
    }
    if (args[2] == QLatin1String("directory")) {
        TolvLogic::DirAddServices directory(TolvLogic::astALL, nullptr);
        ufb::TBookForm book(nullptr, QString());
        book.showBook(0, &directory, QStringLiteral("Справочник дополнительных услуг"), false);
    } else {
        auto transaction = udb::createTransaction(&db);
        transaction->setDefaultAction(fb::TransactionAction::Rollback);
        {
            TolvLogic::NewContractService services(-1, core::DateTime::today(), transaction.get());
            services.setContrSum(1500.0, false);
            services.setContrPrice(2345.67, false);
            ui::Form dialogForm(QStringLiteral("FDemoServices"));
            dialogForm.setWindowTitle(QStringLiteral("Дополнительные услуги договора"));
            dialogForm.resize(340, 170);
            auto* box = new QGroupBox(QStringLiteral("Доп. услуги"), &dialogForm);
            auto* layout = new QVBoxLayout(&dialogForm);
            layout->addWidget(box);
            TFr_AddServicesList frame(&dialogForm, transaction.get(), box, &services);
            ufb::AutoQuery q(
                QStringLiteral(
                    "select first 2 ID, NAME from DIR_ADD_SERVICES where ID_EVENT = 0 order by ID"),
                transaction.get());
            q->open();
            for (; !q->eof(); q->next()) {
                services.addService(q->fieldByName(QStringLiteral("ID")).asInteger(),
                                    q->fieldByName(QStringLiteral("NAME")).asString());
            }
            dialogForm.showModal();
        }
        transaction->rollback();
    }
    TolvMain::setZarvelDb(nullptr);
    return 0;
}
