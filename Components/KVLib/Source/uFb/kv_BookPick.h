#pragma once
// How list logic asks the user to pick a row of a directory in the generic directory form without
// depending on widgets: the form's library installs the picker at start-up (tests install their own),
// and lists call pickFromBook.

#include <QString>
#include <functional>
#include <map>
#include <optional>

#include "platform/core/Variant.h"

namespace ufb {

class DataSetWrapper;

struct BookPick {
    QString storageKey;  // names this use of the form for its stored size and column layout
    DataSetWrapper* wrapper = nullptr;
    QString caption;
    QString keyField;        // the list is positioned on the row whose key field holds the value
    core::Variant keyValue;  // unassigned: no positioning
};

// Every field of the picked row by name, or nothing when the user picked no row.
using PickedRow = std::optional<std::map<QString, core::Variant>>;
using BookPicker = std::function<PickedRow(const BookPick&)>;

// Shows the list for viewing and picking (mode switching locked). Raises core::Exception while no
// picker is installed: a pick must never be answered silently.
PickedRow pickFromBook(const BookPick& pick);
void setBookPicker(BookPicker picker);

}  // namespace ufb
