#include "platform/data/Dataset.h"

#include <algorithm>

#include "platform/core/Exception.h"
#include "platform/data/FilterExpression.h"

namespace data {

using core::Variant;

namespace {

[[noreturn]] void fail(const QString& text) { throw core::Exception(text); }

}  // namespace

Dataset::Dataset(QObject* parent) : QObject(parent) {}

// Points the fields at another row (or buffer) for one scope: calculations, filters and views read
// rows that are not current through it.
Dataset::ProbeScope::ProbeScope(Dataset& d, std::vector<Variant>& values, bool& calcValid, bool calculating)
    : d_(d), savedValues_(d.probe_), savedValid_(d.probeCalcValid_), savedCalculating_(d.calculating_) {
    d.probe_ = &values;
    d.probeCalcValid_ = &calcValid;
    if (calculating) d.calculating_ = true;
}

Dataset::ProbeScope::~ProbeScope() {
    d_.probe_ = savedValues_;
    d_.probeCalcValid_ = savedValid_;
    d_.calculating_ = savedCalculating_;
}

Dataset::~Dataset() = default;

// ---- Fields ---------------------------------------------------------------------------------------

Field* Dataset::field(int index) const {
    if (index < 0 || index >= fieldCount()) fail(QStringLiteral("Field index out of range: %1").arg(index));
    return fields_[index].get();
}

Field* Dataset::findField(const QString& name) const {
    for (const auto& f : fields_) {
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0) return f.get();
    }
    return nullptr;
}

Field& Dataset::fieldByName(const QString& name) const {
    Field* f = findField(name);
    if (!f) fail(QStringLiteral("Field '%1' not found").arg(name));
    return *f;
}

QStringList Dataset::fieldNames() const {
    QStringList names;
    for (const auto& f : fields_) names << f->fieldName();
    return names;
}

Field* Dataset::addField(const QString& name, DataType type, int size, FieldKind kind) {
    if (active()) fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (findField(name)) fail(QStringLiteral("Duplicate field name '%1'").arg(name));
    if (!active() && kind == FieldKind::Data && !keepFields_ && !inOpen_) persistent_ = true;
    auto f = std::make_unique<Field>(this, name, type, size, kind);
    f->index_ = fieldCount();
    fields_.push_back(std::move(f));
    return fields_.back().get();
}

Field* Dataset::adoptField(std::unique_ptr<Field> field, const QString& name) {
    if (active()) fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (findField(name)) fail(QStringLiteral("Duplicate field name '%1'").arg(name));
    field->dataset_ = this;
    field->name_ = name;
    field->index_ = fieldCount();
    if (field->kind() == FieldKind::Data) persistent_ = true;
    fields_.push_back(std::move(field));
    return fields_.back().get();
}

void Dataset::removeFields() {
    if (active()) fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    fields_.clear();
    persistent_ = false;
}

void Dataset::clearFields() {
    // Calculated and lookup fields belong to the owner and survive a reopen; data fields are redefined.
    std::erase_if(fields_, [](const auto& f) { return f->kind() == FieldKind::Data; });
    for (size_t i = 0; i < fields_.size(); ++i) fields_[i]->index_ = static_cast<int>(i);
}

// ---- Lifecycle ------------------------------------------------------------------------------------

void Dataset::setState(DatasetState state) {
    if (state_ == state) return;
    state_ = state;
    emit stateChanged(state);
}

void Dataset::requireActive() const {
    if (!active()) fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Dataset::open() {
    if (active()) return;
    rows_.clear();
    view_.clear();
    idIndexValid_ = false;
    fetchDone_ = false;
    const bool redefine = !keepFields_ && !persistent_;
    // The fields as they were, given back if the source fails; the owner's own ones are kept on success.
    std::vector<std::unique_ptr<Field>> previous;
    if (redefine) {
        previous = std::move(fields_);
        fields_.clear();
    }
    {
        inOpen_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{inOpen_};
        try {
            doOpen();
        } catch (...) {
            if (redefine) fields_ = std::move(previous);
            fetchDone_ = true;
            doClose();  // the source lets go of whatever it got before failing
            throw;
        }
    }
    if (redefine) {
        // Data fields come first, in the source's order; the owner's own fields follow them.
        for (auto& f : previous) {
            if (f->kind() != FieldKind::Data) fields_.push_back(std::move(f));
        }
        for (size_t i = 0; i < fields_.size(); ++i) fields_[i]->index_ = static_cast<int>(i);
    }
    setState(DatasetState::Browse);
    try {
        ensureRow(0);
    } catch (...) {
        close();  // a source that cannot give its first row did not open
        throw;
    }
    cur_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    notifyReset();
    if (afterOpen) afterOpen(*this);
    scrolled();
}

void Dataset::close() {
    if (!active()) return;
    if (state_ == DatasetState::Edit || state_ == DatasetState::Insert) cancel();
    doClose();
    setState(DatasetState::Inactive);
    rows_.clear();
    view_.clear();
    idIndexValid_ = false;
    fetchDone_ = true;
    cur_ = -1;
    bof_ = eof_ = true;
    notifyReset();
}

// ---- Rows -----------------------------------------------------------------------------------------

bool Dataset::ensureRow(int pos) {
    while (recordCount() <= pos && !fetchDone_) {
        const size_t before = rows_.size();
        if (!doFetch(pos + 1 - recordCount())) fetchDone_ = true;
        if (rows_.size() == before) fetchDone_ = true;  // a source that reads nothing is done
    }
    return pos >= 0 && pos < recordCount();
}

void Dataset::appendRow(std::vector<Variant> values) {
    values.resize(fields_.size());
    rows_.push_back(Row{nextId_++, std::move(values)});
    const int index = static_cast<int>(rows_.size()) - 1;
    if (idIndexValid_) idIndex_[rows_.back().id] = index;
    if (!accepts(rows_.back())) return;
    view_.push_back(index);
    const int pos = recordCount() - 1;
    if (!controlsDisabled()) emit rowsAppended(pos, pos);
}

int Dataset::fetchMore(int count) {
    if (!active() || count <= 0) return 0;
    const int before = recordCount();
    ensureRow(before + count - 1);
    return recordCount() - before;
}

void Dataset::fetchAll() {
    if (!active()) return;
    while (!fetchDone_) ensureRow(recordCount() + 1000);
}

int Dataset::rowIndexOf(Bookmark id) const {
    if (!idIndexValid_) {
        idIndex_.clear();
        idIndex_.reserve(rows_.size());
        for (size_t i = 0; i < rows_.size(); ++i) idIndex_[rows_[i].id] = static_cast<int>(i);
        idIndexValid_ = true;
    }
    auto it = idIndex_.find(id);
    return it == idIndex_.end() ? -1 : it->second;
}

int Dataset::viewPosOf(Bookmark id) const {
    const int index = rowIndexOf(id);
    if (index < 0) return -1;
    if (index < recordCount() && view_[index] == index) return index;
    auto v = std::find(view_.begin(), view_.end(), index);
    return v == view_.end() ? -1 : static_cast<int>(v - view_.begin());
}

void Dataset::rebuildView() {
    view_.clear();
    view_.reserve(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (static_cast<int>(i) == insertRowIndex_ || accepts(rows_[i])) view_.push_back(static_cast<int>(i));
    }
}

bool Dataset::accepts(Row& row) {
    if (!filtered_ || (!filterExpr_ && !filterPredicate_)) return true;
    const ProbeScope probe(*this, row.values, row.calcValid);
    if (filterPredicate_ && !filterPredicate_(*this)) return false;
    if (filterExpr_) {
        auto reader = [this](const QString& name) {
            Field* f = findField(name);
            if (!f && name.contains(u'.')) f = findField(name.section(u'.', -1));
            if (!f) fail(QStringLiteral("Field '%1' not found").arg(name));
            return fieldValue(f->index());
        };
        return filterExpr_->evaluate(reader, filterOptions_);
    }
    return true;
}

// ---- Navigation -----------------------------------------------------------------------------------

void Dataset::setCurrent(int pos, bool notify) {
    if (pos == cur_) return;
    cur_ = pos;
    if (!notify) return;
    if (!controlsDisabled()) emit currentChanged(cur_);
    scrolled();
}

void Dataset::scrolled() {
    if (afterScroll && !controlsDisabled()) afterScroll(*this);
}

void Dataset::first() {
    requireActive();
    checkBrowseMode();
    setCurrent(ensureRow(0) ? 0 : -1);
    bof_ = true;
    eof_ = cur_ < 0;
}

void Dataset::last() {
    requireActive();
    checkBrowseMode();
    fetchAll();
    setCurrent(recordCount() - 1);
    eof_ = true;
    bof_ = cur_ < 0;
}

void Dataset::next() {
    requireActive();
    checkBrowseMode();
    if (cur_ >= 0 && ensureRow(cur_ + 1)) {
        setCurrent(cur_ + 1);
        bof_ = eof_ = false;
    } else {
        eof_ = true;
    }
}

void Dataset::prior() {
    requireActive();
    checkBrowseMode();
    if (cur_ > 0) {
        setCurrent(cur_ - 1);
        bof_ = eof_ = false;
    } else {
        bof_ = true;
    }
}

int Dataset::moveBy(int distance) {
    int moved = 0;
    for (; distance > 0 && !eof_; --distance) {
        const int before = cur_;
        next();
        if (cur_ != before) ++moved;
    }
    for (; distance < 0 && !bof_; ++distance) {
        const int before = cur_;
        prior();
        if (cur_ != before) --moved;
    }
    return moved;
}

bool Dataset::isEmpty() { return !active() || !ensureRow(0); }

void Dataset::setRecNo(int recNo) {
    requireActive();
    checkBrowseMode();
    if (recNo < 1) recNo = 1;
    ensureRow(recNo - 1);
    const int pos = std::min(recNo, recordCount()) - 1;
    setCurrent(pos);
    bof_ = pos <= 0;
    eof_ = pos < 0;
}

Bookmark Dataset::bookmark() const { return cur_ < 0 ? kNoBookmark : rows_[view_[cur_]].id; }

QString Dataset::textAt(int row, int fieldIndex, bool display) {
    Field* f = field(fieldIndex);
    if (row < 0 || row >= recordCount()) fail(QStringLiteral("Row out of range"));
    if (row == cur_ && (state_ == DatasetState::Edit || state_ == DatasetState::Insert)) {
        return display ? f->displayText() : f->text();
    }
    Row& r = rows_[view_[row]];
    const ProbeScope probe(*this, r.values, r.calcValid);
    return display ? f->displayText() : f->text();
}

Bookmark Dataset::bookmarkAt(int row) const {
    return row < 0 || row >= recordCount() ? kNoBookmark : rows_[view_[row]].id;
}

bool Dataset::bookmarkValid(Bookmark bookmark) const { return bookmark != kNoBookmark && viewPosOf(bookmark) >= 0; }

void Dataset::gotoBookmark(Bookmark bookmark) {
    requireActive();
    checkBrowseMode();
    const int pos = viewPosOf(bookmark);
    if (pos < 0) fail(QStringLiteral("Record not found"));
    setCurrent(pos);
    bof_ = eof_ = false;
}

namespace {

bool matches(const Variant& value, const Variant& wanted, const LocateOptions& o) {
    if (wanted.isEmpty() || value.isEmpty()) return wanted.isEmpty() && value.isEmpty();
    if (wanted.type() == core::VarType::Text || value.type() == core::VarType::Text) {
        const QString a = value.toText();
        const QString b = wanted.toText();
        const Qt::CaseSensitivity cs = o.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return o.partialKey ? a.startsWith(b, cs) : a.compare(b, cs) == 0;
    }
    return value == wanted;
}

}  // namespace

bool Dataset::locate(const QStringList& names, const std::vector<Variant>& values, LocateOptions options) {
    if (!active() || names.size() != static_cast<qsizetype>(values.size())) return false;
    checkBrowseMode();
    std::vector<int> indexes;
    for (const QString& n : names) indexes.push_back(fieldByName(n).index());
    for (int pos = 0; ensureRow(pos); ++pos) {
        bool all = true;
        for (size_t i = 0; i < indexes.size() && all; ++i) all = matches(valueAt(pos, indexes[i]), values[i], options);
        if (all) {
            setCurrent(pos);
            bof_ = eof_ = false;
            return true;
        }
    }
    return false;
}

bool Dataset::locate(const QString& fieldName, const Variant& value, LocateOptions options) {
    return locate(QStringList{fieldName}, std::vector<Variant>{value}, options);
}

Variant Dataset::lookup(const QStringList& keyFields, const std::vector<Variant>& values, const QString& resultField) {
    if (!active() || keyFields.size() != static_cast<qsizetype>(values.size())) return Variant::null();
    std::vector<int> indexes;
    for (const QString& n : keyFields) indexes.push_back(fieldByName(n).index());
    const int result = fieldByName(resultField).index();
    for (int pos = 0; ensureRow(pos); ++pos) {
        bool all = true;
        for (size_t i = 0; i < indexes.size() && all; ++i) all = matches(valueAt(pos, indexes[i]), values[i], {});
        if (all) return valueAt(pos, result);
    }
    return Variant::null();
}

// ---- Values ---------------------------------------------------------------------------------------

void Dataset::computeFields(std::vector<Variant>& values, bool& valid) {
    if (valid || calculating_) return;
    bool hasOwn = false;
    for (const auto& f : fields_) hasOwn = hasOwn || f->kind() != FieldKind::Data;
    valid = true;
    if (!hasOwn) return;
    const ProbeScope probe(*this, values, valid, true);
    for (const auto& f : fields_) {
        if (f->kind() != FieldKind::Lookup || !f->lookupDataset()) continue;
        const QStringList keys = f->keyFields().split(u';', Qt::SkipEmptyParts);
        std::vector<Variant> keyValues;
        for (const QString& k : keys) keyValues.push_back(values[fieldByName(k.trimmed()).index()]);
        QStringList lookupKeys;
        for (const QString& k : f->lookupKeyFields().split(u';', Qt::SkipEmptyParts)) lookupKeys << k.trimmed();
        values[f->index()] = f->lookupDataset()->lookup(lookupKeys, keyValues, f->lookupResultField());
    }
    if (onCalcFields) onCalcFields(*this);
}

const Variant& Dataset::readValue(std::vector<Variant>& values, bool& calcValid, int fieldIndex) {
    if (fields_[fieldIndex]->kind() != FieldKind::Data) computeFields(values, calcValid);
    return values[fieldIndex];
}

Variant Dataset::valueAt(int row, int fieldIndex) {
    if (row < 0 || row >= recordCount() || fieldIndex < 0 || fieldIndex >= fieldCount()) {
        fail(QStringLiteral("Row or field out of range"));
    }
    if (cur_ == row && (state_ == DatasetState::Edit || state_ == DatasetState::Insert)) {
        return readValue(buffer_, bufferCalcValid_, fieldIndex);
    }
    Row& r = rows_[view_[row]];
    return readValue(r.values, r.calcValid, fieldIndex);
}

Variant Dataset::fieldValue(int fieldIndex) {
    if (fieldIndex < 0 || fieldIndex >= fieldCount()) fail(QStringLiteral("Field index out of range"));
    if (probe_) {
        if (probeCalcValid_ && !calculating_) return readValue(*probe_, *probeCalcValid_, fieldIndex);
        return (*probe_)[fieldIndex];
    }
    if (state_ == DatasetState::Edit || state_ == DatasetState::Insert) {
        return readValue(buffer_, bufferCalcValid_, fieldIndex);
    }
    if (cur_ < 0) return Variant::null();
    return valueAt(cur_, fieldIndex);
}

void Dataset::setFieldValue(int fieldIndex, const Variant& value) {
    Field* f = field(fieldIndex);
    if (calculating_ && probe_) {
        (*probe_)[fieldIndex] = value;
        return;
    }
    if (state_ != DatasetState::Edit && state_ != DatasetState::Insert) {
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    }
    if (f->readOnly() && f->kind() == FieldKind::Data) {
        fail(QStringLiteral("Field '%1' cannot be modified").arg(f->displayLabel()));
    }
    buffer_[fieldIndex] = f->convert(value);
    if (f->kind() == FieldKind::Data) bufferCalcValid_ = false;
    modified_ = true;
    if (f->onChange()) {
        const Field::ChangeHandler handler = f->onChange();  // the handler may take itself off
        handler(*f);
    }
    if (!controlsDisabled() && cur_ >= 0) emit rowChanged(cur_);
}

const std::vector<Variant>& Dataset::storedValues(int row) const {
    if (row < 0 || row >= recordCount()) fail(QStringLiteral("Row out of range"));
    return rows_[view_[row]].values;
}

// ---- Editing --------------------------------------------------------------------------------------

void Dataset::checkBrowseMode() {
    if (state_ == DatasetState::Edit || state_ == DatasetState::Insert) modified_ ? post() : cancel();
}

void Dataset::edit() {
    requireActive();
    if (state_ == DatasetState::Edit || state_ == DatasetState::Insert) return;
    if (cur_ < 0) {
        insert();
        return;
    }
    if (beforeEdit) beforeEdit(*this);
    buffer_ = rows_[view_[cur_]].values;
    bufferCalcValid_ = false;
    modified_ = false;
    setState(DatasetState::Edit);
}

void Dataset::insert() {
    requireActive();
    checkBrowseMode();
    if (beforeInsert) beforeInsert(*this);
    // The new row takes the place of the current one in storage and view order.
    const int pos = cur_ < 0 ? 0 : cur_;
    const int index = cur_ < 0 ? static_cast<int>(rows_.size()) : view_[cur_];
    rows_.insert(rows_.begin() + index, Row{nextId_++, std::vector<Variant>(fields_.size(), Variant::null())});
    idIndexValid_ = false;
    for (int& v : view_) {
        if (v >= index) ++v;
    }
    view_.insert(view_.begin() + pos, index);
    insertRowIndex_ = index;
    startNewRow(pos);
}

void Dataset::append() {
    requireActive();
    checkBrowseMode();
    if (beforeInsert) beforeInsert(*this);
    fetchAll();
    rows_.push_back(Row{nextId_++, std::vector<Variant>(fields_.size(), Variant::null())});
    insertRowIndex_ = static_cast<int>(rows_.size()) - 1;
    idIndexValid_ = false;
    view_.push_back(insertRowIndex_);
    startNewRow(recordCount() - 1);
}

void Dataset::startNewRow(int pos) {
    buffer_.assign(fields_.size(), Variant::null());
    bufferCalcValid_ = false;
    modified_ = false;
    cur_ = pos;
    bof_ = eof_ = false;
    setState(DatasetState::Insert);
    notifyReset();
    doNewRecord();
    if (onNewRecord) onNewRecord(*this);
}

void Dataset::post() {
    if (state_ != DatasetState::Edit && state_ != DatasetState::Insert) return;
    if (beforePost) beforePost(*this);
    for (const auto& f : fields_) {
        if (checkRequiredOnPost_ && f->kind() == FieldKind::Data && f->required() && buffer_[f->index()].isEmpty()) {
            fail(QStringLiteral("Field '%1' must have a value").arg(f->displayLabel()));
        }
    }
    const bool inserting = state_ == DatasetState::Insert;
    const int index = inserting ? insertRowIndex_ : view_[cur_];
    std::vector<Variant> stored = buffer_;
    for (const auto& f : fields_) {
        if (f->kind() != FieldKind::Data) stored[f->index()] = Variant::null();  // recomputed when read
    }
    doPost(inserting ? std::vector<Variant>{} : rows_[index].values, stored);
    rows_[index].values = std::move(stored);
    rows_[index].calcValid = false;
    insertRowIndex_ = -1;
    modified_ = false;
    buffer_.clear();
    setState(DatasetState::Browse);
    if (!controlsDisabled()) emit rowChanged(cur_);
    if (afterPost) afterPost(*this);
}

void Dataset::cancel() {
    if (state_ == DatasetState::Insert) {
        const int index = insertRowIndex_;
        rows_.erase(rows_.begin() + index);
        idIndexValid_ = false;
        std::erase(view_, index);
        for (int& v : view_) {
            if (v > index) --v;
        }
        insertRowIndex_ = -1;
        if (cur_ >= recordCount()) cur_ = recordCount() - 1;
        eof_ = cur_ < 0;
    } else if (state_ != DatasetState::Edit) {
        return;
    }
    buffer_.clear();
    modified_ = false;
    setState(DatasetState::Browse);
    notifyReset();
    if (afterCancel) afterCancel(*this);
}

void Dataset::remove() {
    requireActive();
    if (state_ == DatasetState::Insert) {
        cancel();
        return;
    }
    if (state_ == DatasetState::Edit) cancel();
    if (cur_ < 0) fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (beforeDelete) beforeDelete(*this);
    const int index = view_[cur_];
    doDelete(rows_[index].values);
    rows_.erase(rows_.begin() + index);
    idIndexValid_ = false;
    view_.erase(view_.begin() + cur_);
    for (int& v : view_) {
        if (v > index) --v;
    }
    // The row that followed, fetched now if need be, takes the place; only without one is this the end.
    const bool follows = ensureRow(cur_);
    if (!follows) cur_ = recordCount() - 1;
    bof_ = cur_ <= 0;
    eof_ = !follows;
    notifyReset();
    if (afterDelete) afterDelete(*this);
    scrolled();
}

// ---- Filter, sort, snapshots ----------------------------------------------------------------------

void Dataset::setFilter(const QString& expression, FilterOptions options) {
    filterText_ = expression;
    filterOptions_ = options;
    filterExpr_ = expression.trimmed().isEmpty() ? nullptr : FilterExpression::parse(expression);
    if (filtered_ && active()) setFiltered(true);
}

void Dataset::setFilterPredicate(FilterPredicate predicate) {
    filterPredicate_ = std::move(predicate);
    if (filtered_ && active()) setFiltered(true);
}

void Dataset::setFiltered(bool on) {
    filtered_ = on;
    if (!active()) return;
    checkBrowseMode();
    const Bookmark current = bookmark();
    rebuildView();
    const int pos = current == kNoBookmark ? -1 : viewPosOf(current);
    cur_ = pos >= 0 ? pos : (ensureRow(0) ? 0 : -1);
    bof_ = cur_ <= 0;
    eof_ = cur_ < 0;
    notifyReset();
    scrolled();
}

void Dataset::sortRows(const std::function<bool(const std::vector<Variant>&, const std::vector<Variant>&)>& less) {
    checkBrowseMode();
    const Bookmark current = bookmark();
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) { return less(a.values, b.values); });
    idIndexValid_ = false;
    rebuildView();
    const int pos = current == kNoBookmark ? -1 : viewPosOf(current);
    cur_ = pos >= 0 ? pos : (recordCount() ? 0 : -1);
    notifyReset();
}

std::vector<Dataset::RowData> Dataset::snapshotRows() const {
    std::vector<RowData> out;
    out.reserve(rows_.size());
    for (const Row& r : rows_) out.push_back({r.id, r.values});
    return out;
}

void Dataset::restoreRows(const std::vector<RowData>& rows) {
    const Bookmark current = bookmark();
    rows_.clear();
    for (const RowData& r : rows) rows_.push_back(Row{r.id, r.values});
    idIndexValid_ = false;
    insertRowIndex_ = -1;
    reseat(current);
}

void Dataset::setRowValues(Bookmark id, std::vector<Variant> values) {
    const int index = rowIndexOf(id);
    if (index < 0) return;
    values.resize(fields_.size());
    rows_[index].values = std::move(values);
    rows_[index].calcValid = false;
    reseat(bookmark());
}

void Dataset::removeRow(Bookmark id) {
    const int index = rowIndexOf(id);
    if (index < 0) return;
    const Bookmark current = bookmark();
    rows_.erase(rows_.begin() + index);
    idIndexValid_ = false;
    reseat(current == id ? kNoBookmark : current);
}

void Dataset::insertRow(Bookmark after, Bookmark id, std::vector<Variant> values) {
    if (rowIndexOf(id) >= 0) return;
    const int previous = after == kNoBookmark ? -1 : rowIndexOf(after);
    if (after != kNoBookmark && previous < 0) return;
    const Bookmark current = bookmark();
    values.resize(fields_.size());
    rows_.insert(rows_.begin() + (previous + 1), Row{id, std::move(values)});
    idIndexValid_ = false;
    reseat(current);
}

Bookmark Dataset::rowBefore(Bookmark id) const {
    const int index = rowIndexOf(id);
    return index > 0 ? rows_[index - 1].id : kNoBookmark;
}

void Dataset::reseat(Bookmark current) {
    rebuildView();
    const int pos = current == kNoBookmark ? -1 : viewPosOf(current);
    cur_ = pos >= 0 ? pos : (recordCount() ? 0 : -1);
    bof_ = cur_ <= 0;
    eof_ = cur_ < 0;
    notifyReset();
}

// ---- Views ----------------------------------------------------------------------------------------

void Dataset::enableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ == 0) {
        notifyReset();
        scrolled();
    }
}

void Dataset::notifyReset() {
    if (controlsDisabled()) return;
    emit layoutReset();
    emit currentChanged(cur_);
}

}  // namespace data
