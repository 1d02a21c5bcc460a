#pragma once
// A dataset over one SQL statement on a transaction: opened with its ":NAME" parameters, it reads
// rows only as navigation or a view asks for them. Like the platform's query, it closes when its
// transaction ends, unless it holds cached changes not yet committed: those, and the rows they
// change, stay until the transaction that applied them commits or the owner cancels them.

#include <memory>

#include "platform/data/Dataset.h"
#include "platform/fb/Statement.h"

namespace fb {

class Database;
class Transaction;

class Query : public data::Dataset {
    Q_OBJECT
public:
    explicit Query(Transaction* transaction = nullptr, QObject* parent = nullptr);
    ~Query() override;

    void setTransaction(Transaction* transaction);
    // Null once the transaction is destroyed.
    Transaction* transaction() const { return statement_.transaction(); }
    Database* database() const;
    // The query keeps this transaction and frees it with itself (after closing).
    void setOwnTransaction(std::unique_ptr<Transaction> transaction);
    bool ownsTransaction() const { return ownTransaction_ != nullptr; }

    // Changing the text closes the query and clears the parameters.
    void setSql(const QString& sql);
    const QString& sql() const { return statement_.sql(); }
    void setParamCheck(bool on) { statement_.setParamCheck(on); }
    QStringList paramNames() { return statement_.paramNames(); }
    void setParam(const QString& name, const core::Variant& value) { statement_.setParam(name, value); }
    core::Variant param(const QString& name) { return statement_.param(name); }

    // Editing: statements with ":FIELD" (the posted value) and ":OLD_FIELD" (the value before); a
    // delete binds the row as stored under both. A modify or delete that finds no row raises.
    enum class UpdateKind { Modify, Insert, Delete, Refresh };
    void setUpdateSql(UpdateKind kind, const QString& sql);
    // Changes are kept and run in order by applyUpdates on the query's transaction; they stay pending
    // until that transaction commits (a rollback makes all of them pending again, so a retry applies
    // each once), or until cancelUpdates puts the rows back as they were.
    void setCachedUpdates(bool on);
    bool cachedUpdates() const { return cached_; }
    bool updatesPending() const { return !log_.empty(); }
    void applyUpdates();
    void cancelUpdates();
    // A new row takes the generator's next value in this field.
    void setGeneratorField(const QString& field, const QString& generator, int incrementBy = 1);

    // Runs a statement that returns no rows.
    void execSql();
    qint64 rowsAffected() const { return statement_.rowsAffected(); }
    void prepare() { statement_.prepare(); }

protected:
    // Sets the statement text without closing (for subclasses that build it on open).
    void prepareSql(const QString& sql) { statement_.setSql(sql); }
    Statement& statement() { return statement_; }
    void doOpen() override;
    void doClose() override;
    bool doFetch(int count) override;
    void doPost(const std::vector<core::Variant>& oldValues, std::vector<core::Variant>& newValues) override;
    void doDelete(const std::vector<core::Variant>& values) override;
    void doNewRecord() override;

private:
    void hookTransaction();
    void unhookTransaction();
    void transactionEnding();

    int endHook_ = 0;
    int commitHook_ = 0;
    int rollbackHook_ = 0;
    std::unique_ptr<Transaction> ownTransaction_;  // declared before the statement: it outlives it
    Statement statement_;

    struct Change {
        UpdateKind kind;
        data::Bookmark row;   // the row changed
        data::Bookmark prev;  // a deleted row's predecessor, to put it back in its place
        std::vector<core::Variant> oldValues;
        std::vector<core::Variant> newValues;
    };
    // Runs the change now, or keeps it for applyUpdates (false) when updates are cached.
    bool store(Change& change);
    // Runs one change; values an insert or modify returns (RETURNING) come back into its new values.
    void run(Change& change);
    // Values the database set (triggers, defaults) read back through the refresh statement.
    void refresh(std::vector<core::Variant>& values);
    // An applied change's returned values reach its row and the later changes of that row.
    void writeBack(size_t applied, const std::vector<core::Variant>& sent);
    void undo(const Change& change);
    QString updateSql_[4];
    std::vector<int> columnOf_;  // statement column of each persistent field (-1: none)
    bool cached_ = false;
    std::vector<Change> log_;
    size_t applied_ = 0;  // the first changes of the log, run in the transaction but not committed
    QString generatorField_;
    QString generator_;
    int generatorStep_ = 1;
};

}  // namespace fb
