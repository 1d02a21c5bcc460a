// The embedded engine's lock folder: the one set in the environment, else the user's own.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/fb/LockFolder.h"

namespace {

TEST(LockFolderTest, TheEnvironmentsFolderElseTheUsersOwn) {
    const QByteArray saved = qgetenv("FIREBIRD_LOCK");
    QTemporaryDir dir;
    const QString given = dir.filePath(QStringLiteral("lock/sub"));
    qputenv("FIREBIRD_LOCK", given.toUtf8());
    EXPECT_EQ(fb::prepareLockFolder(), given);
    EXPECT_TRUE(QFileInfo(given).isDir());

    qunsetenv("FIREBIRD_LOCK");
    const QString own = fb::prepareLockFolder();
    EXPECT_EQ(own, QDir::tempPath() + QStringLiteral("/tolvanix-fblock-") + QString::number(getuid()));
    EXPECT_EQ(qgetenv("FIREBIRD_LOCK"), own.toUtf8());
    EXPECT_TRUE(QFileInfo(own).isDir());
    EXPECT_TRUE(QFileInfo(own).isWritable());
    // Asked again, the same folder.
    EXPECT_EQ(fb::prepareLockFolder(), own);
    qputenv("FIREBIRD_LOCK", saved);
}

}  // namespace
