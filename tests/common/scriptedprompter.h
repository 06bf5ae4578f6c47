#pragma once

#include "records/prompter.h"

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zent5::testing {

// Answers the program's questions from a script and records every question,
// so a test can check the exact caption, text, icon and buttons. A question
// that the script has no answer for fails the test by throwing.
class ScriptedPrompter : public Prompter {
public:
    struct Message {
        std::string caption;
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
    };
    struct Dialog {
        bool save;
        FileDialogRequest request;
    };

    std::vector<Message> messages;
    std::vector<Dialog> dialogs;
    std::vector<uint32_t> colorRequests;

    // Answers, taken in order. Message boxes with only OK need no answer.
    std::deque<MessageAnswer> answers;
    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<uint32_t>> colors;

    MessageAnswer message(const std::string& caption, const std::string& text, MessageIcon icon,
                          MessageButtons buttons) override
    {
        messages.push_back({caption, text, icon, buttons});
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers.empty())
            throw std::logic_error("unscripted question: " + caption + ": " + text);
        const MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::optional<std::string> openFile(const FileDialogRequest& request) override
    {
        return nextFile(false, request);
    }

    std::optional<std::string> saveFile(const FileDialogRequest& request) override
    {
        return nextFile(true, request);
    }

    std::optional<uint32_t> chooseColor(uint32_t initial) override
    {
        colorRequests.push_back(initial);
        if (colors.empty())
            throw std::logic_error("unscripted colour dialog");
        const auto c = colors.front();
        colors.pop_front();
        return c;
    }

    // "CAPTION: TEXT" of every message so far, one per entry.
    std::vector<std::string> messageLines() const
    {
        std::vector<std::string> lines;
        for (const auto& m : messages)
            lines.push_back(m.caption + ": " + m.text);
        return lines;
    }

private:
    std::optional<std::string> nextFile(bool save, const FileDialogRequest& request)
    {
        dialogs.push_back({save, request});
        if (files.empty())
            throw std::logic_error("unscripted file dialog");
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

} // namespace zent5::testing
