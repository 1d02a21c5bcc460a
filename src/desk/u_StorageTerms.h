#pragma once
// The storage terms of a contract as the contract editor keeps them: fee kind, value, minimum days and
// whether the fee starts with the penalty; how they are read from and written into the contract, and
// the four-line summary the storage fee field shows as its hint.

#include <QString>

namespace TolvLogic {

class TPenaltyContractInfo;

struct StorageTerms {
    int type = 1;      // 1 a fixed sum a day, 2 a percent of the valuation, 3 a percent of the loan
    double value = 0;  // the sum (type 1) or the percent (types 2 and 3)
    int minDays = 0;
    bool startWithPenalty = false;
    friend bool operator==(const StorageTerms&, const StorageTerms&) = default;
};

// The editor's texts the storage terms use, the Russian ones by default; the editor passes its own
// in the interface language.
struct StorageTexts {
    QString dialogCaption = QStringLiteral("Параметры хранения");                        // IDS_5
    QString typeLine = QStringLiteral("Тип хранения: ");                                 // IDS_10
    QString typesCaption = QStringLiteral("Типы расчета хранения");                      // IDS_11
    QString rateLine = QStringLiteral("Ставка: ");                                       // IDS_12
    QString minDaysCaption = QStringLiteral("Мин. срок начисления");                     // IDS_13
    QString minDaysHint = QStringLiteral("Мин. срок начисления оплаты хранения, сут.");  // IDS_14
    QString minDaysLine = QStringLiteral("Мин. срок начислений: ");                      // IDS_15
    QString startCaption = QStringLiteral("Учитывать хранение при начислении пени");     // IDS_16
    QString startLine = QStringLiteral("Начислять при старте пени: ");                   // IDS_17
    QString valueCaption = QStringLiteral("Значение");                                   // IDS_18
    QString valueHint = QStringLiteral("Величина оплаты хранения (% или сумма)");        // IDS_19
    QString yes = QStringLiteral("Да");                                                  // IDS_21
    QString no = QStringLiteral("Нет");                                                  // IDS_22
};

// The contract's terms; a stored type 0 reads as 1.
StorageTerms readStorageTerms(const TPenaltyContractInfo& contract);

// STORAGE_MIN_DAYS and IS_STORAGE_START_W_PEN, then type and value (in hundredths) through the
// contract's storage setter, which derives STORAGE_SUM from the valuation or the loan; returns that
// daily fee in hundredths. A value too large for hundredths raises core::Exception before anything is
// written.
int writeStorageTerms(TPenaltyContractInfo& contract, const StorageTerms& terms);

// The fee field's hint: the type's name in lower case, the rate with two decimals and its unit, the
// minimum days and the penalty-start flag, one line each.
QString storageHint(const StorageTerms& terms, const StorageTexts& texts = {});

}  // namespace TolvLogic
