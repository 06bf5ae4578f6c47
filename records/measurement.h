#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zent5 {

// One test as the instrument stores it (positions in the archive decoder).
struct RawRecord {
    uint8_t seconds = 0;
    uint8_t minutes = 0;
    uint8_t hours = 0;
    uint8_t day = 0;
    uint8_t month = 0;
    uint8_t year = 0;      // years after 2000
    uint16_t force = 0;    // 0.01 kN
    uint16_t area = 0;     // 0.001 cm²
    uint8_t diameterCode = 0;
};

// One row of the measurement table. Force, stress and area are held in both
// systems of units; an empty optional is a null column.
struct MeasurementRecord {
    double N = 0;
    std::string DATE;              // "dd.mm.yyyy"
    std::string TIME;              // "hh:mm:ss"
    double SERIAL = 0;
    double P = 0;                  // kN
    double P_KG = 0;               // kgf
    std::optional<double> S;       // MPa; null when the area is 0
    std::optional<double> S_KG;    // kgf/cm²; null when the area is 0
    double F = 0;                  // mm²
    std::optional<double> D;       // mm
    std::string TYPE;              // "проволока" or "канат"
    std::string COMMENT;
    double F_MM = 0;               // cm²
};

std::string time_text(int seconds, int minutes, int hours);
std::string date_text(int day, int month, int year);
// The diameter table's entry for codes 0 to 14; empty for any other code.
std::string diameter_text(int code);
// The diameter in mm for a code, or nothing. `versionText` is the
// instrument's version as the identification gives it ("10.10.14").
std::optional<double> diameter_value(int code, const std::string& versionText);

MeasurementRecord deriveRecord(int sequenceNumber, const RawRecord& raw, uint16_t serialNumber,
                               const std::string& versionText);

} // namespace zent5
