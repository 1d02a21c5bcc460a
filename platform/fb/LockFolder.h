#pragma once
// The embedded engine's lock folder. The engine needs a writable one before its first call; the
// program and the database creation tool must share it, or the two would open one file at once.

#include <QString>

namespace fb {

// FIREBIRD_LOCK when set (the folder is created when missing); otherwise the user's own folder
// <temporary folder>/tolvanix-fblock-<user id>, created and put into FIREBIRD_LOCK for the process.
// Returns the folder in force. Call before the first database call.
QString prepareLockFolder();

}  // namespace fb
