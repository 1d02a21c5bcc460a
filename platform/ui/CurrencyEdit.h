#pragma once
// The program's one edit of money and other numbers: a value in currency units (hundredths for money
// fields), shown through a number pattern while the edit does not have the focus (",0.00 грн'.';
// -,0.00 грн'.'", ",0;-,0" ...) and as plain digits while it is edited. "," and "." both type the
// decimal point; negative values are allowed (a change handler may refuse them); every change of the
// value, typed or set, emits valueChanged.

#include <QLineEdit>
#include <QString>

namespace ui {

class CurrencyEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int decimals READ decimals WRITE setDecimals)
    Q_PROPERTY(QString displayFormat READ displayFormat WRITE setDisplayFormat)
public:
    explicit CurrencyEdit(QWidget* parent = nullptr);

    double value() const { return value_; }
    // Rounded to the decimals; the text follows.
    void setValue(double value);
    // The value in hundredths of the unit, for money fields.
    qint64 hundredths() const;
    void setHundredths(qint64 hundredths);

    // Decimals kept and typed (0 for whole numbers; 2 by default).
    int decimals() const { return decimals_; }
    void setDecimals(int decimals);
    // The pattern of the text shown without the focus; empty: the plain digits.
    const QString& displayFormat() const { return displayFormat_; }
    void setDisplayFormat(const QString& format);

signals:
    void valueChanged(double value);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void textTyped(const QString& text);
    void showValue();
    QString plainText() const;
    double rounded(double value) const;

    double value_ = 0.0;
    int decimals_ = 2;
    QString displayFormat_;
};

}  // namespace ui
