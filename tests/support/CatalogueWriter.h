// Writes test catalogues straight through the engine, following the sparse
// rules of the add: the volume head carries label, description and keywords,
// each directory head its path, every other field stays Null.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace orvik {
class AppState;
namespace engine {
class Database;
class Recordset;
} // namespace engine
} // namespace orvik

namespace orvik::test {

struct TestFile {
    QString name;
    std::optional<QString> date;   // "YYYY-MM-DD HH:MM:SS"
    std::optional<QString> length; // decimal text
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
    ~CatalogueWriter();

    // Appends one volume run; returns the bookmark of its head.
    QString addRun(const QString& volume, const QString& description, const QString& keywords,
                   const std::vector<TestDirectory>& directories);
    // Appends one record with exactly these fields (Null where nullopt).
    QString addRecord(std::optional<QString> volume, std::optional<QString> description,
                      std::optional<QString> file, std::optional<QString> path,
                      std::optional<QString> keywords);

    engine::Recordset& recordset() { return *m_rs; }

private:
    std::shared_ptr<engine::Database> m_db;
    std::unique_ptr<engine::Recordset> m_rs;
};

} // namespace orvik::test
