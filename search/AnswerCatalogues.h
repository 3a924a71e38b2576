// The catalogues the checksum answers (duplicates, unique files, redundant
// volumes) read: the current one, or every catalogue of the application
// folder; and the resolution of the records they find into the lines'
// records, as the file match resolves its matches.
#pragma once

#include "core/engine/Checksums.h"
#include "core/records/RecordResolution.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orvik {

class AppState;
namespace engine {
class Catalogue;
}

// A file an answer names, with the catalogue that holds it.
struct AnswerFile {
    QString catalogue;
    ResolvedRecord record;
};

class AnswerCatalogues {
public:
    using Read =
        std::function<void(const QString& name, const std::shared_ptr<engine::Catalogue>& db)>;

    AnswerCatalogues(AppState& state, bool every);

    // Calls `read` for each catalogue in turn (in name order), open and
    // under one read lock. One that cannot be read is left out and named in
    // skipped(); a failure inside `read` (an Error) ends the answer.
    void forEach(const Read& read);
    // Calls `read` for the current catalogue alone.
    void forCurrent(const Read& read);

    bool every() const { return m_every; }
    // The current catalogue's name (every() makes each current in turn).
    const QString& current() const { return m_current; }
    const QStringList& skipped() const { return m_skipped; }

private:
    AppState& m_state;
    bool m_every;
    QString m_current;
    QStringList m_skipped;
};

// The records `rowids` of `db` resolved with their owners, in ascending rowid order.
std::vector<ResolvedRecord> resolveRecords(const std::shared_ptr<engine::Catalogue>& db,
                                           std::vector<std::int64_t> rowids);

// A stored hash as a Checksum; none when it is not 16 bytes.
std::optional<engine::Checksum> checksumOf(std::string_view hash);

} // namespace orvik
