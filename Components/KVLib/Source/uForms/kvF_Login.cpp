#include "kvF_Login.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "kv_Translator.h"
#include "kv_settingsFile.h"
#include "platform/core/Exception.h"
#include "platform/os/IniFile.h"

namespace utl {

namespace {

const QString kSection = QStringLiteral("TFKVLogin");
const QString kUserKey = QStringLiteral("user");

constexpr int kClientWidth = 278;
constexpr int kClientHeight = 144;  // with the message strip
constexpr int kStripHeight = 28;

QString translated(const char* key, const QString& russian) {
    return KVLibTranslator::instance().translate(QString::fromLatin1(key), russian);
}

// The banner of the message strip: the warning sign on a band of the info-tip colour.
QPixmap bannerPicture(const QWidget& w) {
    QPixmap pm(24, kStripHeight);
    pm.fill(w.palette().color(QPalette::ToolTipBase));
    QPainter p(&pm);
    const QIcon icon = w.style()->standardIcon(QStyle::SP_MessageBoxWarning);
    p.drawPixmap(4, (kStripHeight - 16) / 2, icon.pixmap(16, 16));
    return pm;
}

}  // namespace

// ---- KVLoginDialog --------------------------------------------------------------------------------

KVLoginDialog::KVLoginDialog() = default;

KVLoginDialog::~KVLoginDialog() = default;

bool KVLoginDialog::execute() {
    if (!onCheckUser) {
        throw core::Exception(QStringLiteral(
            "Для KVLoginDialog обязательно нужно задать обработчик проверки пользователя onCheckUser"));
    }
    result = false;
    {
        TFKVLogin form(*this);
        form.showModal();
    }
    if (result && onAfterLogin) onAfterLogin(nullptr);
    return result;
}

bool KVLoginDialog::checkUser(const QString& newLogin, const QString& newPassword) {
    result = onCheckUser(newLogin, newPassword);
    if (result) {
        login = newLogin;
        password = newPassword;
    }
    return result;
}

bool KVLoginDialog::checkPassword(const QString& typed) {
    result = typed == password;
    return result;
}

void KVLoginDialog::cancel() {
    if (lockMode) ui::requestTerminate();
}

// ---- TFKVLogin ------------------------------------------------------------------------------------

int TFKVLogin::topPanelHeight = 0;

TFKVLogin::TFKVLogin(KVLoginDialog& dialog, QWidget* owner)
    : ui::Form(QStringLiteral("FKVLogin"), owner,
               Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      dialog_(dialog) {
    QFont f(QStringLiteral("Verdana"));
    f.setPointSize(8);
    setFont(f);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowTitle(QStringLiteral("Регистрация"));

    pnl_Top = new QFrame(this);
    pnl_Top->setObjectName(QStringLiteral("pnl_Top"));
    pnl_Top->setGeometry(0, 0, kClientWidth, kStripHeight);
    pnl_Top->setAutoFillBackground(true);
    pnl_Top->setBackgroundRole(QPalette::ToolTipBase);
    pnl_Top->setForegroundRole(QPalette::ToolTipText);
    Image1 = new QLabel(pnl_Top);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 24, kStripHeight);
    Image1->setPixmap(bannerPicture(*this));
    l_Message = new QLabel(pnl_Top);
    l_Message->setObjectName(QStringLiteral("l_Message"));
    l_Message->setGeometry(26, 0, kClientWidth - 30, kStripHeight);
    l_Message->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l_Message->setForegroundRole(QPalette::ToolTipText);

    // Everything below the strip; it moves up while the strip is hidden.
    body_ = new QWidget(this);
    body_->setGeometry(0, kStripHeight, kClientWidth, kClientHeight - kStripHeight);
    grBx = new QGroupBox(body_);
    grBx->setObjectName(QStringLiteral("grBx"));
    grBx->setGeometry(6, 2, kClientWidth - 12, 76);
    l_Login = new QLabel(grBx);
    l_Login->setObjectName(QStringLiteral("l_Login"));
    l_Login->setGeometry(10, 21, 112, 17);
    e_Name = new QLineEdit(grBx);
    e_Name->setObjectName(QStringLiteral("e_Name"));
    e_Name->setGeometry(124, 19, 132, 21);
    l_Pswd = new QLabel(grBx);
    l_Pswd->setObjectName(QStringLiteral("l_Pswd"));
    l_Pswd->setGeometry(10, 47, 112, 17);
    e_Pass = new QLineEdit(grBx);
    e_Pass->setObjectName(QStringLiteral("e_Pass"));
    e_Pass->setGeometry(124, 45, 132, 21);
    e_Pass->setEchoMode(QLineEdit::Password);
    l_Login->setBuddy(e_Name);
    l_Pswd->setBuddy(e_Pass);

    bt_ChangePass = new QPushButton(body_);
    bt_ChangePass->setObjectName(QStringLiteral("bt_ChangePass"));
    bt_ChangePass->setGeometry(6, 86, 104, 25);
    bt_ChangePass->hide();
    bt_OK = new QPushButton(QStringLiteral("OK"), body_);
    bt_OK->setObjectName(QStringLiteral("bt_OK"));
    bt_OK->setGeometry(116, 86, 75, 25);
    bt_Cancel = new QPushButton(body_);
    bt_Cancel->setObjectName(QStringLiteral("bt_Cancel"));
    bt_Cancel->setGeometry(197, 86, 75, 25);
    setTabOrder(e_Name, e_Pass);
    setTabOrder(e_Pass, bt_OK);
    setTabOrder(bt_OK, bt_Cancel);

    timerShake = new QTimer(this);
    timerShake->setObjectName(QStringLiteral("timerShake"));
    timerShake->setInterval(100);
    a_fastLogin = new QAction(this);
    a_fastLogin->setObjectName(QStringLiteral("a_fastLogin"));
    a_fastLogin->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Y));
    a_fastLogin->setShortcutContext(Qt::WindowShortcut);
    addAction(a_fastLogin);

    setDefaultButton(bt_OK);
    setCancelButton(bt_Cancel);
    connect(bt_OK, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { bt_OKClick(); }); });
    connect(bt_Cancel, &QPushButton::clicked, this, [this] { ui::runGuarded([this] { bt_CancelClick(); }); });
    connect(a_fastLogin, &QAction::triggered, this,
            [this] { ui::runGuarded([this] { a_fastLoginExecute(); }); });
    connect(timerShake, &QTimer::timeout, this, &TFKVLogin::timerShakeTimer);
}

TFKVLogin::~TFKVLogin() = default;

void TFKVLogin::placeBody() {
    body_->move(0, pnl_Top->isHidden() ? 0 : pnl_Top->height());
}

void TFKVLogin::formShow() {
    if (!pnl_Top->isHidden()) {
        topPanelHeight = pnl_Top->height();
        setFixedSize(width(), height() - topPanelHeight);
        pnl_Top->hide();
        placeBody();
    }
    e_Name->setText(os::IniFile(SettingsFile::userIniFileName()).readString(kSection, kUserKey, QString()));
    (e_Name->text().isEmpty() ? e_Name : e_Pass)->setFocus();

    setWindowTitle(translated("TFKVLogin.Caption", QStringLiteral("Регистрация")));
    l_Message->setText(
        translated("TFKVLogin.l_Message", QStringLiteral("Неверные данные. Попробуйте еще раз.")));
    grBx->setTitle(translated("TFKVLogin.grBx", QStringLiteral("Введите Ваши данные")));
    l_Login->setText(translated("TFKVLogin.l_Login", QStringLiteral("Имя пользователя")));
    l_Pswd->setText(translated("TFKVLogin.l_Pswd", QStringLiteral("Пароль")));
    bt_ChangePass->setText(translated("TFKVLogin.bt_ChangePass", QStringLiteral("Смена пароля")));
    bt_Cancel->setText(translated("TFKVLogin.bt_Cancel", QStringLiteral("Отмена")));
}

void TFKVLogin::bt_OKClick() {
    if (!dialog_.lockMode) {
        const bool accepted = dialog_.checkUser(e_Name->text(), e_Pass->text());
        e_Pass->clear();
        if (accepted) {
            os::IniFile(SettingsFile::userIniFileName()).writeString(kSection, kUserKey, e_Name->text());
            setModalResult(ui::ModalResult::Ok);
        } else {
            shake();
        }
        return;
    }
    const bool accepted = dialog_.checkPassword(e_Pass->text());
    e_Pass->clear();
    if (accepted) {
        setModalResult(ui::ModalResult::Ok);
    } else {
        shake();
    }
}

void TFKVLogin::bt_CancelClick() {
    dialog_.cancel();
    setModalResult(ui::ModalResult::Cancel);
}

void TFKVLogin::a_fastLoginExecute() {
    e_Pass->setText(e_Name->text());
    QCoreApplication::processEvents();
    bt_OKClick();
}

void TFKVLogin::shake() {
    if (pnl_Top->isHidden()) {
        pnl_Top->show();
        setFixedSize(width(), height() + topPanelHeight);
        placeBody();
    }
    shakeCount = 0;
    timerShake->setInterval(75);
    timerShake->start();
}

void TFKVLogin::timerShakeTimer() {
    move(x() + (shakeCount % 2 == 0 ? 4 : -4), y());
    ++shakeCount;
    if (shakeCount >= 8) timerShake->stop();
}

}  // namespace utl
