#include "help/HelpWindow.h"

#include "core/AppState.h"
#include "core/ui/Twips.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace orvik {

namespace {
// As large as the search window, whose size CentreLeft and CentreTop centre.
constexpr double DesignWidth = 9135;
constexpr double DesignHeight = 6105;
const QColor HelpBlue(0, 0, 255);
} // namespace

HelpWindow::HelpWindow(const QString& caption, const QString& frameCaption, QWidget* opener)
    : QWidget(opener, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    Frame1 = new QGroupBox(frameCaption, this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ListHelp = new QListWidget(Frame1);
    ListHelp->setObjectName(QStringLiteral("ListHelp"));
    // The lines line up their continuations with blanks.
    ListHelp->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // A line wider than the window wraps, so none needs scrolling sideways.
    ListHelp->setWordWrap(true);
    ListHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListHelp->setResizeMode(QListView::Adjust);
    CommandExit = new QPushButton(QStringLiteral("&Done"), this);
    CommandExit->setObjectName(QStringLiteral("CommandExit"));
    connect(CommandExit, &QPushButton::clicked, this, &HelpWindow::CommandExit_Click);

    auto* frame = new QVBoxLayout(Frame1);
    frame->addWidget(ListHelp);
    auto* button = new QHBoxLayout;
    button->addStretch();
    button->addWidget(CommandExit);
    auto* rows = new QVBoxLayout(this);
    rows->addWidget(Frame1, 1);
    rows->addLayout(button);
    resize(twips::toPixelsX(DesignWidth, this), twips::toPixelsY(DesignHeight, this));
}

void HelpWindow::CommandExit_Click() {
    close();
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        CommandExit_Click();
    else
        QWidget::keyPressEvent(event);
}

void HelpWindow::placeAtCentre(const AppState& state) {
    move(twips::toPixelsX(state.CentreLeft, this), twips::toPixelsY(state.CentreTop, this));
}

void HelpWindow::fill(const QStringList& lines) {
    QPalette palette = ListHelp->palette();
    palette.setColor(QPalette::Text, HelpBlue);
    ListHelp->setPalette(palette);
    for (int row = 0; row < lines.size(); ++row) {
        if (QListWidgetItem* item = ListHelp->item(row))
            item->setText(lines[row]);
        else
            ListHelp->addItem(lines[row]);
    }
}

void HelpWindow::sizeToText() {
    const QRect screen = this->screen()->availableGeometry();
    const QSize room = QSize(screen.right() + 1 - x(), screen.bottom() + 1 - y())
                           .expandedTo(twips::sizeHolding(DesignWidth, DesignHeight, this));
    // The window is not shown yet: its layouts place the frame and the list at once.
    auto layOut = [this] {
        for (QLayout* places : {layout(), Frame1->layout()}) {
            places->invalidate();
            places->activate();
        }
    };
    layOut();
    const int frame = 2 * ListHelp->frameWidth();
    const QSize around = size() - ListHelp->size() + QSize(frame, frame);
    const int width = std::min(ListHelp->sizeHintForColumn(0) + around.width(), room.width());
    // The rows as they wrap beside a scroll bar: at most that high without one,
    // so none appears.
    resize(width - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListHelp), height());
    layOut();
    ListHelp->doItemsLayout();
    const int rows = ListHelp->visualItemRect(ListHelp->item(ListHelp->count() - 1)).bottom() + 1;
    resize(width, std::min(rows + around.height(), room.height()));
}

} // namespace orvik
