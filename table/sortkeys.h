#pragma once

#include "table/codepage.h"
#include "table/sortindex.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

// The sort keys of stored column values, made for every row of a sort by
// quick roads that the tests hold against plain references: the number key
// against numberSortKeyReference, the text keys against the collator's
// order of the whole decoded texts.

// A stored number's key: the number rounded to 15 significant digits, halves
// away from zero (so values that differ only by binary noise sort as
// equal), an empty column counting as 0. The usual fixed-point text is read
// as a whole number of up to 15 digits and a power of ten.
double numberSortKey(std::string_view stored);
// The same with the digits rounded as text and the result parsed; a text
// that is no plain decimal is decoded as the column reads it and its value
// rounded.
double numberSortKeyReference(std::string_view stored);

// Text keys of one table: byte strings whose plain byte order is the text
// order of the table's language (the Russian collation, case-sensitive, on
// the whole decoded texts, for a table with a language byte; the stored
// bytes themselves without one).
class TextSortKeys {
public:
    // Keys made `withPadding` hold the stored texts' trailing spaces; the
    // others only their count, which orders the texts alike as long as
    // every text they order is one paddingCanGo() accepts.
    TextSortKeys(uint8_t language, const CodePage& codePage, bool withPadding);

    // The key of a column's stored bytes. Made from the code page's bytes
    // without decoding where the code page allows.
    std::string key(std::string_view stored) const;
    bool paddingCanGo(std::string_view stored) const;
    bool withPadding() const { return m_withPadding; }

    // The part of a stored text its key is made from.
    std::string_view keyText(std::string_view stored) const;
    // The key of a text already cut by keyText from a column `width` bytes wide.
    std::string keyOfKeyText(std::string_view text, size_t width) const;

private:
    uint8_t m_language;
    const CodePage& m_codePage;
    bool m_withPadding;
};

// The text keys of a whole column, fed row by row as the records are read:
// each distinct text gets its key once, and with many distinct texts a
// second thread makes half of them. Gives the keys key() gives.
class TextKeyColumn {
public:
    // `rows` rows of a column `width` bytes wide.
    TextKeyColumn(const TextSortKeys& keys, uint32_t rows, size_t width);
    void add(uint32_t row, std::string_view stored);
    // Whether a text was added that keys without padding do not order:
    // the column is then to be keyed with padding.
    bool needsPadding() const { return m_needsPadding; }
    // Puts the key of every row added into keys[row].text.
    void takeInto(std::vector<SortKey>& keys);

private:
    // The distinct texts, found by an open-addressing table of text
    // numbers (one allocation for the table instead of one per text).
    uint32_t& slotOf(std::string_view text);

    const TextSortKeys& m_keys;
    size_t m_width;
    std::string m_column; // the distinct texts side by side; reserved whole, so it never moves
    std::vector<std::string_view> m_texts;
    std::vector<uint32_t> m_uses;
    std::vector<uint32_t> m_textOf; // per row
    std::vector<uint32_t> m_slots;
    bool m_needsPadding = false;
};

} // namespace zent5
