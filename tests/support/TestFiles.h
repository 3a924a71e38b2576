// Real files and catalogues read back, for the tests of every folder.
#pragma once

#include "core/engine/Catalogue.h"
#include "core/engine/CatalogueTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <utime.h>
#include <vector>

namespace orvik::test {

// Creates `path` (and its folders) holding `size` bytes; `modified` in seconds
// since the epoch when not negative.
inline void makeFile(const QString& path, qint64 size = 0, qint64 modified = -1) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(QByteArray(size, 'x'));
    file.close();
    if (modified < 0) return;
    const utimbuf times{time_t(modified), time_t(modified)};
    ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
}

// The bytes of `path` (none when it cannot be read), and `path` holding `bytes`.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        << path.toStdString();
}

// Gives `path` other `bytes`, keeping its modification time as touch -r does.
inline void rewriteKeepingDate(const QString& path, const QByteArray& bytes) {
    const QString saved = path + ".date";
    ASSERT_EQ(QProcess::execute("touch", {"-r", path, saved}), 0);
    writeFile(path, bytes);
    ASSERT_EQ(QProcess::execute("touch", {"-r", saved, path}), 0);
    ASSERT_TRUE(QFile::remove(saved));
}

// Every record of the catalogue file in append order.
inline std::vector<engine::Row> readCatalogue(const QString& file) {
    engine::Catalogue db(file);
    engine::Statement select(db, "SELECT CDVolume, CDDescription, CDFile, CDFileDate, CDPath, "
                                 "CDFileLen, CDKeywords FROM CDTable ORDER BY rowid");
    std::vector<engine::Row> rows;
    while (select.step()) {
        rows.emplace_back();
        for (int i = 0; i < engine::FieldCount; ++i)
            rows.back()[size_t(i)] = select.value(i);
    }
    return rows;
}

// What SQLite's integrity check says of the catalogue file: "ok" when it is sound.
inline QString integrity(const QString& file) {
    engine::Catalogue db(file);
    engine::Statement check(db, "PRAGMA integrity_check");
    return check.step() ? check.text(0) : QString();
}

// A PDF read back by poppler's tools: pdftotext's lines (blanks run together,
// the page breaks dropped) and one field of pdfinfo ("Pages", "Page size").
inline QString popplerOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << tool.toStdString() << " (poppler-utils)";
    return QString::fromUtf8(process.readAllStandardOutput());
}
inline QStringList pdfLines(const QString& pdf) {
    QStringList lines;
    for (const QString& line : popplerOutput("pdftotext", {"-layout", pdf, "-"}).split('\n'))
        if (!line.trimmed().isEmpty()) lines << line.simplified();
    return lines;
}
inline QString pdfInfo(const QString& pdf, const QString& field) {
    for (const QString& line : popplerOutput("pdfinfo", {pdf}).split('\n'))
        if (line.startsWith(field + ':')) return line.mid(field.size() + 1).trimmed();
    return {};
}
// The words of a PDF as pdftotext -bbox reads them: each with its box and the
// size of its page, in points from the page's top left corner.
struct PdfWord {
    QString text;
    QRectF box;
    QSizeF page;
};
inline std::vector<PdfWord> pdfWords(const QString& pdf) {
    static const QRegularExpression number(R"re((\w+)="([\d.]+)")re"), text(R"re(>(.*)</word>)re");
    std::vector<PdfWord> words;
    QSizeF page;
    for (const QString& line : popplerOutput("pdftotext", {"-bbox", pdf, "-"}).split('\n')) {
        QMap<QString, double> at;
        for (const QRegularExpressionMatch& value : number.globalMatch(line))
            at[value.captured(1)] = value.captured(2).toDouble();
        if (line.contains("<page "))
            page = QSizeF(at["width"], at["height"]);
        else if (line.contains("<word "))
            words.push_back(
                {text.match(line).captured(1),
                 QRectF(QPointF(at["xMin"], at["yMin"]), QPointF(at["xMax"], at["yMax"])), page});
    }
    return words;
}
inline QStringList simplified(QStringList lines) {
    for (QString& line : lines)
        line = line.simplified();
    return lines;
}

} // namespace orvik::test
