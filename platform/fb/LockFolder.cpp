#include "platform/fb/LockFolder.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cstdlib>

namespace fb {

QString prepareLockFolder() {
    const QByteArray set = qgetenv("FIREBIRD_LOCK");
    if (!set.isEmpty()) {
        const QString folder = QFile::decodeName(set);
        QDir().mkpath(folder);
        return folder;
    }
    // Per user: another user's engine files in a shared folder would not be writable.
    const QString folder = QDir::tempPath() + QStringLiteral("/tolvanix-fblock-") + QString::number(getuid());
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("FIREBIRD_LOCK", QFile::encodeName(folder).constData(), 1);
    return folder;
}

}  // namespace fb
