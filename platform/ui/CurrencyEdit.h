#pragma once
// The program's edit of money and other numbers in the forms: the number edit (",", "." typed,
// negatives, thousands grouped in the display pattern) with the display pattern as a Qt property, so
// that the currency naming can give every money field its pattern (",0.00 грн'.';-,0.00 грн'.'"), and
// the value in hundredths for money fields. valueChanged follows every change, typed or set.

#include <QtGlobal>

#include "platform/ui/NumberEdit.h"

namespace ui {

class CurrencyEdit : public NumberEdit {
    Q_OBJECT
    Q_PROPERTY(QString displayFormat READ displayFormat WRITE setDisplayFormat)
public:
    // Two decimals for money; 0 for whole numbers.
    explicit CurrencyEdit(QWidget* parent = nullptr, int decimals = 2);

    // The value in hundredths of the unit, rounded half away from zero.
    qint64 hundredths() const;
    void setHundredths(qint64 hundredths);
};

// A read-only amount in money units, shown in the pattern ",0.00.;-,0.00." (thousands grouped with the
// process's separator, no unit text): the balances and totals of a form.
class MoneyDisplay : public CurrencyEdit {
    Q_OBJECT
public:
    explicit MoneyDisplay(QWidget* parent = nullptr);
};

}  // namespace ui
