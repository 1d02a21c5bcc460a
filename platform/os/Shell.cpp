#include "platform/os/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace os {

namespace {

bool desktopOpen(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// systemd's logind does the work; "-i" overrides the inhibitor locks that programs hold to delay it.
bool systemPowerOff(bool reboot, bool force) {
    QStringList args{reboot ? QStringLiteral("reboot") : QStringLiteral("poweroff")};
    if (force) args.append(QStringLiteral("-i"));
    return QProcess::execute(QStringLiteral("systemctl"), args) == 0;
}

OpenHandler& openHandler() {
    static OpenHandler handler = desktopOpen;
    return handler;
}

PowerOffHandler& powerOffHandler() {
    static PowerOffHandler handler = systemPowerOff;
    return handler;
}

}  // namespace

bool openDocument(const QString& path) {
    return openHandler()(path);
}

OpenHandler setOpenHandler(OpenHandler handler) {
    OpenHandler old = std::move(openHandler());
    openHandler() = handler ? std::move(handler) : OpenHandler(desktopOpen);
    return old;
}

StartResult startDetached(const QString& commandLine) {
    StartResult result;
    QStringList items = QProcess::splitCommand(commandLine);
    if (items.isEmpty()) {
        result.errorText = QStringLiteral("The command line names no program.");
        return result;
    }
    QProcess process;
    process.setProgram(items.takeFirst());
    process.setArguments(items);
    result.started = process.startDetached(&result.processId);
    if (!result.started) result.errorText = process.errorString();
    return result;
}

bool powerOff(bool reboot, bool force) {
    return powerOffHandler()(reboot, force);
}

PowerOffHandler setPowerOffHandler(PowerOffHandler handler) {
    PowerOffHandler old = std::move(powerOffHandler());
    powerOffHandler() = handler ? std::move(handler) : PowerOffHandler(systemPowerOff);
    return old;
}

}  // namespace os
