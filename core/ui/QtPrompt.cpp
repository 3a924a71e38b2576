#include "core/ui/QtPrompt.h"

#include "core/ui/WindowActivation.h"

#include <QApplication>
#include <QMessageBox>
#include <QWindow>

namespace orvik {

QtPrompt::QtPrompt() {
    m_focusWatch =
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, [this](QWindow* focus) {
            if (!focus) return;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->windowHandle() == focus && isProgramWindow(*window))
                    m_lastWindow = window;
        });
}

QtPrompt::~QtPrompt() {
    QObject::disconnect(m_focusWatch);
}

QWidget* QtPrompt::askingWindow() const {
    QWidget* window = windowTakingFocus();
    if (window && window->isVisible()) return window;
    if (m_lastWindow && m_lastWindow->isVisible()) return m_lastWindow;
    return nullptr;
}

Answer QtPrompt::ask(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    QMessageBox box(askingWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case Buttons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

} // namespace orvik
