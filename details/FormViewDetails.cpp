#include "details/FormViewDetails.h"

#include "core/AppState.h"
#include "core/Error.h"
#include "core/engine/Recordset.h"
#include "details/CatalogueMoves.h"
#include "details/DirectoryFiles.h"
#include "details/FileLaunch.h"
#include "details/RecordEdits.h"
#include "manage/FormViewDB.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace orvik {

using engine::Field;

FormViewDetails::FormViewDetails(AppState& state, SearchListLines searchList, QWidget* parent)
    : QDialog(parent), m_state(state), m_searchList(searchList) {
    setObjectName(QStringLiteral("FormViewDetails"));
    setWindowTitle(QStringLiteral("Orvik - File details"));
    setModal(true);
    createControls();
    Form_Load();
}

FormViewDetails::~FormViewDetails() = default;

void FormViewDetails::createControls() {
    auto* fields = new QGridLayout;
    auto box = [&](const char* name, const QString& label, const QString& tip, bool editable) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setToolTip(tip);
        edit->setReadOnly(!editable);
        const int row = fields->rowCount();
        auto* caption = new QLabel(label, this);
        caption->setBuddy(edit);
        fields->addWidget(caption, row, 0);
        fields->addWidget(edit, row, 1);
        return edit;
    };
    auto button = [this](const char* name, const QString& caption, const QString& tip) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };

    TextFile = box("TextFile", QStringLiteral("File name"), QStringLiteral("Filename"), false);
    TextPath = box("TextPath", QStringLiteral("Directory"),
                   QStringLiteral("Directory path as recorded in catalogue"), false);
    TextVol = box("TextVol", QStringLiteral("Volume name"), QStringLiteral("Volume name of media"),
                  false);
    TextDesc = box("TextDesc", QStringLiteral("Description"),
                   QStringLiteral("Description as entered in catalogue"), true);
    auto* CmdChangeDesc = button("CmdChangeDesc", QStringLiteral("&Update Description"),
                                 QStringLiteral("Updates catalogue with new description"));
    fields->addWidget(CmdChangeDesc, fields->rowCount() - 1, 2);
    TextKey = box("TextKey", QStringLiteral("Keywords"),
                  QStringLiteral("Keywords as entered in catalogue"), true);
    auto* CmdAddKw = button("CmdAddKw", QStringLiteral("&Add/Update Keywords"),
                            QStringLiteral("Adds current keywords to this file"));
    fields->addWidget(CmdAddKw, fields->rowCount() - 1, 2);
    TextLen =
        box("TextLen", QStringLiteral("File length"), QStringLiteral("Length of file"), false);
    TextDate = box("TextDate", QStringLiteral("File date"), QStringLiteral("Date of file"), false);
    TextDBName =
        box("TextDBName", QStringLiteral("Catalogue"), QStringLiteral("Catalogue filename"), false);
    // Keywords and descriptions are stored in capitals, at most what the catalogue holds.
    for (QLineEdit* edit : {TextDesc, TextKey})
        edit->setMaxLength(4096);

    auto* lists = new QGridLayout;
    auto list = [&](const char* name, const QString& heading, const QString& tip, int column) {
        auto* view = new QListView(this);
        view->setObjectName(QString::fromLatin1(name));
        view->setToolTip(tip);
        view->setModel(&m_files);
        view->setModelColumn(column);
        view->setUniformItemSizes(true);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        lists->addWidget(new QLabel(heading, this), 0, column);
        lists->addWidget(view, 1, column);
        return view;
    };
    Listfiles = list("Listfiles", QStringLiteral("Files in current directory"),
                     QStringLiteral("Displays list of files in current directory"),
                     DirectoryFilesModel::Name);
    ListDate = list("ListDate", QStringLiteral("Date"), QStringLiteral("File date"),
                    DirectoryFilesModel::Date);
    ListSize = list("ListSize", QStringLiteral("Length"), QStringLiteral("File length"),
                    DirectoryFilesModel::Length);
    lists->setColumnStretch(0, 3);
    lists->setColumnStretch(1, 2);
    lists->setColumnStretch(2, 1);
    ListDate->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Listfiles->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The three lists scroll as one.
    for (QListView* a : {Listfiles, ListDate, ListSize})
        for (QListView* b : {Listfiles, ListDate, ListSize})
            if (a != b)
                connect(a->verticalScrollBar(), &QScrollBar::valueChanged, b->verticalScrollBar(),
                        &QScrollBar::setValue);
    // A row chosen by mouse or keyboard moves there once the list has settled.
    auto onChosen = [this](QListView* view, void (FormViewDetails::*handler)(int)) {
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this, handler](const QModelIndex& index) {
                    if (m_filling || !index.isValid()) return;
                    QMetaObject::invokeMethod(
                        this, [this, handler, row = index.row()] { (this->*handler)(row); },
                        Qt::QueuedConnection);
                });
    };
    onChosen(Listfiles, &FormViewDetails::Listfiles_Click);
    onChosen(ListDate, &FormViewDetails::ListDate_Click);
    onChosen(ListSize, &FormViewDetails::ListSize_Click);

    auto* moves = new QHBoxLayout;
    auto* actions = new QHBoxLayout;
    QHBoxLayout* row = moves;
    auto move = [&](const char* name, const QString& caption, const QString& tip,
                    void (FormViewDetails::*handler)()) {
        QPushButton* b = button(name, caption, tip);
        connect(b, &QPushButton::clicked, this, handler);
        row->addWidget(b);
    };
    move("CmdStart", QStringLiteral("[ Start"), QStringLiteral("Goto start of catalogue"),
         &FormViewDetails::CmdStart_Click);
    move("cmdPrevVol", QStringLiteral("< Vol"),
         QStringLiteral("Go backwards until start of Volume found"),
         &FormViewDetails::cmdPrevVol_Click);
    move("cmdPrevPath", QStringLiteral("< Dir"),
         QStringLiteral("Go backwards until directory entry found"),
         &FormViewDetails::cmdPrevPath_Click);
    move("CmdPrevFile", QStringLiteral("< File"), QStringLiteral("Go back one file"),
         &FormViewDetails::CmdPrevFile_Click);
    move("CmdNextFile", QStringLiteral("File >"), QStringLiteral("Go forwards one file"),
         &FormViewDetails::CmdNextFile_Click);
    move("CmdNextPath", QStringLiteral("Dir >"),
         QStringLiteral("Go forwards until directory found"), &FormViewDetails::CmdNextPath_Click);
    move("CmdNextVol", QStringLiteral("Vol >"), QStringLiteral("Go forwards until Volume found"),
         &FormViewDetails::CmdNextVol_Click);
    move("CmdEnd", QStringLiteral("End ]"), QStringLiteral("Go to End of catalogue"),
         &FormViewDetails::CmdEnd_Click);

    row = actions;
    move("CmdPrevMatch", QStringLiteral("<&Previous Match"),
         QStringLiteral("Move to previous entry in search list"),
         &FormViewDetails::CmdPrevMatch_Click);
    move("CmdCurrent", QStringLiteral("&Current Match"),
         QStringLiteral("Move to current entry in search list"),
         &FormViewDetails::CmdCurrent_Click);
    move("CmdNextMatch", QStringLiteral("&Next Match>"),
         QStringLiteral("Move to next entry in search list"), &FormViewDetails::CmdNextMatch_Click);
    actions->addStretch();
    move("cmdShell", QStringLiteral("&Launch File"),
         QStringLiteral("Launch/run currently selected file"), &FormViewDetails::cmdShell_Click);
    move("CmdViewDB", QStringLiteral("&View Database"), QStringLiteral("View/Edit raw database"),
         &FormViewDetails::CmdViewDB_Click);
    move("CmdExit", QStringLiteral("&Done"), QStringLiteral("Exit"),
         &FormViewDetails::CmdExit_Click);
    connect(CmdAddKw, &QPushButton::clicked, this, &FormViewDetails::CmdAddKw_Click);
    connect(CmdChangeDesc, &QPushButton::clicked, this, &FormViewDetails::CmdChangeDesc_Click);

    auto* all = new QVBoxLayout(this);
    all->addLayout(fields);
    all->addLayout(lists, 1);
    all->addLayout(moves);
    all->addLayout(actions);
}

void FormViewDetails::Form_Load() {
    CurrentIndex = m_searchList.selected;
    if (m_state.CurrentPosition.isEmpty() || !m_state.CatalogueRecordset) return;
    try {
        m_state.CatalogueRecordset->setBookmark(m_state.CurrentPosition);
    } catch (const Error& error) {
        // The record is gone (erased since the line was listed): say so and
        // show what the recordset stands on.
        m_state.prompt().tell(error.message(), Icon::Exclamation);
    }
}

void FormViewDetails::Form_Activate() {
    refresh();
}

void FormViewDetails::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_activated) return;
    m_activated = true;
    Form_Activate();
}

void FormViewDetails::refresh() {
    if (!m_state.CatalogueRecordset) return;
    m_shown = Lookup_All_Fields(*m_state.CatalogueRecordset, m_state.prompt());
    Display_All_Fields();
}

void FormViewDetails::land() {
    m_state.CurrentPosition = m_state.CatalogueRecordset->Bookmark();
    refresh();
}

void FormViewDetails::Display_All_Fields() {
    TextVol->setText(m_shown.volume);
    TextDesc->setText(m_shown.description);
    TextKey->setText(m_shown.keywords);
    TextPath->setText(m_shown.directory);
    TextLen->setText(m_shown.length);
    TextDate->setText(m_shown.date);
    TextFile->setText(m_shown.file);
    TextDBName->setText(m_state.CatalogueName + QStringLiteral(".mdb"));
    FillListFiles();
}

void FormViewDetails::FillListFiles() {
    m_files.clear();
    try {
        DirectoryListing listing = listDirectory(m_state, *m_state.CatalogueRecordset);
        m_filling = true;
        m_files.setFiles(std::move(listing.files));
        if (listing.currentRow) {
            FileIndex = *listing.currentRow;
            selectRow(FileIndex);
        }
        m_filling = false;
        // The three lists start scrolled alike.
        const int top = Listfiles->verticalScrollBar()->value();
        ListDate->verticalScrollBar()->setValue(top);
        ListSize->verticalScrollBar()->setValue(top);
    } catch (const Error&) {
        m_filling = false;
        m_state.prompt().tell(QStringLiteral("Error in FillListFiles!"));
    }
}

void FormViewDetails::selectRow(int row) {
    const bool filling = m_filling;
    m_filling = true;
    for (QListView* view : {Listfiles, ListDate, ListSize}) {
        const QModelIndex index = m_files.index(row, view->modelColumn());
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        view->scrollTo(index);
    }
    m_filling = filling;
}

// The stepping handlers tell a failure in their own words; the others, which
// have none, tell it as it is.
template <typename Move> void FormViewDetails::step(const QString& failure, Move move) {
    if (!m_state.CatalogueRecordset) return;
    try {
        move(*m_state.CatalogueRecordset);
    } catch (const Error& error) {
        if (failure.isEmpty())
            m_state.prompt().tell(error.message(), Icon::Exclamation);
        else
            m_state.prompt().tell(failure);
    }
}

void FormViewDetails::CmdStart_Click() {
    step({}, [this](engine::Recordset& rs) {
        if (moveToFirstRecord(rs)) land();
    });
}

void FormViewDetails::CmdEnd_Click() {
    step({}, [this](engine::Recordset& rs) {
        if (moveToLastRecord(rs)) land();
    });
}

void FormViewDetails::CmdNextFile_Click() {
    step(QStringLiteral("Error in CmdNextFile_Click!"), [this](engine::Recordset& rs) {
        if (moveToNextFile(rs)) land();
    });
}

void FormViewDetails::CmdPrevFile_Click() {
    step(QStringLiteral("Error in CmdPrevFile!"), [this](engine::Recordset& rs) {
        if (moveToPreviousFile(rs)) land();
    });
}

void FormViewDetails::CmdNextPath_Click() {
    step(QStringLiteral("Error in CmdNextPath!"), [this](engine::Recordset& rs) {
        seekNextCarrying(rs, Field::CDPath, m_state.CurrentPosition);
        land();
    });
}

void FormViewDetails::cmdPrevPath_Click() {
    step(QStringLiteral("Error in CmdPrevPath!"), [this](engine::Recordset& rs) {
        seekPreviousCarrying(rs, Field::CDPath, m_state.CurrentPosition);
        land();
    });
}

void FormViewDetails::CmdNextVol_Click() {
    step(QStringLiteral("Error in CmdNextVol!"), [this](engine::Recordset& rs) {
        seekNextCarrying(rs, Field::CDVolume, m_state.CurrentPosition);
        land();
    });
}

void FormViewDetails::cmdPrevVol_Click() {
    step(QStringLiteral("Error in CmdPrevVol!"), [this](engine::Recordset& rs) {
        seekPreviousCarrying(rs, Field::CDVolume, m_state.CurrentPosition);
        land();
    });
}

void FormViewDetails::goToLine(int line) {
    const QString bookmark = m_searchList.bookmarks.value(line);
    if (bookmark.isEmpty()) return;
    step({}, [&](engine::Recordset& rs) {
        rs.setBookmark(bookmark);
        m_state.CurrentPosition = bookmark;
        refresh();
    });
}

void FormViewDetails::CmdNextMatch_Click() {
    if (CurrentIndex < m_searchList.bookmarks.size() - 1) goToLine(++CurrentIndex);
}

void FormViewDetails::CmdPrevMatch_Click() {
    if (CurrentIndex > 0) goToLine(--CurrentIndex);
}

void FormViewDetails::CmdCurrent_Click() {
    goToLine(CurrentIndex);
}

void FormViewDetails::CmdViewDB_Click() {
    FormViewDB raw(m_state, this);
    raw.exec();
    Form_Activate(); // back from the raw table: the record may have changed
}

void FormViewDetails::CmdExit_Click() {
    accept();
}

void FormViewDetails::Listfiles_Click(int row) {
    if (row == FileIndex) return;
    step({}, [&](engine::Recordset& rs) {
        moveByRows(rs, row - FileIndex);
        land();
    });
}

void FormViewDetails::ListDate_Click(int row) {
    selectRow(row);
    Listfiles_Click(row);
}

void FormViewDetails::ListSize_Click(int row) {
    selectRow(row);
    Listfiles_Click(row);
}

void FormViewDetails::CmdAddKw_Click() {
    step({}, [&](engine::Recordset& rs) {
        storeKeywords(m_state, rs, TextKey->text());
        refresh();
    });
}

void FormViewDetails::CmdChangeDesc_Click() {
    step({}, [&](engine::Recordset& rs) {
        storeDescription(m_state, rs, TextDesc->text());
        refresh();
    });
}

void FormViewDetails::cmdShell_Click() {
    launchCurrentFile(m_state, m_shown.directory, m_shown.file);
}

} // namespace orvik
