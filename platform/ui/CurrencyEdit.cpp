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

}  // namespace ui
