#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The instrument's line code, used by the download decoder and by the
// simulator so that both sides speak from one definition.
//
// Data bytes travel as text: two characters per byte, low four bits first,
// each as 0x30 + value ('0'..'9', ':', ';', '<', '=', '>', '?'). A 16-bit
// value is its low byte, then its high byte (four characters). Data
// characters are therefore always 0x30..0x3F and never collide with the
// command and frame letters below.
namespace zent5::wire {

constexpr char kIdentify = 'V'; // system: send the identification
constexpr char kArchive = 'N';  // system: send the archive
constexpr char kProbe = 'Z';    // both ways: port probe and its echo
constexpr char kStart = 'S';    // instrument: start of a reply
constexpr char kEnd = 'P';      // instrument: end of a reply

// Identification payload: kind, model, three version numbers, serial (16-bit).
constexpr size_t kIdentificationBytes = 7;
constexpr size_t kIdentificationChars = 2 * kIdentificationBytes;

inline void appendByte(std::string& out, uint8_t value)
{
    out.push_back(static_cast<char>(0x30 + (value & 0x0F)));
    out.push_back(static_cast<char>(0x30 + (value >> 4)));
}

inline void appendWord(std::string& out, uint16_t value)
{
    appendByte(out, static_cast<uint8_t>(value & 0xFF));
    appendByte(out, static_cast<uint8_t>(value >> 8));
}

inline std::string encode(const uint8_t* data, size_t size)
{
    std::string out;
    out.reserve(2 * size);
    for (size_t i = 0; i < size; ++i)
        appendByte(out, data[i]);
    return out;
}

// The instrument does not check its own characters, so neither do we: any
// pair gives a byte, modulo 256, exactly as the instrument's peers compute it.
inline uint8_t decodePair(char c0, char c1)
{
    const unsigned lo = static_cast<unsigned char>(c0) - 0x30u;
    const unsigned hi = static_cast<unsigned char>(c1) - 0x30u;
    return static_cast<uint8_t>((hi * 16u + lo) & 0xFFu);
}

inline uint16_t decodeWord(const char* c)
{
    return static_cast<uint16_t>(decodePair(c[0], c[1]) + 256u * decodePair(c[2], c[3]));
}

struct Identification {
    uint8_t kind = 1;
    uint8_t model = 24;
    uint8_t version[3] = {14, 10, 10}; // bytes 2, 3, 4 of the payload
    uint16_t serialNumber = 0;
};

// "S", the fourteen characters of the identification, "P".
inline std::string identificationReply(const Identification& id)
{
    std::string out(1, kStart);
    appendByte(out, id.kind);
    appendByte(out, id.model);
    for (uint8_t v : id.version)
        appendByte(out, v);
    appendWord(out, id.serialNumber);
    out.push_back(kEnd);
    return out;
}

// "S", the archive image two characters per byte, "P".
inline std::string archiveReply(const uint8_t* image, size_t size)
{
    std::string out(1, kStart);
    out += encode(image, size);
    out.push_back(kEnd);
    return out;
}

} // namespace zent5::wire
