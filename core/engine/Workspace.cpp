#include "core/engine/Workspace.h"

#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/FileIndex.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace orvik::engine {

namespace {

Error systemError(int code) {
    return Error(code, QString::fromLocal8Bit(std::strerror(code)));
}

// Makes a file (or a folder's entries) durable before anything relies on it.
void syncFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The shared connections, by file; a file name in any letter case is the same catalogue.
QHash<QString, std::weak_ptr<Catalogue>>& sharedDatabases() {
    static QHash<QString, std::weak_ptr<Catalogue>> shared;
    return shared;
}

QString sharedKey(const QString& path) {
    const QFileInfo file(path);
    return file.absolutePath() + QLatin1Char('/') + file.fileName().toCaseFolded();
}

} // namespace

std::vector<std::shared_ptr<Catalogue>> Workspace::openDatabases() {
    std::vector<std::shared_ptr<Catalogue>> open;
    std::erase_if(m_databases, [](const std::weak_ptr<Catalogue>& w) { return w.expired(); });
    for (const auto& weak : m_databases)
        if (auto db = weak.lock(); db && db->isOpen()) open.push_back(db);
    return open;
}

std::shared_ptr<Catalogue> Workspace::OpenDatabase(const QString& path) {
    std::weak_ptr<Catalogue>& slot = sharedDatabases()[sharedKey(path)];
    if (auto shared = slot.lock(); shared && shared->isOpen()) {
        if (std::none_of(m_databases.begin(), m_databases.end(),
                         [&](const std::weak_ptr<Catalogue>& w) { return w.lock() == shared; }))
            m_databases.push_back(shared);
        return shared;
    }
    auto db = std::make_shared<Catalogue>(path);
    // A catalogue of a newer version is read as it is and never written.
    if (const QString reason = readOnlyReason(schemaVersion(*db)); !reason.isEmpty()) {
        db = std::make_shared<Catalogue>(path, Catalogue::Access::ReadOnly);
        db->setReadOnlyReason(reason);
    }
    db->setPrepareWrites(prepareForWriting);
    slot = db;
    m_databases.push_back(db);
    return db;
}

std::shared_ptr<Catalogue>
Workspace::CreateDatabase(const QString& path, const std::function<void(Catalogue&)>& define) {
    if (QFileInfo::exists(path)) throw Error(3204, QStringLiteral("Database already exists."));
    const QFileInfo final(path);
    // A leading dot keeps a half-built file out of every list of catalogues.
    const QString building = final.absolutePath() + QStringLiteral("/.") + final.fileName() +
                             QStringLiteral(".building");
    QFile::remove(building);
    QFile::remove(building + QStringLiteral("-journal"));
    try {
        // SQLite writes nothing until the first statement; an empty file is a valid empty database.
        const int fd =
            ::open(QFile::encodeName(building).constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        if (fd < 0) throw systemError(errno);
        ::close(fd);
        {
            Catalogue db(building);
            if (define) define(db);
        }
        syncFile(building);
        // Never over a file that appeared meanwhile; a file system that cannot
        // promise that gets a check just before the rename.
        const QByteArray from = QFile::encodeName(building), to = QFile::encodeName(path);
        int rc =
            ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        if (rc != 0 && errno == EINVAL)
            rc = QFileInfo::exists(path) ? (errno = EEXIST, -1)
                                         : std::rename(from.constData(), to.constData());
        if (rc != 0)
            throw errno == EEXIST ? Error(3204, QStringLiteral("Database already exists."))
                                  : systemError(errno);
    } catch (...) {
        QFile::remove(building);
        throw;
    }
    syncFile(final.absolutePath());
    return OpenDatabase(path);
}

void Workspace::Close() {
    for (const auto& db : openDatabases())
        db->close();
    m_databases.clear();
}

void Workspace::CompactInPlace(Catalogue& db) {
    // VACUUM refuses to run while a statement of its connection is stepping.
    db.releaseReadLocks();
    // VACUUM copies the file index as it is, with what it keeps of deleted records.
    compactFileIndex(db);
    db.exec("VACUUM");
}

} // namespace orvik::engine
