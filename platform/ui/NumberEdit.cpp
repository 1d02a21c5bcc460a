#include "platform/ui/NumberEdit.h"

#include <QLineEdit>
#include <algorithm>

#include "platform/core/Formats.h"

namespace ui {

NumberEdit::NumberEdit(int decimals, QWidget* parent) : QDoubleSpinBox(parent) {
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setDecimals(decimals);
    // No bounds of its own: the fields it serves take any value their owner accepts.
    setRange(-1e15, 1e15);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    setDisplayFormat(decimals > 0 ? QStringLiteral(",0.") + QString(decimals, u'0') : QStringLiteral(",0"));
}

void NumberEdit::setDisplayFormat(const QString& pattern) {
    pattern_ = pattern;
    // Shows the value again in the new pattern.
    setValue(value());
    lineEdit()->setText(textFromValue(value()));
}

QString NumberEdit::textFromValue(double value) const {
    return core::formatFloat(pattern_, value);
}

bool NumberEdit::parse(const QString& text, double& value) {
    QString t = text;
    t.remove(u' ');
    t.remove(QChar(0x00A0));
    t.remove(core::formats().thousandSeparator);
    if (t.isEmpty()) {
        value = 0.0;
        return true;
    }
    t.replace(u',', u'.');
    if (core::formats().decimalSeparator != u'.') t.replace(u'.', core::formats().decimalSeparator);
    return core::tryStrToFloat(t, value);
}

double NumberEdit::valueFromText(const QString& text) const {
    double v = 0.0;
    return parse(text, v) ? v : value();
}

QValidator::State NumberEdit::validate(QString& input, int&) const {
    // No more decimals than the edit keeps (none at all for whole numbers), as the platform's edit.
    const qsizetype point = std::max(input.lastIndexOf(u'.'), input.lastIndexOf(u','));
    if (point >= 0 && (decimals() == 0 || input.size() - point - 1 > decimals())) return QValidator::Invalid;
    double v = 0.0;
    if (parse(input, v)) return v < minimum() || v > maximum() ? QValidator::Invalid : QValidator::Acceptable;
    // A sign or a point typed first is on its way to a number.
    const QString t = input.trimmed();
    if (t == u"-" || t == u"+" || t == u"." || t == u"," || t == u"-." || t == u"-,")
        return QValidator::Intermediate;
    return QValidator::Invalid;
}

}  // namespace ui
