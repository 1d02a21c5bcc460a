#include "platform/ui/DigitsCombo.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace ui {

namespace {

void guardDigits(QComboBox& combo) {
    // The validator guards every way into the text, pasting too, not only the keys.
    combo.lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), combo.lineEdit()));
}

}  // namespace

DigitsCombo::DigitsCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // Typed text is a value, never a new item.
    setInsertPolicy(QComboBox::NoInsert);
    guardDigits(*this);
}

void DigitsCombo::setPickOnly(bool pickOnly) {
    if (pickOnly == !isEditable()) return;
    setEditable(!pickOnly);
    if (!pickOnly) guardDigits(*this);
}

int DigitsCombo::number() const {
    bool ok = false;
    const int n = currentText().toInt(&ok);
    return ok ? n : 0;
}

}  // namespace ui
