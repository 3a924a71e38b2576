#include "core/platform/ArchiveMember.h"

#include "core/platform/FileNames.h"
#include "core/platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace orvik {

namespace {

// The path's components without empty and "." ones, upper case, so that
// "./maps//e1m1.bsp" and "MAPS/E1M1.BSP" compare equal.
QString comparablePath(const QString& path) {
    QStringList parts = path.split('/', Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral("."));
    return parts.join('/').toUpper();
}

// A name the extracted copy can take that names no other place.
QString safeBaseName(const QString& memberPath) {
    const QString base = memberPath.section('/', -1, -1, QString::SectionSkipEmpty);
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String(".."))
        return QStringLiteral("member");
    return base;
}

using ArchiveReader = std::unique_ptr<archive, decltype(&archive_read_free)>;

QString archiveError(archive* reader) {
    const char* text = archive_error_string(reader);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("the archive cannot be read");
}

// Copies the data of `entry`, the current one, to `target`; the reason on
// failure.
QString copyEntryData(archive* reader, archive_entry* entry, const QString& target) {
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return out.errorString();
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    for (;;) {
        const int status = archive_read_data_block(reader, &block, &size, &offset);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN) return archiveError(reader);
        // Sparse entries leave holes between their blocks.
        if (out.pos() != offset && !out.seek(offset)) return out.errorString();
        if (out.write(static_cast<const char*>(block), qint64(size)) != qint64(size))
            return out.errorString();
    }
    // A sparse entry may end in a hole, which comes as no block.
    if (archive_entry_size_is_set(entry) && out.size() < archive_entry_size(entry) &&
        !out.resize(archive_entry_size(entry)))
        return out.errorString();
    if (!out.flush()) return out.errorString();
    return {};
}

} // namespace

std::optional<ArchiveMemberPath> findArchiveMember(const QString& storedPath) {
    const QStringList parts = storedPath.split('/', Qt::SkipEmptyParts);
    for (qsizetype head = parts.size(); head > 0; --head) {
        const QString real = resolvePath('/' + parts.first(head).join('/'));
        if (real.isEmpty()) continue;
        if (head == parts.size() || !QFileInfo(real).isFile()) return std::nullopt;
        return ArchiveMemberPath{real, parts.sliced(head).join('/')};
    }
    return std::nullopt;
}

ExtractedMember extractArchiveMember(const QString& archivePath, const QString& member) {
    const QString folder = memberExtractionFolder();
    if (folder.isEmpty()) return {{}, QStringLiteral("no private folder to extract to")};
    ArchiveReader reader(archive_read_new(), &archive_read_free);
    archive_read_support_filter_all(reader.get());
    archive_read_support_format_all(reader.get());
    if (archive_read_open_filename(reader.get(), encodeFileName(archivePath).constData(),
                                   64 * 1024) != ARCHIVE_OK)
        return {{}, archiveError(reader.get())};
    const QString wanted = comparablePath(member);
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF) return {{}, QStringLiteral("the archive holds no such file")};
        if (status < ARCHIVE_WARN) return {{}, archiveError(reader.get())};
        const char* name = archive_entry_pathname(entry);
        if (!name || archive_entry_filetype(entry) != AE_IFREG) continue;
        const QString path = decodeFileName(name);
        if (comparablePath(path) != wanted) continue;

        QTemporaryDir subfolder(folder + QStringLiteral("/XXXXXX"));
        if (!subfolder.isValid()) return {{}, subfolder.errorString()};
        const QString target = subfolder.filePath(safeBaseName(path));
        const QString failure = copyEntryData(reader.get(), entry, target);
        if (!failure.isEmpty()) return {{}, failure}; // the subfolder goes with what was written
        subfolder.setAutoRemove(false);
        return {target, {}};
    }
}

QString memberExtractionFolder() {
    // Kept for the program's life; its destructor removes it at exit.
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/orvik-members-XXXXXX"));
    return folder.isValid() ? folder.path() : QString();
}

} // namespace orvik
