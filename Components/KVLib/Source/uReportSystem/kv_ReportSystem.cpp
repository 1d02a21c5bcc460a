#include "kv_ReportSystem.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>
#include <cmath>

#include "kv_DBRecord.h"
#include "kv_Money100.h"
#include "kv_Translator.h"
#include "kv_Valuta.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/data/Dataset.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/os/Program.h"

namespace ReportSys {

namespace {

// Kept in hundredths of a percent in the database; templates print percents.
bool isStoredPercent(const QString& column) {
    static const QStringList names{QStringLiteral("DEPOSIT_PERC"), QStringLiteral("PENALTY_PERC"),
                                   QStringLiteral("DEPOSIT_DAY_PERC"), QStringLiteral("DEPOSIT_PERC_SUM"),
                                   QStringLiteral("DEPOSIT_DAY_PERC_SUM")};
    return names.contains(column);
}

// Four decimals of a value first taken to ten significant digits.
QString fixed4(double amount) {
    if (!std::isfinite(amount) || std::fabs(amount) >= 1e10) return core::floatToStr(amount);
    return Money100::toStr(QString::number(amount, 'g', 10).toDouble(), 4);
}

}  // namespace

ReportParameters::ReportParameters(const QString& code) : code_(code) {}

void ReportParameters::clear() {
    values_.clear();
    datasets_.clear();
}

QString ReportParameters::valueToText(const core::Variant& value) {
    return value.toText();
}

void ReportParameters::addParam(const QString& name, const core::Variant& value, bool qualify) {
    if (value.isEmpty()) return;
    values_.emplace(qualify ? code_ + QLatin1Char('@') + name : name, valueToText(value));
}

void ReportParameters::addMoneyParam(const QString& name, double amount) {
    const QString fixed = Money100::toStr(amount, 2);
    addParam(name, amount);
    addParam(name + QStringLiteral("_F"), fixed);
    addParam(name + QStringLiteral("_F4"), fixed4(amount));
    addParam(name + QStringLiteral("_T"), utl::Valuta::sumToText(amount, utl::Valuta::getValutaLanguage()));
    addParam(name + QStringLiteral("_E"), amount == 0 ? QString() : QStringLiteral("0"));
    addParam(name + QStringLiteral("_FE"), amount == 0 ? QString() : fixed);
}

void ReportParameters::addRecordFields(const ufb::TDBRecord& record) {
    for (const auto& [column, value] : record.values()) {
        if (isStoredPercent(column) && !value.isEmpty())
            addParam(column, value.toDouble() / 100.0);
        else
            addParam(column, value);
    }
}

void ReportParameters::addDataSet(data::Dataset* dataset) {
    if (dataset) datasets_.push_back(dataset);
}

QStringList ReportParameters::getNames() const {
    QStringList names;
    for (const auto& [name, value] : values_) names << name;
    return names;
}

QString ReportParameters::getValue(const QString& name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? QString() : it->second;
}

QStringList ReportParameters::getDataSetNames() const {
    QStringList names;
    for (const data::Dataset* d : datasets_) names << d->objectName();
    return names;
}

data::Dataset* ReportParameters::getDataSet(const QString& name) const {
    for (data::Dataset* d : datasets_)
        if (d->objectName() == name) return d;
    return nullptr;
}

}  // namespace ReportSys
// ---------------------------------------------------------------------------------------------------
// The system

namespace ReportSys {

using kvtr::tr;

namespace {

constexpr auto kCodePage = "windows-1251";

std::unique_ptr<ReportSystem>& theSystem() {
    static std::unique_ptr<ReportSystem> system;
    return system;
}

// The settings file's bytes: Windows-1251, with the characters that code page lacks as numeric
// references, so that no name a user typed is lost.
QByteArray toWin1251Xml(const QString& text) {
    QStringEncoder whole(kCodePage);
    QByteArray bytes = whole.encode(text);
    if (!whole.hasError()) return bytes;
    QString escaped;
    escaped.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        const QString ch = QString::fromUcs4(&c, 1);
        QStringEncoder one(kCodePage);
        const QByteArray b = one.encode(ch);
        if (one.hasError())
            escaped += QStringLiteral("&#%1;").arg(static_cast<uint>(c));
        else
            escaped += ch;
    }
    QStringEncoder again(kCodePage);
    return again.encode(escaped);
}

void appendLine(QString& text, const QString& templateName, const QString& eventName) {
    if (text == QLatin1String(".")) return;
    if (!text.isEmpty()) text += u'\n';
    text += QStringLiteral("- ") + templateName + QStringLiteral(" [") + eventName + u']';
}

}  // namespace

ReportSystem::ReportSystem() {
    languages_[QStringLiteral("no")] = QString();
}

ReportSystem::~ReportSystem() {
    documentActive_ = false;
    events_.clear();
}

ReportSystem& ReportSystem::instance() {
    auto& system = theSystem();
    if (!system) {
        // Registered only once loaded: a failed load leaves no half-made system behind.
        std::unique_ptr<ReportSystem> made(new ReportSystem());
        made->load();
        system = std::move(made);
    }
    return *system;
}

void ReportSystem::releaseInstance() {
    theSystem().reset();
}

QString ReportSystem::getFolder() const {
    return os::programDir() + QStringLiteral("/reportSystem/");
}

QString ReportSystem::getSettingsFileName() const {
    return getFolder() + QStringLiteral("ReportSettings.xml");
}

void ReportSystem::setOutPath(const QString& path) {
    outPath_ = path.isEmpty() ? os::programDir() + QStringLiteral("/reportsOut") : path;
}

void ReportSystem::requireActive() const {
    if (!documentActive_)
        throw core::Exception(
            tr("kv_ReportSystem.ReportSystem.save.Exception", u"XML-документ должен быть активирован"));
}

QDomElement ReportSystem::getSystemNode() const {
    requireActive();
    return document_.documentElement();
}

void ReportSystem::writeDocument() {
    requireActive();
    // Our own declaration: Qt's writer knows no Windows-1251, and the document keeps none of its own.
    const QByteArray bytes = toWin1251Xml(
        QStringLiteral("<?xml version=\"1.0\" encoding=\"Windows-1251\"?>\n") + document_.toString(2));
    const QString path = getSettingsFileName();
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw core::Exception(QStringLiteral("Unable to write to %1 (%2)").arg(path, file.errorString()));
}

void ReportSystem::load() {
    const QString fileName = getSettingsFileName();
    if (QFile::exists(fileName)) {
        documentActive_ = false;
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw core::Exception(tr("kv_ReportSystem.ReportSystem.load.Exception",
                                     u"Невозможно открыть xml файл с параметрами системы документов\n") +
                                  fileName);
        QDomDocument document;
        QString error;
        int line = 0;
        int column = 0;
        if (!document.setContent(file.readAll(), &error, &line, &column))
            throw core::Exception(
                QStringLiteral("%1 (line %2, column %3)\n%4").arg(error).arg(line).arg(column).arg(fileName));
        if (document.documentElement().isNull())
            throw core::Exception(tr("kv_ReportSystem.ReportSystem.load.Exception",
                                     u"Невозможно открыть xml файл с параметрами системы документов\n") +
                                  fileName);
        for (QDomNode n = document.firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (n.isProcessingInstruction() && n.nodeName() == QLatin1String("xml")) {
                document.removeChild(n);
                break;
            }
        }
        document_ = document;
        documentActive_ = true;
        setOutPath(getSystemNode().attribute(QStringLiteral("outPath")));
        for (const auto& event : events_) event->load();
        return;
    }
    // First start: the folder (one level) and a settings file with an empty system element.
    const QString folder = getFolder();
    if (!QDir(folder).exists()) QDir().mkdir(folder);
    if (!QDir(folder).exists())
        throw core::Exception(
            tr("kv_ReportSystem.ReportSystem.load.Exception2",
               u"Не удаётся создать директорию для файлов настроек и шаблонов документов: ") +
            folder + u'.');
    document_ = QDomDocument();
    document_.appendChild(document_.createElement(QStringLiteral("system")));
    documentActive_ = true;
    writeDocument();
    setOutPath(QString());
    save();
}

void ReportSystem::save() {
    getSystemNode().setAttribute(QStringLiteral("outPath"), outPath_);
    for (const auto& event : events_) event->save();
    writeDocument();
}

void ReportSystem::requireNewEventCode(const QString& code) const {
    for (const auto& e : events_)
        if (e->getCode() == code)
            throw core::Exception(tr("kv_ReportSystem.ReportSystem.addReportEvent.Exception",
                                     u"Событие-документ с таким кодом уже существует:") +
                                  QStringLiteral(" '") + code + QStringLiteral("'."));
}

ReportEvnt* ReportSystem::getEventByCode(const QString& code) const {
    for (const auto& e : events_)
        if (e->getCode() == code) return e.get();
    throw core::Exception(
        tr("kv_ReportSystem.ReportSystem.getEventByCode.Exception1_1", u"Событие с кодом") +
        QStringLiteral(" \"") + code + QStringLiteral("\" ") +
        tr("kv_ReportSystem.ReportSystem.getEventByCode.Exception1_2", u"не содержится в системе."));
}

void ReportSystem::deleteEvents() {
    events_.clear();
}

ReportEvnt* ReportSystem::getEvent(int index) const {
    if (index < 0 || index >= getEventsCount())
        throw core::Exception(QStringLiteral("List index out of bounds (%1)").arg(index));
    return events_[index].get();
}

void ReportSystem::addNewTemplateText(const QString& templateName, const QString& eventName) {
    appendLine(newTemplatesText_, templateName, eventName);
}

void ReportSystem::addLostTemplateText(const QString& templateName, const QString& eventName) {
    appendLine(lostTemplatesText_, templateName, eventName);
}

void ReportSystem::addLanguage(const QString& code, const QString& name) {
    languages_[code] = name;
}

QString ReportSystem::getLanguageName(const QString& code) const {
    const auto it = languages_.find(code);
    return it == languages_.end() ? QStringLiteral("0") : it->second;
}

QStringList ReportSystem::getLanguageCodes() const {
    QStringList codes;
    for (const auto& [code, name] : languages_) codes << code;
    return codes;
}

void ReportSystem::setCurrentLanguage(const QString& code) {
    if (code == QLatin1String("no") || languages_.count(code)) currentLanguage_ = code;
}

void checkForNewReports(ReportSystem& system) {
    QString& text = system.newTemplatesText_;
    if (text.size() > 1) {
        ui::showInfo(
            tr("kv_ReportSystem.checkForNewReports.Message_1",
               u"В системе документов обнаружены новые шаблоны:\n") +
            text + QStringLiteral(".\n\n") +
            tr("kv_ReportSystem.checkForNewReports.Message_2",
               u"Используйте настройки документов для их просмотра (Программа->Настройки документов)."));
        text = QStringLiteral(".");
    }
    system.resetActive_ = false;
}

void checkForLostedReports(ReportSystem& system) {
    QString& text = system.lostTemplatesText_;
    if (text.size() > 1) {
        ui::showWarning(tr("kv_ReportSystem.checkForLostedReports.Message_1",
                           u"В системе документов не обнаружены следующие файлы:\n") +
                        text + QStringLiteral(".\n\n") +
                        tr("kv_ReportSystem.checkForLostedReports.Message_2",
                           u"Используйте настройки системы документов для их просмотра (Программа->Настройки "
                           u"документов)."));
        text = QStringLiteral(".");
    }
    system.resetActive_ = false;
}

Translit& Translit::instance() {
    static Translit translit;
    return translit;
}

QString Translit::toKey(const QString& text) const {
    static const QString replaced = QStringLiteral("[]:;\\|/?,}{~`");
    QString key = text;
    for (QChar& c : key)
        if (replaced.contains(c)) c = u'_';
    return key;
}

std::vector<std::pair<QString, QString>> reportSystemTexts(int language) {
    static const kvtr::Text texts[] = {
        {"kv_ReportSystem.ReportSystem.load.Exception",
         u"Невозможно открыть xml файл с параметрами системы документов\n",
         u"Неможливо відкрити xml файл з параметрами системи документів\n"},
        {"kv_ReportSystem.ReportSystem.load.Exception2",
         u"Не удаётся создать директорию для файлов настроек и шаблонов документов: ",
         u"Не вдається створити директорію для файлів налаштувань та шаблонів документів: "},
        {"kv_ReportSystem.ReportSystem.save.Exception", u"XML-документ должен быть активирован",
         u"XML-документ повинен бути активований"},
        {"kv_ReportSystem.ReportSystem.getEventByCode.Exception1_1", u"Событие с кодом", u"Подія з кодом"},
        {"kv_ReportSystem.ReportSystem.getEventByCode.Exception1_2", u"не содержится в системе.",
         u"не міститься в системі."},
        {"kv_ReportSystem.ReportSystem.addReportEvent.Exception",
         u"Событие-документ с таким кодом уже существует:", u"Подія-документ з таким кодом вже існує:"},
        {"kv_ReportSystem.ReportEvnt.findMyNode.Exception", u"Не найден узел события-документа в XML файле",
         u"Не знайдено вузол події-документа в XML файлі"},
        {"kv_ReportSystem.checkForNewReports.Message_1", u"В системе документов обнаружены новые шаблоны:\n",
         u"У системі документів виявлено нові шаблони:\n"},
        {"kv_ReportSystem.checkForNewReports.Message_2",
         u"Используйте настройки системы документов для их просмотра (Программа->Настройка документов).",
         u"Використовуйте налаштування системи документів для їх перегляду (Програма->Налаштування "
         u"документів)."},
        {"kv_ReportSystem.checkForLostedReports.Message_1",
         u"В системе документов не обнаружены следующие файлы документов:\n",
         u"У системі документів не виявлено наступні файли документів:\n"},
        {"kv_ReportSystem.checkForLostedReports.Message_2",
         u"Используйте настройки системы документов для их просмотра (Программа->Настройка документов).",
         u"Використовуйте налаштування системи документів для їх перегляду (Програма->Налаштування "
         u"документів)."},
        {"kv_ReportSystem.ReportEvnt.moveTemplates.Message", u"Удалить файл-шаблон документа",
         u"Видалити файл-шаблон документа"},
        {"kv_ReportSystem.ReportEvnt.saveTemplate.CopyError",
         u"Не удаётся скопировать файл шаблона документа \"%1\" в \"%2\":\n%3",
         u"Не вдається скопіювати файл шаблону документа \"%1\" до \"%2\":\n%3"},
        {"kv_ReportSystem.ReportEvnt.saveTemplate.RenameError",
         u"Не удаётся переименовать файл шаблона документа \"%1\" в \"%2\":\n%3",
         u"Не вдається перейменувати файл шаблону документа \"%1\" на \"%2\":\n%3"},
        {"kv_ReportSystem.ReportEvnt.addParameter.Exception",
         u"Параметры с таким кодом в этом событии-документе уже существуют:",
         u"Параметри з таким кодом у цій події-документі вже існують:"},
        {"kv_ReportSystem.ReportEvnt.getTemplateByIndxNotDestroy.Exception1_1",
         u"Значение индекса превышает количество шаблонов в наборе события. \nИндекс: ",
         u"Значення індексу перевищує кількість шаблонів у наборі події. \nІндекс: "},
        {"kv_ReportSystem.ReportEvnt.getTemplateByIndxNotDestroy.Exception1_2", u"\nКоличество шаблонов: ",
         u"\nКількість шаблонів: "},
        {"kv_ReportSystem.ReportTemplate.showReportByMenuClick.Exception",
         u"Не задана внешняя функция инициализации параметров события для шаблона документа ",
         u"Не задано зовнішню функцію ініціалізації параметрів події для шаблону документа "},
        {"kv_ReportSystem.ReportTemplate.showReport.Message",
         u"Для формирования документа не загружены необходимые значения.",
         u"Для формування документа не завантажено необхідні значення."},
        {"kv_ReportSystem.ReportTemplate.showReport.Exception",
         u"Не удаётся создать директорию для сформированных документов: ",
         u"Не вдається створити директорію для сформованих документів: "},
        {"kv_ReportSystem.ReportTemplate.showReport.Exception3",
         u"Ошибка при формировании документа.\nВозможно формат файла шаблона документа не соответствует "
         u"формату "
         u"RTF!\nПроверьте формат файла либо пересохраните его, указав требуемый формат.\n\nИсходное "
         u"сообщение "
         u"об ошибке:\n",
         u"Помилка при формуванні документа.\nМожливо формат файлу шаблону документа не відповідає формату "
         u"RTF!\nПеревірте формат файлу або перезбережіть його, вказавши потрібний формат.\n\nВихідне "
         u"повідомлення про помилку:\n"},
        {"kv_ReportSystem.TFrKVReportList.N_SelectAll.Caption", u"Выбрать все", u"Вибрати всі"},
        {"kv_ReportSystem.TFrKVReportList.N_DeselectAll.Caption", u"Отменить все", u"Скасувати всі"},
    };
    return kvtr::textsIn(texts, language);
}

}  // namespace ReportSys
