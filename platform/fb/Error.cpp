#include "platform/fb/Error.h"

#include <algorithm>

namespace fb {

Error::Error(QString fullText, QString firstMessage, std::vector<long> gdsCodes, int sqlCode)
    : core::Exception(std::move(fullText)),
      firstMessage_(std::move(firstMessage)),
      codes_(std::move(gdsCodes)),
      sqlCode_(sqlCode) {}

bool Error::hasGdsCode(long code) const { return std::find(codes_.begin(), codes_.end(), code) != codes_.end(); }

}  // namespace fb
