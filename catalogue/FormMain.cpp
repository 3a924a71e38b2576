#include "FormMain.h"

#include "AppState.h"

namespace orvik {

FormMain::FormMain(AppState& state, QWidget* parent) : QMainWindow(parent), m_state(state) {
    setObjectName(QStringLiteral("FormMain"));
    Form_Load();
}

FormMain::~FormMain() = default;

void FormMain::Form_Load() {
    CancelFlag = false;
    Busy = false;
    m_state.SearchText.clear();
}

} // namespace orvik
