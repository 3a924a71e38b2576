// The main window of the catalogue tests on a test application, with a real
// directory tree in a temp folder standing for the disc.
#pragma once

#include "catalogue/FormMain.h"
#include "core/Startup.h"
#include "core/platform/LinuxFileSystem.h"
#include "tests/support/TestApp.h"
#include "tests/support/TestFiles.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cerrno>
#include <memory>

namespace orvik::test {

// The real file system, except that a directory named "refused" is refused
// for permission, as the system refuses a root-owned one to an ordinary user.
class RefusingFileSystem : public LinuxFileSystem {
protected:
    std::vector<DirEntry> listEntries(const QString& directory, bool examineFiles) const override {
        if (QFileInfo(QDir::cleanPath(directory)).fileName() == "refused")
            throw AccessDenied(EACCES, QStringLiteral("Permission denied"));
        return LinuxFileSystem::listEntries(directory, examineFiles);
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(disc)); }

    // Stores the three add options, then opens the window as showWindow does.
    void openWindow(bool dates, bool lengths, bool filter, const QString& label = "games1") {
        Settings& settings = app.state().settings();
        settings.saveBool("SaveDates", dates);
        settings.saveBool("SaveLengths", lengths);
        settings.saveBool("UseFilter", filter);
        showWindow(label);
    }
    // Settles start-up with `disc` as a CD-ROM labelled `label` and opens the
    // main window on it.
    void showWindow(const QString& label = "games1") {
        app.drives().types.insert(disc, DriveCdRom);
        app.drives().labels.insert(disc, label);
        settleStartup(app.state());
        form = std::make_unique<FormMain>(app.state());
        form->Form_Activate();
    }
    // Types the description and keywords and clicks Add1.
    void addDisc(const QString& description, const QString& keywords = {}) {
        child<QLineEdit>("TextDesc")->setText(description);
        child<QLineEdit>("TextKeyword")->setText(keywords);
        child("Add1")->click();
    }
    std::vector<engine::Row> records() { return readCatalogue(app.state().catalogueFile()); }
    // One field of every record, "<Null>" where it is Null.
    QStringList column(engine::Field field) {
        QStringList values;
        for (const auto& row : records())
            values << row[size_t(field)].value_or(QStringLiteral("<Null>"));
        return values;
    }
    QString status() const { return child<QLabel>("Label1")->text(); }
    template <class T = QPushButton> T* child(const char* name) const {
        return form->findChild<T*>(name);
    }
    // The disc's directory as stored: upper case, ending in "/".
    QString stored(const QString& relative = {}) const {
        return (relative.isEmpty() ? disc : disc + '/' + relative).toUpper() + '/';
    }

    TestApp app{std::make_unique<RefusingFileSystem>()};
    QTemporaryDir discs;
    const QString disc = discs.path() + "/disc"; // the tree's root, standing for a whole disc
    std::unique_ptr<FormMain> form;
};

} // namespace orvik::test
