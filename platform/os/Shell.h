#pragma once
// Handing things to the operating system: opening a file with the desktop's handler, starting a
// program without waiting for it, asking for the computer to be switched off. The opening and the
// switching off are replaceable, so tests can stand in for the desktop and the power button.

#include <QString>
#include <functional>

namespace os {

using OpenHandler = std::function<bool(const QString& path)>;
using PowerOffHandler = std::function<bool(bool reboot, bool force)>;

// Opens the file with the desktop's handler for its type; false when no handler took it.
bool openDocument(const QString& path);
// Installs the handler openDocument calls (an empty one restores the desktop's) and returns the old one.
OpenHandler setOpenHandler(OpenHandler handler);

struct StartResult {
    bool started = false;
    qint64 processId = 0;
    QString errorText;  // the system's reason when the program could not be started
};

// Starts the command line (program and arguments, with double quotes around items that hold blanks)
// as a process of its own and returns at once.
StartResult startDetached(const QString& commandLine);

// Asks the system to power off or reboot; force ignores programs that would delay it. Returns whether
// the request was accepted.
bool powerOff(bool reboot, bool force);
// Installs the handler powerOff calls (an empty one restores the system's) and returns the old one.
PowerOffHandler setPowerOffHandler(PowerOffHandler handler);

}  // namespace os
