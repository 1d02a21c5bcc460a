#pragma once
// The data module: the program's one database connection and its two shared transactions, installed
// as the connection and change transaction every unit reaches (TolvMain::getZarvelDb,
// getChangeTransact). It holds no user, password or role: only the login check writes them, and the
// connection stays closed until it does. The database's own character set is WIN1251; the connection
// itself speaks UTF8, as the client layer reads every text.

#include "platform/fb/Database.h"
#include "platform/fb/Transaction.h"

namespace TolvMain {

class TMainDataMod {
public:
    TMainDataMod();
    ~TMainDataMod();
    TMainDataMod(const TMainDataMod&) = delete;
    TMainDataMod& operator=(const TMainDataMod&) = delete;

    fb::Database ZarvelDb;
    // Read committed, record versions, no wait; read only: most lists read through it.
    fb::Transaction SelectTransact;
    // Read committed, record versions, no wait; rolls back when released still active.
    fb::Transaction ChangeTransact;
};

// The one data module of the program while it lives (null otherwise).
extern TMainDataMod* MainDataMod;

}  // namespace TolvMain
