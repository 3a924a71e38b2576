#include "details/VolumeEdit.h"

#include "core/engine/Catalogue.h"
#include "core/engine/VolumeIdentity.h"
#include "core/records/VolumeListing.h"

namespace orvik {

using Result = VolumeEditResult;

VolumeEditResult editVolume(engine::Catalogue& db, std::int64_t rowid, const VolumeEdit& edit,
                            const std::function<bool()>& waiting) {
    Result result;
    if (edit.description && edit.description->isEmpty()) {
        result.outcome = Result::Outcome::EmptyDescription;
        return result;
    }
    // The write lock first, so the run read is the run written.
    engine::Transaction transaction(db, waiting);
    if (!transaction) {
        result.outcome = Result::Outcome::GaveUp;
        return result;
    }
    engine::Statement record(db, "SELECT 1 FROM CDTable WHERE rowid = ?1");
    record.bind(1, rowid);
    if (!record.step()) {
        result.outcome = Result::Outcome::NoRecord;
        return result;
    }
    const std::optional<std::int64_t> headRowid = findVolumeHead(db, rowid);
    if (!headRowid) {
        result.outcome = Result::Outcome::NoVolume;
        return result;
    }
    result.head = *headRowid;
    engine::Statement head(db, "SELECT CDDescription, CDKeywords FROM CDTable WHERE rowid = ?1");
    head.bind(1, result.head);
    head.step();
    const QString description = head.text(0), keywords = head.text(1);
    head.reset();

    auto change = [&](const char* field, const QString& before, const QString& after) {
        if (after == before) return false;
        result.changes.push_back({QString::fromLatin1(field), before, after});
        return true;
    };
    auto storeOnHead = [&](const char* sql, const std::optional<QString>& value) {
        engine::Statement update(db, sql);
        update.bind(1, value).bind(2, result.head);
        db.noteWrite();
        update.step();
    };
    if (edit.description && change("Description", description, edit.description->toUpper()))
        storeOnHead("UPDATE CDTable SET CDDescription = ?1 WHERE rowid = ?2",
                    edit.description->toUpper());
    if (edit.keywords && change("Keywords", keywords, edit.keywords->toUpper()))
        storeOnHead("UPDATE CDTable SET CDKeywords = ?1 WHERE rowid = ?2",
                    edit.keywords->isEmpty() ? std::nullopt
                                             : std::optional(edit.keywords->toUpper()));
    if (edit.location &&
        change("Location", engine::readVolumeLocation(db, result.head), *edit.location))
        engine::writeVolumeLocation(db, result.head, *edit.location);
    transaction.commit();
    return result;
}

} // namespace orvik
