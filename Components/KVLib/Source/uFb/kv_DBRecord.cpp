#include "kv_DBRecord.h"

#include <QStringList>
#include <algorithm>
#include <vector>

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
    read_.reset();
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
    std::map<QString, Variant> row;
    for (int i = 0; i < dataset.fieldCount(); ++i) {
        data::Field* f = dataset.field(i);
        values_[f->fieldName().toUpper()] = row[f->fieldName().toUpper()] = f->value();
    }
    read_ = std::move(row);
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

namespace {

// A statement as it runs: every value a parameter, so that no process format (a user's date format,
// the decimal separator) reaches the server, and a value of any length fits.
struct BoundSql {
    QString text;
    std::vector<std::pair<QString, Variant>> params;

    QString bind(const QString& prefix, const Variant& value) {
        const QString name = prefix + QString::number(params.size());
        params.emplace_back(name, value);
        return u':' + name;
    }
    // " where A=:K0 and B=:K1" over the key fields that count, as TUniqueKey::whereClause writes them.
    void appendKey(const TUniqueKey& key) {
        QStringList conditions;
        for (const auto& [name, value] : key.fields()) {
            if (value.isEmpty()) continue;
            conditions << name + u'=' + bind(QStringLiteral("K"), value);
        }
        if (!conditions.isEmpty())
            text += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    }
};

}  // namespace

std::vector<QString> TDBRecord::changedNames() const {
    std::vector<QString> names;
    for (const auto& [name, value] : values_) {
        if (read_) {
            // Unchanged only when of the same kind and value: writing an equal number again is
            // harmless, missing a change is not.
            const auto it = read_->find(name);
            if (it != read_->end() && it->second.type() == value.type() && it->second == value) continue;
        }
        names.push_back(name);
    }
    return names;
}

int TDBRecord::run(Op op, fb::Transaction* transaction, bool checkOne) {
    fb::Transaction* chosen = transaction ? transaction : transaction_;
    // The texts kept on the record are the literal statements (the insert one is the exchange line);
    // building them first also refuses an unassigned value before anything runs.
    BoundSql bound;
    switch (op) {
        case Op::Insert: {
            insertSql_ = buildInsertSql();
            QStringList names, places;
            for (const auto& [name, value] : values_) {
                names << name;
                places << bound.bind(QStringLiteral("V"), value);
            }
            bound.text = QStringLiteral("insert into ") + tableName_ + QStringLiteral(" ( ") +
                         names.join(u',') + QStringLiteral(" ) values ( ") + places.join(u',') +
                         QStringLiteral(" )");
            break;
        }
        case Op::Select:
            selectSql_ = QStringLiteral("select * from ") + tableName_ + key_.whereClause();
            bound.text = QStringLiteral("select * from ") + tableName_;
            bound.appendKey(key_);
            break;
        case Op::Update: {
            QStringList sets, places;
            for (const QString& name : changedNames()) {
                const Variant& value = values_.at(name);
                sets << name + u'=' + udb::var2DbVar(value);
                places << name + u'=' + bound.bind(QStringLiteral("V"), value);
            }
            if (sets.isEmpty()) {
                // Nothing to write: a statement would only lock the row and fire its triggers.
                updateSql_.clear();
                if (!checkOne) return 0;
                bound.text = QStringLiteral("select count(*) from ") + tableName_;
            } else {
                updateSql_ = QStringLiteral("update ") + tableName_ + QStringLiteral(" set ") +
                             sets.join(u',') + key_.whereClause();
                bound.text =
                    QStringLiteral("update ") + tableName_ + QStringLiteral(" set ") + places.join(u',');
            }
            bound.appendKey(key_);
            break;
        }
        case Op::Delete:
            deleteSql_ = QStringLiteral("delete from ") + tableName_ + key_.whereClause();
            bound.text = QStringLiteral("delete from ") + tableName_;
            bound.appendKey(key_);
            break;
    }
    std::unique_ptr<fb::Query> q = chosen ? udb::createQuery(chosen) : udb::createQuery(database());
    const bool own = !chosen;
    try {
        int result = 0;
        q->setSql(bound.text);
        for (const auto& [name, value] : bound.params) q->setParam(name, value);
        if (op == Op::Select) {
            q->open();
            if (LoadFromDataSet(*q)) {
                q->fetchAll();
                result = q->recordCount();
            }
        } else if (op == Op::Update && updateSql_.isEmpty()) {
            q->open();
            udb::checkRowCount(q->field(0)->asLargeInt(), 1);
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

namespace {

// The exchange line is read by a single forward scan: values may be megabytes long, beyond what a
// backtracking pattern matcher can take.

bool isNameChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'_';
}

// The part of a line between its fixed words; empty positions when the line has not that shape.
struct LineParts {
    QString table;
    qsizetype fieldsBegin = -1, fieldsEnd = -1, valuesBegin = -1, valuesEnd = -1;
};

// "insert into TABLE ( FIELDS ) values ( VALUES )" anywhere in the line: text before it and after
// the last " )" is ignored, the field list ends at its first " ) values ( ", the value list at the
// last " )" of the line.
bool splitLine(const QString& line, LineParts& parts) {
    static const QString head = QStringLiteral("insert into ");
    static const QString middle = QStringLiteral(" ) values ( ");
    const qsizetype close = line.lastIndexOf(QStringLiteral(" )"));
    for (qsizetype at = line.indexOf(head); at >= 0; at = line.indexOf(head, at + 1)) {
        qsizetype pos = at + head.size();
        const qsizetype tableBegin = pos;
        while (pos < line.size() && isNameChar(line[pos])) ++pos;
        if (pos == tableBegin || !QStringView(line).mid(pos).startsWith(QStringLiteral(" ( "))) continue;
        const qsizetype fieldsBegin = pos + 3;
        // Each list holds at least one character.
        const qsizetype fieldsEnd = line.indexOf(middle, fieldsBegin + 1);
        if (fieldsEnd < 0) return false;
        const qsizetype valuesBegin = fieldsEnd + middle.size();
        if (close < valuesBegin + 1) return false;
        parts = {line.mid(tableBegin, pos - tableBegin), fieldsBegin, fieldsEnd, valuesBegin, close};
        return true;
    }
    return false;
}

// The next field name of the list: a run of name characters followed by a comma or the end of the
// list. Anything else is passed over.
bool nextField(const QString& line, qsizetype& pos, qsizetype end, QString& name) {
    while (pos < end) {
        if (!isNameChar(line[pos])) {
            ++pos;
            continue;
        }
        const qsizetype begin = pos;
        while (pos < end && isNameChar(line[pos])) ++pos;
        if (pos == end || line[pos] == u',') {
            name = line.mid(begin, pos - begin);
            if (pos < end) ++pos;
            return true;
        }
    }
    return false;
}

// The next value of the list: NULL, or a quoted text in which a doubled quote stands for one quote.
// The text ends at the first other quote followed by a comma or by the end of the list; a lone quote
// followed by anything else belongs to the text. Anything before a value is passed over.
bool nextValue(const QString& line, qsizetype& pos, qsizetype end, Variant& value) {
    static const QString null = QStringLiteral("NULL");
    while (pos < end) {
        const QChar c = line[pos];
        if (c == u'N' && QStringView(line).mid(pos, end - pos).startsWith(null) &&
            (pos + null.size() == end || line[pos + null.size()] == u',')) {
            value = Variant::null();
            pos = std::min(end, pos + null.size() + 1);
            return true;
        }
        if (c != u'\'') {
            ++pos;
            continue;
        }
        QString text;
        qsizetype run = pos + 1;  // start of the text not yet copied
        for (qsizetype i = run; i < end; ++i) {
            i = line.indexOf(u'\'', i);
            if (i < 0 || i >= end) break;
            if (i + 1 < end && line[i + 1] == u'\'') {
                text += QStringView(line).mid(run, i + 1 - run);
                run = ++i + 1;
            } else if (i + 1 == end || line[i + 1] == u',') {
                text += QStringView(line).mid(run, i - run);
                value = Variant(std::move(text));
                pos = std::min(end, i + 2);
                return true;
            }
        }
        // An unterminated text: no later value can end either.
        return false;
    }
    return false;
}

}  // namespace

void TDBRecord::LoadFromInsertSql(const QString& line) {
    LineParts parts;
    if (!splitLine(line, parts)) {
        throw core::Exception(tr("kv_DBRecord.TDBRecord.LoadFromInsertSql.Exception",
                                 u"Неверная структура записи в файле экспорта"));
    }
    tableName_ = parts.table;
    qsizetype fieldPos = parts.fieldsBegin;
    qsizetype valuePos = parts.valuesBegin;
    QString name;
    Variant value;
    const bool firstField = nextField(line, fieldPos, parts.fieldsEnd, name);
    if (!firstField || !nextValue(line, valuePos, parts.valuesEnd, value)) {
        throw core::Exception(tr("kv_DBRecord.TDBRecord.LoadFromInsertSql.Exception3",
                                 u"Неверная структура информации о полях или значениях записи в файле экспорта."));
    }
    // Values after the last field are not read.
    for (;;) {
        SetField(name, value);
        if (!nextField(line, fieldPos, parts.fieldsEnd, name)) return;
        if (!nextValue(line, valuePos, parts.valuesEnd, value)) {
            throw core::Exception(tr("kv_DBRecord.TDBRecord.LoadFromInsertSql.Exception2",
                                     u"Не совпадает число полей и число значений полей в записи в файле экспорта"));
        }
    }
}

}  // namespace ufb
