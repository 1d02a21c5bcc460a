#include "kv_settingsFile.h"

#include <QDir>
#include <QFileInfo>

#include "platform/core/Exception.h"
#include "platform/os/Folders.h"
#include "vclHelp.h"

namespace utl {

namespace {

const QString kSourcePath = QStringLiteral("Components\\KVLib\\Source\\uUtil\\kv_settingsFile");

// The settings object of this process alone.
struct State {
    QString path;
    TempFilePlace tmpPlace = tfpNOT_DEFINE;
    std::optional<QString> userIniFileName;
};

State& state() {
    static State s;
    return s;
}

// "Tolvanix" and "Tolvanix.exe" both become "Tolvanix.ini".
QString withIniExtension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return (dot < 0 ? fileName : fileName.left(dot)) + QStringLiteral(".ini");
}

}  // namespace

void SettingsFile::init(const QString& fileName, TempFilePlace tmpPlace) {
    const QString path = vclHelp::exeDir() + u'/' + fileName;
    if (!QFileInfo(path).isFile()) throw core::Exception(QStringLiteral("Settings file not exists\n") + path);
    setTmpPlace(tmpPlace);
    state().path = path;
}

void SettingsFile::setTmpPlace(TempFilePlace tmpPlace) {
    if (tmpPlace == tfpNOT_DEFINE)
        throw core::Exception(
            QStringLiteral("Unacceptable parameter \"tmpPlace == tfpNOT_DEFINE\"\nSettingsFile::init\n") +
            kSourcePath);
    state().tmpPlace = tmpPlace;
}

void SettingsFile::checkInit() {
    if (state().path.isEmpty() || state().tmpPlace == tfpNOT_DEFINE)
        throw core::Exception(
            QStringLiteral(
                "Singleton SettingsFile not initalized.\nCall SettingsFile::init(..) function\n in") +
            kSourcePath);
}

QString SettingsFile::fileName() {
    checkInit();
    return state().path;
}

QString SettingsFile::getString(const QString& section, const QString& key,
                                const std::optional<QString>& defaultValue) {
    const QString path = fileName();
    return vclHelp::IniFile(path).readString(
        section, key, defaultValue.value_or(QStringLiteral("Can't read value from ini file ") + path));
}

QString SettingsFile::readString(const QString& section, const QString& key, const QString& defaultValue) {
    return getString(section, key, defaultValue);
}

int SettingsFile::readInt(const QString& section, const QString& key, int defaultValue) {
    return vclHelp::IniFile(fileName()).readInt(section, key, defaultValue);
}

bool SettingsFile::readBool(const QString& section, const QString& key, bool defaultValue) {
    return vclHelp::IniFile(fileName()).readBool(section, key, defaultValue);
}

void SettingsFile::writeString(const QString& section, const QString& key, const QString& value) {
    vclHelp::IniFile(fileName()).writeString(section, key, value);
}

void SettingsFile::writeInt(const QString& section, const QString& key, int value) {
    vclHelp::IniFile(fileName()).writeInt(section, key, value);
}

void SettingsFile::writeBool(const QString& section, const QString& key, bool value) {
    vclHelp::IniFile(fileName()).writeBool(section, key, value);
}

QString SettingsFile::readPath(const QString& section, const QString& key, const QString& defaultValue) {
    QString value = getString(section, key, QString());
    if (value.isEmpty()) value = defaultValue;
    // A full path already says where it is; only a relative one hangs below the program folder.
    if (QDir::isAbsolutePath(value)) return value;
    return vclHelp::exeDir() + u'/' + value;
}

QString SettingsFile::tempPlaceDir() {
    if (state().tmpPlace == tfpEXE_DIR) return vclHelp::exeDir();
    return os::userDataFolder();
}

QString SettingsFile::userIniFileName() {
    std::optional<QString>& name = state().userIniFileName;
    if (!name) {
        const QString program = QFileInfo(vclHelp::exeFileName()).fileName();
        name = tempPlaceDir() + QStringLiteral("/s") + withIniExtension(program);
    }
    return *name;
}

QString SettingsFile::tempDir() {
    const QString dir = tempPlaceDir() + QStringLiteral("/Temp");
    if (!QFileInfo(dir).isDir()) QDir().mkdir(dir);
    return dir;
}

void SettingsFile::reset() {
    state() = State{};
}

}  // namespace utl
