#include "search/FormSearch.h"

#include "catalogue/VolumeUpdate.h"
#include "catalogue/VolumeVerify.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/records/ByteSizes.h"
#include "core/ui/LabelProgress.h"
#include "core/ui/MenuShortcuts.h"
#include "core/ui/TabOrder.h"
#include "core/ui/Twips.h"
#include "core/ui/WindowGeometry.h"
#include "help/FormHelpSearch.h"
#include "manage/FormSelDB.h"
#include "manage/FormViewDB.h"
#include "search/CatalogueOpening.h"
#include "search/FilterSearch.h"
#include "search/FormBrowse.h"
#include "search/FormFilters.h"
#include "search/LiveResultList.h"
#include "search/ResultLineDelegate.h"
#include "search/ResultPrinting.h"
#include "search/ResultPrintout.h"
#include "search/VolumeErase.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvik {

namespace {

const QString NoPrinterFont = QStringLiteral("XXXX");
constexpr double BottomMarginTwips = 75;

// The default printer, or a PDF printer when none is installed, so the printer
// set-up never fails.
std::unique_ptr<QPrinter> makePrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) printer->setOutputFormat(QPrinter::PdfFormat);
    return printer;
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

// Status in TextMatch; the lines found so far are shown as the query lets the
// event loop run.
class FormSearch::StatusProgress : public Progress {
public:
    StatusProgress(QLineEdit* box, ResultListModel& model, QListView& list)
        : m_label(box), m_list(model, list) {}
    void status(const QString& text) override { m_label.status(text); }
    void letEventsRun() override {
        m_list.showWhenDue();
        m_label.letEventsRun();
    }

private:
    LabelProgress m_label;
    LiveResultList m_list;
};

FormSearch::FormSearch(AppState& state, QWidget* parent, std::unique_ptr<QPrinter> printer)
    : QMainWindow(parent), m_state(state), m_printer(printer ? std::move(printer) : makePrinter()),
      m_layout(searchDesignLayout()) {
    setObjectName(QStringLiteral("FormSearch"));
    createControls();
    createMenus();
    giveMenuShortcutsPriority(*this);
    m_progress = std::make_unique<StatusProgress>(TextMatch, m_model, *SearchList);
    m_queries = std::make_unique<SearchQueries>(m_state, m_model, *m_progress);
    // The layout rule puts the status row flush with the inner area's bottom;
    // a thin margin below the inner area keeps it clear of the window's edge.
    setContentsMargins(0, 0, 0, twips::toPixelsY(BottomMarginTwips, this));
    resize(minimumSizeHint()); // the design size
    applyLayout();
    Form_Load();
}

FormSearch::~FormSearch() = default;

void FormSearch::clearResults() {
    m_model.clear();
    TextMatch->clear();
}

void FormSearch::createControls() {
    // The inner area holds the controls the layout rule places; the buttons
    // to the details and the raw table sit in a row below it.
    auto* central = new QWidget(this);
    setCentralWidget(central);
    m_inner = new QWidget(central);
    m_inner->installEventFilter(this);
    // The layout rule holds from the design size up; below it the status row
    // would be left outside the window.
    m_inner->setMinimumSize(twips::sizeHolding(SearchDesignWidth, SearchDesignHeight, this));
    QWidget* inner = m_inner;
    auto button = [](QWidget* parent, const char* name, const QString& caption,
                     const QString& tip) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        return b;
    };

    FrameSrch = new QGroupBox(QStringLiteral("Search"), inner);
    FrameSrch->setObjectName(QStringLiteral("FrameSrch"));
    Text1 = new QLineEdit(FrameSrch);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Type in search string here"));
    CmdSearchFile =
        button(FrameSrch, "CmdSearchFile", QStringLiteral("Find File&Match"),
               QStringLiteral("Search current catalogue for matching directories and files"));
    CmdSearchFile->setDefault(true);
    cmdSearchKeywords = button(FrameSrch, "cmdSearchKeywords", QStringLiteral("Find &Keywords"),
                               QStringLiteral("Search current catalogue keywords"));
    cmdSearchDesc =
        button(FrameSrch, "cmdSearchDesc", QStringLiteral("Find &Vol or Description"),
               QStringLiteral("Search current catalogue Volume names and  descriptions"));
    CmdListCD = button(FrameSrch, "CmdListCD", QStringLiteral("&List all CDs"),
                       QStringLiteral("List all CDs (or tree) in current catalogue by Volume "
                                      "name, description and keywords"));

    SearchList = new QListView(inner);
    SearchList->setObjectName(QStringLiteral("SearchList"));
    SearchList->setModel(&m_model);
    SearchList->setUniformItemSizes(true);
    SearchList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SearchList->setFont(QFont(fixedPrinterFamily()));
    // A line is never cut: the list scrolls sideways to its end.
    SearchList->setTextElideMode(Qt::ElideNone);
    SearchList->setItemDelegate(new ResultLineDelegate(m_model, *SearchList));
    SearchList->setToolTip(QStringLiteral("Double-click to see more details"));

    Label1 = new QLabel(QStringLiteral("Status:"), inner);
    Label1->setObjectName(QStringLiteral("Label1"));
    TextMatch = new QLineEdit(inner);
    TextMatch->setObjectName(QStringLiteral("TextMatch"));
    TextMatch->setReadOnly(true);
    TextMatch->setToolTip(QStringLiteral("Shows current status"));
    CmdAdd = button(inner, "CmdAdd", QStringLiteral("&Add CD to Catalogue"),
                    QStringLiteral("Click to add a CD or tree structure to the current catalogue"));
    SearchExit = button(inner, "SearchExit", QStringLiteral("E&xit"), QStringLiteral("Quit Orvik"));
    CmdDetails = button(central, "CmdDetails", QStringLiteral("&Display File Details"),
                        QStringLiteral("Show selected file details and allow navigation of "
                                       "current catalogue"));
    CmdViewDB = button(central, "CmdViewDB", QStringLiteral("View &Raw Database"),
                       QStringLiteral("Allow viewing/editing of raw data in current catalogue"));
    CmdDelCD = button(central, "CmdDelCD", QStringLiteral("&Erase selected CD"),
                      QStringLiteral("Erase from the current catalogue the highlighted entry"));
    CmdDelCD->setEnabled(false); // offered only on the list of all volumes
    CmdUpdCD = button(central, "CmdUpdCD", QStringLiteral("&Update selected CD"),
                      QStringLiteral("Read the highlighted CD again and bring its entries in the "
                                     "current catalogue up to date"));
    CmdUpdCD->setEnabled(false); // as the erase
    // Alt+F opens the File menu: the button's letter is the next one.
    CmdFilters = button(central, "CmdFilters", QStringLiteral("Find with F&ilters..."),
                        QStringLiteral("Find files by name, length, date, extension, volume and "
                                       "keywords, in this or every catalogue"));
    CmdBrowse = button(central, "CmdBrowse", QStringLiteral("Bro&wse Volumes..."),
                       QStringLiteral("Browse the volumes of the current catalogue as a tree"));
    // Two rows, so the window keeps its design width: the volume's update
    // under its erase, the browse of every volume under the details, the find
    // with filters under the raw table.
    auto* buttons = new QGridLayout;
    buttons->setContentsMargins(twips::toPixelsX(105, this), 0, twips::toPixelsX(105, this),
                                twips::toPixelsY(60, this));
    buttons->setColumnStretch(0, 1);
    buttons->addWidget(CmdDetails, 0, 1);
    buttons->addWidget(CmdDelCD, 0, 2);
    buttons->addWidget(CmdViewDB, 0, 3);
    buttons->addWidget(CmdBrowse, 1, 1);
    buttons->addWidget(CmdFilters, 1, 3);
    buttons->addWidget(CmdUpdCD, 1, 2);
    orderTabs({CmdDetails, CmdDelCD, CmdViewDB, CmdBrowse, CmdUpdCD, CmdFilters}); // as shown
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->addWidget(m_inner, 1);
    rows->addLayout(buttons);

    connect(CmdSearchFile, &QPushButton::clicked, this, &FormSearch::CmdSearchFile_Click);
    connect(cmdSearchKeywords, &QPushButton::clicked, this, &FormSearch::cmdSearchKeywords_Click);
    connect(cmdSearchDesc, &QPushButton::clicked, this, &FormSearch::cmdSearchDesc_Click);
    connect(CmdListCD, &QPushButton::clicked, this, &FormSearch::CmdListCD_Click);
    connect(CmdAdd, &QPushButton::clicked, this, &FormSearch::CmdAdd_Click);
    connect(SearchExit, &QPushButton::clicked, this, &FormSearch::SearchExit_Click);
    connect(CmdDetails, &QPushButton::clicked, this, &FormSearch::CmdDetails_Click);
    connect(CmdViewDB, &QPushButton::clicked, this, &FormSearch::CmdViewDB_Click);
    connect(CmdDelCD, &QPushButton::clicked, this, &FormSearch::CmdDelCD_Click);
    connect(CmdUpdCD, &QPushButton::clicked, this, &FormSearch::CmdUpdCD_Click);
    connect(CmdBrowse, &QPushButton::clicked, this, &FormSearch::CmdBrowse_Click);
    connect(CmdFilters, &QPushButton::clicked, this, &FormSearch::CmdFilters_Click);
    connect(SearchList, &QListView::doubleClicked, this, &FormSearch::SearchList_DblClick);
    // A line is chosen when it is highlighted, by mouse or keyboard; a click on
    // the highlighted line takes its position back after the details window
    // moved elsewhere. Tabbing into the list makes a line current without
    // highlighting it: that chooses nothing.
    connect(SearchList, &QListView::clicked, this, &FormSearch::SearchList_Click);
    connect(SearchList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FormSearch::SearchList_Click);
}

void FormSearch::createMenus() {
    QAction* DBFile = menuBar()->addAction(QStringLiteral("&File"));
    DBFile->setObjectName(QStringLiteral("DBFile"));
    connect(DBFile, &QAction::triggered, this, &FormSearch::DBFile_Click);
    QMenu* Opt = menuBar()->addMenu(QStringLiteral("&Options"));
    Opt->setObjectName(QStringLiteral("Opt"));
    auto option = [&](const char* name, const QString& caption, const QKeySequence& key) {
        QAction* action = Opt->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        action->setCheckable(true);
        action->setChecked(true);
        return action;
    };
    OptDispPaths = option("OptDispPaths", QStringLiteral("Display &Paths"),
                          QKeySequence(Qt::CTRL | Qt::Key_P));
    AutoList = option("AutoList", QStringLiteral("Auto-display Catalogue"),
                      QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(OptDispPaths, &QAction::triggered, this, [this](bool checked) {
        m_state.Options.DisplayPaths = checked;
        m_state.settings().saveBool(QStringLiteral("DisplayPaths"), checked);
    });
    connect(AutoList, &QAction::triggered, this, [this](bool checked) {
        m_state.Options.AutoList = checked;
        m_state.settings().saveBool(QStringLiteral("AutoList"), checked);
    });

    QMenu* PrintMenu = menuBar()->addMenu(QStringLiteral("&Print"));
    PrintMenu->setObjectName(QStringLiteral("PrintMenu"));
    auto item = [&](const char* name, const QString& caption) {
        QAction* action = PrintMenu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    connect(item("Print_res", QStringLiteral("&Print Results")), &QAction::triggered, this,
            &FormSearch::Print_res_Click);
    connect(item("Print_Font", QStringLiteral("Set &Font")), &QAction::triggered, this,
            &FormSearch::Print_Font_Click);
    Print_Landscape = item("Print_Landscape", QStringLiteral("&Landscape"));
    connect(item("Def_Font", QStringLiteral("Set &Default Font for Orvik")), &QAction::triggered,
            this, &FormSearch::Def_Font_Click);
    Print_Landscape->setCheckable(true);
    Print_Landscape->setChecked(true);
    // The item has inverted its mark when it reports the click; the handler
    // inverts it itself, as a direct call does.
    connect(Print_Landscape, &QAction::triggered, this, [this] {
        Print_Landscape->setChecked(!Print_Landscape->isChecked());
        Print_Landscape_Click();
    });

    QMenu* Tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    Tools->setObjectName(QStringLiteral("Tools"));
    QAction* Tools_Browse = Tools->addAction(QStringLiteral("Bro&wse Volumes..."));
    Tools_Browse->setObjectName(QStringLiteral("Tools_Browse"));
    connect(Tools_Browse, &QAction::triggered, this, &FormSearch::CmdBrowse_Click);
    QAction* Tools_Filters = Tools->addAction(QStringLiteral("Find with &Filters..."));
    Tools_Filters->setObjectName(QStringLiteral("Tools_Filters"));
    connect(Tools_Filters, &QAction::triggered, this, &FormSearch::CmdFilters_Click);
    Tools->addSeparator();
    for (const auto& [name, caption, click] :
         {std::tuple{"Tools_Duplicates", "Find &Duplicates...",
                     &FormSearch::Tools_Duplicates_Click},
          std::tuple{"Tools_Unique", "&Unique Files of Selected CD",
                     &FormSearch::Tools_Unique_Click},
          std::tuple{"Tools_Redundant", "&Redundant CDs", &FormSearch::Tools_Redundant_Click}}) {
        QAction* action = Tools->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, click);
    }
    // Like "&Update selected CD", on a volume of the list of volumes.
    Tools_Verify = Tools->addAction(QStringLiteral("&Verify Selected CD..."));
    Tools_Verify->setObjectName(QStringLiteral("Tools_Verify"));
    Tools_Verify->setEnabled(false);
    connect(Tools_Verify, &QAction::triggered, this, &FormSearch::Tools_Verify_Click);
    Tools_EveryCatalogue = Tools->addAction(QStringLiteral("Answers from &Every Catalogue"));
    Tools_EveryCatalogue->setObjectName(QStringLiteral("Tools_EveryCatalogue"));
    Tools_EveryCatalogue->setCheckable(true);
    Tools_EveryCatalogue->setChecked(
        m_state.settings().getBool(QStringLiteral("AnswersEveryCatalogue"), false));
    connect(Tools_EveryCatalogue, &QAction::triggered, this, [this](bool checked) {
        m_state.settings().saveBool(QStringLiteral("AnswersEveryCatalogue"), checked);
    });

    QAction* Help = menuBar()->addAction(QStringLiteral("&Help"));
    Help->setObjectName(QStringLiteral("Help"));
    connect(Help, &QAction::triggered, this, &FormSearch::Help_Click);
    QAction* About = menuBar()->addAction(QStringLiteral("A&bout"));
    About->setObjectName(QStringLiteral("About"));
    connect(About, &QAction::triggered, this, &FormSearch::About_Click);
}

void FormSearch::place(QWidget* widget, const SearchLayout::Rect& r) {
    widget->setGeometry(twips::toPixelsX(r.left, this), twips::toPixelsY(r.top, this),
                        twips::toPixelsX(r.width, this), twips::toPixelsY(r.height, this));
}

void FormSearch::applyLayout() {
    const SearchLayout& l = m_layout;
    place(FrameSrch, l.FrameSrch);
    place(Text1, l.Text1);
    place(CmdSearchFile, l.CmdSearchFile);
    place(cmdSearchKeywords, l.cmdSearchKeywords);
    place(cmdSearchDesc, l.cmdSearchDesc);
    place(CmdListCD, l.CmdListCD);
    place(SearchList, l.SearchList);
    place(Label1, l.Label1);
    place(TextMatch, l.TextMatch);
    place(CmdAdd, l.CmdAdd);
    place(SearchExit, l.SearchExit);
}

int FormSearch::printerOrientation() const {
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

void FormSearch::Form_Load() {
    Settings& settings = m_state.settings();
    StartOrientation = printerOrientation();
    PrintOrientation = int(settings.getNumber(QStringLiteral("PrnOrient"), StartOrientation));
    m_printer->setPageOrientation(PrintOrientation == 2 ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
    PrintOrientation = printerOrientation();
    Print_Landscape->setChecked(PrintOrientation == 2);

    const WindowPlace design = windowPlace(*this);
    restoreWindowGeometry(*this,
                          {settings.getNumber(QStringLiteral("SearchLeft"), design.left),
                           settings.getNumber(QStringLiteral("SearchTop"), design.top),
                           settings.getNumber(QStringLiteral("SearchWidth"), design.width),
                           settings.getNumber(QStringLiteral("SearchHeight"), design.height)});

    m_state.Options.AutoList = settings.getBool(QStringLiteral("AutoList"), AutoList->isChecked());
    AutoList->setChecked(m_state.Options.AutoList);
    OptDispPaths->setChecked(m_state.Options.DisplayPaths);
    m_state.Options.DisplayPaths =
        settings.getBool(QStringLiteral("DisplayPaths"), OptDispPaths->isChecked());
    OptDispPaths->setChecked(m_state.Options.DisplayPaths);

    m_queries->CancelFlag = false;
    m_queries->Busy = false;
    m_queries->SearchText.clear();
    m_queries->SearchPattern.clear();
    try {
        m_queries->SearchDatabase = openCurrentCatalogue(m_state);
    } catch (const Error&) {
        // The window stays without an open recordset; every query opens its own.
    }
}

void FormSearch::Form_Activate() {
    Settings& settings = m_state.settings();
    const QString fontName = settings.get(QStringLiteral("PrnFontName"), NoPrinterFont);
    const bool bold = settings.getBool(QStringLiteral("PrnFontBold"), false);
    const double size = settings.getNumber(QStringLiteral("PrnFontSize"), 6);
    const bool italic = settings.getBool(QStringLiteral("PrnFontItalic"), false);
    if (size > 0) PrinterFont.setPointSizeF(size);
    PrinterFont.setItalic(italic);
    PrinterFont.setBold(bold);
    Text1->setFocus();
    PrinterFont.setFamily(fontName.compare(NoPrinterFont, Qt::CaseInsensitive) == 0
                              ? fixedPrinterFamily()
                              : fontName);
    setWindowTitle(QStringLiteral("Orvik - Search     Catalogue=") + m_state.CatalogueName);
    AutoList->setChecked(m_state.Options.AutoList);
    OptDispPaths->setChecked(m_state.Options.DisplayPaths);

    const bool firstLineEmpty = m_model.rowCount() == 0 || m_model.lines().constFirst().isEmpty();
    if (m_state.Options.AutoList && (firstLineEmpty || m_state.CatalogueChanged)) {
        if (m_queries->Busy) return; // the file-match query still owns the list
        repaint();
        CmdListCD_Click();
        m_state.CatalogueChanged = false;
    } else if (!m_state.Options.AutoList && m_state.CatalogueChanged) {
        m_model.clear();
        m_state.CatalogueChanged = false;
    }
}

void FormSearch::saveSettings() {
    auto values = geometryValues(QStringLiteral("Search"), *this);
    values.insert(values.end(),
                  {{QStringLiteral("PrnFontName"), PrinterFont.family()},
                   {QStringLiteral("PrnFontSize"), Settings::numberText(PrinterFont.pointSizeF())},
                   {QStringLiteral("PrnFontBold"), Settings::boolText(PrinterFont.bold())},
                   {QStringLiteral("PrnFontItalic"), Settings::boolText(PrinterFont.italic())},
                   {QStringLiteral("PrnOrient"), QString::number(PrintOrientation)}});
    m_state.settings().save(values);
}

void FormSearch::Form_Deactivate() {
    saveSettings();
}

void FormSearch::Form_Unload() {
    if (m_queries->Busy)
        m_queries->CancelFlag = true; // a query still running stops at its next line
    saveSettings();
    m_printer->setPageOrientation(StartOrientation == 2 ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
    m_state.windows().closeMainWindow();
    m_state.windows().endProgram();
}

void FormSearch::Form_Resize() {
    const double width = twips::fromPixelsX(m_inner->width(), this);
    const double height = twips::fromPixelsY(m_inner->height(), this);
    if (layOutSearch(m_layout, width, height)) applyLayout();
}

void FormSearch::CmdSearchFile_Click() {
    if (m_queries->Busy) return; // a second scan would take the recordset from under the first
    if (!m_queries->startFileSearch(Text1->text())) return;
    m_linesOfEveryCatalogue = false;
    SearchExit->setText(QStringLiteral("Cancel"));
    {
        WaitCursor wait;
        m_queries->Query_MyFindFile(
            QueryWidth::window(twips::fromPixelsX(frameGeometry().width(), this)));
        m_model.flush();
    }
    enableVolumeCommands();
    SearchExit->setText(QStringLiteral("Exit"));
}

template <typename Query> void FormSearch::runVolumeQuery(Query query) {
    if (m_queries->Busy) return;
    m_linesOfEveryCatalogue = false;
    WaitCursor wait;
    query(Text1->text());
    m_model.flush();
    enableVolumeCommands();
}

void FormSearch::cmdSearchKeywords_Click() {
    runVolumeQuery([this](const QString& text) { m_queries->searchKeywords(text); });
}

void FormSearch::cmdSearchDesc_Click() {
    runVolumeQuery([this](const QString& text) { m_queries->searchDescriptions(text); });
}

void FormSearch::CmdListCD_Click() {
    runVolumeQuery([this](const QString& text) { m_queries->listVolumes(text); });
}

void FormSearch::CmdAdd_Click() {
    hide();
    m_state.windows().showMainWindow();
}

void FormSearch::SearchExit_Click() {
    if (m_queries->Busy) {
        m_queries->CancelFlag = true;
        return;
    }
    close(); // Form_Unload saves the settings and ends the program
}

int FormSearch::highlightedLine() const {
    const QModelIndexList highlighted = SearchList->selectionModel()->selectedRows();
    return highlighted.isEmpty() ? -1 : highlighted.constFirst().row();
}

void FormSearch::SearchList_Click() {
    const int line = highlightedLine();
    if (line < 0) return;
    m_state.CurrentPosition = m_model.index(line).data(ResultListModel::BookmarkRole).toString();
}

void FormSearch::SearchList_DblClick() {
    SearchList_Click();
    if (!m_state.CurrentPosition.isEmpty() && lineInCurrentCatalogue()) showDetails();
}

// The two ways from a chosen line; a click on a line chose it.
bool FormSearch::lineChosen() {
    if (!m_state.CurrentPosition.isEmpty() && highlightedLine() >= 0) return true;
    m_state.prompt().tell(QStringLiteral("Please select a catalogue entry first"));
    return false;
}

void FormSearch::CmdDetails_Click() {
    if (lineChosen() && lineInCurrentCatalogue()) showDetails();
}

// A line of another catalogue is shown from that catalogue, once the user
// has made it current.
bool FormSearch::lineInCurrentCatalogue() {
    const QString name =
        m_model.index(highlightedLine()).data(ResultListModel::CatalogueRole).toString();
    if (name.isEmpty()) return true;
    if (m_state.prompt().ask(QStringLiteral("This entry is in catalogue ") + name +
                                 QStringLiteral(". Make it the current catalogue?"),
                             Buttons::YesNo, Icon::Question) != Answer::Yes)
        return false;
    return makeCatalogueCurrent(m_state, name);
}

void FormSearch::CmdFilters_Click() {
    if (m_queries->Busy) return;
    FormFilters dialog(m_state, FilterChoice::saved(m_state.settings()), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const FilterChoice choice = dialog.choice();
    choice.save(m_state.settings());
    m_linesOfEveryCatalogue = choice.everyCatalogue;
    SearchExit->setText(QStringLiteral("Cancel"));
    {
        WaitCursor wait;
        runFilterSearch(m_state, *m_queries, m_model, *m_progress, choice,
                        QueryWidth::window(twips::fromPixelsX(frameGeometry().width(), this)));
        m_model.flush();
    }
    enableVolumeCommands();
    SearchExit->setText(QStringLiteral("Exit"));
}

void FormSearch::Tools_Duplicates_Click() {
    if (m_queries->Busy) return;
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("FormMinSize"));
    dialog.setWindowTitle(QStringLiteral("Orvik - Find Duplicates"));
    dialog.setLabelText(QStringLiteral("Leave out files smaller than (700K, 1.5G; empty: none):"));
    if (dialog.exec() != QDialog::Accepted) return;
    AnswerRequest request;
    try {
        if (const QString size = dialog.textValue().trimmed(); !size.isEmpty())
            request.minSize = parseByteSize(QStringLiteral("The size"), size);
    } catch (const std::invalid_argument& bad) {
        m_state.prompt().tell(QString::fromStdString(bad.what()), Icon::Exclamation);
        return;
    }
    showAnswer(request);
}

void FormSearch::Tools_Unique_Click() {
    if (m_queries->Busy || !lineChosen() || !lineInCurrentCatalogue()) return;
    AnswerRequest request;
    request.kind = AnswerKind::Unique;
    request.bookmark = m_state.CurrentPosition.toLongLong();
    showAnswer(request);
}

void FormSearch::Tools_Redundant_Click() {
    if (m_queries->Busy) return;
    AnswerRequest request;
    request.kind = AnswerKind::Redundant;
    showAnswer(request);
}

void FormSearch::showAnswer(AnswerRequest request) {
    request.everyCatalogue = Tools_EveryCatalogue->isChecked();
    AnswerLines answer;
    try {
        WaitCursor wait;
        answer = runAnswer(m_state, request,
                           QueryWidth::window(twips::fromPixelsX(frameGeometry().width(), this)));
    } catch (const Error& error) {
        m_state.prompt().reportError(error,
                                     QStringLiteral("Can't open table in catalogue database."));
        return;
    }
    if (!answer.volumeFound) {
        m_state.prompt().tell(QStringLiteral("Please select a catalogue entry first"));
        return;
    }
    // Lines of the current catalogue as a file match's; the others name theirs.
    m_model.clear();
    for (const AnswerLine& line : answer.lines) {
        m_model.setCatalogueOfLines(line.catalogue == m_state.CatalogueName ? QString()
                                                                            : line.catalogue);
        m_model.append(line.text, line.record);
    }
    m_model.setCatalogueOfLines({});
    m_model.flush();
    m_linesOfEveryCatalogue = request.everyCatalogue;
    m_queries->SearchPattern = answer.what;
    m_queries->EraseEnabled = false;
    enableVolumeCommands();
    TextMatch->setText(answer.status);
}

// The erase's two statuses are shown at once: the compaction that follows
// the second may take a while.
class ImmediateStatus : public Progress {
public:
    explicit ImmediateStatus(QLineEdit* box) : m_box(box) {}
    void status(const QString& text) override {
        m_box->setText(text);
        if (m_box->isVisible()) m_box->repaint();
    }
    void letEventsRun() override {}

private:
    QLineEdit* m_box;
};

void FormSearch::CmdDelCD_Click() {
    if (m_queries->Busy || !lineChosen()) return;
    ImmediateStatus status(TextMatch);
    int erased = 0;
    {
        WaitCursor wait;
        erased = eraseVolume(m_state, status, m_queries->SearchDatabase);
    }
    if (erased < 0) return;
    CmdListCD_Click();
    m_state.CurrentPosition.clear();
}

namespace {

// The question before an update writes: what it would change, the first
// differences with it.
QString updateQuestion(const QString& directory, const RunDifference& difference) {
    constexpr int ShownLines = 15;
    QString text =
        QStringLiteral("Update the CD from %1?\r\n\r\n").arg(directory) + difference.summary();
    const int lines = int(difference.files.size());
    for (int i = 0; i < std::min(lines, ShownLines); ++i)
        text += QStringLiteral("\r\n") + difference.files[size_t(i)].line();
    if (lines > ShownLines) text += QStringLiteral("\r\n... and %1 more").arg(lines - ShownLines);
    return text;
}

} // namespace

// What verify found, for its box: the summary and the first lines.
QString verifyReport(const QString& directory, const VolumeVerifyResult& result) {
    constexpr int ShownLines = 15;
    QString text =
        QStringLiteral("Verified the CD at %1:\r\n\r\n").arg(directory) + result.summary();
    const int lines = int(result.difference.files.size());
    for (int i = 0; i < std::min(lines, ShownLines); ++i)
        text += QStringLiteral("\r\n") + result.difference.files[size_t(i)].line();
    if (lines > ShownLines) text += QStringLiteral("\r\n... and %1 more").arg(lines - ShownLines);
    return text;
}

void FormSearch::enableVolumeCommands() {
    CmdDelCD->setEnabled(m_queries->EraseEnabled);
    CmdUpdCD->setEnabled(m_queries->EraseEnabled);
    Tools_Verify->setEnabled(m_queries->EraseEnabled);
}

void FormSearch::runCancellable(const std::function<void()>& work) {
    m_queries->Busy = true;
    m_queries->CancelFlag = false;
    SearchExit->setText(QStringLiteral("Cancel"));
    work();
    m_queries->Busy = false;
    m_queries->CancelFlag = false;
    SearchExit->setText(QStringLiteral("Exit"));
}

void FormSearch::CmdUpdCD_Click() {
    if (m_queries->Busy || !lineChosen()) return;
    const std::int64_t rowid = m_state.CurrentPosition.toLongLong();
    const QString directory = chooseMedium(rowid, QStringLiteral("Update the CD from"));
    if (directory.isEmpty()) return;

    Prompt& prompt = m_state.prompt();
    VolumeUpdateResult result;
    runCancellable([&] {
        try {
            result =
                updateVolume(m_state, *m_progress, prompt, m_queries->CancelFlag,
                             {rowid, directory, false}, [&](const RunDifference& difference) {
                                 return prompt.ask(updateQuestion(directory, difference),
                                                   Buttons::OkCancel, Icon::Question) == Answer::Ok;
                             });
        } catch (const Error& error) {
            prompt.reportError(error, QStringLiteral("Can't open catalogue database."));
            result.outcome = VolumeUpdateResult::Outcome::Failed;
        }
    });
    using Outcome = VolumeUpdateResult::Outcome;
    switch (result.outcome) {
    case Outcome::Updated:
        CmdListCD_Click();
        m_state.CurrentPosition.clear();
        TextMatch->setText(QStringLiteral("CD updated: ") + result.difference.summary());
        break;
    case Outcome::Refused:
        prompt.tell(result.problem, Icon::Exclamation);
        break;
    case Outcome::NoRecord:
    case Outcome::NoVolume:
        prompt.tell(QStringLiteral("Please select a catalogue entry first"));
        break;
    case Outcome::Declined:
        TextMatch->setText(QStringLiteral("Update cancelled - the CD is as it was."));
        break;
    case Outcome::Compared:
    case Outcome::Failed:
        break;
    }
}

void FormSearch::Tools_Verify_Click() {
    if (m_queries->Busy || !lineChosen()) return;
    const std::int64_t rowid = m_state.CurrentPosition.toLongLong();
    const QString directory = chooseMedium(rowid, QStringLiteral("Verify the CD at"));
    if (directory.isEmpty()) return;

    Prompt& prompt = m_state.prompt();
    VolumeVerifyResult result;
    runCancellable([&] {
        try {
            result = verifyVolume(m_state, *m_progress, m_queries->CancelFlag, {rowid, directory});
        } catch (const Error& error) {
            prompt.reportError(error, QStringLiteral("Can't open catalogue database."));
            result.outcome = VolumeVerifyResult::Outcome::Cancelled;
        }
    });
    using Outcome = VolumeVerifyResult::Outcome;
    switch (result.outcome) {
    case Outcome::Verified:
        TextMatch->setText(QStringLiteral("CD verified: ") + result.summary());
        prompt.tell(verifyReport(directory, result),
                    result.allMatch() ? Icon::Information : Icon::Exclamation);
        break;
    case Outcome::Refused:
        prompt.tell(result.problem, Icon::Exclamation);
        break;
    case Outcome::NoRecord:
    case Outcome::NoVolume:
        prompt.tell(QStringLiteral("Please select a catalogue entry first"));
        break;
    case Outcome::Cancelled:
        TextMatch->setText(QStringLiteral("Verify cancelled."));
        break;
    }
}

QString FormSearch::chooseMedium(std::int64_t rowid, const QString& title) {
    QString recorded;
    try {
        recorded =
            recordedTopDirectory(*m_state.workspace().OpenDatabase(m_state.catalogueFile()), rowid);
    } catch (const Error&) {
        // Asked without a default; the operation itself reports the catalogue's failure.
    }
    QFileDialog dialog(this, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    const QFileInfo top(recorded);
    if (!recorded.isEmpty() && top.isDir()) {
        dialog.setDirectory(top.absolutePath());
        dialog.selectFile(top.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void FormSearch::CmdViewDB_Click() {
    if (!lineChosen() || !lineInCurrentCatalogue()) return;
    FormViewDB raw(m_state, this);
    raw.exec();
}

void FormSearch::CmdBrowse_Click() {
    FormBrowse::showFor(m_state, *this, [this] { return m_queries->Busy; });
}

void FormSearch::showDetails() {
    m_state.windows().showDetails(m_state, m_model.linesOfItsCatalogue(highlightedLine()), this);
}

void FormSearch::OptDispPaths_Click() {
    OptDispPaths->trigger();
}

void FormSearch::AutoList_Click() {
    AutoList->trigger();
}

void FormSearch::Print_res_Click() {
    ResultPrinting(*m_printer, PrinterFont, m_state)
        .printResults(m_linesOfEveryCatalogue
                          ? everyCatalogueResultsHeading(m_queries->SearchPattern)
                          : resultsHeading(m_queries->SearchPattern, m_state.CatalogueName),
                      m_model.lines(), [this] { return choosePdfFile(); });
}

QString FormSearch::choosePdfFile() {
    QFileDialog dialog(this, QStringLiteral("Print to PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(m_pdfFile.isEmpty() ? QDir::home().filePath(QStringLiteral("Orvik.pdf"))
                                          : m_pdfFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    m_pdfFile = dialog.selectedFiles().constFirst();
    return m_pdfFile;
}

void FormSearch::Print_Font_Click() {
    bool chosen = false;
    const QFont font =
        QFontDialog::getFont(&chosen, PrinterFont, this, QStringLiteral("Font Settings"),
                             QFontDialog::ScalableFonts | QFontDialog::MonospacedFonts);
    if (!chosen) return;
    PrinterFont.setFamily(font.family());
    PrinterFont.setPointSizeF(font.pointSizeF());
    PrinterFont.setBold(font.bold());
    PrinterFont.setItalic(font.italic());
}

void FormSearch::Print_Landscape_Click() {
    Print_Landscape->setChecked(!Print_Landscape->isChecked());
    PrintOrientation = Print_Landscape->isChecked() ? 2 : 1;
    ResultPrinting(*m_printer, PrinterFont, m_state).setOrientation(PrintOrientation);
}

void FormSearch::Def_Font_Click() {
    ResultPrinting(*m_printer, PrinterFont, m_state).setDefaultFont();
}

void FormSearch::Help_Click() {
    HelpWindow::showFor<FormHelpSearch>(m_state, *this);
}

void FormSearch::About_Click() {
    m_state.prompt().tell(AboutMessage);
}

void FormSearch::DBFile_Click() {
    if (m_queries->Busy) return; // the running file match reads the catalogue
    closeCatalogue(m_state);
    FormSelDB selection(m_state, this);
    selection.exec();
}

bool FormSearch::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
        m_activation.shown();
        break;
    case QEvent::WindowActivate:
        if (m_activation.activated()) Form_Activate();
        break;
    case QEvent::WindowDeactivate:
        if (m_activation.deactivated()) Form_Deactivate();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

// Enter reaches the window when the control with the focus leaves it: it
// presses a focused button, else the default button CmdSearchFile.
void FormSearch::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QMainWindow::keyPressEvent(event);
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    (focused ? focused : CmdSearchFile)->click();
}

void FormSearch::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// The rule works on the inner area as it is laid out, which settles after the
// window's own resize (the menu bar takes its height only then); laying out on
// the window's size would leave the status row hanging below the edge.
bool FormSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_inner && event->type() == QEvent::Resize) Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

} // namespace orvik
