#pragma once
// Factories of queries and transactions with the library's standard parameters, and the two scope
// owners that free them: the way the program runs its one-off statements.

#include <QStringList>
#include <memory>

#include "platform/fb/Query.h"
#include "platform/fb/Transaction.h"

namespace udb {

// "read_committed", "rec_version", "nowait": the latest committed row versions, and a lock
// conflict reported at once instead of blocking the user interface.
const QStringList& standardTransactionParams();

// A closed query with empty text on the database, owning a new transaction with the standard
// parameters.
std::unique_ptr<fb::Query> createQuery(fb::Database* database);
// The same with a read-only transaction: for reads, it costs the server nothing to end.
std::unique_ptr<fb::Query> createReadQuery(fb::Database* database);
// On the given transaction (not owned, never committed or rolled back by the query); a null
// transaction gives the first form on the program database.
std::unique_ptr<fb::Query> createQuery(fb::Transaction* transaction);

// A new transaction with the standard parameters, owned by nobody (the caller keeps it).
std::unique_ptr<fb::Transaction> createTransaction(fb::Database* database);
// The same, read only: for reads, it costs the server nothing to end.
std::unique_ptr<fb::Transaction> createReadTransaction(fb::Database* database);
// The standard one, owned by the database: freed with the connection.
fb::Transaction* createOwnedTransaction(fb::Database* database);
// Replaces the parameters by the standard ones and sets the default database.
void initTransaction(fb::Transaction* transaction, fb::Database* database);

}  // namespace udb

namespace ufb {

// A query owned by one scope. Released while its own transaction is active, that transaction commits
// (or rolls back when an exception is unwinding); errors while freeing never escape.
class AutoQuery {
public:
    AutoQuery();
    explicit AutoQuery(fb::Transaction* transaction);
    AutoQuery(const QString& sql, fb::Transaction* transaction);
    virtual ~AutoQuery();
    AutoQuery(const AutoQuery&) = delete;
    AutoQuery& operator=(const AutoQuery&) = delete;

    fb::Query* operator->() const { return query_.get(); }
    fb::Query* get() const { return query_.get(); }
    // The named field of the current row; raises "AutoQuery::getFields() - query empty" when no row
    // has been fetched.
    core::Variant getFields(const QString& name) const;

private:
    std::unique_ptr<fb::Query> query_;
};

// A transaction owned by one scope. It makes no commit or rollback of its own: released while
// active, it takes its default action (commit), or rolls back when an exception is unwinding.
class AutoTransaction {
public:
    explicit AutoTransaction(fb::Database* database);
    virtual ~AutoTransaction();
    AutoTransaction(const AutoTransaction&) = delete;
    AutoTransaction& operator=(const AutoTransaction&) = delete;

    fb::Transaction* operator->() const { return transaction_.get(); }
    fb::Transaction* get() const { return transaction_.get(); }

private:
    std::unique_ptr<fb::Transaction> transaction_;
};

// The transaction of one stored change: the caller's, left alone, or one of its own that commits when
// asked and otherwise rolls back when released.
class ChangeTransaction {
public:
    ChangeTransaction(fb::Transaction* given, fb::Database* database);
    ~ChangeTransaction();
    ChangeTransaction(const ChangeTransaction&) = delete;
    ChangeTransaction& operator=(const ChangeTransaction&) = delete;

    fb::Transaction* get() const { return transaction_; }
    bool own() const { return own_ != nullptr; }
    void commit();

private:
    std::unique_ptr<fb::Transaction> own_;
    fb::Transaction* transaction_;
};

}  // namespace ufb
