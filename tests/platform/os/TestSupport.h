#pragma once
// Helpers of the tests that work with the environment, processes and exceptions.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QThread>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/core/Exception.h"
#include "platform/os/Shell.h"

// Sets or unsets environment variables for one test and puts the old values back afterwards.
class ScopedEnv {
public:
    ScopedEnv() = default;
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }

    // An empty optional unsets the variable.
    void set(const char* name, const std::optional<QByteArray>& value) {
        saved_.emplace_back(name,
                            qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

private:
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

// The message of the core::Exception the action raises, or "<no exception>".
inline QString messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const core::Exception& e) {
        return e.message();
    }
    return QStringLiteral("<no exception>");
}

// Waits up to ten seconds for a file that another process makes; whether it came.
inline bool waitForFile(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(path) && timer.elapsed() < 10000) QThread::msleep(20);
    return QFile::exists(path);
}

// Stands in for the power button while it lives: records each request and answers with `answer`.
class FakePowerOff {
public:
    explicit FakePowerOff(bool answer)
        : previous_(os::setPowerOffHandler([this, answer](bool reboot, bool force) {
              requests.emplace_back(reboot, force);
              return answer;
          })) {}
    ~FakePowerOff() { os::setPowerOffHandler(previous_); }
    FakePowerOff(const FakePowerOff&) = delete;
    FakePowerOff& operator=(const FakePowerOff&) = delete;

    std::vector<std::pair<bool, bool>> requests;  // (reboot, force)

private:
    os::PowerOffHandler previous_;
};

// Stands in for the desktop's file handler while it lives: records the paths it is asked to open.
class FakeDesktop {
public:
    FakeDesktop()
        : previous_(os::setOpenHandler([this](const QString& path) {
              opened.append(path);
              return true;
          })) {}
    ~FakeDesktop() { os::setOpenHandler(previous_); }
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    QStringList opened;

private:
    os::OpenHandler previous_;
};
