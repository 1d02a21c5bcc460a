#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "kv_DateUtl.h"
#include "kv_FileUtils.h"
#include "kv_StlUtl.h"
#include "kv_StrUtl.h"
#include "platform/core/Exception.h"
#include "tests/platform/os/TestSupport.h"

namespace {

using core::DateTime;
namespace StlUtl = utl::StlUtl;
namespace DateUtl = utl::DateUtl;
namespace StrUtl = utl::StrUtl;

TEST(StlUtlTest, Join) {
    EXPECT_EQ(StlUtl::join(std::vector<int>{3, -1, 20}, QStringLiteral(",")), QStringLiteral("3,-1,20"));
    EXPECT_EQ(StlUtl::join(std::vector<int>{}, QStringLiteral(",")), QString());
    EXPECT_EQ(StlUtl::join(std::vector<qint64>{7}, QStringLiteral(", ")), QStringLiteral("7"));
    EXPECT_EQ(StlUtl::join(std::set<int>{20, 3, -1}, QStringLiteral(", ")), QStringLiteral("-1, 3, 20"));
    EXPECT_EQ(StlUtl::join(std::set<int>{}, QStringLiteral(",")), QString());

    const std::set<QString> texts{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("O'Brien")};
    EXPECT_EQ(
        StlUtl::join(std::set<QString>{QStringLiteral("B"), QStringLiteral("A")}, QStringLiteral(","), true),
        QStringLiteral("'A','B'"));
    EXPECT_EQ(StlUtl::join(texts, QStringLiteral(","), true), QStringLiteral("'A','B','O'Brien'"));
    EXPECT_EQ(StlUtl::join(texts, QStringLiteral("|"), false), QStringLiteral("A|B|O'Brien"));
}

TEST(StlUtlTest, Split) {
    struct Case {
        const char* text;
        const char* separatorSet;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"a,,b", "", {"a", "", "b"}},
        {"a,b,", "", {"a", "b"}},
        {",a", "", {"", "a"}},
        {"", "", {}},
        {",", "", {""}},
        {"a;b,c d", ";, ", {"a", "b", "c", "d"}},  // the set replaces the separator
        {"a;b", ";", {"a", "b"}},
    };
    for (const Case& c : cases) {
        QStringList list{QStringLiteral("left over")};
        StlUtl::split(QString::fromUtf8(c.text), list, u',', QString::fromUtf8(c.separatorSet));
        EXPECT_EQ(list, c.expected) << c.text;
    }
    EXPECT_EQ(StlUtl::splitTrimRight(QStringLiteral("ID ,  NAME  ,,SUM\t "), u','),
              (QStringList{"ID", "  NAME", "", "SUM\t"}));
}

TEST(StlUtlTest, ReplaceAll) {
    struct Case {
        const char* text;
        const char* search;
        const char* replacement;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"one\\ntwo\\nthree", "\\n", "\n", "one\ntwo\nthree"},
        {"\\\\n", "\\n", "\n", "\\\n"},  // backslash, backslash, n
        {"aab", "ab", "b", "b"},         // each search starts over, so "ab" formed again is replaced too
        {"xaaay", "aa", "a", "xay"},
        {"nothing", "zz", "y", "nothing"},
        {"abc", "", "x", "abc"},
        {"aa", "a", "aa", "aaaa"},  // a replacement holding the search text is made once, not for ever
    };
    for (const Case& c : cases)
        EXPECT_EQ(StlUtl::replaceAll(QString::fromUtf8(c.text), QString::fromUtf8(c.search),
                                     QString::fromUtf8(c.replacement)),
                  QString::fromUtf8(c.expected))
            << c.text;
}

TEST(DateUtlTest, MonthNames) {
    const std::vector<std::array<const char*, 4>> names = {
        {"январь", "января", "січень", "січня"},
        {"февраль", "февраля", "лютий", "лютого"},
        {"март", "марта", "березень", "березня"},
        {"апрель", "апреля", "квітень", "квітня"},
        {"май", "мая", "травень", "травня"},
        {"июнь", "июня", "червень", "червня"},
        {"июль", "июля", "липень", "липня"},
        {"август", "августа", "серпень", "серпня"},
        {"сентябрь", "сентября", "вересень", "вересня"},
        {"октябрь", "октября", "жовтень", "жовтня"},
        {"ноябрь", "ноября", "листопад", "листопада"},
        {"декабрь", "декабря", "грудень", "грудня"},
    };
    for (int m = 1; m <= 12; ++m) {
        const auto& n = names[m - 1];
        EXPECT_EQ(DateUtl::monthNameRu(m, false), QString::fromUtf8(n[0])) << m;
        EXPECT_EQ(DateUtl::monthNameRu(m, true), QString::fromUtf8(n[1])) << m;
        EXPECT_EQ(DateUtl::monthNameUk(m, false), QString::fromUtf8(n[2])) << m;
        EXPECT_EQ(DateUtl::monthNameUk(m, true), QString::fromUtf8(n[3])) << m;
    }
    for (int m : {0, 13, -1})
        for (bool genitive : {false, true}) {
            EXPECT_EQ(DateUtl::monthNameRu(m, genitive), QString());
            EXPECT_EQ(DateUtl::monthNameUk(m, genitive), QString());
        }
}

TEST(DateUtlTest, DatesInWordsAndStamps) {
    EXPECT_EQ(DateUtl::dateToText(DateTime::encode(2009, 1, 5)), QStringLiteral("05 января 2009"));
    EXPECT_EQ(DateUtl::dateToText(DateTime::encode(2021, 12, 31, 23, 59)), QStringLiteral("31 декабря 2021"));

    const DateUtl::DateStr s = DateUtl::dateToDateStr(DateTime::encode(2009, 5, 25, 14, 3, 7));
    EXPECT_EQ(s.day, QStringLiteral("25"));
    EXPECT_EQ(s.month, QStringLiteral("05"));
    EXPECT_EQ(s.monthName, QStringLiteral("мая"));
    EXPECT_EQ(s.year2, QStringLiteral("09"));
    EXPECT_EQ(s.year4, QStringLiteral("2009"));
    EXPECT_EQ(s.text, QStringLiteral("25 мая 2009"));

    EXPECT_EQ(DateUtl::yearStr(2009, 2), QStringLiteral("09"));
    EXPECT_EQ(DateUtl::yearStr(2009, 4), QStringLiteral("2009"));
    EXPECT_EQ(DateUtl::yearStr(1999, 0), QStringLiteral("1999"));

    const DateTime moment = DateTime::encode(2009, 5, 25, 14, 3, 7);
    EXPECT_EQ(DateUtl::dateTimeStamp(moment, true), QStringLiteral("2009-05-25_14-03-07"));
    EXPECT_EQ(DateUtl::dateTimeStamp(moment, false), QStringLiteral("2009-05-25"));
    EXPECT_EQ(DateUtl::dateTimeStamp(DateTime::encode(2009, 1, 2), true),
              QStringLiteral("2009-01-02_00-00-00"));
    // Zero means now; around midnight the day may turn between the two readings.
    const QString today = DateUtl::dateTimeStamp(DateTime(), false);
    EXPECT_TRUE(today == QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) ||
                today == QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd")))
        << today.toStdString();
    EXPECT_EQ(DateUtl::dateTimeStamp(DateTime(), true).size(), 19);
}

TEST(DateUtlTest, IntervalIncludesBothEnds) {
    const DateUtl::DateInterval empty;
    EXPECT_EQ(empty.begin, DateTime());
    EXPECT_EQ(empty.end, DateTime());
    const DateUtl::DateInterval may(DateTime::encode(2009, 5, 1), DateTime::encode(2009, 5, 31));
    EXPECT_TRUE(may.contains(DateTime::encode(2009, 5, 1)));
    EXPECT_TRUE(may.contains(DateTime::encode(2009, 5, 31)));
    EXPECT_TRUE(may.contains(DateTime::encode(2009, 5, 15, 12)));
    EXPECT_FALSE(may.contains(DateTime::encode(2009, 4, 30)));
    EXPECT_FALSE(may.contains(DateTime::encode(2009, 5, 31, 0, 0, 1)));  // the end is a moment, not a day
}

TEST(StrUtlTest, NamesAndNumbers) {
    struct ZeroCase {
        int number, width;
        const char* expected;
    };
    const std::vector<ZeroCase> zeros = {
        {5, 3, "005"}, {1234, 2, "1234"}, {-5, 3, "0-5"}, {0, 1, "0"}, {7, 0, "7"}, {42, -1, "42"},
    };
    for (const ZeroCase& c : zeros)
        EXPECT_EQ(StrUtl::intToStrZero(c.number, c.width), QString::fromUtf8(c.expected)) << c.number;

    EXPECT_EQ(StrUtl::surnameInitials(QStringLiteral("Шевченко"), QStringLiteral("Тарас"),
                                      QStringLiteral("Григорьевич")),
              QStringLiteral("Шевченко Т.Г."));
    EXPECT_EQ(StrUtl::surnameInitials(QStringLiteral("Іваненко"), QString(), QStringLiteral("Петрович")),
              QStringLiteral("Іваненко П."));
    EXPECT_EQ(StrUtl::surnameInitials(QStringLiteral("Иванов"), QString(), QString()),
              QStringLiteral("Иванов "));

    EXPECT_TRUE(StrUtl::containsAnyChar(QStringLiteral("12/5"), QStringLiteral("/\\"), 2));
    EXPECT_FALSE(StrUtl::containsAnyChar(QStringLiteral("12\\5"), QStringLiteral("/\\"), 1));
    EXPECT_FALSE(StrUtl::containsAnyChar(QStringLiteral("12/5"), QStringLiteral("/"), 0));
    EXPECT_FALSE(StrUtl::containsAnyChar(QString(), QStringLiteral("/"), 1));
    EXPECT_TRUE(StrUtl::containsAnyChar(QStringLiteral("a/"), QStringLiteral("/"), 5));
}

TEST(FileUtilsTest, DatedFileName) {
    const DateTime moment = DateTime::encode(2009, 5, 25, 14, 3, 7);
    struct Case {
        const char* folder;
        const char* file;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"/out", "/t/report.xls", "/out/report_2009-05-25_14-03-07.xls"},
        {"", "/t/report.xls", "report_2009-05-25_14-03-07.xls"},
        {"/backup", "ZARVEL.FDB", "/backup/ZARVEL_2009-05-25_14-03-07.FDB"},
        {"", "archive.tar.gz", "archive.tar_2009-05-25_14-03-07.gz"},
        {"", "noext", "noext_2009-05-25_14-03-07"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileUtils::datedFileName(QString::fromUtf8(c.folder), QString::fromUtf8(c.file), moment),
                  QString::fromUtf8(c.expected));
    EXPECT_TRUE(FileUtils::datedFileName(QString(), QStringLiteral("r.pr"), DateTime())
                    .contains(QRegularExpression(
                        QStringLiteral("^r_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.pr$"))));
}

TEST(FileUtilsTest, EnvironmentVariables) {
    ScopedEnv env;
    env.set("TOLV_SET", QByteArray("значение"));
    env.set("TOLV_EMPTY", QByteArray());
    env.set("TOLV_UNSET", std::nullopt);
    EXPECT_EQ(FileUtils::getEnvVar(QStringLiteral("TOLV_SET"), true), QStringLiteral("значение"));
    EXPECT_EQ(FileUtils::getEnvVar(QStringLiteral("TOLV_EMPTY"), false), QString());
    EXPECT_EQ(FileUtils::getEnvVar(QStringLiteral("TOLV_UNSET"), false), QString());
    for (const char* name : {"TOLV_EMPTY", "TOLV_UNSET"})
        EXPECT_EQ(messageOf([&] { FileUtils::getEnvVar(QString::fromLatin1(name), true); }),
                  QStringLiteral("Environment variable '%1' not defined").arg(QString::fromLatin1(name)));
}

TEST(FileUtilsTest, OpeningFilesAndStartingProcesses) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("report.xls"));
    {
        FakeDesktop desktop;
        EXPECT_EQ(messageOf([&] { FileUtils::WinExec(missing); }),
                  QStringLiteral("file not found - FileUtils::WinExec() : ") + missing);
        EXPECT_TRUE(desktop.opened.isEmpty());
        QFile(missing).open(QIODevice::WriteOnly);
        FileUtils::WinExec(missing);
        EXPECT_EQ(desktop.opened, QStringList{missing});
    }

    const QString marker = dir.filePath(QStringLiteral("viewer ran"));
    const FileUtils::ProcessInformation info =
        FileUtils::WinExecAndWait(QStringLiteral("/bin/sh -c \"touch '%1'\"").arg(marker), 1, false);
    EXPECT_GT(info.processId, 0);
    EXPECT_TRUE(waitForFile(marker));

    const QString bad = QStringLiteral("\"/no/such/Orvexa\" \"/tmp/x.pr\" -d");
    const QString text = messageOf([&] { FileUtils::WinExecAndWait(bad, 1, true); });
    EXPECT_TRUE(text.startsWith(QStringLiteral("FileUtils::WinExecAndWait(): Can't run the process - ") +
                                bad + u'\n'))
        << text.toStdString();
    EXPECT_GT(text.size(), QStringLiteral("FileUtils::WinExecAndWait(): Can't run the process - ").size() +
                               bad.size() + 1);  // the system's reason follows
}

TEST(FileUtilsTest, ShutdownAndHost) {
    {
        FakePowerOff power(true);
        EXPECT_TRUE(FileUtils::shutdownComputer(false, true));
        EXPECT_EQ(power.requests, (std::vector<std::pair<bool, bool>>{{false, true}}));
    }
    {
        FakePowerOff power(false);
        EXPECT_FALSE(FileUtils::shutdownComputer(true, false));
        EXPECT_EQ(power.requests, (std::vector<std::pair<bool, bool>>{{true, false}}));
    }

    EXPECT_EQ(FileUtils::hostName(), QSysInfo::machineHostName().toUpper());
    EXPECT_FALSE(FileUtils::hostAddress().isEmpty());
}

}  // namespace
