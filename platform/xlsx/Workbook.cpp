#include "platform/xlsx/Workbook.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/xlsx/Formula.h"

namespace xlsx {

namespace {

const QString kRelNs = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString kMainNs = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");

QDomDocument parseXml(const QByteArray& data, const QString& part) {
    QDomDocument doc;
    if (!doc.setContent(data, false)) throw Error(QStringLiteral("Damaged workbook part %1").arg(part));
    return doc;
}

QByteArray toXml(const QDomDocument& doc) {
    return doc.toByteArray(-1);
}

// Local name of an element, whatever prefix the producer gave it.
QString localName(const QDomElement& e) {
    const QString tag = e.tagName();
    const qsizetype colon = tag.indexOf(QLatin1Char(':'));
    return colon < 0 ? tag : tag.mid(colon + 1);
}

QDomElement child(const QDomElement& parent, const QString& name) {
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (localName(e) == name) return e;
    return {};
}

std::vector<QDomElement> children(const QDomElement& parent, const QString& name) {
    std::vector<QDomElement> out;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (localName(e) == name) out.push_back(e);
    return out;
}

// A tag named like its siblings (same prefix as the document element).
QString tagLike(const QDomDocument& doc, const QString& name) {
    const QString root = doc.documentElement().tagName();
    const qsizetype colon = root.indexOf(QLatin1Char(':'));
    return colon < 0 ? name : root.left(colon + 1) + name;
}

// The text of a string item: plain, or the runs of rich text; phonetic hints left out.
QString itemText(const QDomElement& si) {
    QString s;
    for (QDomElement e = si.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const QString n = localName(e);
        if (n == QLatin1String("t"))
            s += e.text();
        else if (n == QLatin1String("r"))
            s += child(e, QStringLiteral("t")).text();
    }
    // Characters XML cannot carry are stored as _xHHHH_.
    static const QRegularExpression esc(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    if (s.contains(QLatin1String("_x"))) {
        QString out;
        qsizetype pos = 0;
        auto it = esc.globalMatch(s);
        while (it.hasNext()) {
            const auto m = it.next();
            out += s.mid(pos, m.capturedStart() - pos) + QChar(m.captured(1).toUShort(nullptr, 16));
            pos = m.capturedEnd();
        }
        s = out + s.mid(pos);
    }
    return s;
}

QString numberText(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, r.ptr - buf);
}

void escapeInto(QString& out, const QString& text) {
    for (QChar c : text) {
        switch (c.unicode()) {
            case '&':
                out += QLatin1String("&amp;");
                break;
            case '<':
                out += QLatin1String("&lt;");
                break;
            case '>':
                out += QLatin1String("&gt;");
                break;
            case '"':
                out += QLatin1String("&quot;");
                break;
            case '\t':
            case '\n':
            case '\r':
                out += c;
                break;
            default:
                if (c.unicode() < 0x20 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
                    out += QStringLiteral("_x%1_").arg(c.unicode(), 4, 16, QLatin1Char('0'));
                else
                    out += c;
        }
    }
}

QString resolveTarget(const QString& base, const QString& target) {
    if (target.startsWith(QLatin1Char('/'))) return target.mid(1);
    QStringList parts = base.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& p : target.split(QLatin1Char('/'))) {
        if (p == QLatin1String(".."))
            parts.removeLast();
        else if (p != QLatin1String("."))
            parts << p;
    }
    return parts.join(QLatin1Char('/'));
}

QString folderOf(const QString& part) {
    return part.left(part.lastIndexOf(QLatin1Char('/')) + 1);
}
QString relsOf(const QString& part) {
    return folderOf(part) + QStringLiteral("_rels/") + part.mid(part.lastIndexOf(QLatin1Char('/')) + 1) +
           QStringLiteral(".rels");
}

const char* const kEmptyTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
    R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
    R"(</Types>)";
const char* const kRootRels =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</Relationships>)";
const char* const kWorkbook =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<bookViews><workbookView activeTab="0"/></bookViews>)"
    R"(<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char* const kWorkbookRels =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";
const char* const kSheet =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheetData/></worksheet>)";
const char* const kStyles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

}  // namespace

// The cell formats of the workbook: read as they are, extended only by the date formats we add.
class Styles {
public:
    QString part;
    QDomDocument doc;
    std::map<int, int> dateOf;  // style -> the same style with the date format

    QDomElement cellXfs() const { return child(doc.documentElement(), QStringLiteral("cellXfs")); }

    mutable std::map<int, bool> dateCache;

    bool isDate(int style) const {
        if (auto it = dateCache.find(style); it != dateCache.end()) return it->second;
        return dateCache[style] = findDate(style);
    }

    bool findDate(int style) const {
        const auto xfs = children(cellXfs(), QStringLiteral("xf"));
        if (style < 0 || style >= static_cast<int>(xfs.size())) return false;
        const int id = xfs[style].attribute(QStringLiteral("numFmtId")).toInt();
        if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47)) return true;
        for (const QDomElement& f :
             children(child(doc.documentElement(), QStringLiteral("numFmts")), QStringLiteral("numFmt"))) {
            if (f.attribute(QStringLiteral("numFmtId")).toInt() != id) continue;
            QString code = f.attribute(QStringLiteral("formatCode"));
            static const QRegularExpression noise(QStringLiteral("\"[^\"]*\"|\\[[^\\]]*\\]|\\\\."));
            code.remove(noise);
            return code.contains(QRegularExpression(QStringLiteral("[dDmMyYhHsS]")));
        }
        return false;
    }

    int withDateFormat(int style) {
        if (auto it = dateOf.find(style); it != dateOf.end()) return it->second;
        QDomElement root = doc.documentElement();
        QDomElement fmts = child(root, QStringLiteral("numFmts"));
        if (fmts.isNull()) {
            fmts = doc.createElement(tagLike(doc, QStringLiteral("numFmts")));
            root.insertBefore(fmts, root.firstChildElement());
        }
        int id = 164;
        for (const QDomElement& f : children(fmts, QStringLiteral("numFmt")))
            id = std::max(id, f.attribute(QStringLiteral("numFmtId")).toInt() + 1);
        QDomElement f = doc.createElement(tagLike(doc, QStringLiteral("numFmt")));
        f.setAttribute(QStringLiteral("numFmtId"), id);
        f.setAttribute(QStringLiteral("formatCode"), QStringLiteral("dd.mm.yyyy"));
        fmts.appendChild(f);
        fmts.setAttribute(QStringLiteral("count"),
                          static_cast<int>(children(fmts, QStringLiteral("numFmt")).size()));
        QDomElement xfs = cellXfs();
        const auto list = children(xfs, QStringLiteral("xf"));
        QDomElement xf = style >= 0 && style < static_cast<int>(list.size())
                             ? list[style].cloneNode(true).toElement()
                             : list.front().cloneNode(true).toElement();
        xf.setAttribute(QStringLiteral("numFmtId"), id);
        xf.setAttribute(QStringLiteral("applyNumberFormat"), 1);
        xfs.appendChild(xf);
        const int index = static_cast<int>(list.size());
        xfs.setAttribute(QStringLiteral("count"), index + 1);
        dateOf[style] = index;
        dateCache[index] = true;
        return index;
    }
};

// ---- Worksheet ----

int Worksheet::lastRow() const {
    for (auto it = rows_.rbegin(); it != rows_.rend(); ++it)
        if (!it->second.cells.empty()) return it->first;
    return -1;
}

int Worksheet::lastColumn() const {
    int last = -1;
    for (const auto& [r, info] : rows_)
        if (!info.cells.empty()) last = std::max(last, info.cells.rbegin()->first);
    return last;
}

const Cell* Worksheet::cell(int row, int column) const {
    const auto r = rows_.find(row);
    if (r == rows_.end()) return nullptr;
    const auto c = r->second.cells.find(column);
    return c == r->second.cells.end() ? nullptr : &c->second;
}

Cell& Worksheet::at(int row, int column) {
    return rows_[row].cells[column];
}

QString Worksheet::text(int row, int column) const {
    const Cell* c = cell(row, column);
    if (!c) return {};
    switch (c->type) {
        case Cell::Type::Number:
            return numberText(c->number);
        case Cell::Type::Bool:
            return c->number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        case Cell::Type::Text:
        case Cell::Type::Error:
            return c->text;
        case Cell::Type::Blank:
            return {};
    }
    return {};
}

bool Worksheet::findText(const QString& wanted, int& row, int& column) const {
    for (const auto& [r, info] : rows_)
        for (const auto& [c, cell] : info.cells)
            if ((cell.type == Cell::Type::Text || cell.type == Cell::Type::Error) && cell.text == wanted) {
                row = r;
                column = c;
                return true;
            }
    return false;
}

core::Variant Worksheet::value(int row, int column) const {
    const Cell* c = cell(row, column);
    if (!c) return core::Variant::null();
    switch (c->type) {
        case Cell::Type::Number:
            return c->number;
        case Cell::Type::Bool:
            return c->number != 0;
        case Cell::Type::Text:
        case Cell::Type::Error:
            return c->text;
        case Cell::Type::Blank:
            break;
    }
    return core::Variant::null();
}

QString Worksheet::formula(int row, int column) const {
    const Cell* c = cell(row, column);
    return c ? c->formula : QString();
}

int Worksheet::style(int row, int column) const {
    const Cell* c = cell(row, column);
    return c ? c->style : -1;
}

void Worksheet::setValue(int row, int column, const core::Variant& value) {
    Cell& c = at(row, column);
    c.formula.clear();
    c.text.clear();
    switch (value.type()) {
        case core::VarType::Unassigned:
        case core::VarType::Null:
            c.type = Cell::Type::Blank;
            break;
        case core::VarType::Bool:
            c.type = Cell::Type::Bool;
            c.number = value.toBool() ? 1 : 0;
            break;
        case core::VarType::Int32:
        case core::VarType::Int64:
        case core::VarType::Double:
        case core::VarType::Currency:
            c.type = Cell::Type::Number;
            c.number = value.toDouble();
            break;
        case core::VarType::DateTime:
            c.type = Cell::Type::Number;
            c.number = value.toDateTime().value();
            if (!book_->styles_->isDate(c.style)) c.style = book_->styles_->withDateFormat(c.style);
            break;
        case core::VarType::Text:
            c.type = Cell::Type::Text;
            c.text = value.toText();
            break;
    }
}

void Worksheet::setFormula(int row, int column, const QString& formula) {
    Cell& c = at(row, column);
    c.type = Cell::Type::Blank;
    c.text.clear();
    c.formula = normalizeFormula(formula);
}

void Worksheet::setStyle(int row, int column, int style) {
    at(row, column).style = style;
}

void Worksheet::clear(const Range& range) {
    for (auto it = rows_.lower_bound(range.firstRow); it != rows_.end() && it->first <= range.lastRow; ++it)
        for (auto c = it->second.cells.lower_bound(range.firstColumn);
             c != it->second.cells.end() && c->first <= range.lastColumn; ++c) {
            c->second.type = Cell::Type::Blank;
            c->second.text.clear();
            c->second.formula.clear();
        }
}

double Worksheet::rowHeight(int row) const {
    const auto r = rows_.find(row);
    return r == rows_.end() ? 0 : r->second.height;
}

void Worksheet::setRowHeight(int row, double points) {
    rows_[row].height = points;
}

bool Worksheet::rowHidden(int row) const {
    const auto r = rows_.find(row);
    return r != rows_.end() && r->second.hidden;
}

double Worksheet::columnWidth(int column) const {
    const auto c = columns_.find(column);
    return c == columns_.end() ? 0 : c->second.width;
}

void Worksheet::setColumnWidth(int column, double characters) {
    columns_[column].width = characters;
}

bool Worksheet::columnHidden(int column) const {
    const auto c = columns_.find(column);
    return c != columns_.end() && c->second.hidden;
}

void Worksheet::autoFitColumn(int column) {
    qsizetype longest = 0;
    for (const auto& [r, info] : rows_) {
        const auto c = info.cells.find(column);
        if (c == info.cells.end() || (c->second.type == Cell::Type::Blank && c->second.formula.isEmpty()))
            continue;
        const bool inMerge = std::any_of(merges_.begin(), merges_.end(), [&](const Range& m) {
            return m.firstColumn != m.lastColumn && r >= m.firstRow && r <= m.lastRow &&
                   column >= m.firstColumn && column <= m.lastColumn;
        });
        if (inMerge) continue;
        qsizetype len = 0;
        if (c->second.type == Cell::Type::Number && book_->styles_->isDate(c->second.style))
            len = 10;
        else if (!c->second.formula.isEmpty())
            len = 10;
        else
            for (const QString& line : text(r, column).split(QLatin1Char('\n')))
                len = std::max(len, line.size());
        longest = std::max(longest, len);
    }
    if (longest > 0) setColumnWidth(column, std::min(255.0, longest * 1.15 + 1.5));
}

void Worksheet::addMerge(const Range& range) {
    std::erase_if(merges_, [&](const Range& m) {
        return m.firstRow <= range.lastRow && m.lastRow >= range.firstRow &&
               m.firstColumn <= range.lastColumn && m.lastColumn >= range.firstColumn;
    });
    merges_.push_back(range);
}

// ---- Workbook ----

Workbook::Workbook() {
    Package p;
    p.setPart(QStringLiteral("[Content_Types].xml"), kEmptyTypes);
    p.setPart(QStringLiteral("_rels/.rels"), kRootRels);
    p.setPart(QStringLiteral("xl/workbook.xml"), kWorkbook);
    p.setPart(QStringLiteral("xl/_rels/workbook.xml.rels"), kWorkbookRels);
    p.setPart(QStringLiteral("xl/worksheets/sheet1.xml"), kSheet);
    p.setPart(QStringLiteral("xl/styles.xml"), kStyles);
    read(std::move(p));
}

Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::load(const QString& path) {
    auto book = std::make_unique<Workbook>();
    book->sheets_.clear();
    book->read(Package::read(path));
    return book;
}

Worksheet& Workbook::sheet(int index) {
    if (index < 0 || index >= sheetCount())
        throw Error(QStringLiteral("No sheet %1 in the workbook").arg(index));
    return *sheets_[index];
}

int Workbook::findSheet(const QString& name) const {
    for (int i = 0; i < sheetCount(); ++i)
        if (sheets_[i]->name_ == name) return i;
    return -1;
}

void Workbook::read(Package package) {
    package_ = std::move(package);
    sheets_.clear();
    sharedStrings_.clear();
    typesDoc_ =
        parseXml(package_.part(QStringLiteral("[Content_Types].xml")), QStringLiteral("content types"));
    const QDomDocument rootRels =
        parseXml(package_.part(QStringLiteral("_rels/.rels")), QStringLiteral("_rels/.rels"));
    workbookPart_.clear();
    for (const QDomElement& r : children(rootRels.documentElement(), QStringLiteral("Relationship")))
        if (r.attribute(QStringLiteral("Type")).endsWith(QLatin1String("/officeDocument")))
            workbookPart_ = resolveTarget(QString(), r.attribute(QStringLiteral("Target")));
    if (workbookPart_.isEmpty()) throw Error(QStringLiteral("The package holds no workbook"));
    workbookDoc_ = parseXml(package_.part(workbookPart_), workbookPart_);
    relsDoc_ = parseXml(package_.part(relsOf(workbookPart_)), relsOf(workbookPart_));
    const QString base = folderOf(workbookPart_);
    std::map<QString, QString> targets;
    styles_ = std::make_unique<Styles>();
    for (const QDomElement& r : children(relsDoc_.documentElement(), QStringLiteral("Relationship"))) {
        const QString type = r.attribute(QStringLiteral("Type"));
        const QString target = resolveTarget(base, r.attribute(QStringLiteral("Target")));
        targets[r.attribute(QStringLiteral("Id"))] = target;
        if (type.endsWith(QLatin1String("/sharedStrings"))) {
            const QDomDocument sst = parseXml(package_.part(target), target);
            for (const QDomElement& si : children(sst.documentElement(), QStringLiteral("si")))
                sharedStrings_.push_back(itemText(si));
        } else if (type.endsWith(QLatin1String("/styles"))) {
            styles_->part = target;
            styles_->doc = parseXml(package_.part(target), target);
        }
    }
    if (styles_->part.isEmpty()) throw Error(QStringLiteral("The workbook has no styles"));
    const QDomElement root = workbookDoc_.documentElement();
    for (const QDomElement& s : children(child(root, QStringLiteral("sheets")), QStringLiteral("sheet"))) {
        auto sheet = std::make_unique<Worksheet>();
        sheet->book_ = this;
        sheet->name_ = s.attribute(QStringLiteral("name"));
        sheet->relId_ = s.attribute(QStringLiteral("r:id"));
        sheet->partName_ = targets[sheet->relId_];
        readSheet(*sheet);
        sheets_.push_back(std::move(sheet));
    }
    if (sheets_.empty()) throw Error(QStringLiteral("The workbook has no sheets"));
    activeSheet_ = child(child(root, QStringLiteral("bookViews")), QStringLiteral("workbookView"))
                       .attribute(QStringLiteral("activeTab"), QStringLiteral("0"))
                       .toInt();
    if (activeSheet_ < 0 || activeSheet_ >= sheetCount()) activeSheet_ = 0;
}

void Workbook::readSheet(Worksheet& sheet) {
    sheet.doc_ = parseXml(package_.part(sheet.partName_), sheet.partName_);
    QDomElement root = sheet.doc_.documentElement();
    struct Shared {
        QString formula;
        int row, column;
    };
    std::map<QString, Shared> shared;
    QDomElement data = child(root, QStringLiteral("sheetData"));
    int nextRow = 0;
    for (const QDomElement& r : children(data, QStringLiteral("row"))) {
        const int rowIndex =
            r.hasAttribute(QStringLiteral("r")) ? r.attribute(QStringLiteral("r")).toInt() - 1 : nextRow;
        nextRow = rowIndex + 1;
        auto& info = sheet.rows_[rowIndex];
        const QDomNamedNodeMap attrs = r.attributes();
        for (int i = 0; i < attrs.count(); ++i) {
            const QDomAttr a = attrs.item(i).toAttr();
            const QString n = a.name();
            if (n == QLatin1String("ht"))
                info.height = a.value().toDouble();
            else if (n == QLatin1String("hidden"))
                info.hidden = a.value() == QLatin1String("1") || a.value() == QLatin1String("true");
            else if (n != QLatin1String("r") && n != QLatin1String("spans") &&
                     n != QLatin1String("customHeight"))
                info.extra += QStringLiteral(" %1=\"%2\"").arg(n, a.value().toHtmlEscaped());
        }
        int nextColumn = 0;
        for (const QDomElement& c : children(r, QStringLiteral("c"))) {
            int row = rowIndex, column = nextColumn;
            if (c.hasAttribute(QStringLiteral("r")))
                parseCellName(c.attribute(QStringLiteral("r")), row, column);
            nextColumn = column + 1;
            Cell cell;
            cell.style = c.hasAttribute(QStringLiteral("s")) ? c.attribute(QStringLiteral("s")).toInt() : -1;
            const QString t = c.attribute(QStringLiteral("t"), QStringLiteral("n"));
            const QDomElement v = child(c, QStringLiteral("v"));
            const QDomElement f = child(c, QStringLiteral("f"));
            if (!f.isNull()) {
                const QString si = f.attribute(QStringLiteral("si"));
                if (f.attribute(QStringLiteral("t")) == QLatin1String("shared") && !si.isEmpty()) {
                    if (!f.text().isEmpty()) {
                        shared[si] = {f.text(), row, column};
                        cell.formula = f.text();
                    } else if (auto m = shared.find(si); m != shared.end()) {
                        const int dr = row - m->second.row, dc = column - m->second.column;
                        cell.formula = rewriteReferences(m->second.formula, [&](Reference& ref) {
                            if (!ref.absRow) ref.row += dr;
                            if (!ref.absColumn) ref.column += dc;
                        });
                    }
                } else {
                    cell.formula = f.text();
                }
            }
            if (t == QLatin1String("s")) {
                const int i = v.text().toInt();
                cell.type = Cell::Type::Text;
                if (i >= 0 && i < static_cast<int>(sharedStrings_.size())) cell.text = sharedStrings_[i];
            } else if (t == QLatin1String("inlineStr")) {
                cell.type = Cell::Type::Text;
                cell.text = itemText(child(c, QStringLiteral("is")));
            } else if (t == QLatin1String("str")) {
                cell.type = v.isNull() ? Cell::Type::Blank : Cell::Type::Text;
                cell.text = v.text();
            } else if (t == QLatin1String("b")) {
                cell.type = Cell::Type::Bool;
                cell.number = v.text().toInt();
            } else if (t == QLatin1String("e")) {
                cell.type = Cell::Type::Error;
                cell.text = v.text();
            } else if (!v.isNull() && !v.text().isEmpty()) {
                cell.type = Cell::Type::Number;
                cell.number = v.text().toDouble();
            }
            info.cells[column] = std::move(cell);
        }
    }
    // The cell data now lives in the maps; the element stays as the place to write it back.
    while (!data.firstChild().isNull()) data.removeChild(data.firstChild());
    QDomElement cols = child(root, QStringLiteral("cols"));
    for (const QDomElement& col : children(cols, QStringLiteral("col"))) {
        Worksheet::ColumnInfo ci;
        ci.width = col.attribute(QStringLiteral("width")).toDouble();
        ci.hidden = col.attribute(QStringLiteral("hidden")) == QLatin1String("1") ||
                    col.attribute(QStringLiteral("hidden")) == QLatin1String("true");
        ci.style =
            col.hasAttribute(QStringLiteral("style")) ? col.attribute(QStringLiteral("style")).toInt() : -1;
        const int first = col.attribute(QStringLiteral("min")).toInt() - 1;
        // A last span to the sheet's edge sets a default, not 16384 columns of ours.
        const int last = std::min(col.attribute(QStringLiteral("max")).toInt() - 1, first + 1023);
        for (int i = first; i <= last; ++i) sheet.columns_[i] = ci;
    }
    if (!cols.isNull()) root.removeChild(cols);
    QDomElement mergeCells = child(root, QStringLiteral("mergeCells"));
    for (const QDomElement& m : children(mergeCells, QStringLiteral("mergeCell"))) {
        const QStringList ends = m.attribute(QStringLiteral("ref")).split(QLatin1Char(':'));
        Range range;
        if (ends.size() == 2 && parseCellName(ends[0], range.firstRow, range.firstColumn) &&
            parseCellName(ends[1], range.lastRow, range.lastColumn))
            sheet.merges_.push_back(range);
    }
    if (!mergeCells.isNull()) root.removeChild(mergeCells);
}

QByteArray Workbook::writeSheet(Worksheet& sheet, QHash<QString, int>& strings, QStringList& stringList) {
    QDomDocument& doc = sheet.doc_;
    QDomElement root = doc.documentElement();
    QDomElement data = child(root, QStringLiteral("sheetData"));
    // Columns, merged areas and the used area are written from the model each time.
    if (QDomElement old = child(root, QStringLiteral("cols")); !old.isNull()) root.removeChild(old);
    if (QDomElement old = child(root, QStringLiteral("mergeCells")); !old.isNull()) root.removeChild(old);
    if (!sheet.columns_.empty()) {
        QDomElement cols = doc.createElement(tagLike(doc, QStringLiteral("cols")));
        for (auto it = sheet.columns_.begin(); it != sheet.columns_.end();) {
            auto end = it;
            int last = it->first;
            while (std::next(end) != sheet.columns_.end() && std::next(end)->first == last + 1 &&
                   std::next(end)->second.width == it->second.width &&
                   std::next(end)->second.hidden == it->second.hidden &&
                   std::next(end)->second.style == it->second.style) {
                ++end;
                ++last;
            }
            QDomElement col = doc.createElement(tagLike(doc, QStringLiteral("col")));
            col.setAttribute(QStringLiteral("min"), it->first + 1);
            col.setAttribute(QStringLiteral("max"), last + 1);
            col.setAttribute(QStringLiteral("width"),
                             numberText(it->second.width > 0 ? it->second.width : 8.43));
            if (it->second.width > 0) col.setAttribute(QStringLiteral("customWidth"), 1);
            if (it->second.style >= 0) col.setAttribute(QStringLiteral("style"), it->second.style);
            if (it->second.hidden) col.setAttribute(QStringLiteral("hidden"), 1);
            cols.appendChild(col);
            it = std::next(end);
        }
        root.insertBefore(cols, data);
    }
    if (!sheet.merges_.empty()) {
        QDomElement merges = doc.createElement(tagLike(doc, QStringLiteral("mergeCells")));
        merges.setAttribute(QStringLiteral("count"), static_cast<int>(sheet.merges_.size()));
        for (const Range& m : sheet.merges_) {
            QDomElement e = doc.createElement(tagLike(doc, QStringLiteral("mergeCell")));
            e.setAttribute(QStringLiteral("ref"), cellName(m.firstRow, m.firstColumn) + QLatin1Char(':') +
                                                      cellName(m.lastRow, m.lastColumn));
            merges.appendChild(e);
        }
        // The schema's order: mergeCells follows these when they are there.
        static const QStringList before = {"sheetData",       "sheetCalcPr",     "sheetProtection",
                                           "protectedRanges", "scenarios",       "autoFilter",
                                           "sortState",       "dataConsolidate", "customSheetViews"};
        QDomElement after = data;
        for (QDomElement e = data.nextSiblingElement(); !e.isNull() && before.contains(localName(e));
             e = e.nextSiblingElement())
            after = e;
        root.insertAfter(merges, after);
    }
    QDomElement dim = child(root, QStringLiteral("dimension"));
    if (!dim.isNull()) {
        const int lr = sheet.lastRow(), lc = sheet.lastColumn();
        dim.setAttribute(QStringLiteral("ref"), lr < 0
                                                    ? QStringLiteral("A1")
                                                    : QStringLiteral("A1:") + cellName(lr, std::max(lc, 0)));
    }
    // Built as UTF-8 bytes directly: a sheet of a million cells is written in one pass.
    const QByteArray dataTag = data.tagName().toUtf8();
    const QByteArray cTag = tagLike(doc, QStringLiteral("c")).toUtf8(),
                     vTag = tagLike(doc, QStringLiteral("v")).toUtf8();
    const QByteArray fTag = tagLike(doc, QStringLiteral("f")).toUtf8(),
                     rowTag = tagLike(doc, QStringLiteral("row")).toUtf8();
    const QByteArray vClose = "</" + vTag + "></" + cTag + ">";
    const auto appendInt = [](QByteArray& a, qint64 n) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, n);
        a.append(buf, r.ptr - buf);
    };
    const auto appendEscaped = [](QByteArray& a, const QString& text) {
        QString escaped;
        escapeInto(escaped, text);
        a += escaped.toUtf8();
    };
    QByteArray out;
    out.reserve(static_cast<qsizetype>(sheet.rows_.size()) * 256);
    out += '<' + dataTag + '>';
    for (const auto& [r, info] : sheet.rows_) {
        if (info.cells.empty() && info.height == 0 && !info.hidden && info.extra.isEmpty()) continue;
        out += '<' + rowTag + " r=\"";
        appendInt(out, r + 1);
        out += '"';
        if (info.height > 0) out += " ht=\"" + numberText(info.height).toLatin1() + "\" customHeight=\"1\"";
        if (info.hidden) out += " hidden=\"1\"";
        out += info.extra.toUtf8() + '>';
        for (const auto& [c, cell] : info.cells) {
            if (cell.type == Cell::Type::Blank && cell.formula.isEmpty() && cell.style < 0) continue;
            out += '<' + cTag + " r=\"" + columnLetters(c).toLatin1();
            appendInt(out, r + 1);
            out += '"';
            if (cell.style >= 0) {
                out += " s=\"";
                appendInt(out, cell.style);
                out += '"';
            }
            if (!cell.formula.isEmpty()) {
                // No cached value: the reader computes it (the workbook asks for a full calculation).
                out += "><" + fTag + '>';
                appendEscaped(out, cell.formula);
                out += "</" + fTag + "></" + cTag + '>';
                continue;
            }
            switch (cell.type) {
                case Cell::Type::Blank:
                    out += "/>";
                    continue;
                case Cell::Type::Number:
                    out += "><" + vTag + '>' + numberText(cell.number).toLatin1();
                    break;
                case Cell::Type::Bool:
                    out += " t=\"b\"><" + vTag + '>' + (cell.number != 0 ? '1' : '0');
                    break;
                case Cell::Type::Error:
                    out += " t=\"e\"><" + vTag + '>';
                    appendEscaped(out, cell.text);
                    break;
                case Cell::Type::Text: {
                    auto it = strings.find(cell.text);
                    if (it == strings.end()) {
                        it = strings.insert(cell.text, static_cast<int>(stringList.size()));
                        stringList << cell.text;
                    }
                    out += " t=\"s\"><" + vTag + '>';
                    appendInt(out, it.value());
                    break;
                }
            }
            out += vClose;
        }
        out += "</" + rowTag + '>';
    }
    out += "</" + dataTag + '>';
    QByteArray xml = toXml(doc);
    const QByteArray empty = "<" + dataTag + "/>";
    const qsizetype at = xml.indexOf(empty);
    if (at < 0) throw Error(QStringLiteral("The sheet %1 has no cell data element").arg(sheet.name_));
    xml.replace(at, empty.size(), out);
    return xml;
}

void Workbook::save(const QString& path) {
    QDomElement root = workbookDoc_.documentElement();
    QDomElement sheetsEl = child(root, QStringLiteral("sheets"));
    // Each sheet element takes its sheet's current name.
    for (const QDomElement& s : children(sheetsEl, QStringLiteral("sheet")))
        for (const auto& sh : sheets_)
            if (sh->relId_ == s.attribute(QStringLiteral("r:id")))
                const_cast<QDomElement&>(s).setAttribute(QStringLiteral("name"), sh->name_);
    QDomElement view = child(child(root, QStringLiteral("bookViews")), QStringLiteral("workbookView"));
    if (!view.isNull()) {
        view.setAttribute(QStringLiteral("activeTab"), activeSheet_);
        if (view.attribute(QStringLiteral("firstSheet")).toInt() >= sheetCount())
            view.removeAttribute(QStringLiteral("firstSheet"));
    }
    // Cached results are gone or stale: the reader recalculates everything on open.
    QDomElement calc = child(root, QStringLiteral("calcPr"));
    if (calc.isNull()) {
        calc = workbookDoc_.createElement(tagLike(workbookDoc_, QStringLiteral("calcPr")));
        QDomElement names = child(root, QStringLiteral("definedNames"));
        root.insertAfter(calc, names.isNull() ? sheetsEl : names);
    }
    calc.setAttribute(QStringLiteral("fullCalcOnLoad"), 1);

    QHash<QString, int> strings;
    QStringList stringList;
    for (auto& sh : sheets_) package_.setPart(sh->partName_, writeSheet(*sh, strings, stringList));

    // A calculation chain names cells that may have moved; readers rebuild it.
    QDomElement types = typesDoc_.documentElement();
    QString sstPart;
    for (QDomElement r = relsDoc_.documentElement().firstChildElement(); !r.isNull();) {
        QDomElement next = r.nextSiblingElement();
        const QString type = r.attribute(QStringLiteral("Type"));
        const QString target = resolveTarget(folderOf(workbookPart_), r.attribute(QStringLiteral("Target")));
        if (type.endsWith(QLatin1String("/calcChain"))) {
            package_.removePart(target);
            relsDoc_.documentElement().removeChild(r);
            for (const QDomElement& o : children(types, QStringLiteral("Override")))
                if (o.attribute(QStringLiteral("PartName")) == QLatin1Char('/') + target)
                    types.removeChild(o);
        } else if (type.endsWith(QLatin1String("/sharedStrings"))) {
            sstPart = target;
        }
        r = next;
    }
    if (sstPart.isEmpty()) {
        sstPart = folderOf(workbookPart_) + QStringLiteral("sharedStrings.xml");
        int n = 1;
        QStringList ids;
        for (const QDomElement& r : children(relsDoc_.documentElement(), QStringLiteral("Relationship")))
            ids << r.attribute(QStringLiteral("Id"));
        while (ids.contains(QStringLiteral("rId%1").arg(n))) ++n;
        QDomElement rel = relsDoc_.createElement(QStringLiteral("Relationship"));
        rel.setAttribute(QStringLiteral("Id"), QStringLiteral("rId%1").arg(n));
        rel.setAttribute(QStringLiteral("Type"), kRelNs + QStringLiteral("/sharedStrings"));
        rel.setAttribute(QStringLiteral("Target"), QStringLiteral("sharedStrings.xml"));
        relsDoc_.documentElement().appendChild(rel);
        QDomElement o = typesDoc_.createElement(QStringLiteral("Override"));
        o.setAttribute(QStringLiteral("PartName"), QLatin1Char('/') + sstPart);
        o.setAttribute(
            QStringLiteral("ContentType"),
            QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"));
        types.appendChild(o);
    }
    QString sst = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><sst xmlns=")") +
                  kMainNs + QStringLiteral(R"(" count="%1" uniqueCount="%1">)").arg(stringList.size());
    for (const QString& s : stringList) {
        sst += QStringLiteral("<si><t xml:space=\"preserve\">");
        escapeInto(sst, s);
        sst += QStringLiteral("</t></si>");
    }
    sst += QStringLiteral("</sst>");
    package_.setPart(sstPart, sst.toUtf8());
    package_.setPart(styles_->part, toXml(styles_->doc));
    package_.setPart(workbookPart_, toXml(workbookDoc_));
    package_.setPart(relsOf(workbookPart_), toXml(relsDoc_));
    package_.setPart(QStringLiteral("[Content_Types].xml"), toXml(typesDoc_));
    package_.write(path);
}

std::vector<std::pair<QString, QString>> Workbook::definedNames() const {
    std::vector<std::pair<QString, QString>> out;
    for (const QDomElement& d :
         children(child(workbookDoc_.documentElement(), QStringLiteral("definedNames")),
                  QStringLiteral("definedName")))
        out.emplace_back(d.attribute(QStringLiteral("name")), d.text());
    return out;
}

void Workbook::forEachFormula(const std::function<void(QString&, const QString&)>& f) {
    for (auto& sh : sheets_)
        for (auto& [r, info] : sh->rows_)
            for (auto& [c, cell] : info.cells)
                if (!cell.formula.isEmpty()) f(cell.formula, sh->name_);
    for (const QDomElement& d :
         children(child(workbookDoc_.documentElement(), QStringLiteral("definedNames")),
                  QStringLiteral("definedName"))) {
        QString text = d.text();
        f(text, QString());
        QDomElement e = d;
        while (!e.firstChild().isNull()) e.removeChild(e.firstChild());
        e.appendChild(workbookDoc_.createTextNode(text));
    }
}

void Workbook::renameSheet(int index, const QString& name) {
    Worksheet& target = sheet(index);
    const QString old = target.name_;
    forEachFormula([&](QString& formula, const QString&) {
        formula = rewriteReferences(formula, [&](Reference& r) {
            if (r.sheet == old) r.sheet = name;
        });
    });
    target.name_ = name;
}

void Workbook::deleteSheet(int index) {
    Worksheet& gone = sheet(index);
    if (sheetCount() == 1) throw Error(QStringLiteral("A workbook keeps at least one sheet"));
    QDomElement root = workbookDoc_.documentElement();
    QDomElement sheetsEl = child(root, QStringLiteral("sheets"));
    for (const QDomElement& s : children(sheetsEl, QStringLiteral("sheet")))
        if (s.attribute(QStringLiteral("r:id")) == gone.relId_) sheetsEl.removeChild(s);
    for (const QDomElement& r : children(relsDoc_.documentElement(), QStringLiteral("Relationship")))
        if (r.attribute(QStringLiteral("Id")) == gone.relId_) relsDoc_.documentElement().removeChild(r);
    QDomElement types = typesDoc_.documentElement();
    for (const QDomElement& o : children(types, QStringLiteral("Override")))
        if (o.attribute(QStringLiteral("PartName")) == QLatin1Char('/') + gone.partName_)
            types.removeChild(o);
    package_.removePart(gone.partName_);
    package_.removePart(relsOf(gone.partName_));
    QDomElement names = child(root, QStringLiteral("definedNames"));
    for (const QDomElement& d : children(names, QStringLiteral("definedName"))) {
        bool refers = false;
        rewriteReferences(d.text(), [&](Reference& r) { refers = refers || r.sheet == gone.name_; });
        const bool local = d.hasAttribute(QStringLiteral("localSheetId"));
        const int id = d.attribute(QStringLiteral("localSheetId")).toInt();
        if (refers || (local && id == index))
            names.removeChild(d);
        else if (local && id > index)
            const_cast<QDomElement&>(d).setAttribute(QStringLiteral("localSheetId"), id - 1);
    }
    if (!names.isNull() && names.firstChildElement().isNull()) root.removeChild(names);
    sheets_.erase(sheets_.begin() + index);
    if (activeSheet_ >= index && activeSheet_ > 0) --activeSheet_;
}

void Workbook::insertRows(int sheetIndex, int belowRow, int count) {
    if (count <= 0) return;
    Worksheet& ws = sheet(sheetIndex);
    std::map<int, Worksheet::RowInfo> moved;
    for (auto it = ws.rows_.upper_bound(belowRow); it != ws.rows_.end();)
        moved.emplace(it->first + count, std::move(it->second)), it = ws.rows_.erase(it);
    ws.rows_.merge(moved);
    const double height = ws.rowHeight(belowRow);
    if (height > 0)
        for (int r = belowRow + 1; r <= belowRow + count; ++r) ws.rows_[r].height = height;
    for (Range& m : ws.merges_) {
        if (m.firstRow > belowRow)
            m.firstRow += count, m.lastRow += count;
        else if (m.lastRow > belowRow)
            m.lastRow += count;
    }
    const QString name = ws.name_;
    forEachFormula([&](QString& formula, const QString& owner) {
        formula = rewriteReferences(formula, [&](Reference& r) {
            const QString on = r.sheet.isEmpty() ? owner : r.sheet;
            if (on == name && r.row > belowRow) r.row += count;
        });
    });
}

void Workbook::copyBlock(int sourceSheet, const Range& source, int targetSheet, int targetRow,
                         int targetColumn, bool rowHeights) {
    Worksheet& from = sheet(sourceSheet);
    Worksheet& to = sheet(targetSheet);
    const int dr = targetRow - source.firstRow, dc = targetColumn - source.firstColumn;
    struct Item {
        int row, column;
        Cell cell;
    };
    std::vector<Item> items;
    std::vector<std::pair<int, double>> heights;
    for (auto it = from.rows_.lower_bound(source.firstRow);
         it != from.rows_.end() && it->first <= source.lastRow; ++it) {
        heights.emplace_back(it->first, it->second.height);
        for (auto c = it->second.cells.lower_bound(source.firstColumn);
             c != it->second.cells.end() && c->first <= source.lastColumn; ++c)
            items.push_back({it->first, c->first, c->second});
    }
    std::vector<Range> merges;
    for (const Range& m : from.merges_)
        if (m.firstRow >= source.firstRow && m.lastRow <= source.lastRow &&
            m.firstColumn >= source.firstColumn && m.lastColumn <= source.lastColumn)
            merges.push_back({m.firstRow + dr, m.firstColumn + dc, m.lastRow + dr, m.lastColumn + dc});
    const Range target{targetRow, targetColumn, source.lastRow + dr, source.lastColumn + dc};
    for (auto it = to.rows_.lower_bound(target.firstRow); it != to.rows_.end() && it->first <= target.lastRow;
         ++it)
        std::erase_if(it->second.cells, [&](const auto& c) {
            return c.first >= target.firstColumn && c.first <= target.lastColumn;
        });
    for (Item& item : items) {
        if (!item.cell.formula.isEmpty())
            item.cell.formula = rewriteReferences(item.cell.formula, [&](Reference& r) {
                if (!r.absRow) r.row += dr;
                if (!r.absColumn) r.column += dc;
            });
        to.rows_[item.row + dr].cells[item.column + dc] = std::move(item.cell);
    }
    if (rowHeights) {
        for (int r = target.firstRow; r <= target.lastRow; ++r) to.rows_[r].height = 0;
        for (const auto& [r, h] : heights) to.rows_[r + dr].height = h;
    }
    for (const Range& m : merges) to.addMerge(m);
}

}  // namespace xlsx
