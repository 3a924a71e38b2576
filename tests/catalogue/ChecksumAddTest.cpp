// The add computing checksums, through the main window's option and through
// the add itself: what it keeps, and what Cancel leaves, also while an
// archive is read.
#include "tests/catalogue/CatalogueFixture.h"

#include "core/engine/Checksums.h"
#include "tests/support/TreeAdd.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <cstring>
#include <zlib.h>

namespace orvik::test {
namespace {

// Cancels the add at the first status that begins with `from`; when `from`
// is empty, once the add has been under way for half a second, long enough
// that a reader of the disc's one archive is deep inside it.
struct CancellingProgress : Progress {
    explicit CancellingProgress(const QString& from = {}) : from(from) { since.start(); }
    void status(const QString& text) override {
        seen |= !from.isEmpty() && text.startsWith(from);
        cancel |= seen;
    }
    void letEventsRun() override { cancel |= from.isEmpty() && since.elapsed() > 500; }
    const QString from;
    bool seen = false, cancel = false;
    QElapsedTimer since;
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

constexpr qint64 HugeMember = qint64(1) << 40;

// The GNU header of a tar's one member of a terabyte.
QByteArray hugeTarHeader() {
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
        header[135 - i] = char((HugeMember >> (8 * i)) & 0xFF);
    put(136, "00000000000");
    put(156, "0");
    put(257, "ustar  ");
    put(148, "        ");
    unsigned sum = 0;
    for (const char c : header)
        sum += static_cast<unsigned char>(c);
    put(148, (QByteArray::number(sum, 8).rightJustified(6, '0') + '\0').constData());
    return header;
}

// The tar, a hole of the file system but for its header: reading it through
// takes minutes.
void makeHugeTar(const QString& path) {
    QFile tar(path);
    ASSERT_TRUE(tar.open(QIODevice::WriteOnly));
    ASSERT_EQ(tar.write(hugeTarHeader()), 512);
    ASSERT_TRUE(tar.resize(512 + HugeMember + 1024));
}

// The tar gzipped, its member's zeros a hole in the middle of the stream: in
// a deflate block of their own, zeros are matches whose codes are all zero
// bits, and each zero byte more of the stream is 1,032 more of the member.
// Decompressing it takes minutes.
void makeHugeTarGz(const QString& path) {
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    QByteArray stream;
    auto deflateAll = [&](QByteArray in, int flush) {
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = uInt(in.size());
        char out[1 << 16];
        do {
            z.next_out = reinterpret_cast<Bytef*>(out);
            z.avail_out = sizeof out;
            deflate(&z, flush);
            stream.append(out, qsizetype(sizeof out - z.avail_out));
        } while (z.avail_out == 0);
    };
    deflateAll(hugeTarHeader(), Z_FULL_FLUSH);
    const qsizetype zerosFrom = stream.size();
    deflateAll(QByteArray(1 << 16, '\0'), Z_FINISH);
    deflateEnd(&z);
    qsizetype longest = 0, middle = 0;
    for (qsizetype at = zerosFrom, run = 0; at < stream.size(); ++at) {
        run = stream[at] == 0 ? run + 1 : 0;
        if (run > longest) longest = run, middle = at - run / 2;
    }
    ASSERT_GT(longest, 32);
    QFile tar(path);
    ASSERT_TRUE(tar.open(QIODevice::WriteOnly));
    ASSERT_EQ(tar.write(stream.left(middle)), middle);
    ASSERT_TRUE(tar.seek(middle + (qint64(1) << 30)));
    ASSERT_EQ(tar.write(stream.mid(middle)), stream.size() - middle);
}

TEST_F(ChecksumAdd, cancelWhileAnArchivesMemberIsReadEndsTheAddWithoutReadingItThrough) {
    makeHugeTar(disc + "/huge.tar");
    CancellingProgress progress;
    EXPECT_EQ(add(progress, {true, true, "False", {}, true, true}), VolumeAdd::Result::Cancelled);
    EXPECT_TRUE(records().empty());
}

TEST_F(ChecksumAdd, cancelWhileACompressedArchivesMemberIsPassedOverEndsTheAdd) {
    makeHugeTarGz(disc + "/huge.tar.gz");
    CancellingProgress progress;
    EXPECT_EQ(add(progress, {true, true, "False", {}, true, false}), VolumeAdd::Result::Cancelled);
    EXPECT_TRUE(records().empty());
}

} // namespace
} // namespace orvik::test
