#include "cli/TerminalProgress.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace orvik::cli {

namespace {
volatile std::sig_atomic_t interruptSeen = 0;
extern "C" void onInterrupt(int) {
    interruptSeen = 1;
}
constexpr qint64 DrawIntervalMs = 200;
} // namespace

TerminalProgress::TerminalProgress(bool& cancelFlag, std::function<QString()> counter,
                                   std::function<void()> atPause)
    : m_cancelFlag(cancelFlag), m_counter(std::move(counter)), m_atPause(std::move(atPause)),
      m_terminal(isatty(STDERR_FILENO)) {
    m_started.start();
}

TerminalProgress::~TerminalProgress() {
    clearLine();
}

void TerminalProgress::clearLine() {
    if (m_drawn) std::fputs("\r\033[K", stderr);
    m_drawn = false;
}

void TerminalProgress::catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool TerminalProgress::interrupted() {
    return interruptSeen != 0;
}

void TerminalProgress::status(const QString& text) {
    m_last = text;
    draw(false);
}

void TerminalProgress::notice(const QString& text) {
    m_last = text;
    clearLine();
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

void TerminalProgress::letEventsRun() {
    if (interrupted()) m_cancelFlag = true;
    if (m_atPause) m_atPause();
    draw(false);
}

void TerminalProgress::draw(bool force) {
    if (!m_terminal || !m_counter) return;
    if (!force && m_sinceDraw.isValid() && m_sinceDraw.elapsed() < DrawIntervalMs) return;
    m_sinceDraw.restart();
    std::fprintf(stderr, "\r\033[K%s, %lld secs elapsed", m_counter().toLocal8Bit().constData(),
                 m_started.elapsed() / 1000);
    std::fflush(stderr);
    m_drawn = true;
}

} // namespace orvik::cli
