#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "RtfText.h"
#include "platform/rtf/RtfEngine.h"

QT_BEGIN_NAMESPACE
// Readable failures: the texts as UTF-8.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) ADD_FAILURE() << "cannot read " << path.toStdString();
    return f.readAll();
}

QString fixture(const char* name) {
    return QStringLiteral(TOLV_RTF_FIXTURES "/") + QString::fromUtf8(name);
}

using Vars = std::vector<std::pair<QString, QString>>;

struct GoldenCase {
    const char* name;
    const char* templateFile;
    Vars vars;
    std::vector<rtf::Table> tables;
    QStringList expected;
};

rtf::Table subjects(int count) {
    rtf::Table t{
        QStringLiteral("mSubjs"), {QStringLiteral("NO"), QStringLiteral("NAME"), QStringLiteral("SUM")}, {}};
    const QStringList names{QStringLiteral("Кільце"), QStringLiteral("Ланцюжок\nзолотий"),
                            QStringLiteral("Сережки {пара}")};
    const QStringList sums{QStringLiteral("100.00"), QStringLiteral("200.50"), QStringLiteral("300.00")};
    for (int i = 0; i < count; ++i) t.rows.push_back({QString::number(i + 1), names[i], sums[i]});
    return t;
}

rtf::Table services() {
    return rtf::Table{QStringLiteral("Service"),
                      {QStringLiteral("NAME"), QStringLiteral("PRICE")},
                      {{QStringLiteral("Оцінка"), QStringLiteral("10.00")},
                       {QStringLiteral("Зберігання\tмісяць"), QStringLiteral("5.00")}}};
}

const Vars kVars{{QStringLiteral("CONTRACT@NUM"), QStringLiteral("К-17/2026")},
                 {QStringLiteral("CONTRACT@DATE"), QStringLiteral("09.12.2026")},
                 {QStringLiteral("CLIENT@NAME"), QStringLiteral("Ґанна Їжак-Єгоренко \\ {і ї є ґ}")},
                 {QStringLiteral("CONTRACT@SUM_F"), QStringLiteral("1234.56")}};

std::vector<GoldenCase> goldenCases() {
    const QStringList contractHead{QStringLiteral("Договор № К-17/2026 от 09.12.2026"),
                                   QStringLiteral("Клієнт: Ґанна Їжак-Єгоренко \\ {і ї є ґ}"),
                                   QStringLiteral("№"), QStringLiteral("Предмет"), QStringLiteral("Сумма")};
    const QStringList contractRows{
        QStringLiteral("1"),      QStringLiteral("Кільце"),   QStringLiteral("100.00"),
        QStringLiteral("2"),      QStringLiteral("Ланцюжок"), QStringLiteral("золотий"),
        QStringLiteral("200.50"), QStringLiteral("3"),        QStringLiteral("Сережки {пара}"),
        QStringLiteral("300.00")};
    const QStringList contractTail{QStringLiteral("Итого"),
                                   QStringLiteral("1234.56"),
                                   QStringLiteral("Услуга: Оцінка"),
                                   QStringLiteral("Цена 10.00"),
                                   QStringLiteral("Услуга: Зберігання\tмісяць"),
                                   QStringLiteral("Цена 5.00"),
                                   QStringLiteral("Конец")};
    const QStringList splitHead{QStringLiteral("Договор К-17/2026 от 09.12.2026"),
                                QStringLiteral("Клиент: Ґанна Їжак-Єгоренко \\ {і ї є ґ}"),
                                QStringLiteral("Услуга: Оцінка цена 10.00"),
                                QStringLiteral("Услуга: Зберігання\tмісяць цена 5.00"),
                                QStringLiteral("Предмет"),
                                QStringLiteral("Сумма")};
    const QStringList splitRows{QStringLiteral("Кільце"),   QStringLiteral("100.00"),
                                QStringLiteral("Ланцюжок"), QStringLiteral("золотий"),
                                QStringLiteral("200.50"),   QStringLiteral("Сережки {пара}"),
                                QStringLiteral("300.00")};
    return {
        {"saved by Writer, three rows",
         "contract.rtf",
         kVars,
         {subjects(3), services()},
         contractHead + contractRows + contractTail},
        {"saved by Writer, no rows and no services",
         "contract.rtf",
         kVars,
         {subjects(0)},
         contractHead +
             QStringList{QStringLiteral("Итого"), QStringLiteral("1234.56"), QStringLiteral("Конец")}},
        {"written by hand, split tokens",
         "split.rtf",
         kVars,
         {subjects(3), services()},
         splitHead + splitRows + QStringList{QStringLiteral("Конец")}},
        {"written by hand, tables absent",
         "split.rtf",
         kVars,
         {},
         QStringList{splitHead[0], splitHead[1], splitHead[4], splitHead[5], QStringLiteral("Конец")}},
    };
}

// Fills every golden case, reads each output back with the test reader, then with LibreOffice in one
// run for all files (it is slow to start).
TEST(RtfEngineGolden, FilledTemplatesReadBackAsExpected) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto cases = goldenCases();
    QStringList outputs;
    for (size_t i = 0; i < cases.size(); ++i) {
        const GoldenCase& c = cases[i];
        SCOPED_TRACE(c.name);
        rtf::Engine engine;
        engine.setInputFile(fixture(c.templateFile));
        const QString out = dir.filePath(QStringLiteral("out/case%1.rtf").arg(i));
        engine.setOutputFile(out);
        for (const auto& [name, value] : c.vars) engine.createVar(name, value);
        EXPECT_EQ(engine.execute(c.tables), out);
        EXPECT_EQ(rtftest::lines(rtftest::rtfToText(readFile(out))), c.expected);
        outputs << out;
    }
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    ASSERT_FALSE(soffice.isEmpty()) << "LibreOffice Writer is needed (libreoffice-writer-nogui)";
    QProcess lo;
    lo.setWorkingDirectory(dir.path());
    lo.setProcessChannelMode(QProcess::MergedChannels);
    QStringList args{
        QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
        QStringLiteral("--headless"),
        QStringLiteral("--convert-to"),
        QStringLiteral("txt:Text (encoded):UTF8"),
        QStringLiteral("--outdir"),
        dir.filePath(QStringLiteral("txt"))};
    lo.start(soffice, args + outputs);
    ASSERT_TRUE(lo.waitForFinished(180000)) << "LibreOffice did not finish";
    const QByteArray log = lo.readAll();
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const QByteArray txt = readFile(dir.filePath(QStringLiteral("txt/case%1.txt").arg(i)));
        EXPECT_EQ(rtftest::lines(QString::fromUtf8(txt)), cases[i].expected) << log.toStdString();
    }
}

TEST(RtfEngine, ValuesAreEscaped) {
    const struct {
        QString text;
        int uc;
        QByteArray rtf;
    } cases[] = {
        {QStringLiteral("a\\b{c}d"), 1, "a\\\\b\\{c\\}d"},
        {QStringLiteral("1\n2\r\n3\t4"), 1, "1\\line 2\\line 3\\tab 4"},
        {QStringLiteral("Ая"), 1, "\\u1040\\'c0\\u1103\\'ff"},
        {QStringLiteral("іїєґ"), 1, "\\u1110\\'b3\\u1111\\'bf\\u1108\\'ba\\u1169\\'b4"},
        {QStringLiteral("Ж"), 2, "\\u1046\\'c6?"},
        {QStringLiteral("Ж1"), 0, "\\u1046 1"},
        {QStringLiteral("€ ✓"), 1, "\\u8364\\'88 \\u10003?"},
        {QString(QChar(0xFB01)), 1, "\\u-1279?"},
    };
    for (const auto& c : cases) EXPECT_EQ(rtf::escapeText(c.text, c.uc), c.rtf) << c.text.toStdString();
}

TEST(RtfEngine, FirstValueOfANameWinsAndMissingOnesPrintNothing) {
    rtf::Engine engine;
    engine.createVar(QStringLiteral("A@X"), QStringLiteral("first"));
    engine.createVar(QStringLiteral("A@X"), QStringLiteral("second"));
    EXPECT_TRUE(engine.hasVar(QStringLiteral("A@X")));
    EXPECT_FALSE(engine.hasVar(QStringLiteral("a@x")));
    const QByteArray out = engine.fill("{\\rtf1 [[A@X]]|[[a@x]]|[[B@Y]]\\par}", {});
    EXPECT_EQ(rtftest::rtfToText(out), QStringLiteral("first||\n"));
    // Inserted values are never read as tokens.
    engine.createVar(QStringLiteral("A@Z"), QStringLiteral("[[A@X]]"));
    EXPECT_EQ(rtftest::rtfToText(engine.fill("{\\rtf1 [[A@Z]]}", {})), QStringLiteral("[[A@X]]"));
    // A value after a control word does not run into it.
    EXPECT_EQ(rtftest::rtfToText(engine.fill("{\\rtf1 {\\b[[A@X]]}}", {})), QStringLiteral("first"));
    // Brackets that open no token stay text.
    EXPECT_EQ(rtftest::rtfToText(engine.fill("{\\rtf1 [[ x]] [[1]] [x]}", {})),
              QStringLiteral("[[ x]] [[1]] [x]"));
}

TEST(RtfEngine, ExecuteCreatesTheLastFolderLevelAndReportsUnreadableTemplates) {
    QTemporaryDir dir;
    rtf::Engine engine;
    engine.setInputFile(fixture("split.rtf"));
    engine.setOutputFile(dir.filePath(QStringLiteral("reportsOut/doc.rtf")));
    EXPECT_EQ(engine.execute(), dir.filePath(QStringLiteral("reportsOut/doc.rtf")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("reportsOut/doc.rtf"))));
    engine.setInputFile(dir.filePath(QStringLiteral("none.rtf")));
    EXPECT_THROW(engine.execute(), core::Exception);
}

TEST(RtfEngine, MalformedTemplatesFailWithTheirMessage) {
    const rtf::Table t{QStringLiteral("T"), {QStringLiteral("A")}, {{QStringLiteral("1")}}};
    const struct {
        QByteArray rtf;
        QString message;
    } cases[] = {
        {"{\\rtf1 x [[A@B\\par ]]}",
         QStringLiteral("Метка «[[A@B» не закрыта в своём абзаце (абзац 1, байт 10)")},
        {"{\\rtf1 [[#T]]\\par [[#U]]\\par [[/U]]\\par [[/T]]\\par}",
         QStringLiteral("Блок «[[#U]]» вложен в блок «[[#T]]» (абзац 2, байт 19)")},
        {"{\\rtf1 [[#T]]\\par [[#U]]\\par [[/T]]\\par [[/U]]\\par}",
         QStringLiteral("Блок «[[#U]]» вложен в блок «[[#T]]» (абзац 2, байт 19)")},
        {"{\\rtf1 [[#T]]\\par [[/U]]\\par}",
         QStringLiteral("Конец блока «[[/U]]» пересекает блок «[[#T]]» (абзац 2, байт 19)")},
        {"{\\rtf1 [[/T]]\\par}", QStringLiteral("Конец блока «[[/T]]» без его начала (абзац 1, байт 8)")},
        {"{\\rtf1 [[#T]]\\par}", QStringLiteral("Блок «[[#T]]» не закрыт (абзац 1, байт 8)")},
        {"{\\rtf1 [[T.A]]\\par}",
         QStringLiteral("Столбец «[[T.A]]» стоит вне блока своей таблицы (абзац 1, байт 8)")},
        {"{\\rtf1 [[#T]][[T.B]][[/T]]\\par}",
         QStringLiteral("В таблице «T» нет столбца «B»: «[[T.B]]» (абзац 1, байт 14)")},
        {"{\\rtf1 {\\b a\\par [[#T]]\\par} [[/T]]\\par}",
         QStringLiteral("Блок «[[#T]]» нельзя вырезать целыми группами RTF (абзац 2, байт 18)")},
        {"{\\rtf1 [[#T]] [[/T]]}",
         QStringLiteral("Блок «[[#T]]» нельзя вырезать целыми группами RTF (абзац 1, байт 8)")},
        {"{\\rtf1 [[A]]\\par}", QStringLiteral("Неверная метка «[[A]]» (абзац 1, байт 8)")},
        {"{\\rtf1 [[A@B@C]]\\par}", QStringLiteral("Неверная метка «[[A@B@C]]» (абзац 1, байт 8)")},
    };
    for (const auto& c : cases) {
        try {
            rtf::Engine().fill(c.rtf, {t});
            ADD_FAILURE() << "accepted: " << c.rtf.toStdString();
        } catch (const rtf::TemplateError& e) {
            EXPECT_EQ(e.message(), c.message) << c.rtf.toStdString();
        }
    }
}

TEST(RtfEngine, BlocksRepeatWholeParagraphsAndRows) {
    const rtf::Table t{
        QStringLiteral("T"), {QStringLiteral("A")}, {{QStringLiteral("1")}, {QStringLiteral("2")}}};
    const struct {
        QByteArray rtf;
        QString text;
    } cases[] = {
        // One paragraph holds both markers.
        {"{\\rtf1 head\\par [[#T]]<[[T.A]]>[[/T]]\\par tail\\par}", QStringLiteral("head\n<1>\n<2>\ntail\n")},
        // A paragraph whose text sits in a group closed after its \par.
        {"{\\rtf1 head\\par {\\b [[#T]][[T.A]][[/T]]\\par }tail\\par}", QStringLiteral("head\n1\n2\ntail\n")},
        // One row holds both markers; the row definition repeats with it.
        {"{\\rtf1 \\trowd\\cellx100\\pard\\intbl [[#T]][[T.A]][[/T]]\\cell\\row\\pard end\\par}",
         QStringLiteral("1\n\n2\n\nend\n")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rtftest::rtfToText(rtf::Engine().fill(c.rtf, {t})), c.text) << c.rtf.toStdString();
    const QByteArray rowTemplate = "{\\rtf1 \\trowd\\cellx100\\pard\\intbl [[#T]][[T.A]][[/T]]\\cell\\row}";
    EXPECT_EQ(rtf::Engine().fill(rowTemplate, {t}).count("\\trowd"), 2);
}

}  // namespace
