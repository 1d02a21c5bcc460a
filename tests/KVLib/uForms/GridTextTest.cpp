// The grid text answering on a real widget grid: the answers of every request, the edge cases of the
// answering, and buffers of every size around the limits, with guard bytes after them.

#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>
#include <cstring>

#include "U_AutomateHelper.h"
#include "platform/data/MemTable.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/os/Clipboard.h"
#include "platform/ui/DbGrid.h"

namespace {

const QString kLong100 = QString(100, u'ж');
const QString kLong101 = QString(101, u'ж');

// A form with the contract grid over an in-memory table: column 0 ID, 1 NUM, 2 NOTE.
struct GridForm {
    QWidget form;
    ui::DbGrid* grid;
    data::MemTable table;
    grid::DataSource source{&table};

    GridForm() {
        form.setObjectName(QStringLiteral("FMain"));
        grid = new ui::DbGrid(grid::GridKind::Eh, &form);
        grid->setObjectName(QStringLiteral("gr_Contracts"));
        grid->resize(500, 200);
        table.addField(QStringLiteral("ID"), data::DataType::Integer);
        table.addField(QStringLiteral("NUM"), data::DataType::String, 20);
        table.addField(QStringLiteral("NOTE"), data::DataType::String, 200);
        table.open();
        const QStringList notes = {QStringLiteral("Каблучка"), kLong100, kLong101,
                                   QStringLiteral("12345678901")};
        for (int i = 0; i < notes.size(); ++i) {
            table.append();
            table[QStringLiteral("ID")].setValue(i + 1);
            table[QStringLiteral("NUM")].setValue(QStringLiteral("Д-%1").arg(i + 1));
            table[QStringLiteral("NOTE")].setValue(notes[i]);
            table.post();
        }
        table.first();
        std::vector<grid::Column> columns(3);
        columns[0] = {.fieldName = QStringLiteral("ID"), .title = QStringLiteral("Код")};
        columns[1] = {.fieldName = QStringLiteral("NUM"), .title = QStringLiteral("Номер")};
        columns[2] = {.fieldName = QStringLiteral("NOTE"), .title = QStringLiteral("Примечание")};
        grid->setColumns(columns);
        grid->setDataSource(&source);
        form.show();
    }
};

// A request with a buffer of the given real size followed by guard bytes.
struct Answer {
    qintptr result;
    QString text;
    bool guardsIntact;
};
Answer ask(grid::GridView* g, unsigned msg, qintptr wParam, qsizetype size, const QByteArray& input = {}) {
    constexpr int kGuard = 16;
    std::vector<char> memory(static_cast<size_t>(size + kGuard), '\x7f');
    if (!input.isEmpty())
        std::memcpy(memory.data(), input.constData(), std::min<size_t>(input.size() + 1, size));
    const qintptr result = sendGridMessage(g, msg, wParam, memory.data(), size);
    bool intact = true;
    for (int i = 0; i < kGuard; ++i) intact = intact && memory[static_cast<size_t>(size + i)] == '\x7f';
    QString text;
    if (size > 0) {
        const auto end = std::find(memory.begin(), memory.begin() + size, '\0');
        text = QStringDecoder("windows-1251").decode(QByteArrayView(memory.data(), end - memory.begin()));
    }
    return {result, text, intact};
}

TEST(GridTextTest, AnswersTheCurrentRowByColumnAndMovesBetweenRecords) {
    GridForm f;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped(&boxes);
    GridMessageHandler handler(f.grid);
    f.grid->setCurrentIndex(f.grid->model()->index(0, 2));  // the focus on another column

    EXPECT_EQ(ask(f.grid, WM_GETTEXT, 0, 101).text, QStringLiteral("1"));
    const Answer last = ask(f.grid, WM_GETTEXT, 1000, 101);
    EXPECT_EQ(last.text, QStringLiteral("Каблучка"));
    EXPECT_EQ(last.result, 8);
    EXPECT_EQ(ask(f.grid, GM_RECORDCOUNT, 0, 0).result, 4);

    EXPECT_EQ(ask(f.grid, GM_SETRECNO, 3, 0).result, 0);
    EXPECT_EQ(ask(f.grid, WM_GETTEXT, 1, 101).text, QStringLiteral("Д-3"));
    const Answer tooLong = ask(f.grid, WM_GETTEXT, 2, 101);
    EXPECT_EQ(tooLong.text, QStringLiteral("value too long"));
    EXPECT_EQ(tooLong.result, 14);
    ask(f.grid, GM_SETRECNO, 2, 0);
    const Answer whole = ask(f.grid, WM_GETTEXT, 2, 101);
    EXPECT_EQ(whole.text, kLong100);
    EXPECT_EQ(whole.result, 100);

    // The selected field, read with the caller's size.
    ask(f.grid, GM_SETRECNO, 4, 0);
    const Answer small = ask(f.grid, GM_SELECTFIELD, 10, 42, "NOTE");
    EXPECT_EQ(small.text, QStringLiteral("value too long (or buffer size too small)"));
    EXPECT_EQ(small.result, 41);
    EXPECT_EQ(handler.selectedField(), QStringLiteral("NOTE"));
    const Answer enough = ask(f.grid, GM_SELECTFIELD, 11, 42, "NOTE");
    EXPECT_EQ(enough.text, QStringLiteral("12345678901"));
    EXPECT_EQ(enough.result, 11);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(GridTextTest, EditsTheRowDeletesInsertsAndNamesTheGrid) {
    GridForm f;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped(&boxes);
    os::MemoryClipboard clipboard;
    os::Clipboard* previous = os::setClipboard(&clipboard);
    GridMessageHandler handler(f.grid);

    ask(f.grid, GM_SETRECNO, 1, 0);
    ask(f.grid, GM_EDIT, 0, 0);
    ask(f.grid, GM_SELECTFIELD, 100, 101, "NUM");
    QStringEncoder toAnsi("windows-1251");
    ask(f.grid, GM_SETFIELDTEXT, 0, 32, toAnsi.encode(QStringLiteral("Ґ-77")));
    ask(f.grid, GM_POST, 0, 0);
    EXPECT_EQ(f.table[QStringLiteral("NUM")].asString(), QStringLiteral("Ґ-77"));
    EXPECT_EQ(ask(f.grid, WM_GETTEXT, 1, 101).text, QStringLiteral("Ґ-77"));

    ask(f.grid, GM_DELETE, 0, 0);
    EXPECT_EQ(ask(f.grid, GM_RECORDCOUNT, 0, 0).result, 3);
    ask(f.grid, GM_INSERT, 0, 0);
    ask(f.grid, GM_SELECTFIELD, 100, 101, "ID");
    ask(f.grid, GM_SETFIELDTEXT, 0, 8, "9");
    ask(f.grid, GM_POST, 0, 0);
    EXPECT_EQ(ask(f.grid, GM_RECORDCOUNT, 0, 0).result, 4);
    EXPECT_EQ(ask(f.grid, WM_GETTEXT, 0, 101).text, QStringLiteral("9"));

    ask(f.grid, GM_COPYGRIDNAME, 0, 0);
    EXPECT_EQ(clipboard.text(), QStringLiteral("Name: gr_Contracts"));
    EXPECT_TRUE(boxes.shown.empty());
    os::setClipboard(previous);
}

TEST(GridTextTest, ErrorsGoToTheExceptionBoxWithResultZero) {
    GridForm f;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped(&boxes);
    GridMessageHandler handler(f.grid);

    EXPECT_EQ(ask(f.grid, GM_SELECTFIELD, 100, 101, "NO_SUCH").result, 0);
    EXPECT_EQ(ask(f.grid, GM_SETFIELDTEXT, 0, 8, "x").result, 0);  // the selected field names nothing
    ask(f.grid, GM_SELECTFIELD, 100, 101, "ID");
    EXPECT_EQ(ask(f.grid, GM_SETFIELDTEXT, 0, 8, "5").result, 0);  // not in edit mode
    ask(f.grid, GM_EDIT, 0, 0);
    EXPECT_EQ(ask(f.grid, GM_SETFIELDTEXT, 0, 8, "abc").result, 0);  // not a number
    ASSERT_EQ(boxes.shown.size(), 4u) << boxes.texts().join(u'|').toStdString();
    for (const auto& box : boxes.shown) EXPECT_EQ(box.type, ui::MsgType::Error);

    // Other requests go on to the grid; without the handler the grid answers as a plain grid.
    GridMessage other;
    other.msg = 12345;
    EXPECT_FALSE(handler.gridWndProc(other));
}

TEST(GridTextTest, NeverWritesPastTheRealBuffer) {
    GridForm f;
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped(&boxes);
    GridMessageHandler handler(f.grid);
    struct Case {
        unsigned msg;
        int recNo;
        qintptr wParam;
        qsizetype size;
        QString text;
        // The field name itself does not fit a buffer that small: the name read is cut, names no field,
        // and the error box shows.
        bool nameCut = false;
    };
    const QString tooLong = QStringLiteral("value too long");
    const QString tooSmall = QStringLiteral("value too long (or buffer size too small)");
    const QString value11 = QStringLiteral("12345678901");
    const std::vector<Case> cases = {
        // WM_GETTEXT of a 100-character value, then of the 101-character one.
        {WM_GETTEXT, 2, 2, 0, QString()},
        {WM_GETTEXT, 2, 2, 1, QString()},
        {WM_GETTEXT, 2, 2, 14, kLong100.left(13)},
        {WM_GETTEXT, 2, 2, 15, tooLong},
        {WM_GETTEXT, 2, 2, 41, tooLong},
        {WM_GETTEXT, 2, 2, 42, tooLong},
        {WM_GETTEXT, 2, 2, 100, tooLong},
        {WM_GETTEXT, 2, 2, 101, kLong100},
        {WM_GETTEXT, 3, 2, 14, tooLong.left(13)},
        {WM_GETTEXT, 3, 2, 15, tooLong},
        {WM_GETTEXT, 3, 2, 101, tooLong},
        // The selected field of 11 characters, asked with WParam 10 (too small) and 11.
        {GM_SELECTFIELD, 4, 10, 0, QString(), true},
        {GM_SELECTFIELD, 4, 10, 1, QString(), true},
        {GM_SELECTFIELD, 4, 10, 14, tooSmall.left(13)},
        {GM_SELECTFIELD, 4, 10, 15, tooSmall.left(14)},
        {GM_SELECTFIELD, 4, 10, 41, tooSmall.left(40)},
        {GM_SELECTFIELD, 4, 10, 42, tooSmall},
        {GM_SELECTFIELD, 4, 10, 100, tooSmall},
        {GM_SELECTFIELD, 4, 11, 14, value11},
        {GM_SELECTFIELD, 4, 11, 12, value11},
        {GM_SELECTFIELD, 4, 11, 11, value11.left(10)},
        {GM_SELECTFIELD, 4, 11, 101, value11},
    };
    for (const Case& c : cases) {
        ask(f.grid, GM_SETRECNO, c.recNo, 0);
        const Answer a = ask(f.grid, c.msg, c.wParam, c.size, "NOTE");
        const std::string where =
            std::to_string(c.msg) + " wParam " + std::to_string(c.wParam) + " size " + std::to_string(c.size);
        EXPECT_TRUE(a.guardsIntact) << where;
        EXPECT_EQ(a.result, c.text.size()) << where;
        if (c.nameCut) {
            EXPECT_EQ(boxes.shown.size(), 1u) << where;
            boxes.shown.clear();
            continue;
        }
        EXPECT_EQ(a.text, c.text) << where << ": " << a.text.toStdString();
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(GridTextTest, PaintingAndKeysWorkAsBeforeAndAGridWithoutHandlerIsPlain) {
    GridForm f;
    {
        GridMessageHandler handler(f.grid);
        EXPECT_TRUE(handler.hooked());
        f.grid->setFocus();
        f.grid->setCurrentIndex(f.grid->model()->index(0, 0));
        QTest::keyClick(f.grid, Qt::Key_Down);
        EXPECT_EQ(f.table.recNo(), 2);
        f.grid->repaint();
    }
    ask(f.grid, GM_SETRECNO, 4, 0);
    EXPECT_EQ(f.table.recNo(), 2);  // nobody answered
    const Answer plain = ask(f.grid, WM_GETTEXT, 0, 101);
    EXPECT_EQ(plain.result, 0);
    EXPECT_EQ(plain.text, QString());
}

}  // namespace
