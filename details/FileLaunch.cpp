#include "details/FileLaunch.h"

#include "core/AppState.h"
#include "core/platform/ArchiveMember.h"
#include "core/platform/LaunchMessage.h"

#include <QFileInfo>

namespace orvik {

namespace {

// The file as it is on the disc, matched without regard to case: an ordinary
// file, not hidden; empty when there is none.
QString findOrdinaryFile(const QString& storedName) {
    const QString real = resolvePath(storedName);
    if (real.isEmpty()) return {};
    const QFileInfo info(real);
    return info.isFile() && !info.fileName().startsWith('.') ? real : QString();
}

// A file catalogued inside an archive that is on the disc, extracted to the
// private folder; empty when the archive or the member is not there.
QString extractFromArchive(const QString& storedName) {
    const std::optional<ArchiveMemberPath> found = findArchiveMember(storedName);
    return found ? extractArchiveMember(found->archive, found->member).file : QString();
}

} // namespace

int launchCurrentFile(AppState& state, const QString& CurPath, const QString& CurFile) {
    int result = 0;
    try {
        const QString fullName = CurPath + CurFile;
        if (!findOrdinaryFile(fullName).isEmpty())
            result = state.shell().open(fullName, CurPath);
        else if (const QString extracted = extractFromArchive(fullName); !extracted.isEmpty())
            result = state.shell().open(extracted, QFileInfo(extracted).path());
        else
            state.prompt().tell(QStringLiteral("Please insert correct CD and try again"));
        if (result >= 2 && result <= 32)
            state.prompt().tell(launchMessage(result, DetailsNoAssociation));
    } catch (const Error&) {
        state.prompt().tell(QStringLiteral("Error accessing drive - check CD in drive!"));
    }
    return result;
}

} // namespace orvik
