#include "kv_FileUtils.h"

#include <QFileInfo>

#include "kv_DateUtl.h"
#include "platform/core/Exception.h"
#include "platform/os/Host.h"
#include "platform/os/Shell.h"

namespace FileUtils {

void WinExec(const QString& path) {
    if (!QFileInfo::exists(path))
        throw core::Exception(QStringLiteral("file not found - FileUtils::WinExec() : ") + path);
    // The result is not checked: a file without a handler is the desktop's to report.
    os::openDocument(path);
}

ProcessInformation WinExecAndWait(const QString& commandLine, int /*showWindow*/, bool /*newConsole*/) {
    const os::StartResult started = os::startDetached(commandLine);
    if (!started.started)
        throw core::Exception(QStringLiteral("FileUtils::WinExecAndWait(): Can't run the process - ") +
                              commandLine + u'\n' + started.errorText);
    return ProcessInformation{started.processId};
}

QString datedFileName(const QString& folder, const QString& fileName, core::DateTime dateTime) {
    const QString name = fileName.mid(fileName.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    const QString dated = base + u'_' + utl::DateUtl::dateTimeStamp(dateTime, true) + extension;
    return folder.isEmpty() ? dated : folder + u'/' + dated;
}

QString getEnvVar(const QString& name, bool mustExist) {
    const QString value = qEnvironmentVariable(name.toLocal8Bit().constData());
    if (value.isEmpty() && mustExist)
        throw core::Exception(QStringLiteral("Environment variable '") + name +
                              QStringLiteral("' not defined"));
    return value;
}

bool shutdownComputer(bool reboot, bool force) {
    return os::powerOff(reboot, force);
}

QString hostName() {
    return os::hostName();
}

QString hostAddress() {
    return os::hostAddress();
}

}  // namespace FileUtils
