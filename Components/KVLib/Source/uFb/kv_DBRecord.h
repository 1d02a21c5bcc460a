#pragma once
// One row of one table addressed by its key fields, with its values by name: it builds and runs its
// own insert, select, update and delete statements, and its insert statement is also the line of the
// branch exchange file, which it parses back.

#include <QString>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "platform/core/Variant.h"

namespace data {
class Dataset;
}
namespace fb {
class Database;
class Transaction;
}  // namespace fb

namespace ufb {

// The record's NULL marker, set in place of a value: a key field holding it selects the rows whose
// column is null, and an insert leaves the field out (the column takes its default). A plain null in
// a key field is skipped instead, so that a key still unknown selects nothing by it.
struct NullMarker {};
inline constexpr NullMarker nullMarker{};

// The key of a record: field names (upper-cased) to values; a field counts while its value is assigned
// and not null.
class TUniqueKey {
public:
    void set(const QString& name, const core::Variant& value) {
        fields_[name] = value;
        nullMarked_.erase(name);
    }
    void set(const QString& name, NullMarker) {
        fields_[name] = core::Variant::null();
        nullMarked_.insert(name);
    }
    bool holdsNullMarker(const QString& name) const { return nullMarked_.count(name) > 0; }
    // True when the key holds an assigned value (null included) for the name; asking leaves an
    // unassigned entry behind, which the condition skips.
    bool contains(const QString& name) { return !fields_[name].isUnassigned(); }
    // " where A='1' and B is null" over the fields in name order, or empty when none counts.
    QString whereClause() const;
    void clear() {
        fields_.clear();
        nullMarked_.clear();
    }
    const std::map<QString, core::Variant>& fields() const { return fields_; }

private:
    std::map<QString, core::Variant> fields_;
    std::set<QString> nullMarked_;
};

class TDBRecord {
public:
    TDBRecord();
    TDBRecord(const QString& tableName, fb::Transaction* transaction);
    TDBRecord(const QString& tableName, const QString& keyField, const core::Variant& keyValue,
              fb::Transaction* transaction);
    virtual ~TDBRecord();
    TDBRecord(const TDBRecord&) = default;
    TDBRecord& operator=(const TDBRecord&) = default;

    // Statements, on the given transaction, else the record's, else one of their own (committed on
    // success, rolled back on failure). Insert and Update refuse a text its column cannot keep with a
    // message naming the field; a row another workstation changed or holds raises an fb::Error with
    // a message saying so and the server's codes.
    virtual void Insert(fb::Transaction* transaction = nullptr);
    // The number of rows found (0 when none, or when the key gives no condition); the first is loaded.
    virtual int Select(fb::Transaction* transaction = nullptr);
    // Copies every field of the dataset's current row, remembered as the row read; false when it is
    // closed or at its end.
    virtual bool LoadFromDataSet(data::Dataset& dataset);
    // Writes the values changed since the row was last read (Select, LoadFromDataSet), so that a
    // change saved meanwhile by another workstation to other columns stays; a record never read
    // writes every value it holds. With nothing changed no statement writes, and checkOne only
    // counts the key's rows. Refuses a record whose key gives no condition (it would rewrite the
    // whole table). With checkOne an update that touched other than one row fails.
    virtual void Update(fb::Transaction* transaction = nullptr, bool checkOne = false);
    // Does nothing when the key gives no condition.
    virtual void Delete(fb::Transaction* transaction = nullptr);
    // The value under the upper-cased name, created unassigned when missing.
    virtual core::Variant& Field(const QString& name);
    virtual void SetField(const QString& name, const core::Variant& value, bool isKey = false);
    virtual void SetKey(const QString& name, const core::Variant& value);
    virtual void SetId(int id);
    // The NULL marker as the value (it reads as null); a later value replaces it.
    void SetField(const QString& name, NullMarker, bool isKey = false);
    void SetKey(const QString& name, NullMarker) { SetField(name, nullMarker, true); }
    bool holdsNullMarker(const QString& name) const { return nullMarked_.count(name.toUpper()) > 0; }
    // A copy of the value; a missing name raises when mustExist is set, else gives an unassigned value.
    virtual core::Variant GetField(const QString& name, bool mustExist = true) const;
    virtual QString GetFieldStr(const QString& name) const;

    // Parses an exchange line (an insert statement) into the table name and values.
    void LoadFromInsertSql(const QString& line);
    // The next value of "GEN_" + table + "_ID".
    int genId(fb::Transaction* transaction = nullptr) const;

    // Null stands for the program's main database, looked up when a statement runs.
    void setDatabase(fb::Database* database) { database_ = database; }
    fb::Database* database() const;
    void setTableName(const QString& name) { tableName_ = name; }
    const QString& getTableName() const { return tableName_; }
    void setTransaction(fb::Transaction* transaction) { transaction_ = transaction; }
    fb::Transaction* getTransaction() const { return transaction_; }
    bool fieldExists(const QString& name) const { return values_.count(name.toUpper()) > 0; }
    void clearKey() { key_.clear(); }
    void clear();

    const std::map<QString, core::Variant>& values() const { return values_; }
    TUniqueKey& key() { return key_; }
    // The statements as last built, in their literal form (values rendered by udb::var2DbVar; an
    // update that wrote nothing leaves its text empty). They run with their values bound as
    // parameters, so that no process format reaches the server.
    const QString& insertSql() const { return insertSql_; }
    const QString& selectSql() const { return selectSql_; }
    const QString& updateSql() const { return updateSql_; }
    const QString& deleteSql() const { return deleteSql_; }
    // The insert statement (exchange line) for the current values, without running it.
    QString buildInsertSql() const;
    // What Select reads in place of "*": a table whose texts are longer than a plain text value
    // can carry over the connection names its columns, the long ones by longTextColumn.
    void setSelectList(const QString& columns) { selectList_ = columns; }
    // A long text column for a select list: its first characters as a plain text under its own
    // name, and beside it the whole text as a text blob only when it is longer, so that a short
    // text costs no blob. Loading a row puts the whole text under the column's name.
    static QString longTextColumn(const QString& column);

private:
    enum class Op { Insert, Select, Update, Delete };
    int run(Op op, fb::Transaction* transaction, bool checkOne);

    // The names Update writes: those changed since the row was read, or all without a read.
    std::vector<QString> changedNames() const;
    // Refuses, naming the field, a text its column cannot keep: characters outside WIN1251 in a
    // WIN1251 column, or more characters than the column holds.
    void checkTexts(const std::vector<QString>& names, fb::Transaction* transaction) const;

    std::map<QString, core::Variant> values_;
    // The row as last read; none until a read.
    std::optional<std::map<QString, core::Variant>> read_;
    // Values holding the NULL marker, left out of an insert.
    std::set<QString> nullMarked_;
    QString selectList_ = QStringLiteral("*");
    TUniqueKey key_;
    QString insertSql_;
    QString selectSql_;
    QString updateSql_;
    QString deleteSql_;
    fb::Database* database_ = nullptr;
    QString tableName_;
    fb::Transaction* transaction_ = nullptr;
};

}  // namespace ufb
