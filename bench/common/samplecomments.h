#pragma once

#include <cstdint>
#include <string>

namespace zent5::bench {

// Russian comments of varied length and content, like users write them;
// the same i always gives the same text.
inline std::string sampleComment(uint32_t i)
{
    static const char* words[] = {"образец", "канат", "проволока", "анкер", "испытание", "разрыв", "Ёлка", "зажим",
                                  "партия", "Южный", "объект", "арматура", "норма", "брак", "повтор", "щит"};
    std::string s;
    uint32_t x = i * 2654435761u;
    const int n = 1 + int(x % 9);
    for (int k = 0; k < n; ++k) {
        x = x * 1103515245u + 12345u;
        if (k)
            s += ' ';
        s += words[(x >> 16) % 16];
    }
    s += " №" + std::to_string(i % 977);
    return s;
}

} // namespace zent5::bench
