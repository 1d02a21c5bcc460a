#pragma once
// The document choice frame: a dialog hands it the document events that apply, it lists every active
// template of them as a check box, remembers the ticks per dialog and template in the per-user
// interface file when asked, and prints the ticked ones.

#include <QFrame>
#include <QString>
#include <map>

class QListWidget;
class QMenu;
class QAction;

namespace ReportSys {

class ReportEvnt;
class ReportTemplate;

class TFrKVReportList : public QFrame {
    Q_OBJECT
public:
    TFrKVReportList(QWidget* owner, bool remember);

    // Nothing for a null event or a key already held; the caption shows beside each of its items.
    void addEvent(ReportEvnt* event, const QString& caption = {}, const QString& suffix = {});
    void removeEvent(const QString& code, const QString& suffix = {});
    bool containsEvent(const QString& code, const QString& suffix = {}) const;
    ReportEvnt* getEvent(const QString& code, const QString& suffix = {}) const;
    void refreshIfMissing(const QString& code);
    // Forgets the events and captions; the list shows the old items until the next refill.
    void clear();
    void enableRememberChecks();
    // Produces and opens the document of every ticked, enabled item; then stores the ticks.
    void printChecked();
    void refresh();
    void saveChecks();

    QListWidget* clbox_Reports;
    QMenu* pMenu_selList;
    QAction* N_SelectAll;
    QAction* N_DeselectAll;

public slots:
    void N_SelectAllClick(QObject* sender = nullptr);
    void N_DeselectAllClick(QObject* sender = nullptr);

private:
    static QString keyOf(const QString& code, const QString& suffix);
    // The section of the per-user file: the containing form's class name and the frame's name.
    QString section() const;
    template <class Visit>
    void walk(Visit visit) const;
    void setAllChecks(bool checked);

    std::map<QString, ReportEvnt*> events_;  // ordered by character code
    std::map<QString, QString> captions_;
    bool remember_;
};

}  // namespace ReportSys
