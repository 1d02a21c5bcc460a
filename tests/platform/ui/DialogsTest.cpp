#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

#include "platform/core/Exception.h"
#include "platform/ui/QtDialogs.h"

namespace {

TEST(DialogsTest, ScriptedDialogsRecordAndAnswer) {
    ui::ScriptedDialogs scripted;
    ui::ScopedDialogs scope(&scripted);
    scripted.answers = {ui::ModalResult::No};
    EXPECT_FALSE(ui::askYesNo(QStringLiteral("Удалить договор?")));
    EXPECT_TRUE(ui::askYesNo(QStringLiteral("Ещё раз?")));  // script used up: the first button
    ui::showError(QStringLiteral("Ошибка"));
    EXPECT_EQ(scripted.texts(), QStringList({QStringLiteral("Удалить договор?"), QStringLiteral("Ещё раз?"),
                                             QStringLiteral("Ошибка")}));
    EXPECT_EQ(scripted.shown[2].type, ui::MsgType::Error);

    QString user = QStringLiteral("SYSDBA"), password;
    scripted.passwords = {QStringLiteral("secret"), std::nullopt};
    EXPECT_TRUE(ui::dialogs().loginPrompt(QStringLiteral("Пароль"), user, true, password));
    EXPECT_EQ(password, QStringLiteral("secret"));
    EXPECT_FALSE(ui::dialogs().loginPrompt(QStringLiteral("Пароль"), user, true, password));
}

TEST(DialogsTest, AGuardedActionGoesToTheInstalledExceptionHandler) {
    ui::ScriptedDialogs scripted;
    ui::ScopedDialogs scope(&scripted);
    // The standard display: the program's own text, or the text of any other exception.
    ui::runGuarded([] { throw core::Exception(QStringLiteral("Нет связи")); });
    ui::runGuarded([] { throw std::runtime_error("plain"); });
    EXPECT_EQ(scripted.texts(), QStringList({QStringLiteral("Нет связи"), QStringLiteral("plain")}));

    QStringList handled;
    auto previous = ui::setExceptionHandler([&](const std::exception& e) { handled << e.what(); });
    ui::runGuarded([] { throw std::runtime_error("to the handler"); });
    EXPECT_EQ(handled, QStringList{QStringLiteral("to the handler")});
    EXPECT_EQ(scripted.shown.size(), 2u);
    EXPECT_FALSE(previous);
    ui::setExceptionHandler(std::move(previous));
    ui::runGuarded([] { throw std::runtime_error("shown again"); });
    EXPECT_EQ(scripted.shown.size(), 3u);
}

TEST(DialogsTest, NothingInstalledRaisesTheText) {
    try {
        ui::showInfo(QStringLiteral("Готово"));
        FAIL();
    } catch (const core::Exception& e) {
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("Готово")));
    }
}

TEST(DialogsTest, QtBoxIsARealMessageBox) {
    ui::installQtDialogs();
    // Answer the real box as a user would: find it and press its "No" button.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                EXPECT_EQ(box->text(), QStringLiteral("Закрыть договор?"));
                box->button(QMessageBox::No)->click();
            }
        }
    });
    EXPECT_FALSE(ui::askYesNo(QStringLiteral("Закрыть договор?")));
}

}  // namespace
