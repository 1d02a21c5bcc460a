#include <gtest/gtest.h>

#include "ContractRows.h"
#include "kv_MainDb.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"
#include "tests/support/ErrorText.h"
#include "tests/support/ProcessFormats.h"
#include "tests/support/TestDatabase.h"
#include "u_Exchange.h"

using core::DateTime;
using core::Variant;
using namespace contracttest;
using TolvLogic::TExchangeHistory;
using TolvLogic::TExchangeInfo;

namespace {

using tolvtest::errorText;

class ExchangeTest : public tolvtest::DbSuite {
protected:
    // A branch of its own with rates on 1 March (41.2500) and 10 March (42.0000), and a neighbour
    // whose rates must not count.
    void SetUp() override {
        static int number = 500;
        branch = newBranch(++number, QStringLiteral("Курси"), false);
        const int neighbour = newBranch(++number, QStringLiteral("Сусіди"), false);
        addRate(branch, day(1, 3), 412500);
        addRate(branch, day(10, 3), 420000);
        addRate(neighbour, day(3, 3), 500000);
    }
    static void addRate(int filial, DateTime date, int rate) {
        udb::execSql(
            QStringLiteral("insert into DIR_EXCHANGE (ID_FILIAL, USD_EXCHANGE, DATA) values (%1, %2, %3)")
                .arg(filial)
                .arg(rate)
                .arg(lit(date)));
    }
    int rows(DateTime date) const {
        return scalar(
                   QStringLiteral("select count(*) as V from DIR_EXCHANGE where ID_FILIAL = %1 and DATA = %2")
                       .arg(branch)
                       .arg(lit(date)))
            .toInt();
    }
    int branch = 0;
};

TEST_F(ExchangeTest, RateInForceOnADay) {
    struct Case {
        DateTime date;
        double rate;
        bool own;
    };
    const Case cases[] = {
        {day(5, 3), 41.25, false}, {day(10, 3), 42.0, true},  {day(28, 2), 1.0, false},
        {day(1, 3), 41.25, true},  {day(11, 3), 42.0, false}, {day(31, 12), 42.0, false},
    };
    for (const Case& c : cases) {
        const TExchangeInfo info(branch, c.date);
        double rate = 0;
        EXPECT_EQ(info.findRate(rate, DateTime()), c.own) << core::dateToStr(c.date).toStdString();
        EXPECT_DOUBLE_EQ(rate, c.rate) << core::dateToStr(c.date).toStdString();
        EXPECT_DOUBLE_EQ(info.getRate(), c.rate) << core::dateToStr(c.date).toStdString();
        EXPECT_EQ(info.exists(), c.own);
    }
    // A day asked of a record without a row of its own; a record with one answers its own.
    double rate = 0;
    EXPECT_FALSE(TExchangeInfo(branch, day(28, 2)).findRate(rate, day(5, 3)));
    EXPECT_DOUBLE_EQ(rate, 41.25);
    EXPECT_TRUE(TExchangeInfo(branch, day(10, 3)).findRate(rate, day(5, 3)));
    EXPECT_DOUBLE_EQ(rate, 42.0);
    const TExchangeInfo own(branch, day(10, 3));
    EXPECT_EQ(own.getValue(TExchangeInfo::eUSD_EXCHANGE).toInt(), 420000);
    EXPECT_EQ(own.getValue(TExchangeInfo::eDATA).toDateTime(), day(10, 3));
}

TEST_F(ExchangeTest, RatesAreStoredInTenThousandthsOnceADay) {
    struct Case {
        double typed;
        int stored;
    };
    const Case cases[] = {{41.25, 412500}, {27.123456, 271235}, {0.0001, 1}};
    int d = 0;
    for (const Case& c : cases) {
        const DateTime date = day(15 + d++, 3);
        TExchangeInfo info(branch, date);
        EXPECT_FALSE(info.exists());
        info.setRate(c.typed);
        info.save();
        EXPECT_TRUE(info.exists());
        EXPECT_EQ(TExchangeInfo(branch, date).getValue(TExchangeInfo::eUSD_EXCHANGE).toInt(), c.stored);
        // A second save of the same record changes the day's row instead of adding one.
        info.setRate(50);
        info.save();
        EXPECT_EQ(rows(date), 1);
        EXPECT_DOUBLE_EQ(TExchangeInfo(branch, date).getRate(), 50.0);
    }

    // A rate of zero or less would divide by zero in the calculation: refused, nothing stored.
    const QString refused = QStringLiteral("Курс доллара должен быть больше нуля");
    const std::optional<double> bad[] = {0.0, -41.25, 0.00004, std::nullopt};
    for (const std::optional<double>& rate : bad) {
        TExchangeInfo info(branch, day(25, 3));
        if (rate) info.setRate(*rate);
        EXPECT_EQ(errorText([&] { info.save(); }), refused) << rate.value_or(-1);
        EXPECT_EQ(rows(day(25, 3)), 0);
    }
    TExchangeInfo existing(branch, day(10, 3));
    existing.setRate(0);
    EXPECT_EQ(errorText([&] { existing.save(); }), refused);
    EXPECT_DOUBLE_EQ(TExchangeInfo(branch, day(10, 3)).getRate(), 42.0);
}

// A user's date format is the process's: rates are found and stored by the right day whatever it is.
TEST_F(ExchangeTest, RatesKeepTheirDaysWhateverTheProcessDateFormat) {
    tolvtest::ScopedDateFormat format(QStringLiteral("dd/mm/yyyy"), u'/');
    EXPECT_TRUE(TExchangeInfo(branch, day(10, 3)).exists());
    EXPECT_DOUBLE_EQ(TExchangeInfo(branch, day(12, 3)).getRate(), 42.0);
    EXPECT_DOUBLE_EQ(TExchangeInfo(branch, day(5, 3)).getRate(), 41.25);

    TExchangeInfo info(branch, day(3, 3));
    info.setRate(41.5);
    info.save();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) as V from DIR_EXCHANGE where ID_FILIAL = %1 and DATA = "
                                    "'2009-03-03' and USD_EXCHANGE = 415000")
                         .arg(branch))
                  .toInt(),
              1);
    info.setRate(41.75);
    info.save();
    EXPECT_DOUBLE_EQ(TExchangeInfo(branch, day(3, 3)).getRate(), 41.75);

    TExchangeHistory history(branch, day(1, 3), day(12, 3), DateTime());
    history.reload();
    std::vector<double> rates;
    data::Dataset& ds = *history.getDataSet();
    for (ds.first(); !ds.eof(); ds.next())
        rates.push_back(ds.fieldByName(QStringLiteral("EXCHANGE")).asFloat());
    EXPECT_EQ(rates, (std::vector<double>{41.25, 41.25, 41.75, 41.75, 41.75, 41.75, 41.75, 41.75, 41.75, 42.0,
                                          42.0, 42.0}));
}

TEST_F(ExchangeTest, HistoryShowsEveryDayOfThePeriod) {
    TExchangeHistory history(branch, day(1, 3), day(31, 3), day(10, 3));
    history.reload();
    data::Dataset& ds = *history.getDataSet();
    ASSERT_EQ(ds.recordCount(), 31);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("DATA")).asDateTime(), day(10, 3));  // the locate date
    int row = 0;
    for (ds.first(); !ds.eof(); ds.next(), ++row) {
        const int dayOfMonth = row + 1;
        const bool own = dayOfMonth == 1 || dayOfMonth == 10;
        EXPECT_EQ(ds.fieldByName(QStringLiteral("DATA")).asDateTime(), day(dayOfMonth, 3));
        EXPECT_EQ(ds.fieldByName(QStringLiteral("SIGN")).asBoolean(), own) << dayOfMonth;
        EXPECT_DOUBLE_EQ(ds.fieldByName(QStringLiteral("EXCHANGE")).asFloat(),
                         dayOfMonth < 10 ? 41.25 : 42.0);
        EXPECT_EQ(history.onGetCellParams(row),
                  own ? TExchangeHistory::Shade::Own : TExchangeHistory::Shade::Carried);
    }
    ds.first();
    EXPECT_EQ(ds.fieldByName(QStringLiteral("EXCHANGE")).displayText(), QStringLiteral("41.2500"));

    // A bound grid shades the rows: a day's own rate in black, a carried one in grey.
    struct Grid : grid::GridView {
        Grid() : GridView(grid::GridKind::Eh) {}
        QString gridName() const override { return QStringLiteral("gr_Exchange"); }
        QString formName() const override { return QString(); }
    } grid;
    grid::DataSource source;
    grid.setDataSource(&source);
    history.bindGridEh(&grid);
    ASSERT_TRUE(grid.onCellStyle != nullptr);
    for (const auto& [r, colour] : {std::pair{0, 0x000000u}, std::pair{1, 0x808080u}, std::pair{9, 0x000000u}}) {
        grid::CellStyle style;
        grid.onCellStyle(r, grid.columns()[1], style);
        EXPECT_EQ(style.text.value_or(0xFFFFFFu), colour) << r;
    }

    history.setPeriod(day(27, 2), day(2, 3));
    history.reload();
    std::vector<std::pair<bool, double>> days;
    for (ds.first(); !ds.eof(); ds.next()) {
        days.emplace_back(ds.fieldByName(QStringLiteral("SIGN")).asBoolean(),
                          ds.fieldByName(QStringLiteral("EXCHANGE")).asFloat());
    }
    EXPECT_EQ(days, (std::vector<std::pair<bool, double>>{
                        {false, 1.0}, {false, 1.0}, {true, 41.25}, {false, 41.25}}));

    history.setPeriod(day(31, 3), day(1, 3));
    history.reload();
    EXPECT_EQ(ds.recordCount(), 0);

    ASSERT_EQ(history.columnsEh().size(), 2u);
    EXPECT_EQ(history.columnsEh()[0].fieldName, QStringLiteral("DATA"));
    EXPECT_EQ(history.columnsEh()[0].width, 70);
    EXPECT_EQ(history.columnsEh()[0].title, QStringLiteral("Дата"));
    EXPECT_EQ(history.columnsEh()[1].fieldName, QStringLiteral("EXCHANGE"));
    EXPECT_EQ(history.columnsEh()[1].width, 50);
    EXPECT_EQ(history.columnsEh()[1].title, QStringLiteral("Значение"));
}

}  // namespace
