#include "platform/ui/LookupCombo.h"

#include "platform/data/Dataset.h"

namespace ui {

LookupCombo::LookupCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!loading_) emit keyValueChanged();
    });
}

void LookupCombo::setListSource(data::Dataset* dataset) {
    if (source_) disconnect(source_, nullptr, this, nullptr);
    source_ = dataset;
    if (dataset) {
        connect(dataset, &data::Dataset::layoutReset, this, &LookupCombo::reload);
        connect(dataset, &data::Dataset::rowsAppended, this, &LookupCombo::reload);
        connect(dataset, &data::Dataset::rowChanged, this, &LookupCombo::reload);
    }
    reload();
}

void LookupCombo::setKeyField(const QString& name) {
    keyField_ = name;
    reload();
}

void LookupCombo::setListField(const QString& name) {
    listField_ = name;
    reload();
}

void LookupCombo::setSpecialRow(const QString& text, const core::Variant& key) {
    special_ = true;
    specialText_ = text;
    specialKey_ = key;
    reload();
}

void LookupCombo::clearSpecialRow() {
    special_ = false;
    reload();
}

core::Variant LookupCombo::keyValue() const {
    const int index = currentIndex();
    if (index < 0 || index >= static_cast<int>(keys_.size())) return core::Variant::null();
    return keys_[index];
}

void LookupCombo::setKeyValue(const core::Variant& key) {
    setCurrentIndex(indexOfKey(key));
}

int LookupCombo::indexOfKey(const core::Variant& key) const {
    if (key.isEmpty()) return -1;
    for (int i = 0; i < static_cast<int>(keys_.size()); ++i) {
        const core::Variant& k = keys_[i];
        if (k.isEmpty()) continue;
        if (k.isNumeric() && key.isNumeric() ? k.toDouble() == key.toDouble() : k.toText() == key.toText())
            return i;
    }
    return -1;
}

void LookupCombo::reload() {
    // Fetching the remaining rows below signals again; the outer pass reads them all.
    if (loading_) return;
    const core::Variant kept = keyValue();
    loading_ = true;
    clear();
    keys_.clear();
    if (special_) {
        addItem(specialText_);
        keys_.push_back(specialKey_);
    }
    if (source_ && source_->active() && !keyField_.isEmpty() && !listField_.isEmpty()) {
        const data::Field* key = source_->findField(keyField_);
        const data::Field* list = source_->findField(listField_);
        if (key && list) {
            // Read through the row buffer, so the dataset's current row is left where it was.
            source_->fetchAll();
            for (int row = 0; row < source_->recordCount(); ++row) {
                addItem(source_->textAt(row, list->index()));
                keys_.push_back(source_->valueAt(row, key->index()));
            }
        }
    }
    setCurrentIndex(indexOfKey(kept));
    loading_ = false;
    if (!(keyValue() == kept)) emit keyValueChanged();
}

}  // namespace ui
