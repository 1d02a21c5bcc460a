#include <gtest/gtest.h>

#include "platform/xlsx/Formula.h"

using namespace xlsx;

TEST(XlsxFormula, ColumnLettersBothWays) {
    const std::vector<std::pair<QString, int>> cases = {{"A", 0},    {"Z", 25},    {"AA", 26},    {"AZ", 51},
                                                        {"ZZ", 701}, {"AAA", 702}, {"XFD", 16383}};
    for (const auto& [letters, index] : cases) {
        EXPECT_EQ(columnIndex(letters), index) << letters.toStdString();
        EXPECT_EQ(columnLetters(index), letters);
    }
}

TEST(XlsxFormula, ReferencesShiftOutsideStringsAndNames) {
    const auto down2 = [](Reference& r) {
        if (r.row >= 5) r.row += 2;
    };
    const std::vector<std::pair<QString, QString>> cases = {
        {"SUM(D6:D9)", "SUM(D8:D11)"},
        {"SUM(D2:D9)", "SUM(D2:D11)"},  // a range spanning the insertion grows
        {"$B$7*C3", "$B$9*C3"},
        {"\"D6\"&D6", "\"D6\"&D8"},  // a string literal is not a reference
        {"LOG10(D7)", "LOG10(D9)"},  // nor is a function name
        {"Отчёт!D10*2", "Отчёт!D12*2"},
        {"'Мой лист'!A6:B7", "'Мой лист'!A8:B9"},
    };
    for (const auto& [before, after] : cases)
        EXPECT_EQ(rewriteReferences(before, down2), after) << before.toStdString();
}

TEST(XlsxFormula, NormalizedAsStored) {
    EXPECT_EQ(normalizeFormula("=SUM(H12:H20;H25:H31)"), "SUM(H12:H20,H25:H31)");
    EXPECT_EQ(normalizeFormula("IF(A1=\"a;b\";1;2)"), "IF(A1=\"a;b\",1,2)");
}
