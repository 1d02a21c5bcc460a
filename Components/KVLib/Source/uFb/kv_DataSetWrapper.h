#pragma once
// The root of every list the program shows in a grid: an object that owns a dataset and the column
// definitions of the grids that show it, binds itself to those grids, defines the dataset's fields and
// checks them. IbDataSetWrapper adds the database and transaction; TableWrapper stands for one table.

#include <QString>
#include <deque>
#include <memory>

#include "platform/core/Variant.h"
#include "platform/data/Dataset.h"
#include "platform/grid/GridView.h"

namespace fb {
class Database;
class Query;
class Table;
class Transaction;
}  // namespace fb

namespace ufb {

class PickupList;
class TDBRecord;

// Gives the field its name and attaches it to the dataset, which owns it from then on.
data::Field* attachField(data::Dataset& dataset, std::unique_ptr<data::Field> field, const QString& fieldName);

class DataSetWrapper {
public:
    // Passed as a column's sort expression: the column does not sort.
    const QString noSortMarker = QStringLiteral("FIED NOT SUPPORT SORTING");

    DataSetWrapper();
    virtual ~DataSetWrapper();
    DataSetWrapper(const DataSetWrapper&) = delete;
    DataSetWrapper& operator=(const DataSetWrapper&) = delete;

    virtual data::Dataset* getDataSet() = 0;
    virtual bool open();
    virtual bool close();
    virtual PickupList* getPickupList() { return nullptr; }
    // Raise "grid->DataSource not assigned!" for a grid without a data source.
    virtual void bindGrid(grid::GridView* grid);
    virtual void bindGridEh(grid::GridView* grid);
    virtual void gridTitleClick(int column) {}
    virtual void gridEhSortMarkingChanged(grid::GridView* sender) {}
    virtual void gridEhTitleClick(int column) {}
    virtual void assignGridEvents();

    // Closes and opens again, then moves to the row with the key (the current row's when the value is
    // unassigned); whether the dataset is active.
    bool reopen(const QString& keyField = QString(), const core::Variant& keyValue = core::Variant());

    grid::Column& addColumn(const QString& fieldName, int width, const QString& caption,
                            const QString& sortExpression = QString());
    // The title button is on unless the sort expression is noSortMarker.
    virtual grid::Column& addColumnEh(const QString& fieldName, int width, const QString& caption,
                                      const QString& sortExpression = QString());
    void clearColumns();
    const std::deque<grid::Column>& columns() const { return columns_; }
    const std::deque<grid::Column>& columnsEh() const { return columnsEh_; }
    void saveColumnWidths(const QString& iniFile, const QString& section) const;
    void loadColumnWidths(const QString& iniFile, const QString& section);

    data::Field* addField(std::unique_ptr<data::Field> field, const QString& fieldName);
    data::Field* addIntegerField(const QString& fieldName);
    data::Field* addLargeintField(const QString& fieldName);
    data::Field* addDateField(const QString& fieldName);
    data::Field* addBooleanField(const QString& fieldName);
    data::Field* addCurrencyField(const QString& fieldName);
    data::Field* addMoney100Field(const QString& fieldName);
    data::Field* addStringField(const QString& fieldName, int size);
    data::Field* addFloatField(const QString& fieldName, const QString& displayFormat, const QString& editFormat);
    data::Field* addFloatFieldExt(const QString& fieldName, int decimals);
    // Removes the fields defined on the dataset.
    void clearFields();

    // True when the field has a value; else shows "Не задано значение поля '<caption>'" and gives false.
    bool emptyFieldError(data::Field& field);
    // Sets the field without firing its change handler, editing and posting around it when needed.
    void setFieldValue(const QString& fieldName, const core::Variant& value);

    grid::GridView* getGrid() const { return grid_; }
    grid::GridView* getGridEh() const { return gridEh_; }
    grid::GridView* getRxDBGrid() const;

protected:
    std::deque<grid::Column> columns_;
    std::deque<grid::Column> columnsEh_;
    grid::GridView* grid_ = nullptr;
    grid::GridView* gridEh_ = nullptr;

private:
    void bind(grid::GridView* grid, const std::deque<grid::Column>& columns);
};

class IbDataSetWrapper : public DataSetWrapper {
public:
    // On the connection's default transaction (a transaction of its own when it has none).
    explicit IbDataSetWrapper(fb::Database* database);
    // On the transaction; with none, on the program database with a transaction of its own.
    explicit IbDataSetWrapper(fb::Transaction* transaction);
    ~IbDataSetWrapper() override;

    data::Dataset* getDataSet() override;
    virtual bool selectRecord(const core::Variant& key, TDBRecord& record) { return false; }
    virtual bool insertRecord(TDBRecord& record) { return false; }

    // A new query on the wrapper's database and transaction; the caller owns it.
    std::unique_ptr<fb::Query> createQuery() const;
    fb::Transaction* getTransaction() const { return transaction_; }
    fb::Database* getDatabase() const { return database_; }
    void setDataSet(std::unique_ptr<fb::Query> dataSet);
    fb::Query* query() const { return dataSet_.get(); }

protected:
    fb::Transaction* transaction_ = nullptr;
    fb::Database* database_ = nullptr;

private:
    std::unique_ptr<fb::Transaction> ownTransaction_;  // declared first: outlives the dataset
    std::unique_ptr<fb::Query> dataSet_;
};

class TableWrapper : public IbDataSetWrapper {
public:
    TableWrapper(const QString& tableName, const QString& keyField, fb::Database* database);

    fb::Table* getTable() const;
    virtual void setFilter(const QString& filter);
    // Tables do not sort on title clicks: the title button is always off.
    grid::Column& addColumnEh(const QString& fieldName, int width, const QString& caption,
                              const QString& sortExpression = QString()) override;
    // The largest key of the table (null when it is empty).
    core::Variant selectMaxKey() const;

    const QString& tableName() const { return tableName_; }
    const QString& keyField() const { return keyField_; }

private:
    void afterPost();

    QString tableName_;
    QString keyField_;
};

}  // namespace ufb
