// The fiscal receipts of the money events: a loan issued, a repayment, a loan increase, the sale of a
// pledge and services charged on their own. Each builds the device lines and, beside them, the list
// the payment dialog shows; the dialog closes or cancels the receipt.
#include <optional>

#include "kv_Money100.h"
#include "kv_fiscalRegister.h"
#include "kv_frCommon.h"
#include "kv_settingsFile.h"

namespace KassRegister {

namespace {

// Line texts are read at every receipt, so that an edit in the texts dialog applies at once.
QString mes(const char* key, const char* defaultText) {
    return utl::SettingsFile::readString(frSection(), QString::fromLatin1(key),
                                         QString::fromUtf8(defaultText));
}

QString receiptHeader(const QString& contractNum) {
    return QStringLiteral("Дог.N ") + contractNum.trimmed();
}

constexpr qint64 kMaxLineAmount = 999999999;         // nine digits of a fiscal line
constexpr qint64 kMaxTotal = Q_INT64_C(9999999999);  // ten digits of a closing

// The amounts a receipt will print, collected before it opens: a value the device's fields cannot
// hold would otherwise fail half-way through a receipt already printing.
class AmountCheck {
public:
    void sale(qint64 amount) { add(amount, sales_); }
    void ret(qint64 amount) { add(amount, returns_); }
    // Services print their absolute sums: positive ones as sales, negative ones as returns.
    void services(const FiscalRegister::ServiceLines& services) {
        for (const auto& [key, line] : services) {
            if (line.sum > 0) sale(line.sum);
            if (line.sum < 0) ret(-qint64(line.sum));
        }
    }
    void check() const {
        if (badLine_)
            throw core::Exception(
                withPlace(frText(QStringLiteral("kv_fiscalRegister.FRMariya.checkAmounts.LineException"),
                                 QStringLiteral("Сумма строки чека должна быть от 0 до 9999999.99: ")) +
                              amountText(*badLine_),
                          "FRMariya::checkAmounts"));
        for (const qint64 total : {sales_, returns_})
            if (total > kMaxTotal)
                throw core::Exception(
                    withPlace(frText(QStringLiteral("kv_fiscalRegister.FRMariya.checkAmounts.TotalException"),
                                     QStringLiteral("Итог чека больше 99999999.99: ")) +
                                  amountText(total),
                              "FRMariya::checkAmounts"));
    }

private:
    static QString amountText(qint64 hundredths) { return Money100::toStr(double(hundredths) / 100.0, 2); }
    void add(qint64 amount, qint64& total) {
        if ((amount < 0 || amount > kMaxLineAmount) && !badLine_) badLine_ = amount;
        total += amount;
    }

    qint64 sales_ = 0;
    qint64 returns_ = 0;
    std::optional<qint64> badLine_;
};

// The service id of a key "<running number>_<id>".
QString serviceId(const QString& key) {
    const qsizetype at = key.indexOf(QLatin1Char('_'));
    return at < 0 ? QString() : key.mid(at + 1);
}

std::pair<int, int> serviceTaxes(const QString& key) {
    const QString base = QStringLiteral("ADD_SRVS_") + serviceId(key);
    return {utl::SettingsFile::readInt(frSection(), base + QStringLiteral("_TAX1"), 0),
            utl::SettingsFile::readInt(frSection(), base + QStringLiteral("_TAX2"), 0)};
}

bool anyNonZero(const FiscalRegister::ServiceLines& services) {
    for (const auto& [key, line] : services)
        if (line.sum != 0) return true;
    return false;
}

// Two lists ordered by descending sum merged: each own line goes before the first remaining given line
// whose sum is smaller than its own.
void mergeByDescendingSum(FiscalRegister::Lines& given, const FiscalRegister::Lines& own) {
    std::size_t pos = 0;
    for (const FRLine& line : own) {
        while (pos < given.size() && !(given[pos].sum < line.sum)) ++pos;
        given.insert(given.begin() + qsizetype(pos), line);
        ++pos;
    }
}

}  // namespace

bool FRMariya::printCreditCheck(const QString& contractNum, Lines pledgeLines, const ServiceLines& services) {
    const QString header = receiptHeader(contractNum);
    AmountCheck amounts;
    amounts.services(services);
    for (const FRLine& item : pledgeLines) amounts.ret(item.sum);
    amounts.check();
    try {
        beginReturnCheck(QStringLiteral("01"));
        Lines list;
        addServicesLines(header, services, &list, false, false);
        const QString name = mes("FRMesKredit", "ПОЗИКА");
        for (const FRLine& item : pledgeLines) {
            const auto [taxA, taxB] = taxes2Operation(1);
            printInfoLine(header + QLatin1Char(' ') + item.name);
            fiscalLine(name, 1, item.sum, true, taxA, taxB, 1);
            list.push_back(FRLine{name + QStringLiteral(" - ") + item.name, -item.sum, 1, taxA, taxB});
        }
        return showPayment(list);
    } catch (...) {
        // The receipt is dropped on the device before the failure goes on. When the register cannot
        // even cancel, the first failure is the one to report; the next receipt cancels in any case.
        try {
            cancelCheck();
        } catch (const core::Exception&) {
        }
        throw;
    }
}

bool FRMariya::printPaymentCheck(const QString& contractNum, qint32 principal, qint32 storage,
                                 qint32 interest, qint32 penalty, const ServiceLines& services) {
    const QString header = receiptHeader(contractNum);
    const QString info = header + QLatin1Char(' ') + mes("FRMesPog", "ПОВКРЕДИТ");
    struct Part {
        qint32 sum;
        QString name;
        int article;
    };
    const Part parts[] = {{principal, mes("FRMesOsn", "ОСН.СУМА"), 3},
                          {storage, mes("FRMesStor", "ЗБЕРІГАННЯ"), 7},
                          {interest, mes("FRMesProcent", "ВIДСОТКИ"), 4},
                          {penalty, mes("FRMesPeny", "ПЕНЯ"), 5}};
    AmountCheck amounts;
    for (const Part& part : parts)
        if (part.sum != 0) amounts.sale(part.sum);
    amounts.services(services);
    amounts.check();

    const auto [taxA, taxB] = taxes2Operation(2);
    beginCheck(QStringLiteral("01"));
    Lines list;
    for (const Part& part : parts) {
        if (part.sum == 0) continue;
        printInfoLine(info);
        fiscalLine(part.name, 1, part.sum, true, taxA, taxB, part.article);
        list.push_back(FRLine{part.name, part.sum, part.article, taxA, taxB});
    }
    addServicesLines(header, services, &list, false, false);
    return showPayment(list);
}

bool FRMariya::printCreditIncreaseCheck(const QString& contractNum, qint32 sum,
                                        const ServiceLines& services) {
    const QString header = receiptHeader(contractNum);
    AmountCheck amounts;
    amounts.services(services);
    amounts.ret(sum);
    amounts.check();

    beginReturnCheck(QStringLiteral("01"));
    Lines list;
    addServicesLines(header, services, &list, false, false);
    const auto [taxA, taxB] = taxes2Operation(1);
    printInfoLine(header + QLatin1Char(' ') + mes("FRMesUvel", "ЗБIЛЬШ.КРЕДИТ"));
    const QString name = mes("FRMesOsn", "ОСН.СУМА");
    fiscalLine(name, 1, sum, true, taxA, taxB, 2);
    list.push_back(FRLine{name, -sum, 2, taxA, taxB});
    return showPayment(list);
}

bool FRMariya::printSaleCheck(const QString& contractNum, qint32 sum) {
    const QString header = receiptHeader(contractNum);
    AmountCheck amounts;
    amounts.sale(sum);
    amounts.check();

    beginCheck(QStringLiteral("01"));
    printInfoLine(header);
    const auto [taxA, taxB] = taxes2Operation(3);
    const QString name = mes("FRMesRealiz", "РЕАЛIЗАЦIЯ");
    fiscalLine(name, 1, sum, true, taxA, taxB, 6);
    return showPayment(Lines{FRLine{name, sum, 6, taxA, taxB}});
}

bool FRMariya::printServicesCheck(const QString& text, const ServiceLines& services) {
    return addServicesLines(text, services, nullptr, true, true);
}

bool FRMariya::addServicesLines(const QString& text, const ServiceLines& services, Lines* lines, bool begin,
                                bool close) {
    if (begin) {
        // A receipt of its own with nothing to charge would print an empty fiscal receipt.
        if (close && !anyNonZero(services)) return true;
        AmountCheck amounts;
        amounts.services(services);
        amounts.check();
        beginCheck(QStringLiteral("01"));
    }
    const QString header = text.trimmed();
    const QString name = mes("FRMesAddServ", "ДОД.ПОСЛУГИ");
    Lines own;
    qint64 positive = 0;
    const bool savedMode = returnMode_;

    auto print = [&](const QString& key, const FRLine& entry) {
        printInfoLine(header + QLatin1Char(' ') + entry.name);
        const auto [taxA, taxB] = serviceTaxes(key);
        fiscalLine(name, 1, std::abs(qint64(entry.sum)), true, taxA, taxB, entry.article);
        own.push_back(FRLine{entry.name, entry.sum, entry.article, taxA, taxB});
    };
    try {
        returnMode_ = false;
        for (const auto& [key, entry] : services) {
            if (entry.sum <= 0) continue;
            positive += entry.sum;
            print(key, entry);
        }
        returnMode_ = true;
        for (const auto& [key, entry] : services)
            if (entry.sum < 0) print(key, entry);
    } catch (...) {
        returnMode_ = savedMode;
        throw;
    }
    returnMode_ = savedMode;

    if (lines) mergeByDescendingSum(*lines, own);
    if (!close) return false;
    if (positive > 0) return showPayment(own);
    closeCheckCash();
    return true;
}

}  // namespace KassRegister
