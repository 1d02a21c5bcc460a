#pragma once
// Runs SQL scripts of the isql kind: statements ended by the terminator, "SET TERM" changing it
// around PSQL bodies, comments, and "COMMIT". Used to build a database from its schema files.

#include <QString>
#include <QStringList>
#include <vector>

namespace fb {

class Database;

struct ScriptStatement {
    QString sql;
    int line = 0;  // where the statement starts, from 1
};

// Splits a script into its statements; "SET TERM" lines are consumed, not returned.
std::vector<ScriptStatement> splitScript(const QString& script);

// Runs every statement of the script, committing after each; a failure names the source and the line.
void runScript(Database& db, const QString& script, const QString& sourceName = QString());
void runScriptFile(Database& db, const QString& path);
// Runs the folder's "*.sql" files in name order; returns the files run.
QStringList runScriptFolder(Database& db, const QString& folder);

}  // namespace fb
