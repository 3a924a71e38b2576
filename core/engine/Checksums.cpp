#include "core/engine/Checksums.h"

#include "core/engine/Catalogue.h"

#include <cstring>

namespace orvik::engine {

QString checksumText(const Checksum& checksum) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(checksum.data()), int(checksum.size())).toHex());
}

std::optional<Checksum> parseChecksum(const QString& text) {
    if (text.size() != int(2 * sizeof(Checksum))) return std::nullopt;
    for (const QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return std::nullopt;
    const QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    Checksum checksum;
    std::memcpy(checksum.data(), bytes.constData(), checksum.size());
    return checksum;
}

void addChecksumTable(Catalogue& db) {
    db.exec("CREATE TABLE CDChecksum (Record INTEGER PRIMARY KEY, Hash BLOB NOT NULL "
            "CHECK (length(Hash) = 16))");
    db.exec("CREATE INDEX CDChecksum_Hash ON CDChecksum(Hash)");
    db.exec("CREATE TRIGGER CDTable_DropChecksum AFTER DELETE ON CDTable "
            "BEGIN DELETE FROM CDChecksum WHERE Record = OLD.rowid; END");
    db.exec("ALTER TABLE CDVolumeIdentity ADD COLUMN SaveChecksums INTEGER NOT NULL DEFAULT 0");
}

void forgetDeletedChecksums(Catalogue& db, std::int64_t first, std::int64_t last) {
    Statement forget(db, "DELETE FROM CDChecksum WHERE Record BETWEEN ?1 AND ?2");
    forget.bind(1, first).bind(2, last);
    forget.step();
}

bool hasChecksumTable(Catalogue& db) {
    Statement exists(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = "
                         "'CDChecksum'");
    return exists.step();
}

ChecksumWriter::ChecksumWriter(Catalogue& db)
    : m_db(db), m_insert(std::make_unique<Statement>(
                    db, "INSERT OR REPLACE INTO CDChecksum (Record, Hash) VALUES (?1, ?2)")) {}

ChecksumWriter::~ChecksumWriter() = default;

void ChecksumWriter::write(std::int64_t record, const Checksum& checksum) {
    m_insert->bind(1, record).bindBlob(2, checksum.data(), int(checksum.size()));
    m_db.noteWrite();
    m_insert->step();
    m_insert->reset();
}

std::optional<Checksum> readChecksum(Catalogue& db, std::int64_t record) {
    if (!hasChecksumTable(db)) return std::nullopt;
    Statement row(db, "SELECT Hash FROM CDChecksum WHERE Record = ?1");
    row.bind(1, record);
    if (!row.step()) return std::nullopt;
    const std::string_view hash = row.blob(0);
    if (hash.size() != sizeof(Checksum)) return std::nullopt;
    Checksum checksum;
    std::memcpy(checksum.data(), hash.data(), checksum.size());
    return checksum;
}

} // namespace orvik::engine
