#pragma once
// The program's one vocabulary of column names: for each table a record addresses column by column,
// the ordered list of its columns. A column's position in its list is its identifier in the records'
// get and set operations, so the order of every list is part of the data model: callers depend on it.
// The branch and client lists stay beside their records (u_filials, TClients).

namespace TolvLogic {

extern const char* const zvitCompanyFields[19];        // ZVIT_COMPANY
extern const char* const penaltyContractsFields[10];   // PENALTY_CONTRACTS
extern const char* const penaltyDepositsFields[20];    // PENALTY_DEPOSITS
extern const char* const contractImportFields[12];     // CONTRACT_IMPORT
extern const char* const penaltyOperationsFields[13];  // PENALTY_OPERATIONS
extern const char* const salesFields[14];              // SALES
extern const char* const toSaleFields[6];              // TOSALE
extern const char* const goldTarifFields[4];           // GOLD_TARIF
extern const char* const warrantesFields[22];          // WARRANTES
extern const char* const registersFields[7];           // REGISTERS
extern const char* const dirWarrantesFields[4];        // DIR_WARRANTES
extern const char* const dirExchangeFields[4];         // DIR_EXCHANGE

extern const char* const actTableName;          // "ACT"
extern const char* const actFields[10];         // ACT
extern const char* const parcelTableName;       // "PARCEL"
extern const char* const parcelFields[5];       // PARCEL
extern const char* const zayavleniyaFields[4];  // ZAYAVLENIYA
// The placeholder that the builder of queries with IN lists replaces by the list.
extern const char* const inListPlaceholder;  // "[IN]"

}  // namespace TolvLogic
