#include "platform/fb/Statement.h"

#include <ibase.h>

#include <QStringDecoder>
#include <QStringEncoder>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/core/Formats.h"
#include "platform/fb/Client.h"
#include "platform/fb/Database.h"
#include "platform/fb/SqlText.h"
#include "platform/fb/StatementCache.h"
#include "platform/fb/Transaction.h"

namespace fb {

using namespace Firebird;
using core::Variant;
using core::VarType;
using detail::call;
using detail::MetaPtr;
using detail::Status;

namespace {

constexpr unsigned kCharsetOctets = 1;
constexpr unsigned kCharsetUnicodeFss = 3;
constexpr unsigned kCharsetUtf8 = 4;
// ISC_DATE counts days from 17.11.1858; the program's day numbers count from 30.12.1899.
constexpr int kIscDateOffset = 15018;
constexpr unsigned kBlobSegment = 32000;

ISC_TIME toIscTime(const core::DateTime& dt) {
    return static_cast<ISC_TIME>(dt.time().msecsSinceStartOfDay()) * 10;
}

core::DateTime fromIsc(ISC_DATE date, ISC_TIME time, bool hasDate) {
    const qint64 days = hasDate ? static_cast<qint64>(date) - kIscDateOffset : 0;
    const QTime t = QTime::fromMSecsSinceStartOfDay(static_cast<int>(time / 10));
    if (!hasDate) return core::DateTime::fromTime(t);
    return core::DateTime::fromDateTime(
        QDateTime(QDate::fromJulianDay(days + core::DateTime::kEpochJulianDay), t));
}

Variant scaled(qint64 raw, int scale) {
    if (scale == 0) return Variant(raw);
    if (scale >= -4) {
        qint64 factor = 1;
        for (int i = 0; i < 4 + scale; ++i) factor *= 10;
        qint64 tenThousandths = 0;
        if (!__builtin_mul_overflow(raw, factor, &tenThousandths)) return Variant(core::Currency{tenThousandths});
        // Beyond the currency's range the value still reads back as itself, as a float.
    }
    return Variant(static_cast<double>(raw) / std::pow(10.0, -scale));
}

FieldType fieldType(unsigned type, int subType, int scale) {
    switch (type) {
        case SQL_SHORT: return scale ? FieldType::Numeric : FieldType::SmallInt;
        case SQL_LONG: return scale ? FieldType::Numeric : FieldType::Integer;
        case SQL_INT64: return scale ? FieldType::Numeric : FieldType::BigInt;
        case SQL_FLOAT: return FieldType::Float;
        case SQL_DOUBLE: return FieldType::Double;
        case SQL_TEXT: return FieldType::Char;
        case SQL_VARYING: return FieldType::VarChar;
        case SQL_BLOB: return subType == 1 ? FieldType::TextBlob : FieldType::Blob;
        case SQL_TYPE_DATE: return FieldType::Date;
        case SQL_TYPE_TIME: return FieldType::Time;
        case SQL_TIMESTAMP: return FieldType::Timestamp;
        case SQL_BOOLEAN: return FieldType::Boolean;
        default: return FieldType::Other;
    }
}

// Characters of a text, as the server counts them (code points, not UTF-16 units).
qsizetype charCount(const QString& s) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (!(s[i].isLowSurrogate() && i > 0 && s[i - 1].isHighSurrogate())) ++n;
    }
    return n;
}

// The text converter of a server character set that cannot hold every character; empty for the
// sets that can (or that take bytes as they come).
QByteArray converterName(const QString& set) {
    if (set.startsWith(QStringLiteral("WIN"))) return "windows-" + set.mid(3).toLatin1();
    if (set == QStringLiteral("DOS866")) return "IBM866";
    if (set == QStringLiteral("KOI8R")) return "KOI8-R";
    if (set == QStringLiteral("KOI8U")) return "KOI8-U";
    if (set.startsWith(QStringLiteral("ISO8859_"))) return "ISO-8859-" + set.mid(8).toLatin1();
    return {};
}

// The first character of the text the converter cannot write; null when there is none.
QString firstUnwritable(const QString& text, const QByteArray& converter) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        // A converter may put a substitute in place of what it cannot write: only the way back tells.
        QStringEncoder encoder(converter.constData());
        QStringDecoder decoder(converter.constData());
        if (!encoder.isValid() || !decoder.isValid()) return {};
        const QString one = text.mid(i, n);
        const QString back = decoder.decode(encoder.encode(one));
        if (encoder.hasError() || back != one) return one;
        i += n - 1;
    }
    return {};
}

int bytesPerChar(unsigned charset) {
    switch (charset & 0xFF) {
        case kCharsetUtf8: return 4;
        case kCharsetUnicodeFss: return 3;
        default: return 1;
    }
}

QString decodeText(const char* data, unsigned length, unsigned charset) {
    if ((charset & 0xFF) == kCharsetOctets) return QString::fromLatin1(data, static_cast<int>(length));
    return QString::fromUtf8(data, static_cast<int>(length));
}

// One input value as it will travel: its wire type, and the bytes or text to send.
struct InputValue {
    unsigned type = SQL_NULL;
    int scale = 0;
    int subType = 0;
    unsigned charset = 0;
    unsigned length = 0;
    bool isNull = true;
    QByteArray text;  // SQL_VARYING and blob contents
    qint64 i64 = 0;
    double dbl = 0;
    ISC_DATE date = 0;
    ISC_TIME time = 0;
};

bool isTextType(unsigned t) { return t == SQL_TEXT || t == SQL_VARYING; }

// Chooses how a value travels to a parameter of the declared type: the server converts between
// types itself, so the value keeps its own kind wherever the server can take it.
InputValue makeInput(const Variant& v, unsigned declType, int declSub, int declScale, unsigned declLen,
                     unsigned declCharset) {
    InputValue in;
    if (v.isEmpty()) {
        in.type = declType;
        in.subType = declSub;
        in.scale = declScale;
        in.length = declLen;
        in.charset = declCharset;
        return in;
    }
    in.isNull = false;
    auto asText = [&](const QString& s) {
        in.type = SQL_VARYING;
        in.charset = kCharsetUtf8;
        in.text = s.toUtf8();
        in.length = static_cast<unsigned>(std::max<qsizetype>(in.text.size(), 1));
    };
    if (declType == SQL_BLOB) {
        in.type = SQL_BLOB;
        in.subType = declSub;
        in.charset = declCharset;
        in.length = sizeof(ISC_QUAD);
        in.text = declSub == 1 ? v.toText().toUtf8() : v.toText().toLatin1();
        return in;
    }
    switch (v.type()) {
        case VarType::Text: asText(v.toText()); break;
        case VarType::Bool:
            if (declType == SQL_BOOLEAN) {
                in.type = SQL_BOOLEAN;
                in.length = 1;
                in.i64 = v.toBool() ? 1 : 0;
            } else if (isTextType(declType)) {
                asText(v.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
            } else {
                in.type = SQL_INT64;
                in.length = 8;
                in.i64 = v.toBool() ? 1 : 0;
            }
            break;
        case VarType::Int32:
        case VarType::Int64:
            if (declType == SQL_BOOLEAN) {
                in.type = SQL_BOOLEAN;
                in.length = 1;
                in.i64 = v.toInt64() != 0;
            } else {
                in.type = SQL_INT64;
                in.length = 8;
                in.i64 = v.toInt64();
            }
            break;
        case VarType::Currency:
            in.type = SQL_INT64;
            in.length = 8;
            in.scale = -4;
            in.i64 = v.toCurrency().tenThousandths;
            break;
        case VarType::Double:
            in.type = SQL_DOUBLE;
            in.length = 8;
            in.dbl = v.toDouble();
            break;
        case VarType::DateTime: {
            const core::DateTime dt = v.toDateTime();
            if (isTextType(declType)) {
                asText(v.toText());
            } else if (declType == SQL_TYPE_DATE) {
                in.type = SQL_TYPE_DATE;
                in.length = sizeof(ISC_DATE);
                in.date = dt.dayNumber() + kIscDateOffset;
            } else if (declType == SQL_TYPE_TIME) {
                in.type = SQL_TYPE_TIME;
                in.length = sizeof(ISC_TIME);
                in.time = toIscTime(dt);
            } else {
                in.type = SQL_TIMESTAMP;
                in.length = sizeof(ISC_TIMESTAMP);
                in.date = dt.dayNumber() + kIscDateOffset;
                in.time = toIscTime(dt);
            }
            break;
        }
        default: break;
    }
    return in;
}

}  // namespace

struct Statement::Impl {
    IStatement* stmt = nullptr;
    Database* db = nullptr;  // the connection the statement is prepared on
    unsigned type = 0;
    bool parsed = false;
    ParsedSql sql;
    QStringList uniqueNames;
    std::vector<int> placeToParam;  // placeholder -> parameter slot
    std::vector<Variant> params;
    MetaPtr inMeta;
    MetaPtr outMeta;
    std::vector<FieldInfo> fields;
    std::vector<unsigned char> outBuf;
    QByteArray text;  // as the server got it: the key the statement is kept under for reuse
    IResultSet* cursor = nullptr;
    bool pendingRow = false;  // the one row of an executed procedure, not yet fetched
};

Statement::Statement(Transaction* transaction) : d_(std::make_unique<Impl>()) { setTransaction(transaction); }

Statement::~Statement() {
    releaseStatement();
    if (transaction_) transaction_->detach(this);
}

bool Statement::prepared() const { return d_->stmt != nullptr; }

void Statement::setTransaction(Transaction* transaction) {
    if (transaction == transaction_) return;
    closeCursor();
    if (transaction_) transaction_->detach(this);
    transaction_ = transaction;
    if (transaction_) transaction_->attach(this);
    if (d_->db && (!transaction_ || transaction_->defaultDatabase() != d_->db)) releaseStatement();
}

Database* Statement::database() const { return transaction_ ? transaction_->defaultDatabase() : nullptr; }

void Statement::setSql(const QString& sql) {
    releaseStatement();
    sql_ = sql;
    d_->parsed = false;
    d_->params.clear();
    rowsAffected_ = -1;
}

void Statement::setParamCheck(bool on) {
    if (on == paramCheck_) return;
    releaseStatement();
    paramCheck_ = on;
    d_->parsed = false;
    d_->params.clear();
}

namespace {

void parse(const QString& text, bool paramCheck, ParsedSql& sql, QStringList& unique, std::vector<int>& map) {
    sql = paramCheck ? parseParams(text) : ParsedSql{text, {}};
    unique.clear();
    map.clear();
    for (const QString& name : sql.names) {
        int slot = static_cast<int>(unique.indexOf(name));
        if (slot < 0) {
            slot = static_cast<int>(unique.size());
            unique << name;
        }
        map.push_back(slot);
    }
}

}  // namespace

QStringList Statement::paramNames() {
    if (!d_->parsed) {
        parse(sql_, paramCheck_, d_->sql, d_->uniqueNames, d_->placeToParam);
        d_->parsed = true;
        d_->params.assign(d_->uniqueNames.size(), Variant());
    }
    return d_->uniqueNames;
}

void Statement::setParam(const QString& name, const Variant& value) {
    const int slot = static_cast<int>(paramNames().indexOf(name.toUpper()));
    if (slot < 0) detail::raise(QStringLiteral("Parameter \"%1\" not found").arg(name));
    d_->params[slot] = value;
}

void Statement::setParam(int index, const Variant& value) {
    paramNames();
    if (!paramCheck_) {
        // Without names the placeholders are bound by position.
        ensurePrepared();
        if (d_->params.size() < d_->placeToParam.size()) d_->params.resize(d_->placeToParam.size());
    }
    if (index < 0 || index >= static_cast<int>(d_->params.size())) {
        detail::raise(QStringLiteral("Parameter index %1 out of range").arg(index));
    }
    d_->params[index] = value;
}

Variant Statement::param(const QString& name) {
    const int slot = static_cast<int>(paramNames().indexOf(name.toUpper()));
    if (slot < 0) detail::raise(QStringLiteral("Parameter \"%1\" not found").arg(name));
    return d_->params[slot];
}

void Statement::clearParams() {
    for (Variant& v : d_->params) v = Variant();
}

void Statement::prepare() {
    releaseStatement();
    ensurePrepared();
}

void Statement::ensurePrepared() {
    if (d_->stmt) return;
    if (!transaction_) detail::raise(QStringLiteral("Transaction not assigned"));
    Database* db = transaction_->defaultDatabase();
    if (!db) detail::raise(QStringLiteral("Transaction has no database"));
    if (sql_.trimmed().isEmpty()) detail::raise(QStringLiteral("Empty query"));
    paramNames();
    QByteArray text = detail::utf8(d_->sql.text);
    IAttachment* att = db->attachment();
    if (std::unique_ptr<detail::PreparedStatement> kept = db->statementCache().take(text)) {
        adopt(db, std::move(kept));
        d_->text = std::move(text);
        return;
    }
    ITransaction* tra = transaction_->handle();
    try {
        prepareOn(db, att, tra, text);
        d_->text = std::move(text);
    } catch (...) {
        // A statement prepared halfway is not left behind, unowned by any connection.
        releaseStatement();
        throw;
    }
}

void Statement::prepareOn(Database* db, IAttachment* att, ITransaction* tra, const QByteArray& text) {
    Status st;
    call([&] {
        d_->stmt = att->prepare(&st, tra, static_cast<unsigned>(text.size()), text.constData(), SQL_DIALECT_V6,
                                IStatement::PREPARE_PREFETCH_METADATA);
        d_->db = db;
        db->attach(this);
        d_->type = d_->stmt->getType(&st);
        if (d_->type == isc_info_sql_stmt_commit || d_->type == isc_info_sql_stmt_rollback ||
            d_->type == isc_info_sql_stmt_start_trans) {
            // Such a statement would end or replace the transaction behind its object's back.
            detail::raise(QStringLiteral("Transaction control statements are not allowed here; use the transaction: ") + sql_);
        }
        d_->inMeta.reset(d_->stmt->getInputMetadata(&st));
        d_->outMeta.reset(d_->stmt->getOutputMetadata(&st));
        IMessageMetadata* out = d_->outMeta.get();
        const unsigned n = out->getCount(&st);
        d_->fields.assign(n, FieldInfo{});
        for (unsigned i = 0; i < n; ++i) {
            FieldInfo& f = d_->fields[i];
            f.name = QString::fromUtf8(out->getAlias(&st, i));
            f.column = QString::fromUtf8(out->getField(&st, i));
            f.relation = QString::fromUtf8(out->getRelation(&st, i));
            f.scale = out->getScale(&st, i);
            f.type = fieldType(out->getType(&st, i), out->getSubType(&st, i), f.scale);
            f.nullable = out->isNullable(&st, i);
            const unsigned len = out->getLength(&st, i);
            f.size = (f.type == FieldType::Char || f.type == FieldType::VarChar)
                         ? static_cast<int>(len) / bytesPerChar(out->getCharSet(&st, i))
                         : static_cast<int>(len);
        }
        d_->outBuf.assign(out->getMessageLength(&st), 0);
    });
    // Kept statements hold their tables in use, which a metadata change of this connection would meet.
    if (d_->type == isc_info_sql_stmt_ddl) db->dropStatementCache();
    bindPlaces();
}

void Statement::adopt(Database* db, std::unique_ptr<detail::PreparedStatement> kept) {
    d_->stmt = std::exchange(kept->stmt, nullptr);
    d_->type = kept->type;
    d_->inMeta = std::move(kept->inMeta);
    d_->outMeta = std::move(kept->outMeta);
    d_->fields = std::move(kept->fields);
    d_->outBuf.assign(kept->outLength, 0);
    d_->db = db;
    db->attach(this);
    bindPlaces();
}

void Statement::bindPlaces() {
    if (paramCheck_) return;
    Status st;
    const unsigned count = call([&] { return d_->inMeta->getCount(&st); });
    d_->placeToParam.resize(count);
    for (unsigned i = 0; i < count; ++i) d_->placeToParam[i] = static_cast<int>(i);
    if (d_->params.size() < count) d_->params.resize(count);
}

void Statement::unprepare() { releaseStatement(false); }

void Statement::releaseStatement(bool keep) noexcept {
    closeCursor();
    d_->pendingRow = false;
    if (d_->stmt) {
        auto prepared = std::make_unique<detail::PreparedStatement>();
        prepared->stmt = std::exchange(d_->stmt, nullptr);
        // Metadata changes are never run twice alike, and would hold their objects for nothing.
        if (keep && d_->db && d_->db->connected() && d_->type != isc_info_sql_stmt_ddl && !d_->text.isEmpty()) {
            prepared->type = d_->type;
            prepared->inMeta = std::move(d_->inMeta);
            prepared->outMeta = std::move(d_->outMeta);
            prepared->fields = std::move(d_->fields);
            prepared->outLength = static_cast<unsigned>(d_->outBuf.size());
            try {
                d_->db->statementCache().put(d_->text, std::move(prepared));
            } catch (...) {
                // Out of memory: the statement is freed instead of kept.
            }
        }
    }
    d_->text.clear();
    d_->inMeta.reset();
    d_->outMeta.reset();
    d_->fields.clear();
    if (d_->db) {
        d_->db->detach(this);
        d_->db = nullptr;
    }
}

void Statement::transactionGone() noexcept {
    closeCursor();
    transaction_ = nullptr;
}

void Statement::closeCursor() noexcept {
    // An executed procedure's row belongs to its transaction as much as a cursor does.
    d_->pendingRow = false;
    if (!d_->cursor) return;
    try {
        Status st;
        d_->cursor->close(&st);
    } catch (...) {
        d_->cursor->release();
    }
    d_->cursor = nullptr;
}

void Statement::close() {
    closeCursor();
    d_->pendingRow = false;
}

bool Statement::cursorOpen() const { return d_->cursor != nullptr || d_->pendingRow; }

bool Statement::returnsRows() {
    ensurePrepared();
    return !d_->fields.empty();
}

void Statement::explainUnwritable(const Error& e) {
    const QByteArray converter = converterName(d_->db->defaultCharacterSet());
    if (converter.isEmpty()) return;
    for (unsigned place = 0; place < d_->placeToParam.size(); ++place) {
        const Variant& v = d_->params[d_->placeToParam[place]];
        if (v.type() != VarType::Text) continue;
        const QString bad = firstUnwritable(v.toText(), converter);
        if (bad.isEmpty()) continue;
        const QString text = QStringLiteral("Value of parameter %1 holds the character \"%2\" (U+%3), which the "
                                            "database cannot store")
                                 .arg(placeName(place), bad)
                                 .arg(bad.toUcs4().value(0), 4, 16, QChar(u'0'));
        throw Error(text, text, e.gdsCodes(), e.sqlCode());
    }
}

Statement::Kind Statement::kind() {
    ensurePrepared();
    switch (d_->type) {
        case isc_info_sql_stmt_select:
        case isc_info_sql_stmt_select_for_upd: return Kind::Select;
        case isc_info_sql_stmt_insert: return Kind::Insert;
        case isc_info_sql_stmt_update: return Kind::Update;
        case isc_info_sql_stmt_delete: return Kind::Delete;
        case isc_info_sql_stmt_exec_procedure: return Kind::Procedure;
        default: return Kind::Other;
    }
}

QString Statement::plan() {
    ensurePrepared();
    Status st;
    const char* text = nullptr;
    call([&] { text = d_->stmt->getPlan(&st, false); });
    return text ? QString::fromUtf8(text).trimmed() : QString();
}

QString Statement::placeName(unsigned place) const {
    if (paramCheck_ && place < d_->placeToParam.size()) return d_->uniqueNames.value(d_->placeToParam[place]);
    return QStringLiteral("#%1").arg(place + 1);
}

void Statement::execute() {
    close();
    if (!transaction_) detail::raise(QStringLiteral("Transaction not assigned"));
    if (d_->db && transaction_->defaultDatabase() != d_->db) releaseStatement();
    ensurePrepared();
    IAttachment* att = d_->db->attachment();
    ITransaction* tra = transaction_->handle();
    Status st;
    try {
        call([&] {
        IMessageMetadata* decl = d_->inMeta.get();
        const unsigned count = decl->getCount(&st);
        std::vector<InputValue> inputs(count);
        for (unsigned i = 0; i < count; ++i) {
            const Variant& v = d_->params[d_->placeToParam[i]];
            const unsigned type = decl->getType(&st, i);
            inputs[i] = makeInput(v, type, decl->getSubType(&st, i), decl->getScale(&st, i),
                                  decl->getLength(&st, i), decl->getCharSet(&st, i));
            if (isTextType(type) && !inputs[i].isNull && inputs[i].type == SQL_VARYING) {
                // Refused here, by name, rather than cut or failed by the server with no name at all.
                const qsizetype limit = decl->getLength(&st, i) / bytesPerChar(decl->getCharSet(&st, i));
                const qsizetype length = charCount(v.toText());
                if (length > limit || inputs[i].text.size() > 0xFFFF) {
                    detail::raise(QStringLiteral("Value of parameter %1 is too long: %2 characters, at most %3")
                                      .arg(placeName(i))
                                      .arg(length)
                                      .arg(limit));
                }
            }
        }
        MetaPtr meta;
        std::vector<unsigned char> inBuf;
        if (count) {
            IMetadataBuilder* b = detail::master()->getMetadataBuilder(&st, count);
            struct Release {
                IMetadataBuilder* b;
                ~Release() { b->release(); }
            } release{b};
            for (unsigned i = 0; i < count; ++i) {
                const InputValue& in = inputs[i];
                b->setType(&st, i, in.type | 1);
                b->setSubType(&st, i, in.subType);
                b->setLength(&st, i, in.length);
                b->setScale(&st, i, in.scale);
                b->setCharSet(&st, i, in.charset);
            }
            meta.reset(b->getMetadata(&st));
            inBuf.assign(meta->getMessageLength(&st), 0);
            for (unsigned i = 0; i < count; ++i) {
                const InputValue& in = inputs[i];
                unsigned char* p = inBuf.data() + meta->getOffset(&st, i);
                auto* nullFlag = reinterpret_cast<short*>(inBuf.data() + meta->getNullOffset(&st, i));
                *nullFlag = in.isNull ? -1 : 0;
                if (in.isNull) continue;
                switch (in.type) {
                    case SQL_VARYING: {
                        const auto len = static_cast<unsigned short>(in.text.size());
                        std::memcpy(p, &len, 2);
                        std::memcpy(p + 2, in.text.constData(), len);
                        break;
                    }
                    case SQL_INT64: std::memcpy(p, &in.i64, 8); break;
                    case SQL_DOUBLE: std::memcpy(p, &in.dbl, 8); break;
                    case SQL_BOOLEAN: *p = in.i64 ? 1 : 0; break;
                    case SQL_TYPE_DATE: std::memcpy(p, &in.date, sizeof(ISC_DATE)); break;
                    case SQL_TYPE_TIME: std::memcpy(p, &in.time, sizeof(ISC_TIME)); break;
                    case SQL_TIMESTAMP: {
                        ISC_TIMESTAMP ts{in.date, in.time};
                        std::memcpy(p, &ts, sizeof ts);
                        break;
                    }
                    case SQL_BLOB: {
                        ISC_QUAD id;
                        IBlob* blob = att->createBlob(&st, tra, &id, 0, nullptr);
                        for (qsizetype pos = 0; pos < in.text.size(); pos += kBlobSegment) {
                            const auto len = static_cast<unsigned>(std::min<qsizetype>(kBlobSegment, in.text.size() - pos));
                            blob->putSegment(&st, len, in.text.constData() + pos);
                        }
                        blob->close(&st);
                        std::memcpy(p, &id, sizeof id);
                        break;
                    }
                    default: break;
                }
            }
        }
        const bool select = d_->type == isc_info_sql_stmt_select || d_->type == isc_info_sql_stmt_select_for_upd;
        if (select) {
            d_->cursor = d_->stmt->openCursor(&st, tra, meta.get(), count ? inBuf.data() : nullptr,
                                              d_->outMeta.get(), 0);
            rowsAffected_ = 0;
        } else {
            const bool hasOutput = !d_->fields.empty();
            d_->stmt->execute(&st, tra, meta.get(), count ? inBuf.data() : nullptr,
                              hasOutput ? d_->outMeta.get() : nullptr, hasOutput ? d_->outBuf.data() : nullptr);
            d_->pendingRow = hasOutput;
            rowsAffected_ = static_cast<qint64>(d_->stmt->getAffectedRecords(&st));
        }
        });
    } catch (const Error& e) {
        if (e.hasGdsCode(gds::Transliteration)) explainUnwritable(e);
        throw;
    }
}

bool Statement::fetch() {
    if (!d_->db || !transaction_) return false;
    if (d_->pendingRow) {
        d_->pendingRow = false;
    } else {
        if (!d_->cursor) return false;
        Status st;
        const int rc = call([&] { return d_->cursor->fetchNext(&st, d_->outBuf.data()); });
        if (rc != IStatus::RESULT_OK) {
            closeCursor();
            return false;
        }
    }
    // Decode the row buffer into values.
    IAttachment* att = d_->db->attachment();
    Status st;
    call([&] {
        IMessageMetadata* out = d_->outMeta.get();
        const unsigned n = static_cast<unsigned>(d_->fields.size());
        row_.resize(n);
        const unsigned char* buf = d_->outBuf.data();
        for (unsigned i = 0; i < n; ++i) {
            if (*reinterpret_cast<const short*>(buf + out->getNullOffset(&st, i))) {
                row_[i] = Variant::null();
                continue;
            }
            const unsigned char* p = buf + out->getOffset(&st, i);
            const int scale = out->getScale(&st, i);
            switch (out->getType(&st, i)) {
                case SQL_TEXT: {
                    QString s = decodeText(reinterpret_cast<const char*>(p), out->getLength(&st, i),
                                           out->getCharSet(&st, i));
                    if ((out->getCharSet(&st, i) & 0xFF) != kCharsetOctets) {
                        qsizetype end = s.size();
                        while (end > 0 && s[end - 1] == u' ') --end;
                        s.truncate(end);
                    }
                    row_[i] = Variant(std::move(s));
                    break;
                }
                case SQL_VARYING: {
                    unsigned short len;
                    std::memcpy(&len, p, 2);
                    row_[i] = Variant(decodeText(reinterpret_cast<const char*>(p + 2), len, out->getCharSet(&st, i)));
                    break;
                }
                case SQL_SHORT: {
                    qint16 v;
                    std::memcpy(&v, p, 2);
                    row_[i] = scale ? scaled(v, scale) : Variant(static_cast<int>(v));
                    break;
                }
                case SQL_LONG: {
                    qint32 v;
                    std::memcpy(&v, p, 4);
                    row_[i] = scale ? scaled(v, scale) : Variant(static_cast<int>(v));
                    break;
                }
                case SQL_INT64: {
                    qint64 v;
                    std::memcpy(&v, p, 8);
                    row_[i] = scaled(v, scale);
                    break;
                }
                case SQL_FLOAT: {
                    float v;
                    std::memcpy(&v, p, 4);
                    row_[i] = Variant(static_cast<double>(v));
                    break;
                }
                case SQL_DOUBLE: {
                    double v;
                    std::memcpy(&v, p, 8);
                    row_[i] = Variant(v);
                    break;
                }
                case SQL_BOOLEAN: row_[i] = Variant(*p != 0); break;
                case SQL_TYPE_DATE: {
                    ISC_DATE v;
                    std::memcpy(&v, p, sizeof v);
                    row_[i] = Variant(core::DateTime(static_cast<double>(static_cast<qint64>(v) - kIscDateOffset)));
                    break;
                }
                case SQL_TYPE_TIME: {
                    ISC_TIME v;
                    std::memcpy(&v, p, sizeof v);
                    row_[i] = Variant(fromIsc(0, v, false));
                    break;
                }
                case SQL_TIMESTAMP: {
                    ISC_TIMESTAMP v;
                    std::memcpy(&v, p, sizeof v);
                    row_[i] = Variant(fromIsc(v.timestamp_date, v.timestamp_time, true));
                    break;
                }
                case SQL_BLOB: {
                    ISC_QUAD id;
                    std::memcpy(&id, p, sizeof id);
                    IBlob* blob = att->openBlob(&st, transaction_->handle(), &id, 0, nullptr);
                    QByteArray data;
                    char chunk[kBlobSegment];
                    for (;;) {
                        unsigned got = 0;
                        const int rc = blob->getSegment(&st, sizeof chunk, chunk, &got);
                        if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT) break;
                        data.append(chunk, got);
                    }
                    blob->close(&st);
                    row_[i] = out->getSubType(&st, i) == 1 ? Variant(QString::fromUtf8(data))
                                                            : Variant(QString::fromLatin1(data));
                    break;
                }
                default: row_[i] = Variant::null();
            }
        }
    });
    return true;
}

int Statement::fieldCount() {
    ensurePrepared();
    return static_cast<int>(d_->fields.size());
}

const FieldInfo& Statement::fieldInfo(int index) {
    ensurePrepared();
    if (index < 0 || index >= static_cast<int>(d_->fields.size())) {
        detail::raise(QStringLiteral("Field index %1 out of range").arg(index));
    }
    return d_->fields[index];
}

int Statement::fieldIndex(const QString& name) const {
    for (size_t i = 0; i < d_->fields.size(); ++i) {
        if (d_->fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    }
    return -1;
}

const Variant& Statement::value(int index) const {
    if (index < 0 || index >= static_cast<int>(row_.size())) {
        detail::raise(QStringLiteral("Field index %1 out of range").arg(index));
    }
    return row_[index];
}

const Variant& Statement::value(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0) detail::raise(QStringLiteral("Field \"%1\" not found").arg(name));
    return value(i);
}

}  // namespace fb
