// The add-to-catalogue window: drive, directory and files, description,
// keywords, add options, and the add itself.
#pragma once

#include <QMainWindow>

namespace orvik {

class AppState;

class FormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FormMain(AppState& state, QWidget* parent = nullptr);
    ~FormMain() override;

    void Form_Load();

    bool Busy = false;
    bool CancelFlag = false;

private:
    AppState& m_state;
};

} // namespace orvik
