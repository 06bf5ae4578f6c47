#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zent5 {

enum class MessageIcon { None, Error, Warning, Question, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// A common file dialog as the program prepares it. `filter` is one entry in
// the form "Description|*.ext"; `defaultExtension` is given with its dot
// (".db") and is added when the user types a name without extension.
struct FileDialogRequest {
    std::string filter;
    int filterIndex = 1;
    std::string defaultExtension;
    std::string initialDir;
    std::string fileName;
};

// The one way the program asks the user anything: message boxes, the open
// and save dialogs and the colour dialog. The window build answers with
// real dialogs, the command-line tool prints, and tests answer from a script.
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual MessageAnswer message(const std::string& caption, const std::string& text, MessageIcon icon,
                                  MessageButtons buttons) = 0;
    // The chosen full file name, or nothing when the dialog was cancelled.
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
    // Colour as 0x00BBGGRR; nothing when cancelled.
    virtual std::optional<uint32_t> chooseColor(uint32_t initial) = 0;
};

} // namespace zent5
