// The catalogue selection window: the catalogues of the application folder,
// a box for a new name, and the buttons that make a catalogue current, close
// the window or delete another catalogue. Modal; its closing, however it
// happens, opens the current catalogue again.
#pragma once

#include "manage/CatalogueSelection.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace orvik {

class AppState;
class Progress;

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
    // Export and import of the highlighted catalogue, each to or from a file
    // the user picks; its extension names the format.
    void CmdExport_Click();
    void CmdImport_Click();
    void Form_Unload();

    // Every way of closing (Done, a double click, Escape, the title bar) ends here.
    void done(int result) override;

private:
    void createControls();
    void fillFileList();
    // The highlighted catalogue's name, or empty after telling the user to pick one.
    QString highlightedCatalogue();
    // Runs an export or import with the progress shown and Done as its Cancel.
    void runBusy(const std::function<void(Progress&)>& work);

    AppState& m_state;
    CatalogueSelection m_selection;
    bool m_unloaded = false;
    bool m_busy = false, m_cancelFlag = false;

    QListWidget* FileDB = nullptr;
    QLineEdit* TextNewDB = nullptr;
    QPushButton* CmdAddDBName = nullptr;
    QPushButton* CmdDone = nullptr;
    QPushButton* CmdDelDB = nullptr;
    QPushButton* CmdExport = nullptr;
    QPushButton* CmdImport = nullptr;
    QProgressBar* ProgressExchange = nullptr;
    QLabel* LabelExchange = nullptr;
    QLabel* LabelCurrent = nullptr;
    QLabel* LabelCurrentDB = nullptr;
    QLabel* Labelnw = nullptr;
};

} // namespace orvik
