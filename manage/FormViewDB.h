// The raw database window: the current catalogue's records one at a time,
// exactly as stored, paged with a navigator over the shared recordset. Only
// keywords and descriptions typed here are written back. Made afresh for
// every opening and shown with exec().
#pragma once

#include "core/engine/CatalogueTable.h"
#include "manage/RecordMoves.h"

#include <QDialog>
#include <utility>
#include <vector>

class QLineEdit;
class QPushButton;

namespace orvik {

class AppState;
class RecordNavigator;
namespace engine {
class Recordset;
}

class FormViewDB : public QDialog {
    Q_OBJECT
public:
    explicit FormViewDB(AppState& state, QWidget* parent = nullptr);
    ~FormViewDB() override;

    void Form_Load();
    // Before the navigator leaves the record: keeps what the rules let
    // through. False when the engine refused; the user has been told.
    bool DataList_Validate(bool& Save);
    // Shows the fields of the record the shared recordset stands on.
    void DataList_Reposition();
    // A navigator button: validates, moves the shared recordset, shows the record.
    void DataList_Move(RecordMove move);
    void Form_Unload();
    void CommandExit_Click();

    // Done, the close box and Escape all end here.
    void done(int result) override;

private:
    void createControls();
    // True when the user changed a bound box since the record was shown.
    bool boxesChanged() const;
    // The shared recordset, when it is open.
    engine::Recordset* records() const;

    AppState& m_state;
    RecordNavigator* DataList = nullptr;
    std::vector<std::pair<QLineEdit*, engine::Field>> m_bound;
    QLineEdit* Textk = nullptr;
    QLineEdit* TextD = nullptr;
    QLineEdit* TextDBName = nullptr;
    QPushButton* CommandExit = nullptr;
};

} // namespace orvik
