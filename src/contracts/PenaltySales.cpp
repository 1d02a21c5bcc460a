#include "PenaltySales.h"

#include <algorithm>

#include "PenaltyContracts.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100Field.h"
#include "kv_Translator.h"
#include "platform/core/Exception.h"
#include "platform/fb/Database.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

using kvtr::tr;

// The place the " \n\nInfo: " trailers of this unit name: its path in the source tree and the line.
QString place(int line) {
    return QStringLiteral("src/contracts/PenaltySales.cpp:") + QString::number(line);
}

// The sale lookups of the list and of getSaleDebt use two wordings of the same message.
[[noreturn]] void failDb(const char16_t* defaultText, const QString& trailer) {
    throw core::Exception(tr("exception.DB", defaultText) + trailer);
}

const char16_t* const kNoSaleShort = u"Не удалось прочитать информацию из базы";
const char16_t* const kNoSaleLong = u"Не удалось прочитать информацию из базы данных";

// A money column of a stored row; NULL counts as nothing.
int moneyOf(const Variant& value) {
    return value.isEmpty() ? 0 : value.toInt();
}

// The contract's SALES row on the database (null: the program's); false when there is none.
bool readSale(TSaleInfo& sale, int contractId, fb::Database* database) {
    if (database) sale.setDatabase(database);
    sale.setValue(TSaleInfo::sCONTRACT_ID, contractId);
    return sale.Select() > 0;
}

int profitOf(const TSaleInfo& sale, int contractId) {
    return moneyOf(sale.getValue(TSaleInfo::sSALE_SUM)) - getSaleDebt(contractId, true).getSaleSum();
}

// The first row's column of a one-off select on the database; unassigned when no row came back.
Variant firstValue(fb::Database* database, const QString& sql, const QString& field) {
    std::unique_ptr<fb::Query> q = udb::createQuery(database);
    q->setSql(sql);
    q->open();
    if (q->eof()) return Variant();
    return q->fieldByName(field).value();
}

}  // namespace

// ---- TSaleInfo ------------------------------------------------------------------------------------

TSaleInfo::TSaleInfo(fb::Transaction* transaction) : TDBRecord(QStringLiteral("SALES"), transaction) {}

TSaleInfo::TSaleInfo(int contractId, fb::Transaction* transaction)
    : TDBRecord(QStringLiteral("SALES"), QStringLiteral("CONTRACT_ID"), contractId, transaction) {
    Select();
}

Variant TSaleInfo::getValue(int index) const {
    return GetField(QString::fromLatin1(salesFields[index]), true);
}

void TSaleInfo::setValue(int index, const Variant& value) {
    SetField(QString::fromLatin1(salesFields[index]), value, index == sCONTRACT_ID);
}

void TSaleInfo::fill(int saleSum, const DebtSums& debts, bool withMoneyBack) {
    setValue(sSALE_BASE, debts.base);
    setValue(sSALE_STORAGE, debts.storage);
    setValue(sSALE_PERC, debts.perc);
    setValue(sSALE_PENALTY, debts.penalty);
    setValue(sSALE_SUM, saleSum);

    const qint64 sum = saleSum;
    setValue(sMONEY_BACK_SUM, withMoneyBack ? static_cast<int>(sum - debts.getTotal()) : 0);

    // Each part takes what the full debts before it leave of the sum, up to its own debt.
    qint64 left = sum;
    const std::pair<int, int> parts[] = {{sBASE_SUM, debts.base},
                                         {sSTORAGE_SUM, debts.storage},
                                         {sPERC_SUM, debts.perc},
                                         {sPENALTY_SUM, debts.penalty}};
    for (const auto& [column, debt] : parts) {
        setValue(column, static_cast<int>(std::max<qint64>(0, std::min<qint64>(debt, left))));
        left -= debt;
    }
}

// ---- the debt of a sale ---------------------------------------------------------------------------

DebtSums getSaleDebt(int contractId, bool useCache) {
    // SALES rows belong to their contract (foreign key): a contract that cannot be read has no sale
    // either, so the one read of the sale answers for both.
    TSaleInfo sale(nullptr);
    if (!readSale(sale, contractId, nullptr))
        failDb(kNoSaleLong, QStringLiteral(" \n\nInfo: ") + place(__LINE__));
    const TPenaltyContractInfo contract(contractId, nullptr);
    const Variant close = contract.getContractValue(TPenaltyContractInfo::cCONTRACT_CLOSE);
    PercCalc calc(&contract, nullptr);
    return calc.getDebt(close.isEmpty() ? DateTime() : close.toDateTime(), false, useCache);
}

// ---- TSales ---------------------------------------------------------------------------------------

TSales::TSales(fb::Database* database, TPenaltyContracts* contracts)
    : QueryWrapper(database), contracts_(contracts) {
    setSql(QStringLiteral(
        "select S.CONTRACT_ID, S.SALE_SUM, S.MONEY_BACK_SUM, S.BASE_SUM, S.STORAGE_SUM, S.PERC_SUM, "
        "S.PENALTY_SUM, A.AGENT_NAME, C.CONTRACT_CLOSE, C.CONTRACT_NUM, S.SALE_INFO from SALES S "
        "left join PENALTY_CONTRACTS C on S.CONTRACT_ID = C.CONTRACT_ID "
        "left join AGENTS A on S.AGENT_ID = A.AGENT_ID "
        "where S.CONTRACT_ID = :CONTRACT_ID"));
    initFields();
}

void TSales::initFields() {
    addIntegerField(QStringLiteral("CONTRACT_ID"));
    addStringField(QStringLiteral("CONTRACT_NUM"), 80);
    addDateField(QStringLiteral("CONTRACT_CLOSE"));
    addMoney100Field(QStringLiteral("SALE_SUM"));
    auto profit = std::make_unique<data::Field>(data::DataType::Integer, 0, data::FieldKind::Calculated);
    profit->setDisplayFormat(QStringLiteral("0.00"));
    profit->setEditFormat(QStringLiteral("0.00"));
    profit->setOnGetText(&ufb::TMoney100Field::getMoneyText);
    addField(std::move(profit), QStringLiteral("PROFIT"));
    for (const char* money : {"MONEY_BACK_SUM", "BASE_SUM", "STORAGE_SUM", "PERC_SUM", "PENALTY_SUM"}) {
        addMoney100Field(QString::fromLatin1(money));
    }
    addField(std::make_unique<data::Field>(data::DataType::String, 80, data::FieldKind::Calculated),
             QStringLiteral("AGENT_NAME"));
    addStringField(QStringLiteral("SALE_INFO"), 255);

    getDataSet()->onCalcFields = [this](data::Dataset& ds) { OnCalcFields(ds); };

    auto column = [this](const char* field, int width, const QString& title, bool sortable = false) {
        addColumnEh(QString::fromLatin1(field), width, title, sortable ? QString() : noSortMarker);
    };
    column("CONTRACT_NUM", 60, tr("field.CONTRACT", u"Договор"));
    column("CONTRACT_CLOSE", 70, tr("PenaltyContracts.TSales.CONTRACT_CLOSE", u"Реализация|Дата"));
    // The "С" of "Сумма" has always been the Latin C here.
    column("SALE_SUM", 70, tr("PenaltyContracts.TSales.SALE_SUM", u"Реализация|Cумма"));
    column("PROFIT", 70, tr("PenaltyContracts.TSales.PROFIT", u"Реализация|Доход"));
    column("MONEY_BACK_SUM", 70, tr("PenaltyContracts.TSales.MONEY_BACK_SUM", u"Реализация|Возврат"));
    column("BASE_SUM", 70, tr("PenaltyContracts.TSales.BASE_SUM", u"Погашено|Осн.сумма"));
    column("STORAGE_SUM", 70, tr("PenaltyContracts.TSales.STORAGE_SUM", u"Погашено|Хранение"));
    column("PERC_SUM", 70, tr("PenaltyContracts.TSales.PERC_SUM", u"Погашено|Проценты"));
    column("PENALTY_SUM", 70, tr("PenaltyContracts.TSales.PENALTY_SUM", u"Погашено|Пеня"), true);
    column("AGENT_NAME", 80, QStringLiteral("Агент"));
    column("SALE_INFO", 240, tr("field.INFO", u"Примечание"));
}

bool TSales::open() {
    prepareSql();  // a new statement text forgets its parameters, so the contract is given after it
    getQuery()->setParam(QStringLiteral("CONTRACT_ID"), contractId_);
    return IbDataSetWrapper::open();
}

bool TSales::insertRecord(ufb::TDBRecord& record) {
    record.setDatabase(getDatabase());
    record.Insert();
    return true;
}

void TSales::updateRecord(TSaleInfo& record) {
    record.setDatabase(getDatabase());
    record.Update();
}

void TSales::deleteRecord(TSaleInfo& record) {
    record.setDatabase(getDatabase());
    record.Delete();
}

void TSales::OnCalcFields(data::Dataset& dataset) {
    const data::Field& id = dataset.fieldByName(QStringLiteral("CONTRACT_ID"));
    if (id.isNull()) return;
    const int contractId = id.asInteger();
    TSaleInfo sale(nullptr);
    if (!readSale(sale, contractId, getDatabase())) return;
    dataset.fieldByName(QStringLiteral("PROFIT")).setValue(profitOf(sale, contractId));

    const QString literal = udb::var2DbVar(contractId);
    Variant agent = firstValue(
        getDatabase(),
        QStringLiteral(" select AGENT_NAME      from contract_import  where contract_id = ") + literal,
        QStringLiteral("AGENT_NAME"));
    if (agent.isUnassigned()) {
        agent = firstValue(getDatabase(),
                           QStringLiteral("select AGENT_NAME from agents,sales where sales.agent_id = "
                                          "agents.agent_id and sales.contract_id = ") +
                               literal,
                           QStringLiteral("AGENT_NAME"));
    }
    if (!agent.isUnassigned()) dataset.fieldByName(QStringLiteral("AGENT_NAME")).setValue(agent);
}

int TSales::GetProfit(int contractId) {
    TSaleInfo sale(nullptr);
    if (!readSale(sale, contractId, nullptr)) {
        failDb(kNoSaleShort, QStringLiteral(" \n\nInfo:  fn: TSales::GetProfit, ") + place(__LINE__));
    }
    return profitOf(sale, contractId);
}

int TSales::getSaleSumById(int contractId) {
    TSaleInfo sale(nullptr);
    if (!readSale(sale, contractId, nullptr)) {
        failDb(kNoSaleShort, QStringLiteral(" \n\nInfo:  fn: TSales::getSaleSumById, ") + place(__LINE__));
    }
    return moneyOf(sale.getValue(TSaleInfo::sSALE_SUM));
}

}  // namespace TolvLogic
