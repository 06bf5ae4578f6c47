// zent5-sim: a stand-in for the ЗЕНТ-5 instrument on a pseudo-terminal.
// Prints the device path on its first line of output, then answers "Z", "V"
// and "N" until it is stopped (Ctrl+C) or hangs up by its options.
#include "link/portnames.h"
#include "tools/sim/archivegenerator.h"
#include "tools/sim/instrumentsimulator.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

// Every option here is also in the manual page zent5-sim(1); a test keeps
// the two lists the same.
const char kUsage[] =
    "usage: zent5-sim [options]\n"
    "Simulates the ZENT-5 instrument on a pseudo-terminal and prints its device path.\n"
    "\n"
    "  --com N              also place the device in the ports folder as COM<N> (1..38)\n"
    "  --image FILE         serve this archive image (as saved by the hidden dump option)\n"
    "  --records N          generated archive: number of records (default 3)\n"
    "  --record-size N      bytes per record, 11 or more (default 16)\n"
    "  --start 'YYYY-MM-DD HH:MM:SS'  first record's moment (default 2014-03-05 09:00:00)\n"
    "  --step SECONDS       time between records (default 3600)\n"
    "  --force N            first force in 0.01 kN (default 1234)\n"
    "  --force-step N       added per record (default 100)\n"
    "  --area N             area in 0.001 cm2 (default 503)\n"
    "  --diameters A,B,...  diameter codes used in turn (default 1)\n"
    "  --serial N           serial number (default 1234)\n"
    "  --kind N             instrument kind (default 1; the program wants 1)\n"
    "  --model N            instrument model (default 24; the program wants 24 or 25)\n"
    "  --version A.B.C      version text (default 10.10.14)\n"
    "faults:\n"
    "  --z-after N          cut the first archive reply after N characters with a \"Z\"\n"
    "  --chunk N            send replies in pieces of N characters\n"
    "  --chunk-delay MS     pause after each piece\n"
    "  --silent             answer nothing\n"
    "  --noise N            N bytes of line noise before and after each frame\n"
    "  --hangup-after N     hang up after N characters of the archive reply\n"
    "  --pace               real time at 9600 bits per second\n"
    "  --help               print this help\n"
    "exit status: 0 stopped, 1 failed, 2 wrong arguments\n";

// Whole numbers separated by the given characters in turn ("2014-03-05
// 09:00:00" by "-- ::"), the whole text used, read the same under any locale.
bool readNumbers(std::string_view text, std::string_view separators, long* out, size_t count)
{
    const char* p = text.data();
    const char* end = p + text.size();
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            if (p == end || *p != separators[i - 1])
                return false;
            ++p;
        }
        const auto r = std::from_chars(p, end, out[i]);
        if (r.ec != std::errc())
            return false;
        p = r.ptr;
    }
    return p == end;
}

bool parseLong(const char* text, long lo, long hi, long& out)
{
    long v = 0;
    if (!readNumbers(text, "", &v, 1) || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

bool parseVersion(const std::string& text, uint8_t version[3])
{
    long n[3] = {};
    if (!readNumbers(text, "..", n, 3) || n[0] < 0 || n[0] > 255 || n[1] < 0 || n[1] > 255 || n[2] < 0 || n[2] > 255)
        return false;
    // The text reads byte 4, byte 3, byte 2.
    version[0] = static_cast<uint8_t>(n[2]);
    version[1] = static_cast<uint8_t>(n[1]);
    version[2] = static_cast<uint8_t>(n[0]);
    return true;
}

bool parseStart(const std::string& text, std::tm& t)
{
    long n[6] = {};
    if (!readNumbers(text, "-- ::", n, 6) || n[0] < 2000 || n[0] > 2255 || n[1] < 1 || n[1] > 12)
        return false;
    t = {};
    t.tm_year = int(n[0] - 1900);
    t.tm_mon = int(n[1] - 1);
    t.tm_mday = int(n[2]);
    t.tm_hour = int(n[3]);
    t.tm_min = int(n[4]);
    t.tm_sec = int(n[5]);
    return true;
}

int usageError(const std::string& what)
{
    std::fprintf(stderr, "zent5-sim: %s\n%s", what.c_str(), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace zent5;
    sim::SimulatorOptions options;
    sim::ArchiveRecipe recipe;
    recipe.start = sim::defaultStart();
    options.identification.serialNumber = 1234;
    std::string imageFile;
    long com = 0;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        auto number = [&](long lo, long hi, long& out) {
            const char* v = value();
            return v && parseLong(v, lo, hi, out);
        };
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--com") {
            if (!number(1, portnames::kPortCount, com))
                return usageError("--com needs 1 to 38");
        } else if (arg == "--image") {
            const char* v = value();
            if (!v)
                return usageError("--image needs a file");
            imageFile = v;
        } else if (arg == "--records") {
            if (!number(0, 65535, n))
                return usageError("--records needs 0 to 65535");
            recipe.recordCount = static_cast<unsigned>(n);
        } else if (arg == "--record-size") {
            if (!number(11, 65535, n))
                return usageError("--record-size needs 11 to 65535");
            recipe.recordSize = static_cast<unsigned>(n);
        } else if (arg == "--start") {
            const char* v = value();
            if (!v || !parseStart(v, recipe.start))
                return usageError("--start needs 'YYYY-MM-DD HH:MM:SS' from 2000 on");
        } else if (arg == "--step") {
            if (!number(-100000000, 100000000, recipe.stepSeconds))
                return usageError("--step needs seconds");
        } else if (arg == "--force") {
            if (!number(0, 65535, n))
                return usageError("--force needs 0 to 65535");
            recipe.force = static_cast<unsigned>(n);
        } else if (arg == "--force-step") {
            if (!number(-65535, 65535, n))
                return usageError("--force-step needs -65535 to 65535");
            recipe.forceStep = static_cast<int>(n);
        } else if (arg == "--area") {
            if (!number(0, 65535, n))
                return usageError("--area needs 0 to 65535");
            recipe.area = static_cast<unsigned>(n);
        } else if (arg == "--diameters") {
            const char* v = value();
            recipe.diameterCodes.clear();
            std::string list = v ? v : "";
            size_t from = 0;
            while (v && from <= list.size()) {
                const size_t comma = std::min(list.find(',', from), list.size());
                if (!parseLong(list.substr(from, comma - from).c_str(), 0, 255, n))
                    return usageError("--diameters needs codes 0 to 255 separated by commas");
                recipe.diameterCodes.push_back(static_cast<unsigned>(n));
                from = comma + 1;
            }
            if (recipe.diameterCodes.empty())
                return usageError("--diameters needs codes 0 to 255 separated by commas");
        } else if (arg == "--serial") {
            if (!number(0, 65535, n))
                return usageError("--serial needs 0 to 65535");
            options.identification.serialNumber = static_cast<uint16_t>(n);
        } else if (arg == "--kind") {
            if (!number(0, 255, n))
                return usageError("--kind needs 0 to 255");
            options.identification.kind = static_cast<uint8_t>(n);
        } else if (arg == "--model") {
            if (!number(0, 255, n))
                return usageError("--model needs 0 to 255");
            options.identification.model = static_cast<uint8_t>(n);
        } else if (arg == "--version") {
            const char* v = value();
            if (!v || !parseVersion(v, options.identification.version))
                return usageError("--version needs A.B.C, each 0 to 255");
        } else if (arg == "--z-after") {
            if (!number(0, 1 << 20, options.zAfter))
                return usageError("--z-after needs a character count");
        } else if (arg == "--chunk") {
            if (!number(1, 1 << 20, n))
                return usageError("--chunk needs a character count");
            options.chunk = static_cast<size_t>(n);
        } else if (arg == "--chunk-delay") {
            if (!number(0, 60000, n))
                return usageError("--chunk-delay needs milliseconds");
            options.chunkDelayMs = static_cast<int>(n);
        } else if (arg == "--silent") {
            options.silent = true;
        } else if (arg == "--noise") {
            if (!number(0, 1 << 16, n))
                return usageError("--noise needs a byte count");
            options.noise = static_cast<size_t>(n);
        } else if (arg == "--hangup-after") {
            if (!number(0, 1 << 20, options.hangupAfter))
                return usageError("--hangup-after needs a character count");
        } else if (arg == "--pace") {
            options.pace = true;
        } else {
            return usageError("unknown option " + arg);
        }
    }

    if (!imageFile.empty()) {
        std::ifstream in(imageFile, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "zent5-sim: cannot read %s\n", imageFile.c_str());
            return 1;
        }
        options.image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (options.image.size() > 65536) {
            std::fprintf(stderr, "zent5-sim: %s is longer than 65536 bytes\n", imageFile.c_str());
            return 1;
        }
    } else {
        std::string error;
        options.image = sim::generateArchive(recipe, &error);
        if (options.image.empty())
            return usageError(error);
    }

    // Before the link exists, so that a stop at any moment still removes it.
    struct sigaction sa{};
    sa.sa_handler = onSignal;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    sim::PseudoTerminal pty;
    std::string error;
    if (!sim::openPseudoTerminal(pty, error)) {
        std::fprintf(stderr, "zent5-sim: %s\n", error.c_str());
        return 1;
    }

    std::string link;
    if (com > 0) {
        const std::string folder = portnames::portsFolder();
        if (folder.empty()) {
            std::fprintf(stderr, "zent5-sim: no home folder for the ports folder\n");
            return 1;
        }
        std::string made;
        for (size_t at = 1; at != std::string::npos;) {
            at = folder.find('/', at + 1);
            ::mkdir(folder.substr(0, at).c_str(), 0755);
        }
        link = folder + "/COM" + std::to_string(com);
        struct stat st;
        if (::lstat(link.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                std::fprintf(stderr, "zent5-sim: %s exists and is not a link\n", link.c_str());
                return 1;
            }
            ::unlink(link.c_str());
        }
        if (::symlink(pty.slavePath.c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "zent5-sim: cannot create %s: %s\n", link.c_str(), std::strerror(errno));
            return 1;
        }
    }

    std::printf("%s\n", pty.slavePath.c_str());
    std::fflush(stdout);
    if (!link.empty())
        std::fprintf(stderr, "zent5-sim: COM%ld -> %s\n", com, pty.slavePath.c_str());

    sim::InstrumentSimulator simulator(pty, options);
    simulator.run(g_stop);

    // Remove our link only if it still points at us.
    if (!link.empty()) {
        char target[512];
        const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<size_t>(n)) == pty.slavePath)
            ::unlink(link.c_str());
    }
    sim::closePseudoTerminal(pty);
    return 0;
}
