// The registry: the folder and the settings file, reconciliation with the template folders, languages,
// saving templates with their files, and dropping marked ones.

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>

#include "ReportSystemFixture.h"
#include "tests/support/ErrorText.h"
#include "tests/support/SpreadsheetCheck.h"

namespace {

using ReportSys::ReportSystem;
using ReportSys::ReportTemplate;
using rstest::TestEvent;
using tolvtest::errorText;

// The settings file as Python's xml.etree reads it: the declaration's encoding, outPath, and per event
// its attributes and templates {fileName, active (a boolean), text}.
QJsonObject readSettings(const QString& file) {
    static const char* script = R"py(
import json, re, sys, xml.etree.ElementTree as ET
raw = open(sys.argv[1], "rb").read()
decl = re.match(rb'<\?xml[^>]*encoding="([^"]+)"', raw)
root = ET.parse(sys.argv[1]).getroot()
events = []
for e in root.findall("event"):
    events.append({"name": e.get("name"), "code": e.get("code"), "templates": [
        {"fileName": t.get("fileName"), "active": t.get("active") == "True",
         "activeText": t.get("active"), "text": t.text or ""} for t in e]})
print(json.dumps({"root": root.tag, "encoding": decl.group(1).decode() if decl else "",
                  "outPath": root.get("outPath"), "events": events,
                  "cyrillicBytes": "\u043e".encode("cp1251") in raw}))
)py";
    QString error;
    const QJsonValue v = tolvtest::openpyxl(QString::fromUtf8(script), {file}, &error);
    EXPECT_TRUE(v.isObject()) << error.toStdString();
    return v.toObject();
}

QJsonObject eventOf(const QJsonObject& settings, const QString& code) {
    for (const QJsonValue e : settings[QStringLiteral("events")].toArray())
        if (e[QStringLiteral("code")].toString() == code) return e.toObject();
    return {};
}

class Registry : public rstest::ReportSystemTest {};

TEST_F(Registry, FirstStartCreatesTheFolderAndTheFileAndEachEventAppendsItsElement) {
    ASSERT_FALSE(QDir(folder()).exists());
    EXPECT_EQ(sys().getFolder(), folder() + u'/');
    EXPECT_EQ(sys().getOutPath(), programDir() + QStringLiteral("/reportsOut"));
    ASSERT_TRUE(QFile::exists(settingsFile()));
    QJsonObject s = readSettings(settingsFile());
    EXPECT_EQ(s["root"].toString(), "system");
    EXPECT_EQ(s["encoding"].toString(), "Windows-1251");
    EXPECT_EQ(s["outPath"].toString(), programDir() + QStringLiteral("/reportsOut"));
    EXPECT_TRUE(s["events"].toArray().isEmpty());

    add("CNTR_OPEN", "Открытие договора");
    add("PAYMENT", "Погашение");
    s = readSettings(settingsFile());
    ASSERT_EQ(s["events"].toArray().size(), 2);
    EXPECT_EQ(eventOf(s, "CNTR_OPEN")["name"].toString(), QStringLiteral("Открытие договора"));
    EXPECT_EQ(eventOf(s, "PAYMENT")["name"].toString(), QStringLiteral("Погашение"));
    EXPECT_TRUE(s["cyrillicBytes"].toBool());
    // The reportsOut folder is made only when a document is produced.
    EXPECT_FALSE(QDir(sys().getOutPath()).exists());
}

TEST_F(Registry, FoundTemplatesAreTakenInOnceAndWorkingCopiesNever) {
    for (const char* file : {"[ua]Заявление.rtf", "~$x.rtf", "a@b.rtf", "a#b.rtf", "a$b.rtf", "notes.txt"})
        putTemplate("CNTR_OPEN", QString::fromUtf8(file));
    TestEvent* event = add("CNTR_OPEN", "Открытие договора");
    ASSERT_EQ(event->getTemplatesCount(), 1);
    ReportTemplate* t = event->getTemplate(0);
    EXPECT_EQ(t->getName(), QStringLiteral("Заявление"));
    EXPECT_EQ(t->getFileName(), QStringLiteral("[ua]Заявление.rtf"));
    EXPECT_EQ(t->getLanguage(), "ua");
    EXPECT_FALSE(t->isActive());
    EXPECT_EQ(t->getEditState(), 3);

    ReportSys::checkForNewReports(sys());
    ReportSys::checkForLostedReports(sys());
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].type, ui::MsgType::Information);
    EXPECT_EQ(boxes_.shown[0].text,
              QStringLiteral(
                  "В системе документов обнаружены новые шаблоны:\n- Заявление [Открытие договора].\n\n"
                  "Используйте настройки документов для их просмотра (Программа->Настройки документов)."));

    // Registered again in the same run (after the first-run wizard): nothing new is shown.
    sys().setResetActive(true);
    sys().deleteEvents();
    add("CNTR_OPEN", "Открытие договора");
    ReportSys::checkForNewReports(sys());
    ReportSys::checkForLostedReports(sys());
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_FALSE(sys().getResetActive());
}

TEST_F(Registry, ARegisteredFileDeletedOutsideIsLostButKept) {
    putTemplate("CNTR_OPEN", "[ru]Договор.rtf");
    putTemplate("CNTR_OPEN", "Акт.rtf");
    TestEvent* event = add("CNTR_OPEN", "Открытие договора");
    for (int i = 0; i < event->getTemplatesCount(); ++i) event->getTemplate(i)->setActive(true);
    sys().save();
    ASSERT_EQ(eventOf(readSettings(settingsFile()), "CNTR_OPEN")["templates"].toArray().size(), 2);

    // The next start, after the file was deleted.
    ReportSystem::releaseInstance();
    ASSERT_TRUE(QFile::remove(eventFolder("CNTR_OPEN") + QStringLiteral("/[ru]Договор.rtf")));
    event = add("CNTR_OPEN", "Открытие договора");
    ASSERT_EQ(event->getTemplatesCount(), 2);
    ReportTemplate* lost =
        event->getTemplate(0)->getFileName().startsWith(u'[') ? event->getTemplate(0) : event->getTemplate(1);
    EXPECT_FALSE(lost->isActive());
    EXPECT_EQ(lost->getEditState(), -1);
    EXPECT_EQ(event->getActiveTemplatesCount(), 1);
    ReportSys::checkForNewReports(sys());
    ReportSys::checkForLostedReports(sys());
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].type, ui::MsgType::Warning);
    EXPECT_EQ(boxes_.shown[0].text,
              QStringLiteral(
                  "В системе документов не обнаружены следующие файлы:\n- Договор [Открытие договора].\n\n"
                  "Используйте настройки системы документов для их просмотра (Программа->Настройки "
                  "документов)."));
    // Still in the file, with its stored flag, after the system is saved.
    sys().save();
    const QJsonArray stored = eventOf(readSettings(settingsFile()), "CNTR_OPEN")["templates"].toArray();
    ASSERT_EQ(stored.size(), 2);
    bool found = false;
    for (const QJsonValue t : stored)
        if (t["fileName"].toString() == QStringLiteral("[ru]Договор.rtf")) found = true;
    EXPECT_TRUE(found);
}

TEST_F(Registry, TheSettingsFileKeepsNamesFlagsAndCharactersOutsideTheCodePage) {
    putTemplate("CNTR_OPEN", "[ua]Заява.rtf");
    putTemplate("CNTR_OPEN", "Квитанція.rtf");
    TestEvent* event = add("CNTR_OPEN", "Відкриття договору");
    ASSERT_EQ(event->getTemplatesCount(), 2);
    ReportTemplate* first = event->getTemplate(0);
    ReportTemplate* second = event->getTemplate(1);
    first->setName(QStringLiteral("Заява ✓ <&\"> 表"));
    first->setActive(true);
    second->setActive(false);
    const QString firstFile = first->getFileName();
    const QString firstName = first->getName();
    sys().setOutPath(QStringLiteral("/srv/документы"));
    sys().save();

    const QJsonObject s = readSettings(settingsFile());
    EXPECT_EQ(s["encoding"].toString(), "Windows-1251");
    EXPECT_EQ(s["outPath"].toString(), QStringLiteral("/srv/документы"));
    const QJsonArray templates = eventOf(s, "CNTR_OPEN")["templates"].toArray();
    ASSERT_EQ(templates.size(), 2);
    std::map<QString, QJsonObject> byFile;
    for (const QJsonValue t : templates) byFile[t["fileName"].toString()] = t.toObject();
    const QJsonObject a = byFile[firstFile];
    const QJsonObject b = byFile[second->getFileName()];
    EXPECT_EQ(a["text"].toString(), firstName);
    EXPECT_EQ(a["activeText"].toString(), "True");
    EXPECT_TRUE(a["active"].toBool());
    EXPECT_EQ(b["activeText"].toString(), "False");
    EXPECT_FALSE(b["active"].toBool());
    // Windows-1251 bytes, not UTF-8; the check mark and the ideograph as references.
    const QByteArray raw = rstest::readFile(settingsFile());
    EXPECT_TRUE(raw.contains("&#10003;")) << raw.toStdString();
    EXPECT_TRUE(raw.contains("&#34920;")) << raw.toStdString();
    EXPECT_FALSE(raw.contains(QStringLiteral("Заява").toUtf8()));

    // And our own reading gives back what was written.
    ReportSystem::releaseInstance();
    event = add("CNTR_OPEN", "Відкриття договору");
    EXPECT_EQ(sys().getOutPath(), QStringLiteral("/srv/документы"));
    ASSERT_EQ(event->getTemplatesCount(), 2);
    for (int i = 0; i < 2; ++i) {
        const ReportTemplate* t = event->getTemplate(i);
        const bool isFirst = t->getFileName() == firstFile;
        EXPECT_EQ(t->isActive(), isFirst);
        if (isFirst) {
            EXPECT_EQ(t->getName(), QStringLiteral("Заява ✓ <&\"> 表"));
        }
    }
}

TEST_F(Registry, AFileTheParserRejectsStopsLoadingAndTheNextCallTriesAgain) {
    rstest::writeFile(settingsFile(),
                      "<?xml version=\"1.0\" encoding=\"Windows-1251\"?>\n<system outPath=\"\">");
    const QString error = errorText([] { ReportSystem::instance(); });
    EXPECT_TRUE(error.contains(settingsFile())) << error.toStdString();
    rstest::writeFile(settingsFile(),
                      "<?xml version=\"1.0\" encoding=\"Windows-1251\"?>\n<system outPath=\"\"/>");
    EXPECT_EQ(errorText([this] { sys(); }), "<no error>");
    EXPECT_EQ(sys().getOutPath(), programDir() + QStringLiteral("/reportsOut"));
}

TEST_F(Registry, EventsAreLookedUpByTheirExactCode) {
    add("CNTR_OPEN", "Открытие договора");
    EXPECT_EQ(sys().getEventByCode("CNTR_OPEN")->getName(), QStringLiteral("Открытие договора"));
    EXPECT_EQ(errorText([this] { sys().getEventByCode("cntr_open"); }),
              QStringLiteral("Событие с кодом \"cntr_open\" не содержится в системе."));
    auto again = std::make_unique<TestEvent>("CNTR_OPEN", "Другое");
    EXPECT_EQ(errorText([&] { sys().addReportEvent(std::move(again)); }),
              QStringLiteral("Событие-документ с таким кодом уже существует: 'CNTR_OPEN'."));
    ASSERT_TRUE(again);  // refused: still the caller's
    EXPECT_EQ(sys().getEventsCount(), 1);

    auto group = std::make_unique<ReportSys::ReportParameters>("COMMON");
    TestEvent* withGroups = add("PAYMENT", "Погашение", {"COMMON", "CONTRACT"});
    EXPECT_EQ(errorText([&] { withGroups->addParameter(std::move(group)); }),
              QStringLiteral("Параметры с таким кодом в этом событии-документе уже существуют: 'COMMON'."));
    ASSERT_TRUE(group);
    EXPECT_EQ(withGroups->getParamGroup("CONTRACT")->getCode(), "CONTRACT");
    EXPECT_EQ(withGroups->getParamGroup("contract"), nullptr);
}

TEST_F(Registry, LanguagesAndTheResetOfActiveFlags) {
    EXPECT_EQ(sys().getLanguageCodes(), QStringList{"no"});
    sys().clearLanguages();
    sys().addLanguage("no", " ");
    sys().addLanguage("ua", "Україна");
    sys().addLanguage("ru", "Россия");
    EXPECT_EQ(sys().getLanguageCodes(), (QStringList{"no", "ru", "ua"}));
    EXPECT_EQ(sys().getLanguageName("ua"), QStringLiteral("Україна"));
    EXPECT_EQ(sys().getLanguageName("by"), "0");
    sys().setCurrentLanguage("ua");
    sys().setCurrentLanguage("by");
    EXPECT_EQ(sys().getCurrentLanguage(), "ua");
    sys().clearLanguages();
    sys().setCurrentLanguage("no");
    EXPECT_EQ(sys().getCurrentLanguage(), "no");
    sys().addLanguage("no", " ");
    sys().addLanguage("ru", "Россия");
    sys().addLanguage("ua", "Україна");
    sys().setCurrentLanguage("ru");

    // Registered templates of three languages, all stored inactive.
    for (const char* f : {"[ru]Договор.rtf", "[ua]Договір.rtf", "Акт.rtf"})
        putTemplate("CNTR_OPEN", QString::fromUtf8(f));
    TestEvent* event = add("CNTR_OPEN", "Открытие договора");
    sys().save();
    ReportSystem::releaseInstance();

    sys().addLanguage("ru", "Россия");
    sys().addLanguage("ua", "Україна");
    sys().setCurrentLanguage("ru");
    sys().setResetActive(true);
    event = add("CNTR_OPEN", "Открытие договора");
    std::map<QString, bool> active;
    for (int i = 0; i < event->getTemplatesCount(); ++i)
        active[event->getTemplate(i)->getFileName()] = event->getTemplate(i)->isActive();
    EXPECT_EQ(active, (std::map<QString, bool>{{QStringLiteral("[ru]Договор.rtf"), true},
                                               {QStringLiteral("[ua]Договір.rtf"), false},
                                               {QStringLiteral("Акт.rtf"), true}}));
    // Written into the file at once.
    std::map<QString, bool> stored;
    for (const QJsonValue t : eventOf(readSettings(settingsFile()), "CNTR_OPEN")["templates"].toArray())
        stored[t["fileName"].toString()] = t["active"].toBool();
    EXPECT_EQ(stored, active);

    // Display names carry a stored language.
    for (int i = 0; i < event->getTemplatesCount(); ++i) {
        ReportTemplate* t = event->getTemplate(i);
        const QString expected = t->getLanguage() == "no"
                                     ? t->getName()
                                     : u'[' + t->getLanguage() + QStringLiteral("] ") + t->getName();
        EXPECT_EQ(t->getDisplayName(), expected);
    }
    EXPECT_EQ(ReportTemplate::languageFromFileName(QStringLiteral("/home/u/[ua]x.rtf")), "ua");
    EXPECT_EQ(ReportTemplate::languageFromFileName(QStringLiteral("[ua.rtf")), "no");
}

TEST_F(Registry, TemplateIndexesAmongThoseNotRemoved) {
    TestEvent* event = add("CNTR_OPEN", "Открытие договора");
    event->addTemplate("A", "a.rtf", true, -1);
    event->addTemplate("B", "b.rtf", true, 2);
    event->addTemplate("C", "c.rtf", false, -1);
    EXPECT_EQ(event->getTemplateByIndxNotDestroy(1)->getName(), "C");
    EXPECT_EQ(errorText([&] { event->getTemplateByIndxNotDestroy(2); }),
              QStringLiteral("Значение индекса превышает количество шаблонов в наборе события. \nИндекс: 2\n"
                             "Количество шаблонов: 3"));
    EXPECT_EQ(event->getActiveTemplatesCount(), 2);
    EXPECT_NE(errorText([&] { event->getTemplate(3); }), "<no error>");
}

// ---------------------------------------------------------------------------------------------------
// Saving templates with their files

class Saving : public rstest::ReportSystemTest {
protected:
    void SetUp() override {
        rstest::ReportSystemTest::SetUp();
        sys().addLanguage("ru", "Россия");
        sys().addLanguage("ua", "Україна");
        sys().setCurrentLanguage("ua");
    }
    QString source(const QString& name) {
        const QString path = dir_.filePath(QStringLiteral("chosen/") + name);
        rstest::writeFile(path, "{\\rtf1 source\\par}");
        return path;
    }
    QStringList storedFiles(const QString& code) {
        QStringList files;
        for (const QJsonValue t : eventOf(readSettings(settingsFile()), code)["templates"].toArray())
            files << t["fileName"].toString();
        return files;
    }
};

TEST_F(Saving, ANewTemplateIsCopiedUnderAFreeNameWithItsCounter) {
    const struct {
        const char* source;
        const char* language;
        QStringList present;
        const char* stored;
    } cases[] = {
        {"Договор_3.rtf", "no", {"Договор.rtf", "Договор_3.rtf"}, "Договор_4.rtf"},
        {"Договор_3.rtf", "no", {}, "Договор.rtf"},
        {"Акт.rtf", "no", {"Акт.rtf", "Акт_1.rtf"}, "Акт_2.rtf"},
        {"Акт_x.rtf", "ua", {"[ua]Акт_x.rtf"}, "[ua]Акт_x_1.rtf"},
        {"Акт.rtf", "ru", {}, "[ru]Акт.rtf"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString code = QStringLiteral("EV%1").arg(n++);
        SCOPED_TRACE(code.toStdString());
        for (const QString& p : c.present) putTemplate(code, p);
        TestEvent* event = add(code, "Событие");
        const QString src = source(QString::fromUtf8(c.source));
        ReportTemplate* t = event->addTemplate("Новый", src, true, 0);
        t->setLanguage(QString::fromLatin1(c.language));
        event->save();
        EXPECT_EQ(t->getFileName(), QString::fromUtf8(c.stored));
        EXPECT_EQ(t->getEditState(), -1);
        EXPECT_TRUE(QFile::exists(eventFolder(code) + u'/' + QString::fromUtf8(c.stored)));
        EXPECT_TRUE(QFile::exists(src));  // the user's file stays
        EXPECT_TRUE(storedFiles(code).contains(QString::fromUtf8(c.stored)));
    }
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Saving, AChangeOfCountryRenamesTheFile) {
    putTemplate("CNTR_OPEN", "[ru]Расписка.rtf");
    TestEvent* event = add("CNTR_OPEN", "Открытие договора");
    ReportTemplate* t = event->getTemplate(0);
    const struct {
        const char* language;
        const char* file;
    } steps[] = {{"no", "Расписка.rtf"}, {"ua", "[ua]Расписка.rtf"}, {"ru", "[ru]Расписка.rtf"}};
    for (const auto& s : steps) {
        t->setLanguage(QString::fromLatin1(s.language));
        event->save();
        EXPECT_EQ(t->getFileName(), QString::fromUtf8(s.file));
        EXPECT_EQ(QDir(eventFolder("CNTR_OPEN")).entryList(QDir::Files),
                  QStringList{QString::fromUtf8(s.file)});
        EXPECT_EQ(storedFiles("CNTR_OPEN"), QStringList{QString::fromUtf8(s.file)});
    }
}

// A failed copy or rename is reported with the file and the reason, and nothing unreal is registered.
TEST_F(Saving, AFailedCopyOrRenameIsShownAndTheTemplateStaysPending) {
    putTemplate("CNTR_OPEN", "[ru]Расписка.rtf");
    putTemplate("CNTR_OPEN", "Расписка.rtf");
    TestEvent* event = add("CNTR_OPEN", "Открытие договора");
    sys().save();
    ASSERT_EQ(storedFiles("CNTR_OPEN").size(), 2);

    // A copy whose source was deleted after it was chosen.
    const QString src = source(QStringLiteral("Договор.rtf"));
    ReportTemplate* added = event->addTemplate("Договор", src, true, 0);
    ASSERT_TRUE(QFile::remove(src));
    // A rename onto a name that is taken.
    ReportTemplate* renamed = nullptr;
    for (int i = 0; i < event->getTemplatesCount(); ++i)
        if (event->getTemplate(i)->getFileName() == QStringLiteral("[ru]Расписка.rtf"))
            renamed = event->getTemplate(i);
    ASSERT_TRUE(renamed);
    renamed->setLanguage("no");

    event->save();
    ASSERT_EQ(boxes_.shown.size(), 2u);
    for (const auto& box : boxes_.shown) EXPECT_EQ(box.type, ui::MsgType::Error);
    const QString copyBox = boxes_.shown[0].text.contains(src) ? boxes_.shown[0].text : boxes_.shown[1].text;
    const QString renameBox =
        boxes_.shown[0].text.contains(src) ? boxes_.shown[1].text : boxes_.shown[0].text;
    EXPECT_TRUE(copyBox.contains(src)) << copyBox.toStdString();
    EXPECT_TRUE(copyBox.contains(QStringLiteral("No such file or directory"))) << copyBox.toStdString();
    EXPECT_TRUE(renameBox.contains(QStringLiteral("[ru]Расписка.rtf"))) << renameBox.toStdString();
    EXPECT_TRUE(renameBox.contains(QStringLiteral("exists"))) << renameBox.toStdString();

    EXPECT_EQ(added->getEditState(), 0);
    EXPECT_EQ(added->getFileName(), src);
    EXPECT_EQ(renamed->getFileName(), QStringLiteral("[ru]Расписка.rtf"));
    EXPECT_EQ(storedFiles("CNTR_OPEN"), QStringList{QStringLiteral("Расписка.rtf")});
    for (const QString& f : storedFiles("CNTR_OPEN"))
        EXPECT_TRUE(QFile::exists(eventFolder("CNTR_OPEN") + u'/' + f)) << f.toStdString();
    EXPECT_EQ(rstest::readFile(eventFolder("CNTR_OPEN") + QStringLiteral("/Расписка.rtf")),
              QByteArray("{\\rtf1\\ansi x\\par }"));
}

TEST_F(Saving, MarkedTemplatesAreDroppedWhateverTheirOrder) {
    const struct {
        int firstState;
        int secondState;
        ui::ModalResult answer;
        bool fileOfOneKept;
    } cases[] = {
        {1, 2, ui::ModalResult::Yes, false},
        {2, 1, ui::ModalResult::No, true},
        {2, 2, ui::ModalResult::Yes, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString code = QStringLiteral("EV%1").arg(n++);
        SCOPED_TRACE(code.toStdString());
        putTemplate(code, "one.rtf");
        putTemplate(code, "two.rtf");
        putTemplate(code, "keep.rtf");
        TestEvent* event = add(code, "Событие");
        sys().save();
        const QString src = source(QStringLiteral("new.rtf"));
        event->addTemplate("Новый", src, true, 2);  // added and removed before it was ever saved
        for (int i = 0; i < event->getTemplatesCount(); ++i) {
            ReportTemplate* t = event->getTemplate(i);
            if (t->getFileName() == "one.rtf") t->setEditState(c.firstState == 1 ? 1 : 2);
            if (t->getFileName() == "two.rtf") t->setEditState(c.secondState == 1 ? 1 : 2);
        }
        boxes_.shown.clear();
        boxes_.answers = {c.answer};
        event->moveTemplates(1);
        ASSERT_EQ(event->getTemplatesCount(), 1);
        EXPECT_EQ(event->getTemplate(0)->getFileName(), "keep.rtf");
        const QString markedOne = c.firstState == 1 ? "one.rtf" : (c.secondState == 1 ? "two.rtf" : "");
        if (!markedOne.isEmpty()) {
            ASSERT_EQ(boxes_.shown.size(), 1u);
            EXPECT_EQ(boxes_.shown[0].type, ui::MsgType::Confirmation);
            EXPECT_EQ(boxes_.shown[0].buttons, ui::Button::Yes | ui::Button::No);
            EXPECT_EQ(boxes_.shown[0].text,
                      QStringLiteral("Удалить файл-шаблон документа \"%1\" %2?")
                          .arg(markedOne.chopped(4), eventFolder(code) + u'/' + markedOne));
            EXPECT_EQ(QFile::exists(eventFolder(code) + u'/' + markedOne), c.fileOfOneKept);
        } else {
            EXPECT_TRUE(boxes_.shown.empty());
        }
        for (const QString f : {"one.rtf", "two.rtf"})
            if (f != markedOne) {
                EXPECT_FALSE(QFile::exists(eventFolder(code) + u'/' + f)) << f.toStdString();
            }
        EXPECT_TRUE(QFile::exists(src));
        event->save();
        EXPECT_EQ(storedFiles(code), QStringList{"keep.rtf"});
    }
}

// The build puts the shipped folder beside the program (here: beside this test program).
TEST(ShippedFolder, StandsBesideTheProgram) {
    EXPECT_TRUE(QFile::exists(QCoreApplication::applicationDirPath() +
                              QStringLiteral("/reportSystem/TemplateSyntax.txt")));
}

TEST(Translit, BracketsAndPunctuationBecomeUnderscores) {
    EXPECT_EQ(ReportSys::Translit::instance().toKey(QStringLiteral("a:b;c\\d|e/f?g,h}i{j~k`l[m]")),
              QStringLiteral("a_b_c_d_e_f_g_h_i_j_k_l_m_"));
    EXPECT_EQ(ReportSys::Translit::instance().toKey(QStringLiteral("[ua]Заява №1.rtf")),
              QStringLiteral("_ua_Заява №1.rtf"));
}

TEST(ReportSystemTexts, EveryKeyHasBothLanguages) {
    const auto ru = ReportSys::reportSystemTexts(1);
    const auto uk = ReportSys::reportSystemTexts(2);
    ASSERT_EQ(ru.size(), uk.size());
    for (size_t i = 0; i < ru.size(); ++i) {
        EXPECT_EQ(ru[i].first, uk[i].first);
        EXPECT_NE(ru[i].second, uk[i].second) << ru[i].first.toStdString();
    }
}

}  // namespace
