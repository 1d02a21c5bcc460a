#pragma once
// One column of a dataset: its name, type, kind and flags, typed access to its value in the current
// row, its texts for display and editing, and the handlers forms attach to it.

#include <QString>
#include <functional>

#include "platform/core/Variant.h"

namespace data {

class Dataset;

enum class DataType { Unknown, String, SmallInt, Integer, LargeInt, Float, Currency, Boolean, Date, Time,
                      DateTime, Memo, Blob };
// Data fields hold stored values; calculated ones are computed per row by the dataset's
// calculate-fields handler; lookup ones show a field of another dataset found by key.
enum class FieldKind { Data, Calculated, Lookup };

class Field {
public:
    using ChangeHandler = std::function<void(Field&)>;
    // Gives the text of the value: for display (displayText true) or for editing.
    using GetTextHandler = std::function<void(Field&, QString& text, bool displayText)>;
    using SetTextHandler = std::function<void(Field&, const QString& text)>;
    using CharTest = std::function<bool(QChar)>;

    Field(Dataset* dataset, QString name, DataType type, int size = 0, FieldKind kind = FieldKind::Data);
    // A field made apart from any dataset, named and attached by Dataset::adoptField.
    Field(DataType type, int size = 0, FieldKind kind = FieldKind::Data) : Field(nullptr, QString(), type, size, kind) {}
    virtual ~Field() = default;

    Dataset* dataset() const { return dataset_; }
    const QString& fieldName() const { return name_; }
    DataType dataType() const { return type_; }
    int size() const { return size_; }
    FieldKind kind() const { return kind_; }
    bool isNumeric() const;
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
    int displayWidth() const { return displayWidth_; }
    void setDisplayWidth(int width) { displayWidth_ = width; }
    // Number patterns of the "0.00" / ",0.00;-,0.00" kind; empty: the plain value text.
    const QString& displayFormat() const { return displayFormat_; }
    void setDisplayFormat(const QString& format) { displayFormat_ = format; }
    const QString& editFormat() const { return editFormat_; }
    void setEditFormat(const QString& format) { editFormat_ = format; }

    // Handlers. The change handler may be taken off (set empty) and put back by its owner.
    const ChangeHandler& onChange() const { return onChange_; }
    void setOnChange(ChangeHandler handler) { onChange_ = std::move(handler); }
    void setOnGetText(GetTextHandler handler) { onGetText_ = std::move(handler); }
    void setOnSetText(SetTextHandler handler) { onSetText_ = std::move(handler); }
    void setValidChars(CharTest test) { validChars_ = std::move(test); }
    virtual bool isValidChar(QChar c) const;

    // Lookup definition: the value is lookupResultField of the row of lookupDataset whose
    // lookupKeyFields equal this dataset's keyFields (";"-separated lists).
    void setLookup(Dataset* lookupDataset, const QString& keyFields, const QString& lookupKeyFields,
                   const QString& lookupResultField);
    Dataset* lookupDataset() const { return lookupDataset_; }
    const QString& keyFields() const { return keyFields_; }
    const QString& lookupKeyFields() const { return lookupKeyFields_; }
    const QString& lookupResultField() const { return lookupResultField_; }

    // The value in the current row (the edit buffer while editing); null when there is no row.
    core::Variant value() const;
    // Stores a value in the current row; the dataset must be editing (or computing fields).
    void setValue(const core::Variant& value);
    void clear() { setValue(core::Variant::null()); }
    bool isNull() const { return value().isEmpty(); }
    // Typed reads: a null value reads as 0, "", false or the zero date.
    qint32 asInteger() const;
    qint64 asLargeInt() const;
    double asFloat() const;
    QString asString() const;
    core::DateTime asDateTime() const;
    bool asBoolean() const;

    // Texts through the get-text handler, else the display or edit format, else the value's text.
    QString displayText() const;
    QString text() const;
    // Through the set-text handler, else converted to the field's type (an empty text stores null).
    void setText(const QString& text);

    // Converts a value to this field's type; raises core::Exception for a value that does not fit.
    core::Variant convert(const core::Variant& value) const;

private:
    friend class Dataset;
    QString formatted(const QString& pattern) const;

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
    int displayWidth_ = 0;
    QString displayFormat_;
    QString editFormat_;
    ChangeHandler onChange_;
    GetTextHandler onGetText_;
    SetTextHandler onSetText_;
    CharTest validChars_;
    Dataset* lookupDataset_ = nullptr;
    QString keyFields_;
    QString lookupKeyFields_;
    QString lookupResultField_;
};

}  // namespace data
