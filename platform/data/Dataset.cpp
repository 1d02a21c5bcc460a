#include "platform/data/Dataset.h"

#include <algorithm>

#include "platform/core/Exception.h"

namespace data {

using core::Variant;

Dataset::Dataset(QObject* parent) : QObject(parent) {}

Dataset::~Dataset() = default;

Field* Dataset::field(int index) const {
    if (index < 0 || index >= fieldCount()) {
        throw core::Exception(QStringLiteral("Field index out of range: %1").arg(index));
    }
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
    if (!f) throw core::Exception(QStringLiteral("Field '%1' not found").arg(name));
    return *f;
}

QStringList Dataset::fieldNames() const {
    QStringList names;
    for (const auto& f : fields_) names << f->fieldName();
    return names;
}

Field* Dataset::addField(const QString& name, DataType type, int size, FieldKind kind) {
    auto f = std::make_unique<Field>(this, name, type, size, kind);
    f->index_ = fieldCount();
    fields_.push_back(std::move(f));
    return fields_.back().get();
}

void Dataset::clearFields() { fields_.clear(); }

void Dataset::open() {
    if (active()) return;
    rows_.clear();
    view_.clear();
    fetchDone_ = false;
    doOpen();
    state_ = DatasetState::Browse;
    ensureRow(0);
    cur_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    notifyReset();
}

void Dataset::close() {
    if (!active()) return;
    doClose();
    state_ = DatasetState::Inactive;
    rows_.clear();
    view_.clear();
    fetchDone_ = true;
    cur_ = -1;
    bof_ = eof_ = true;
    notifyReset();
}

bool Dataset::ensureRow(int pos) {
    while (static_cast<int>(view_.size()) <= pos && !fetchDone_) {
        const int before = recordCount();
        if (!doFetch(pos + 1 - before)) fetchDone_ = true;
        if (recordCount() == before && !fetchDone_) fetchDone_ = true;  // a source that reads nothing is done
    }
    return pos >= 0 && pos < recordCount();
}

void Dataset::appendRow(std::vector<Variant> values) {
    values.resize(fields_.size());
    rows_.push_back(Row{nextId_++, std::move(values)});
    view_.push_back(static_cast<int>(rows_.size()) - 1);
    const int pos = recordCount() - 1;
    if (controlsDisabled()) {
        appendedWhileDisabled_ = true;
    } else {
        emit rowsAppended(pos, pos);
    }
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

void Dataset::setCurrent(int pos) {
    if (pos == cur_) return;
    cur_ = pos;
    if (!controlsDisabled()) emit currentChanged(cur_);
}

void Dataset::first() {
    if (!active()) throw core::Exception(QStringLiteral("Cannot perform this operation on a closed dataset"));
    setCurrent(ensureRow(0) ? 0 : -1);
    bof_ = true;
    eof_ = cur_ < 0;
}

void Dataset::last() {
    if (!active()) throw core::Exception(QStringLiteral("Cannot perform this operation on a closed dataset"));
    fetchAll();
    setCurrent(recordCount() - 1);
    eof_ = true;
    bof_ = cur_ < 0;
}

void Dataset::next() {
    if (!active()) throw core::Exception(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (cur_ >= 0 && ensureRow(cur_ + 1)) {
        setCurrent(cur_ + 1);
        bof_ = eof_ = false;
    } else {
        eof_ = true;
    }
}

void Dataset::prior() {
    if (!active()) throw core::Exception(QStringLiteral("Cannot perform this operation on a closed dataset"));
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
    if (!active()) throw core::Exception(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (recNo < 1) recNo = 1;
    ensureRow(recNo - 1);
    const int pos = std::min(recNo, recordCount()) - 1;
    setCurrent(pos);
    bof_ = pos <= 0;
    eof_ = pos < 0;
}

Bookmark Dataset::bookmark() const { return cur_ < 0 ? kNoBookmark : rows_[view_[cur_]].id; }

int Dataset::viewPosOf(Bookmark id) const {
    auto it = std::lower_bound(rows_.begin(), rows_.end(), id, [](const Row& r, Bookmark b) { return r.id < b; });
    if (it == rows_.end() || it->id != id) return -1;
    const int index = static_cast<int>(it - rows_.begin());
    if (index < recordCount() && view_[index] == index) return index;
    auto v = std::find(view_.begin(), view_.end(), index);
    return v == view_.end() ? -1 : static_cast<int>(v - view_.begin());
}

bool Dataset::bookmarkValid(Bookmark bookmark) const { return bookmark != kNoBookmark && viewPosOf(bookmark) >= 0; }

void Dataset::gotoBookmark(Bookmark bookmark) {
    const int pos = viewPosOf(bookmark);
    if (pos < 0) throw core::Exception(QStringLiteral("Record not found"));
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
    std::vector<int> indexes;
    for (const QString& n : names) indexes.push_back(fieldByName(n).index());
    for (int pos = 0; ensureRow(pos); ++pos) {
        const Row& row = rows_[view_[pos]];
        bool all = true;
        for (size_t i = 0; i < indexes.size() && all; ++i) all = matches(row.values[indexes[i]], values[i], options);
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

void Dataset::enableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ == 0) notifyReset();
}

void Dataset::notifyReset() {
    if (controlsDisabled()) return;
    appendedWhileDisabled_ = false;
    emit layoutReset();
    emit currentChanged(cur_);
}

const Variant& Dataset::valueAt(int row, int fieldIndex) const {
    if (row < 0 || row >= recordCount() || fieldIndex < 0 || fieldIndex >= fieldCount()) {
        throw core::Exception(QStringLiteral("Row or field out of range"));
    }
    return rows_[view_[row]].values[fieldIndex];
}

Variant Dataset::fieldValue(int fieldIndex) const {
    if (cur_ < 0) return Variant::null();
    return valueAt(cur_, fieldIndex);
}

}  // namespace data
