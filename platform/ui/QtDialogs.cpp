#include "platform/ui/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

namespace ui {

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

namespace {

// The application's override cursor stack does the nesting.
class QtBusyCursor : public BusyCursor {
public:
    void push() override { QApplication::setOverrideCursor(Qt::WaitCursor); }
    void pop() override { QApplication::restoreOverrideCursor(); }
};

}  // namespace

void installQtDialogs() {
    static QtDialogs qt;
    static QtBusyCursor cursor;
    setDialogs(&qt);
    setBusyCursor(&cursor);
}

}  // namespace ui
