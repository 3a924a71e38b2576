#include "tests/support/CatalogueWriter.h"

#include "core/CatalogueFiles.h"
#include "core/engine/Catalogue.h"

#include <QFileInfo>

namespace orvik::test {
namespace {

QString append(engine::Recordset& rs, const engine::Row& row) {
    rs.AddNew();
    for (engine::Field field : engine::AllFields)
        rs.setField(field, row[size_t(field)]);
    rs.Update();
    return rs.LastModified();
}

} // namespace

TestDirectory directory(const QString& path, const QStringList& names) {
    TestDirectory d{path, {}};
    for (const QString& name : names)
        d.files.push_back({name, std::nullopt, std::nullopt});
    return d;
}

CatalogueWriter::CatalogueWriter(AppState& state) {
    int status = 1;
    if (!QFileInfo::exists(state.catalogueFile())) CreateCatalogue(state, status);
    m_db = state.workspace().OpenDatabase(state.catalogueFile());
    m_rs = std::make_unique<engine::Recordset>(m_db, engine::RecordsetType::Dynaset);
}

QString CatalogueWriter::addRun(const QString& volume, const QString& description,
                                const QString& keywords,
                                const std::vector<TestDirectory>& directories) {
    QString head;
    engine::Transaction transaction(*m_db);
    for (const TestDirectory& dir : directories)
        for (const TestFile& file : dir.files) {
            const bool first = head.isEmpty();
            const auto onHead = [first](const QString& value) {
                return first ? Text(value) : Text();
            };
            const Text path = &file == &dir.files.front() ? Text(dir.path) : Text();
            const QString bookmark =
                append(*m_rs, {onHead(volume), onHead(description), file.name, file.date, path,
                               file.length, keywords.isEmpty() ? Text() : onHead(keywords)});
            if (first) head = bookmark;
        }
    transaction.commit();
    return head;
}

QString CatalogueWriter::addRecord(Text volume, Text description, Text file, Text path,
                                   Text keywords) {
    return append(*m_rs, {volume, description, file, {}, path, {}, keywords});
}

} // namespace orvik::test
