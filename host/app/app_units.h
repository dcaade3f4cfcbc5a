#pragma once
// AppUnits: the application's current unit settings per unit type, in which number fields
// and curve labels show and read values, and the scene's frame rate.
//
//     AppUnits::set_unit_system("distance", "cm");     // fields of lengths now work in cm
//     AppUnits::get_value_with_unit_from_value(0.25, "distance", 3);   // "25"
//     AppUnits::set_unit_format("distance", GMathUnits::FORMAT_VALUE_UNIT);
//     AppUnits::get_value_with_unit_from_value(0.25, "distance", 3);   // "25cm"
//     double value = 0.0;
//     AppUnits::get_value_from_str_with_unit("2in", "distance", value); // 0.0508 (m)
//
// A unit type is a kind's label as GMathUnits reads it ("distance" or "length", "angle",
// "time"); an empty type is a plain number. Each kind has a system unit (what the user
// works in), a base unit (what values are stored in; empty: the kind's reference unit), a
// format, and the candidate units of GMathUnits::FORMAT_AUTO_UNIT. The settings are
// process-wide, like GMathUnits' frame rate, and belong to the application thread.
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/gmath/gmath_units.h"

// Raised on the application object (AppBase::get_instance) when a unit type's system, base,
// format or automatic units change; the event data points to its GMathUnits::Kind.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_UNIT_SYSTEM_CHANGE);
// Raised on the application object when the scene's frame rate changes (set_fps); frame
// counts then stand for other times.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_FPS_CHANGED);

class QN_HOST_API AppUnits {
public:
    AppUnits() = delete;

    // Everything needed to write or read a value of one unit type.
    struct Settings {
        GMathUnits::Kind kind = GMathUnits::KIND_NONE;
        CoreString system;
        CoreString base;
        GMathUnits::Format format = GMathUnits::FORMAT_VALUE;
        CoreVector<CoreString> auto_units;
    };

    // The kind of a unit type; an empty type is KIND_NONE. False, with a warning, for an
    // unknown type.
    static bool get_kind(CoreString const& unit_type, GMathUnits::Kind& kind);
    // The application's current settings of a unit type (KIND_NONE ones for an empty or
    // unknown type).
    static Settings get_settings(CoreString const& unit_type);

    // Setters refuse (with a message, changing nothing) an unknown type, KIND_NONE, and a
    // unit that is not of the kind; an empty unit stands for the default (the base unit for
    // the system, the reference unit for the base). Each raises
    // EVT_ID_APPLICATION_UNIT_SYSTEM_CHANGE when the setting changed.
    static bool set_unit_system(CoreString const& unit_type, CoreString const& system);
    static bool set_unit_base(CoreString const& unit_type, CoreString const& base);
    static bool set_unit_format(CoreString const& unit_type, GMathUnits::Format const& format);
    // Candidate units of FORMAT_AUTO_UNIT, smallest first (default: mm cm m km; deg;
    // ms s min h).
    static bool set_auto_units(CoreString const& unit_type, CoreVector<CoreString> const& units);
    static CoreString get_unit_system(CoreString const& unit_type);
    static CoreString get_unit_base(CoreString const& unit_type);
    static GMathUnits::Format get_unit_format(CoreString const& unit_type);
    // A format by its name ("FORMAT_VALUE_UNIT"); false, quietly, for another name.
    static bool get_format_from_name(CoreString const& name, GMathUnits::Format& format);
    // Back to the defaults (every unit empty, FORMAT_VALUE), without events; for tests and
    // new sessions.
    static void reset();

    // The scene's frame rate: the rate of "f" units (GMathUnits' used frame rate). A rate
    // that is not a finite number above 0 is refused with an error; a change raises
    // EVT_ID_APPLICATION_FPS_CHANGED.
    static bool set_fps(double const& fps);
    static double get_fps();

    // `value` (in the base unit) written with `precision` decimals as the settings show it.
    static CoreString get_value_with_unit_from_value(Settings const& settings, double const& value,
                                                     unsigned int const& precision);
    // Reads a typed value into the base unit; false (warned by GMathUnits) on bad text, with
    // `value` left alone.
    static bool get_value_from_str_with_unit(Settings const& settings, CoreString const& text, double& value);
    // The same with the application's current settings of `unit_type`.
    static CoreString get_value_with_unit_from_value(double const& value, CoreString const& unit_type,
                                                     unsigned int const& precision);
    static bool get_value_from_str_with_unit(CoreString const& text, CoreString const& unit_type, double& value);
};
