// The browse window: every volume of the current catalogue as a tree of its
// directories and files, read from the catalogue alone, so a disc can be
// looked through while it is elsewhere. Opening reads the volume heads only;
// expanding a volume reads its own run. A file opens the details window.
#pragma once

#include "core/ui/WindowActivation.h"
#include "search/VolumeTreeModel.h"

#include <QWidget>
#include <functional>

class QPushButton;
class QTreeView;

namespace orvik {

class AppState;

class FormBrowse : public QWidget {
    Q_OBJECT
public:
    // `busy` tells when the opener's query reads the shared recordset, which
    // the details window would move under it.
    FormBrowse(AppState& state, QWidget* opener, std::function<bool()> busy = {});
    ~FormBrowse() override;

    // Shows the opener's browse window, loading it when it is not open.
    static FormBrowse& showFor(AppState& state, QWidget& opener, std::function<bool()> busy = {});

    VolumeTreeModel& volumes() { return m_model; }

    void Form_Load();
    void Form_Activate();
    void Form_Deactivate();
    void Form_Unload();
    void TreeVolumes_Expand(const QModelIndex& index);
    void TreeVolumes_DblClick(const QModelIndex& index);
    void CmdExit_Click();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    // Rereads the volume heads: a volume still there keeps what was read below it.
    void readVolumes();

    AppState& m_state;
    std::function<bool()> m_busy;
    VolumeTreeModel m_model;
    WindowActivation m_activation;
    QString m_shownCatalogue; // the catalogue whose volumes the tree shows
    bool m_justLoaded = false;

    QTreeView* TreeVolumes = nullptr;
    QPushButton* CmdExit = nullptr;
};

} // namespace orvik
