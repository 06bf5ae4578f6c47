#include "measurement.h"

#include "records/recordarithmetic.h"

#include <array>

namespace zent5 {
namespace {

// 0..99 as two digits.
std::string twoDigits(int v)
{
    return {char('0' + v / 10 % 10), char('0' + v % 10)};
}

struct Diameter {
    const char* text;
    double value; // the nominal size a user reads in the text ("6к" is 6 mm strand)
};

constexpr std::array<Diameter, 15> kDiameters{{
    {"3", 3},   {"4", 4},     {"5", 5},     {"6", 6},   {"6к", 6},   {"9к", 9},   {"10", 10},  {"12к", 12},
    {"15к", 15}, {"7,5", 7.5}, {"8", 8},     {"12", 12}, {"14", 14},  {"16", 16},  {"9,6", 9.6},
}};

} // namespace

std::string time_text(int seconds, int minutes, int hours)
{
    const int h = hours > 23 ? 0 : hours;
    const int m = minutes > 59 ? 0 : minutes;
    const int s = seconds > 59 ? 0 : seconds;
    return twoDigits(h) + ":" + twoDigits(m) + ":" + twoDigits(s);
}

std::string date_text(int day, int month, int year)
{
    const int d = (day == 0 || day > 31) ? 1 : day;
    const int m = (month == 0 || month > 12) ? 1 : month;
    const int y = 2000 + year;
    return twoDigits(d) + "." + twoDigits(m) + "." + twoDigits(y / 100) + twoDigits(y % 100);
}

std::string diameter_text(int code)
{
    if (code < 0 || code >= int(kDiameters.size()))
        return {};
    return kDiameters[size_t(code)].text;
}

std::optional<double> diameter_value(int code, const std::string& versionText)
{
    if (code >= 0 && code < int(kDiameters.size()))
        return kDiameters[size_t(code)].value;
    // Codes past the table keep the first stage of the instrument's rule.
    const int tens = code / 10;
    if (versionText == "10.10.14") {
        if (tens == 6)
            return 9.6;
        return std::nullopt;
    }
    return double(tens);
}

MeasurementRecord deriveRecord(int sequenceNumber, const RawRecord& raw, uint16_t serialNumber,
                               const std::string& versionText)
{
    MeasurementRecord r;
    r.N = sequenceNumber;
    r.TIME = time_text(raw.seconds, raw.minutes, raw.hours);
    r.DATE = date_text(raw.day, raw.month, raw.year);
    r.SERIAL = serialNumber;

    const DerivedNumbers n = deriveNumbers(raw.force, raw.area);
    r.P = n.P;
    r.F_MM = n.F_MM;
    r.S = n.S;
    r.P_KG = n.P_KG;
    r.S_KG = n.S_KG;
    r.F = n.F;
    r.D = diameter_value(raw.diameterCode, versionText);

    const int c = raw.diameterCode;
    if (c < 60)
        r.TYPE = "проволока";
    else if (c == 60)
        r.TYPE = raw.area == 283 ? "проволока" : "канат";
    else
        r.TYPE = c == 100 ? "проволока" : "канат";
    return r;
}

} // namespace zent5
