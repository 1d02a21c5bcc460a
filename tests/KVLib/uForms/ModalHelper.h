#pragma once
// Helpers of the window tests: acting inside the modal loop of the code under test, and a per-user
// interface file of the test's own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "kv_settingsFile.h"

namespace tolvtest {

// Runs the action as soon as a modal window of class W is shown (checking every 10 ms from the event
// loop the code under test runs); a failure when none shows within five seconds.
template <class W>
void onModal(std::function<void(W&)> action) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action] {
        auto* w = dynamic_cast<W*>(QApplication::activeModalWidget());
        if (!w || !w->isVisible()) {
            if (clock->elapsed() > 5000) {
                timer->stop();
                timer->deleteLater();
                delete clock;
                ADD_FAILURE() << "no modal window of the expected class appeared";
                if (QWidget* other = QApplication::activeModalWidget()) other->close();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete clock;
        action(*w);
    });
    timer->start();
}

// The per-user interface file in a temporary folder for the life of the object.
class ScopedUserIni {
public:
    ScopedUserIni()
        : saved_(qgetenv("XDG_CONFIG_HOME")), hadSaved_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
        utl::SettingsFile::reset();
    }
    ~ScopedUserIni() {
        if (hadSaved_) {
            qputenv("XDG_CONFIG_HOME", saved_);
        } else {
            qunsetenv("XDG_CONFIG_HOME");
        }
        utl::SettingsFile::reset();
    }
    QString path() const { return utl::SettingsFile::userIniFileName(); }

private:
    QTemporaryDir dir_;
    QByteArray saved_;
    bool hadSaved_;
};

}  // namespace tolvtest
