#include "host/gmath/gmath_units.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string_view>
#include <system_error>

#include "host/core/core_log.h"

namespace {

struct UnitEntry {
    char const* name;
    GMathUnits::Kind kind;
    double numerator;
    double denominator;
    bool is_frame;
};

// The fixed units, each family smallest first. The frame unit "f" gets its rate when
// looked up; "<rate>fps" units are made from their name.
constexpr UnitEntry UNITS[] = {
    {"mm", GMathUnits::KIND_LENGTH, 1.0, 1000.0, false},
    {"cm", GMathUnits::KIND_LENGTH, 1.0, 100.0, false},
    {"m", GMathUnits::KIND_LENGTH, 1.0, 1.0, false},
    {"km", GMathUnits::KIND_LENGTH, 1000.0, 1.0, false},
    {"in", GMathUnits::KIND_LENGTH, 254.0, 10000.0, false},
    {"ft", GMathUnits::KIND_LENGTH, 3048.0, 10000.0, false},
    {"yd", GMathUnits::KIND_LENGTH, 9144.0, 10000.0, false},
    {"mi", GMathUnits::KIND_LENGTH, 1609344.0, 1000.0, false},
    {"deg", GMathUnits::KIND_ANGLE, std::numbers::pi, 180.0, false},
    {"rad", GMathUnits::KIND_ANGLE, 1.0, 1.0, false},
    {"ms", GMathUnits::KIND_TIME, 1.0, 1000.0, false},
    {"s", GMathUnits::KIND_TIME, 1.0, 1.0, false},
    {"min", GMathUnits::KIND_TIME, 60.0, 1.0, false},
    {"h", GMathUnits::KIND_TIME, 3600.0, 1.0, false},
    {"f", GMathUnits::KIND_TIME, 1.0, 0.0, true},
};

// Other spellings accepted on input, in lower case.
struct UnitAlias {
    char const* alias;
    char const* name;
};

constexpr UnitAlias ALIASES[] = {
    {"meter", "m"}, {"meters", "m"}, {"metre", "m"}, {"metres", "m"},
    {"inch", "in"}, {"inches", "in"}, {"\"", "in"},
    {"foot", "ft"}, {"feet", "ft"}, {"'", "ft"},
    {"yard", "yd"}, {"yards", "yd"}, {"mile", "mi"}, {"miles", "mi"},
    {"degree", "deg"}, {"degrees", "deg"}, {"\xC2\xB0", "deg"},
    {"radian", "rad"}, {"radians", "rad"},
    {"sec", "s"}, {"second", "s"}, {"seconds", "s"}, {"msec", "ms"},
    {"minute", "min"}, {"minutes", "min"}, {"hour", "h"}, {"hours", "h"}, {"hr", "h"},
    {"frame", "f"}, {"frames", "f"},
};

constexpr char const* FPS_UNITS[] = {"24fps", "25fps", "30fps", "48fps", "50fps", "60fps"};
constexpr char const* REFERENCE_UNITS[] = {"", "m", "rad", "s"};

std::atomic<double> s_used_fps{24.0};

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char to_lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool equal_no_case(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (to_lower(a[i]) != to_lower(b[i])) return false;
    return true;
}

bool is_finite_rate(double fps) { return std::isfinite(fps) && fps > 0.0; }

// Reads a frame rate written as unsigned digits with an optional fraction ("24", "29.97").
bool parse_rate(std::string_view text, double& fps)
{
    if (text.empty()) return false;
    bool point = false;
    bool digit = false;
    for (char c : text) {
        if (c == '.' && !point) point = true;
        else if (is_digit(c)) digit = true;
        else return false;
    }
    double rate = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), rate);
    if (!digit || result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    if (!is_finite_rate(rate)) return false;
    fps = rate;
    return true;
}

// A "<rate>fps" unit name, any case.
bool parse_fps_unit(std::string_view name, double& fps)
{
    if (name.size() < 4 || !equal_no_case(name.substr(name.size() - 3), "fps")) return false;
    return parse_rate(name.substr(0, name.size() - 3), fps);
}

// The name of a frame rate as a unit: the shortest decimal that reads back the same rate
// ("24fps", "29.97fps"), so that every rate keeps a name of its own.
CoreString fps_unit_name(double fps)
{
    char buffer[1200];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), fps, std::chars_format::fixed);
    CoreString name(std::string_view(buffer, size_t(result.ptr - buffer)));
    name += "fps";
    return name;
}

GMathUnits::Unit make_frame_unit(double fps, bool named_by_rate)
{
    GMathUnits::Unit unit;
    unit.name = named_by_rate ? fps_unit_name(fps) : CoreString("f");
    unit.kind = GMathUnits::KIND_TIME;
    unit.numerator = 1.0;
    unit.denominator = fps;
    unit.is_frame = true;
    return unit;
}

// What parse found wrong; describe() words it only when a message is admitted.
enum ParseError { PARSE_OK, PARSE_NO_NUMBER, PARSE_OUT_OF_RANGE, PARSE_GARBAGE };

struct Parsed {
    ParseError error = PARSE_OK;
    double value = 0.0;
    std::string_view unit;  // the unit, or the unexpected text on PARSE_GARBAGE
};

// True for the shape of a unit name: letters, "<digits>fps", or one of the symbols. Whether
// the unit exists (a rate of 0fps does not) is checked when it is looked up.
bool is_unit_token(std::string_view token)
{
    if (token == "\xC2\xB0" || token == "'" || token == "\"") return true;
    if (token.size() > 3 && equal_no_case(token.substr(token.size() - 3), "fps")) {
        std::string_view rate = token.substr(0, token.size() - 3);
        if (is_digit(rate.front()) || rate.front() == '.')
            return rate.find_first_not_of("0123456789.") == std::string_view::npos
                && rate.find_first_of("0123456789") != std::string_view::npos
                && rate.find('.') == rate.rfind('.');
    }
    for (char c : token)
        if (!is_letter(c)) return false;
    return !token.empty();
}

// Decimal order of magnitude of a mantissa ("0.05", "120") times 10^exponent: above 0 when
// the number is at least 1. Tells an overflow from an underflow when conversion fails.
long magnitude(std::string_view mantissa, long exponent)
{
    long before_point = 0;
    long zeros_after_point = 0;
    bool in_fraction = false;
    bool seen_significant = false;
    for (char c : mantissa) {
        if (c == '.') { in_fraction = true; continue; }
        if (!is_digit(c)) continue;
        if (c != '0') seen_significant = true;
        if (!in_fraction) {
            if (seen_significant) ++before_point;
        } else if (!seen_significant) {
            ++zeros_after_point;
        }
    }
    return (before_point > 0 ? before_point : -zeros_after_point) + exponent;
}

Parsed parse(std::string_view text)
{
    Parsed parsed;
    size_t i = 0;
    size_t const n = text.size();
    while (i < n && is_space(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    size_t const mantissa_start = i;
    size_t digits = 0;
    while (i < n && is_digit(text[i])) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && is_digit(text[i])) ++i, ++digits;
    }
    if (digits == 0) {
        parsed.error = PARSE_NO_NUMBER;
        return parsed;
    }
    size_t const mantissa_end = i;
    long exponent = 0;
    // An 'e' not followed by digits starts the unit ("2em" is 2 of a unit "em").
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool exponent_negative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) exponent_negative = text[j++] == '-';
        if (j < n && is_digit(text[j])) {
            while (j < n && is_digit(text[j])) {
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (exponent_negative) exponent = -exponent;
            i = j;
        }
    }
    size_t const number_end = i;

    // from_chars takes no '+'; the sign is applied afterwards.
    double value = 0.0;
    auto result = std::from_chars(text.data() + mantissa_start, text.data() + number_end, value);
    if (result.ec == std::errc::result_out_of_range) {
        if (magnitude(text.substr(mantissa_start, mantissa_end - mantissa_start), exponent) > 0) {
            parsed.error = PARSE_OUT_OF_RANGE;
            return parsed;
        }
        value = 0.0;  // too small for a double: it reads as zero
    } else if (result.ec != std::errc() || result.ptr != text.data() + number_end) {
        parsed.error = PARSE_NO_NUMBER;
        return parsed;
    }

    std::string_view rest = text.substr(number_end);
    while (!rest.empty() && is_space(rest.front())) rest.remove_prefix(1);
    while (!rest.empty() && is_space(rest.back())) rest.remove_suffix(1);
    if (!rest.empty() && !is_unit_token(rest)) {
        parsed.error = PARSE_GARBAGE;
        parsed.unit = rest;
        return parsed;
    }
    parsed.value = negative ? -value : value;
    parsed.unit = rest;
    return parsed;
}

// Writes what is wrong with `text` into a log message.
struct DescribeError {
    Parsed const& parsed;
    std::string_view text;
};

std::ostream& operator<<(std::ostream& out, DescribeError const& d)
{
    switch (d.parsed.error) {
    case PARSE_NO_NUMBER: return out << "no number in \"" << d.text << "\"";
    case PARSE_OUT_OF_RANGE: return out << "number out of range in \"" << d.text << "\"";
    case PARSE_GARBAGE:
        return out << "unexpected \"" << d.parsed.unit << "\" after the number in \"" << d.text << "\"";
    default: return out << "no error";
    }
}

DescribeError describe(Parsed const& parsed, std::string_view text) { return DescribeError{parsed, text}; }

// The system and base units of a field, checked against its kind.
struct FieldUnits {
    GMathUnits::Unit system;
    GMathUnits::Unit base;
    double fps = 0.0;  // the rate of "f" in this field
};

// The last field resolved on this thread: a field reads and writes its values with the same
// units again and again, and resolving them scans the unit tables.
struct ResolvedField {
    GMathUnits::Kind kind = GMathUnits::KIND_COUNT;
    std::string system;
    std::string base;
    double fps = 0.0;
    double used_fps = 0.0;
    FieldUnits field;
};
thread_local ResolvedField t_last_field;

bool resolve_field_units(char const* caller, GMathUnits::Kind const& kind, CoreString const& system_name,
                         CoreString const& base_name, double const& fps, FieldUnits& field);

// Resolves the field's units; logs an error naming `caller` when they do not fit the kind.
bool resolve_field(char const* caller, GMathUnits::Kind const& kind, CoreString const& system_name,
                   CoreString const& base_name, double const& fps, FieldUnits& field)
{
    ResolvedField& last = t_last_field;
    double const used = GMathUnits::get_used_fps();
    if (last.kind == kind && last.fps == fps && last.used_fps == used && last.system == system_name.view() &&
        last.base == base_name.view()) {
        field = last.field;
        return true;
    }
    if (!resolve_field_units(caller, kind, system_name, base_name, fps, field)) return false;
    last.kind = kind;
    last.system = system_name.view();
    last.base = base_name.view();
    last.fps = fps;
    last.used_fps = used;
    last.field = field;
    return true;
}

bool resolve_field_units(char const* caller, GMathUnits::Kind const& kind, CoreString const& system_name,
                         CoreString const& base_name, double const& fps, FieldUnits& field)
{
    if (kind <= GMathUnits::KIND_NONE || kind >= GMathUnits::KIND_COUNT) {
        CORE_LOG_ERROR("GMathUnits." << caller << ": no units for kind "
                                     << GMathUnits::get_kind_name(kind) << "\n");
        return false;
    }
    CoreString base = base_name.is_empty() ? CoreString(REFERENCE_UNITS[kind]) : base_name;
    CoreString system = system_name.is_empty() ? base : system_name;
    double system_rate;
    field.fps = parse_fps_unit(system.view(), system_rate) ? system_rate
              : is_finite_rate(fps)                         ? fps
                                                            : GMathUnits::get_used_fps();
    auto resolve = [&](char const* role, CoreString const& name, GMathUnits::Unit& unit) {
        if (!GMathUnits::get_unit(name, field.fps, unit)) {
            CORE_LOG_ERROR("GMathUnits." << caller << ": unknown " << role << " unit \"" << name << "\"\n");
            return false;
        }
        if (unit.kind != kind) {
            CORE_LOG_ERROR("GMathUnits." << caller << ": " << role << " unit \"" << name
                                         << "\" is not a unit of " << GMathUnits::get_kind_label(kind)
                                         << "\n");
            return false;
        }
        return true;
    };
    return resolve("base", base, field.base) && resolve("system", system, field.system);
}

// Size of a unit in its reference unit, to order units.
double unit_size(GMathUnits::Unit const& unit) { return unit.numerator / unit.denominator; }

// The unit a value is written in (see get_format_unit); false after logging an error.
bool choose_format_unit(char const* caller, CoreBasicArray<CoreString> const& units, double const& value,
                        double const& fps, GMathUnits::Kind const& kind, CoreString const& system,
                        CoreString const& base, GMathUnits::Format const& format, FieldUnits& field,
                        GMathUnits::Unit& chosen)
{
    if (!resolve_field(caller, kind, system, base, fps, field)) return false;
    chosen = field.system;
    if (format != GMathUnits::FORMAT_AUTO_UNIT || value == 0.0 || !std::isfinite(value)) return true;

    bool found_large = false;
    bool found_any = false;
    GMathUnits::Unit large;  // the largest unit in which |value| >= 1
    GMathUnits::Unit small;  // the smallest candidate
    for (CoreString const& name : units) {
        GMathUnits::Unit unit;
        if (!GMathUnits::get_unit(name, field.fps, unit) || unit.kind != kind) {
            CORE_LOG_WARNING("GMathUnits." << caller << ": ignored \"" << name << "\", not a unit of "
                                           << GMathUnits::get_kind_label(kind) << "\n");
            continue;
        }
        if (!found_any || unit_size(unit) < unit_size(small)) small = unit;
        found_any = true;
        double v = std::fabs(GMathUnits::convert(value, field.base, unit));
        if (v >= 1.0 && (!found_large || unit_size(unit) > unit_size(large))) {
            large = unit;
            found_large = true;
        }
    }
    if (found_large) chosen = large;
    else if (found_any) chosen = small;
    return true;
}

} // namespace

char const* GMathUnits::get_kind_name(Kind const& kind)
{
    switch (kind) {
    case KIND_NONE: return "KIND_NONE";
    case KIND_LENGTH: return "KIND_LENGTH";
    case KIND_ANGLE: return "KIND_ANGLE";
    case KIND_TIME: return "KIND_TIME";
    default: return "KIND_UNKNOWN";
    }
}

char const* GMathUnits::get_kind_label(Kind const& kind)
{
    switch (kind) {
    case KIND_NONE: return "none";
    case KIND_LENGTH: return "length";
    case KIND_ANGLE: return "angle";
    case KIND_TIME: return "time";
    default: return "";
    }
}

bool GMathUnits::get_kind_from_label(CoreString const& label, Kind& kind)
{
    std::string_view text = label.view();
    if (equal_no_case(text, "distance")) {
        kind = KIND_LENGTH;
        return true;
    }
    for (int k = KIND_NONE; k < KIND_COUNT; ++k) {
        if (equal_no_case(text, get_kind_label(Kind(k)))) {
            kind = Kind(k);
            return true;
        }
    }
    return false;
}

char const* GMathUnits::get_format_name(Format const& format)
{
    switch (format) {
    case FORMAT_VALUE: return "FORMAT_VALUE";
    case FORMAT_VALUE_UNIT: return "FORMAT_VALUE_UNIT";
    case FORMAT_AUTO_UNIT: return "FORMAT_AUTO_UNIT";
    default: return "FORMAT_UNKNOWN";
    }
}

bool GMathUnits::get_unit(CoreString const& name, double const& fps, Unit& unit)
{
    std::string_view text = name.view();
    for (UnitAlias const& alias : ALIASES) {
        if (equal_no_case(text, alias.alias)) {
            text = alias.name;
            break;
        }
    }
    for (UnitEntry const& entry : UNITS) {
        if (!equal_no_case(text, entry.name)) continue;
        if (entry.is_frame) {
            unit = make_frame_unit(is_finite_rate(fps) ? fps : get_used_fps(), false);
            return true;
        }
        unit.name = entry.name;
        unit.kind = entry.kind;
        unit.numerator = entry.numerator;
        unit.denominator = entry.denominator;
        unit.is_frame = false;
        return true;
    }
    double rate;
    if (parse_fps_unit(text, rate)) {
        unit = make_frame_unit(rate, true);
        return true;
    }
    return false;
}

double GMathUnits::convert(double const& value, Unit const& from, Unit const& to)
{
    if (from.numerator == to.numerator && from.denominator == to.denominator) return value;
    // One rounding for the whole ratio when the products stay finite: 10 * 1 / 100 is
    // exactly the double nearest 0.1.
    double numerator = from.numerator * to.denominator;
    double denominator = from.denominator * to.numerator;
    double scaled = value * numerator;
    if (std::isfinite(scaled) || !std::isfinite(value)) return scaled / denominator;
    return value * (numerator / denominator);
}

bool GMathUnits::split_value_and_unit_from_str(CoreString const& text, double& value, CoreString& unit)
{
    Parsed parsed = parse(text.view());
    if (parsed.error != PARSE_OK) {
        CORE_LOG_WARNING("GMathUnits.split_value_and_unit_from_str: "
                         << describe(parsed, text.view()) << "\n");
        return false;
    }
    value = parsed.value;
    unit = CoreString(parsed.unit);
    return true;
}

bool GMathUnits::get_value_from_str_with_unit(CoreString const& text, double const& fps, Kind const& kind,
                                              CoreString const& system, CoreString const& base,
                                              double& value)
{
    Parsed parsed = parse(text.view());
    if (parsed.error != PARSE_OK) {
        CORE_LOG_WARNING("GMathUnits.get_value_from_str_with_unit: "
                         << describe(parsed, text.view()) << "\n");
        return false;
    }
    if (kind == KIND_NONE) {
        if (!parsed.unit.empty()) {
            CORE_LOG_WARNING("GMathUnits.get_value_from_str_with_unit: no unit expected in \""
                             << text << "\"\n");
            return false;
        }
        value = parsed.value;
        return true;
    }
    FieldUnits field;
    if (!resolve_field("get_value_from_str_with_unit", kind, system, base, fps, field)) return false;
    Unit typed = field.system;
    if (!parsed.unit.empty()) {
        if (!get_unit(CoreString(parsed.unit), field.fps, typed)) {
            CORE_LOG_WARNING("GMathUnits.get_value_from_str_with_unit: unknown unit \"" << parsed.unit
                             << "\" in \"" << text << "\"\n");
            return false;
        }
        if (typed.kind != kind) {
            CORE_LOG_WARNING("GMathUnits.get_value_from_str_with_unit: unit \"" << parsed.unit << "\" in \""
                             << text << "\" is not a unit of " << get_kind_label(kind) << "\n");
            return false;
        }
    }
    value = convert(parsed.value, typed, field.base);
    return true;
}

CoreString GMathUnits::get_value_with_unit_from_value(CoreBasicArray<CoreString> const& units,
                                                      double const& value, double const& fps,
                                                      Kind const& kind, CoreString const& system,
                                                      CoreString const& base, Format const& format,
                                                      unsigned int const& precision)
{
    if (kind == KIND_NONE) return stringify_float(value, precision);
    FieldUnits field;
    Unit chosen;
    if (!choose_format_unit("get_value_with_unit_from_value", units, value, fps, kind, system, base, format,
                            field, chosen))
        return stringify_float(value, precision);
    CoreString text = stringify_float(convert(value, field.base, chosen), precision);
    if (format != FORMAT_VALUE && std::isfinite(value)) text += get_display_format_unit(chosen.name);
    return text;
}

CoreString GMathUnits::get_format_unit(CoreBasicArray<CoreString> const& units, double const& value,
                                       double const& fps, Kind const& kind, CoreString const& system,
                                       CoreString const& base, Format const& format)
{
    if (kind == KIND_NONE) return CoreString();
    FieldUnits field;
    Unit chosen;
    if (!choose_format_unit("get_format_unit", units, value, fps, kind, system, base, format, field, chosen))
        return CoreString();
    return chosen.name;
}

CoreString GMathUnits::get_display_format_unit(CoreString const& unit)
{
    Unit found;
    if (!get_unit(unit, 0.0, found)) return unit;
    return found.is_frame ? CoreString("f") : found.name;
}

CoreVector<CoreString> GMathUnits::get_all_system_unit_names(Kind const& kind)
{
    CoreVector<CoreString> names;
    for (UnitEntry const& entry : UNITS)
        if (entry.kind == kind) names.add(CoreString(entry.name));
    if (kind == KIND_TIME) names.add(get_all_fps_unit_names());
    return names;
}

CoreVector<CoreString> GMathUnits::get_all_fps_unit_names()
{
    CoreVector<CoreString> names;
    for (char const* name : FPS_UNITS) names.add(CoreString(name));
    return names;
}

bool GMathUnits::set_used_fps(double const& fps)
{
    if (!is_finite_rate(fps)) {
        CORE_LOG_ERROR("GMathUnits.set_used_fps: " << fps << " is not a frame rate\n");
        return false;
    }
    s_used_fps.store(fps);
    return true;
}

double GMathUnits::get_used_fps() { return s_used_fps.load(); }

CoreString GMathUnits::get_used_fps_unit() { return fps_unit_name(get_used_fps()); }

bool GMathUnits::set_used_fps_unit(CoreString const& name)
{
    double fps;
    if (!parse_fps_unit(name.view(), fps) && !parse_rate(name.view(), fps)) {
        CORE_LOG_ERROR("GMathUnits.set_used_fps_unit: \"" << name << "\" is not a frame rate\n");
        return false;
    }
    s_used_fps.store(fps);
    return true;
}

CoreString GMathUnits::stringify_float(double const& value, unsigned int const& decimals)
{
    if (std::isnan(value)) return CoreString("nan");
    if (std::isinf(value)) return CoreString(value < 0.0 ? "-inf" : "inf");
    // 309 integer digits, a sign, a point and 30 decimals at most.
    char buffer[400];
    int places = decimals > 30u ? 30 : int(decimals);
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, places);
    std::string_view text(buffer, size_t(result.ptr - buffer));
    if (text.find('.') != std::string_view::npos) {
        while (text.back() == '0') text.remove_suffix(1);
        if (text.back() == '.') text.remove_suffix(1);
    }
    // "-0" and "-0.00" come from values that round to zero.
    if (text.size() > 1 && text.front() == '-' && text.find_first_not_of("-0.") == std::string_view::npos)
        text.remove_prefix(1);
    return CoreString(text);
}
