#pragma once
// The wrapper of lists edited in memory and written to the database as a whole: an in-memory table
// with a key field that loads from any dataset, sorts on title clicks, and remembers the keys of the
// stored rows the user deleted so that the owner can delete them from the table in one go.

#include <vector>

#include "kv_DataSetWrapper.h"

namespace data {
class MemTable;
}

namespace ufb {

class RxMemWrapper : public DataSetWrapper {
public:
    explicit RxMemWrapper(const QString& keyField);
    ~RxMemWrapper() override;

    data::Dataset* getDataSet() override;
    data::MemTable* memTable() const { return memTable_.get(); }
    void gridTitleClick(int column) override;
    void gridEhTitleClick(int column) override;
    // Closes the table (its rows go) and forgets the deleted keys.
    virtual void clear();
    // Records the key of the stored row being deleted (rows never stored have none).
    virtual void beforeDelete(data::Dataset& sender);

    // The same field alternates ascending and descending; another field starts ascending.
    void sortBy(const QString& fieldName);
    // A new row copied from the source's current row, field by field where the names match.
    void appendFrom(data::Dataset& source);
    void loadFromDataSet(data::Dataset& source, bool showProgress, const QString& caption);

    std::vector<int> getKeys();
    std::vector<int> getDeletedKeys() const { return deletedKeys_; }
    std::vector<int> getAllKeys();
    void setDeletedKeys(const std::vector<int>& keys) { deletedKeys_ = keys; }
    // " Delete from <table> where <key> in(...)" on the transaction, 1,500 keys a statement at most;
    // the rows deleted must number the keys, else "Incorrected rows affected count." and the keys stay.
    void deleteMarkedRows(const QString& tableName, fb::Transaction* transaction);

    const QString& keyField() const { return keyField_; }

private:
    std::unique_ptr<data::MemTable> memTable_;
    QString keyField_;
    std::vector<int> deletedKeys_;
    QString sortField_;
    bool sortDescending_ = false;
};

}  // namespace ufb
