#include "u_TolvReportParameters.h"

#include <cmath>

#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "PenaltyOperations.h"
#include "PenaltySales.h"
#include "PenaltyWarrants.h"
#include "TClients.h"
#include "U_LoggedUser.h"
#include "U_Zayavlenie.h"
#include "kv_FbDbIni.h"
#include "kv_Money100.h"
#include "kv_StrUtl.h"
#include "platform/core/Formats.h"
#include "u_AddServices.h"
#include "u_Exchange.h"
#include "u_PercCalc.h"
#include "u_contractSubjects.h"
#include "u_filials.h"

using core::DateTime;
using core::Variant;
using namespace TolvLogic;

namespace {

ReportParamCommon::Clock& commonClock() {
    static ReportParamCommon::Clock clock;
    return clock;
}

QString dateText(DateTime date) {
    return date.date().toString(QStringLiteral("dd.MM.yyyy"));
}

// Two decimals with "." whatever the process separator: the table columns are texts.
QString fixed2(double units) {
    return QString::number(units, 'f', 2);
}

// A stored amount of hundredths in currency units; null reads as 0.
double units(const Variant& hundredths) {
    return hundredths.isEmpty() ? 0.0 : hundredths.toDouble() / 100.0;
}

double round2(double value) {
    return Money100::fromHundredths(value * 100.0);
}

// The contract's branch; -1, which no branch has, for a row without one (imported rows may lack it).
int filialOf(const TPenaltyContractInfo& contract) {
    const Variant filial = contract.getContractValue(TPenaltyContractInfo::cFILIAL_ID);
    return filial.isEmpty() ? -1 : filial.toInt();
}

}  // namespace

// ---- COMMON ---------------------------------------------------------------------------------------

ReportParamCommon::ReportParamCommon() : ReportParameters(QStringLiteral("COMMON")) {}

ReportParamCommon::Clock ReportParamCommon::setClock(Clock clock) {
    Clock old = std::move(commonClock());
    commonClock() = std::move(clock);
    return old;
}

void ReportParamCommon::fill() {
    clear();
    const DateTime now = commonClock() ? commonClock()() : DateTime::now();
    const QDate d = now.date();
    addParam(QStringLiteral("PRINT_DATE"), dateText(now));
    addParam(QStringLiteral("PRINT_TIME"), now.time().toString(QStringLiteral("hh:mm:ss")));
    addParam(QStringLiteral("PRINT_DATE_DAY"), d.day());
    addParam(QStringLiteral("PRINT_DATE_MONTH"), d.month());
    addParam(QStringLiteral("PRINT_DATE_YEAR"), d.year());
}

// ---- COMPANY --------------------------------------------------------------------------------------

ReportParamCompany::ReportParamCompany() : ReportParameters(QStringLiteral("COMPANY")) {}

void ReportParamCompany::fill() {
    clear();
    const CompanyInfo company(1);
    const std::pair<const char*, int> head[] = {
        {"EDR_CD", CompanyInfo::zEDR_CD},          {"REG_NM", CompanyInfo::zREG_NM},
        {"POST_CD", CompanyInfo::zPOST_CD},        {"REG_PART", CompanyInfo::zREG_PART},
        {"ICTEL_CD", CompanyInfo::zICTEL_CD},      {"FAX_N", CompanyInfo::zFAX_N},
        {"SN_SVIS", CompanyInfo::zSN_SVIS},        {"N_SVIS", CompanyInfo::zN_SVIS},
        {"MN_SVIS", CompanyInfo::zMN_SVIS},        {"CHACC_SN", CompanyInfo::zCHACC_SN},
        {"CHACC_NM", CompanyInfo::zCHACC_NM},      {"CHACC_MN", CompanyInfo::zCHACC_MN},
        {"SUB_DEP_CNT", CompanyInfo::zSUB_DEP_CNT}};
    for (const auto& [name, column] : head) addParam(QLatin1String(name), company.getValue(column));
    addParam(QStringLiteral("NDS"), static_cast<double>(company.VATValue));
    addParam(QStringLiteral("INN"), company.INN);
    addParam(QStringLiteral("CERTIFICATE_NUM"), company.registrationCertificateNum);
    addParam(QStringLiteral("CMN_DEPARTMENT"), company.SPEC_COMMUNICATIONS_DEPARTMENT);
    addParam(QStringLiteral("CMN_CNTR_NUM"), company.contractWithSpecCommunications);
    addParam(QStringLiteral("ACCOUNT"), company.companyAccount);
    addParam(QStringLiteral("BANK"), company.INI_COMPANY_INFO_COMPANY_BANK);
    addParam(QStringLiteral("BANK_MFO"), company.INI_COMPANY_INFO_COMPANY_BANK_MFO);
    addParam(QStringLiteral("BANK_OKPO"), company.INI_COMPANY_INFO_COMPANY_OKPO);
    addParam(QStringLiteral("NBU_CNTR_NUM"), company.contractWithNBUNum);
    // A missing date prints empty, like every other empty setting: a zero date means nothing on paper.
    addParam(QStringLiteral("NBU_CNTR_DATE"),
             company.contractWithNBUDate.isZero() ? QString() : dateText(company.contractWithNBUDate));
    addParam(QStringLiteral("DIRECTOR_FIO"),
             utl::StrUtl::surnameInitials(company.getValue(CompanyInfo::zSN_SVIS).toText(),
                                          company.getValue(CompanyInfo::zN_SVIS).toText(),
                                          company.getValue(CompanyInfo::zMN_SVIS).toText()));
    const std::pair<const char*, int> address[] = {{"FULL_NM", CompanyInfo::zFULL_NM},
                                                   {"CITY_NM", CompanyInfo::zCITY_NM},
                                                   {"STR_NM", CompanyInfo::zSTR_NM},
                                                   {"BULD_N", CompanyInfo::zBULD_N},
                                                   {"PHN_N", CompanyInfo::zPHN_N}};
    for (const auto& [name, column] : address) addParam(QLatin1String(name), company.getValue(column));
}

// ---- AGENT ----------------------------------------------------------------------------------------

ReportParamAgent::ReportParamAgent() : ReportParameters(QStringLiteral("AGENT")) {}

void ReportParamAgent::fill(int contractId) {
    clear();
    const TPenaltyContractInfo contract(contractId, nullptr);
    addParam(QStringLiteral("CURRENT_AGENT_NAME"), TolvMain::VuxSecur::getAgentName());
    addParam(QStringLiteral("CURRENT_KASSIR_NUM"), TolvMain::VuxSecur::getKassirId());
    if (contract.isImport()) {
        addParam(QStringLiteral("AGENT_NAME"), contract.getImportValue(TPenaltyContractInfo::iAGENT_NAME));
        const Variant kassir = contract.getImportValue(TPenaltyContractInfo::iKASSIR_ID);
        addParam(QStringLiteral("KASSIR_NUM"), kassir.isEmpty() ? Variant(QString()) : kassir);
    } else {
        const TAgentInfo agent(contract.getContractValue(TPenaltyContractInfo::cAGENT_ID).toInt(), nullptr);
        addParam(QStringLiteral("AGENT_NAME"), agent.agentName());
        addParam(QStringLiteral("KASSIR_NUM"), agent.kassirId());
    }
}

// ---- CLIENT ---------------------------------------------------------------------------------------

ReportParamClient::ReportParamClient() : ReportParameters(QStringLiteral("CLIENT")) {}

void ReportParamClient::fill(int contractId) {
    clear();
    const TPenaltyContractInfo contract(contractId, nullptr);
    static const char* const names[] = {"NAME", "PHONE",       "ADDRESS",      "INFO",
                                        "INN",  "PASSPORT_SN", "PASSPORT_NUM", "PASSPORT_INFO"};
    std::function<Variant(int)> value;
    Variant passportDate;
    TClientInfo client;
    if (contract.isImport()) {
        static const int columns[] = {
            TPenaltyContractInfo::iCLIENT_NAME,         TPenaltyContractInfo::iCLIENT_PHONE,
            TPenaltyContractInfo::iCLIENT_ADDRESS,      TPenaltyContractInfo::iCLIENT_INFO,
            TPenaltyContractInfo::iCLIENT_INN,          TPenaltyContractInfo::iCLIENT_PASSPORT_SN,
            TPenaltyContractInfo::iCLIENT_PASSPORT_NUM, TPenaltyContractInfo::iCLIENT_PASSPORT_INFO};
        value = [&](int i) { return contract.getImportValue(columns[i]); };
        passportDate = contract.getImportValue(TPenaltyContractInfo::iCLIENT_PASSPORT_DATE);
    } else {
        client.SetField(TClientInfo::fCLIENT_ID, contract.getContractValue(TPenaltyContractInfo::cCLIENT_ID));
        if (client.Select() == 0) return;
        static const int columns[] = {TClientInfo::fCLIENT_NAME,         TClientInfo::fCLIENT_PHONE,
                                      TClientInfo::fCLIENT_ADDRESS,      TClientInfo::fCLIENT_INFO,
                                      TClientInfo::fCLIENT_INN,          TClientInfo::fCLIENT_PASSPORT_SN,
                                      TClientInfo::fCLIENT_PASSPORT_NUM, TClientInfo::fCLIENT_PASSPORT_INFO};
        value = [&](int i) { return client.GetField(columns[i]); };
        passportDate = client.GetField(TClientInfo::fCLIENT_PASSPORT_DATE);
    }
    for (int i = 0; i < 8; ++i) addParam(QLatin1String(names[i]), value(i));
    // The column is a text: a date in it prints as dd.mm.yyyy, anything else as it was typed.
    QString passport = passportDate.isEmpty() ? QString() : passportDate.toText().trimmed();
    DateTime parsed;
    if (!passport.isEmpty() && core::tryStrToDateTime(passport, parsed)) passport = dateText(parsed);
    addParam(QStringLiteral("PASSPORT_DATE"), passport);
}

// ---- PROLONG --------------------------------------------------------------------------------------

ReportParamProlong::ReportParamProlong()
    : ReportParameters(QStringLiteral("PROLONG")), record_(std::make_unique<Zayavlenie>(-1)) {}

ReportParamProlong::~ReportParamProlong() = default;

void ReportParamProlong::fill(int contractId) {
    clear();
    record_->SetField(Zayavlenie::zCONTRACT_ID, contractId);
    if (record_->Select() == 0) return;
    addParam(QStringLiteral("DATE"), record_->GetField(Zayavlenie::zDATE_CUR));
    addParam(QStringLiteral("DATE_TO"), record_->GetField(Zayavlenie::zDATE_TO));
    addParam(QStringLiteral("NOTE"), record_->GetField(Zayavlenie::zNOTE));
}

// ---- SERVICE --------------------------------------------------------------------------------------

ReportParamAddServices::ReportParamAddServices() : ReportParameters(QStringLiteral("SERVICE")) {
    table_.setObjectName(QStringLiteral("Service"));
}

void ReportParamAddServices::fill(int objectId, int serviceEvent, DateTime date) {
    clear();
    table_.redefine();
    table_.addField(QStringLiteral("NAME"), data::DataType::String, 255);
    table_.addField(QStringLiteral("PRICE_F"), data::DataType::String, 255);
    table_.open();
    AddServices services(static_cast<quint8>(serviceEvent), objectId, date, nullptr);
    if (!services.getDataSet()->active()) services.open();
    data::Dataset& rows = *services.getDataSet();
    qint64 total = 0;
    if (rows.active()) {
        for (rows.first(); !rows.eof(); rows.next()) {
            const qint64 price = rows.fieldByName(QStringLiteral("PRICE")).asInteger();
            table_.append();
            table_[QStringLiteral("NAME")].setValue(rows.fieldByName(QStringLiteral("NAME")).asString());
            table_[QStringLiteral("PRICE_F")].setValue(fixed2(price / 100.0));
            table_.post();
            total += price;
        }
    }
    addMoneyParam(QStringLiteral("ALLPRICE"), total / 100.0);
    addDataSet(&table_);
}

// ---- CONTRACT -------------------------------------------------------------------------------------

ReportParamContract::ReportParamContract() : ReportParameters(QStringLiteral("CONTRACT")) {
    table_.setObjectName(QStringLiteral("mSubjs"));
}

void ReportParamContract::fill(int contractId) {
    clear();
    TPenaltyContractInfo contract(contractId, nullptr);
    // The stored columns come first, so a bare money name equal to a column keeps the stored value.
    addRecordFields(contract.getContractRecord());
    addRecordFields(contract.getDepositRecord());
    const auto depositInt = [&](int column) {
        const Variant v = contract.getDepositValue(column);
        return v.isEmpty() ? qint64(0) : qint64(v.toInt());
    };
    const DateTime contractDate =
        contract.getContractValue(TPenaltyContractInfo::cCONTRACT_DATE).toDateTime();
    const qint64 depositH = depositInt(TPenaltyContractInfo::dDEPOSIT_SUM);
    const qint64 percStored = depositInt(TPenaltyContractInfo::dDEPOSIT_PERC);
    const double d = depositH / 100.0;
    const double p = percStored / 100.0;
    const double r = depositInt(TPenaltyContractInfo::dPENALTY_PERC) / 100.0;
    const int n = static_cast<int>(depositInt(TPenaltyContractInfo::dPENALTY_DAYS));
    const double s = depositInt(TPenaltyContractInfo::dSTORAGE_SUM) / 100.0;
    // A term of 0 days (imported rows) has no daily rate, as the debt engine treats it.
    const double dayPerc = n == 0 ? 0.0 : p / n;

    addParam(QStringLiteral("CONTRACT_NOTE"), contract.getContractValue(TPenaltyContractInfo::cNOTE));
    addParam(QStringLiteral("CONTRACT_CLOSE_PLAN"), dateText(contractDate.addDays(n - 1)));

    ContractSubjects* subjects = contract.getSubjects();
    addParam(QStringLiteral("ITEMS_COUNT"), subjects->getItemsCount());
    const int depositType = contract.getIdDepositeType();
    addParam(QStringLiteral("DEPOSIT_NAME"), depositType ? TDepositTypes::scGetName(depositType) : QString());
    addMoneyParam(QStringLiteral("SUBJECT_PRICE"), depositInt(TPenaltyContractInfo::dSUBJECT_PRICE) / 100.0);
    addMoneyParam(QStringLiteral("DEPOSIT_SUM"), d);
    addMoneyParam(QStringLiteral("DEPOSIT_PERC"), p);
    addMoneyParam(QStringLiteral("DEPOSIT_PERC_SUM"), d * p / 100.0);
    addMoneyParam(QStringLiteral("DEPOSIT_DAY_PERC"), dayPerc);
    addMoneyParam(QStringLiteral("DEPOSIT_DAY_PERC_SUM"), d * dayPerc / 100.0);
    addMoneyParam(QStringLiteral("PENALTY_PERC"), r);
    addMoneyParam(QStringLiteral("PENALTY_SUM"), d * r / 100.0);
    addMoneyParam(QStringLiteral("DOLLAR_PRICE"), depositInt(TPenaltyContractInfo::dDOLLAR_PRICE) / 10000.0);
    addMoneyParam(QStringLiteral("DEPOSIT_PAYMENT_SUM"), d + d * p / 100.0 + s * n);
    {
        AddServices services(0, contractId, contractDate, nullptr);
        if (!services.getDataSet()->active()) services.open();
        addMoneyParam(QStringLiteral("GIVE_OUT_SUM"), d - services.getTotal(true) / 100.0);
    }
    addParam(QStringLiteral("MIN_PERC_DAYS"),
             contract.getDepositValue(TPenaltyContractInfo::dMIN_ACCRUAL_DAYS));

    data::Dataset& items = *subjects->getDataSet();
    QStringList names;
    for (items.first(); !items.eof(); items.next())
        names << items.fieldByName(QStringLiteral("NAME")).asString();
    addParam(QStringLiteral("DEPOSIT_SUBJS"), names.join(QStringLiteral("; ")));
    addMoneyParam(QStringLiteral("STORAGE_VAL"), depositInt(TPenaltyContractInfo::dSTORAGE_VAL) / 100.0);
    addMoneyParam(QStringLiteral("STORAGE_SUM_PER_DAY"), s);
    addMoneyParam(QStringLiteral("STORAGE_TOTAL_SUM"), s * n);
    addMoneyParam(QStringLiteral("STORAGE_MIN_SUM"), depositInt(TPenaltyContractInfo::dSTORAGE_MIN_DAYS) * s);
    // The branch directory's answers: a contract without a known branch prints -1 and a blank.
    const int filialId = filialOf(contract);
    addParam(QStringLiteral("FILIAL_NUM"), FilialsDir::scGetFilialNumber(filialId));
    addParam(QStringLiteral("FILIAL_NAME"), FilialsDir::scGetFilialName(filialId));

    // The items, with the term's interest spread so that the rows add up to the rounded total.
    const bool gold = dynamic_cast<ContractSubjectsGold*>(subjects) != nullptr;
    table_.redefine();
    table_.addField(QStringLiteral("S_DEPOSIT_SUBJ"), data::DataType::String, 255);
    table_.addField(QStringLiteral("S_ITEMS_COUNT"), data::DataType::Integer);
    for (const char* name :
         {"S_SUBJECT_PRICE_F", "S_DEPOSIT_SUM_F", "S_DEPOSIT_PERC_SUM_F", "S_DEPOSIT_PAYMENT_SUM_F"})
        table_.addField(QLatin1String(name), data::DataType::String, 20);
    if (gold) {
        for (const char* name : {"S_WEIGHT_F", "S_WEIGHT_GEM_F", "S_CLEAR_WEIGHT_F", "S_PROB_NAME"})
            table_.addField(QLatin1String(name), data::DataType::String, 20);
    }
    table_.open();
    qint64 rest = Money100::divRoundHalfEven(depositH * percStored, 10000);
    int left = items.recordCount();
    for (items.first(); !items.eof(); items.next()) {
        const auto item = [&](const char* name) -> data::Field& {
            return items.fieldByName(QLatin1String(name));
        };
        const qint64 itemH = item("DEPOSIT_SUM").isNull() ? 0 : item("DEPOSIT_SUM").asInteger();
        const qint64 interest = Money100::divRoundHalfEven(itemH * percStored, 10000);
        table_.append();
        table_[QStringLiteral("S_DEPOSIT_SUBJ")].setValue(item("NAME").asString());
        table_[QStringLiteral("S_ITEMS_COUNT")].setValue(item("ITEMS_COUNT").asInteger());
        table_[QStringLiteral("S_SUBJECT_PRICE_F")].setValue(fixed2(item("PRICE").asInteger() / 100.0));
        table_[QStringLiteral("S_DEPOSIT_SUM_F")].setValue(fixed2(itemH / 100.0));
        if (left > 1) {
            table_[QStringLiteral("S_DEPOSIT_PERC_SUM_F")].setValue(fixed2(interest / 100.0));
            table_[QStringLiteral("S_DEPOSIT_PAYMENT_SUM_F")].setValue(
                fixed2(Money100::divRoundHalfEven(itemH * 10000 + itemH * percStored, 10000) / 100.0));
        } else {
            table_[QStringLiteral("S_DEPOSIT_PERC_SUM_F")].setValue(fixed2(rest / 100.0));
            table_[QStringLiteral("S_DEPOSIT_PAYMENT_SUM_F")].setValue(fixed2((itemH + rest) / 100.0));
        }
        rest -= interest;
        --left;
        if (gold) {
            const double weight = item("WEIGHT").asFloat();
            const double gems = item("WEIGHT_GEM").asFloat();
            table_[QStringLiteral("S_WEIGHT_F")].setValue(fixed2(weight));
            table_[QStringLiteral("S_WEIGHT_GEM_F")].setValue(fixed2(gems));
            table_[QStringLiteral("S_CLEAR_WEIGHT_F")].setValue(fixed2(weight - gems));
            table_[QStringLiteral("S_PROB_NAME")].setValue(item("PROB_NAME").asString());
        }
        table_.post();
    }
    addDataSet(&table_);
}

// ---- FORSALE --------------------------------------------------------------------------------------

ReportParamForSale::ReportParamForSale() : ReportParameters(QStringLiteral("FORSALE")) {}

void ReportParamForSale::fill(int contractId) {
    clear();
    TToSaleInfo toSale(nullptr);
    toSale.setValue(TToSaleInfo::tCONTRACT_ID, contractId);
    if (toSale.Select() == 0) return;
    const DateTime date = toSale.getValue(TToSaleInfo::tTOSALE_DATE).toDateTime();
    PercCalc calc(contractId, nullptr);
    const DebtSums debts = calc.getDebt(date, false, true);
    const Variant asked = toSale.getValue(TToSaleInfo::tTOSALE_SUM);
    const qint64 a = asked.isEmpty() ? 0 : asked.toInt();

    // Base first, then storage, interest and penalty: each takes what the price still covers.
    qint64 left = a;
    const auto repay = [&left](qint64 debt) {
        const qint64 part = std::max<qint64>(0, std::min(left, debt));
        left -= debt;
        return part;
    };
    const qint64 repayBase = repay(debts.base);
    const qint64 repayStorage = repay(debts.storage);
    const qint64 repayPerc = repay(debts.perc);
    const qint64 repayPenalty = repay(debts.penalty);

    double profit = a / 100.0 - debts.base / 100.0 - debts.storage / 100.0;
    if (udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("isCalcSaleSumWithPerc"), true))
        profit -= debts.perc / 100.0;
    if (udb::dbIniReadBool(QStringLiteral("DEFAULTS"), QStringLiteral("isCalcSaleSumWithPenalty"), true))
        profit -= debts.penalty / 100.0;

    const auto money = [this](const char* name, double amount) {
        addMoneyParam(QLatin1String(name), round2(amount));
    };
    money("SUM", a / 100.0);
    addParam(QStringLiteral("INFO"), toSale.getValue(TToSaleInfo::tTOSALE_INFO));
    addParam(QStringLiteral("DATE"), toSale.getValue(TToSaleInfo::tTOSALE_DATE));
    money("DEBTS_BASE", debts.base / 100.0);
    money("DEBTS_STORAGE", debts.storage / 100.0);
    money("DEBTS_PERC", debts.perc / 100.0);
    money("DEBTS_PENALTY", debts.penalty / 100.0);
    money("REPAY_BASE", repayBase / 100.0);
    money("REPAY_STORAGE", repayStorage / 100.0);
    money("REPAY_PERC", repayPerc / 100.0);
    money("REPAY_PENALTY", repayPenalty / 100.0);
    money("TOTAL_DEBT", debts.getTotal() / 100.0);
    money("TOTAL_REPAY", (repayBase + repayStorage + repayPerc + repayPenalty) / 100.0);
    money("PROFIT", profit);
}

// ---- SALE -----------------------------------------------------------------------------------------

ReportParamSale::ReportParamSale() : ReportParameters(QStringLiteral("SALE")) {}

void ReportParamSale::fill(int contractId) {
    clear();
    TSaleInfo sale(nullptr);
    sale.setValue(TSaleInfo::sCONTRACT_ID, contractId);
    if (sale.Select() == 0) return;
    const std::pair<const char*, int> sums[] = {{"SUM", TSaleInfo::sSALE_SUM},
                                                {"SALE_BASE", TSaleInfo::sSALE_BASE},
                                                {"SALE_STORAGE", TSaleInfo::sSALE_STORAGE},
                                                {"SALE_PERC", TSaleInfo::sSALE_PERC},
                                                {"SALE_PENALTY", TSaleInfo::sSALE_PENALTY},
                                                {"BASE_SUM", TSaleInfo::sBASE_SUM},
                                                {"STORAGE_SUM", TSaleInfo::sSTORAGE_SUM},
                                                {"PERC_SUM", TSaleInfo::sPERC_SUM},
                                                {"PENALTY_SUM", TSaleInfo::sPENALTY_SUM}};
    for (const auto& [name, column] : sums) addMoneyParam(QLatin1String(name), units(sale.getValue(column)));
    addParam(QStringLiteral("SALE_INFO"), sale.getValue(TSaleInfo::sSALE_INFO));
    addMoneyParam(QStringLiteral("MONEY_BACK_SUM"), units(sale.getValue(TSaleInfo::sMONEY_BACK_SUM)));
}

// ---- OPERATION ------------------------------------------------------------------------------------

ReportParamOperation::ReportParamOperation() : ReportParameters(QStringLiteral("OPERATION")) {}

void ReportParamOperation::fill(int operationId) {
    clear();
    TPenaltyOperationInfo operation(operationId, false);
    if (operation.Select() == 0) return;
    const auto column = [&](int index) { return units(operation.getValue(index)); };
    addMoneyParam(QStringLiteral("BASE_SUM"), column(TPenaltyOperationInfo::oOP_SUM));
    addMoneyParam(QStringLiteral("PERC_SUM"), column(TPenaltyOperationInfo::oOP_PERC_SUM));
    addMoneyParam(QStringLiteral("PENALTY_SUM"), column(TPenaltyOperationInfo::oOP_PENALTY_SUM));
    addMoneyParam(QStringLiteral("STORAGE_SUM"), column(TPenaltyOperationInfo::oOP_STORAGE_SUM));

    const TPenaltyContractInfo contract(operation.getValue(TPenaltyOperationInfo::oDEPOSIT_ID).toInt(),
                                        nullptr);
    const DateTime opDate = operation.getValue(TPenaltyOperationInfo::oOP_DATE).toDateTime();
    const DateTime planClose = opDate.datePart().addDays(contract.getDaysToPlanClose(operation));
    addParam(QStringLiteral("CONTRACT_CLOSE_PLAN_AFTER_OP"), planClose);
    PercCalc calc(&contract, &operation);
    const DebtSums debt = calc.getDebt(planClose, false, false);
    addMoneyParam(QStringLiteral("DEBT_SUM"), debt.base / 100.0);
    addMoneyParam(QStringLiteral("DEBT_PERCENT"), debt.perc / 100.0);
    addMoneyParam(QStringLiteral("DEBT_STORAGE"), debt.storage / 100.0);
    addMoneyParam(QStringLiteral("DEBT_ALL"), (debt.base + debt.perc + debt.storage) / 100.0);

    addParam(QStringLiteral("INFO"), operation.getValue(TPenaltyOperationInfo::oOP_INFO));
    addParam(QStringLiteral("REGISTER_DATE"), operation.getValue(TPenaltyOperationInfo::oOP_DATE));
    addMoneyParam(QStringLiteral("SUM"), std::abs(column(TPenaltyOperationInfo::oOP_SUM)));

    const int filialId = filialOf(contract);
    const auto usd = [filialId](DateTime date) {
        double rate = 1.0;
        TExchangeInfo(filialId, date).findRate(rate, date);
        return rate;
    };
    addMoneyParam(
        QStringLiteral("BEGIN_USD"),
        usd(contract.getContractValue(TPenaltyContractInfo::cCONTRACT_DATE).toDateTime().datePart()));
    addMoneyParam(QStringLiteral("END_USD"), usd(opDate.datePart()));
    addMoneyParam(QStringLiteral("PERC_W_USD"),
                  round2(static_cast<double>(PercCalc::scGetDayRate(contract, opDate.datePart()))));
}

// ---- WARRANT --------------------------------------------------------------------------------------

ReportParamWarrant::ReportParamWarrant() : ReportParameters(QStringLiteral("WARRANT")) {}

void ReportParamWarrant::fill(int warrantId, int contractId, int operationId, const QString& code) {
    clear();
    WarrantInfo order;
    const bool noCode = code == QStringLiteral("0");
    bool found;
    if (contractId > 0 && !noCode && operationId == -1)
        found = order.loadByContract(contractId, code, nullptr);
    else if (operationId <= 0 || noCode)
        found = order.loadById(warrantId, nullptr);
    else
        found = order.loadByOperation(operationId, code, nullptr);
    if (!found) return;
    addParam(QStringLiteral("NUMBER"), order.GetField(WarrantInfo::wNUMBER));
    addParam(QStringLiteral("DATE"), order.GetField(WarrantInfo::wW_DATE));
    addParam(QStringLiteral("ACCOUNT_NUMBER"), order.GetField(WarrantInfo::wACCOUNT_NUMBER));
    addMoneyParam(QStringLiteral("SUM"), units(order.GetField(WarrantInfo::wW_SUM)));
    addParam(QStringLiteral("OP_SUBJECT"), order.GetField(WarrantInfo::wOPERATION_SUBJECT));
    addParam(QStringLiteral("FOUNDATION"), order.GetField(WarrantInfo::wFOUNDATION));
    addParam(QStringLiteral("ADDITION"), order.GetField(WarrantInfo::wADDITION));
    addParam(QStringLiteral("IDENTIFICATION"), order.GetField(WarrantInfo::wIDENTIFICATION_DATA));
    addMoneyParam(QStringLiteral("CREDIT_SUM"), units(order.GetField(WarrantInfo::wCREDIT_SUM)));
    addMoneyParam(QStringLiteral("STORAGE_SUM"), units(order.GetField(WarrantInfo::wSTORAGE_SUM)));
    addMoneyParam(QStringLiteral("PERC_SUM"), units(order.GetField(WarrantInfo::wPERC_SUM)));
    addMoneyParam(QStringLiteral("PEN_SUM"), units(order.GetField(WarrantInfo::wPENALTY)));
}
