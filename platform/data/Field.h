#pragma once
// One column of a dataset: its name, type and flags, and typed access to its value in the current row.

#include <QString>

#include "platform/core/Variant.h"

namespace data {

class Dataset;

enum class DataType { Unknown, String, SmallInt, Integer, LargeInt, Float, Currency, Boolean, Date, Time,
                      DateTime, Memo, Blob };
enum class FieldKind { Data, Calculated, Lookup };

class Field {
public:
    Field(Dataset* dataset, QString name, DataType type, int size = 0, FieldKind kind = FieldKind::Data);

    Dataset* dataset() const { return dataset_; }
    const QString& fieldName() const { return name_; }
    DataType dataType() const { return type_; }
    int size() const { return size_; }
    FieldKind kind() const { return kind_; }
    // Position among the dataset's fields.
    int index() const { return index_; }

    const QString& displayLabel() const { return label_.isEmpty() ? name_ : label_; }
    void setDisplayLabel(const QString& label) { label_ = label; }
    bool visible() const { return visible_; }
    void setVisible(bool on) { visible_ = on; }
    bool required() const { return required_; }
    void setRequired(bool on) { required_ = on; }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on) { readOnly_ = on; }

    // The value in the current row; null when the dataset has no current row.
    core::Variant value() const;
    bool isNull() const { return value().isEmpty(); }
    // Typed reads: a null value reads as 0, "", false or the zero date.
    qint32 asInteger() const;
    qint64 asLargeInt() const;
    double asFloat() const;
    QString asString() const;
    core::DateTime asDateTime() const;
    bool asBoolean() const;

private:
    friend class Dataset;
    Dataset* dataset_;
    QString name_;
    DataType type_;
    int size_;
    FieldKind kind_;
    int index_ = -1;
    QString label_;
    bool visible_ = true;
    bool required_ = false;
    bool readOnly_ = false;
};

}  // namespace data
