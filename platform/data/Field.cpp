#include "platform/data/Field.h"

#include "platform/data/Dataset.h"

namespace data {

Field::Field(Dataset* dataset, QString name, DataType type, int size, FieldKind kind)
    : dataset_(dataset), name_(std::move(name)), type_(type), size_(size), kind_(kind) {}

core::Variant Field::value() const { return dataset_->fieldValue(index_); }

qint32 Field::asInteger() const {
    const core::Variant v = value();
    return v.isEmpty() ? 0 : v.toInt();
}

qint64 Field::asLargeInt() const {
    const core::Variant v = value();
    return v.isEmpty() ? 0 : v.toInt64();
}

double Field::asFloat() const {
    const core::Variant v = value();
    return v.isEmpty() ? 0.0 : v.toDouble();
}

QString Field::asString() const { return value().toText(); }

core::DateTime Field::asDateTime() const {
    const core::Variant v = value();
    return v.isEmpty() ? core::DateTime() : v.toDateTime();
}

bool Field::asBoolean() const {
    const core::Variant v = value();
    return v.isEmpty() ? false : v.toBool();
}

}  // namespace data
