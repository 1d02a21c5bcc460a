#pragma once
// A "db.ini" of the test's own, for tests of code that reads the program's settings file.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "kv_settingsFile.h"
#include "platform/os/Program.h"

namespace tolvtest {

// A settings file of the test's own ("db.ini" beside a program file in a temporary folder) for the life
// of the object.
class OwnSettingsFile {
public:
    explicit OwnSettingsFile(const QByteArray& content) {
        os::setProgramFile(dir_.filePath(QStringLiteral("Tolvanix")));
        QFile ini(dir_.filePath(QStringLiteral("db.ini")));
        if (ini.open(QIODevice::WriteOnly)) ini.write(content);
        ini.close();
        utl::SettingsFile::init(QStringLiteral("db.ini"), utl::tfpEXE_DIR);
    }
    ~OwnSettingsFile() {
        utl::SettingsFile::reset();
        os::setProgramFile(QString());
    }
    OwnSettingsFile(const OwnSettingsFile&) = delete;
    OwnSettingsFile& operator=(const OwnSettingsFile&) = delete;

private:
    QTemporaryDir dir_;
};

}  // namespace tolvtest
