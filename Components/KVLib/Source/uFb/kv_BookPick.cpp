#include "kv_BookPick.h"

#include "platform/core/Exception.h"

namespace ufb {

namespace {

BookPicker& installed() {
    static BookPicker picker;
    return picker;
}

}  // namespace

PickedRow pickFromBook(const BookPick& pick) {
    if (!installed()) throw core::Exception(QStringLiteral("No directory form is installed to pick from"));
    return installed()(pick);
}

void setBookPicker(BookPicker picker) {
    installed() = std::move(picker);
}

}  // namespace ufb
