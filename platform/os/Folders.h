#pragma once
// The user's own folders, in the order the program looks for a place for its per-user files: the
// application-data folder, the temporary folders, the home folder.

#include <QString>
#include <QStringList>

namespace os {

// $XDG_CONFIG_HOME (else $HOME/.config), $TMPDIR, /tmp, $HOME; unset or empty variables are left out.
QStringList userFolderCandidates();
// The first of the folders that exists, "." when none does.
QString firstExistingFolder(const QStringList& folders);
// firstExistingFolder(userFolderCandidates()).
QString userDataFolder();

}  // namespace os
