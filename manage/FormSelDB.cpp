#include "manage/FormSelDB.h"

#include "core/AppState.h"
#include "core/Progress.h"
#include "core/ui/TabOrder.h"
#include "core/ui/Twips.h"
#include "exchange/WindowExchange.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvik {

FormSelDB::FormSelDB(AppState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_selection(state) {
    setObjectName(QStringLiteral("FormSelDB"));
    setWindowTitle(QStringLiteral("Orvik - Select catalogue"));
    setModal(true);
    createControls();
    Form_Load();
}

FormSelDB::~FormSelDB() = default;

void FormSelDB::createControls() {
    auto button = [this](const char* name, const QString& caption, const QString& tip) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };

    FileDB = new QListWidget(this);
    FileDB->setObjectName(QStringLiteral("FileDB"));
    FileDB->setToolTip(QStringLiteral("List of all catalogues (databases)"));
    TextNewDB = new QLineEdit(this);
    TextNewDB->setObjectName(QStringLiteral("TextNewDB"));
    TextNewDB->setToolTip(QStringLiteral("Enter name for new catalogue here"));
    CmdAddDBName = button("CmdAddDBName", QStringLiteral("&Set as Catalogue"),
                          QStringLiteral("Sets New Catalogue name as current catalogue"));
    CmdDone = button(
        "CmdDone", QStringLiteral("&Done"),
        QStringLiteral("Exits this window and sets new catalogue as current catalogue if entered"));
    CmdDelDB = button("CmdDelDB", QStringLiteral("De&lete Catalogue"),
                      QStringLiteral("Permanently remove catalogue highlighted in catalogue list"));
    CmdExport =
        button("CmdExport", QStringLiteral("E&xport…"),
               QStringLiteral("Writes the catalogue highlighted in catalogue list to a CSV, "
                              "JSON, HTML or EFU file"));
    CmdImport = button("CmdImport", QStringLiteral("&Import…"),
                       QStringLiteral("Adds the volumes of a CSV, JSON or EFU file to the "
                                      "catalogue highlighted in catalogue list"));
    LabelCurrent = label("LabelCurrent", QStringLiteral("Current Catalogue"));
    LabelCurrentDB = label("LabelCurrentDB", QString());
    LabelCurrentDB->setToolTip(QStringLiteral("Displays catalogue file currently in use"));
    LabelCurrentDB->setFrameShape(QFrame::Panel);
    LabelCurrentDB->setFrameShadow(QFrame::Sunken);
    Labelnw = label("Labelnw", QStringLiteral("New Catalogue"));
    // Shown only while an export or import runs.
    LabelExchange = label("LabelExchange", QString());
    ProgressExchange = new QProgressBar(this);
    ProgressExchange->setObjectName(QStringLiteral("ProgressExchange"));
    ProgressExchange->setRange(0, 0); // how much is left is not known beforehand
    ProgressExchange->setTextVisible(false);
    LabelExchange->hide();
    ProgressExchange->hide();

    auto* side = new QVBoxLayout;
    side->addWidget(LabelCurrent);
    side->addWidget(LabelCurrentDB);
    side->addSpacing(12);
    side->addWidget(Labelnw);
    side->addWidget(TextNewDB);
    side->addWidget(CmdAddDBName);
    side->addStretch();
    side->addWidget(CmdExport);
    side->addWidget(CmdImport);
    side->addSpacing(12);
    side->addWidget(CmdDelDB);
    side->addWidget(CmdDone);
    // as they are seen
    orderTabs({FileDB, TextNewDB, CmdAddDBName, CmdExport, CmdImport, CmdDelDB, CmdDone});
    auto* grid = new QGridLayout(this);
    grid->addWidget(FileDB, 0, 0);
    grid->addLayout(side, 0, 1);
    grid->addWidget(LabelExchange, 1, 0, 1, 2);
    grid->addWidget(ProgressExchange, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);

    connect(TextNewDB, &QLineEdit::textChanged, this, &FormSelDB::TextNewDB_Change);
    // A catalogue is picked by mouse or keyboard, which select it; the list
    // taking the focus only makes its first entry current, and picks nothing.
    // The click that precedes a double click has picked it already.
    connect(FileDB, &QListWidget::itemClicked, this, &FormSelDB::FileDB_Click);
    connect(FileDB, &QListWidget::itemSelectionChanged, this, &FormSelDB::FileDB_Click);
    connect(FileDB, &QListWidget::itemDoubleClicked, this, &FormSelDB::FileDB_DblClick);
    connect(CmdAddDBName, &QPushButton::clicked, this, &FormSelDB::CmdAddDBName_Click);
    connect(CmdDone, &QPushButton::clicked, this, &FormSelDB::CmdDone_Click);
    connect(CmdDelDB, &QPushButton::clicked, this, &FormSelDB::CmdDelDB_Click);
    connect(CmdExport, &QPushButton::clicked, this, &FormSelDB::CmdExport_Click);
    connect(CmdImport, &QPushButton::clicked, this, &FormSelDB::CmdImport_Click);
}

void FormSelDB::fillFileList() {
    const QSignalBlocker quiet(FileDB); // re-reading the list picks nothing
    FileDB->clear();
    FileDB->addItems(m_selection.files());
}

void FormSelDB::Form_Load() {
    move(twips::toPixelsX(m_state.CentreLeft, this), twips::toPixelsY(m_state.CentreTop, this));
    fillFileList();
    LabelCurrentDB->setText(m_state.CatalogueName);
    m_selection.NewName.clear();
}

void FormSelDB::TextNewDB_Change() {
    m_selection.typed(TextNewDB->text());
}

void FormSelDB::FileDB_Click() {
    const QListWidgetItem* item = FileDB->currentItem();
    if (!item || !item->isSelected()) return;
    TextNewDB->setText(CatalogueSelection::nameOfFile(item->text())); // runs TextNewDB_Change
}

void FormSelDB::FileDB_DblClick() {
    if (m_selection.chooseListed()) accept();
}

void FormSelDB::CmdAddDBName_Click() {
    if (!m_selection.setAsCatalogue()) return;
    LabelCurrentDB->setText(m_state.CatalogueName);
    TextNewDB->clear();
}

void FormSelDB::CmdDone_Click() {
    if (m_busy) {
        m_cancelFlag = true;
        return;
    }
    if (!m_selection.done()) return;
    LabelCurrentDB->setText(m_state.CatalogueName);
    TextNewDB->clear();
    accept();
}

void FormSelDB::CmdDelDB_Click() {
    if (!m_selection.confirmDeletion()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool deleted = m_selection.deleteConfirmed();
    TextNewDB->clear();
    if (deleted) {
        fillFileList();
        repaint();
    }
    QApplication::restoreOverrideCursor();
}

QString FormSelDB::highlightedCatalogue() {
    const QListWidgetItem* item = FileDB->currentItem();
    if (item && item->isSelected()) return CatalogueSelection::nameOfFile(item->text());
    m_state.prompt().tell(QStringLiteral("Please highlight a catalogue in the catalogue list"),
                          Icon::Exclamation);
    return {};
}

namespace {

// The running export's or import's counts, below the list.
class ExchangeProgress : public Progress {
public:
    explicit ExchangeProgress(QLabel& label) : m_label(label) {}
    void status(const QString& text) override { m_label.setText(text); }
    void letEventsRun() override { QApplication::processEvents(); }

private:
    QLabel& m_label;
};

} // namespace

void FormSelDB::runBusy(const std::function<void(Progress&)>& work) {
    m_busy = true;
    m_cancelFlag = false;
    const QSize idle = size();
    for (QPushButton* button : {CmdAddDBName, CmdExport, CmdImport, CmdDelDB})
        button->setEnabled(false);
    FileDB->setEnabled(false);
    CmdDone->setText(QStringLiteral("Cancel"));
    LabelExchange->clear();
    LabelExchange->show();
    ProgressExchange->show();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ExchangeProgress progress(*LabelExchange);
    work(progress);
    QApplication::restoreOverrideCursor();
    LabelExchange->hide();
    ProgressExchange->hide();
    layout()->activate();
    resize(idle); // as it was before the progress showed
    CmdDone->setText(QStringLiteral("&Done"));
    FileDB->setEnabled(true);
    for (QPushButton* button : {CmdAddDBName, CmdExport, CmdImport, CmdDelDB})
        button->setEnabled(true);
    m_busy = false;
}

void FormSelDB::CmdExport_Click() {
    const QString name = highlightedCatalogue();
    if (name.isEmpty()) return;
    QFileDialog dialog(this, QStringLiteral("Export catalogue ") + name);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("CSV (*.csv)"), QStringLiteral("JSON (*.json)"),
                           QStringLiteral("Web page (*.html)"),
                           QStringLiteral("Everything file list (*.efu)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(QDir::home().filePath(name + QStringLiteral(".csv")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().constFirst();
    runBusy([&](Progress& progress) {
        exportCatalogueFile(m_state, name, file, progress, m_state.prompt(), m_cancelFlag);
    });
}

void FormSelDB::CmdImport_Click() {
    const QString name = highlightedCatalogue();
    if (name.isEmpty()) return;
    QFileDialog dialog(this, QStringLiteral("Import into catalogue ") + name);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Catalogue files (*.csv *.json *.efu)"), QStringLiteral("All files (*)")});
    dialog.setDirectory(QDir::home());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().constFirst();
    runBusy([&](Progress& progress) {
        importIntoCatalogue(m_state, name, file, progress, m_state.prompt(), m_cancelFlag);
    });
}

void FormSelDB::Form_Unload() {
    // The lines of the search list named records of the recordset the File menu closed.
    m_state.windows().clearSearchResults();
    m_selection.reopen();
}

void FormSelDB::done(int result) {
    // Closing while an export or import runs cancels it; the window stays for its message.
    if (m_busy) {
        m_cancelFlag = true;
        return;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    QDialog::done(result);
}

} // namespace orvik
