// The query window: the search text, the four query buttons, the result list
// with its status line, the erase and update of a volume, the options and
// print menus, and the hand-over to the main window.
#pragma once

#include "core/ui/WindowActivation.h"
#include "search/AnswerLines.h"
#include "search/ResultListModel.h"
#include "search/SearchLayout.h"
#include "search/SearchQueries.h"

#include <QFont>
#include <QMainWindow>
#include <QPrinter>
#include <functional>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace orvik {

class AppState;

class FormSearch : public QMainWindow {
    Q_OBJECT
public:
    // Prints on `printer` when one is given (a test's), else on the system's
    // default printer, or a PDF printer when none is installed.
    explicit FormSearch(AppState& state, QWidget* parent = nullptr,
                        std::unique_ptr<QPrinter> printer = nullptr);
    ~FormSearch() override;

    // The queries with the window's flags (Busy, CancelFlag, CmdDelCD's
    // EraseEnabled, LastDesc, SearchDatabase).
    SearchQueries& queries() { return *m_queries; }
    ResultListModel& results() { return m_model; }
    // Empties the result list and the status text.
    void clearResults();
    QPrinter& printer() { return *m_printer; }
    // The printer font of the print-out, kept in the settings.
    QFont PrinterFont;
    int PrintOrientation = 1;
    int StartOrientation = 1;

    void Form_Load();
    void Form_Activate();
    void Form_Deactivate();
    void Form_Unload();
    void Form_Resize();
    void CmdSearchFile_Click();
    void cmdSearchKeywords_Click();
    void cmdSearchDesc_Click();
    void CmdListCD_Click();
    void CmdAdd_Click();
    void SearchExit_Click();
    void SearchList_Click();
    void SearchList_DblClick();
    void CmdDetails_Click();
    void CmdViewDB_Click();
    void CmdDelCD_Click();
    void CmdUpdCD_Click();
    void CmdBrowse_Click();
    void Tools_Verify_Click();
    void CmdFilters_Click();
    void Tools_Duplicates_Click();
    void Tools_Unique_Click();
    void Tools_Redundant_Click();
    void OptDispPaths_Click();
    void AutoList_Click();
    void Print_res_Click();
    void Print_Font_Click();
    void Print_Landscape_Click();
    void Def_Font_Click();
    void Help_Click();
    void About_Click();
    void DBFile_Click();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class StatusProgress;
    void createControls();
    void createMenus();
    void place(QWidget* widget, const SearchLayout::Rect& rect);
    void applyLayout();
    void saveSettings();
    bool lineChosen();
    // True when the chosen line is of the current catalogue, or the user made
    // its catalogue current.
    bool lineInCurrentCatalogue();
    // The line the user highlighted; -1 when none is.
    int highlightedLine() const;
    void showDetails();
    int printerOrientation() const;
    // The medium of the volume holding `rowid`, offered as the directory it
    // was added from; empty when the user cancels.
    QString chooseMedium(std::int64_t rowid, const QString& title);
    // Erase, update and verify are offered only on the list of all volumes.
    void enableVolumeCommands();
    // Runs a long operation on a volume; the Exit button cancels it meanwhile.
    void runCancellable(const std::function<void()>& work);
    // The PDF printer's file for one print-out; empty when the user cancels.
    QString choosePdfFile();
    // Fills the list with an answer from the files' checksums.
    void showAnswer(AnswerRequest request);
    // Runs a volume query with the hourglass, unless the file-match query runs.
    template <typename Query> void runVolumeQuery(Query query);

    AppState& m_state;
    ResultListModel m_model;
    std::unique_ptr<StatusProgress> m_progress;
    std::unique_ptr<SearchQueries> m_queries;
    std::unique_ptr<QPrinter> m_printer;
    SearchLayout m_layout;
    QWidget* m_inner = nullptr; // the area the layout rule lays out
    WindowActivation m_activation;
    QString m_pdfFile;                    // offered again at the next print-out
    bool m_linesOfEveryCatalogue = false; // the list holds a find over every catalogue

    QGroupBox* FrameSrch = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* CmdSearchFile = nullptr;
    QPushButton* cmdSearchKeywords = nullptr;
    QPushButton* cmdSearchDesc = nullptr;
    QPushButton* CmdListCD = nullptr;
    QListView* SearchList = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* TextMatch = nullptr;
    QPushButton* CmdAdd = nullptr;
    QPushButton* SearchExit = nullptr;
    QPushButton* CmdDetails = nullptr;
    QPushButton* CmdViewDB = nullptr;
    QPushButton* CmdDelCD = nullptr;
    QPushButton* CmdUpdCD = nullptr;
    QPushButton* CmdBrowse = nullptr;
    QAction* Tools_Verify = nullptr;
    QPushButton* CmdFilters = nullptr;
    QAction* OptDispPaths = nullptr;
    QAction* AutoList = nullptr;
    QAction* Print_Landscape = nullptr;
    QAction* Tools_EveryCatalogue = nullptr;
};

} // namespace orvik
