#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "kv_settingsFile.h"
#include "platform/core/Exception.h"
#include "platform/os/Program.h"
#include "tests/platform/os/TestSupport.h"

namespace {

using utl::SettingsFile;

const QString kNotInitialized = QStringLiteral(
    "Singleton SettingsFile not initalized.\nCall SettingsFile::init(..) function\n "
    "inComponents\\KVLib\\Source\\uUtil\\kv_settingsFile");

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SettingsFile::reset();
        os::setProgramFile(programDir() + QStringLiteral("/Tolvanix"));
        QDir().mkpath(programDir());
    }
    void TearDown() override {
        SettingsFile::reset();
        os::setProgramFile(QString());
    }
    QString programDir() const { return dir_.filePath(QStringLiteral("prog")); }
    void writeDbIni(const QByteArray& bytes) const {
        QFile f(programDir() + QStringLiteral("/db.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsFileTest, EveryUseFailsUntilInitFindsTheFile) {
    const QString missing = programDir() + QStringLiteral("/db.ini");
    EXPECT_EQ(messageOf([] { SettingsFile::init(QStringLiteral("db.ini"), utl::tfpUSER_DIR); }),
              QStringLiteral("Settings file not exists\n") + missing);
    const std::vector<std::function<void()>> uses = {
        [] { SettingsFile::fileName(); },
        [] { SettingsFile::readString(QStringLiteral("DB"), QStringLiteral("PATH"), QString()); },
        [] { SettingsFile::getString(QStringLiteral("DB"), QStringLiteral("PATH")); },
        [] { SettingsFile::readInt(QStringLiteral("DB"), QStringLiteral("N"), 0); },
        [] { SettingsFile::readBool(QStringLiteral("DB"), QStringLiteral("B"), false); },
        [] { SettingsFile::readPath(QStringLiteral("DB"), QStringLiteral("P"), QString()); },
        [] { SettingsFile::writeString(QStringLiteral("DB"), QStringLiteral("PATH"), QStringLiteral("x")); },
        [] { SettingsFile::writeInt(QStringLiteral("DB"), QStringLiteral("N"), 1); },
        [] { SettingsFile::writeBool(QStringLiteral("DB"), QStringLiteral("B"), true); },
    };
    for (const auto& use : uses) EXPECT_EQ(messageOf(use), kNotInitialized);
    EXPECT_FALSE(QFile::exists(missing));  // the refused write created nothing

    // An undefined place is refused too, and leaves the object uninitialized.
    writeDbIni("[DB]\n");
    EXPECT_EQ(messageOf([] { SettingsFile::init(QStringLiteral("db.ini"), utl::tfpNOT_DEFINE); }),
              QStringLiteral("Unacceptable parameter \"tmpPlace == tfpNOT_DEFINE\"\nSettingsFile::init\n"
                             "Components\\KVLib\\Source\\uUtil\\kv_settingsFile"));
    EXPECT_EQ(messageOf([] { SettingsFile::fileName(); }), kNotInitialized);

    SettingsFile::init(QStringLiteral("db.ini"), utl::tfpUSER_DIR);
    EXPECT_EQ(SettingsFile::fileName(), missing);
}

TEST_F(SettingsFileTest, TypedReadsAndWrites) {
    writeDbIni(
        "[DB]\r\n"
        "PATH=localhost:C:\\Base\\ZARVEL.FDB\r\n"
        "[FISCAL_MARIYA]\r\n"
        "FRisEnabled=2\r\n"
        "FRPort=0x10\r\n"
        "FRLogin=abc\r\n");
    SettingsFile::init(QStringLiteral("db.ini"), utl::tfpUSER_DIR);

    EXPECT_EQ(SettingsFile::readString(QStringLiteral("db"), QStringLiteral("path"), QString()),
              QStringLiteral("localhost:C:\\Base\\ZARVEL.FDB"));
    EXPECT_TRUE(
        SettingsFile::readBool(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRisEnabled"), false));
    EXPECT_EQ(SettingsFile::readInt(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRPort"), 1), 16);
    EXPECT_EQ(SettingsFile::readInt(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRLogin"), 7), 7);
    EXPECT_TRUE(SettingsFile::readBool(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRLogin"), true));
    EXPECT_EQ(SettingsFile::getString(QStringLiteral("DB"), QStringLiteral("PATH2")),
              QStringLiteral("Can't read value from ini file ") + SettingsFile::fileName());

    SettingsFile::writeBool(QStringLiteral("LANG_MASTER"), QStringLiteral("first_start"), true);
    SettingsFile::writeInt(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"), 2);
    SettingsFile::writeString(QStringLiteral("FISCAL_MARIYA"), QStringLiteral("FRMes1"),
                              QStringLiteral("Спасибо за покупку!"));
    // Written at once: the next read, and the bytes on disk, show them.
    EXPECT_EQ(SettingsFile::readInt(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"), 1), 2);
    EXPECT_TRUE(SettingsFile::readBool(QStringLiteral("LANG_MASTER"), QStringLiteral("first_start"), false));
    QFile f(SettingsFile::fileName());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("first_start=1\r\n"));
    EXPECT_TRUE(bytes.contains("FRMes1=\xD1\xEF\xE0\xF1\xE8\xE1\xEE")) << bytes.toStdString();  // "Спасибо"
}

TEST_F(SettingsFileTest, NamesThatWouldNotReadBackAreRefused) {
    writeDbIni("[DB]\r\nPATH=base.fdb\r\n");
    SettingsFile::init(QStringLiteral("db.ini"), utl::tfpUSER_DIR);
    const QString prefix = QStringLiteral("Unable to write to ") + SettingsFile::fileName();
    struct Case {
        const char* section;
        const char* key;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"DB", "PATH=other.fdb", "key 'PATH=other.fdb' contains '='"},
        {"DB", "PATH ", "key 'PATH ' begins or ends with a blank"},
        {"[DB]", "PATH", "section '[DB]' contains ']'"},
    };
    for (const Case& c : cases) {
        const QString section = QString::fromUtf8(c.section), key = QString::fromUtf8(c.key);
        EXPECT_EQ(messageOf([&] { SettingsFile::writeString(section, key, QStringLiteral("x")); }),
                  prefix + QStringLiteral(" (%1)").arg(QString::fromUtf8(c.reason)));
        EXPECT_EQ(messageOf([&] { SettingsFile::writeInt(section, key, 1); }),
                  prefix + QStringLiteral(" (%1)").arg(QString::fromUtf8(c.reason)));
    }
    // Nothing was written.
    QFile f(SettingsFile::fileName());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[DB]\r\nPATH=base.fdb\r\n"));
}

TEST_F(SettingsFileTest, PathsBelowTheProgramFolder) {
    writeDbIni(
        "[WordReports]\n"
        "PATH=reports\n"
        "EMPTY=\n"
        "ABS=/srv/tolvanix/out\n");
    SettingsFile::init(QStringLiteral("db.ini"), utl::tfpUSER_DIR);
    struct Case {
        const char* key;
        const char* defaultValue;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"PATH", "", programDir() + QStringLiteral("/reports")},
        {"EMPTY", "out", programDir() + QStringLiteral("/out")},
        {"MISSING", "out", programDir() + QStringLiteral("/out")},
        {"MISSING", "", programDir() + QStringLiteral("/")},
        {"ABS", "", QStringLiteral("/srv/tolvanix/out")},  // a full path stays as it is
        {"MISSING", "/var/out", QStringLiteral("/var/out")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettingsFile::readPath(QStringLiteral("WordReports"), QString::fromUtf8(c.key),
                                         QString::fromUtf8(c.defaultValue)),
                  c.expected)
            << c.key;
}

TEST_F(SettingsFileTest, PerUserFolderFollowsTheVariables) {
    const QString config = dir_.filePath(QStringLiteral("config"));
    const QString tmp = dir_.filePath(QStringLiteral("tmp"));
    const QString home = dir_.filePath(QStringLiteral("home"));
    const QString missing = dir_.filePath(QStringLiteral("missing"));
    for (const QString& d : {config, tmp, home}) QDir().mkpath(d);
    QDir().mkpath(home + QStringLiteral("/.config"));

    struct Case {
        QString config, tmp, home;  // "-" leaves the variable unset
        QString expected;
    };
    const QString unset = QStringLiteral("-");
    const std::vector<Case> cases = {
        {config, tmp, home, config},
        {missing, tmp, home, tmp},  // application data missing: the temporary folder
        {unset, tmp, home, home + QStringLiteral("/.config")},
        {unset, missing, home, home + QStringLiteral("/.config")},
        {missing, unset, unset, QStringLiteral("/tmp")},
        {missing, missing, unset, QStringLiteral("/tmp")},
    };
    for (const Case& c : cases) {
        ScopedEnv env;
        const auto value = [&](const QString& v) {
            return v == unset ? std::nullopt : std::optional<QByteArray>(v.toUtf8());
        };
        env.set("XDG_CONFIG_HOME", value(c.config));
        env.set("TMPDIR", value(c.tmp));
        env.set("HOME", value(c.home));
        EXPECT_EQ(SettingsFile::tempPlaceDir(), c.expected) << c.expected.toStdString();
    }

    // The program-folder mode needs no variables.
    writeDbIni("[DB]\n");
    SettingsFile::init(QStringLiteral("db.ini"), utl::tfpEXE_DIR);
    EXPECT_EQ(SettingsFile::tempPlaceDir(), programDir());
    // Any place other than 0 and 1 means the user's folders.
    SettingsFile::setTmpPlace(static_cast<utl::TempFilePlace>(7));
    ScopedEnv env;
    env.set("XDG_CONFIG_HOME", config.toUtf8());
    EXPECT_EQ(SettingsFile::tempPlaceDir(), config);
}

TEST_F(SettingsFileTest, UserIniFileName) {
    ScopedEnv env;
    env.set("XDG_CONFIG_HOME", dir_.path().toUtf8());
    struct Case {
        const char* program;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"Tolvanix", "sTolvanix.ini"},
        {"Tolvanix.exe", "sTolvanix.ini"},
        {"X.EXE", "sX.ini"},
        {"tolv.v2.bin", "stolv.v2.ini"},
    };
    for (const Case& c : cases) {
        SettingsFile::reset();
        os::setProgramFile(programDir() + u'/' + QString::fromUtf8(c.program));
        EXPECT_EQ(SettingsFile::userIniFileName(), dir_.path() + u'/' + QString::fromUtf8(c.expected));
    }

    // Fixed by the first call: a later change of place does not move it.
    const QString first = SettingsFile::userIniFileName();
    writeDbIni("[DB]\n");
    SettingsFile::init(QStringLiteral("db.ini"), utl::tfpEXE_DIR);
    EXPECT_EQ(SettingsFile::userIniFileName(), first);
}

TEST_F(SettingsFileTest, TempDirIsCreatedOnce) {
    writeDbIni("[DB]\n");
    SettingsFile::init(QStringLiteral("db.ini"), utl::tfpEXE_DIR);
    const QString expected = programDir() + QStringLiteral("/Temp");
    EXPECT_FALSE(QFileInfo(expected).exists());
    EXPECT_EQ(SettingsFile::tempDir(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    QFile marker(expected + QStringLiteral("/keep"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    EXPECT_EQ(SettingsFile::tempDir(), expected);
    EXPECT_TRUE(marker.exists());  // the folder was left as it was
}

}  // namespace
