#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/core/Exception.h"
#include "platform/os/IniFile.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("test.ini")) const { return dir_.filePath(name); }

    void writeBytes(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini")) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray readBytes(const QString& name = QStringLiteral("test.ini")) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, CyrillicRoundTripIsStoredInWindows1251) {
    const os::IniFile ini(path());
    ini.writeString(QStringLiteral("Раздел"), QStringLiteral("Ключ"), QStringLiteral("Значение і ї є ґ"));

    // The bytes iconv gives for "[Раздел]\nКлюч=Значение і ї є ґ\n" in CP1251.
    EXPECT_EQ(readBytes().toHex(),
              QByteArray("5bd0e0e7e4e5eb5d0acaebfef73dc7ede0f7e5ede8e520b320bf20ba20b40a"));
    EXPECT_EQ(os::IniFile(path()).readString(QStringLiteral("Раздел"), QStringLiteral("Ключ"), QString()),
              QStringLiteral("Значение і ї є ґ"));
    // Letter case does not matter for Cyrillic names either.
    EXPECT_EQ(ini.readString(QStringLiteral("РАЗДЕЛ"), QStringLiteral("ключ"), QString()),
              QStringLiteral("Значение і ї є ґ"));
}

TEST_F(IniFileTest, ReadsTheWayProfileFunctionsDo) {
    writeBytes(
        "top=before any section\n"
        "[DB]\n"
        "  Path =  C:\\base\\ZARVEL.FDB  \n"
        "; comment=not a key\n"
        "Empty=\n"
        "List=a, b,\"c\",%d\\n\n"
        "Path=second occurrence\n"
        "[ Other ]\n"
        "x=1\n"
        "[db]\n"
        "Late=never seen\n");
    const os::IniFile ini(path());
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"DB", "Path", "C:\\base\\ZARVEL.FDB"},  // trimmed, backslashes as they are
        {"db", "PATH", "C:\\base\\ZARVEL.FDB"},  // letter case ignored
        {"DB", "Empty", ""},                     // present and empty: not the default
        {"DB", "List", "a, b,\"c\",%d\\n"},      // no splitting, unquoting or unescaping
        {"DB", "; comment", "<default>"},
        {"DB", "Late", "<default>"},  // only the first section of a name counts
        {"Other", "x", "1"},
        {"Missing", "x", "<default>"},
        {"", "top", "<default>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.readString(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                 QStringLiteral("<default>")),
                  QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;

    EXPECT_EQ(ini.sections(), (QStringList{"DB", "Other", "db"}));
    EXPECT_EQ(ini.keys(QStringLiteral("db")), (QStringList{"Path", "Empty", "List", "Path"}));
    EXPECT_TRUE(ini.valueExists(QStringLiteral("DB"), QStringLiteral("empty")));
    EXPECT_FALSE(ini.valueExists(QStringLiteral("DB"), QStringLiteral("x")));
    EXPECT_TRUE(ini.sectionExists(QStringLiteral("other")));
}

TEST_F(IniFileTest, MissingFileReadsAsEmpty) {
    const os::IniFile ini(path(QStringLiteral("none.ini")));
    EXPECT_EQ(ini.readString(QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(ini.readInt(QStringLiteral("A"), QStringLiteral("b"), 7), 7);
    EXPECT_TRUE(ini.sections().isEmpty());
    EXPECT_FALSE(QFile::exists(ini.path()));
}

TEST_F(IniFileTest, IntegersAndBooleans) {
    struct Case {
        const char* stored;
        int expected;  // with the default 99
    };
    const std::vector<Case> cases = {
        {"16", 16},
        {"0x10", 16},
        {"0X1f", 31},
        {"$10", 16},
        {"-5", -5},
        {"+5", 5},
        {" 42 ", 42},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", 99},
        {"0xFFFFFFFF", -1},
        {"0x100000000", 99},
        {"abc", 99},
        {"", 99},
        {"0x", 99},
        {"1.5", 99},
        {"12abc", 99},
        {"--1", 99},
    };
    const os::IniFile ini(path());
    for (const Case& c : cases) {
        ini.writeString(QStringLiteral("N"), QStringLiteral("v"), QString::fromUtf8(c.stored));
        EXPECT_EQ(ini.readInt(QStringLiteral("N"), QStringLiteral("v"), 99), c.expected) << c.stored;
    }

    ini.writeBool(QStringLiteral("B"), QStringLiteral("on"), true);
    ini.writeBool(QStringLiteral("B"), QStringLiteral("off"), false);
    ini.writeString(QStringLiteral("B"), QStringLiteral("two"), QStringLiteral("2"));
    ini.writeString(QStringLiteral("B"), QStringLiteral("word"), QStringLiteral("yes"));
    EXPECT_EQ(ini.readString(QStringLiteral("B"), QStringLiteral("on"), QString()), QStringLiteral("1"));
    EXPECT_EQ(ini.readString(QStringLiteral("B"), QStringLiteral("off"), QString()), QStringLiteral("0"));
    EXPECT_TRUE(ini.readBool(QStringLiteral("B"), QStringLiteral("on"), false));
    EXPECT_FALSE(ini.readBool(QStringLiteral("B"), QStringLiteral("off"), true));
    EXPECT_TRUE(ini.readBool(QStringLiteral("B"), QStringLiteral("two"), false));
    EXPECT_TRUE(ini.readBool(QStringLiteral("B"), QStringLiteral("word"), true));
    EXPECT_FALSE(ini.readBool(QStringLiteral("B"), QStringLiteral("word"), false));
    EXPECT_FALSE(ini.readBool(QStringLiteral("B"), QStringLiteral("missing"), false));

    ini.writeInt(QStringLiteral("N"), QStringLiteral("v"), -17);
    EXPECT_EQ(ini.readString(QStringLiteral("N"), QStringLiteral("v"), QString()), QStringLiteral("-17"));
}

TEST_F(IniFileTest, WritesKeepTheRestOfTheFile) {
    writeBytes(
        "; settings\r\n"
        "[DB]\r\n"
        "PATH=old\r\n"
        "USER=sysdba\r\n"
        "\r\n"
        "[Backup]\r\n"
        "BackupDir=d:\\backup\r\n");
    const os::IniFile ini(path());
    ini.writeString(QStringLiteral("db"), QStringLiteral("path"), QStringLiteral("new"));
    ini.writeString(QStringLiteral("DB"), QStringLiteral("ROLE"), QStringLiteral("MASTERROLE"));
    ini.writeString(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"), QStringLiteral("2"));
    // The file's own line ends stay; a new key joins the end of its section, a new section the file.
    EXPECT_EQ(readBytes(), QByteArray("; settings\r\n"
                                      "[DB]\r\n"
                                      "path=new\r\n"
                                      "USER=sysdba\r\n"
                                      "ROLE=MASTERROLE\r\n"
                                      "\r\n"
                                      "[Backup]\r\n"
                                      "BackupDir=d:\\backup\r\n"
                                      "\r\n"
                                      "[LANG_MASTER]\r\n"
                                      "interfeyce_lang=2\r\n"));

    ini.deleteKey(QStringLiteral("DB"), QStringLiteral("USER"));
    ini.deleteKey(QStringLiteral("DB"), QStringLiteral("absent"));
    ini.eraseSection(QStringLiteral("backup"));
    ini.eraseSection(QStringLiteral("absent"));
    EXPECT_EQ(readBytes(), QByteArray("; settings\r\n"
                                      "[DB]\r\n"
                                      "path=new\r\n"
                                      "ROLE=MASTERROLE\r\n"
                                      "\r\n"
                                      "[LANG_MASTER]\r\n"
                                      "interfeyce_lang=2\r\n"));
}

// A value written again as it stands leaves the file alone: no new file is put in its place.
TEST_F(IniFileTest, TheSameValueAgainDoesNotRewriteTheFile) {
    const auto inode = [this] {
        struct stat st {};
        return ::stat(path().toLocal8Bit().constData(), &st) == 0 ? st.st_ino : ino_t{0};
    };
    const os::IniFile ini(path());
    ini.writeInt(QStringLiteral("PenaltyOpEditForm"), QStringLiteral("opVid"), 3);
    const ino_t first = inode();
    ASSERT_NE(first, ino_t{0});
    ini.writeInt(QStringLiteral("PenaltyOpEditForm"), QStringLiteral("opVid"), 3);
    EXPECT_EQ(inode(), first);
    ini.writeInt(QStringLiteral("PenaltyOpEditForm"), QStringLiteral("opVid"), 0);
    EXPECT_NE(inode(), first);
    EXPECT_EQ(readBytes(), QByteArray("[PenaltyOpEditForm]\nopVid=0\n"));
}

TEST_F(IniFileTest, EveryCallSeesTheFileAsItIsNow) {
    const os::IniFile reader(path());
    EXPECT_EQ(reader.readString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("none")),
              QStringLiteral("none"));
    os::IniFile(path()).writeString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("first"));
    EXPECT_EQ(reader.readString(QStringLiteral("S"), QStringLiteral("k"), QString()),
              QStringLiteral("first"));
    writeBytes("[S]\nk=edited by hand\n");
    EXPECT_EQ(reader.readString(QStringLiteral("S"), QStringLiteral("k"), QString()),
              QStringLiteral("edited by hand"));
}

// Whatever a write accepts reads back under the same names; a name the reader would take apart,
// trim or skip is refused, naming it, and the file is left as it was.
TEST_F(IniFileTest, NamesThatCannotBeReadBackAreRefused) {
    struct Case {
        QString section, key, value;
        const char* refusal;  // what the message says, or null when the write is accepted
    };
    const QString s = QStringLiteral("S");
    const QString k = QStringLiteral("k");
    const QString v = QStringLiteral("v");
    const std::vector<Case> cases = {
        {s, QStringLiteral("a=b"), v, "key 'a=b' contains '='"},
        {s, QStringLiteral(" k"), v, "key ' k' begins or ends with a blank"},
        {s, QStringLiteral("k\t"), v, "key 'k\t' begins or ends with a blank"},
        {s, QStringLiteral(";k"), v, "key ';k' begins with ';'"},
        {s, QStringLiteral("[k]"), v, "key '[k]' begins with '['"},
        {s, QStringLiteral("k\nx"), v, "key contains a line break"},
        {QStringLiteral("a]b"), k, v, "section 'a]b' contains ']'"},
        {QStringLiteral(" S"), k, v, "section ' S' begins or ends with a blank"},
        {QStringLiteral("S "), k, v, "section 'S ' begins or ends with a blank"},
        {QStringLiteral("S\r"), k, v, "section contains a line break"},
        {s, k, QStringLiteral("two\nlines"), "value contains a line break"},
        // Accepted: characters that only mean something elsewhere in a line.
        {s, QStringLiteral("a;b [c] d"), QStringLiteral("x = y ; z"), nullptr},
        {QStringLiteral("a[b ;c="), QStringLiteral("ключ"), QStringLiteral("[v]"), nullptr},
        {QStringLiteral(";S"), QStringLiteral("k]"), QStringLiteral("=v="), nullptr},
        {s, QStringLiteral("\u043a\u043b"), QString(), nullptr},
    };
    for (const Case& c : cases) {
        writeBytes("[S]\nk=v\n");
        const QByteArray before = readBytes();
        const os::IniFile ini(path());
        QString message;
        try {
            ini.writeString(c.section, c.key, c.value);
        } catch (const core::Exception& e) {
            message = e.message();
        }
        if (c.refusal) {
            EXPECT_EQ(message,
                      QStringLiteral("Unable to write to %1 (%2)").arg(path(), QString::fromUtf8(c.refusal)));
            EXPECT_EQ(readBytes(), before);
            continue;
        }
        EXPECT_EQ(message, QString()) << c.key.toStdString();
        EXPECT_EQ(ini.readString(c.section, c.key, QStringLiteral("<missing>")), c.value)
            << c.key.toStdString();
        EXPECT_TRUE(ini.sections().contains(c.section)) << c.section.toStdString();
        EXPECT_TRUE(ini.keys(c.section).contains(c.key)) << c.key.toStdString();
        EXPECT_EQ(ini.readString(s, k, QString()), v);  // the line that was there is untouched
    }
}

TEST_F(IniFileTest, RefusedWritesRaiseAndLeaveTheFileAlone) {
    writeBytes("[S]\nk=v\n");
    const os::IniFile ini(path());
    const std::vector<std::pair<QString, QString>> refused = {
        {QStringLiteral("k"), QStringLiteral("two\nlines")},
        {QStringLiteral("k"), QStringLiteral("euro € sign is fine, but not ẞ")},
        {QStringLiteral("k\r"), QStringLiteral("v")},
    };
    for (const auto& [key, value] : refused) {
        EXPECT_THROW(ini.writeString(QStringLiteral("S"), key, value), core::Exception)
            << value.toStdString();
        EXPECT_EQ(readBytes(), QByteArray("[S]\nk=v\n"));
    }
    const os::IniFile nowhere(path(QStringLiteral("missing-folder/x.ini")));
    try {
        nowhere.writeString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
        FAIL() << "a file in a missing folder was written";
    } catch (const core::Exception& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Unable to write to ") + nowhere.path()))
            << e.what();
    }
}

}  // namespace
