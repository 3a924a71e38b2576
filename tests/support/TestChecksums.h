// Checksums written into a catalogue as the add with checksums stores them,
// for the tests of the answers that build their catalogues in the process.
#pragma once

#include "catalogue/FileHasher.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Checksums.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>

namespace orvik::test {

inline engine::Checksum contentChecksum(const QByteArray& content) {
    ContentHash hash;
    hash.update(content.constData(), size_t(content.size()));
    return hash.digest();
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
