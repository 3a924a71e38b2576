#include "search/AnswerCatalogues.h"

#include "core/AppState.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"
#include "core/records/OwnerTracker.h"
#include "search/EveryCatalogue.h"

#include <algorithm>
#include <cstring>

namespace orvik {

namespace {

void readUnderLock(const QString& name, const std::shared_ptr<engine::Catalogue>& db,
                   const AnswerCatalogues::Read& read) {
    engine::ReadHold hold(*db);
    read(name, db);
}

} // namespace

AnswerCatalogues::AnswerCatalogues(AppState& state, bool every)
    : m_state(state), m_every(every), m_current(state.CatalogueName) {}

void AnswerCatalogues::forCurrent(const Read& read) {
    const auto db = m_state.workspace().OpenDatabase(m_state.catalogueFile());
    readUnderLock(m_state.CatalogueName, db, read);
}

void AnswerCatalogues::forEach(const Read& read) {
    if (!m_every) {
        forCurrent(read);
        return;
    }
    queryEveryCatalogue(
        m_state,
        [&](const QString& name) {
            readUnderLock(name, m_state.CatalogueDatabase, read);
            return true;
        },
        [this](const QString& name, const QString&) {
            if (!m_skipped.contains(name)) m_skipped << name;
        });
}

std::vector<ResolvedRecord> resolveRecords(const std::shared_ptr<engine::Catalogue>& db,
                                           std::vector<std::int64_t> rowids) {
    // In ascending order the tracker follows the heads forward, as in a scan.
    std::sort(rowids.begin(), rowids.end());
    engine::Recordset rs(db, engine::RecordsetType::Dynaset);
    OwnerTracker owners(db);
    std::vector<ResolvedRecord> records;
    records.reserve(rowids.size());
    for (const std::int64_t rowid : rowids) {
        rs.setBookmark(QString::number(rowid));
        records.push_back(owners.resolve(rs));
    }
    return records;
}

std::optional<engine::Checksum> checksumOf(std::string_view hash) {
    if (hash.size() != sizeof(engine::Checksum)) return std::nullopt;
    engine::Checksum checksum;
    std::memcpy(checksum.data(), hash.data(), checksum.size());
    return checksum;
}

} // namespace orvik
