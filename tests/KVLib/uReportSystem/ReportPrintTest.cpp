// Producing a document from a template: its name, its folder, the engine's errors, and the document as
// a word processor reads it.

#include <QProcess>
#include <QStandardPaths>

#include "ReportSystemFixture.h"
#include "platform/data/MemTable.h"
#include "tests/support/ErrorText.h"
#include "tests/support/WriterText.h"

namespace {

using ReportSys::ReportTemplate;
using rstest::TestEvent;
using tolvtest::errorText;

class Printing : public rstest::ReportSystemTest {
protected:
    // An event with one group COMMON holding a value, and one template of the given file name.
    ReportTemplate* eventWithTemplate(const QString& file,
                                      const QString& body = QStringLiteral("[[COMMON@NUM]]")) {
        putTemplate("CNTR_OPEN", file, body);
        event_ = add("CNTR_OPEN", "Открытие договора", {"COMMON"});
        // A file without ".rtf" is never found in the folder; only a registration names it.
        if (event_->getTemplatesCount() == 0) event_->addTemplate(file, file, true, -1);
        event_->getParams().clear();
        event_->getParamGroup("COMMON")->addParam("NUM", QStringLiteral("К-1"));
        return event_->getTemplate(0);
    }
    TestEvent* event_ = nullptr;
};

TEST_F(Printing, TheDocumentIsNamedByTheClockAndOpenedOnce) {
    const struct {
        const char* file;
        const char* output;
    } cases[] = {
        {"[ru]Договор.rtf", "[ru]Договор_09.12.2026 14;30;05.rtf"},
        {"Акт", "_09.12.2026 14;30;05Акт"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ReportSys::ReportSystem::releaseInstance();
        QDir(folder()).removeRecursively();
        opened_.clear();
        ReportTemplate* t = eventWithTemplate(QString::fromUtf8(c.file));
        EXPECT_EQ(t->showReport(true), QString::fromUtf8(c.output));
        EXPECT_EQ(opened_, QStringList{sys().getOutPath() + u'/' + QString::fromUtf8(c.output)});
        EXPECT_TRUE(QFile::exists(sys().getOutPath() + u'/' + QString::fromUtf8(c.output)));
    }
    // Without the flag the document is only written; within the same second it replaces the first.
    const QString last = sys().getOutPath() + QStringLiteral("/_09.12.2026 14;30;05Акт");
    rstest::writeFile(last, "older");
    opened_.clear();
    EXPECT_EQ(event_->getTemplate(0)->showReport(false), QStringLiteral("_09.12.2026 14;30;05Акт"));
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_TRUE(rstest::readFile(last).contains("\\u1050")) << rstest::readFile(last).toStdString();
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Printing, NoValuesGiveTheBoxAndZero) {
    ReportTemplate* t = eventWithTemplate(QStringLiteral("Акт.rtf"));
    event_->getParams().clear();
    event_->getParamGroup("COMMON")->clear();
    EXPECT_EQ(t->showReport(true), "0");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].type, ui::MsgType::Error);
    EXPECT_EQ(boxes_.shown[0].buttons, ui::Button::Ok);
    EXPECT_EQ(boxes_.shown[0].text,
              QStringLiteral("Для формирования документа не загружены необходимые значения."));
    EXPECT_TRUE(opened_.isEmpty());
}

TEST_F(Printing, TheOutputFolderIsMadeWithItsParentsOrReported) {
    ReportTemplate* t = eventWithTemplate(QStringLiteral("Акт.rtf"));
    const QString deep = dir_.filePath(QStringLiteral("out/a/b/c"));
    sys().setOutPath(deep);
    EXPECT_EQ(t->showReport(true), QStringLiteral("Акт_09.12.2026 14;30;05.rtf"));
    EXPECT_TRUE(QFile::exists(deep + QStringLiteral("/Акт_09.12.2026 14;30;05.rtf")));

    rstest::writeFile(dir_.filePath(QStringLiteral("blocked")), "a file where a folder should be");
    const QString blocked = dir_.filePath(QStringLiteral("blocked/docs"));
    sys().setOutPath(blocked);
    EXPECT_EQ(
        errorText([&] { t->showReport(true); }),
        QStringLiteral("Не удаётся создать директорию для сформированных документов: ") + blocked + u'.');
    sys().setOutPath(QString());
    EXPECT_EQ(sys().getOutPath(), programDir() + QStringLiteral("/reportsOut"));
}

TEST_F(Printing, EngineErrorsReachTheCallerWithoutTablesAndABoxWithThem) {
    // An unclosed repeated block is a template the engine refuses.
    ReportTemplate* t =
        eventWithTemplate(QStringLiteral("Сломан.rtf"), QStringLiteral("[[#mSubjs]] [[mSubjs.NAME]]"));
    const QString raw = errorText([&] { t->showReport(true); });
    EXPECT_NE(raw, "<no error>");
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_TRUE(opened_.isEmpty());

    data::MemTable subjects;
    subjects.setObjectName(QStringLiteral("mSubjs"));
    subjects.addField(QStringLiteral("NAME"), data::DataType::String, 40);
    subjects.open();
    event_->getParams().clear();
    event_->getParamGroup("COMMON")->addDataSet(&subjects);
    EXPECT_EQ(t->showReport(true), QStringLiteral("Сломан_09.12.2026 14;30;05.rtf"));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].type, ui::MsgType::Error);
    EXPECT_TRUE(
        boxes_.shown[0].text.startsWith(QStringLiteral("Ошибка при формировании документа.\nВозможно формат "
                                                       "файла шаблона документа не соответствует формату "
                                                       "RTF!\nПроверьте формат файла либо пересохраните его, "
                                                       "указав требуемый формат.\n\nИсходное сообщение об "
                                                       "ошибке:\n")));
    EXPECT_TRUE(boxes_.shown[0].text.endsWith(raw)) << boxes_.shown[0].text.toStdString();
}

TEST_F(Printing, TheMergedValuesStayUntilTheNextClear) {
    eventWithTemplate(QStringLiteral("Акт.rtf"));
    EXPECT_EQ(event_->getParams().getValue("COMMON@NUM"), QStringLiteral("К-1"));
    event_->getParamGroup("COMMON")->clear();
    event_->getParamGroup("COMMON")->addParam("NUM", QStringLiteral("К-2"));
    EXPECT_EQ(event_->getParams().getValue("COMMON@NUM"), QStringLiteral("К-1"));
    event_->getParams().clear();
    EXPECT_EQ(event_->getParams().getValue("COMMON@NUM"), QStringLiteral("К-2"));
}

TEST_F(Printing, AMenuClickNeedsTheWindowsCallback) {
    ReportTemplate* t = eventWithTemplate(QStringLiteral("[ru]Договор.rtf"));
    t->setName(QStringLiteral("Договор займа"));
    EXPECT_EQ(
        errorText([&] { t->showReportByMenuClick(); }),
        QStringLiteral("Не задана внешняя функция инициализации параметров события для шаблона документа "
                       "Договор займа"));
    std::vector<ReportTemplate*> filled;
    t->setInitParamsCallback([&](ReportTemplate* which) {
        filled.push_back(which);
        which->getEvent()->getParams().clear();
        which->getEvent()->getParamGroup("COMMON")->addParam("NUM", QStringLiteral("К-7"));
    });
    t->showReportByMenuClick();
    EXPECT_EQ(filled, std::vector<ReportTemplate*>{t});
    EXPECT_EQ(opened_.size(), 1);
}

// An event with two groups printed end to end; LibreOffice reads the document back.
TEST_F(Printing, AnEventWithTwoGroupsPrintsADocumentAWordProcessorReads) {
    putTemplate("CNTR_OPEN", QStringLiteral("[ua]Договір.rtf"),
                QStringLiteral("Договір [[CONTRACT@NUM]] від [[COMMON@DATE]]\nСума: [[CONTRACT@SUM_F]] "
                               "([[CONTRACT@SUM_T]])\n[[#mSubjs]][[mSubjs.NAME]];[[/mSubjs]]\nКлієнт: "
                               "[[COMMON@CLIENT]]"));
    TestEvent* event = add("CNTR_OPEN", "Відкриття договору", {"COMMON", "CONTRACT"});
    data::MemTable subjects;
    subjects.setObjectName(QStringLiteral("mSubjs"));
    subjects.addField(QStringLiteral("NAME"), data::DataType::String, 40);
    subjects.open();
    for (const QString& name : {QStringLiteral("Каблучка"), QStringLiteral("Ланцюжок")}) {
        subjects.append();
        subjects[QStringLiteral("NAME")].setValue(name);
        subjects.post();
    }
    event->getParams().clear();
    ReportSys::ReportParameters* common = event->getParamGroup("COMMON");
    common->addParam("DATE", core::DateTime::encode(2026, 12, 9));
    common->addParam("CLIENT", QStringLiteral("Іваненко Ґ.Є."));
    ReportSys::ReportParameters* contract = event->getParamGroup("CONTRACT");
    contract->addParam("NUM", QStringLiteral("Л-15"));
    contract->addMoneyParam("SUM", 1250.5);
    contract->addDataSet(&subjects);

    const QString name = event->getTemplate(0)->showReport(true);
    ASSERT_EQ(opened_.size(), 1);
    const QString doc = opened_[0];
    EXPECT_EQ(doc, sys().getOutPath() + u'/' + name);

    const QString text = testsupport::writerText(doc, dir_.path());
    EXPECT_TRUE(text.contains(QStringLiteral("Договір Л-15 від 09.12.2026"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Сума: 1250.50 ("))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Каблучка;\nЛанцюжок;"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Клієнт: Іваненко Ґ.Є."))) << text.toStdString();
}

}  // namespace
