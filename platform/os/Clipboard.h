#pragma once
// The system clipboard's text, behind a replaceable service: the program uses the desktop's
// clipboard, tests install a clipboard of their own and read what was put there.

#include <QString>

namespace os {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
};

// The clipboard in force: the installed one, else the desktop's (which holds nothing without a
// graphical application).
Clipboard& clipboard();
// Installs a clipboard (not owned; null puts the desktop's back) and returns the previous one (null
// for the desktop's).
Clipboard* setClipboard(Clipboard* clipboard);

// A clipboard in memory, for tests and programs without a desktop.
class MemoryClipboard : public Clipboard {
public:
    void setText(const QString& text) override { text_ = text; }
    QString text() const override { return text_; }

private:
    QString text_;
};

}  // namespace os
