#include "platform/fb/Script.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "platform/fb/Client.h"
#include "platform/fb/Database.h"
#include "platform/fb/Statement.h"
#include "platform/fb/Transaction.h"

namespace fb {

std::vector<ScriptStatement> splitScript(const QString& script) {
    static const QRegularExpression setTerm(QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    std::vector<ScriptStatement> out;
    QString terminator = QStringLiteral(";");
    QString current;
    int line = 1;
    int startLine = 0;
    const int n = script.size();
    auto finish = [&] {
        // Comments before a statement belong to no statement.
        static const QRegularExpression leadingComments(QStringLiteral("^(\\s*(--[^\n]*(\n|$)|/\\*.*?\\*/))+"),
                                                        QRegularExpression::DotMatchesEverythingOption);
        const QString sql = current.remove(leadingComments).trimmed();
        current.clear();
        if (sql.isEmpty()) return;
        const QRegularExpressionMatch m = setTerm.match(sql);
        if (m.hasMatch()) {
            terminator = m.captured(1);
        } else {
            out.push_back({sql, startLine});
        }
        startLine = 0;
    };
    for (int i = 0; i < n;) {
        const QChar c = script[i];
        auto take = [&](int end) {
            const QString piece = script.mid(i, end - i);
            line += static_cast<int>(piece.count(u'\n'));
            current += piece;
            i = end;
        };
        if (c == u'\'' || c == u'"') {
            if (!startLine) startLine = line;
            const int end = script.indexOf(c, i + 1);
            take(end < 0 ? n : end + 1);
        } else if (c == u'-' && i + 1 < n && script[i + 1] == u'-') {
            const int end = script.indexOf(u'\n', i);
            take(end < 0 ? n : end);
        } else if (c == u'/' && i + 1 < n && script[i + 1] == u'*') {
            const int end = script.indexOf(QStringLiteral("*/"), i + 2);
            take(end < 0 ? n : end + 2);
        } else if (script.mid(i, terminator.size()) == terminator) {
            i += static_cast<int>(terminator.size());
            finish();
        } else {
            if (!c.isSpace() && !startLine) startLine = line;
            if (c == u'\n') ++line;
            current += c;
            ++i;
        }
    }
    finish();
    return out;
}

void runScript(Database& db, const QString& script, const QString& sourceName) {
    Transaction tr(&db);
    tr.setParams({QStringLiteral("concurrency"), QStringLiteral("wait"), QStringLiteral("write")});
    Statement q(&tr);
    q.setParamCheck(false);  // PSQL bodies use ":NAME" for their own variables
    for (const ScriptStatement& s : splitScript(script)) {
        try {
            if (s.sql.compare(QStringLiteral("COMMIT"), Qt::CaseInsensitive) == 0 ||
                s.sql.compare(QStringLiteral("COMMIT WORK"), Qt::CaseInsensitive) == 0) {
                if (tr.inTransaction()) tr.commit();
                continue;
            }
            q.setSql(s.sql);
            q.execute();
            q.close();
            q.unprepare();
            tr.commit();
        } catch (const Error& e) {
            if (tr.inTransaction()) tr.rollback();
            const QString where = QStringLiteral("%1:%2: ").arg(sourceName.isEmpty() ? QStringLiteral("script") : sourceName)
                                      .arg(s.line);
            throw Error(where + e.fullText(), e.firstMessage(), e.gdsCodes(), e.sqlCode());
        }
    }
}

void runScriptFile(Database& db, const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) detail::raise(QStringLiteral("Cannot open the script file ") + path);
    runScript(db, QString::fromUtf8(f.readAll()), path);
}

QStringList runScriptFolder(Database& db, const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists()) detail::raise(QStringLiteral("Script folder not found: ") + folder);
    QStringList run;
    for (const QString& name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        runScriptFile(db, dir.filePath(name));
        run << name;
    }
    return run;
}

}  // namespace fb
