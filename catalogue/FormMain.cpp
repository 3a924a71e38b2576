#include "catalogue/FormMain.h"

#include "catalogue/DirectoryList.h"
#include "catalogue/FileList.h"
#include "catalogue/VolumeRecognition.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "core/engine/CatalogueTable.h"
#include "core/platform/LaunchMessage.h"
#include "core/ui/MenuShortcuts.h"
#include "core/ui/TabOrder.h"
#include "core/ui/Twips.h"
#include "core/ui/WindowGeometry.h"
#include "help/FormHelp.h"
#include "manage/FormSelDB.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace orvik {

namespace {

constexpr double LayoutScreenWidth = 9000;

template <typename T> T* named(T* widget, const char* name, const QString& toolTip = {}) {
    widget->setObjectName(QString::fromLatin1(name));
    if (!toolTip.isEmpty()) widget->setToolTip(toolTip);
    return widget;
}

QAction* checkItem(QMenu* menu, const char* name, const QString& caption, const char* shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

Error deviceUnavailable(const QString& drive) {
    return Error(68, QStringLiteral("Device unavailable: ") + drive);
}

} // namespace

FormMain::FormMain(AppState& state, QWidget* parent) : QMainWindow(parent), m_state(state) {
    setObjectName(QStringLiteral("FormMain"));
    createControls();
    createMenus();
    giveMenuShortcutsPriority(*this);
    // The design size until stored geometry says otherwise.
    resize(minimumSizeHint());
    m_progress = std::make_unique<LabelProgress>(Label1);
    m_add = std::make_unique<VolumeAdd>(state, *m_progress, state.prompt(), Busy, CancelFlag,
                                        static_cast<AddControls*>(this));
    Form_Load();
}

FormMain::~FormMain() = default;

void FormMain::createControls() {
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("MainArea"));
    setCentralWidget(area);
    area->installEventFilter(this);
    // The layout rule holds from the design size up; below it controls would
    // be left outside the window.
    area->setMinimumSize(twips::sizeHolding(DesignWidth, DesignHeight, this));

    Drive1 = named(new QComboBox(area), "Drive1", QStringLiteral("Select drive to be catalogued"));
    Dir1 = named(new DirectoryList(m_state.fileSystem(), m_state.drives(), area), "Dir1");
    File1 = named(new FileList(m_state.fileSystem(), area), "File1",
                  QStringLiteral("List of all files in current selected directory"));
    TxtVol = named(new QLineEdit(QStringLiteral("none"), area), "TxtVol",
                   QStringLiteral("Volume name of selected drive"));
    Labelvol = named(new QLabel(QStringLiteral("Vol:"), area), "Labelvol");
    Extension_TxtBox =
        named(new QLineEdit(QStringLiteral(".exe.com.bat.dll.vbp.doc.pdf.xls.txt"), area),
              "Extension_TxtBox",
              QStringLiteral("List file extensions to be recorded in database here (disabled in "
                             "Options menu) Separate extensions with a dot."));
    Filter = named(new QLabel(QStringLiteral("Ext. Filter:"), area), "Filter");
    TextDesc = named(new QLineEdit(area), "TextDesc",
                     QStringLiteral("Describe the CD/media here so that you can easily find it "
                                    "again (e.g. PCW Dec 1998, Green/White striped)"));
    Label2 = named(new QLabel(QStringLiteral("Description:"), area), "Label2");
    TextKeyword = named(new QLineEdit(area), "TextKeyword",
                        QStringLiteral("List main contents here (e.g. Quake II, Tomb Raider)"));
    Labelkeyw = named(new QLabel(QStringLiteral("Key Word List:"), area), "Labelkeyw");
    Label1 = named(new QLabel(area), "Label1",
                   QStringLiteral("Informs you of current status including number of files "
                                  "matching specified filter (if any)"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFrameShape(QFrame::Panel);
    Label1->setFrameShadow(QFrame::Sunken);
    Label3 = named(new QLabel(QStringLiteral("Status:"), area), "Label3");
    LblCatalogued = named(new QLabel(area), "LblCatalogued");
    Add1 = named(new QPushButton(QStringLiteral("Add files to &Catalogue"), area), "Add1",
                 QStringLiteral("Adds all  files in selected directory and below that match the "
                                "filter (if enabled) into the current catalogue"));
    CmdFind = named(new QPushButton(QStringLiteral("&Query Catalogue"), area), "CmdFind",
                    QStringLiteral("Lists all media in current catalogue and allows you to search "
                                   "for any file, etc."));
    CmdExec = named(new QPushButton(QStringLiteral("&Launch File"), area), "CmdExec",
                    QStringLiteral("Launch\\run file selected in file window"));
    MyRefresh = named(new QPushButton(QStringLiteral("&Refresh Drive"), area), "MyRefresh",
                      QStringLiteral("Updates the display to show current contents"));
    CmdExit = named(new QPushButton(QStringLiteral("E&xit"), area), "CmdExit",
                    QStringLiteral("Quits Orvik"));

    for (const QString& mount : m_state.drives().mountPoints())
        Drive1->addItem(mount);
    Drive1->setCurrentIndex(std::max(0, int(Drive1->findText(SystemDrive))));
    for (QLineEdit* box : {Extension_TxtBox, TextDesc, TextKeyword})
        box->installEventFilter(this);
    // No longer than the catalogue's fields hold, or every write of the run would fail.
    TextDesc->setMaxLength(engine::TextMaxChars);
    TextKeyword->setMaxLength(engine::TextMaxChars);

    connect(Drive1, &QComboBox::currentIndexChanged, this, &FormMain::Drive1_Change);
    connect(Dir1, &DirectoryList::changed, this, &FormMain::Dir1_Change);
    connect(Dir1, &DirectoryList::clicked, this, &FormMain::Dir1_Click);
    connect(Dir1, &DirectoryList::opening, this, [this](const QString& path) {
        try {
            Dir1->setPath(path);
        } catch (const Error& error) {
            m_state.prompt().tell(error.message(), Icon::Exclamation);
        }
    });
    connect(CmdExec, &QPushButton::clicked, this, &FormMain::CmdExec_Click);
    connect(Add1, &QPushButton::clicked, this, &FormMain::Add1_Click);
    connect(CmdExit, &QPushButton::clicked, this, &FormMain::CmdExit_Click);
    connect(CmdFind, &QPushButton::clicked, this, &FormMain::CmdFind_Click);
    connect(MyRefresh, &QPushButton::clicked, this, &FormMain::MyRefresh_Click);
    placeControls();
    // As they are seen: row by row from the top, each row from the left.
    orderTabs({Drive1, MyRefresh, TxtVol, Extension_TxtBox, File1, Dir1, TextDesc, TextKeyword,
               Add1, CmdFind, CmdExec, CmdExit});
}

void FormMain::createMenus() {
    DBFile = menuBar()->addAction(QStringLiteral("&File"));
    DBFile->setObjectName(QStringLiteral("DBFile"));
    connect(DBFile, &QAction::triggered, this, &FormMain::DBFile_Click);
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Opt"));
    UseFilter = checkItem(options, "UseFilter", QStringLiteral("Use &Extension filter"), "Ctrl+E");
    OptLen = checkItem(options, "OptLen", QStringLiteral("Save file &Sizes"), "Ctrl+S");
    OptDates = checkItem(options, "OptDates", QStringLiteral("Save file &Dates"), "Ctrl+D");
    OptArchives = checkItem(options, "OptArchives", QStringLiteral("Look inside &archives"), "");
    OptArchives->setChecked(false);
    OptChecksums = checkItem(options, "OptChecksums", QStringLiteral("Compute &checksums"), "");
    OptChecksums->setChecked(false);
    options->addSeparator()->setObjectName(QStringLiteral("sep1"));
    SetDrive = options->addAction(QStringLiteral("Set &Current CD as default"));
    SetDrive->setObjectName(QStringLiteral("SetDrive"));
    SetDrive->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    QAction* hlp = menuBar()->addAction(QStringLiteral("&Help"));
    hlp->setObjectName(QStringLiteral("hlp"));
    About = menuBar()->addAction(QStringLiteral("&About"));
    About->setObjectName(QStringLiteral("About"));

    // A checkable item has already inverted its mark when it reports the
    // click; undo that so the handler inverts it as a direct call does.
    for (auto [item, handler] : {std::pair{UseFilter, &FormMain::UseFilter_Click},
                                 std::pair{OptLen, &FormMain::OptLen_Click},
                                 std::pair{OptDates, &FormMain::OptDates_Click},
                                 std::pair{OptArchives, &FormMain::OptArchives_Click},
                                 std::pair{OptChecksums, &FormMain::OptChecksums_Click}})
        connect(item, &QAction::triggered, this, [this, item, handler] {
            item->setChecked(!item->isChecked());
            (this->*handler)();
        });
    connect(SetDrive, &QAction::triggered, this, &FormMain::SetDrive_Click);
    connect(hlp, &QAction::triggered, this, &FormMain::hlp_Click);
    connect(About, &QAction::triggered, this, &FormMain::About_Click);
}

void FormMain::placeControls() {
    const std::pair<QWidget*, const TwipsRect&> places[] = {
        {Drive1, m_layout.Drive1},
        {MyRefresh, m_layout.MyRefresh},
        {Labelvol, m_layout.Labelvol},
        {TxtVol, m_layout.TxtVol},
        {Filter, m_layout.Filter},
        {Extension_TxtBox, m_layout.Extension_TxtBox},
        {Dir1, m_layout.Dir1},
        {File1, m_layout.File1},
        {Label2, m_layout.Label2},
        {TextDesc, m_layout.TextDesc},
        {Labelkeyw, m_layout.Labelkeyw},
        {TextKeyword, m_layout.TextKeyword},
        {Label3, m_layout.Label3},
        {Label1, m_layout.Label1},
        {LblCatalogued, m_layout.LblCatalogued},
        {Add1, m_layout.Add1},
        {CmdFind, m_layout.CmdFind},
        {CmdExec, m_layout.CmdExec},
        {CmdExit, m_layout.CmdExit}};
    for (const auto& [widget, r] : places)
        widget->setGeometry(twips::toPixelsX(r.left, this), twips::toPixelsY(r.top, this),
                            twips::toPixelsX(r.width, this), twips::toPixelsY(r.height, this));
    fitCatalogued();
}

void FormMain::Form_Load() {
    // Each key defaults to the current value; the first stored value that is no
    // number, an empty one included, ends the restore.
    Settings& settings = m_state.settings();
    WindowPlace stored = windowPlace(*this);
    const std::pair<const char*, double*> geometry[] = {{"MainHeight", &stored.height},
                                                        {"MainWidth", &stored.width},
                                                        {"MainTop", &stored.top},
                                                        {"MainLeft", &stored.left}};
    for (const auto& [key, value] : geometry) {
        const QString name = QString::fromLatin1(key);
        if (!settings.contains(name)) continue;
        bool ok = false;
        const double number = settings.get(name, QString()).toDouble(&ok);
        if (!ok) break;
        *value = number;
    }
    restoreWindowGeometry(*this, stored);

    Extension_TxtBox->setEnabled(UseFilter->isChecked());
    CancelFlag = false;
    Busy = false;
    if (twips::screenWidth(this) > LayoutScreenWidth) Form_Resize();
    m_state.Options.SaveDates =
        settings.getBool(QStringLiteral("SaveDates"), OptDates->isChecked());
    OptDates->setChecked(m_state.Options.SaveDates);
    m_state.Options.SaveLengths =
        settings.getBool(QStringLiteral("SaveLengths"), OptLen->isChecked());
    OptLen->setChecked(m_state.Options.SaveLengths);
    m_state.Options.LookInArchives =
        settings.getBool(QStringLiteral("LookInArchives"), OptArchives->isChecked());
    OptArchives->setChecked(m_state.Options.LookInArchives);
    m_state.Options.SaveChecksums =
        settings.getBool(QStringLiteral("SaveChecksums"), OptChecksums->isChecked());
    OptChecksums->setChecked(m_state.Options.SaveChecksums);
    m_state.Options.UseFilter =
        settings.get(QStringLiteral("UseFilter"), Settings::boolText(UseFilter->isChecked()));
    UseFilter->setChecked(Settings::parseBool(m_state.Options.UseFilter) == true);

    try {
        Dir1->setPath(currentDrive());
    } catch (const Error& error) {
        askDefaultDrive(error);
    }
    m_loaded = true;
}

void FormMain::Form_Activate() {
    Extension_TxtBox->setText(m_state.Options.ExtensionString);
    OptDates->setChecked(m_state.Options.SaveDates);
    OptLen->setChecked(m_state.Options.SaveLengths);
    OptArchives->setChecked(m_state.Options.LookInArchives);
    OptChecksums->setChecked(m_state.Options.SaveChecksums);
    UseFilter->setChecked(Settings::parseBool(m_state.Options.UseFilter) == true);
    Extension_TxtBox->setEnabled(UseFilter->isChecked());
    if (twips::screenWidth(this) > LayoutScreenWidth) Form_Resize();
    setWindowTitle(QStringLiteral("Orvik - Add to catalogue     Catalogue=") +
                   m_state.CatalogueName);
    for (;;) {
        try {
            selectDrive(m_state.Options.DefaultDrive);
            break;
        } catch (const Error& error) {
            if (!askDefaultDrive(error)) break;
        }
    }
    // The catalogue may have changed meanwhile.
    showCatalogued();
}

// Drive prompt B. Cancel falls back to the system drive.
bool FormMain::askDefaultDrive(const Error& error) {
    const Answer answer = m_state.prompt().ask(
        QStringLiteral("Can't access files on drive ") + m_state.Options.DefaultDrive +
            QStringLiteral(" - check CD - Cancel will default to C:?    (") + error.message() +
            QStringLiteral(")"),
        Buttons::RetryCancel, Icon::Exclamation);
    if (answer == Answer::Retry) return true;
    fallBackToSystemDrive();
    return false;
}

void FormMain::Form_Deactivate() {
    writeGeometry();
}

void FormMain::writeGeometry() {
    saveWindowGeometry(m_state.settings(), QStringLiteral("Main"), *this);
}

void FormMain::Form_Unload() {
    writeGeometry();
    // A run still going must not commit after its window is gone.
    if (Busy) CancelFlag = true;
    m_state.windows().closeSearchWindow();
    m_state.windows().endProgram();
}

void FormMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void FormMain::Form_Resize() {
    const QWidget* area = centralWidget();
    MainLayout layout = m_layout;
    if (!layOut(layout, twips::fromPixelsX(area->width(), this),
                twips::fromPixelsY(area->height(), this)))
        return;
    m_layout = layout;
    placeControls();
}

void FormMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !m_loaded) return;
    if (isActiveWindow()) {
        if (m_activation.activated()) Form_Activate();
    } else if (m_activation.deactivated()) {
        Form_Deactivate();
    }
}

void FormMain::showEvent(QShowEvent* event) {
    m_activation.shown();
    QMainWindow::showEvent(event);
}

bool FormMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == centralWidget())
        Form_Resize();
    else if (event->type() == QEvent::FocusOut) {
        if (watched == Extension_TxtBox)
            Extension_TxtBox_LostFocus();
        else if (watched == TextDesc)
            TextDesc_LostFocus();
        else if (watched == TextKeyword)
            TextKeyword_LostFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

QString FormMain::currentDrive() const {
    const QString drive = Drive1->currentText();
    return drive.isEmpty() ? SystemDrive : drive;
}

// Throws when `drive` is not mounted; choosing another drive runs Drive1_Change.
void FormMain::selectDrive(const QString& drive) {
    const int index = Drive1->findText(drive, Qt::MatchFixedString);
    if (index < 0) throw deviceUnavailable(drive);
    Drive1->setCurrentIndex(index);
}

// Setting the drive list runs its change steps (Drive1_Change), as choosing
// a drive does, so the volume label follows the drive.
void FormMain::fallBackToSystemDrive() {
    Drive1->setCurrentIndex(Drive1->findText(SystemDrive));
    try {
        Dir1->setPath(SystemDrive);
    } catch (const Error&) {
        // Nothing is left to fall back to; the lists stay as they were.
    }
}

void FormMain::Drive1_Change() {
    try {
        Dir1->setPath(currentDrive());
        CurVolume = m_state.drives().volumeLabel(Dir1->path());
        if (CurVolume.isEmpty()) CurVolume = NoVolumeLabel;
        TxtVol->setText(CurVolume);
    } catch (const Error&) {
        m_state.prompt().tell(QStringLiteral("Can't access drive!"), Icon::Exclamation);
        fallBackToSystemDrive();
    }
}

void FormMain::Dir1_Change() {
    showFilesOf(Dir1->path());
    showCatalogued();
}

// The latest add of the directory, when it was added more than once.
void FormMain::showCatalogued() {
    const std::vector<CataloguedVolume> volumes =
        recogniseInCurrentCatalogue(m_state, Dir1->path());
    m_catalogued = volumes.empty() ? QString() : cataloguedText(volumes.back());
    fitCatalogued();
}

void FormMain::fitCatalogued() {
    LblCatalogued->setText(LblCatalogued->fontMetrics().elidedText(m_catalogued, Qt::ElideRight,
                                                                   LblCatalogued->width()));
    LblCatalogued->setToolTip(m_catalogued);
}

// The status still names the open directory: that is what the add catalogues.
void FormMain::Dir1_Click() {
    showFilesOf(Dir1->highlightedPath());
}

void FormMain::showFilesOf(const QString& directory) {
    for (;;) {
        bool failed = false;
        try {
            File1->setPath(directory);
        } catch (const Error& error) {
            // Drive prompt A: Retry goes on and then runs the whole pass again.
            if (m_state.prompt().ask(QStringLiteral("Can't access drive - check CD.") +
                                         error.message(),
                                     Buttons::RetryCancel, Icon::Exclamation) != Answer::Retry) {
                fallBackToSystemDrive();
                close(); // Form_Unload ends the program
                return;
            }
            failed = true;
        }
        m_progress->status(
            QStringLiteral("Click 'Add files to Catalogue' to catalogue the files under \r\n") +
            Dir1->path());
        Label1->repaint();
        if (!failed) return;
    }
}

void FormMain::CmdExec_Click() {
    QString directory = Dir1->highlightedPath();
    if (!directory.endsWith('/')) directory += '/';
    const int result = m_state.shell().open(directory + File1->currentFile(), directory);
    const QString message = launchMessage(result);
    if (!message.isEmpty()) m_state.prompt().tell(message, Icon::None);
}

void FormMain::Add1_Click() {
    // The button is usable again while the records are written; a second run
    // started inside the first would tear its transaction apart.
    if (Busy) return;
    m_add->CurDescription = TextDesc->text();
    if (!m_add->checkDescription(m_add->CurDescription)) {
        TextDesc->setFocus();
        return;
    }
    if (!CheckDrive()) return;
    const VolumeAdd::Result result = m_add->run(Dir1->path(), TextKeyword->text());
    if (m_add->CatalogueChanged) m_state.CatalogueChanged = true;
    switch (result) {
    case VolumeAdd::Result::Finished:
        TextDesc->clear();
        TextKeyword->clear();
        showCatalogued();
        break;
    case VolumeAdd::Result::ProgramEnds:
        close(); // Form_Unload ends the program
        break;
    case VolumeAdd::Result::Cancelled:
    case VolumeAdd::Result::Failed:
        break;
    }
}

void FormMain::setBusyPointer(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void FormMain::setExitCaption(const QString& caption) {
    CmdExit->setText(caption);
}

void FormMain::enableButtons(bool enabled) {
    for (QPushButton* button : {Add1, CmdExec, CmdFind})
        button->setEnabled(enabled);
}

void FormMain::CmdExit_Click() {
    if (Busy) {
        CancelFlag = true;
        return;
    }
    close(); // Form_Unload writes the geometry and ends the program
}

void FormMain::CmdFind_Click() {
    hide();
    m_state.windows().showSearchWindow();
}

void FormMain::MyRefresh_Click() {
    CheckDrive();
}

void FormMain::UseFilter_Click() {
    UseFilter->setChecked(!UseFilter->isChecked());
    m_state.Options.UseFilter = Settings::boolText(UseFilter->isChecked());
    m_state.settings().save(QStringLiteral("UseFilter"), m_state.Options.UseFilter);
    Extension_TxtBox->setEnabled(UseFilter->isChecked());
}

void FormMain::OptDates_Click() {
    OptDates->setChecked(!OptDates->isChecked());
    m_state.Options.SaveDates = OptDates->isChecked();
    m_state.settings().saveBool(QStringLiteral("SaveDates"), m_state.Options.SaveDates);
}

void FormMain::OptLen_Click() {
    OptLen->setChecked(!OptLen->isChecked());
    m_state.Options.SaveLengths = OptLen->isChecked();
    m_state.settings().saveBool(QStringLiteral("SaveLengths"), m_state.Options.SaveLengths);
}

void FormMain::OptArchives_Click() {
    OptArchives->setChecked(!OptArchives->isChecked());
    m_state.Options.LookInArchives = OptArchives->isChecked();
    m_state.settings().saveBool(QStringLiteral("LookInArchives"), m_state.Options.LookInArchives);
}

void FormMain::OptChecksums_Click() {
    OptChecksums->setChecked(!OptChecksums->isChecked());
    m_state.Options.SaveChecksums = OptChecksums->isChecked();
    m_state.settings().saveBool(QStringLiteral("SaveChecksums"), m_state.Options.SaveChecksums);
}

void FormMain::SetDrive_Click() {
    m_state.Options.DefaultDrive = currentDrive().toUpper();
    m_state.settings().save(QStringLiteral("DefaultDrive"), m_state.Options.DefaultDrive);
}

void FormMain::Extension_TxtBox_LostFocus() {
    m_state.Options.ExtensionString = Extension_TxtBox->text();
    if (m_state.Options.ExtensionString.isEmpty())
        m_state.Options.ExtensionString = m_state.Options.DefaultExtensions;
    m_state.settings().save(QStringLiteral("ExtensionString"), m_state.Options.ExtensionString);
    Extension_TxtBox->setText(m_state.Options.ExtensionString);
    Extension_TxtBox->setEnabled(UseFilter->isChecked());
}

void FormMain::TextDesc_LostFocus() {
    m_add->CurDescription = TextDesc->text();
}

void FormMain::focusDescription() {
    TextDesc->setFocus();
}

void FormMain::TextKeyword_LostFocus() {
    m_add->CurKeywords = TextKeyword->text();
}

void FormMain::hlp_Click() {
    HelpWindow::showFor<FormHelp>(m_state, *this);
}

void FormMain::About_Click() {
    m_state.prompt().tell(AboutMessage);
}

void FormMain::DBFile_Click() {
    if (Busy) return; // closing the catalogue would tear the running add's writes apart
    closeCatalogue(m_state);
    FormSelDB selection(m_state, this);
    selection.exec();
}

void FormMain::refreshDrives() {
    const QString drive = currentDrive();
    const QSignalBlocker quiet(Drive1);
    Drive1->clear();
    for (const QString& mount : m_state.drives().mountPoints())
        Drive1->addItem(mount);
    int index = Drive1->findText(drive);
    if (index < 0) index = Drive1->findText(SystemDrive);
    Drive1->setCurrentIndex(index);
}

bool FormMain::CheckDrive() {
    bool result = true;
    const QString drive = currentDrive();
    const QString path = Dir1->path();
    // A failing step makes the answer false; the next step still runs.
    auto attempt = [&result](auto step) {
        try {
            step();
        } catch (const Error&) {
            result = false;
        }
    };
    for (;;) {
        refreshDrives();
        attempt([this] { Dir1->refresh(); });
        attempt([this] { File1->refresh(); });
        if (currentDrive() == drive) break;
        if (m_state.prompt().ask(
                QStringLiteral("Drive error - please check drive is ready and try again"),
                Buttons::RetryCancel, Icon::Exclamation) != Answer::Retry) {
            result = false;
            m_state.prompt().tell(QStringLiteral("WARNING: - DEFAULT DRIVE NOW CHANGED!"),
                                  Icon::Exclamation);
            break;
        }
        attempt([&] { selectDrive(drive); });
        attempt([&] { Dir1->setPath(path); });
        if (currentDrive() == drive) {
            result = true;
            break;
        }
    }
    return result;
}

} // namespace orvik
