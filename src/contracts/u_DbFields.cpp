#include "u_DbFields.h"

namespace TolvLogic {

// The spellings are the database's own (BULD_N, IS_ARHIVE beside IS_ARCHIVE, NUM_REESTR).

const char* const zvitCompanyFields[19] = {"ID",       "EDR_CD",   "FULL_NM",  "REG_NM",     "POST_CD",
                                           "REG_PART", "CITY_NM",  "STR_NM",   "BULD_N",     "ICTEL_CD",
                                           "PHN_N",    "FAX_N",    "SN_SVIS",  "N_SVIS",     "MN_SVIS",
                                           "CHACC_SN", "CHACC_NM", "CHACC_MN", "SUB_DEP_CNT"};

const char* const penaltyContractsFields[10] = {
    "CONTRACT_ID", "CLIENT_ID",      "AGENT_ID",     "CONTRACT_DATE", "CONTRACT_STATE",
    "NOTE",        "CONTRACT_CLOSE", "CONTRACT_NUM", "FILIAL_ID",     "IS_ARCHIVE"};

const char* const penaltyDepositsFields[20] = {"DEPOSIT_SUM",
                                               "PENALTY_DAYS",
                                               "DEPOSIT_PERC",
                                               "PENALTY_PERC",
                                               "DEPOSIT_PLACE",
                                               "DOLLAR_PRICE",
                                               "SUBJECT_PRICE",
                                               "OFF_FLAG",
                                               "IS_CALC_PERC_WITH_PENALTY",
                                               "EXCEED_DAYS",
                                               "IS_PRIV_IN_EXCEED",
                                               "IS_PENAL_FROM_RET_SUM",
                                               "MIN_ACCRUAL_DAYS",
                                               "STORAGE_TYPE",
                                               "STORAGE_VAL",
                                               "IS_STORAGE_START_W_PEN",
                                               "STORAGE_MIN_DAYS",
                                               "STORAGE_SUM",
                                               "IS_USD_EXCHANGE",
                                               "IS_MAKE_EXCHANGE_BY_INCREASE"};

const char* const contractImportFields[12] = {
    "CLIENT_NAME",          "CLIENT_ADDRESS",     "CLIENT_PHONE",        "CLIENT_INFO",
    "CLIENT_INN",           "CLIENT_PASSPORT_SN", "CLIENT_PASSPORT_NUM", "CLIENT_PASSPORT_INFO",
    "CLIENT_PASSPORT_DATE", "AGENT_NAME",         "KASSIR_ID",           "DEPOSIT_PLACE"};

const char* const penaltyOperationsFields[13] = {
    "OP_ID",           "DEPOSIT_ID",      "OP_SUM",      "OP_STORAGE_SUM", "OP_PERC_SUM",
    "OP_PENALTY_SUM",  "OP_INFO",         "OP_DATE",     "NON_CALC_DAYS",  "OP_REST_PERC",
    "OP_REST_STORAGE", "OP_REST_PENALTY", "OP_REST_BASE"};

const char* const salesFields[14] = {"AGENT_ID",       "CONTRACT_ID",      "SALE_SUM",     "SALE_BASE",
                                     "SALE_STORAGE",   "SALE_PERC",        "SALE_PENALTY", "BASE_SUM",
                                     "STORAGE_SUM",    "PERC_SUM",         "PENALTY_SUM",  "SALE_INFO",
                                     "MONEY_BACK_SUM", "IS_CREATE_WARRANT"};

const char* const toSaleFields[6] = {"AGENT_ID",    "CONTRACT_ID", "TOSALE_SUM",
                                     "TOSALE_INFO", "TOSALE_DATE", "NON_CALC_DAYS"};

const char* const goldTarifFields[4] = {"ID", "PROB_NAME", "PRICE_PER_GRAM", "DEPOSIT_PER_GRAM"};

const char* const warrantesFields[22] = {"ID",
                                         "ID_DIR_WARRANTES",
                                         "ID_FILIAL",
                                         "NUMBER",
                                         "W_DATE",
                                         "W_TYPE",
                                         "ACCOUNT_NUMBER",
                                         "W_SUM",
                                         "OPERATION_SUBJECT",
                                         "FOUNDATION",
                                         "ADDITION",
                                         "IDENTIFICATION_DATA",
                                         "MODIFY_DATE",
                                         "ID_OPERATION",
                                         "ID_CONTRACT",
                                         "CREDIT_SUM",
                                         "PERC_SUM",
                                         "PENALTY",
                                         "ID_REGISTER",
                                         "REAL_SUM",
                                         "STORAGE_SUM",
                                         "ID_SERVICE_EVENT"};

const char* const registersFields[7] = {"ID",       "ID_DIR_WARRANTES", "ID_FILIAL",  "R_TYPE",
                                        "R_NUMBER", "R_DATE",           "R_SUBJ_TYPE"};

const char* const dirWarrantesFields[4] = {"ID", "ACCOUNT_NUMBER", "CODE", "W_TYPE"};

const char* const dirExchangeFields[4] = {"ID", "ID_FILIAL", "USD_EXCHANGE", "DATA"};

const char* const actTableName = "ACT";
const char* const actFields[10] = {"ID",         "NUM",        "ACT_DATE",  "ID_SUBJTYPE", "ID_WARE_FROM",
                                   "ID_WARE_TO", "IS_BLOCKED", "IS_ARHIVE", "ID_FILIAL",   "ID_PARCEL"};

const char* const parcelTableName = "PARCEL";
const char* const parcelFields[5] = {"ID", "NUM_PARCEL", "DATE_PARCEL", "NUM_REESTR", "IS_ARHIVE"};

const char* const zayavleniyaFields[4] = {"CONTRACT_ID", "DATE_CUR", "DATE_TO", "NOTE"};

const char* const inListPlaceholder = "[IN]";

}  // namespace TolvLogic
