#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "ContractRows.h"
#include "PenaltyDirectories.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "kv_Valuta.h"
#include "kv_settingsFile.h"
#include "platform/fb/Query.h"
#include "platform/fb/Table.h"
#include "platform/os/Program.h"
#include "tests/support/ErrorText.h"

using core::Variant;
using namespace contracttest;
using TolvLogic::AutoPercDir;
using TolvLogic::DepositSubjsDir;
using TolvLogic::DirDragMeTypes;
using TolvLogic::GoldTarifInfo;
using TolvLogic::GoldTarifs;
using TolvLogic::StorageTypes;
using TolvLogic::TDepositTypes;
using TolvLogic::TPasportData;
using tolvtest::errorText;

namespace {

void clearFieldCache() {
    udb::getFieldCache(QStringLiteral("!"), QString(), QString(), QString());
}

// Every test runs with a settings file of its own (interface language 1, Russian), an empty field
// cache and the start currency; what it changes on the shared change transaction is rolled back.
class DirectoriesTest : public ContractSuite {
protected:
    void SetUp() override {
        settings_ = std::make_unique<OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
        clearFieldCache();
    }
    void TearDown() override {
        clearFieldCache();
        settings_.reset();
        utl::Valuta::setValuta(QStringLiteral("грн"), QStringLiteral("коп"), 0, 0);
        ContractSuite::TearDown();
    }

    static void setLanguage(int language) {
        utl::SettingsFile::writeInt(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"),
                                    language);
    }
    static int typeId(const char* code) { return TDepositTypes::scGetIdByCode(QString::fromLatin1(code)); }

    std::unique_ptr<OwnSettingsFile> settings_;
};

// ---- Fields and columns ---------------------------------------------------------------------------

struct FieldSpec {
    QString name;
    data::DataType type;
    bool required = true;
    bool visible = true;
    QString lookup = {};  // "key field>lookup key>result field" for a lookup field
    QString format = {};  // display and edit format
};

void expectFields(ufb::DataSetWrapper& list, const std::vector<FieldSpec>& expected) {
    data::Dataset& ds = *list.getDataSet();
    ASSERT_EQ(ds.fieldCount(), static_cast<int>(expected.size())) << ds.fieldNames().join(u',').toStdString();
    for (size_t i = 0; i < expected.size(); ++i) {
        const FieldSpec& e = expected[i];
        const data::Field& f = *ds.field(static_cast<int>(i));
        SCOPED_TRACE(e.name.toStdString());
        EXPECT_EQ(f.fieldName(), e.name);
        EXPECT_EQ(f.dataType(), e.type);
        EXPECT_EQ(f.required(), e.required);
        EXPECT_EQ(f.visible(), e.visible);
        EXPECT_EQ(f.displayFormat(), e.format);
        EXPECT_EQ(f.editFormat(), e.format);
        if (e.lookup.isEmpty()) {
            EXPECT_EQ(f.kind(), data::FieldKind::Data);
            continue;
        }
        EXPECT_EQ(f.kind(), data::FieldKind::Lookup);
        EXPECT_NE(f.lookupDataset(), nullptr);
        EXPECT_EQ(f.keyFields() + u'>' + f.lookupKeyFields() + u'>' + f.lookupResultField(), e.lookup);
    }
}

struct ColumnSpec {
    QString field;
    int width;
    QString title;
    bool checkBox = false;
    QString hint = {};
    QString sortExpression = {};
};

void expectColumns(const ufb::DataSetWrapper& list, const std::vector<ColumnSpec>& expected, bool sortable) {
    const auto& columns = list.columnsEh();
    ASSERT_EQ(columns.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ColumnSpec& e = expected[i];
        const grid::Column& c = columns[i];
        SCOPED_TRACE(e.field.toStdString());
        EXPECT_EQ(c.fieldName, e.field);
        EXPECT_EQ(c.width, e.width);
        EXPECT_EQ(c.title, e.title);
        EXPECT_EQ(c.checkBox, e.checkBox);
        EXPECT_EQ(c.titleHint, e.hint);
        EXPECT_EQ(c.sortExpression, e.sortExpression);
        EXPECT_EQ(c.titleButton, sortable);
    }
    EXPECT_TRUE(list.columns().empty());
}

using data::DataType;

TEST_F(DirectoriesTest, SimpleDirectoriesDefineTheirFieldsAndColumns) {
    TDepositTypes types;
    expectFields(types,
                 {{QStringLiteral("ID"), DataType::Integer, false, false},
                  {QStringLiteral("NAME"), DataType::String, true, true, QStringLiteral("ID>ID_REC>NAME")}});
    expectColumns(types, {{QStringLiteral("NAME"), 150, QStringLiteral("Тип залога")}}, false);

    TPasportData passports;
    expectFields(passports, {{QStringLiteral("ID"), DataType::Integer, false, false},
                             {QStringLiteral("DATA"), DataType::String}});
    EXPECT_EQ(passports.getDataSet()->fieldByName(QStringLiteral("DATA")).size(), 255);
    expectColumns(passports, {{QStringLiteral("DATA"), 200, QStringLiteral("Кем выдан паспорт")}}, false);

    StorageTypes storage;
    expectFields(storage,
                 {{QStringLiteral("ID"), DataType::Integer, false, false},
                  {QStringLiteral("NAME"), DataType::String, true, true, QStringLiteral("ID>ID_REC>NAME")}});
    expectColumns(storage, {}, false);

    DirDragMeTypes metals;
    expectFields(metals, {{QStringLiteral("ID"), DataType::Integer, false, false},
                          {QStringLiteral("NAME"), DataType::String}});
    expectColumns(metals, {{QStringLiteral("NAME"), 100, QStringLiteral("Наименование")}}, false);

    GoldTarifs tariffs;
    EXPECT_EQ(tariffs.getTable()->tableName(), QStringLiteral("GOLD_TARIF"));
    expectFields(
        tariffs,
        {{QStringLiteral("ID"), DataType::Integer, false, false},
         {QStringLiteral("ID_ME_TYPE"), DataType::Integer},
         {QStringLiteral("PROB_NAME"), DataType::String},
         {QStringLiteral("PRICE_PER_GRAM"), DataType::Integer, true, true, {}, QStringLiteral("0.00")},
         {QStringLiteral("DEPOSIT_PER_GRAM"), DataType::Integer, true, true, {}, QStringLiteral("0.00")},
         {QStringLiteral("ME_TYPE"), DataType::String, true, true, QStringLiteral("ID_ME_TYPE>ID>NAME")}});
    expectColumns(tariffs,
                  {{QStringLiteral("ME_TYPE"), 55, QStringLiteral("Вид")},
                   {QStringLiteral("PROB_NAME"), 55, QStringLiteral("Проба")},
                   {QStringLiteral("PRICE_PER_GRAM"), 55, QStringLiteral("Оцен.стоим за 1г")},
                   {QStringLiteral("DEPOSIT_PER_GRAM"), 55, QStringLiteral("Кредит за 1г")}},
                  false);
}

TEST_F(DirectoriesTest, ItemNamesListDefinesItsFieldsAndSortableColumns) {
    DepositSubjsDir subjects;
    expectFields(subjects, {{QStringLiteral("ID"), DataType::Integer, false, false},
                            {QStringLiteral("S_NAME"), DataType::String},
                            {QStringLiteral("DEPOSIT_TYPE_ID"), DataType::Integer, true, false},
                            {QStringLiteral("DEPOSIT_TYPE_NAME"), DataType::String, true, true,
                             QStringLiteral("DEPOSIT_TYPE_ID>ID>NAME")},
                            {QStringLiteral("ITEMS_COUNT"), DataType::Integer}});
    expectColumns(subjects,
                  {{QStringLiteral("S_NAME"),
                    130,
                    QStringLiteral("Предмет залога"),
                    false,
                    {},
                    QStringLiteral("DS.NAME")},
                   {QStringLiteral("ITEMS_COUNT"), 60, QStringLiteral("Предметов")},
                   {QStringLiteral("DEPOSIT_TYPE_NAME"),
                    80,
                    QStringLiteral("Тип залога"),
                    false,
                    {},
                    QStringLiteral("DTL.NAME")}},
                  true);
    EXPECT_TRUE(subjects.getQuery()->cachedUpdates());
    EXPECT_TRUE(subjects.sql().endsWith(QStringLiteral("where DTL.ID_LANG = 1")));
}

TEST_F(DirectoriesTest, TariffScalesGroupTheirTitlesAndShowCheckBoxes) {
    utl::Valuta::setValuta(QStringLiteral("USD"), QStringLiteral("ц"), 1, 0);
    const QString hintMinDays = QStringLiteral("Мин. срок начисления процентов про кредиту, сут.");
    const QString hintRetSum = QStringLiteral(
        "Расчет пени производить от суммы возврата (а не от суммы кредита)\n"
        "Сумма возврата = сумма кредита + проценты за срок договора");
    const std::vector<ColumnSpec> common = {
        {QStringLiteral("PERC"), 70, QStringLiteral("Проценты|Ставка, %/сутки")},
        {QStringLiteral("MIN_ACCRUAL_DAYS"), 70, QStringLiteral("Проценты|Мин. срок начислений, сут."), false,
         hintMinDays},
        {QStringLiteral("IS_PERC_W_PEN_START"), 70, QStringLiteral("Проценты|Начислять при старте пени"),
         true},
        {QStringLiteral("PENALTY_PERC"), 70, QStringLiteral("Пеня|Ставка, %/сутки")},
        {QStringLiteral("IS_PENAL_FROM_RET_SUM"), 70, QStringLiteral("Пеня|Расч. от суммы возврата"), true,
         hintRetSum},
        {QStringLiteral("STORAGE_NAME"), 100, QStringLiteral("Хранение|Тип расчета")},
        {QStringLiteral("STORAGE_VAL"), 100, QStringLiteral("Хранение|Значение хранения")},
        {QStringLiteral("MIN_STORAGE_DAYS"), 70, QStringLiteral("Хранение|Мин. срок начислений, сут.")},
        {QStringLiteral("IS_STORAGE_START_W_PEN"), 70, QStringLiteral("Хранение|Начислять при старте пени"),
         true},
    };
    const QString decimal = QStringLiteral("0.00");
    auto fields = [&](std::vector<FieldSpec> head) {
        head.insert(head.begin(), {QStringLiteral("ID"), DataType::Integer, false, false});
        const std::vector<FieldSpec> tail = {
            {QStringLiteral("PERC"), DataType::Float, true, true, {}, decimal},
            {QStringLiteral("MIN_ACCRUAL_DAYS"), DataType::Integer},
            {QStringLiteral("IS_PERC_W_PEN_START"), DataType::Integer},
            {QStringLiteral("PENALTY_PERC"), DataType::Float, true, true, {}, decimal},
            {QStringLiteral("IS_PENAL_FROM_RET_SUM"), DataType::Integer},
            {QStringLiteral("STORAGE_TYPE"), DataType::Integer},
            {QStringLiteral("STORAGE_NAME"), DataType::String, true, true,
             QStringLiteral("STORAGE_TYPE>ID>NAME")},
            {QStringLiteral("STORAGE_VAL"), DataType::Float, true, true, {}, decimal},
            {QStringLiteral("IS_STORAGE_START_W_PEN"), DataType::Integer},
            {QStringLiteral("MIN_STORAGE_DAYS"), DataType::Integer},
        };
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    auto columns = [&](std::vector<ColumnSpec> head) {
        head.insert(head.end(), common.begin(), common.end());
        return head;
    };

    AutoPercDir sums(QStringLiteral("AUTO_PERC_SUM"));
    EXPECT_TRUE(sums.isSumScale());
    expectFields(sums, fields({{QStringLiteral("SUM_FROM"), DataType::Float, true, true, {}, decimal}}));
    expectColumns(sums, columns({{QStringLiteral("SUM_FROM"), 70, QStringLiteral("Сумма договора от, USD")}}),
                  false);

    AutoPercDir days(QStringLiteral("AUTO_PERC_DAYS"));
    EXPECT_FALSE(days.isSumScale());
    expectFields(days, fields({{QStringLiteral("DAYS"), DataType::Integer},
                               {QStringLiteral("CREDIT_PERC"), DataType::Float, true, true, {}, decimal}}));
    expectColumns(
        days,
        columns({{QStringLiteral("DAYS"), 70, QStringLiteral("Количество дней")},
                 {QStringLiteral("CREDIT_PERC"), 70, QStringLiteral("% суммы ссуды от оценки, %")}}),
        false);

    // A translated group heads every column of the group.
    const QString key = QStringLiteral("PenaltyContracts.AutoPercDir.PERC_GROUP");
    KVLibTranslator::instance().set(key, QStringLiteral("Відсотки|"));
    const AutoPercDir translated(QStringLiteral("AUTO_PERC_SUM"));
    KVLibTranslator::instance().set(key, QStringLiteral("Проценты|"));
    EXPECT_EQ(translated.columnsEh()[1].title, QStringLiteral("Відсотки|Ставка, %/сутки"));
    EXPECT_EQ(translated.columnsEh()[3].title, QStringLiteral("Відсотки|Начислять при старте пени"));

    EXPECT_EQ(errorText([] { AutoPercDir(QStringLiteral("AUTO_PERC")); }),
              QStringLiteral("AutoPercDir: unknown tariff scale table AUTO_PERC"));
}

// ---- Tariff scales --------------------------------------------------------------------------------

struct Tariff {
    double from;
    int storageType = 1;
};

void fillTariff(data::Dataset& ds, bool sumScale, const Tariff& t) {
    ds[sumScale ? QStringLiteral("SUM_FROM") : QStringLiteral("DAYS")].setValue(
        sumScale ? Variant(t.from) : Variant(int(t.from)));
    if (!sumScale) ds[QStringLiteral("CREDIT_PERC")].setValue(70.0);
    ds[QStringLiteral("PERC")].setValue(1.5);
    ds[QStringLiteral("MIN_ACCRUAL_DAYS")].setValue(7);
    ds[QStringLiteral("IS_PERC_W_PEN_START")].setText(QStringLiteral("1"));
    ds[QStringLiteral("PENALTY_PERC")].setValue(0.5);
    ds[QStringLiteral("IS_PENAL_FROM_RET_SUM")].setText(QStringLiteral("0"));
    ds[QStringLiteral("STORAGE_TYPE")].setValue(t.storageType);
    ds[QStringLiteral("STORAGE_VAL")].setValue(0.25);
    ds[QStringLiteral("IS_STORAGE_START_W_PEN")].setText(QStringLiteral("0"));
    ds[QStringLiteral("MIN_STORAGE_DAYS")].setValue(3);
}

TEST_F(DirectoriesTest, SavedTariffRowStaysCurrentAfterTheScaleReopensInItsOrder) {
    AutoPercDir scale(QStringLiteral("AUTO_PERC_SUM"));
    ASSERT_TRUE(scale.open());
    data::Dataset& ds = *scale.getDataSet();
    ASSERT_TRUE(ds.isEmpty());

    struct Step {
        double from;
        int storageType;
        int position;  // of the saved row in SUM_FROM order
        QString storageName;
        QString scale;
    };
    const Step steps[] = {{1000, 1, 1, QStringLiteral("Фиксированная сумма"), QStringLiteral("1000")},
                          {100, 2, 1, QStringLiteral("От оценки"), QStringLiteral("100 1000")},
                          {500, 3, 2, QStringLiteral("От суммы кредита"), QStringLiteral("100 500 1000")},
                          {5000, 2, 4, QStringLiteral("От оценки"), QStringLiteral("100 500 1000 5000")}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.from);
        ds.append();
        fillTariff(ds, true, {s.from, s.storageType});
        ds.post();
        EXPECT_EQ(udb::columnToText(ds, QStringLiteral("SUM_FROM"), QStringLiteral(" ")), s.scale);
        EXPECT_EQ(ds.recNo(), s.position);
        EXPECT_DOUBLE_EQ(ds[QStringLiteral("SUM_FROM")].asFloat(), s.from);
        EXPECT_EQ(ds[QStringLiteral("STORAGE_NAME")].asString(), s.storageName);
        const Variant id = scalar(
            QStringLiteral("select ID as V from AUTO_PERC_SUM where SUM_FROM = %1").arg(s.from), change());
        EXPECT_EQ(ds[QStringLiteral("ID")].asInteger(), id.toInt());
    }

    // A row moved by its change is followed to its new place; the reopen also brings rows written
    // meanwhile in the list's transaction.
    udb::execSql(QStringLiteral("insert into AUTO_PERC_SUM (SUM_FROM, PERC, PENALTY_PERC) values (10, 1, 1)"),
                 change());
    ASSERT_TRUE(ds.locate(QStringLiteral("SUM_FROM"), 5000.0));
    const int moved = ds[QStringLiteral("ID")].asInteger();
    ds.edit();
    ds[QStringLiteral("SUM_FROM")].setValue(50.0);
    ds.post();
    EXPECT_EQ(ds[QStringLiteral("ID")].asInteger(), moved);
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_EQ(udb::columnToText(ds, QStringLiteral("SUM_FROM"), QStringLiteral(" ")),
              QStringLiteral("10 50 100 500 1000"));
    EXPECT_EQ(ds.recNo(), 2);

    // Check boxes store 1 and 0.
    EXPECT_EQ(scalar(QStringLiteral(
                         "select IS_PERC_W_PEN_START * 10 + IS_PENAL_FROM_RET_SUM as V from AUTO_PERC_SUM "
                         "where ID = %1")
                         .arg(moved),
                     change())
                  .toInt(),
              10);

    // A required value left empty refuses the post.
    ds.append();
    ds[QStringLiteral("SUM_FROM")].setValue(20.0);
    EXPECT_EQ(errorText([&] { ds.post(); }), QStringLiteral("Field 'PERC' must have a value"));
    ds.cancel();
}

TEST_F(DirectoriesTest, DaysScaleKeepsItsRowsInDaysOrder) {
    AutoPercDir scale(QStringLiteral("AUTO_PERC_DAYS"));
    ASSERT_TRUE(scale.open());
    data::Dataset& ds = *scale.getDataSet();
    for (const int days : {30, 10, 20}) {
        ds.append();
        fillTariff(ds, false, {double(days)});
        ds.post();
        EXPECT_EQ(ds[QStringLiteral("DAYS")].asInteger(), days);
    }
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_EQ(udb::columnToText(ds, QStringLiteral("DAYS"), QStringLiteral(",")), QStringLiteral("10,20,30"));
}

// ---- Precious metal --------------------------------------------------------------------------------

TEST_F(DirectoriesTest, GoldTariffsOpenTheirMetalKindsFirst) {
    const int gold = newMetal(QStringLiteral("Золото"), change());
    const int silver = newMetal(QStringLiteral("Серебро"), change());
    newTariff(gold, QStringLiteral("750"), 230000, 190000, change());
    newTariff(silver, QStringLiteral("925"), 3000, 2000, change());
    newTariff(gold, QStringLiteral("585"), 180050, 150000, change());

    GoldTarifs tariffs;
    data::Dataset& ds = *tariffs.getDataSet();
    // The kinds were never opened by anyone: the list's own open brings them, so the names show.
    ASSERT_TRUE(tariffs.open());
    EXPECT_EQ(udb::columnToText(ds, QStringLiteral("PROB_NAME"), QStringLiteral(",")),
              QStringLiteral("585,750,925"));
    EXPECT_EQ(udb::columnToText(ds, QStringLiteral("ME_TYPE"), QStringLiteral(",")),
              QStringLiteral("Золото,Золото,Серебро"));
    ds.first();
    EXPECT_EQ(ds[QStringLiteral("PRICE_PER_GRAM")].displayText(), QStringLiteral("1800.50"));
    EXPECT_EQ(ds[QStringLiteral("DEPOSIT_PER_GRAM")].displayText(), QStringLiteral("1500.00"));

    EXPECT_TRUE(tariffs.close());
    EXPECT_FALSE(ds.active());
    // Closed together with the tariffs, the kinds come back with them: a kind added meanwhile shows.
    const int platinum = newMetal(QStringLiteral("Платина"), change());
    newTariff(platinum, QStringLiteral("950"), 400000, 300000, change());
    ASSERT_TRUE(tariffs.open());
    ASSERT_TRUE(ds.locate(QStringLiteral("PROB_NAME"), QStringLiteral("950")));
    EXPECT_EQ(ds[QStringLiteral("ME_TYPE")].asString(), QStringLiteral("Платина"));
}

TEST_F(DirectoriesTest, GoldTariffRecordReadsAndStoresByPosition) {
    const int gold = newMetal(QStringLiteral("Золото"), change());
    const int t585 = newTariff(gold, QStringLiteral("585"), 180000, 150000, change());
    const int t750 = newTariff(gold, QStringLiteral("750"), 230000, 190000, change());

    GoldTarifInfo info(change());
    EXPECT_EQ(info.getValue(GoldTarifInfo::gID).toInt(), 0);
    EXPECT_EQ(info.Select(), 0);

    info.setValue(GoldTarifInfo::gID, t585);
    ASSERT_EQ(info.Select(), 1);
    EXPECT_EQ(info.getValue(GoldTarifInfo::gPROB_NAME).toText(), QStringLiteral("585"));
    EXPECT_EQ(info.getValue(GoldTarifInfo::gPRICE_PER_GRAM).toInt(), 180000);
    EXPECT_EQ(info.getValue(GoldTarifInfo::gDEPOSIT_PER_GRAM).toInt(), 150000);

    info.setValue(GoldTarifInfo::gDEPOSIT_PER_GRAM, 155000);
    info.Update(nullptr, true);
    EXPECT_EQ(scalar(QStringLiteral("select DEPOSIT_PER_GRAM as V from GOLD_TARIF where ID = %1").arg(t585),
                     change())
                  .toInt(),
              155000);

    // ID is the key: setting it addresses another tariff.
    info.setValue(GoldTarifInfo::gID, t750);
    ASSERT_EQ(info.Select(), 1);
    EXPECT_EQ(info.getValue(GoldTarifInfo::gPROB_NAME).toText(), QStringLiteral("750"));

    EXPECT_EQ(errorText([&] { info.getValue(4); }), QStringLiteral("GoldTarifInfo: no column with index 4"));
    EXPECT_EQ(errorText([&] { info.setValue(-1, 1); }),
              QStringLiteral("GoldTarifInfo: no column with index -1"));
}

TEST_F(DirectoriesTest, ProgramWideGoldTariffsAreWhatWasInstalled) {
    EXPECT_EQ(getGlobalGoldTarifs(), nullptr);
    GoldTarifs tariffs;
    setGlobalGoldTarifs(&tariffs);
    EXPECT_EQ(TolvLogic::getGlobalGoldTarifs(), &tariffs);
    setGlobalGoldTarifs(nullptr);
    EXPECT_EQ(getGlobalGoldTarifs(), nullptr);
}

// ---- Pledge types and cached lookups --------------------------------------------------------------

TEST_F(DirectoriesTest, NoPledgeTypeIsNoneWithoutReadingAnything) {
    // Without a database any read would fail.
    TolvMain::setZarvelDb(nullptr);
    const QString code = errorText([] { EXPECT_EQ(TDepositTypes::scGetCode(0), QStringLiteral("NONE")); });
    const QString gold = errorText([] { EXPECT_FALSE(TDepositTypes::scIsGold(0)); });
    TolvMain::setZarvelDb(&testDb().db());
    EXPECT_EQ(code, QStringLiteral("<no error>"));
    EXPECT_EQ(gold, QStringLiteral("<no error>"));
}

TEST_F(DirectoriesTest, PledgeTypeCodesAndIds) {
    struct Case {
        const char* code;
        int id;
        bool gold;
    };
    const Case cases[] = {{"GOLD", 1, true}, {"TECH", 2, false}, {"AUTO", 3, false}, {"ELSE", 7, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(typeId(c.code), c.id);
        EXPECT_EQ(TDepositTypes::scGetCode(c.id), QString::fromLatin1(c.code));
        EXPECT_EQ(TDepositTypes::scIsGold(c.id), c.gold);
    }
    // Codes are keys of the cached rows, never statement text: a quote finds nothing, like any code.
    EXPECT_EQ(
        errorText([] { TDepositTypes::scGetIdByCode(QStringLiteral("GO'LD")); }),
        QStringLiteral(
            "Не найдено значение в кэшированной таблице\n Table: DEPOSIT_TYPES, field name: ID, Id: GO'LD"));
    EXPECT_EQ(
        errorText([] { TDepositTypes::scGetCode(99); }),
        QStringLiteral(
            "Не найдено значение в кэшированной таблице\n Table: DEPOSIT_TYPES, field name: CODE, Id: 99"));
}

TEST_F(DirectoriesTest, CachedNamesKeepTheLanguageTheyWereFirstReadIn) {
    setLanguage(2);
    EXPECT_EQ(TDepositTypes::scGetName(1), QStringLiteral("Вироби з дорогоцінних металів"));
    EXPECT_EQ(StorageTypes::scGetName(2), QStringLiteral("Від оцінки"));
    setLanguage(1);
    EXPECT_EQ(TDepositTypes::scGetName(2), QStringLiteral("Побутова техніка"));
    EXPECT_EQ(StorageTypes::scGetName(3), QStringLiteral("Від суми кредиту"));

    clearFieldCache();
    EXPECT_EQ(TDepositTypes::scGetName(1), QStringLiteral("Изделия из драгметаллов"));
    EXPECT_EQ(StorageTypes::scGetName(2), QStringLiteral("От оценки"));
}

TEST_F(DirectoriesTest, ListsShowNamesInTheLanguageOfTheirMaking) {
    udb::execSql(
        QStringLiteral(
            "insert into DEPOSIT_SUBJECTS (NAME, DEPOSIT_TYPE_ID, ITEMS_COUNT) values ('Ланцюжок', 1, 1)"),
        change());
    setLanguage(2);
    TDepositTypes ukrainianTypes;
    DepositSubjsDir ukrainianSubjects;
    StorageTypes ukrainianStorage;
    AutoPercDir ukrainianScale(QStringLiteral("AUTO_PERC_SUM"));
    setLanguage(1);
    TDepositTypes russianTypes;
    DepositSubjsDir russianSubjects;
    StorageTypes russianStorage;

    struct Case {
        ufb::DataSetWrapper* list;
        QString keyField;
        Variant key;
        QString field;
        QString expected;
    };
    const QString chain = QStringLiteral("Ланцюжок");
    const Case cases[] = {
        {&ukrainianTypes, QStringLiteral("ID"), 1, QStringLiteral("NAME"),
         QStringLiteral("Вироби з дорогоцінних металів")},
        {&ukrainianSubjects, QStringLiteral("S_NAME"), chain, QStringLiteral("DEPOSIT_TYPE_NAME"),
         QStringLiteral("Вироби з дорогоцінних металів")},
        {&russianTypes, QStringLiteral("ID"), 1, QStringLiteral("NAME"),
         QStringLiteral("Изделия из драгметаллов")},
        {&russianSubjects, QStringLiteral("S_NAME"), chain, QStringLiteral("DEPOSIT_TYPE_NAME"),
         QStringLiteral("Изделия из драгметаллов")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        ASSERT_TRUE(c.list->open());
        // A reopen after the switch still reads the language the list was made in.
        ASSERT_TRUE(c.list->reopen(c.keyField, c.key));
        data::Dataset& ds = *c.list->getDataSet();
        ASSERT_EQ(ds[c.keyField].value(), c.key);
        EXPECT_EQ(ds[c.field].asString(), c.expected);
    }
    EXPECT_EQ(ukrainianStorage.getNamesText(QStringLiteral("|")),
              QStringLiteral("Фіксована сума|Від оцінки|Від суми кредиту|"));
    EXPECT_EQ(russianStorage.getNamesText(QStringLiteral("|")),
              QStringLiteral("Фиксированная сумма|От оценки|От суммы кредита|"));

    data::Dataset& scale = *ukrainianScale.getDataSet();
    ASSERT_TRUE(ukrainianScale.open());
    scale.append();
    fillTariff(scale, true, {100, 2});
    scale.post();
    EXPECT_EQ(scale[QStringLiteral("STORAGE_NAME")].asString(), QStringLiteral("Від оцінки"));
}

// ---- Storage-fee kinds ----------------------------------------------------------------------------

TEST_F(DirectoriesTest, StorageNamesTextEndsEveryNameWithTheSeparator) {
    StorageTypes kinds;
    ASSERT_FALSE(kinds.getDataSet()->active());
    EXPECT_EQ(kinds.getNamesText(QStringLiteral("|")),
              QStringLiteral("Фиксированная сумма|От оценки|От суммы кредита|"));
    EXPECT_TRUE(kinds.getDataSet()->active());

    // Three kinds renamed A, B, C in the list's transaction, read again.
    for (const auto& [id, name] : {std::pair{1, "A"}, {2, "B"}, {3, "C"}}) {
        udb::execSql(
            QStringLiteral("update STORAGE_TYPES_LANGS set NAME = '%1' where ID_REC = %2 and ID_LANG = 1")
                .arg(QString::fromLatin1(name))
                .arg(id),
            change());
    }
    kinds.reopen();
    kinds.getDataSet()->setRecNo(2);
    EXPECT_EQ(kinds.getNamesText(QStringLiteral("|")), QStringLiteral("A|B|C|"));
    EXPECT_EQ(kinds.getNamesText(QStringLiteral(", ")), QStringLiteral("A, B, C, "));
    EXPECT_EQ(kinds.getDataSet()->recNo(), 2);
}

TEST_F(DirectoriesTest, StorageUnitsAndCaptions) {
    utl::Valuta::setValuta(QStringLiteral("USD"), QStringLiteral("ц"), 1, 0);
    const int perValuation = newContract({.clientId = newClient(QStringLiteral("Дем'яненко"))});
    udb::execSql(QStringLiteral("update PENALTY_DEPOSITS set STORAGE_TYPE = 2 where CONTRACT_ID = %1")
                     .arg(perValuation));
    const int noTerms =
        newContract({.clientId = -1, .number = QStringLiteral("3.09.18"), .withTerms = false});

    struct Case {
        int kind;
        int contractId;
        QString unit;
        QString caption;
    };
    const Case cases[] = {
        {1, 0, QStringLiteral("USD"), QStringLiteral("Сут. плата, USD")},
        {2, 0, QStringLiteral("%"), QStringLiteral("Сут. ставка, От оценки, %")},
        {3, -5, QStringLiteral("%"), QStringLiteral("Сут. ставка, От суммы кредита, %")},
        {0, 0, QStringLiteral(" "), QString()},
        {4, 0, QStringLiteral(" "), QString()},
        // A contract's own kind replaces the one given.
        {1, perValuation, QStringLiteral("USD"), QStringLiteral("Сут. ставка, От оценки, %")},
        {1, noTerms, QStringLiteral("USD"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind * 1000 + c.contractId);
        EXPECT_EQ(StorageTypes::scGetUnitText(c.kind), c.unit);
        EXPECT_EQ(StorageTypes::scGetCaption(c.kind, c.contractId), c.caption);
    }
    EXPECT_EQ(StorageTypes::scGetContractStorageType(perValuation), 2);
    EXPECT_EQ(StorageTypes::scGetContractStorageType(noTerms), 0);
}

// ---- Pledged-item names ---------------------------------------------------------------------------

int subjectRows(const QString& name, int type, fb::Transaction* transaction = nullptr) {
    return scalar(QStringLiteral(
                      "select count(*) as V from DEPOSIT_SUBJECTS where NAME = %1 and DEPOSIT_TYPE_ID = %2")
                      .arg(lit(name))
                      .arg(type),
                  transaction)
        .toInt();
}

TEST_F(DirectoriesTest, AddSubjectStoresOnlyNewNamesAndCommitsAtOnce) {
    const int gold = typeId("GOLD");
    const int tech = typeId("TECH");
    struct Case {
        int type;
        QString name;
        int count;
        bool added;
    };
    const Case cases[] = {
        {gold, QStringLiteral("Перстень"), 2, true},
        {gold, QStringLiteral("Перстень"), 1, false},  // the type has it already
        {tech, QStringLiteral("Перстень"), 1, true},   // another type's name
        {gold, QString(), 1, false},
        {gold, QStringLiteral("Сережки"), 0, false},
        {gold, QStringLiteral("Сережки"), -1, false},
        {tech, QStringLiteral("комп'ютер"), 1, true},
        {tech, QStringLiteral("комп'ютер"), 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString() + " " + std::to_string(c.count));
        EXPECT_EQ(DepositSubjsDir::scAddSubject(c.type, c.name, c.count), c.added);
    }
    // Committed: the shared change transaction's rollback does not take them back.
    if (change()->inTransaction()) change()->rollback();
    EXPECT_EQ(subjectRows(QStringLiteral("Перстень"), gold), 1);
    EXPECT_EQ(subjectRows(QStringLiteral("Перстень"), tech), 1);
    EXPECT_EQ(subjectRows(QStringLiteral("Сережки"), gold), 0);
    EXPECT_EQ(subjectRows(QString(), gold), 0);
    EXPECT_EQ(subjectRows(QStringLiteral("комп'ютер"), tech), 1);
    EXPECT_EQ(
        scalar(QStringLiteral("select ITEMS_COUNT as V from DEPOSIT_SUBJECTS where NAME = 'Перстень' and "
                              "DEPOSIT_TYPE_ID = %1")
                   .arg(gold))
            .toInt(),
        2);

    // A failed insert (no such pledge type) passes its database error on and stores nothing.
    EXPECT_NE(errorText([] { DepositSubjsDir::scAddSubject(987654, QStringLiteral("Щось"), 1); }),
              QStringLiteral("<no error>"));
    EXPECT_EQ(subjectRows(QStringLiteral("Щось"), 987654), 0);
}

TEST_F(DirectoriesTest, ItemNamesListKeepsItsEditsUntilAppliedAndFollowsNewRows) {
    const int tech = typeId("TECH");
    DepositSubjsDir subjects;
    ASSERT_TRUE(subjects.open());
    data::Dataset& ds = *subjects.getDataSet();
    fb::Query& query = *subjects.getQuery();

    ds.append();
    const int id = ds[QStringLiteral("ID")].asInteger();
    EXPECT_GT(id, 0);  // from the generator, when the row is made
    ds[QStringLiteral("S_NAME")].setValue(QStringLiteral("Ноутбук \"Lenovo\" комп'ютерний"));
    ds[QStringLiteral("DEPOSIT_TYPE_ID")].setValue(tech);
    ds[QStringLiteral("ITEMS_COUNT")].setValue(1);
    ds.post();
    EXPECT_EQ(ds[QStringLiteral("DEPOSIT_TYPE_NAME")].asString(), QStringLiteral("Бытовая техника"));
    const QString name = QStringLiteral("Ноутбук \"Lenovo\" комп'ютерний");
    EXPECT_EQ(subjectRows(name, tech, change()), 0);  // cached until applied

    query.applyUpdates();
    EXPECT_EQ(scalar(QStringLiteral("select ID as V from DEPOSIT_SUBJECTS where NAME = %1").arg(lit(name)),
                     change())
                  .toInt(),
              id);

    // The new row is changed and deleted through its own key.
    ds.edit();
    ds[QStringLiteral("ITEMS_COUNT")].setValue(4);
    ds.post();
    query.applyUpdates();
    EXPECT_EQ(scalar(QStringLiteral("select ITEMS_COUNT as V from DEPOSIT_SUBJECTS where ID = %1").arg(id),
                     change())
                  .toInt(),
              4);
    ds.remove();
    query.applyUpdates();
    EXPECT_EQ(subjectRows(name, tech, change()), 0);

    // A required value left empty refuses the post.
    ds.append();
    ds[QStringLiteral("S_NAME")].setValue(QStringLiteral("Телефон"));
    ds[QStringLiteral("DEPOSIT_TYPE_ID")].setValue(tech);
    EXPECT_EQ(errorText([&] { ds.post(); }), QStringLiteral("Field 'ITEMS_COUNT' must have a value"));
    ds.cancel();
}

}  // namespace
