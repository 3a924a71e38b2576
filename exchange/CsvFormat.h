// Orvik's CSV (RFC 4180, UTF-8, a header line): one line per record with its
// resolved owners and its volume's identity.
#pragma once

#include <QString>
#include <memory>

namespace orvik {

class ExportOutput;
class ExportSink;
class ImportWriter;

std::unique_ptr<ExportSink> csvExport(ExportOutput& out);
// Reads `file` into `writer`, volume by volume: a line begins a new volume
// when its volume_bookmark differs from the line before (or, without that
// column, its label, description, location or scan time).
void csvImport(const QString& file, ImportWriter& writer);

} // namespace orvik
