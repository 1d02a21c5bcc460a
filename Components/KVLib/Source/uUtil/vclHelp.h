#pragma once
// The program's own file and folder, and the INI file object every settings read and write goes
// through (each call opens the file, does its work and releases it).

#include <QString>

#include "platform/os/IniFile.h"

namespace vclHelp {

// Full path of the program file.
QString exeFileName();
// The program's folder, without a trailing separator.
QString exeDir();

using IniFile = os::IniFile;

}  // namespace vclHelp
