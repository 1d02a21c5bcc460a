#pragma once
// A workbook read from and written to .xlsx: sheets with their cells (values, formulas, style indexes),
// row heights, column widths and merged areas; the rest of the package passes through unchanged.
// Rows and columns are counted from 0.

#include <QDomDocument>
#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "platform/core/Variant.h"
#include "platform/xlsx/Package.h"

namespace xlsx {

struct Range {
    int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
    friend bool operator==(const Range&, const Range&) = default;
};

struct Cell {
    enum class Type : quint8 { Blank, Number, Text, Bool, Error };
    Type type = Type::Blank;
    int style = -1;  // index into the workbook's cell formats; -1: none given
    double number = 0;
    QString text;     // text, or the error code
    QString formula;  // without "="; empty for a plain value
};

class Styles;
class Workbook;

class Worksheet {
public:
    const QString& name() const { return name_; }
    // The used area: the last row and column holding a cell; -1 for an empty sheet.
    int lastRow() const;
    int lastColumn() const;

    const Cell* cell(int row, int column) const;
    // The cell's whole text: a text, a number in its shortest form, "TRUE"/"FALSE"; "" for none.
    QString text(int row, int column) const;
    core::Variant value(int row, int column) const;
    // The first cell whose whole text equals the text exactly, rows from the top and each row from the
    // left; false when there is none.
    bool findText(const QString& text, int& row, int& column) const;
    QString formula(int row, int column) const;
    int style(int row, int column) const;

    // Text, number, boolean, date (a day serial, dated "dd.mm.yyyy" when the cell has no date format),
    // or null/unassigned to empty the cell. The cell's style is kept.
    void setValue(int row, int column, const core::Variant& value);
    // Without "="; ";" or "," between arguments. Stored without a cached value.
    void setFormula(int row, int column, const QString& formula);
    void setStyle(int row, int column, int style);
    // Empties the cells of the block, keeping their styles.
    void clear(const Range& range);

    // Row height in points; 0 when the row keeps the default height.
    double rowHeight(int row) const;
    void setRowHeight(int row, double points);
    bool rowHidden(int row) const;
    // Column width in characters; 0 when the column keeps the default width.
    double columnWidth(int column) const;
    void setColumnWidth(int column, double characters);
    bool columnHidden(int column) const;
    // Fits the width to the longest text of the column, estimated from its characters.
    void autoFitColumn(int column);

    const std::vector<Range>& merges() const { return merges_; }
    void addMerge(const Range& range);

private:
    friend class Workbook;
    struct RowInfo {
        std::map<int, Cell> cells;
        double height = 0;
        bool hidden = false;
        QString extra;  // other attributes of the row element, written back as read
    };
    struct ColumnInfo {
        double width = 0;
        bool hidden = false;
        int style = -1;
    };
    Cell& at(int row, int column);

    Workbook* book_ = nullptr;
    QString name_;
    QString partName_;
    QString relId_;
    QDomDocument doc_;
    std::map<int, RowInfo> rows_;
    std::map<int, ColumnInfo> columns_;
    std::vector<Range> merges_;
};

class Workbook {
public:
    // A new workbook with one empty sheet.
    Workbook();
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Raises Error for a missing, old binary or damaged file.
    static std::unique_ptr<Workbook> load(const QString& path);
    // Raises Error when the file cannot be written.
    void save(const QString& path);

    int sheetCount() const { return static_cast<int>(sheets_.size()); }
    Worksheet& sheet(int index);
    // -1 when no sheet has exactly that name.
    int findSheet(const QString& name) const;
    // The sheet shown when the file is opened.
    int activeSheet() const { return activeSheet_; }
    void setActiveSheet(int index) { activeSheet_ = index; }
    // Formulas and defined names follow the new name.
    void renameSheet(int index, const QString& name);
    // Removes the sheet with its part, relationship, content type and the defined names that belong to it.
    void deleteSheet(int index);
    // Defined names as read ("name" -> "Sheet!$A$1"), sheet-local ones too.
    std::vector<std::pair<QString, QString>> definedNames() const;

    // Inserts count empty rows below the row; what lies below moves down, references follow (a range
    // spanning the insertion grows); the new rows take the given row's height.
    void insertRows(int sheet, int belowRow, int count);
    // Copies a block (values, formulas with relative references moved, styles, merged areas inside it)
    // to another place, on the same or another sheet; with rowHeights the rows take the source heights.
    void copyBlock(int sourceSheet, const Range& source, int targetSheet, int targetRow, int targetColumn,
                   bool rowHeights);

private:
    friend class Worksheet;
    void read(Package package);
    void readSheet(Worksheet& sheet);
    QByteArray writeSheet(Worksheet& sheet, QHash<QString, int>& strings, QStringList& stringList);
    void forEachFormula(const std::function<void(QString& formula, const QString& sheetName)>& f);
    int dateStyle(int style);

    Package package_;
    QString workbookPart_;
    QDomDocument workbookDoc_;
    QDomDocument relsDoc_;
    QDomDocument typesDoc_;
    std::unique_ptr<Styles> styles_;
    std::vector<std::unique_ptr<Worksheet>> sheets_;
    std::vector<QString> sharedStrings_;
    int activeSheet_ = 0;
};

}  // namespace xlsx
