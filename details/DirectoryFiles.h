// The files of the current record's directory, as the details window lists
// them: from the directory head up to the next record that carries a path.
#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace orvik {

class AppState;
namespace engine {
class Recordset;
}

struct DirectoryFile {
    QString name, date, length; // "" where Null
};

struct DirectoryListing {
    std::vector<DirectoryFile> files; // the head first, in catalogue order
    // The row of the record `CurrentPosition` names; none when it is not listed.
    std::optional<int> currentRow;
};

// Lists the directory of the record the recordset stands on, which must be
// the one `CurrentPosition` names; leaves the recordset back on it. Without a
// head before it the listing starts at the record itself. Throws orvik::Error.
DirectoryListing listDirectory(AppState& state, engine::Recordset& rs);

} // namespace orvik
