#pragma once
// One SQL statement with named parameters (":NAME") on a transaction: execution, the affected-row
// count, and a cursor that fetches rows one at a time as the caller asks for them.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/core/Variant.h"

namespace Firebird {
class IAttachment;
class ITransaction;
}  // namespace Firebird

namespace fb {
namespace detail {
struct PreparedStatement;
}

class Database;
class Error;
class Transaction;

enum class FieldType { SmallInt, Integer, BigInt, Numeric, Float, Double, Char, VarChar, Blob, TextBlob,
                       Date, Time, Timestamp, Boolean, Other };

struct FieldInfo {
    QString name;      // the alias, as a dataset names the field
    QString column;    // the column of the relation, when the field is one
    QString relation;  // the table, when the field is a column of one
    FieldType type = FieldType::Other;
    int size = 0;   // characters for texts, bytes otherwise
    int scale = 0;  // negative: decimals of NUMERIC/DECIMAL
    bool nullable = true;
};

class Statement {
public:
    explicit Statement(Transaction* transaction = nullptr);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void setTransaction(Transaction* transaction);
    Transaction* transaction() const { return transaction_; }
    Database* database() const;

    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }
    // Off: ":NAME" is left in the text (PSQL bodies use it for their own variables).
    void setParamCheck(bool on);

    // Parameter names in order of first use, upper-cased; a name used twice binds every place.
    QStringList paramNames();
    // Names compare without regard to case; an unknown name raises.
    void setParam(const QString& name, const core::Variant& value);
    void setParam(int index, const core::Variant& value);
    core::Variant param(const QString& name);
    void clearParams();

    // A statement let go (new text, another connection, destroyed) leaves its prepared form to its
    // connection for reuse; unprepare frees it on the server.
    void prepare();
    bool prepared() const;
    void unprepare();

    // Runs the statement on its transaction (starting it when inactive). A statement that returns
    // rows opens its cursor, positioned before the first row.
    void execute();
    // Reads the next row of the cursor; false when there are no more rows (the cursor is closed).
    bool fetch();
    bool cursorOpen() const;
    void close();
    qint64 rowsAffected() const { return rowsAffected_; }
    bool returnsRows();
    // What the prepared statement does (prepares it when it is not).
    enum class Kind { Select, Insert, Update, Delete, Procedure, Other };
    Kind kind();
    // The server's access plan of the prepared statement (prepares it when it is not), as the server
    // words it: how a list is read is checked against it.
    QString plan();

    int fieldCount();
    const FieldInfo& fieldInfo(int index);
    // Index of the field with the given name, without regard to case; -1 when there is none (or the
    // statement is not prepared).
    int fieldIndex(const QString& name) const;
    const core::Variant& value(int index) const;
    const core::Variant& value(const QString& name) const;
    const std::vector<core::Variant>& row() const { return row_; }

private:
    friend class Transaction;
    friend class Database;
    struct Impl;
    void ensurePrepared();
    void closeCursor() noexcept;
    // Keep: the prepared statement goes to its connection's cache for the next statement of its text.
    void releaseStatement(bool keep = true) noexcept;
    void transactionGone() noexcept;
    void prepareOn(Database* db, Firebird::IAttachment* att, Firebird::ITransaction* tra, const QByteArray& text);
    void adopt(Database* db, std::unique_ptr<detail::PreparedStatement> kept);
    // Without parameter names the placeholders bind by position.
    void bindPlaces();
    // Raises a message naming the parameter whose text the database's character set cannot hold.
    void explainUnwritable(const Error& e);
    // The parameter name of a placeholder, for messages.
    QString placeName(unsigned place) const;

    Transaction* transaction_ = nullptr;
    QString sql_;
    bool paramCheck_ = true;
    std::unique_ptr<Impl> d_;
    std::vector<core::Variant> row_;
    qint64 rowsAffected_ = -1;
};

}  // namespace fb
