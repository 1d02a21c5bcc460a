#include "U_VersionManager.h"

#include "kv_FbQueryGod.h"
#include "platform/core/Exception.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Query.h"
#include "platform/os/Program.h"

namespace Common {

namespace {

constexpr int kIncomparable = 254;

bool lastPieceNumber(const QString& version, qint64& number) {
    const QStringList pieces = VersionManager::splitVersion(version);
    if (pieces.isEmpty()) return false;
    bool ok = false;
    number = pieces.last().toLongLong(&ok);
    return ok;
}

}  // namespace

VersionManager::VersionManager() {
    readProgramVersion();
    readDbVersion();
}

VersionManager::VersionManager(const QString& program, const QString& db)
    : programVersion(program), dbVersion(db) {}

void VersionManager::readProgramVersion() {
    programVersion = os::programVersion();
}

void VersionManager::readDbVersion() {
    dbVersion.clear();
    ufb::AutoQuery q(
        QStringLiteral(" select VER_NUM                     from DB_VERSION                 where            "
                       "                      id=(select max(id)                       from DB_VERSION) "),
        nullptr);
    q->open();
    if (!q->eof()) dbVersion = q->fieldByName(QStringLiteral("VER_NUM")).asString();
    if (dbVersion.isEmpty())
        throw core::Exception(QStringLiteral("Не получилось определить версию базы данных."));
}

QStringList VersionManager::splitVersion(const QString& text, QChar separator) {
    QStringList pieces;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype dot = text.indexOf(separator, start);
        if (dot < 0) {
            pieces << text.mid(start);
            break;
        }
        if (dot == text.size() - 1) {
            // The final dot stays on the last piece.
            pieces << text.mid(start);
            break;
        }
        pieces << text.mid(start, dot - start);
        start = dot + 1;
    }
    return pieces;
}

int VersionManager::compareVersions() const {
    qint64 program = 0;
    qint64 db = 0;
    if (!lastPieceNumber(programVersion, program) || !lastPieceNumber(dbVersion, db)) return kIncomparable;
    if (program < db) return -1;
    if (program > db) return 1;
    return 0;
}

bool VersionManager::checkVersions() const {
    switch (compareVersions()) {
        case -1:
            ui::showError(QStringLiteral("Версия программы меньше, чем версия базы данных:\n") +
                          programVersion + u'\n' + dbVersion + QStringLiteral(".\n") +
                          QStringLiteral("Обновите программу, пожалуйста."));
            return false;
        case kIncomparable:
            ui::showError(
                QStringLiteral("Не получилось сравнить версии.\nВозможно, изменился формат версии:\n") +
                programVersion + u'\n' + dbVersion + u'.');
            return false;
        default:
            return true;
    }
}

}  // namespace Common
