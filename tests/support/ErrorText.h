#pragma once
// The message of the core::Exception a call raises, or "<no error>": lets tests compare texts in tables.

#include <QString>
#include <functional>

#include "platform/core/Exception.h"

namespace tolvtest {

inline QString errorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const core::Exception& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

}  // namespace tolvtest
