#include "exchange/WindowExchange.h"

#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/KeptFiles.h"
#include "core/Progress.h"
#include "core/Prompt.h"
#include "core/WriterWait.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Workspace.h"
#include "exchange/CatalogueExchange.h"

#include <cerrno>

namespace orvik {

namespace {

std::shared_ptr<engine::Catalogue> openCatalogue(AppState& state, const QString& name) {
    const QString file = catalogueFilePath(state.appFolder(), name);
    if (!catalogueExists(file))
        throw Error(ENOENT, QStringLiteral("No catalogue %1 in %2").arg(name, state.appFolder()));
    return state.workspace().OpenDatabase(file);
}

} // namespace

bool exportCatalogueFile(AppState& state, const QString& catalogueName, const QString& file,
                         Progress& progress, Prompt& prompt, const bool& cancelFlag) {
    try {
        const auto format = formatOfFile(file);
        if (!format) throw Error(EINVAL, unknownFormatText(file, false));
        refuseKeptFile(state.appFolder(), state.settings().file(), file);
        const ExchangeResult result =
            exportCatalogue(*openCatalogue(state, catalogueName), catalogueName,
                            {*format, file, std::nullopt}, progress, cancelFlag);
        if (result.cancelled) {
            prompt.tell(QStringLiteral("Export cancelled - nothing was written."));
            return false;
        }
        prompt.tell(QStringLiteral("Exported %1 records of %2 volumes to %3")
                        .arg(result.records)
                        .arg(result.volumes)
                        .arg(file),
                    Icon::Information);
        return true;
    } catch (const Error& error) {
        prompt.reportError(error, QStringLiteral("Export failed - nothing was written."));
        return false;
    }
}

bool importIntoCatalogue(AppState& state, const QString& catalogueName, const QString& file,
                         Progress& progress, Prompt& prompt, const bool& cancelFlag) {
    try {
        const ImportRequest request{file, std::nullopt, {}, {}};
        importFormat(request);
        const ExchangeResult result =
            importFile(*openCatalogue(state, catalogueName), request, progress, cancelFlag,
                       waitingForWriter(progress, cancelFlag));
        if (result.cancelled) {
            prompt.tell(QStringLiteral("Import cancelled - the catalogue is as it was before."));
            return false;
        }
        state.CatalogueChanged = true;
        prompt.tell(QStringLiteral("Imported %1 records of %2 volumes into %3")
                        .arg(result.records)
                        .arg(result.volumes)
                        .arg(catalogueName),
                    Icon::Information);
        return true;
    } catch (const Error& error) {
        prompt.reportError(error,
                           QStringLiteral("Import failed - the catalogue is as it was before."));
        return false;
    }
}

} // namespace orvik
