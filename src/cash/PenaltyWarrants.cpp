#include "PenaltyWarrants.h"

#include <QStringList>

#include "PenaltyContracts.h"
#include "PenaltyOperations.h"
#include "PenaltyWarrantTemplates.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/fb/Statement.h"
#include "platform/fb/Transaction.h"
#include "u_filials.h"

namespace TolvLogic {

using core::Variant;

namespace {

using kvtr::tr;

QString warrantColumn(int index) {
    return QString::fromLatin1(warrantesFields[index]);
}

QString registerColumn(int index) {
    return QString::fromLatin1(registersFields[index]);
}

// Every column of WARRANTES; its long texts hold up to 10000 characters, more than a plain text value
// of the connection carries.
QString warrantSelectList() {
    QStringList columns;
    for (const char* name : warrantesFields) {
        const QString column = QString::fromLatin1(name);
        const bool longText = column == QLatin1String("OPERATION_SUBJECT") ||
                              column == QLatin1String("FOUNDATION") || column == QLatin1String("ADDITION");
        columns << (longText ? ufb::TDBRecord::longTextColumn(column) : column);
    }
    columns << QStringLiteral("ID_NATIVE");
    return columns.join(QStringLiteral(", "));
}

bool isZero(const Variant& value) {
    return value.isEmpty() || value.toInt64() == 0;
}

}  // namespace

// ---- WarrantInfo ----------------------------------------------------------------------------------

WarrantInfo::WarrantInfo() {
    init();
}

WarrantInfo::WarrantInfo(int id, fb::Transaction* transaction) {
    init();
    SetKey(QStringLiteral("ID"), id);
    if (Select(transaction) == 0) {
        throw core::Exception(
            tr("PenaltyContracts.WarrantInfo.Exception", u"Невозможно загрузить ордер. ID=") +
            QString::number(id));
    }
}

WarrantInfo::~WarrantInfo() = default;

void WarrantInfo::init() {
    setTableName(QStringLiteral("WARRANTES"));
    setSelectList(warrantSelectList());
    Field(QStringLiteral("ID")) = -1;
}

Variant WarrantInfo::GetField(int index) const {
    return TDBRecord::GetField(warrantColumn(index), true);
}

void WarrantInfo::SetField(int index, const Variant& value) {
    if ((index == wOPERATION_SUBJECT || index == wADDITION) && !value.isEmpty()) {
        TDBRecord::SetField(warrantColumn(index), value.toText().left(kLongTextMax));
        return;
    }
    TDBRecord::SetField(warrantColumn(index), value);
}

bool WarrantInfo::isNew() const {
    const Variant id = TDBRecord::GetField(QStringLiteral("ID"), false);
    return !id.isEmpty() && id.toInt() == -1;
}

void WarrantInfo::keyById() {
    const Variant id = TDBRecord::GetField(QStringLiteral("ID"), true);
    clearKey();
    SetKey(QStringLiteral("ID"), id);
}

bool WarrantInfo::loadById(int id, fb::Transaction* transaction) {
    SetKey(QStringLiteral("ID"), id);
    return Select(transaction) > 0;
}

void WarrantInfo::loadOrInit(const core::DateTime& date, int templateId, const TPenaltyContractInfo& contract,
                             const TPenaltyOperationInfo* operation, fb::Transaction* transaction,
                             std::optional<int> serviceEvent) {
    clearKey();
    SetKey(QStringLiteral("W_DATE"), date);
    SetKey(QStringLiteral("ID_DIR_WARRANTES"), templateId);
    SetKey(QStringLiteral("ID_FILIAL"), contract.getContractValue(TPenaltyContractInfo::cFILIAL_ID));
    SetKey(QStringLiteral("ID_CONTRACT"), contract.getContractValue(TPenaltyContractInfo::cCONTRACT_ID));
    // Without an operation only the contract's own order counts, never an operation's order of the
    // same day and template (a credit increase's, for one).
    if (operation) {
        SetKey(QStringLiteral("ID_OPERATION"), operation->getValue(TPenaltyOperationInfo::oOP_ID));
    } else {
        SetKey(QStringLiteral("ID_OPERATION"), ufb::nullMarker);
    }
    if (serviceEvent) SetKey(QStringLiteral("ID_SERVICE_EVENT"), *serviceEvent);
    if (Select(transaction) == 0) {
        Field(QStringLiteral("ID")) = -1;
        Field(QStringLiteral("W_DATE")) = date;
        Field(QStringLiteral("ID_DIR_WARRANTES")) = templateId;
    }
}

void WarrantInfo::setDayKey(const core::DateTime& date, int templateId, int branchId,
                            std::optional<int> serviceEvent) {
    clearKey();
    SetKey(QStringLiteral("W_DATE"), date);
    SetKey(QStringLiteral("ID_DIR_WARRANTES"), templateId);
    SetKey(QStringLiteral("ID_FILIAL"), branchId);
    if (serviceEvent) SetKey(QStringLiteral("ID_SERVICE_EVENT"), *serviceEvent);
}

void WarrantInfo::initNew(const core::DateTime& date, int templateId) {
    Field(QStringLiteral("ID")) = -1;
    Field(QStringLiteral("W_DATE")) = date;
    Field(QStringLiteral("ID_DIR_WARRANTES")) = templateId;
}

void WarrantInfo::loadOrInitForDay(const core::DateTime& date, int templateId, int branchId,
                                   fb::Transaction* transaction, std::optional<int> serviceEvent) {
    setDayKey(date, templateId, branchId, serviceEvent);
    if (Select(transaction) == 0) initNew(date, templateId);
}

void WarrantInfo::loadOrInitForDay(const core::DateTime& date, int templateId, int branchId,
                                   data::Dataset* found, std::optional<int> serviceEvent) {
    setDayKey(date, templateId, branchId, serviceEvent);
    if (!found || !LoadFromDataSet(*found)) initNew(date, templateId);
}

QString WarrantInfo::selectList() {
    return warrantSelectList();
}

bool WarrantInfo::loadByOperation(int operationId, const QString& code, fb::Transaction* transaction) {
    DirWarrantInfo dirWarrant;
    dirWarrant.loadAutoWarrant(code, transaction);
    clearKey();
    SetKey(QStringLiteral("ID_OPERATION"), operationId);
    SetKey(QStringLiteral("ID_DIR_WARRANTES"), dirWarrant.GetField(DirWarrantInfo::dID));
    return Select(transaction) > 0;
}

bool WarrantInfo::loadByContract(int contractId, const QString& code, fb::Transaction* transaction) {
    DirWarrantInfo dirWarrant;
    dirWarrant.loadAutoWarrant(code, transaction);
    ufb::AutoQuery q(QStringLiteral("select ID from WARRANTES where ID_CONTRACT = :ID_CONTRACT and "
                                    "ID_DIR_WARRANTES = :ID_DIR_WARRANTES and ID_OPERATION is null"),
                     transaction);
    q->setParam(QStringLiteral("ID_CONTRACT"), contractId);
    q->setParam(QStringLiteral("ID_DIR_WARRANTES"), dirWarrant.GetField(DirWarrantInfo::dID));
    q->open();
    if (q->isEmpty()) return false;
    const int id = q->fieldByName(QStringLiteral("ID")).asInteger();
    clearKey();
    SetId(id);
    return Select(transaction) > 0;
}

bool WarrantInfo::saveOrDrop(const QString& number, fb::Transaction* transaction) {
    return saveOrDrop([&number] { return number; }, transaction);
}

bool WarrantInfo::saveOrDrop(const std::function<QString()>& number, fb::Transaction* transaction) {
    const bool zero = isZero(TDBRecord::GetField(QStringLiteral("W_SUM"), false));
    if (isNew()) {
        if (zero) return false;
        TDBRecord::SetField(QStringLiteral("NUMBER"), number());
        TDBRecord::SetField(QStringLiteral("ID"), Variant::null());
        Insert(transaction);
        return true;
    }
    keyById();
    if (zero) {
        Delete(transaction);
    } else {
        Update(transaction, false);
    }
    return false;
}

void WarrantInfo::save(fb::Transaction* transaction) {
    if (isNew()) {
        TDBRecord::SetField(QStringLiteral("ID"), Variant::null());
        Insert(transaction);
        return;
    }
    keyById();
    Update(transaction, false);
}

void WarrantInfo::deleteById(fb::Transaction* transaction) {
    const Variant id = TDBRecord::GetField(QStringLiteral("ID"), true);
    std::unique_ptr<fb::Transaction> own;
    fb::Transaction* chosen = transaction;
    if (!chosen) {
        own = udb::createTransaction(database());
        chosen = own.get();
    }
    try {
        fb::Statement st(chosen);
        st.setSql(QStringLiteral(" delete from WARRANTES  where ID = :ID"));
        st.setParam(QStringLiteral("ID"), id);
        st.execute();
        if (own) own->commit();
    } catch (...) {
        if (own && own->inTransaction()) own->rollback();
        throw;
    }
}

bool WarrantInfo::isAutomatic() const {
    const Variant id = TDBRecord::GetField(QStringLiteral("ID"), false);
    if (id.isEmpty()) return false;
    ufb::AutoQuery q(QStringLiteral("select DW.CODE from WARRANTES WR left join DIR_WARRANTES DW on "
                                    "DW.ID = WR.ID_DIR_WARRANTES where WR.ID = :ID"),
                     nullptr);
    q->setParam(QStringLiteral("ID"), id);
    q->open();
    const bool automatic = !q->isEmpty() && !q->fieldByName(QStringLiteral("CODE")).isNull();
    q->transaction()->rollback();  // read only: nothing to keep
    return automatic;
}

Variant WarrantInfo::getServiceSum() const {
    for (const char* share : {"CREDIT_SUM", "PERC_SUM", "PENALTY", "STORAGE_SUM"}) {
        const Variant value = TDBRecord::GetField(QString::fromLatin1(share), false);
        if (value.type() == core::VarType::Int32 || value.type() == core::VarType::Int64) return 0;
    }
    return TDBRecord::GetField(QStringLiteral("W_SUM"), false);
}

// ---- RegisterInfo ---------------------------------------------------------------------------------

RegisterInfo::RegisterInfo() {
    init();
}

RegisterInfo::RegisterInfo(int id) {
    init();
    SetKey(QStringLiteral("ID"), id);
    if (Select(nullptr) == 0) {
        throw core::Exception(
            tr("PenaltyContracts.RegisterInfo.Exception", u"Невозможно загрузить ведомость. ID=") +
            QString::number(id));
    }
}

RegisterInfo::~RegisterInfo() = default;

void RegisterInfo::init() {
    setTableName(QStringLiteral("REGISTERS"));
    Field(QStringLiteral("ID")) = -1;
}

Variant RegisterInfo::GetField(int index) const {
    return TDBRecord::GetField(registerColumn(index), true);
}

void RegisterInfo::SetField(int index, const Variant& value) {
    TDBRecord::SetField(registerColumn(index), value);
}

bool RegisterInfo::loadOrInit(int branchId, int rType, const core::DateTime& date, int subjType,
                              fb::Transaction* transaction) {
    clearKey();
    SetKey(QStringLiteral("R_DATE"), date);
    SetKey(QStringLiteral("R_TYPE"), rType);
    SetKey(QStringLiteral("ID_FILIAL"), branchId);
    SetKey(QStringLiteral("R_SUBJ_TYPE"), subjType);
    if (Select(transaction) > 0) return true;
    // A new register: the four stay as its values.
    clearKey();
    return false;
}

int RegisterInfo::insertNumbered(fb::Transaction* transaction) {
    const int counter = GetField(rR_TYPE).toInt() == 1 ? FilialInfo::fREG_RECEIPT_NUM_AUTOINC
                                                       : FilialInfo::fREG_EXPENSE_NUM_AUTOINC;
    SetField(rR_NUMBER, FilialInfo::scTakeNumber(GetField(rID_FILIAL).toInt(), counter, false, database()));
    const int id = genId(transaction);
    clearKey();
    SetKey(QStringLiteral("ID"), id);
    Insert(transaction);
    return id;
}

void RegisterInfo::deleteIfEmpty(fb::Transaction* transaction) {
    const Variant id = GetField(rID);
    {
        ufb::AutoQuery q(QStringLiteral("select first 1 ID from WARRANTES where ID_REGISTER = :ID"),
                         transaction);
        q->setParam(QStringLiteral("ID"), id);
        q->open();
        if (!q->isEmpty()) return;
    }
    clearKey();
    SetKey(QStringLiteral("ID"), id);
    Delete(transaction);
}

qint64 RegisterInfo::getSum(fb::Transaction* transaction) const {
    ufb::AutoQuery q(QStringLiteral("select sum(W_SUM) as SUM_ from WARRANTES where ID_REGISTER = :ID"),
                     transaction);
    q->setParam(QStringLiteral("ID"), GetField(rID));
    q->open();
    if (q->isEmpty()) return 0;
    const Variant sum = q->fieldByName(QStringLiteral("SUM_")).value();
    return sum.isEmpty() ? 0 : sum.toInt64();
}

}  // namespace TolvLogic
