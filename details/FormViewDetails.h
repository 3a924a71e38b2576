// The details window: one record with the directory, volume, description and
// keywords that own it, the files of its directory, the moves through the
// catalogue, the two edits and the launch. Works on the shared recordset.
#pragma once

#include "core/WindowHandOver.h"
#include "core/records/RecordResolution.h"
#include "details/DirectoryFilesModel.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListView;
class QPushButton;

namespace orvik {

class AppState;

class FormViewDetails : public QDialog {
    Q_OBJECT
public:
    FormViewDetails(AppState& state, SearchListLines searchList, QWidget* parent = nullptr);
    ~FormViewDetails() override;

    int CurrentIndex = 0;
    int FileIndex = 0;
    const DirectoryFilesModel& files() const { return m_files; }

    void Form_Load();
    void Form_Activate();
    void CmdStart_Click();
    void CmdEnd_Click();
    void CmdNextFile_Click();
    void CmdPrevFile_Click();
    void CmdNextPath_Click();
    void cmdPrevPath_Click();
    void CmdNextVol_Click();
    void cmdPrevVol_Click();
    void CmdNextMatch_Click();
    void CmdPrevMatch_Click();
    void CmdCurrent_Click();
    void CmdViewDB_Click();
    void CmdExit_Click();
    void Listfiles_Click(int row);
    void ListDate_Click(int row);
    void ListSize_Click(int row);
    void CmdAddKw_Click();
    void CmdChangeDesc_Click();
    void cmdShell_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void refresh();
    void land();
    void goToLine(int line);
    void Display_All_Fields();
    void FillListFiles();
    void selectRow(int row);
    // Runs a move on the shared recordset; an engine failure is told (in
    // `failure` when not empty) and ends it.
    template <typename Move> void step(const QString& failure, Move move);

    AppState& m_state;
    SearchListLines m_searchList;
    ResolvedRecord m_shown; // the record the fields show, with its owners
    DirectoryFilesModel m_files;
    bool m_filling = false;
    bool m_activated = false;

    QLineEdit *TextFile = nullptr, *TextPath = nullptr, *TextVol = nullptr, *TextDesc = nullptr,
              *TextKey = nullptr, *TextLen = nullptr, *TextDate = nullptr, *TextDBName = nullptr;
    QListView *Listfiles = nullptr, *ListDate = nullptr, *ListSize = nullptr;
};

} // namespace orvik
