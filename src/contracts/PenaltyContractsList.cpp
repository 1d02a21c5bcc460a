// The contract list: its statement, fields, columns, filters and debt lookups.
#include <QStringList>

#include "PenaltyContracts.h"
#include "PenaltySales.h"
#include "U_LoggedUser.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_Money100Field.h"
#include "kv_Translator.h"
#include "kv_settingsFile.h"
#include "platform/core/Exception.h"
#include "platform/fb/Query.h"
#include "u_ContractHooks.h"

namespace TolvLogic {

using core::DateTime;
using core::Variant;

namespace {

using kvtr::tr;

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

QString place(int line) {
    return QStringLiteral("src/contracts/PenaltyContractsList.cpp:") + QString::number(line);
}

// The keys of the rows a select gives, at most limit + 1 of them (the caller tells "too many" by it).
QStringList keysOf(fb::Database* database, fb::Transaction* transaction, const QString& sql) {
    std::unique_ptr<fb::Query> q = transaction ? udb::createQuery(transaction) : udb::createQuery(database);
    q->setSql(sql);
    q->open();
    QStringList keys;
    for (; !q->eof(); q->next()) keys << QString::number(q->field(0)->asInteger());
    q->close();
    return keys;
}

}  // namespace

QString sqlDate(DateTime date) {
    return u'\'' + date.date().toString(QStringLiteral("yyyy-MM-dd")) + u'\'';
}

TPenaltyContracts::TPenaltyContracts(fb::Transaction* transaction, bool withDebt)
    : TPenaltyContracts(true, withDebt, transaction, TolvMain::VuxSecur::isMaster()) {}

TPenaltyContracts::TPenaltyContracts(bool buildNow, bool withDebt, fb::Transaction* transaction,
                                     bool isManager)
    : QueryWrapper(transaction),
      listDate_(DateTime::today()),
      withDebt_(withDebt),
      isManager_(isManager),
      language_(
          utl::SettingsFile::readInt(QStringLiteral("LANG_MASTER"), QStringLiteral("interfeyce_lang"), 1)) {
    if (buildNow) initFields();
}

TPenaltyContracts::~TPenaltyContracts() = default;

bool TPenaltyContracts::open() {
    return QueryWrapper::open();
}

bool TPenaltyContracts::selectRecord(const Variant&, ufb::TDBRecord&) {
    throw core::Exception(
        QStringLiteral("Функцию нужно переделать, т.к. TPenaltyContractInfo уже не наследник TDBRecord "));
}

void TPenaltyContracts::addFilter(const QString& condition) {
    QString qualified = condition;
    qualified.replace(QStringLiteral(" CONTRACT_ID"), QStringLiteral(" C.CONTRACT_ID"));
    QueryWrapper::addFilter(qualified);
}

QString TPenaltyContracts::baseSelect() const {
    const QString lang = QString::number(language_);
    // The language conditions sit in the joins: in the where clause they would drop every contract
    // without a pledge type or without a name in the interface language. The acts are not joined here:
    // a contract in two acts would show twice.
    return QStringLiteral(
               "select C.CONTRACT_ID, C.CONTRACT_ID as ID, C.CONTRACT_NUM, CL.CLIENT_NAME as client_name1, "
               "A.AGENT_NAME as agent_name1, C.CONTRACT_DATE, C.IS_ARCHIVE, C.CONTRACT_CLOSE, "
               "C.CONTRACT_STATE, CSL.STATE_NAME, C.NOTE as NOTE, D.SUBJECT_PRICE as PRICE, D.DEPOSIT_SUM, "
               "D.DEPOSIT_PERC, D.PENALTY_PERC as PENALTY_PERC, D.OFF_FLAG, P.PLACE_NAME, D.DEPOSIT_TYPE, "
               "DTL.NAME as DEPOSIT_TYPE_NAME, D.PENALTY_DAYS, D.EXCEED_DAYS, D.IS_USD_EXCHANGE, "
               "D.IS_MAKE_EXCHANGE_BY_INCREASE, I.client_name as client_name2, I.agent_name as agent_name2, "
               "c.filial_id, f.number as FILIAL_NUMBER, z.date_to as ZAYAVL_DATE") +
           getExtraSelectFields() +
           QStringLiteral(
               " from PENALTY_CONTRACTS C"
               " left join PENALTY_DEPOSITS PD on C.CONTRACT_ID = PD.CONTRACT_ID"
               " left join CLIENTS CL on C.CLIENT_ID = CL.CLIENT_ID"
               " left join AGENTS A on C.AGENT_ID = A.AGENT_ID"
               " left join PENALTY_DEPOSITS D on C.CONTRACT_ID = D.CONTRACT_ID"
               " left join DEPOSIT_TYPES DT on DT.ID = D.DEPOSIT_TYPE"
               " left join DEPOSIT_TYPES_LANGS DTL on DTL.ID_REC = DT.ID and DTL.ID_LANG = %1"
               " left join CONTRACT_STATES CS on C.CONTRACT_STATE = CS.STATE_ID"
               " left join CONTRACT_STATES_LANGS CSL on CSL.ID_REC = CS.STATE_ID and CSL.ID_LANG = %1"
               " left join PLACES P on P.PLACE_ID = D.DEPOSIT_PLACE"
               " left join ZAYAVLENIYA Z on Z.CONTRACT_ID = C.CONTRACT_ID"
               " left join TOSALE on TOSALE.CONTRACT_ID = C.CONTRACT_ID"
               " left join CONTRACT_IMPORT I on C.contract_id = I.contract_id"
               " left join dir_filial F on C.filial_id = F.id")
               .arg(lang);
}

void TPenaltyContracts::initFields() {
    const QString lang = QString::number(language_);
    setSql(baseSelect());
    // Always true here; it keeps the right rows where the text is appended to language-free joins.
    setWhere(QStringLiteral(" C.CONTRACT_ID is not NULL and (CSL.ID_LANG = %1 or CSL.ID_LANG is null) and "
                            "(DTL.ID_LANG = %1 or DTL.ID_LANG is null)")
                 .arg(lang));
    setOrderBy(QStringLiteral("C.CONTRACT_DATE desc, C.CONTRACT_ID desc"));

    auto hidden = [](data::Field* f) { f->setVisible(false); };
    auto calculated = [this](data::DataType type, int size, const char* name) {
        return addField(std::make_unique<data::Field>(type, size, data::FieldKind::Calculated), latin(name));
    };
    hidden(addIntegerField(QStringLiteral("CONTRACT_ID")));
    hidden(addIntegerField(QStringLiteral("ID")));
    hidden(addIntegerField(QStringLiteral("FILIAL_ID")));
    addIntegerField(QStringLiteral("FILIAL_NUMBER"));
    hidden(addIntegerField(QStringLiteral("CONTRACT_STATE")));
    addStringField(QStringLiteral("CONTRACT_NUM"), 80);
    addDateField(QStringLiteral("CONTRACT_DATE"));
    addMoney100Field(QStringLiteral("DEPOSIT_SUM"));
    if (withDebt_) {
        data::Field* debt = calculated(data::DataType::Integer, 0, "DEPOSIT_SUM_DEBT");
        debt->setOnGetText(&ufb::TMoney100Field::getMoneyText);
    }
    addMoney100Field(QStringLiteral("PRICE"));
    addMoney100Field(QStringLiteral("DEPOSIT_PERC"));
    addStringField(QStringLiteral("STATE_NAME"), 80);
    addStringField(QStringLiteral("DEPOSIT_TYPE_NAME"), 80);
    addIntegerField(QStringLiteral("DEPOSIT_TYPE"));
    addStringField(QStringLiteral("NOTE"), 255);
    addDateField(QStringLiteral("CONTRACT_CLOSE"));
    for (const char* name : {"EXCEED_DAYS", "IS_USD_EXCHANGE", "IS_MAKE_EXCHANGE_BY_INCREASE"}) {
        addIntegerField(latin(name));
    }
    addStringField(QStringLiteral("CLIENT_NAME1"), 80);
    addStringField(QStringLiteral("CLIENT_NAME2"), 80);
    calculated(data::DataType::String, 80, "CLIENT_NAME");
    addStringField(QStringLiteral("AGENT_NAME1"), 80);
    addStringField(QStringLiteral("AGENT_NAME2"), 80);
    calculated(data::DataType::String, 80, "AGENT_NAME");
    calculated(data::DataType::Integer, 0, "IS_IMPORT");
    addIntegerField(QStringLiteral("IS_ARCHIVE"));
    addDateField(QStringLiteral("ZAYAVL_DATE"));

    getDataSet()->onCalcFields = [this](data::Dataset& ds) { OnCalcFields(ds); };

    struct Column {
        const char* field;
        int width;
        const char* key;  // null: a fixed title
        const char16_t* title;
        const char* sort;  // null: the field; "" : no sort
    };
    const QString none = noSortMarker;
    auto add = [this, &none](const Column& c) {
        const QString title = c.key ? tr(c.key, c.title) : QString::fromUtf16(c.title);
        const QString sort = !c.sort ? QString() : (*c.sort ? latin(c.sort) : none);
        addColumn(latin(c.field), c.width, title, sort);
        addColumnEh(latin(c.field), c.width, title, sort);
    };
    if (withDebt_) {
        const Column columns[] = {
            {"FILIAL_NUMBER", 28, "PenaltyContracts.FILIAL_NUMBER", u"Договор|Филиал", "f.number"},
            {"CONTRACT_NUM", 40, "PenaltyContracts.CONTRACT_NUM", u"Договор|№", nullptr},
            {"CONTRACT_DATE", 60, "PenaltyContracts.CONTRACT_DATE", u"Договор|Дата", nullptr},
            {"DEPOSIT_SUM", 80, "PenaltyContracts.DEPOSIT_SUM", u"Кредит|Сумма нач.", nullptr},
            {"DEPOSIT_SUM_DEBT", 80, "PenaltyContracts.DEPOSIT_SUM_DEBT", u"Кредит|Сумма тек.", ""},
            // Qualified: the terms are joined twice, so the bare name is ambiguous to the server.
            {"PRICE", 80, "PenaltyContracts.PRICE", u"Кредит|Оценка", "D.SUBJECT_PRICE"},
            {"DEPOSIT_PERC", 40, nullptr, u"Кредит|%", nullptr},
            {"CLIENT_NAME", 80, "field.CLIENT_NAME", u"ФИО клиента", "CL.CLIENT_NAME"},
            {"AGENT_NAME", 80, nullptr, u"Агент", "A.AGENT_NAME"},
            {"STATE_NAME", 80, "field.STATE_NAME", u"Состояние", nullptr},
            {"DEPOSIT_TYPE_NAME", 90, "field.SUBJTYPE", u"Тип залога", "DTL.NAME"},
            {"NOTE", 100, "field.INFO", u"Примечание", "C.NOTE"},
            {"CONTRACT_CLOSE", 60, "field.CONTRACT_CLOSE", u"Дата закрытия", nullptr},
        };
        for (const Column& c : columns) add(c);
    } else {
        const Column columns[] = {
            {"FILIAL_NUMBER", 28, "u_Parcel.ParcelSubjGold.initFields.FIL_NUM", u"Филиал №", "f.number"},
            {"CONTRACT_NUM", 40, "field.NUM", u"Номер", ""},
            {"CONTRACT_DATE", 60, "field.DATE", u"Дата", ""},
            {"DEPOSIT_SUM", 80, "field.DEPOSIT_SUM", u"Сумма кредита", ""},
            {"PRICE", 80, "field.PRICE", u"Оценка", "D.SUBJECT_PRICE"},
            {"DEPOSIT_PERC", 40, nullptr, u"%", ""},
            {"CLIENT_NAME", 80, "field.CLIENT_NAME", u"ФИО клиента", ""},
            {"AGENT_NAME", 80, nullptr, u"Агент", ""},
            {"STATE_NAME", 80, "field.STATE_NAME", u"Состояние", ""},
            {"DEPOSIT_TYPE_NAME", 90, "field.SUBJTYPE", u"Тип залога", "DTL.NAME"},
            {"NOTE", 100, "field.INFO", u"Примечание", "C.NOTE"},
            {"CONTRACT_CLOSE", 60, "field.CONTRACT_CLOSE", u"Дата закрытия", ""},
        };
        for (const Column& c : columns) add(c);
    }
}

void TPenaltyContracts::OnCalcFields(data::Dataset& dataset) {
    const bool imported = !dataset.fieldByName(QStringLiteral("CLIENT_NAME2")).isNull();
    dataset.fieldByName(QStringLiteral("IS_IMPORT")).setValue(imported ? 1 : 0);
    if (withDebt_) {
        const data::Field& id = dataset.fieldByName(QStringLiteral("CONTRACT_ID"));
        if (!id.isNull()) {
            PercCalc calc(id.asInteger(), nullptr);
            dataset.fieldByName(QStringLiteral("DEPOSIT_SUM_DEBT"))
                .setValue(calc.getDebt(listDate_, false, true).base);
        }
    }
    const char* suffix = imported ? "2" : "1";
    for (const char* name : {"CLIENT_NAME", "AGENT_NAME"}) {
        dataset.fieldByName(latin(name)).setValue(dataset.fieldByName(latin(name) + latin(suffix)).value());
    }
}

// ---- debt lookups -----------------------------------------------------------------------------------

DebtSums TPenaltyContracts::getDebt(const TPenaltyContractInfo& contract, DateTime date, bool useCache) {
    PercCalc calc(&contract, nullptr);
    return calc.getDebt(date, false, useCache);
}

DebtSums TPenaltyContracts::getDebt(int contractId, DateTime date, bool useCache) {
    const TPenaltyContractInfo contract(contractId, nullptr);
    return getDebt(contract, date, useCache);
}

DebtSums TPenaltyContracts::getSaleDebt(int contractId, bool useCache) {
    return TolvLogic::getSaleDebt(contractId, useCache);
}

QString TPenaltyContracts::NumberById(int id) {
    ufb::TDBRecord record(QStringLiteral("PENALTY_CONTRACTS"), QStringLiteral("CONTRACT_ID"), id, nullptr);
    if (record.Select() == 0) {
        throw core::Exception(
            KVLibTranslator::instance().translate(QStringLiteral("exception.DB"), QString()) +
            QStringLiteral(" \n\nInfo: fn: Contracts::NumberById(const int id), ") + place(__LINE__));
    }
    return record.Field(QStringLiteral("CONTRACT_NUM")).toText();
}

Variant TPenaltyContracts::getLastPayDate(int contractId) const {
    const QString id = QString::number(contractId);
    std::unique_ptr<fb::Query> q = createQuery();
    q->setSql(QStringLiteral(" select max(OP_DATE) AS MAX_DATE from PENALTY_OPERATIONS             where "
                             "DEPOSIT_ID = '") +
              id + QStringLiteral("' and OP_SUM >= 0"));
    q->open();
    Variant result = q->fieldByName(QStringLiteral("MAX_DATE")).value();
    q->close();
    if (result.isEmpty()) {
        q->setSql(QStringLiteral(" select CONTRACT_DATE AS MAX_DATE from PENALTY_CONTRACTS                 "
                                 "where CONTRACT_ID = '") +
                  id + u'\'');
        q->open();
        result = q->eof() ? Variant::null() : q->fieldByName(QStringLiteral("MAX_DATE")).value();
        q->close();
    }
    return result;
}

// ---- filters ----------------------------------------------------------------------------------------

void TPenaltyContracts::filterById(int contractId) {
    addFilter(QStringLiteral("C.CONTRACT_ID = ") + QString::number(contractId));
}

void TPenaltyContracts::filterByNumber(const QString& text) {
    // The engine's upper(): the same letters as UPCASE, and an index on it serves the prefix.
    addFilter(QStringLiteral("upper(C.CONTRACT_NUM) like '") + udb::quoteSql(text.toUpper()) +
              QStringLiteral("%'"));
}

void TPenaltyContracts::filterByClientName(const QString& text) {
    const QString pattern = QStringLiteral("'%") + udb::quoteSql(text.toUpper()) + QStringLiteral("%'");
    // No index serves a contains search over the join: the few matching clients and imports are found
    // first and their contracts taken by key. Many matches fill a screen at once under the plain
    // condition, which gives the same rows.
    const QString first = QStringLiteral("select first %1 ").arg(kMaxKeyList + 1);
    const QStringList clients =
        keysOf(getDatabase(), getTransaction(),
               first + QStringLiteral("CLIENT_ID from CLIENTS where upper(CLIENT_NAME) like ") + pattern);
    const QStringList imports = keysOf(
        getDatabase(), getTransaction(),
        first + QStringLiteral("CONTRACT_ID from CONTRACT_IMPORT where upper(CLIENT_NAME) like ") + pattern);
    if (clients.size() > kMaxKeyList || imports.size() > kMaxKeyList) {
        addFilter(QStringLiteral("(upper(I.CLIENT_NAME) like ") + pattern +
                  QStringLiteral(" or upper(CL.CLIENT_NAME) like ") + pattern + u')');
        return;
    }
    QStringList parts;
    if (!clients.isEmpty()) parts << QStringLiteral("C.CLIENT_ID in (") + clients.join(u',') + u')';
    if (!imports.isEmpty()) parts << QStringLiteral("C.CONTRACT_ID in (") + imports.join(u',') + u')';
    addFilter(parts.isEmpty() ? QStringLiteral("1 = 0") : parts.join(QStringLiteral(" or ")));
}

void TPenaltyContracts::filterByClientId(int clientId) {
    addFilter(QStringLiteral("C.CLIENT_ID = ") + QString::number(clientId));
}

void TPenaltyContracts::filterByAgentName(const QString& text) {
    const QString quoted = udb::quoteSql(text);
    addFilter(QStringLiteral("(A.AGENT_NAME like '%") + quoted +
              QStringLiteral("%' or I.agent_name like '%") + quoted + QStringLiteral("%')"));
}

void TPenaltyContracts::filterByAgentId(int agentId) {
    addFilter(QStringLiteral("C.AGENT_ID = ") + QString::number(agentId));
}

void TPenaltyContracts::filterByDate(DateTime date) {
    addFilter(QStringLiteral("C.CONTRACT_DATE = ") + sqlDate(date));
}

void TPenaltyContracts::filterByState(int state) {
    addFieldFilter(QStringLiteral("C.CONTRACT_STATE"), QString::number(state), false, false);
}

void TPenaltyContracts::filterByFilial(int filialId) {
    addFieldFilter(QStringLiteral("C.FILIAL_ID"), QString::number(filialId), false, false);
}

void TPenaltyContracts::filterByDepositType(int depositType) {
    addFieldFilter(QStringLiteral("D.DEPOSIT_TYPE"), QString::number(depositType), false, false);
}

void TPenaltyContracts::filterByPlace(int placeId) {
    addFieldFilter(QStringLiteral("P.PLACE_ID"), QString::number(placeId), false, false);
}

void TPenaltyContracts::filterNotArchived() {
    addFieldFilter(QStringLiteral("C.IS_ARCHIVE"), QStringLiteral("0"), false, false);
}

void TPenaltyContracts::filterWithApplication() {
    addFilter(QStringLiteral("z.date_to IS NOT NULL"));
}

void TPenaltyContracts::filterForExport(int filialId, DateTime first, DateTime last) {
    addFilter(QStringLiteral(" c.filial_id = ") + QString::number(filialId) +
              QStringLiteral(" and (c.MODIFY_DATE between ") + sqlDate(first) + QStringLiteral(" and ") +
              sqlDate(last) + QStringLiteral(") and(I.contract_id is null)"));
}

}  // namespace TolvLogic
