#include "catalogue/VolumeVerify.h"

#include "catalogue/FileHasher.h"
#include "catalogue/VolumeUpdate.h"
#include "core/AppState.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/VolumeIdentity.h"
#include "core/engine/Workspace.h"

#include <unordered_map>

namespace orvik {

namespace {

using Outcome = VolumeVerifyResult::Outcome;
using Contents = std::unordered_map<const TreeCollector::File*, std::optional<engine::Checksum>>;

// The checksums of every file of `walked` an add with `options` records, read
// by the hasher's threads at once; none when cancelled.
std::optional<Contents> readContents(const std::vector<TreeCollector::Directory>& walked,
                                     const AddOptions& options, Progress& progress,
                                     bool& cancelFlag) {
    std::vector<const TreeCollector::File*> files;
    FileHasher hasher;
    const auto start = std::chrono::steady_clock::now();
    for (const TreeCollector::Directory& directory : walked)
        for (const TreeCollector::File& file : directory.files)
            if (!directory.inArchive &&
                passesFilter(file.entry.name, options.extensionString, options.useFilter)) {
                hasher.add(std::int64_t(files.size()), directory.pathOf(file), file.entry.size);
                files.push_back(&file);
            }
    Contents contents;
    while (!hasher.done()) {
        for (FileHasher::Hashed& hashed : hasher.take(std::chrono::milliseconds(100)))
            contents[files[size_t(hashed.key)]] = hashed.checksum;
        progress.status(QStringLiteral("Verifying: ") +
                        hashingStatus(hasher.bytesRead(), hasher.bytesAdded(),
                                      std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - start)));
        progress.letEventsRun();
        if (cancelFlag) return std::nullopt;
    }
    return contents;
}

} // namespace

QString VolumeVerifyResult::summary() const {
    QString text = QStringLiteral("%1 unchanged, %2 changed, %3 missing, %4 unreadable, %5 new, "
                                  "%6 moved")
                       .arg(difference.unchanged)
                       .arg(difference.changed)
                       .arg(difference.removed)
                       .arg(difference.unreadable)
                       .arg(difference.added)
                       .arg(difference.moved);
    if (!checksumsKept)
        text += QStringLiteral(" (checksums were not kept: lengths and dates compared)");
    return text;
}

VolumeVerifyResult verifyVolume(AppState& state, Progress& progress, bool& cancelFlag,
                                const VolumeVerifyRequest& request) {
    VolumeVerifyResult result;
    auto ending = [&](Outcome outcome, const QString& problem = {}) {
        result.outcome = outcome;
        result.problem = problem;
        return result;
    };
    const std::shared_ptr<engine::Catalogue> db =
        state.workspace().OpenDatabase(state.catalogueFile());
    std::optional<VolumeRun> run;
    std::optional<engine::VolumeIdentity> identity;
    {
        engine::ReadHold hold(*db);
        run = findVolumeRun(*db, request.rowid);
        if (!run) {
            engine::Statement record(*db, "SELECT 1 FROM CDTable WHERE rowid = ?1");
            record.bind(1, request.rowid);
            return ending(record.step() ? Outcome::NoVolume : Outcome::NoRecord);
        }
        identity = engine::readVolumeIdentity(*db, run->head);
    }
    const bool recorded = request.path.isEmpty();
    result.path = recorded && identity ? identity->topDirectory : request.path;
    if (const QString problem = mediumProblem(state, identity, result.path, recorded);
        !problem.isEmpty())
        return ending(Outcome::Refused, problem);
    // The files as the add recorded them.
    const AddOptions options = volumeAddOptions(identity, state);

    QString problem;
    const auto walked = walkWhole(state, result.path, options, progress, cancelFlag, problem);
    if (!walked) return ending(problem.isEmpty() ? Outcome::Cancelled : Outcome::Refused, problem);
    StoredRun stored(*db, *run);
    result.checksumsKept = stored.hasChecksums();
    ContentOf contentOf;
    std::optional<Contents> contents;
    if (result.checksumsKept) {
        contents = readContents(*walked, options, progress, cancelFlag);
        if (!contents) return ending(Outcome::Cancelled);
        contentOf = [&](const TreeCollector::Directory& directory,
                        const TreeCollector::File& file) {
            if (directory.inArchive) return readContent(directory, file);
            const auto found = contents->find(&file);
            return found == contents->end() ? std::nullopt : found->second;
        };
    }
    result.difference = stored.compare(*walked, result.path, options, contentOf);
    return ending(Outcome::Verified);
}

} // namespace orvik
