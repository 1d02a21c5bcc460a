#include "kv_ReportMenus.h"

#include <QAction>
#include <QMenu>

#include "platform/ui/Form.h"

namespace ReportSys {

namespace {

// How a menu finds an item by its caption: accelerator marks and letter case do not count.
bool sameCaption(const QString& a, const QString& b) {
    QString x = a;
    QString y = b;
    return x.remove(u'&').compare(y.remove(u'&'), Qt::CaseInsensitive) == 0;
}

void destroyItem(QMenu* menu, QAction* action) {
    if (QMenu* sub = action->menu<QMenu*>()) {
        menu->removeAction(action);
        delete sub;  // its menu action goes with it
        return;
    }
    menu->removeAction(action);
    if (action->parent() == menu) delete action;
}

}  // namespace

void emptyMenu(QMenu* menu) {
    for (QAction* action : menu->actions()) destroyItem(menu, action);
}

void ReportEvnt::addToMenu(QMenu* parent, const InitParamsCallback& callback, int mode,
                           const QString& itemName, const QString& caption) {
    const QString text = caption.isEmpty() ? name_ : caption;
    const QString objectName = itemName.isEmpty() ? code_ : itemName;

    for (QAction* action : parent->actions()) {
        if (sameCaption(action->text(), text)) {
            destroyItem(parent, action);
            break;
        }
    }
    if (mode == 1) emptyMenu(parent);
    if (getActiveTemplatesCount() == 0) return;

    QMenu* target = parent;
    if (mode == 0) {
        target = new QMenu(text, parent);
        target->setObjectName(objectName);
    }
    for (const auto& t : templates_) {
        if (!t->isActive()) continue;
        ReportTemplate* tmpl = t.get();
        auto* item = new QAction(tmpl->getName(), target);
        QObject::connect(item, &QAction::triggered, item,
                         [tmpl] { ui::runGuarded([tmpl] { tmpl->showReportByMenuClick(); }); });
        target->addAction(item);
        tmpl->setInitParamsCallback(callback);
    }
    if (mode == 0) {
        const QList<QAction*> items = parent->actions();
        parent->insertMenu(items.isEmpty() ? nullptr : items.first(), target);
    }
}

void ReportSystem::showReportsMenu(const QStringList& codes, const InitParamsCallback& callback, QMenu* popup,
                                   QWidget* control) {
    std::vector<ReportEvnt*> events;
    ReportEvnt* single = nullptr;
    int total = 0;
    for (const QString& code : codes) {
        ReportEvnt* event = getEventByCode(code);
        const int active = event->getActiveTemplatesCount();
        total += active;
        if (active == 1 && !single) single = event;
        events.push_back(event);
    }
    if (total == 0) return;
    if (total == 1) {
        for (int i = 0; i < single->getTemplatesCount(); ++i) {
            ReportTemplate* t = single->getTemplate(i);
            if (!t->isActive()) continue;
            t->setInitParamsCallback(callback);
            t->showReportByMenuClick();
            return;
        }
    }
    emptyMenu(popup);
    for (ReportEvnt* event : events)
        if (event->getActiveTemplatesCount() > 0) event->addToMenu(popup, callback, 2, QString(), QString());
    const QPoint origin = control->mapToGlobal(QPoint(0, 0));
    popup->popup(QPoint(origin.x() - 1, origin.y() + control->height()));
}

}  // namespace ReportSys
