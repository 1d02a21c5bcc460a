#include "platform/ui/CurrencyEdit.h"

#include <QRegularExpressionValidator>
#include <cmath>

#include "platform/core/Formats.h"

namespace ui {

CurrencyEdit::CurrencyEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setDecimals(2);
    connect(this, &QLineEdit::textEdited, this, &CurrencyEdit::textTyped);
}

double CurrencyEdit::rounded(double value) const {
    const double scale = std::pow(10.0, decimals_);
    return std::round(value * scale) / scale;
}

void CurrencyEdit::setValue(double value) {
    if (!std::isfinite(value)) return;
    const double v = rounded(value);
    const bool changed = v != value_;
    value_ = v;
    showValue();
    if (changed) emit valueChanged(value_);
}

qint64 CurrencyEdit::hundredths() const {
    return std::llround(value_ * 100.0);
}

void CurrencyEdit::setHundredths(qint64 hundredths) {
    setValue(static_cast<double>(hundredths) / 100.0);
}

void CurrencyEdit::setDecimals(int decimals) {
    decimals_ = std::clamp(decimals, 0, 6);
    const QString fraction = decimals_ > 0 ? QStringLiteral("([.,]\\d{0,%1})?").arg(decimals_) : QString();
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d*") + fraction), this));
    value_ = rounded(value_);
    showValue();
}

void CurrencyEdit::setDisplayFormat(const QString& format) {
    displayFormat_ = format;
    showValue();
}

QString CurrencyEdit::plainText() const {
    // The edit text always uses "." whatever the process separator, so that it reads back the same.
    const core::ScopedDecimalSeparator point(u'.');
    return core::formatFixed(value_, decimals_);
}

void CurrencyEdit::showValue() {
    if (hasFocus()) {
        setText(plainText());
        return;
    }
    setText(displayFormat_.isEmpty() ? plainText() : core::formatFloat(displayFormat_, value_));
}

void CurrencyEdit::textTyped(const QString& text) {
    QString t = text.trimmed();
    t.replace(u',', u'.');
    double v = 0.0;
    if (!t.isEmpty() && t != QStringLiteral("-") && t != QStringLiteral(".") && t != QStringLiteral("-.")) {
        const core::ScopedDecimalSeparator point(u'.');
        if (!core::tryStrToFloat(t, v)) return;
    }
    v = rounded(v);
    if (v == value_) return;
    value_ = v;
    emit valueChanged(value_);
}

void CurrencyEdit::focusInEvent(QFocusEvent* event) {
    setText(plainText());
    QLineEdit::focusInEvent(event);
}

void CurrencyEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    showValue();
}

}  // namespace ui
