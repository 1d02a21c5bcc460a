#pragma once
// The process date format set for one scope, as a user's setting sets it, and put back afterwards.

#include "platform/core/Formats.h"

namespace tolvtest {

class ScopedDateFormat {
public:
    // A pattern of the process formats ("dd/mm/yyyy"); "/" in it stands for the separator.
    ScopedDateFormat(const QString& pattern, QChar separator) : saved_(core::formats()) {
        core::formats().shortDateFormat = pattern;
        core::formats().dateSeparator = separator;
        core::formats().dateTimeFormat = pattern + QStringLiteral(" hh:nn:ss");
    }
    ~ScopedDateFormat() { core::formats() = saved_; }
    ScopedDateFormat(const ScopedDateFormat&) = delete;
    ScopedDateFormat& operator=(const ScopedDateFormat&) = delete;

private:
    core::FormatSettings saved_;
};

}  // namespace tolvtest
