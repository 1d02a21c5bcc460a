// The main window's action list, menus and tool bar: every action with its captions in the two
// interface languages, shortcuts, category and Tag (1 marks the manager's actions that the rights
// hide from agents), and the places where the menus and the tool bar show them.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include "f_CashBook.h"
#include "f_Main.h"

namespace TolvMain {

namespace {

struct ActionSpec {
    const char* name;
    const char* ru;
    const char* uk;
    const char* shortcuts;  // ";"-separated
    const char* category;
    int tag;
};

// The categories the contract list's enabling walks by name.
constexpr const char* kContracts = "Договоры";
constexpr const char* kOperations = "Операции";
constexpr const char* kSale = "Реализация";
constexpr const char* kBooks = "Справочники";
constexpr const char* kReports = "Отчеты";
constexpr const char* kService = "Сервис";
constexpr const char* kApp = "App";
constexpr const char* kRegister = "Регистратор";
constexpr const char* kHelp = "Помощь";

const ActionSpec kActions[] = {
    // Contracts, operations and sale.
    {"CreateContractAct", "Новый договор", "Новий договір", "Alt+N;Alt+F3", kContracts, 0},
    {"EditContractAct", "Редактировать договор", "Редагувати договір", "Alt+E;Alt+F4", kContracts, 1},
    {"DeleteContractAct", "Удалить договор", "Видалити договір", "Alt+D;Alt+F8", kContracts, 1},
    {"AddOpAct", "Новая операция", "Нова операція", "Ctrl+N;F3", kOperations, 0},
    {"EditOpAct", "Редактировать операцию", "Редагувати операцію", "Ctrl+E;F4", kOperations, 1},
    {"DeleteOpAct", "Удалить операцию", "Видалити операцію", "Ctrl+D;F8", kOperations, 1},
    {"AddToSaleAct", "Выставление на реализацию", "Виставлення на реалізацію", "Alt+R", kSale, 0},
    {"DeleteToSaleAct", "Снять с реализации", "Зняти з реалізації", "Ctrl+R", kSale, 0},
    {"AddSaleAct", "Реализация залога", "Реалізація застави", "Alt+S", kSale, 0},
    {"SendToArchive", "Отправить в архив", "Відправити в архів", "", kContracts, 0},
    {"GetFormArchive", "Вернуть из архива", "Повернути з архіву", "", kContracts, 0},
    {"ZayavlAct", "Заявление на отсрочку", "Заява на відстрочку", "", kContracts, 0},
    {"ZayavlDelAct", "Удалить заявление", "Видалити заяву", "", kContracts, 0},
    {"a_ReopenContractManual", "Принудительно открыть", "Примусово відкрити", "", kContracts, 1},
    {"a_CloseContractManual", "Принудительно закрыть", "Примусово закрити", "", kContracts, 1},
    // Directories.
    {"ClientsBookAct", "Клиенты", "Клієнти", "Alt+C", kBooks, 0},
    {"AgentsBookAct", "Агенты", "Агенти", "Alt+A", kBooks, 1},
    {"PlaceBookAct", "Местонахождение залогов", "Місцезнаходження застав", "Alt+W", kBooks, 0},
    {"A_SubectsBook", "Предметы залога", "Предмети застави", "", kBooks, 0},
    {"A_PassportData", "Кем выдан паспорт", "Ким виданий паспорт", "", kBooks, 0},
    {"a_DragMeType", "Типы драг.металлов", "Типи дорог.металів", "", kBooks, 1},
    {"A_GoldTariff", "Цены на драг.металлы", "Ціни на дорог.метали", "", kBooks, 1},
    {"a_AddServices", "Дополнительные услуги", "Додаткові послуги", "", kBooks, 0},
    {"A_WarrantesTypes", "Шаблоны ордеров", "Шаблони ордерів", "", kBooks, 0},
    {"a_DirFilial", "Филиалы", "Філії", "", kBooks, 1},
    {"ShowFinCompanyInfo", "Информация о предприятии", "Інформація про підприємство", "", kBooks, 1},
    // Reports.
    {"ShowPercReport", "Расчет процентов", "Розрахунок відсотків", "Ctrl+P", kReports, 1},
    {"ShowDebitorsRep", "Залоги к реализации", "Застави до реалізації", "", kReports, 1},
    {"OtherReportsAct", "Другие", "Інші", "", kReports, 1},
    {"A_genRep", "Общий отчет", "Загальний звіт", "", kReports, 1},
    {"A_repBookOps", "Книга операций", "Книга операцій", "", kReports, 1},
    {"A_repAccruals", "Начисления за пользование займом", "Нарахування за користування позикою", "", kReports,
     1},
    {"A_repAccrualsPerc", "Налоговые начисления процентов", "Податкові нарахування відсотків", "", kReports,
     1},
    {"ShowInventReport", "Инвентаризационная ведомость", "Інвентаризаційна відомість", "", kReports, 1},
    {"ShowWareReport", "Складская ведомость", "Складська відомість", "", kReports, 1},
    {"ShowUserLogsReport", "Логирование", "Логування", "", kReports, 1},
    {"a_FilialSpreadSheet", "Сводная ведомость", "Зведена відомість", "", kReports, 0},
    {"a_AddServiceRep", "Доп.услуги за период", "Дод.послуги за період", "", kReports, 0},
    {"ShowFinReports", "Финансовые отчеты", "Фінансові звіти", "", kReports, 1},
    // Service.
    {"A_CashBook", "Кассовая книга", "Касова книга", "", kService, 0},
    {"a_Export2ExcelContracts", "Экспорт в Excel списка договоров", "Експорт в Excel списку договорів", "",
     kService, 1},
    {"a_Export2ExcelSubjs", "Экспорт в Excel списка предметов залога",
     "Експорт в Excel списку предметів застави", "", kService, 1},
    {"a_ExportPenalty", "Экспорт данных", "Експорт даних", "", kService, 1},
    {"a_ImportPenalty", "Импорт данных", "Імпорт даних", "", kService, 1},
    {"a_ExportHistory", "История экспорта", "Історія експорту", "", kService, 1},
    {"a_ImportHistory", "История импорта", "Історія імпорту", "", kService, 1},
    {"a_DataDump", "Выгрузка данных (для бухгалтерских программ)",
     "Вивантаження даних (для бухгалтерських програм)", "", kService, 0},
    {"a_Acts", "Акты на реализацию", "Акти на реалізацію", "", kService, 1},
    {"a_Parcels", "Посылки в Гос. Сокровищницу", "Посилки до Держ. Скарбниці", "", kService, 1},
    // Application.
    {"LockAppAct", "Заблокировать", "Заблокувати", "Ctrl+L", kApp, 0},
    {"ReloginAct", "Смена агента", "Зміна агента", "Shift+Ctrl+A", kApp, 0},
    {"ReconnectAct", "Обновить данные", "Оновити дані", "F5", kApp, 0},
    {"Relogin2Act", "", "", "Shift+Ctrl+Z", kApp, 0},
    {"a_LangMaster", "Мастер настройки версии", "Майстер налаштування версії", "", kApp, 0},
    {"A_ReportSettings", "Настройка документов", "Налаштування документів", "", kApp, 1},
    {"ShowSettingsAct", "Настройки", "Налаштування", "", kApp, 1},
    {"a_RunBackup", "Резервная копия БД", "Резервна копія БД", "", kApp, 0},
    {"a_CheckBackup", "", "", "", kApp, 0},
    {"ExitAct", "Выход", "Вихід", "Alt+X", kApp, 0},
    // Fiscal register.
    {"a_SlyzhIz", "Служебное изъятие", "Службове вилучення", "", kRegister, 0},
    {"a_SlyzhVnes", "Служебное внесение", "Службове внесення", "", kRegister, 0},
    {"a_printNullCheck", "Нулевой чек", "Нульовий чек", "", kRegister, 0},
    {"a_printXOtchet", "X – отчет", "X – звіт", "", kRegister, 0},
    {"a_printZOtchet", "Z – отчет", "Z – звіт", "", kRegister, 0},
    {"a_printZOtchetZaPeriod", "Z – отчет за период", "Z – звіт за період", "", kRegister, 0},
    {"a_printVozvrCheck", "Возвратный чек", "Зворотний чек", "", kRegister, 0},
    {"a_registerSettings", "Настройки", "Налаштування", "", kRegister, 1},
    {"a_registerPoSettings", "Настройки ПО", "Налаштування ПЗ", "", kRegister, 1},
    // Help.
    {"helpAct", "Содержание справки", "Зміст довідки", "F1", kHelp, 0},
    {"aboutAct", "О программе", "Про програму", "", kHelp, 0},
};

struct MenuSpec {
    const char* name;
    const char* ru;
    const char* uk;
    std::initializer_list<const char*> items;  // action names, "-" a separator, "*" a submenu place
};

}  // namespace

void TFMain::createActions() {
    for (const ActionSpec& spec : kActions) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(spec.name));
        a->setText(QString::fromUtf8(spec.ru));
        a->setProperty("category", QString::fromUtf8(spec.category));
        a->setProperty("Tag", spec.tag);
        a->setProperty("caption_ru", QString::fromUtf8(spec.ru));
        a->setProperty("caption_uk", QString::fromUtf8(spec.uk));
        QList<QKeySequence> keys;
        for (const QString& k : QString::fromLatin1(spec.shortcuts).split(u';', Qt::SkipEmptyParts))
            keys << QKeySequence(k);
        a->setShortcuts(keys);
        // Shortcuts of actions without a menu entry act through the window itself.
        addAction(a);
        actionList.push_back(a);
    }
    const struct {
        const char* name;
        const char* ru;
        const char* uk;
    } hints[] = {
        {"LockAppAct", "Заблокировать приложение", "Заблокувати програму"},
        {"ReloginAct", "Сменить текущего пользователя программы", "Змінити поточного користувача програми"},
        {"ReconnectAct", "Обновить данные, измененные другими пользователями",
         "Оновити дані, змінені іншими користувачами"},
    };
    for (const auto& h : hints) {
        QAction* a = action(QString::fromLatin1(h.name));
        a->setProperty("hint_ru", QString::fromUtf8(h.ru));
        a->setProperty("hint_uk", QString::fromUtf8(h.uk));
        a->setToolTip(QString::fromUtf8(h.ru));
    }
    action(QStringLiteral("ExitAct"))->setMenuRole(QAction::NoRole);

    // What escapes a handler goes to the application's exception handler.
    const std::pair<const char*, void (TFMain::*)()> handlers[] = {
        {"ReconnectAct", &TFMain::ReconnectActExecute},
        {"Relogin2Act", &TFMain::Relogin2ActExecute},
        {"ReloginAct", &TFMain::ReloginActExecute},
        {"LockAppAct", &TFMain::LockAppActExecute},
    };
    for (const auto& [name, handler] : handlers)
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    connect(action(QStringLiteral("ExitAct")), &QAction::triggered, this, [this] { close(); });
    // The cash book of the working date.
    connect(action(QStringLiteral("A_CashBook")), &QAction::triggered, this,
            [this] { guarded([this] { TFCashBook::scShowCashBook(workDate()); }); });
}

QAction* TFMain::action(const QString& name) const {
    for (QAction* a : actionList)
        if (a->objectName() == name) return a;
    return nullptr;
}

void TFMain::createMenus() {
    const MenuSpec menus[] = {
        {"mApp",
         "Приложение",
         "Програма",
         {"LockAppAct", "ReloginAct", "ReconnectAct", "-", "*N_Lang", "a_LangMaster", "A_ReportSettings",
          "ShowSettingsAct", "-", "a_RunBackup", "-", "ExitAct"}},
        {"mContracts",
         "Договоры",
         "Договори",
         {"CreateContractAct",
          "EditContractAct",
          "DeleteContractAct",
          "-",
          "AddOpAct",
          "EditOpAct",
          "DeleteOpAct",
          "-",
          "AddToSaleAct",
          "DeleteToSaleAct",
          "-",
          "AddSaleAct",
          "-",
          "a_ReopenContractManual",
          "a_CloseContractManual",
          "-",
          "SendToArchive",
          "GetFormArchive",
          "-",
          "ZayavlAct",
          "ZayavlDelAct"}},
        {"mBooks",
         "Справочники",
         "Довідники",
         {"ClientsBookAct", "AgentsBookAct", "PlaceBookAct", "A_SubectsBook", "A_PassportData",
          "a_DragMeType", "A_GoldTariff", "a_AddServices", "A_WarrantesTypes", "a_DirFilial", "*N_CurFilial",
          "ShowFinCompanyInfo"}},
        {"N_Reports",
         "Отчеты",
         "Звіти",
         {"-", "A_genRep", "A_repBookOps", "a_AddServiceRep", "ShowInventReport", "a_FilialSpreadSheet",
          "ShowWareReport", "ShowDebitorsRep", "A_repAccruals", "A_repAccrualsPerc", "ShowPercReport",
          "ShowUserLogsReport", "OtherReportsAct", "-", "ShowFinReports"}},
        {"mService",
         "Сервис",
         "Сервіс",
         {"A_CashBook", "a_Export2ExcelContracts", "a_Export2ExcelSubjs", "-", "a_ExportPenalty",
          "a_ImportPenalty", "-", "a_ExportHistory", "a_ImportHistory", "-", "a_DataDump", "-", "a_Acts",
          "a_Parcels"}},
        {"mFR",
         "Регистратор",
         "Реєстратор",
         {"a_SlyzhIz", "a_SlyzhVnes", "-", "a_printNullCheck", "a_printXOtchet", "a_printZOtchet",
          "a_printZOtchetZaPeriod", "-", "a_registerSettings", "a_registerPoSettings"}},
        {"mHelp", "Помощь", "Допомога", {"helpAct", "aboutAct"}},
    };
    for (const MenuSpec& spec : menus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(spec.ru));
        menu->setObjectName(QString::fromLatin1(spec.name));
        menu->setProperty("caption_ru", QString::fromUtf8(spec.ru));
        menu->setProperty("caption_uk", QString::fromUtf8(spec.uk));
        menus_.push_back(menu);
        for (const char* item : spec.items) {
            const QString name = QString::fromLatin1(item);
            if (name == u'-') {
                menu->addSeparator();
            } else if (name == QStringLiteral("*N_Lang")) {
                N_Lang = menu->addMenu(QStringLiteral("Язык"));
                N_Lang->setObjectName(QStringLiteral("N_Lang"));
                N_Lang->setProperty("caption_ru", QStringLiteral("Язык"));
                N_Lang->setProperty("caption_uk", QStringLiteral("Мова"));
                NLang_rus = N_Lang->addAction(QStringLiteral("Русский"));
                NLang_rus->setObjectName(QStringLiteral("NLang_rus"));
                NLang_rus->setProperty("caption_ru", QStringLiteral("Русский"));
                NLang_rus->setProperty("caption_uk", QStringLiteral("Російська"));
                NLang_ukr = N_Lang->addAction(QStringLiteral("Украинский"));
                NLang_ukr->setObjectName(QStringLiteral("NLang_ukr"));
                NLang_ukr->setProperty("caption_ru", QStringLiteral("Украинский"));
                NLang_ukr->setProperty("caption_uk", QStringLiteral("Українська"));
                NLang_rus->setCheckable(true);
                NLang_ukr->setCheckable(true);
            } else if (name == QStringLiteral("*N_CurFilial")) {
                N_CurFilial = menu->addMenu(QStringLiteral("Текущий филиал"));
                N_CurFilial->setObjectName(QStringLiteral("N_CurFilial"));
                N_CurFilial->setProperty("caption_ru", QStringLiteral("Текущий филиал"));
                N_CurFilial->setProperty("caption_uk", QStringLiteral("Поточна філія"));
            } else {
                menu->addAction(action(name));
            }
        }
    }
    N_Reports = menus_[3];
    mFR = menus_[5];

    // A bar of glyph buttons whose hints are the actions' captions: the captions side by side would not
    // fit the window's width.
    SpeedBar1 = addToolBar(QStringLiteral("SpeedBar1"));
    SpeedBar1->setObjectName(QStringLiteral("SpeedBar1"));
    SpeedBar1->setMovable(false);
    SpeedBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const std::pair<const char*, QStyle::StandardPixmap> buttons[] = {
        {"CreateContractAct", QStyle::SP_FileIcon},
        {"EditContractAct", QStyle::SP_FileDialogContentsView},
        {"DeleteContractAct", QStyle::SP_TrashIcon},
        {"-", {}},
        {"AddOpAct", QStyle::SP_FileDialogNewFolder},
        {"EditOpAct", QStyle::SP_FileDialogDetailedView},
        {"DeleteOpAct", QStyle::SP_DialogDiscardButton},
        {"-", {}},
        {"AddToSaleAct", QStyle::SP_ArrowUp},
        {"AddSaleAct", QStyle::SP_DialogApplyButton},
        {"-", {}},
        {"ReconnectAct", QStyle::SP_BrowserReload},
        {"ExitAct", QStyle::SP_DialogCloseButton},
    };
    for (const auto& [item, glyph] : buttons) {
        if (QLatin1String(item) == QLatin1String("-")) {
            SpeedBar1->addSeparator();
            continue;
        }
        QAction* a = action(QString::fromLatin1(item));
        a->setIcon(style()->standardIcon(glyph));
        SpeedBar1->addAction(a);
    }
}

void TFMain::applyActionTexts(int language) {
    const char* key = language == 2 ? "caption_uk" : "caption_ru";
    for (QAction* a : actionList) a->setText(a->property(key).toString());
    for (QMenu* m : menus_) m->setTitle(m->property(key).toString());
    for (QObject* o : std::initializer_list<QObject*>{N_Lang, N_CurFilial}) {
        if (auto* m = qobject_cast<QMenu*>(o)) m->setTitle(m->property(key).toString());
    }
    for (QAction* a : {NLang_rus, NLang_ukr}) a->setText(a->property(key).toString());
    const char* hint = language == 2 ? "hint_uk" : "hint_ru";
    for (QAction* a : actionList)
        if (a->property(hint).isValid()) a->setToolTip(a->property(hint).toString());
    applyPanelTexts(language);
}

}  // namespace TolvMain
