#pragma once
// Our RTF template engine: fills [[GROUP@NAME]] variables and [[#TABLE]]...[[/TABLE]] blocks of a
// template written by any word processor, and writes the filled document. Knows nothing of what the
// values mean; the syntax for template writers is described in resources/reportSystem.

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "platform/core/Exception.h"

namespace rtf {

// A template that cannot be filled: the message names the token and its place.
class TemplateError : public core::Exception {
public:
    using core::Exception::Exception;
};

// The rows of a repeated block, as display texts, under the name templates know the table by.
struct Table {
    QString name;
    QStringList columns;
    std::vector<QStringList> rows;  // one text per column, in column order
};

class Engine {
public:
    void setInputFile(const QString& path) { inputFile_ = path; }
    void setOutputFile(const QString& path) { outputFile_ = path; }
    const QString& inputFile() const { return inputFile_; }
    const QString& outputFile() const { return outputFile_; }

    // A text variable; an existing name keeps its value.
    void createVar(const QString& name, const QString& value);
    bool hasVar(const QString& name) const { return vars_.count(name) > 0; }
    QString varValue(const QString& name) const;
    void clearVars() { vars_.clear(); }

    // Fills the input with the variables and tables and writes the output file, creating its last
    // folder level. Returns the output file name. Raises TemplateError for a faulty template and
    // core::Exception when a file cannot be read or written.
    QString execute(const std::vector<Table>& tables = {});

    // The same over RTF text in memory, for callers that keep templates elsewhere.
    QByteArray fill(const QByteArray& rtf, const std::vector<Table>& tables) const;

private:
    QString inputFile_;
    QString outputFile_;
    std::map<QString, QString> vars_;
};

// The text as RTF content: \ { } escaped, line breaks and tabs as control words, every non-ASCII
// character as \uN with `uc` fallback characters (its Windows-1251 byte, else "?").
QByteArray escapeText(const QString& text, int uc);

}  // namespace rtf
