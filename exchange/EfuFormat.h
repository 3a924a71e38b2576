// The file list of the Everything search tool: "Filename,Size,Date
// Modified,Date Created,Attributes", dates as FILETIME (100-ns ticks since
// 1601-01-01 UTC), directories as lines of their own with attribute 16.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace orvik {

class ExportOutput;
class ExportSink;
class ImportWriter;

// A stored local date as FILETIME, and back; none for what is no date.
std::optional<std::uint64_t> fileTimeOf(const QByteArray& storedDate);
QByteArray storedDateOf(std::uint64_t fileTime);

std::unique_ptr<ExportSink> efuExport(ExportOutput& out);
// The whole list as one volume labelled with the file's name (without its
// extension), described by `description` (the name too when empty).
void efuImport(const QString& file, const QString& description, const QString& keywords,
               ImportWriter& writer);

} // namespace orvik
