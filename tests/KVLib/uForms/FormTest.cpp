#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/core/Exception.h"
#include "platform/os/IniFile.h"
#include "platform/ui/Form.h"
#include "tests/KVLib/uForms/ModalHelper.h"

namespace {

using tolvtest::onModal;

class TestForm : public ui::Form {
public:
    explicit TestForm(QWidget* owner = nullptr) : ui::Form(QStringLiteral("FTest"), owner) {
        label = new QLabel(this);
        ok = new QPushButton(QStringLiteral("OK"), this);
        ok->move(10, 40);
        cancel = new QPushButton(this);
        cancel->move(100, 40);
        resize(300, 200);
        addCaption(this, "windowTitle", QStringLiteral("Справочник"), QStringLiteral("Довідник"));
        addCaption(label, "text", QStringLiteral("Значение"), QStringLiteral("Значення"));
        addCaption(cancel, "text", QStringLiteral("Отмена"), QString());
        addMessage(QStringLiteral("IDS_2"), QStringLiteral("строка\\nвторая"),
                   QStringLiteral("рядок\\nдругий"));
        addMessage(QStringLiteral("IDS_12"), QStringLiteral("ОК"), QString());
        applyLanguage();
        connect(ok, &QPushButton::clicked, this, [this] { setModalResult(ui::ModalResult::Ok); });
        connect(cancel, &QPushButton::clicked, this, [this] {
            ++cancelClicks;
            setModalResult(ui::ModalResult::Cancel);
        });
    }
    QLabel* label;
    QPushButton* ok;
    QPushButton* cancel;
    int shows = 0;
    int closes = 0;
    int cancelClicks = 0;
    bool failClose = false;
    bool failShow = false;

protected:
    void formShow() override {
        ++shows;
        if (failShow) throw core::Exception(QStringLiteral("не показать"));
    }
    void formClose() override {
        ++closes;
        if (failClose) {
            failClose = false;
            throw core::Exception(QStringLiteral("не закрыть"));
        }
    }
};

class FormTest : public ::testing::Test {
protected:
    void TearDown() override { ui::Form::setLanguage(ui::kLanguageRussian); }
    ui::ScriptedDialogs boxes;
    ui::ScopedDialogs scoped{&boxes};
};

TEST_F(FormTest, TextsInTheActiveLanguage) {
    TestForm f;
    EXPECT_EQ(f.componentName(), QStringLiteral("FTest"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Справочник"));
    EXPECT_EQ(f.label->text(), QStringLiteral("Значение"));
    EXPECT_EQ(f.message(QStringLiteral("IDS_2")), QStringLiteral("строка\nвторая"));
    EXPECT_EQ(f.message(QStringLiteral("IDS_99")), QString());
    ui::Form::setLanguage(ui::kLanguageUkrainian);
    EXPECT_EQ(ui::Form::language(), 2);
    // Every live form follows.
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Довідник"));
    EXPECT_EQ(f.label->text(), QStringLiteral("Значення"));
    EXPECT_EQ(f.cancel->text(), QStringLiteral("Отмена"));  // no Ukrainian text: the Russian one
    EXPECT_EQ(f.message(QStringLiteral("IDS_2")), QStringLiteral("рядок\nдругий"));
    EXPECT_EQ(f.message(QStringLiteral("IDS_12")), QStringLiteral("ОК"));
    TestForm later;
    EXPECT_EQ(later.label->text(), QStringLiteral("Значення"));
    ui::Form::setLanguage(7);
    EXPECT_EQ(ui::Form::language(), 1);
    EXPECT_EQ(f.label->text(), QStringLiteral("Значение"));
    EXPECT_EQ(ui::Form::decodeEscapes(QStringLiteral("a\\nb\\\\n\\t")), QStringLiteral("a\nb\\\n\\t"));
}

TEST_F(FormTest, ModalResultsButtonsAndKeys) {
    TestForm f;
    f.setCancelButton(f.cancel);
    f.setDefaultButton(f.ok);
    onModal<TestForm>([](TestForm& w) { QTest::keyClick(&w, Qt::Key_Return); });
    EXPECT_EQ(f.showModal(), ui::ModalResult::Ok);
    EXPECT_EQ(f.shows, 1);
    EXPECT_EQ(f.closes, 1);

    onModal<TestForm>([](TestForm& w) { QTest::keyClick(&w, Qt::Key_Escape); });
    EXPECT_EQ(f.showModal(), ui::ModalResult::Cancel);
    EXPECT_EQ(f.cancelClicks, 1);  // Esc clicked the cancel button
    EXPECT_EQ(f.closes, 2);

    // The close box closes with Cancel, without the cancel button.
    onModal<TestForm>([](TestForm& w) { w.close(); });
    EXPECT_EQ(f.showModal(), ui::ModalResult::Cancel);
    EXPECT_EQ(f.cancelClicks, 1);
    EXPECT_EQ(f.closes, 3);

    onModal<TestForm>([](TestForm& w) { w.setModalResult(ui::ModalResult::Retry); });
    EXPECT_EQ(f.showModal(), ui::ModalResult::Retry);
}

TEST_F(FormTest, EnterActsThroughTheDefaultOrTheFocusedButtonOnly) {
    TestForm f;
    auto* edit = new QLineEdit(&f);
    edit->move(10, 80);
    onModal<TestForm>([edit](TestForm& w) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);  // no default button: nothing
        QTest::qWait(20);
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(w.ok->isDefault() || w.cancel->isDefault());
        w.cancel->setFocus();
        QTest::keyClick(w.cancel, Qt::Key_Return);  // the focused button answers
    });
    EXPECT_EQ(f.showModal(), ui::ModalResult::Cancel);
    EXPECT_EQ(f.cancelClicks, 1);
    f.setDefaultButton(f.ok);
    onModal<TestForm>([edit](TestForm& w) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    });
    EXPECT_EQ(f.showModal(), ui::ModalResult::Ok);
    EXPECT_EQ(f.cancelClicks, 1);
}

TEST_F(FormTest, AFailingCloseStepKeepsTheFormOpen) {
    TestForm f;
    f.failClose = true;
    onModal<TestForm>([](TestForm& w) {
        w.ok->click();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.modalResult(), ui::ModalResult::None);
        w.ok->click();
    });
    EXPECT_EQ(f.showModal(), ui::ModalResult::Ok);
    EXPECT_EQ(boxes.texts(), QStringList({QStringLiteral("не закрыть")}));
    EXPECT_EQ(f.closes, 2);
}

TEST_F(FormTest, AFailingShowStepLeavesShowModal) {
    TestForm f;
    f.failShow = true;
    try {
        f.showModal();
        ADD_FAILURE() << "no exception";
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("не показать"));
    }
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.closes, 0);
}

TEST_F(FormTest, PlacementInAnIniSection) {
    tolvtest::ScopedUserIni user;
    const QString ini = user.path();
    {
        TestForm f;
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        f.move(120, 80);
        f.resize(333, 222);
        f.savePlacement(ini, QStringLiteral("FTest_place"));
    }
    const os::IniFile file(ini);
    EXPECT_EQ(file.readString(QStringLiteral("FTest_place"), QStringLiteral("NormPos"), QString()),
              QStringLiteral("120,80,453,302"));
    EXPECT_EQ(file.readInt(QStringLiteral("FTest_place"), QStringLiteral("ShowCmd"), 0), 1);
    {
        TestForm f;
        f.setPlacementStorage(ini, QStringLiteral("FTest_place"));
        onModal<TestForm>([](TestForm& w) {
            EXPECT_EQ(w.pos(), QPoint(120, 80));
            EXPECT_EQ(w.size(), QSize(333, 222));
            w.move(140, 90);
            w.setModalResult(ui::ModalResult::Ok);
        });
        f.showModal();
    }
    EXPECT_EQ(file.readString(QStringLiteral("FTest_place"), QStringLiteral("NormPos"), QString()),
              QStringLiteral("140,90,473,312"));
    // Nothing usable in the section: the form keeps its own placement.
    file.writeString(QStringLiteral("bad"), QStringLiteral("NormPos"), QStringLiteral("1,2,x,4"));
    TestForm f;
    f.restorePlacement(ini, QStringLiteral("bad"));
    f.restorePlacement(ini, QStringLiteral("missing"));
    EXPECT_EQ(f.size(), QSize(300, 200));
}

TEST_F(FormTest, GuardedActionsAndTheTerminateRequest) {
    ui::runGuarded([] { throw core::Exception(QStringLiteral("сбой")); });
    EXPECT_EQ(boxes.texts(), QStringList({QStringLiteral("сбой")}));
    EXPECT_EQ(boxes.shown[0].type, ui::MsgType::Error);
    int terminated = 0;
    const ui::TerminateHook previous = ui::setTerminateHook([&] { ++terminated; });
    ui::requestTerminate();
    EXPECT_EQ(terminated, 1);
    ui::setTerminateHook(previous);
}

}  // namespace
