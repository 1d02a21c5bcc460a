#include "platform/os/Program.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace os {

namespace {

QString& overridden() {
    static QString path;
    return path;
}

}  // namespace

QString programFile() {
    if (!overridden().isEmpty()) return overridden();
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    // Before the application object exists Qt cannot tell; the kernel can.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString programDir() {
    const QString file = programFile();
    const qsizetype slash = file.lastIndexOf(u'/');
    if (slash < 0) return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : file.left(slash);
}

void setProgramFile(const QString& path) {
    overridden() = path;
}

QString programVersion() {
    return QCoreApplication::applicationVersion();
}

}  // namespace os
