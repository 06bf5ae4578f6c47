#pragma once

#include "link/wireencoding.h"

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zent5::sim {

struct SimulatorOptions {
    wire::Identification identification;
    std::vector<uint8_t> image;  // the archive served on "N"
    long zAfter = -1;            // characters of the first archive reply before a "Z" cuts it
    size_t chunk = 0;            // reply pieces of this many characters, 0 for whole replies
    int chunkDelayMs = 0;        // pause after each piece
    bool silent = false;         // answer nothing at all
    size_t noise = 0;            // bytes of line noise before and after each frame
    long hangupAfter = -1;       // characters of the archive reply before hanging up
    bool pace = false;           // 9600 bits per second, 10 bits per character
};

// A pseudo-terminal pair: the simulator talks on the master; the program
// opens the slave by its path.
struct PseudoTerminal {
    int master = -1;
    int slaveHold = -1; // kept open so the master never sees a hang-up of its own
    std::string slavePath;
};

// Opens a raw pseudo-terminal; false with `error` set on failure.
bool openPseudoTerminal(PseudoTerminal& pty, std::string& error);
void closePseudoTerminal(PseudoTerminal& pty);

// Answers "Z", "V" and "N" as the instrument does, with the chosen faults.
class InstrumentSimulator {
public:
    InstrumentSimulator(PseudoTerminal& pty, SimulatorOptions options);

    // Serves until `stop` is set or the simulator hangs up by its options.
    void run(const volatile std::sig_atomic_t& stop);
    bool hungUp() const { return m_hungUp; }

private:
    void answer(char command);
    // Sends a reply, cut and paced as configured; stops early after
    // `limit` characters (then returns false) when limit >= 0.
    bool send(const std::string& text, long limit = -1);
    bool writeAll(const char* data, size_t size);
    std::string noise();

    PseudoTerminal& m_pty;
    // Waits ms milliseconds; false when asked to stop meanwhile.
    bool pause(int ms);

    SimulatorOptions m_options;
    const volatile std::sig_atomic_t* m_stop = nullptr;
    bool m_zSent = false;
    bool m_hungUp = false;
    unsigned m_noiseSeed = 12345;
};

} // namespace zent5::sim
