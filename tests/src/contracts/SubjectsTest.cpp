#include <gtest/gtest.h>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "kv_BookPick.h"
#include "kv_FbDbIni.h"
#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/data/Dataset.h"
#include "platform/dialogs/Dialogs.h"
#include "tests/support/ErrorText.h"
#include "u_ContractPrmsFiller.h"
#include "u_contractSubjects.h"

using core::Variant;
using namespace contracttest;
using namespace TolvLogic;

namespace {

using tolvtest::errorText;

// The items grid of the contract editor as the list sees it.
struct ItemsGrid : grid::GridView {
    ItemsGrid() : GridView(grid::GridKind::Eh) { setDataSource(&source); }
    QString gridName() const override { return QStringLiteral("gr_Subjects"); }
    QString formName() const override { return QStringLiteral("TFContractEdit"); }
    grid::DataSource source;
};

struct Item {
    QString name;
    int count = 1;
    std::optional<int> price;
    std::optional<int> credit;
};

struct GoldItem {
    QString name;
    QString prob;
    int pricePerGram = 0;
    int depositPerGram = 0;
    double weight = 0;
    double weightGem = 0;
};

class SubjectsTest : public ContractSuite {
protected:
    void SetUp() override {
        gold = TDepositTypes::scGetIdByCode(QStringLiteral("GOLD"));
        tech = TDepositTypes::scGetIdByCode(QStringLiteral("TECH"));
    }
    void TearDown() override {
        ufb::setBookPicker({});
        setGlobalGoldTarifs(nullptr);
        udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("AutoPerc_RoundSubjCredit"), false);
        ContractSuite::TearDown();
    }

    static data::Dataset& rows(ContractSubjects& list) { return *list.getDataSet(); }
    static data::Field& f(ContractSubjects& list, const char* name) {
        return rows(list).fieldByName(QString::fromLatin1(name));
    }
    static void add(ContractSubjects& list, const Item& item) {
        data::Dataset& ds = rows(list);
        ds.append();
        ds.fieldByName(QStringLiteral("NAME")).setValue(item.name);
        ds.fieldByName(QStringLiteral("ITEMS_COUNT")).setValue(item.count);
        if (item.price) ds.fieldByName(QStringLiteral("PRICE")).setValue(*item.price);
        if (item.credit) ds.fieldByName(QStringLiteral("DEPOSIT_SUM")).setValue(*item.credit);
        ds.post();
    }
    static void addGold(ContractSubjects& list, const GoldItem& item) {
        data::Dataset& ds = rows(list);
        ds.append();
        ds.fieldByName(QStringLiteral("NAME")).setValue(item.name);
        ds.fieldByName(QStringLiteral("ITEMS_COUNT")).setValue(1);
        ds.fieldByName(QStringLiteral("PROB_NAME")).setValue(item.prob);
        ds.fieldByName(QStringLiteral("PRICE_PER_GRAM")).setValue(item.pricePerGram);
        ds.fieldByName(QStringLiteral("DEPOSIT_PER_GRAM")).setValue(item.depositPerGram);
        ds.fieldByName(QStringLiteral("WEIGHT")).setValue(item.weight);
        ds.fieldByName(QStringLiteral("WEIGHT_GEM")).setValue(item.weightGem);
        ds.post();
    }
    std::unique_ptr<ContractSubjects> newList(int type, int contractId = -1) {
        auto list = ContractSubjects::scCreateForType(contractId, type);
        list->open();
        return list;
    }
    static std::vector<int> credits(ContractSubjects& list) {
        std::vector<int> out;
        data::Dataset& ds = rows(list);
        for (ds.first(); !ds.eof(); ds.next())
            out.push_back(ds.fieldByName(QStringLiteral("DEPOSIT_SUM")).asInteger());
        return out;
    }
    int gold = 0;
    int tech = 0;
};

TEST_F(SubjectsTest, TheListFollowsThePledgeType) {
    auto plain = ContractSubjects::scCreateForType(-1, tech);
    auto metal = ContractSubjects::scCreateForType(-1, gold);
    EXPECT_EQ(dynamic_cast<ContractSubjectsGold*>(plain.get()), nullptr);
    ASSERT_NE(dynamic_cast<ContractSubjectsGold*>(metal.get()), nullptr);
    EXPECT_EQ(ContractSubjects::scCreateForType(-1, 0)->getDataSet()->fieldCount(), 5);

    const auto names = [](ContractSubjects& list) {
        QStringList out;
        for (const grid::Column& c : list.columnsEh())
            out << QStringLiteral("%1:%2:%3").arg(c.fieldName).arg(c.width).arg(c.title);
        return out.join(u' ');
    };
    EXPECT_EQ(names(*plain), QStringLiteral("NAME:170:Залог ITEMS_COUNT:60:Предметов PRICE:85:Оценочн.стоим "
                                            "DEPOSIT_SUM:85:Кредит"));
    EXPECT_EQ(names(*metal),
              QStringLiteral("NAME:170:Залог ITEMS_COUNT:50:Предметов PROB_NAME:65:Проба "
                             "PRICE_PER_GRAM:65:Оценка 1г DEPOSIT_PER_GRAM:65:Выдача 1г WEIGHT:65:Вес "
                             "WEIGHT_GEM:65:Вес вставки PRICE:85:Оценочн.стоим DEPOSIT_SUM:85:Кредит"));
    const auto& cols = metal->columnsEh();
    EXPECT_TRUE(cols[2].editButton);
    EXPECT_TRUE(cols[7].readOnly);
    EXPECT_TRUE(cols[8].bold);
    for (const grid::Column& c : cols) EXPECT_FALSE(c.titleButton) << c.fieldName.toStdString();
    EXPECT_FALSE(f(*metal, "ID").visible());
    EXPECT_FALSE(f(*metal, "ID_PROB").visible());
}

TEST_F(SubjectsTest, SpreadingACreditFollowsTheValuations) {
    struct Case {
        std::vector<int> prices;
        double credit;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        {{10000, 20000, 30000}, 100.00, {1667, 3333, 5000}},  // the last row takes the remainder
        {{0, 0, 0}, 100.00, {0, 0, 10000}},                   // nothing to share by: all on the last row
        {{50000}, 123.45, {12345}},
        {{100, 100, 100, 100}, 0.02, {0, 0, 0, 2}},  // halves go to the even neighbour
        {{100, 300}, 0.06, {2, 4}},                  // 1.5 hundredths round to 2
        {{10000, 10000}, 0, {0, 0}},
    };
    for (const Case& c : cases) {
        auto list = newList(tech);
        for (int price : c.prices) add(*list, {.name = QStringLiteral("Річ"), .price = price});
        int changed = 0;
        list->onChanged = [&] { ++changed; };
        list->spreadDepositSum(c.credit);
        EXPECT_EQ(credits(*list), c.expected) << c.credit;
        EXPECT_EQ(changed, 0) << "no change notification while spreading";
    }
}

TEST_F(SubjectsTest, SpreadingKeepsThePosition) {
    auto list = newList(tech);
    for (int price : {10000, 20000, 30000}) add(*list, {.name = QStringLiteral("Річ"), .price = price});
    rows(*list).setRecNo(2);
    list->spreadDepositSum(60.0);
    EXPECT_EQ(rows(*list).recNo(), 2);
    EXPECT_EQ(credits(*list), (std::vector<int>{1000, 2000, 3000}));
}

TEST_F(SubjectsTest, TotalsAndTheProposedCredit) {
    struct HalfFiller : ContractPrmsFiller {
        void fill(ContractPrms&) override {}
        double calcSubjCredit(int valuation) const override { return valuation / 2.0; }
    } filler;
    auto list = newList(tech);
    add(*list, {.name = QStringLiteral("Телефон"), .count = 2, .price = 10001, .credit = 5000});
    add(*list, {.name = QStringLiteral("Ноутбук"), .count = 1, .price = 30000, .credit = 20000});
    const SubjectsTotals plain = ContractSubjects::calcTotals(*list, nullptr);
    EXPECT_DOUBLE_EQ(plain.price, 400.01);
    EXPECT_DOUBLE_EQ(plain.depositSum, 250.00);
    EXPECT_DOUBLE_EQ(plain.proposedCredit, 0);
    EXPECT_EQ(plain.itemsCount, 3);
    // 5000.5 hundredths round to the even 5000.
    EXPECT_DOUBLE_EQ(ContractSubjects::calcTotals(*list, &filler).proposedCredit, 50.00 + 150.00);
    EXPECT_EQ(list->getItemsCount(), 3);
    EXPECT_EQ(list->getDescription(), QStringLiteral("Телефон; Ноутбук"));
    rows(*list).first();
    EXPECT_DOUBLE_EQ(list->calcRowPercent(1.5), 0.75);
}

TEST_F(SubjectsTest, PreciousMetalValuationFromWeightsAndPricesPerGram) {
    struct Case {
        double weight, gem;
        int pricePerGram, depositPerGram;
        bool roundCredit;
        int price, credit;
    };
    const std::vector<Case> cases = {
        {5.25, 0.25, 100000, 70000, false, 500000, 350000},
        {1.5, 0, 12345, 12345, false, 18518, 18518},  // 18517.5 rounds to the even 18518
        {1.5, 0, 12345, 12345, true, 18518, 18500},   // then to whole currency units
        {2.5, 0, 100, 101, false, 250, 252},          // 252.5 rounds to the even 252
        {1.0, 3.0, 1000, 700, false, -2000, -1400},   // stones above the gross weight: not refused
        {1.1, 0, 5, 5, false, 6, 6},                  // 5.5 hundredths, exactly, to the even 6
    };
    for (const Case& c : cases) {
        udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("AutoPerc_RoundSubjCredit"),
                        c.roundCredit);
        auto list = newList(gold);
        ItemsGrid grid;
        list->bindGridEh(&grid);
        int changed = 0;
        list->onChanged = [&] { ++changed; };
        addGold(*list, {QStringLiteral("Кольцо"), QStringLiteral("585"), c.pricePerGram, c.depositPerGram,
                        c.weight, c.gem});
        EXPECT_EQ(f(*list, "PRICE").asInteger(), c.price) << c.weight << " " << c.pricePerGram;
        EXPECT_EQ(f(*list, "DEPOSIT_SUM").asInteger(), c.credit) << c.weight << " " << c.depositPerGram;
        EXPECT_GE(changed, 1);
    }
    // Without the editor's grid nothing is derived.
    auto unbound = newList(gold);
    addGold(*unbound, {QStringLiteral("Кольцо"), QStringLiteral("585"), 100000, 70000, 5.25, 0.25});
    EXPECT_TRUE(f(*unbound, "PRICE").isNull());
}

TEST_F(SubjectsTest, PreciousMetalDescription) {
    auto list = newList(gold);
    addGold(*list, {QStringLiteral("Кольцо"), QStringLiteral("585"), 1, 1, 3.75, 0.25});
    addGold(*list, {QStringLiteral("Цепь"), QStringLiteral("750"), 1, 1, 10.0, 0});
    EXPECT_EQ(list->getDescription(), QStringLiteral("Кольцо(585;3.50г); Цепь(750;10.00г)"));
}

TEST_F(SubjectsTest, ChecksReportTheFirstMissingValue) {
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    auto list = newList(tech);
    ItemsGrid grid;
    list->bindGridEh(&grid);

    add(*list, {.name = QStringLiteral("Телефон"), .price = 10000});  // no credit yet
    EXPECT_TRUE(list->checkRequired());
    EXPECT_EQ(f(*list, "DEPOSIT_SUM").value(), Variant(0));
    EXPECT_FALSE(list->checkRow());
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Не задано значение поля 'Кредит'")});

    dialogs.shown.clear();
    add(*list, {.name = QStringLiteral("Телевізор"), .count = 0, .price = 10000, .credit = 20000});
    EXPECT_FALSE(list->checkRow());
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Не задано значение поля 'Предметов'")});

    // A credit above the valuation is painted red but passes.
    dialogs.shown.clear();
    rows(*list).edit();
    f(*list, "ITEMS_COUNT").setValue(1);
    rows(*list).post();
    EXPECT_TRUE(list->checkRow());
    grid::CellStyle red, plain;
    grid.onCellStyle(1, grid.columns()[0], red);
    grid.onCellStyle(0, grid.columns()[0], plain);
    EXPECT_EQ(red.text.value_or(0), 0xFF0000u);
    EXPECT_FALSE(plain.text.has_value());

    auto metal = newList(gold);
    ItemsGrid goldGrid;
    metal->bindGridEh(&goldGrid);
    addGold(*metal, {QStringLiteral("Кольцо"), QStringLiteral("585"), 1000, 700, 0, 0});
    EXPECT_FALSE(metal->checkRow()) << "a zero weight is a value, a zero valuation is not";
    EXPECT_EQ(dialogs.texts().last(), QStringLiteral("Не задано значение поля 'Оценочн.стоим'"));
    rows(*metal).edit();
    f(*metal, "WEIGHT").setValue(2.0);
    f(*metal, "WEIGHT_GEM").clear();
    rows(*metal).post();
    EXPECT_TRUE(metal->checkRow());
    EXPECT_EQ(f(*metal, "WEIGHT_GEM").value(), Variant(0.0));
}

TEST_F(SubjectsTest, ANameFromTheStandardNamesBringsItsPieceCount) {
    for (const auto& [name, count] :
         {std::pair{QStringLiteral("Серьги"), 2}, std::pair{QStringLiteral("Дрібниця"), 3},
          std::pair{QStringLiteral("Дрібниця"), 5}, std::pair{QStringLiteral("комп'ютер"), 4}}) {
        udb::execSql(
            QStringLiteral("insert into DEPOSIT_SUBJECTS (ID, NAME, DEPOSIT_TYPE_ID, ITEMS_COUNT) values "
                           "(gen_id(GEN_DEPOSIT_SUBJECTS_ID, 1), %1, %2, %3)")
                .arg(lit(name))
                .arg(tech)
                .arg(count));
    }
    struct Case {
        QString name;
        int expected;
    };
    for (const Case& c : {Case{QStringLiteral("Серьги"), 2}, Case{QStringLiteral("комп'ютер"), 4},
                          Case{QStringLiteral("Дрібниця"), 1},  // twice among the names: untouched
                          Case{QStringLiteral("Невідоме"), 1}}) {
        auto list = newList(tech);
        rows(*list).append();
        f(*list, "ITEMS_COUNT").setValue(1);
        f(*list, "NAME").setValue(c.name);
        EXPECT_EQ(f(*list, "ITEMS_COUNT").asInteger(), c.expected) << c.name.toStdString();
    }
}

TEST_F(SubjectsTest, EventsOfTheRows) {
    auto list = newList(tech);
    std::vector<QString> log;
    list->onChanged = [&] { log.push_back(QStringLiteral("changed")); };
    list->onEditStateChanged = [&] {
        log.push_back(list->isEditing() ? QStringLiteral("editing") : QStringLiteral("idle"));
    };
    data::Dataset& ds = rows(*list);
    ds.append();
    f(*list, "NAME").setValue(QStringLiteral("Годинник"));
    f(*list, "PRICE").setValue(1000);
    ds.post();
    ds.edit();
    ds.cancel();
    ds.remove();
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("editing"), QStringLiteral("changed"),
                                         QStringLiteral("changed"), QStringLiteral("idle"),
                                         QStringLiteral("editing"), QStringLiteral("idle"),
                                         QStringLiteral("changed")}));
}

TEST_F(SubjectsTest, SavedItemsLoadBackAndRemovedOnesAreDeleted) {
    for (const int type : {tech, gold}) {
        const int contract =
            newContract({.clientId = newClient(QStringLiteral("Клієнт")), .depositType = type});
        auto list = newList(type, contract);
        if (type == gold) {
            addGold(*list, {QStringLiteral("комп'ютер"), QStringLiteral("585"), 1000, 700, 5.25, 0.25});
            addGold(*list, {QStringLiteral("Цепь"), QStringLiteral("750"), 2000, 1500, 10, 0});
            addGold(*list, {QStringLiteral("Браслет"), QStringLiteral("585"), 1000, 700, 3, 0});
        } else {
            add(*list, {.name = QStringLiteral("комп'ютер"), .count = 2, .price = 50000, .credit = 30000});
            add(*list, {.name = QStringLiteral("Телефон"), .price = 10000, .credit = 5000});
            add(*list, {.name = QStringLiteral("Браслет"), .price = 10000, .credit = 5000});
        }
        list->saveAll(change());
        change()->commit();
        EXPECT_EQ(rows(*list).recNo(), 1);
        for (data::Dataset& ds = rows(*list); !ds.eof(); ds.next()) EXPECT_GT(f(*list, "ID").asInteger(), 0);

        auto loaded = ContractSubjects::scCreate(contract, nullptr);
        EXPECT_EQ(loaded->getCount(), 3);
        EXPECT_EQ(loaded->getDescription(), list->getDescription());
        // One item goes, one changes; the stored rows follow.
        rows(*loaded).setRecNo(3);
        rows(*loaded).remove();
        rows(*loaded).first();
        rows(*loaded).edit();
        f(*loaded, "NAME").setValue(QStringLiteral("Ноутбук"));
        rows(*loaded).post();
        loaded->saveAll(change());
        change()->commit();
        auto again = ContractSubjects::scCreate(contract, nullptr);
        EXPECT_EQ(again->getCount(), 2);
        EXPECT_EQ(again->getDescription(), loaded->getDescription());
        EXPECT_EQ(
            scalar(QStringLiteral("select count(*) as V from SUBJECTS where ID_CONTRACT = %1").arg(contract))
                .toInt(),
            2);
        if (type == gold) {
            EXPECT_EQ(again->getDescription(), QStringLiteral("Ноутбук(585;5.00г); Цепь(750;10.00г)"));
            EXPECT_EQ(scalar(QStringLiteral(
                                 "select count(*) as V from SUBJECTS_GOLD G join SUBJECTS S on S.ID = G.ID "
                                 "where S.ID_CONTRACT = %1")
                                 .arg(contract))
                          .toInt(),
                      2);
        }
    }
}

// An item's texts longer than their columns are refused on saving with a message naming the column,
// never cut short on the way.
TEST_F(SubjectsTest, OverlongTextsAreRefusedNotCut) {
    struct Case {
        int type;
        QString name;
        QString prob;
        const char* error;
        const char* registerError;  // null: not registered
    };
    const Case cases[] = {
        {tech, QString(256, u'ж'), QString(),
         "Слишком длинное значение: 256 симв., допустимо не более 255\nПоле: NAME (таблица SUBJECTS)",
         "Слишком длинное значение: 256 симв., допустимо не более 255\nПоле: NAME (таблица "
         "DEPOSIT_SUBJECTS)"},
        {gold, QStringLiteral("Каблучка"), QString(81, u'9'),
         "Слишком длинное значение: 81 симв., допустимо не более 80\nПоле: PROB_NAME (таблица SUBJECTS_GOLD)",
         nullptr},
    };
    for (const Case& c : cases) {
        const int contract =
            newContract({.clientId = newClient(QStringLiteral("Клієнт")), .depositType = c.type});
        auto list = newList(c.type, contract);
        if (c.type == gold) {
            addGold(*list, {c.name, c.prob, 1000, 700, 5.25, 0.25});
            EXPECT_EQ(f(*list, "PROB_NAME").asString(), c.prob);
        } else {
            add(*list, {.name = c.name, .price = 10000, .credit = 5000});
        }
        EXPECT_EQ(f(*list, "NAME").asString(), c.name);  // the list keeps what was typed
        // Registering the name among the standard ones is refused the same way.
        if (c.registerError) {
            EXPECT_EQ(errorText([&] { list->checkAllAndRegister(); }), QString::fromUtf8(c.registerError));
        }
        EXPECT_EQ(errorText([&] { list->saveAll(change()); }), QString::fromUtf8(c.error));
        change()->rollback();
        EXPECT_EQ(
            scalar(QStringLiteral("select count(*) as V from SUBJECTS where ID_CONTRACT = %1").arg(contract))
                .toInt(),
            0);
    }
}

TEST_F(SubjectsTest, RegisteringTheNamesOfCheckedItems) {
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    auto list = newList(tech);
    add(*list, {.name = QStringLiteral("прас'ка"), .count = 2, .price = 50000, .credit = 30000});
    add(*list, {.name = QStringLiteral("Телефон"), .price = 10000});
    rows(*list).setRecNo(2);
    EXPECT_FALSE(list->checkAllAndRegister());
    EXPECT_EQ(rows(*list).recNo(), 2);
    const QString registered = QStringLiteral(
        "select count(*) as V from DEPOSIT_SUBJECTS where DEPOSIT_TYPE_ID = %1 and "
        "NAME = %2");
    EXPECT_EQ(scalar(registered.arg(tech).arg(lit(QStringLiteral("прас'ка")))).toInt(), 1);
    rows(*list).edit();
    f(*list, "DEPOSIT_SUM").setValue(100);
    rows(*list).post();
    EXPECT_TRUE(list->checkAllAndRegister());
    EXPECT_EQ(scalar(registered.arg(tech).arg(lit(QStringLiteral("прас'ка")))).toInt(), 1);
    EXPECT_EQ(scalar(registered.arg(tech).arg(lit(QStringLiteral("Телефон")))).toInt(), 1);
}

TEST_F(SubjectsTest, TheTariffPickFillsTheAssayPricesAndSums) {
    const int tariff = newTariff(newMetal(QStringLiteral("Золото")), QStringLiteral("585"), 180000, 150000);
    GoldTarifs tariffs;
    setGlobalGoldTarifs(&tariffs);
    std::vector<ufb::BookPick> asked;
    std::optional<int> answer = tariff;
    ufb::setBookPicker([&](const ufb::BookPick& pick) -> ufb::PickedRow {
        asked.push_back(pick);
        if (!answer) return std::nullopt;
        return std::map<QString, Variant>{{QStringLiteral("ID"), *answer}};
    });

    auto list = newList(gold);
    ItemsGrid grid;
    list->bindGridEh(&grid);
    addGold(*list, {QStringLiteral("Кольцо"), QStringLiteral("000"), 1, 1, 2.5, 0.5});
    auto* metal = static_cast<ContractSubjectsGold*>(list.get());

    grid.setSelectedField(QStringLiteral("NAME"));
    grid.editButtonClicked();
    EXPECT_TRUE(asked.empty()) << "only the assay column picks";
    grid.setSelectedField(QStringLiteral("PROB_NAME"));
    grid.setReadOnly(true);
    grid.editButtonClicked();
    EXPECT_TRUE(asked.empty()) << "a read-only grid does not pick";
    grid.setReadOnly(false);

    grid.editButtonClicked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].storageKey, QStringLiteral("ContractSubjectsGold::gridEditButtonClick"));
    EXPECT_EQ(asked[0].caption, QStringLiteral("Справочник цен на драг. металлы"));
    EXPECT_EQ(asked[0].wrapper, &tariffs);
    EXPECT_EQ(asked[0].keyField, QStringLiteral("ID"));
    rows(*list).post();
    EXPECT_EQ(f(*list, "ID_PROB").asInteger(), tariff);
    EXPECT_EQ(f(*list, "PROB_NAME").asString(), QStringLiteral("585"));
    EXPECT_EQ(f(*list, "PRICE_PER_GRAM").asInteger(), 180000);
    EXPECT_EQ(f(*list, "DEPOSIT_PER_GRAM").asInteger(), 150000);
    EXPECT_EQ(f(*list, "PRICE").asInteger(), 360000);
    EXPECT_EQ(f(*list, "DEPOSIT_SUM").asInteger(), 300000);

    // The next pick starts on the linked tariff; a tariff that is gone is reported and changes nothing.
    answer = tariff + 1000;
    EXPECT_EQ(errorText([&] { metal->gridEditButtonClick(); }),
              QStringLiteral("Невозможно загрузить данные по записи из справочника цен на драг.металлы id=%1")
                  .arg(tariff + 1000));
    EXPECT_EQ(asked.back().keyValue, Variant(tariff));
    rows(*list).cancel();
    EXPECT_EQ(f(*list, "PROB_NAME").asString(), QStringLiteral("585"));

    // A key typed in the assay cell unties the row from the price list: the cell turns grey.
    grid::CellStyle linked, untied;
    grid.onCellStyle(0, grid.columns()[2], linked);
    grid.setSelectedField(QStringLiteral("WEIGHT"));
    grid.keyPressed(u'5');
    EXPECT_FALSE(f(*list, "ID_PROB").isNull());
    rows(*list).cancel();
    grid.setSelectedField(QStringLiteral("PROB_NAME"));
    grid.keyPressed(u'5');
    rows(*list).post();
    EXPECT_TRUE(f(*list, "ID_PROB").isNull());
    grid.onCellStyle(0, grid.columns()[2], untied);
    EXPECT_FALSE(linked.text.has_value());
    EXPECT_EQ(untied.text.value_or(0), 0x808080u);
}

TEST_F(SubjectsTest, TheListNeedsASortMarkerGrid) {
    struct PlainGrid : grid::GridView {
        PlainGrid() : GridView(grid::GridKind::Plain) { setDataSource(&source); }
        QString gridName() const override { return QStringLiteral("g"); }
        QString formName() const override { return QString(); }
        grid::DataSource source;
    };
    for (const auto& [type, text] :
         {std::pair{tech, QStringLiteral("Для работы ContractSubjects необходим TDBGridEh")},
          std::pair{gold, QStringLiteral("Для работы ContractSubjectsGold необходим TDBGridEh")}}) {
        auto list = newList(type);
        PlainGrid grid;
        EXPECT_EQ(errorText([&] { list->bindGrid(&grid); }), text);
    }
}

TEST_F(SubjectsTest, ChangingThePledgeTypeReplacesTheItems) {
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    const int contract = newContract({.clientId = newClient(QStringLiteral("Клієнт")), .depositType = tech});
    udb::execSql(QStringLiteral("insert into SUBJECTS (ID, ID_CONTRACT, NAME, PRICE, DEPOSIT_SUM) values "
                                "(gen_id(GEN_SUBJECTS_ID, 1), %1, 'Телефон', 1000, 500)")
                     .arg(contract));

    TPenaltyContractInfo info(contract, nullptr);
    ContractSubjects* first = info.getSubjects();
    EXPECT_EQ(first->getCount(), 1);
    EXPECT_TRUE(info.setIdDepositeType(tech));
    EXPECT_TRUE(dialogs.shown.empty());

    dialogs.answers = {ui::ModalResult::No};
    EXPECT_FALSE(info.setIdDepositeType(gold));
    EXPECT_EQ(info.getIdDepositeType(), tech);
    EXPECT_EQ(info.getSubjects(), first);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("Был изменен тип залога. \nСуществующий список залогов будет очишен.\n\n"
                             "Продолжить?"));
    EXPECT_EQ(dialogs.shown[0].type, ui::MsgType::Warning);

    dialogs.answers = {ui::ModalResult::Yes};
    EXPECT_TRUE(info.setIdDepositeType(gold));
    EXPECT_EQ(info.getIdDepositeType(), gold);
    ContractSubjects* items = info.getSubjects();
    EXPECT_NE(dynamic_cast<ContractSubjectsGold*>(items), nullptr);
    EXPECT_EQ(items->getCount(), 0);
    EXPECT_EQ(items->getDeletedKeys().size(), 1u);

    // An empty list changes type without a question.
    dialogs.shown.clear();
    EXPECT_TRUE(info.setIdDepositeType(tech));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(info.getSubjects()->getDeletedKeys().size(), 1u) << "the old rows are still to be deleted";
}

TEST_F(SubjectsTest, ANewContractHasNoItems) {
    TPenaltyContractInfo info(nullptr);
    EXPECT_TRUE(info.isNew());
    EXPECT_EQ(info.getSubjects()->getCount(), 0);
    EXPECT_EQ(info.getSubjects()->getContractId(), -1);
}

}  // namespace
