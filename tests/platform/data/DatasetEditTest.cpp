#include <gtest/gtest.h>

#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/data/MemTable.h"

using core::Variant;
using data::DataType;
using data::FieldKind;
using data::MemTable;

namespace {

// A table of contracts with a client id, a sum and a calculated doubled sum.
struct Contracts {
    MemTable table;
    MemTable clients;
    int calcRuns = 0;

    Contracts() {
        clients.addField(QStringLiteral("ID"), DataType::Integer);
        clients.addField(QStringLiteral("NAME"), DataType::String, 80);
        clients.open();
        for (auto [id, name] : {std::pair{1, u"Літвін"}, std::pair{2, u"Дем'яненко"}}) {
            clients.append();
            clients[QStringLiteral("ID")].setValue(id);
            clients[QStringLiteral("NAME")].setValue(QString::fromUtf16(name));
            clients.post();
        }
        table.addField(QStringLiteral("ID"), DataType::Integer)->setRequired(true);
        table.addField(QStringLiteral("CLIENT_ID"), DataType::Integer);
        table.addField(QStringLiteral("SUMMA"), DataType::Float);
        table.addField(QStringLiteral("NUM"), DataType::String, 10);
        table.addField(QStringLiteral("DOUBLED"), DataType::Float, 0, FieldKind::Calculated);
        table.addField(QStringLiteral("CLIENT"), DataType::String, 80, FieldKind::Lookup)
            ->setLookup(&clients, QStringLiteral("CLIENT_ID"), QStringLiteral("ID"), QStringLiteral("NAME"));
        table.onCalcFields = [this](data::Dataset& ds) {
            ++calcRuns;
            ds[QStringLiteral("DOUBLED")].setValue(ds[QStringLiteral("SUMMA")].asFloat() * 2);
        };
        table.open();
    }
    void add(int id, int client, double summa, const Variant& num) {
        table.append();
        table[QStringLiteral("ID")].setValue(id);
        table[QStringLiteral("CLIENT_ID")].setValue(client);
        table[QStringLiteral("SUMMA")].setValue(summa);
        table[QStringLiteral("NUM")].setValue(num);
        table.post();
    }
};

TEST(DatasetEditTest, EditPostCancelAndRequiredFields) {
    Contracts c;
    c.add(1, 1, 100.5, QStringLiteral("А-1"));
    c.add(2, 2, 200, QStringLiteral("Б-2"));
    EXPECT_EQ(c.table.recordCount(), 2);
    c.table.first();
    c.table.edit();
    c.table[QStringLiteral("SUMMA")].setValue(QStringLiteral("150.25"));
    EXPECT_EQ(c.table.state(), data::DatasetState::Edit);
    c.table.cancel();
    EXPECT_DOUBLE_EQ(c.table[QStringLiteral("SUMMA")].asFloat(), 100.5);

    c.table.edit();
    c.table[QStringLiteral("SUMMA")].setValue(150.25);
    c.table.next();  // leaving an edited row posts it
    c.table.first();
    EXPECT_DOUBLE_EQ(c.table[QStringLiteral("SUMMA")].asFloat(), 150.25);

    c.table.insert();
    EXPECT_EQ(c.table.recNo(), 1);
    try {
        c.table.post();
        FAIL();
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Field 'ID' must have a value"));
    }
    c.table.cancel();
    EXPECT_EQ(c.table.recordCount(), 2);
    EXPECT_THROW(c.table[QStringLiteral("SUMMA")].setValue(1), core::Exception);  // not editing
    c.table.edit();
    EXPECT_THROW(c.table[QStringLiteral("SUMMA")].setValue(QStringLiteral("abc")), core::Exception);
    // Never cut to the field size: the longer text is refused by the field's name, the value stays.
    c.table[QStringLiteral("NUM")].setValue(QStringLiteral("ґ123456789"));
    EXPECT_THROW(c.table[QStringLiteral("NUM")].setValue(QStringLiteral("0123456789ABC")), core::Exception);
    EXPECT_EQ(c.table[QStringLiteral("NUM")].asString(), QStringLiteral("ґ123456789"));
    c.table.cancel();
}

TEST(DatasetEditTest, ChangeHandlerFiresUnlessTakenOff) {
    Contracts c;
    c.add(1, 1, 10, QStringLiteral("1"));
    int changes = 0;
    data::Field& summa = c.table[QStringLiteral("SUMMA")];
    summa.setOnChange([&](data::Field&) { ++changes; });
    c.table.edit();
    summa.setValue(11);
    EXPECT_EQ(changes, 1);
    const data::Field::ChangeHandler saved = summa.onChange();
    summa.setOnChange({});
    summa.setValue(12);
    summa.setOnChange(saved);
    EXPECT_EQ(changes, 1);
    summa.setValue(13);
    EXPECT_EQ(changes, 2);
    c.table.post();
}

TEST(DatasetEditTest, EventsSeeTheirRows) {
    Contracts c;
    std::vector<QString> log;
    c.table.onNewRecord = [&](data::Dataset& ds) {
        log.push_back(QStringLiteral("new"));
        ds[QStringLiteral("SUMMA")].setValue(0);
    };
    c.table.beforePost = [&](data::Dataset& ds) { log.push_back(QStringLiteral("before post %1").arg(ds[QStringLiteral("ID")].asInteger())); };
    c.table.afterPost = [&](data::Dataset&) { log.push_back(QStringLiteral("after post")); };
    c.table.beforeDelete = [&](data::Dataset& ds) { log.push_back(QStringLiteral("before delete %1").arg(ds[QStringLiteral("ID")].asInteger())); };
    c.table.afterDelete = [&](data::Dataset& ds) { log.push_back(QStringLiteral("after delete %1").arg(ds.recordCount())); };
    c.add(7, 1, 5, QStringLiteral("7"));
    c.add(8, 1, 5, QStringLiteral("8"));
    c.table.first();
    c.table.remove();
    EXPECT_EQ(c.table[QStringLiteral("ID")].asInteger(), 8);
    const std::vector<QString> expected = {
        QStringLiteral("new"), QStringLiteral("before post 7"), QStringLiteral("after post"),
        QStringLiteral("new"), QStringLiteral("before post 8"), QStringLiteral("after post"),
        QStringLiteral("before delete 7"), QStringLiteral("after delete 1")};
    EXPECT_EQ(log, expected);
}

TEST(DatasetEditTest, CalculatedOncePerRowUntilPostAndLookupShowsTheName) {
    Contracts c;
    c.add(1, 2, 10, QStringLiteral("1"));
    c.calcRuns = 0;
    c.table.first();
    EXPECT_DOUBLE_EQ(c.table[QStringLiteral("DOUBLED")].asFloat(), 20);
    EXPECT_DOUBLE_EQ(c.table[QStringLiteral("DOUBLED")].asFloat(), 20);
    EXPECT_EQ(c.table[QStringLiteral("CLIENT")].asString(), QStringLiteral("Дем'яненко"));
    EXPECT_EQ(c.calcRuns, 1);
    c.table.edit();
    c.table[QStringLiteral("SUMMA")].setValue(15);
    c.table[QStringLiteral("CLIENT_ID")].setValue(1);
    c.table.post();
    EXPECT_DOUBLE_EQ(c.table[QStringLiteral("DOUBLED")].asFloat(), 30);
    EXPECT_EQ(c.table[QStringLiteral("CLIENT")].asString(), QStringLiteral("Літвін"));
    EXPECT_EQ(c.calcRuns, 2);
    EXPECT_EQ(c.clients.recNo(), 2);  // lookups do not move the looked-up table
}

TEST(DatasetEditTest, FilterFormsSelectTheRightRows) {
    Contracts c;
    c.add(1, 1, 100, QStringLiteral("ів-1"));
    c.add(2, 2, 200, QStringLiteral("ІВ-2"));
    c.add(3, 1, 300, QStringLiteral("Дем'ян"));
    c.add(4, 2, 400, Variant::null());
    struct Case {
        const char16_t* filter;
        bool caseInsensitive;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {u"UPCASE(NUM) like '%ІВ%'", false, {1, 2}},
        {u"NUM like 'ів%'", false, {1}},
        {u"NUM like 'ів%'", true, {1, 2}},
        {u"NUM = 'Дем''ян'", false, {3}},
        {u"SUMMA > 150 and not (ID = 3)", false, {2, 4}},
        {u"ID < 2 or ID >= 4", false, {1, 4}},
        {u"ID <> 2 and CLIENT_ID = 1", false, {1, 3}},
        {u"NUM = 'ів*'", true, {1, 2}},
        {u"NUM is null", false, {4}},
        {u"UPCASE(CLIENT) like '%ДЕМ%'", false, {2, 4}},
        {u"(UPCASE(NUM) like '%ДЕМ%' or UPCASE(NUM) like '%2%')", false, {2, 3}},
    };
    for (const Case& fc : cases) {
        c.table.setFilter(QString::fromUtf16(fc.filter), {.caseInsensitive = fc.caseInsensitive});
        c.table.setFiltered(true);
        std::vector<int> ids;
        for (c.table.first(); !c.table.eof(); c.table.next()) ids.push_back(c.table[QStringLiteral("ID")].asInteger());
        EXPECT_EQ(ids, fc.ids) << QString::fromUtf16(fc.filter).toStdString();
    }
    c.table.setFilterPredicate([](data::Dataset& ds) { return ds[QStringLiteral("SUMMA")].asFloat() > 250; });
    c.table.setFilter(QString());
    EXPECT_EQ(c.table.recordCount(), 2);
    c.table.setFiltered(false);
    EXPECT_EQ(c.table.recordCount(), 4);
    EXPECT_THROW(c.table.setFilter(QStringLiteral("ID = ")), core::Exception);
}

TEST(DatasetEditTest, MemTableSortsStablyBothWays) {
    Contracts c;
    c.add(1, 2, 300, QStringLiteral("в"));
    c.add(2, 1, 100, QStringLiteral("б"));
    c.add(3, 2, 200, QStringLiteral("а"));
    c.add(4, 1, 100, QStringLiteral("г"));
    auto ids = [&] {
        std::vector<int> out;
        for (c.table.first(); !c.table.eof(); c.table.next()) out.push_back(c.table[QStringLiteral("ID")].asInteger());
        return out;
    };
    c.table.setRecNo(3);
    const data::Bookmark mark = c.table.bookmark();
    c.table.sortOnFields(QStringLiteral("SUMMA"));
    EXPECT_EQ(c.table[QStringLiteral("ID")].asInteger(), 3);  // the current row stays current
    EXPECT_EQ(ids(), (std::vector<int>{2, 4, 3, 1}));
    c.table.sortOnFields(QStringLiteral("SUMMA"), false, true);
    EXPECT_EQ(ids(), (std::vector<int>{1, 3, 2, 4}));
    c.table.sortOnFields(QStringLiteral("CLIENT_ID;NUM"));
    EXPECT_EQ(ids(), (std::vector<int>{2, 4, 3, 1}));
    c.table.gotoBookmark(mark);
    EXPECT_EQ(c.table[QStringLiteral("ID")].asInteger(), 3);
    c.table.close();
    c.table.open();
    EXPECT_TRUE(c.table.isEmpty());
    EXPECT_EQ(c.table.fieldCount(), 6);
}

}  // namespace

namespace {

TEST(FieldTextTest, FormatsHandlersAndValidCharacters) {
    setProcessFormats();
    MemTable t;
    data::Field* sum = t.addField(QStringLiteral("SUMMA"), DataType::Float);
    sum->setDisplayFormat(QStringLiteral(",0.00;-,0.00"));
    sum->setEditFormat(QStringLiteral("0.00"));
    data::Field* day = t.addField(QStringLiteral("D"), DataType::Date);
    data::Field* code = t.addField(QStringLiteral("CODE"), DataType::Integer);
    code->setOnGetText([](data::Field& f, QString& text, bool display) {
        text = f.isNull() ? QString() : (display ? QStringLiteral("№ ") : QString()) + f.asString();
    });
    code->setOnSetText([](data::Field& f, const QString& text) { f.setValue(text.trimmed().remove(u'№').toInt()); });
    t.open();
    t.append();
    sum->setText(QStringLiteral("-1234567.891"));
    day->setText(QStringLiteral("25.05.2009"));
    code->setText(QStringLiteral("№ 12"));
    EXPECT_EQ(sum->displayText(), QStringLiteral("-1 234 567.89"));
    EXPECT_EQ(sum->text(), QStringLiteral("-1234567.89"));
    EXPECT_EQ(day->displayText(), QStringLiteral("25.05.2009"));
    EXPECT_EQ(code->displayText(), QStringLiteral("№ 12"));
    EXPECT_EQ(code->text(), QStringLiteral("12"));
    sum->setText(QString());
    EXPECT_TRUE(sum->isNull());
    EXPECT_EQ(sum->displayText(), QString());
    EXPECT_TRUE(sum->isValidChar(u'5') && sum->isValidChar(u'.') && !sum->isValidChar(u'x'));
    EXPECT_FALSE(code->isValidChar(u'.'));
    code->setValidChars([](QChar c) { return c.isDigit(); });
    EXPECT_FALSE(code->isValidChar(u'-'));
    t.post();
}

}  // namespace
