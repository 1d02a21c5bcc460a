#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "kv_RxMemWrapper.h"
#include "kv_progressBar.h"
#include "platform/data/MemTable.h"

namespace {

TEST(ProgressBarTest, PercentModeAdvancesEveryNthStep) {
    struct Case {
        int total, percent, divisor, maximum, afterAll;
    };
    for (const Case& c : {Case{1000, 1, 11, 100, 90}, Case{50, 1, 1, 50, 50}, Case{1000, 10, 101, 10, 9},
                          Case{1000, 0, 11, 100, 90}, Case{1000, 250, 1001, 1, 0}}) {
        TFrmProgressBar f;
        f.initPercent(QStringLiteral("Обработка"), c.total, false, c.percent);
        EXPECT_EQ(f.stepDivisor, c.divisor) << c.total << "/" << c.percent;
        EXPECT_EQ(f.pg_Bar->maximum(), c.maximum);
        for (int i = 0; i < c.total; ++i) f.step();
        EXPECT_EQ(f.pg_Bar->value(), c.afterAll);
    }
}

TEST(ProgressBarTest, CaptionsBarsAndHeights) {
    QWidget owner;
    owner.setObjectName(QStringLiteral("FMain"));
    owner.resize(600, 400);
    owner.show();
    TFrmProgressBar f(&owner);
    EXPECT_EQ(f.height(), 30);
    f.initPercent(QStringLiteral("Акты"), 1000, true, 1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    EXPECT_FALSE(f.isModal());
    f.step(QStringLiteral("не видно"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Акты"));  // no advance, no new caption
    for (int i = 0; i < 9; ++i) f.step();
    f.step(QStringLiteral("Акт 11"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Акт 11"));
    f.step();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Акт 11"));  // an empty text keeps it

    f.initPercent2(QStringLiteral("Предметы"), 50, 1);
    EXPECT_EQ(f.height(), 67);
    EXPECT_TRUE(f.pg_Bar2->isVisible());
    EXPECT_EQ(f.pg_Bar2->maximum(), 50);  // its own divisor, whatever the first bar's mode
    EXPECT_EQ(f.l_pg2->text(), QStringLiteral("Предметы"));
    f.step2();
    EXPECT_EQ(f.pg_Bar2->value(), 1);
    f.complete2();
    EXPECT_EQ(f.pg_Bar2->value(), 50);
    f.complete();
    EXPECT_EQ(f.pg_Bar->value(), f.pg_Bar->maximum());
    f.showSecondBar(false);
    EXPECT_EQ(f.height(), 30);
    EXPECT_EQ(f.pg_Bar->geometry(), QRect(5, 6, 385, 16));
}

TEST(ProgressBarTest, CursorComesBackWhenTheWindowGoes) {
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        TFrmProgressBar f;
        f.init(QStringLiteral("Копирование"), 10, true);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        TFrmProgressBar never;  // never shown: the cursor is not touched
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(ProgressBarTest, InMemoryListShowsItsLoadProgress) {
    TFrmProgressBar::install();
    data::MemTable source;
    source.addField(QStringLiteral("ID"), data::DataType::Integer);
    source.open();
    for (int i = 1; i <= 30; ++i) {
        source.append();
        source.fieldByName(QStringLiteral("ID")).setValue(i);
        source.post();
    }
    struct Items : ufb::RxMemWrapper {
        Items() : RxMemWrapper(QStringLiteral("ID")) { addIntegerField(QStringLiteral("ID")); }
    } items;
    int shown = 0;
    ui::setProgressFactory([&](QObject* owner) -> std::unique_ptr<ui::ProgressWindow> {
        ++shown;
        return std::make_unique<TFrmProgressBar>(qobject_cast<QWidget*>(owner));
    });
    items.loadFromDataSet(source, true, QStringLiteral("Загрузка"));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(items.getDataSet()->recordCount(), 30);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ui::setProgressFactory({});
}

}  // namespace
