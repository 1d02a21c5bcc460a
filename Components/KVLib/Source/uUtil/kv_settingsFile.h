#pragma once
// The program's settings file beside it ("db.ini": database path, backup, fiscal register, interface
// language ...) with typed reads and writes, and the place of each user's own interface file. One
// object per process; nothing is cached, so a value written anywhere is seen by the next read.

#include <QString>
#include <optional>

namespace utl {

// Where per-user files live.
enum TempFilePlace : unsigned char {
    tfpNOT_DEFINE = 0,  // not set: init refuses it
    tfpEXE_DIR = 1,     // the program folder
    tfpUSER_DIR = 2,    // the user's folders (any value other than 0 and 1 acts like this)
};

class SettingsFile {
public:
    // Names the settings file: <program folder>/<fileName>, which must exist. Raises a plain
    // core::Exception when it does not, or when the place is tfpNOT_DEFINE.
    static void init(const QString& fileName, TempFilePlace tmpPlace);
    // The settings file's full path; raises the "not initialized" core::Exception before init.
    static QString fileName();

    // Without a default a missing key reads as "Can't read value from ini file <path>".
    static QString getString(const QString& section, const QString& key,
                             const std::optional<QString>& defaultValue = std::nullopt);
    static QString readString(const QString& section, const QString& key, const QString& defaultValue);
    static int readInt(const QString& section, const QString& key, int defaultValue);
    static bool readBool(const QString& section, const QString& key, bool defaultValue);
    // Writes raise core::Exception, naming it, for a section or key the file could not give back
    // (a leading or trailing blank, "]" in a section, "=" in a key, a key beginning with ";" or "[")
    // and for a line break anywhere.
    static void writeString(const QString& section, const QString& key, const QString& value);
    static void writeInt(const QString& section, const QString& key, int value);
    static void writeBool(const QString& section, const QString& key, bool value);

    // A folder or file named by the key (the default when the value is empty): a relative value is
    // taken below the program folder, an absolute one as it is.
    static QString readPath(const QString& section, const QString& key, const QString& defaultValue);

    // The folder of per-user files: the program folder in tfpEXE_DIR mode, else the first existing of
    // the user's application-data, temporary and home folders, else ".". Usable before init.
    static QString tempPlaceDir();
    // <tempPlaceDir>/s<program file name with the extension ".ini">, fixed by the first call.
    static QString userIniFileName();
    // <tempPlaceDir>/Temp, created when missing.
    static QString tempDir();

    static void setTmpPlace(TempFilePlace tmpPlace);
    static void checkInit();

    // Back to the state at program start: not initialized, the per-user path not yet fixed (for tests).
    static void reset();
};

}  // namespace utl
