#pragma once
// Settings kept in the database (table INI: section, name, text value), the same for every
// workstation of an office, read with a default through a process-wide cache.

#include <QString>

#include "platform/core/Variant.h"

namespace fb {
class Query;
class Transaction;
}  // namespace fb

namespace udb {

extern const QString INI_TABLE;
extern const QString INI_SECTION;
extern const QString INI_NAME;
extern const QString INI_VAL;

// The cached value, else the stored one, else the default; whichever it is stays cached.
core::Variant dbIniReadVariant(const QString& section, const QString& name, const core::Variant& defaultValue,
                               fb::Transaction* transaction = nullptr);
QString dbIniReadString(const QString& section, const QString& name, const QString& defaultValue,
                        fb::Transaction* transaction = nullptr);
// A value that is not a whole number (or a decimal number) gives the default.
int dbIniReadInt(const QString& section, const QString& name, int defaultValue, fb::Transaction* transaction = nullptr);
double dbIniReadFloat(const QString& section, const QString& name, double defaultValue,
                      fb::Transaction* transaction = nullptr);
bool dbIniReadBool(const QString& section, const QString& name, bool defaultValue,
                   fb::Transaction* transaction = nullptr);

// Stores the value's text ("1"/"0" for truth values, "." decimals) and caches that text. On a
// caller's transaction the cached value is dropped again if that transaction rolls back.
void dbIniWrite(const QString& section, const QString& name, const core::Variant& value,
                fb::Transaction* transaction = nullptr);
// Drops one pair, every pair of a section (empty name), or everything (both empty).
void dbIniDropCache(const QString& section = QString(), const QString& name = QString());

// Opens the select of one setting on the query.
void dbIniOpen(fb::Query& query, const QString& section, const QString& name);
bool dbIniExists(const QString& section, const QString& name, fb::Transaction* transaction = nullptr);

}  // namespace udb
