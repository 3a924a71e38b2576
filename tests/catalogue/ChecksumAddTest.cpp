// The add computing checksums, through the main window's option and through
// the add itself: what it keeps, and what Cancel leaves.
#include "tests/catalogue/CatalogueFixture.h"

#include "core/engine/Checksums.h"
#include "tests/support/TreeAdd.h"

#include <QAction>
#include <QFile>
#include <cstring>

namespace orvik::test {
namespace {

// Cancels the add at the first status that begins with `from`, or at the
// first chance it gives the events to run when `from` is empty.
struct CancellingProgress : Progress {
    explicit CancellingProgress(const QString& from = {}) : from(from) {}
    void status(const QString& text) override {
        seen |= !from.isEmpty() && text.startsWith(from);
        cancel |= seen;
    }
    void letEventsRun() override { cancel |= from.isEmpty(); }
    const QString from;
    bool seen = false, cancel = false;
};

class ChecksumAdd : public MainWindowTest {
protected:
    // Adds the disc headless with `options`, cancelled as `progress` says.
    VolumeAdd::Result add(CancellingProgress& progress, AddOptions options) {
        bool busy = false;
        VolumeAdd add(app.state(), progress, app.prompt(), busy, progress.cancel, nullptr,
                      [options] { return options; });
        add.CurDescription = "Cancelled";
        return add.run(disc, {});
    }
    int checksumCount() {
        engine::Catalogue db(app.state().catalogueFile());
        if (!engine::hasChecksumTable(db)) return 0;
        engine::Statement count(db, "SELECT count(*) FROM CDChecksum");
        count.step();
        return int(count.integer(0));
    }
};

TEST_F(ChecksumAdd, theOptionIsOffOnAFreshInstallAndOnceClickedIsSavedAndEveryFileGetsAChecksum) {
    makeFile(disc + "/a.txt", 10);
    makeFile(disc + "/sub/b.txt", 20);
    openWindow(true, true, false);
    QAction* option = child<QAction>("OptChecksums");
    EXPECT_FALSE(option->isChecked());
    addDisc("Plain");
    EXPECT_EQ(records().size(), 2u);
    EXPECT_EQ(checksumCount(), 0);

    option->trigger();
    EXPECT_TRUE(option->isChecked());
    EXPECT_EQ(app.state().settings().get("SaveChecksums", ""), "True");
    addDisc("Hashed");
    EXPECT_EQ(records().size(), 4u);
    EXPECT_EQ(checksumCount(), 2);
    engine::Catalogue db(app.state().catalogueFile());
    EXPECT_FALSE(engine::readVolumeIdentity(db, 1)->saveChecksums);
    EXPECT_TRUE(engine::readVolumeIdentity(db, 3)->saveChecksums);
}

TEST_F(ChecksumAdd, cancelWhileTheFilesAreReadLeavesTheCatalogueAsItWas) {
    makeFile(disc + "/small.txt", 10);
    openWindow(true, true, false);
    addDisc("Before");
    form.reset();
    const QByteArray before = fileBytes(app.state().catalogueFile());
    ASSERT_FALSE(before.isEmpty());
    // Long enough to read that the writer is done with its records first.
    QFile big(disc + "/big.bin");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(512) << 20));
    big.close();

    CancellingProgress progress("Computing checksums: ");
    EXPECT_EQ(add(progress, {true, true, "False", {}, false, true}), VolumeAdd::Result::Cancelled);
    EXPECT_TRUE(progress.seen);
    EXPECT_EQ(fileBytes(app.state().catalogueFile()), before);
}

// A tar of one member of a terabyte, a hole of the file system but for its
// GNU header: reading it through takes minutes.
void makeHugeTar(const QString& path) {
    constexpr qint64 Size = qint64(1) << 40;
    QByteArray header(512, '\0');
    auto put = [&header](int at, const char* text) {
        std::memcpy(header.data() + at, text, std::strlen(text));
    };
    put(0, "HUGE.BIN");
    put(100, "0000644");
    put(108, "0000000");
    put(116, "0000000");
    header[124] = char(0x80); // the size in base 256
    for (int i = 0; i < 8; ++i)
        header[135 - i] = char((Size >> (8 * i)) & 0xFF);
    put(136, "00000000000");
    put(156, "0");
    put(257, "ustar  ");
    put(148, "        ");
    unsigned sum = 0;
    for (const char c : header)
        sum += static_cast<unsigned char>(c);
    put(148, (QByteArray::number(sum, 8).rightJustified(6, '0') + '\0').constData());
    QFile tar(path);
    ASSERT_TRUE(tar.open(QIODevice::WriteOnly));
    ASSERT_EQ(tar.write(header), 512);
    ASSERT_TRUE(tar.resize(512 + Size + 1024));
}

TEST_F(ChecksumAdd, cancelWhileAnArchivesMemberIsReadEndsTheAddWithoutReadingItThrough) {
    makeHugeTar(disc + "/huge.tar");
    CancellingProgress progress;
    EXPECT_EQ(add(progress, {true, true, "False", {}, true, true}), VolumeAdd::Result::Cancelled);
    EXPECT_TRUE(records().empty());
}

} // namespace
} // namespace orvik::test
