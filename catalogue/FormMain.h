// The add-to-catalogue window: drive, directory and files, description,
// keywords, add options, and the add itself.
#pragma once

#include "catalogue/MainLayout.h"
#include "catalogue/VolumeAdd.h"
#include "core/ui/LabelProgress.h"
#include "core/ui/WindowActivation.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvik {

class AppState;
class DirectoryList;
class Error;
class FileList;

class FormMain : public QMainWindow, private AddControls {
    Q_OBJECT
public:
    explicit FormMain(AppState& state, QWidget* parent = nullptr);
    ~FormMain() override;

    void Form_Load();
    void Form_Activate();
    void Form_Deactivate();
    void Form_Unload();
    void Form_Resize();
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_Click();
    void CmdExec_Click();
    void Add1_Click();
    void CmdExit_Click();
    void CmdFind_Click();
    void MyRefresh_Click();
    void UseFilter_Click();
    void OptDates_Click();
    void OptLen_Click();
    void OptArchives_Click();
    void OptChecksums_Click();
    void SetDrive_Click();
    void Extension_TxtBox_LostFocus();
    void TextDesc_LostFocus();
    // Where the search window's "&Add CD to Catalogue" leaves the focus.
    void focusDescription();
    void TextKeyword_LostFocus();
    void hlp_Click();
    void About_Click();
    void DBFile_Click();
    // Re-reads the drive, directory and file lists; false when the drive can
    // no longer be read and the user gave up on it.
    bool CheckDrive();

    bool Busy = false;
    bool CancelFlag = false;
    // The label of the chosen drive, as TxtVol shows it.
    QString CurVolume;
    // DirList and the counts of the last add.
    VolumeAdd& add() { return *m_add; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void placeControls();
    void selectDrive(const QString& drive);
    QString currentDrive() const;
    void refreshDrives();
    void fallBackToSystemDrive();
    // Lists the files of `directory` and names the open directory in the status.
    void showFilesOf(const QString& directory);
    // Names the catalogued volume the open directory is, if it is one.
    void showCatalogued();
    // Cut to the line's width with "…"; the whole text is its tool tip.
    void fitCatalogued();
    void writeGeometry();
    // Drive prompt B; true when the user chose Retry.
    bool askDefaultDrive(const Error& error);

    // AddControls
    void setBusyPointer(bool busy) override;
    void setExitCaption(const QString& caption) override;
    void enableButtons(bool enabled) override;

    AppState& m_state;
    QComboBox* Drive1;
    DirectoryList* Dir1;
    FileList* File1;
    QLineEdit* TxtVol;
    QLabel* Labelvol;
    QLineEdit* Extension_TxtBox;
    QLabel* Filter;
    QLineEdit* TextDesc;
    QLabel* Label2;
    QLineEdit* TextKeyword;
    QLabel* Labelkeyw;
    QLabel* Label1;
    QLabel* Label3;
    QLabel* LblCatalogued;
    QPushButton* Add1;
    QPushButton* CmdFind;
    QPushButton* CmdExec;
    QPushButton* MyRefresh;
    QPushButton* CmdExit;
    QAction* UseFilter;
    QAction* OptLen;
    QAction* OptDates;
    QAction* OptArchives;
    QAction* OptChecksums;
    QAction* SetDrive;
    QAction* About;
    QAction* DBFile;
    MainLayout m_layout = designLayout();
    QString m_catalogued; // LblCatalogued's whole text
    std::unique_ptr<LabelProgress> m_progress;
    std::unique_ptr<VolumeAdd> m_add;
    bool m_loaded = false;
    WindowActivation m_activation;
};

} // namespace orvik
