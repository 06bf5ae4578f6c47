#include "tools/downloadconsole.h"

namespace zent5::tool {

namespace {

const char* const kProgramTitle = "ЗЕНТ-5";

} // namespace

DownloadConsole::DownloadConsole(std::FILE* out, bool terminal) : m_out(out), m_terminal(terminal) {}

DownloadConsole::~DownloadConsole()
{
    endProgress();
}

MessageAnswer DownloadConsole::message(const std::string& caption, const std::string& text, MessageIcon,
                                       MessageButtons buttons)
{
    printLine(caption + ": " + text);
    // Nobody can answer here; "No" leaves every decision as it was.
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

std::optional<std::string> DownloadConsole::openFile(const FileDialogRequest&)
{
    return std::nullopt;
}

std::optional<std::string> DownloadConsole::saveFile(const FileDialogRequest&)
{
    return std::nullopt;
}

std::optional<uint32_t> DownloadConsole::chooseColor(uint32_t)
{
    return std::nullopt;
}

std::string DownloadConsole::errorBoxText(const std::string& text)
{
    // Compared as unsigned bytes: every byte of a Cyrillic letter in UTF-8 is
    // above 0x7F, so a text ending in a letter gets its full stop too.
    std::string shown = text;
    if (!shown.empty() && static_cast<unsigned char>(shown.back()) > static_cast<unsigned char>('.'))
        shown += '.';
    return shown;
}

void DownloadConsole::error(const std::string& text)
{
    printLine(std::string(kProgramTitle) + ": " + errorBoxText(text));
}

void DownloadConsole::note(const std::string& text)
{
    printLine("zent5-tool: " + text);
}

void DownloadConsole::setStatus(const std::string& text)
{
    m_status = text;
    redraw();
}

void DownloadConsole::setProgress(int percent)
{
    m_percent = percent;
    redraw();
}

void DownloadConsole::endProgress()
{
    if (!m_progressShown)
        return;
    std::fputc('\n', m_out);
    std::fflush(m_out);
    m_progressShown = false;
    m_drawn.clear();
}

void DownloadConsole::printLine(const std::string& line)
{
    endProgress();
    std::fprintf(m_out, "%s\n", line.c_str());
    std::fflush(m_out);
}

void DownloadConsole::redraw()
{
    // Until the download says what it is doing there is nothing to show.
    if (!m_terminal || m_status.empty())
        return;
    const std::string line = m_status + " " + std::to_string(m_percent) + "%";
    if (line == m_drawn)
        return;
    // Back to the line's start and clear it, so a shorter text leaves no tail.
    std::fprintf(m_out, "\r\033[K%s", line.c_str());
    std::fflush(m_out);
    m_drawn = line;
    m_progressShown = true;
}

} // namespace zent5::tool
