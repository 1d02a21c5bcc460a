#pragma once
// Small database helpers: SQL literals, one-shot statements, generators, the server date, single
// field reads and the process-wide cache of small directory tables.

#include <QString>

#include "platform/core/Variant.h"

namespace fb {
class Query;
class Transaction;
}  // namespace fb

namespace udb {

// The text with every single quote doubled, and back.
QString quoteSql(const QString& text);
QString unquoteSql(const QString& text);

// A value as an SQL literal: NULL, '1'/'0' for truth values, numbers with "." whatever the process
// separator, dates in the process formats, other values quote-doubled; all but NULL in quotes.
// An unassigned value raises "udb::var2DbVar() - The variant is Unassigned".
QString var2DbVar(const core::Variant& value);

// Runs the statement on the transaction, or on a transaction of its own (committed) when it is null.
void execSql(const QString& sql, fb::Transaction* transaction = nullptr);
// The generator's next value (each call advances it).
int genId(const QString& generator);
// The server's current date, without time.
core::DateTime serverDate();

// One field of the first row (null when there is none): "table" is a table name, or a whole select
// statement when it contains a blank. Without a transaction the read runs on a transaction of its own.
core::Variant getField(const QString& table, const QString& field, const core::Variant& keyValue,
                       const QString& keyField);
core::Variant getField(fb::Transaction* transaction, const QString& table, const QString& field,
                       const core::Variant& keyValue, const QString& keyField);

// A field of a small table (at most 1000 rows) by key text, through a process-wide cache filled on
// first use and never refreshed. Table "!" empties the cache.
core::Variant getFieldCache(const QString& table, const QString& field, const QString& keyValue,
                            const QString& keyField, const QString& filter = QString());

// Raises when the last statement of the query touched another number of rows than expected.
void checkRowsAffected(const fb::Query& query, qint64 expected);

}  // namespace udb
