#pragma once
// A fresh embedded database for one test suite of the client layer: the library functions of the
// first schema file plus scratch tables of its own, independent of the rest of the schema.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "platform/fb/Database.h"
#include "platform/fb/Script.h"
#include "platform/fb/Statement.h"
#include "platform/fb/Transaction.h"

namespace fbtest {

inline const char* kScratchTables = R"sql(
create table T_REC (ID integer not null primary key, NAME varchar(100), AMOUNT integer, D date,
                    TS timestamp, F double precision, FLAG smallint,
                    constraint UNQ_T_REC_NAME unique (NAME));
create generator GEN_T_REC_ID;
create table T_PARENT (ID integer not null primary key);
create table T_CHILD (ID integer not null primary key,
                      PARENT_ID integer references T_PARENT(ID));
create table T_TYPES (ID integer not null primary key, SI smallint, I integer, BI bigint,
                      N numeric(15,2), DC decimal(18,4), N6 numeric(18,6), FL float, DB double precision,
                      CH char(10), VC varchar(40), BL blob sub_type text, DT date, TM time,
                      TSP timestamp, BO boolean);
)sql";

class ScratchSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<QTemporaryDir>();
        db_ = std::make_unique<fb::Database>(dir_->filePath(QStringLiteral("scratch.fdb")));
        db_->create();
        fb::runScriptFile(*db_, QStringLiteral(TOLV_SOURCE_DIR "/db/schema/000_library.sql"));
        fb::runScript(*db_, QString::fromUtf8(kScratchTables), QStringLiteral("scratch"));
    }
    static void TearDownTestSuite() {
        db_.reset();
        dir_.reset();
    }
    static fb::Database& db() { return *db_; }
    static QString path() { return db_->databaseName(); }

    // Runs one statement on its own committed transaction.
    static void exec(const QString& sql) {
        fb::Transaction t(db_.get());
        fb::Statement q(&t);
        q.setSql(sql);
        q.execute();
        t.commit();
    }
    // The first field of the first row of a query, on its own transaction.
    static core::Variant scalar(const QString& sql) {
        fb::Transaction t(db_.get());
        fb::Statement q(&t);
        q.setSql(sql);
        q.execute();
        return q.fetch() ? q.value(0) : core::Variant();
    }

    static inline std::unique_ptr<QTemporaryDir> dir_;
    static inline std::unique_ptr<fb::Database> db_;
};

}  // namespace fbtest
