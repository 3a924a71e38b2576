// The benchmarks' catalogue: 1,000,000 records in 30 volume runs, directories
// of 30 files, every record with a date and a length. The file names give
// results of known sizes (see fileName in the .cpp).
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace orvik::bench {

constexpr int Records = 1'000'000;
constexpr int Runs = 30;
constexpr int FilesPerDirectory = 30;
constexpr int RunLength = Records / Runs + 1;

// Writes the catalogue file at `path`, which must not exist yet.
void buildCatalogue(const QString& path);

// One record as stored; Null where nullopt.
struct BenchRecord {
    std::optional<QString> volume, description;
    QString file, date;
    std::optional<QString> path;
    QString length;
    std::optional<QString> keywords;
};
// Writes a catalogue of `count` records at `path`, record i being `record(i)`.
void buildCatalogue(const QString& path, int count, const std::function<BenchRecord(int)>& record);

} // namespace orvik::bench
