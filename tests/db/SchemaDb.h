#pragma once
// Helpers of the schema tests: statements with named parameters on a transaction of their own, the
// failure code of a statement that must be refused, keys that never meet the database's own, and a
// second connection under another user and role.

#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "platform/core/Variant.h"
#include "platform/fb/Database.h"
#include "platform/fb/Transaction.h"
#include "tests/support/TestDatabase.h"

namespace tolvtest {

using Params = std::map<QString, core::Variant>;
using Row = std::vector<core::Variant>;

// Statements on one connection in one transaction (read committed, no wait) that rolls back when the
// object goes, so a test leaves the shared database as it found it.
class Sql {
public:
    explicit Sql(fb::Database& db);
    Sql(const Sql&) = delete;
    Sql& operator=(const Sql&) = delete;

    // Runs the statement with the parameters it names (every one must be given); the rows affected.
    qint64 exec(const QString& sql, const Params& params = {});
    // The first field of the first row; unassigned when there is no row.
    core::Variant value(const QString& sql, const Params& params = {});
    int count(const QString& sql, const Params& params = {}) { return value(sql, params).toInt(); }
    std::vector<Row> rows(const QString& sql, const Params& params = {});
    // The gds code the statement is refused with, 0 when it runs; the server's text in *text.
    long refusal(const QString& sql, const Params& params = {}, QString* text = nullptr);

    fb::Transaction& transaction() { return tr_; }
    void commit() { tr_.commit(); }

private:
    fb::Transaction tr_;
};

// A key no generator of a test database reaches and no other call returns, for rows a test makes
// with explicit keys.
int freshKey();
// Parameters :K0 ... :K<n-1>, each a fresh key.
Params freshKeys(int n);

// A connection to the database file as another user with a role. The embedded engine trusts the
// name; the role applies only when it was granted to that user.
std::unique_ptr<fb::Database> connectAs(const QString& path, const QString& user, const QString& role);

// The generators the program draws keys from by name.
extern const std::vector<const char*> kGenerators;

}  // namespace tolvtest
