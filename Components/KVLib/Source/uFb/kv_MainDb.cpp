#include "kv_MainDb.h"

#include "platform/core/Exception.h"

namespace TolvMain {

namespace {
fb::Database* zarvelDb = nullptr;
fb::Transaction* changeTransact = nullptr;
}  // namespace

fb::Database* getZarvelDb() {
    if (!zarvelDb) throw core::Exception(QStringLiteral("The program database is not connected"));
    return zarvelDb;
}

fb::Transaction* getChangeTransact() {
    if (!changeTransact) throw core::Exception(QStringLiteral("The program database is not connected"));
    return changeTransact;
}

void setZarvelDb(fb::Database* database) { zarvelDb = database; }

void setChangeTransact(fb::Transaction* transaction) { changeTransact = transaction; }

}  // namespace TolvMain
