// Archives and disc images made with the system's own tools, for the tests
// that look inside them.
#pragma once

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <gtest/gtest.h>

namespace orvik::test {

// The first of `tools` the system lacks; "" when it has them all.
inline QString missingTool(const QStringList& tools) {
    for (const QString& tool : tools)
        if (QStandardPaths::findExecutable(tool).isEmpty()) return tool;
    return {};
}

// Runs the tool, the first of `command`, in `directory`; it must succeed.
inline void runTool(const QStringList& command, const QString& directory) {
    QDir().mkpath(directory);
    QProcess tool;
    tool.setWorkingDirectory(directory);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(command[0], command.mid(1));
    ASSERT_TRUE(tool.waitForFinished(60000)) << command.join(' ').toStdString();
    ASSERT_EQ(tool.exitCode(), 0) << command.join(' ').toStdString() << ": "
                                  << tool.readAll().toStdString();
}

} // namespace orvik::test
