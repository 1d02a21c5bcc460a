#include "kv_FrReportList.h"

#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

#include "kv_ReportSystem.h"
#include "kv_Translator.h"
#include "platform/os/IniFile.h"
#include "platform/ui/Form.h"

namespace ReportSys {

TFrKVReportList::TFrKVReportList(QWidget* owner, bool remember) : QFrame(owner), remember_(remember) {
    setObjectName(QStringLiteral("FrKVReportList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    clbox_Reports = new QListWidget(this);
    clbox_Reports->setObjectName(QStringLiteral("clbox_Reports"));
    layout->addWidget(clbox_Reports);
    pMenu_selList = new QMenu(this);
    pMenu_selList->setObjectName(QStringLiteral("pMenu_selList"));
    N_SelectAll = pMenu_selList->addAction(
        kvtr::tr("kv_ReportSystem.TFrKVReportList.N_SelectAll.Caption", u"Выбрать все"));
    N_SelectAll->setObjectName(QStringLiteral("N_SelectAll"));
    N_DeselectAll = pMenu_selList->addAction(
        kvtr::tr("kv_ReportSystem.TFrKVReportList.N_DeselectAll.Caption", u"Отменить все"));
    N_DeselectAll->setObjectName(QStringLiteral("N_DeselectAll"));
    connect(N_SelectAll, &QAction::triggered, this, [this] { N_SelectAllClick(N_SelectAll); });
    connect(N_DeselectAll, &QAction::triggered, this, [this] { N_DeselectAllClick(N_DeselectAll); });
    clbox_Reports->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(clbox_Reports, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pMenu_selList->popup(clbox_Reports->viewport()->mapToGlobal(at)); });
}

QString TFrKVReportList::keyOf(const QString& code, const QString& suffix) {
    return suffix.isEmpty() ? code : code + u'_' + suffix;
}

QString TFrKVReportList::section() const {
    const QWidget* form = window();
    QString formClass =
        form && form != this ? QString::fromLatin1(form->metaObject()->className()) : QString();
    // The bare class name, as the placement component names a form's section: a namespace of ours
    // must not move the remembered ticks.
    const qsizetype scope = formClass.lastIndexOf(QLatin1String("::"));
    if (scope >= 0) formClass = formClass.mid(scope + 2);
    return formClass + objectName();
}

template <class Visit>
void TFrKVReportList::walk(Visit visit) const {
    int item = 0;
    for (const auto& [key, event] : events_) {
        for (int i = 0; i < event->getTemplatesCount(); ++i) {
            ReportTemplate* t = event->getTemplate(i);
            if (!t->isActive()) continue;
            visit(key, t, item++);
        }
    }
}

void TFrKVReportList::addEvent(ReportEvnt* event, const QString& caption, const QString& suffix) {
    if (!event) return;
    const QString key = keyOf(event->getCode(), suffix);
    if (events_.count(key)) return;
    events_[key] = event;
    if (!caption.isEmpty()) captions_[key] = QStringLiteral(" (") + caption + u')';
    refresh();
}

void TFrKVReportList::removeEvent(const QString& code, const QString& suffix) {
    events_.erase(keyOf(code, suffix));
    refresh();
}

bool TFrKVReportList::containsEvent(const QString& code, const QString& suffix) const {
    return events_.count(keyOf(code, suffix)) > 0;
}

ReportEvnt* TFrKVReportList::getEvent(const QString& code, const QString& suffix) const {
    const auto it = events_.find(keyOf(code, suffix));
    return it == events_.end() ? nullptr : it->second;
}

void TFrKVReportList::refreshIfMissing(const QString& code) {
    if (!events_.count(code)) refresh();
}

void TFrKVReportList::clear() {
    events_.clear();
    captions_.clear();
}

void TFrKVReportList::enableRememberChecks() {
    remember_ = true;
    refresh();
}

void TFrKVReportList::refresh() {
    clbox_Reports->clear();
    const os::IniFile ini(ui::Form::defaultPlacementFile());
    const QString sec = section();
    walk([&](const QString& key, ReportTemplate* t, int) {
        const auto caption = captions_.find(key);
        auto* item = new QListWidgetItem(
            t->getDisplayName() + (caption == captions_.end() ? QString() : caption->second), clbox_Reports);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool checked =
            remember_ && ini.readBool(sec, Translit::instance().toKey(t->getFileName()), true);
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    });
}

void TFrKVReportList::printChecked() {
    walk([&](const QString&, ReportTemplate* t, int index) {
        QListWidgetItem* item = clbox_Reports->item(index);
        if (item && item->checkState() == Qt::Checked && (item->flags() & Qt::ItemIsEnabled))
            t->showReport(true);
    });
    if (remember_) saveChecks();
}

void TFrKVReportList::saveChecks() {
    const os::IniFile ini(ui::Form::defaultPlacementFile());
    const QString sec = section();
    walk([&](const QString&, ReportTemplate* t, int index) {
        QListWidgetItem* item = clbox_Reports->item(index);
        if (item)
            ini.writeBool(sec, Translit::instance().toKey(t->getFileName()),
                          item->checkState() == Qt::Checked);
    });
}

void TFrKVReportList::setAllChecks(bool checked) {
    for (int i = 0; i < clbox_Reports->count(); ++i)
        clbox_Reports->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TFrKVReportList::N_SelectAllClick(QObject*) {
    setAllChecks(true);
}

void TFrKVReportList::N_DeselectAllClick(QObject*) {
    setAllChecks(false);
}

}  // namespace ReportSys
