#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/os/Clipboard.h"
#include "platform/os/Folders.h"
#include "platform/os/Host.h"
#include "platform/os/Program.h"
#include "platform/os/Shell.h"
#include "tests/platform/os/TestSupport.h"

namespace {

TEST(FoldersTest, CandidatesFollowTheVariables) {
    struct Case {
        std::optional<QByteArray> config, tmp, home;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"/c", "/t", "/h", {"/c", "/t", "/tmp", "/h"}},
        {std::nullopt, "/t", "/h", {"/h/.config", "/t", "/tmp", "/h"}},
        {"", "", "/h/", {"/h/.config", "/tmp", "/h"}},  // empty counts as unset; no doubled slash
        {"/c", std::nullopt, std::nullopt, {"/c", "/tmp"}},
        {std::nullopt, "/t/", std::nullopt, {"/t", "/tmp"}},
    };
    for (const Case& c : cases) {
        ScopedEnv env;
        env.set("XDG_CONFIG_HOME", c.config);
        env.set("TMPDIR", c.tmp);
        env.set("HOME", c.home);
        EXPECT_EQ(os::userFolderCandidates(), c.expected) << c.expected.join(u' ').toStdString();
    }
}

TEST(FoldersTest, FirstExistingFolderWins) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a"));
    const QString b = dir.filePath(QStringLiteral("b"));
    const QString file = dir.filePath(QStringLiteral("file"));
    QDir().mkdir(b);
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_EQ(os::firstExistingFolder({a, file, b}), b);
    EXPECT_EQ(os::firstExistingFolder({a, file}), QStringLiteral("."));
    EXPECT_EQ(os::firstExistingFolder({}), QStringLiteral("."));

    ScopedEnv env;
    env.set("XDG_CONFIG_HOME", a.toUtf8());  // missing: the next candidate is taken
    env.set("TMPDIR", b.toUtf8());
    EXPECT_EQ(os::userDataFolder(), b);
}

TEST(ProgramTest, TheRunningExecutableUnlessSet) {
    const QString real = os::programFile();
    EXPECT_EQ(real, QCoreApplication::applicationFilePath());
    EXPECT_TRUE(QFileInfo(real).isExecutable());
    EXPECT_EQ(os::programDir(), QFileInfo(real).absolutePath());

    os::setProgramFile(QStringLiteral("/opt/tolvanix/Tolvanix"));
    EXPECT_EQ(os::programFile(), QStringLiteral("/opt/tolvanix/Tolvanix"));
    EXPECT_EQ(os::programDir(), QStringLiteral("/opt/tolvanix"));
    os::setProgramFile(QStringLiteral("/Tolvanix"));
    EXPECT_EQ(os::programDir(), QStringLiteral("/"));
    os::setProgramFile(QString());
    EXPECT_EQ(os::programFile(), real);
}

TEST(ShellTest, StartsAProcessWithoutWaiting) {
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("started by test"));
    const os::StartResult result =
        os::startDetached(QStringLiteral("/bin/sh -c \"sleep 1; echo done > '%1'\"").arg(marker));
    ASSERT_TRUE(result.started) << result.errorText.toStdString();
    EXPECT_GT(result.processId, 0);
    EXPECT_FALSE(QFile::exists(marker));  // returned before the process finished
    EXPECT_TRUE(waitForFile(marker));
}

TEST(ShellTest, ReportsWhyAProcessCannotStart) {
    const os::StartResult missing = os::startDetached(QStringLiteral("/no/such/program --flag"));
    EXPECT_FALSE(missing.started);
    EXPECT_TRUE(missing.errorText.contains(QStringLiteral("No such file")))
        << missing.errorText.toStdString();
    const os::StartResult empty = os::startDetached(QStringLiteral("   "));
    EXPECT_FALSE(empty.started);
    EXPECT_FALSE(empty.errorText.isEmpty());
}

TEST(ShellTest, HandlersCanBeReplacedAndRestored) {
    FakePowerOff outer(false);
    EXPECT_FALSE(os::powerOff(false, true));
    {
        FakePowerOff inner(true);
        EXPECT_TRUE(os::powerOff(true, false));
        EXPECT_EQ(inner.requests, (std::vector<std::pair<bool, bool>>{{true, false}}));
    }
    // Replacing a handler hands back the one before, so the outer fake answers again.
    EXPECT_FALSE(os::powerOff(true, true));
    EXPECT_EQ(outer.requests, (std::vector<std::pair<bool, bool>>{{false, true}, {true, true}}));

    FakeDesktop desktop;
    EXPECT_TRUE(os::openDocument(QStringLiteral("/tmp/report.xls")));
    EXPECT_EQ(desktop.opened, QStringList{QStringLiteral("/tmp/report.xls")});
}

TEST(HostTest, NameInUpperCaseAndDottedAddress) {
    const QString name = os::hostName();
    EXPECT_FALSE(name.isEmpty());
    EXPECT_EQ(name, name.toUpper());
    EXPECT_EQ(name.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive), 0);
    static const QRegularExpression dotted(
        QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const auto match = dotted.match(os::hostAddress());
    ASSERT_TRUE(match.hasMatch()) << os::hostAddress().toStdString();
    for (int i = 1; i <= 4; ++i) EXPECT_LE(match.captured(i).toInt(), 255);
}

}  // namespace

namespace {

TEST(ClipboardTest, AnInstalledClipboardTakesTheTextAndTheDesktopsComesBack) {
    os::MemoryClipboard memory;
    os::Clipboard* previous = os::setClipboard(&memory);
    os::clipboard().setText(QStringLiteral("Name: gr_Contracts"));
    EXPECT_EQ(memory.text(), QStringLiteral("Name: gr_Contracts"));
    EXPECT_EQ(os::setClipboard(previous), &memory);
    // Without a graphical application the desktop's clipboard holds nothing and refuses nothing.
    os::clipboard().setText(QStringLiteral("x"));
    EXPECT_NE(&os::clipboard(), &memory);
}

TEST(ProgramTest, TheProgramVersionIsTheApplications) {
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.3.4"));
    EXPECT_EQ(os::programVersion(), QStringLiteral("1.2.3.4"));
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_TRUE(os::programVersion().isEmpty());
}

}  // namespace
