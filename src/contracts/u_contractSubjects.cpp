#include "u_contractSubjects.h"

#include <cmath>

#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "kv_BookPick.h"
#include "kv_DBRecord.h"
#include "kv_FbDbIni.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/data/MemTable.h"
#include "platform/fb/Query.h"
#include "u_ContractPrmsFiller.h"

namespace TolvLogic {

using Money100::divRoundHalfEven;

namespace {

const QString kID = QStringLiteral("ID");
const QString kNAME = QStringLiteral("NAME");
const QString kITEMS_COUNT = QStringLiteral("ITEMS_COUNT");
const QString kPRICE = QStringLiteral("PRICE");
const QString kDEPOSIT_SUM = QStringLiteral("DEPOSIT_SUM");
const QString kID_PROB = QStringLiteral("ID_PROB");
const QString kPROB_NAME = QStringLiteral("PROB_NAME");
const QString kPRICE_PER_GRAM = QStringLiteral("PRICE_PER_GRAM");
const QString kDEPOSIT_PER_GRAM = QStringLiteral("DEPOSIT_PER_GRAM");
const QString kWEIGHT = QStringLiteral("WEIGHT");
const QString kWEIGHT_GEM = QStringLiteral("WEIGHT_GEM");

// The item's texts are kept whole in memory, not cut to their columns (NAME 255, PROB_NAME 80): the
// record refuses an over-long one when it is saved, naming the column, where a cut would lose the end
// of what was typed unnoticed.
constexpr int kWholeText = 0;

constexpr quint32 kRed = 0xFF0000;
constexpr quint32 kGrayText = 0x808080;

QString tr(const QString& key, const QString& text) {
    return KVLibTranslator::instance().translate(key, text);
}

// Weights are kept with two decimals: in hundredths of a gram they subtract and multiply exactly.
qint64 centigrams(const data::Field& weight) {
    return std::llround(weight.asFloat() * 100.0);
}

// Position and repainting come back whatever happens while a whole-list operation walks the rows.
class RowWalk {
public:
    explicit RowWalk(data::Dataset& ds)
        : ds_(ds), off_(ds), mark_(ds.active() ? ds.bookmark() : data::kNoBookmark) {}
    ~RowWalk() {
        if (mark_ != data::kNoBookmark && ds_.bookmarkValid(mark_)) ds_.gotoBookmark(mark_);
    }

private:
    data::Dataset& ds_;
    data::ControlsDisabled off_;
    data::Bookmark mark_;
};

}  // namespace

// ---- ContractSubjects -----------------------------------------------------------------------------

std::unique_ptr<ContractSubjects> ContractSubjects::scCreate(int contractId, fb::Transaction* transaction) {
    TPenaltyContractInfo contract(contractId, transaction);
    std::unique_ptr<ContractSubjects> list = scCreateForType(contractId, contract.getIdDepositeType());
    list->load(transaction);
    return list;
}

std::unique_ptr<ContractSubjects> ContractSubjects::scCreateForType(int contractId, int depositTypeId) {
    std::unique_ptr<ContractSubjects> list;
    if (TDepositTypes::scIsGold(depositTypeId)) {
        list = std::make_unique<ContractSubjectsGold>(contractId, depositTypeId);
    } else {
        list = std::make_unique<ContractSubjects>(contractId, depositTypeId);
    }
    list->setup();
    return list;
}

ContractSubjects::ContractSubjects(int contractId, int depositTypeId)
    : ufb::RxMemWrapper(kID), contractId_(contractId), depositTypeId_(depositTypeId) {}

ContractSubjects::~ContractSubjects() = default;

void ContractSubjects::setup() {
    onChanged = {};
    onEditStateChanged = {};
    isEditing_ = false;
    clear();
    data::Dataset* ds = getDataSet();
    // The list checks its rows itself, with messages naming the column; a missing credit may stand
    // until then.
    ds->setRequiredCheckedOnPost(false);
    ds->afterPost = [this](data::Dataset&) { onAfterPost(); };
    ds->afterDelete = [this](data::Dataset&) { onAfterDelete(); };
    ds->beforeInsert = [this](data::Dataset&) { onBeforeInsert(); };
    ds->beforeEdit = [this](data::Dataset&) { onBeforeEdit(); };
    ds->afterCancel = [this](data::Dataset&) { onAfterCancel(); };
    clearFields();
    clearColumns();
    initFields();
    pickupList_ = std::make_unique<ufb::PickupList>();
    addPickups(*pickupList_);
}

grid::Column& ContractSubjects::addItemColumn(const QString& fieldName, int width, const QString& key,
                                              const QString& title) {
    grid::Column& c = addColumnEh(fieldName, width, tr(key, title), noSortMarker);
    c.titleButton = false;
    return c;
}

void ContractSubjects::initFields() {
    const auto change = [this](data::Field& f) { onFieldChange(f); };
    addIntegerField(kID)->setVisible(false);
    data::Field* name = addStringField(kNAME, kWholeText);
    addIntegerField(kITEMS_COUNT);
    data::Field* price = addMoney100Field(kPRICE);
    data::Field* credit = addMoney100Field(kDEPOSIT_SUM);
    for (data::Field* f : {name, price, credit}) {
        f->setRequired(true);
        f->setOnChange(change);
    }
    addItemColumn(kNAME, 170, QStringLiteral("u_contractSubjects.ContractSubjects.initFields.NAME"),
                  QStringLiteral("Залог"));
    addItemColumn(kITEMS_COUNT, 60,
                  QStringLiteral("u_contractSubjects.ContractSubjects.initFields.ITEMS_COUNT"),
                  QStringLiteral("Предметов"));
    addItemColumn(kPRICE, 85, QStringLiteral("u_contractSubjects.ContractSubjects.initFields.PRICE"),
                  QStringLiteral("Оценочн.стоим"));
    addItemColumn(kDEPOSIT_SUM, 85,
                  QStringLiteral("u_contractSubjects.ContractSubjects.initFields.DEPOSIT_SUM"),
                  QStringLiteral("Кредит"))
        .bold = true;
}

void ContractSubjects::addPickups(ufb::PickupList& pickups) {
    pickups.add(ufb::PickupData(QStringLiteral("DEPOSIT_SUBJECTS"), kNAME, kNAME,
                                QStringLiteral("DEPOSIT_TYPE_ID=") + QString::number(depositTypeId_)));
}

void ContractSubjects::assignGridEvents() {
    grid::GridView* grid = getGridEh();
    if (!grid) {
        throw core::Exception(QStringLiteral("Для работы %1 необходим TDBGridEh").arg(className()));
    }
    installGridHandlers(*grid);
}

void ContractSubjects::installGridHandlers(grid::GridView& grid) {
    grid.onCellStyle = [this](int row, const grid::Column& column, grid::CellStyle& style) {
        onGetCellParams(row, column, style);
    };
    grid.onEditButtonClick = {};
    grid.onKeyPress = {};
}

void ContractSubjects::onGetCellParams(int row, const grid::Column&, grid::CellStyle& style) {
    data::Dataset* ds = getDataSet();
    const core::Variant credit = ds->valueAt(row, field(kDEPOSIT_SUM).index());
    const core::Variant price = ds->valueAt(row, field(kPRICE).index());
    const auto hundredths = [](const core::Variant& v) { return v.isEmpty() ? 0 : v.toInt64(); };
    if (hundredths(credit) > hundredths(price)) style.text = kRed;
}

void ContractSubjects::raiseChanged() {
    if (onChanged && !changedSuspended_) onChanged();
}

void ContractSubjects::onAfterPost() {
    raiseChanged();
    isEditing_ = false;
    if (onEditStateChanged) onEditStateChanged();
}

void ContractSubjects::onAfterDelete() {
    raiseChanged();
}

void ContractSubjects::onBeforeInsert() {
    isEditing_ = true;
    if (onEditStateChanged) onEditStateChanged();
}

void ContractSubjects::onBeforeEdit() {
    isEditing_ = true;
    if (onEditStateChanged) onEditStateChanged();
}

void ContractSubjects::onAfterCancel() {
    isEditing_ = false;
    if (onEditStateChanged) onEditStateChanged();
}

void ContractSubjects::onFieldChange(data::Field& f) {
    if (f.fieldName() == kNAME) {
        // The standard piece count of the name, when the pledge type knows it exactly once.
        ufb::AutoQuery q(
            QStringLiteral(
                " Select DS.ITEMS_COUNT from DEPOSIT_SUBJECTS DS  where    DS.DEPOSIT_TYPE_ID = ") +
                QString::number(depositTypeId_) + QStringLiteral("   and DS.NAME = ") +
                udb::var2DbVar(core::Variant(f.asString())),
            nullptr);
        q->open();
        q->fetchAll();
        if (q->recordCount() == 1) field(kITEMS_COUNT).setValue(q->fieldByName(kITEMS_COUNT).value());
    } else if (f.fieldName() == kPRICE || f.fieldName() == kDEPOSIT_SUM) {
        raiseChanged();
    }
}

QString ContractSubjects::getSelectSql() const {
    return QStringLiteral(
               " Select    ID, NAME, ITEMS_COUNT, PRICE, DEPOSIT_SUM  from SUBJECTS  where ID_CONTRACT = ") +
           QString::number(contractId_);
}

void ContractSubjects::load(fb::Transaction* transaction) {
    ufb::AutoQuery q(getSelectSql(), transaction);
    q->open();
    loadFromDataSet(*q.get(), false, QStringLiteral("Loading.."));
}

void ContractSubjects::saveRow(fb::Transaction* transaction) {
    const core::Variant stored = field(kID).value();
    int key = stored.isEmpty() ? -1 : stored.toInt();
    ufb::TDBRecord record(QStringLiteral("SUBJECTS"), kID, key, transaction);
    const bool found = record.Select(transaction) > 0;
    if (!found) {
        key = udb::genId(QStringLiteral("GEN_SUBJECTS_ID"));
        setQuiet(kID, key);
    }
    record.SetKey(kID, key);
    record.SetField(QStringLiteral("ID_CONTRACT"), contractId_);
    for (const QString& name : {kNAME, kITEMS_COUNT, kPRICE, kDEPOSIT_SUM})
        record.SetField(name, field(name).value());
    if (found) {
        record.Update(transaction);
    } else {
        record.Insert(transaction);
    }
}

void ContractSubjects::saveAll(fb::Transaction* transaction) {
    data::Dataset* ds = getDataSet();
    {
        data::ControlsDisabled off(*ds);
        for (ds->first(); !ds->eof(); ds->next()) saveRow(transaction);
        deleteMarkedRows(QStringLiteral("SUBJECTS"), transaction);
    }
    ds->first();
}

int ContractSubjects::getCount() {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) return 0;
    ds->fetchAll();
    return ds->recordCount();
}

int ContractSubjects::getItemsCount() {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) return 0;
    RowWalk walk(*ds);
    int count = 0;
    for (ds->first(); !ds->eof(); ds->next()) count += field(kITEMS_COUNT).asInteger();
    return count;
}

QString ContractSubjects::getDescription() {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) return QString();
    RowWalk walk(*ds);
    QStringList names;
    for (ds->first(); !ds->eof(); ds->next()) names << field(kNAME).asString();
    return names.join(QStringLiteral("; "));
}

bool ContractSubjects::checkRequired() {
    for (const QString& name : {kNAME, kPRICE, kITEMS_COUNT}) {
        if (!emptyFieldError(field(name))) return false;
    }
    if (field(kDEPOSIT_SUM).isNull()) setQuiet(kDEPOSIT_SUM, 0);
    return true;
}

bool ContractSubjects::checkRow() {
    return checkRequired() && emptyFieldError(field(kDEPOSIT_SUM));
}

bool ContractSubjects::checkAllAndRegister() {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) return true;
    RowWalk walk(*ds);
    for (ds->first(); !ds->eof(); ds->next()) {
        if (!checkRow()) return false;
        DepositSubjsDir::scAddSubject(depositTypeId_, field(kNAME).asString(),
                                      field(kITEMS_COUNT).asInteger());
    }
    return true;
}

SubjectsTotals ContractSubjects::calcTotals(ContractSubjects& list, const ContractPrmsFiller* filler) {
    SubjectsTotals totals;
    data::Dataset* ds = list.getDataSet();
    if (!ds->active()) return totals;
    RowWalk walk(*ds);
    for (ds->first(); !ds->eof(); ds->next()) {
        const int price = list.field(kPRICE).asInteger();
        totals.price += Money100::fromHundredths(price);
        totals.depositSum += Money100::fromHundredths(list.field(kDEPOSIT_SUM).asInteger());
        totals.itemsCount += list.field(kITEMS_COUNT).asInteger();
        if (filler) totals.proposedCredit += Money100::fromHundredths(filler->calcSubjCredit(price));
    }
    return totals;
}

void ContractSubjects::spreadDepositSum(double sum) {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) return;
    struct Suspend {
        bool& flag;
        bool saved;
        ~Suspend() { flag = saved; }
    } suspend{changedSuspended_, changedSuspended_};
    changedSuspended_ = true;
    RowWalk walk(*ds);
    // Shares are worked out in hundredths as exact fractions of the total valuation; with no valuation
    // to share by, the whole credit goes to the last row.
    const qint64 credit = Money100::toHundredths(sum);
    qint64 total = 0;
    for (ds->first(); !ds->eof(); ds->next()) total += field(kPRICE).asInteger();
    const int rows = getCount();
    qint64 remaining = credit;
    int i = 0;
    for (ds->first(); !ds->eof(); ds->next()) {
        ++i;
        qint64 share = remaining;
        if (i < rows) share = total == 0 ? 0 : divRoundHalfEven(credit * field(kPRICE).asInteger(), total);
        ds->edit();
        field(kDEPOSIT_SUM).setValue(static_cast<qint32>(share));
        ds->post();
        remaining -= share;
    }
}

double ContractSubjects::calcRowPercent(double percent) {
    return Money100::fromHundredths(field(kDEPOSIT_SUM).asInteger()) * percent * 0.01;
}

// ---- ContractSubjectsGold -------------------------------------------------------------------------

ContractSubjectsGold::~ContractSubjectsGold() = default;

void ContractSubjectsGold::initFields() {
    const auto change = [this](data::Field& f) { onFieldChange(f); };
    addIntegerField(kID)->setVisible(false);
    std::vector<data::Field*> required;
    required.push_back(addStringField(kNAME, kWholeText));
    addIntegerField(kITEMS_COUNT);
    addIntegerField(kID_PROB)->setVisible(false);
    required.push_back(addStringField(kPROB_NAME, kWholeText));
    required.push_back(addMoney100Field(kPRICE_PER_GRAM));
    required.push_back(addMoney100Field(kDEPOSIT_PER_GRAM));
    required.push_back(addFloatFieldExt(kWEIGHT, 2));
    required.push_back(addFloatFieldExt(kWEIGHT_GEM, 2));
    required.push_back(addMoney100Field(kPRICE));
    required.push_back(addMoney100Field(kDEPOSIT_SUM));
    for (data::Field* f : required) {
        f->setRequired(true);
        f->setOnChange(change);
    }
    const QString base = QStringLiteral("u_contractSubjects.ContractSubjects.initFields.");
    const QString gold = QStringLiteral("u_contractSubjects.ContractSubjectsGold.initFields.");
    addItemColumn(kNAME, 170, base + kNAME, QStringLiteral("Залог"));
    addItemColumn(kITEMS_COUNT, 50, base + kITEMS_COUNT, QStringLiteral("Предметов"));
    addItemColumn(kPROB_NAME, 65, base + kPROB_NAME, QStringLiteral("Проба")).editButton = true;
    addItemColumn(kPRICE_PER_GRAM, 65, gold + kPRICE_PER_GRAM, QStringLiteral("Оценка 1г"));
    addItemColumn(kDEPOSIT_PER_GRAM, 65, gold + kDEPOSIT_PER_GRAM, QStringLiteral("Выдача 1г"));
    addItemColumn(kWEIGHT, 65, gold + kWEIGHT, QStringLiteral("Вес"));
    addItemColumn(kWEIGHT_GEM, 65, gold + kWEIGHT_GEM, QStringLiteral("Вес вставки"));
    addItemColumn(kPRICE, 85, base + kPRICE, QStringLiteral("Оценочн.стоим")).readOnly = true;
    addItemColumn(kDEPOSIT_SUM, 85, base + kDEPOSIT_SUM, QStringLiteral("Кредит")).bold = true;
}

QString ContractSubjectsGold::getSelectSql() const {
    return QStringLiteral(
               " Select    SB.ID, SB.NAME, SB.ITEMS_COUNT, SB.PRICE, SB.DEPOSIT_SUM,    SBG.ID_PROB, "
               "SBG.PROB_NAME, "
               "SBG.PRICE_PER_GRAM, SBG.DEPOSIT_PER_GRAM, SBG.WEIGHT, SBG.WEIGHT_GEM  from SUBJECTS SB    "
               "left join "
               "SUBJECTS_GOLD SBG on SBG.ID = SB.ID  where SB.ID_CONTRACT = ") +
           QString::number(getContractId());
}

void ContractSubjectsGold::saveRow(fb::Transaction* transaction) {
    ContractSubjects::saveRow(transaction);
    const int key = field(kID).asInteger();
    ufb::TDBRecord record(QStringLiteral("SUBJECTS_GOLD"), kID, key, transaction);
    const bool found = record.Select(transaction) > 0;
    record.SetKey(kID, key);
    for (const QString& name :
         {kID_PROB, kPROB_NAME, kPRICE_PER_GRAM, kDEPOSIT_PER_GRAM, kWEIGHT, kWEIGHT_GEM}) {
        record.SetField(name, field(name).value());
    }
    if (found) {
        record.Update(transaction);
    } else {
        record.Insert(transaction);
    }
}

QString ContractSubjectsGold::getDescription() {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) return QString();
    RowWalk walk(*ds);
    QStringList items;
    for (ds->first(); !ds->eof(); ds->next()) {
        const qint64 net = centigrams(field(kWEIGHT)) - centigrams(field(kWEIGHT_GEM));
        items << field(kNAME).asString() + u'(' + field(kPROB_NAME).asString() + u';' +
                     QString::number(static_cast<double>(net) / 100.0, 'f', 2) + QStringLiteral("г)");
    }
    return items.join(QStringLiteral("; "));
}

bool ContractSubjectsGold::checkRow() {
    for (const QString& name : {kPROB_NAME, kPRICE_PER_GRAM, kDEPOSIT_PER_GRAM, kWEIGHT}) {
        if (!emptyFieldError(field(name))) return false;
    }
    if (!ContractSubjects::checkRow()) return false;
    if (field(kWEIGHT_GEM).isNull()) setQuiet(kWEIGHT_GEM, 0.0);
    return true;
}

void ContractSubjectsGold::onFieldChange(data::Field& f) {
    const QString& name = f.fieldName();
    if (name == kWEIGHT || name == kWEIGHT_GEM || name == kPRICE_PER_GRAM || name == kDEPOSIT_PER_GRAM)
        recalcRow();
    ContractSubjects::onFieldChange(f);
}

void ContractSubjectsGold::recalcRow() {
    if (!getGridEh()) return;
    // net weight x price per gram, both exact integers (centigrams, hundredths): the products are
    // rounded once, halves to even, with no floating error on the way.
    const qint64 net = centigrams(field(kWEIGHT)) - centigrams(field(kWEIGHT_GEM));
    const qint64 price = divRoundHalfEven(net * field(kPRICE_PER_GRAM).asInteger(), 100);
    qint64 credit = divRoundHalfEven(net * field(kDEPOSIT_PER_GRAM).asInteger(), 100);
    if (udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("AutoPerc_RoundSubjCredit"), false)) {
        credit = divRoundHalfEven(credit, 100) * 100;
    }
    setQuiet(kPRICE, static_cast<qint32>(price));
    setQuiet(kDEPOSIT_SUM, static_cast<qint32>(credit));
    raiseChanged();
}

void ContractSubjectsGold::gridEditButtonClick() {
    grid::GridView* grid = getGridEh();
    if (!grid || grid->readOnly() || grid->selectedField().compare(kPROB_NAME, Qt::CaseInsensitive) != 0)
        return;
    GoldTarifs* tariffs = getGlobalGoldTarifs();
    if (!tariffs) throw core::Exception(QStringLiteral("The precious-metal price list is not loaded"));
    const core::Variant linked = field(kID_PROB).value();
    const ufb::PickedRow picked = ufb::pickFromBook(ufb::BookPick{
        .storageKey = QStringLiteral("ContractSubjectsGold::gridEditButtonClick"),
        .wrapper = tariffs,
        .caption =
            tr(QStringLiteral("field.DIR_PRICE_MET"), QStringLiteral("Справочник цен на драг. металлы")),
        .keyField = kID,
        .keyValue = linked.isEmpty() ? core::Variant() : linked});
    if (!picked) return;
    const auto id = picked->find(kID);
    if (id == picked->end() || id->second.isEmpty()) return;
    GoldTarifInfo tariff;
    tariff.setValue(GoldTarifInfo::gID, id->second);
    if (tariff.Select() == 0) {
        throw core::Exception(
            tr(QStringLiteral("u_contractSubjects.ContractSubjectsGold.gridEditButtonClick.Exception"),
               QStringLiteral(
                   "Невозможно загрузить данные по записи из справочника цен на драг.металлы id=")) +
            id->second.toText());
    }
    data::Dataset* ds = getDataSet();
    if (ds->state() == data::DatasetState::Browse || ds->isEmpty()) ds->edit();
    setQuiet(kID_PROB, tariff.getValue(GoldTarifInfo::gID));
    setQuiet(kPROB_NAME, tariff.getValue(GoldTarifInfo::gPROB_NAME));
    setQuiet(kPRICE_PER_GRAM, tariff.getValue(GoldTarifInfo::gPRICE_PER_GRAM));
    setQuiet(kDEPOSIT_PER_GRAM, tariff.getValue(GoldTarifInfo::gDEPOSIT_PER_GRAM));
    recalcRow();
}

void ContractSubjectsGold::gridKeyPress(QChar) {
    grid::GridView* grid = getGridEh();
    if (!grid || grid->selectedField().compare(kPROB_NAME, Qt::CaseInsensitive) != 0) return;
    data::Dataset* ds = getDataSet();
    if (!ds->active()) return;
    // The key starts an edit of the row anyway; the assay is now typed, not taken from the price list.
    if (ds->state() == data::DatasetState::Browse) ds->edit();
    field(kID_PROB).clear();
}

void ContractSubjectsGold::installGridHandlers(grid::GridView& grid) {
    ContractSubjects::installGridHandlers(grid);
    grid.onKeyPress = [this](QChar key) { gridKeyPress(key); };
    grid.onEditButtonClick = [this] { gridEditButtonClick(); };
}

void ContractSubjectsGold::onGetCellParams(int row, const grid::Column& column, grid::CellStyle& style) {
    ContractSubjects::onGetCellParams(row, column, style);
    if (column.fieldName == kPROB_NAME && getDataSet()->valueAt(row, field(kID_PROB).index()).isEmpty()) {
        style.text = kGrayText;
    }
}

}  // namespace TolvLogic
