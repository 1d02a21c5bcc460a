#pragma once
// An in-memory table: its owner defines the fields, it opens empty, keeps the rows it is given and
// drops them when closed, and sorts them (stably) on fields.

#include "platform/data/Dataset.h"

namespace data {

class MemTable : public Dataset {
    Q_OBJECT
public:
    explicit MemTable(QObject* parent = nullptr);

    // Sorts on the ";"-separated fields; texts compare case-sensitively unless asked otherwise.
    void sortOnFields(const QString& fieldNames, bool caseInsensitive = false, bool descending = false);
    // Removes every row, keeping the table open.
    void emptyTable();

protected:
    void doOpen() override {}
};

}  // namespace data
