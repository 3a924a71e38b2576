#include "cli/CatalogueCommands.h"

#include "cli/CliCommands.h"
#include "cli/CliPrompt.h"
#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "manage/CatalogueSelection.h"

#include <QFileInfo>
#include <cstdio>

namespace orvik::cli {

namespace {

int fail(const QString& text) {
    std::fprintf(stderr, "orvik-cli: %s\n", text.toLocal8Bit().constData());
    return ExitError;
}

// The boxes the operation would have shown, as one line.
int failWithMessages(const CliPrompt& prompt) {
    return fail(prompt.messages().join(QStringLiteral(" ")));
}

void say(const QString& text) {
    std::printf("%s\n", text.toLocal8Bit().constData());
}

} // namespace

int runCreate(AppState& state, CliPrompt& prompt, const QString& name) {
    if (const QString problem = catalogueNameProblem(name); !problem.isEmpty())
        return fail(problem);
    state.CatalogueName = name.toUpper();
    if (catalogueExists(state.catalogueFile()))
        return fail(QStringLiteral("catalogue ") + state.CatalogueName +
                    QStringLiteral(" exists already in ") + state.appFolder());
    int status = 1;
    CreateCatalogue(state, status);
    state.CatalogueDatabase.reset();
    if (status != 0) return failWithMessages(prompt);
    say(QStringLiteral("Created catalogue ") + state.CatalogueName);
    return ExitDone;
}

int runDelete(AppState& state, CliPrompt& prompt, const QString& name) {
    if (const QString problem = catalogueNameProblem(name); !problem.isEmpty())
        return fail(problem);
    const QString victim = name.toUpper();
    const QString stored = state.settings().get(QStringLiteral("DBName"), AppName).toUpper();
    if (victim == state.CatalogueName || victim == stored)
        return fail(
            QStringLiteral("Sorry - Cannot delete current catalogue until new one selected"));
    if (!QFileInfo::exists(catalogueFilePath(state.appFolder(), victim)))
        return fail(QStringLiteral("no catalogue ") + victim + QStringLiteral(" in ") +
                    state.appFolder());
    if (deleteCatalogueFiles(state, victim) != 0) return failWithMessages(prompt);
    say(QStringLiteral("Deleted catalogue ") + victim);
    return ExitDone;
}

int runUse(AppState& state, CliPrompt& prompt, const QString& name) {
    if (const QString problem = catalogueNameProblem(name); !problem.isEmpty())
        return fail(problem);
    CatalogueSelection selection(state);
    selection.typed(name);
    const bool existed = catalogueExists(catalogueFilePath(state.appFolder(), selection.NewName));
    selection.setAsCatalogue();
    // As in the window, a catalogue that could not be created stays current;
    // a name the settings could not keep is reported as well.
    QStringList problems = prompt.messages();
    if (const QString& failure = state.settings().saveFailure(); !failure.isEmpty())
        problems << failure;
    if (!problems.isEmpty()) return fail(problems.join(QStringLiteral(" ")));
    if (!existed) say(QStringLiteral("Created catalogue ") + state.CatalogueName);
    say(QStringLiteral("Current catalogue: ") + state.CatalogueName);
    return ExitDone;
}

} // namespace orvik::cli
