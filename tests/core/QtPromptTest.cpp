// The real message boxes: which window they belong to.
#include "core/ui/QtPrompt.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace orvik;

namespace {

struct ShownBox {
    QWidget* parent = nullptr;
    QRect geometry;
};

// Asks twice in a row, as a handler that reports a failure in two boxes
// does: the second box comes while the first is just gone and the window
// manager has not yet given the focus back.
std::vector<ShownBox> askTwice(Prompt& prompt) {
    std::vector<ShownBox> shown;
    for (const char* text : {"first", "second"}) {
        QTimer::singleShot(0, [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            shown.push_back({box->parentWidget(), box->geometry()});
            box->accept();
        });
        prompt.tell(QString::fromLatin1(text));
    }
    return shown;
}

// A window in the screen's corner, so a box centred on it is not centred on the screen.
void showInCorner(QWidget& window) {
    window.setGeometry(0, 0, 400, 300);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

void expectCentredOn(const std::vector<ShownBox>& shown, QWidget& window) {
    ASSERT_EQ(shown.size(), 2u);
    for (const ShownBox& box : shown) {
        EXPECT_EQ(box.parent, &window);
        EXPECT_LE((box.geometry.center() - window.geometry().center()).manhattanLength(), 4);
    }
}

} // namespace

TEST(QtPromptTest, boxesAreCentredOnTheWindowThatAskedAlsoRightAfterAnotherBox) {
    QtPrompt prompt;
    QWidget window;
    showInCorner(window);
    expectCentredOn(askTwice(prompt), window);

    // A window of the program opened modally over it, as the details window is.
    QDialog details(&window);
    details.setObjectName("FormViewDetails");
    details.resize(window.size());
    std::vector<ShownBox> fromDetails;
    QTimer::singleShot(0, [&] {
        fromDetails = askTwice(prompt);
        details.accept();
    });
    details.exec();
    expectCentredOn(fromDetails, details);
}
