#pragma once
// A connection to one Firebird database: a file opened by the embedded engine, or "host[/port]:path"
// on a server. It knows the transactions and statements that work on it, so closing it ends them.

#include <QString>
#include <memory>
#include <set>
#include <vector>

namespace Firebird {
class IAttachment;
}

namespace fb {
namespace detail {
class StatementCache;
}

class Transaction;
class Statement;

class Database {
public:
    Database();
    explicit Database(const QString& databaseName);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void setDatabaseName(const QString& name);
    const QString& databaseName() const { return name_; }
    void setUserName(const QString& user) { user_ = user; }
    const QString& userName() const { return user_; }
    void setPassword(const QString& password) { password_ = password; }
    const QString& password() const { return password_; }
    void setRole(const QString& role) { role_ = role; }
    const QString& role() const { return role_; }
    // The connection character set; texts inside the program are always Unicode and travel as UTF8,
    // so any other set is refused.
    void setCharset(const QString& charset);
    const QString& charset() const { return charset_; }
    // The database's default character set ("WIN1251"), read once per connection.
    QString defaultCharacterSet();

    // Creates a new database (dialect 3, default character set WIN1251) and stays connected to it.
    void create(int pageSize = 8192);
    void open();
    // Rolls back every active transaction, frees the statements, then detaches.
    void close();
    bool connected() const { return attachment_ != nullptr; }
    // Drops the connected database file.
    void dropDatabase();

    // The transaction statements use when they are given none (may be null).
    void setDefaultTransaction(Transaction* transaction) { defaultTransaction_ = transaction; }
    Transaction* defaultTransaction() const { return defaultTransaction_; }

    Firebird::IAttachment* attachment() const;  // raises when not connected

    // Keeps a transaction for the life of this connection (the platform's "owned by the database").
    Transaction* adopt(std::unique_ptr<Transaction> transaction);

    // Prepared statements kept for reuse once their objects let them go (0: none kept). A kept
    // statement holds its tables in use: this connection drops them before its own metadata changes;
    // another connection's change of such a table waits until dropStatementCache or close.
    void setStatementCacheSize(int size);
    int statementCacheSize() const;
    int keptStatements() const;
    void dropStatementCache() noexcept;

private:
    friend class Transaction;
    friend class Statement;
    void attach(Transaction* t) { transactions_.insert(t); }
    void detach(Transaction* t);
    void attach(Statement* s) { statements_.insert(s); }
    void detach(Statement* s) { statements_.erase(s); }
    detail::StatementCache& statementCache() { return *cache_; }
    void connect(bool create, int pageSize);
    void endAll() noexcept;

    QString name_;
    QString user_ = QStringLiteral("SYSDBA");
    QString password_;
    QString role_;
    QString charset_ = QStringLiteral("UTF8");
    QString defaultCharacterSet_;
    Firebird::IAttachment* attachment_ = nullptr;
    Transaction* defaultTransaction_ = nullptr;
    std::set<Transaction*> transactions_;
    std::set<Statement*> statements_;
    std::unique_ptr<detail::StatementCache> cache_;
    // Destroyed first, while the sets above still exist.
    std::vector<std::unique_ptr<Transaction>> owned_;
};

}  // namespace fb
