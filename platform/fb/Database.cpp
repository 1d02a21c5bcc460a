#include "platform/fb/Database.h"

#include <ibase.h>

#include <QtGlobal>
#include <vector>

#include "platform/fb/Client.h"
#include "platform/fb/Statement.h"
#include "platform/fb/StatementCache.h"
#include "platform/fb/Transaction.h"

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Status;

Database::Database() : cache_(std::make_unique<detail::StatementCache>()) {}

Database::Database(const QString& databaseName) : Database() { name_ = databaseName; }

Database::~Database() {
    try {
        close();
    } catch (const std::exception& e) {
        // A destructor cannot raise; the connection is gone either way.
        qWarning().noquote() << "Closing the database failed:" << e.what();
    }
    for (Transaction* t : std::set<Transaction*>(transactions_)) t->databaseGone();
    for (Statement* s : std::set<Statement*>(statements_)) s->releaseStatement(false);
    cache_->clear();
}

void Database::setDatabaseName(const QString& name) {
    if (connected()) detail::raise(QStringLiteral("Cannot change the database name of an open connection"));
    name_ = name;
}

IAttachment* Database::attachment() const {
    if (!attachment_) detail::raise(QStringLiteral("Database not connected: ") + name_);
    return attachment_;
}

void Database::connect(bool create, int pageSize) {
    if (connected()) return;
    if (name_.isEmpty()) detail::raise(QStringLiteral("Database name is missing"));
    Status st;
    attachment_ = call([&] {
        IXpbBuilder* dpb = detail::util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        struct Release {
            IXpbBuilder* b;
            ~Release() { b->dispose(); }
        } release{dpb};
        if (!user_.isEmpty()) dpb->insertString(&st, isc_dpb_user_name, detail::utf8(user_).constData());
        if (!password_.isEmpty()) dpb->insertString(&st, isc_dpb_password, detail::utf8(password_).constData());
        if (!role_.isEmpty()) dpb->insertString(&st, isc_dpb_sql_role_name, detail::utf8(role_).constData());
        dpb->insertString(&st, isc_dpb_lc_ctype, detail::utf8(charset_).constData());
        dpb->insertTag(&st, isc_dpb_utf8_filename);
        const QByteArray path = detail::utf8(name_);
        if (create) {
            dpb->insertInt(&st, isc_dpb_page_size, pageSize);
            dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
            dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1251");
            return detail::provider()->createDatabase(&st, path.constData(), dpb->getBufferLength(&st),
                                                      dpb->getBuffer(&st));
        }
        return detail::provider()->attachDatabase(&st, path.constData(), dpb->getBufferLength(&st),
                                                  dpb->getBuffer(&st));
    });
}

void Database::create(int pageSize) { connect(true, pageSize); }

void Database::open() { connect(false, 0); }

QString Database::defaultCharacterSet() {
    if (defaultCharacterSet_.isEmpty()) {
        Transaction t(this);
        t.setParams({QStringLiteral("read"), QStringLiteral("read_committed"), QStringLiteral("rec_version")});
        Statement q(&t);
        q.setSql(QStringLiteral("select RDB$CHARACTER_SET_NAME from RDB$DATABASE"));
        q.execute();
        if (q.fetch()) defaultCharacterSet_ = q.value(0).toText().trimmed().toUpper();
        q.close();
        t.commit();
    }
    return defaultCharacterSet_;
}

void Database::close() {
    if (!attachment_) return;
    defaultCharacterSet_.clear();
    // A unit of work commits by its own commit only, never because its connection closed: every
    // transaction still active rolls back, then the statement handles go.
    endAll();
    IAttachment* att = attachment_;
    attachment_ = nullptr;
    Status st;
    try {
        call([&] { att->detach(&st); });
    } catch (...) {
        att->release();  // a broken connection: the server ends it on its side
        throw;
    }
}

void Database::endAll() noexcept {
    for (Transaction* t : std::set<Transaction*>(transactions_)) t->abandon();
    for (Statement* s : std::set<Statement*>(statements_)) s->releaseStatement(false);
    cache_->clear();
}

void Database::setStatementCacheSize(int size) { cache_->setCapacity(size); }

int Database::statementCacheSize() const { return cache_->capacity(); }

int Database::keptStatements() const { return cache_->size(); }

void Database::dropStatementCache() noexcept { cache_->clear(); }

void Database::dropDatabase() {
    attachment();  // raises when not connected
    endAll();
    Status st;
    call([&] { attachment_->dropDatabase(&st); });
    attachment_ = nullptr;
}

void Database::setCharset(const QString& charset) {
    // Texts travel as UTF-8 both ways; another connection character set would garble them.
    const QString name = charset.trimmed().toUpper();
    if (name != QStringLiteral("UTF8") && name != QStringLiteral("UTF-8")) {
        detail::raise(QStringLiteral("Unsupported connection character set \"%1\": only UTF8 is supported")
                          .arg(charset));
    }
    charset_ = QStringLiteral("UTF8");
}

Transaction* Database::adopt(std::unique_ptr<Transaction> transaction) {
    transaction->setDefaultDatabase(this);
    owned_.push_back(std::move(transaction));
    return owned_.back().get();
}

void Database::detach(Transaction* t) {
    transactions_.erase(t);
    if (defaultTransaction_ == t) defaultTransaction_ = nullptr;
}

}  // namespace fb
