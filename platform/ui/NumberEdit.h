#pragma once
// The number edit of the forms, our stand-in for the platform's currency and calculator edits: a line
// without spin arrows that shows its value in a number pattern of the process formats (thousands
// grouped, a fixed count of decimals) and reads what the user types with "," or "." as the decimal
// point and blanks between the thousands. An emptied field reads as 0.

#include <QDoubleSpinBox>

namespace ui {

class NumberEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    // Decimals kept; the display pattern defaults to thousands grouped and that many decimals
    // (",0.00" for two, ",0" for none).
    explicit NumberEdit(int decimals, QWidget* parent = nullptr);

    // A pattern of core::formatFloat (",0.0000##" ...).
    void setDisplayFormat(const QString& pattern);
    QString displayFormat() const { return pattern_; }

    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;

    // The number a text stands for; false when it stands for none. Empty text stands for 0.
    static bool parse(const QString& text, double& value);

private:
    QString pattern_;
};

}  // namespace ui
