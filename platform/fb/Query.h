#pragma once
// A dataset over one SQL statement on a transaction: opened with its ":NAME" parameters, it reads
// rows only as navigation or a view asks for them. Like the platform's query, it closes when its
// transaction ends.

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
    Transaction* transaction() const { return transaction_; }
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

    // Runs a statement that returns no rows.
    void execSql();
    qint64 rowsAffected() const { return statement_.rowsAffected(); }
    void prepare() { statement_.prepare(); }

protected:
    void doOpen() override;
    void doClose() override;
    bool doFetch(int count) override;

private:
    Transaction* transaction_ = nullptr;
    int endHook_ = 0;
    std::unique_ptr<Transaction> ownTransaction_;  // declared before the statement: it outlives it
    Statement statement_;
};

}  // namespace fb
