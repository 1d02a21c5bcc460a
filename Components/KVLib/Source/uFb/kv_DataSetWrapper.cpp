#include "kv_DataSetWrapper.h"

#include "kv_DbGridUtl.h"
#include "kv_FbQueryGod.h"
#include "kv_GridPickupList.h"
#include "kv_MainDb.h"
#include "kv_Money100Field.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Database.h"
#include "platform/fb/Table.h"
#include "platform/os/IniFile.h"

namespace ufb {

using core::Variant;

data::Field* attachField(data::Dataset& dataset, std::unique_ptr<data::Field> field, const QString& fieldName) {
    return dataset.adoptField(std::move(field), fieldName);
}

// ---- DataSetWrapper -------------------------------------------------------------------------------

DataSetWrapper::DataSetWrapper() = default;

DataSetWrapper::~DataSetWrapper() = default;

bool DataSetWrapper::open() {
    getDataSet()->open();
    return getDataSet()->active();
}

bool DataSetWrapper::close() {
    getDataSet()->close();
    return !getDataSet()->active();
}

void DataSetWrapper::bind(grid::GridView* grid, const std::deque<grid::Column>& columns) {
    if (!grid->dataSource()) throw core::Exception(QStringLiteral("grid->DataSource not assigned!"));
    grid->dataSource()->setDataSet(getDataSet());
    grid->setDataSource(grid->dataSource());  // the grid follows its source's new dataset
    grid->setColumns(std::vector<grid::Column>(columns.begin(), columns.end()));
}

void DataSetWrapper::bindGrid(grid::GridView* grid) {
    bind(grid, columns_);
    grid_ = grid;
    if (PickupList* pick = getPickupList()) {
        pick->setOutput(std::make_unique<PickupOutGrid>(grid));
        pick->fill();
    }
    assignGridEvents();
}

void DataSetWrapper::bindGridEh(grid::GridView* grid) {
    bind(grid, columnsEh_);
    gridEh_ = grid;
    grid->setAutoSortMarking(true);
    grid->setShowHint(true);
    if (PickupList* pick = getPickupList()) {
        pick->setOutput(std::make_unique<PickupOutGridEh>(grid));
        pick->fill();
    }
    assignGridEvents();
}

void DataSetWrapper::assignGridEvents() {
    if (grid_) grid_->onTitleClick = [this](int column) { gridTitleClick(column); };
    if (gridEh_) {
        grid::GridView* g = gridEh_;
        gridEh_->onSortMarkingChanged = [this, g] { gridEhSortMarkingChanged(g); };
        gridEh_->onTitleClick = [this](int column) { gridEhTitleClick(column); };
    }
}

bool DataSetWrapper::reopen(const QString& keyField, const Variant& keyValue) {
    Variant key = keyValue;
    data::Dataset* ds = getDataSet();
    if (!keyField.isEmpty() && key.isUnassigned() && ds->active()) key = ds->fieldByName(keyField).value();
    close();
    open();
    ds = getDataSet();
    if (!keyField.isEmpty()) ds->locate(keyField, key);
    return ds->active();
}

grid::Column& DataSetWrapper::addColumn(const QString& fieldName, int width, const QString& caption,
                                        const QString& sortExpression) {
    columns_.push_back(grid::Column{.fieldName = fieldName, .width = width, .title = caption,
                                    .sortExpression = sortExpression});
    return columns_.back();
}

grid::Column& DataSetWrapper::addColumnEh(const QString& fieldName, int width, const QString& caption,
                                          const QString& sortExpression) {
    columnsEh_.push_back(grid::Column{.fieldName = fieldName, .width = width, .title = caption,
                                      .sortExpression = sortExpression,
                                      .titleButton = sortExpression != noSortMarker});
    return columnsEh_.back();
}

void DataSetWrapper::clearColumns() {
    columns_.clear();
    columnsEh_.clear();
}

void DataSetWrapper::saveColumnWidths(const QString& iniFile, const QString& section) const {
    const os::IniFile ini(iniFile);
    for (grid::GridView* g : {grid_, gridEh_}) {
        if (!g) continue;
        for (const grid::Column& c : g->columns()) ini.writeInt(section, c.fieldName, c.width);
    }
}

void DataSetWrapper::loadColumnWidths(const QString& iniFile, const QString& section) {
    const os::IniFile ini(iniFile);
    for (auto* defs : {&columns_, &columnsEh_}) {
        for (grid::Column& c : *defs) c.width = ini.readInt(section, c.fieldName, c.width);
    }
    const std::pair<grid::GridView*, std::deque<grid::Column>*> bound[] = {{grid_, &columns_}, {gridEh_, &columnsEh_}};
    for (const auto& [g, defs] : bound) {
        if (!g) continue;
        for (const grid::Column& def : *defs) {
            if (grid::Column* c = utl::DbGridUtl::findColumn(*g, def.fieldName)) c->width = def.width;
        }
        g->columnsChanged();
    }
}

data::Field* DataSetWrapper::addField(std::unique_ptr<data::Field> field, const QString& fieldName) {
    return attachField(*getDataSet(), std::move(field), fieldName);
}

data::Field* DataSetWrapper::addIntegerField(const QString& name) {
    return addField(std::make_unique<data::Field>(data::DataType::Integer), name);
}

data::Field* DataSetWrapper::addLargeintField(const QString& name) {
    return addField(std::make_unique<data::Field>(data::DataType::LargeInt), name);
}

data::Field* DataSetWrapper::addDateField(const QString& name) {
    return addField(std::make_unique<data::Field>(data::DataType::Date), name);
}

data::Field* DataSetWrapper::addBooleanField(const QString& name) {
    return addField(std::make_unique<data::Field>(data::DataType::Boolean), name);
}

data::Field* DataSetWrapper::addCurrencyField(const QString& name) {
    return addField(std::make_unique<data::Field>(data::DataType::Currency), name);
}

data::Field* DataSetWrapper::addMoney100Field(const QString& name) {
    return addField(std::make_unique<TMoney100Field>(), name);
}

data::Field* DataSetWrapper::addStringField(const QString& name, int size) {
    return addField(std::make_unique<data::Field>(data::DataType::String, size), name);
}

data::Field* DataSetWrapper::addFloatField(const QString& name, const QString& displayFormat,
                                           const QString& editFormat) {
    data::Field* f = addField(std::make_unique<data::Field>(data::DataType::Float), name);
    f->setDisplayFormat(displayFormat);
    f->setEditFormat(editFormat);
    return f;
}

data::Field* DataSetWrapper::addFloatFieldExt(const QString& name, int decimals) {
    return addField(std::make_unique<TFloatFieldExt>(decimals), name);
}

void DataSetWrapper::clearFields() { getDataSet()->removeFields(); }

bool DataSetWrapper::emptyFieldError(data::Field& field) {
    QString caption = field.fieldName();
    if (grid_) {
        if (grid::Column* c = utl::DbGridUtl::findColumn(*grid_, field.fieldName())) caption = c->title;
    }
    if (gridEh_) {
        if (grid::Column* c = utl::DbGridUtl::findColumnEh(*gridEh_, field.fieldName())) caption = c->title;
    }
    const bool empty = field.asString().isEmpty() || (field.dataType() == data::DataType::Integer && field.asInteger() == 0);
    if (!empty) return true;
    ui::dialogs().message(KVLibTranslator::instance().translate(QStringLiteral("kv_xlRep.DataSetWrapper.emptyFieldError.Message"),
                                                                QStringLiteral("Не задано значение поля")) +
                              QStringLiteral(" '") + caption + u'\'',
                          ui::MsgType::Error, ui::Button::Ok, QString());
    return false;
}

void DataSetWrapper::setFieldValue(const QString& fieldName, const Variant& value) {
    data::Dataset* ds = getDataSet();
    data::Field& field = ds->fieldByName(fieldName);
    struct Quiet {
        data::Field& f;
        data::Field::ChangeHandler saved;
        ~Quiet() { f.setOnChange(std::move(saved)); }
    } quiet{field, field.onChange()};
    field.setOnChange({});
    const bool started = ds->state() == data::DatasetState::Browse;
    if (started) ds->edit();
    field.setValue(value);
    if (started && ds->state() == data::DatasetState::Edit) ds->post();
}

grid::GridView* DataSetWrapper::getRxDBGrid() const {
    return grid_ && grid_->kind() == grid::GridKind::Rx ? grid_ : nullptr;
}

// ---- IbDataSetWrapper -----------------------------------------------------------------------------

IbDataSetWrapper::IbDataSetWrapper(fb::Database* database) : database_(database) {
    transaction_ = database->defaultTransaction();
    if (!transaction_) {
        ownTransaction_ = udb::createTransaction(database);
        transaction_ = ownTransaction_.get();
    }
}

IbDataSetWrapper::IbDataSetWrapper(fb::Transaction* transaction) {
    if (transaction) {
        transaction_ = transaction;
        database_ = transaction->defaultDatabase();
    } else {
        database_ = TolvMain::getZarvelDb();
        ownTransaction_ = udb::createTransaction(database_);
        transaction_ = ownTransaction_.get();
    }
}

IbDataSetWrapper::~IbDataSetWrapper() {
    if (dataSet_) dataSet_->close();
}

data::Dataset* IbDataSetWrapper::getDataSet() { return dataSet_.get(); }

std::unique_ptr<fb::Query> IbDataSetWrapper::createQuery() const { return std::make_unique<fb::Query>(transaction_); }

void IbDataSetWrapper::setDataSet(std::unique_ptr<fb::Query> dataSet) { dataSet_ = std::move(dataSet); }

// ---- TableWrapper ---------------------------------------------------------------------------------

TableWrapper::TableWrapper(const QString& tableName, const QString& keyField, fb::Database* database)
    : IbDataSetWrapper(database), tableName_(tableName), keyField_(keyField) {
    auto table = std::make_unique<fb::Table>(transaction_);
    table->setTableName(tableName);
    table->setKeyFields(keyField);
    table->afterPost = [this](data::Dataset&) { afterPost(); };
    setDataSet(std::move(table));
}

fb::Table* TableWrapper::getTable() const { return static_cast<fb::Table*>(query()); }

void TableWrapper::setFilter(const QString& filter) {
    data::Dataset* ds = getDataSet();
    ds->setFiltered(false);
    if (!filter.isEmpty()) {
        ds->setFilter(filter);
        ds->setFiltered(true);
    }
}

grid::Column& TableWrapper::addColumnEh(const QString& fieldName, int width, const QString& caption,
                                        const QString& sortExpression) {
    grid::Column& c = DataSetWrapper::addColumnEh(fieldName, width, caption, sortExpression);
    c.titleButton = false;
    return c;
}

Variant TableWrapper::selectMaxKey() const {
    AutoQuery q(QStringLiteral(" select max(") + keyField_ + QStringLiteral(") as res from ") + tableName_, transaction_);
    q->open();
    return q->fieldByName(QStringLiteral("res")).value();
}

void TableWrapper::afterPost() {
    // The key the insert returned is already in the row; only without one does the largest key tell.
    const Variant key = getDataSet()->fieldByName(keyField_).value();
    if (!key.isNull() && key.toInt64() != 0) return;
    fb::Table* table = getTable();
    table->refresh();
    table->locate(keyField_, selectMaxKey());
}

}  // namespace ufb
