#include "core/records/OwnerTracker.h"

#include "core/engine/Recordset.h"
#include "core/records/RecordResolution.h"

namespace orvik {

using engine::Criterion;
using engine::Field;
using engine::Recordset;
using engine::Row;

namespace {

std::int64_t rowid(const Recordset& rs) {
    return rs.Bookmark().toLongLong();
}

// Beyond this many heads between two records a seek is cheaper than stepping:
// each step reads a head's record, on a page of its own in a large directory,
// where a seek reads about two. One step still serves matches in neighbouring
// directories.
constexpr int MaxSteps = 1;

} // namespace

class OwnerTracker::HeadFollower {
public:
    struct Head {
        std::int64_t rowid;
        Row row;
    };

    HeadFollower(const std::shared_ptr<engine::Catalogue>& db, Field field)
        : m_rs(db, engine::RecordsetType::Dynaset), m_field(field) {}

    const std::optional<Head>& at(std::int64_t target) {
        if (!m_started || (m_current && target < m_current->rowid)) return seek(target);
        // At the end of the heads, look again: records may have been appended.
        if (!m_next) advance();
        for (int steps = 0; m_next && m_next->rowid <= target; ++steps) {
            // A target further beyond the next head than the current head's
            // run is long most likely lies beyond the heads after it too.
            const bool far = m_current && target - m_next->rowid > m_next->rowid - m_current->rowid;
            if (steps == MaxSteps || far) return seek(target);
            m_current = std::move(m_next);
            advance();
        }
        return m_current;
    }

private:
    Head here() const { return {rowid(m_rs), currentRow(m_rs)}; }

    // The cursor stands on the current head (or where the search for it
    // failed); the next head is the one after it.
    void advance() {
        m_rs.FindNext(Criterion::NotNull(m_field));
        m_next = m_rs.NoMatch() ? std::nullopt : std::optional(here());
    }

    const std::optional<Head>& seek(std::int64_t target) {
        m_started = true;
        m_rs.setBookmark(QString::number(target));
        m_current.reset();
        if (m_rs.Fields(m_field)) {
            m_current = here();
        } else {
            m_rs.FindPrevious(Criterion::NotNull(m_field));
            if (!m_rs.NoMatch()) m_current = here();
        }
        advance();
        return m_current;
    }

    Recordset m_rs;
    Field m_field;
    bool m_started = false;
    std::optional<Head> m_current, m_next;
};

OwnerTracker::OwnerTracker(const std::shared_ptr<engine::Catalogue>& db)
    : m_directories(std::make_unique<HeadFollower>(db, Field::CDPath)),
      m_volumes(std::make_unique<HeadFollower>(db, Field::CDDescription)) {}

OwnerTracker::~OwnerTracker() = default;

ResolvedRecord OwnerTracker::resolve(const Recordset& rs) {
    const std::int64_t record = rowid(rs);
    const auto& directory = m_directories->at(record);
    // The volume walk starts where the directory walk stopped.
    const auto& volume = m_volumes->at(directory ? directory->rowid : record);
    return withOwners(currentRow(rs), directory ? &directory->row : nullptr,
                      volume ? &volume->row : nullptr, rs.Bookmark());
}

} // namespace orvik
