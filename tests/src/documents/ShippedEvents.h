#pragma once
// The documents tests' fixture over the shipped document folder: the sample templates copied beside a
// program of the test's own, documents opened recorded instead of shown, message boxes answered.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include "kv_ReportSystem.h"
#include "kv_Translator.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/os/Program.h"
#include "platform/os/Shell.h"
#include "tests/src/documents/DocumentsFixture.h"
#include "u_TolvReportSystem.h"

namespace doctest {

// The shipped folder copied beside a program of the test's own.
class ShippedEvents : public Groups {
protected:
    void SetUp() override {
        Groups::SetUp();
        ASSERT_TRUE(dir_.isValid());
        const QString source =
            tolvtest::TestDatabase::sourceDir() + QStringLiteral("/resources/reportSystem");
        QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to =
                dir_.filePath(QStringLiteral("reportSystem/")) + QDir(source).relativeFilePath(from);
            QDir().mkpath(QFileInfo(to).path());
            QFile::copy(from, to);
        }
        os::setProgramFile(dir_.filePath(QStringLiteral("Tolvanix")));
        ReportSys::ReportSystem::releaseInstance();
        oldOpener_ = os::setOpenHandler([this](const QString& path) {
            opened_ << path;
            return true;
        });
    }
    void TearDown() override {
        ReportSys::ReportSystem::releaseInstance();
        os::setOpenHandler(oldOpener_);
        os::setProgramFile(QString());
        for (const auto& [key, text] : TolvReports::tolvReportSystemTexts(1))
            KVLibTranslator::instance().set(key, text);
        Groups::TearDown();
    }
    static ReportSys::ReportSystem& sys() { return ReportSys::ReportSystem::instance(); }
    template <class E>
    static E* event(const char* code) {
        return dynamic_cast<E*>(sys().getEventByCode(QLatin1String(code)));
    }
    static QString value(ReportSys::ReportEvnt* e, const char* name) {
        return e->getParams().getValue(QLatin1String(name));
    }

    QTemporaryDir dir_;
    ui::ScriptedDialogs boxes_;
    ui::ScopedDialogs scopedBoxes_{&boxes_};
    QStringList opened_;
    os::OpenHandler oldOpener_;
};

}  // namespace doctest
