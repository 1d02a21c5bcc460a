// The cash book window driven as a cashier would: balances of the day, the date and branch choice,
// adding, editing and deleting orders, the register window and the printing it reaches through what
// the other layers install.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "CashBook.h"
#include "PenaltyDirectories.h"
#include "PenaltyWarrants.h"
#include "WarrantEdit.h"
#include "f_CashBook.h"
#include "kv_FbDbIni.h"
#include "u_filials.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/os/IniFile.h"
#include "platform/ui/ButtonEdit.h"
#include "platform/ui/CurrencyEdit.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/LookupCombo.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/src/cash/CashCalc.h"

using namespace cashtest;
using contracttest::newBranch;
using core::Variant;
using TolvLogic::CashPrintEvent;

namespace {

QString eventText(const CashPrintEvent& e) {
    QStringList parts{e.code};
    for (const Variant& v : e.params) parts << v.toText();
    return parts.join(u'|');
}

// Records what the window asks to print; a chosen code is filled as the menu click would.
class RecordingPrinting : public CashPrinting {
public:
    void showMenu(const QStringList& codes, const FillRequest& fill, QMenu* popup, QWidget* control) override {
        menus.push_back(codes);
        controls.push_back(control);
        EXPECT_NE(popup, nullptr);
        if (!choose.isEmpty()) fill(choose, QStringLiteral("Мой шаблон"));
    }
    void fillParams(const CashPrintEvent& event) override { filled.push_back(eventText(event)); }
    std::vector<QStringList> menus;
    std::vector<QWidget*> controls;
    QStringList filled;
    QString choose;
};

class CashBookWindowTest : public CalcSuite {
protected:
    void SetUp() override {
        CalcSuite::SetUp();
        ui::Form::setLanguage(ui::kLanguageRussian);
        previousPrinting_ = TFCashBook::setCashPrinting(&printing);
        previousOpener_ = TFCashBook::setRegisterOpener([this](int id) { opened.push_back(id); });
    }
    void TearDown() override {
        TFCashBook::setCashPrinting(previousPrinting_);
        TFCashBook::setRegisterOpener(previousOpener_);
        for (const char* name : {"groupAutoOrdersInRegister", "CanAgentSeeCashDate", "WarrantCalculationMethod"})
            udb::execSql(QStringLiteral("delete from INI where NAME = '%1'").arg(QLatin1String(name)));
        udb::dbIniDropCache();
        CalcSuite::TearDown();
    }
    // The case-1 day on 15.03.2024 with a manual receipt of 1000.00 and an expense of 300.00 the day
    // before; a second branch with the same day and orders of its own.
    void caseOneDay() {
        static int number = 700;
        day1 = summaryDay(++number);
        regenerate(D, day1.c1);
        receipt = manual(day1.branch, d24(14, 3), 0, 100000, "1");
        expense = manual(day1.branch, d24(14, 3), 1, 30000, "1");
        const SummaryDay other = summaryDay(++number);
        regenerate(D, other.c1);
        manual(other.branch, d24(14, 3), 0, 777700, "1");
        manual(other.branch, D, 1, 5500, "2");
        otherBranch = other.branch;
    }
    static int manual(int branch, DateTime date, int type, int sum, const char* number) {
        const int id = newOrder(Order{.date = date, .filialId = branch, .sum = sum, .number = QLatin1String(number)});
        udb::execSql(QStringLiteral("update WARRANTES set W_TYPE = %1, OPERATION_SUBJECT = 'Іванов', FOUNDATION = "
                                    "'Внесок' where ID = %2")
                         .arg(type)
                         .arg(id));
        return id;
    }
    std::unique_ptr<TFCashBook> window(int branch, DateTime date) {
        auto w = std::make_unique<TFCashBook>();
        w->combo_FilialFilter->setKeyValue(branch);
        w->de_Date->setDate(date);
        return w;
    }
    static QStringList sums(const TFCashBook& w) {
        return {w.ce_Reminder->text(), w.ce_CarryingReceipt->text(), w.ce_CarryingExpense->text(),
                w.ce_Reminder2->text()};
    }
    static data::Dataset& rows(const TFCashBook& w) { return *w.sheet()->getDataSet(); }
    // Makes the row whose field holds the value current, as a click on it does.
    static void select(TFCashBook& w, const QString& field, const Variant& value) {
        ASSERT_TRUE(rows(w).locate(field, value)) << value.toText().toStdString();
        w.grid_CashBookCellClick();
    }
    static int currentId(const TFCashBook& w) { return rows(w).fieldByName(QStringLiteral("ID")).asInteger(); }

    const DateTime D = d24(15, 3);
    SummaryDay day1{};
    int receipt = 0, expense = 0, otherBranch = 0;
    RecordingPrinting printing;
    std::vector<int> opened;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};

private:
    CashPrinting* previousPrinting_ = nullptr;
    TFCashBook::RegisterOpener previousOpener_;
};

TEST_F(CashBookWindowTest, BalancesOfTheBranchAndDayAndTheDateSpin) {
    caseOneDay();
    auto w = window(day1.branch, D);
    const QStringList expected{"700.00", "529.50", "600.00", "629.50"};
    EXPECT_EQ(sums(*w), expected);
    EXPECT_EQ(rows(*w).recordCount(), 5);
    // The other branch's orders of both days change none of them.
    w->combo_FilialFilter->setKeyValue(otherBranch);
    EXPECT_EQ(sums(*w), (QStringList{"7 777.00", "529.50", "655.00", "7 651.50"}));
    w->combo_FilialFilter->setKeyValue(day1.branch);
    EXPECT_EQ(sums(*w), expected);

    // The top arrow goes a day back, the bottom one a day forward.
    QTest::mouseClick(w->sb_DateTop, Qt::LeftButton);
    EXPECT_EQ(w->de_Date->date(), d24(14, 3));
    EXPECT_EQ(sums(*w), (QStringList{"0.00", "1 000.00", "300.00", "700.00"}));
    QTest::mouseClick(w->sb_DateBottom, Qt::LeftButton);
    QTest::mouseClick(w->sb_DateBottom, Qt::LeftButton);
    EXPECT_EQ(w->de_Date->date(), d24(16, 3));
    EXPECT_EQ(sums(*w), (QStringList{"629.50", "0.00", "0.00", "629.50"}));

    // A method of days neither summary nor detailed makes no calculation object: the sums still show.
    udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("WarrantCalculationMethod"), 3);
    udb::dbIniDropCache();
    w->de_Date->setDate(D);
    EXPECT_EQ(sums(*w), expected);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_F(CashBookWindowTest, ImportedBranchLocksTheActionsAndTheDateFollowsTheRight) {
    caseOneDay();
    const int imported = newBranch(791, QStringLiteral("Імпорт"), true);
    manual(imported, D, 0, 100, "1");
    auto w = window(imported, D);
    ASSERT_EQ(rows(*w).recordCount(), 1);
    for (QPushButton* b : {w->bt_Add, w->btn_Edit, w->btn_Delete}) EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    w->combo_FilialFilter->setKeyValue(day1.branch);
    for (QPushButton* b : {w->bt_Add, w->btn_Edit, w->btn_Delete}) EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    w->combo_FilialFilter->setKeyValue(0);
    EXPECT_TRUE(w->bt_Add->isEnabled());
    EXPECT_FALSE(w->btn_Edit->isEnabled());  // nothing listed without a branch

    // An agent without the right sees only the day given; with it, or as a manager, any day.
    for (const bool allowed : {false, true}) {
        udb::dbIniWrite(QStringLiteral("PERMISSION"), QStringLiteral("CanAgentSeeCashDate"), allowed ? 1 : 0);
        udb::dbIniDropCache();
        bool dateEnabled = !allowed;
        bool spinEnabled = !allowed;
        DateTime shown;
        tolvtest::onModal<TFCashBook>([&](TFCashBook& f) {
            dateEnabled = f.de_Date->isEnabled();
            spinEnabled = f.sb_Date->isEnabled();
            shown = f.de_Date->date();
            QTest::mouseClick(f.btn_Close, Qt::LeftButton);
        });
        TFCashBook::scShowCashBook(D);
        EXPECT_EQ(dateEnabled, allowed);
        EXPECT_EQ(spinEnabled, allowed);
        EXPECT_EQ(shown, D);
    }
}

TEST_F(CashBookWindowTest, EditOpensTheDialogOnASummaryDayAndRelocatesTheRow) {
    caseOneDay();
    auto w = window(day1.branch, D);
    const int automatic =
        scalar(QStringLiteral("select ID as V from WARRANTES where ID_FILIAL = %1 and W_DATE = %2 and NUMBER = '12'")
                   .arg(day1.branch)
                   .arg(lit(D)))
            .toInt();
    select(*w, QStringLiteral("ID"), automatic);
    EXPECT_EQ(w->btn_Edit->text(), QStringLiteral("Редактировать"));
    int edited = 0;
    tolvtest::onModal<TFWarrantEdit>([&](TFWarrantEdit& d) {
        edited = d.order().GetField(TolvLogic::WarrantInfo::wID).toInt();
        d.ed_AccountNumber->setText(QStringLiteral("999"));
        QTest::mouseClick(d.bt_AddChange, Qt::LeftButton);
    });
    QTest::mouseClick(w->btn_Edit, Qt::LeftButton);
    EXPECT_EQ(edited, automatic);
    EXPECT_EQ(currentId(*w), automatic);
    EXPECT_EQ(rows(*w).fieldByName(QStringLiteral("ACCOUNT_NUMBER")).asString(), QStringLiteral("999"));

    // Enter in the grid edits too; the dialog left with Cancel changes nothing and the row stays.
    // Showing reloads and stands on the current branch.
    w->show();
    EXPECT_EQ(w->branchId(), TolvLogic::FilialsDir::scGetCurentFilialId(false));
    w->combo_FilialFilter->setKeyValue(day1.branch);
    select(*w, QStringLiteral("ID"), automatic);
    tolvtest::onModal<TFWarrantEdit>([](TFWarrantEdit& d) { QTest::mouseClick(d.bt_Cancel, Qt::LeftButton); });
    QTest::keyClick(w->grid_CashBook, Qt::Key_Return);
    EXPECT_FALSE(QApplication::activeModalWidget());
    EXPECT_EQ(currentId(*w), automatic);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_F(CashBookWindowTest, AddThenDeleteAManualOrderAndTheBalancesFollow) {
    caseOneDay();
    auto w = window(day1.branch, D);
    tolvtest::onModal<TFWarrantEdit>([](TFWarrantEdit& d) {
        d.ce_Sum->setHundredths(2000);
        d.ed_OperationSubject->setText(QStringLiteral("Петров"));
        d.ed_Foundation->setText(QStringLiteral("Внесок"));
        QTest::mouseClick(d.bt_AddChange, Qt::LeftButton);
    });
    QTest::mouseClick(w->bt_Add, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(sums(*w), (QStringList{"700.00", "549.50", "600.00", "649.50"}));
    ASSERT_EQ(rows(*w).recordCount(), 6);

    // An automatic order is refused whatever the answer would be.
    select(*w, QStringLiteral("DOC_NUM"), QStringLiteral("пр. 11"));
    QTest::mouseClick(w->btn_Delete, Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), QStringList{"Невозможно удалить автоматически сформированный документ!"});
    EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);

    // No keeps the order; Yes deletes it and the balances change at once.
    select(*w, QStringLiteral("DOC_NUM"), QStringLiteral("пр. 14"));
    boxes.answers = {ui::ModalResult::No, ui::ModalResult::Yes};
    QTest::mouseClick(w->btn_Delete, Qt::LeftButton);
    EXPECT_EQ(rows(*w).recordCount(), 6);
    QTest::mouseClick(w->btn_Delete, Qt::LeftButton);
    EXPECT_EQ(boxes.texts().mid(1), (QStringList{"Удалить ордер?", "Удалить ордер?"}));
    EXPECT_EQ(rows(*w).recordCount(), 5);
    EXPECT_EQ(sums(*w), (QStringList{"700.00", "529.50", "600.00", "629.50"}));
}

class DetailedWindowTest : public CashBookWindowTest {
protected:
    // The detailed method's repayment on 18.03.2024 gathered in receipt register 3, beside a manual
    // receipt.
    void SetUp() override {
        CashBookWindowTest::SetUp();
        setMethod(2);
        udb::dbIniWrite(QStringLiteral("DEFAULTS"), QStringLiteral("groupAutoOrdersInRegister"), 1);
        udb::dbIniDropCache();
        static int number = 760;
        branch = newBranch(++number, QStringLiteral("Детальна"), false);
        setCounters(branch, 20, 7, 3, 1);
        const int client = contracttest::newClient(QStringLiteral("Петренко П.П."));
        const int contract = contracttest::newContract(
            contracttest::Contract{.clientId = client,
                                   .date = d24(1, 3),
                                   .number = QStringLiteral("1.24.7"),
                                   .filialId = branch,
                                   .depositSum = 100000,
                                   .depositType = TolvLogic::TDepositTypes::scGetIdByCode(QStringLiteral("GOLD"))});
        TolvLogic::TPenaltyOperationInfo pay = operationRecord(day, contract, 20000, 300, 1550);
        TolvLogic::TPenaltyOperations(TolvMain::getZarvelDb(), nullptr).insertOperation(pay, nullptr);
        manualId = manual(branch, day, 0, 5000, "4");
    }
    const DateTime day = d24(18, 3);
    int branch = 0;
    int manualId = 0;
};

TEST_F(DetailedWindowTest, ARegisterRowOpensTheRegisterWindowAndIsNeverDeleted) {
    auto w = window(branch, day);
    ASSERT_EQ(w->dayMethod(), 2);
    select(*w, QStringLiteral("DOC_NUM"), QStringLiteral("Вед.пр.3"));
    const int registerId = currentId(*w);
    EXPECT_EQ(w->btn_Edit->text(), QStringLiteral("Состав"));
    QTest::mouseClick(w->btn_Edit, Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<int>{registerId});
    EXPECT_EQ(currentId(*w), registerId);  // reloaded and found again
    QTest::mouseClick(w->btn_Delete, Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), QStringList{"Невозможно удалить автоматически сформированный документ!"});

    // Without the register window the action says so.
    TFCashBook::setRegisterOpener({});
    QTest::mouseClick(w->btn_Edit, Qt::LeftButton);
    EXPECT_EQ(boxes.texts().last(), QStringLiteral("Окно состава ведомости не подключено"));
    EXPECT_EQ(opened.size(), 1u);

    // In Ukrainian.
    ui::Form::setLanguage(ui::kLanguageUkrainian);
    auto uk = window(branch, day);
    select(*uk, QStringLiteral("DOC_NUM"), QStringLiteral("Вед.пр.3"));
    EXPECT_EQ(uk->btn_Edit->text(), QStringLiteral("Склад"));
    EXPECT_EQ(uk->windowTitle(), QStringLiteral("Касова книга"));
    EXPECT_EQ(uk->lab_Reminder->text(), QStringLiteral("Залишок на початок дня"));
    ui::Form::setLanguage(ui::kLanguageRussian);
}

TEST_F(DetailedWindowTest, PrintingHandsTheRowOrTheBookToTheInstalledPrinting) {
    auto w = window(branch, day);
    const QString date = Variant(day).toText();
    printing.choose = QStringLiteral("CB_WRECEIPT");
    select(*w, QStringLiteral("ID"), manualId);
    QTest::mouseClick(w->btn_Warrs, Qt::LeftButton);
    select(*w, QStringLiteral("DOC_NUM"), QStringLiteral("Вед.пр.3"));
    const int registerId = currentId(*w);
    printing.choose = QStringLiteral("CB_RRECEIPT");
    QTest::mouseClick(w->btn_Warrs, Qt::LeftButton);
    printing.choose = QStringLiteral("CB_CASHBOOK");
    QTest::mouseClick(w->btn_Cash, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'\n').toStdString();
    ASSERT_EQ(printing.menus.size(), 3u);
    EXPECT_EQ(printing.menus[0], QStringList{"CB_WRECEIPT"});
    EXPECT_EQ(printing.menus[1], QStringList{"CB_RRECEIPT"});
    EXPECT_EQ(printing.menus[2], (QStringList{"CB_CASHBOOK", "CB_REGBOOK"}));
    EXPECT_EQ(printing.controls, (std::vector<QWidget*>{w->btn_Warrs, w->btn_Warrs, w->btn_Cash}));
    EXPECT_EQ(printing.filled,
              (QStringList{QStringLiteral("CB_WRECEIPT|%1|-1|-1|0").arg(manualId),
                           QStringLiteral("CB_RRECEIPT|%1").arg(registerId),
                           QStringLiteral("CB_CASHBOOK|%1|%2|%3").arg(date).arg(branch).arg(Variant(true).toText())}));

    // A day without money offers no cash book page; a template of another event is refused by name.
    w->de_Date->setDate(d24(19, 3));
    printing.choose = QStringLiteral("CB_OTHER");
    QTest::mouseClick(w->btn_Cash, Qt::LeftButton);
    EXPECT_EQ(printing.menus.back(), QStringList{"CB_REGBOOK"});
    EXPECT_EQ(boxes.texts(), QStringList{"Невозможно инициализировать параметры события-отчета\n"
                                         "Неизвестный вид события-отчета для переданного шаблона отчета: Мой шаблон"});
    // An empty sheet prints nothing.
    QTest::mouseClick(w->btn_Warrs, Qt::LeftButton);
    EXPECT_EQ(printing.menus.size(), 4u);

    // An order gone meanwhile shows its load error and prints nothing.
    w->de_Date->setDate(day);
    select(*w, QStringLiteral("ID"), manualId);
    udb::execSql(QStringLiteral("delete from WARRANTES where ID = %1").arg(manualId));
    QTest::mouseClick(w->btn_Warrs, Qt::LeftButton);
    EXPECT_EQ(boxes.texts().last(), QStringLiteral("Невозможно загрузить ордер. ID=%1").arg(manualId));
    EXPECT_EQ(printing.menus.size(), 4u);

    // Without the document layer's printing the action says so.
    TFCashBook::setCashPrinting(nullptr);
    QTest::mouseClick(w->btn_Cash, Qt::LeftButton);
    EXPECT_EQ(boxes.texts().last(), QStringLiteral("Печать кассовых документов не подключена"));
}

TEST_F(DetailedWindowTest, ColumnWidthsPersistInTheUsersFile) {
    {
        auto w = window(branch, day);
        w->show();
        w->grid_CashBook->horizontalHeader()->resizeSection(1, 333);
        w->btn_Refresh->click();  // a reload keeps them
        EXPECT_EQ(w->grid_CashBook->horizontalHeader()->sectionSize(1), 333);
        w->close();
    }
    const os::IniFile ini(utl::SettingsFile::userIniFileName());
    EXPECT_FALSE(ini.readString(QStringLiteral("FCashBook_grid_CashBook"), QStringLiteral("DOC_SUBJ"), {}).isEmpty());
    auto again = window(branch, day);
    EXPECT_EQ(again->grid_CashBook->horizontalHeader()->sectionSize(1), 333);
}

}  // namespace
