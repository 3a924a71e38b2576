#include "manage/CatalogueSelection.h"

#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/engine/Recordset.h"

namespace orvik {

void closeCatalogue(AppState& state) {
    if (state.CatalogueRecordset) state.CatalogueRecordset->Close();
    state.CatalogueRecordset.reset();
    state.workspace().Close();
    state.CatalogueDatabase.reset();
}

int deleteCatalogueFiles(AppState& state, const QString& name) {
    const QString current = state.CatalogueName;
    state.CatalogueName = name.toUpper();
    int status = 2;
    CreateCatalogue(state, status);
    state.CatalogueName = current;
    return status;
}

CatalogueSelection::CatalogueSelection(AppState& state) : m_state(state) {}

QStringList CatalogueSelection::files() const {
    return catalogueFileNames(m_state.appFolder());
}

QString CatalogueSelection::nameOfFile(const QString& fileName) {
    return fileName.section(QLatin1Char('.'), 0, 0).toUpper();
}

bool makeCatalogueCurrent(AppState& state, const QString& name) {
    closeCatalogue(state);
    CatalogueSelection selection(state);
    selection.typed(name);
    const bool made = selection.setAsCatalogue();
    selection.reopen();
    return made && state.CatalogueRecordset != nullptr;
}

void CatalogueSelection::typed(const QString& text) {
    NewName = text.toUpper();
}

bool CatalogueSelection::refused(const QString& name) {
    const QString problem = catalogueNameProblem(name);
    if (problem.isEmpty()) return false;
    m_state.prompt().tell(problem, Icon::Exclamation);
    return true;
}

// The new catalogue is closed again at once: while the window is open no
// catalogue is, so any but the current one can be deleted, and the window's
// closing opens the current one.
void CatalogueSelection::createIfMissing() {
    if (catalogueExists(m_state.catalogueFile())) return;
    int status = 1;
    CreateCatalogue(m_state, status);
    m_state.CatalogueDatabase.reset();
}

void CatalogueSelection::SaveCurrentName() {
    m_state.settings().save(QStringLiteral("DBName"), m_state.CatalogueName);
    NewName.clear();
}

bool CatalogueSelection::setAsCatalogue() {
    if (NewName.isEmpty() || refused(NewName)) return false;
    m_state.CatalogueName = NewName.toUpper();
    // A catalogue that cannot be created adds no message here; the name stays current.
    createIfMissing();
    SaveCurrentName();
    return true;
}

bool CatalogueSelection::done() {
    if (!catalogueExists(m_state.catalogueFile())) {
        m_state.prompt().tell(QStringLiteral("Sorry - you must set a catalogue name"),
                              Icon::Exclamation);
        return false;
    }
    // A refused name keeps the window open, so it can be mended.
    if (!NewName.isEmpty() && !setAsCatalogue()) return false;
    NewName.clear();
    return true;
}

bool CatalogueSelection::chooseListed() {
    if (!NewName.isEmpty()) {
        if (refused(NewName)) return false;
        m_state.CatalogueName = NewName.toUpper();
    }
    m_state.settings().save(QStringLiteral("DBName"), m_state.CatalogueName);
    m_state.CatalogueRecordset.reset();
    createIfMissing();
    return true;
}

bool CatalogueSelection::confirmDeletion() {
    if (NewName.isEmpty() || NewName.toUpper() == m_state.CatalogueName) {
        m_state.prompt().tell(
            QStringLiteral("Sorry - Cannot delete current catalogue until new one selected"),
            Icon::Exclamation);
        return false;
    }
    if (refused(NewName)) return false;
    return m_state.prompt().ask(
               QStringLiteral("Are you sure you want to delete the entire CD catalogue '") +
                   NewName + QStringLiteral(".mdb'"),
               Buttons::YesNoDefaultNo, Icon::Exclamation) == Answer::Yes;
}

bool CatalogueSelection::deleteConfirmed() {
    const int status = deleteCatalogueFiles(m_state, NewName);
    NewName.clear();
    if (status == 0) return true;
    m_state.prompt().tell(
        QStringLiteral("Error - Catalogue not deleted or empty catalogue could not be created!"));
    return false;
}

void CatalogueSelection::reopen() {
    // Set whatever happens: the search list must not keep the lines of the
    // catalogue that was closed.
    m_state.CatalogueChanged = true;
    try {
        m_state.CatalogueDatabase = m_state.workspace().OpenDatabase(m_state.catalogueFile());
        m_state.CatalogueRecordset = std::make_shared<engine::Recordset>(
            m_state.CatalogueDatabase, engine::RecordsetType::Dynaset);
    } catch (const Error& error) {
        m_state.CatalogueRecordset.reset();
        m_state.CatalogueDatabase.reset();
        m_state.prompt().reportError(
            error, QStringLiteral("Can't open catalogue ") + m_state.CatalogueName +
                       QStringLiteral(" - choose one from the File menu."));
    }
}

} // namespace orvik
