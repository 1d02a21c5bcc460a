#include "platform/xlsx/Package.h"

#include <zip.h>
#include <QFile>

#include <memory>

namespace xlsx {

namespace {
struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
}  // namespace

Package Package::read(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open(native.constData(), ZIP_RDONLY, &error));
    if (!zip) throw Error(QStringLiteral("Cannot open the workbook file %1").arg(path));
    Package package;
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(zip.get(), i, 0, &st) != 0)
            throw Error(QStringLiteral("Damaged workbook file %1").arg(path));
        const QString name = QString::fromUtf8(st.name);
        if (name.endsWith(QLatin1Char('/'))) continue;
        std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(zip.get(), i, 0));
        if (!file) throw Error(QStringLiteral("Damaged workbook file %1").arg(path));
        QByteArray data(static_cast<qsizetype>(st.size), Qt::Uninitialized);
        if (zip_fread(file.get(), data.data(), st.size) != static_cast<zip_int64_t>(st.size))
            throw Error(QStringLiteral("Damaged workbook file %1").arg(path));
        package.parts_.emplace_back(name, std::move(data));
    }
    return package;
}

void Package::write(const QString& path) const {
    const QByteArray native = QFile::encodeName(path);
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open(native.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!zip) throw Error(QStringLiteral("Cannot write the workbook file %1").arg(path));
    // The content types part goes first, as readers that stream the archive expect.
    std::vector<const std::pair<QString, QByteArray>*> order;
    for (const auto& p : parts_)
        if (p.first == QLatin1String("[Content_Types].xml")) order.push_back(&p);
    for (const auto& p : parts_)
        if (p.first != QLatin1String("[Content_Types].xml")) order.push_back(&p);
    for (const auto* p : order) {
        // The buffers outlive zip_close, which reads them.
        zip_source_t* src = zip_source_buffer(zip.get(), p->second.constData(), p->second.size(), 0);
        if (!src) throw Error(QStringLiteral("Cannot write the workbook file %1").arg(path));
        if (zip_file_add(zip.get(), p->first.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) <
            0) {
            zip_source_free(src);
            throw Error(QStringLiteral("Cannot write the workbook file %1").arg(path));
        }
    }
    if (zip_close(zip.get()) != 0)
        throw Error(QStringLiteral("Cannot write the workbook file %1: %2")
                        .arg(path, QString::fromUtf8(zip_strerror(zip.get()))));
    zip.release();
}

int Package::find(const QString& name) const {
    for (size_t i = 0; i < parts_.size(); ++i)
        if (parts_[i].first == name) return static_cast<int>(i);
    return -1;
}

const QByteArray& Package::part(const QString& name) const {
    const int i = find(name);
    if (i < 0) throw Error(QStringLiteral("The workbook has no part %1").arg(name));
    return parts_[i].second;
}

void Package::setPart(const QString& name, QByteArray data) {
    const int i = find(name);
    if (i < 0)
        parts_.emplace_back(name, std::move(data));
    else
        parts_[i].second = std::move(data);
}

void Package::removePart(const QString& name) {
    const int i = find(name);
    if (i >= 0) parts_.erase(parts_.begin() + i);
}

}  // namespace xlsx
