// The catalogue selection window: the catalogues of the application folder,
// a box for a new name, and the buttons that make a catalogue current, close
// the window or delete another catalogue. Modal; its closing, however it
// happens, opens the current catalogue again.
#pragma once

#include "manage/CatalogueSelection.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orvik {

class AppState;

class FormSelDB : public QDialog {
    Q_OBJECT
public:
    explicit FormSelDB(AppState& state, QWidget* parent = nullptr);
    ~FormSelDB() override;

    const QString& NewName() const { return m_selection.NewName; }

    void Form_Load();
    void TextNewDB_Change();
    void FileDB_Click();
    void FileDB_DblClick();
    void CmdAddDBName_Click();
    void CmdDone_Click();
    void CmdDelDB_Click();
    void Form_Unload();

    // Every way of closing (Done, a double click, Escape, the title bar) ends here.
    void done(int result) override;

private:
    void createControls();
    void fillFileList();

    AppState& m_state;
    CatalogueSelection m_selection;
    bool m_unloaded = false;

    QListWidget* FileDB = nullptr;
    QLineEdit* TextNewDB = nullptr;
    QPushButton* CmdAddDBName = nullptr;
    QPushButton* CmdDone = nullptr;
    QPushButton* CmdDelDB = nullptr;
    QLabel* LabelCurrent = nullptr;
    QLabel* LabelCurrentDB = nullptr;
    QLabel* Labelnw = nullptr;
};

} // namespace orvik
