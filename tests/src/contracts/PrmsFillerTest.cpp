// The proposed terms of a contract: the three kinds of filler over real tariff tables and settings.
#include <gtest/gtest.h>

#include "ContractRows.h"
#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "kv_FbDbIni.h"
#include "tests/support/ErrorText.h"
#include "u_ContractPrmsFiller.h"

using namespace contracttest;
using namespace TolvLogic;
using tolvtest::errorText;

namespace {

using C = TPenaltyContractInfo;

void setting(const char* name, const core::Variant& value) {
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QString::fromLatin1(name), value);
}

// A tariff row: threshold or term, rates and the flag columns.
struct Tariff {
    QString from;  // SUM_FROM or DAYS
    QString perc = QStringLiteral("1.5");
    int storageType = 2;
    int storageStart = 1;
    int penalFromRet = 1;
    QString creditPerc = QStringLiteral("70");
};

class PrmsFillerTest : public ContractSuite {
protected:
    void TearDown() override {
        for (const char* key : {"UseAutoPercCalcSum", "UseAutoPercCalcDays",
                                "AutoPerc_InclClientOpenedContracts", "AutoPerc_RoundSubjCredit"}) {
            setting(key, false);
        }
        setting("AutoPerc_AutoCalcCredit4GoldMetod", 0);
        ContractSuite::TearDown();
    }
    // Tariffs go on the shared change transaction, where the lookups read them, and are rolled back.
    static void sumRow(const Tariff& t) {
        udb::execSql(
            QStringLiteral("insert into AUTO_PERC_SUM (ID, SUM_FROM, PERC, PENALTY_PERC, STORAGE_TYPE, "
                           "STORAGE_VAL, IS_STORAGE_START_W_PEN, IS_PENAL_FROM_RET_SUM, "
                           "IS_PERC_W_PEN_START, MIN_ACCRUAL_DAYS, MIN_STORAGE_DAYS) values "
                           "(gen_id(GEN_AUTO_PERC_SUM_ID, 1), %1, %2, 0.5, %3, 0.25, %4, %5, 1, 3, 2)")
                .arg(t.from, t.perc)
                .arg(t.storageType)
                .arg(t.storageStart)
                .arg(t.penalFromRet),
            change());
    }
    static void daysRow(const Tariff& t) {
        udb::execSql(
            QStringLiteral("insert into AUTO_PERC_DAYS (ID, DAYS, CREDIT_PERC, PERC, PENALTY_PERC, "
                           "STORAGE_TYPE, STORAGE_VAL, IS_STORAGE_START_W_PEN, IS_PENAL_FROM_RET_SUM, "
                           "IS_PERC_W_PEN_START, MIN_ACCRUAL_DAYS, MIN_STORAGE_DAYS) values "
                           "(gen_id(GEN_AUTO_PERC_DAYS_ID, 1), %1, %2, %3, 0.5, %4, 0.25, %5, %6, 1, 3, 2)")
                .arg(t.from, t.creditPerc, t.perc)
                .arg(t.storageType)
                .arg(t.storageStart)
                .arg(t.penalFromRet),
            change());
    }
    // A new contract in the editor with its credit, term and client.
    static std::unique_ptr<C> edited(int credit, int term = 30, int client = -1) {
        auto c = std::make_unique<C>(nullptr);
        c->setDepositInt(C::dDEPOSIT_SUM, credit);
        c->setDepositInt(C::dPENALTY_DAYS, term);
        c->setContractValue(C::cCLIENT_ID, client);
        return c;
    }
    static ContractPrms filled(ContractPrmsFiller& filler, C& contract) {
        filler.init(&contract, nullptr);
        ContractPrms prms;
        EXPECT_TRUE(filler.fillOnEvent(prms, 1));
        return prms;
    }
};

// A term field that records what the filler does with it.
struct RecordedTermField : TermField {
    void setItems(const QStringList& list) override { items = list; }
    int itemCount() const override { return int(items.size()); }
    QString itemText(int index) const override { return items.at(index); }
    void setPickOnly(bool on) override { pickOnly = on; }
    void setText(const QString& value) override { text = value; }
    void select(int index) override { text = items.at(index); }
    void fireChange() override { ++changes; }
    QStringList items;
    bool pickOnly = false;
    QString text;
    int changes = 0;
};

TEST_F(PrmsFillerTest, TheSettingsChooseTheKind) {
    struct Case {
        bool bySum, byDays;
        int kind;
    };
    for (const Case& c :
         std::vector<Case>{{false, false, 0}, {true, false, 1}, {true, true, 1}, {false, true, 2}}) {
        setting("UseAutoPercCalcSum", c.bySum);
        setting("UseAutoPercCalcDays", c.byDays);
        EXPECT_EQ(ContractPrmsFiller::scGetKind(), c.kind);
        const auto filler = ContractPrmsFiller::scCreate();
        const bool right = c.kind == 0   ? dynamic_cast<ContractPrmsFillerConst*>(filler.get()) != nullptr
                           : c.kind == 1 ? dynamic_cast<ContractPrmsFillerSum*>(filler.get()) != nullptr
                                         : dynamic_cast<ContractPrmsFillerDays*>(filler.get()) != nullptr;
        EXPECT_TRUE(right) << c.kind;
    }
    EXPECT_EQ(ContractPrmsFiller::scGetGoldCreditMethod(), 0);
    ContractPrmsFiller::scSetGoldCreditMethod(1);
    EXPECT_EQ(ContractPrmsFiller::scGetGoldCreditMethod(), 1);
}

TEST_F(PrmsFillerTest, EachKindReactsToItsOwnEvents) {
    ContractPrmsFillerConst constant;
    ContractPrmsFillerSum bySum;
    ContractPrmsFillerDays byDays;
    const auto contract = edited(100000);
    const std::vector<std::pair<ContractPrmsFiller*, std::vector<bool>>> cases = {
        {&constant, {false, true, false, false, false, false}},
        {&bySum, {false, true, false, true, true, false}},
        {&byDays, {false, true, true, false, false, false}},
    };
    for (const auto& [filler, reacts] : cases) {
        filler->init(contract.get(), nullptr);
        for (int event = 0; event < int(reacts.size()); ++event) {
            ContractPrms prms;
            prms.perc = 99;
            EXPECT_EQ(filler->fillOnEvent(prms, event), reacts[event]) << event;
            if (!reacts[event]) {
                EXPECT_EQ(prms.perc, 99);
            }
        }
    }
}

TEST_F(PrmsFillerTest, ConstantTermsComeFromTheDefaults) {
    ContractPrmsFillerConst filler;
    const auto contract = edited(100000);
    ContractPrms prms = filled(filler, *contract);
    EXPECT_EQ(prms.perc, 0);
    EXPECT_EQ(prms.storageType, 1);
    EXPECT_TRUE(prms.isPercWithPenaltyStart);
    EXPECT_TRUE(prms.isStorageStartWithPenalty);
    EXPECT_FALSE(prms.isPenalFromRetSum);
    setting("percent", 1.25);
    setting("penalty", 0.5);
    setting("StorageType", 3);
    setting("StorageVal", 0.75);
    setting("StorageMinDays", 4);
    setting("minAccrualDays", 7);
    setting("repExceedDays", 2);
    setting("isPenalCalcFromRetSum", true);
    setting("isCalcPercWithPenalty", false);
    prms = filled(filler, *contract);
    EXPECT_EQ(prms.perc, 1.25);
    EXPECT_EQ(prms.penaltyPerc, 0.5);
    EXPECT_EQ(prms.storageType, 3);
    EXPECT_EQ(prms.storageVal, 0.75);
    EXPECT_EQ(prms.storageMinDays, 4);
    EXPECT_EQ(prms.minAccrualDays, 7);
    EXPECT_EQ(prms.exceedDays, 2);
    EXPECT_TRUE(prms.isPenalFromRetSum);
    EXPECT_FALSE(prms.isPercWithPenaltyStart);
    for (const char* key :
         {"percent", "penalty", "StorageType", "StorageVal", "StorageMinDays", "minAccrualDays",
          "repExceedDays", "isPenalCalcFromRetSum", "isCalcPercWithPenalty"}) {
        udb::execSql(QStringLiteral("delete from INI where SECTION = 'DEFAULTS' and NAME = %1")
                         .arg(lit(QString::fromLatin1(key))));
    }
    udb::dbIniDropCache();
}

TEST_F(PrmsFillerTest, BySumTheGreatestThresholdNotAboveTheSumElseTheLowest) {
    struct Case {
        QStringList thresholds;
        int credit;
        double perc;  // each row's rate is its threshold / 1000
    };
    const std::vector<Case> cases = {
        {{"0", "500", "1000"}, 100000, 1.0},
        {{"0", "500", "1000"}, 99999, 0.5},
        {{"500", "2000"}, 10000, 0.5},
        {{}, 10000, 0},
    };
    for (const Case& c : cases) {
        udb::execSql(QStringLiteral("delete from AUTO_PERC_SUM"), change());
        for (const QString& from : c.thresholds) {
            sumRow({.from = from, .perc = QString::number(from.toDouble() / 1000)});
        }
        ContractPrmsFillerSum filler;
        const auto contract = edited(c.credit);
        const ContractPrms prms = filled(filler, *contract);
        EXPECT_EQ(prms.perc, c.perc) << c.credit;
        if (c.thresholds.isEmpty()) {
            EXPECT_EQ(prms.storageType, 1);
            EXPECT_FALSE(prms.isPercWithPenaltyStart);
        }
    }
}

TEST_F(PrmsFillerTest, TheFlagsAndTheStorageTypeAsEachTariffReadsThem) {
    sumRow({.from = QStringLiteral("0"), .storageType = 0, .storageStart = 2, .penalFromRet = 2});
    daysRow({.from = QStringLiteral("30"), .storageType = 0, .storageStart = 2, .penalFromRet = 2});
    const auto contract = edited(100000, 30);
    ContractPrmsFillerSum bySum;
    ContractPrmsFillerDays byDays;
    const ContractPrms s = filled(bySum, *contract);
    const ContractPrms d = filled(byDays, *contract);
    for (const ContractPrms& p : {s, d}) {
        EXPECT_EQ(p.storageType, 1);
        EXPECT_FALSE(p.isPenalFromRetSum);
        EXPECT_TRUE(p.isPercWithPenaltyStart);
        EXPECT_EQ(p.perc, 1.5);
        EXPECT_EQ(p.penaltyPerc, 0.5);
        EXPECT_EQ(p.storageVal, 0.25);
        EXPECT_EQ(p.storageMinDays, 2);
        EXPECT_EQ(p.minAccrualDays, 3);
    }
    EXPECT_TRUE(s.isStorageStartWithPenalty);
    EXPECT_FALSE(d.isStorageStartWithPenalty);
    EXPECT_EQ(s.creditPerc, 0);
    EXPECT_EQ(d.creditPerc, 70);
}

TEST_F(PrmsFillerTest, AMissingTermGivesNoTerms) {
    daysRow({.from = QStringLiteral("30")});
    ContractPrmsFillerDays filler;
    const auto contract = edited(100000, 45);
    filler.init(contract.get(), nullptr);
    ContractPrms prms;
    prms.perc = prms.penaltyPerc = prms.storageVal = 9;
    prms.storageType = 3;
    prms.isPenalFromRetSum = prms.isPercWithPenaltyStart = prms.isStorageStartWithPenalty = true;
    ASSERT_TRUE(filler.fillOnEvent(prms, 2));
    EXPECT_EQ(prms.perc, 0);
    EXPECT_EQ(prms.penaltyPerc, 0);
    EXPECT_EQ(prms.storageVal, 0);
    EXPECT_EQ(prms.storageType, 1);
    EXPECT_FALSE(prms.isPenalFromRetSum || prms.isPercWithPenaltyStart || prms.isStorageStartWithPenalty);
    EXPECT_EQ(filler.calcSubjCredit(123456), 0);
}

TEST_F(PrmsFillerTest, TheProposedCreditIsExactAndRoundedHalfToEven) {
    daysRow({.from = QStringLiteral("30"), .creditPerc = QStringLiteral("70")});
    daysRow({.from = QStringLiteral("60"), .creditPerc = QStringLiteral("50")});
    daysRow({.from = QStringLiteral("90"), .creditPerc = QStringLiteral("33.3333")});
    struct Case {
        int term, valuation;
        bool round;
        double credit;
    };
    const std::vector<Case> cases = {
        {30, 123456, false, 86419}, {30, 123456, true, 86400},
        {30, 15, false, 10},  // 10.5 hundredths: in doubles 0.7 × 15 is a hair above and gives 11
        {60, 172900, false, 86450}, {60, 172900, true, 86400},
        {60, 173100, true, 86600},  {90, 300000, false, 100000},  // 99999.9 hundredths
        {45, 100000, false, 0},
    };
    ContractPrmsFillerDays filler;
    for (const Case& c : cases) {
        setting("AutoPerc_RoundSubjCredit", c.round);
        const auto contract = edited(0, c.term);
        filler.init(contract.get(), nullptr);
        EXPECT_EQ(filler.calcSubjCredit(c.valuation), c.credit) << c.term << ' ' << c.valuation;
    }
    // A precious-metal pledge takes its credit from the prices per gram unless the setting says otherwise.
    auto gold = edited(0, 30);
    gold->getDepositRecord().SetField(QStringLiteral("DEPOSIT_TYPE"),
                                      TDepositTypes::scGetIdByCode(QStringLiteral("GOLD")));
    ContractPrmsFillerDays goldFiller;
    goldFiller.init(gold.get(), nullptr);
    setting("AutoPerc_RoundSubjCredit", false);
    EXPECT_EQ(goldFiller.calcSubjCredit(123456), 0);
    ContractPrmsFiller::scSetGoldCreditMethod(1);
    EXPECT_EQ(goldFiller.calcSubjCredit(123456), 86419);
}

TEST_F(PrmsFillerTest, TheClientsOtherOpenContractsCountWhenTheSettingSaysSo) {
    const int client = newClient(QStringLiteral("Коваленко Іван"));
    newContract({.clientId = client, .depositSum = 10000});
    const int increased = newContract({.clientId = client, .depositSum = 20000});
    newOperation(increased, {.date = day(10, 3), .sum = -5000});
    newContract({.clientId = client, .state = 1, .depositSum = 70000});
    sumRow({.from = QStringLiteral("300"), .perc = QStringLiteral("1")});
    sumRow({.from = QStringLiteral("650"), .perc = QStringLiteral("2")});
    const auto contract = edited(30000, 30, client);
    {
        ContractPrmsFillerSum without;
        EXPECT_EQ(without.findOpenContractsSum(client, -1), 35000);
        EXPECT_EQ(without.findOpenContractsSum(client, increased), 10000);
        EXPECT_EQ(filled(without, *contract).perc, 1);
    }
    setting("AutoPerc_InclClientOpenedContracts", true);
    ContractPrmsFillerSum with;
    EXPECT_EQ(filled(with, *contract).perc, 2);
    EXPECT_EQ(with.findOpenContractsSum(-1, -1), 0);
    EXPECT_EQ(
        errorText([&] { with.findOpenContractsSum(987654, -1); }),
        QStringLiteral(
            "Не удалось загрузить информацию о клиенте id = 987654\n\nInfo: .\\u_ContractPrmsFiller:280"));
}

TEST_F(PrmsFillerTest, TheTermFieldOffersTheTariffsTerms) {
    ContractPrmsFillerDays filler;
    const auto fresh = edited(0, 30);
    filler.init(fresh.get(), nullptr);
    {
        RecordedTermField field;
        filler.setupTermControl(field, 30);
        EXPECT_TRUE(field.items.isEmpty());
        EXPECT_TRUE(field.pickOnly);
        EXPECT_EQ(field.changes, 1);
    }
    // The lists are read on their own transaction: the terms are committed here.
    for (int days : {30, 60}) {
        udb::execSql(QStringLiteral("insert into AUTO_PERC_DAYS (ID, DAYS, CREDIT_PERC, PERC, PENALTY_PERC) "
                                    "values (gen_id(GEN_AUTO_PERC_DAYS_ID, 1), %1, 70, 1, 1)")
                         .arg(days));
    }
    struct Case {
        int term;
        QString text;
    };
    for (const Case& c : std::vector<Case>{{60, "60"}, {45, "30"}}) {
        RecordedTermField field;
        filler.setupTermControl(field, c.term);
        EXPECT_EQ(field.items, QStringList({"30", "60"}));
        EXPECT_EQ(field.text, c.text);
        EXPECT_EQ(field.changes, 1);
    }
    const int stored = newContract({});
    for (int days : {60, 45}) {
        C contract(stored, nullptr);
        contract.setDepositInt(C::dPENALTY_DAYS, days);
        filler.init(&contract, nullptr);
        RecordedTermField field;
        filler.setupTermControl(field, 0);
        EXPECT_EQ(field.pickOnly, days == 60);
        EXPECT_EQ(field.text, days == 60 ? QStringLiteral("60") : QString());
        EXPECT_EQ(field.changes, 0);
    }
    udb::execSql(QStringLiteral("delete from AUTO_PERC_DAYS"));
    ContractPrmsFillerConst plain;
    RecordedTermField field;
    field.pickOnly = true;
    plain.setupTermControl(field, 30);
    EXPECT_FALSE(field.pickOnly);
    EXPECT_EQ(field.text, QStringLiteral("30"));
}

}  // namespace
