// Writes test catalogues straight through the engine, following the sparse
// rules of the add: the volume head carries label, description and keywords,
// each directory head its path, every other field stays Null.
#pragma once

#include "core/AppState.h"
#include "core/engine/Recordset.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace orvik::test {

using Text = std::optional<QString>; // Null where nullopt

struct TestFile {
    QString name;
    Text date, length; // "YYYY-MM-DD HH:MM:SS", decimal text
};

struct TestDirectory {
    QString path; // upper case, ending in "/"
    std::vector<TestFile> files;
};

// Files without date or length, named as given.
TestDirectory directory(const QString& path, const QStringList& names);

class CatalogueWriter {
public:
    // Creates the current catalogue of `state` when it is missing and opens it.
    explicit CatalogueWriter(AppState& state);

    // Appends one volume run; returns the bookmark of its head.
    QString addRun(const QString& volume, const QString& description, const QString& keywords,
                   const std::vector<TestDirectory>& directories);
    // Appends one record with exactly these fields; returns its bookmark.
    QString addRecord(Text volume, Text description, Text file, Text path, Text keywords);
    engine::Recordset& recordset() { return *m_rs; }

private:
    std::shared_ptr<engine::Catalogue> m_db;
    std::unique_ptr<engine::Recordset> m_rs;
};

} // namespace orvik::test
