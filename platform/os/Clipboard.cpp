#include "platform/os/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace os {

namespace {

class DesktopClipboard : public Clipboard {
public:
    void setText(const QString& text) override {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::clipboard()->setText(text);
    }
    QString text() const override {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return QGuiApplication::clipboard()->text();
        return QString();
    }
};

Clipboard*& installed() {
    static Clipboard* clipboard = nullptr;
    return clipboard;
}

}  // namespace

Clipboard& clipboard() {
    static DesktopClipboard desktop;
    return installed() ? *installed() : desktop;
}

Clipboard* setClipboard(Clipboard* clipboard) {
    Clipboard* previous = installed();
    installed() = clipboard;
    return previous;
}

}  // namespace os
