#include "exchange/CatalogueExchange.h"

#include "core/Error.h"
#include "core/Progress.h"
#include "exchange/CsvFormat.h"
#include "exchange/EfuFormat.h"
#include "exchange/ExportOutput.h"
#include "exchange/ExportScan.h"
#include "exchange/HtmlFormat.h"
#include "exchange/ImportWriter.h"
#include "exchange/JsonFormat.h"

#include <cerrno>

namespace orvik {

namespace {

// Counts what passes on to the format's sink.
class CountingSink : public ExportSink {
public:
    explicit CountingSink(ExportSink& next) : m_next(next) {}
    void begin(const QByteArray& catalogue) override { m_next.begin(catalogue); }
    void volume(const ExportedVolume& volume) override {
        ++volumes;
        m_next.volume(volume);
    }
    void directory(const QByteArray& path) override { m_next.directory(path); }
    void file(const ExportedFile& file) override {
        ++records;
        m_next.file(file);
    }
    void end() override { m_next.end(); }
    std::int64_t volumes = 0, records = 0;

private:
    ExportSink& m_next;
};

std::unique_ptr<ExportSink> sinkFor(ExchangeFormat format, ExportOutput& out) {
    switch (format) {
    case ExchangeFormat::Csv:
        return csvExport(out);
    case ExchangeFormat::Json:
        return jsonExport(out);
    case ExchangeFormat::Html:
        return htmlExport(out);
    case ExchangeFormat::Efu:
        return efuExport(out);
    }
    return nullptr;
}

} // namespace

ExchangeResult exportCatalogue(engine::Catalogue& db, const QString& catalogueName,
                               const ExportRequest& request, Progress& progress,
                               const bool& cancelFlag) {
    ExportOutput out(request.file);
    const auto format = sinkFor(request.format, out);
    CountingSink counting(*format);
    ExchangeResult result;
    if (!scanForExport(db, catalogueName, request.volumeRecord, counting, progress, cancelFlag)) {
        result.cancelled = true;
        return result;
    }
    out.commit();
    result.volumes = counting.volumes;
    result.records = counting.records;
    return result;
}

ExchangeFormat importFormat(const ImportRequest& request) {
    const auto format = request.format ? request.format : formatOfFile(request.file);
    if (!format || *format == ExchangeFormat::Html)
        throw Error(EINVAL, unknownFormatText(request.file, true));
    return *format;
}

ExchangeResult importFile(engine::Catalogue& db, const ImportRequest& request, Progress& progress,
                          const bool& cancelFlag, const std::function<bool()>& waiting) {
    const ExchangeFormat format = importFormat(request);
    ExchangeResult result;
    ImportWriter writer(db, request.file, progress, cancelFlag, waiting);
    if (!writer.began()) {
        result.cancelled = true;
        return result;
    }
    try {
        if (format == ExchangeFormat::Csv)
            csvImport(request.file, writer);
        else if (format == ExchangeFormat::Json)
            jsonImport(request.file, writer);
        else
            efuImport(request.file, request.description, request.keywords, writer);
        if (cancelFlag) throw ImportCancelled{};
        writer.commit();
    } catch (const ImportCancelled&) {
        result.cancelled = true;
        return result;
    }
    result.volumes = writer.volumes();
    result.records = writer.records();
    return result;
}

} // namespace orvik
