#pragma once
// The zip package of a workbook: its parts by name, in their stored order, read and written whole.

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

#include "platform/core/Exception.h"

namespace xlsx {

// Any failure to read or write a workbook file.
class Error : public core::Exception {
public:
    using core::Exception::Exception;
};

class Package {
public:
    // Raises Error for a missing file or one that is no zip archive.
    static Package read(const QString& path);
    // Raises Error when the file cannot be written.
    void write(const QString& path) const;

    bool contains(const QString& name) const { return find(name) >= 0; }
    // Raises Error for a part that is not there.
    const QByteArray& part(const QString& name) const;
    void setPart(const QString& name, QByteArray data);
    void removePart(const QString& name);

private:
    int find(const QString& name) const;
    std::vector<std::pair<QString, QByteArray>> parts_;
};

}  // namespace xlsx
