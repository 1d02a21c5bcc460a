#include "tests/support/TestDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

#include "kv_MainDb.h"
#include "platform/core/Exception.h"
#include "platform/fb/Script.h"

namespace tolvtest {

namespace {

const QStringList kBaseFolders = {QStringLiteral("db/schema"), QStringLiteral("db/seed")};

// A key that changes whenever a schema or seed file does.
QString schemaKey() {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& sub : kBaseFolders) {
        const QDir dir(TestDatabase::sourceDir() + u'/' + sub);
        for (const QString& name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) continue;
            hash.addData(name.toUtf8());
            hash.addData(f.readAll());
        }
    }
    return QString::fromLatin1(hash.result().toHex().left(16));
}

// The template database for the current schema, built once and shared by every test program.
QString templatePath() {
    const QString cache = QStringLiteral(TOLV_TEST_DB_CACHE);
    QDir().mkpath(cache);
    const QString path = cache + QStringLiteral("/template-") + schemaKey() + QStringLiteral(".fdb");
    if (QFileInfo::exists(path)) return path;
    // Built under a private name and renamed, so that parallel test programs never see half a file.
    const QString tmp = cache + QStringLiteral("/building-%1.fdb").arg(getpid());
    QFile::remove(tmp);
    TestDatabase::build(tmp);
    if (::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(tmp);
    }
    return path;
}

std::unique_ptr<TestDatabase> suiteDb;

}  // namespace

QString TestDatabase::sourceDir() { return QStringLiteral(TOLV_SOURCE_DIR); }

void TestDatabase::build(const QString& path, bool withDemo, const QString& password) {
    fb::Database db(path);
    if (!password.isEmpty()) db.setPassword(password);
    db.create();
    QStringList folders = kBaseFolders;
    if (withDemo) folders << QStringLiteral("db/demo");
    for (const QString& sub : folders) {
        const QString folder = sourceDir() + u'/' + sub;
        if (QDir(folder).exists()) fb::runScriptFolder(db, folder);
    }
    db.close();
}

TestDatabase::TestDatabase() {
    if (!dir_.isValid()) throw core::Exception(QStringLiteral("Cannot create a temporary folder"));
    path_ = dir_.filePath(QStringLiteral("test.fdb"));
    if (!QFile::copy(templatePath(), path_)) {
        throw core::Exception(QStringLiteral("Cannot copy the template database to ") + path_);
    }
    QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    db_ = std::make_unique<fb::Database>(path_);
    db_->open();
    change_ = std::make_unique<fb::Transaction>(db_.get());
    change_->setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
    change_->setDefaultAction(fb::TransactionAction::Rollback);
    db_->setDefaultTransaction(change_.get());
    TolvMain::setZarvelDb(db_.get());
    TolvMain::setChangeTransact(change_.get());
}

TestDatabase::~TestDatabase() {
    TolvMain::setChangeTransact(nullptr);
    TolvMain::setZarvelDb(nullptr);
    change_.reset();
    try {
        db_->close();
    } catch (...) {
        // The folder is removed below either way.
    }
}

void DbSuite::SetUpTestSuite() { suiteDb = std::make_unique<TestDatabase>(); }

void DbSuite::TearDownTestSuite() { suiteDb.reset(); }

TestDatabase& DbSuite::testDb() { return *suiteDb; }

}  // namespace tolvtest
