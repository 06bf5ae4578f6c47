#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace zent5 {

class Prompter;

// The text of the error box for an error's own text: a full stop is added
// when the last character sorts after the full stop ("Нет файла" gets one,
// "Ошибка !" and "Готово." do not).
std::string error_box_text(std::string_view message);

// Where the error box goes: the program's Qt prompter, or a test's script.
// Without one the text goes to the Qt log.
void set_error_box_prompter(Prompter* prompter);
Prompter* error_box_prompter();

// The error box of the event loop: the text above, the application title as
// caption, the error icon and OK.
void show_error_box(std::string_view message);

// Shown for a thrown object that is not a std::exception.
inline constexpr const char* unknown_error_text = "Неизвестная ошибка";

// Runs a handler so that an error it does not catch itself is shown once in
// the error box and the program goes on. Handlers run through this instead
// of letting the error unwind through the toolkit's frames.
template <class Handler>
void run_guarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        show_error_box(e.what());
    } catch (...) {
        show_error_box(unknown_error_text);
    }
}

} // namespace zent5
