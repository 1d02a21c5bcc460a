#pragma once
// The program's own file and folder: where it finds the files it ships with and its settings file.
// Tests point them at a folder of their own.

#include <QString>

namespace os {

// Absolute path of the running executable, or the path set with setProgramFile.
QString programFile();
// The folder of programFile(), without a trailing separator.
QString programDir();
// Makes programFile() answer this path; the empty text goes back to the running executable.
void setProgramFile(const QString& path);

// The program's version, four numbers joined by dots ("1.0.0.0"): the application's version, which the
// program sets from its build; empty when none was set.
QString programVersion();

}  // namespace os
