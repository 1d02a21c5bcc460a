#include "platform/fb/Query.h"

#include "platform/fb/Client.h"
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
    if (transaction_) transaction_->removeEndHook(endHook_);
}

void Query::setTransaction(Transaction* transaction) {
    if (transaction == transaction_) return;
    close();
    if (transaction_) transaction_->removeEndHook(endHook_);
    transaction_ = transaction;
    statement_.setTransaction(transaction);
    if (transaction_) endHook_ = transaction_->addEndHook([this] { close(); });
    if (ownTransaction_ && ownTransaction_.get() != transaction) ownTransaction_.reset();
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

void Query::doClose() { statement_.close(); }

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
    Statement gen(transaction_);
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
        if (log_.empty()) snapshot_ = snapshotRows();
        log_.push_back(change);
        return false;
    }
    run(change);
    return true;
}

void Query::doPost(const std::vector<core::Variant>& oldValues, std::vector<core::Variant>& newValues) {
    Change change{oldValues.empty() ? UpdateKind::Insert : UpdateKind::Modify, oldValues, newValues};
    if (!store(change)) return;
    newValues = change.newValues;
    const QString& refresh = updateSql_[static_cast<int>(UpdateKind::Refresh)];
    if (refresh.isEmpty()) return;
    // Values the database set (triggers, defaults) come back through the refresh statement.
    Statement q(transaction_);
    q.setSql(refresh);
    for (const QString& name : q.paramNames()) {
        if (data::Field* f = findField(name)) q.setParam(name, newValues[f->index()]);
    }
    q.execute();
    if (q.fetch()) {
        for (int i = 0; i < q.fieldCount(); ++i) {
            if (data::Field* f = findField(q.fieldInfo(i).name); f && f->kind() == data::FieldKind::Data) {
                newValues[f->index()] = q.value(i);
            }
        }
    }
}

void Query::doDelete(const std::vector<core::Variant>& values) {
    Change change{UpdateKind::Delete, values, {}};
    store(change);
}

void Query::run(Change& change) {
    if (!transaction_) detail::raise(QStringLiteral("Transaction not assigned"));
    Statement q(transaction_);
    q.setSql(updateSql_[static_cast<int>(change.kind)]);
    for (const QString& name : q.paramNames()) {
        data::Field* f = findField(name);
        const std::vector<core::Variant>* source = &change.newValues;
        if (!f && name.startsWith(QStringLiteral("OLD_"))) {
            f = findField(name.mid(4));
            source = &change.oldValues;
        }
        if (!f) detail::raise(QStringLiteral("Field '%1' not found").arg(name));
        q.setParam(name, source->empty() ? core::Variant::null() : (*source)[f->index()]);
    }
    q.execute();
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
    // Applied in the order the changes were made; on a failure the rest stay pending.
    while (!log_.empty()) {
        run(log_.front());
        log_.erase(log_.begin());
    }
    snapshot_.clear();
}

void Query::cancelUpdates() {
    if (state() == data::DatasetState::Edit || state() == data::DatasetState::Insert) cancel();
    if (log_.empty()) return;
    restoreRows(snapshot_);
    log_.clear();
    snapshot_.clear();
}

}  // namespace fb
