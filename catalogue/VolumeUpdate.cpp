#include "catalogue/VolumeUpdate.h"

#include "catalogue/FileHasher.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "core/Progress.h"
#include "core/engine/Catalogue.h"
#include "core/engine/VolumeIdentity.h"
#include "core/engine/Workspace.h"

#include <QFileInfo>

namespace orvik {

namespace {

using Outcome = VolumeUpdateResult::Outcome;

// What the update keeps of the volume.
struct StoredVolume {
    VolumeRun run;
    QString description, keywords, location;
    std::optional<engine::VolumeIdentity> identity;
};

StoredVolume readVolume(engine::Catalogue& db, const VolumeRun& run) {
    StoredVolume volume{run, {}, {}, {}, {}};
    engine::Statement head(db, "SELECT CDDescription, CDKeywords FROM CDTable WHERE rowid = ?1");
    head.bind(1, run.head);
    if (head.step()) {
        volume.description = head.text(0);
        volume.keywords = head.text(1);
    }
    volume.identity = engine::readVolumeIdentity(db, run.head);
    volume.location = engine::readVolumeLocation(db, run.head);
    return volume;
}

std::int64_t lastHead(engine::Catalogue& db) {
    engine::Statement last(db, "SELECT max(rowid) FROM CDTable WHERE CDVolume IS NOT NULL AND "
                               "(CDVolume IS NOT NULL)=1");
    return last.step() ? last.integer(0) : 0;
}

} // namespace

std::optional<engine::Checksum> readContent(const TreeCollector::Directory& directory,
                                            const TreeCollector::File& file) {
    return directory.inArchive ? file.checksum : hashFile(directory.pathOf(file));
}

AddOptions volumeAddOptions(const std::optional<engine::VolumeIdentity>& identity,
                            const AppState& state) {
    if (!identity)
        return {state.Options.SaveDates,      state.Options.SaveLengths,
                state.Options.UseFilter,      state.Options.ExtensionString,
                state.Options.LookInArchives, state.Options.SaveChecksums};
    return {identity->saveDates,  identity->saveLengths,    Settings::boolText(identity->useFilter),
            identity->extensions, identity->lookInArchives, identity->saveChecksums};
}

QString mediumProblem(AppState& state, const std::optional<engine::VolumeIdentity>& identity,
                      const QString& path, bool recorded) {
    if (path.isEmpty())
        return QStringLiteral("The volume's directory was not recorded when it was added: give "
                              "the directory to update it from.");
    if (!QFileInfo(path).isDir())
        return recorded ? QStringLiteral("The volume's directory %1 is not there: insert the "
                                         "medium or give its directory.")
                              .arg(path)
                        : QStringLiteral("Path not found: ") + path;
    try {
        state.fileSystem().list(path);
        if (!identity) return {};
        const QString uuid = state.drives().fileSystemFacts(path).uuid;
        if (uuid != identity->uuid)
            return QStringLiteral("%1 is not the volume %2: its file system is %3, the volume's "
                                  "was %4.")
                .arg(path, identity->label.isEmpty() ? NoVolumeLabel : identity->label,
                     uuid.isEmpty() ? QStringLiteral("without UUID") : uuid,
                     identity->uuid.isEmpty() ? QStringLiteral("without UUID") : identity->uuid);
    } catch (const Error& error) {
        return error.message();
    }
    return {};
}

std::optional<std::vector<TreeCollector::Directory>> walkWhole(AppState& state, const QString& top,
                                                               const AddOptions& options,
                                                               Progress& progress, bool& cancelFlag,
                                                               QString& problem) {
    TreeCollector walk(state.fileSystem(), top, options.lookInArchives, options.saveChecksums);
    std::vector<TreeCollector::Directory> walked;
    for (;;) {
        TreeCollector::News news = walk.take(std::chrono::milliseconds(30));
        for (TreeCollector::Directory& directory : news.directories)
            walked.push_back(std::move(directory));
        if (news.failure) {
            problem = news.failure->message();
            return std::nullopt;
        }
        if (news.finished) return walked;
        if (!news.latest.isEmpty()) progress.status(news.latest);
        progress.letEventsRun();
        if (cancelFlag) return std::nullopt;
    }
}

QString recordedTopDirectory(engine::Catalogue& db, std::int64_t rowid) {
    const std::optional<std::int64_t> head = findVolumeHead(db, rowid);
    if (!head) return {};
    const std::optional<engine::VolumeIdentity> identity = engine::readVolumeIdentity(db, *head);
    return identity ? identity->topDirectory : QString();
}

VolumeUpdateResult updateVolume(AppState& state, Progress& progress, Prompt& prompt,
                                bool& cancelFlag, const VolumeUpdateRequest& request,
                                const std::function<bool(const RunDifference&)>& confirm) {
    VolumeUpdateResult result;
    auto ending = [&](Outcome outcome, const QString& problem = {}) {
        result.outcome = outcome;
        result.problem = problem;
        return result;
    };
    const std::shared_ptr<engine::Catalogue> db =
        state.workspace().OpenDatabase(state.catalogueFile());
    std::optional<StoredVolume> volume;
    {
        engine::ReadHold hold(*db);
        const std::optional<VolumeRun> run = findVolumeRun(*db, request.rowid);
        if (!run) {
            engine::Statement record(*db, "SELECT 1 FROM CDTable WHERE rowid = ?1");
            record.bind(1, request.rowid);
            return ending(record.step() ? Outcome::NoVolume : Outcome::NoRecord);
        }
        volume = readVolume(*db, *run);
    }
    const bool recorded = request.path.isEmpty();
    result.path = recorded && volume->identity ? volume->identity->topDirectory : request.path;
    if (const QString problem = mediumProblem(state, volume->identity, result.path, recorded);
        !problem.isEmpty())
        return ending(Outcome::Refused, problem);
    const AddOptions options = volumeAddOptions(volume->identity, state);
    // A file whose length and date are as stored may still have changed:
    // where the volume kept checksums, its content tells.
    // The add keeps what the comparison read rather than read it again.
    auto contentsRead = std::make_shared<QHash<QString, engine::Checksum>>();
    const ContentOf contentOf =
        options.saveChecksums ? ContentOf([contentsRead](const TreeCollector::Directory& directory,
                                                         const TreeCollector::File& file) {
            const std::optional<engine::Checksum> content = readContent(directory, file);
            if (content && !directory.inArchive)
                contentsRead->insert(directory.pathOf(file), *content);
            return content;
        })
                              : ContentOf();
    const QString noFile = QStringLiteral("%1 holds no file to catalogue: the volume is left as "
                                          "it was.")
                               .arg(result.path);

    if (request.dryRun) {
        QString problem;
        const auto walked = walkWhole(state, result.path, options, progress, cancelFlag, problem);
        if (!walked)
            return ending(problem.isEmpty() ? Outcome::Declined : Outcome::Refused, problem);
        if (!writesAnyFile(*walked, options)) return ending(Outcome::Refused, noFile);
        result.difference = compareRun(*db, volume->run, *walked, result.path, options, contentOf);
        return ending(Outcome::Compared);
    }

    bool busy = false, confirmed = false;
    std::optional<Outcome> refusal;
    VolumeAdd add(state, progress, prompt, busy, cancelFlag, nullptr,
                  [options] { return options; });
    add.CurDescription = volume->description;
    // Read under the write lock, as soon as it is taken: the run compared is
    // the run replaced. None when another program erased it meanwhile.
    std::unique_ptr<StoredRun> stored;
    auto locked = [&] {
        stored.reset();
        const std::optional<VolumeRun> run = findVolumeRun(*db, volume->run.head);
        if (run && run->head == volume->run.head) stored = std::make_unique<StoredRun>(*db, *run);
    };
    auto beforeWriting =
        [&](const std::vector<TreeCollector::Directory>& walked) -> std::optional<VolumeRun> {
        if (!writesAnyFile(walked, options)) {
            refusal = Outcome::Refused;
            result.problem = noFile;
            return std::nullopt;
        }
        // Found again for its end: the new run's head, when it was the last.
        const std::optional<VolumeRun> run = findVolumeRun(*db, volume->run.head);
        if (!stored || !run || run->head != volume->run.head) {
            refusal = Outcome::Refused;
            result.problem = QStringLiteral("Another program erased the volume meanwhile.");
            return std::nullopt;
        }
        result.difference = stored->compare(walked, result.path, options, contentOf);
        if (!confirmed && !confirm(result.difference)) {
            refusal = Outcome::Declined;
            return std::nullopt;
        }
        confirmed = true;
        return run;
    };
    add.ReplacedVolume =
        VolumeAdd::Replacing{volume->location, locked, beforeWriting, contentsRead};
    switch (add.run(result.path, volume->keywords)) {
    case VolumeAdd::Result::Finished:
        result.head = lastHead(*db);
        return ending(Outcome::Updated);
    case VolumeAdd::Result::Cancelled:
        return ending(refusal.value_or(Outcome::Declined), result.problem);
    case VolumeAdd::Result::Failed:
    case VolumeAdd::Result::ProgramEnds:
        break;
    }
    return ending(Outcome::Failed);
}

} // namespace orvik
