#pragma once
// The library's own exceptions. Their texts live outside the program, in the message file "kvlib.msg"
// beside it: the thrower names a section (its module) and a numeric code, and may add an extra text,
// by convention the place of the failure (placeTrailer).

#include <QString>

#include "platform/core/Exception.h"

namespace utl {

// "\n\nFunc: <function>()\nLine: <file>:<line>\n\n", the trailer every library message ends with when
// its thrower names the place of the failure.
QString placeTrailer(const QString& function, const QString& file, int line);

// A message read by section and code from a message file, followed by an extra text.
class BaseException : public core::Exception {
public:
    const QString& section() const { return section_; }
    const QString& code() const { return code_; }
    const QString& extra() const { return extra_; }

    // Full path of the message file.
    virtual QString msgFileName() const = 0;

protected:
    // Stores the fields. The message is composed by the derived constructor (loadMessage), because the
    // message file is named by an override that a base constructor cannot reach.
    BaseException(QString section, int code, QString extra);

    // The text of section/code followed by the extra text; replaces the message. Raises a plain
    // core::Exception when the message file cannot be found.
    void loadMessage();
    // The text of one code with every backslash-n pair made a line break; when the file lacks the
    // section or the key, "Cant't read <section>.<code> message".
    QString readMessageText(const QString& section, const QString& code) const;

private:
    QString section_;
    QString code_;
    QString extra_;
};

// The library's exception over "kvlib.msg", found beside the program (or at its place in the
// development tree) and remembered for the rest of the process.
class KVException : public BaseException {
public:
    KVException(const QString& module, int code, const QString& extra = QString());

    QString msgFileName() const override;
    // The first existing of the candidate places below the program folder; raises a plain
    // core::Exception when there is none.
    static QString findMsgFile();
    // Forgets the remembered place, so the next exception searches again (for tests).
    static void forgetMsgFile();
};

}  // namespace utl
