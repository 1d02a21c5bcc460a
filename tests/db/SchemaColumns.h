#pragma once
// Columns the program addresses in the database, for schema tests that check each one exists in a
// freshly built database. Physical column order is not checked: the position lists live in the code.
// The position lists of the records already built are the program's own arrays, not copies, so that a
// misspelt column in the program fails the schema test.

#include <iterator>
#include <vector>

#include "PenaltyContracts.h"
#include "PenaltyDirectories.h"
#include "PenaltyOperations.h"
#include "PenaltySales.h"
#include "TClients.h"
#include "u_DbFields.h"
#include "u_Exchange.h"
#include "u_filials.h"

namespace tolvtest {

struct TableColumns {
    const char* list;  // the program's name for the list, for failure messages
    const char* table;
    std::vector<const char*> columns;
};

template <std::size_t N>
TableColumns programList(const char* list, const char* table, const char* const (&columns)[N]) {
    return {list, table, std::vector<const char*>(std::begin(columns), std::end(columns))};
}

// The column lists that the program's record classes address by position.
inline std::vector<TableColumns> programPositionLists() {
    using namespace TolvLogic;
    return {
        programList("dirFilialFields", "DIR_FILIAL", dirFilialFields),
        programList("penaltyContractsFields", "PENALTY_CONTRACTS", penaltyContractsFields),
        programList("penaltyDepositsFields", "PENALTY_DEPOSITS", penaltyDepositsFields),
        programList("contractImportFields", "CONTRACT_IMPORT", contractImportFields),
        programList("penaltyOperationsFields", "PENALTY_OPERATIONS", penaltyOperationsFields),
        programList("salesFields", "SALES", salesFields),
        programList("toSaleFields", "TOSALE", toSaleFields),
        programList("goldTarifFields", "GOLD_TARIF", goldTarifFields),
        programList("zvitCompanyFields", "ZVIT_COMPANY", zvitCompanyFields),
        programList("warrantesFields", "WARRANTES", warrantesFields),
        programList("registersFields", "REGISTERS", registersFields),
        programList("dirWarrantesFields", "DIR_WARRANTES", dirWarrantesFields),
        programList("dirExchangeFields", "DIR_EXCHANGE", dirExchangeFields),
        programList("actFields", actTableName, actFields),
        programList("parcelFields", parcelTableName, parcelFields),
        programList("zayavleniyaFields", "ZAYAVLENIYA", zayavleniyaFields),
        programList("clientsFields", "CLIENTS", clientsFields),
    };
}

// Columns the same record classes read or write by name, beside their position lists.
static const TableColumns kNamedColumns[] = {
    {"branch act counter", "DIR_FILIAL", {"ACT_AUTOINC"}},
    {"contract by name", "PENALTY_CONTRACTS", {"MODIFY_DATE", "ID_NATIVE"}},
    {"pledge type of the terms", "PENALTY_DEPOSITS", {"CONTRACT_ID", "DEPOSIT_TYPE"}},
    {"import row key", "CONTRACT_IMPORT", {"CONTRACT_ID"}},
    {"gold tariff metal kind", "GOLD_TARIF", {"ID_ME_TYPE"}},
    {"act by name", "ACT", {"MODIFY_DATE", "ID_NATIVE"}},
    {"report link of company copies", "ZVIT_COMPANY", {"ID_REPORT"}},
    {"native ids", "PENALTY_OPERATIONS", {"ID_NATIVE"}},
    {"native ids", "SUBJECTS", {"ID_NATIVE"}},
    {"native ids", "ADD_SERVICES", {"ID_NATIVE"}},
    {"native ids", "WARRANTES", {"ID_NATIVE"}},
    {"native ids", "REGISTERS", {"ID_NATIVE"}},
};

// Columns each table of the branch exchange carries in its lines (key, parent link, exchanged
// columns and native id), which the import writes by name.
static const TableColumns kExchangeColumns[] = {
    {"contracts",
     "PENALTY_CONTRACTS",
     {"CONTRACT_ID", "CONTRACT_DATE", "CONTRACT_STATE", "NOTE", "CONTRACT_CLOSE", "CONTRACT_NUM", "ID_NATIVE",
      "FILIAL_ID"}},
    {"contracts",
     "PENALTY_DEPOSITS",
     {"CONTRACT_ID",
      "DEPOSIT_SUM",
      "PENALTY_DAYS",
      "DEPOSIT_PERC",
      "PENALTY_PERC",
      "DOLLAR_PRICE",
      "SUBJECT_PRICE",
      "OFF_FLAG",
      "DEPOSIT_TYPE",
      "IS_CALC_PERC_WITH_PENALTY",
      "EXCEED_DAYS",
      "IS_PRIV_IN_EXCEED",
      "IS_PENAL_FROM_RET_SUM",
      "MIN_ACCRUAL_DAYS",
      "STORAGE_VAL",
      "STORAGE_TYPE",
      "IS_STORAGE_START_W_PEN",
      "STORAGE_MIN_DAYS",
      "STORAGE_SUM",
      "IS_USD_EXCHANGE",
      "IS_MAKE_EXCHANGE_BY_INCREASE"}},
    {"contracts",
     "PENALTY_OPERATIONS",
     {"OP_ID", "DEPOSIT_ID", "OP_DATE", "NON_CALC_DAYS", "OP_SUM", "OP_PERC_SUM", "OP_PENALTY_SUM", "OP_INFO",
      "OP_STORAGE_SUM", "OP_REST_PERC", "OP_REST_STORAGE", "OP_REST_PENALTY", "OP_REST_BASE", "ID_NATIVE"}},
    {"contracts",
     "SALES",
     {"SALE_SUM", "SALE_INFO", "CONTRACT_ID", "SALE_BASE", "SALE_PERC", "SALE_PENALTY", "MONEY_BACK_SUM",
      "BASE_SUM", "PERC_SUM", "PENALTY_SUM", "IS_CREATE_WARRANT", "SALE_STORAGE", "STORAGE_SUM"}},
    {"contracts", "SUBJECTS", {"ID", "ID_CONTRACT", "ID_NATIVE"}},
    {"contracts",
     "SUBJECTS_GOLD",
     {"ID", "PROB_NAME", "PRICE_PER_GRAM", "DEPOSIT_PER_GRAM", "WEIGHT", "WEIGHT_GEM"}},
    {"contracts", "CONTRACT_IMPORT", {"CONTRACT_ID"}},
    {"contracts", "TOSALE", {"TOSALE_SUM", "TOSALE_DATE", "NON_CALC_DAYS", "CONTRACT_ID"}},
    {"contracts", "ZAYAVLENIYA", {"DATE_CUR", "DATE_TO", "NOTE", "CONTRACT_ID"}},
    {"contracts", "ADD_SERVICES", {"ID", "ID_SERVICE", "NAME", "ID_OBJ", "PRICE", "DATA", "ID_NATIVE"}},
    {"cash book and registers",
     "WARRANTES",
     {"ID",
      "NUMBER",
      "ID_DIR_WARRANTES",
      "W_DATE",
      "W_TYPE",
      "CREDIT_SUM",
      "PERC_SUM",
      "PENALTY",
      "REAL_SUM",
      "ACCOUNT_NUMBER",
      "W_SUM",
      "OPERATION_SUBJECT",
      "FOUNDATION",
      "ADDITION",
      "IDENTIFICATION_DATA",
      "STORAGE_SUM",
      "ID_SERVICE_EVENT",
      "ID_REGISTER",
      "ID_CONTRACT",
      "ID_OPERATION",
      "ID_NATIVE",
      "MODIFY_DATE",
      "ID_FILIAL"}},
    {"registers",
     "REGISTERS",
     {"ID", "ID_DIR_WARRANTES", "R_TYPE", "R_NUMBER", "R_DATE", "R_SUBJ_TYPE", "ID_NATIVE", "ID_FILIAL"}},
    {"acts", "ACT", {"IS_BLOCKED", "ID_SUBJTYPE", "ACT_DATE", "ID", "NUM", "ID_NATIVE", "ID_FILIAL"}},
    {"acts", "ACT_SUBJ", {"ID", "ID_ACT", "ID_CONTRACT", "ID_SUBJ_CONTR"}},
    {"acts",
     "ACT_SUBJ_GOLD",
     {"ID", "ID_PROBE", "WEIGHT", "WEIGHT_GEM", "QUANTITY", "PROBE_NAME", "PRICE_PER_GRAM"}},
    {"acts", "COMMISSION_HEADER", {"ID", "TABLE_DOC", "ID_DOC", "CODE", "ID_FILIAL"}},
    {"acts", "COMMISSION", {"ID", "ID_HEADER", "NAME", "POST", "SORT_ORDER"}},
    {"acts", "ACT_IMPORT", {"ID", "WARE_FROM", "WARE_TO"}},
    {"dollar rates", "DIR_EXCHANGE", {"ID", "DATA", "USD_EXCHANGE"}},
    {"correspondence", "DIR_DRAGME_TYPE", {"ID", "NAME"}},
    {"correspondence", "GOLD_TARIF", {"ID", "PROB_NAME", "ID_ME_TYPE"}},
    {"correspondence", "DIR_ADD_SERVICES", {"ID", "NAME", "ID_EVENT"}},
    {"correspondence", "DIR_CORRESP", {"ID", "ID_FILIAL", "TABLE_NAME", "ID_IN_FILIAL", "ID_IN_OFFICE"}},
};

}  // namespace tolvtest
