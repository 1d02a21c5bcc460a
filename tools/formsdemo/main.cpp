// Shows the library's shared windows as a user would see them: the generic directory form over an
// in-memory list of clients, the grid columns dialog, the grid export dialog and the login dialog.
//   tolvanix-formsdemo [--lang 1|2] [--grab FOLDER] [--export]
// With --grab it saves book.png, columns.png, export.png, login.png and login-rejected.png into the
// folder and quits; without it the windows open one after another for the hand. --export shows the
// grid export dialog alone.
//   tolvanix-formsdemo --cash DATABASE DD.MM.YYYY [--lang 1|2] [--grab FOLDER]
// shows the cash book of the current branch on that day over the database (the demo's); with --grab it
// saves cashbook.png, receipt.png, expense.png and automatic.png (the dialogs of a new receipt, a new
// expense and the day's first automatic order, left with Cancel) and quits.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "Book.h"
#include "CashBook.h"
#include "WarrantEdit.h"
#include "f_CashBook.h"
#include "kv_MainDb.h"
#include "platform/fb/Database.h"
#include "platform/ui/DateEdit.h"
#include <QComboBox>
#include "kvF_Login.h"
#include "kvF_SetGridColumns.h"
#include "kvF_xlExportGrid.h"
#include "kv_RxMemWrapper.h"
#include "kv_settingsFile.h"
#include "platform/core/Formats.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/QtDialogs.h"

namespace {

class Clients : public ufb::RxMemWrapper {
public:
    Clients() : RxMemWrapper(QStringLiteral("ID")) {
        addIntegerField(QStringLiteral("ID"))->setRequired(true);
        addStringField(QStringLiteral("CLIENT_NAME"), 80)->setRequired(true);
        addStringField(QStringLiteral("CITY"), 40);
        addStringField(QStringLiteral("PASSPORT"), 20);
        addColumnEh(QStringLiteral("ID"), 50, QStringLiteral("Код"));
        addColumnEh(QStringLiteral("CLIENT_NAME"), 220, QStringLiteral("Клиент|ФИО"));
        addColumnEh(QStringLiteral("CITY"), 110, QStringLiteral("Клиент|город"));
        addColumnEh(QStringLiteral("PASSPORT"), 90, QStringLiteral("Паспорт"));
        open();
        const char* rows[][3] = {
            {"Дем'яненко Олена Петрівна", "Київ", "СН 123456"},
            {"Литвин Іван Іванович", "Біла Церква", "ТТ 004512"},
            {"Ґонта Євген Олексійович", "Умань", "АЕ 771203"},
            {"Петров Пётр Сергеевич", "Харків", "МК 330019"},
            {"Шевчук Ярослава Юріївна", "Львів", "КС 582210"},
            {"Сидоренко Анна Ильинична", "Одеса", "КЕ 009871"},
            {"Ковальчук Богдан Миколайович", "Житомир", "ВМ 448120"},
            {"Їжакевич Зіновій Іванович", "Чернігів", "НО 112233"},
        };
        int id = 1;
        for (const auto& r : rows) {
            getDataSet()->append();
            getDataSet()->fieldByName(QStringLiteral("ID")).setValue(id++);
            getDataSet()->fieldByName(QStringLiteral("CLIENT_NAME")).setValue(QString::fromUtf8(r[0]));
            getDataSet()->fieldByName(QStringLiteral("CITY")).setValue(QString::fromUtf8(r[1]));
            getDataSet()->fieldByName(QStringLiteral("PASSPORT")).setValue(QString::fromUtf8(r[2]));
            getDataSet()->post();
        }
        getDataSet()->first();
    }
};

// Runs the step once a modal window of class W shows.
template <class W>
void whenShown(std::function<void(W&)> step) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        auto* w = dynamic_cast<W*>(QApplication::activeModalWidget());
        if (!w || !w->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        step(*w);
    });
    timer->start();
}

void settle(int ms) {
    QTimer wait;
    wait.setSingleShot(true);
    QEventLoop loop;
    QObject::connect(&wait, &QTimer::timeout, &loop, &QEventLoop::quit);
    wait.start(ms);
    loop.exec();
}

// The cash book over the database: looked at by hand, or its pictures taken.
int showCashBook(const QStringList& args, const QString& folder) {
    const int at = static_cast<int>(args.indexOf(QStringLiteral("--cash")));
    if (at + 2 >= args.size()) return 2;
    core::DateTime day = core::DateTime::today();
    core::tryStrToDateTime(args[at + 2], day);
    fb::Database db(args[at + 1]);
    db.open();
    TolvMain::setZarvelDb(&db);
    if (!folder.isEmpty()) {
        whenShown<TFCashBook>([folder](TFCashBook& book) {
            settle(300);
            book.grab().save(folder + QStringLiteral("/cashbook.png"));
            const auto dialog = [&](const char* name, const std::function<void(TFWarrantEdit&)>& prepare,
                                    const std::function<void()> open) {
                whenShown<TFWarrantEdit>([folder, name, prepare](TFWarrantEdit& d) {
                    prepare(d);
                    settle(200);
                    d.grab().save(folder + QLatin1Char('/') + QLatin1String(name));
                    d.bt_Cancel->click();
                });
                open();
            };
            dialog("receipt.png", [](TFWarrantEdit&) {}, [&] { book.bt_Add->click(); });
            dialog("expense.png", [](TFWarrantEdit& d) { d.cb_Type->setCurrentIndex(1); }, [&] { book.bt_Add->click(); });
            book.sheet()->getDataSet()->first();
            dialog("automatic.png", [](TFWarrantEdit&) {}, [&] { book.btn_Edit->click(); });
            book.btn_Close->click();
        });
    }
    TFCashBook::scShowCashBook(day);
    TolvMain::setZarvelDb(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setProcessFormats();
    ui::installQtDialogs();
    const QStringList args = app.arguments();
    const int lang = static_cast<int>(args.indexOf(QStringLiteral("--lang")));
    if (lang > 0 && lang + 1 < args.size()) ui::Form::setLanguage(args[lang + 1].toInt());
    const int grabAt = static_cast<int>(args.indexOf(QStringLiteral("--grab")));
    const QString folder = grabAt > 0 && grabAt + 1 < args.size() ? args[grabAt + 1] : QString();
    const bool grab = !folder.isEmpty();
    if (grab) {
        QDir().mkpath(folder);
        // The demo's per-user file stays out of the user's own.
        qputenv("XDG_CONFIG_HOME", QDir(folder).absolutePath().toUtf8());
    }

    if (args.contains(QStringLiteral("--cash"))) return showCashBook(args, folder);

    Clients clients;
    {
        // The client list exported into a copy of the contract list template.
        QWidget window;
        window.resize(640, 420);
        ui::DbGrid grid(grid::GridKind::Eh, &window);
        grid.setColumns({{.fieldName = QStringLiteral("ID"), .title = QStringLiteral("Код")},
                         {.fieldName = QStringLiteral("CLIENT_NAME"), .title = QStringLiteral("Клиент")},
                         {.fieldName = QStringLiteral("CITY"), .title = QStringLiteral("Город")},
                         {.fieldName = QStringLiteral("PASSPORT"), .title = QStringLiteral("Паспорт")}});
        grid::DataSource source(clients.getDataSet());
        grid.setDataSource(&source);
        window.show();
        QTemporaryDir out;
        if (grab) {
            whenShown<ufb::TF_xlExportGrid>([&](ufb::TF_xlExportGrid& d) {
                d.chLBox->item(3)->setCheckState(Qt::Unchecked);
                d.chLBox->setCurrentRow(1);
                settle(200);
                d.grab().save(folder + QStringLiteral("/export.png"));
                d.b_Cancel->click();
            });
        }
        ufb::TF_xlExportGrid::scExportGrid(
            &grid, app.applicationDirPath() + QStringLiteral("/reports/contractList.xlsx"),
            out.filePath(QStringLiteral("contractList.xlsx")), 0, QStringLiteral("$A$1"),
            QStringLiteral("$A$2"));
        if (args.contains(QStringLiteral("--export"))) return 0;
    }
    {
        ufb::TBookForm book(nullptr, QStringLiteral("formsdemo"));
        if (grab) {
            whenShown<ufb::TBookForm>([&](ufb::TBookForm& f) {
                f.DataSource1.dataSet()->setRecNo(2);
                settle(200);
                f.grab().save(folder + QStringLiteral("/book.png"));
                whenShown<ufb::TFSetGridColumns>([&](ufb::TFSetGridColumns& d) {
                    d.chLstBx_Columns->setCurrentRow(2);
                    settle(200);
                    d.grab().save(folder + QStringLiteral("/columns.png"));
                    d.Button1->click();
                });
                f.bt_SetGrid->click();
                f.bt_Cancel->click();
            });
        }
        book.showBook(1, &clients, QString(), true);
    }

    utl::KVLoginDialog login;
    login.onCheckUser = [](const QString& user, const QString& password) {
        return user == QStringLiteral("MANAGER") && password == QStringLiteral("masterkey");
    };
    if (grab) {
        whenShown<utl::TFKVLogin>([&](utl::TFKVLogin& f) {
            f.e_Name->setText(QStringLiteral("MANAGER"));
            settle(200);
            f.grab().save(folder + QStringLiteral("/login.png"));
            f.e_Pass->setText(QStringLiteral("wrong"));
            f.bt_OK->click();
            settle(800);  // the shake is over
            f.grab().save(folder + QStringLiteral("/login-rejected.png"));
            f.bt_Cancel->click();
        });
    }
    login.execute();
    return 0;
}
