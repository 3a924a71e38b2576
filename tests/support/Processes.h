// Real processes for the tests: a program run to its end, and another
// program that keeps a catalogue's write lock.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <gtest/gtest.h>

namespace orvik::test {

struct CliRun {
    int exitCode;
    QStringList out;
    QString err;
    bool crashed; // killed, as by a kill at a write
};

// Runs a program, the first of `command`, to its end.
inline CliRun
run(const QStringList& command,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(command[0], command.mid(1));
    EXPECT_TRUE(process.waitForFinished(60000));
    QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    if (lines.last().isEmpty()) lines.removeLast();
    return {process.exitCode(), lines, QString::fromUtf8(process.readAllStandardError()),
            process.exitStatus() == QProcess::CrashExit};
}

// The environment in which the program kills itself at its `write`th write to
// a catalogue.
inline QProcessEnvironment killingAtWrite(int write) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORVIK_TEST_KILL_AT_WRITE", QString::number(write));
    return environment;
}

// The environment of a program whose application folder is `home`.
inline QProcessEnvironment withHome(const QString& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORVIK_HOME", home);
    return environment;
}

#ifdef ORVIK_CLI
// Runs the command line program; it finds the catalogues through the
// ORVIK_HOME that TestApp sets.
inline CliRun
cli(const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    return run(QStringList(ORVIK_CLI) + arguments, environment);
}

// The command line program run as an ordinary user (by root, through setpriv).
inline CliRun asNobody(const QStringList& arguments) {
    return run(
        QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", ORVIK_CLI} +
        arguments);
}

// The command line program refuses `arguments`: exit status 2, one line on
// standard error, which is returned, and nothing on standard output.
inline QString expectRefused(const QStringList& arguments) {
    const CliRun refused = cli(arguments);
    EXPECT_EQ(refused.exitCode, 2) << arguments.join(' ').toStdString();
    EXPECT_EQ(refused.err.count('\n'), 1) << refused.err.toStdString();
    EXPECT_TRUE(refused.out.isEmpty()) << refused.out.join('\n').toStdString();
    return refused.err;
}
#endif

inline const QString WaitingText =
    "Waiting for another program to finish writing the catalogue ...";

// Waits until the process has said `text` on standard error, which is then
// left unread; false when it ends or keeps silent for a minute.
inline bool waitForError(QProcess& process, const QString& text) {
    process.setReadChannel(QProcess::StandardError);
    while (!process.peek(1 << 20).contains(text.toUtf8()))
        if (!process.waitForReadyRead(60000)) return false;
    return true;
}

// Another program that keeps the catalogue's write lock while it lives: the
// program `holder` (the tests' hold_catalogue).
class Holder {
public:
    Holder(const QString& holder, const QString& catalogue) {
        m_process.start(holder, {catalogue});
        EXPECT_TRUE(m_process.waitForReadyRead(10000));
    }
    ~Holder() { release(); }
    void release() {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

} // namespace orvik::test
