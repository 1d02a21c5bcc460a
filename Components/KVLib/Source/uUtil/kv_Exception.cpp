#include "kv_Exception.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "kv_StlUtl.h"
#include "vclHelp.h"

namespace utl {

namespace {

// Filled by the first successful search, never searched again; a failed search stores nothing.
QString& foundMsgFile() {
    static QString path;
    return path;
}

}  // namespace

QString placeTrailer(const QString& function, const QString& file, int line) {
    return QStringLiteral("\n\nFunc: ") + function + QStringLiteral("()\nLine: ") + file + u':' +
           QString::number(line) + QStringLiteral("\n\n");
}

BaseException::BaseException(QString section, int code, QString extra)
    : core::Exception(QString()),
      section_(std::move(section)),
      code_(QString::number(code)),
      extra_(std::move(extra)) {}

void BaseException::loadMessage() {
    setMessage(readMessageText(section_, code_) + extra_);
}

QString BaseException::readMessageText(const QString& section, const QString& code) const {
    const QString defaultText =
        QStringLiteral("Cant't read ") + section + u'.' + code + QStringLiteral(" message");
    const QString text = vclHelp::IniFile(msgFileName()).readString(section, code, defaultText);
    return StlUtl::replaceAll(text, QStringLiteral("\\n"), QStringLiteral("\n"));
}

KVException::KVException(const QString& module, int code, const QString& extra)
    : BaseException(module, code, extra) {
    loadMessage();
}

QString KVException::msgFileName() const {
    if (foundMsgFile().isEmpty()) foundMsgFile() = findMsgFile();
    return foundMsgFile();
}

QString KVException::findMsgFile() {
    // Beside the program first; then where the file lies in the development tree, so a program run
    // from its build folder finds it without a copy.
    const QString dir = vclHelp::exeDir();
    const QStringList candidates{
        dir + QStringLiteral("/kvlib.msg"),
        dir + QStringLiteral("/../Source/Components/KVLib/Source/AppRequired/kvlib.msg"),
        dir + QStringLiteral("/../../Source/AppRequired/kvlib.msg"),
    };
    // ".." is taken off by the name, as the program's own platform does, not by following the folders.
    for (const QString& path : candidates)
        if (QFileInfo(QDir::cleanPath(path)).isFile()) return QDir::cleanPath(path);
    throw core::Exception(
        QStringLiteral("Can't find KVLib messages file 'kvlib.msg' - put this file into program dir"));
}

void KVException::forgetMsgFile() {
    foundMsgFile().clear();
}

}  // namespace utl
