#include "platform/data/Field.h"

#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"

namespace data {

using core::Variant;

Field::Field(Dataset* dataset, QString name, DataType type, int size, FieldKind kind)
    : dataset_(dataset), name_(std::move(name)), type_(type), size_(size), kind_(kind) {}

bool Field::isNumeric() const {
    switch (type_) {
        case DataType::SmallInt:
        case DataType::Integer:
        case DataType::LargeInt:
        case DataType::Float:
        case DataType::Currency: return true;
        default: return false;
    }
}

bool Field::isValidChar(QChar c) const {
    if (validChars_) return validChars_(c);
    switch (type_) {
        case DataType::SmallInt:
        case DataType::Integer:
        case DataType::LargeInt: return c.isDigit() || c == u'+' || c == u'-';
        case DataType::Float:
        case DataType::Currency:
            return c.isDigit() || c == u'+' || c == u'-' || c == u'e' || c == u'E' ||
                   c == core::formats().decimalSeparator;
        default: return true;
    }
}

void Field::setLookup(Dataset* lookupDataset, const QString& keyFields, const QString& lookupKeyFields,
                      const QString& lookupResultField) {
    lookupDataset_ = lookupDataset;
    keyFields_ = keyFields;
    lookupKeyFields_ = lookupKeyFields;
    lookupResultField_ = lookupResultField;
}

Variant Field::value() const { return dataset_->fieldValue(index_); }

void Field::setValue(const Variant& value) { dataset_->setFieldValue(index_, value); }

qint32 Field::asInteger() const {
    const Variant v = value();
    return v.isEmpty() ? 0 : v.toInt();
}

qint64 Field::asLargeInt() const {
    const Variant v = value();
    return v.isEmpty() ? 0 : v.toInt64();
}

double Field::asFloat() const {
    const Variant v = value();
    return v.isEmpty() ? 0.0 : v.toDouble();
}

QString Field::asString() const { return value().toText(); }

core::DateTime Field::asDateTime() const {
    const Variant v = value();
    return v.isEmpty() ? core::DateTime() : v.toDateTime();
}

bool Field::asBoolean() const {
    const Variant v = value();
    return v.isEmpty() ? false : v.toBool();
}

QString Field::formatted(const QString& pattern) const {
    const Variant v = value();
    if (v.isEmpty()) return QString();
    if (isNumeric() && !pattern.isEmpty()) return core::formatFloat(pattern, v.toDouble());
    if (!pattern.isEmpty() && (type_ == DataType::Date || type_ == DataType::DateTime || type_ == DataType::Time)) {
        return core::formatDateTime(pattern, v.toDateTime());
    }
    if (type_ == DataType::Date) return core::dateToStr(v.toDateTime());
    if (type_ == DataType::Time) return core::timeToStr(v.toDateTime());
    return v.toText();
}

QString Field::displayText() const {
    QString text;
    if (onGetText_) {
        onGetText_(const_cast<Field&>(*this), text, true);
        return text;
    }
    return formatted(displayFormat_);
}

QString Field::text() const {
    QString text;
    if (onGetText_) {
        onGetText_(const_cast<Field&>(*this), text, false);
        return text;
    }
    return formatted(editFormat_.isEmpty() ? QString() : editFormat_);
}

void Field::setText(const QString& text) {
    if (onSetText_) {
        onSetText_(*this, text);
        return;
    }
    setValue(text.isEmpty() && type_ != DataType::String && type_ != DataType::Memo ? Variant::null() : Variant(text));
}

Variant Field::convert(const Variant& v) const {
    if (v.isEmpty()) return Variant::null();
    auto invalid = [&] {
        return core::Exception(QStringLiteral("'%1' is not a valid value for field '%2'").arg(v.toText(), displayLabel()));
    };
    try {
        switch (type_) {
            case DataType::SmallInt:
            case DataType::Integer: return Variant(v.toInt());
            case DataType::LargeInt: return Variant(v.toInt64());
            case DataType::Float: return Variant(v.toDouble());
            case DataType::Currency: return Variant(v.toCurrency());
            case DataType::Boolean: return Variant(v.toBool());
            case DataType::Date: return Variant(v.toDateTime().datePart());
            case DataType::Time:
            case DataType::DateTime: return Variant(v.toDateTime());
            case DataType::String: break;
            case DataType::Memo:
            case DataType::Blob: return Variant(v.toText());
            case DataType::Unknown: return v;
        }
    } catch (const core::Exception&) {
        throw invalid();
    }
    // A text is never cut to the field's size: what the user typed is kept or refused.
    QString text = v.toText();
    if (size_ > 0 && text.size() > size_) {
        const qsizetype chars = text.toUcs4().size();
        if (chars > size_) {
            throw core::Exception(QStringLiteral("The text of field '%1' is too long: %2 characters, at most %3")
                                      .arg(displayLabel())
                                      .arg(chars)
                                      .arg(size_));
        }
    }
    return Variant(std::move(text));
}

}  // namespace data
