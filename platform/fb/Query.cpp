#include "platform/fb/Query.h"

#include "platform/fb/Client.h"
#include "platform/fb/Error.h"
#include "platform/fb/Transaction.h"

namespace fb {

namespace {

data::DataType dataType(const FieldInfo& f) {
    switch (f.type) {
        case FieldType::SmallInt: return data::DataType::SmallInt;
        case FieldType::Integer: return data::DataType::Integer;
        case FieldType::BigInt: return data::DataType::LargeInt;
        case FieldType::Numeric: return f.scale >= -4 ? data::DataType::Currency : data::DataType::Float;
        case FieldType::Float:
        case FieldType::Double: return data::DataType::Float;
        case FieldType::Char:
        case FieldType::VarChar: return data::DataType::String;
        case FieldType::TextBlob: return data::DataType::Memo;
        case FieldType::Blob: return data::DataType::Blob;
        case FieldType::Date: return data::DataType::Date;
        case FieldType::Time: return data::DataType::Time;
        case FieldType::Timestamp: return data::DataType::DateTime;
        case FieldType::Boolean: return data::DataType::Boolean;
        case FieldType::Other: break;
    }
    return data::DataType::Unknown;
}

}  // namespace

Query::Query(Transaction* transaction, QObject* parent) : data::Dataset(parent) { setTransaction(transaction); }

Query::~Query() {
    close();
    unhookTransaction();
}

void Query::setTransaction(Transaction* transaction) {
    if (transaction == statement_.transaction()) return;
    close();
    unhookTransaction();
    statement_.setTransaction(transaction);
    hookTransaction();
    if (ownTransaction_ && ownTransaction_.get() != transaction) ownTransaction_.reset();
}

void Query::hookTransaction() {
    Transaction* t = statement_.transaction();
    if (!t) return;
    endHook_ = t->addEndHook([this] { transactionEnding(); });
    // Committed changes leave the log for good; rolled back ones are all pending again.
    commitHook_ = t->addCommitHook([this, t] {
        log_.erase(log_.begin(), log_.begin() + static_cast<std::ptrdiff_t>(applied_));
        applied_ = 0;
        // Kept open only for changes it still holds; with all of them committed it ends as any other.
        if (log_.empty() && !t->inTransaction()) close();
    });
    rollbackHook_ = t->addRollbackHook([this] { applied_ = 0; });
}

void Query::unhookTransaction() {
    // A destroyed transaction took its hooks with it (the statement forgot it then).
    Transaction* t = statement_.transaction();
    if (!t) return;
    t->removeEndHook(endHook_);
    t->removeCommitHook(commitHook_);
    t->removeRollbackHook(rollbackHook_);
}

void Query::transactionEnding() {
    if (log_.empty()) {
        close();
        return;
    }
    // The cached rows outlive the transaction with their changes; only the cursor goes.
    statement_.close();
    endFetch();
}

void Query::setOwnTransaction(std::unique_ptr<Transaction> transaction) {
    setTransaction(transaction.get());
    ownTransaction_ = std::move(transaction);
}

Database* Query::database() const { return statement_.database(); }

void Query::setSql(const QString& sql) {
    close();
    statement_.setSql(sql);
}

void Query::execSql() {
    close();
    statement_.execute();
    statement_.close();
}

void Query::doOpen() {
    statement_.execute();
    columnOf_.clear();
    if (hasPersistentFields()) {
        // Fields the owner defined take the statement's columns of the same names.
        for (int i = 0; i < fieldCount(); ++i) {
            data::Field* f = field(i);
            const int column = f->kind() == data::FieldKind::Data ? statement_.fieldIndex(f->fieldName()) : -1;
            if (f->kind() == data::FieldKind::Data && column < 0) {
                statement_.close();
                detail::raise(QStringLiteral("Field '%1' not found").arg(f->fieldName()));
            }
            columnOf_.push_back(column);
        }
        return;
    }
    for (int i = 0; i < statement_.fieldCount(); ++i) {
        const FieldInfo& f = statement_.fieldInfo(i);
        // Not marked required from NOT NULL: keys the database gives on insert arrive empty.
        addField(f.name, dataType(f), f.size);
    }
}

void Query::doClose() {
    statement_.close();
    // Closed by its owner, the dataset drops the changes it held with the rows they belong to.
    log_.clear();
    applied_ = 0;
}

bool Query::doFetch(int count) {
    for (int i = 0; i < count; ++i) {
        if (!statement_.fetch()) return false;
        if (columnOf_.empty()) {
            appendRow(statement_.row());
            continue;
        }
        std::vector<core::Variant> values(columnOf_.size(), core::Variant::null());
        for (size_t f = 0; f < columnOf_.size(); ++f) {
            if (columnOf_[f] >= 0) values[f] = field(static_cast<int>(f))->convert(statement_.value(columnOf_[f]));
        }
        appendRow(std::move(values));
    }
    return true;
}

void Query::setUpdateSql(UpdateKind kind, const QString& sql) { updateSql_[static_cast<int>(kind)] = sql; }

void Query::setCachedUpdates(bool on) {
    if (on == cached_) return;
    if (!on && updatesPending()) cancelUpdates();
    cached_ = on;
}

void Query::setGeneratorField(const QString& field, const QString& generator, int incrementBy) {
    generatorField_ = field;
    generator_ = generator;
    generatorStep_ = incrementBy;
}

void Query::doNewRecord() {
    if (generatorField_.isEmpty() || generator_.isEmpty()) return;
    if (!transaction()) detail::raise(QStringLiteral("Transaction not assigned"));
    Statement gen(transaction());
    gen.setSql(QStringLiteral("select gen_id(%1, %2) from RDB$DATABASE").arg(generator_).arg(generatorStep_));
    gen.execute();
    gen.fetch();
    fieldByName(generatorField_).setValue(gen.value(0));
}

bool Query::store(Change& change) {
    if (updateSql_[static_cast<int>(change.kind)].isEmpty()) {
        detail::raise(QStringLiteral("Cannot modify a read-only dataset"));
    }
    if (cached_) {
        // A row inserted and changed again before the changes are applied is stored by one insert:
        // a modify or delete would look for a row that is not stored yet.
        if (change.kind == UpdateKind::Modify || change.kind == UpdateKind::Delete) {
            for (size_t i = log_.size(); i-- > applied_;) {
                if (log_[i].row != change.row) continue;
                if (log_[i].kind == UpdateKind::Insert) {
                    if (change.kind == UpdateKind::Modify) {
                        log_[i].newValues = change.newValues;
                    } else {
                        log_.erase(log_.begin() + static_cast<std::ptrdiff_t>(i));
                    }
                    return false;
                }
                break;
            }
        }
        log_.push_back(change);
        return false;
    }
    run(change);
    return true;
}

void Query::doPost(const std::vector<core::Variant>& oldValues, std::vector<core::Variant>& newValues) {
    Change change{oldValues.empty() ? UpdateKind::Insert : UpdateKind::Modify, bookmark(), data::kNoBookmark,
                  oldValues, newValues};
    if (!store(change)) return;
    newValues = change.newValues;
    refresh(newValues);
}

void Query::refresh(std::vector<core::Variant>& values) {
    const QString& sql = updateSql_[static_cast<int>(UpdateKind::Refresh)];
    if (sql.isEmpty()) return;
    Statement q(transaction());
    q.setSql(sql);
    for (const QString& name : q.paramNames()) {
        if (data::Field* f = findField(name)) q.setParam(name, values[f->index()]);
    }
    q.execute();
    if (q.fetch()) {
        for (int i = 0; i < q.fieldCount(); ++i) {
            if (data::Field* f = findField(q.fieldInfo(i).name); f && f->kind() == data::FieldKind::Data) {
                values[f->index()] = f->convert(q.value(i));
            }
        }
    }
}

void Query::doDelete(const std::vector<core::Variant>& values) {
    Change change{UpdateKind::Delete, bookmark(), rowBefore(bookmark()), values, {}};
    store(change);
}

namespace {

const QString kChanged = QStringLiteral("The record was changed or deleted by another user");

}  // namespace

void Query::run(Change& change) {
    if (!transaction()) detail::raise(QStringLiteral("Transaction not assigned"));
    Statement q(transaction());
    q.setSql(updateSql_[static_cast<int>(change.kind)]);
    const bool deleting = change.kind == UpdateKind::Delete;
    for (const QString& name : q.paramNames()) {
        data::Field* f = findField(name);
        // A deleted row has only its stored values: ":X" and ":OLD_X" both name them.
        const std::vector<core::Variant>* source = deleting ? &change.oldValues : &change.newValues;
        if (!f && name.startsWith(QStringLiteral("OLD_"))) {
            f = findField(name.mid(4));
            source = &change.oldValues;
        }
        if (!f) detail::raise(QStringLiteral("Field '%1' not found").arg(name));
        q.setParam(name, source->empty() ? core::Variant::null() : (*source)[f->index()]);
    }
    try {
        q.execute();
    } catch (const Error& e) {
        if (e.hasGdsCode(gds::UpdateConflict) || e.hasGdsCode(gds::LockConflict) || e.hasGdsCode(gds::Deadlock)) {
            throw Error(kChanged + QStringLiteral(".\n\n") + e.fullText(), kChanged, e.gdsCodes(), e.sqlCode());
        }
        throw;
    }
    const Statement::Kind kind = q.kind();
    if ((kind == Statement::Kind::Update || kind == Statement::Kind::Delete) && q.rowsAffected() == 0 &&
        change.kind != UpdateKind::Insert) {
        // Stored by nobody is not stored: the row is gone or its key changed under us.
        detail::raise(kChanged);
    }
    if (q.returnsRows() && q.fetch() && !change.newValues.empty()) {
        for (int i = 0; i < q.fieldCount(); ++i) {
            if (data::Field* f = findField(q.fieldInfo(i).name); f && f->kind() == data::FieldKind::Data) {
                change.newValues[f->index()] = f->convert(q.value(i));
            }
        }
    }
    q.close();
}

void Query::applyUpdates() {
    checkBrowseMode();
    // Applied in the order the changes were made; after a failure the log still holds every change
    // not committed, and a retry in the same transaction goes on from the one that failed.
    while (applied_ < log_.size()) {
        const std::vector<core::Variant> sent = log_[applied_].newValues;
        run(log_[applied_]);
        ++applied_;
        writeBack(applied_ - 1, sent);
    }
}

void Query::writeBack(size_t index, const std::vector<core::Variant>& sent) {
    Change& change = log_[index];
    if (change.kind == UpdateKind::Delete) return;
    refresh(change.newValues);
    // A key the database gave must reach the later changes of the same row, or they would miss it.
    for (size_t later = index + 1; later < log_.size(); ++later) {
        Change& next = log_[later];
        if (next.row != change.row) continue;
        for (size_t f = 0; f < sent.size() && f < change.newValues.size(); ++f) {
            if (sent[f] == change.newValues[f]) continue;
            if (f < next.oldValues.size() && next.oldValues[f] == sent[f]) next.oldValues[f] = change.newValues[f];
            if (f < next.newValues.size() && next.newValues[f] == sent[f]) next.newValues[f] = change.newValues[f];
        }
    }
    // The row shows its newest change, now with the values the database gave.
    const Change* newest = &change;
    for (size_t later = index + 1; later < log_.size(); ++later) {
        if (log_[later].row == change.row) newest = &log_[later];
    }
    if (newest->kind != UpdateKind::Delete) setRowValues(change.row, newest->newValues);
}

void Query::undo(const Change& change) {
    switch (change.kind) {
        case UpdateKind::Insert: removeRow(change.row); break;
        case UpdateKind::Modify: setRowValues(change.row, change.oldValues); break;
        case UpdateKind::Delete: insertRow(change.prev, change.row, change.oldValues); break;
        case UpdateKind::Refresh: break;
    }
}

void Query::cancelUpdates() {
    if (state() == data::DatasetState::Edit || state() == data::DatasetState::Insert) cancel();
    if (log_.empty()) return;
    if (active()) {
        // Undone newest first, so every row returns to the place and values it had.
        for (auto it = log_.rbegin(); it != log_.rend(); ++it) undo(*it);
    }
    log_.clear();
    applied_ = 0;
}

}  // namespace fb
