#include "app/commentinput.h"

#include "records/cellformat.h"
#include "records/text.h"

namespace zent5 {

namespace {

// Bytes of the UTF-8 character that starts with `lead` (1 for a stray byte).
size_t characterLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

} // namespace

CommentFit fit_comment(std::string_view utf8)
{
    CommentFit fit;
    int characters = 0;
    for (size_t at = 0; at < utf8.size();) {
        const std::string_view character = utf8.substr(at, characterLength(static_cast<unsigned char>(utf8[at])));
        at += character.size();
        if (static_cast<unsigned char>(character[0]) >= 0x80 && !text::fitsCp1251(character)) {
            fit.refused = true;
            continue;
        }
        if (characters == comment_max_length) {
            fit.cut = true;
            continue;
        }
        fit.text += character;
        ++characters;
    }
    return fit;
}

std::string comment_notice(const CommentFit& fit)
{
    std::string notice;
    if (fit.refused)
        notice = "Знаки, которых нет в кодировке таблицы (Windows-1251), не сохраняются.";
    if (fit.cut)
        notice += std::string(notice.empty() ? "" : "\n") + "Примечание хранит не больше " +
                  std::to_string(comment_max_length) + " знаков: лишнее отброшено.";
    return notice;
}

} // namespace zent5
