#include "kv_FbUtil.h"

#include <QDir>
#include <map>

#include "kv_Exception.h"
#include "kv_FbQueryGod.h"
#include "kv_FileUtils.h"
#include "kv_MainDb.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/core/Formats.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fb/Error.h"
#include "platform/fb/Query.h"
#include "platform/fb/Service.h"
#include "platform/os/Program.h"

namespace udb {

using core::Variant;
using core::VarType;

namespace {

using kvtr::tr;

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
        case VarType::Unassigned:
            throw core::Exception(QStringLiteral("udb::var2DbVar() - The variant is Unassigned"));
        case VarType::Null:
            return QStringLiteral("NULL");
        case VarType::Bool:
            return value.toBool() ? QStringLiteral("'1'") : QStringLiteral("'0'");
        case VarType::Double:
        case VarType::Currency: {
            core::ScopedDecimalSeparator point(u'.');
            return u'\'' + value.toText() + u'\'';
        }
        case VarType::DateTime:
            return u'\'' + core::dateTimeToStr(value.toDateTime()) + u'\'';
        default:
            return u'\'' + quoteSql(value.toText()) + u'\'';
    }
}

void execSql(const QString& sql, fb::Transaction* transaction) {
    ufb::AutoQuery q(sql, transaction);
    q->execSql();
    if (!transaction) q->transaction()->commit();
}

int genId(const QString& generator, fb::Transaction* transaction) {
    ufb::AutoQuery q(QStringLiteral("select GEN_ID(") + generator + QStringLiteral(",1)from rdb$database"),
                     transaction);
    q->open();
    return q->fieldByName(QStringLiteral("GEN_ID")).asInteger();
}

core::DateTime serverDate() {
    ufb::AutoQuery q(QStringLiteral("select CAST('Now' as Date) as curDateTime from RDB$DATABASE"), nullptr);
    q->open();
    return q->fieldByName(QStringLiteral("curDateTime")).asDateTime();
}

Variant getField(const QString& table, const QString& field, const Variant& keyValue,
                 const QString& keyField) {
    return getField(nullptr, table, field, keyValue, keyField);
}

Variant getField(fb::Transaction* transaction, const QString& table, const QString& field,
                 const Variant& keyValue, const QString& keyField) {
    ufb::AutoQuery q(transaction);
    if (table.contains(u' ')) {
        q->setSql(table);
    } else {
        // The key text is quote-doubled: a key with an apostrophe must not break the statement.
        q->setSql(QStringLiteral(" select ") + field + QStringLiteral(" from ") + table +
                  QStringLiteral(" where ") + keyField + QStringLiteral("='") + quoteSql(keyValue.toText()) +
                  u'\'');
    }
    q->open();
    if (q->isEmpty()) return Variant::null();
    return q->fieldByName(field).value();
}

Variant getFieldCache(const QString& table, const QString& field, const QString& keyValue,
                      const QString& keyField, const QString& filter) {
    FieldCache& cache = fieldCache();
    if (table == QStringLiteral("!")) {
        cache.clear();
        return Variant(0);
    }
    const QString notFound =
        tr("kv_FbUtil.udb.getFieldCache.Exception1", u"Не найдено значение в кэшированной таблице") +
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
    QString sql = QStringLiteral("select ") + keyField + QStringLiteral(", ") + field +
                  QStringLiteral(" from ") + table;
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
    checkRowCount(query.rowsAffected(), expected);
}

void checkRowCount(qint64 count, qint64 expected) {
    if (count == expected) return;
    throw core::Exception(tr("kv_FbUtil.udb.checkRowsAffected.Exception",
                             u"Неверное количество обработанных запросом строк. Ожидалось ") +
                          QString::number(expected) +
                          tr("kv_FbUtil.udb.checkRecordCount.Exception_", u" получили ") +
                          QString::number(count));
}

void refreshLocate(data::Dataset& dataset, const QString& keyField, const Variant& keyValue) {
    Variant value = keyValue;
    if (dataset.active()) {
        if (value.isUnassigned()) value = dataset.fieldByName(keyField).value();
        dataset.close();
    }
    dataset.open();
    dataset.locate(keyField, value);
}

void refreshLocateId(data::Dataset& dataset, int id) {
    refreshLocate(dataset, QStringLiteral("ID"), id);
}

void refetch(fb::Query& query) {
    query.close();
    query.open();
    query.fetchAll();
}

std::vector<int> columnToVector(data::Dataset& dataset, const QString& fieldName) {
    data::ControlsDisabled off(dataset);
    const data::Bookmark mark = dataset.bookmark();
    std::vector<int> out;
    data::Field& field = dataset.fieldByName(fieldName);
    for (dataset.first(); !dataset.eof(); dataset.next()) out.push_back(field.asInteger());
    if (dataset.bookmarkValid(mark)) dataset.gotoBookmark(mark);
    return out;
}

std::set<int> columnToSet(data::Dataset& dataset, const QString& fieldName) {
    const std::vector<int> values = columnToVector(dataset, fieldName);
    return std::set<int>(values.begin(), values.end());
}

QString columnToText(data::Dataset& dataset, const QString& fieldName, const QString& separator,
                     std::vector<Variant>* values) {
    if (!dataset.active()) return QString();
    const int recNo = dataset.recNo();
    QString text;
    data::Field& field = dataset.fieldByName(fieldName);
    for (dataset.first(); !dataset.eof();) {
        text += field.asString();
        if (values) values->push_back(field.value());
        dataset.next();
        if (!dataset.eof()) text += separator;
    }
    if (recNo > 0) dataset.setRecNo(recNo);
    return text;
}

QString joinFieldValues(data::Dataset& dataset, const QString& fieldName, const QString& separator,
                        std::vector<Variant>* values) {
    return columnToText(dataset, fieldName, separator, values);
}

double sumField(data::Dataset& dataset, const QString& fieldName) {
    const int recNo = dataset.recNo();
    double sum = 0;
    data::Field& field = dataset.fieldByName(fieldName);
    for (dataset.first(); !dataset.eof(); dataset.next()) sum += field.asFloat();
    if (recNo > 0) dataset.setRecNo(recNo);
    return sum;
}

namespace {

// The colon that ends a host: the first one, unless the path is a local file (it starts with "/",
// or the colon is a drive letter's: "C:\...", "C:/...").
int hostColon(const QString& path) {
    if (path.startsWith(u'/') || path.startsWith(u'\\')) return -1;
    const int colon = static_cast<int>(path.indexOf(u':'));
    if (colon == 1 && path[0].isLetter() && (path.size() == 2 || path[2] == u'\\' || path[2] == u'/')) {
        return -1;
    }
    return colon;
}

}  // namespace

QString dbHost(const QString& path) {
    const int colon = hostColon(path);
    return colon <= 0 ? QStringLiteral("127.0.0.1") : path.left(colon);
}

bool isLocalServer(const QString& path) {
    const QString host = dbHost(path).section(u'/', 0, 0).toUpper();
    return host == FileUtils::hostName().toUpper() || host == FileUtils::hostAddress() ||
           host == QStringLiteral("127.0.0.1") || host == QStringLiteral("LOCALHOST");
}

QString expandDbPath(const QString& path) {
    if (path.contains(u':')) return path;
    return QDir::cleanPath(QDir(os::programDir()).absoluteFilePath(path));
}

QString dbFilePath(const QString& path) {
    const int colon = hostColon(path);
    if (colon <= 0) return path;
    const QString rest = path.mid(colon + 1);
    // A file path follows the host: an absolute Unix path or a drive path; an alias stays as it is.
    if (rest.startsWith(u'/') || (hostColon(rest) < 0 && rest.contains(u':'))) return rest;
    return path;
}

void tryAsSysdba(const std::function<void(const QString& password)>& connect, const QString& password,
                 int attempts, QString* accepted) {
    const QString user = QStringLiteral("SYSDBA");
    const auto ask = [&user](QString& current) {
        QString name = user;
        return ui::dialogs().loginPrompt(tr("kv_FbUtil.udb.tryActivateSs.Dialog", u"Введите пароль SYSDBA"), name,
                                         true, current);
    };
    QString current = password;
    bool connected = false;
    // With no password known there is nothing to try before asking.
    bool asking = !current.isEmpty() || ask(current);
    for (int tries = 0; asking && !connected && tries < attempts;) {
        try {
            connect(current);
            connected = true;
        } catch (const fb::Error&) {
            ++tries;
            asking = tries < attempts && ask(current);
        }
    }
    if (!connected) {
        throw core::Exception(tr("kv_FbUtil.udb.tryActivateSs.Exception", u"Не удалось подключиться к системе безопасности"));
    }
    if (accepted) *accepted = current;
}

void tryActivateSs(fb::Service& service, const QString& password, int attempts, QString* accepted) {
    if (service.active()) return;
    service.setUserName(QStringLiteral("SYSDBA"));
    tryAsSysdba(
        [&service](const QString& current) {
            service.setPassword(current);
            service.attach();
        },
        password, attempts, accepted);
}

QString& sessionSysdbaPassword() {
    static QString password;
    return password;
}

}  // namespace udb

namespace ufb {

using core::Variant;

namespace {

QString locatError(const char* function, int line) {
    return KVLibTranslator::instance().translate(
               QStringLiteral("kv_FbUtil.QLocatRmb.init.Exception"),
               QStringLiteral("Неизвестный тип восстановления позиции в наборе данных")) +
           utl::placeTrailer(QString::fromLatin1(function), QStringLiteral("kv_FbUtil"), line);
}

bool isZero(const Variant& v) {
    if (v.isUnassigned()) return true;
    if (v.isNull()) return false;
    qint64 n = 0;
    if (v.type() == core::VarType::Text) return core::tryStrToInt64(v.toText(), n) && n == 0;
    return v.toDouble() == 0.0;
}

}  // namespace

QLocatRmb::QLocatRmb(quint8 mode, data::Dataset& dataset, bool disableControls, const QString& keyField,
                     const Variant& keyValue) {
    init(mode, dataset, disableControls, keyField, keyValue);
}

void QLocatRmb::init(quint8 mode, data::Dataset& dataset, bool disableControls, const QString& keyField,
                     const Variant& keyValue) {
    mode_ = mode;
    dataset_ = &dataset;
    controlsDisabledHere_ = disableControls;
    keyField_ = keyField;
    keyValue_ = keyValue;
    if (controlsDisabledHere_) {
        // Controls someone else disabled are theirs to enable.
        if (dataset.controlsDisabled()) {
            controlsDisabledHere_ = false;
        } else {
            dataset.disableControls();
        }
    }
    switch (mode) {
        case 0:
            if (keyField.toUpper() == QStringLiteral("ID") && isZero(keyValue)) {
                keyValue_ = dataset.fieldByName(keyField).asInteger();
            }
            break;
        case 1:
            bookmark_ = dataset.bookmark();
            break;
        case 2:
            recNo_ = dataset.recNo();
            break;
        default:
            throw core::Exception(locatError("QLocatRmb::init", 903));
    }
}

void QLocatRmb::reLocate() {
    if (!dataset_->active()) dataset_->open();
    switch (mode_) {
        case 0:
            dataset_->locate(keyField_, keyValue_);
            break;
        case 1:
            if (dataset_->bookmarkValid(bookmark_)) dataset_->gotoBookmark(bookmark_);
            break;
        case 2:
            dataset_->setRecNo(recNo_);
            break;
        default:
            throw core::Exception(locatError("QLocatRmb::reLocate", 942));
    }
    if (controlsDisabledHere_) dataset_->enableControls();
}

QLocatRmb::~QLocatRmb() {
    // Enabling again after reLocate did is harmless: the dataset ignores an enable with none outstanding.
    if (controlsDisabledHere_) dataset_->enableControls();
}

}  // namespace ufb
