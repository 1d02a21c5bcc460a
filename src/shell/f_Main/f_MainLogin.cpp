// The main window's login: the check of a login and password against the database server, the role
// the connection runs under, and the database path from the settings file.

#include <QScopeGuard>

#include "MainData.h"
#include "U_LoggedUser.h"
#include "f_Main.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_FormHelpers.h"
#include "kv_MainDb.h"
#include "kv_settingsFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Database.h"
#include "platform/fb/Error.h"
#include "platform/fb/Query.h"

namespace TolvMain {

namespace {

TFMain::DbPathSettingsHook& dbPathSettingsHook() {
    static TFMain::DbPathSettingsHook hook;
    return hook;
}

const QString kSysdba = QStringLiteral("SYSDBA");

}  // namespace

void TFMain::setDbPathSettingsHook(DbPathSettingsHook hook) {
    dbPathSettingsHook() = std::move(hook);
}

QString TFMain::chooseRole(const QStringList& roleNames) {
    for (const QString& name : roleNames) {
        if (name.trimmed() == MASTER_ROLE) return MASTER_ROLE;
    }
    return AGENT_ROLE;
}

QString TFMain::connectErrorText(long gdsCode, const QString& databaseName, const QString& serverText) const {
    QString text = message(QStringLiteral("IDS_8")) + databaseName + message(QStringLiteral("IDS_9"));
    if (gdsCode == fb::gds::Unavailable) {
        for (const char* key : {"IDS_10", "IDS_11", "IDS_12", "IDS_13", "IDS_14"})
            text += message(QString::fromLatin1(key));
    }
    return text + message(QStringLiteral("IDS_15")) + serverText;
}

bool TFMain::checkUser(const QString& login, const QString& password) {
    const utl::AutoScreenCursor hourglass;
    fb::Database& db = *getZarvelDb();
    if (db.connected()) db.close();
    db.setUserName(login);
    db.setPassword(password);
    db.setRole(QString());
    try {
        db.open();
    } catch (const fb::Error& e) {
        switch (e.gdsCode()) {
            case fb::gds::IoError:
            case fb::gds::NetworkError:
            case fb::gds::Unavailable:
                ui::showError(connectErrorText(e.gdsCode(), db.databaseName(), e.message()));
                if (dbPathSettingsHook()) dbPathSettingsHook()();
                setDatabasePath(QStringLiteral("PATH"));
                return false;
            case fb::gds::LoginFailed:
                return false;
            default:
                throw;
        }
    }

    // A refused login reads nothing further: the connection closes on every way out but acceptance.
    bool accepted = false;
    const auto closeUnlessAccepted = qScopeGuard([&] {
        if (!accepted && db.connected()) db.close();
    });

    const QString upperLogin = login.toUpper();
    if (upperLogin == kSysdba) {
        // The server administrator does not work in the program.
        db.close();
        ui::showError(message(QStringLiteral("IDS_16")));
        return false;
    }

    QStringList roleNames;
    {
        ufb::AutoQuery q(QStringLiteral("select RDB$RELATION_NAME\n"
                                        "from RDB$USER_PRIVILEGES\n"
                                        "where RDB$PRIVILEGE='M'\n"
                                        " and RDB$USER=:Usr_N"),
                         nullptr);
        q->setParam(QStringLiteral("Usr_N"), upperLogin);
        q->open();
        for (; !q->eof(); q->next())
            roleNames << q->fieldByName(QStringLiteral("RDB$RELATION_NAME")).asString();
    }
    const QString role = chooseRole(roleNames);

    db.close();
    db.setRole(role);
    db.open();

    bool known = false;
    {
        ufb::AutoQuery q(QStringLiteral("select count(*) from AGENTS "
                                        "where UPCASE(AGENT_LOGIN) = cast(:AGENT_LOGIN as varchar(255))"),
                         nullptr);
        q->setParam(QStringLiteral("AGENT_LOGIN"), upperLogin);
        q->open();
        known = q->field(0)->asInteger() > 0;
    }
    if (!known) throw core::Exception(message(QStringLiteral("IDS_20")));
    accepted = true;
    acceptedRole_ = role;
    return true;
}

void TFMain::setDatabasePath(const QString& key) {
    const QString path = utl::SettingsFile::readString(QStringLiteral("DB"), key, QString());
    if (path.isEmpty()) return;
    fb::Database& db = *getZarvelDb();
    if (db.connected()) db.close();
    db.setDatabaseName(udb::expandDbPath(path));
}

}  // namespace TolvMain
