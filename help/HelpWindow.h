// What the two help windows share: a frame holding a list of fixed text lines
// in blue and a "&Done" button, placed at CentreLeft and CentreTop and sized
// to their text. They are not modal, and "&Done", Escape or closing unloads
// them.
#pragma once

#include <QStringList>
#include <QWidget>

class QGroupBox;
class QListWidget;
class QPushButton;

namespace orvik {

class AppState;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    void CommandExit_Click();

    // Shows the opener's help window of type Form, loading it when it is not open.
    template <typename Form> static Form& showFor(AppState& state, QWidget& opener) {
        auto* form = opener.findChild<Form*>(QString(), Qt::FindDirectChildrenOnly);
        if (!form) form = new Form(state, &opener);
        form->show();
        form->raise();
        form->activateWindow();
        return *form;
    }

protected:
    HelpWindow(const QString& caption, const QString& frameCaption, QWidget* opener);
    // Form_Load's first step.
    void placeAtCentre(const AppState& state);
    // Puts line i into row i, so a second filling leaves the same list.
    void fill(const QStringList& lines);
    // As wide as the widest line and as high as all rows, as far as the
    // screen allows from the window's place; narrower, the lines wrap.
    void sizeToText();
    void keyPressEvent(QKeyEvent* event) override;

    QGroupBox* Frame1 = nullptr;
    QListWidget* ListHelp = nullptr;
    QPushButton* CommandExit = nullptr;
};

} // namespace orvik
