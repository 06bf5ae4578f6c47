#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace zent5::journal {

// When a download happened: the universal time, and the offset of the
// local clock from it at that moment, so the moment reads as the user's
// clock showed it then, whatever the time zone of a later reader.
struct Moment {
    int64_t utcSeconds = 0;       // since 1970-01-01 00:00:00 UTC
    int32_t utcOffsetSeconds = 0; // local time minus UTC, e.g. 10800 in Moscow

    friend bool operator==(const Moment&, const Moment&) = default;
};

// Whether a clock can have given it: the years 1970 to 9999, an offset
// within a day. Only such moments are written and read.
bool isClockMoment(const Moment& moment);

// The calendar day of the local clock at the moment.
std::chrono::year_month_day localDay(const Moment& moment);

// "2024-03-05T10:00:00Z"
std::string utcText(const Moment& moment);
// "2024-03-05T13:00:00+03:00"
std::string localText(const Moment& moment);
// "05.03.2024 13:00:00", local, in the form the tables write dates and times.
std::string shownText(const Moment& moment);
// "20240305-100000", UTC
std::string utcStamp(const Moment& moment);
// "2024-03-05"
std::string dayText(std::chrono::year_month_day day);
// "05.03.2024"
std::string shownDayText(std::chrono::year_month_day day);

} // namespace zent5::journal
