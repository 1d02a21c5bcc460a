#pragma once
// A document as LibreOffice Writer reads it: converted headless to UTF-8 text, so a test sees what a
// word processor shows rather than what our own reader parses.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace testsupport {

// Converts `doc` into `workDir`/txt (with a private profile under `workDir`) and returns its text; an
// empty text with a test failure when Writer is missing or the conversion left nothing.
inline QString writerText(const QString& doc, const QString& workDir) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        ADD_FAILURE() << "LibreOffice Writer is needed (libreoffice-writer-nogui)";
        return {};
    }
    QProcess lo;
    lo.setProcessChannelMode(QProcess::MergedChannels);
    lo.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + workDir + QStringLiteral("/profile"),
                       QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                       QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"),
                       workDir + QStringLiteral("/txt"), doc});
    if (!lo.waitForFinished(180000)) ADD_FAILURE() << "LibreOffice did not finish";
    QFile txt(workDir + QStringLiteral("/txt/") + QFileInfo(doc).completeBaseName() + QStringLiteral(".txt"));
    if (!txt.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "no text from LibreOffice: " << lo.readAll().toStdString();
        return {};
    }
    return QString::fromUtf8(txt.readAll());
}

}  // namespace testsupport
