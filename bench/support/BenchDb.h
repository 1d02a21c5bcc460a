#pragma once
// What the benchmarks share: a writable lock folder for the embedded engine, and a database with a
// table of 100,000 contracts built once per run.

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/fb/Database.h"
#include "platform/fb/Script.h"

namespace benchdb {

constexpr int kRows = 100000;

inline void prepareEnvironment() {
    const char* lock = std::getenv("FIREBIRD_LOCK");
    if (!lock || !*lock) {
        const QString dir = QDir::tempPath() + QStringLiteral("/tolvanix-fblock");
        QDir().mkpath(dir);
        setenv("FIREBIRD_LOCK", dir.toLocal8Bit().constData(), 1);
    }
}

struct BigTable {
    QTemporaryDir dir;
    fb::Database db;
    BigTable() : db(dir.filePath(QStringLiteral("bench.fdb"))) {
        db.create();
        fb::runScript(db, QStringLiteral(
            "create table CONTRACTS (ID integer not null primary key, NUM varchar(80), CLIENT varchar(80), "
            "SUMMA integer, D date);\n"
            "set term ^ ;\n"
            "execute block as declare i integer = 0; begin while (i < %1) do begin "
            "insert into CONTRACTS values (:i, 'Д-' || :i, 'Клієнт ' || :i, :i * 100, dateadd(:i / 100 day to "
            "date '2020-01-01')); i = i + 1; end end^\n"
            "set term ; ^\n").arg(kRows));
    }
};

// The contracts database, built on first use.
inline fb::Database& contracts() {
    static BigTable t;
    return t.db;
}

}  // namespace benchdb
