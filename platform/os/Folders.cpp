#include "platform/os/Folders.h"

#include <QFileInfo>

namespace os {

namespace {

// "/tmp/" and "/tmp" name the same folder; file names are joined to it with a separator of their own.
QString withoutTrailingSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    return folder;
}

}  // namespace

QStringList userFolderCandidates() {
    const QString home = withoutTrailingSlash(qEnvironmentVariable("HOME"));
    const QString config = withoutTrailingSlash(qEnvironmentVariable("XDG_CONFIG_HOME"));
    const QString tmp = withoutTrailingSlash(qEnvironmentVariable("TMPDIR"));
    QStringList folders;
    if (!config.isEmpty())
        folders.append(config);
    else if (!home.isEmpty())
        folders.append(home + QStringLiteral("/.config"));
    if (!tmp.isEmpty()) folders.append(tmp);
    folders.append(QStringLiteral("/tmp"));
    if (!home.isEmpty()) folders.append(home);
    return folders;
}

QString firstExistingFolder(const QStringList& folders) {
    for (const QString& folder : folders)
        if (QFileInfo(folder).isDir()) return folder;
    return QStringLiteral(".");
}

QString userDataFolder() {
    return firstExistingFolder(userFolderCandidates());
}

}  // namespace os
