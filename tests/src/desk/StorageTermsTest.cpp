// The storage terms of a contract: written into the contract with the derived daily fee, read back,
// and summed up in the fee field's hint.

#include <gtest/gtest.h>

#include "PenaltyContracts.h"
#include "kv_FbUtil.h"
#include "kv_Valuta.h"
#include "platform/core/Exception.h"
#include "tests/src/contracts/ContractRows.h"
#include "u_StorageTerms.h"

using namespace contracttest;
using TolvLogic::StorageTerms;
using TolvLogic::TPenaltyContractInfo;

namespace {

class StorageTermsTest : public ContractSuite {
protected:
    void SetUp() override {
        settings_ = std::make_unique<OwnSettingsFile>("[LANG_MASTER]\r\ninterfeyce_lang=1\r\n");
        udb::getFieldCache(QStringLiteral("!"), QString(), QString(), QString());
    }
    void TearDown() override {
        settings_.reset();
        ContractSuite::TearDown();
    }
    // A new contract with its valuation and loan in hundredths.
    static std::unique_ptr<TPenaltyContractInfo> contractOf(int valuation, int loan) {
        auto c = std::make_unique<TPenaltyContractInfo>(change());
        c->setDepositInt(TPenaltyContractInfo::dSUBJECT_PRICE, valuation);
        c->setDepositInt(TPenaltyContractInfo::dDEPOSIT_SUM, loan);
        return c;
    }
    std::unique_ptr<OwnSettingsFile> settings_;
};

TEST_F(StorageTermsTest, WritingDerivesTheDailyFeeFromTheValuationOrTheLoan) {
    struct Case {
        StorageTerms terms;
        int fee;  // hundredths
    };
    const std::vector<Case> cases = {
        {{1, 7.5, 3, true}, 750},
        {{2, 0.5, 0, false}, 500},    // 0.5 % of 1000.00
        {{3, 0.30, 10, false}, 750},  // 0.30 % of 2500.00
        {{3, 0, 0, false}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.terms.type);
        auto contract = contractOf(100000, 250000);
        EXPECT_EQ(TolvLogic::writeStorageTerms(*contract, c.terms), c.fee);
        EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_SUM), c.fee);
        EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_TYPE), c.terms.type);
        EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_VAL), qRound(c.terms.value * 100));
        EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_MIN_DAYS), c.terms.minDays);
        EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dIS_STORAGE_START_W_PEN),
                  c.terms.startWithPenalty ? 1 : 0);
        EXPECT_EQ(TolvLogic::readStorageTerms(*contract), c.terms);
    }
}

// A value that does not fit in hundredths raises before any column changes.
TEST_F(StorageTermsTest, AValueTooLargeWritesNothing) {
    auto contract = contractOf(100000, 250000);
    TolvLogic::writeStorageTerms(*contract, {2, 0.5, 3, true});
    EXPECT_THROW(TolvLogic::writeStorageTerms(*contract, {1, 3e7, 9, false}), core::Exception);
    EXPECT_EQ(TolvLogic::readStorageTerms(*contract), (StorageTerms{2, 0.5, 3, true}));
    EXPECT_EQ(contract->getDepositInt(TPenaltyContractInfo::dSTORAGE_SUM), 500);
}

// A stored type 0 (the column's default) reads as type 1; a new contract reads as the default terms.
TEST_F(StorageTermsTest, StoredTypeZeroReadsAsFixedSum) {
    Contract c;
    c.clientId = newClient(QStringLiteral("Клієнт"));
    const int id = newContract(c, change());
    udb::execSql(QStringLiteral(
                     "update PENALTY_DEPOSITS set STORAGE_TYPE = 0, STORAGE_VAL = 125 where CONTRACT_ID = %1")
                     .arg(id),
                 change());
    TPenaltyContractInfo stored(id, change());
    EXPECT_EQ(TolvLogic::readStorageTerms(stored), (StorageTerms{1, 1.25, 0, false}));
    TPenaltyContractInfo fresh(change());
    EXPECT_EQ(TolvLogic::readStorageTerms(fresh), StorageTerms{});
}

TEST_F(StorageTermsTest, HintSumsUpTheTermsInFourLines) {
    struct Case {
        StorageTerms terms;
        QString expected;
    };
    const std::vector<Case> cases = {
        {{1, 7.5, 3, true},
         QStringLiteral("Тип хранения: фиксированная сумма\nСтавка: 7.50 грн\nМин. срок начислений: 3\n"
                        "Начислять при старте пени: Да")},
        {{3, 0.30, 0, false},
         QStringLiteral("Тип хранения: от суммы кредита\nСтавка: 0.30 %\nМин. срок начислений: 0\n"
                        "Начислять при старте пени: Нет")},
        {{2, 1234.5, 1, false},
         QStringLiteral("Тип хранения: от оценки\nСтавка: 1234.50 %\nМин. срок начислений: 1\n"
                        "Начислять при старте пени: Нет")},
    };
    for (const Case& c : cases) EXPECT_EQ(TolvLogic::storageHint(c.terms), c.expected);

    // The unit of a fixed sum is the currency in force; the editor's own texts replace the defaults.
    utl::Valuta::setValuta(QStringLiteral("руб"), QStringLiteral("коп"), 0, 0);
    TolvLogic::StorageTexts texts;
    texts.yes = QStringLiteral("Так");
    EXPECT_EQ(TolvLogic::storageHint({1, 2, 0, true}, texts).split(u'\n').mid(1),
              (QStringList{QStringLiteral("Ставка: 2.00 руб"), QStringLiteral("Мин. срок начислений: 0"),
                           QStringLiteral("Начислять при старте пени: Так")}));
    utl::Valuta::setValuta(QStringLiteral("грн"), QStringLiteral("коп"), 0, 0);
}

}  // namespace
