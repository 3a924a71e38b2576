#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"
#include "core/engine/Recordset.h"
#include "core/engine/Workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvik::engine;

namespace {

// Appends files named `names` in one transaction of `db`, whose commit takes
// them into the file index.
void addIndexed(Catalogue& db, std::initializer_list<const char*> names) {
    Transaction transaction(db);
    for (const char* name : names)
        db.exec(
            (QByteArray("INSERT INTO CDTable (CDFile, CDPath) VALUES ('") + name + "', '/FILES/')")
                .constData());
    transaction.commit();
}

} // namespace

// A find that knows its few candidates from the index asks the index again
// once another program has indexed records since.
TEST(FileMatch, goesOnWithWhatAnotherProgramIndexedMeanwhile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("TEST.mdb");
    Workspace workspace;
    const auto db = workspace.CreateDatabase(path);
    createCatalogueTable(*db);
    addIndexed(*db, {"OTHER.TXT", "ABCXYZ1.TXT", "MORE.TXT"});

    Recordset reader(db, RecordsetType::Dynaset);
    const auto criterion = Criterion::FileOrPathLike("*ABCXYZ*");
    reader.FindFirst(criterion);
    ASSERT_FALSE(reader.NoMatch());
    EXPECT_EQ(reader.Bookmark(), "2");

    {
        Catalogue other(path);
        other.setPrepareWrites(prepareForWriting);
        addIndexed(other, {"ABCXYZ2.TXT"});
        Statement waiting(other, "SELECT count(*) FROM CDIndexAdded");
        ASSERT_TRUE(waiting.step());
        ASSERT_EQ(waiting.integer(0), 0) << "the new record is in the index itself";
    }
    reader.FindNext(criterion);
    ASSERT_FALSE(reader.NoMatch());
    EXPECT_EQ(reader.Bookmark(), "4");
}
