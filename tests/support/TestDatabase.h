#pragma once
// A fresh embedded database for a test suite: built from the schema and seed files (once per version
// of those files, then copied), installed as the program-wide database, and removed afterwards.

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "platform/fb/Database.h"
#include "platform/fb/Transaction.h"

namespace tolvtest {

class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    fb::Database& db() { return *db_; }
    // The shared change transaction installed with the database (rolls back by default).
    fb::Transaction& changeTransact() { return *change_; }
    QString path() const { return path_; }
    QString folder() const { return dir_.path(); }

    // The source tree's folder, for tests that read the project's own files.
    static QString sourceDir();
    // Builds a new database file from the schema and seed folders (and demo, when asked); the password
    // is SYSDBA's, for a database made through a server.
    static void build(const QString& path, bool withDemo = false, const QString& password = QString());

private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<fb::Database> db_;
    std::unique_ptr<fb::Transaction> change_;
};

// A test suite that shares one fresh database among its tests; each test works on rows of its own.
class DbSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static TestDatabase& testDb();
};

}  // namespace tolvtest
