// Document events and templates: their records in the settings file, the template files in the event's
// folder, and the printing of a template into a document.

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "kv_FormHelpers.h"
#include "kv_ReportSystem.h"
#include "kv_RtfUtil.h"
#include "kv_StrUtl.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/rtf/RtfEngine.h"

namespace ReportSys {

using kvtr::tr;

namespace {

const QString kNo = QStringLiteral("no");

ReportTemplate::Clock& clock() {
    static ReportTemplate::Clock c;
    return c;
}

QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool boolFromText(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    bool number = false;
    const int n = t.toInt(&number);
    return number && n != 0;
}

// A new template's file name before its last ".": the counter a name ends with ("Договор_3.rtf"),
// counted on from there until the folder holds no file of that name.
QString freeFileName(const QString& folder, const QString& bareName) {
    QString name = bareName;
    int n = 0;
    const qsizetype underscore = name.lastIndexOf(u'_');
    if (underscore >= 0) {
        const qsizetype dot = name.lastIndexOf(u'.');
        bool isNumber = false;
        const int read =
            dot > underscore ? name.mid(underscore + 1, dot - underscore - 1).toInt(&isNumber) : 0;
        if (isNumber) {
            n = read;
            name.remove(underscore, dot - underscore);
        }
    }
    QString candidate = name;
    while (QFileInfo::exists(folder + candidate)) {
        ++n;
        const qsizetype dot = name.lastIndexOf(u'.');
        const QString suffix = u'_' + QString::number(n);
        candidate = dot < 0 ? name + suffix : name.left(dot) + suffix + name.mid(dot);
    }
    return candidate;
}

// Why a file could not be copied: the source's own error when it cannot be read, else the copy's.
QString copyFailure(const QString& source, QFile& copier) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return in.errorString();
    return copier.errorString();
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// Template

ReportTemplate::ReportTemplate(ReportEvnt* event) : event_(event) {}

QString ReportTemplate::getFolder() const {
    return event_->getSystem()->getFolder() + event_->getCode() + u'/';
}

QString ReportTemplate::getFullFileName() const {
    // A new template still names its source file with the full path.
    if (QFileInfo(fileName_).isAbsolute()) return fileName_;
    return getFolder() + fileName_;
}

QString ReportTemplate::getDisplayName() {
    if (language_.isEmpty()) takeLanguageFromFileName();
    if (language_.isEmpty() || language_ == kNo) return name_;
    return u'[' + language_ + QStringLiteral("] ") + name_;
}

QString ReportTemplate::languageFromFileName(const QString& fileName) {
    const qsizetype open = fileName.indexOf(u'[');
    const qsizetype close = fileName.indexOf(u']');
    if (open < 0 || close < 0) return kNo;
    return close > open ? fileName.mid(open + 1, close - open - 1) : QString();
}

void ReportTemplate::takeLanguageFromFileName() {
    const QString language = languageFromFileName(fileName_);
    if (event_->getSystem()->getLanguageCodes().contains(language)) language_ = language;
}

void ReportTemplate::save() {
    QDomElement node = event_->findMyNode(true);
    event_->saveTemplate(node, this);
    event_->getSystem()->writeDocument();
}

ReportTemplate::Clock ReportTemplate::setClock(Clock c) {
    Clock old = std::move(clock());
    clock() = std::move(c);
    return old;
}

QString ReportTemplate::showReport(bool open) {
    utl::AutoScreenCursor hourglass;
    ReportParameters& params = event_->getParams();
    if (!params.hasValues()) {
        ui::showError(tr("kv_ReportSystem.ReportTemplate.showReport.Message",
                         u"Для формирования документа не загружены необходимые значения."));
        return QStringLiteral("0");
    }

    const core::DateTime now = clock() ? clock()() : core::DateTime::now();
    const QString suffix = u'_' + core::dateToStr(now) + u' ' + core::timeToStr(now).replace(u':', u';');
    QString outName = fileName_;
    const qsizetype dot = outName.indexOf(u'.');
    outName.insert(dot < 0 ? 0 : dot, suffix);

    const QString outPath = event_->getSystem()->getOutPath();
    if (!QDir(outPath).exists() && !QDir().mkpath(outPath))
        throw core::Exception(tr("kv_ReportSystem.ReportTemplate.showReport.Exception",
                                 u"Не удаётся создать директорию для сформированных документов: ") +
                              outPath + u'.');

    rtf::Engine engine;
    engine.setInputFile(getFullFileName());
    engine.setOutputFile(outPath + u'/' + outName);
    engine.clearVars();
    for (const QString& name : params.getNames()) addRtfVar(engine, name, params.getValue(name));

    const std::vector<data::Dataset*> datasets = params.getDataSetArray();
    if (datasets.empty()) {
        executeRtf(engine, datasets, open);
    } else {
        // A template whose tables cannot be filled is most often not RTF at all: say so, and carry on.
        try {
            executeRtf(engine, datasets, open);
        } catch (const core::Exception& e) {
            ui::showError(
                tr("kv_ReportSystem.ReportTemplate.showReport.Exception3",
                   u"Ошибка при формировании документа.\nВозможно формат файла шаблона документа не "
                   u"соответствует формату RTF!\nПроверьте формат файла либо пересохраните его, указав "
                   u"требуемый формат.\n\nИсходное сообщение об ошибке:\n") +
                e.message());
        }
    }
    return outName;
}

void ReportTemplate::showReportByMenuClick() {
    if (!initParamsCallback_)
        throw core::Exception(tr("kv_ReportSystem.ReportTemplate.showReportByMenuClick.Exception",
                                 u"Не задана внешняя функция инициализации параметров события для шаблона "
                                 u"документа ") +
                              name_);
    initParamsCallback_(this);
    showReport(true);
}

// ---------------------------------------------------------------------------------------------------
// Event

ReportEvnt::ReportEvnt(const QString& code, const QString& name)
    : code_(code), name_(name), system_(&ReportSystem::instance()), params_(QString()) {}

ReportEvnt::~ReportEvnt() {
    templates_.clear();
    groups_.clear();
}

void ReportEvnt::requireNewGroupCode(const QString& code) const {
    for (const auto& g : groups_)
        if (g->getCode() == code)
            throw core::Exception(tr("kv_ReportSystem.ReportEvnt.addParameter.Exception",
                                     u"Параметры с таким кодом в этом событии-документе уже существуют:") +
                                  QStringLiteral(" '") + code + QStringLiteral("'."));
}

ReportParameters* ReportEvnt::getParamGroup(const QString& code) const {
    for (const auto& g : groups_)
        if (g->getCode() == code) return g.get();
    return nullptr;
}

ReportParameters& ReportEvnt::getParams() {
    if (params_.getNames().isEmpty()) collectParams();
    return params_;
}

void ReportEvnt::collectParams() {
    params_.clear();
    for (const auto& g : groups_)
        for (const QString& name : g->getNames()) params_.addParam(name, g->getValue(name), false);
    for (const auto& g : groups_)
        for (data::Dataset* d : g->getDataSetArray()) params_.addDataSet(d);
}

ReportTemplate* ReportEvnt::getTemplate(int index) const {
    if (index < 0 || index >= getTemplatesCount())
        throw core::Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    return templates_[index].get();
}

int ReportEvnt::getActiveTemplatesCount() const {
    int n = 0;
    for (const auto& t : templates_)
        if (t->isActive()) ++n;
    return n;
}

ReportTemplate* ReportEvnt::getTemplateByIndxNotDestroy(int index) const {
    int i = 0;
    for (const auto& t : templates_) {
        if (t->getEditState() == 2) continue;
        if (i++ == index) return t.get();
    }
    throw core::Exception(tr("kv_ReportSystem.ReportEvnt.getTemplateByIndxNotDestroy.Exception1_1",
                             u"Значение индекса превышает количество шаблонов в наборе события. \nИндекс: ") +
                          QString::number(index) +
                          tr("kv_ReportSystem.ReportEvnt.getTemplateByIndxNotDestroy.Exception1_2",
                             u"\nКоличество шаблонов: ") +
                          QString::number(getTemplatesCount()));
}

ReportTemplate* ReportEvnt::addTemplate(const QString& name, const QString& fileName, bool active,
                                        int editState) {
    auto t = std::make_unique<ReportTemplate>(this);
    t->setName(name);
    t->setFileName(fileName);
    t->setLanguage(ReportTemplate::languageFromFileName(fileName));
    t->setEditState(editState);
    t->setActive(editState == 0 ? t->getLanguage() == system_->getCurrentLanguage() : active);
    templates_.push_back(std::move(t));
    return templates_.back().get();
}

ReportTemplate* ReportEvnt::addTemplate(std::unique_ptr<ReportTemplate> tmpl) {
    if (tmpl->getEditState() == 0 || tmpl->getEditState() == 3)
        tmpl->setActive(tmpl->getLanguage() == system_->getCurrentLanguage());
    templates_.push_back(std::move(tmpl));
    return templates_.back().get();
}

void ReportEvnt::deleteTemplate(int index) {
    getTemplate(index);
    templates_.erase(templates_.begin() + index);
}

void ReportEvnt::clearTemplates() {
    templates_.clear();
}

QDomElement ReportEvnt::findMyNode(bool mustExist) {
    const QDomElement system = system_->getSystemNode();
    for (QDomElement e = system.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (e.attribute(QStringLiteral("code")) == code_) return e;
    if (mustExist)
        throw core::Exception(tr("kv_ReportSystem.ReportEvnt.findMyNode.Exception",
                                 u"Не найден узел события-документа в XML файле"));
    return {};
}

void ReportEvnt::load() {
    clearTemplates();
    QDomElement node = findMyNode(false);
    const QString folder = system_->getFolder() + code_ + u'/';
    if (!node.isNull()) {
        for (QDomElement e = node.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            auto t = std::make_unique<ReportTemplate>(this);
            t->setName(e.text());
            t->setFileName(e.attribute(QStringLiteral("fileName")));
            t->setLanguage(ReportTemplate::languageFromFileName(t->getFileName()));
            if (system_->getResetActive()) {
                const QString& language = t->getLanguage();
                t->setActive(language == system_->getCurrentLanguage() || language == kNo);
                e.setAttribute(QStringLiteral("active"), boolText(t->isActive()));
                system_->writeDocument();
            } else {
                t->setActive(boolFromText(e.attribute(QStringLiteral("active"))));
            }
            if (!QFileInfo(t->getFullFileName()).isFile()) {
                t->setActive(false);
                system_->addLostTemplateText(t->getName(), name_);
            }
            t->setEditState(-1);
            templates_.push_back(std::move(t));
        }
    } else {
        QDomDocument& document = system_->getDocument();
        QDomElement e = document.createElement(QStringLiteral("event"));
        e.setAttribute(QStringLiteral("name"), name_);
        e.setAttribute(QStringLiteral("code"), code_);
        system_->getSystemNode().appendChild(e);
        system_->writeDocument();
    }

    // Files dropped into the folder; working copies of word processors ("~$x.rtf") and the like are not
    // templates.
    const QStringList files = QDir(folder).entryList(
        {QStringLiteral("*.rtf")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QString& file : files) {
        bool known = false;
        for (const auto& t : templates_)
            if (t->getFileName() == file) known = true;
        if (known || utl::StrUtl::containsAnyChar(file, QStringLiteral("~@#$"), 4)) continue;
        QString display = file;
        const qsizetype ext = display.indexOf(QLatin1String(".rtf"));
        if (ext >= 0) display.remove(ext, 4);
        display.remove(0, display.indexOf(u']') + 1);
        auto t = std::make_unique<ReportTemplate>(this);
        t->setName(display);
        t->setFileName(file);
        t->setLanguage(ReportTemplate::languageFromFileName(file));
        t->setActive(false);
        t->setEditState(3);
        templates_.push_back(std::move(t));
        system_->addNewTemplateText(display, name_);
    }
}

void ReportEvnt::save() {
    QDomElement node = findMyNode(false);
    if (!node.isNull()) {
        while (!node.firstChild().isNull()) node.removeChild(node.firstChild());
    } else {
        node = system_->getDocument().createElement(QStringLiteral("event"));
        node.setAttribute(QStringLiteral("code"), code_);
        system_->getSystemNode().appendChild(node);
    }
    for (const auto& t : templates_) saveTemplate(node, t.get());
    system_->writeDocument();
}

void ReportEvnt::saveTemplate(QDomElement& eventNode, ReportTemplate* tmpl) {
    const QString folder = tmpl->getFolder();
    QString fileName = tmpl->getFileName();
    const QString& language = tmpl->getLanguage();

    if (tmpl->getEditState() == 0) {
        // A new template: its source file is copied into the event's folder under a free name.
        QString bare = !language.isEmpty() && language != kNo ? u'[' + language + u']' : QString();
        bare += QFileInfo(fileName).fileName();
        bare = freeFileName(folder, bare);
        QDir().mkpath(folder);
        QFile copier(fileName);
        if (!copier.copy(folder + bare)) {
            ui::showError(tr("kv_ReportSystem.ReportEvnt.saveTemplate.CopyError",
                             u"Не удаётся скопировать файл шаблона документа \"%1\" в \"%2\":\n%3")
                              .arg(fileName, folder + bare, copyFailure(fileName, copier)));
            return;
        }
        fileName = bare;
    }

    // The country changed: the file's prefix follows it.
    const QString fileLanguage = ReportTemplate::languageFromFileName(fileName);
    if (fileLanguage != language) {
        const QString rest = fileLanguage != kNo ? fileName.mid(fileLanguage.size() + 2) : fileName;
        const QString renamed = (language == kNo ? QString() : u'[' + language + u']') + rest;
        QFile file(folder + fileName);
        if (!file.rename(folder + renamed)) {
            ui::showError(tr("kv_ReportSystem.ReportEvnt.saveTemplate.RenameError",
                             u"Не удаётся переименовать файл шаблона документа \"%1\" в \"%2\":\n%3")
                              .arg(folder + fileName, folder + renamed, file.errorString()));
            return;
        }
        fileName = renamed;
    }

    tmpl->setFileName(fileName);
    tmpl->setEditState(-1);
    QDomDocument& document = system_->getDocument();
    QDomElement e = document.createElement(QStringLiteral("template"));
    e.setAttribute(QStringLiteral("fileName"), fileName);
    e.setAttribute(QStringLiteral("active"), boolText(tmpl->isActive()));
    e.appendChild(document.createTextNode(tmpl->getName()));
    eventNode.appendChild(e);
}

void ReportEvnt::moveTemplates(int editState) {
    // Every deletion starts the walk again from the first template.
    for (bool deleted = true; deleted;) {
        deleted = false;
        for (int i = 0; i < getTemplatesCount() && !deleted; ++i) {
            ReportTemplate* t = templates_[i].get();
            const int state = t->getEditState();
            if (state != 2 && state != editState) continue;
            const QString path = t->getFullFileName();
            if (state == 2) {
                // Never saved: the name is the user's own source file, which is not ours to delete.
                if (!QFileInfo(t->getFileName()).isAbsolute()) QFile::remove(path);
            } else if (state == 1 && QFileInfo(path).isFile()) {
                if (ui::askYesNo(tr("kv_ReportSystem.ReportEvnt.moveTemplates.Message",
                                    u"Удалить файл-шаблон документа") +
                                 QStringLiteral(" \"") + t->getName() + QStringLiteral("\" ") + path + u'?'))
                    QFile::remove(path);
            }
            deleteTemplate(i);
            deleted = true;
        }
    }
}

}  // namespace ReportSys
