#include "platform/data/MemTable.h"

namespace data {

using core::Variant;

MemTable::MemTable(QObject* parent) : Dataset(parent) { keepFieldsOnOpen(true); }

namespace {

int compareValues(const Variant& a, const Variant& b, bool caseInsensitive) {
    if (a.isEmpty() || b.isEmpty()) return a.isEmpty() == b.isEmpty() ? 0 : (a.isEmpty() ? -1 : 1);
    if (a.type() == core::VarType::Text || b.type() == core::VarType::Text) {
        return QString::compare(a.toText(), b.toText(), caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    }
    const double x = a.toDouble(), y = b.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace

void MemTable::sortOnFields(const QString& fieldNames, bool caseInsensitive, bool descending) {
    std::vector<int> indexes;
    for (const QString& name : fieldNames.split(u';', Qt::SkipEmptyParts)) {
        indexes.push_back(fieldByName(name.trimmed()).index());
    }
    sortRows([&](const std::vector<Variant>& a, const std::vector<Variant>& b) {
        for (int i : indexes) {
            const int c = compareValues(a[i], b[i], caseInsensitive);
            if (c != 0) return descending ? c > 0 : c < 0;
        }
        return false;
    });
}

void MemTable::emptyTable() {
    if (!active()) return;
    restoreRows({});
}

}  // namespace data
