#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "Book.h"
#include "kvF_SetGridColumns.h"
#include "kv_Exception.h"
#include "kv_MainDb.h"
#include "kv_QueryWrapper.h"
#include "kv_RxMemWrapper.h"
#include "platform/data/MemTable.h"
#include "platform/fb/Query.h"
#include "platform/fb/Script.h"
#include "platform/fb/Transaction.h"
#include "platform/os/IniFile.h"
#include "platform/ui/DbGrid.h"
#include "tests/KVLib/uForms/ModalHelper.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TestDatabase.h"

using core::Variant;

namespace {

using tolvtest::onModal;
using ufb::TBookForm;

const QString kIds2 = QStringLiteral(
    "Нельзя удалить текущую запись, так как иформация по ней \nиспользуется в других записях.");

class BookTest : public tolvtest::DbSuite {
protected:
    static void SetUpTestSuite() {
        DbSuite::SetUpTestSuite();
        fb::runScript(*TolvMain::getZarvelDb(),
                      QStringLiteral(
                          "create table T_BOOK (ID integer not null primary key, NAME varchar(60), CITY "
                          "varchar(40), BORN date);\n"
                          "create table T_BOOK_REF (ID integer not null primary key, BOOK_ID integer "
                          "references T_BOOK (ID));\n"
                          "insert into T_BOOK values (1, 'Литвин Іван', 'Київ', '2001-02-03');\n"
                          "insert into T_BOOK values (2, 'Дем''яненко Олена', 'Біла Церква', '1990-05-06');\n"
                          "insert into T_BOOK values (3, 'Петров Пётр', 'Львів', null);\n"
                          "insert into T_BOOK_REF values (1, 1);\n"));
    }
    void TearDown() override { ui::Form::setLanguage(ui::kLanguageRussian); }

    static fb::Database* db() { return TolvMain::getZarvelDb(); }

    // A value as another, new transaction sees it: what has been committed.
    static QString committed(int id, const QString& column) {
        fb::Transaction t(db());
        fb::Query q(&t);
        q.setSql(QStringLiteral("select %1 from T_BOOK where ID = %2").arg(column).arg(id));
        q.open();
        const QString value = q.fieldByName(column).asString();
        q.close();
        t.commit();
        return value;
    }
    static void setCommitted(int id, const QString& column, const QString& value) {
        fb::Transaction t(db());
        fb::Query q(&t);
        q.setSql(QStringLiteral("update T_BOOK set %1 = '%2' where ID = %3").arg(column, value).arg(id));
        q.execSql();
        t.commit();
    }
    static std::unique_ptr<fb::Transaction> ownTransaction() {
        auto t = std::make_unique<fb::Transaction>(db());
        t->setParams(
            {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
        return t;
    }
    static QList<int> ids(data::Dataset& ds) {
        QList<int> out;
        const int recNo = ds.recNo();
        for (ds.first(); !ds.eof(); ds.next()) out << ds.fieldByName(QStringLiteral("ID")).asInteger();
        if (recNo > 0) ds.setRecNo(recNo);
        return out;
    }
    static void doubleClickRow(TBookForm& f, int row) {
        const QModelIndex index = f.DBGrid1->model()->index(row, 1);
        // As a hand does it: the first press makes the row current, the second is the double click.
        QTest::mouseClick(f.DBGrid1->viewport(), Qt::LeftButton, {}, f.DBGrid1->visualRect(index).center());
        QTest::mouseDClick(f.DBGrid1->viewport(), Qt::LeftButton, {}, f.DBGrid1->visualRect(index).center());
    }

    // Typed key by key (QTest's key clicks know Latin letters only).
    static void type(QWidget* w, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &release);
        }
    }

    tolvtest::ScopedUserIni user;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
};

class BookTable : public ufb::TableWrapper {
public:
    BookTable() : TableWrapper(QStringLiteral("T_BOOK"), QStringLiteral("ID"), TolvMain::getZarvelDb()) {
        addColumnEh(QStringLiteral("ID"), 60, QStringLiteral("Код"));
        addColumnEh(QStringLiteral("NAME"), 250, QStringLiteral("Имя"));
        addColumnEh(QStringLiteral("CITY"), 150, QStringLiteral("Город"));
    }
};

class BookQuery : public ufb::QueryWrapper {
public:
    explicit BookQuery(fb::Transaction* t) : QueryWrapper(t) {
        setSql(QStringLiteral("select ID, NAME, CITY, BORN from T_BOOK"));
        setOrderBy(QStringLiteral("ID"));
        addColumnEh(QStringLiteral("ID"), 60, QStringLiteral("Код"));
        addColumnEh(QStringLiteral("NAME"), 250, QStringLiteral("Имя"));
        addColumnEh(QStringLiteral("CITY"), 150, QStringLiteral("Город"), QStringLiteral("T_BOOK.CITY"));
        addColumnEh(QStringLiteral("BORN"), 80, QStringLiteral("Родился"));
    }
};

// ---- Viewing and picking ----------------------------------------------------------------------------

TEST_F(BookTest, ADoubleClickPicksTheRow) {
    BookTable w;
    TBookForm form(nullptr, QString());
    EXPECT_FALSE(form.gridHandler);
    onModal<TBookForm>([&](TBookForm& f) {
        EXPECT_EQ(f.objectName(), QStringLiteral("BookForm"));
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Справочник"));
        EXPECT_EQ(f.btn_OK->text(), QStringLiteral("Выбрать"));
        EXPECT_TRUE(f.showMode());
        EXPECT_EQ(f.DBGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_TRUE(f.DBGrid1->datasetModel()->readOnly());
        EXPECT_TRUE(f.pnl_BtnSetGrid->isVisible());
        EXPECT_EQ(f.width(), 130 + 60 + 250 + 150);
        EXPECT_EQ(f.Label2->text(), QStringLiteral("Удалить: Ctrl+Del"));
        ASSERT_TRUE(f.gridHandler);
        EXPECT_TRUE(f.gridHandler->hooked());
        EXPECT_EQ(f.gridHandler->grid(), f.DBGrid1);
        doubleClickRow(f, 1);
    });
    EXPECT_TRUE(form.showBook(1, &w, QString(), true));
    EXPECT_EQ(form.pickedValues[QStringLiteral("ID")].toInt(), 2);
    EXPECT_EQ(form.pickedValues[QStringLiteral("NAME")].toText(), QStringLiteral("Дем'яненко Олена"));
    EXPECT_TRUE(form.pickedValues[QStringLiteral("NO_SUCH")].isUnassigned());
    EXPECT_FALSE(w.getDataSet()->active());  // the form opened it and closed it
}

TEST_F(BookTest, EnterPicksTheKeyRowUnderTheGivenCaption) {
    BookTable w;
    w.open();  // the caller's own: it stays open
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([&](TBookForm& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Клиенты"));
        EXPECT_EQ(f.DataSource1.dataSet()->fieldByName(QStringLiteral("ID")).asInteger(), 3);
        EXPECT_FALSE(f.rg_Mode->isEnabled());
        EXPECT_FALSE(f.ViewAct->isEnabled());
        f.DBGrid1->setFocus();
        QTest::keyClick(f.DBGrid1, Qt::Key_Return);
    });
    EXPECT_TRUE(form.showBook(1, &w, QStringLiteral("Клиенты"), false, 3, QStringLiteral("ID")));
    EXPECT_EQ(form.pickedValues[QStringLiteral("ID")].toInt(), 3);
    EXPECT_TRUE(w.getDataSet()->active());
}

TEST_F(BookTest, AnEmptyListPicksNothing) {
    auto t = ownTransaction();
    BookQuery w(t.get());
    w.setWhere(QStringLiteral("ID < 0"));
    w.open();  // opened by the caller, closed all the same
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([&](TBookForm& f) {
        f.btn_OK->click();
        EXPECT_TRUE(f.isVisible());  // OK does nothing
        QTest::keyClick(f.FieldValueEdit, Qt::Key_Return);
        EXPECT_TRUE(f.isVisible());
        QTest::mouseDClick(f.DBGrid1->viewport(), Qt::LeftButton, {}, f.DBGrid1->viewport()->rect().center());
    });
    EXPECT_FALSE(form.showBook(1, &w, QString(), true));
    EXPECT_FALSE(form.picked);
    EXPECT_FALSE(w.getDataSet()->active());
    EXPECT_TRUE(form.pickedValues.count(QStringLiteral("ID")));
}

TEST_F(BookTest, CancelWhilePickingLeavesTheTransactionAlone) {
    auto t = ownTransaction();
    {
        fb::Query q(t.get());
        q.setSql(QStringLiteral("update T_BOOK set CITY = 'Тест' where ID = 3"));
        q.execSql();
    }
    {
        BookQuery w(t.get());
        TBookForm form(nullptr, QString());
        onModal<TBookForm>([](TBookForm& f) { QTest::keyClick(&f, Qt::Key_Escape); });
        EXPECT_FALSE(form.showBook(1, &w, QString(), true));
    }
    ASSERT_TRUE(t->inTransaction());
    fb::Query q(t.get());
    q.setSql(QStringLiteral("select CITY from T_BOOK where ID = 3"));
    q.open();
    EXPECT_EQ(q.fieldByName(QStringLiteral("CITY")).asString(), QStringLiteral("Тест"));
    q.close();
    t->rollback();
}

// ---- Editing ------------------------------------------------------------------------------------------

TEST_F(BookTest, OkInEditingPostsAndCommitsRetaining) {
    BookTable w;
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([&](TBookForm& f) {
        EXPECT_EQ(f.btn_OK->text(), QStringLiteral("ОК"));
        EXPECT_FALSE(f.showMode());
        EXPECT_FALSE(f.DBGrid1->datasetModel()->readOnly());
        EXPECT_EQ(f.DBGrid1->selectionBehavior(), QAbstractItemView::SelectItems);
        data::Dataset* ds = f.DataSource1.dataSet();
        ds->setRecNo(3);
        ds->edit();
        ds->fieldByName(QStringLiteral("NAME")).setValue(QStringLiteral("Петров Пётр Петрович"));
        f.btn_OK->click();  // posts the row, commits retaining, closes
    });
    EXPECT_FALSE(form.showBook(0, &w, QString(), true));  // nothing picked in editing
    EXPECT_EQ(committed(3, QStringLiteral("NAME")), QStringLiteral("Петров Пётр Петрович"));
    EXPECT_TRUE(w.getTransaction()->inTransaction());  // its context retained
    EXPECT_EQ(form.pickedValues[QStringLiteral("ID")].toInt(), 3);
    setCommitted(3, QStringLiteral("NAME"), QStringLiteral("Петров Пётр"));
}

TEST_F(BookTest, CancelInEditingRollsBack) {
    BookTable w;
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([&](TBookForm& f) {
        data::Dataset* ds = f.DataSource1.dataSet();
        ds->setRecNo(2);
        ds->edit();
        ds->fieldByName(QStringLiteral("CITY")).setValue(QStringLiteral("Одеса"));
        ds->post();  // in the database, in the list's transaction
        QTest::keyClick(&f, Qt::Key_Escape);
    });
    EXPECT_FALSE(form.showBook(0, &w, QString(), true));
    EXPECT_EQ(committed(2, QStringLiteral("CITY")), QStringLiteral("Біла Церква"));
    fb::Query q(w.getTransaction());
    q.setSql(QStringLiteral("select CITY from T_BOOK where ID = 2"));
    q.open();
    EXPECT_EQ(q.fieldByName(QStringLiteral("CITY")).asString(), QStringLiteral("Біла Церква"));
}

TEST_F(BookTest, AForeignKeyErrorShowsTheFormsTextAndKeepsItOpen) {
    auto t = ownTransaction();
    ufb::UpdQueryWrapper w(t.get());
    w.setSql(QStringLiteral("select ID, NAME, CITY from T_BOOK"));
    w.setOrderBy(QStringLiteral("ID"));
    w.setUpdateSql(QStringLiteral("delete from T_BOOK where ID = :OLD_ID"),
                   QStringLiteral("insert into T_BOOK (ID, NAME, CITY) values (:ID, :NAME, :CITY)"),
                   QStringLiteral("update T_BOOK set NAME = :NAME, CITY = :CITY where ID = :OLD_ID"),
                   QString());
    w.getQuery()->setCachedUpdates(true);
    w.addColumnEh(QStringLiteral("ID"), 60, QStringLiteral("Код"));
    w.addColumnEh(QStringLiteral("NAME"), 250, QStringLiteral("Имя"));
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([&](TBookForm& f) {
        data::Dataset* ds = f.DataSource1.dataSet();
        ds->setRecNo(1);
        ds->remove();  // kept until OK: row 1 is referenced
        EXPECT_EQ(ids(*ds), QList<int>({2, 3}));
        f.btn_OK->click();
        EXPECT_TRUE(f.isVisible());
        ASSERT_EQ(boxes.shown.size(), 1u);
        const QString text = boxes.shown[0].text;
        const QString lead = kIds2 + QStringLiteral("\n\nТекст ошибки:\n");
        EXPECT_TRUE(text.startsWith(lead)) << text.toStdString();
        EXPECT_TRUE(text.mid(lead.size()).contains(QStringLiteral("FOREIGN KEY"))) << text.toStdString();
        EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);
        EXPECT_EQ(boxes.shown[0].buttons, ui::Buttons(ui::Button::Ok));
        // Reopened, on the remembered record; the refused deletion is gone.
        EXPECT_TRUE(ds->active());
        EXPECT_EQ(ids(*ds), QList<int>({1, 2, 3}));
        EXPECT_EQ(ds->recNo(), 1);
        f.bt_Cancel->click();
    });
    EXPECT_FALSE(form.showBook(0, &w, QString(), true));
    EXPECT_EQ(committed(1, QStringLiteral("NAME")), QStringLiteral("Литвин Іван"));
}

TEST_F(BookTest, SwitchingToViewingSavesTheEdits) {
    BookTable w;
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([&](TBookForm& f) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        data::Dataset* ds = f.DataSource1.dataSet();
        ds->setRecNo(1);
        ds->edit();
        ds->fieldByName(QStringLiteral("CITY")).setValue(QStringLiteral("Київ-2"));
        QTest::keyClick(&f, Qt::Key_W, Qt::ControlModifier);
        EXPECT_TRUE(f.showMode());
        EXPECT_TRUE(f.rg_ModeItem1->isChecked());
        EXPECT_EQ(f.btn_OK->text(), QStringLiteral("Выбрать"));
        EXPECT_EQ(committed(1, QStringLiteral("CITY")), QStringLiteral("Київ-2"));
        QTest::keyClick(&f, Qt::Key_E, Qt::ControlModifier);
        EXPECT_FALSE(f.showMode());
        EXPECT_EQ(f.btn_OK->text(), QStringLiteral("ОК"));
        f.rg_ModeItem1->click();  // the mouse on the radio group
        EXPECT_TRUE(f.showMode());
        f.bt_Cancel->click();
    });
    EXPECT_FALSE(form.showBook(0, &w, QString(), true));
    setCommitted(1, QStringLiteral("CITY"), QStringLiteral("Київ"));
}

TEST_F(BookTest, SetModeTwoRaisesAndChangesNothing) {
    TBookForm form(nullptr, QString());
    form.setMode(1);
    try {
        form.setMode(2);
        ADD_FAILURE() << "no exception";
    } catch (const utl::KVException& e) {
        EXPECT_EQ(e.section(), QStringLiteral("TFDSWrapperBook"));
        EXPECT_EQ(e.code(), QStringLiteral("1"));
        EXPECT_TRUE(
            e.message().endsWith(QStringLiteral("\n\nFunc: TBookForm::setMode()\nLine: Book:354\n\n")));
        EXPECT_FALSE(e.message().startsWith(QStringLiteral("Cant't read")));
    }
    EXPECT_TRUE(form.showMode());
    EXPECT_EQ(form.btn_OK->text(), QStringLiteral("Выбрать"));
}

// ---- Quick search ---------------------------------------------------------------------------------------

TEST_F(BookTest, QuickSearchPutsItsConditionIntoTheStatement) {
    auto t = ownTransaction();
    BookQuery w(t.get());
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([&](TBookForm& f) {
        data::Dataset* ds = f.DataSource1.dataSet();
        QStringList items;
        for (int i = 0; i < f.FieldsCombo->count(); ++i) items << f.FieldsCombo->itemText(i);
        EXPECT_EQ(items,
                  QStringList({QStringLiteral("Любое(текст)"), QStringLiteral("Код"), QStringLiteral("Имя"),
                               QStringLiteral("Город"), QStringLiteral("Родился")}));
        EXPECT_EQ(f.searchFields, QStringList({QStringLiteral("NAME"), QStringLiteral("T_BOOK.CITY")}));

        type(f.FieldValueEdit, QStringLiteral("київ"));
        EXPECT_TRUE(w.getQuery()->sql().contains(
            QStringLiteral("UPCASE(NAME) LIKE '%КИЇВ%' or UPCASE(T_BOOK.CITY) LIKE '%КИЇВ%'")))
            << w.getQuery()->sql().toStdString();
        EXPECT_EQ(ids(*ds), QList<int>({1}));

        f.FieldValueEdit->clear();
        EXPECT_EQ(ids(*ds), QList<int>({1, 2, 3}));  // two percent signs: any text
        type(f.FieldValueEdit, QStringLiteral("дем'ян"));
        EXPECT_TRUE(w.getQuery()->sql().contains(QStringLiteral("UPCASE(NAME) LIKE '%ДЕМ''ЯН%'")))
            << w.getQuery()->sql().toStdString();
        EXPECT_EQ(ids(*ds), QList<int>({2}));

        f.FieldValueEdit->setText(QStringLiteral("ів"));
        EXPECT_EQ(ids(*ds), QList<int>({1, 3}));
        f.FieldsCombo->setCurrentIndex(3);  // "Город": by its sort expression, two blanks before LIKE
        EXPECT_EQ(w.extraFilter(), QStringLiteral("UPCASE(T_BOOK.CITY)  LIKE '%ІВ%'"));
        EXPECT_EQ(ids(*ds), QList<int>({3}));
        f.FieldsCombo->setCurrentIndex(2);
        EXPECT_EQ(w.extraFilter(), QStringLiteral("UPCASE(NAME)  LIKE '%ІВ%'"));
        EXPECT_EQ(ids(*ds), QList<int>({1}));
        f.FieldsCombo->setEditText(QStringLiteral("что-то своё"));
        EXPECT_EQ(w.extraFilter(), QString());
        EXPECT_EQ(ids(*ds), QList<int>({1, 2, 3}));
        f.FieldsCombo->setCurrentIndex(4);  // a date: equality
        f.FieldValueEdit->setText(QStringLiteral("2001-02-03"));
        EXPECT_EQ(w.extraFilter(), QStringLiteral("UPCASE(BORN) = '2001-02-03'"));
        EXPECT_EQ(ids(*ds), QList<int>({1}));
        EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(u'|').toStdString();
        f.bt_Cancel->click();
    });
    form.showBook(1, &w, QString(), true);
    EXPECT_EQ(w.extraFilter(), QString());  // cleared as the form closed
}

TEST_F(BookTest, AConditionTheServerRefusesLeavesTheListUnfiltered) {
    auto t = ownTransaction();
    BookQuery w(t.get());
    w.addColumnEh(QStringLiteral("NAME"), 100, QStringLiteral("Сломано"), QStringLiteral("NO_SUCH_COLUMN"));
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([&](TBookForm& f) {
        data::Dataset* ds = f.DataSource1.dataSet();
        f.FieldValueEdit->setText(QStringLiteral("x"));
        boxes.shown.clear();
        f.FieldsCombo->setCurrentIndex(5);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("NO_SUCH_COLUMN")))
            << boxes.shown[0].text.toStdString();
        EXPECT_EQ(w.extraFilter(), QString());
        EXPECT_TRUE(ds->active());
        EXPECT_EQ(ids(*ds), QList<int>({1, 2, 3}));
        f.bt_Cancel->click();
    });
    form.showBook(1, &w, QString(), true);
}

TEST_F(BookTest, QuickSearchFiltersOtherListsInPlace) {
    BookTable w;
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([&](TBookForm& f) {
        data::Dataset* ds = f.DataSource1.dataSet();
        type(f.FieldValueEdit, QStringLiteral("київ"));
        EXPECT_TRUE(ds->filtered());
        EXPECT_EQ(ds->filter(), QStringLiteral("UPCASE(NAME) LIKE '%КИЇВ%' or UPCASE(CITY) LIKE '%КИЇВ%'"));
        EXPECT_EQ(ids(*ds), QList<int>({1}));
        f.FieldValueEdit->setText(QStringLiteral("дем'ян"));
        EXPECT_EQ(ids(*ds), QList<int>({2}));
        QTest::keyClick(f.FieldValueEdit, Qt::Key_Return);  // picks in viewing mode
    });
    EXPECT_TRUE(form.showBook(1, &w, QString(), true));
    EXPECT_EQ(form.pickedValues[QStringLiteral("ID")].toInt(), 2);
}

// ---- Placement, language, the columns button ----------------------------------------------------------

TEST_F(BookTest, PlacementUnderTheStorageKey) {
    const QString key = QStringLiteral("TFMain::ClientsBookActExecute");
    const QString section = QStringLiteral("TFDSWrapperBook") + key;
    const os::IniFile ini(user.path());
    {
        BookTable w;
        TBookForm form(nullptr, key);
        onModal<TBookForm>([](TBookForm& f) {
            f.resize(700, 400);
            f.move(30, 40);
            f.bt_Cancel->click();
        });
        form.showBook(1, &w, QString(), true);
    }
    EXPECT_EQ(ini.readInt(section, QStringLiteral("FormWidth"), -1), 700);
    EXPECT_EQ(ini.readInt(section, QStringLiteral("FormHeight"), -1), 400);
    EXPECT_EQ(ini.readInt(section, QStringLiteral("FormLeft"), -1), 30);
    EXPECT_EQ(ini.readInt(section, QStringLiteral("FormTop"), -1), 40);
    EXPECT_TRUE(ini.valueExists(QStringLiteral("BookForm_DBGrid1") + key, QStringLiteral("DBGrid1.NAME")));
    {
        BookTable w;
        TBookForm form(nullptr, key);
        onModal<TBookForm>([](TBookForm& f) {
            EXPECT_EQ(f.size(), QSize(700, 400));
            EXPECT_EQ(f.pos(), QPoint(30, 40));
            f.bt_Cancel->click();
        });
        form.showBook(1, &w, QString(), true);
    }
    ini.writeInt(section, QStringLiteral("FormWidth"), 0);  // a stored 0 keeps the computed width
    {
        BookTable w;
        TBookForm form(nullptr, key);
        onModal<TBookForm>([](TBookForm& f) {
            EXPECT_EQ(f.width(), 130 + 60 + 250 + 150);
            EXPECT_EQ(f.height(), 400);
            f.bt_Cancel->click();
        });
        form.showBook(1, &w, QString(), true);
    }
    // An empty key stores nothing.
    const QStringList before = ini.sections();
    {
        BookTable w;
        TBookForm form(nullptr, QString());
        onModal<TBookForm>([](TBookForm& f) { f.bt_Cancel->click(); });
        form.showBook(1, &w, QString(), true);
    }
    EXPECT_EQ(ini.sections(), before);
}

TEST_F(BookTest, UkrainianTexts) {
    ui::Form::setLanguage(ui::kLanguageUkrainian);
    BookTable w;
    TBookForm form(nullptr, QString());
    EXPECT_EQ(form.gr_BoxSerach->title(), QStringLiteral("Пошук"));
    EXPECT_EQ(form.Label4->text(), QStringLiteral("Скасувати: Esc"));
    EXPECT_EQ(form.rg_ModeItem1->text(), QStringLiteral("Перегляд [Ctrl+W]"));
    EXPECT_EQ(form.bt_SetGrid->toolTip(), QStringLiteral("Настроювання колонок таблиці"));
    EXPECT_EQ(form.message(QStringLiteral("IDS_2")),
              QStringLiteral("Неможливо вилучити записи, бо вони використовуються в iнших записах."));
    onModal<TBookForm>([](TBookForm& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Довідник"));
        EXPECT_EQ(f.btn_OK->text(), QStringLiteral("Вибрати"));
        EXPECT_EQ(f.FieldsCombo->itemText(0), QStringLiteral("Будьяке (текст)"));
        f.bt_Cancel->click();
    });
    form.showBook(1, &w, QString(), true);
}

class NotesList : public ufb::RxMemWrapper {
public:
    explicit NotesList(bool allRequired) : RxMemWrapper(QStringLiteral("ID")) {
        addIntegerField(QStringLiteral("ID"))->setRequired(true);
        addStringField(QStringLiteral("NAME"), 40)->setRequired(true);
        addStringField(QStringLiteral("NOTE"), 40)->setRequired(allRequired);
        addColumnEh(QStringLiteral("ID"), 50, QStringLiteral("Код"));
        addColumnEh(QStringLiteral("NAME"), 150, QStringLiteral("Имя"));
        addColumnEh(QStringLiteral("NOTE"), 150, QStringLiteral("Примечание"));
        open();
        for (int i = 1; i <= 3; ++i) {
            getDataSet()->append();
            getDataSet()->fieldByName(QStringLiteral("ID")).setValue(i);
            getDataSet()->fieldByName(QStringLiteral("NAME")).setValue(QStringLiteral("Запись %1").arg(i));
            getDataSet()->fieldByName(QStringLiteral("NOTE")).setValue(QStringLiteral("—"));
            getDataSet()->post();
        }
    }
};

TEST_F(BookTest, TheColumnsButtonLocksEveryRequiredField) {
    NotesList w(false);
    TBookForm form(nullptr, QString());
    onModal<TBookForm>([](TBookForm& f) {
        EXPECT_TRUE(f.pnl_BtnSetGrid->isVisible());
        onModal<ufb::TFSetGridColumns>([](ufb::TFSetGridColumns& d) {
            ASSERT_EQ(d.chLstBx_Columns->count(), 3);
            EXPECT_FALSE(d.chLstBx_Columns->item(0)->flags() & Qt::ItemIsUserCheckable);
            EXPECT_FALSE(d.chLstBx_Columns->item(1)->flags() & Qt::ItemIsUserCheckable);
            EXPECT_TRUE(d.chLstBx_Columns->item(2)->flags() & Qt::ItemIsUserCheckable);
            d.chLstBx_Columns->item(2)->setCheckState(Qt::Unchecked);
            d.chLstBx_Columns->setCurrentRow(2);
            d.bt_Up->click();
            d.bt_OK->click();
        });
        f.bt_SetGrid->click();
        ASSERT_EQ(f.DBGrid1->columns().size(), 3u);
        EXPECT_EQ(f.DBGrid1->columns()[1].fieldName, QStringLiteral("NOTE"));
        EXPECT_FALSE(f.DBGrid1->columns()[1].visible);
        f.bt_Cancel->click();
    });
    form.showBook(0, &w, QString(), true);

    NotesList all(true);
    TBookForm second(nullptr, QString());
    onModal<TBookForm>([](TBookForm& f) {
        EXPECT_FALSE(f.pnl_BtnSetGrid->isVisible());  // nothing could be hidden
        f.bt_Cancel->click();
    });
    second.showBook(1, &all, QString(), true);
}

}  // namespace
