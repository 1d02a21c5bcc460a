#pragma once
// Cell references inside formula texts: column letters, rewriting every reference (sheet, row, column)
// outside string literals, so that inserted rows, copied blocks and renamed sheets keep formulas right.

#include <QString>
#include <functional>

namespace xlsx {

// 0-based column number of letters (A is 0); -1 for a text that is no column.
int columnIndex(const QString& letters);
QString columnLetters(int column);
// "A1" style text of a 0-based position.
QString cellName(int row, int column);
// Parses "B7" or "$B$7" into 0-based row and column; false for anything else.
bool parseCellName(const QString& text, int& row, int& column);

struct Reference {
    QString sheet;  // empty when the reference names no sheet
    int row = 0;    // 0-based
    int column = 0;
    bool absRow = false;
    bool absColumn = false;
};

// Calls the rewriter for every cell reference (both ends of a range) and puts back what it leaves.
// String literals and function names are left alone; a range's second end takes the first's sheet.
QString rewriteReferences(const QString& formula, const std::function<void(Reference&)>& rewrite);

// Formula text as stored: no leading "=", ";" between arguments becomes ",".
QString normalizeFormula(QString formula);

// A sheet name as a formula writes it before "!", quoted when it needs to be.
QString quoteSheetName(const QString& name);

}  // namespace xlsx
