#pragma once
// Report spreadsheets filled from templates: labelled cells found and written, data sets and vectors
// written below a start cell with the template row's formats, rows inserted and ranges copied, sum
// formulas, grouped listings from one query, and saving with opening.

#include <QString>
#include <memory>
#include <vector>

#include "platform/core/Variant.h"

namespace data {
class Dataset;
class Field;
}  // namespace data
namespace xlsx {
class Workbook;
class Worksheet;
}  // namespace xlsx

namespace ExcelReport {

// Marks an address that is not set; the same text also names an undefined cell in report settings.
extern const QString cellUndefinedName;

// 1-based column number of one or two letters (a longer text counts its first letter only).
int colIndexOf(const QString& letters);
// Letters of a 1-based column number up to ZZ.
QString colLettersOf(int number);
// "$AB$12" gives AB and 12; a text of another form raises the platform's conversion error.
void splitCellAddress(const QString& address, QString& letters, int& row);
// The time stamp that names saved spreadsheets.
QString fileTimeStamp();

class CellAdrSN {
public:
    CellAdrSN() = default;
    CellAdrSN(const QString& letters, int row) : letters_(letters), row_(row) {}
    explicit CellAdrSN(const QString& address);

    static CellAdrSN fromString(const QString& address);
    QString toString() const;
    bool isUndefined() const { return letters_ == cellUndefinedName; }
    void setUndefined() { letters_ = cellUndefinedName, row_ = 0; }
    int colIndex() const { return colIndexOf(letters_); }
    CellAdrSN offset(int columns, int rows) const;

    const QString& letters() const { return letters_; }
    int row() const { return row_; }

private:
    QString letters_ = cellUndefinedName;
    int row_ = 0;
};

// The abstract writer: how data-set fields become cell values, and the operations reports call.
class ExcelManager {
public:
    virtual ~ExcelManager();

    virtual void outDataSet(const QString& startAddress, data::Dataset& dataSet, bool autoWidth) = 0;
    virtual QString findCell(const QString& label) = 0;
    virtual void insertRows(int row, int count) = 0;
    virtual void autoWidthCol(const QString& letters) = 0;
    virtual void setCellValue(const QString& address, const core::Variant& value) = 0;
    virtual void setActiveSheet(int number) = 0;
    virtual void setCellFormula(const QString& address, const QString& formula) = 0;
    virtual void outGroupedQuery(const QString& name, const QString& sql, const QString& groupField,
                                 const QString& groupOrder, const QString& detailOrder,
                                 const std::vector<QString>& hiddenFields, bool header, bool numbering) = 0;

    // 0: the field's value (sValueVar); 1: the field's edit text.
    int FieldValueOutType = 0;
    const QString& outputFileName() const { return outputFileName_; }

    core::Variant sValue(const data::Field& field) const;
    static core::Variant sValueVar(const data::Field& field);
    static int colIndex(const QString& letters) { return colIndexOf(letters); }
    static QString colLetters(int number) { return colLettersOf(number); }
    static void parseCellAddress(const QString& address, QString& letters, int& row);
    static CellAdrSN cellAdr(const QString& address) { return CellAdrSN::fromString(address); }
    CellAdrSN getCellAdr(const QString& label) { return cellAdr(findCell(label)); }

protected:
    QString outputFileName_;
};

class ExcelManagerNative : public ExcelManager {
public:
    // An empty workbook.
    ExcelManagerNative();
    // Raises the translated "template not found or damaged" text for a missing or unreadable file.
    explicit ExcelManagerNative(const QString& templatePath);
    ~ExcelManagerNative() override;

    void openTemplate(const QString& path);
    // Creates the missing folder (one level), writes the workbook, and with open shows it.
    void save(const QString& path, bool open);

    void outDataSet(const QString& startAddress, data::Dataset& dataSet, bool autoWidth) override;
    void outDataSetFields(const CellAdrSN& start, data::Dataset& dataSet,
                          const std::vector<QString>& fieldNames);
    QString findCell(const QString& label) override;
    void insertRows(int row, int count) override;
    void autoWidthCol(const QString& letters) override;
    void autoWidthCols(int first, int last);
    void setCellValue(const QString& address, const core::Variant& value) override;
    void setCellValue(const CellAdrSN& address, const core::Variant& value) {
        setCellValue(address.toString(), value);
    }
    void setActiveSheet(int number) override { activeSheet_ = number - 1; }
    void setCellFormula(const QString& address, const QString& formula) override;
    void outGroupedQuery(const QString& name, const QString& sql, const QString& groupField,
                         const QString& groupOrder, const QString& detailOrder,
                         const std::vector<QString>& hiddenFields, bool header, bool numbering) override;

    void setCellValueByName(const QString& label, const core::Variant& value, bool mustExist);
    void setValueByNameAllSheets(const QString& label, const core::Variant& value);
    int findSheetIndx(const QString& name, bool mustExist);
    QString sheetName(int index);
    void setSheetName(const QString& name, int index);
    void deleteSheet(int index);
    int activeSheetIndex() const { return activeSheet_; }
    void copyRange(int count, const CellAdrSN& begin, const CellAdrSN& end, int destRow, int sourceSheet,
                   int destSheet);
    void appendRangeCount(const CellAdrSN& begin, const CellAdrSN& end, int count);
    void appendRangeCount(const QString& beginLabel, const QString& endLabel, int count);
    void outVector(const CellAdrSN& start, const std::vector<core::Variant>& values, bool down);
    void calcAggreg4Colum(int kind, const QString& label, int count);
    void deleteLabeledBlocks(const QString& label, int rows, int columns);

    xlsx::Workbook& workbook() { return *workbook_; }

private:
    xlsx::Worksheet& active();
    void writeRows(int column, int row, data::Dataset& dataSet, const std::vector<data::Field*>& fields,
                   bool autoWidth);

    std::unique_ptr<xlsx::Workbook> workbook_;
    int activeSheet_ = 0;
};

}  // namespace ExcelReport
