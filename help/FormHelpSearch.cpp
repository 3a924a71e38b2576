#include "help/FormHelpSearch.h"

#include <QEvent>
#include <QListWidget>

namespace orvik {

namespace {
// The text of the window, one line a row; the blanks in front are part of it.
const QStringList Lines = {
    QStringLiteral("A listing of all Volumes in the current catalogue is shown on entry (if option "
                   "is enabled)."),
    QStringLiteral("Enter search text in Search field box (e.g. g*.bmp, .xl?, windows\\system)."),
    QStringLiteral("FIND FILEMATCH - lists all files that match the entered string"),
    QStringLiteral(
        "      and also the first file in any directory that has the search string in its path."),
    QStringLiteral("      e.g. the search pattern 'WINDOWS' will list all files such as "
                   "'WINDOWS.BMP' and also"),
    QStringLiteral(
        "      one file for each path such as 'WINDOWS\\FRED.BMP' and 'WINDOWS\\TEMP\\123.TMP'."),
    QStringLiteral(
        "  Double-clicking on any listed file/CD (or clicking the 'Display File Details' button)"),
    QStringLiteral(
        "      will display all details of that file and also allow you to move up or down the"),
    QStringLiteral("      catalogue by a file, directory, volume/CD or string match."),
    QStringLiteral("FIND KEYWORDS - matches entered string against any keyword entries."),
    QStringLiteral(
        "FIND VOLUME/DESCRIPTION - matches entered string against any description or volume name."),
    QStringLiteral(
        "LIST ALL CD's - Displays volumes in the current catalogue (as shown at startup)."),
    QStringLiteral("ERASE SELECTED CD - Deletes the selected CD (or tree) from the catalogue."),
    QStringLiteral("VIEW RAW DATABASE - Displays the catalogue database as actually stored* (see "
                   "Note below)."),
    QStringLiteral("DISPLAY FILE DETAILS - Displays details of highlighted file including CD "
                   "description/volume"),
    QStringLiteral(
        "ADD CD TO CATALOGUE - Allows you to add a CD to the current database/catalogue."),
    QStringLiteral("FILE MENU - Selects which database/catalogue to search or update."),
    QStringLiteral(
        "OPTIONS/DISPLAY PATHS - Suppresses the file paths from being listed. This shortens the"),
    QStringLiteral(
        "                        line length so that you can see the CD Description on printouts."),
    QStringLiteral(
        "OPTIONS/AUTO-DISPLAY - Enables/disables automatic display of catalogue contents."),
    QStringLiteral("UPDATE SELECTED CD - Reads the selected CD again, shows what changed and "
                   "brings it up to date."),
    QStringLiteral("BROWSE VOLUMES - Every CD as a tree.  FIND WITH FILTERS - Files by pattern or "
                   "regular expression,"),
    QStringLiteral("      length (1G), date (2009-06), extension, volume and keywords, in this or "
                   "all catalogues."),
    QStringLiteral("TOOLS - DUPLICATES (same checksum, most space wasted first), UNIQUE FILES of "
                   "the selected CD"),
    QStringLiteral(
        "      (on no other CD), REDUNDANT CDs (all held elsewhere), VERIFY SELECTED CD: "
        "see man orvik."),
    QStringLiteral(""),
    QStringLiteral("*Note: To save space, Orvik only stores the Volume and Description in the "
                   "first record of a new"),
    QStringLiteral("      'Add' operation and each file path is only stored in the catalogue on "
                   "its first occurrence."),
};
} // namespace

FormHelpSearch::FormHelpSearch(AppState& state, QWidget* opener)
    : HelpWindow(QStringLiteral("Orvik - Search Help"), QStringLiteral("ORVIK - Search Help"),
                 opener) {
    setObjectName(QStringLiteral("FormHelpSearch"));
    ListHelp->installEventFilter(this);
    Form_Load(state);
}

void FormHelpSearch::Form_Load(AppState& state) {
    placeAtCentre(state);
    ListHelp_GotFocus();
    sizeToText();
}

void FormHelpSearch::ListHelp_GotFocus() {
    fill(Lines);
}

bool FormHelpSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListHelp && event->type() == QEvent::FocusIn) ListHelp_GotFocus();
    return HelpWindow::eventFilter(watched, event);
}

} // namespace orvik
