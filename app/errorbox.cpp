#include "app/errorbox.h"

#include "app/applicationtitle.h"
#include "records/prompter.h"

#include <QtGlobal>

namespace zent5 {

namespace {
Prompter* g_prompter = nullptr;
}

std::string error_box_text(std::string_view message)
{
    std::string text(message);
    // Compared as unsigned bytes: the last byte of any multi-byte UTF-8
    // character is above 0x7F, so every Cyrillic letter counts as after '.'.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

void set_error_box_prompter(Prompter* prompter) { g_prompter = prompter; }

Prompter* error_box_prompter() { return g_prompter; }

void show_error_box(std::string_view message)
{
    const std::string text = error_box_text(message);
    if (!g_prompter) {
        qWarning("%s: %s", application_title().c_str(), text.c_str());
        return;
    }
    g_prompter->message(application_title(), text, MessageIcon::Error, MessageButtons::Ok);
}

} // namespace zent5
