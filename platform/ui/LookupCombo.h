#pragma once
// The lookup combo of the forms: a drop-down list over a dataset that shows one field (the list field)
// and answers another (the key field) of the chosen row, with an optional first special row ("all",
// "none" ...) that carries its own key. It follows the dataset: rows come back after every reopen,
// the chosen key kept when it is still listed.

#include <QComboBox>
#include <QPointer>

#include "platform/core/Variant.h"

namespace data {
class Dataset;
}

namespace ui {

class LookupCombo : public QComboBox {
    Q_OBJECT
public:
    explicit LookupCombo(QWidget* parent = nullptr);

    void setListSource(data::Dataset* dataset);
    data::Dataset* listSource() const { return source_; }
    void setKeyField(const QString& name);
    const QString& keyField() const { return keyField_; }
    void setListField(const QString& name);
    const QString& listField() const { return listField_; }

    // The first row, before the dataset's rows.
    void setSpecialRow(const QString& text, const core::Variant& key);
    void clearSpecialRow();
    bool hasSpecialRow() const { return special_; }

    // Null when nothing is chosen.
    core::Variant keyValue() const;
    // A key not listed leaves nothing chosen.
    void setKeyValue(const core::Variant& key);

    // Reads the rows again; called by itself when the dataset reopens or changes.
    void reload();

signals:
    void keyValueChanged();

private:
    int indexOfKey(const core::Variant& key) const;

    QPointer<data::Dataset> source_;
    QString keyField_;
    QString listField_;
    bool special_ = false;
    QString specialText_;
    core::Variant specialKey_;
    std::vector<core::Variant> keys_;
    bool loading_ = false;
};

}  // namespace ui
