#include "core/CatalogueFiles.h"

#include "core/AppState.h"
#include "core/Error.h"
#include "core/Prompt.h"
#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/OpenFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

namespace orvik {

namespace {

const QString Extension = QStringLiteral(".mdb");
// Leaves room below the usual 255-byte limit for ".mdb" and the names of the
// hidden files built beside a catalogue (".NAME.mdb.building-journal").
constexpr qsizetype MaxNameBytes = 200;

// A character that a listing would not show as itself: a line break, a tab,
// the start of a terminal's command.
bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// Deletes `path` when it exists; false when it exists and cannot be deleted.
bool removeIfPresent(const QString& path) {
    return !QFileInfo::exists(path) || QFile::remove(path);
}

} // namespace

QString catalogueNameProblem(const QString& name) {
    QString printable = name;
    std::replace_if(printable.begin(), printable.end(), isControl, QChar('?'));
    const QString shown =
        QStringLiteral("That is not a catalogue name: '") + printable + QStringLiteral("'. ");
    if (name.trimmed().isEmpty())
        return shown + QStringLiteral("A name cannot be empty or only blanks.");
    if (name.contains('/'))
        return shown + QStringLiteral("A name cannot hold \"/\": catalogues stay in one folder.");
    if (name.startsWith('.')) return shown + QStringLiteral("A name cannot begin with \".\".");
    if (name.contains(QChar(0))) return shown + QStringLiteral("A name cannot hold a NUL.");
    if (std::any_of(name.cbegin(), name.cend(), isControl))
        return shown + QStringLiteral("A name cannot hold control characters.");
    if (name.toUpper().toUtf8().size() > MaxNameBytes)
        return shown + QStringLiteral("A name holds at most %1 bytes.").arg(MaxNameBytes);
    return {};
}

QString catalogueFilePath(const QString& folder, const QString& name) {
    const QString wanted = name.toUpper() + Extension;
    const QDir dir(folder);
    if (!QFileInfo::exists(dir.filePath(wanted))) {
        const QStringList files = dir.entryList(QDir::Files | QDir::Hidden);
        for (const QString& file : files)
            if (file.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(file);
    }
    return dir.filePath(wanted);
}

bool catalogueExists(const QString& file) {
    const QFileInfo info(file);
    return info.exists() && !(info.isFile() && info.size() == 0);
}

QStringList catalogueFileNames(const QString& folder) {
    QStringList catalogues;
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& file : files)
        if (file.endsWith(Extension, Qt::CaseInsensitive)) catalogues << file;
    return catalogues;
}

QStringList catalogueNames(const QString& folder) {
    QStringList names;
    for (const QString& file : catalogueFileNames(folder))
        names << file.left(file.size() - Extension.size());
    return names;
}

void CreateCatalogue(AppState& state, int& status) {
    const QString database = catalogueFilePath(state.appFolder(), state.CatalogueName);
    const QString lockFile = database.left(database.size() - Extension.size()) + ".ldb";
    // A journal left beside a deleted catalogue would be played back into its successor.
    const QString journal = database + "-journal";
    try {
        // A path in the name would delete or create a file outside the folder.
        if (const QString problem = catalogueNameProblem(state.CatalogueName); !problem.isEmpty())
            throw Error(EINVAL, problem);
        if (!removeIfPresent(lockFile))
            throw Error(errno, QStringLiteral("Cannot delete ") + lockFile);
        if (engine::OpenFiles::isOpen(database))
            throw Error(3045, QStringLiteral("File already in use."));
        if (!removeIfPresent(database) || !removeIfPresent(journal))
            throw Error(errno, QStringLiteral("Cannot delete ") + database);
        if (status == 2) {
            status = 0;
            return;
        }
        state.CatalogueDatabase =
            state.workspace().CreateDatabase(database, engine::createCatalogueTable);
        status = 0;
    } catch (const Error&) {
        state.prompt().ask(QStringLiteral("Can't delete/create catalogue file ") +
                               state.CatalogueName,
                           Buttons::Ok, Icon::Exclamation, AppTitle);
        status = 1;
    }
}

} // namespace orvik
