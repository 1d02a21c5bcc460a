#pragma once
// The database version check: the database records the program version it belongs to (DB_VERSION),
// and a program older than its database must not work on it. Only the build numbers (the last piece
// of each version) are compared.

#include <QString>
#include <QStringList>

namespace Common {

class VersionManager {
public:
    // Reads both versions; raises "Не получилось определить версию базы данных." when the database
    // gives none.
    VersionManager();
    // Compares the given texts without reading anything (the about box and the checks read them).
    VersionManager(const QString& programVersion, const QString& dbVersion);

    // True when the program may work with the database; false after the reason was shown in an
    // error box.
    bool checkVersions() const;
    // -1 the program is older, 1 newer, 0 equal, 254 when the two cannot be compared (a last piece that
    // is not a whole number, or a version with no pieces at all).
    int compareVersions() const;
    const QString& getProgramVersion() const { return programVersion; }
    const QString& getDbVersion() const { return dbVersion; }

    // The pieces between dots, left to right; a final dot stays on the last piece ("6.3." gives "6"
    // and "3.").
    static QStringList splitVersion(const QString& text, QChar separator = u'.');

private:
    void readProgramVersion();
    void readDbVersion();

    QString programVersion;
    QString dbVersion;
};

}  // namespace Common
