#include "kv_DBRecord.h"

#include <QRegularExpression>
#include <QStringList>

#include "kv_Exception.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/data/Dataset.h"
#include "platform/fb/Transaction.h"

namespace ufb {

using core::Variant;

namespace {

QString tr(const char* key, const char16_t* defaultText) {
    return KVLibTranslator::instance().translate(QString::fromLatin1(key), QString::fromUtf16(defaultText));
}

}  // namespace

QString TUniqueKey::whereClause() const {
    QStringList conditions;
    for (const auto& [name, value] : fields_) {
        if (value.isEmpty()) continue;
        conditions << name + QStringLiteral("='") + udb::quoteSql(value.toText()) + u'\'';
    }
    return conditions.isEmpty() ? QString() : QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
}

TDBRecord::TDBRecord() = default;

fb::Database* TDBRecord::database() const { return database_ ? database_ : TolvMain::getZarvelDb(); }

TDBRecord::TDBRecord(const QString& tableName, fb::Transaction* transaction)
    : database_(transaction ? transaction->defaultDatabase() : nullptr),
      tableName_(tableName),
      transaction_(transaction) {}

TDBRecord::TDBRecord(const QString& tableName, const QString& keyField, const Variant& keyValue,
                     fb::Transaction* transaction)
    : TDBRecord(tableName, transaction) {
    SetKey(keyField, keyValue);
}

TDBRecord::~TDBRecord() = default;

void TDBRecord::clear() {
    key_.clear();
    values_.clear();
}

Variant& TDBRecord::Field(const QString& name) { return values_[name.toUpper()]; }

void TDBRecord::SetField(const QString& name, const Variant& value, bool isKey) {
    const QString upper = name.toUpper();
    values_[upper] = value;
    if (isKey || key_.contains(upper)) key_.set(upper, value);
}

void TDBRecord::SetKey(const QString& name, const Variant& value) { SetField(name, value, true); }

void TDBRecord::SetId(int id) { SetField(QStringLiteral("ID"), id, true); }

Variant TDBRecord::GetField(const QString& name, bool mustExist) const {
    auto it = values_.find(name.toUpper());
    if (it != values_.end()) return it->second;
    if (mustExist) {
        throw core::Exception(QStringLiteral("field '") + name + QStringLiteral("' not exist") +
                              utl::placeTrailer(QStringLiteral("TDBRecord::GetField"), QStringLiteral("kv_DBRecord"), 496));
    }
    return Variant();
}

QString TDBRecord::GetFieldStr(const QString& name) const {
    auto it = values_.find(name.toUpper());
    return it == values_.end() ? QString() : it->second.toText();
}

bool TDBRecord::LoadFromDataSet(data::Dataset& dataset) {
    if (!dataset.active() || dataset.eof() || dataset.recNo() == 0) return false;
    for (int i = 0; i < dataset.fieldCount(); ++i) {
        data::Field* f = dataset.field(i);
        values_[f->fieldName().toUpper()] = f->value();
    }
    return true;
}

QString TDBRecord::buildInsertSql() const {
    QStringList names, literals;
    for (const auto& [name, value] : values_) {
        names << name;
        literals << udb::var2DbVar(value);
    }
    return QStringLiteral("insert into ") + tableName_ + QStringLiteral(" ( ") + names.join(u',') +
           QStringLiteral(" ) values ( ") + literals.join(u',') + QStringLiteral(" )");
}

int TDBRecord::run(Op op, fb::Transaction* transaction, bool checkOne) {
    fb::Transaction* chosen = transaction ? transaction : transaction_;
    QString sql;
    switch (op) {
        case Op::Insert: sql = insertSql_ = buildInsertSql(); break;
        case Op::Select: sql = selectSql_ = QStringLiteral("select * from ") + tableName_ + key_.whereClause(); break;
        case Op::Update: {
            QStringList sets;
            for (const auto& [name, value] : values_) sets << name + u'=' + udb::var2DbVar(value);
            sql = updateSql_ = QStringLiteral("update ") + tableName_ + QStringLiteral(" set ") + sets.join(u',') +
                               key_.whereClause();
            break;
        }
        case Op::Delete: {
            const QString where = key_.whereClause();
            sql = deleteSql_ = where.isEmpty() ? QString() : QStringLiteral("delete from ") + tableName_ + where;
            break;
        }
    }
    std::unique_ptr<fb::Query> q = chosen ? udb::createQuery(chosen) : udb::createQuery(database());
    const bool own = !chosen;
    try {
        int result = 0;
        q->setSql(sql);
        if (op == Op::Select) {
            q->open();
            if (LoadFromDataSet(*q)) {
                q->fetchAll();
                result = q->recordCount();
            }
        } else {
            q->execSql();
            if (op == Op::Update && checkOne) udb::checkRowsAffected(*q, 1);
        }
        if (own) q->transaction()->commit();
        return result;
    } catch (...) {
        if (own && q->transaction()->inTransaction()) q->transaction()->rollback();
        throw;
    }
}

void TDBRecord::Insert(fb::Transaction* transaction) { run(Op::Insert, transaction, false); }

int TDBRecord::Select(fb::Transaction* transaction) {
    if (key_.whereClause().isEmpty()) {
        // Without a key condition every row would be read: nothing is selected.
        selectSql_.clear();
        return 0;
    }
    return run(Op::Select, transaction, false);
}

void TDBRecord::Update(fb::Transaction* transaction, bool checkOne) {
    if (key_.whereClause().isEmpty()) {
        throw core::Exception(tr("kv_DBRecord.TDBRecord.Update.Exception",
                                 u"Запись без ключа не может быть изменена: изменились бы все строки таблицы ") +
                              tableName_);
    }
    run(Op::Update, transaction, checkOne);
}

void TDBRecord::Delete(fb::Transaction* transaction) {
    if (key_.whereClause().isEmpty()) {
        deleteSql_.clear();
        return;
    }
    run(Op::Delete, transaction, false);
}

int TDBRecord::genId() const { return udb::genId(QStringLiteral("GEN_") + tableName_ + QStringLiteral("_ID")); }

void TDBRecord::LoadFromInsertSql(const QString& line) {
    // Field names never hold " ) values ( ", so the field list ends at its first occurrence: a text
    // value holding it stays whole.
    static const QRegularExpression shape(QStringLiteral("insert into (\\w+) \\( (.+?) \\) values \\( (.+) \\)"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression fieldRe(QStringLiteral("(\\w+)(,|\\z)"),
                                            QRegularExpression::DotMatchesEverythingOption);
    // A quoted value is a run of other characters and doubled quotes, so "'," inside a text is read
    // as part of it.
    static const QRegularExpression valueRe(QStringLiteral("(?:'((?:[^']|'')*)'|(NULL))(,|\\z)"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = shape.match(line);
    if (!m.hasMatch()) {
        throw core::Exception(tr("kv_DBRecord.TDBRecord.LoadFromInsertSql.Exception",
                                 u"Неверная структура записи в файле экспорта"));
    }
    tableName_ = m.captured(1);
    QRegularExpressionMatchIterator fields = fieldRe.globalMatch(m.captured(2));
    QRegularExpressionMatchIterator values = valueRe.globalMatch(m.captured(3));
    if (!fields.hasNext() || !values.hasNext()) {
        throw core::Exception(tr("kv_DBRecord.TDBRecord.LoadFromInsertSql.Exception3",
                                 u"Неверная структура информации о полях или значениях записи в файле экспорта."));
    }
    while (fields.hasNext()) {
        const QRegularExpressionMatch f = fields.next();
        if (!values.hasNext()) {
            throw core::Exception(tr("kv_DBRecord.TDBRecord.LoadFromInsertSql.Exception2",
                                     u"Не совпадает число полей и число значений полей в записи в файле экспорта"));
        }
        const QRegularExpressionMatch v = values.next();
        SetField(f.captured(1), v.capturedLength(2) > 0 ? Variant::null() : Variant(udb::unquoteSql(v.captured(1))));
    }
}

}  // namespace ufb
