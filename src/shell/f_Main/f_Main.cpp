#include "f_Main.h"

#include "U_LoggedUser.h"
#include "U_VersionManager.h"
#include "dm_TsiLang.h"
#include "kv_fiscalRegister.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/grid/GridView.h"
#include "platform/ui/Form.h"
#include "u_TolvGlobal.h"
#include "u_filials.h"

namespace TolvMain {

TFMain* FMain = nullptr;

TFMain::TFMain(QWidget* owner) : QMainWindow(owner) {
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(QStringLiteral("Ломбард"));
    resize(1024, 700);
    addTexts();
    addContractActTexts();
    createActions();
    createMenus();
    connectContractActions();
    createPanel();
    FMain = this;
    // The working user's login and role are those the last accepted login check chose.
    VuxSecur::setLoginHook([this] { return VuxSecur::Login{loginDialog.login, acceptedRole_}; });
    previousExceptionHandler_ =
        ui::setExceptionHandler([this](const std::exception& e) { ApplicationEvents1Exception(e); });
    FormCreate();
}

TFMain::~TFMain() {
    ui::setExceptionHandler(std::move(previousExceptionHandler_));
    FormDestroy();
    gridTextHandler.reset();
    VuxSecur::setLoginHook({});
    VuxSecur::reset();
    if (FMain == this) FMain = nullptr;
}

void TFMain::addTexts() {
    texts_.addMessage(QStringLiteral("IDS_8"),
                      QStringLiteral("Невозможно получить доступ к файлу базы данных "),
                      QStringLiteral("Неможливо отримати доступ до файлу бази даних"));
    texts_.addMessage(QStringLiteral("IDS_9"), QStringLiteral("\\nПроверьте правильность пути к базе\\n\\n"),
                      QStringLiteral("\\nПеревірте правильність шляху до бази\\n\\n"));
    texts_.addMessage(
        QStringLiteral("IDS_10"),
        QStringLiteral("Если это клиентский компьютер, то укажите путь к файлу базы данных на сервере\\n"),
        QStringLiteral("Якщо це клієнтський комп'ютер, то вкажіть шлях до файлу бази даних на сервері\\n"));
    texts_.addMessage(QStringLiteral("IDS_11"),
                      QStringLiteral("в формате: ИМЯ_СЕРВЕРА:Путь_к_файлу_базы_данных_на_сервере\\n"),
                      QStringLiteral("у форматі: ІМ'Я_СЕРВЕРУ:Шлях_до_файлу_бази_даних_на_сервері\\n"));
    texts_.addMessage(
        QStringLiteral("IDS_12"),
        QStringLiteral("Пример: SERVER_COMP:C:\\Program Files\\Tolvanix\\DB\\zarvel2.gdb\\n\\n"),
        QStringLiteral("Приклад: SERVER_COMP:C:\\Program Files\\Tolvanix\\DB\\zarvel2.gdb\\n\\n"));
    texts_.addMessage(
        QStringLiteral("IDS_13"),
        QStringLiteral("Если это серверный компьютер, то проверьте, запущена ли служба Firebird \\n"),
        QStringLiteral("Якщо це серверний комп'ютер, то перевірте, чи запущена служба Firebird \\n"));
    texts_.addMessage(
        QStringLiteral("IDS_14"),
        QStringLiteral("(Панель управления -> Администрирование -> Службы -> Firebird Server)\\n\\n"),
        QStringLiteral("(Панель керування -> Адмінування -> Служби -> Firebird Server)\\n\\n"));
    texts_.addMessage(QStringLiteral("IDS_15"), QStringLiteral("Ошибка: "), QStringLiteral("Помилка:"));
    texts_.addMessage(QStringLiteral("IDS_16"), QStringLiteral("Имя пользователя или пароль указаны неверно"),
                      QStringLiteral("Им'я користувача чи пароль вказані невірно"));
    texts_.addMessage(QStringLiteral("IDS_49"), QStringLiteral("Ломбард - "), QStringLiteral("Ломбард -"));
    texts_.addMessage(QStringLiteral("IDS_50"), QStringLiteral(" - ФР подключен "),
                      QStringLiteral(" - ФР підключено"));
    texts_.addMessage(QStringLiteral("IDS_61"),
                      QStringLiteral("Программа работает с фискальным регистратором."),
                      QStringLiteral("Програма працює з фіскальним реєстратором."));
    texts_.addMessage(QStringLiteral("IDS_62"), QStringLiteral("Подключите фискальный регистратор!!!\\n\\n"),
                      QStringLiteral("Підключіть фіскальний реєстратор!!!\\n\\n"));
    texts_.addMessage(
        QStringLiteral("IDS_6"),
        QStringLiteral("Фискальный регистратор будет отключен.\\n\\nЧтобы подключить его заново, "
                       "воспользуйтесь настройками программы\\n(\"Программа\" -> \"Настройки\" -> "
                       "\"Кассовый учет, ФР\")."),
        QStringLiteral("Фіскальний реєстратор буде відключено.\\n\\nЩоб підключити його знову, "
                       "скористайтеся налаштуваннями програми\\n(\"Програма\" -> \"Налаштування\" -> "
                       "\"Касовий облік, ФР\")."));
    texts_.addMessage(QStringLiteral("IDS_67"), QStringLiteral("Русский"), QStringLiteral("Російська"));
    texts_.addMessage(QStringLiteral("IDS_68"), QStringLiteral("Украинский"), QStringLiteral("Українська"));
    texts_.addMessage(QStringLiteral("IDS_20"),
                      QStringLiteral("Агент с таким именем не найден в базе данных"),
                      QStringLiteral("Агента з таким ім'ям не знайдено в базі даних"));
}

void TFMain::FormCreate() {
    TolvGlobal::setFormats();
    loginDialog.onCheckUser = [this](const QString& login, const QString& password) {
        return checkUser(login, password);
    };
    loginDialog.onAfterLogin = [this](QObject*) { applyRights(); };
    updateCaption();
    pc_ContrInfo->setCurrentIndex(0);
    setDatabasePath(QStringLiteral("PATH"));
}

bool TFMain::FormShow() {
    const int language =
        utl::SettingsFile::readInt(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"), 1);
    if (DMTsiLang) {
        DMTsiLang->siLangDisp.setActiveLanguage(language);
    } else {
        ui::Translations::setLanguage(language);
    }

    if (!loginDialog.execute()) {
        ui::requestTerminate();
        return false;
    }

    bool versionsMatch = false;
    try {
        versionsMatch = Common::VersionManager().checkVersions();
    } catch (const std::exception&) {
        ui::runGuarded([] { throw; });
    }
    if (!versionsMatch) {
        ui::requestTerminate();
        return false;
    }
    startSequence();
    return true;
}

void TFMain::setVisible(bool visible) {
    if (visible && !firstShowDone_) {
        // The start sequence runs before the window appears, so a refused start never shows it.
        firstShowDone_ = true;
        if (!FormShow()) return;
        started_ = true;
    }
    QMainWindow::setVisible(visible);
}

}  // namespace TolvMain
