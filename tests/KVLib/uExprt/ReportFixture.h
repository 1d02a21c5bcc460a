#pragma once
// The report template made by LibreOffice at build time, and a writer's workbook read back.

#include <QJsonArray>
#include <QJsonObject>

#include "tests/support/SpreadsheetCheck.h"

namespace xlreptest {

inline const QString kReport = QStringLiteral(TOLV_REPORT_TEMPLATE);

inline QJsonObject sheetOf(const QJsonValue& dump, const QString& name) {
    for (const QJsonValue& s : dump[QStringLiteral("sheets")].toArray())
        if (s[QStringLiteral("name")].toString() == name) return s.toObject();
    return {};
}

inline QString cellOf(const QJsonObject& sheet, const QString& ref, int item = 0) {
    return sheet[QStringLiteral("cells")][ref].toArray()[item].toVariant().toString();
}

inline QString csvCell(const std::map<QString, QString>& csv, const QString& key, int row, int column) {
    const auto it = csv.find(key);
    if (it == csv.end()) return QStringLiteral("<no sheet %1>").arg(key);
    const auto rows = tolvtest::csvRows(it->second);
    if (row - 1 >= static_cast<int>(rows.size()) || column >= rows[row - 1].size()) return {};
    return rows[row - 1][column];
}

}  // namespace xlreptest
