#include "CatalogueWriter.h"

#include "AppState.h"
#include "CatalogueFiles.h"
#include "engine/Database.h"
#include "engine/Recordset.h"

#include <QFileInfo>

namespace orvik::test {

using engine::Field;

TestDirectory directory(const QString& path, const QStringList& names) {
    TestDirectory d{path, {}};
    for (const QString& name : names)
        d.files.push_back({name, std::nullopt, std::nullopt});
    return d;
}

CatalogueWriter::CatalogueWriter(AppState& state) {
    if (!QFileInfo::exists(state.catalogueFile())) {
        int status = 1;
        CreateCatalogue(state, status);
    }
    m_db = state.workspace().OpenDatabase(state.catalogueFile());
    m_rs = std::make_unique<engine::Recordset>(m_db, engine::RecordsetType::Dynaset);
}

CatalogueWriter::~CatalogueWriter() {
    m_rs.reset();
    m_db.reset();
}

QString CatalogueWriter::addRun(const QString& volume, const QString& description,
                                const QString& keywords,
                                const std::vector<TestDirectory>& directories) {
    QString head;
    engine::Transaction transaction(*m_db);
    for (const TestDirectory& dir : directories) {
        bool directoryHead = true;
        for (const TestFile& file : dir.files) {
            const bool volumeHead = head.isEmpty();
            m_rs->AddNew();
            if (volumeHead) {
                m_rs->setField(Field::CDVolume, volume);
                m_rs->setField(Field::CDDescription, description);
                if (!keywords.isEmpty()) m_rs->setField(Field::CDKeywords, keywords);
            }
            if (directoryHead) m_rs->setField(Field::CDPath, dir.path);
            m_rs->setField(Field::CDFile, file.name);
            m_rs->setField(Field::CDFileDate, file.date);
            m_rs->setField(Field::CDFileLen, file.length);
            m_rs->Update();
            if (volumeHead) head = m_rs->LastModified();
            directoryHead = false;
        }
    }
    transaction.commit();
    return head;
}

QString CatalogueWriter::addRecord(std::optional<QString> volume,
                                   std::optional<QString> description, std::optional<QString> file,
                                   std::optional<QString> path, std::optional<QString> keywords) {
    m_rs->AddNew();
    m_rs->setField(Field::CDVolume, volume);
    m_rs->setField(Field::CDDescription, description);
    m_rs->setField(Field::CDFile, file);
    m_rs->setField(Field::CDPath, path);
    m_rs->setField(Field::CDKeywords, keywords);
    m_rs->Update();
    return m_rs->LastModified();
}

} // namespace orvik::test
