#pragma once
// The document system the dialog tests print through: the program's templates beside the test program,
// the program's document events, and an opener that records instead of opening.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "kv_ReportSystem.h"
#include "platform/os/Program.h"
#include "platform/os/Shell.h"
#include "tests/support/TestDatabase.h"
#include "u_TolvReportSystem.h"

namespace desktest {

class RecordedDocuments {
public:
    RecordedDocuments() {
        const QString source =
            tolvtest::TestDatabase::sourceDir() + QStringLiteral("/resources/reportSystem");
        const QString target = os::programDir() + QStringLiteral("/reportSystem/");
        QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = target + QDir(source).relativeFilePath(from);
            QDir().mkpath(QFileInfo(to).path());
            QFile::copy(from, to);
        }
        ReportSys::ReportSystem::releaseInstance();
        TolvReports::createDocumentEvents(false);
        oldOpener_ = os::setOpenHandler([this](const QString& path) {
            opened << path;
            return true;
        });
    }
    ~RecordedDocuments() {
        ReportSys::ReportSystem::releaseInstance();
        os::setOpenHandler(oldOpener_);
    }
    RecordedDocuments(const RecordedDocuments&) = delete;
    RecordedDocuments& operator=(const RecordedDocuments&) = delete;

    QStringList opened;

private:
    os::OpenHandler oldOpener_;
};

}  // namespace desktest
