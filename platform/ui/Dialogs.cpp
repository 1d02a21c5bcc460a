#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

namespace ui {

namespace {

Dialogs*& current() {
    static QtDialogs qt;
    static Dialogs* installed = &qt;
    return installed;
}

ModalResult firstOffered(Buttons buttons) {
    static const std::pair<Button, ModalResult> order[] = {
        {Button::Ok, ModalResult::Ok},       {Button::Yes, ModalResult::Yes},     {Button::No, ModalResult::No},
        {Button::Cancel, ModalResult::Cancel}, {Button::Abort, ModalResult::Abort}, {Button::Retry, ModalResult::Retry},
        {Button::Ignore, ModalResult::Ignore}};
    for (const auto& [b, r] : order) {
        if (buttons.testFlag(b)) return r;
    }
    return ModalResult::Ok;
}

}  // namespace

Dialogs& dialogs() { return *current(); }

ScopedDialogs::ScopedDialogs(Dialogs* dialogs) : saved_(current()) { current() = dialogs; }

ScopedDialogs::~ScopedDialogs() { current() = saved_; }

void showError(const QString& text, const QString& caption) {
    dialogs().message(text, MsgType::Error, Button::Ok, caption);
}

void showWarning(const QString& text, const QString& caption) {
    dialogs().message(text, MsgType::Warning, Button::Ok, caption);
}

void showInfo(const QString& text, const QString& caption) {
    dialogs().message(text, MsgType::Information, Button::Ok, caption);
}

bool askYesNo(const QString& text, const QString& caption, MsgType type) {
    return dialogs().message(text, type, Button::Yes | Button::No, caption) == ModalResult::Yes;
}

bool askOkCancel(const QString& text, const QString& caption, MsgType type) {
    return dialogs().message(text, type, Button::Ok | Button::Cancel, caption) == ModalResult::Ok;
}

ModalResult QtDialogs::message(const QString& text, MsgType type, Buttons buttons, const QString& caption) {
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (type) {
        case MsgType::Error: icon = QMessageBox::Critical; break;
        case MsgType::Warning: icon = QMessageBox::Warning; break;
        case MsgType::Confirmation: icon = QMessageBox::Question; break;
        case MsgType::Information: break;
    }
    static const std::pair<Button, QMessageBox::StandardButton> map[] = {
        {Button::Ok, QMessageBox::Ok},       {Button::Cancel, QMessageBox::Cancel}, {Button::Yes, QMessageBox::Yes},
        {Button::No, QMessageBox::No},       {Button::Abort, QMessageBox::Abort},   {Button::Retry, QMessageBox::Retry},
        {Button::Ignore, QMessageBox::Ignore}};
    QMessageBox::StandardButtons qtButtons;
    for (const auto& [b, q] : map) {
        if (buttons.testFlag(b)) qtButtons |= q;
    }
    QMessageBox box(icon, caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text, qtButtons,
                    QApplication::activeWindow());
    switch (box.exec()) {
        case QMessageBox::Ok: return ModalResult::Ok;
        case QMessageBox::Yes: return ModalResult::Yes;
        case QMessageBox::No: return ModalResult::No;
        case QMessageBox::Abort: return ModalResult::Abort;
        case QMessageBox::Retry: return ModalResult::Retry;
        case QMessageBox::Ignore: return ModalResult::Ignore;
        default: return ModalResult::Cancel;
    }
}

bool QtDialogs::loginPrompt(const QString& caption, QString& user, bool userReadOnly, QString& password) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    auto* layout = new QFormLayout(&dialog);
    auto* userEdit = new QLineEdit(user, &dialog);
    userEdit->setReadOnly(userReadOnly);
    auto* passwordEdit = new QLineEdit(&dialog);
    passwordEdit->setEchoMode(QLineEdit::Password);
    layout->addRow(QObject::tr("User"), userEdit);
    layout->addRow(QObject::tr("Password"), passwordEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    (userReadOnly ? passwordEdit : userEdit)->setFocus();
    if (dialog.exec() != QDialog::Accepted) return false;
    user = userEdit->text();
    password = passwordEdit->text();
    return true;
}

ModalResult ScriptedDialogs::message(const QString& text, MsgType type, Buttons buttons, const QString& caption) {
    shown.push_back({text, type, buttons, caption});
    if (answers.empty()) return firstOffered(buttons);
    const ModalResult r = answers.front();
    answers.pop_front();
    return r;
}

bool ScriptedDialogs::loginPrompt(const QString& caption, QString& user, bool userReadOnly, QString& password) {
    ++prompts;
    shown.push_back({caption, MsgType::Confirmation, Button::Ok | Button::Cancel, caption});
    if (passwords.empty() || !passwords.front()) {
        if (!passwords.empty()) passwords.pop_front();
        return false;
    }
    password = *passwords.front();
    passwords.pop_front();
    return true;
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Shown& s : shown) out << s.text;
    return out;
}

}  // namespace ui
