#pragma once
// A transaction on one database, set up by parameter words ("read_committed", "rec_version",
// "nowait", ...). Several may be active at once on one connection. Released while active, it takes
// its default action, except while an exception unwinds: then it rolls back, so a half-done change
// never commits. A commit on release that fails rolls back and is reported (log and a message box),
// never passed off as success; work that must be saved commits explicitly, where a failure raises.

#include <QStringList>
#include <functional>
#include <set>
#include <vector>

namespace Firebird {
class ITransaction;
}

namespace fb {

class Database;
class Statement;

enum class TransactionAction { Commit, Rollback };

class Transaction {
public:
    explicit Transaction(Database* database = nullptr);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void setDefaultDatabase(Database* database);
    Database* defaultDatabase() const { return database_; }

    // Parameter words, one per entry; checked when the transaction starts.
    void setParams(const QStringList& params) { params_ = params; }
    const QStringList& params() const { return params_; }
    void setDefaultAction(TransactionAction action) { defaultAction_ = action; }
    TransactionAction defaultAction() const { return defaultAction_; }

    void start();
    bool inTransaction() const { return handle_ != nullptr; }
    void commit();
    void rollback();
    void commitRetaining();
    void rollbackRetaining();

    // Callbacks run after every rollback (plain or retaining, explicit or on release).
    using Hook = std::function<void()>;
    int addRollbackHook(Hook hook);
    void removeRollbackHook(int id);

    // Callbacks run after every commit, plain or retaining (the work done so far is durable).
    int addCommitHook(Hook hook);
    void removeCommitHook(int id);

    // Callbacks run before every commit or rollback that ends the transaction (datasets close then).
    int addEndHook(Hook hook);
    void removeEndHook(int id);

    // The client handle; starts the transaction when it is not active.
    Firebird::ITransaction* handle();

private:
    friend class Database;
    friend class Statement;
    void attach(Statement* s) { statements_.insert(s); }
    void detach(Statement* s) { statements_.erase(s); }
    void beforeEnd();
    void runRollbackHooks();
    void endOnRelease(bool unwinding);
    // Rolls back whatever happens; a failure is logged and the handle dropped (the server ends it).
    void abandon() noexcept;
    void dropHandle() noexcept;
    void databaseGone();

    Database* database_ = nullptr;
    QStringList params_;
    TransactionAction defaultAction_ = TransactionAction::Commit;
    Firebird::ITransaction* handle_ = nullptr;
    std::set<Statement*> statements_;
    std::vector<std::pair<int, Hook>> rollbackHooks_;
    std::vector<std::pair<int, Hook>> endHooks_;
    std::vector<std::pair<int, Hook>> commitHooks_;
    int nextHookId_ = 1;
    int uncaughtAtCreation_;
};

}  // namespace fb
