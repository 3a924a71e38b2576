// The filter dialog of "Find with Filters": the pattern or a regular
// expression, the size, date, extension, volume and keyword filters, every
// catalogue or the current one, and lengths people read. OK checks the
// filters first and keeps the dialog open on a mistake, naming it.
#pragma once

#include "search/FilterSearch.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace orvik {

class AppState;

class FormFilters : public QDialog {
    Q_OBJECT
public:
    FormFilters(AppState& state, const FilterChoice& choice, QWidget* parent = nullptr);

    // The values as the dialog holds them.
    FilterChoice choice() const;

    void CmdOK_Click();

private:
    void createControls();

    AppState& m_state;
    QLineEdit* TextPattern = nullptr;
    QLineEdit* TextMinSize = nullptr;
    QLineEdit* TextMaxSize = nullptr;
    QLineEdit* TextNewer = nullptr;
    QLineEdit* TextOlder = nullptr;
    QLineEdit* TextExtensions = nullptr;
    QLineEdit* TextVolume = nullptr;
    QLineEdit* TextKeywords = nullptr;
    QCheckBox* ChkRegex = nullptr;
    QCheckBox* ChkAllCatalogues = nullptr;
    QCheckBox* ChkHumanSizes = nullptr;
    QPushButton* CmdOK = nullptr;
    QPushButton* CmdCancel = nullptr;
};

} // namespace orvik
