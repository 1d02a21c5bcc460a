#include <gtest/gtest.h>

#include <QAction>
#include <QSignalSpy>

#include "platform/ui/ButtonEdit.h"

namespace {

// The button answers only while the edit takes input.
TEST(ButtonEditTest, ButtonRaisesItsEventOnlyWhileTheEditTakesInput) {
    ui::ButtonEdit edit;
    QSignalSpy clicks(&edit, &ui::ButtonEdit::buttonClicked);
    edit.button()->trigger();
    edit.clickButton();
    EXPECT_EQ(clicks.count(), 2);
    edit.setText(QStringLiteral("Підстава"));
    EXPECT_EQ(edit.text(), QStringLiteral("Підстава"));  // the button leaves the text alone

    struct Case {
        bool enabled, readOnly;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        edit.setEnabled(c.enabled);
        edit.setReadOnly(c.readOnly);
        EXPECT_FALSE(edit.button()->isEnabled());
        edit.clickButton();
        EXPECT_EQ(clicks.count(), 2);
    }
    edit.setEnabled(true);
    edit.setReadOnly(false);
    EXPECT_TRUE(edit.button()->isEnabled());
}

}  // namespace
