#include "help/FormHelp.h"

#include <QListWidget>

namespace orvik {

namespace {
// The text of the window, one line a row; the blanks in front are part of it.
const QStringList Lines = {
    QStringLiteral("Orvik - Help    (use this utility to answer the question 'Which CD has the "
                   "file I want?')"),
    QStringLiteral(""),
    QStringLiteral(
        "This program is intended to help you build a catalogue (database) of all your data CDs."),
    QStringLiteral("1. Fill in the Title/Description and any other details (e.g. Magazine "
                   "month/year, colour of CD, etc.)."),
    QStringLiteral("2. Fill in any Keywords (e.g. GOLF DOOM PAINTSHOP)."),
    QStringLiteral("3. Insert CD and wait for the drive-busy light to go out."),
    QStringLiteral("4. If required, select the CD drive or hit the REFRESH button,"),
    QStringLiteral("5. Select the top level directory from which you wish to store files,"),
    QStringLiteral("   typically the root of your CD drive (default). The Status box shows the "
                   "directory chosen."),
    QStringLiteral("6. Hit the 'Add files to Catalogue' button."),
    QStringLiteral(""),
    QStringLiteral("QUERY CATALOGUE - Allows the user to query/modify the catalogue database."),
    QStringLiteral(""),
    QStringLiteral("MENU COMMANDS:"),
    QStringLiteral(
        "FILE          - Selects an existing or new database file as the current catalogue."),
    QStringLiteral("OPTIONS - 'Use Extension Filter' - Will only catalogues filenames that have "
                   "one of the extensions listed."),
    QStringLiteral("          All options are automatically recorded and used as the default when "
                   "Orvik is next run."),
    QStringLiteral("OPTIONS - 'Save Dates/Sizes' - controls whether file dates and lengths are "
                   "stored in the database."),
    QStringLiteral(
        "          Used to save disk space if you do not require dates/filelength information."),
    QStringLiteral("OPTIONS - 'Look inside Archives' - also stores the files inside zip, tar, 7z, "
                   "ISO and other archives,"),
    QStringLiteral("          each below the archive as its directory (GAMES/QUAKE.ZIP/MAPS/)."),
    QStringLiteral("OPTIONS - 'Compute Checksums' - also reads every file and stores the checksum "
                   "of its content,"),
    QStringLiteral("          so 'Verify Selected CD' (search window, Tools menu) finds files "
                   "changed in place."),
    QStringLiteral("OPTIONS - 'Set Current Drive as Default'. Use this option if you wish Orvik to "
                   "default to another drive."),
    QStringLiteral("          Note: Orvik will try to detect which drive is your CD drive when it "
                   "first runs."),
};
} // namespace

FormHelp::FormHelp(AppState& state, QWidget* opener)
    : HelpWindow(QStringLiteral("Orvik - Help"), QStringLiteral("Orvik - Help"), opener) {
    setObjectName(QStringLiteral("FormHelp"));
    ListHelp->setToolTip(QStringLiteral("Orvik has useful ToolTips"));
    Form_Load(state);
}

void FormHelp::Form_Load(AppState& state) {
    placeAtCentre(state);
    fill(Lines);
    sizeToText();
}

} // namespace orvik
