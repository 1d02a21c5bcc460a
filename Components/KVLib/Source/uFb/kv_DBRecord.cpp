#include "kv_DBRecord.h"

#include <QStringEncoder>
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
#include "platform/fb/Database.h"
#include "platform/fb/Error.h"
#include "platform/fb/Transaction.h"

namespace ufb {

using core::Variant;

namespace {

using kvtr::tr;

// The most characters a text value of a UTF8 connection carries: four bytes each within the 32 K of
// a message.
constexpr int kPlainTextMax = 8191;
// The companion column of a long text in a select list (longTextColumn).
const QString kWholeSuffix = QStringLiteral("$WHOLE");

}  // namespace

QString TDBRecord::longTextColumn(const QString& column) {
    const QString max = QString::number(kPlainTextMax);
    return QStringLiteral("substring(%1 from 1 for %2) as %1, iif(char_length(%1) > %2, cast(%1 as blob sub_type "
                          "text), null) as %1%3")
        .arg(column, max, kWholeSuffix);
}

QString TUniqueKey::whereClause() const {
    QStringList conditions;
    for (const auto& [name, value] : fields_) {
        if (holdsNullMarker(name)) {
            conditions << name + QStringLiteral(" is null");
            continue;
        }
        if (value.isEmpty()) continue;
        conditions << name + QStringLiteral("='") + udb::quoteSql(value.toText()) + u'\'';
    }
    return conditions.isEmpty() ? QString()
                                : QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
}

TDBRecord::TDBRecord() = default;

fb::Database* TDBRecord::database() const {
    return database_ ? database_ : TolvMain::getZarvelDb();
}

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
    nullMarked_.clear();
    read_.reset();
}

Variant& TDBRecord::Field(const QString& name) {
    return values_[name.toUpper()];
}

void TDBRecord::SetField(const QString& name, const Variant& value, bool isKey) {
    const QString upper = name.toUpper();
    values_[upper] = value;
    nullMarked_.erase(upper);
    if (isKey || key_.contains(upper)) key_.set(upper, value);
}

void TDBRecord::SetField(const QString& name, NullMarker, bool isKey) {
    const QString upper = name.toUpper();
    values_[upper] = Variant::null();
    nullMarked_.insert(upper);
    if (isKey || key_.contains(upper)) key_.set(upper, nullMarker);
}

void TDBRecord::SetKey(const QString& name, const Variant& value) {
    SetField(name, value, true);
}

void TDBRecord::SetId(int id) {
    SetField(QStringLiteral("ID"), id, true);
}

Variant TDBRecord::GetField(const QString& name, bool mustExist) const {
    auto it = values_.find(name.toUpper());
    if (it != values_.end()) return it->second;
    if (mustExist) {
        throw core::Exception(
            QStringLiteral("field '") + name + QStringLiteral("' not exist") +
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
    std::vector<data::Field*> wholes;
    for (int i = 0; i < dataset.fieldCount(); ++i) {
        data::Field* f = dataset.field(i);
        const QString name = f->fieldName().toUpper();
        if (name.endsWith(kWholeSuffix)) {
            if (!f->isNull()) wholes.push_back(f);
            continue;
        }
        values_[name] = row[name] = f->value();
        nullMarked_.erase(name);
    }
    // A long text read whole replaces its first characters.
    for (data::Field* f : wholes) {
        const QString name = f->fieldName().toUpper().chopped(kWholeSuffix.size());
        values_[name] = row[name] = f->value();
    }
    read_ = std::move(row);
    return true;
}

QString TDBRecord::buildInsertSql() const {
    QStringList names, literals;
    for (const auto& [name, value] : values_) {
        if (holdsNullMarker(name)) continue;
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
        // A text parameter of a UTF8 connection holds at most 8191 characters (four bytes each within
        // the 32 K of a message); a longer text travels as a text blob, which the server assigns to a
        // text column of any kind.
        if (value.type() == core::VarType::Text && value.toText().size() > kPlainTextMax) {
            return QStringLiteral("cast(:") + name +
                   QStringLiteral(" as blob sub_type text character set UTF8)");
        }
        return u':' + name;
    }
    // " where A=:K0 and B=:K1" over the key fields that count, as TUniqueKey::whereClause writes them.
    void appendKey(const TUniqueKey& key) {
        QStringList conditions;
        for (const auto& [name, value] : key.fields()) {
            if (key.holdsNullMarker(name)) {
                conditions << name + QStringLiteral(" is null");
                continue;
            }
            if (value.isEmpty()) continue;
            conditions << name + u'=' + bind(QStringLiteral("K"), value);
        }
        if (!conditions.isEmpty())
            text += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    }
};

// What the record checks of a text column before writing to it.
struct TextColumn {
    int length = 0;  // characters; 0 for a text blob
    bool win1251 = false;
};
using TextColumns = std::map<QString, TextColumn>;

constexpr int kCharsetWin1251 = 52;

// The text columns of a table as the database's system tables describe them, read once per database
// and table for the life of the process (the schema does not change under a running program).
const TextColumns& textColumnsOf(fb::Database* db, fb::Transaction* transaction, const QString& table) {
    static std::map<QString, TextColumns> cache;
    const QString key = db->databaseName() + u'\n' + table.toUpper();
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    std::unique_ptr<fb::Query> q = transaction ? udb::createQuery(transaction) : udb::createQuery(db);
    q->setSql(QStringLiteral(
        "select trim(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, F.RDB$CHARACTER_LENGTH, "
        "F.RDB$CHARACTER_SET_ID from RDB$RELATION_FIELDS RF join RDB$FIELDS F on F.RDB$FIELD_NAME = "
        "RF.RDB$FIELD_SOURCE where RF.RDB$RELATION_NAME = :TABLE_NAME"));
    q->setParam(QStringLiteral("TABLE_NAME"), table.toUpper());
    q->open();
    TextColumns columns;
    bool any = false;
    for (; !q->eof(); q->next()) {
        any = true;
        const int type = q->field(1)->asInteger();
        const bool blobText = type == 261 && q->field(2)->asInteger() == 1;
        if (type != 14 && type != 37 && !blobText) continue;  // CHAR, VARCHAR, text blob
        columns[q->field(0)->asString()] = {blobText ? 0 : q->field(3)->asInteger(),
                                            q->field(4)->asInteger() == kCharsetWin1251};
    }
    if (!any) {
        // An unknown table is the server's to report; nothing is remembered for it.
        static const TextColumns none;
        return none;
    }
    return cache[key] = std::move(columns);
}

bool encodesInWin1251(const QString& text) {
    QStringEncoder encoder("windows-1251");
    const QByteArray bytes = encoder.encode(text);  // encodes only when taken as bytes
    return !encoder.hasError();
}

// The characters of the text that WIN1251 lacks, each once, in order of appearance.
QString charactersOutsideWin1251(const QString& text) {
    QString found;
    std::map<char32_t, bool> known;
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80) continue;
        const QString one = QString::fromUcs4(&c, 1);
        auto it = known.find(c);
        if (it == known.end()) it = known.emplace(c, encodesInWin1251(one)).first;
        if (!it->second && !found.contains(one)) found += one;
    }
    return found;
}

qsizetype characterCount(const QString& text) {
    qsizetype n = 0;
    for (const QChar c : text) {
        if (!c.isLowSurrogate()) ++n;
    }
    return n;
}

}  // namespace

void TDBRecord::checkTexts(const std::vector<QString>& names, fb::Transaction* transaction) const {
    const TextColumns* columns = nullptr;
    for (const QString& name : names) {
        const Variant& value = values_.at(name);
        if (value.type() != core::VarType::Text) continue;
        if (!columns) {
            columns = &textColumnsOf(transaction ? transaction->defaultDatabase() : database(), transaction,
                                     tableName_);
        }
        const auto column = columns->find(name);
        if (column == columns->end()) continue;
        const QString field = tr("kv_DBRecord.TDBRecord.checkTexts.Field", u"\nПоле: ") + name +
                              tr("kv_DBRecord.TDBRecord.checkTexts.Table", u" (таблица ") + tableName_ + u')';
        const QString text = value.toText();
        if (column->second.win1251 && !encodesInWin1251(text)) {
            throw core::Exception(tr("kv_DBRecord.TDBRecord.checkTexts.Charset",
                                     u"Значение содержит символы, которых нет в кодировке базы данных: ") +
                                  charactersOutsideWin1251(text) + field);
        }
        const int max = column->second.length;
        if (max <= 0) continue;
        qsizetype length = characterCount(text);
        // Blanks past the column's end the server drops by itself.
        for (qsizetype i = text.size(); length > max && i > 0 && text[i - 1] == u' '; --i) --length;
        if (length > max) {
            throw core::Exception(
                tr("kv_DBRecord.TDBRecord.checkTexts.Length", u"Слишком длинное значение: ") +
                QString::number(length) +
                tr("kv_DBRecord.TDBRecord.checkTexts.Length_", u" симв., допустимо не более ") +
                QString::number(max) + field);
        }
    }
}

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
    std::vector<QString> written;
    switch (op) {
        case Op::Insert: {
            insertSql_ = buildInsertSql();
            QStringList names, places;
            for (const auto& [name, value] : values_) {
                if (holdsNullMarker(name)) continue;
                names << name;
                places << bound.bind(QStringLiteral("V"), value);
                written.push_back(name);
            }
            bound.text = QStringLiteral("insert into ") + tableName_ + QStringLiteral(" ( ") +
                         names.join(u',') + QStringLiteral(" ) values ( ") + places.join(u',') +
                         QStringLiteral(" )");
            break;
        }
        case Op::Select:
            selectSql_ = QStringLiteral("select ") + selectList_ + QStringLiteral(" from ") + tableName_ +
                         key_.whereClause();
            bound.text = QStringLiteral("select ") + selectList_ + QStringLiteral(" from ") + tableName_;
            bound.appendKey(key_);
            break;
        case Op::Update: {
            QStringList sets, places;
            written = changedNames();
            for (const QString& name : written) {
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
    // The server would refuse such texts with its own words, or not say which field it meant.
    checkTexts(written, chosen);
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
    } catch (const fb::Error& e) {
        if (own && q->transaction()->inTransaction()) q->transaction()->rollback();
        if (!e.hasGdsCode(fb::gds::Deadlock) && !e.hasGdsCode(fb::gds::UpdateConflict) &&
            !e.hasGdsCode(fb::gds::LockConflict)) {
            throw;
        }
        // Another workstation changed the row, or holds it changed and uncommitted. The codes stay,
        // for callers that retry later.
        const QString text = tr("kv_DBRecord.TDBRecord.UpdateConflict",
                                u"Запись изменена другим пользователем или изменяется им "
                                u"сейчас. Откройте её заново и повторите изменения.") +
                             tr("kv_DBRecord.TDBRecord.UpdateConflict_", u"\nТаблица: ") + tableName_;
        throw fb::Error(text, text, e.gdsCodes(), e.sqlCode());
    } catch (...) {
        if (own && q->transaction()->inTransaction()) q->transaction()->rollback();
        throw;
    }
}

void TDBRecord::Insert(fb::Transaction* transaction) {
    run(Op::Insert, transaction, false);
}

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
        throw core::Exception(
            tr("kv_DBRecord.TDBRecord.Update.Exception",
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

int TDBRecord::genId(fb::Transaction* transaction) const {
    return udb::genId(QStringLiteral("GEN_") + tableName_ + QStringLiteral("_ID"), transaction);
}

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
        throw core::Exception(
            tr("kv_DBRecord.TDBRecord.LoadFromInsertSql.Exception3",
               u"Неверная структура информации о полях или значениях записи в файле экспорта."));
    }
    // Values after the last field are not read.
    for (;;) {
        SetField(name, value);
        if (!nextField(line, fieldPos, parts.fieldsEnd, name)) return;
        if (!nextValue(line, valuePos, parts.valuesEnd, value)) {
            throw core::Exception(
                tr("kv_DBRecord.TDBRecord.LoadFromInsertSql.Exception2",
                   u"Не совпадает число полей и число значений полей в записи в файле экспорта"));
        }
    }
}

}  // namespace ufb
