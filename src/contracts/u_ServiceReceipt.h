#pragma once
// The lines a fiscal receipt gives the additional services of an event: one per row of the list.

#include "kv_fiscalRegister.h"

namespace data {
class Dataset;
}

namespace TolvLogic {

// One line per services row, walked from the first (a closed list is opened): NAME, PRICE in
// hundredths and the service's article number, under the key "<position from 0>_<ID_SERVICE>", so that
// the register prints them in the byte order of the keys.
KassRegister::FiscalRegister::ServiceLines serviceReceiptLines(data::Dataset& services);

}  // namespace TolvLogic
