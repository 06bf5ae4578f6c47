#include "tools/sim/instrumentsimulator.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace zent5::sim {

namespace {

// One character at 9600 bits per second, 8N1: ten bit times.
constexpr auto kCharTime = std::chrono::microseconds(10'000'000 / 9600);
// A line that nobody reads for this long loses what is sent, as a real one would.
constexpr int kWriteGiveUpMs = 2000;

} // namespace

bool openPseudoTerminal(PseudoTerminal& pty, std::string& error)
{
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.master < 0 || ::grantpt(pty.master) != 0 || ::unlockpt(pty.master) != 0) {
        error = "cannot open a pseudo-terminal";
        return false;
    }
    const char* name = ::ptsname(pty.master);
    if (!name) {
        error = "cannot name the pseudo-terminal";
        return false;
    }
    pty.slavePath = name;
    ::fcntl(pty.master, F_SETFL, ::fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    pty.slaveHold = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.slaveHold < 0) {
        error = "cannot open " + pty.slavePath;
        return false;
    }
    // Raw from the start: no echo of our replies back to us, no line editing.
    termios t{};
    ::tcgetattr(pty.slaveHold, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(pty.slaveHold, TCSANOW, &t);
    return true;
}

void closePseudoTerminal(PseudoTerminal& pty)
{
    if (pty.master >= 0)
        ::close(pty.master);
    if (pty.slaveHold >= 0)
        ::close(pty.slaveHold);
    pty.master = pty.slaveHold = -1;
}

InstrumentSimulator::InstrumentSimulator(PseudoTerminal& pty, SimulatorOptions options)
    : m_pty(pty), m_options(std::move(options))
{
}

void InstrumentSimulator::run(const volatile std::sig_atomic_t& stop)
{
    m_stop = &stop;
    while (!stop && !m_hungUp) {
        pollfd p{m_pty.master, POLLIN, 0};
        const int r = ::poll(&p, 1, 100);
        if (r <= 0 || !(p.revents & POLLIN))
            continue;
        char buf[256];
        const ssize_t n = ::read(m_pty.master, buf, sizeof buf);
        if (n <= 0)
            continue;
        for (ssize_t i = 0; i < n && !m_hungUp; ++i)
            answer(buf[i]);
    }
}

std::string InstrumentSimulator::noise()
{
    // Anything but the frame letters: bytes a disturbed line might carry.
    static const char kBytes[] = {'\0', '\r', '\n', '\x7F', '\xFF', '!', 'a', 'Q', '\x11', '5'};
    std::string out;
    for (size_t i = 0; i < m_options.noise; ++i) {
        m_noiseSeed = m_noiseSeed * 1103515245u + 12345u;
        out.push_back(kBytes[(m_noiseSeed >> 16) % sizeof kBytes]);
    }
    return out;
}

void InstrumentSimulator::answer(char command)
{
    if (m_options.silent)
        return;
    switch (command) {
    case wire::kProbe:
        send(std::string(1, wire::kProbe));
        break;
    case wire::kIdentify:
        send(noise() + wire::identificationReply(m_options.identification) + noise());
        break;
    case wire::kArchive: {
        const std::string before = noise();
        const std::string reply = wire::archiveReply(m_options.image.data(), m_options.image.size());
        if (m_options.hangupAfter >= 0) {
            send(before + reply, static_cast<long>(before.size()) + m_options.hangupAfter);
            closePseudoTerminal(m_pty);
            m_hungUp = true;
            return;
        }
        if (m_options.zAfter >= 0 && !m_zSent) {
            m_zSent = true;
            send(before + reply.substr(0, static_cast<size_t>(m_options.zAfter)) + wire::kProbe);
            return;
        }
        send(before + reply + noise());
        break;
    }
    default:
        break;
    }
}

bool InstrumentSimulator::send(const std::string& text, long limit)
{
    const size_t total = limit >= 0 ? std::min(text.size(), static_cast<size_t>(limit)) : text.size();
    const size_t piece = m_options.pace ? 1 : (m_options.chunk ? m_options.chunk : total);
    auto due = std::chrono::steady_clock::now();
    for (size_t at = 0; at < total; at += piece) {
        const size_t n = std::min(piece, total - at);
        if (m_options.pace) {
            due += kCharTime * static_cast<long>(n);
            std::this_thread::sleep_until(due);
        }
        if (!writeAll(text.data() + at, n))
            return false;
        if (m_options.chunkDelayMs > 0 && at + n < total && !pause(m_options.chunkDelayMs))
            return false;
    }
    return total == text.size();
}

bool InstrumentSimulator::pause(int ms)
{
    // In short steps, so that a stop request ends a long pause at once.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!(m_stop && *m_stop)) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(50)));
    }
    return false;
}

bool InstrumentSimulator::writeAll(const char* data, size_t size)
{
    while (size > 0) {
        pollfd p{m_pty.master, POLLOUT, 0};
        if (::poll(&p, 1, kWriteGiveUpMs) <= 0)
            return false;
        const ssize_t n = ::write(m_pty.master, data, size);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace zent5::sim
