#pragma once
// The entry routine of the program: the splash window, the settings file and formats, the data
// modules and the main window, the splash kept up for a minimum time, then the message loop, in which
// the main window's first show logs the user in. It reads no command line and returns 0; whatever
// escapes it is shown in the exception box first. The caller makes the application object and
// installs the windows' implementations of the seams.

#include <QtGlobal>
#include <functional>

namespace TolvMain {

struct StartOptions {
    // How long the splash window stays up at least, from the start.
    qint64 splashMinimumMs = 2500;
    // Milliseconds on a steady clock, and a sleep that blocks the thread; the defaults are the
    // system's, tests give their own.
    std::function<qint64()> clock;
    std::function<void(qint64 ms)> sleep;
};

// The sleep that keeps the splash up for the minimum after elapsed milliseconds (0 when past it).
qint64 splashRemainder(qint64 elapsedMs, qint64 minimumMs);

int WinMain(const StartOptions& options = {});

}  // namespace TolvMain
