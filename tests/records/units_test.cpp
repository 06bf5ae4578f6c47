#include "records/measurementfields.h"
#include "records/units.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zent5 {
namespace {

// Each system shows three of the record's fields, the other system's three
// are its pairs, and the seven others belong to both.
TEST(Units, EachSystemShowsItsThreeFieldsOfTheRecord)
{
    std::vector<std::string> kilonewton, kgf, both;
    for (const MeasurementField& f : kMeasurementFields) {
        const std::optional<Units> units = unitsOfField(f.name);
        (!units ? both : *units == Units::KiloNewton ? kilonewton : kgf).push_back(std::string(f.name));
    }
    EXPECT_EQ(kilonewton, (std::vector<std::string>{"P", "S", "F"}));
    EXPECT_EQ(kgf, (std::vector<std::string>{"P_KG", "S_KG", "F_MM"}));
    EXPECT_EQ(both, (std::vector<std::string>{"N", "DATE", "TIME", "SERIAL", "D", "TYPE", "COMMENT"}));
}

} // namespace
} // namespace zent5
