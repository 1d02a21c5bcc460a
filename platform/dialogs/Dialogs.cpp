#include "platform/dialogs/Dialogs.h"

#include "platform/core/Exception.h"

namespace ui {

namespace {

class NoDialogs : public Dialogs {
public:
    ModalResult message(const QString& text, MsgType, Buttons, const QString&) override {
        throw core::Exception(QStringLiteral("No dialogs installed to show: ") + text);
    }
    bool loginPrompt(const QString& caption, QString&, bool, QString&) override {
        throw core::Exception(QStringLiteral("No dialogs installed to show: ") + caption);
    }
};

Dialogs*& current() {
    static NoDialogs none;
    static Dialogs* installed = &none;
    return installed;
}

ModalResult firstOffered(Buttons buttons) {
    static const std::pair<Button, ModalResult> order[] = {
        {Button::Ok, ModalResult::Ok},       {Button::Yes, ModalResult::Yes},     {Button::No, ModalResult::No},
        {Button::Cancel, ModalResult::Cancel}, {Button::Abort, ModalResult::Abort}, {Button::Retry, ModalResult::Retry},
        {Button::Ignore, ModalResult::Ignore}};
    for (const auto& [b, r] : order) {
        if (buttons.testFlag(b)) return r;
    }
    return ModalResult::Ok;
}

}  // namespace

Dialogs& dialogs() { return *current(); }

void setDialogs(Dialogs* dialogs) { current() = dialogs; }

ScopedDialogs::ScopedDialogs(Dialogs* dialogs) : saved_(current()) { current() = dialogs; }

ScopedDialogs::~ScopedDialogs() { current() = saved_; }

void showError(const QString& text, const QString& caption) {
    dialogs().message(text, MsgType::Error, Button::Ok, caption);
}

void showWarning(const QString& text, const QString& caption) {
    dialogs().message(text, MsgType::Warning, Button::Ok, caption);
}

void showInfo(const QString& text, const QString& caption) {
    dialogs().message(text, MsgType::Information, Button::Ok, caption);
}

void runGuarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        handleException(e);
    }
}

namespace {
ExceptionHandler& exceptionHandler() {
    static ExceptionHandler handler;
    return handler;
}
}  // namespace

ExceptionHandler setExceptionHandler(ExceptionHandler handler) {
    std::swap(exceptionHandler(), handler);
    return handler;
}

void handleException(const std::exception& e) {
    if (exceptionHandler())
        exceptionHandler()(e);
    else
        showException(e);
}

void showException(const std::exception& e) {
    if (const auto* own = dynamic_cast<const core::Exception*>(&e))
        showError(own->message());
    else
        showError(QString::fromLocal8Bit(e.what()));
}

bool askYesNo(const QString& text, const QString& caption, MsgType type) {
    return dialogs().message(text, type, Button::Yes | Button::No, caption) == ModalResult::Yes;
}

bool askOkCancel(const QString& text, const QString& caption, MsgType type) {
    return dialogs().message(text, type, Button::Ok | Button::Cancel, caption) == ModalResult::Ok;
}

ModalResult ScriptedDialogs::message(const QString& text, MsgType type, Buttons buttons, const QString& caption) {
    shown.push_back({text, type, buttons, caption});
    if (answers.empty()) return firstOffered(buttons);
    const ModalResult r = answers.front();
    answers.pop_front();
    return r;
}

bool ScriptedDialogs::loginPrompt(const QString& caption, QString& user, bool userReadOnly, QString& password) {
    ++prompts;
    shown.push_back({caption, MsgType::Confirmation, Button::Ok | Button::Cancel, caption});
    if (passwords.empty() || !passwords.front()) {
        if (!passwords.empty()) passwords.pop_front();
        return false;
    }
    password = *passwords.front();
    passwords.pop_front();
    return true;
}

namespace {

class NoCursor : public BusyCursor {
public:
    void push() override {}
    void pop() override {}
};

BusyCursor*& currentCursor() {
    static NoCursor none;
    static BusyCursor* installed = &none;
    return installed;
}

}  // namespace

BusyCursor& busyCursor() { return *currentCursor(); }

namespace {

class NoProgress : public ProgressWindow {
public:
    void init(const QString&, int, bool) override {}
    void refresh() override {}
    void step(const QString&) override {}
    void stepBy(int) override {}
    void complete() override {}
    void initPercent(const QString&, int, bool, int) override {}
    void showSecondBar(bool) override {}
    void init2(const QString&, int) override {}
    void initPercent2(const QString&, int, int) override {}
    void step2() override {}
    void setPosition2(int) override {}
    void complete2() override {}
};

ProgressFactory& progressFactory() {
    static ProgressFactory factory;
    return factory;
}

}  // namespace

std::unique_ptr<ProgressWindow> createProgressWindow(QObject* owner) {
    if (progressFactory()) return progressFactory()(owner);
    return std::make_unique<NoProgress>();
}

void setProgressFactory(ProgressFactory factory) { progressFactory() = std::move(factory); }

void setBusyCursor(BusyCursor* cursor) { currentCursor() = cursor; }

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Shown& s : shown) out << s.text;
    return out;
}

}  // namespace ui
