// Reaching into real windows as a user would: their controls by name, the rows
// a list shows, a search typed and run, and the dialog a click opens.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace orvik::test {

template <typename T = QPushButton> T* child(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(name);
    EXPECT_TRUE(found) << name;
    return found;
}

// The texts of every row, in the column a list view shows.
inline QStringList rows(const QAbstractItemView& view) {
    const auto* list = qobject_cast<const QListView*>(&view);
    const int column = list ? list->modelColumn() : 0;
    QStringList texts;
    for (int row = 0; row < view.model()->rowCount(); ++row)
        texts << view.model()->index(row, column).data().toString();
    return texts;
}

// The named controls of `window` that are not wholly inside their parents,
// so the window cuts them off.
inline QStringList controlsCutOff(const QWidget& window) {
    QStringList cut;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith("qt_") || control->isWindow() ||
            !control->isVisibleTo(&window))
            continue;
        for (const QWidget* w = control; w != &window; w = w->parentWidget())
            if (!w->parentWidget()->rect().contains(w->geometry())) {
                cut << name;
                break;
            }
    }
    return cut;
}

// A query of the search window: `text` typed, then `button` clicked.
inline void query(QWidget& search, const QString& text, const char* button = "CmdSearchFile") {
    child<QLineEdit>(search, "Text1")->setText(text);
    child(search, button)->click();
}

// Runs `inside` on the modal dialog that the next call opens, once it shows.
inline void whenModal(std::function<void(QWidget&)> inside) {
    QTimer::singleShot(0, [inside] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_TRUE(modal) << "no dialog opened";
        inside(*modal);
    });
}

} // namespace orvik::test
