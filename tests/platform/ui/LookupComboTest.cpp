#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "platform/data/MemTable.h"
#include "platform/ui/LookupCombo.h"

namespace {

void addRow(data::MemTable& table, int id, const QString& name) {
    table.append();
    table[QStringLiteral("ID")].setValue(id);
    table[QStringLiteral("NAME")].setValue(name);
    table.post();
}

struct Branches {
    data::MemTable table;
    Branches() {
        table.addField(QStringLiteral("ID"), data::DataType::Integer);
        table.addField(QStringLiteral("NAME"), data::DataType::String, 30);
        table.open();
        addRow(table, 3, QStringLiteral("Центр"));
        addRow(table, 7, QStringLiteral("Лівий берег"));
    }
};

QStringList items(const QComboBox& combo) {
    QStringList list;
    for (int i = 0; i < combo.count(); ++i) list << combo.itemText(i);
    return list;
}

TEST(LookupComboTest, ListsTheListFieldAndAnswersTheKey) {
    struct Case {
        bool special;
        QStringList texts;
    };
    const Case cases[] = {
        {false, {"Центр", "Лівий берег"}},
        {true, {"Все", "Центр", "Лівий берег"}},
    };
    for (const Case& c : cases) {
        Branches branches;
        branches.table.first();
        ui::LookupCombo combo;
        combo.setKeyField(QStringLiteral("ID"));
        combo.setListField(QStringLiteral("NAME"));
        if (c.special) combo.setSpecialRow(QStringLiteral("Все"), 0);
        combo.setListSource(&branches.table);
        EXPECT_EQ(items(combo), c.texts);
        EXPECT_TRUE(combo.keyValue().isNull());

        combo.setKeyValue(7);
        EXPECT_EQ(combo.currentText(), "Лівий берег");
        EXPECT_EQ(combo.keyValue().toInt(), 7);
        if (c.special) {
            combo.setKeyValue(0);
            EXPECT_EQ(combo.currentText(), "Все");
            EXPECT_EQ(combo.keyValue().toInt(), 0);
        }
        combo.setKeyValue(99);  // not listed
        EXPECT_EQ(combo.currentIndex(), -1);
        EXPECT_TRUE(combo.keyValue().isNull());
        EXPECT_EQ(branches.table.recNo(), 1);  // the dataset's current row untouched
    }
}

TEST(LookupComboTest, FollowsTheDatasetAndKeepsTheChosenKey) {
    Branches branches;
    ui::LookupCombo combo;
    combo.setSpecialRow(QStringLiteral("Все"), 0);
    combo.setKeyField(QStringLiteral("ID"));
    combo.setListField(QStringLiteral("NAME"));
    combo.setListSource(&branches.table);
    combo.setKeyValue(7);
    QSignalSpy spy(&combo, &ui::LookupCombo::keyValueChanged);

    addRow(branches.table, 9, QStringLiteral("Подол"));
    EXPECT_EQ(items(combo), QStringList({"Все", "Центр", "Лівий берег", "Подол"}));
    EXPECT_EQ(combo.keyValue().toInt(), 7);
    EXPECT_EQ(spy.count(), 0);

    branches.table.close();  // the chosen row is gone: nothing chosen, and that is a change
    EXPECT_EQ(items(combo), QStringList({"Все"}));
    EXPECT_TRUE(combo.keyValue().isNull());
    EXPECT_EQ(spy.count(), 1);

    combo.setKeyValue(0);  // the user's choice signals too
    EXPECT_EQ(spy.count(), 2);
}

}  // namespace
