#pragma once
// Dataset fields for money kept in hundredths and for floats with fixed decimals; both take "," or "."
// as the decimal mark when typed.

#include "platform/data/Field.h"

namespace ufb {

// An integer of hundredths shown and typed as a decimal amount with two places (123456 is "1234.56").
class TMoney100Field : public data::Field {
public:
    TMoney100Field();

    bool isValidChar(QChar c) const override;
    static void getMoneyText(data::Field& sender, QString& text, bool displayText);
    // Stores the typed amount in hundredths; a text that is no number, or an amount beyond the
    // 32-bit range of hundredths, raises core::Exception naming the text and stores nothing.
    static void setMoneyText(data::Field& sender, const QString& text);
};

// A floating-point field shown with a fixed number of decimals.
class TFloatFieldExt : public data::Field {
public:
    explicit TFloatFieldExt(int decimals);

    bool isValidChar(QChar c) const override;
    static void setFloatText(data::Field& sender, const QString& text);
};

}  // namespace ufb
