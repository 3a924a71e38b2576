// What the catalogue selection window does, without its widgets: picking a
// name from a listed file or typing one, making it current (creating its
// catalogue when missing), deleting another catalogue, and opening the
// current one again when the window closes. Messages go through Prompt.
#pragma once

#include <QString>
#include <QStringList>

namespace orvik {

class AppState;

// The File menus' first step: closes the shared recordset and every database
// of the default workspace, so no catalogue is open while the window is.
void closeCatalogue(AppState& state);

// Deletes the catalogue `name` through CreateCatalogue (status 2) and returns
// its status; the current catalogue's name is kept. Callers refuse the
// current catalogue first.
int deleteCatalogueFiles(AppState& state, const QString& name);

// Makes the existing catalogue `name` current as "&Set as Catalogue" does,
// closed meanwhile and opened again for the windows; false when it is not
// (told).
bool makeCatalogueCurrent(AppState& state, const QString& name);

class CatalogueSelection {
public:
    explicit CatalogueSelection(AppState& state);

    // The picked or typed name in upper case; empty when nothing is picked.
    QString NewName;

    // The catalogue files of the application folder, as the list shows them.
    QStringList files() const;
    // The name a listed file stands for: its text before the first ".", upper-cased.
    static QString nameOfFile(const QString& fileName);

    void typed(const QString& text);
    // Set as Catalogue: true when NewName became current (its catalogue created
    // when missing, the name stored in DBName). Nothing happens for an empty
    // NewName; a name that cannot be a file is refused with a message.
    bool setAsCatalogue();
    // Done: true when the window closes.
    bool done();
    // A double click on a listed catalogue: true when the window closes.
    bool chooseListed();
    // Delete Catalogue, up to the user's answer: true when NewName is not the
    // current catalogue and the user said Yes.
    bool confirmDeletion();
    // The deletion itself; NewName is emptied. True when the files are gone.
    bool deleteConfirmed();
    // However the window closes: opens the current catalogue as the shared
    // dynaset for the other windows and tells the search window to relist.
    void reopen();

private:
    // Shows why `name` cannot be a catalogue; false when it can.
    bool refused(const QString& name);
    void createIfMissing();
    // DBName := CatalogueName, NewName emptied (the window shows the name).
    void SaveCurrentName();

    AppState& m_state;
};

} // namespace orvik
