// The signature check before the archive library's detection: every format
// and compression the library writes must still be found an archive, with
// the members it holds, and the check must spare the files that are none.
#include "catalogue/ArchiveSignatures.h"
#include "catalogue/ArchiveReader.h"

#include <QTemporaryDir>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <string>

namespace orvik {
namespace {

// Writes one member, "DIR/NAME.TXT", in `format` compressed by `filter`
// (the library's names, "" for none); false when the library lacks it here.
bool writeArchive(const QString& path, const char* format, const char* filter) {
    archive* a = archive_write_new();
    bool made = archive_write_set_format_by_name(a, format) == ARCHIVE_OK &&
                (!*filter || archive_write_add_filter_by_name(a, filter) == ARCHIVE_OK) &&
                archive_write_open_filename(a, path.toLocal8Bit().constData()) == ARCHIVE_OK;
    if (made) {
        const std::string text(3000, 'x');
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, "DIR/NAME.TXT");
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, la_int64_t(text.size()));
        made = archive_write_header(a, entry) == ARCHIVE_OK &&
               archive_write_data(a, text.data(), text.size()) == la_ssize_t(text.size());
        archive_entry_free(entry);
        made = archive_write_close(a) == ARCHIVE_OK && made;
    }
    archive_write_free(a);
    return made;
}

TEST(ArchiveSignatures, everyFormatAndCompressionTheLibraryWritesIsStillFoundAnArchive) {
    QTemporaryDir dir;
    int tried = 0;
    const char* formats[] = {"7zip",  "ar",     "cpio",  "odc",  "newc", "iso9660", "pax", "paxr",
                             "ustar", "gnutar", "v7tar", "warc", "xar",  "zip",     "bin"};
    const char* filters[] = {"b64encode", "bzip2", "compress", "grzip",    "gzip", "lrzip", "lz4",
                             "lzip",      "lzma",  "lzop",     "uuencode", "xz",   "zstd"};
    auto check = [&](const char* format, const char* filter) {
        const QString path = dir.filePath(QString("%1.%2").arg(format, filter));
        if (!writeArchive(path, format, filter)) return;
        ++tried;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray block = file.read(64 * 1024);
        EXPECT_TRUE(mayBeArchive(block.constData(), size_t(block.size())))
            << format << " " << filter;
        const ArchiveContents contents = readArchive(path, file.size());
        EXPECT_TRUE(contents.isArchive) << format << " " << filter;
    };
    for (const char* format : formats)
        check(format, "");
    for (const char* filter : filters)
        check("ustar", filter);
    EXPECT_GE(tried, 20) << "the library here writes fewer formats than expected";
}

TEST(ArchiveSignatures, anEncodedArchiveAfterLinesOfTextIsFoundWhereverItsLineBegins) {
    // "begin" at every place in and across the blocks the check reads at once.
    for (const char* end : {"\n", "\r\n", "\r"})
        for (int before = 0; before < 48; ++before) {
            const QByteArray text = QByteArray(before, 'b') + end + "begin 644 a\n" +
                                    QByteArray("bbbbbbbbbbbb\n").repeated(before % 2);
            EXPECT_TRUE(mayBeArchive(text.constData(), size_t(text.size())))
                << before << " " << QByteArray(end).toHex().toStdString();
            QByteArray midLine = text;
            midLine.replace(end, " ");
            EXPECT_FALSE(mayBeArchive(midLine.constData(), size_t(midLine.size()))) << before;
        }
}

TEST(ArchiveSignatures, filesOfTextAndOtherDataAreSparedTheLibrary) {
    const QByteArray text = QByteArray("catalogue disc file orvik the of archive\n").repeated(100);
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7919 + 13) % 251 + 1);
    QByteArray jpeg = "\xff\xd8\xff\xe0" + binary;
    for (const QByteArray& data : {text, binary, jpeg, QByteArray("%PDF-1.4\n") + text})
        EXPECT_FALSE(mayBeArchive(data.constData(), size_t(data.size())))
            << data.left(8).toHex().toStdString();
}

} // namespace
} // namespace orvik
