#pragma once
// Scanning of SQL text outside quoted literals, quoted identifiers and comments.

#include <QString>
#include <QStringList>

namespace fb {

// Replaces every ":NAME" by "?" and lists the names in order of appearance (upper-cased).
struct ParsedSql {
    QString text;
    QStringList names;
};
ParsedSql parseParams(const QString& sql);

}  // namespace fb
