#pragma once
// A dataset over one whole table: the select, insert, update and delete statements are made from the
// table name, its key and the columns it has, in the order of the given fields.

#include "platform/fb/Query.h"

namespace fb {

class Table : public Query {
    Q_OBJECT
public:
    explicit Table(Transaction* transaction = nullptr, QObject* parent = nullptr);

    void setTableName(const QString& name);
    const QString& tableName() const { return tableName_; }
    // The key column(s), ";"-separated: rows are updated and deleted by it.
    void setKeyFields(const QString& fields) { keyFields_ = fields; }
    const QString& keyFields() const { return keyFields_; }
    // The order of the rows, ";"-separated columns.
    void setIndexFieldNames(const QString& fields);
    // Reads the table again, staying on the same row (by key) when it still exists.
    void refresh();

protected:
    void doOpen() override;

private:
    QString tableName_;
    QString keyFields_;
    QString indexFields_;
};

}  // namespace fb
