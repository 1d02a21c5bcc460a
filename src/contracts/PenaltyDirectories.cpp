#include "PenaltyDirectories.h"

#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "kv_Valuta.h"
#include "kv_settingsFile.h"
#include "platform/core/Exception.h"
#include "platform/fb/Query.h"
#include "platform/fb/Table.h"

namespace TolvLogic {

using core::Variant;

namespace {

using kvtr::tr;

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

// The interface language number of the settings file; lists read it when they are made.
QString interfaceLanguage() {
    return QString::number(
        utl::SettingsFile::readInt(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"), 1));
}

fb::Database* orMainDb(fb::Database* database) {
    return database ? database : TolvMain::getZarvelDb();
}

void addHiddenId(ufb::DataSetWrapper& list) {
    list.addIntegerField(QStringLiteral("ID"))->setVisible(false);
}

data::Field* required(data::Field* field) {
    field->setRequired(true);
    return field;
}

// A required text field showing resultField of the lookup dataset's row whose lookupKey equals keyField.
data::Field* addLookupField(ufb::DataSetWrapper& list, const char* name, int size,
                            data::Dataset* lookupDataset, const char* keyField, const char* lookupKey,
                            const char* resultField) {
    data::Field* field = list.addField(
        std::make_unique<data::Field>(data::DataType::String, size, data::FieldKind::Lookup), latin(name));
    field->setLookup(lookupDataset, latin(keyField), latin(lookupKey), latin(resultField));
    return required(field);
}

// Closes the list before the datasets its lookups read are freed, so that no view bound to it asks
// them for a value on the way out.
void closeFirst(ufb::DataSetWrapper& list) {
    if (data::Dataset* ds = list.getDataSet()) ds->close();
}

}  // namespace

// ---- TDepositTypes --------------------------------------------------------------------------------

TDepositTypes::TDepositTypes(fb::Database* database)
    : TableWrapper(QStringLiteral("DEPOSIT_TYPES"), QStringLiteral("ID"), orMainDb(database)),
      names_(createQuery()) {
    names_->setSql(QStringLiteral(" select DTL.ID_REC, DTL.NAME from DEPOSIT_TYPES_LANGS DTL    left join "
                                  "DEPOSIT_TYPES DT on DT.ID=DTL.ID_REC  where DTL.ID_LANG=") +
                   interfaceLanguage());
    addHiddenId(*this);
    addLookupField(*this, "NAME", 80, names_.get(), "ID", "ID_REC", "NAME");
    addColumnEh(QStringLiteral("NAME"), 150, tr("field.SUBJTYPE", u"Тип залога"));
}

TDepositTypes::~TDepositTypes() {
    closeFirst(*this);
}

bool TDepositTypes::open() {
    names_->open();
    return TableWrapper::open();
}

bool TDepositTypes::close() {
    const bool closed = TableWrapper::close();
    names_->close();
    return closed;
}

QString TDepositTypes::scGetName(int typeId) {
    return udb::getFieldCache(QStringLiteral("DEPOSIT_TYPES_LANGS"), QStringLiteral("NAME"),
                              QString::number(typeId), QStringLiteral("ID_REC"),
                              QStringLiteral(" ID_LANG=") + interfaceLanguage())
        .toText();
}

QString TDepositTypes::scGetCode(int typeId) {
    // Contracts without a pledge type carry 0, which has no row.
    if (typeId == 0) return QStringLiteral("NONE");
    return udb::getFieldCache(QStringLiteral("DEPOSIT_TYPES"), QStringLiteral("CODE"),
                              QString::number(typeId), QStringLiteral("ID"))
        .toText();
}

int TDepositTypes::scGetIdByCode(const QString& code) {
    // The code is only a key of the cached rows; it never enters the statement.
    return udb::getFieldCache(QStringLiteral("DEPOSIT_TYPES"), QStringLiteral("ID"), code,
                              QStringLiteral("CODE"))
        .toInt();
}

bool TDepositTypes::scIsGold(int typeId) {
    return scGetCode(typeId) == QStringLiteral("GOLD");
}

// ---- DepositSubjsDir ------------------------------------------------------------------------------

DepositSubjsDir::DepositSubjsDir(fb::Database* database)
    : UpdQueryWrapper(orMainDb(database)), types_(std::make_unique<TDepositTypes>(getDatabase())) {
    setSql(QStringLiteral(
               " select DS.ID, DS.NAME as S_NAME, DS.DEPOSIT_TYPE_ID, DS.ITEMS_COUNT, DTL.NAME as T_NAME "
               "from DEPOSIT_SUBJECTS DS  left join DEPOSIT_TYPES DT on DT.ID = DS.DEPOSIT_TYPE_ID  "
               "left join DEPOSIT_TYPES_LANGS DTL on DTL.ID_REC = DS.DEPOSIT_TYPE_ID  where DTL.ID_LANG = ") +
           interfaceLanguage());
    getQuery()->setCachedUpdates(true);

    addHiddenId(*this);
    required(addStringField(QStringLiteral("S_NAME"), 255));
    required(addIntegerField(QStringLiteral("DEPOSIT_TYPE_ID")))->setVisible(false);
    addLookupField(*this, "DEPOSIT_TYPE_NAME", 80, types_->getDataSet(), "DEPOSIT_TYPE_ID", "ID", "NAME");
    required(addIntegerField(QStringLiteral("ITEMS_COUNT")));

    addColumnEh(QStringLiteral("S_NAME"), 130, tr("field.NAME", u"Предмет залога"),
                QStringLiteral("DS.NAME"));
    addColumnEh(QStringLiteral("ITEMS_COUNT"), 60,
                tr("u_contractSubjects.ContractSubjects.initFields.ITEMS_COUNT", u"Предметов"));
    addColumnEh(QStringLiteral("DEPOSIT_TYPE_NAME"), 80, tr("field.SUBJTYPE", u"Тип залога"),
                QStringLiteral("DTL.NAME"));

    setGenerator(QStringLiteral("GEN_DEPOSIT_SUBJECTS_ID"), QStringLiteral("ID"));
    // The insert writes the key the new row took from the generator: without it the database would
    // give the row another key, and a later change or delete of the row in the same list (by :OLD_ID)
    // would touch nothing.
    setUpdateSql(
        QStringLiteral(" delete from DEPOSIT_SUBJECTS where ID = :OLD_ID"),
        QStringLiteral(" insert into DEPOSIT_SUBJECTS (ID, NAME, DEPOSIT_TYPE_ID, ITEMS_COUNT) "
                       "values (:ID, :S_NAME, :DEPOSIT_TYPE_ID, :ITEMS_COUNT)"),
        QStringLiteral(" update DEPOSIT_SUBJECTS set NAME = :S_NAME, DEPOSIT_TYPE_ID = :DEPOSIT_TYPE_ID, "
                       "ITEMS_COUNT = :ITEMS_COUNT where ID = :OLD_ID"),
        QString());
}

DepositSubjsDir::~DepositSubjsDir() {
    closeFirst(*this);
}

bool DepositSubjsDir::open() {
    types_->open();
    return UpdQueryWrapper::open();
}

bool DepositSubjsDir::close() {
    const bool closed = UpdQueryWrapper::close();
    types_->close();
    return closed;
}

bool DepositSubjsDir::scAddSubject(int depositTypeId, const QString& name, int count) {
    if (name.isEmpty() || count < 1) return false;
    // Item names come from the user: "комп'ютер" must be found and stored, not break the statement.
    const QString nameLiteral = udb::var2DbVar(name);
    const QString type = QString::number(depositTypeId);
    {
        ufb::AutoQuery q(QStringLiteral(" select count(*) as CNT from DEPOSIT_SUBJECTS where NAME=") +
                             nameLiteral + QStringLiteral(" and DEPOSIT_TYPE_ID=") + type,
                         nullptr);
        q->open();
        if (q->fieldByName(QStringLiteral("CNT")).asInteger() > 0) return false;
    }
    // Through the record: a name longer than the directory's column is refused naming the column, as
    // the item's own save refuses it, instead of with the server's words.
    ufb::TDBRecord subject(QStringLiteral("DEPOSIT_SUBJECTS"), nullptr);
    subject.SetField(QStringLiteral("NAME"), name);
    subject.SetField(QStringLiteral("DEPOSIT_TYPE_ID"), depositTypeId);
    subject.SetField(QStringLiteral("ITEMS_COUNT"), count);
    subject.Insert();
    return true;
}

// ---- TPasportData ---------------------------------------------------------------------------------

TPasportData::TPasportData(fb::Database* database)
    : TableWrapper(QStringLiteral("PASPORT_DATA"), QStringLiteral("ID"), orMainDb(database)) {
    addHiddenId(*this);
    required(addStringField(QStringLiteral("DATA"), 255));
    addColumnEh(QStringLiteral("DATA"), 200, tr("PenaltyContracts.TPasportData.DATA", u"Кем выдан паспорт"));
}

// ---- StorageTypes ---------------------------------------------------------------------------------

StorageTypes::StorageTypes(fb::Database* database)
    : TableWrapper(QStringLiteral("STORAGE_TYPES"), QStringLiteral("ID"), orMainDb(database)),
      names_(createQuery()) {
    names_->setSql(QStringLiteral(" select STL.ID_REC, STL.NAME from STORAGE_TYPES_LANGS STL    left join "
                                  "STORAGE_TYPES ST on ST.ID=STL.ID_REC  where STL.ID_LANG=") +
                   interfaceLanguage());
    addHiddenId(*this);
    addLookupField(*this, "NAME", 80, names_.get(), "ID", "ID_REC", "NAME");
}

StorageTypes::~StorageTypes() {
    closeFirst(*this);
}

bool StorageTypes::open() {
    names_->open();
    return TableWrapper::open();
}

bool StorageTypes::close() {
    const bool closed = TableWrapper::close();
    names_->close();
    return closed;
}

QString StorageTypes::getNamesText(const QString& separator) {
    data::Dataset* ds = getDataSet();
    if (!ds->active()) open();
    const data::ControlsDisabled quiet(*ds);
    const int recNo = ds->recNo();
    data::Field& name = ds->fieldByName(QStringLiteral("NAME"));
    QString text;
    for (ds->first(); !ds->eof(); ds->next()) text += name.asString() + separator;
    if (recNo > 0) ds->setRecNo(recNo);
    return text;
}

QString StorageTypes::scGetName(int kind) {
    return udb::getFieldCache(QStringLiteral("STORAGE_TYPES_LANGS"), QStringLiteral("NAME"),
                              QString::number(kind), QStringLiteral("ID_REC"),
                              QStringLiteral(" ID_LANG=") + interfaceLanguage())
        .toText();
}

QString StorageTypes::scGetUnitText(int kind) {
    switch (kind) {
        case 1:
            return utl::Valuta::getValutaName();
        case 2:
        case 3:
            return QStringLiteral("%");
        default:
            return QStringLiteral(" ");
    }
}

int StorageTypes::scGetContractStorageType(int contractId) {
    ufb::AutoQuery q(QStringLiteral(" select STORAGE_TYPE from PENALTY_DEPOSITS where CONTRACT_ID=") +
                         QString::number(contractId),
                     nullptr);
    q->open();
    if (q->isEmpty()) return 0;
    return q->fieldByName(QStringLiteral("STORAGE_TYPE")).asInteger();
}

QString StorageTypes::scGetCaption(int kind, int contractId) {
    if (contractId > 0) kind = scGetContractStorageType(contractId);
    switch (kind) {
        case 1:
            return tr("PenaltyContracts.StorageTypes.PAY_DAY", u"Сут. плата") + QStringLiteral(", ") +
                   utl::Valuta::getValutaName();
        case 2:
        case 3:
            return tr("PenaltyContracts.StorageTypes.DAYS_PERC", u"Сут. ставка") + QStringLiteral(", ") +
                   scGetName(kind) + QStringLiteral(", %");
        default:
            return QString();
    }
}

// ---- AutoPercDir ----------------------------------------------------------------------------------

namespace {

const QString kSumScale = QStringLiteral("AUTO_PERC_SUM");
const QString kDaysScale = QStringLiteral("AUTO_PERC_DAYS");

const QString& scaleTable(const QString& tableName) {
    if (tableName != kSumScale && tableName != kDaysScale) {
        throw core::Exception(QStringLiteral("AutoPercDir: unknown tariff scale table ") + tableName);
    }
    return tableName;
}

}  // namespace

AutoPercDir::AutoPercDir(const QString& tableName, fb::Database* database)
    : TableWrapper(scaleTable(tableName), QStringLiteral("ID"), orMainDb(database)),
      sumScale_(tableName == kSumScale),
      storageTypes_(std::make_unique<StorageTypes>(getDatabase())) {
    // The rows follow the scale's index: AUTO_PERC_SUM_SUMFROM or AUTO_PERC_DAYS_DAYS.
    getTable()->setIndexFieldNames(sumScale_ ? QStringLiteral("SUM_FROM") : QStringLiteral("DAYS"));

    const QString decimalFormat = QStringLiteral("0.00");
    auto decimal = [&](const char* name) {
        required(addFloatField(latin(name), decimalFormat, decimalFormat));
    };
    auto integer = [&](const char* name) { required(addIntegerField(latin(name))); };
    addHiddenId(*this);
    if (sumScale_) {
        decimal("SUM_FROM");
    } else {
        integer("DAYS");
        decimal("CREDIT_PERC");
    }
    decimal("PERC");
    integer("MIN_ACCRUAL_DAYS");
    integer("IS_PERC_W_PEN_START");
    decimal("PENALTY_PERC");
    integer("IS_PENAL_FROM_RET_SUM");
    integer("STORAGE_TYPE");
    addLookupField(*this, "STORAGE_NAME", 80, storageTypes_->getDataSet(), "STORAGE_TYPE", "ID", "NAME");
    decimal("STORAGE_VAL");
    integer("IS_STORAGE_START_W_PEN");
    integer("MIN_STORAGE_DAYS");

    auto column = [this](const char* field, int width, const QString& title) -> grid::Column& {
        return addColumnEh(latin(field), width, title);
    };
    const QString percGroup = tr("PenaltyContracts.AutoPercDir.PERC_GROUP", u"Проценты|");
    const QString penaltyGroup = tr("PenaltyContracts.AutoPercDir.PENALTY_GROUP", u"Пеня|");
    const QString storageGroup = tr("PenaltyContracts.AutoPercDir.STORAGE_GROUP", u"Хранение|");
    const QString rate = tr("PenaltyContracts.AutoPercDir.PERC", u"Ставка, %/сутки");
    const QString minDays =
        tr("PenaltyContracts.AutoPercDir.MIN_ACCRUAL_DAYS", u"Мин. срок начислений, сут.");
    const QString fromPenaltyStart =
        tr("PenaltyContracts.AutoPercDir.IS_PERC_W_PEN_START", u"Начислять при старте пени");
    if (sumScale_) {
        column("SUM_FROM", 70,
               tr("PenaltyContracts.AutoPercDir.SUM_FROM", u"Сумма договора от") + QStringLiteral(", ") +
                   utl::Valuta::getValutaName());
    } else {
        column("DAYS", 70, tr("PenaltyContracts.AutoPercDir.DAYS", u"Количество дней"));
        column("CREDIT_PERC", 70,
               tr("PenaltyContracts.AutoPercDir.CREDIT_PERC", u"% суммы ссуды от оценки, %"));
    }
    column("PERC", 70, percGroup + rate);
    column("MIN_ACCRUAL_DAYS", 70, percGroup + minDays).titleHint =
        tr("PenaltyContracts.AutoPercDir.MIN_ACCRUAL_DAYS.Hint",
           u"Мин. срок начисления процентов про кредиту, сут.");
    column("IS_PERC_W_PEN_START", 70, percGroup + fromPenaltyStart).checkBox = true;
    column("PENALTY_PERC", 70, penaltyGroup + rate);
    grid::Column& fromReturnSum = column(
        "IS_PENAL_FROM_RET_SUM", 70,
        penaltyGroup + tr("PenaltyContracts.AutoPercDir.IS_PENAL_FROM_RET_SUM", u"Расч. от суммы возврата"));
    fromReturnSum.titleHint =
        tr("u_ContractPrmsFiller.ContractPrmsFiller.scShowDefaultPrmsEditor.isPenaltyCalcFromRetSum2",
           u"Расчет пени производить от суммы возврата (а не от суммы кредита)\n"
           u"Сумма возврата = сумма кредита + проценты за срок договора");
    fromReturnSum.checkBox = true;
    column("STORAGE_NAME", 100,
           storageGroup + tr("PenaltyContracts.AutoPercDir.STORAGE_NAME", u"Тип расчета"));
    column("STORAGE_VAL", 100,
           storageGroup + tr("PenaltyContracts.AutoPercDir.STORAGE_VAL", u"Значение хранения"));
    column("MIN_STORAGE_DAYS", 70, storageGroup + minDays);
    column("IS_STORAGE_START_W_PEN", 70, storageGroup + fromPenaltyStart).checkBox = true;

    // A saved row may move in the scale's order: read the scale again and stay on that row.
    getTable()->afterPost = [](data::Dataset& ds) { udb::refreshLocate(ds, QStringLiteral("ID")); };
}

AutoPercDir::~AutoPercDir() {
    closeFirst(*this);
}

bool AutoPercDir::open() {
    storageTypes_->open();
    return TableWrapper::open();
}

bool AutoPercDir::close() {
    const bool closed = TableWrapper::close();
    storageTypes_->close();
    return closed;
}

// ---- DirDragMeTypes -------------------------------------------------------------------------------

DirDragMeTypes::DirDragMeTypes(fb::Database* database)
    : TableWrapper(QStringLiteral("DIR_DRAGME_TYPE"), QStringLiteral("ID"), orMainDb(database)) {
    addHiddenId(*this);
    required(addStringField(QStringLiteral("NAME"), 80));
    addColumnEh(QStringLiteral("NAME"), 100, tr("PenaltyContracts.DirDragMeTypes.NAME", u"Наименование"));
}

// ---- GoldTarifs -----------------------------------------------------------------------------------

GoldTarifs::GoldTarifs(fb::Database* database)
    : TableWrapper(QStringLiteral("GOLD_TARIF"), QStringLiteral("ID"), orMainDb(database)),
      meTypes_(std::make_unique<DirDragMeTypes>(getDatabase())) {
    // In assay-name order, as the index GOLD_TARIF_IDX_PROB_NAME keeps them.
    getTable()->setIndexFieldNames(QStringLiteral("PROB_NAME"));
    addHiddenId(*this);
    required(addIntegerField(QStringLiteral("ID_ME_TYPE")));
    required(addStringField(QStringLiteral("PROB_NAME"), 80));
    required(addMoney100Field(QStringLiteral("PRICE_PER_GRAM")));
    required(addMoney100Field(QStringLiteral("DEPOSIT_PER_GRAM")));
    addLookupField(*this, "ME_TYPE", 80, meTypes_->getDataSet(), "ID_ME_TYPE", "ID", "NAME");

    addColumnEh(QStringLiteral("ME_TYPE"), 55, QStringLiteral("Вид"));
    addColumnEh(QStringLiteral("PROB_NAME"), 55, QStringLiteral("Проба"));
    addColumnEh(QStringLiteral("PRICE_PER_GRAM"), 55,
                tr("PenaltyContracts.GoldTarifs.PRICE_PER_GRAM", u"Оцен.стоим за 1г"));
    addColumnEh(QStringLiteral("DEPOSIT_PER_GRAM"), 55,
                tr("PenaltyContracts.GoldTarifs.DEPOSIT_PER_GRAM", u"Кредит за 1г"));
}

GoldTarifs::~GoldTarifs() {
    closeFirst(*this);
}

bool GoldTarifs::open() {
    const bool kinds = meTypes_->open();
    const bool tariffs = TableWrapper::open();
    return kinds && tariffs;
}

bool GoldTarifs::close() {
    const bool closed = TableWrapper::close();
    meTypes_->close();
    return closed;
}

// ---- GoldTarifInfo --------------------------------------------------------------------------------

namespace {

QString goldTarifColumn(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(goldTarifFields))) {
        throw core::Exception(QStringLiteral("GoldTarifInfo: no column with index %1").arg(index));
    }
    return latin(goldTarifFields[index]);
}

}  // namespace

GoldTarifInfo::GoldTarifInfo(fb::Transaction* transaction)
    : TDBRecord(QStringLiteral("GOLD_TARIF"), QStringLiteral("ID"), 0, transaction) {}

Variant GoldTarifInfo::getValue(int index) const {
    return GetField(goldTarifColumn(index), true);
}

void GoldTarifInfo::setValue(int index, const Variant& value) {
    SetField(goldTarifColumn(index), value, index == gID);
}

}  // namespace TolvLogic

// ---- The program-wide gold tariff list ------------------------------------------------------------

namespace {
TolvLogic::GoldTarifs* globalGoldTarifs = nullptr;
}  // namespace

TolvLogic::GoldTarifs* getGlobalGoldTarifs() {
    return globalGoldTarifs;
}

void setGlobalGoldTarifs(TolvLogic::GoldTarifs* goldTarifs) {
    globalGoldTarifs = goldTarifs;
}
