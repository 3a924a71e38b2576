// Checksums written into a catalogue as the add with checksums stores them,
// for the tests of the answers: files of the same content get the same
// checksum (their MD5, which has the 16 bytes of a stored checksum).
#pragma once

#include "core/engine/Catalogue.h"
#include "core/engine/Checksums.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <cstring>

namespace orvik::test {

inline engine::Checksum contentChecksum(const QByteArray& content) {
    const QByteArray md5 = QCryptographicHash::hash(content, QCryptographicHash::Md5);
    engine::Checksum checksum;
    std::memcpy(checksum.data(), md5.constData(), checksum.size());
    return checksum;
}

// Gives every record of catalogue `file` whose file lies below `tree` the
// checksum of that file's content. The add stores paths in upper case.
inline void writeChecksums(const QString& file, const QString& tree) {
    QHash<QString, QString> real; // stored path and name -> the file
    QDirIterator files(tree, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        real.insert(path.toUpper(), path);
    }
    engine::Catalogue db(file);
    engine::Transaction transaction(db);
    engine::ChecksumWriter writer(db);
    engine::Statement select(db, "SELECT rowid, CDPath, CDFile FROM CDTable ORDER BY rowid");
    QString directory;
    while (select.step()) {
        if (!select.isNull(1)) directory = select.text(1);
        const QString stored = directory + select.text(2);
        if (!real.contains(stored)) continue;
        QFile content(real.value(stored));
        if (content.open(QIODevice::ReadOnly))
            writer.write(select.integer(0), contentChecksum(content.readAll()));
    }
    transaction.commit();
}

} // namespace orvik::test
