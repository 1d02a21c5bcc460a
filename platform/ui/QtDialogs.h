#pragma once
// The dialogs seam shown as real Qt message boxes and prompts.

#include "platform/dialogs/Dialogs.h"

namespace ui {

class QtDialogs : public Dialogs {
public:
    ModalResult message(const QString& text, MsgType type, Buttons buttons, const QString& caption) override;
    bool loginPrompt(const QString& caption, QString& user, bool userReadOnly, QString& password) override;
};

// Makes the Qt boxes the program's dialogs, and the hourglass the application's override cursor.
void installQtDialogs();

}  // namespace ui
