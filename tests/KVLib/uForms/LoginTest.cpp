#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "kvF_Login.h"
#include "platform/core/Exception.h"
#include "platform/os/IniFile.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/support/ErrorText.h"

namespace {

using tolvtest::onModal;
using utl::KVLoginDialog;
using utl::TFKVLogin;

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousHook_ = ui::setTerminateHook([this] { ++terminations; });
    }
    void TearDown() override { ui::setTerminateHook(previousHook_); }

    QString storedUser() const {
        return os::IniFile(user.path())
            .readString(QStringLiteral("TFKVLogin"), QStringLiteral("user"), QStringLiteral("<none>"));
    }
    void storeUser(const QString& name) const {
        os::IniFile(user.path()).writeString(QStringLiteral("TFKVLogin"), QStringLiteral("user"), name);
    }

    tolvtest::ScopedUserIni user;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
    int terminations = 0;

private:
    ui::TerminateHook previousHook_;
};

// Accepts "ivan" with the password "secret" (and "petro" with "petro").
bool check(const QString& login, const QString& password) {
    return (login == QStringLiteral("ivan") && password == QStringLiteral("secret")) ||
           (login == QStringLiteral("petro") && password == QStringLiteral("petro"));
}

TEST_F(LoginTest, ExecuteWithoutACheckFailsBeforeAnyWindow) {
    KVLoginDialog dialog;
    bool shown = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (qobject_cast<TFKVLogin*>(QApplication::activeModalWidget())) shown = true;
    });
    probe.start(1);
    EXPECT_EQ(tolvtest::errorText([&] { dialog.execute(); }),
              QStringLiteral(
                  "Для KVLoginDialog обязательно нужно задать обработчик проверки пользователя onCheckUser"));
    QTest::qWait(20);
    EXPECT_FALSE(shown);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<TFKVLogin*>(w), nullptr);
}

TEST_F(LoginTest, TheWindowAndItsFocus) {
    KVLoginDialog dialog;
    dialog.onCheckUser = check;
    onModal<TFKVLogin>([](TFKVLogin& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Регистрация"));
        EXPECT_EQ(f.grBx->title(), QStringLiteral("Введите Ваши данные"));
        EXPECT_EQ(f.l_Login->text(), QStringLiteral("Имя пользователя"));
        EXPECT_EQ(f.l_Pswd->text(), QStringLiteral("Пароль"));
        EXPECT_EQ(f.bt_OK->text(), QStringLiteral("OK"));
        EXPECT_EQ(f.bt_Cancel->text(), QStringLiteral("Отмена"));
        EXPECT_EQ(f.l_Message->text(), QStringLiteral("Неверные данные. Попробуйте еще раз."));
        EXPECT_FALSE(f.bt_ChangePass->isVisible());
        EXPECT_FALSE(f.pnl_Top->isVisible());
        EXPECT_EQ(f.size(), QSize(278, 144 - 28));
        EXPECT_EQ(TFKVLogin::topPanelHeight, 28);
        EXPECT_EQ(f.e_Pass->echoMode(), QLineEdit::Password);
        EXPECT_EQ(f.e_Name->text(), QString());
        EXPECT_EQ(f.focusWidget(), f.e_Name);  // no stored user: the name first
        f.bt_Cancel->click();
    });
    EXPECT_FALSE(dialog.execute());
    EXPECT_EQ(terminations, 0);  // a cancel outside lock mode ends nothing

    storeUser(QStringLiteral("ivan"));
    onModal<TFKVLogin>([](TFKVLogin& f) {
        EXPECT_EQ(f.e_Name->text(), QStringLiteral("ivan"));
        EXPECT_EQ(f.focusWidget(), f.e_Pass);  // a stored user: the password
        QTest::keyClick(&f, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialog.execute());
}

TEST_F(LoginTest, ARejectedCheckClearsShowsTheStripOnceAndShakes) {
    KVLoginDialog dialog;
    int checks = 0;
    dialog.onCheckUser = [&](const QString& l, const QString& p) {
        ++checks;
        return check(l, p);
    };
    int afterLogin = 0;
    dialog.onAfterLogin = [&](QObject* sender) {
        EXPECT_EQ(sender, nullptr);
        ++afterLogin;
    };
    onModal<TFKVLogin>([&](TFKVLogin& f) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        const QPoint start = f.pos();
        const int height = f.height();
        std::vector<std::pair<qint64, int>> moves;  // (ms, x) after each tick
        QElapsedTimer clock;
        QObject::connect(f.timerShake, &QTimer::timeout, &f,
                         [&] { moves.emplace_back(clock.elapsed(), f.x()); });

        QTest::keyClicks(f.e_Name, QStringLiteral("ivan"));
        QTest::keyClicks(f.e_Pass, QStringLiteral("wrong"));
        clock.start();
        QTest::mouseClick(f.bt_OK, Qt::LeftButton);
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.e_Pass->text(), QString());
        EXPECT_TRUE(f.pnl_Top->isVisible());
        EXPECT_EQ(f.height(), height + 28);
        EXPECT_EQ(f.timerShake->interval(), 75);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !f.timerShake->isActive(); }, 3000));
        ASSERT_EQ(moves.size(), 8u);
        for (size_t i = 0; i < moves.size(); ++i) {
            EXPECT_EQ(moves[i].second, start.x() + (i % 2 == 0 ? 4 : 0)) << i;  // +4, -4, ...
            if (i > 0) {
                EXPECT_GE(moves[i].first - moves[i - 1].first, 60) << i;
            }
        }
        EXPECT_GE(moves.front().first, 60);
        EXPECT_EQ(f.pos(), start);  // ends where it started
        EXPECT_EQ(f.shakeCount, 8);

        // Another rejection: the strip is already there, the window does not grow again.
        QTest::keyClicks(f.e_Pass, QStringLiteral("still wrong"));
        QTest::keyClick(f.e_Pass, Qt::Key_Return);
        EXPECT_EQ(f.height(), height + 28);
        EXPECT_EQ(f.e_Pass->text(), QString());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !f.timerShake->isActive(); }, 3000));
        EXPECT_EQ(f.pos(), start);

        QTest::keyClicks(f.e_Pass, QStringLiteral("secret"));
        QTest::keyClick(f.e_Pass, Qt::Key_Return);  // Enter: the default button
    });
    EXPECT_TRUE(dialog.execute());
    EXPECT_EQ(checks, 3);
    EXPECT_TRUE(dialog.result);
    EXPECT_EQ(dialog.login, QStringLiteral("ivan"));
    EXPECT_EQ(dialog.password, QStringLiteral("secret"));
    EXPECT_EQ(afterLogin, 1);
    EXPECT_EQ(storedUser(), QStringLiteral("ivan"));
}

TEST_F(LoginTest, FastLoginTakesTheNameAsPassword) {
    KVLoginDialog dialog;
    dialog.onCheckUser = check;
    onModal<TFKVLogin>([](TFKVLogin& f) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        QTest::keyClicks(f.e_Name, QStringLiteral("petro"));
        QTest::keyClick(&f, Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);
    });
    EXPECT_TRUE(dialog.execute());
    EXPECT_EQ(dialog.login, QStringLiteral("petro"));
    EXPECT_EQ(dialog.password, QStringLiteral("petro"));
    EXPECT_EQ(storedUser(), QStringLiteral("petro"));
}

TEST_F(LoginTest, LockModeOpensOnlyWithTheLastPasswordAndItsCancelTerminates) {
    KVLoginDialog dialog;
    dialog.onCheckUser = check;
    ASSERT_TRUE(dialog.checkUser(QStringLiteral("ivan"), QStringLiteral("secret")));
    EXPECT_FALSE(dialog.checkUser(QStringLiteral("ivan"), QStringLiteral("x")));
    EXPECT_EQ(dialog.password, QStringLiteral("secret"));  // a rejected pair is not kept
    EXPECT_FALSE(dialog.checkPassword(QStringLiteral("SECRET")));
    storeUser(QStringLiteral("somebody"));
    dialog.lockMode = true;
    int afterLogin = 0;
    dialog.onAfterLogin = [&](QObject*) { ++afterLogin; };

    onModal<TFKVLogin>([](TFKVLogin& f) {
        f.e_Name->setText(QStringLiteral("petro"));  // the name plays no part in lock mode
        f.e_Pass->setText(QStringLiteral("petro"));
        f.bt_OK->click();
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.timerShake->isActive());
        EXPECT_EQ(f.e_Pass->text(), QString());
        f.e_Pass->setText(QStringLiteral("secret"));
        f.bt_OK->click();
    });
    EXPECT_TRUE(dialog.execute());
    EXPECT_EQ(afterLogin, 1);
    EXPECT_EQ(storedUser(), QStringLiteral("somebody"));  // nothing written in lock mode
    EXPECT_EQ(terminations, 0);

    onModal<TFKVLogin>([](TFKVLogin& f) { f.bt_Cancel->click(); });
    EXPECT_FALSE(dialog.execute());
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(afterLogin, 1);  // not called on cancel
    EXPECT_FALSE(dialog.result);
}

TEST_F(LoginTest, AFailingCheckIsShownAndTheWindowStays) {
    KVLoginDialog dialog;
    dialog.onCheckUser = [](const QString&, const QString&) -> bool {
        throw core::Exception(QStringLiteral("нет связи с сервером"));
    };
    onModal<TFKVLogin>([&](TFKVLogin& f) {
        f.e_Name->setText(QStringLiteral("ivan"));
        f.bt_OK->click();
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(boxes.texts(), QStringList({QStringLiteral("нет связи с сервером")}));
        f.bt_Cancel->click();
    });
    EXPECT_FALSE(dialog.execute());
    EXPECT_EQ(storedUser(), QStringLiteral("<none>"));
}

}  // namespace
