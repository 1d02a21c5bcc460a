#pragma once
// The document system of the library: the registry of document events with their RTF templates on disk
// and in the settings file "ReportSettings.xml", the parameter groups whose values fill a template, and
// the printing of a template into a document that is then opened. Qt Core only; the menu builders
// (ReportEvnt::addToMenu, ReportSystem::showReportsMenu) live in the widgets-side unit kv_ReportMenus.

#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/core/DateTime.h"
#include "platform/core/Variant.h"

class QMenu;
class QWidget;

namespace data {
class Dataset;
}
namespace ufb {
class TDBRecord;
}

namespace ReportSys {

class ReportEvnt;
class ReportSystem;
class ReportTemplate;

// One group of template values (COMMON, CONTRACT ...): values by name, the first value of a name kept,
// and the datasets of the template's tables (not owned: the group that fills them owns them).
class ReportParameters {
public:
    explicit ReportParameters(const QString& code);
    virtual ~ReportParameters() = default;

    const QString& getCode() const { return code_; }
    // Forgets all values and datasets; frees none of the datasets.
    void clear();

    // A null or unassigned value adds nothing; qualified names are stored as CODE@NAME.
    void addParam(const QString& name, const core::Variant& value, bool qualify = true);
    // Six values: NAME, NAME_F, NAME_F4, NAME_T (in words), NAME_E, NAME_FE. The amount is in currency
    // units with hundredths as the fraction; it is only formatted, never computed with.
    void addMoneyParam(const QString& name, double amount);
    // Every field of the record under its column name; the stored percentages become percents.
    void addRecordFields(const ufb::TDBRecord& record);
    void addDataSet(data::Dataset* dataset);

    QStringList getNames() const;
    QString getValue(const QString& name) const;
    QStringList getDataSetNames() const;
    // By component name, case-sensitive; nullptr when absent.
    data::Dataset* getDataSet(const QString& name) const;
    std::vector<data::Dataset*> getDataSetArray() const { return datasets_; }
    int getDataSetCount() const { return static_cast<int>(datasets_.size()); }
    bool hasValues() const { return !values_.empty() || !datasets_.empty(); }

    // The text a template prints for a value: dates as the date alone when the time is zero, numbers
    // in the general form with "." as the separator, others as the platform converts them.
    static QString valueToText(const core::Variant& value);

private:
    QString code_;
    std::map<QString, QString> values_;  // ordered by character code
    std::vector<data::Dataset*> datasets_;
};

// What the window offering a template sets: it fills the template's event for the document at hand.
using InitParamsCallback = std::function<void(ReportTemplate*)>;

// One RTF template of an event: its file in the event's folder (or, while new and unsaved, the full
// path of the chosen source file), display name, language, active flag and pending edit state.
class ReportTemplate {
public:
    // Edit states: -1 stored, 0 new (file still outside), 1 marked for removal, 2 removed, 3 found.
    explicit ReportTemplate(ReportEvnt* event);
    virtual ~ReportTemplate() = default;

    const QString& getName() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    const QString& getFileName() const { return fileName_; }
    void setFileName(const QString& fileName) { fileName_ = fileName; }
    bool isActive() const { return active_; }
    void setActive(bool active) { active_ = active; }
    const QString& getLanguage() const { return language_; }
    void setLanguage(const QString& language) { language_ = language; }
    int getEditState() const { return editState_; }
    void setEditState(int state) { editState_ = state; }
    ReportEvnt* getEvent() const { return event_; }
    const InitParamsCallback& getInitParamsCallback() const { return initParamsCallback_; }
    void setInitParamsCallback(InitParamsCallback callback) { initParamsCallback_ = std::move(callback); }

    // The event's folder, with a trailing separator.
    QString getFolder() const;
    // The folder and the file name; a new template's source path as it is.
    QString getFullFileName() const;
    // "[ru] Договор", or the bare name for the language "no" or none.
    QString getDisplayName();

    // The text between the first "[" and the first "]", "no" when either is missing.
    static QString languageFromFileName(const QString& fileName);
    // Takes the file name's language only when the system stores that code.
    void takeLanguageFromFileName();

    // Writes the template into its event's element, which must exist, and the settings file.
    void save();

    // Fills the template with the event's values into a new document in the output folder and, with
    // the flag, opens it. Returns the document's file name without folder, "0" when there was nothing
    // to print.
    QString showReport(bool open);
    // A menu's click: the window's callback fills the event, then the document is produced and opened.
    void showReportByMenuClick();

    // The clock that names produced documents; an empty one puts the system clock back. Returns the old.
    using Clock = std::function<core::DateTime()>;
    static Clock setClock(Clock clock);

private:
    InitParamsCallback initParamsCallback_;
    QString name_;
    QString fileName_;
    bool active_ = false;
    int editState_ = -1;
    QString language_;
    ReportEvnt* event_;
};

// A document event: a moment at which documents are produced. A subclass names its code and display
// name, and its constructor runs load() and then initParameters(), which adds its parameter groups.
class ReportEvnt {
public:
    ReportEvnt(const QString& code, const QString& name);
    virtual ~ReportEvnt();
    ReportEvnt(const ReportEvnt&) = delete;
    ReportEvnt& operator=(const ReportEvnt&) = delete;

    virtual void initParameters() = 0;

    const QString& getCode() const { return code_; }
    const QString& getName() const { return name_; }
    ReportSystem* getSystem() const { return system_; }

    // Parameter groups. A group whose code is already present is refused and stays the caller's.
    template <class Group>
    void addParameter(std::unique_ptr<Group>&& group) {
        requireNewGroupCode(group->getCode());
        groups_.push_back(std::move(group));
    }
    ReportParameters* getParamGroup(const QString& code) const;
    // The merged values of all groups, rebuilt when it holds no value names.
    ReportParameters& getParams();
    void collectParams();

    // Templates.
    int getTemplatesCount() const { return static_cast<int>(templates_.size()); }
    ReportTemplate* getTemplate(int index) const;
    int getActiveTemplatesCount() const;
    // The index-th template among those not removed (edit state other than 2).
    ReportTemplate* getTemplateByIndxNotDestroy(int index) const;
    ReportTemplate* addTemplate(const QString& name, const QString& fileName, bool active, int editState);
    ReportTemplate* addTemplate(std::unique_ptr<ReportTemplate> tmpl);
    void deleteTemplate(int index);
    void clearTemplates();

    // Persistence in the settings file.
    void load();
    void save();
    // The event's element, a null element when there is none (an error with mustExist).
    QDomElement findMyNode(bool mustExist);
    // Stores the template's files as its state demands and appends its element; a failed copy or
    // rename is shown and leaves the template pending and unwritten.
    void saveTemplate(QDomElement& eventNode, ReportTemplate* tmpl);
    // Drops the templates in edit state 2 and in the given state, with their files as the Part's rules say.
    void moveTemplates(int editState);

    // The active templates as menu items (widgets-side unit). Mode 0: a submenu put at the top of the
    // parent; 1: the parent emptied and filled; 2: items added to the parent. The items point at the
    // templates: a window rebuilds its menu after the event reloads them.
    void addToMenu(QMenu* parent, const InitParamsCallback& callback, int mode, const QString& itemName = {},
                   const QString& caption = {});

private:
    void requireNewGroupCode(const QString& code) const;

    QString code_;
    QString name_;
    std::vector<std::unique_ptr<ReportTemplate>> templates_;
    std::vector<std::unique_ptr<ReportParameters>> groups_;
    ReportSystem* system_;
    ReportParameters params_;
};

// The one registry of document events, their folders and the settings file.
class ReportSystem {
public:
    virtual ~ReportSystem();
    ReportSystem(const ReportSystem&) = delete;
    ReportSystem& operator=(const ReportSystem&) = delete;

    // The one system, constructed and loaded on the first call; a failed construction is tried again
    // by the next call.
    static ReportSystem& instance();
    // Ends the one system (the program's end, or a test that starts over in another folder).
    static void releaseInstance();

    void load();
    void save();

    // Ownership passes to the system; an event whose code is registered already stays the caller's.
    template <class Event>
    void addReportEvent(std::unique_ptr<Event>&& event) {
        requireNewEventCode(event->getCode());
        events_.push_back(std::move(event));
    }
    ReportEvnt* getEventByCode(const QString& code) const;
    void deleteEvents();
    int getEventsCount() const { return static_cast<int>(events_.size()); }
    ReportEvnt* getEvent(int index) const;

    // The collected lines of templates found in or lost from the folders while loading.
    void addNewTemplateText(const QString& templateName, const QString& eventName);
    void addLostTemplateText(const QString& templateName, const QString& eventName);
    const QString& getNewTemplatesText() const { return newTemplatesText_; }
    const QString& getLostTemplatesText() const { return lostTemplatesText_; }
    bool getResetActive() const { return resetActive_; }
    void setResetActive(bool reset) { resetActive_ = reset; }

    void addLanguage(const QString& code, const QString& name);
    void clearLanguages() { languages_.clear(); }
    // The name, "0" for a code not stored.
    QString getLanguageName(const QString& code) const;
    QStringList getLanguageCodes() const;
    // Accepted for a stored code and for "no"; otherwise the current language stays.
    void setCurrentLanguage(const QString& code);
    const QString& getCurrentLanguage() const { return currentLanguage_; }

    // The document system folder with a trailing separator.
    QString getFolder() const;
    QString getSettingsFileName() const;
    const QString& getOutPath() const { return outPath_; }
    // An empty path gives the program folder's "reportsOut".
    void setOutPath(const QString& path);

    // The settings document; reading or writing it while it is not active is an error.
    QDomDocument& getDocument() { return document_; }
    bool isDocumentActive() const { return documentActive_; }
    QDomElement getSystemNode() const;
    // Writes the settings document to the settings file.
    void writeDocument();

    // Prints the only active template of the events at once, or offers all of them in the popup at
    // the control's lower-left corner (widgets-side unit).
    void showReportsMenu(const QStringList& codes, const InitParamsCallback& callback, QMenu* popup,
                         QWidget* control);

private:
    friend void checkForNewReports(ReportSystem& system);
    friend void checkForLostedReports(ReportSystem& system);
    ReportSystem();
    void requireActive() const;
    void requireNewEventCode(const QString& code) const;

    bool resetActive_ = false;
    QString newTemplatesText_;
    QString lostTemplatesText_;
    QString outPath_;
    std::vector<std::unique_ptr<ReportEvnt>> events_;
    std::map<QString, QString> languages_;
    QString currentLanguage_;
    QDomDocument document_;
    bool documentActive_ = false;
};

// Shows the collected new (information) or lost (warning) templates once per run, and switches the
// reset-active-by-language flag off.
void checkForNewReports(ReportSystem& system);
void checkForLostedReports(ReportSystem& system);

// Settings keys made from template file names.
class Translit {
public:
    static Translit& instance();
    // Each of [ ] : ; \ | / ? , } { ~ ` replaced by "_".
    QString toKey(const QString& text) const;

private:
    Translit() = default;
};

// The texts of this unit's translator keys in the language (1 Russian, 2 Ukrainian), for the shell to
// copy into the translator; each entry is {key, text}.
std::vector<std::pair<QString, QString>> reportSystemTexts(int language);

}  // namespace ReportSys
