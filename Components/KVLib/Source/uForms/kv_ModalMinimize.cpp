#include "kv_ModalMinimize.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <map>
#include <memory>

namespace utl {

namespace {

// Watches one hooked window's state and activation changes.
class MinimizeFilter : public QObject {
public:
    explicit MinimizeFilter(QWidget* window) : window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) return false;
        if (event->type() == QEvent::WindowStateChange && window_->isMinimized()) {
            restore();
            minimizeApplication();
        } else if (event->type() == QEvent::ActivationChange && !window_->isActiveWindow() &&
                   window_->isMinimized()) {
            restore();
        }
        return false;
    }

private:
    void restore() { window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized); }

    // Every other visible top-level window goes down; the dialog stays restored above them, so that
    // showing the application again brings the dialog back with it.
    void minimizeApplication() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != window_ && w->isVisible() && !w->isMinimized()) w->showMinimized();
        }
    }

    QWidget* window_;
};

std::map<const QWidget*, std::unique_ptr<MinimizeFilter>>& hooks() {
    static std::map<const QWidget*, std::unique_ptr<MinimizeFilter>> map;
    return map;
}

}  // namespace

void hookModalFormMinimize(QWidget* form) {
    if (!form || !form->isVisible() || !form->isModal()) return;
    if (!(form->windowFlags() & Qt::WindowMinimizeButtonHint)) return;
    auto& map = hooks();
    if (map.count(form)) return;
    auto filter = std::make_unique<MinimizeFilter>(form);
    form->installEventFilter(filter.get());
    QObject::connect(form, &QObject::destroyed, [form] { hooks().erase(form); });
    map.emplace(form, std::move(filter));
}

bool isModalFormMinimizeHooked(const QWidget* form) {
    return hooks().count(form) > 0;
}

std::size_t modalFormMinimizeHookCount() {
    return hooks().size();
}

}  // namespace utl
