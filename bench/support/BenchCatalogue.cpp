#include "bench/support/BenchCatalogue.h"

#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/Workspace.h"

#include <optional>

namespace orvik::bench {

namespace {

// 30,000 records deep in the first run are ALPHA, the first 1,000 of every run
// are BETA; of the rest, every 100th record is a PHOTO (about 1%) and ten
// records are UNIQUE. Every name but PHOTO's and UNIQUE's ends in its record
// number and ".DAT", so "*1.DAT" matches 100,000 records and "*01.DAT" 9,999
// (record 1 is BETA1.DAT).
QString fileName(int i) {
    const int inRun = i % RunLength;
    if (i / RunLength == 0 && inRun >= 3000 && inRun < 33000)
        return QStringLiteral("ALPHA%1.DAT").arg(i);
    if (inRun >= 1 && inRun <= 1000) return QStringLiteral("BETA%1.DAT").arg(i);
    if (i % 100 == 7) return QStringLiteral("PHOTO%1.JPG").arg(i);
    if (i % (Records / 10) == 52345) return QStringLiteral("UNIQUE%1.TXT").arg(i);
    return QStringLiteral("FILE%1.DAT").arg(i);
}

std::optional<QString> onlyIf(bool condition, const QString& text) {
    return condition ? std::optional(text) : std::nullopt;
}

} // namespace

void buildCatalogue(const QString& path) {
    buildCatalogue(path, Records, [](int i) {
        const int run = i / RunLength, inRun = i % RunLength;
        const bool volumeHead = inRun == 0, directoryHead = inRun % FilesPerDirectory == 0;
        return BenchRecord{
            onlyIf(volumeHead, QStringLiteral("CD%1").arg(run)),
            onlyIf(volumeHead, QStringLiteral("DISC NUMBER %1").arg(run)),
            fileName(i),
            QStringLiteral("2001-02-03 04:05:06"),
            onlyIf(directoryHead,
                   QStringLiteral("/MEDIA/CD%1/DIR%2/").arg(run).arg(inRun / FilesPerDirectory)),
            QString::number(1000 + i),
            onlyIf(volumeHead, QStringLiteral("KEY%1").arg(run))};
    });
}

void buildCatalogue(const QString& path, int count, const std::function<BenchRecord(int)>& record) {
    engine::Workspace workspace;
    auto db = workspace.CreateDatabase(path);
    engine::createCatalogueTable(*db);
    engine::Statement insert(*db, "INSERT INTO CDTable (CDVolume, CDDescription, CDFile, "
                                  "CDFileDate, CDPath, CDFileLen, CDKeywords) "
                                  "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    engine::Transaction transaction(*db);
    for (int i = 0; i < count; ++i) {
        const BenchRecord r = record(i);
        insert.bind(1, r.volume);
        insert.bind(2, r.description);
        insert.bind(3, r.file);
        insert.bind(4, onlyIf(!r.date.isEmpty(), r.date)); // an empty field is Null
        insert.bind(5, r.path);
        insert.bind(6, onlyIf(!r.length.isEmpty(), r.length));
        insert.bind(7, r.keywords);
        insert.step();
        insert.reset();
    }
    transaction.commit();
}

} // namespace orvik::bench
