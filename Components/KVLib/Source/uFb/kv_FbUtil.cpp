#include "kv_FbUtil.h"

#include <map>

#include "kv_FbQueryGod.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"

namespace udb {

using core::Variant;
using core::VarType;

namespace {

QString tr(const char* key, const char16_t* defaultText) {
    return KVLibTranslator::instance().translate(QString::fromLatin1(key), QString::fromUtf16(defaultText));
}

using FieldCache = std::map<QString, std::map<QString, Variant>>;

FieldCache& fieldCache() {
    static FieldCache cache;
    return cache;
}

}  // namespace

QString quoteSql(const QString& text) {
    QString out = text;
    return out.replace(u'\'', QStringLiteral("''"));
}

QString unquoteSql(const QString& text) {
    QString out = text;
    return out.replace(QStringLiteral("''"), QStringLiteral("'"));
}

QString var2DbVar(const Variant& value) {
    switch (value.type()) {
        case VarType::Unassigned: throw core::Exception(QStringLiteral("udb::var2DbVar() - The variant is Unassigned"));
        case VarType::Null: return QStringLiteral("NULL");
        case VarType::Bool: return value.toBool() ? QStringLiteral("'1'") : QStringLiteral("'0'");
        case VarType::Double:
        case VarType::Currency: {
            core::ScopedDecimalSeparator point(u'.');
            return u'\'' + value.toText() + u'\'';
        }
        case VarType::DateTime: return u'\'' + core::dateTimeToStr(value.toDateTime()) + u'\'';
        default: return u'\'' + quoteSql(value.toText()) + u'\'';
    }
}

void execSql(const QString& sql, fb::Transaction* transaction) {
    ufb::AutoQuery q(sql, transaction);
    q->execSql();
    if (!transaction) q->transaction()->commit();
}

int genId(const QString& generator) {
    ufb::AutoQuery q(QStringLiteral("select GEN_ID(") + generator + QStringLiteral(",1)from rdb$database"), nullptr);
    q->open();
    return q->fieldByName(QStringLiteral("GEN_ID")).asInteger();
}

core::DateTime serverDate() {
    ufb::AutoQuery q(QStringLiteral("select CAST('Now' as Date) as curDateTime from RDB$DATABASE"), nullptr);
    q->open();
    return q->fieldByName(QStringLiteral("curDateTime")).asDateTime();
}

Variant getField(const QString& table, const QString& field, const Variant& keyValue, const QString& keyField) {
    return getField(nullptr, table, field, keyValue, keyField);
}

Variant getField(fb::Transaction* transaction, const QString& table, const QString& field, const Variant& keyValue,
                 const QString& keyField) {
    ufb::AutoQuery q(transaction);
    if (table.contains(u' ')) {
        q->setSql(table);
    } else {
        // The key text is quote-doubled: a key with an apostrophe must not break the statement.
        q->setSql(QStringLiteral(" select ") + field + QStringLiteral(" from ") + table + QStringLiteral(" where ") +
                  keyField + QStringLiteral("='") + quoteSql(keyValue.toText()) + u'\'');
    }
    q->open();
    if (q->isEmpty()) return Variant::null();
    return q->fieldByName(field).value();
}

Variant getFieldCache(const QString& table, const QString& field, const QString& keyValue, const QString& keyField,
                      const QString& filter) {
    FieldCache& cache = fieldCache();
    if (table == QStringLiteral("!")) {
        cache.clear();
        return Variant(0);
    }
    const QString notFound = tr("kv_FbUtil.udb.getFieldCache.Exception1", u"Не найдено значение в кэшированной таблице") +
                             QStringLiteral("\n Table: ") + table + QStringLiteral(", field name: ") + field +
                             QStringLiteral(", Id: ") + keyValue;
    const QString cacheKey = table + u'+' + field;
    auto lookUp = [&](const std::map<QString, Variant>& rows) {
        auto it = rows.find(keyValue);
        if (it == rows.end()) throw core::Exception(notFound);
        return it->second;
    };
    if (auto it = cache.find(cacheKey); it != cache.end()) return lookUp(it->second);
    if (field == QStringLiteral("!")) return Variant(0);

    ufb::AutoQuery q;
    QString sql = QStringLiteral("select ") + keyField + QStringLiteral(", ") + field + QStringLiteral(" from ") + table;
    if (!filter.isEmpty()) sql += QStringLiteral("\n where ") + filter;
    q->setSql(sql);
    q->close();
    q->open();
    q->fetchAll();
    if (q->recordCount() > 1000) {
        throw core::Exception(tr("kv_FbUtil.udb.getFieldCache.Exception2",
                                 u"Попытка кэшировать большую таблицу (больше 1000 записей)"));
    }
    if (q->recordCount() == 0) throw core::Exception(notFound);
    std::map<QString, Variant> rows;
    for (int row = 0; row < q->recordCount(); ++row) rows[q->valueAt(row, 0).toText()] = q->valueAt(row, 1);
    return lookUp(cache[cacheKey] = std::move(rows));
}

void checkRowsAffected(const fb::Query& query, qint64 expected) {
    if (query.rowsAffected() == expected) return;
    throw core::Exception(tr("kv_FbUtil.udb.checkRowsAffected.Exception",
                             u"Неверное количество обработанных запросом строк. Ожидалось ") +
                          QString::number(expected) + tr("kv_FbUtil.udb.checkRecordCount.Exception_", u" получили ") +
                          QString::number(query.rowsAffected()));
}

}  // namespace udb
