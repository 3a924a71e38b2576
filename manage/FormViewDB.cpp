#include "manage/FormViewDB.h"

#include "core/AppState.h"
#include "core/Error.h"
#include "core/engine/Recordset.h"
#include "core/ui/Twips.h"
#include "manage/RawRecordEdit.h"
#include "manage/RecordNavigator.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orvik {

namespace {

using engine::Field;

struct BoundBox {
    const char* name;
    Field field;
    const char* label;
    const char* tip;
};

// In the order the window shows them.
constexpr BoundBox BoundBoxes[] = {
    {"Textk", Field::CDKeywords, "Keywords", "Keywords as recorded in catalogue"},
    {"Text6", Field::CDFileDate, "File date", "Filedate as recorded in catalogue"},
    {"Text5", Field::CDFileLen, "File length", "Filelength as recorded in catalogue"},
    {"Text4", Field::CDFile, "File name", "Filename as recorded in catalogue"},
    {"TextP", Field::CDPath, "Path", "Pathname as recorded in catalogue"},
    {"TextD", Field::CDDescription, "Description", "Description of media as recorded in catalogue"},
    {"TextV", Field::CDVolume, "Volume Name", "Name of media volume as recorded in catalogue"},
};

// As wide as the search window, which CentreLeft centres on the screen.
constexpr double DesignWidth = 9135;

} // namespace

FormViewDB::FormViewDB(AppState& state, QWidget* parent) : QDialog(parent), m_state(state) {
    setObjectName(QStringLiteral("FormViewDB"));
    createControls();
    resize(twips::toPixelsX(DesignWidth, this), sizeHint().height());
    Form_Load();
}

FormViewDB::~FormViewDB() = default;

void FormViewDB::createControls() {
    auto* grid = new QGridLayout(this);
    int row = 0;
    auto addBox = [&](const char* name, const char* label, const char* tip) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setToolTip(QString::fromLatin1(tip));
        auto* caption = new QLabel(QString::fromLatin1(label), this);
        caption->setObjectName(QStringLiteral("Label") + QString::fromLatin1(name));
        caption->setBuddy(box);
        grid->addWidget(caption, row, 0);
        grid->addWidget(box, row++, 1, 1, 2);
        return box;
    };

    for (const BoundBox& bound : BoundBoxes)
        m_bound.emplace_back(addBox(bound.name, bound.label, bound.tip), bound.field);
    Textk = findChild<QLineEdit*>(QStringLiteral("Textk"));
    TextD = findChild<QLineEdit*>(QStringLiteral("TextD"));
    TextDBName = addBox("TextDBName", "Catalogue", "Catalogue name (database filename)");
    TextDBName->setReadOnly(true);

    for (const QString& warning :
         {QStringLiteral("WARNING: Alterations to 'Description' will AUTOMATICALLY update the "
                         "catalogue"),
          QStringLiteral("WARNING: Alterations to 'Keywords'  will AUTOMATICALLY update the "
                         "catalogue")})
        grid->addWidget(new QLabel(warning, this), row++, 0, 1, 3);

    DataList = new RecordNavigator(this);
    DataList->setObjectName(QStringLiteral("DataList"));
    DataList->setToolTip(QStringLiteral("Navigate catalogue"));
    grid->addWidget(DataList, row, 0, 1, 2);
    CommandExit = new QPushButton(QStringLiteral("&Done"), this);
    CommandExit->setObjectName(QStringLiteral("CommandExit"));
    CommandExit->setToolTip(QStringLiteral("Exit"));
    CommandExit->setAutoDefault(false); // Enter in a box does not close the window
    grid->addWidget(CommandExit, row, 2, Qt::AlignRight);
    grid->setColumnStretch(1, 1);

    connect(DataList, &RecordNavigator::moveRequested, this, &FormViewDB::DataList_Move);
    connect(CommandExit, &QPushButton::clicked, this, &FormViewDB::CommandExit_Click);
}

engine::Recordset* FormViewDB::records() const {
    const auto& records = m_state.CatalogueRecordset;
    return records && records->isOpen() ? records.get() : nullptr;
}

void FormViewDB::Form_Load() {
    move(twips::toPixelsX(m_state.CentreLeft, this), twips::toPixelsY(m_state.CentreTop, this));
    DataList->setCaption(m_state.CatalogueName);
    TextDBName->setText(QDir::toNativeSeparators(m_state.catalogueFile()));
    setWindowTitle(QStringLiteral("Orvik - Raw Database    Catalogue=") + m_state.CatalogueName);
    if (engine::Recordset* shared = records()) {
        try {
            startOnRecord(*shared, m_state.CurrentPosition);
        } catch (const Error& error) {
            m_state.prompt().tell(error.message(), Icon::Exclamation);
        }
    }
    DataList_Reposition();
}

void FormViewDB::DataList_Reposition() {
    engine::Recordset* shared = records();
    const bool onRecord = shared && !shared->BOF() && !shared->Eof();
    try {
        for (const auto& [box, field] : m_bound)
            box->setText(onRecord ? shared->Fields(field).value_or(QString()) : QString());
    } catch (const Error& error) {
        for (const auto& [box, field] : m_bound)
            box->clear();
        m_state.prompt().tell(error.message(), Icon::Exclamation);
    }
}

bool FormViewDB::boxesChanged() const {
    for (const auto& [box, field] : m_bound)
        if (box->isModified()) return true;
    return false;
}

bool FormViewDB::DataList_Validate(bool& Save) {
    engine::Recordset* shared = records();
    if (!shared) {
        Save = false;
        return true;
    }
    try {
        storeRawEdits(*shared, Save, Textk->text(), TextD->text());
        return true;
    } catch (const Error& error) {
        m_state.prompt().tell(error.message(), Icon::Exclamation);
        return false;
    }
}

// A refused edit keeps the window on its record, showing what is stored.
void FormViewDB::DataList_Move(RecordMove move) {
    bool save = boxesChanged();
    engine::Recordset* shared = records();
    if (DataList_Validate(save) && shared) {
        try {
            moveRecord(*shared, move);
        } catch (const Error& error) {
            m_state.prompt().tell(error.message(), Icon::Exclamation);
        }
    }
    DataList_Reposition();
}

void FormViewDB::Form_Unload() {
    engine::Recordset* shared = records();
    if (!shared || m_state.CurrentPosition.isEmpty()) return;
    try {
        shared->setBookmark(m_state.CurrentPosition);
    } catch (const Error&) {
        // The record is gone; the windows underneath find that out themselves.
    }
}

void FormViewDB::CommandExit_Click() {
    accept();
}

void FormViewDB::done(int result) {
    bool save = boxesChanged();
    DataList_Validate(save);
    Form_Unload();
    QDialog::done(result);
}

} // namespace orvik
