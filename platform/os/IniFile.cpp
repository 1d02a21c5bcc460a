#include "platform/os/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

#include "platform/core/Exception.h"

namespace os {

namespace {

constexpr auto kCodePage = "windows-1251";

struct Document {
    QStringList lines;
    bool crlf = false;
};

struct Entry {
    QString key;
    QString value;
};

Document load(const QString& path) {
    Document doc;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return doc;
    const QByteArray bytes = file.readAll();
    QStringDecoder decode(kCodePage);
    const QString text = decode(bytes);
    doc.crlf = text.contains(QLatin1String("\r\n"));
    doc.lines = text.split(u'\n');
    if (!doc.lines.isEmpty() && doc.lines.last().isEmpty()) doc.lines.removeLast();
    for (QString& line : doc.lines)
        if (line.endsWith(u'\r')) line.chop(1);
    return doc;
}

[[noreturn]] void writeError(const QString& path, const QString& reason) {
    throw core::Exception(QStringLiteral("Unable to write to %1 (%2)").arg(path, reason));
}

void save(const QString& path, const Document& doc) {
    const QString eol = doc.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const QString& line : doc.lines) text += line + eol;
    QStringEncoder encode(kCodePage);
    const QByteArray bytes = encode(text);
    if (encode.hasError()) writeError(path, QStringLiteral("a character has no Windows-1251 code"));

    QSaveFile file(path);
    // A folder we may not create files in still lets us rewrite a file we may write.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        writeError(path, file.errorString());
}

// "[name]" gives name; a header without its closing bracket takes the rest of the line.
std::optional<QString> sectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

std::optional<Entry> entryOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.startsWith(u';')) return std::nullopt;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) return std::nullopt;
    return Entry{t.left(eq).trimmed(), t.mid(eq + 1).trimmed()};
}

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Lines [begin, end) of the first section of that name: begin is its header. Both -1 when missing.
struct Range {
    qsizetype begin = -1;
    qsizetype end = -1;
};

Range findSection(const Document& doc, const QString& section) {
    Range r;
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        const auto name = sectionOf(doc.lines[i]);
        if (!name) continue;
        if (r.begin >= 0) {
            r.end = i;
            return r;
        }
        if (same(*name, section)) r.begin = i;
    }
    if (r.begin >= 0) r.end = doc.lines.size();
    return r;
}

qsizetype findKey(const Document& doc, Range r, const QString& key) {
    for (qsizetype i = r.begin + 1; i < r.end; ++i) {
        const auto entry = entryOf(doc.lines[i]);
        if (entry && same(entry->key, key)) return i;
    }
    return -1;
}

enum class Part { Section, Key, Value };

// Refuses what the reader above would not give back as it was written: a line break anywhere, and a
// section or key name that it trims, splits at "=", ends at "]" or takes for a comment or a header.
void checkStorable(const QString& path, Part part, const QString& text) {
    static const QString kParts[] = {QStringLiteral("section"), QStringLiteral("key"),
                                     QStringLiteral("value")};
    const QString& what = kParts[static_cast<int>(part)];
    if (text.contains(u'\n') || text.contains(u'\r'))
        writeError(path, what + QStringLiteral(" contains a line break"));
    if (part == Part::Value) return;
    const auto refuse = [&](const char* reason) {
        writeError(path, QStringLiteral("%1 '%2' %3").arg(what, text, QString::fromUtf8(reason)));
    };
    if (text != text.trimmed()) refuse("begins or ends with a blank");
    if (part == Part::Section) {
        if (text.contains(u']')) refuse("contains ']'");
        return;
    }
    if (text.contains(u'=')) refuse("contains '='");
    if (text.startsWith(u';')) refuse("begins with ';'");
    if (text.startsWith(u'[')) refuse("begins with '['");
}

// Optional sign, then decimal digits, or hexadecimal digits after "$" (up to 32 bits, as they come).
std::optional<int> parseInt(QString text) {
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) text = u'$' + text.mid(2);
    bool negative = false;
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    const bool hex = i < text.size() && text[i] == u'$';
    if (hex) ++i;
    const QString digits = text.mid(i);
    if (digits.isEmpty()) return std::nullopt;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        const bool decimal = u >= u'0' && u <= u'9';
        const bool hexDigit = decimal || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!(hex ? hexDigit : decimal)) return std::nullopt;
    }
    bool ok = false;
    const qulonglong magnitude = digits.toULongLong(&ok, hex ? 16 : 10);
    if (!ok) return std::nullopt;
    if (hex ? magnitude > 0xFFFFFFFFull : magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return std::nullopt;
    // Unsigned arithmetic: "$FFFFFFFF" is -1 and "-2147483648" fits, as the platform reads them.
    quint32 bits = static_cast<quint32>(magnitude);
    if (negative) bits = 0u - bits;
    return static_cast<qint32>(bits);
}

}  // namespace

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const {
    const Document doc = load(path_);
    const Range r = findSection(doc, section);
    if (r.begin < 0) return defaultValue;
    const qsizetype line = findKey(doc, r, key);
    return line < 0 ? defaultValue : entryOf(doc.lines[line])->value;
}

int IniFile::readInt(const QString& section, const QString& key, int defaultValue) const {
    return parseInt(readString(section, key, QString())).value_or(defaultValue);
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    return readInt(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) const {
    checkStorable(path_, Part::Section, section);
    checkStorable(path_, Part::Key, key);
    checkStorable(path_, Part::Value, value);
    Document doc = load(path_);
    const QString line = key + u'=' + value;
    const Range r = findSection(doc, section);
    if (r.begin < 0) {
        if (!doc.lines.isEmpty() && !doc.lines.last().trimmed().isEmpty()) doc.lines.append(QString());
        doc.lines.append(u'[' + section + u']');
        doc.lines.append(line);
    } else if (const qsizetype at = findKey(doc, r, key); at >= 0) {
        // The same value again leaves the file as it is: no write, no flush to the disk.
        if (doc.lines[at] == line) return;
        doc.lines[at] = line;
    } else {
        // After the section's last non-blank line, so the blank line before the next section stays.
        qsizetype after = r.end - 1;
        while (after > r.begin && doc.lines[after].trimmed().isEmpty()) --after;
        doc.lines.insert(after + 1, line);
    }
    save(path_, doc);
}

void IniFile::writeInt(const QString& section, const QString& key, int value) const {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) const {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::sectionExists(const QString& section) const {
    return findSection(load(path_), section).begin >= 0;
}

bool IniFile::valueExists(const QString& section, const QString& key) const {
    const Document doc = load(path_);
    const Range r = findSection(doc, section);
    return r.begin >= 0 && findKey(doc, r, key) >= 0;
}

QStringList IniFile::sections() const {
    QStringList names;
    for (const QString& line : load(path_).lines)
        if (const auto name = sectionOf(line)) names.append(*name);
    return names;
}

QStringList IniFile::keys(const QString& section) const {
    const Document doc = load(path_);
    const Range r = findSection(doc, section);
    QStringList names;
    for (qsizetype i = r.begin + 1; r.begin >= 0 && i < r.end; ++i)
        if (const auto entry = entryOf(doc.lines[i])) names.append(entry->key);
    return names;
}

void IniFile::eraseSection(const QString& section) const {
    Document doc = load(path_);
    const Range r = findSection(doc, section);
    if (r.begin < 0) return;
    doc.lines.remove(r.begin, r.end - r.begin);
    save(path_, doc);
}

void IniFile::deleteKey(const QString& section, const QString& key) const {
    Document doc = load(path_);
    const Range r = findSection(doc, section);
    if (r.begin < 0) return;
    const qsizetype at = findKey(doc, r, key);
    if (at < 0) return;
    doc.lines.removeAt(at);
    save(path_, doc);
}

}  // namespace os
