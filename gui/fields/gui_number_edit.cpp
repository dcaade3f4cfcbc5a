#include "gui/fields/gui_number_edit.h"

#include <algorithm>
#include <cmath>

#include "host/app/app_base.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNumberEdit, GuiLineEdit)

char const* GuiNumberEdit::get_format_name(Format const& format)
{
    switch (format) {
    case FORMAT_INTEGER: return "FORMAT_INTEGER";
    case FORMAT_FLOAT: return "FORMAT_FLOAT";
    default: return "FORMAT_COUNT";
    }
}

GuiNumberEdit::GuiNumberEdit(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                             CoreString const& label)
    : GuiLineEdit(parent, x, y, w, h, label)
{
    set_null_value("--");
    if (AppBase* app = AppBase::get_instance()) {
        connect(*app, EVT_ID_APPLICATION_UNIT_SYSTEM_CHANGE, &GuiNumberEdit::on_unit_system_change);
        connect(*app, EVT_ID_APPLICATION_FPS_CHANGED, &GuiNumberEdit::on_fps_change);
    }
    set_text(format_value(m_value));
}

GuiNumberEdit::~GuiNumberEdit() = default;

// --- Value ---

void GuiNumberEdit::set_value(double const& value, bool const& reset_expression)
{
    if (!std::isfinite(value)) {
        CORE_LOG_WARNING("GuiNumberEdit.set_value: " << value << " is not a finite number; the value stays "
                                                     << m_value << "\n");
        return;
    }
    if (reset_expression) {
        m_expression_operator = 0;
        m_expression_value = 0.0;
    }
    m_null = false;
    m_value = clamp_value(value);
    set_text(format_value(m_value));
}

double GuiNumberEdit::clamp_value(double const& value) const
{
    double clamped = value;
    if (m_format == FORMAT_INTEGER) clamped = std::clamp(clamped, -INTEGER_LIMIT, INTEGER_LIMIT);
    if (m_range_enabled)
        clamped = std::clamp(clamped, m_range_min, m_range_max);
    else if (m_format == FORMAT_INTEGER)
        clamped = std::clamp(clamped, INT32_MIN_VALUE, INT32_MAX_VALUE);
    return clamped;
}

double GuiNumberEdit::get_value_with_precision() const
{
    // Read back from the text as shown, so that the rounding happens in the unit shown.
    double shown = m_value;
    return read_value(format_value(m_value), shown) ? shown : m_value;
}

void GuiNumberEdit::set_format(Format const& format)
{
    if (format != FORMAT_INTEGER && format != FORMAT_FLOAT) {
        CORE_LOG_WARNING("GuiNumberEdit.set_format: " << static_cast<int>(format) << " is not a format\n");
        return;
    }
    m_format = format;
    m_display_format = format;
    if (m_null)
        refresh_text();
    else
        set_value(m_value, false);
}

void GuiNumberEdit::set_display_format(Format const& format)
{
    if (format != FORMAT_INTEGER && format != FORMAT_FLOAT) {
        CORE_LOG_WARNING("GuiNumberEdit.set_display_format: " << static_cast<int>(format)
                                                              << " is not a format\n");
        return;
    }
    m_display_format = format;
    refresh_text();
}

void GuiNumberEdit::set_float_precision(unsigned int const& precision)
{
    m_float_precision = precision;
    refresh_text();
}

// --- Range ---

void GuiNumberEdit::set_range(double const& min, double const& max)
{
    if (!(min <= max)) {
        CORE_LOG_WARNING("GuiNumberEdit.set_range: the minimum " << min << " is not at most the maximum " << max
                                                                 << "; the range stays " << m_range_min << " to "
                                                                 << m_range_max << "\n");
        return;
    }
    m_range_min = min;
    m_range_max = max;
    if (m_range_enabled && !m_null) set_value(m_value, false);
}

void GuiNumberEdit::get_range(double& min, double& max) const
{
    min = m_range_min;
    max = m_range_max;
}

void GuiNumberEdit::enable_range(bool const& enable)
{
    m_range_enabled = enable;
    if (m_range_enabled && !m_null) set_value(m_value, false);
}

// --- Units ---

void GuiNumberEdit::set_unit_type(CoreString const& type)
{
    GMathUnits::Kind kind;
    if (!AppUnits::get_kind(type, kind)) return;
    if (kind != m_unit_kind) {
        // Units forced for another kind mean nothing in this one.
        m_force_system = CoreString();
        m_force_base = CoreString();
    }
    m_unit_type = type;
    m_unit_kind = kind;
    refresh_text();
}

namespace {

// An empty name, or a unit of the kind; warns otherwise.
bool check_forced_unit(CoreString const& name, GMathUnits::Kind const& kind, char const* operation)
{
    if (name.is_empty()) return true;
    GMathUnits::Unit unit;
    if (kind != GMathUnits::KIND_NONE && GMathUnits::get_unit(name, 0.0, unit) && unit.kind == kind) return true;
    CORE_LOG_WARNING("GuiNumberEdit." << operation << ": \"" << name << "\" is not a unit of the edit's unit type \""
                                     << GMathUnits::get_kind_label(kind) << "\"\n");
    return false;
}

}  // namespace

void GuiNumberEdit::set_force_unit_system(CoreString const& system)
{
    if (!check_forced_unit(system, m_unit_kind, "set_force_unit_system")) return;
    m_force_system = system;
    refresh_text();
}

void GuiNumberEdit::set_force_unit_base(CoreString const& base)
{
    if (!check_forced_unit(base, m_unit_kind, "set_force_unit_base")) return;
    m_force_base = base;
    refresh_text();
}

void GuiNumberEdit::set_force_unit_format(CoreString const& format)
{
    GMathUnits::Format parsed;
    if (!format.is_empty() && !AppUnits::get_format_from_name(format, parsed)) {
        CORE_LOG_WARNING("GuiNumberEdit.set_force_unit_format: \"" << format << "\" is not a unit format\n");
        return;
    }
    m_force_format = format;
    refresh_text();
}

AppUnits::Settings GuiNumberEdit::get_unit_settings() const
{
    AppUnits::Settings settings = AppUnits::get_settings(m_unit_type);
    if (!m_force_system.is_empty()) settings.system = m_force_system;
    if (!m_force_base.is_empty()) settings.base = m_force_base;
    if (!m_force_format.is_empty()) AppUnits::get_format_from_name(m_force_format, settings.format);
    return settings;
}

bool GuiNumberEdit::read_value(CoreString const& text, double& value) const
{
    if (!m_special_text.is_empty() && text.get_trim().get_lower_case() == m_special_text.get_lower_case()) {
        value = m_special_value;
        return true;
    }
    return AppUnits::get_value_from_str_with_unit(get_unit_settings(), text, value);
}

void GuiNumberEdit::set_special_value_text(double const& value, CoreString const& text)
{
    m_special_value = value;
    m_special_text = text.get_trim();
    if (!m_null) set_text(format_value(m_value));
}

CoreString GuiNumberEdit::format_value(double const& value) const
{
    if (!m_special_text.is_empty() && value == m_special_value) return m_special_text;
    unsigned int const precision = m_display_format == FORMAT_INTEGER ? 0 : m_float_precision;
    return AppUnits::get_value_with_unit_from_value(get_unit_settings(), value, precision);
}

void GuiNumberEdit::refresh_text()
{
    // Neither the null display nor an entry being typed is replaced.
    if (m_null || is_modified()) return;
    set_text(format_value(m_value));
}

void GuiNumberEdit::on_unit_system_change(EventObject&, EventInfo const& info, void*)
{
    GMathUnits::Kind const* kind = static_cast<GMathUnits::Kind const*>(info.get_event_data());
    if (!kind || *kind == m_unit_kind) refresh_text();
}

void GuiNumberEdit::on_fps_change(EventObject&, EventInfo const&, void*)
{
    // Frame counts stand for other times now; a time shown in seconds reads the same.
    if (m_unit_kind == GMathUnits::KIND_TIME) refresh_text();
}

// --- Relative entries ---

void GuiNumberEdit::split_expression(CoreString const& text, char& op, CoreString& operand)
{
    op = 0;
    operand = text;
    std::string const& s = text.std_string();
    if (s.size() < 3) return;
    size_t i = s.find_first_not_of(" \t");
    if (i == std::string::npos || i + 2 >= s.size() || s[i + 1] != '=') return;
    if (s[i] != '+' && s[i] != '-' && s[i] != '*' && s[i] != '/') return;
    op = s[i];
    operand = CoreString(s.substr(i + 2));
}

bool GuiNumberEdit::evaluate_entry(CoreString const& text, double& value, char& op, double& operand) const
{
    CoreString operand_text;
    split_expression(text, op, operand_text);
    if (op == 0) return read_value(text, value);
    double x = 0.0;
    if (op == '+' || op == '-') {
        if (!read_value(operand_text, x)) return false;
    } else {
        // A factor: a plain number, whatever the edit's unit.
        if (!AppUnits::get_value_from_str_with_unit(AppUnits::Settings(), operand_text, x)) return false;
        if (op == '/' && x == 0.0) {
            CORE_LOG_WARNING("GuiNumberEdit.on_changed: \"" << text << "\" divides by zero\n");
            return false;
        }
    }
    double const result = op == '+' ? m_value + x : op == '-' ? m_value - x : op == '*' ? m_value * x : m_value / x;
    if (!std::isfinite(result)) {
        CORE_LOG_WARNING("GuiNumberEdit.on_changed: \"" << text << "\" gives " << result
                                                        << ", not a finite number\n");
        return false;
    }
    value = result;
    operand = x;
    return true;
}

void GuiNumberEdit::on_changed()
{
    CoreString const text = get_text();
    // Leaving an edit that stands for several values without typing keeps it so.
    if (m_null && (text.is_empty() || text == get_null_value())) {
        GuiLineEdit::on_changed();
        return;
    }
    double value = m_value, operand = 0.0;
    char op = 0;
    if (!evaluate_entry(text, value, op, operand)) {
        // The entry was refused (and reported): the previous value's text comes back.
        set_text(m_null ? CoreString() : format_value(m_value));
        return;
    }
    m_expression_operator = op;
    m_expression_value = operand;
    set_value(value, false);
    GuiLineEdit::on_changed();
}

void GuiNumberEdit::set_null(bool const& null)
{
    m_null = null;
    set_text(null ? CoreString() : format_value(m_value));
}
