#pragma once
// Numbers typed with units: reading "10cm" or "-0.5 km" into the unit a field stores,
// writing values with their unit, and the frame rate at which frame counts are read.
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

// Unit names of a kind, the conversions between them and the text forms of values. All
// functions are static and safe from any thread; the used frame rate is process-wide.
//
// A field has a kind, a system unit (the unit the user works in: numbers typed without a
// unit are read in it and values are shown in it) and a base unit (the unit its value is
// stored in). An empty system unit means the base unit; an empty base unit means the
// kind's reference unit (m, rad, s). Unit names are matched without regard to case.
//
// Time units include frame counts: "f" (also "frame", "frames") counts frames at the
// field's frame rate, and "<rate>fps" ("24fps", "29.97fps") counts frames at that rate.
// The field's frame rate is the rate of its system unit when that is a "<rate>fps" unit,
// else the fps argument, else (fps 0) the used frame rate.
//
// Parsing and writing never depend on the locale: the decimal separator is always '.'.
class QN_HOST_API GMathUnits {
public:
    // What a value measures.
    enum Kind : int {
        KIND_NONE,    // a plain number; typing a unit is an error
        KIND_LENGTH,  // mm, cm, m, km, in, ft, yd, mi (reference m)
        KIND_ANGLE,   // deg, rad (reference rad)
        KIND_TIME,    // ms, s, min, h and frame counts (reference s)
        KIND_COUNT
    };
    // "KIND_LENGTH", ...; "KIND_UNKNOWN" for other values.
    static char const* get_kind_name(Kind const& kind);
    // The lower-case label of a kind in settings and menus: "none", "length", "angle",
    // "time" ("" for other values), and back ("distance" is read as a length too).
    static char const* get_kind_label(Kind const& kind);
    static bool get_kind_from_label(CoreString const& label, Kind& kind);

    // How get_value_with_unit_from_value writes a value.
    enum Format : int {
        FORMAT_VALUE,       // the number in the system unit alone: "2.5"
        FORMAT_VALUE_UNIT,  // the number and the system unit: "2.5cm"
        FORMAT_AUTO_UNIT,   // the number and the unit of a list that reads best: "1.2km"
        FORMAT_COUNT
    };
    // "FORMAT_VALUE", ...; "FORMAT_UNKNOWN" for other values.
    static char const* get_format_name(Format const& format);

    // One unit: a value v in it is v * numerator / denominator in the reference unit of its
    // kind. Integer ratios (cm is 1/100, in is 254/10000) keep 10cm -> 0.1m exact.
    struct Unit {
        CoreString name;  // the canonical name: "cm", "deg", "f", "24fps"
        Kind kind = KIND_NONE;
        double numerator = 1.0;
        double denominator = 1.0;
        bool is_frame = false;  // a frame count; the denominator is its frame rate
    };

    // Looks a unit up by name or alias ("cm", "Feet", "°", "'", "29.97fps"); an "f" unit
    // takes the frame rate `fps` (the used one when fps is not above 0). False, with
    // nothing logged, when the name is unknown.
    static bool get_unit(CoreString const& name, double const& fps, Unit& unit);
    // `value` in `from` expressed in `to`; both units must be of the same kind.
    static double convert(double const& value, Unit const& from, Unit const& to);

    // Splits "  -1.5e3 mm " into -1500 and "mm". The text is an optionally signed decimal
    // number (fraction and exponent allowed) with white space around it, then an optional
    // unit name: letters, one of ° ' ", or "<rate>fps". The unit is left empty when absent
    // and is not checked against the known units. A number too small for a double reads
    // as 0. Logs a warning and changes nothing when the text has no number, a number too
    // large for a double, or other text.
    static bool split_value_and_unit_from_str(CoreString const& text, double& value, CoreString& unit);

    // Reads a typed value of a field: a number alone is in the system unit, a number with
    // a unit of the field's kind is converted; the result is in the base unit. Logs a
    // warning and leaves `value` alone on bad text or a unit unknown or of another kind,
    // and an error when the system or base unit does not fit the kind.
    static bool get_value_from_str_with_unit(CoreString const& text, double const& fps, Kind const& kind,
                                             CoreString const& system, CoreString const& base,
                                             double& value);

    // Writes `value` (in the base unit) as the field shows it, with `precision` decimals
    // (see stringify_float). `units` are the candidates of FORMAT_AUTO_UNIT, which picks
    // the largest in which |value| is at least 1 (else the smallest); with no candidate,
    // or for 0 and non-finite values, it writes the system unit. Non-finite values are
    // written without a unit. When the system or base unit does not fit the kind the
    // error is logged and the value is written as it is, without a unit.
    static CoreString get_value_with_unit_from_value(CoreBasicArray<CoreString> const& units,
                                                     double const& value, double const& fps,
                                                     Kind const& kind, CoreString const& system,
                                                     CoreString const& base, Format const& format,
                                                     unsigned int const& precision);
    // The canonical name of the unit get_value_with_unit_from_value expresses `value` in
    // (also for FORMAT_VALUE, which does not write it); "" for KIND_NONE or on error.
    static CoreString get_format_unit(CoreBasicArray<CoreString> const& units, double const& value,
                                      double const& fps, Kind const& kind, CoreString const& system,
                                      CoreString const& base, Format const& format);
    // The text written after a number in `unit`: its canonical name, but "f" for every
    // frame unit (48 frames at 24fps read "48f"). Unknown names are returned unchanged.
    static CoreString get_display_format_unit(CoreString const& unit);

    // The units a field of `kind` can work in, smallest first within each family (for
    // time: ms, s, min, h, f and the frame rates of get_all_fps_unit_names).
    static CoreVector<CoreString> get_all_system_unit_names(Kind const& kind);
    // The common frame rates: "24fps", "25fps", "30fps", "48fps", "50fps", "60fps".
    static CoreVector<CoreString> get_all_fps_unit_names();

    // The process-wide frame rate of "f" units (24 at start). A rate that is not a finite
    // number above 0 is refused with an error.
    static bool set_used_fps(double const& fps);
    static double get_used_fps();
    // The used frame rate as a unit name ("24fps") and set from one ("25fps" or "25").
    static CoreString get_used_fps_unit();
    static bool set_used_fps_unit(CoreString const& name);

    // `value` in fixed notation rounded to `decimals` places (at most 30), then trailing
    // zeros and a trailing '.' removed: (1.5, 3) -> "1.5", (2.0, 3) -> "2",
    // (0.1 + 0.2, 2) -> "0.3", (1234.5678, 0) -> "1235". The exact binary value is
    // rounded, ties to even as printf does ((0.125, 2) -> "0.12"). A result that rounds
    // to zero has no sign; NaN and infinities give "nan", "inf" and "-inf".
    static CoreString stringify_float(double const& value, unsigned int const& decimals);
};
