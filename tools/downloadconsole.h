#pragma once

#include "records/prompter.h"

#include <cstdio>
#include <string>

namespace zent5::tool {

// The command line's answer to the message boxes of a download: each box is
// one line "CAPTION: TEXT" on the error stream. On a terminal a progress line
// is kept up to date in place while the download runs; it is ended before
// any other line is printed so the two never share a line.
class DownloadConsole : public Prompter {
public:
    DownloadConsole(std::FILE* out, bool terminal);
    ~DownloadConsole() override;

    MessageAnswer message(const std::string& caption, const std::string& text, MessageIcon icon,
                          MessageButtons buttons) override;
    // Nothing on this road asks for a file or a colour: always "cancelled".
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    std::optional<uint32_t> chooseColor(uint32_t initial) override;

    // The error box of the program: its title as caption, and a full stop
    // added where the box adds one.
    void error(const std::string& text);
    // A line of the tool's own, "zent5-tool: TEXT".
    void note(const std::string& text);

    // The progress line: what the download is doing and how far it is.
    void setStatus(const std::string& text);
    void setProgress(int percent);
    void endProgress();

    static std::string errorBoxText(const std::string& text);

private:
    void printLine(const std::string& line);
    void redraw();

    std::FILE* m_out;
    bool m_terminal;
    bool m_progressShown = false;
    std::string m_status;
    int m_percent = 0;
    std::string m_drawn;
};

} // namespace zent5::tool
