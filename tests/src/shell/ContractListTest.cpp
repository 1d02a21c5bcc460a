// The main window's contract list over the demo database and a few rows of its own: the search panel's
// conditions as the list receives them and as the database answers them, the lists the state filter
// chooses, the reset and the pickers, sorting, the reload after a change, the pause before the
// per-contract work, the enabled states of the actions, the grid gestures and the row colours.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "Book.h"
#include "PenaltyContracts.h"
#include "U_LoggedUser.h"
#include "WinMain.h"
#include "f_Main.h"
#include "kvF_Login.h"
#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "platform/fb/Database.h"
#include "platform/fb/Query.h"
#include "platform/ui/DateEdit.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/Translations.h"
#include "tests/src/shell/ShellFixture.h"
#include "u_ContractListRules.h"
#include "u_VersionConfig.h"

namespace {

using TolvMain::TFMain;

// The fixture's own rows, beside the demo contracts (ids below 9000):
// 9001 a client "Олексійченко Ігор"; branch 3;
// 9101 closed, archived and imported (client "Олексій Імпортний"), 9102 open and long overdue in
// branch 3, 9103 on sale in an act between warehouses, 9104 on sale in an imported act, 9105 sold
// and in a parcel's act, 9106 open in the act between warehouses with one operation.
QStringList fixtureRows() {
    const QString contract = QStringLiteral(
        "insert into PENALTY_CONTRACTS (CONTRACT_ID, CLIENT_ID, AGENT_ID, CONTRACT_DATE, CONTRACT_STATE, "
        "CONTRACT_NUM, FILIAL_ID, IS_ARCHIVE) select %1, 9001, AGENT_ID, current_date - %2, %3, '%4', %5, %6 "
        "from AGENTS where AGENT_LOGIN = 'MANAGER'");
    const QString terms = QStringLiteral(
        "insert into PENALTY_DEPOSITS (CONTRACT_ID, DEPOSIT_SUM, PENALTY_DAYS, DEPOSIT_PERC, PENALTY_PERC, "
        "MIN_ACCRUAL_DAYS) values (%1, 100000, 30, 1500, 100, 30)");
    const QString own = QStringLiteral("(select ID from DIR_FILIAL where IS_CURENT = 1)");
    QStringList rows = {
        QStringLiteral(
            "insert into DIR_FILIAL (ID, NUMBER, NAME, IS_IMPORT, IS_CURENT) values (3, 3, 'Третя', 0, 0)"),
        QStringLiteral("insert into CLIENTS (CLIENT_ID, CLIENT_NAME) values (9001, 'Олексійченко Ігор')"),
    };
    const struct {
        int id, daysAgo, state;
        const char* number;
        bool ownBranch, archived;
    } contracts[] = {{9101, 200, 1, "9.01", true, true}, {9102, 100, 0, "9.02", false, false},
                     {9103, 90, 3, "9.03", true, false}, {9104, 90, 3, "9.04", true, false},
                     {9105, 90, 2, "9.05", true, false}, {9106, 20, 0, "9.06", true, false}};
    for (const auto& c : contracts) {
        rows << contract.arg(c.id)
                    .arg(c.daysAgo)
                    .arg(c.state)
                    .arg(QString::fromLatin1(c.number))
                    .arg(c.ownBranch ? own : QStringLiteral("3"))
                    .arg(c.archived ? 1 : 0)
             << terms.arg(c.id);
    }
    rows
        << QStringLiteral(
               "insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME, AGENT_NAME) "
               "values (9101, 'Олексій Імпортний', 'Агент з філії')")
        << QStringLiteral("insert into PARCEL (ID, NUM_PARCEL) values (1, 'П-1')")
        << QStringLiteral("insert into ACT (ID, NUM, ID_WARE_FROM, ID_WARE_TO) values (91, 'А-91', 1, 2)")
        << QStringLiteral("insert into ACT (ID, NUM, ID_WARE_FROM, ID_WARE_TO) values (92, 'А-92', null, 2)")
        << QStringLiteral(
               "insert into ACT (ID, NUM, ID_WARE_FROM, ID_WARE_TO, ID_PARCEL) values (93, 'А-93', 1, 2, 1)");
    const std::pair<int, int> inActs[] = {{9103, 91}, {9104, 92}, {9105, 93}, {9106, 91}};
    for (const auto& [contractId, actId] : inActs)
        rows << QStringLiteral("insert into ACT_SUBJ (ID, ID_ACT, ID_CONTRACT) values (%1, %2, %1)")
                    .arg(contractId)
                    .arg(actId);
    rows << QStringLiteral(
        "insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_DATE) "
        "values (gen_id(GEN_OPERATIONS_ID, 1), 9106, 0, 15000, current_date - 5)");
    return rows;
}

class ContractListTest : public tolvtest::MainWindowFixture {
protected:
    void SetUp() override {
        folder.withDemoDatabase();
        tolvtest::runAsAdministrator(folder.filePath(QStringLiteral("tolvanix.fdb")), fixtureRows());
        makeWindow();
    }
    void login(const QString& name) {
        ASSERT_TRUE(main->loginDialog.checkUser(name, QStringLiteral("any")));
        main->applyRights();
        main->createGlobalLists();
    }
    // The panel showing every contract of every branch.
    void showEverything() {
        main->resetFilterPanel();
        main->cb_contrFilter->setCurrentIndex(0);
        main->chBx_showArchive->setChecked(true);
    }
    data::Dataset& shown() { return *main->ContractsDS->dataSet(); }
    QList<int> shownIds() {
        QList<int> ids;
        data::Dataset& ds = shown();
        ds.fetchAll();
        for (int row = 0; row < ds.recordCount(); ++row)
            ids << ds.valueAt(row, ds.fieldByName(QStringLiteral("CONTRACT_ID")).index()).toInt();
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    QStringList shownClients() {
        QStringList names;
        data::Dataset& ds = shown();
        ds.fetchAll();
        for (int row = 0; row < ds.recordCount(); ++row)
            names << ds.valueAt(row, ds.fieldByName(QStringLiteral("CLIENT_NAME")).index()).toText();
        names.removeDuplicates();
        names.sort();
        return names;
    }
    static QList<int> idsOf(const QString& where) {
        ufb::AutoQuery q(QStringLiteral("select CONTRACT_ID from PENALTY_CONTRACTS C where ") + where +
                             QStringLiteral(" order by 1"),
                         nullptr);
        q->open();
        QList<int> ids;
        for (; !q->eof(); q->next()) ids << q->field(0)->asInteger();
        return ids;
    }
    static int scalar(const QString& sql) {
        ufb::AutoQuery q(sql, nullptr);
        q->open();
        return q->field(0)->asInteger();
    }
    // Moves to the contract's row; false when the grid does not show it.
    bool select(int contractId) { return shown().locate(QStringLiteral("CONTRACT_ID"), contractId); }
    // The pause ends: the timer fires once.
    void firePause() {
        ASSERT_TRUE(main->timeForCalcPercents->isActive());
        ASSERT_TRUE(QMetaObject::invokeMethod(main->timeForCalcPercents, "timeout"));
    }
    QStringList enabledContractActions() {
        QStringList names;
        for (const TolvMain::ActionState& s : TolvMain::contractActionStates({}))
            if (main->action(s.name)->isEnabled()) names << s.name;
        return names;
    }
};

TEST_F(ContractListTest, ThePanelReachesTheListOnlyThroughItsFilters) {
    login(QStringLiteral("MANAGER"));
    const int ivanenko = scalar(
        QStringLiteral("select CLIENT_ID from CLIENTS where CLIENT_NAME = 'Іваненко Петро Миколайович'"));
    const int cashier = scalar(QStringLiteral("select AGENT_ID from AGENTS where AGENT_LOGIN = 'KASSA1'"));
    TFMain& w = *main;
    const struct {
        const char* name;
        std::function<void()> set;
        QString condition;
    } cases[] = {
        {"nothing", [] {}, QString()},
        {"the example",
         [&] {
             w.NumFilterEdit->setText(QStringLiteral(" 1.24 "));
             w.FIOFilterEdit->setText(QStringLiteral("олексій"));
             w.cb_contrFilter->setCurrentIndex(2);
             w.combo_FilialFilter->setKeyValue(3);
             w.chBx_showArchive->setChecked(false);
         },
         // "ОЛЕКСІЙ" finds the client and the imported contract; a small "і" would have found neither.
         QStringLiteral("upper(C.CONTRACT_NUM) like '1.24%' and C.CLIENT_ID in (9001) or C.CONTRACT_ID in "
                        "(9101) and C.CONTRACT_STATE = '1' and C.FILIAL_ID = '3' and C.IS_ARCHIVE = '0'")},
        {"a picked client",
         [&] {
             w.FIOFilterEdit->setText(QStringLiteral("Іваненко Петро Миколайович"));
             w.clientFilterId = ivanenko;
         },
         QStringLiteral("C.CLIENT_ID = %1").arg(ivanenko)},
        {"an agent's text, as typed", [&] { w.AgentFilterEdit->setText(QStringLiteral("О'Брайен")); },
         QStringLiteral("(A.AGENT_NAME like '%О''Брайен%' or I.agent_name like '%О''Брайен%')")},
        {"a picked agent",
         [&] {
             w.AgentFilterEdit->setText(QStringLiteral("Петренко Оксана Ігорівна"));
             w.agentFilterId = cashier;
         },
         QStringLiteral("C.AGENT_ID = %1").arg(cashier)},
        {"a date", [&] { w.DateFilterEdit->setText(QStringLiteral("05.03.2024")); },
         QStringLiteral("C.CONTRACT_DATE = '2024-03-05'")},
        {"the empty date mask", [&] { w.DateFilterEdit->setText(ui::DateEdit::emptyText()); }, QString()},
        {"open", [&] { w.cb_contrFilter->setCurrentIndex(1); }, QStringLiteral("C.CONTRACT_STATE = '0'")},
        {"closed", [&] { w.cb_contrFilter->setCurrentIndex(2); }, QStringLiteral("C.CONTRACT_STATE = '1'")},
        {"on sale", [&] { w.cb_contrFilter->setCurrentIndex(3); }, QStringLiteral("C.CONTRACT_STATE = '3'")},
        {"sold", [&] { w.cb_contrFilter->setCurrentIndex(4); }, QStringLiteral("C.CONTRACT_STATE = '2'")},
        {"with a deferral application", [&] { w.cb_contrFilter->setCurrentIndex(6); },
         QStringLiteral("z.date_to IS NOT NULL")},
        {"a branch", [&] { w.combo_FilialFilter->setKeyValue(3); }, QStringLiteral("C.FILIAL_ID = '3'")},
        {"archive hidden", [&] { w.chBx_showArchive->setChecked(false); },
         QStringLiteral("C.IS_ARCHIVE = '0'")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        showEverything();
        c.set();
        w.bt_Search->click();
        EXPECT_EQ(TolvMain::globalVersionConfig->getContracts()->extraFilter(), c.condition);
        EXPECT_TRUE(shown().active());
    }
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(ContractListTest, TypedTextsFindWhatTheyNameAndNothingElse) {
    login(QStringLiteral("MANAGER"));
    const QString demyanenko = QStringLiteral("Дем'яненко Олександра Вікторівна");
    const struct {
        const char* client;
        const char* agent;
        QStringList found;
    } cases[] = {
        {"Дем'я", "", {demyanenko}},
        {"іван",
         "",
         {QStringLiteral("Іваненко Петро Миколайович"), QStringLiteral("Коваленко Марія Іванівна")}},
        // Typed wildcards stay wildcards.
        {"Дем_я", "", {demyanenko}},
        {"x' or '1'='1", "", {}},
        {"", "О'Брайен", {}},
        {"", "Петренко", {}},  // the cashier's contracts, counted below
        {"", "петренко", {}},  // the agent's name is matched as typed
        {"олексій", "", {QStringLiteral("Олексій Імпортний"), QStringLiteral("Олексійченко Ігор")}},
    };
    const int cashierContracts = scalar(QStringLiteral(
        "select count(*) from PENALTY_CONTRACTS C join AGENTS A on A.AGENT_ID = C.AGENT_ID where "
        "A.AGENT_LOGIN = 'KASSA1'"));
    ASSERT_GT(cashierContracts, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.client + std::string("|") + c.agent);
        showEverything();
        main->FIOFilterEdit->setText(QString::fromUtf8(c.client));
        main->AgentFilterEdit->setText(QString::fromUtf8(c.agent));
        QTest::keyClick(main->NumFilterEdit, Qt::Key_Return);
        ASSERT_TRUE(shown().active());
        if (QString::fromUtf8(c.agent) == QStringLiteral("Петренко"))
            EXPECT_EQ(shownIds().size(), cashierContracts);
        else
            EXPECT_EQ(shownClients(), c.found);
    }
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(ContractListTest, EachStateItemListsItsContracts) {
    login(QStringLiteral("MANAGER"));
    const struct {
        int item;
        QString where;
    } cases[] = {
        {0, QStringLiteral("C.IS_ARCHIVE = 0")},
        {1, QStringLiteral("C.CONTRACT_STATE = 0 and C.IS_ARCHIVE = 0")},
        {2, QStringLiteral("C.CONTRACT_STATE = 1 and C.IS_ARCHIVE = 0")},
        {3, QStringLiteral("C.CONTRACT_STATE = 3 and C.IS_ARCHIVE = 0")},
        {4, QStringLiteral("C.CONTRACT_STATE = 2 and C.IS_ARCHIVE = 0")},
        {6, QStringLiteral("exists (select 1 from ZAYAVLENIYA Z where Z.CONTRACT_ID = C.CONTRACT_ID and "
                           "Z.DATE_TO is not null) and C.IS_ARCHIVE = 0")},
        {7, QStringLiteral("exists (select 1 from ACT_SUBJ S where S.ID_CONTRACT = C.CONTRACT_ID)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        main->resetFilterPanel();
        main->cb_contrFilter->setCurrentIndex(c.item);
        main->bt_Search->click();
        const QList<int> expected = idsOf(c.where);
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(shownIds(), expected);
    }
    EXPECT_EQ(main->contractGridSuffix(), QStringLiteral("_contractsInAct"));
}

TEST_F(ContractListTest, TheDebtorsShowUnderTheirOwnLayoutAndTheOpenOnesGetTheirsBack) {
    login(QStringLiteral("MANAGER"));
    auto widthOf = [&](const char* field) {
        for (const grid::Column& c : main->gr_Contracts->columns())
            if (c.fieldName == QLatin1String(field)) return c.width;
        return -1;
    };
    auto setWidth = [&](const char* field, int width) {
        for (std::size_t i = 0; i < main->gr_Contracts->columns().size(); ++i)
            if (main->gr_Contracts->columns()[i].fieldName == QLatin1String(field))
                main->gr_Contracts->column(static_cast<int>(i)).width = width;
        main->gr_Contracts->columnsChanged();
    };
    main->resetFilterPanel();
    main->bt_Search->click();
    EXPECT_EQ(main->contractGridSuffix(), QStringLiteral("_contracts"));
    setWidth("CONTRACT_NUM", 123);

    main->cb_contrFilter->setCurrentIndex(5);
    main->bt_Search->click();
    EXPECT_EQ(main->contractGridSuffix(), QStringLiteral("_debitors"));
    TolvLogic::TPenaltyDebitors& debtors = *TolvMain::globalVersionConfig->getDebitors();
    EXPECT_EQ(debtors.getDebtDate(), main->workDate());
    EXPECT_TRUE(shownIds().contains(9102));
    EXPECT_FALSE(shownIds().contains(9106));
    for (int id : shownIds()) EXPECT_EQ(idsOf(QStringLiteral("C.CONTRACT_STATE = 0")).count(id), 1) << id;
    EXPECT_NE(widthOf("CONTRACT_NUM"), 123);
    setWidth("CONTRACT_NUM", 77);

    main->cb_contrFilter->setCurrentIndex(1);
    main->bt_Search->click();
    EXPECT_EQ(main->contractGridSuffix(), QStringLiteral("_contracts"));
    EXPECT_EQ(widthOf("CONTRACT_NUM"), 123);
    main->cb_contrFilter->setCurrentIndex(5);
    main->bt_Search->click();
    EXPECT_EQ(widthOf("CONTRACT_NUM"), 77);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(ContractListTest, AReloadOfTheBoundListDropsADeletedContractEvenFromTheDebtors) {
    login(QStringLiteral("MANAGER"));
    main->resetFilterPanel();
    main->cb_contrFilter->setCurrentIndex(5);
    main->bt_Search->click();
    ASSERT_TRUE(shownIds().contains(9102));
    {
        ufb::AutoQuery q(QStringLiteral("delete from PENALTY_DEPOSITS where CONTRACT_ID = 9102"), nullptr);
        q->execSql();
        q->setSql(QStringLiteral("delete from PENALTY_CONTRACTS where CONTRACT_ID = 9102"));
        q->execSql();
        q->transaction()->commit();
    }
    main->reloadAtContract(-1);
    EXPECT_EQ(main->contractGridSuffix(), QStringLiteral("_debitors"));
    EXPECT_FALSE(shownIds().contains(9102));

    // With a contract: just that contract, in the contract list, whatever the filter shows.
    main->reloadAtContract(9106);
    EXPECT_EQ(main->contractGridSuffix(), QStringLiteral("_contracts"));
    EXPECT_EQ(shownIds(), QList<int>{9106});
    EXPECT_EQ(main->OpsDS->dataSet()->recordCount(), 1);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(ContractListTest, TheResetChangesThePanelOnlyAndThePickersSetTextThenKey) {
    login(QStringLiteral("MANAGER"));
    TFMain& w = *main;
    w.NumFilterEdit->setText(QStringLiteral("1.2"));
    w.bt_Search->click();
    const QString condition = TolvMain::globalVersionConfig->getContracts()->extraFilter();
    QSignalSpy reloads(&shown(), &data::Dataset::layoutReset);
    w.FIOFilterEdit->setText(QStringLiteral("x"));
    w.AgentFilterEdit->setText(QStringLiteral("y"));
    w.DateFilterEdit->setText(QStringLiteral("01.02.2024"));
    w.combo_FilialFilter->setKeyValue(3);
    w.cb_contrFilter->setCurrentIndex(4);
    w.chBx_showArchive->setChecked(true);
    w.clientFilterId = 5;
    w.agentFilterId = 6;
    w.bt_DefaultFilter->click();
    EXPECT_TRUE(w.NumFilterEdit->text().isEmpty());
    EXPECT_TRUE(w.FIOFilterEdit->text().isEmpty());
    EXPECT_TRUE(w.AgentFilterEdit->text().isEmpty());
    EXPECT_TRUE(w.DateFilterEdit->isEmpty());
    EXPECT_EQ(w.combo_FilialFilter->keyValue().toInt(), 0);
    EXPECT_EQ(w.cb_contrFilter->currentIndex(), 1);
    EXPECT_FALSE(w.chBx_showArchive->isChecked());
    EXPECT_EQ(w.clientFilterId, -1);
    EXPECT_EQ(w.agentFilterId, -1);
    EXPECT_EQ(reloads.count(), 0);
    EXPECT_EQ(TolvMain::globalVersionConfig->getContracts()->extraFilter(), condition);

    // The client picker, positioned on the typed name, then on the picked key.
    const int ivanenko = scalar(
        QStringLiteral("select CLIENT_ID from CLIENTS where CLIENT_NAME = 'Іваненко Петро Миколайович'"));
    w.FIOFilterEdit->setText(QStringLiteral("Іваненко Петро Миколайович"));
    tolvtest::onModal<ufb::TBookForm>([](ufb::TBookForm& book) { book.btn_OK->click(); });
    w.bt_Client->click();
    EXPECT_EQ(w.FIOFilterEdit->text(), QStringLiteral("Іваненко Петро Миколайович"));
    EXPECT_EQ(w.clientFilterId, ivanenko);
    int positioned = 0;
    tolvtest::onModal<ufb::TBookForm>([&](ufb::TBookForm& book) {
        positioned = book.DataSource1.dataSet()->fieldByName(QStringLiteral("CLIENT_ID")).asInteger();
        book.bt_Cancel->click();
    });
    w.bt_Client->click();
    EXPECT_EQ(positioned, ivanenko);
    EXPECT_EQ(w.clientFilterId, ivanenko);  // a cancelled pick keeps the key
    QTest::keyClick(w.FIOFilterEdit, Qt::Key_Backspace);
    EXPECT_EQ(w.clientFilterId, -1);

    // The agent picker the same way.
    w.FIOFilterEdit->clear();
    const int cashier = scalar(QStringLiteral("select AGENT_ID from AGENTS where AGENT_LOGIN = 'KASSA1'"));
    w.AgentFilterEdit->setText(QStringLiteral("Петренко Оксана Ігорівна"));
    tolvtest::onModal<ufb::TBookForm>([](ufb::TBookForm& book) {
        book.DataSource1.dataSet()->locate(QStringLiteral("AGENT_LOGIN"), QStringLiteral("KASSA1"));
        book.btn_OK->click();
    });
    w.bt_Agent->click();
    EXPECT_EQ(w.AgentFilterEdit->text(), QStringLiteral("Петренко Оксана Ігорівна"));
    EXPECT_EQ(w.agentFilterId, cashier);
    w.bt_Search->click();
    EXPECT_EQ(
        TolvMain::globalVersionConfig->getContracts()->extraFilter(),
        QStringLiteral("C.AGENT_ID = %1 and C.CONTRACT_STATE = '0' and C.IS_ARCHIVE = '0'").arg(cashier));
    w.AgentFilterEdit->setText(QStringLiteral("Петренко"));
    EXPECT_EQ(w.agentFilterId, -1);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(ContractListTest, TitleClicksSortWithMarkers) {
    login(QStringLiteral("MANAGER"));
    showEverything();
    main->bt_Search->click();
    ui::DbGrid& grid = *main->gr_Contracts;
    int column = -1;
    for (std::size_t i = 0; i < grid.columns().size(); ++i)
        if (grid.columns()[i].fieldName == QLatin1String("CONTRACT_NUM")) column = static_cast<int>(i);
    ASSERT_GE(column, 0);
    auto numbers = [&] {
        QStringList out;
        data::Dataset& ds = shown();
        ds.fetchAll();
        for (int row = 0; row < ds.recordCount(); ++row)
            out << ds.valueAt(row, ds.fieldByName(QStringLiteral("CONTRACT_NUM")).index()).toText();
        return out;
    };
    const int section = grid.datasetModel()->modelColumn(column);
    const std::pair<grid::SortMarker, bool> clicks[] = {{grid::SortMarker::Down, true},
                                                        {grid::SortMarker::Up, false}};
    for (const auto& [marker, ascending] : clicks) {
        emit grid.horizontalHeader()->sectionClicked(section);
        EXPECT_EQ(grid.columns()[column].marker, marker);
        const QStringList got = numbers();
        QStringList sorted = got;
        std::sort(sorted.begin(), sorted.end());
        if (!ascending) std::reverse(sorted.begin(), sorted.end());
        EXPECT_EQ(got, sorted);
        EXPECT_GT(got.size(), 5);
    }
}

TEST_F(ContractListTest, FiveMovesWithinThePauseGiveOneRecalculation) {
    login(QStringLiteral("MANAGER"));
    showEverything();
    main->bt_Search->click();
    QStringList steps;
    TFMain::setStepRecorder([&](const QString& s) { steps << s; });
    shown().first();
    for (int i = 0; i < 5; ++i) {
        shown().next();
        EXPECT_TRUE(main->timeForCalcPercents->isActive());
        EXPECT_FALSE(main->OpsDS->dataSet()->active());  // nothing acts on the details left behind
    }
    ASSERT_TRUE(select(9106));
    EXPECT_EQ(main->DogNText->text(), QStringLiteral("9.06"));
    EXPECT_EQ(main->DBText1->text(), QStringLiteral("Олексійченко Ігор"));
    firePause();
    EXPECT_EQ(steps, QStringList{"recalcDebt"});
    EXPECT_FALSE(main->timeForCalcPercents->isActive());
    // The operations of the contract, at the last one; the actions of an open contract in an act.
    data::Dataset& ops = *main->OpsDS->dataSet();
    ASSERT_TRUE(ops.active());
    EXPECT_EQ(ops.recordCount(), 1);
    EXPECT_EQ(ops.fieldByName(QStringLiteral("OP_ID")).asInteger(),
              scalar(QStringLiteral("select OP_ID from PENALTY_OPERATIONS where DEPOSIT_ID = 9106")));
    EXPECT_TRUE(main->action(QStringLiteral("EditOpAct"))->isEnabled());
    EXPECT_FALSE(main->action(QStringLiteral("DeleteOpAct"))->isEnabled());
    EXPECT_FALSE(main->action(QStringLiteral("AddOpAct"))->isEnabled());
    EXPECT_TRUE(main->action(QStringLiteral("ZayavlAct"))->isEnabled());

    // With the connection closed the timer stops and nothing is done.
    steps.clear();
    shown().prior();
    TolvMain::getZarvelDb()->close();
    firePause();
    EXPECT_FALSE(main->timeForCalcPercents->isActive());
    EXPECT_TRUE(steps.isEmpty());
    TFMain::setStepRecorder({});
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(ContractListTest, TheActionsFollowTheSelectedContractWithinTheRights) {
    const QStringList managerOnly = {"EditContractAct", "DeleteContractAct", "a_ReopenContractManual",
                                     "a_CloseContractManual"};
    for (const char* user : {"MANAGER", "KASSA1"}) {
        SCOPED_TRACE(user);
        login(QString::fromLatin1(user));
        const int withApplication = scalar(QStringLiteral("select first 1 CONTRACT_ID from ZAYAVLENIYA"));
        const struct {
            int id;
            QStringList enabled;
        } cases[] = {
            {9101, {"EditContractAct", "DeleteContractAct", "GetFormArchive", "a_ReopenContractManual"}},
            {9102,
             {"EditContractAct", "DeleteContractAct", "AddOpAct", "AddToSaleAct", "SendToArchive",
              "ZayavlAct", "a_CloseContractManual"}},
            {withApplication,
             {"EditContractAct", "DeleteContractAct", "AddOpAct", "AddToSaleAct", "SendToArchive",
              "ZayavlAct", "ZayavlDelAct", "a_CloseContractManual"}},
            {9103, {"EditContractAct", "AddSaleAct", "SendToArchive"}},
            {9104, {"EditContractAct", "SendToArchive"}},
            {9105, {"EditContractAct", "SendToArchive"}},
            {9106, {"EditContractAct", "SendToArchive", "ZayavlAct"}},
        };
        showEverything();
        main->bt_Search->click();
        for (const auto& c : cases) {
            SCOPED_TRACE(c.id);
            ASSERT_TRUE(select(c.id));
            firePause();
            QStringList expected = c.enabled;
            if (QLatin1String(user) == QLatin1String("KASSA1"))
                for (const QString& m : managerOnly) expected.removeAll(m);
            QStringList got = enabledContractActions();
            expected.sort();
            got.sort();
            EXPECT_EQ(got, expected);
        }
        // An empty list: every contract action off.
        main->NumFilterEdit->setText(QStringLiteral("нема такого"));
        main->bt_Search->click();
        EXPECT_TRUE(shown().isEmpty());
        firePause();
        EXPECT_EQ(enabledContractActions(), QStringList());
        for (QAction* a : main->actionList) {
            if (a->property("Tag").toInt() == 1 && QLatin1String(user) == QLatin1String("KASSA1")) {
                EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
            }
        }
        main->freeGlobalLists();
    }
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
}

TEST_F(ContractListTest, GesturesRunTheirActionOnlyWhenItIsOnAndShown) {
    for (const char* user : {"MANAGER", "KASSA1"}) {
        SCOPED_TRACE(user);
        const bool manager = QLatin1String(user) == QLatin1String("MANAGER");
        login(QString::fromLatin1(user));
        std::map<QString, int> runs;
        std::vector<QMetaObject::Connection> links;
        for (const char* name : {"EditContractAct", "EditOpAct", "DeleteOpAct", "AddSaleAct"}) {
            const QString n = QString::fromLatin1(name);
            links.push_back(
                QObject::connect(main->action(n), &QAction::triggered, [&runs, n] { ++runs[n]; }));
        }
        showEverything();
        main->bt_Search->click();
        ASSERT_TRUE(select(scalar(QStringLiteral("select first 1 CONTRACT_ID from ZAYAVLENIYA"))));
        firePause();
        ASSERT_TRUE(main->OpsDS->dataSet()->active());
        ASSERT_FALSE(main->OpsDS->dataSet()->isEmpty());
        QTest::keyClick(main->gr_Contracts, Qt::Key_Return);
        emit main->gr_Contracts->doubleClicked(main->gr_Contracts->model()->index(0, 0));
        QTest::keyClick(main->gr_Ops, Qt::Key_Return);
        QTest::keyClick(main->gr_Ops, '.');
        EXPECT_EQ(runs[QStringLiteral("EditContractAct")], manager ? 2 : 0);
        EXPECT_EQ(runs[QStringLiteral("EditOpAct")], manager ? 1 : 0);
        EXPECT_EQ(runs[QStringLiteral("DeleteOpAct")], manager ? 1 : 0);
        // "." on an operation of a contract in an act, and on a closed contract: nothing.
        for (int id : {9106, 9101}) {
            ASSERT_TRUE(select(id));
            firePause();
            QTest::keyClick(main->gr_Ops, '.');
        }
        EXPECT_EQ(runs[QStringLiteral("DeleteOpAct")], manager ? 1 : 0);
        // The sale's Enter: for a contract on sale in an act between warehouses, not for a parcel's.
        for (int id : {9103, 9105}) {
            ASSERT_TRUE(select(id));
            firePause();
            QTest::keyClick(main->gr_Sales, Qt::Key_Return);
        }
        EXPECT_EQ(runs[QStringLiteral("AddSaleAct")], 1);
        for (const auto& l : links) QObject::disconnect(l);
        main->freeGlobalLists();
    }
}

TEST_F(ContractListTest, AnArchivedImportedContractIsGreyButForItsBranchNumber) {
    login(QStringLiteral("MANAGER"));
    showEverything();
    main->bt_Search->click();
    ASSERT_TRUE(select(9101));
    ui::DbGrid& grid = *main->gr_Contracts;
    const int row = shown().recNo() - 1;
    const QColor text = grid.palette().color(QPalette::Text);
    int cells = 0;
    for (int col = 0; col < grid.model()->columnCount(); ++col) {
        const QModelIndex index = grid.model()->index(row, col);
        const QString field = grid.columns()[grid.datasetModel()->gridColumn(col)].fieldName;
        SCOPED_TRACE(field.toStdString());
        const QColor expected =
            field == QLatin1String("FILIAL_NUMBER") ? QColor(166, 202, 240) : QColor(227, 227, 227);
        EXPECT_EQ(index.data(Qt::BackgroundRole).value<QColor>(), expected);
        EXPECT_EQ(index.data(Qt::ForegroundRole).value<QColor>().rgb(), text.rgb());
        ++cells;
    }
    EXPECT_GT(cells, 5);
    // An own, current contract keeps the grid's colours.
    ASSERT_TRUE(select(9106));
    EXPECT_FALSE(grid.model()->index(shown().recNo() - 1, 0).data(Qt::BackgroundRole).isValid());
}

// Pictures of the window to look at, in both languages: the list, a filtered list, the debtors and the
// menu "Договоры" over an open contract. Taken only when TOLV_SHOTS names a folder (run under a display
// with QT_QPA_PLATFORM=xcb to see what a user sees).
TEST(ContractListPictures, TheListAFilteredListTheDebtorsAndTheContractsMenu) {
    const QString shots = qEnvironmentVariable("TOLV_SHOTS");
    if (shots.isEmpty()) GTEST_SKIP() << "TOLV_SHOTS names no folder";
    QCoreApplication::setApplicationVersion(QStringLiteral(TOLV_VERSION));
    for (const char* lang : {"ru", "uk"}) {
        tolvtest::ScopedUserIni user;
        tolvtest::ProgramFolder folder;
        ui::ScriptedDialogs boxes;
        ui::ScopedDialogs scoped{&boxes};
        folder.withDemoDatabase();
        tolvtest::runAsAdministrator(folder.filePath(QStringLiteral("tolvanix.fdb")), fixtureRows());
        folder.writeIni(
            QByteArray("[DB]\nPATH=tolvanix.fdb\n[LANG_MASTER]\nis_showed_once=1\ninterfeyce_lang=") +
            (QLatin1String(lang) == QLatin1String("uk") ? "2" : "1") + "\n");
        tolvtest::onModal<utl::TFKVLogin>(
            [](utl::TFKVLogin& f) { tolvtest::typeLogin(f, QStringLiteral("MANAGER")); });
        bool shown = false;
        tolvtest::onMainWindow([&](TFMain& w) {
            shown = true;
            w.resize(1300, 820);
            const auto shot = [&](const char* name) {
                QCoreApplication::processEvents();
                QTest::qWait(400);  // the pause: the actions and details of the selected contract
                const QString file =
                    shots + QStringLiteral("/%1-%2.png").arg(QLatin1String(lang), QLatin1String(name));
                EXPECT_TRUE(w.grab().save(file)) << file.toStdString();
            };
            w.resetFilterPanel();
            w.cb_contrFilter->setCurrentIndex(0);
            w.bt_Search->click();
            shot("list");
            w.FIOFilterEdit->setText(QStringLiteral("іван"));
            w.bt_Search->click();
            shot("filtered");
            w.FIOFilterEdit->clear();
            w.cb_contrFilter->setCurrentIndex(5);
            w.bt_Search->click();
            shot("debtors");
            w.cb_contrFilter->setCurrentIndex(1);
            w.bt_Search->click();
            QMenu* menu = w.findChild<QMenu*>(QStringLiteral("mContracts"));
            menu->popup(w.mapToGlobal(QPoint(60, 20)));
            QCoreApplication::processEvents();
            QTest::qWait(400);
            const QString file = shots + QStringLiteral("/%1-menu.png").arg(QLatin1String(lang));
            QPixmap picture = w.grab();
            {
                QPainter painter(&picture);
                painter.drawPixmap(w.mapFromGlobal(menu->pos()), menu->grab());
            }
            EXPECT_TRUE(picture.save(file));
            menu->hide();
        });
        TolvMain::StartOptions options;
        options.splashMinimumMs = 0;
        EXPECT_EQ(TolvMain::WinMain(options), 0);
        EXPECT_TRUE(shown) << boxes.texts().join(u'|').toStdString();
    }
    ui::Translations::setLanguage(ui::kLanguageRussian);
    QCoreApplication::setApplicationVersion(QString());
}

}  // namespace
