#pragma once
// The library's login dialog: it asks for a user name and a password and hands them to a check the
// application supplies, repeating until the check accepts or the user cancels, shaking the window after
// each rejected attempt, and remembering the last accepted user name per user (per-user interface file,
// section "TFKVLogin", key "user"). KVLoginDialog is the plain object the application keeps; TFKVLogin
// the window each execute shows. In lock mode the same dialog is a screen lock that only the password
// of the last accepted login opens, and whose cancel asks the application to terminate
// (ui::requestTerminate).

#include <QString>
#include <functional>

#include "platform/ui/Form.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace utl {

class KVLoginDialog {
public:
    // The application's check of a login and password; required.
    using CheckUser = std::function<bool(const QString& login, const QString& password)>;
    // Called after a successful execute, with no sender.
    using Notify = std::function<void(QObject* sender)>;

    KVLoginDialog();
    ~KVLoginDialog();

    // Shows the window until the check accepts (true) or the user cancels (false). Raises
    // core::Exception before any window shows when onCheckUser is not set.
    bool execute();
    // result = onCheckUser(login, password); an accepted pair is kept. Returns result.
    bool checkUser(const QString& login, const QString& password);
    // result = whether the password equals the kept one exactly. Returns result.
    bool checkPassword(const QString& password);
    // In lock mode asks the application to terminate; otherwise nothing.
    void cancel();

    CheckUser onCheckUser;
    Notify onAfterLogin;
    QString login;     // of the last accepted check
    QString password;  // of the last accepted check
    bool result = false;
    bool lockMode = false;
};

class TFKVLogin : public ui::Form {
    Q_OBJECT
public:
    explicit TFKVLogin(KVLoginDialog& dialog, QWidget* owner = nullptr);
    ~TFKVLogin() override;

    // The height of the message strip, shared by every login window of the process: remembered each
    // time a window hides the strip as it shows.
    static int topPanelHeight;

    // Shows the message strip (the window grows by its height, once) and shakes the window: eight moves
    // of 4 pixels, right and left in turn, 75 ms apart, ending where it started.
    void shake();

    // Components.
    QFrame* pnl_Top;
    QLabel* Image1;
    QLabel* l_Message;
    QGroupBox* grBx;
    QLabel* l_Login;
    QLineEdit* e_Name;
    QLabel* l_Pswd;
    QLineEdit* e_Pass;
    QPushButton* bt_OK;
    QPushButton* bt_Cancel;
    QPushButton* bt_ChangePass;
    QTimer* timerShake;
    QAction* a_fastLogin;

    int shakeCount = 0;

protected:
    void formShow() override;

private:
    void bt_OKClick();
    void bt_CancelClick();
    void a_fastLoginExecute();
    void timerShakeTimer();
    void placeBody();

    KVLoginDialog& dialog_;
    QWidget* body_;
};

}  // namespace utl
