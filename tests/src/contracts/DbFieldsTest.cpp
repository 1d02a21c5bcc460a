#include <gtest/gtest.h>

#include <iterator>

#include "TClients.h"
#include "u_DbFields.h"
#include "u_filials.h"

using namespace TolvLogic;

namespace {

// Records address columns by position, so a length or an order that drifts breaks every caller.
struct ListCase {
    const char* list;
    std::size_t length;
    const char* const* names;
    std::size_t expectedLength;
    std::size_t index;
    const char* name;
};

#define LIST(array) #array, std::size(array), array

TEST(DbFieldsTest, ListsKeepTheirLengthsAndPositions) {
    const ListCase cases[] = {
        {LIST(dirFilialFields), 11, 6, "WNT_RECEIPT_NUM_AUTOINC"},
        {LIST(zvitCompanyFields), 19, 18, "SUB_DEP_CNT"},
        {LIST(penaltyContractsFields), 10, 9, "IS_ARCHIVE"},
        {LIST(penaltyDepositsFields), 20, 10, "IS_PRIV_IN_EXCEED"},
        {LIST(contractImportFields), 12, 11, "DEPOSIT_PLACE"},
        {LIST(penaltyOperationsFields), 13, 12, "OP_REST_BASE"},
        {LIST(salesFields), 14, 13, "IS_CREATE_WARRANT"},
        {LIST(toSaleFields), 6, 5, "NON_CALC_DAYS"},
        {LIST(goldTarifFields), 4, 3, "DEPOSIT_PER_GRAM"},
        {LIST(warrantesFields), 22, 21, "ID_SERVICE_EVENT"},
        {LIST(warrantesFields), 22, 8, "OPERATION_SUBJECT"},
        {LIST(registersFields), 7, 6, "R_SUBJ_TYPE"},
        {LIST(dirWarrantesFields), 4, 2, "CODE"},
        {LIST(dirExchangeFields), 4, 3, "DATA"},
        {LIST(actFields), 10, 9, "ID_PARCEL"},
        {LIST(clientsFields), 10, 4, "CLIENT_ID"},
        {LIST(parcelFields), 5, 3, "NUM_REESTR"},
        {LIST(zayavleniyaFields), 4, 3, "NOTE"},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.list);
        EXPECT_EQ(c.length, c.expectedLength);
        ASSERT_LT(c.index, c.length);
        EXPECT_STREQ(c.names[c.index], c.name);
    }
    EXPECT_STREQ(actTableName, "ACT");
    EXPECT_STREQ(parcelTableName, "PARCEL");
    EXPECT_STREQ(inListPlaceholder, "[IN]");
}

}  // namespace
