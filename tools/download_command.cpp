#include "commands.h"
#include "toolargs.h"

#include "link/downloadsession.h"
#include "records/archiveimage.h"
#include "records/error.h"
#include "records/numbertext.h"
#include "session/downloadjournal.h"
#include "session/tablesession.h"
#include "tools/downloadconsole.h"
#include "tools/downloadports.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

namespace zent5::tool {
namespace {

constexpr double kDefaultTimeoutSeconds = 10;
constexpr double kMaxTimeoutSeconds = 24 * 3600;

struct DownloadOptions {
    std::optional<std::string> port;
    bool append = false;
    bool journal = true;
    double timeoutSeconds = kDefaultTimeoutSeconds;
    std::string table;
};

const char kUsage[] =
    "usage: zent5-tool download [--port DEVICE] [--append] [--timeout SECONDS] [--no-journal] TABLE.db\n";

// After the usage line.
const char kHelp[] =
    "Downloads the instrument's archive into a new table file (replacing TABLE.db only\n"
    "when the download and decoding succeed), or with --append adds the tests newer than\n"
    "the table's last row, and keeps the download in the journal of downloads.\n"
    "Messages go to stderr as \"CAPTION: TEXT\".\n"
    "\n"
    "  --port DEVICE      use only this device (a path, or COMn as the ports folder maps it);\n"
    "                     without it COM1, and when COM1 cannot be opened,\n"
    "                     the first of COM1 to COM38 that answers\n"
    "  --append           add to an existing table\n"
    "  --timeout SECONDS  give up when the instrument sends nothing for this long (default 10)\n"
    "  --no-journal       keep no entry of this download in the journal\n"
    "exit status: 0 done, 1 failed, 2 wrong arguments\n";

int usageError(const std::string& what) { return tool::usageError("download", what, kUsage); }

bool parseSeconds(const std::string& text, double& seconds)
{
    // Read the same whatever the locale: "2.5" is two and a half seconds.
    double v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(v) || v <= 0 ||
        v > kMaxTimeoutSeconds)
        return false;
    seconds = v;
    return true;
}

// Empty on success, otherwise what is wrong with the arguments.
std::string parseArguments(const std::vector<std::string>& args, DownloadOptions& options)
{
    std::vector<std::string> tables;
    bool optionsEnd = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
            tables.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        auto takeValue = [&]() -> bool {
            if (value)
                return true;
            if (i + 1 >= args.size())
                return false;
            value = args[++i];
            return true;
        };
        if (name == "--") {
            optionsEnd = true;
        } else if (name == "--append" && !value) {
            options.append = true;
        } else if (name == "--no-journal" && !value) {
            options.journal = false;
        } else if (name == "--port") {
            if (!takeValue() || value->empty())
                return "--port needs a device";
            options.port = *value;
        } else if (name == "--timeout") {
            if (!takeValue() || !parseSeconds(*value, options.timeoutSeconds))
                return "--timeout needs a number of seconds above 0";
        } else {
            return "unknown option " + arg;
        }
    }
    if (tables.size() != 1)
        return tables.empty() ? "no table file given" : "only one table file may be given";
    options.table = tables[0];
    if (options.table.empty() || options.table.back() == '/')
        return "the table file needs a name";
    return {};
}

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int)
{
    g_interrupted = 1;
}

// Ctrl+C or a stop request cancels the download as "Отмена" would, so the
// port is closed and no hidden file is left behind.
class InterruptGuard {
public:
    InterruptGuard()
    {
        g_interrupted = 0;
        struct sigaction sa{};
        sa.sa_handler = onInterrupt;
        ::sigaction(SIGINT, &sa, &m_oldInt);
        ::sigaction(SIGTERM, &sa, &m_oldTerm);
    }
    ~InterruptGuard()
    {
        ::sigaction(SIGINT, &m_oldInt, nullptr);
        ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    }
    bool interrupted() const { return g_interrupted != 0; }

private:
    struct sigaction m_oldInt{};
    struct sigaction m_oldTerm{};
};

enum class DownloadEnd { Received, Failed, TimedOut, Interrupted, LineLost };

// The download window's road without the window. The wait is bounded by
// `idleMs` without a byte from the instrument, so a real instrument that
// needs minutes for a full archive is never cut off while it sends.
DownloadEnd download(DownloadSession& session, DownloadConsole& console, int idleMs,
                     const InterruptGuard& interrupts)
{
    QObject::connect(&session, &DownloadSession::statusTextChanged, &session,
                     [&console](const QString& text) { console.setStatus(text.toStdString()); });
    // The window keeps a lost line on screen until "Отмена"; with nobody
    // to press it, nothing more can come and the download ends at once.
    bool lineLost = false;
    QObject::connect(&session, &DownloadSession::lineLost, &session, [&] {
        if (!session.active())
            return;
        lineLost = true;
        session.cancel();
    });
    QObject::connect(&session, &DownloadSession::searchTextChanged, &session, [&console](const QString& text) {
        if (!text.isEmpty())
            console.setStatus(text.toStdString());
    });
    QObject::connect(&session, &DownloadSession::progressChanged, &session,
                     [&console](int percent) { console.setProgress(percent); });

    QEventLoop loop;
    QObject::connect(&session, &DownloadSession::finished, &loop, &QEventLoop::quit);
    bool timedOut = false;
    QTimer idle;
    idle.setSingleShot(true);
    QObject::connect(&idle, &QTimer::timeout, &loop, [&] {
        if (!session.active())
            return;
        timedOut = true;
        session.cancel();
    });
    bool interrupted = false;
    QTimer interruptWatch;
    QObject::connect(&interruptWatch, &QTimer::timeout, &loop, [&] {
        if (interrupts.interrupted() && session.active()) {
            interrupted = true;
            session.cancel();
        }
    });
    session.routeBytes([&](const uint8_t* data, uint32_t size) {
        if (idle.isActive())
            idle.start(idleMs);
        session.receive(data, size);
    });

    session.start();
    if (session.active()) {
        idle.start(idleMs);
        interruptWatch.start(100);
        loop.exec();
    }
    session.routeBytes({});
    console.endProgress();

    if (session.result() == DownloadResult::Received)
        return DownloadEnd::Received;
    if (interrupted)
        return DownloadEnd::Interrupted;
    if (lineLost)
        return DownloadEnd::LineLost;
    return timedOut ? DownloadEnd::TimedOut : DownloadEnd::Failed;
}

} // namespace

// zent5-tool download [--port DEVICE] [--append] [--timeout SECONDS]
// [--no-journal] TABLE.db: "Создать" (or, with --append, "Дополнить")
// without a window, through the window's own table commands, recorded in
// the journal as the window records it.
int runDownload(const std::vector<std::string>& args)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        std::fputs(kHelp, stdout);
        return 0;
    }
    DownloadOptions options;
    if (const std::string problem = parseArguments(args, options); !problem.empty())
        return usageError(problem);

    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "zent5-tool";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    DownloadConsole console(stderr, ::isatty(STDERR_FILENO) == 1);
    InterruptGuard interrupts;
    NoTableView view;
    TableSession tables(console, view);
    if (options.journal)
        recordDownloads(tables, console);
    try {
        // What would make the download useless is found out before the
        // instrument is asked: a table that does not open, or a folder that
        // takes no new file. Either way the table is kept from the program
        // meanwhile (read shared, or held for its replacement).
        if (options.append)
            tables.openForReading(options.table);
        else
            tables.reserveNewTable(options.table);

        std::optional<DownloadPorts> ports;
        if (options.port) {
            ports.emplace(*options.port);
            if (!ports->ok()) {
                console.note(ports->error());
                return 1;
            }
        }
        ArchiveImage archive;
        DownloadSession session(console, archive);
        const int idleMs = int(std::lround(options.timeoutSeconds * 1000));
        const DownloadEnd end = download(session, console, idleMs, interrupts);
        ports.reset();
        switch (end) {
        case DownloadEnd::Received:
            break;
        case DownloadEnd::Failed:
            return 1;
        case DownloadEnd::TimedOut:
            console.note("the instrument did not answer within " + general_number_text(options.timeoutSeconds, '.') + " s");
            return 1;
        case DownloadEnd::Interrupted:
            console.note("interrupted");
            return 1;
        case DownloadEnd::LineLost:
            console.note(DownloadSession::kLineLostText);
            return 1;
        }
        if (interrupts.interrupted()) {
            console.note("interrupted");
            return 1;
        }

        if (options.append)
            tables.appendFromArchive(archive);
        else
            tables.createFromArchive(options.table, archive);
        tables.close();
    } catch (const Error& e) {
        console.error(e.what());
        return 1;
    }
    return 0;
}

} // namespace zent5::tool
