#include "HelpWindow.h"

#include "AppState.h"
#include "ui/Twips.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

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

} // namespace orvik
