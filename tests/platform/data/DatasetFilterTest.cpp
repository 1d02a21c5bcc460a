#include <gtest/gtest.h>

#include <QThread>
#include <memory>

#include "platform/core/Exception.h"
#include "platform/data/FilterExpression.h"
#include "platform/data/MemTable.h"

using core::Variant;
using data::DataType;
using data::MemTable;

namespace {

// An in-memory table of (ID, N, NAME) rows to filter.
struct Table {
    MemTable t;

    Table() {
        t.addField(QStringLiteral("ID"), DataType::Integer);
        t.addField(QStringLiteral("N"), DataType::Float);
        t.addField(QStringLiteral("NAME"), DataType::String, 20);
        t.open();
    }
    void add(int id, const Variant& n, const Variant& name) {
        t.append();
        t[QStringLiteral("ID")].setValue(id);
        t[QStringLiteral("N")].setValue(n);
        t[QStringLiteral("NAME")].setValue(name);
        t.post();
    }
    std::vector<int> idsPassing(const QString& filter) {
        t.setFilter(filter);
        t.setFiltered(true);
        std::vector<int> ids;
        for (t.first(); !t.eof(); t.next()) ids.push_back(t[QStringLiteral("ID")].asInteger());
        t.setFiltered(false);
        return ids;
    }
};

TEST(DatasetFilterTest, NegativeNumbersAndNullAsInSql) {
    Table tb;
    tb.add(1, -5, QStringLiteral("A"));
    tb.add(2, -2.5, QStringLiteral("Б"));
    tb.add(3, 5, Variant::null());
    tb.add(4, Variant::null(), QStringLiteral("C"));
    tb.add(5, 0, QStringLiteral("Я"));
    struct Case {
        const char16_t* filter;
        std::vector<int> ids;
    };
    const Case cases[] = {
        // Negative literals, on either side.
        {u"N > -5", {2, 3, 5}},
        {u"N = -2.5", {2}},
        {u"-5 < N", {2, 3, 5}},
        {u"N <= - 2.5", {1, 2}},
        {u"N > -.5", {3, 5}},
        // NULL satisfies no comparison; only IS [NOT] NULL tests it.
        {u"N <> 5", {1, 2, 5}},
        {u"N < 1", {1, 2, 5}},
        {u"NAME < 'B'", {1}},
        {u"NAME <> 'A'", {2, 4, 5}},
        {u"NAME = 'A*'", {1}},
        {u"NAME <> 'A*'", {2, 4, 5}},
        {u"NAME like '%'", {1, 2, 4, 5}},
        {u"NAME not like 'A%'", {2, 4, 5}},
        {u"UPPER(NAME) >= 'C'", {2, 4, 5}},
        {u"N = NULL", {}},
        {u"N <> NULL", {}},
        {u"NULL = NULL", {}},
        {u"not (N = 5)", {1, 2, 5}},
        {u"not (N = 5 and NAME = 'x')", {1, 2, 4, 5}},
        {u"N <> 5 or N is null", {1, 2, 4, 5}},
        {u"N = 5 and NAME is null", {3}},
        {u"N is not null and not (NAME is null)", {1, 2, 5}},
        // Numbers beyond the integer range compare as numbers.
        {u"N < 99999999999999999999", {1, 2, 3, 5}},
        {u"N > -99999999999999999999", {1, 2, 3, 5}},
        {u"ID > 99999999999999999999 or ID = 9223372036854775807", {}},
    };
    for (const Case& c : cases) {
        const QString filter = QString::fromUtf16(c.filter);
        EXPECT_EQ(tb.idsPassing(filter), c.ids) << filter.toStdString();
    }
    EXPECT_THROW(tb.idsPassing(QStringLiteral("N > -")), core::Exception);
    EXPECT_THROW(tb.idsPassing(QStringLiteral("N > -NAME")), core::Exception);
}

TEST(DatasetFilterTest, LongChainsNeedNoDeepStack) {
    // Parsed, evaluated and freed on a thread with a small stack, which recursion per alternative
    // would overflow.
    std::vector<int> anyOf, noneOf;
    QString error;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            Table tb;
            for (int id : {0, 1, 5000, 10000, 10001}) tb.add(id, id, QString::number(id));
            QStringList alternatives, conjuncts;
            for (int i = 1; i <= 10000; ++i) {
                alternatives << QStringLiteral("N = %1").arg(i);
                conjuncts << QStringLiteral("N <> %1").arg(i);
            }
            anyOf = tb.idsPassing(alternatives.join(QStringLiteral(" or ")));
            noneOf = tb.idsPassing(conjuncts.join(QStringLiteral(" AND ")));
        } catch (const core::Exception& e) {
            error = e.message();
        }
    }));
    thread->setStackSize(256 * 1024);
    thread->start();
    thread->wait();
    EXPECT_EQ(error, QString());
    EXPECT_EQ(anyOf, (std::vector<int>{1, 5000, 10000}));
    EXPECT_EQ(noneOf, (std::vector<int>{0, 10001}));
}

TEST(DatasetFilterTest, NestingDeeperThanTheLimitIsRefused) {
    Table tb;
    tb.add(1, 1, QStringLiteral("1"));
    tb.add(2, 2, QStringLiteral("2"));
    // Up to the limit a nested expression works; one level more is refused, whatever does the nesting.
    const auto nested = [](int depth, const QString& open, const QString& close) {
        return open.repeated(depth) + QStringLiteral("N = 1") + close.repeated(depth);
    };
    const QString empty;
    EXPECT_EQ(tb.idsPassing(nested(256, QStringLiteral("("), QStringLiteral(")"))), (std::vector<int>{1}));
    EXPECT_EQ(tb.idsPassing(nested(256, QStringLiteral("not "), empty)), (std::vector<int>{1}));
    const QString refused[] = {
        nested(257, QStringLiteral("("), QStringLiteral(")")),
        nested(257, QStringLiteral("not "), empty),
        QStringLiteral("UPPER(").repeated(257) + QStringLiteral("NAME") + QStringLiteral(")").repeated(257) +
            QStringLiteral(" = '1'"),
        nested(100000, QStringLiteral("("), QStringLiteral(")")),
    };
    for (const QString& filter : refused) {
        try {
            data::FilterExpression::parse(filter);
            ADD_FAILURE() << "accepted " << filter.left(40).toStdString();
        } catch (const core::Exception& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Filter expression nested too deeply")))
                << e.what();
        }
    }
}

}  // namespace
