#include "kv_RxMemWrapper.h"

#include "kv_FbQueryGod.h"
#include "kv_StlUtl.h"
#include "platform/core/Exception.h"
#include "platform/data/MemTable.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Transaction.h"

namespace ufb {

namespace {

// Firebird takes at most 1,500 values in one IN list.
constexpr size_t kInListLimit = 1500;

}  // namespace

RxMemWrapper::RxMemWrapper(const QString& keyField)
    : memTable_(std::make_unique<data::MemTable>()), keyField_(keyField) {
    memTable_->beforeDelete = [this](data::Dataset& sender) { beforeDelete(sender); };
    clear();
}

RxMemWrapper::~RxMemWrapper() = default;

data::Dataset* RxMemWrapper::getDataSet() { return memTable_.get(); }

void RxMemWrapper::clear() {
    memTable_->close();
    deletedKeys_.clear();
}

void RxMemWrapper::beforeDelete(data::Dataset& sender) {
    // Recorded in every position, the last row included: a stored row deleted is never forgotten.
    const core::Variant key = sender.fieldByName(keyField_).value();
    if (!key.isEmpty()) deletedKeys_.push_back(key.toInt());
}

void RxMemWrapper::sortBy(const QString& fieldName) {
    const bool descending = fieldName == sortField_ && !sortDescending_;
    memTable_->sortOnFields(fieldName, false, descending);
    sortField_ = fieldName;
    sortDescending_ = descending;
}

void RxMemWrapper::gridTitleClick(int column) {
    if (grid_ && column >= 0 && column < static_cast<int>(grid_->columns().size())) sortBy(grid_->columns()[column].fieldName);
}

void RxMemWrapper::gridEhTitleClick(int column) {
    if (gridEh_ && column >= 0 && column < static_cast<int>(gridEh_->columns().size())) {
        sortBy(gridEh_->columns()[column].fieldName);
    }
}

void RxMemWrapper::appendFrom(data::Dataset& source) {
    memTable_->append();
    for (int i = 0; i < memTable_->fieldCount(); ++i) {
        data::Field* f = memTable_->field(i);
        if (f->kind() != data::FieldKind::Data) continue;
        if (data::Field* from = source.findField(f->fieldName())) f->setValue(from->value());
    }
    memTable_->post();
}

void RxMemWrapper::loadFromDataSet(data::Dataset& source, bool showProgress, const QString& caption) {
    data::ControlsDisabled off(*memTable_);
    clear();
    open();
    source.last();
    const int count = source.recordCount();
    source.first();
    std::unique_ptr<ui::ProgressWindow> progress = ui::createProgressWindow();
    progress->init(caption, count, showProgress);
    for (; !source.eof(); source.next()) {
        appendFrom(source);
        if (showProgress) progress->step();
    }
    memTable_->first();
}

std::vector<int> RxMemWrapper::getKeys() {
    std::vector<int> keys;
    if (!memTable_->active()) return keys;
    data::ControlsDisabled off(*memTable_);
    const data::Bookmark mark = memTable_->bookmark();
    data::Field& key = memTable_->fieldByName(keyField_);
    for (memTable_->first(); !memTable_->eof(); memTable_->next()) {
        if (key.asInteger() > 0) keys.push_back(key.asInteger());
    }
    if (memTable_->bookmarkValid(mark)) memTable_->gotoBookmark(mark);
    return keys;
}

std::vector<int> RxMemWrapper::getAllKeys() {
    std::vector<int> keys = getKeys();
    keys.insert(keys.end(), deletedKeys_.begin(), deletedKeys_.end());
    return keys;
}

void RxMemWrapper::deleteMarkedRows(const QString& tableName, fb::Transaction* transaction) {
    if (deletedKeys_.empty()) return;
    AutoQuery q(transaction);
    qint64 deleted = 0;
    for (size_t from = 0; from < deletedKeys_.size(); from += kInListLimit) {
        const std::vector<int> chunk(deletedKeys_.begin() + from,
                                     deletedKeys_.begin() + std::min(deletedKeys_.size(), from + kInListLimit));
        q->setSql(QStringLiteral(" Delete from ") + tableName + QStringLiteral(" where ") + keyField_ +
                  QStringLiteral(" in(") + utl::StlUtl::join(chunk, QStringLiteral(",")) + u')');
        q->execSql();
        deleted += q->rowsAffected();
    }
    if (deleted != static_cast<qint64>(deletedKeys_.size())) {
        throw core::Exception(QStringLiteral("Incorrected rows affected count."));
    }
    // Without the caller's transaction the deletes are ours to commit, never by release.
    if (q->ownsTransaction()) q->transaction()->commit();
    deletedKeys_.clear();
}

}  // namespace ufb
