// The benchmarks' application: a folder of its own, the catalogue BENCH,
// paths displayed. Questions are answered Yes (OK), messages are printed, so
// no run waits for a user and none fails unseen.
#pragma once

#include "AppState.h"

#include <QTemporaryDir>
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

} // namespace orvik::bench
