#pragma once
// A Windows-style INI file kept in the Windows-1251 code page, read and written the way the Windows
// profile-file functions do it, which the program's settings and message files rely on.
//
// Sections and keys match without regard to letter case; values are trimmed and stored unchanged (no
// escaping, no quoting, no list splitting); every call reads the file anew and every write reaches the
// disk before the call returns, so a value written by one part of the program is seen by the next read
// anywhere else. A missing or unreadable file reads as an empty one.

#include <QString>
#include <QStringList>

namespace os {

class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // The value of the first matching key of the first matching section; the default when either is
    // missing. A key present with an empty value reads as the empty text.
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal text, or hexadecimal after "0x" or "$", optionally signed; anything else, or a number
    // outside the 32-bit range, gives the default.
    int readInt(const QString& section, const QString& key, int defaultValue) const;
    // An integer that is true when not 0.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    // Replaces the key's value, or adds the key at the end of its section, or adds the section at the
    // end of the file; creates the file when it is missing. Raises core::Exception when the file cannot
    // be written or a text cannot be stored: a line break, a character outside Windows-1251, or a name
    // that would not read back (a leading or trailing blank, "]" in a section, "=" in a key, a key
    // beginning with ";" or "[").
    void writeString(const QString& section, const QString& key, const QString& value) const;
    void writeInt(const QString& section, const QString& key, int value) const;
    void writeBool(const QString& section, const QString& key, bool value) const;

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    // Section names in file order, and the key names of one section in file order.
    QStringList sections() const;
    QStringList keys(const QString& section) const;

    // Removes the section with all its keys; removes one key. Nothing happens when they are missing.
    void eraseSection(const QString& section) const;
    void deleteKey(const QString& section, const QString& key) const;

private:
    QString path_;
};

}  // namespace os
