#include "platform/fb/Transaction.h"

#include <ibase.h>

#include <QtGlobal>
#include <exception>
#include <map>

#include "platform/dialogs/Dialogs.h"

#include "platform/fb/Client.h"
#include "platform/fb/Database.h"
#include "platform/fb/Statement.h"

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Status;

namespace {

// The parameter words and the transaction parameter block items they stand for.
unsigned char tpbItem(const QString& word) {
    static const std::map<QString, unsigned char> items = {
        {QStringLiteral("read_committed"), isc_tpb_read_committed},
        {QStringLiteral("rec_version"), isc_tpb_rec_version},
        {QStringLiteral("no_rec_version"), isc_tpb_no_rec_version},
        {QStringLiteral("nowait"), isc_tpb_nowait},
        {QStringLiteral("wait"), isc_tpb_wait},
        {QStringLiteral("concurrency"), isc_tpb_concurrency},
        {QStringLiteral("consistency"), isc_tpb_consistency},
        {QStringLiteral("read"), isc_tpb_read},
        {QStringLiteral("write"), isc_tpb_write},
    };
    QString key = word.trimmed().toLower();
    if (key.startsWith(QStringLiteral("isc_tpb_"))) key = key.mid(8);
    auto it = items.find(key);
    if (it == items.end()) detail::raise(QStringLiteral("Invalid transaction parameter: ") + word);
    return it->second;
}

}  // namespace

Transaction::Transaction(Database* database) : uncaughtAtCreation_(std::uncaught_exceptions()) {
    setDefaultDatabase(database);
}

Transaction::~Transaction() {
    endOnRelease(std::uncaught_exceptions() > uncaughtAtCreation_);
    dropHandle();
    for (Statement* s : std::set<Statement*>(statements_)) s->transactionGone();
    if (database_) database_->detach(this);
}

void Transaction::setDefaultDatabase(Database* database) {
    if (database == database_) return;
    if (inTransaction()) detail::raise(QStringLiteral("Cannot change the database of an active transaction"));
    if (database_) database_->detach(this);
    database_ = database;
    if (database_) database_->attach(this);
}

void Transaction::databaseGone() {
    // The connection is already closed: the server has ended this transaction.
    dropHandle();
    database_ = nullptr;
}

void Transaction::start() {
    if (inTransaction()) detail::raise(QStringLiteral("Transaction is active"));
    if (!database_) detail::raise(QStringLiteral("Transaction has no database"));
    QByteArray tpb;
    tpb.append(char(isc_tpb_version3));
    for (const QString& word : params_) {
        if (!word.trimmed().isEmpty()) tpb.append(char(tpbItem(word)));
    }
    IAttachment* att = database_->attachment();
    Status st;
    handle_ = call([&] {
        return att->startTransaction(&st, static_cast<unsigned>(tpb.size()),
                                     reinterpret_cast<const unsigned char*>(tpb.constData()));
    });
}

ITransaction* Transaction::handle() {
    if (!inTransaction()) start();
    return handle_;
}

void Transaction::beforeEnd() {
    const auto hooks = endHooks_;  // a hook may remove itself
    for (const auto& h : hooks) h.second();
    for (Statement* s : statements_) s->closeCursor();
}

void Transaction::commit() {
    if (!inTransaction()) detail::raise(QStringLiteral("Transaction is not active"));
    beforeEnd();
    Status st;
    call([&] { handle_->commit(&st); });
    handle_ = nullptr;
    const auto hooks = commitHooks_;  // a hook may remove itself
    for (const auto& h : hooks) h.second();
}

void Transaction::rollback() {
    if (!inTransaction()) detail::raise(QStringLiteral("Transaction is not active"));
    beforeEnd();
    Status st;
    call([&] { handle_->rollback(&st); });
    handle_ = nullptr;
    runRollbackHooks();
}

void Transaction::commitRetaining() {
    if (!inTransaction()) detail::raise(QStringLiteral("Transaction is not active"));
    Status st;
    call([&] { handle_->commitRetaining(&st); });
    const auto hooks = commitHooks_;  // a hook may remove itself
    for (const auto& h : hooks) h.second();
}

void Transaction::rollbackRetaining() {
    if (!inTransaction()) detail::raise(QStringLiteral("Transaction is not active"));
    Status st;
    call([&] { handle_->rollbackRetaining(&st); });
    runRollbackHooks();
}

int Transaction::addRollbackHook(Hook hook) {
    rollbackHooks_.emplace_back(nextHookId_, std::move(hook));
    return nextHookId_++;
}

void Transaction::removeRollbackHook(int id) {
    std::erase_if(rollbackHooks_, [id](const auto& h) { return h.first == id; });
}

int Transaction::addCommitHook(Hook hook) {
    commitHooks_.emplace_back(nextHookId_, std::move(hook));
    return nextHookId_++;
}

void Transaction::removeCommitHook(int id) {
    std::erase_if(commitHooks_, [id](const auto& h) { return h.first == id; });
}

int Transaction::addEndHook(Hook hook) {
    endHooks_.emplace_back(nextHookId_, std::move(hook));
    return nextHookId_++;
}

void Transaction::removeEndHook(int id) {
    std::erase_if(endHooks_, [id](const auto& h) { return h.first == id; });
}

void Transaction::runRollbackHooks() {
    const auto hooks = rollbackHooks_;  // a hook may remove itself
    for (const auto& h : hooks) h.second();
}

namespace {

// A destructor cannot raise: the failure goes to the log and to the user, so that nobody takes the
// lost work for saved.
void reportReleaseFailure(const QString& what) noexcept {
    try {
        qCritical().noquote() << what;
        ui::showError(what);
    } catch (...) {
        // No dialogs installed (or they failed): the log above is all that can be done.
    }
}

}  // namespace

void Transaction::endOnRelease(bool unwinding) {
    if (!inTransaction()) return;
    if (unwinding || defaultAction_ == TransactionAction::Rollback) {
        abandon();
        return;
    }
    try {
        commit();
        return;
    } catch (const std::exception& e) {
        const QString reason = dynamic_cast<const core::Exception*>(&e)
                                   ? static_cast<const core::Exception&>(e).message()
                                   : QString::fromUtf8(e.what());
        abandon();
        reportReleaseFailure(QStringLiteral("The transaction could not be committed; its changes were rolled "
                                            "back and are not saved.\n\n") +
                             reason);
    } catch (...) {
        abandon();
        reportReleaseFailure(QStringLiteral("The transaction could not be committed; its changes were rolled "
                                            "back and are not saved."));
    }
}

void Transaction::abandon() noexcept {
    if (!inTransaction()) return;
    try {
        rollback();
    } catch (const std::exception& e) {
        qWarning().noquote() << "Rollback failed:" << e.what();
        dropHandle();
        try {
            runRollbackHooks();
        } catch (...) {
            qWarning() << "A rollback callback failed";
        }
    }
}

void Transaction::dropHandle() noexcept {
    if (!handle_) return;
    // The handle cannot be ended by us any more: a transaction left unfinished is rolled back by
    // the server when the connection goes.
    handle_->release();
    handle_ = nullptr;
}

}  // namespace fb
