#pragma once
// A document system of the test's own: a program folder in a temporary folder, scripted boxes, a fixed
// clock, an opener that records what it is handed, and a test event class with named groups.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "kv_ReportSystem.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/os/Program.h"
#include "platform/os/Shell.h"
#include "platform/rtf/RtfEngine.h"

namespace rstest {

// An event with the given parameter groups; loads its templates as every event class does.
class TestEvent : public ReportSys::ReportEvnt {
public:
    TestEvent(const QString& code, const QString& name, QStringList groups = {})
        : ReportSys::ReportEvnt(code, name), groupCodes_(std::move(groups)) {
        load();
        initParameters();
    }
    void initParameters() override {
        for (const QString& g : groupCodes_) addParameter(std::make_unique<ReportSys::ReportParameters>(g));
    }

private:
    QStringList groupCodes_;
};

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ReportSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        os::setProgramFile(dir_.filePath(QStringLiteral("Tolvanix")));
        ReportSys::ReportSystem::releaseInstance();
        oldOpener_ = os::setOpenHandler([this](const QString& path) {
            opened_ << path;
            return true;
        });
        oldClock_ = ReportSys::ReportTemplate::setClock(
            [] { return core::DateTime::encode(2026, 12, 9, 14, 30, 5); });
    }
    void TearDown() override {
        ReportSys::ReportSystem::releaseInstance();
        ReportSys::ReportTemplate::setClock(oldClock_);
        os::setOpenHandler(oldOpener_);
        os::setProgramFile(QString());
    }

    ReportSys::ReportSystem& sys() { return ReportSys::ReportSystem::instance(); }
    QString programDir() const { return dir_.path(); }
    QString folder() const { return dir_.filePath(QStringLiteral("reportSystem")); }
    QString settingsFile() const { return folder() + QStringLiteral("/ReportSettings.xml"); }
    QString eventFolder(const QString& code) const { return folder() + u'/' + code; }
    // Registers a test event and returns it as the system holds it.
    TestEvent* add(const QString& code, const QString& name, QStringList groups = {}) {
        auto event = std::make_unique<TestEvent>(code, name, std::move(groups));
        TestEvent* raw = event.get();
        sys().addReportEvent(std::move(event));
        return raw;
    }
    // A template file in the event's folder: an RTF document with the text, one paragraph a line.
    void putTemplate(const QString& code, const QString& file, const QString& text = QStringLiteral("x")) {
        QByteArray body;
        for (const QString& line : text.split(u'\n')) body += rtf::escapeText(line, 1) + "\\par ";
        writeFile(eventFolder(code) + u'/' + file, "{\\rtf1\\ansi " + body + "}");
    }

    QTemporaryDir dir_;
    ui::ScriptedDialogs boxes_;
    ui::ScopedDialogs scopedBoxes_{&boxes_};
    QStringList opened_;
    os::OpenHandler oldOpener_;
    ReportSys::ReportTemplate::Clock oldClock_;
};

}  // namespace rstest
