// The benchmarks' application: a folder of its own, the catalogue BENCH,
// paths displayed. Questions are answered Yes (OK), messages are printed, so
// no run waits for a user and none fails unseen.
#pragma once

#include "core/AppState.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace orvik::bench {

class BenchApp {
public:
    BenchApp();
    AppState& state() { return *m_state; }
    QString path() const { return m_folder.path(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<AppState> m_state;
};

// The best of `repeats` runs of `work`, in milliseconds.
double bestOfMs(const std::function<void()>& work, int repeats = 3);

} // namespace orvik::bench
