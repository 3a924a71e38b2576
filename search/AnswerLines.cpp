#include "search/AnswerLines.h"

#include "core/AppState.h"
#include "search/Duplicates.h"
#include "search/RedundantVolumes.h"
#include "search/UniqueFiles.h"

namespace orvik {

namespace {

QString bytes(qint64 count) {
    return QString::number(count) + QStringLiteral(" bytes");
}

QString groupHeading(const DuplicateGroup& group) {
    QString text = group.checksum
                       ? QStringLiteral("Same content: ")
                       : QStringLiteral("Probably the same (name and length, no checksum): ");
    text += QString::number(group.files.size()) + QStringLiteral(" files");
    if (!group.length) return text + QStringLiteral(" of unknown length");
    return text + QStringLiteral(" of ") + bytes(*group.length) + QStringLiteral(", ") +
           bytes(group.wasted()) + QStringLiteral(" wasted");
}

class Composer {
public:
    Composer(const AppState& state, const QueryWidth& width)
        : m_paths(state.Options.DisplayPaths), m_width(width.nameColumn(m_paths)) {}

    AnswerLine file(const AnswerFile& found, QVariantList extras) const {
        const ResolvedRecord& r = found.record;
        return {composeFileLine(m_paths ? r.directory : QString(), r.file, m_width, r.date,
                                r.length, r.volume, r.description),
                found.catalogue, r, std::move(extras)};
    }

private:
    bool m_paths;
    float m_width;
};

AnswerLines duplicates(AnswerCatalogues& catalogues, const AnswerRequest& request,
                       const Composer& compose) {
    AnswerLines answer{QStringLiteral("duplicates"), {"group", "checksum", "probable"}, {}, {}};
    const std::vector<DuplicateGroup> groups = findDuplicates(catalogues, request.minSize);
    qint64 wasted = 0, group = 0;
    for (const DuplicateGroup& duplicates : groups) {
        wasted += duplicates.wasted();
        answer.lines.push_back({groupHeading(duplicates), {}, {}, {}});
        const QString checksum =
            duplicates.checksum ? engine::checksumText(*duplicates.checksum) : QString();
        ++group;
        for (const AnswerFile& file : duplicates.files)
            answer.lines.push_back(compose.file(file, {group, checksum, !duplicates.checksum}));
    }
    answer.status = groups.empty() ? QStringLiteral("No duplicates found")
                                   : QStringLiteral("%1 groups of duplicates, %2 wasted")
                                         .arg(groups.size())
                                         .arg(bytes(wasted));
    return answer;
}

AnswerLines unique(AnswerCatalogues& catalogues, const AnswerRequest& request,
                   const Composer& compose) {
    AnswerLines answer{QStringLiteral("unique files"), {}, {}, {}};
    const UniqueFiles found = findUniqueFiles(catalogues, request.bookmark);
    answer.volumeFound = found.volumeFound;
    if (!found.volumeFound) return answer;
    answer.what = QStringLiteral("files only on ") + found.label;
    for (const AnswerFile& file : found.files)
        answer.lines.push_back(compose.file(file, {}));
    answer.status = found.files.empty()
                        ? QStringLiteral("No file of %1 is held on it alone").arg(found.label)
                        : QStringLiteral("%1 files of %2 held on no other CD")
                              .arg(found.files.size())
                              .arg(found.label);
    if (found.withoutChecksum > 0)
        answer.status +=
            QStringLiteral(" (%1 without checksum not compared)").arg(found.withoutChecksum);
    return answer;
}

AnswerLines redundant(AnswerCatalogues& catalogues) {
    AnswerLines answer{QStringLiteral("redundant CDs"), {"files", "frees"}, {}, {}};
    qint64 total = 0;
    const std::vector<RedundantVolume> volumes = findRedundantVolumes(catalogues);
    for (const RedundantVolume& volume : volumes) {
        const ResolvedRecord& head = volume.head;
        total += volume.bytes;
        answer.lines.push_back({composeVolumeLine(head.volume, head.description, head.keywords) +
                                    QStringLiteral("  frees %1 in %2 files")
                                        .arg(bytes(volume.bytes))
                                        .arg(volume.files),
                                volume.catalogue,
                                head,
                                {volume.files, volume.bytes}});
    }
    answer.status = volumes.empty() ? QStringLiteral("No redundant CDs found")
                                    : QStringLiteral("%1 CDs held whole on other CDs, %2")
                                          .arg(volumes.size())
                                          .arg(bytes(total));
    return answer;
}

} // namespace

qsizetype AnswerLines::records() const {
    return std::count_if(lines.begin(), lines.end(),
                         [](const AnswerLine& line) { return !line.record.bookmark.isEmpty(); });
}

AnswerLines runAnswer(AppState& state, const AnswerRequest& request, const QueryWidth& width) {
    AnswerCatalogues catalogues(state, request.everyCatalogue);
    const Composer compose(state, width);
    AnswerLines answer;
    switch (request.kind) {
    case AnswerKind::Duplicates:
        answer = duplicates(catalogues, request, compose);
        break;
    case AnswerKind::Unique:
        answer = unique(catalogues, request, compose);
        break;
    case AnswerKind::Redundant:
        answer = redundant(catalogues);
        break;
    }
    if (request.everyCatalogue) answer.status += QStringLiteral(" in every catalogue");
    if (!catalogues.skipped().isEmpty())
        answer.status +=
            QStringLiteral(" - could not read ") + catalogues.skipped().join(QStringLiteral(", "));
    return answer;
}

} // namespace orvik
