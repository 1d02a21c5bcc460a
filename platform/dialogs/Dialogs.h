#pragma once
// The one seam for modal messages and prompts: every box of the program goes through dialogs(). The
// program installs the Qt boxes at start (platform/ui); tests install ScriptedDialogs to read the
// texts and answer as a user would. Logic code depends on this seam only, never on widgets.

#include <QFlags>
#include <QString>
#include <QStringList>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QObject;

namespace ui {

enum class MsgType { Error, Warning, Information, Confirmation };

enum class Button { Ok = 1, Cancel = 2, Yes = 4, No = 8, Abort = 16, Retry = 32, Ignore = 64 };
Q_DECLARE_FLAGS(Buttons, Button)
Q_DECLARE_OPERATORS_FOR_FLAGS(Buttons)

// How a modal box or form was closed.
enum class ModalResult { None, Ok, Cancel, Yes, No, Abort, Retry, Ignore };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box; the result names the button pressed (Cancel when closed otherwise).
    virtual ModalResult message(const QString& text, MsgType type, Buttons buttons, const QString& caption) = 0;
    // A login-style prompt: the user name (editable or not) and a password. False when cancelled.
    virtual bool loginPrompt(const QString& caption, QString& user, bool userReadOnly, QString& password) = 0;
};

// The dialogs in force. Until some are installed every box raises core::Exception with its text, so a
// forgotten installation never answers silently.
Dialogs& dialogs();
// Installs the dialogs for the rest of the process (the program's start-up does this).
void setDialogs(Dialogs* dialogs);
// Installs other dialogs for the life of the returned object.
class ScopedDialogs {
public:
    explicit ScopedDialogs(Dialogs* dialogs);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

private:
    Dialogs* saved_;
};

// The common boxes.
void showError(const QString& text, const QString& caption = {});
void showWarning(const QString& text, const QString& caption = {});
void showInfo(const QString& text, const QString& caption = {});
bool askYesNo(const QString& text, const QString& caption = {}, MsgType type = MsgType::Confirmation);
bool askOkCancel(const QString& text, const QString& caption = {}, MsgType type = MsgType::Confirmation);

// Runs the handler of a user action; what it raises goes to the application's exception handler, and
// the action ends there.
void runGuarded(const std::function<void()>& action);

// The application's exception handler: by default showException. The program installs its own, which
// knows failures of its devices; the handler installed before is returned.
using ExceptionHandler = std::function<void(const std::exception&)>;
ExceptionHandler setExceptionHandler(ExceptionHandler handler);
// Passes the exception to the installed handler.
void handleException(const std::exception& e);
// The standard display: the exception's text in an error box.
void showException(const std::exception& e);

// Records every box and answers from a script; with the script used up it answers the first button
// offered (messages) or cancels (prompts).
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString text;
        MsgType type;
        Buttons buttons;
        QString caption;
    };
    std::vector<Shown> shown;
    std::deque<ModalResult> answers;
    // Password answers for prompts; an empty optional cancels.
    std::deque<std::optional<QString>> passwords;
    int prompts = 0;

    ModalResult message(const QString& text, MsgType type, Buttons buttons, const QString& caption) override;
    bool loginPrompt(const QString& caption, QString& user, bool userReadOnly, QString& password) override;
    QStringList texts() const;
};

// The hourglass: shown while work runs on the user-interface thread. Pushes nest; each pop puts back
// the cursor of before its push. Without widgets installed it does nothing.
class BusyCursor {
public:
    virtual ~BusyCursor() = default;
    virtual void push() = 0;
    virtual void pop() = 0;
};
BusyCursor& busyCursor();
void setBusyCursor(BusyCursor* cursor);

// The progress window of long work on the user-interface thread: one bar, or two where an outer loop
// holds an inner one. Without widgets installed it shows nothing and only counts.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    virtual void init(const QString& caption, int maximum, bool show) = 0;
    virtual void refresh() = 0;
    virtual void step(const QString& text = QString()) = 0;
    virtual void stepBy(int count) = 0;
    virtual void complete() = 0;
    virtual void initPercent(const QString& caption, int total, bool show, int percentStep) = 0;
    virtual void showSecondBar(bool on) = 0;
    virtual void init2(const QString& label, int maximum) = 0;
    virtual void initPercent2(const QString& label, int total, int percentStep) = 0;
    virtual void step2() = 0;
    virtual void setPosition2(int position) = 0;
    virtual void complete2() = 0;
};
using ProgressFactory = std::function<std::unique_ptr<ProgressWindow>(QObject* owner)>;
// A new progress window owned by the caller, for the owner form (may be null).
std::unique_ptr<ProgressWindow> createProgressWindow(QObject* owner = nullptr);
void setProgressFactory(ProgressFactory factory);

}  // namespace ui
