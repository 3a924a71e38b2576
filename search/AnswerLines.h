// The checksum answers as result lines: each file in the file match's line
// with its bookmark, a heading line (without one) over each group of
// duplicates, a volume line for each redundant volume; the status text and
// the values the command line's tsv and json add to each record.
#pragma once

#include "search/ResultLine.h"
#include "search/SearchQueries.h"

#include <QStringList>
#include <QVariantList>
#include <optional>
#include <vector>

namespace orvik {

class AppState;

enum class AnswerKind { Duplicates, Unique, Redundant };

struct AnswerRequest {
    AnswerKind kind = AnswerKind::Duplicates;
    bool everyCatalogue = false;
    std::optional<qint64> minSize; // duplicates: leave out smaller files
    std::int64_t bookmark = 0;     // unique: a record of the volume, in the current catalogue
};

struct AnswerLine {
    QString text;
    QString catalogue;     // the record's; "" on a heading
    ResolvedRecord record; // a heading's has no bookmark
    QVariantList extras;   // the values of AnswerLines::extraColumns
};

struct AnswerLines {
    QString what; // what the print-out's heading says was searched for
    QStringList extraColumns;
    std::vector<AnswerLine> lines;
    QString status;
    bool volumeFound = true; // unique: false when the bookmark names no volume's record
    qsizetype records() const;
};

// Runs the answer on the current catalogue or on every one. Throws Error when
// a catalogue fails; one that cannot be opened at all is named in the status.
AnswerLines runAnswer(AppState& state, const AnswerRequest& request, const QueryWidth& width);

} // namespace orvik
