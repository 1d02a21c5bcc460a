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
    clearFields();
    statement_.execute();
    for (int i = 0; i < statement_.fieldCount(); ++i) {
        const FieldInfo& f = statement_.fieldInfo(i);
        data::Field* field = addField(f.name, dataType(f), f.size);
        field->setRequired(!f.nullable);
    }
}

void Query::doClose() { statement_.close(); }

bool Query::doFetch(int count) {
    for (int i = 0; i < count; ++i) {
        if (!statement_.fetch()) return false;
        appendRow(statement_.row());
    }
    return true;
}

}  // namespace fb
