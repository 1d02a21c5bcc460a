#pragma once
// Independent readers for the workbooks the tests write: openpyxl (a python script given the file, its
// JSON answer parsed) and LibreOffice headless (every sheet of many files to CSV in one start).

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <map>

namespace tolvtest {

// Runs the python script with the Debian interpreter (the one python3-openpyxl belongs to); the script
// prints one JSON value. An empty value and the error text in `error` when it fails.
inline QJsonValue openpyxl(const QString& script, const QStringList& args, QString* error = nullptr) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
    p.waitForFinished(120000);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error) *error = QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    const QJsonDocument doc = QJsonDocument::fromJson("[" + p.readAllStandardOutput() + "]");
    return doc.array().isEmpty() ? QJsonValue() : doc.array().first();
}

// The whole workbook as openpyxl reads it: {"sheets": [{"name", "cells": {"A1": [value text, number
// format, bold, italic, python type name]}, "merges": ["A1:D1"], "widths": {"A": w}, "heights": {"1": h},
// "hidden": [rows], "orientation"}], "active": index}. Values: formulas with "=", dates as "yyyy-mm-dd",
// numbers by repr.
inline QJsonValue openpyxlDump(const QString& file, QString* error = nullptr) {
    static const char* script = R"(
import json, sys, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
out = {"sheets": [], "active": wb.index(wb.active)}
for ws in wb.worksheets:
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            v = c.value
            kind = type(v).__name__
            if v is None:
                continue
            if isinstance(v, datetime.datetime):
                v = v.strftime("%Y-%m-%d")
            elif isinstance(v, bool):
                v = "TRUE" if v else "FALSE"
            elif isinstance(v, (int, float)):
                v = repr(v)
            cells[c.coordinate] = [v, c.number_format, bool(c.font.b), bool(c.font.i), kind]
    out["sheets"].append({
        "name": ws.title, "cells": cells,
        "merges": sorted(str(r) for r in ws.merged_cells.ranges),
        "widths": {k: d.width for k, d in ws.column_dimensions.items() if d.customWidth},
        "heights": {str(k): d.height for k, d in ws.row_dimensions.items() if d.height},
        "hidden": sorted(k for k, d in ws.row_dimensions.items() if d.hidden),
        "orientation": ws.page_setup.orientation or ""})
print(json.dumps(out))
)";
    return openpyxl(QString::fromUtf8(script), QStringList{file}, error);
}

// Converts every sheet of the files to CSV in one LibreOffice run. Result: file base name + "-" + sheet
// name -> the CSV text. A file LibreOffice cannot open gives no entry.
inline std::map<QString, QString> libreOfficeCsv(const QStringList& files) {
    QTemporaryDir dir;
    QProcess p;
    // A profile of its own, so that parallel runs never share one.
    p.start(
        QStringLiteral("soffice"),
        QStringList{
            QStringLiteral("-env:UserInstallation=file://") + dir.path() + QStringLiteral("/profile"),
            QStringLiteral("--headless"), QStringLiteral("--convert-to"),
            QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1"),
            QStringLiteral("--outdir"), dir.path() + QStringLiteral("/csv")} +
            files);
    p.waitForFinished(300000);
    std::map<QString, QString> out;
    const QDir csv(dir.path() + QStringLiteral("/csv"));
    for (const QFileInfo& f : csv.entryInfoList(QDir::Files)) {
        QFile file(f.filePath());
        if (file.open(QIODevice::ReadOnly)) out[f.completeBaseName()] = QString::fromUtf8(file.readAll());
    }
    return out;
}

// Rows of a CSV text as cells (LibreOffice quotes only cells that need it).
inline std::vector<QStringList> csvRows(const QString& text) {
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                cell += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                cell += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << cell, cell.clear();
        } else if (c == u'\n') {
            row << cell, cell.clear();
            rows.push_back(row), row.clear();
        } else if (c != u'\r') {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty()) row << cell, rows.push_back(row);
    return rows;
}

}  // namespace tolvtest
