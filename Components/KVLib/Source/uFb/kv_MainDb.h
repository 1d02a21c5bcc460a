#pragma once
// The program-wide database connection and shared change transaction. The application shell installs
// them when its data module is made; tests install their own database. The library reaches them here
// so that it never depends on the shell.

namespace fb {
class Database;
class Transaction;
}  // namespace fb

namespace TolvMain {

// The connection record objects, queries and lists use when they are given no transaction.
// Raises core::Exception while none is installed.
fb::Database* getZarvelDb();
// The shared change transaction (read committed, record versions, no wait; rolls back by default).
// Raises core::Exception while none is installed.
fb::Transaction* getChangeTransact();

void setZarvelDb(fb::Database* database);
void setChangeTransact(fb::Transaction* transaction);

}  // namespace TolvMain
