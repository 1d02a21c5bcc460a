// Shows one of the desk's windows over a database, as a user would see it, in the interface language
// given: the clients (viewing), users or storage places (editing) in the generic directory form, the
// client card of a contract, the services frame of a new contract with the first two contract services
// of the directory (rolled back afterwards), or the directory of services (left with Cancel); and the
// contract windows the desk opens: the constant calculation parameters, the dollar-indexed interest of a
// contract on a day, the dollar rate of a branch and day (with its history part when asked).
//   tolvanix-deskdemo DATABASE clients|agents|places|card CONTRACT_ID|services|servicesdir [--lang 1|2]
//                     [--hold MS [--grab FILE]]
//   tolvanix-deskdemo DATABASE params | interest CONTRACT_ID DD.MM.YYYY | rate BRANCH_ID DD.MM.YYYY
//                     [--history]
//   tolvanix-deskdemo DATABASE payment CONTRACT_ID DD.MM.YYYY [SUM [KIND]] | operation CONTRACT_ID OP_ID |
//                     frame CONTRACT_ID DD.MM.YYYY [--calcexchange]
//   tolvanix-deskdemo DATABASE contract new [DD.MM.YYYY] | contract edit CONTRACT_ID [DD.MM.YYYY]
//   tolvanix-deskdemo DATABASE storage | props
// The storage fee field of a new contract (valuation 1000.00, loan 2500.00) with its dialog opened over
// it, and the dynamic property editor with rows enough for three columns.
// The operation dialog (a payment of the sum, or of the kind: 3 an increase) and the contract debt frame
// are shown over the database without saving anything (the dialog's transaction rolls back); the contract
// editor saves what its Save button is given.
// With --hold the window closes by itself after that many milliseconds (for pictures of the screen),
// saving a picture of itself first when --grab names a file.

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include "Book.h"
#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "PenaltyInfoFrameUnit.h"
#include "PenaltyOperationEdit.h"
#include "TClients.h"
#include "U_LoggedUser.h"
#include "Warrantcalculation.h"
#include "f_ClientInfo.h"
#include "f_ConstParams.h"
#include "f_Exchange.h"
#include "f_StorageTerms.h"
#include "f_ExchangeInfo.h"
#include "f_PenaltyOrderEdit.h"
#include "fr_AddServices.h"
#include "kvF_DynPropsEdit.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "kv_ReportSystem.h"
#include "kv_Translator.h"
#include "kv_Valuta.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/fb/Database.h"
#include "platform/grid/GridView.h"
#include "platform/os/IniFile.h"
#include "platform/os/Program.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/Form.h"
#include "platform/ui/QtDialogs.h"
#include "u_AddServices.h"
#include "u_OperationPayment.h"
#include "u_TolvReportSystem.h"
#include "u_VersionConfig.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>

namespace {

// A dialog of a new contract with its services frame over the first two contract services.
void showServicesFrame(fb::Database& db) {
    auto transaction = udb::createTransaction(&db);
    transaction->setDefaultAction(fb::TransactionAction::Rollback);
    TolvLogic::NewContractService services(-1, core::DateTime::today(), transaction.get());
    services.setContrSum(1500.0, false);
    services.setContrPrice(2345.67, false);
    ui::Form dialog(QStringLiteral("FDemoServices"));
    dialog.setWindowTitle(QStringLiteral("Дополнительные услуги договора"));
    dialog.resize(340, 170);
    auto* box = new QGroupBox(QStringLiteral("Доп. услуги"), &dialog);
    (new QVBoxLayout(&dialog))->addWidget(box);
    TFr_AddServicesList frame(&dialog, transaction.get(), box, &services);
    {
        ufb::AutoQuery q(
            QStringLiteral("select first 2 ID, NAME from DIR_ADD_SERVICES where ID_EVENT = 0 order by ID"),
            transaction.get());
        q->open();
        for (; !q->eof(); q->next()) {
            services.addService(q->fieldByName(QStringLiteral("ID")).asInteger(),
                                q->fieldByName(QStringLiteral("NAME")).asString());
        }
    }
    dialog.showModal();
}

// The document system's shipped folder beside the demo program, with the program's events.
void placeReportSystem(const QString& programDir) {
    const QString source = QString::fromUtf8(TOLV_SOURCE_DIR) + QStringLiteral("/resources/reportSystem");
    QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to =
            programDir + QStringLiteral("/reportSystem/") + QDir(source).relativeFilePath(from);
        QDir().mkpath(QFileInfo(to).path());
        QFile::copy(from, to);
    }
    TolvReports::createDocumentEvents(false);
}

void showOperation(fb::Database& db, const QStringList& args, const QString& programDir) {
    TolvMain::VuxSecur::setLoginHook([] { return TolvMain::VuxSecur::Login{QStringLiteral("SYSDBA"), {}}; });
    TolvLogic::installServicesFactory();
    TolvLogic::installWarrantCalculation();
    placeReportSystem(programDir);
    TolvLogic::TVersionConfig config(&db, true);
    TAddPenaltyOpForm form(nullptr, config);
    // The positional arguments end at the first option.
    QStringList words;
    for (const QString& a : args) {
        if (a.startsWith(QStringLiteral("--"))) break;
        words << a;
    }
    if (words[2] == QLatin1String("payment")) {
        core::DateTime date = core::DateTime::today();
        core::tryStrToDateTime(words[4], date);
        form.prepare(words[3].toInt(), -1, date, nullptr);
        if (words.size() > 6) form.cb_OpVid->setCurrentIndex(words[6].toInt());
        if (words.size() > 5) form.SumEdit->setValue(words[5].toDouble());
    } else {
        form.prepare(words[3].toInt(), words[4].toInt(), core::DateTime(), nullptr);
    }
    form.showModal();
    TolvMain::VuxSecur::setLoginHook({});
}

// The contract editor: a new contract for the date, or a stored one.
void showContract(fb::Database& db, const QStringList& args, const QString& programDir) {
    // The contract takes its agent from the login: a manager of the demonstration database.
    TolvMain::VuxSecur::setLoginHook([] {
        return TolvMain::VuxSecur::Login{QStringLiteral("MANAGER"), QStringLiteral("MASTERROLE")};
    });
    TolvLogic::installServicesFactory();
    TolvLogic::installWarrantCalculation();
    placeReportSystem(programDir);
    TolvLogic::TVersionConfig config(&db, true);
    TolvMain::TPenaltyOrderEditForm::setVersionConfig(&config);
    core::DateTime date = core::DateTime::today();
    if (args[3] == QLatin1String("new")) {
        if (args.size() > 4) core::tryStrToDateTime(args[4], date);
        TolvMain::TPenaltyOrderEditForm::scNewContract(date, nullptr);
    } else {
        if (args.size() > 5) core::tryStrToDateTime(args[5], date);
        TolvMain::TPenaltyOrderEditForm::scEditContract(args[4].toInt(), date);
    }
    TolvMain::TPenaltyOrderEditForm::setVersionConfig(nullptr);
    TolvMain::VuxSecur::setLoginHook({});
}

// The frame over the one contract, as the main window's contract list would hold it.
void showFrame(fb::Database& db, const QStringList& args) {
    if (args.contains(QStringLiteral("--calcexchange"))) {
        udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("CalcExchange"), 1);
    }
    ufb::AutoQuery rows(
        QStringLiteral("select C.CONTRACT_ID, C.CONTRACT_DATE, D.IS_USD_EXCHANGE, C.FILIAL_ID, "
                       "C.CONTRACT_NUM, CL.CLIENT_NAME from PENALTY_CONTRACTS C join "
                       "PENALTY_DEPOSITS D on D.CONTRACT_ID = C.CONTRACT_ID left join CLIENTS CL on "
                       "CL.CLIENT_ID = C.CLIENT_ID where C.CONTRACT_ID = ") +
            QString::number(args[3].toInt()),
        nullptr);
    rows->open();
    grid::DataSource source(rows.get());
    ui::Form window(QStringLiteral("FDemoDebtFrame"));
    window.setWindowTitle(QStringLiteral("Долг по договору"));
    auto* frame = new TPenaltyContractInfoFrame(&window, &source);
    (new QVBoxLayout(&window))->addWidget(frame);
    core::DateTime date = core::DateTime::today();
    core::tryStrToDateTime(args[4], date);
    frame->DebtDateEdit->setDate(date);
    frame->refreshDebt();
    window.resize(560, window.sizeHint().height());
    window.showModal();
    if (args.contains(QStringLiteral("--calcexchange"))) {
        udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("CalcExchange"), 0);
    }
}

// The fee field with its "..." over a new contract; the dialog opens by itself over it.
void showStorage(int hold, const QString& grab) {
    TolvLogic::TPenaltyContractInfo contract(nullptr);
    contract.setDepositInt(TolvLogic::TPenaltyContractInfo::dSUBJECT_PRICE, 100000);
    contract.setDepositInt(TolvLogic::TPenaltyContractInfo::dDEPOSIT_SUM, 250000);
    TolvLogic::StorageTypes types;
    TolvLogic::StorageTerms terms{3, 0.30, 3, true};
    ui::Form window(QStringLiteral("FDemoStorage"));
    window.setWindowTitle(QStringLiteral("Хранение"));
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Хранение"), &window));
    auto* fee = new ui::CurrencyEdit(&window);
    fee->setObjectName(QStringLiteral("e_Storage"));
    utl::Valuta::applyMoneyFormat(fee, QString());
    auto* button = new QPushButton(QStringLiteral("..."), &window);
    button->setFixedWidth(24);
    layout->addWidget(fee);
    layout->addWidget(button);
    TolvMain::addStorageMessages(window);
    TolvMain::StorageFeeField field(fee, button, contract, types, terms);
    field.setTexts(TolvMain::storageTexts(window));
    field.showStorage();
    window.resize(320, window.sizeHint().height());
    QTimer::singleShot(200, button, &QPushButton::click);
    if (hold > 0) {
        // The fee with its hint after the dialog, in a picture of its own ("-field" before ".png").
        QObject::connect(button, &QPushButton::clicked, &window, [&window, hold, grab] {
            QTimer::singleShot(hold, &window, [&window, grab] {
                if (!grab.isEmpty()) {
                    QString name = grab;
                    window.grab().save(name.replace(QStringLiteral(".png"), QStringLiteral("-field.png")));
                }
                window.close();
            });
        });
    }
    window.showModal();
}

// The property editor with one row of each kind and more, 4 units a column.
void showProps() {
    using namespace utl::DynProps;
    TFKVDynPropsEdit dialog(nullptr, 4, QStringLiteral("Свойства"));
    DynPropsEdit& p = dialog.props();
    p.add<ControlPrmsComboBox>(QStringLiteral("cb_Kind"), QStringLiteral("Вид"),
                               QStringLiteral("Первый|Второй|Третий"), 0);
    p.add<ControlPrmsInt>(QStringLiteral("e_Days"), QStringLiteral("Дней"), 30, QStringLiteral("Срок, сут."));
    p.add<ControlPrmsFloat>(QStringLiteral("e_Rate"), QStringLiteral("Ставка, %"), 2, 1234.5);
    p.add<ControlPrmsCheckBox>(QStringLiteral("cb_On"), QStringLiteral("Включено"), true);
    p.add<ControlPrmsFloat>(QStringLiteral("e_Price"), QStringLiteral("Цена"), 4, 0.1234);
    p.add<ControlPrmsCheckBox>(QStringLiteral("cb_Off"), QStringLiteral("Выключено"), false);
    p.build();
    dialog.showModal();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setProcessFormats();
    ui::installQtDialogs();
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        qCritical(
            "usage: tolvanix-deskdemo DATABASE clients|agents|places|card ID|services|servicesdir | params | "
            "interest ID DATE | rate BRANCH DATE | contract new [DATE] | contract edit ID [DATE] [--history] "
            "[--lang 1|2] [--hold MS [--grab FILE.png]]");
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
    for (const auto& [key, text] : TolvLogic::clientsTexts(language))
        KVLibTranslator::instance().set(key, text);
    for (const auto& [key, text] : TolvLogic::OperationPayment::scTexts(language))
        KVLibTranslator::instance().set(key, text);
    for (const auto& [key, text] : TolvLogic::ContractEditor::scTexts(language))
        KVLibTranslator::instance().set(key, text);

    // The lists read the interface language from the settings file beside the program: the demo's
    // own, in a folder of its own.
    QTemporaryDir folder;
    os::setProgramFile(folder.filePath(QStringLiteral("tolvanix-deskdemo")));
    QFile ini(folder.filePath(QStringLiteral("db.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[LANG_MASTER]\r\ninterfeyce_lang=" + QByteArray::number(language) + "\r\n");
    ini.close();
    qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
    utl::SettingsFile::init(QStringLiteral("db.ini"), utl::tfpEXE_DIR);
    if (args.contains(QStringLiteral("--history"))) {
        os::IniFile(utl::SettingsFile::userIniFileName())
            .writeBool(QStringLiteral("FExchange"), QStringLiteral("chbx_ExchangeHistory->Checked"), true);
    }

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
    {
        const QString what = args[2];
        ufb::TBookForm book(nullptr, QString());
        if (what == QLatin1String("clients")) {
            TolvLogic::TClients clients;
            book.showBook(1, &clients, QStringLiteral("Справочник клиентов"), false);
        } else if (what == QLatin1String("agents")) {
            TolvLogic::TAgents agents;
            book.showBook(0, &agents, QStringLiteral("Справочник агентов"), true);
        } else if (what == QLatin1String("places")) {
            TolvLogic::TPlaces places;
            book.showBook(0, &places, QStringLiteral("Справочник местонахождения залогов"), true);
        } else if (what == QLatin1String("card") && args.size() > 3) {
            TolvLogic::TPenaltyContractInfo contract(args[3].toInt(), nullptr);
            TFClientInfo card(nullptr, contract);
            card.showModal();
        } else if (what == QLatin1String("servicesdir")) {
            TolvLogic::DirAddServices directory(TolvLogic::astALL, nullptr);
            book.showBook(0, &directory, QStringLiteral("Справочник дополнительных услуг"), false);
        } else if (what == QLatin1String("services")) {
            showServicesFrame(db);
        } else if ((what == QLatin1String("payment") || what == QLatin1String("operation")) &&
                   args.size() > 4) {
            showOperation(db, args, folder.path());
        } else if (what == QLatin1String("contract") && args.size() > 3) {
            showContract(db, args, folder.path());
        } else if (what == QLatin1String("frame") && args.size() > 4) {
            showFrame(db, args);
        } else if (what == QLatin1String("storage")) {
            showStorage(hold, grab);
        } else if (what == QLatin1String("props")) {
            showProps();
        } else if (what == QLatin1String("params")) {
            TFConstParams::scExecute();
        } else if ((what == QLatin1String("rate") || what == QLatin1String("interest")) && args.size() > 4) {
            core::DateTime date = core::DateTime::today();
            core::tryStrToDateTime(args[4], date);
            if (what == QLatin1String("rate")) {
                TFExchange::scExecute(args[3].toInt(), date);
            } else {
                // A tool window, not modal: it runs in the application's loop.
                TFExchangeInfo window(nullptr, nullptr, date, args[3].toInt());
                window.show();
                if (hold > 0) {
                    QTimer::singleShot(hold, [&] {
                        if (!grab.isEmpty()) window.grab().save(grab);
                        window.close();
                    });
                }
                QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
                app.exec();
            }
        }
    }
    TolvMain::setZarvelDb(nullptr);
    return 0;
}
