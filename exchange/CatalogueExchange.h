// Export of a catalogue to a file (or standard output) and import of a file
// into a catalogue: the operations the command line and the catalogue
// selection window present. Progress shows the records done; Cancel (the
// flag) stops either with nothing changed: no file written, no record added.
#pragma once

#include "exchange/ExchangeFormat.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace orvik {

class Progress;
namespace engine {
class Catalogue;
}

struct ExportRequest {
    ExchangeFormat format = ExchangeFormat::Csv;
    QString file;                             // empty: standard output
    std::optional<std::int64_t> volumeRecord; // the volume holding this record alone
};

struct ImportRequest {
    QString file;
    std::optional<ExchangeFormat> format; // by the file's extension when none
    QString description, keywords;        // the volume's, for an EFU list
};

struct ExchangeResult {
    bool cancelled = false;
    std::int64_t volumes = 0, records = 0;
};

// Never writes the catalogue. Throws Error on a failure (the target is then
// as it was).
ExchangeResult exportCatalogue(engine::Catalogue& db, const QString& catalogueName,
                               const ExportRequest& request, Progress& progress,
                               const bool& cancelFlag);

// The format an import of `request` reads; throws Error naming the formats
// known when there is none.
ExchangeFormat importFormat(const ImportRequest& request);

// One transaction: a malformed line (named with its file, line and field),
// a failure or Cancel leave the catalogue as it was. `waiting` as for the
// add, while another program writes; a write given up is cancelled.
ExchangeResult importFile(engine::Catalogue& db, const ImportRequest& request, Progress& progress,
                          const bool& cancelFlag, const std::function<bool()>& waiting = {});

} // namespace orvik
