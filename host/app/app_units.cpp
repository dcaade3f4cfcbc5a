#include "host/app/app_units.h"

#include <cmath>

#include "host/app/app_base.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_APPLICATION_UNIT_SYSTEM_CHANGE);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_FPS_CHANGED);

namespace {

// The settings of every kind, indexed by GMathUnits::Kind.
struct KindSettings {
    CoreString system;
    CoreString base;
    GMathUnits::Format format = GMathUnits::FORMAT_VALUE;
    CoreVector<CoreString> auto_units;
};

CoreVector<CoreString> default_auto_units(GMathUnits::Kind const& kind)
{
    CoreVector<CoreString> units;
    char const* const length[] = {"mm", "cm", "m", "km"};
    char const* const time[] = {"ms", "s", "min", "h"};
    if (kind == GMathUnits::KIND_LENGTH)
        for (char const* name : length) units.add(CoreString(name));
    else if (kind == GMathUnits::KIND_ANGLE)
        units.add(CoreString("deg"));
    else if (kind == GMathUnits::KIND_TIME)
        for (char const* name : time) units.add(CoreString(name));
    return units;
}

KindSettings* all_settings()
{
    static KindSettings settings[GMathUnits::KIND_COUNT];
    static bool initialised = false;
    if (!initialised) {
        initialised = true;
        for (int kind = 0; kind < GMathUnits::KIND_COUNT; ++kind)
            settings[kind].auto_units = default_auto_units(static_cast<GMathUnits::Kind>(kind));
    }
    return settings;
}

void raise_on_application(CoreString const& name, void* data)
{
    AppBase* app = AppBase::get_instance();
    if (!app) return;
    EventObject::EventInfo info(name, data);
    app->raise_event(info);
}

// The settings of a type that a setter may change; null (logged) for unknown and plain types.
KindSettings* settings_to_change(CoreString const& unit_type, char const* operation, GMathUnits::Kind& kind)
{
    if (!GMathUnits::get_kind_from_label(unit_type, kind) || kind == GMathUnits::KIND_NONE) {
        CORE_LOG_WARNING("AppUnits." << operation << ": \"" << unit_type << "\" is not a unit type with units\n");
        return nullptr;
    }
    return &all_settings()[kind];
}

bool is_unit_of_kind(CoreString const& name, GMathUnits::Kind const& kind, char const* operation)
{
    GMathUnits::Unit unit;
    if (name.is_empty() || (GMathUnits::get_unit(name, 0.0, unit) && unit.kind == kind)) return true;
    CORE_LOG_WARNING("AppUnits." << operation << ": \"" << name << "\" is not a unit of "
                                 << GMathUnits::get_kind_label(kind) << "\n");
    return false;
}

void notify_change(GMathUnits::Kind kind)
{
    raise_on_application(EVT_ID_APPLICATION_UNIT_SYSTEM_CHANGE, &kind);
}

// Stores a unit name of the kind and notifies when it changed.
bool set_unit(CoreString const& unit_type, CoreString const& name, char const* operation,
              CoreString KindSettings::*member)
{
    GMathUnits::Kind kind;
    KindSettings* settings = settings_to_change(unit_type, operation, kind);
    if (!settings || !is_unit_of_kind(name, kind, operation)) return false;
    if (settings->*member == name) return true;
    settings->*member = name;
    notify_change(kind);
    return true;
}

}  // namespace

bool AppUnits::get_kind(CoreString const& unit_type, GMathUnits::Kind& kind)
{
    if (unit_type.is_empty()) {
        kind = GMathUnits::KIND_NONE;
        return true;
    }
    if (GMathUnits::get_kind_from_label(unit_type, kind)) return true;
    CORE_LOG_WARNING("AppUnits.get_kind: unknown unit type \"" << unit_type << "\"\n");
    return false;
}

AppUnits::Settings AppUnits::get_settings(CoreString const& unit_type)
{
    Settings settings;
    if (!get_kind(unit_type, settings.kind)) settings.kind = GMathUnits::KIND_NONE;
    KindSettings const& stored = all_settings()[settings.kind];
    settings.system = stored.system;
    settings.base = stored.base;
    settings.format = stored.format;
    settings.auto_units = stored.auto_units;
    return settings;
}

bool AppUnits::set_unit_system(CoreString const& unit_type, CoreString const& system)
{
    return set_unit(unit_type, system, "set_unit_system", &KindSettings::system);
}

bool AppUnits::set_unit_base(CoreString const& unit_type, CoreString const& base)
{
    return set_unit(unit_type, base, "set_unit_base", &KindSettings::base);
}

bool AppUnits::set_unit_format(CoreString const& unit_type, GMathUnits::Format const& format)
{
    GMathUnits::Kind kind;
    KindSettings* settings = settings_to_change(unit_type, "set_unit_format", kind);
    if (!settings) return false;
    if (format < GMathUnits::FORMAT_VALUE || format >= GMathUnits::FORMAT_COUNT) {
        CORE_LOG_WARNING("AppUnits.set_unit_format: " << static_cast<int>(format) << " is not a format\n");
        return false;
    }
    if (settings->format == format) return true;
    settings->format = format;
    notify_change(kind);
    return true;
}

bool AppUnits::set_auto_units(CoreString const& unit_type, CoreVector<CoreString> const& units)
{
    GMathUnits::Kind kind;
    KindSettings* settings = settings_to_change(unit_type, "set_auto_units", kind);
    if (!settings) return false;
    for (CoreString const& unit : units)
        if (unit.is_empty() || !is_unit_of_kind(unit, kind, "set_auto_units")) return false;
    if (settings->auto_units == units) return true;
    settings->auto_units = units;
    notify_change(kind);
    return true;
}

CoreString AppUnits::get_unit_system(CoreString const& unit_type) { return get_settings(unit_type).system; }

CoreString AppUnits::get_unit_base(CoreString const& unit_type) { return get_settings(unit_type).base; }

GMathUnits::Format AppUnits::get_unit_format(CoreString const& unit_type)
{
    return get_settings(unit_type).format;
}

bool AppUnits::get_format_from_name(CoreString const& name, GMathUnits::Format& format)
{
    for (int i = 0; i < GMathUnits::FORMAT_COUNT; ++i) {
        GMathUnits::Format const candidate = static_cast<GMathUnits::Format>(i);
        if (name == GMathUnits::get_format_name(candidate)) {
            format = candidate;
            return true;
        }
    }
    return false;
}

void AppUnits::reset()
{
    KindSettings* settings = all_settings();
    for (int kind = 0; kind < GMathUnits::KIND_COUNT; ++kind) {
        settings[kind] = KindSettings();
        settings[kind].auto_units = default_auto_units(static_cast<GMathUnits::Kind>(kind));
    }
}

bool AppUnits::set_fps(double const& fps)
{
    double const previous = GMathUnits::get_used_fps();
    if (!GMathUnits::set_used_fps(fps)) return false;
    if (fps != previous) raise_on_application(EVT_ID_APPLICATION_FPS_CHANGED, nullptr);
    return true;
}

double AppUnits::get_fps() { return GMathUnits::get_used_fps(); }

CoreString AppUnits::get_value_with_unit_from_value(Settings const& settings, double const& value,
                                                    unsigned int const& precision)
{
    return GMathUnits::get_value_with_unit_from_value(settings.auto_units, value, 0.0, settings.kind,
                                                      settings.system, settings.base, settings.format,
                                                      precision);
}

bool AppUnits::get_value_from_str_with_unit(Settings const& settings, CoreString const& text, double& value)
{
    return GMathUnits::get_value_from_str_with_unit(text, 0.0, settings.kind, settings.system, settings.base,
                                                    value);
}

CoreString AppUnits::get_value_with_unit_from_value(double const& value, CoreString const& unit_type,
                                                    unsigned int const& precision)
{
    return get_value_with_unit_from_value(get_settings(unit_type), value, precision);
}

bool AppUnits::get_value_from_str_with_unit(CoreString const& text, CoreString const& unit_type, double& value)
{
    return get_value_from_str_with_unit(get_settings(unit_type), text, value);
}
