// The engine's default workspace: opens and creates catalogue databases,
// closes them all at once, and compacts them.
// A catalogue file has one connection in the process: every reader and
// writer that opens it shares the one Catalogue.
#pragma once

#include "core/engine/Catalogue.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace orvik::engine {

class Workspace {
public:
    // The process's one open Catalogue on the file, shared; the file's name is
    // matched without regard to case, as catalogue files are.
    std::shared_ptr<Catalogue> OpenDatabase(const QString& path);
    // Creates a new database file, defined by `define`, whole or not at all:
    // it is built under a hidden name beside `path` and renamed into place
    // only when complete, so a crash never leaves a file without its table.
    // Fails when the file exists.
    std::shared_ptr<Catalogue> CreateDatabase(const QString& path,
                                              const std::function<void(Catalogue&)>& define = {});
    // Closes every database opened through this workspace (and so their recordsets).
    void Close();

    // Compacts a catalogue in place with SQLite's VACUUM, one transaction
    // through the journal: a failure or a crash leaves it as it was, and
    // another program that has the file open keeps working on the same file
    // (a copy renamed over it would leave that program writing to a
    // detached file). Fails while another program reads it, once the
    // catalogue's busy timeout has passed.
    void CompactInPlace(Catalogue& db);

private:
    std::vector<std::shared_ptr<Catalogue>> openDatabases();
    std::vector<std::weak_ptr<Catalogue>> m_databases;
};

} // namespace orvik::engine
