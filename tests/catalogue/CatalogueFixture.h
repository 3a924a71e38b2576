// Helpers of the catalogue tests: real directory trees in temp folders, the
// main window on a test application, and the catalogue read back row by row.
#pragma once

#include "FormMain.h"
#include "TestApp.h"
#include "engine/CatalogueTable.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;

namespace orvik::test {

// Creates `path` (and its folders) holding `size` bytes; `modified` in seconds
// since the epoch when not negative.
void makeFile(const QString& path, qint64 size = 0, qint64 modified = -1);
void makeDir(const QString& path);

// Every record of the catalogue file in append order.
std::vector<engine::Row> readCatalogue(const QString& file);
QString show(const engine::Value& value);

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Stores the three add options, then opens the window as showWindow does.
    void openWindow(bool dates, bool lengths, bool filter, const QString& label = "games1");
    // Settles start-up with `disc` as a CD-ROM labelled `label` and opens the
    // main window on the disc.
    void showWindow(const QString& label = "games1");
    // Types the description and keywords and clicks Add1.
    void addDisc(const QString& description, const QString& keywords = {});
    std::vector<engine::Row> records() { return readCatalogue(app.state().catalogueFile()); }
    QString status() const;
    QPushButton* button(const char* name) const;
    // The disc's directory as stored: upper case, ending in "/".
    QString stored(const QString& relative = {}) const;

    TestApp app;
    QTemporaryDir discs;
    QString disc; // the tree's root, standing for a whole disc
    std::unique_ptr<FormMain> form;
};

} // namespace orvik::test
