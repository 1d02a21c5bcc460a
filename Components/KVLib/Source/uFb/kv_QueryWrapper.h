#pragma once
// The wrapper of every list read with a select statement: the statement is composed at each open from
// its parts (base select, fixed condition, extra filter, fixed order, and the sort chosen by title
// clicks). UpdQueryWrapper also writes rows back through given statements.

#include <QStringList>

#include "kv_DataSetWrapper.h"

namespace ufb {

class QueryWrapper : public IbDataSetWrapper {
public:
    explicit QueryWrapper(fb::Database* database);
    explicit QueryWrapper(fb::Transaction* transaction);
    ~QueryWrapper() override;

    data::Dataset* getDataSet() override;
    fb::Query* getQuery() const { return query(); }
    bool open() override;
    void gridTitleClick(int column) override;
    void gridEhSortMarkingChanged(grid::GridView* sender) override;
    void gridEhTitleClick(int column) override {}
    // A condition joined to the list's own with "and", each kept whole in parentheses.
    virtual void addFilter(const QString& condition);
    virtual void clearFilter() { filters_.clear(); }

    void setSql(const QString& sql) { sql_ = sql; }
    void setWhere(const QString& where) { where_ = where; }
    // A fixed order; setting one again also forgets the title-click sort.
    void setOrderBy(const QString& orderBy);
    // "<field> like 'VALUE%'" or "<field> = 'value'", upper-cased through UPCASE when asked; the value's
    // quotes are doubled.
    void addFieldFilter(const QString& field, const QString& value, bool like, bool upperCase);
    // The conditions to append to the base statement: " where (W) and (F1) and (F2)...", or with " and "
    // first when the base holds a where of its own (found in any letter case, outside subqueries,
    // literals and longer names).
    QString buildWhere() const;
    // The base statement, its own condition parenthesised when others join it, the conditions and the
    // order.
    void prepareSql();
    QString getWhereAndOrder() const;
    // A title click: the same column toggles ASC/DESC, another starts ASC; reloads an open query.
    void sortBy(const QString& fieldName, const QString& sortExpression);

    const QString& sql() const { return sql_; }
    const QString& where() const { return where_; }
    // The filters joined by " and ", as added.
    QString extraFilter() const { return filters_.join(QStringLiteral(" and ")); }
    const QString& orderBy() const { return orderBy_; }
    const QString& sortField() const { return sortField_; }
    const QString& sortDirection() const { return sortDirection_; }

private:
    QString orderClause() const;
    QString joinedConditions() const;
    // Position of the base statement's own top-level where; -1 when it has none.
    int baseWhere() const;

    QString sql_;
    QString where_;
    QStringList filters_;
    QString orderBy_;
    QString sortField_;
    QString sortDirection_;
};

class UpdQueryWrapper : public QueryWrapper {
public:
    explicit UpdQueryWrapper(fb::Database* database) : QueryWrapper(database) {}
    explicit UpdQueryWrapper(fb::Transaction* transaction) : QueryWrapper(transaction) {}

    // New rows take the generator's next value in the key field.
    void setGenerator(const QString& generator, const QString& keyField, int increment = 1);
    // ":FIELD" is the posted value, ":OLD_FIELD" the value before.
    void setUpdateSql(const QString& deleteSql, const QString& insertSql, const QString& modifySql,
                      const QString& refreshSql);
};

}  // namespace ufb
