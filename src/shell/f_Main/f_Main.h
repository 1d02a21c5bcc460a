#pragma once
// The main window of the program. Its first show runs the start sequence before the window appears:
// the interface language, the login under the server role of a manager or an agent, and the database
// version check; a cancelled login or a failed check ends the program before it shows.
//
// The window's code is spread over files by what it does: f_Main.cpp its life and texts,
// f_MainLogin.cpp the login and the database path.

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "U_AutomateHelper.h"
#include "kvF_Login.h"
#include "platform/ui/Translations.h"

namespace fb {
class Error;
}

namespace TolvMain {

class TFMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFMain(QWidget* owner = nullptr);
    ~TFMain() override;

    // The window's own texts (IDS_...) in the active language.
    QString message(const QString& key) const { return texts_.message(key); }
    const ui::Translations& translations() const { return texts_; }

    // The login dialog's check: connects with the login and password, refuses SYSDBA and logins the
    // program does not know, and chooses the server role. Shows the hourglass throughout.
    bool checkUser(const QString& login, const QString& password);
    // Takes the database path from the key of section "DB" of "db.ini"; an empty value leaves the
    // connection's database name as it is. A path without ":" is a file relative to the program.
    void setDatabasePath(const QString& key);

    // The role the walk over the user's role memberships chooses: MASTERROLE at the first name that,
    // trimmed of blanks, is exactly "MASTERROLE"; AGENTROLE otherwise.
    static QString chooseRole(const QStringList& roleNames);
    // The box shown when the database cannot be reached: IDS_8, the database name, IDS_9, the advice
    // IDS_10 to IDS_14 for an unavailable database only, IDS_15 and the server's text.
    QString connectErrorText(long gdsCode, const QString& databaseName, const QString& serverText) const;

    // The settings dialog's database page, shown after a connection error so the user can correct the
    // path; the settings dialog installs it. An empty hook shows nothing.
    using DbPathSettingsHook = std::function<void()>;
    static void setDbPathSettingsHook(DbPathSettingsHook hook);

    // The role the last accepted login chose (empty before one).
    const QString& loginRole() const { return acceptedRole_; }
    // Whether the start sequence of the first show ran to its end.
    bool started() const { return started_; }

    utl::KVLoginDialog loginDialog;
    // The text answering of the contract grid.
    std::unique_ptr<GridMessageHandler> gridTextHandler;

    void setVisible(bool visible) override;

private:
    void addTexts();
    void FormCreate();
    // False when the program is to end.
    bool FormShow();

    ui::Translations texts_;
    QString acceptedRole_;
    bool firstShowDone_ = false;
    bool started_ = false;
};

// The program's main window while it lives (null otherwise).
extern TFMain* FMain;

}  // namespace TolvMain
