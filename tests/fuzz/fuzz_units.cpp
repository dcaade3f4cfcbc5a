// Feeds arbitrary text to the unit parser for every kind of field, and arbitrary doubles
// to stringify_float, checking the invariants that must hold whatever the input.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tests/fuzz/fuzz_support.h"
#include "host/gmath/gmath_units.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    FuzzNullLogHandler::install();

    CoreString text(std::string(reinterpret_cast<char const*>(data), size));
    double value = 0.0;
    CoreString unit;
    if (GMathUnits::split_value_and_unit_from_str(text, value, unit)) {
        fuzz_check(!std::isnan(value));
        // Whatever split accepts reads back from its own unit when the unit is known.
        GMathUnits::Unit found;
        if (!unit.is_empty() && GMathUnits::get_unit(unit, 0.0, found)) {
            double read = 0.0;
            CoreString const& name = found.name;
            fuzz_check(GMathUnits::get_value_from_str_with_unit(text, 0.0, found.kind, name, name, read));
            fuzz_check(read == value);
        }
    }

    static char const* const SYSTEMS[][2] = {{"", ""}, {"cm", "m"}, {"deg", "rad"}, {"24fps", "s"}};
    for (int k = GMathUnits::KIND_NONE; k < GMathUnits::KIND_COUNT; ++k) {
        double read = 12345.0;
        GMathUnits::Kind kind = GMathUnits::Kind(k);
        if (!GMathUnits::get_value_from_str_with_unit(text, 25.0, kind, SYSTEMS[k][0], SYSTEMS[k][1], read))
            fuzz_check(read == 12345.0);
        CoreVector<CoreString> units = GMathUnits::get_all_system_unit_names(kind);
        GMathUnits::get_value_with_unit_from_value(units, read, 25.0, kind, SYSTEMS[k][0], SYSTEMS[k][1],
                                                   GMathUnits::FORMAT_AUTO_UNIT, 3);
    }

    if (size >= sizeof(double) + 1) {
        double number;
        std::memcpy(&number, data, sizeof(double));
        unsigned int decimals = data[sizeof(double)] % 21;
        CoreString s = GMathUnits::stringify_float(number, decimals);
        fuzz_check(!s.is_empty());
        if (std::isfinite(number)) {
            // The text reads back within half a unit of its last place.
            double back = 0.0;
            CoreString no_unit;
            fuzz_check(GMathUnits::split_value_and_unit_from_str(s, back, no_unit) && no_unit.is_empty());
            // Reading the text back rounds once more, to the nearest double: allow for
            // that rounding on top of the half unit.
            double const magnitude = std::fabs(number);
            double const read_rounding = 2.0 * (std::nextafter(magnitude, INFINITY) - magnitude);
            double const half_unit = 0.5 * std::pow(10.0, -double(decimals)) * (1 + 1e-9);
            fuzz_check(std::fabs(back - number) <= half_unit + read_rounding
                  || std::fabs(back - number) <= magnitude * 1e-15);
            fuzz_check(s[s.get_length() - 1] != '.');
        }
    }
    return 0;
}
