#include "MainData.h"

#include "kv_MainDb.h"

namespace TolvMain {

TMainDataMod* MainDataMod = nullptr;

TMainDataMod::TMainDataMod() : SelectTransact(&ZarvelDb), ChangeTransact(&ZarvelDb) {
    // No credential of any kind before the login check writes the user's own.
    ZarvelDb.setUserName(QString());
    ZarvelDb.setPassword(QString());
    ZarvelDb.setRole(QString());
    const QStringList params = {QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                QStringLiteral("nowait")};
    SelectTransact.setParams(params + QStringList{QStringLiteral("read")});
    ChangeTransact.setParams(params);
    ChangeTransact.setDefaultAction(fb::TransactionAction::Rollback);
    ZarvelDb.setDefaultTransaction(&ChangeTransact);
    setZarvelDb(&ZarvelDb);
    setChangeTransact(&ChangeTransact);
    MainDataMod = this;
}

TMainDataMod::~TMainDataMod() {
    if (MainDataMod == this) MainDataMod = nullptr;
    setChangeTransact(nullptr);
    setZarvelDb(nullptr);
    try {
        ZarvelDb.close();
    } catch (...) {
        // The program is ending; the server ends a connection it can no longer reach.
    }
}

}  // namespace TolvMain
