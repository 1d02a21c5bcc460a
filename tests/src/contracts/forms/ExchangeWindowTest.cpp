#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFrame>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "FormsFixture.h"
#include "f_Exchange.h"
#include "kvF_xlExportGrid.h"
#include "kv_settingsFile.h"
#include "platform/data/Dataset.h"
#include "platform/os/IniFile.h"
#include "platform/os/Shell.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/NumberEdit.h"
#include "tests/support/SpreadsheetCheck.h"
#include "u_Exchange.h"

using namespace formstest;
using core::DateTime;

namespace {

const QString kLocked = QStringLiteral(
    "Изменение курса недоступно, так как были заключены договора или проведены операции с учетом курса.");

class ExchangeWindowTest : public FormsSuite {
protected:
    void SetUp() override {
        FormsSuite::SetUp();
        filial = branch();
        addRate(filial, day(1, 3), 412500);
    }
    int rows(DateTime date) const {
        return scalar(
                   QStringLiteral("select count(*) as V from DIR_EXCHANGE where ID_FILIAL = %1 and DATA = %2")
                       .arg(filial)
                       .arg(lit(date)))
            .toInt();
    }
    static void typeRate(TFExchange& w, const QString& text) {
        w.rxed_Exchange->setFocus();
        w.rxed_Exchange->selectAll();
        QTest::keyClick(w.rxed_Exchange, Qt::Key_Delete);
        QTest::keyClicks(w.rxed_Exchange, text);
    }
    // The space bar, as two quick clicks on one spot would make a double click.
    static void toggle(QCheckBox* box) { QTest::keyClick(box, Qt::Key_Space); }
    int filial = 0;
};

TEST_F(ExchangeWindowTest, LockedByIndexedContractsAndTheirOperationsOfTheBranch) {
    struct Case {
        const char* name;
        std::function<void(int filial, int other)> rows;
        bool locked;
    };
    const std::vector<Case> cases = {
        {"nothing indexed", [](int, int) {}, false},
        {"indexed contract after the day", [](int f, int) { indexedContract(f, day(12, 3), 412500); }, true},
        {"indexed contract on the day", [](int f, int) { indexedContract(f, day(10, 3), 412500); }, true},
        {"indexed contract in another branch", [](int, int o) { indexedContract(o, day(12, 3), 412500); },
         false},
        {"plain contract after the day", [](int f, int) { indexedContract(f, day(12, 3), 0, false); }, false},
        {"indexed contract before the day with an operation after it",
         [](int f, int) {
             newOperation(indexedContract(f, day(2, 3), 412500), {.date = day(11, 3), .sum = 100});
         },
         true},
        {"indexed contract before the day with an operation before it",
         [](int f, int) {
             newOperation(indexedContract(f, day(2, 3), 412500), {.date = day(9, 3), .sum = 100});
         },
         false},
    };
    const int freeHeight = TFExchange(nullptr, day(10, 3), branch()).height();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int own = branch();
        c.rows(own, branch(QStringLiteral("Інша")));
        TFExchange w(nullptr, day(10, 3), own);
        w.fill();
        EXPECT_EQ(w.isLocked(), c.locked);
        EXPECT_EQ(w.bt_Ok->isEnabled(), !c.locked);
        EXPECT_EQ(w.rxed_Exchange->isReadOnly(), c.locked);
        EXPECT_EQ(w.p_Warrnings->isVisibleTo(&w), c.locked);
        if (c.locked) EXPECT_EQ(w.l_Warrning->text(), kLocked);
        // The window grows by the message panel.
        EXPECT_EQ(w.height() > freeHeight, c.locked);
    }
}

TEST_F(ExchangeWindowTest, OkRefusesRatesOfZeroOrLessAndStoresAPositiveOne) {
    for (const QString& bad : {QStringLiteral("0"), QStringLiteral("-1"), QString()}) {
        SCOPED_TRACE(bad.toStdString());
        boxes.shown.clear();
        bool stillOpen = false;
        tolvtest::onModal<TFExchange>([&](TFExchange& w) {
            typeRate(w, bad);
            QTest::mouseClick(w.bt_Ok, Qt::LeftButton);
            stillOpen = w.isVisible();
            QTest::mouseClick(w.bt_Cancel, Qt::LeftButton);
        });
        EXPECT_EQ(TFExchange::scExecute(filial, day(10, 3)), ui::ModalResult::Cancel);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(boxes.texts(), QStringList{"Курс доллара должен быть больше нуля"});
        EXPECT_EQ(rows(day(10, 3)), 0);
    }
    // The edit shows the rate in force (carried from 01.03); Enter stores the typed one.
    tolvtest::onModal<TFExchange>([](TFExchange& w) {
        EXPECT_EQ(w.rxed_Exchange->text(), "41.2500");
        EXPECT_EQ(w.l_DateVal->text(), "10.03.2009");
        typeRate(w, "41,3");
        QTest::keyClick(w.rxed_Exchange, Qt::Key_Return);
    });
    EXPECT_EQ(TFExchange::scExecute(filial, day(10, 3)), ui::ModalResult::Ok);
    EXPECT_EQ(TolvLogic::TExchangeInfo(filial, day(10, 3))
                  .getValue(TolvLogic::TExchangeInfo::eUSD_EXCHANGE)
                  .toInt(),
              413000);
    // A second time the day's own row is updated, not doubled.
    tolvtest::onModal<TFExchange>([](TFExchange& w) {
        EXPECT_EQ(w.rxed_Exchange->text(), "41.3000");
        typeRate(w, "42");
        QTest::mouseClick(w.bt_Ok, Qt::LeftButton);
    });
    TFExchange::scExecute(filial, day(10, 3));
    EXPECT_EQ(rows(day(10, 3)), 1);
}

TEST_F(ExchangeWindowTest, HistoryPartHidesAndComesBackAtItsSize) {
    TFExchange w(nullptr, day(10, 3), filial);
    w.fill();
    w.show();
    // Nothing remembered: the history starts hidden and the window at its minimum width.
    EXPECT_FALSE(w.chbx_ExchangeHistory->isChecked());
    EXPECT_FALSE(w.p_History->isVisible());
    EXPECT_EQ(w.width(), TFExchange::kDesignWidth);
    const QSize small = w.size();
    toggle(w.chbx_ExchangeHistory);
    EXPECT_TRUE(w.p_History->isVisible());
    EXPECT_EQ(w.size(), QSize(TFExchange::kDesignWidth, TFExchange::kDesignHeight));
    EXPECT_GE(w.p_History->height(), 200);

    w.resize(500, 600);
    const QSize big = w.size();
    toggle(w.chbx_ExchangeHistory);
    EXPECT_FALSE(w.p_History->isVisible());
    EXPECT_EQ(w.size(), small);
    EXPECT_EQ(w.maximumSize(), small);
    toggle(w.chbx_ExchangeHistory);
    EXPECT_EQ(w.size(), big);
    EXPECT_GT(w.maximumHeight(), 10000);
}

TEST_F(ExchangeWindowTest, MonthChoicePeriodReloadAndShading) {
    addRate(filial, day(10, 2), 400000);
    TFExchange w(nullptr, day(10, 3), filial);
    w.fill();
    EXPECT_EQ(w.cBx_Month->currentText(), "Март");
    EXPECT_EQ(w.deBeg->date(), QDate(2009, 3, 1));
    EXPECT_EQ(w.deEnd->date(), QDate(2009, 3, 31));
    data::Dataset& table = *w.history().getDataSet();
    EXPECT_EQ(table.recordCount(), 31);
    EXPECT_EQ(table.fieldByName("DATA").asDateTime(), day(10, 3));  // stands on the window's day

    w.cBx_Month->setFocus();
    QTest::keyClick(w.cBx_Month, Qt::Key_Up);
    EXPECT_EQ(w.deBeg->date(), QDate(2009, 2, 1));
    EXPECT_EQ(w.deEnd->date(), QDate(2009, 2, 28));
    EXPECT_EQ(table.recordCount(), 31);  // only "Отобразить" reloads
    EXPECT_EQ(w.bt_Show->text(), "Отобразить");
    QTest::mouseClick(w.bt_Show, Qt::LeftButton);
    EXPECT_EQ(table.recordCount(), 28);
    table.first();
    EXPECT_EQ(table.fieldByName("DATA").asDateTime(), day(1, 2));
    // The day with its own rate in black, the others grey.
    const auto colour = [&w](int row) {
        return w.greh_ExchangeHistory->model()
            ->index(row, 1)
            .data(Qt::ForegroundRole)
            .value<QBrush>()
            .color();
    };
    EXPECT_EQ(colour(9), QColor(Qt::black));
    EXPECT_EQ(colour(10), QColor(0x80, 0x80, 0x80));
}

TEST_F(ExchangeWindowTest, ExportWritesTheHistoryAndKeepsThePosition) {
    QStringList opened;
    os::setOpenHandler([&opened](const QString& path) {
        opened << path;
        return true;
    });
    TFExchange w(nullptr, day(3, 3), filial);
    w.fill();
    data::Dataset& table = *w.history().getDataSet();
    ASSERT_EQ(table.fieldByName("DATA").asDateTime(), day(3, 3));
    tolvtest::onModal<ufb::TF_xlExportGrid>(
        [](ufb::TF_xlExportGrid& d) { QTest::mouseClick(d.b_Ok, Qt::LeftButton); });
    QTest::mouseClick(w.bt_ExpToExcel, Qt::LeftButton);
    os::setOpenHandler({});
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(' ').toStdString();
    EXPECT_EQ(table.fieldByName("DATA").asDateTime(), day(3, 3));

    ASSERT_EQ(opened.size(), 1);
    const QFileInfo file(opened[0]);
    EXPECT_EQ(file.absolutePath(), QDir(os::programDir()).filePath("out"));
    EXPECT_TRUE(QRegularExpression("^exchangeList\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.xlsx$")
                    .match(file.fileName())
                    .hasMatch())
        << file.fileName().toStdString();
    const QJsonObject cells = tolvtest::openpyxlDump(opened[0])["sheets"][0]["cells"].toObject();
    const auto text = [&cells](const char* cell) { return cells[cell].toArray()[0].toString(); };
    EXPECT_EQ(text("A1"), "Дата");
    EXPECT_EQ(text("B1"), "Значение");
    EXPECT_EQ(text("A2"), "01.03.2009");
    EXPECT_EQ(text("B2"), "41.2500");
    EXPECT_EQ(text("A32"), "31.03.2009");
    EXPECT_EQ(text("B32"), "41.2500");
    EXPECT_FALSE(cells.contains("A33"));
}

TEST_F(ExchangeWindowTest, ClosingRemembersTheHistoryChoiceAndSize) {
    const os::IniFile ini(utl::SettingsFile::userIniFileName());
    {
        tolvtest::onModal<TFExchange>([](TFExchange& w) {
            toggle(w.chbx_ExchangeHistory);
            w.resize(420, 520);
            QTest::mouseClick(w.bt_Cancel, Qt::LeftButton);
        });
        TFExchange::scExecute(filial, day(10, 3));
    }
    EXPECT_TRUE(ini.readBool("FExchange", "chbx_ExchangeHistory->Checked", false));
    EXPECT_EQ(ini.readInt("FExchange", "Width", 0), 420);
    EXPECT_EQ(ini.readInt("FExchange", "Height", 0), 520);
    EXPECT_TRUE(ini.valueExists("FExchange", "FExchange_greh_ExchangeHistory.DATA") ||
                ini.sectionExists("FExchange_greh_ExchangeHistory"));

    TFExchange again(nullptr, day(10, 3), filial);
    EXPECT_TRUE(again.chbx_ExchangeHistory->isChecked());
    EXPECT_EQ(again.size(), QSize(420, 520));
}

TEST_F(ExchangeWindowTest, UkrainianTextsAndALongBranchName) {
    ui::Form::setLanguage(ui::kLanguageUkrainian);
    indexedContract(filial, day(12, 3), 412500);
    // As long as the directory keeps: more than the header's two lines.
    const QString name =
        QStringLiteral("Відділення з дуже довгою назвою, що не вміщується у два рядки заголовка вікна");
    ASSERT_LE(name.size(), 80);
    udb::execSql(QStringLiteral("update DIR_FILIAL set NAME = %1 where ID = %2").arg(lit(name)).arg(filial));
    TFExchange w(nullptr, day(10, 3), filial);
    const int before = w.height();
    w.fill();
    EXPECT_EQ(w.windowTitle(), "Курс долара США");
    EXPECT_EQ(w.l_Warrning->text(),
              "Не можна змінити курс, тому що були укладені договори чи проведені операції з обліком курсу.");
    EXPECT_EQ(w.cBx_Month->itemText(0), "Січень");
    EXPECT_TRUE(w.l_FilialName->text().endsWith("..."));
    EXPECT_TRUE(w.l_FilialName->text().startsWith(
        QStringLiteral("%1 - Відділення")
            .arg(scalar(QStringLiteral("select NUMBER as V from DIR_FILIAL where ID = %1").arg(filial))
                     .toInt())));
    EXPECT_GT(w.height(), before);
}

}  // namespace
