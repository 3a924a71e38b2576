#include "catalogue/VolumeRecognition.h"

#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/VolumeIdentity.h"
#include "core/platform/Drives.h"

#include <QDateTime>

namespace orvik {

namespace {

// A folder on a file system without a UUID (a tmpfs, a share) has only its
// label and size to go by; the place keeps two folders of one apart.
bool sameVolume(const engine::VolumeIdentity& stored, const FileSystemFacts& facts,
                const QString& label) {
    if (stored.place != facts.place) return false;
    if (!stored.uuid.isEmpty() && !facts.uuid.isEmpty()) return stored.uuid == facts.uuid;
    return stored.label == label && stored.totalBytes == facts.totalBytes;
}

} // namespace

std::vector<CataloguedVolume> recogniseVolume(engine::Catalogue& db, const Drives& drives,
                                              const QString& path) {
    const FileSystemFacts facts = drives.fileSystemFacts(path);
    const QString label = drives.volumeLabel(path);
    std::vector<CataloguedVolume> found;
    engine::Statement head(db, "SELECT CDVolume, CDDescription FROM CDTable WHERE rowid = ?1");
    for (const engine::IdentifiedVolume& volume : engine::allVolumeIdentities(db)) {
        if (!sameVolume(volume.identity, facts, label)) continue;
        head.bind(1, volume.head);
        if (head.step())
            found.push_back({volume.head, head.text(0), head.text(1), volume.identity.scanned});
        head.reset();
    }
    return found;
}

std::vector<CataloguedVolume> recogniseInCurrentCatalogue(AppState& state, const QString& path) {
    try {
        if (!catalogueExists(state.catalogueFile())) return {};
        return recogniseVolume(*state.workspace().OpenDatabase(state.catalogueFile()),
                               state.drives(), path);
    } catch (const Error&) {
        return {};
    }
}

QString scanDate(const QString& scanned) {
    const QDateTime time = QDateTime::fromString(scanned, Qt::ISODate);
    return time.isValid() ? time.toLocalTime().date().toString(Qt::ISODate) : scanned;
}

QString cataloguedText(const CataloguedVolume& volume) {
    return QStringLiteral("Catalogued as %1 \u2013 %2, %3")
        .arg(volume.label, volume.description, scanDate(volume.scanned));
}

} // namespace orvik
