#include "kv_Money100Field.h"

#include "kv_Money100.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"

namespace ufb {

namespace {

// Both marks become the process decimal separator, then the platform's conversion decides.
double typedNumber(const QString& text) {
    const QChar sep = core::formats().decimalSeparator;
    QString t = text;
    t.replace(u',', sep).replace(u'.', sep);
    double value = 0;
    if (!core::tryStrToFloat(t, value) || t.trimmed() != t) {
        throw core::Exception(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
    return value;
}

}  // namespace

TMoney100Field::TMoney100Field() : data::Field(data::DataType::Integer) {
    setDisplayFormat(QStringLiteral("0.00"));
    setEditFormat(QStringLiteral("0.00"));
    setOnGetText(&TMoney100Field::getMoneyText);
    setOnSetText(&TMoney100Field::setMoneyText);
}

bool TMoney100Field::isValidChar(QChar c) const {
    return (c >= u'0' && c <= u'9') || c == u'.' || c == u',' || c == u'-';
}

void TMoney100Field::getMoneyText(data::Field& sender, QString& text, bool) {
    text.clear();
    if (sender.isNull()) return;
    text = Money100::toStr(Money100::fromHundredths(sender.asLargeInt()), 2);
}

void TMoney100Field::setMoneyText(data::Field& sender, const QString& text) {
    const double amount = typedNumber(text);
    qint32 hundredths = 0;
    try {
        hundredths = Money100::toHundredths(amount);
    } catch (const core::Exception& e) {
        throw core::Exception(QStringLiteral("'%1': ").arg(text) + e.message());
    }
    sender.setValue(hundredths);
}

TFloatFieldExt::TFloatFieldExt(int decimals) : data::Field(data::DataType::Float) {
    const QString format = QStringLiteral("0.") + QString(std::max(0, decimals), u'0');
    setDisplayFormat(format);
    setEditFormat(format);
    setOnSetText(&TFloatFieldExt::setFloatText);
}

bool TFloatFieldExt::isValidChar(QChar c) const { return c == u'.' || c == u',' || data::Field::isValidChar(c); }

void TFloatFieldExt::setFloatText(data::Field& sender, const QString& text) { sender.setValue(typedNumber(text)); }

}  // namespace ufb
