#include "kv_FbDbIni.h"

#include <map>

#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "platform/core/Formats.h"

namespace udb {

using core::Variant;
using core::VarType;

const QString INI_TABLE = QStringLiteral("INI");
const QString INI_SECTION = QStringLiteral("SECTION");
const QString INI_NAME = QStringLiteral("NAME");
const QString INI_VAL = QStringLiteral("VAL");

namespace {

using Key = std::pair<QString, QString>;

std::map<Key, Variant>& cache() {
    static std::map<Key, Variant> c;
    return c;
}

// The text a value is stored as.
QString storedText(const Variant& value) {
    if (value.type() == VarType::Bool) return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    core::ScopedDecimalSeparator point(u'.');
    return value.toText();
}

bool toWhole(const Variant& v, qint64& out) {
    if (v.type() == VarType::Text) return core::tryStrToInt64(v.toText(), out);
    if (v.isEmpty()) return false;
    if (v.type() == VarType::Double || v.type() == VarType::Currency) {
        const double d = v.toDouble();
        if (d != static_cast<double>(static_cast<qint64>(d))) return false;
    }
    out = v.toInt64();
    return true;
}

}  // namespace

void dbIniOpen(fb::Query& query, const QString& section, const QString& name) {
    query.close();
    // Section, name and value travel as parameters: Ukrainian words and company details hold quotes.
    query.setSql(QStringLiteral("select * from ") + INI_TABLE + QStringLiteral(" where ") + INI_SECTION +
                 QStringLiteral(" = :SECTION and ") + INI_NAME + QStringLiteral(" = :NAME"));
    query.setParam(QStringLiteral("SECTION"), section);
    query.setParam(QStringLiteral("NAME"), name);
    query.open();
}

bool dbIniExists(const QString& section, const QString& name, fb::Transaction* transaction) {
    ufb::AutoQuery q(transaction);
    dbIniOpen(*q.get(), section, name);
    return !q->isEmpty();
}

Variant dbIniReadVariant(const QString& section, const QString& name, const Variant& defaultValue,
                         fb::Transaction* transaction) {
    const Key key{section, name};
    if (auto it = cache().find(key); it != cache().end()) return it->second;
    ufb::AutoQuery q(transaction);
    dbIniOpen(*q.get(), section, name);
    Variant result = defaultValue;
    if (!q->isEmpty()) {
        const Variant stored = q->fieldByName(INI_VAL).value();
        if (!stored.isNull()) result = stored;
    }
    cache()[key] = result;
    return result;
}

QString dbIniReadString(const QString& section, const QString& name, const QString& defaultValue,
                        fb::Transaction* transaction) {
    return dbIniReadVariant(section, name, defaultValue, transaction).toText();
}

int dbIniReadInt(const QString& section, const QString& name, int defaultValue, fb::Transaction* transaction) {
    qint64 v = 0;
    if (!toWhole(dbIniReadVariant(section, name, defaultValue, transaction), v) || v < INT32_MIN || v > INT32_MAX) {
        return defaultValue;
    }
    return static_cast<int>(v);
}

double dbIniReadFloat(const QString& section, const QString& name, double defaultValue, fb::Transaction* transaction) {
    core::ScopedDecimalSeparator point(u'.');
    const Variant v = dbIniReadVariant(section, name, defaultValue, transaction);
    if (v.type() != VarType::Text) return v.isEmpty() ? defaultValue : v.toDouble();
    double d = 0;
    return core::tryStrToFloat(v.toText(), d) ? d : defaultValue;
}

bool dbIniReadBool(const QString& section, const QString& name, bool defaultValue, fb::Transaction* transaction) {
    qint64 v = 0;
    // A stored text that is no whole number falls back on the default.
    return toWhole(dbIniReadVariant(section, name, defaultValue, transaction), v) ? v != 0 : defaultValue;
}

void dbIniWrite(const QString& section, const QString& name, const Variant& value, fb::Transaction* transaction) {
    const QString text = storedText(value);
    ufb::AutoQuery q(transaction);
    fb::Transaction* work = q->transaction();
    if (!transaction) work->start();
    // The caller's own uncommitted row counts too, so a second write in one unit of work updates it.
    const bool exists = dbIniExists(section, name, transaction);
    q->setSql(exists ? QStringLiteral("update INI set VAL = :VAL where SECTION = :SECTION and NAME = :NAME")
                     : QStringLiteral("insert into INI (SECTION, NAME, VAL) values (:SECTION, :NAME, :VAL)"));
    q->setParam(QStringLiteral("SECTION"), section);
    q->setParam(QStringLiteral("NAME"), name);
    q->setParam(QStringLiteral("VAL"), text);
    try {
        q->execSql();
    } catch (...) {
        if (!transaction && work->inTransaction()) work->rollback();
        throw;
    }
    if (!transaction) work->commit();
    const Key key{section, name};
    cache()[key] = Variant(text);
    if (transaction) {
        // Until the caller commits, the cached value must not outlive a rollback.
        auto ids = std::make_shared<std::pair<int, int>>();
        ids->first = transaction->addRollbackHook([transaction, key, ids] {
            cache().erase(key);
            transaction->removeRollbackHook(ids->first);
            transaction->removeCommitHook(ids->second);
        });
        ids->second = transaction->addCommitHook([transaction, ids] {
            transaction->removeRollbackHook(ids->first);
            transaction->removeCommitHook(ids->second);
        });
    }
}

void dbIniDropCache(const QString& section, const QString& name) {
    auto& c = cache();
    if (!name.isEmpty()) {
        c.erase(Key{section, name});
    } else if (!section.isEmpty()) {
        std::erase_if(c, [&](const auto& entry) { return entry.first.first == section; });
    } else {
        c.clear();
    }
}

}  // namespace udb
