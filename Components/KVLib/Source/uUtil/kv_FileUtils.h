#pragma once
// Files, processes and the system: opening a file with its program, starting a program without
// waiting, environment variables, dated file names, switching the computer off, this computer's
// network name and address.

#include <QString>

#include "platform/core/DateTime.h"

namespace FileUtils {

// What is known of a started process.
struct ProcessInformation {
    qint64 processId = 0;
};

// Opens the file with the program the desktop associates with it, without waiting. Raises a plain
// core::Exception "file not found - FileUtils::WinExec() : <path>" when there is no such file.
void WinExec(const QString& path);
// Starts the command line as a process of its own and returns at once. The window-show code and the
// console flag are accepted for the callers' sake; a started program here opens its windows itself.
// Raises a plain core::Exception with the command line and the system's reason when it cannot start.
ProcessInformation WinExecAndWait(const QString& commandLine, int showWindow, bool newConsole);
// <folder>/<base>_<stamp><extension>: the file name without its folder and extension, "_", the date-time
// stamp with time (0: now), the extension; without "<folder>/" when the folder is empty.
QString datedFileName(const QString& folder, const QString& fileName, core::DateTime dateTime);
// The variable's value; unset or empty gives the empty text, or with mustExist raises a plain
// core::Exception "Environment variable '<name>' not defined".
QString getEnvVar(const QString& name, bool mustExist);
// Asks the system to reboot or power off, with force overriding programs that would delay it;
// true when the request was accepted.
bool shutdownComputer(bool reboot, bool force);
// This computer's name in upper case, and its first IPv4 address; empty when unknown.
QString hostName();
QString hostAddress();

}  // namespace FileUtils
