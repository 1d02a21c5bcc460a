#include "platform/ui/CurrencyEdit.h"

#include <cmath>

namespace ui {

CurrencyEdit::CurrencyEdit(QWidget* parent, int decimals) : NumberEdit(decimals, parent) {}

qint64 CurrencyEdit::hundredths() const {
    return std::llround(value() * 100.0);
}

void CurrencyEdit::setHundredths(qint64 hundredths) {
    setValue(static_cast<double>(hundredths) / 100.0);
}

MoneyDisplay::MoneyDisplay(QWidget* parent) : CurrencyEdit(parent, 2) {
    setDisplayFormat(QStringLiteral(",0.00.;-,0.00."));
    setReadOnly(true);
}

}  // namespace ui
