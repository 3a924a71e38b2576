#include "bench/support/BenchProcess.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orvik::bench {

void fail(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

ProcessRun runProcess(const std::vector<std::string>& command, const std::string& home,
                      const std::string& errors) {
    std::vector<std::string> environment{"ORVIK_HOME=" + home};
    for (char** variable = environ; *variable; ++variable)
        if (std::string(*variable).rfind("ORVIK_HOME=", 0) != 0)
            environment.emplace_back(*variable);
    // Everything the child needs is made before the fork, so it only dups and execs.
    std::vector<char*> argv, envp;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const int out = ::open("/dev/null", O_WRONLY);
    const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) fail(errors);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) fail("fork");
    if (child == 0) {
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) fail("wait4");
    const auto msOf = [](const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; };
    const ProcessRun run{msSince(start), usage.ru_maxrss,
                         msOf(usage.ru_utime) + msOf(usage.ru_stime)};
    ::close(out);
    ::close(err);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        QFile messages(QString::fromStdString(errors));
        messages.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "%s failed (status %d): %s\n", argv[0], status,
                     messages.readAll().constData());
        std::exit(1);
    }
    return run;
}

} // namespace orvik::bench
