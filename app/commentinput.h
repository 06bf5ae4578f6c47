#pragma once

#include <string>
#include <string_view>

namespace zent5 {

// What the comment editor keeps of a typed or pasted text: the characters
// code page 1251 holds, at most the 100 a comment stores, in their order,
// and whether anything had to be left out.
struct CommentFit {
    std::string text; // UTF-8
    bool refused = false; // characters 1251 lacks were left out
    bool cut = false;     // characters past the 100th were left out
};

CommentFit fit_comment(std::string_view utf8);

// The short note the editor shows when a fit left something out; empty
// when it kept everything.
std::string comment_notice(const CommentFit& fit);

} // namespace zent5
