#include "manage/FormSelDB.h"

#include "core/AppState.h"
#include "core/ui/TabOrder.h"
#include "core/ui/Twips.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
    LabelCurrent = label("LabelCurrent", QStringLiteral("Current Catalogue"));
    LabelCurrentDB = label("LabelCurrentDB", QString());
    LabelCurrentDB->setToolTip(QStringLiteral("Displays catalogue file currently in use"));
    LabelCurrentDB->setFrameShape(QFrame::Panel);
    LabelCurrentDB->setFrameShadow(QFrame::Sunken);
    Labelnw = label("Labelnw", QStringLiteral("New Catalogue"));

    auto* side = new QVBoxLayout;
    side->addWidget(LabelCurrent);
    side->addWidget(LabelCurrentDB);
    side->addSpacing(12);
    side->addWidget(Labelnw);
    side->addWidget(TextNewDB);
    side->addWidget(CmdAddDBName);
    side->addStretch();
    side->addWidget(CmdDelDB);
    side->addWidget(CmdDone);
    orderTabs({FileDB, TextNewDB, CmdAddDBName, CmdDelDB, CmdDone}); // as they are seen
    auto* grid = new QGridLayout(this);
    grid->addWidget(FileDB, 0, 0);
    grid->addLayout(side, 0, 1);
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

void FormSelDB::Form_Unload() {
    // The lines of the search list named records of the recordset the File menu closed.
    m_state.windows().clearSearchResults();
    m_selection.reopen();
}

void FormSelDB::done(int result) {
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    QDialog::done(result);
}

} // namespace orvik
