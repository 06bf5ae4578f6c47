#include "journal/moment.h"

#include "journal/digits.h"

#include <cstdlib>

namespace zent5::journal {
namespace {

using namespace std::chrono;

struct Civil {
    year_month_day day;
    hh_mm_ss<seconds> time;
};

Civil civil(int64_t seconds)
{
    const sys_seconds at{std::chrono::seconds(seconds)};
    const sys_days day = floor<days>(at);
    return {year_month_day(day), hh_mm_ss<std::chrono::seconds>(at - day)};
}

void appendIsoDay(std::string& out, year_month_day day)
{
    appendDigits(out, int(day.year()), 4);
    out += '-';
    appendDigits(out, unsigned(day.month()), 2);
    out += '-';
    appendDigits(out, unsigned(day.day()), 2);
}

void appendShownDay(std::string& out, year_month_day day)
{
    appendDigits(out, unsigned(day.day()), 2);
    out += '.';
    appendDigits(out, unsigned(day.month()), 2);
    out += '.';
    appendDigits(out, int(day.year()), 4);
}

void appendTime(std::string& out, const hh_mm_ss<seconds>& time)
{
    appendDigits(out, time.hours().count(), 2);
    out += ':';
    appendDigits(out, time.minutes().count(), 2);
    out += ':';
    appendDigits(out, time.seconds().count(), 2);
}

// "2024-03-05T10:00:00"
std::string isoText(int64_t seconds)
{
    const Civil c = civil(seconds);
    std::string out;
    appendIsoDay(out, c.day);
    out += 'T';
    appendTime(out, c.time);
    return out;
}

int64_t localSeconds(const Moment& moment) { return moment.utcSeconds + moment.utcOffsetSeconds; }

constexpr int64_t kLastSecond = 253402300799; // 9999-12-31 23:59:59
constexpr int32_t kMaxOffset = 24 * 3600;

} // namespace

bool isClockMoment(const Moment& moment)
{
    return moment.utcSeconds >= 0 && moment.utcSeconds <= kLastSecond && moment.utcOffsetSeconds >= -kMaxOffset &&
           moment.utcOffsetSeconds <= kMaxOffset;
}

year_month_day localDay(const Moment& moment) { return civil(localSeconds(moment)).day; }

std::string utcText(const Moment& moment) { return isoText(moment.utcSeconds) + 'Z'; }

std::string localText(const Moment& moment)
{
    std::string out = isoText(localSeconds(moment));
    const int32_t offset = moment.utcOffsetSeconds;
    out += offset < 0 ? '-' : '+';
    const long long minutes = std::llabs(offset) / 60;
    appendDigits(out, minutes / 60, 2);
    out += ':';
    appendDigits(out, minutes % 60, 2);
    return out;
}

std::string shownText(const Moment& moment)
{
    const Civil c = civil(localSeconds(moment));
    std::string out;
    appendShownDay(out, c.day);
    out += ' ';
    appendTime(out, c.time);
    return out;
}

std::string utcStamp(const Moment& moment)
{
    const Civil c = civil(moment.utcSeconds);
    std::string out;
    appendDigits(out, int(c.day.year()), 4);
    appendDigits(out, unsigned(c.day.month()), 2);
    appendDigits(out, unsigned(c.day.day()), 2);
    out += '-';
    appendDigits(out, c.time.hours().count(), 2);
    appendDigits(out, c.time.minutes().count(), 2);
    appendDigits(out, c.time.seconds().count(), 2);
    return out;
}

std::string dayText(year_month_day day)
{
    std::string out;
    appendIsoDay(out, day);
    return out;
}

std::string shownDayText(year_month_day day)
{
    std::string out;
    appendShownDay(out, day);
    return out;
}

} // namespace zent5::journal
