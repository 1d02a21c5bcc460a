#include "kv_FbQueryGod.h"

#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/fb/Database.h"

namespace udb {

const QStringList& standardTransactionParams() {
    static const QStringList params = {QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                       QStringLiteral("nowait")};
    return params;
}

std::unique_ptr<fb::Query> createQuery(fb::Database* database) {
    auto query = std::make_unique<fb::Query>();
    query->setOwnTransaction(createTransaction(database));
    return query;
}

std::unique_ptr<fb::Query> createReadQuery(fb::Database* database) {
    auto query = std::make_unique<fb::Query>();
    query->setOwnTransaction(createReadTransaction(database));
    return query;
}

std::unique_ptr<fb::Query> createQuery(fb::Transaction* transaction) {
    if (!transaction) return createQuery(TolvMain::getZarvelDb());
    return std::make_unique<fb::Query>(transaction);
}

std::unique_ptr<fb::Transaction> createTransaction(fb::Database* database) {
    auto transaction = std::make_unique<fb::Transaction>();
    initTransaction(transaction.get(), database);
    return transaction;
}

std::unique_ptr<fb::Transaction> createReadTransaction(fb::Database* database) {
    std::unique_ptr<fb::Transaction> transaction = createTransaction(database);
    transaction->setParams(standardTransactionParams() + QStringList{QStringLiteral("read")});
    return transaction;
}

fb::Transaction* createOwnedTransaction(fb::Database* database) {
    return database->adopt(createTransaction(database));
}

void initTransaction(fb::Transaction* transaction, fb::Database* database) {
    transaction->setParams(standardTransactionParams());
    transaction->setDefaultDatabase(database);
}

}  // namespace udb

namespace ufb {

AutoQuery::AutoQuery() : query_(udb::createQuery(TolvMain::getZarvelDb())) {}

AutoQuery::AutoQuery(fb::Transaction* transaction) : query_(udb::createQuery(transaction)) {}

AutoQuery::AutoQuery(const QString& sql, fb::Transaction* transaction) : AutoQuery(transaction) {
    query_->setSql(sql);
}

AutoQuery::~AutoQuery() {
    try {
        query_.reset();
    } catch (...) {
        // Freeing a query never lets an error out of its owner.
    }
}

core::Variant AutoQuery::getFields(const QString& name) const {
    if (query_->recordCount() == 0)
        throw core::Exception(QStringLiteral("AutoQuery::getFields() - query empty"));
    return query_->fieldByName(name).value();
}

AutoTransaction::AutoTransaction(fb::Database* database) : transaction_(udb::createTransaction(database)) {}

AutoTransaction::~AutoTransaction() = default;

ChangeTransaction::ChangeTransaction(fb::Transaction* given, fb::Database* database) : transaction_(given) {
    if (transaction_) return;
    own_ = udb::createTransaction(database);
    own_->start();
    transaction_ = own_.get();
}

ChangeTransaction::~ChangeTransaction() {
    if (!own_ || !own_->inTransaction()) return;
    try {
        own_->rollback();
    } catch (...) {
        // The failure that brought us here is the one the caller must see.
    }
}

void ChangeTransaction::commit() {
    if (own_) own_->commit();
}

}  // namespace ufb
