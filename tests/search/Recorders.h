// A result sink and a progress that keep what the queries hand them.
#pragma once

#include "Progress.h"
#include "SearchQueries.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace orvik::test {

struct RecordingSink : ResultSink {
    QStringList lines;
    std::vector<ResolvedRecord> records;
    int clears = 0;
    void clear() override {
        lines.clear();
        records.clear();
        ++clears;
    }
    void append(const QString& line, const ResolvedRecord& record) override {
        lines << line;
        records.push_back(record);
    }
};

struct RecordingProgress : Progress {
    QStringList statuses;
    std::function<void()> onEvents;
    void status(const QString& text) override { statuses << text; }
    void letEventsRun() override {
        if (onEvents) onEvents();
    }
};

} // namespace orvik::test
