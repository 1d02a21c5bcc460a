#include "kv_xlRep.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

#include "kv_DateUtl.h"
#include "kv_Exception.h"
#include "kv_FbQueryGod.h"
#include "kv_FbUtil.h"
#include "kv_FileUtils.h"
#include "kv_Money100.h"
#include "kv_Money100Field.h"
#include "kv_Translator.h"
#include "platform/data/Dataset.h"
#include "platform/fb/Query.h"
#include "platform/xlsx/Workbook.h"

namespace ExcelReport {

const QString cellUndefinedName = QStringLiteral("CELL_UNDEFINED");

namespace {

QString tr(const char* key, const QString& defaultText) {
    return KVLibTranslator::instance().translate(QString::fromLatin1(key), defaultText);
}

QString trailer(const char* function, int line) {
    return utl::placeTrailer(QString::fromLatin1(function), QStringLiteral("kv_xlRep.cpp"), line);
}

QString templateError() {
    return tr("kv_xlRep.ExcelManagerNative.ExcelManagerNative.Exception",
              QStringLiteral("Файл шаблона для отчёта не найден либо повреждён"));
}

std::unique_ptr<xlsx::Workbook> loadTemplate(const QString& path) {
    try {
        return xlsx::Workbook::load(path);
    } catch (const std::exception&) {
        throw core::Exception(templateError());
    }
}

// 0-based position of an address text.
void position(const QString& address, int& row, int& column) {
    QString letters;
    splitCellAddress(address, letters, row);
    --row;
    column = colIndexOf(letters) - 1;
}

}  // namespace

int colIndexOf(const QString& lettersIn) {
    const QString letters = lettersIn.toUpper();
    if (letters.isEmpty()) return 0;
    const auto place = [](QChar c) { return c.unicode() - 'A' + 1; };
    if (letters.size() == 2) return place(letters[0]) * 26 + place(letters[1]);
    return place(letters[0]);
}

QString colLettersOf(int number) {
    const int r = (number - 1) % 26 + 1, q = (number - 1) / 26 + 1;
    QString s(QChar('A' + r - 1));
    if (q > 1) s.prepend(QChar('A' + q - 2));
    return s;
}

void splitCellAddress(const QString& address, QString& letters, int& row) {
    static const QRegularExpression lettersRe(QStringLiteral("^\\$(.*?)\\$"));
    static const QRegularExpression rowRe(QStringLiteral("(\\d+)$"));
    letters = lettersRe.match(address).captured(1);
    // An address of another form fails here, as any text that is no integer does.
    row = core::Variant(rowRe.match(address).captured(1)).toInt();
}

QString fileTimeStamp() {
    return utl::DateUtl::dateTimeStamp(core::DateTime::now(), true);
}

CellAdrSN::CellAdrSN(const QString& address) {
    splitCellAddress(address, letters_, row_);
}

CellAdrSN CellAdrSN::fromString(const QString& address) {
    return address.isEmpty() ? CellAdrSN() : CellAdrSN(address);
}

QString CellAdrSN::toString() const {
    return QLatin1Char('$') + letters_ + QLatin1Char('$') + QString::number(row_);
}

CellAdrSN CellAdrSN::offset(int columns, int rows) const {
    return CellAdrSN(colLettersOf(colIndex() + columns), row_ + rows);
}

// ---- ExcelManager ----

ExcelManager::~ExcelManager() = default;

core::Variant ExcelManager::sValue(const data::Field& field) const {
    switch (FieldValueOutType) {
        case 0:
            return sValueVar(field);
        case 1:
            return field.text();
        default:
            throw core::Exception(
                tr("kv_xlRep.ExcelManager.sValue.Exception", QStringLiteral("Неизвестное значение")) +
                QStringLiteral(" FieldValueOutType") + trailer("ExcelManager::sValue", __LINE__));
    }
}

core::Variant ExcelManager::sValueVar(const data::Field& field) {
    const core::Variant v = field.value();
    if (v.isUnassigned())
        throw core::Exception(QStringLiteral("ExcelManager::sValueVar) - The variant is Unassigned"));
    if (v.isNull()) return QString();
    if (dynamic_cast<const ufb::TFloatFieldExt*>(&field)) {
        const double cents = std::nearbyint(v.toDouble() * 100.0);  // the process rounds halves to even
        return core::Currency::fromDouble(cents / 100.0);
    }
    if (dynamic_cast<const ufb::TMoney100Field*>(&field)) return Money100::fromHundredths(v.toDouble());
    if (v.type() == core::VarType::Bool) return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (v.type() == core::VarType::DateTime)
        return v.toDateTime().date().toString(QStringLiteral("yyyy-MM-dd"));
    return v;
}

void ExcelManager::parseCellAddress(const QString& address, QString& letters, int& row) {
    splitCellAddress(address, letters, row);
}

// ---- ExcelManagerNative ----

ExcelManagerNative::ExcelManagerNative() : workbook_(std::make_unique<xlsx::Workbook>()) {}

ExcelManagerNative::ExcelManagerNative(const QString& templatePath) : workbook_(loadTemplate(templatePath)) {}

ExcelManagerNative::~ExcelManagerNative() = default;

void ExcelManagerNative::openTemplate(const QString& path) {
    workbook_ = loadTemplate(path);
    activeSheet_ = 0;
}

xlsx::Worksheet& ExcelManagerNative::active() {
    return workbook_->sheet(activeSheet_);
}

void ExcelManagerNative::save(const QString& path, bool open) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir(folder).exists()) QDir().mkdir(folder);
    outputFileName_ = path;
    workbook_->save(path);
    if (open) FileUtils::WinExec(path);
}

QString ExcelManagerNative::findCell(const QString& label) {
    int row = 0, column = 0;
    if (!active().findText(label, row, column)) return {};
    return QLatin1Char('$') + colLettersOf(column + 1) + QLatin1Char('$') + QString::number(row + 1);
}

void ExcelManagerNative::insertRows(int row, int count) {
    if (count > 0) workbook_->insertRows(activeSheet_, row - 1, count);
}

void ExcelManagerNative::autoWidthCol(const QString& letters) {
    active().autoFitColumn(colIndexOf(letters) - 1);
}

void ExcelManagerNative::autoWidthCols(int first, int last) {
    for (int c = first; c <= last; ++c) active().autoFitColumn(c - 1);
}

void ExcelManagerNative::setCellValue(const QString& address, const core::Variant& value) {
    int row = 0, column = 0;
    position(address, row, column);
    active().setValue(row, column, value);
}

void ExcelManagerNative::setCellFormula(const QString& address, const QString& formula) {
    int row = 0, column = 0;
    position(address, row, column);
    active().setFormula(row, column, formula);
}

void ExcelManagerNative::writeRows(int column, int row, data::Dataset& dataSet,
                                   const std::vector<data::Field*>& fields, bool autoWidth) {
    ufb::QLocatRmb place(1, dataSet, true);
    dataSet.last();
    dataSet.first();
    const int n = dataSet.recordCount();
    if (n == 0) return;
    insertRows(row, n - 1);
    const int v = static_cast<int>(fields.size());
    // Every new row takes the template row's cells over the written columns and one past them.
    for (int k = 1; k < n; ++k)
        workbook_->copyBlock(activeSheet_, {row - 1, column - 1, row - 1, column - 1 + v}, activeSheet_,
                             row - 1 + k, column - 1, false);
    xlsx::Worksheet& ws = active();
    for (int i = 0; !dataSet.eof(); ++i, dataSet.next())
        for (int j = 0; j < v; ++j) ws.setValue(row - 1 + i, column - 1 + j, sValue(*fields[j]));
    if (autoWidth) autoWidthCols(column, column + v - 1);
}

void ExcelManagerNative::outDataSet(const QString& startAddress, data::Dataset& dataSet, bool autoWidth) {
    QString letters;
    int row = 0;
    splitCellAddress(startAddress, letters, row);
    std::vector<data::Field*> fields;
    for (int i = 0; i < dataSet.fieldCount(); ++i)
        if (dataSet.field(i)->visible()) fields.push_back(dataSet.field(i));
    writeRows(colIndexOf(letters), row, dataSet, fields, autoWidth);
}

void ExcelManagerNative::outDataSetFields(const CellAdrSN& start, data::Dataset& dataSet,
                                          const std::vector<QString>& fieldNames) {
    std::vector<data::Field*> fields;
    for (const QString& name : fieldNames) fields.push_back(&dataSet.fieldByName(name));
    writeRows(start.colIndex(), start.row(), dataSet, fields, false);
}

void ExcelManagerNative::setCellValueByName(const QString& label, const core::Variant& value,
                                            bool mustExist) {
    const QString address = findCell(label);
    if (!address.isEmpty()) {
        setCellValue(address, value);
        return;
    }
    if (mustExist)
        throw core::Exception(
            QStringLiteral("Лист ") + active().name() + QLatin1Char('\n') +
            tr("kv_xlRep.ExcelManagerNative.setCellValueByName.Exception1_1", QStringLiteral("Метка")) +
            QStringLiteral(" '") + label + QStringLiteral("' ") +
            tr("kv_xlRep.ExcelManagerNative.setCellValueByName.Exception1_2",
               QStringLiteral("не найдена в шаблоне документа")) +
            trailer("ExcelManagerNative::setCellValueByName", __LINE__));
}

void ExcelManagerNative::setValueByNameAllSheets(const QString& label, const core::Variant& value) {
    const core::Variant written = value.isNull() ? core::Variant(QStringLiteral(" ")) : value;
    const int previous = activeSheet_;
    for (int s = 0; s < workbook_->sheetCount(); ++s) {
        activeSheet_ = s;
        // The labelled cells are gathered first and each written once: a value equal to the label
        // would otherwise be found again without end.
        std::vector<QString> cells;
        xlsx::Worksheet& ws = active();
        for (int r = 0; r <= ws.lastRow(); ++r)
            for (int c = 0; c <= ws.lastColumn(); ++c)
                if (const xlsx::Cell* cell = ws.cell(r, c);
                    cell && cell->type == xlsx::Cell::Type::Text && cell->text == label)
                    cells.push_back(QLatin1Char('$') + colLettersOf(c + 1) + QLatin1Char('$') +
                                    QString::number(r + 1));
        for (const QString& address : cells) setCellValue(address, written);
    }
    activeSheet_ = previous;
}

int ExcelManagerNative::findSheetIndx(const QString& name, bool mustExist) {
    const int index = workbook_->findSheet(name);
    if (index < 0 && mustExist)
        throw core::Exception(
            QStringLiteral("Лист ") + name +
            tr("kv_xlRep.ExcelManagerNative.findSheetIndx.Exception", QStringLiteral(" не найден")) +
            trailer("ExcelManagerNative::findSheetIndx", __LINE__));
    return index + 1;
}

QString ExcelManagerNative::sheetName(int index) {
    return workbook_->sheet(index == 0 ? activeSheet_ : index).name();
}

void ExcelManagerNative::setSheetName(const QString& name, int index) {
    workbook_->renameSheet(index == 0 ? activeSheet_ : index, name);
}

void ExcelManagerNative::deleteSheet(int index) {
    workbook_->deleteSheet(index);
    if (activeSheet_ > index || activeSheet_ >= workbook_->sheetCount()) --activeSheet_;
}

void ExcelManagerNative::copyRange(int count, const CellAdrSN& begin, const CellAdrSN& end, int destRow,
                                   int sourceSheet, int destSheet) {
    const int h = end.row() - begin.row() + 1;
    for (int i = 0; i < count; ++i, destRow += h) {
        xlsx::Worksheet& from = workbook_->sheet(sourceSheet);
        xlsx::Worksheet& to = workbook_->sheet(destSheet);
        for (int k = 0; k < h; ++k) to.setRowHeight(destRow - 1 + k, from.rowHeight(begin.row() - 1 + k));
        workbook_->copyBlock(sourceSheet,
                             {begin.row() - 1, begin.colIndex() - 1, end.row() - 1, end.colIndex()},
                             destSheet, destRow - 1, begin.colIndex() - 1, false);
    }
}

void ExcelManagerNative::appendRangeCount(const CellAdrSN& begin, const CellAdrSN& end, int count) {
    if (begin.isUndefined())
        throw core::Exception(tr("kv_xlRep.ExcelManagerNative.appendRangeCount.Exception1",
                                 QStringLiteral("Ячейка начала диапазона копирования не определена")) +
                              trailer("ExcelManagerNative::appendRangeCount", __LINE__));
    if (end.isUndefined())
        throw core::Exception(tr("kv_xlRep.ExcelManagerNative.appendRangeCount.Exception2",
                                 QStringLiteral("Ячейка конца диапазона копирования не определена")) +
                              trailer("ExcelManagerNative::appendRangeCount", __LINE__));
    const int h = end.row() - begin.row() + 1;
    insertRows(end.row(), count * h);
    copyRange(count, begin, end, end.row() + 1, activeSheet_, activeSheet_);
}

void ExcelManagerNative::appendRangeCount(const QString& beginLabel, const QString& endLabel, int count) {
    appendRangeCount(getCellAdr(beginLabel), getCellAdr(endLabel), count);
}

void ExcelManagerNative::outVector(const CellAdrSN& start, const std::vector<core::Variant>& values,
                                   bool down) {
    const int row = start.row() - 1, column = start.colIndex() - 1;
    if (down)
        for (size_t k = 1; k < values.size(); ++k)
            workbook_->copyBlock(activeSheet_, {row, column, row, column}, activeSheet_,
                                 row + static_cast<int>(k), column, false);
    xlsx::Worksheet& ws = active();
    for (size_t k = 0; k < values.size(); ++k) {
        const core::Variant& v = values[k].isNull() ? core::Variant(QString()) : values[k];
        if (down)
            ws.setValue(row + static_cast<int>(k), column, v);
        else
            ws.setValue(row, column + static_cast<int>(k), v);
    }
}

void ExcelManagerNative::calcAggreg4Colum(int kind, const QString& label, int count) {
    const QString address = findCell(label);
    if (address.isEmpty()) return;
    if (kind != 0)
        throw core::Exception(tr("kv_xlRep.ExcelManagerNative.calcAggreg4Colum.Exception",
                                 QStringLiteral("Неизвестный тип агрегатной функции")) +
                              trailer("ExcelManagerNative::calcAggreg4Colum", __LINE__));
    // Over no rows the range would take in its own cell (a circular reference): the sum is 0.
    if (count <= 0) {
        setCellValue(address, 0);
        return;
    }
    QString letters;
    int row = 0;
    splitCellAddress(address, letters, row);
    setCellFormula(address, QStringLiteral("SUM(%1%2:%1%3)").arg(letters).arg(row - count).arg(row - 1));
}

void ExcelManagerNative::deleteLabeledBlocks(const QString& label, int rows, int columns) {
    const int previous = activeSheet_;
    for (int s = 0; s < workbook_->sheetCount(); ++s) {
        activeSheet_ = s;
        int row = 0, column = 0;
        while (active().findText(label, row, column))
            active().clear({row, column, row + rows - 1, column + columns - 1});
    }
    activeSheet_ = previous;
}

void ExcelManagerNative::outGroupedQuery(const QString& name, const QString& sql, const QString& groupField,
                                         const QString& groupOrder, const QString& detailOrder,
                                         const std::vector<QString>& hiddenFields, bool header,
                                         bool numbering) {
    // Only the select list's "*" becomes the group field; a "*" elsewhere (a product, a comment) stays.
    static const QRegularExpression selectStar(QStringLiteral("^(\\s*select\\s+)\\*"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString groupSql = sql;
    groupSql.replace(selectStar, QStringLiteral("\\1distinct ") + groupField + QLatin1Char(' '));
    ufb::AutoQuery groups(groupSql + QStringLiteral(" order by ") + groupOrder, nullptr);
    groups->open();
    groups->fetchAll();
    const int g = groups->recordCount();
    if (g == 0) throw core::Exception(QStringLiteral("По выбранному запросу нет данных."));

    const CellAdrSN label = getCellAdr(name);
    const int h = header ? 1 : 0;
    const int r = label.row();
    insertRows(r + 1, 2 * g - 2);
    // The block spans whole used rows: the number column, every field and every sum and group-name cell.
    const int lastColumn = std::max(active().lastColumn() + 1, label.colIndex() - 1 + groups->fieldCount());
    for (int j = 0; j <= g - 2; ++j) {
        const int p = r + 1 + j * (h + 2);
        insertRows(p, h);
        workbook_->copyBlock(activeSheet_, {p - 1 - h - 1, 0, p + 1 - 1, lastColumn}, activeSheet_, p, 0,
                             true);
    }

    int counter = 1;
    for (groups->first(); !groups->eof(); groups->next()) {
        const core::Variant value = groups->fieldValue(0);
        // NULL equals nothing in SQL, and a numeric group field cannot compare with '': "is null".
        const QString where = value.isNull() ? groupField + QStringLiteral(" is null")
                                             : groupField + QStringLiteral(" = '") +
                                                   udb::quoteSql(value.toText()) + QLatin1Char('\'');
        ufb::AutoQuery detail(
            sql + QStringLiteral(" where ") + where + QStringLiteral(" order by ") + detailOrder, nullptr);
        detail->open();
        detail->fetchAll();
        detail->first();
        if (header)
            for (int i = 0; i < detail->fieldCount(); ++i) {
                const data::Field* f = detail->field(i);
                const QString groupLabel =
                    name + QLatin1Char('_') + f->fieldName() + QStringLiteral("_GROUP_NAME");
                if (!findCell(groupLabel).isEmpty())
                    setCellValueByName(groupLabel, QLatin1Char('\'') + f->text() + QLatin1Char('\''), true);
            }
        const int n = detail->recordCount();
        for (const QString& hidden : hiddenFields)
            if (data::Field* f = detail->findField(hidden)) f->setVisible(false);
        outDataSet(findCell(name), *detail.get(), false);
        if (numbering) {
            std::vector<core::Variant> numbers;
            for (int k = 0; k < n; ++k) numbers.emplace_back(counter + k);
            outVector(getCellAdr(name + QStringLiteral("_NUM")), numbers, true);
            counter += n;
        }
        int firstRow = -1;
        for (;;) {
            const QString address = findCell(name + QStringLiteral("_GROUP_SUM"));
            if (address.isEmpty()) break;
            QString letters;
            int s = 0;
            splitCellAddress(address, letters, s);
            if (firstRow >= 0 && s != firstRow) break;
            firstRow = s;
            calcAggreg4Colum(0, name + QStringLiteral("_GROUP_SUM"), n);
        }
    }
}

}  // namespace ExcelReport
