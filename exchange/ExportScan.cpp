#include "exchange/ExportScan.h"

#include "core/Error.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Checksums.h"
#include "core/records/VolumeListing.h"

#include <map>

namespace orvik {

namespace {

// Columns of the scan: rowid, the seven fields, the checksum.
enum Column { Rowid, Volume, Description, File, Date, Path, Length, Keywords, Hash };

constexpr std::int64_t RecordsBetweenReports = 1 << 16;

QByteArray bytes(const engine::Statement& row, int column) {
    const std::string_view text = row.utf8(column);
    return QByteArray(text.data(), qsizetype(text.size()));
}

// A head as the scan last met it.
struct Head {
    std::int64_t rowid = 0;
    QByteArray label, description, keywords;
};

} // namespace

bool scanForExport(engine::Catalogue& db, const QString& catalogueName,
                   std::optional<std::int64_t> volumeRecord, ExportSink& sink, Progress& progress,
                   const bool& cancelFlag) {
    std::int64_t first = 1, last = INT64_MAX;
    if (volumeRecord) {
        const auto run = findVolumeRun(db, *volumeRecord);
        if (!run)
            throw Error(EINVAL,
                        QStringLiteral("No volume holds the record %1.").arg(*volumeRecord));
        first = run->head;
        last = run->end - 1;
    }
    std::map<std::int64_t, engine::VolumeIdentity> identities;
    for (engine::IdentifiedVolume& volume : engine::allVolumeIdentities(db))
        identities.emplace(volume.head, std::move(volume.identity));

    const bool sums = engine::hasChecksumTable(db);
    engine::Statement rows(
        db, sums ? "SELECT t.rowid, CDVolume, CDDescription, CDFile, CDFileDate, CDPath, "
                   "CDFileLen, CDKeywords, c.Hash FROM CDTable t LEFT JOIN CDChecksum c ON "
                   "c.Record = t.rowid WHERE t.rowid BETWEEN ?1 AND ?2 ORDER BY t.rowid"
                 : "SELECT rowid, CDVolume, CDDescription, CDFile, CDFileDate, CDPath, CDFileLen, "
                   "CDKeywords FROM CDTable WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid");
    rows.bind(1, first).bind(2, last);

    sink.begin(catalogueName.toUtf8());
    // The latest record with a description (the volume head of record
    // resolution), and the latest directory head with the volume head it had.
    std::optional<Head> description;
    std::optional<Head> directory;
    std::optional<Head> directoryVolume;
    QByteArray path;
    std::int64_t volumeShown = -1, directoryShown = -1, count = 0;
    static constexpr char Hex[] = "0123456789abcdef";
    char checksum[32];
    while (rows.step()) {
        const std::int64_t rowid = rows.integer(Rowid);
        if (!rows.isNull(Description))
            description =
                Head{rowid, bytes(rows, Volume), bytes(rows, Description), bytes(rows, Keywords)};
        if (!rows.isNull(Path)) {
            directory = Head{rowid, bytes(rows, Volume), {}, bytes(rows, Keywords)};
            directoryVolume = description;
            path = bytes(rows, Path);
        }
        const std::optional<Head>& volumeHead = directory ? directoryVolume : description;
        // The label and keywords come from the volume head, else the directory
        // head, else the record itself, where the walks of record resolution end.
        const Head own{0, bytes(rows, Volume), {}, bytes(rows, Keywords)};
        const Head& lender = volumeHead ? *volumeHead : directory ? *directory : own;
        const std::int64_t volumeKey = volumeHead ? volumeHead->rowid : 0;
        if (volumeKey != volumeShown) {
            ExportedVolume volume{volumeKey,       lender.label, lender.description,
                                  lender.keywords, {},           std::nullopt};
            if (const auto found = identities.find(volumeKey); found != identities.end())
                volume.identity = found->second;
            if (volumeKey != 0)
                volume.location = engine::readVolumeLocation(db, volumeKey).toUtf8();
            sink.volume(volume);
            volumeShown = volumeKey;
            directoryShown = -1;
        }
        const std::int64_t directoryKey = directory ? directory->rowid : 0;
        if (directoryKey != directoryShown) {
            sink.directory(directory ? path : QByteArray());
            directoryShown = directoryKey;
        }
        ExportedFile file;
        file.file = rows.utf8(File);
        file.date = rows.utf8(Date);
        file.length = rows.utf8(Length);
        file.ownKeywords = !rows.isNull(Keywords) && rows.utf8(Keywords) != view(lender.keywords);
        file.keywords = rows.isNull(Keywords) ? view(lender.keywords) : rows.utf8(Keywords);
        if (sums && !rows.isNull(Hash)) {
            const std::string_view hash = rows.blob(Hash);
            for (size_t i = 0; i < hash.size() && i < 16; ++i) {
                checksum[2 * i] = Hex[(static_cast<unsigned char>(hash[i]) >> 4) & 15];
                checksum[2 * i + 1] = Hex[static_cast<unsigned char>(hash[i]) & 15];
            }
            file.checksum = std::string_view(checksum, std::min<size_t>(hash.size(), 16) * 2);
        }
        file.bookmark = rowid;
        sink.file(file);
        if (++count % RecordsBetweenReports == 0) {
            progress.status(QStringLiteral("%1 records exported").arg(count));
            progress.letEventsRun();
            if (cancelFlag) return false;
        }
    }
    sink.end();
    progress.status(QStringLiteral("%1 records exported").arg(count));
    return true;
}

} // namespace orvik
