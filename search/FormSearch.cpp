#include "FormSearch.h"

#include "AppState.h"
#include "CatalogueOpening.h"
#include "Error.h"
#include "engine/Database.h"

namespace orvik {

FormSearch::FormSearch(AppState& state, QWidget* parent) : QMainWindow(parent), m_state(state) {
    setObjectName(QStringLiteral("FormSearch"));
    Form_Load();
}

FormSearch::~FormSearch() = default;

void FormSearch::Form_Load() {
    CancelFlag = false;
    Busy = false;
    m_state.SearchText.clear();
    try {
        SearchDatabase = openCurrentCatalogue(m_state);
    } catch (const Error&) {
        // The window stays without an open recordset; its queries open their own.
    }
}

} // namespace orvik
