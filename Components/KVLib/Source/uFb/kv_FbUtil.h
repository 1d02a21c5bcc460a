#pragma once
// Small database helpers: SQL literals, one-shot statements, generators, the server date, single
// field reads and the process-wide cache of small directory tables.

#include <QString>
#include <functional>
#include <set>
#include <vector>

#include "platform/core/Variant.h"
#include "platform/data/Dataset.h"

namespace fb {
class Query;
class Service;
class Transaction;
}  // namespace fb

namespace udb {

// The text with every single quote doubled, and back.
QString quoteSql(const QString& text);
QString unquoteSql(const QString& text);

// A value as an SQL literal: NULL, '1'/'0' for truth values, numbers with "." whatever the process
// separator, dates in the process formats, other values quote-doubled; all but NULL in quotes.
// An unassigned value raises "udb::var2DbVar() - The variant is Unassigned".
QString var2DbVar(const core::Variant& value);

// Runs the statement on the transaction, or on a transaction of its own (committed) when it is null.
void execSql(const QString& sql, fb::Transaction* transaction = nullptr);
// The generator's next value (each call advances it), taken on the transaction, or on one of its own
// when it is null. A generator ignores transactions, so the value is taken for good either way; on
// the caller's transaction it costs no commit of its own.
int genId(const QString& generator, fb::Transaction* transaction = nullptr);
// The server's current date, without time.
core::DateTime serverDate();

// One field of the first row (null when there is none): "table" is a table name, or a whole select
// statement when it contains a blank. Without a transaction the read runs on a transaction of its own.
core::Variant getField(const QString& table, const QString& field, const core::Variant& keyValue,
                       const QString& keyField);
core::Variant getField(fb::Transaction* transaction, const QString& table, const QString& field,
                       const core::Variant& keyValue, const QString& keyField);

// A field of a small table (at most 1000 rows) by key text, through a process-wide cache filled on
// first use and never refreshed. Table "!" empties the cache.
core::Variant getFieldCache(const QString& table, const QString& field, const QString& keyValue,
                            const QString& keyField, const QString& filter = QString());

// Raises when the last statement of the query touched another number of rows than expected.
void checkRowsAffected(const fb::Query& query, qint64 expected);
// The same check and message for a number of rows counted otherwise.
void checkRowCount(qint64 count, qint64 expected);

// Dataset positions after a reload.

// Reopens the dataset and moves to the row whose key field equals the value (the current row's value
// when it is unassigned); a value not found leaves the first row current.
void refreshLocate(data::Dataset& dataset, const QString& keyField,
                   const core::Variant& keyValue = core::Variant());
void refreshLocateId(data::Dataset& dataset, int id);
// Closes, opens and reads every row.
void refetch(fb::Query& query);
// The field's integer values over all rows, in row order; the position and views are kept.
std::vector<int> columnToVector(data::Dataset& dataset, const QString& fieldName);
std::set<int> columnToSet(data::Dataset& dataset, const QString& fieldName);
// The field's texts of every row joined by the separator; each value is also appended to the list
// when one is given. A closed or empty dataset gives the empty text.
QString columnToText(data::Dataset& dataset, const QString& fieldName, const QString& separator,
                     std::vector<core::Variant>* values = nullptr);
// The same join under the name the cash orders know it by.
QString joinFieldValues(data::Dataset& dataset, const QString& fieldName, const QString& separator,
                        std::vector<core::Variant>* values = nullptr);
double sumField(data::Dataset& dataset, const QString& fieldName);

// Database paths: a file on this computer, or "host[/port]:path" (or an alias) on a server.

// The host of the path ("127.0.0.1" for a local path; a "/port" suffix is kept).
QString dbHost(const QString& path);
// True when the path's host is this computer.
bool isLocalServer(const QString& path);
// A path without a colon made absolute against the program's folder; others unchanged.
QString expandDbPath(const QString& path);
// The file path on the server without "host:", when a file path follows it; else unchanged.
QString dbFilePath(const QString& path);

// Attaches the service manager as SYSDBA, asking for the password again (up to attempts in all);
// raises when every attempt failed or the user cancelled. An empty password is never tried: the
// prompt comes first. The password the server accepted is given back in *accepted.
void tryActivateSs(fb::Service& service, const QString& password, int attempts, QString* accepted = nullptr);
// The same for any other connection made as SYSDBA: connect attaches with the password or raises
// fb::Error.
void tryAsSysdba(const std::function<void(const QString& password)>& connect, const QString& password,
                 int attempts, QString* accepted = nullptr);
// The administrator's password typed in this session, empty until one was accepted. It lives in
// memory only and is never written anywhere: no administrator password is built into the program.
QString& sessionSysdbaPassword();

}  // namespace udb

namespace ufb {

// A remembered dataset position, to return to after a reload: by key field and value (mode 0), by
// bookmark (mode 1) or by record number (mode 2). It may hold the dataset's controls disabled meanwhile.
class QLocatRmb {
public:
    QLocatRmb(quint8 mode, data::Dataset& dataset, bool disableControls = false,
              const QString& keyField = QString(), const core::Variant& keyValue = core::Variant());
    virtual ~QLocatRmb();
    QLocatRmb(const QLocatRmb&) = delete;
    QLocatRmb& operator=(const QLocatRmb&) = delete;

    void reLocate();

private:
    void init(quint8 mode, data::Dataset& dataset, bool disableControls, const QString& keyField,
              const core::Variant& keyValue);

    quint8 mode_ = 0;
    data::Dataset* dataset_ = nullptr;
    bool controlsDisabledHere_ = false;
    QString keyField_;
    core::Variant keyValue_;
    data::Bookmark bookmark_ = data::kNoBookmark;
    int recNo_ = 0;
};

}  // namespace ufb
