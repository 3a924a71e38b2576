#include "search/FormBrowse.h"

#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/Error.h"
#include "core/engine/Catalogue.h"
#include "core/ui/Twips.h"
#include "core/ui/WindowGeometry.h"
#include "search/CatalogueOpening.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <utility>

namespace orvik {

namespace {
// As large as the search window.
constexpr double DesignWidth = 9135;
constexpr double DesignHeight = 6105;
const QString GeometryKeys = QStringLiteral("Browse");
} // namespace

FormBrowse::FormBrowse(AppState& state, QWidget* opener, std::function<bool()> busy)
    : QWidget(opener, Qt::Window), m_state(state), m_busy(std::move(busy)) {
    setObjectName(QStringLiteral("FormBrowse"));
    setAttribute(Qt::WA_DeleteOnClose);
    createControls();
    resize(twips::toPixelsX(DesignWidth, this), twips::toPixelsY(DesignHeight, this));
    Form_Load();
}

FormBrowse::~FormBrowse() = default;

FormBrowse& FormBrowse::showFor(AppState& state, QWidget& opener, std::function<bool()> busy) {
    auto* form = opener.findChild<FormBrowse*>(QString(), Qt::FindDirectChildrenOnly);
    if (!form) form = new FormBrowse(state, &opener, std::move(busy));
    form->show();
    form->raise();
    form->activateWindow();
    return *form;
}

void FormBrowse::createControls() {
    TreeVolumes = new QTreeView(this);
    TreeVolumes->setObjectName(QStringLiteral("TreeVolumes"));
    TreeVolumes->setToolTip(QStringLiteral("Double-click a file to see more details"));
    TreeVolumes->setModel(&m_model);
    TreeVolumes->setUniformRowHeights(true); // a directory of 100,000 files lays out at once
    TreeVolumes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The date and length columns hold fixed-width texts: sized for those, not measured.
    QHeaderView* header = TreeVolumes->header();
    const QFontMetrics metrics(TreeVolumes->font());
    const int margin = metrics.horizontalAdvance(QStringLiteral("MM"));
    header->setStretchLastSection(false);
    header->setSectionResizeMode(VolumeTreeModel::Name, QHeaderView::Stretch);
    header->resizeSection(VolumeTreeModel::Date,
                          metrics.horizontalAdvance(QStringLiteral("8888-88-88 88:88:88")) +
                              margin);
    header->resizeSection(VolumeTreeModel::Length,
                          metrics.horizontalAdvance(QStringLiteral("888888888888")) + margin);
    connect(TreeVolumes, &QTreeView::expanded, this, &FormBrowse::TreeVolumes_Expand);
    connect(TreeVolumes, &QTreeView::doubleClicked, this, &FormBrowse::TreeVolumes_DblClick);

    CmdExit = new QPushButton(QStringLiteral("&Done"), this);
    CmdExit->setObjectName(QStringLiteral("CmdExit"));
    CmdExit->setToolTip(QStringLiteral("Close this window"));
    connect(CmdExit, &QPushButton::clicked, this, &FormBrowse::CmdExit_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CmdExit);
    auto* rows = new QVBoxLayout(this);
    rows->addWidget(TreeVolumes, 1);
    rows->addLayout(buttons);
}

void FormBrowse::Form_Load() {
    // Its design place is where the program's other windows open, centred as
    // the search window at its design size.
    move(twips::toPixelsX(m_state.CentreLeft, this), twips::toPixelsY(m_state.CentreTop, this));
    Settings& settings = m_state.settings();
    const WindowPlace design = windowPlace(*this);
    restoreWindowGeometry(
        *this, {settings.getNumber(GeometryKeys + QStringLiteral("Left"), design.left),
                settings.getNumber(GeometryKeys + QStringLiteral("Top"), design.top),
                settings.getNumber(GeometryKeys + QStringLiteral("Width"), design.width),
                settings.getNumber(GeometryKeys + QStringLiteral("Height"), design.height)});
    Form_Activate();
    m_justLoaded = true;
}

void FormBrowse::Form_Activate() {
    setWindowTitle(QStringLiteral("Orvik - Browse Volumes     Catalogue=") + m_state.CatalogueName);
    readVolumes();
}

void FormBrowse::readVolumes() {
    std::vector<VolumeHead> heads;
    // A failure shows no volumes and says nothing, as the search window's
    // activation does: a message at every activation would never end.
    try {
        if (catalogueExists(m_state.catalogueFile()))
            heads = readVolumeHeads(*m_state.workspace().OpenDatabase(m_state.catalogueFile()));
    } catch (const Error&) {
    }
    // Another catalogue's volumes may have the same rowids as this one's.
    if (m_shownCatalogue != m_state.CatalogueName) m_model.setVolumes({});
    m_shownCatalogue = m_state.CatalogueName;
    m_model.setVolumes(heads);
}

void FormBrowse::Form_Deactivate() {
    saveWindowGeometry(m_state.settings(), GeometryKeys, *this);
}

void FormBrowse::Form_Unload() {
    saveWindowGeometry(m_state.settings(), GeometryKeys, *this);
}

void FormBrowse::TreeVolumes_Expand(const QModelIndex& index) {
    if (!m_model.isVolume(index) || m_model.isRead(index)) return;
    try {
        auto db = m_state.workspace().OpenDatabase(m_state.catalogueFile());
        m_model.setVolumeTree(index, readVolumeTree(*db, m_model.volumeHead(index)));
    } catch (const Error& error) {
        TreeVolumes->collapse(index); // offered again
        m_state.prompt().reportError(error, QStringLiteral("Can't open catalogue database."));
    }
}

void FormBrowse::TreeVolumes_DblClick(const QModelIndex& index) {
    const QString bookmark = m_model.bookmark(index);
    if (bookmark.isEmpty() || (m_busy && m_busy())) return;
    m_state.CurrentPosition = bookmark;
    if (!m_state.CatalogueRecordset) {
        try {
            openCurrentCatalogue(m_state);
        } catch (const Error& error) {
            m_state.prompt().reportError(error, QStringLiteral("Can't open catalogue database."));
            return;
        }
    }
    m_state.windows().showDetails(m_state, {0, {bookmark}}, this);
    readVolumes(); // the details window may have changed a description
}

void FormBrowse::CmdExit_Click() {
    close();
}

bool FormBrowse::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
        m_activation.shown();
        break;
    case QEvent::WindowActivate:
        // The first activation follows the load, which read the volumes just now.
        if (m_activation.activated() && !std::exchange(m_justLoaded, false)) Form_Activate();
        break;
    case QEvent::WindowDeactivate:
        if (m_activation.deactivated()) Form_Deactivate();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void FormBrowse::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// Escape closes the window, as it closes the help windows. Enter reaches the
// window when the control with the focus leaves it: it presses a focused
// button, and on a file of the tree opens its details as a double click does.
void FormBrowse::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (key == Qt::Key_Escape && plain) {
        CmdExit_Click();
    } else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && plain) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else if (focusWidget() == TreeVolumes)
            TreeVolumes_DblClick(TreeVolumes->currentIndex());
    } else {
        QWidget::keyPressEvent(event);
    }
}

} // namespace orvik
