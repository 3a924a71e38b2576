// The trigram index of CDFile and CDPath (SQLite FTS5, "trigram" tokenizer):
// a file match whose pattern holds a literal run of three characters or more
// asks it for candidate records instead of reading them all, and the pattern
// matcher still decides which of them match. CDTable itself stays as it is.
//
// Triggers on CDTable note every change in two plain tables, for every
// writer, this program or another: CDIndexAdded holds the records whose
// present names the index lacks, and a find takes them all as candidates;
// CDIndexRemoved holds the names the index keeps for records since changed
// or deleted, which only cost a candidate that does not match. The notes go
// into the index when a transaction that wrote commits, in one statement:
// an FTS5 table written by every single insert would write its pending terms
// out with every statement.
#pragma once

#include <QStringList>
#include <cstdint>

namespace orvik {
class Pattern;
}

namespace orvik::engine {

class Catalogue;

// Adds the index, its notes and triggers and fills it from the records,
// unless the catalogue has them all already; then has the notes taken into
// the index before every commit of `db` that wrote. Part of preparing a
// catalogue for writing.
void addFileIndex(Catalogue& db);
// For a writer that appends with the triggers off: indexes the records
// `first` to `last`, untouched since they were appended, at once. Nothing
// when the catalogue has no index.
void indexAppended(Catalogue& db, std::int64_t first, std::int64_t last);
// For the deletion of the records `first` to `last`, in its transaction:
// the index keeps their names instead of taking them out one by one, which
// would cost about as much as the deletion. They only name records that are
// gone, and compactFileIndex() drops them once they are many.
void keepDeletedInIndex(Catalogue& db, std::int64_t first, std::int64_t last);
// For the deletion of the records `first` to `last` with the triggers off:
// forgets the notes the index holds of them, as the delete trigger and
// keepDeletedInIndex() together leave them. Nothing without an index.
void forgetDeletedInIndex(Catalogue& db, std::int64_t first, std::int64_t last);
// Part of compacting a catalogue: rebuilds the index from the records once
// it names at least as many deleted records as present ones, so it never
// grows past about twice its size; below that it is left as it is.
void compactFileIndex(Catalogue& db);
// True when the catalogue has the index and everything that keeps it true;
// without them a file match reads every record.
bool hasFileIndex(Catalogue& db);
// The trigrams of the pattern's literal runs as terms of an index query, each
// in quotes: a record whose CDFile or CDPath matches holds every one of them,
// so any of them joined by AND finds it. None when no run is long enough.
QStringList fileIndexTerms(const Pattern& pattern);

} // namespace orvik::engine
