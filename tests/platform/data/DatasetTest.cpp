#include <gtest/gtest.h>

#include <QSignalSpy>
#include <functional>

#include "platform/core/Exception.h"
#include "platform/data/Dataset.h"
#include "platform/data/MemTable.h"

using core::Variant;

namespace {

// Rows 1..size with a name, handed out a few at a time so that fetching on demand shows.
class CountingDataset : public data::Dataset {
public:
    explicit CountingDataset(int size) : size_(size) {}
    int fetchCalls = 0;
    int produced = 0;

protected:
    void doOpen() override {
        clearFields();
        addField(QStringLiteral("ID"), data::DataType::Integer);
        addField(QStringLiteral("NAME"), data::DataType::String, 40);
        produced = 0;
    }
    bool doFetch(int count) override {
        ++fetchCalls;
        for (int i = 0; i < count; ++i) {
            if (produced == size_) return false;
            ++produced;
            appendRow({Variant(produced), produced % 2 ? Variant(QStringLiteral("Дем'яненко %1").arg(produced))
                                                      : Variant::null()});
        }
        return true;
    }

private:
    int size_;
};

// Rows 1..3 from a source that refuses the first opens or fetches it is told to refuse.
class FlakyDataset : public data::Dataset {
public:
    int openFailures = 0;
    int fetchFailures = 0;

protected:
    void doOpen() override {
        addField(QStringLiteral("ID"), data::DataType::Integer);
        if (openFailures > 0) {
            --openFailures;
            throw core::Exception(QStringLiteral("source unavailable"));
        }
        produced_ = 0;
    }
    bool doFetch(int count) override {
        if (fetchFailures > 0) {
            --fetchFailures;
            throw core::Exception(QStringLiteral("fetch failed"));
        }
        for (int i = 0; i < count && produced_ < 3; ++i) appendRow({Variant(++produced_)});
        return produced_ < 3;
    }

private:
    int produced_ = 0;
};

TEST(DatasetTest, NavigationFollowsThePlatformRules) {
    CountingDataset ds(3);
    ds.open();
    EXPECT_TRUE(ds.bof());
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.recordCount(), 1);  // only what was needed so far
    EXPECT_EQ(ds.fieldByName(QStringLiteral("id")).asInteger(), 1);

    std::vector<int> seen;
    for (ds.first(); !ds.eof(); ds.next()) seen.push_back(ds[QStringLiteral("ID")].asInteger());
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ds.recNo(), 3);  // next() past the last row stays on it

    ds.last();
    EXPECT_TRUE(ds.eof());
    ds.prior();
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_FALSE(ds.bof() || ds.eof());
    ds.first();
    ds.prior();
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.moveBy(5), 2);
    ds.setRecNo(2);
    EXPECT_EQ(ds[QStringLiteral("ID")].asInteger(), 2);
    EXPECT_TRUE(ds[QStringLiteral("NAME")].isNull());
    EXPECT_EQ(ds[QStringLiteral("NAME")].asString(), QString());
    EXPECT_THROW(ds.fieldByName(QStringLiteral("NOPE")), core::Exception);
}

TEST(DatasetTest, EmptyAndClosedDatasets) {
    CountingDataset ds(0);
    ds.open();
    EXPECT_TRUE(ds.bof() && ds.eof());
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_EQ(ds.recNo(), 0);
    EXPECT_TRUE(ds[QStringLiteral("ID")].isNull());
    ds.close();
    EXPECT_THROW(ds.first(), core::Exception);
    EXPECT_FALSE(ds.active());
}

TEST(DatasetTest, FetchesOnlyWhatIsAskedFor) {
    CountingDataset ds(100000);
    ds.open();
    EXPECT_EQ(ds.fetchMore(99), 99);
    EXPECT_EQ(ds.recordCount(), 100);
    EXPECT_EQ(ds.produced, 100);
    EXPECT_TRUE(ds.canFetchMore());
    ds.fetchAll();
    EXPECT_EQ(ds.recordCount(), 100000);
    EXPECT_FALSE(ds.canFetchMore());
}

TEST(DatasetTest, BookmarksAndLocate) {
    CountingDataset ds(10);
    ds.open();
    ds.setRecNo(7);
    const data::Bookmark mark = ds.bookmark();
    ds.first();
    EXPECT_TRUE(ds.bookmarkValid(mark));
    ds.gotoBookmark(mark);
    EXPECT_EQ(ds[QStringLiteral("ID")].asInteger(), 7);

    EXPECT_TRUE(ds.locate(QStringLiteral("NAME"), QStringLiteral("дем'яненко 9"), {.caseInsensitive = true}));
    EXPECT_EQ(ds.recNo(), 9);
    EXPECT_TRUE(ds.locate(QStringLiteral("NAME"), QStringLiteral("Дем'яненко 1"), {.partialKey = true}));
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_FALSE(ds.locate(QStringLiteral("ID"), 11));
    EXPECT_EQ(ds.recNo(), 1);  // a failed locate does not move
    EXPECT_TRUE(ds.locate({QStringLiteral("ID"), QStringLiteral("NAME")}, {Variant(4), Variant::null()}));
    EXPECT_EQ(ds.recNo(), 4);

    ds.close();
    ds.open();
    EXPECT_FALSE(ds.bookmarkValid(mark));  // a reopened dataset has new rows
    EXPECT_THROW(ds.gotoBookmark(mark), core::Exception);
}

TEST(DatasetTest, ControlsNestAndIgnoreAnUnmatchedEnable) {
    CountingDataset ds(5);
    QSignalSpy resets(&ds, &data::Dataset::layoutReset);
    QSignalSpy moves(&ds, &data::Dataset::currentChanged);
    ds.open();
    EXPECT_EQ(resets.count(), 1);
    ds.enableControls();  // nothing outstanding: ignored
    ds.disableControls();
    ds.disableControls();
    ds.next();
    ds.next();
    ds.enableControls();
    EXPECT_TRUE(ds.controlsDisabled());
    const int movesBefore = static_cast<int>(moves.count());
    ds.enableControls();
    EXPECT_FALSE(ds.controlsDisabled());
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(moves.count(), movesBefore + 1);
    EXPECT_EQ(moves.last().at(0).toInt(), 2);
}

TEST(DatasetTest, RemovingWhileWalkingVisitsEveryRow) {
    constexpr int kSize = 6;
    struct Case {
        const char* name;
        std::function<bool(int)> drop;
    };
    const std::vector<Case> cases = {
        {"all", [](int) { return true; }},
        {"odd", [](int id) { return id % 2 == 1; }},
        {"even", [](int id) { return id % 2 == 0; }},
        {"none", [](int) { return false; }},
        {"first", [](int id) { return id == 1; }},
        {"last", [](int id) { return id == kSize; }},
        {"all but last", [](int id) { return id != kSize; }},
    };
    for (const bool fetchedFirst : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (fetchedFirst ? ", fetched" : ", lazy"));
            CountingDataset ds(kSize);
            ds.open();
            if (fetchedFirst) ds.fetchAll();
            std::vector<int> visited, expectedKept;
            for (ds.first(); !ds.eof() && visited.size() <= kSize;) {
                const int id = ds[QStringLiteral("ID")].asInteger();
                visited.push_back(id);
                if (c.drop(id)) {
                    ds.remove();
                } else {
                    expectedKept.push_back(id);
                    ds.next();
                }
            }
            EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 5, 6}));
            // The walk ends on the last row that is left, or on none.
            EXPECT_EQ(ds.recNo(), static_cast<int>(expectedKept.size()));
            std::vector<int> kept;
            for (ds.first(); !ds.eof(); ds.next()) kept.push_back(ds[QStringLiteral("ID")].asInteger());
            EXPECT_EQ(kept, expectedKept);
        }
    }
}

TEST(DatasetTest, FailedOpenLeavesTheDatasetClosedWithItsOwnFields) {
    data::MemTable clients;
    clients.addField(QStringLiteral("ID"), data::DataType::Integer);
    clients.addField(QStringLiteral("NAME"), data::DataType::String, 20);
    clients.open();
    clients.append();
    clients[QStringLiteral("ID")].setValue(1);
    clients[QStringLiteral("NAME")].setValue(QStringLiteral("Літвін"));
    clients.post();

    for (const bool failFetch : {false, true}) {
        SCOPED_TRACE(failFetch ? "first fetch fails" : "open fails");
        FlakyDataset ds;
        ds.addField(QStringLiteral("TWICE"), data::DataType::Integer, 0, data::FieldKind::Calculated);
        ds.addField(QStringLiteral("CLIENT"), data::DataType::String, 20, data::FieldKind::Lookup)
            ->setLookup(&clients, QStringLiteral("ID"), QStringLiteral("ID"), QStringLiteral("NAME"));
        ds.onCalcFields = [](data::Dataset& d) {
            d[QStringLiteral("TWICE")].setValue(d[QStringLiteral("ID")].asInteger() * 2);
        };
        ds.open();
        ds.close();
        const QStringList fields = {"ID", "TWICE", "CLIENT"};
        ASSERT_EQ(ds.fieldNames(), fields);

        (failFetch ? ds.fetchFailures : ds.openFailures) = 1;
        EXPECT_THROW(ds.open(), core::Exception);
        EXPECT_FALSE(ds.active());
        EXPECT_EQ(ds.state(), data::DatasetState::Inactive);
        EXPECT_EQ(ds.recordCount(), 0);
        EXPECT_EQ(ds.recNo(), 0);
        EXPECT_TRUE(ds.bof() && ds.eof());
        EXPECT_EQ(ds.fieldNames(), fields);
        if (ds.fieldNames() != fields) continue;

        ds.open();  // the retry opens with the calculated and lookup fields
        EXPECT_EQ(ds.fieldNames(), fields);
        EXPECT_EQ(ds[QStringLiteral("TWICE")].asInteger(), 2);
        EXPECT_EQ(ds[QStringLiteral("CLIENT")].asString(), QStringLiteral("Літвін"));
        ds.last();
        EXPECT_EQ(ds.recNo(), 3);
    }
}

}  // namespace
