#include "CatalogueFixture.h"

#include "Startup.h"
#include "engine/Database.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utime.h>

namespace orvik::test {

void makeDir(const QString& path) {
    ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString();
}

void makeFile(const QString& path, qint64 size, qint64 modified) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    if (size > 0) file.write(QByteArray(size, 'x'));
    file.close();
    if (modified >= 0) {
        const utimbuf times{time_t(modified), time_t(modified)};
        ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
    }
}

std::vector<engine::Row> readCatalogue(const QString& file) {
    engine::Database db(file);
    engine::Statement select(db, "SELECT CDVolume, CDDescription, CDFile, CDFileDate, CDPath, "
                                 "CDFileLen, CDKeywords FROM CDTable ORDER BY rowid");
    std::vector<engine::Row> rows;
    while (select.step()) {
        engine::Row row;
        for (int i = 0; i < engine::FieldCount; ++i)
            row[size_t(i)] = select.value(i);
        rows.push_back(row);
    }
    return rows;
}

QString show(const engine::Value& value) {
    return value ? *value : QStringLiteral("<Null>");
}

void MainWindowTest::SetUp() {
    disc = discs.path() + QStringLiteral("/disc");
    makeDir(disc);
}

void MainWindowTest::openWindow(bool dates, bool lengths, bool filter, const QString& label) {
    Settings& settings = app.state().settings();
    settings.saveBool("SaveDates", dates);
    settings.saveBool("SaveLengths", lengths);
    settings.saveBool("UseFilter", filter);
    showWindow(label);
}

void MainWindowTest::showWindow(const QString& label) {
    app.drives().types.insert(disc, DriveCdRom);
    app.drives().labels.insert(disc, label);
    settleStartup(app.state());
    form = std::make_unique<FormMain>(app.state());
    form->Form_Activate();
}

void MainWindowTest::addDisc(const QString& description, const QString& keywords) {
    form->findChild<QLineEdit*>("TextDesc")->setText(description);
    form->findChild<QLineEdit*>("TextKeyword")->setText(keywords);
    button("Add1")->click();
}

QString MainWindowTest::status() const {
    return form->findChild<QLabel*>("Label1")->text();
}

QPushButton* MainWindowTest::button(const char* name) const {
    return form->findChild<QPushButton*>(name);
}

QString MainWindowTest::stored(const QString& relative) const {
    return (relative.isEmpty() ? disc : disc + '/' + relative).toUpper() + '/';
}

} // namespace orvik::test
