// Orvik's JSON: one document, the catalogue's volumes (with identity,
// description, keywords and location), their directories and their files,
// written as a stream, one file a line.
#pragma once

#include <QString>
#include <memory>

namespace orvik {

class ExportOutput;
class ExportSink;
class ImportWriter;

std::unique_ptr<ExportSink> jsonExport(ExportOutput& out);
void jsonImport(const QString& file, ImportWriter& writer);

} // namespace orvik
