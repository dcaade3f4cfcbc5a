#include "host/app/app_preferences.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <unordered_set>
#include <utility>

#include "host/core/core_log.h"
#include "host/parser/parser_file.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_functions.h"

EVENT_DEFINE_ID(EVT_ID_APPLICATION_PREFERENCES_CHANGED);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_PREFERENCES_LOADED);

CORE_IMPLEMENT_CLASS(AppItemPreferences, CoreBaseObject)
CORE_IMPLEMENT_CLASS(AppCategoryPreferences, CoreBaseObject)
CORE_IMPLEMENT_CREATABLE_CLASS(AppPreferences, EventObject)

namespace {

using Kind = AppItemPreferences::Kind;
using Value = AppItemPreferences::Value;

// Returned by reference when a lookup or a kind check fails.
GMathVec2<double> const s_zero_vec2;
GMathVec3<double> const s_zero_vec3;

bool is_vec2_kind(Kind kind) { return kind == AppItemPreferences::KIND_VEC2D; }
bool is_vec3_kind(Kind kind)
{
    return kind == AppItemPreferences::KIND_VEC3D || kind == AppItemPreferences::KIND_COLOR;
}
bool has_numeric_range(Kind kind)
{
    return kind == AppItemPreferences::KIND_LONG || kind == AppItemPreferences::KIND_DOUBLE ||
           is_vec2_kind(kind) || is_vec3_kind(kind);
}

// Clamps one component; true when it had to.
bool clamp_double(double& value, double min, double max)
{
    double clamped = std::clamp(value, min, max);
    if (clamped == value) return false;
    value = clamped;
    return true;
}

// What a file entry holds, for messages: "a string", "3 values", ...
CoreString describe_entry(ParserEntry const& entry)
{
    unsigned int count = entry.get_value_count();
    if (count == 0) return "no value";
    if (count > 1) return CoreString() + count + " values";
    switch (entry.get_value_type(0)) {
    case ParserEntry::VALUE_TYPE_BOOL: return "a bool";
    case ParserEntry::VALUE_TYPE_INT: return "an integer";
    case ParserEntry::VALUE_TYPE_DOUBLE: return "a real number";
    case ParserEntry::VALUE_TYPE_STRING: return "a string";
    case ParserEntry::VALUE_TYPE_VEC2D: return "a pair of numbers";
    case ParserEntry::VALUE_TYPE_VEC3D: return "a triple of numbers";
    case ParserEntry::VALUE_TYPE_GROUP: return "a group";
    default: return "an unknown value";
    }
}

// What an item of `kind` reads from a file, for messages.
char const* describe_kind(Kind kind)
{
    switch (kind) {
    case AppItemPreferences::KIND_BOOL: return "a bool";
    case AppItemPreferences::KIND_LONG:
    case AppItemPreferences::KIND_ENUM: return "an integer";
    case AppItemPreferences::KIND_DOUBLE: return "a number";
    case AppItemPreferences::KIND_STRING:
    case AppItemPreferences::KIND_FILENAME: return "a string";
    case AppItemPreferences::KIND_VEC2D: return "two numbers";
    case AppItemPreferences::KIND_VEC3D:
    case AppItemPreferences::KIND_COLOR: return "three numbers";
    default: return "a value";
    }
}

// True when `entry` holds a vector of `size` components: one vector value or that many
// numbers.
bool entry_holds_vector(ParserEntry const& entry, unsigned int size)
{
    unsigned int count = entry.get_value_count();
    if (count == 1) {
        return size == 2 ? entry.is_value_vec2d(0) : entry.is_value_vec3d(0);
    }
    if (count != size) return false;
    for (unsigned int i = 0; i < size; ++i) {
        if (!entry.is_value_number(i)) return false;
    }
    return true;
}

// Names an item in messages, after the file its value comes from when there is one; only
// formatted when the message is built.
struct ItemPlace {
    AppItemPreferences const& item;
    CoreBasicString const* source;
};

std::ostream& operator<<(std::ostream& out, ItemPlace const& place)
{
    if (place.source) out << *place.source << ": ";
    return out << place.item.get_category().get_name() << "." << place.item.get_key();
}

// The group of `group` named `name`, made when missing.
ParserGroup& get_or_add_group(ParserGroup& group, CoreBasicString const& name)
{
    ParserGroup* found = group.get_group(name);
    return found ? *found : group.add_group(name);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// AppItemPreferences

char const* AppItemPreferences::get_kind_name(Kind const& kind)
{
    switch (kind) {
    case KIND_BOOL: return "KIND_BOOL";
    case KIND_LONG: return "KIND_LONG";
    case KIND_DOUBLE: return "KIND_DOUBLE";
    case KIND_STRING: return "KIND_STRING";
    case KIND_FILENAME: return "KIND_FILENAME";
    case KIND_COLOR: return "KIND_COLOR";
    case KIND_VEC2D: return "KIND_VEC2D";
    case KIND_VEC3D: return "KIND_VEC3D";
    case KIND_ENUM: return "KIND_ENUM";
    case KIND_COUNT: return "KIND_COUNT";
    }
    return "KIND_UNKNOWN";
}

AppItemPreferences::AppItemPreferences(AppCategoryPreferences& category, CoreBasicString const& key,
                                       Kind const& kind)
    : m_category(&category), m_key(key), m_kind(kind), m_label(m_key.get_title())
{
    if (kind == KIND_COLOR) {
        m_has_range = true;
        m_range_min = 0.0;
        m_range_max = 1.0;
    }
}

CoreString AppItemPreferences::get_full_name() const
{
    return m_category->get_name() + "." + m_key;
}

bool AppItemPreferences::is_default() const
{
    return equals(m_value, m_default);
}

bool AppItemPreferences::check_kind(char const* member, std::initializer_list<Kind> wanted) const
{
    if (std::find(wanted.begin(), wanted.end(), m_kind) != wanted.end()) return true;
    CORE_LOG_WARNING(member << ": " << get_full_name() << " is a " << get_kind_name(m_kind) << " item\n");
    return false;
}

bool AppItemPreferences::get_bool_value() const
{
    return check_kind("AppItemPreferences.get_bool_value", {KIND_BOOL}) && m_value.b;
}

long long AppItemPreferences::get_long_value() const
{
    return check_kind("AppItemPreferences.get_long_value", {KIND_LONG, KIND_ENUM}) ? m_value.l : 0;
}

double AppItemPreferences::get_double_value() const
{
    return check_kind("AppItemPreferences.get_double_value", {KIND_DOUBLE}) ? m_value.d : 0.0;
}

CoreString const& AppItemPreferences::get_string_value() const
{
    if (!check_kind("AppItemPreferences.get_string_value", {KIND_STRING, KIND_FILENAME})) {
        return CoreString::get_null_string();
    }
    return m_value.s;
}

GMathVec2<double> const& AppItemPreferences::get_vec2d_value() const
{
    return check_kind("AppItemPreferences.get_vec2d_value", {KIND_VEC2D}) ? m_value.v2 : s_zero_vec2;
}

GMathVec3<double> const& AppItemPreferences::get_vec3d_value() const
{
    if (!check_kind("AppItemPreferences.get_vec3d_value", {KIND_VEC3D, KIND_COLOR})) return s_zero_vec3;
    return m_value.v3;
}

bool AppItemPreferences::set_bool_value(bool const& value)
{
    if (!check_kind("AppItemPreferences.set_bool_value", {KIND_BOOL})) return false;
    Value v = m_value;
    v.b = value;
    return assign(std::move(v), "AppItemPreferences.set_bool_value");
}

bool AppItemPreferences::set_long_value(long long const& value)
{
    if (!check_kind("AppItemPreferences.set_long_value", {KIND_LONG, KIND_ENUM})) return false;
    Value v = m_value;
    v.l = value;
    return assign(std::move(v), "AppItemPreferences.set_long_value");
}

bool AppItemPreferences::set_double_value(double const& value)
{
    if (!check_kind("AppItemPreferences.set_double_value", {KIND_DOUBLE})) return false;
    Value v = m_value;
    v.d = value;
    return assign(std::move(v), "AppItemPreferences.set_double_value");
}

bool AppItemPreferences::set_string_value(CoreBasicString const& value)
{
    if (!check_kind("AppItemPreferences.set_string_value", {KIND_STRING, KIND_FILENAME})) return false;
    Value v = m_value;
    v.s = value;
    return assign(std::move(v), "AppItemPreferences.set_string_value");
}

bool AppItemPreferences::set_vec2d_value(GMathVec2<double> const& value)
{
    if (!check_kind("AppItemPreferences.set_vec2d_value", {KIND_VEC2D})) return false;
    Value v = m_value;
    v.v2 = value;
    return assign(std::move(v), "AppItemPreferences.set_vec2d_value");
}

bool AppItemPreferences::set_vec3d_value(GMathVec3<double> const& value)
{
    if (!check_kind("AppItemPreferences.set_vec3d_value", {KIND_VEC3D, KIND_COLOR})) return false;
    Value v = m_value;
    v.v3 = value;
    return assign(std::move(v), "AppItemPreferences.set_vec3d_value");
}

bool AppItemPreferences::apply_preset(unsigned int const& index)
{
    if (index >= m_presets.get_count()) {
        CORE_LOG_WARNING("AppItemPreferences.apply_preset: " << get_full_name() << " has no preset " << index
                                                             << "\n");
        return false;
    }
    return assign(m_presets[index].value, "AppItemPreferences.apply_preset");
}

void AppItemPreferences::reset_to_default()
{
    if (equals(m_value, m_default)) return;
    m_value = m_default;
    m_category->notify_change(*this);
}

bool AppItemPreferences::assign(Value value, char const* member, CoreBasicString const* source, bool notify)
{
    ItemPlace where{*this, source};
    if (m_read_only) {
        CORE_LOG_WARNING(member << ": " << where << " is read-only\n");
        return false;
    }
    bool nan = false;
    if (m_kind == KIND_DOUBLE) nan = std::isnan(value.d);
    for (unsigned int i = 0; is_vec2_kind(m_kind) && i < 2; ++i) nan = nan || std::isnan(value.v2[i]);
    for (unsigned int i = 0; is_vec3_kind(m_kind) && i < 3; ++i) nan = nan || std::isnan(value.v3[i]);
    if (nan) {
        CORE_LOG_WARNING(member << ": " << where << ": " << format(value) << " is not a number\n");
        return false;
    }
    if (m_kind == KIND_ENUM && !m_enum_labels.is_empty() &&
        (value.l < 0 || value.l >= static_cast<long long>(m_enum_labels.get_count()))) {
        CORE_LOG_WARNING(member << ": " << where << ": index " << value.l << " is past the "
                                << m_enum_labels.get_count() << " labels\n");
        return false;
    }
    if (CoreLogHandler::get_main_log_handler()->admits(CORE_LOG_LEVEL_INFO)) {
        Value asked = value;
        if (clamp(value)) {
            CORE_LOG_INFO(member << ": " << where << ": " << format(asked) << " clamped to " << format(value)
                                 << "\n");
        }
    } else {
        clamp(value);
    }
    if (m_validator && !m_validator(*this, value, m_validator_data)) {
        CORE_LOG_WARNING(member << ": " << where << ": " << format(value) << " refused\n");
        return false;
    }
    if (equals(value, m_value)) return true;
    m_value = std::move(value);
    if (notify) m_category->notify_change(*this);
    return true;
}

bool AppItemPreferences::clamp(Value& value) const
{
    if (!m_has_range) return false;
    switch (m_kind) {
    case KIND_LONG: {
        // The integers inside the range, kept within what a long long holds.
        double min = std::max(std::ceil(m_range_min), -9.2e18);
        double max = std::min(std::floor(m_range_max), 9.2e18);
        if (static_cast<double>(value.l) < min) {
            value.l = static_cast<long long>(min);
            return true;
        }
        if (static_cast<double>(value.l) > max) {
            value.l = static_cast<long long>(max);
            return true;
        }
        return false;
    }
    case KIND_DOUBLE: return clamp_double(value.d, m_range_min, m_range_max);
    case KIND_VEC2D: {
        bool x = clamp_double(value.v2[0], m_range_min, m_range_max);
        bool y = clamp_double(value.v2[1], m_range_min, m_range_max);
        return x || y;
    }
    case KIND_VEC3D:
    case KIND_COLOR: {
        bool x = clamp_double(value.v3[0], m_range_min, m_range_max);
        bool y = clamp_double(value.v3[1], m_range_min, m_range_max);
        bool z = clamp_double(value.v3[2], m_range_min, m_range_max);
        return x || y || z;
    }
    default: return false;
    }
}

bool AppItemPreferences::equals(Value const& a, Value const& b) const
{
    switch (m_kind) {
    case KIND_BOOL: return a.b == b.b;
    case KIND_LONG:
    case KIND_ENUM: return a.l == b.l;
    case KIND_DOUBLE: return a.d == b.d;
    case KIND_STRING:
    case KIND_FILENAME: return a.s == b.s;
    case KIND_VEC2D: return a.v2 == b.v2;
    case KIND_VEC3D:
    case KIND_COLOR: return a.v3 == b.v3;
    default: return true;
    }
}

CoreString AppItemPreferences::format(Value const& value) const
{
    CoreString text;
    switch (m_kind) {
    case KIND_BOOL: text += value.b; break;
    case KIND_LONG:
    case KIND_ENUM: text += value.l; break;
    case KIND_DOUBLE: text += value.d; break;
    case KIND_STRING:
    case KIND_FILENAME: text = CoreString("\"") + value.s + "\""; break;
    case KIND_VEC2D: text = CoreString("(") + value.v2[0] + " " + value.v2[1] + ")"; break;
    case KIND_VEC3D:
    case KIND_COLOR:
        text = CoreString("(") + value.v3[0] + " " + value.v3[1] + " " + value.v3[2] + ")";
        break;
    default: break;
    }
    return text;
}

AppItemPreferences& AppItemPreferences::set_range(double const& min, double const& max)
{
    if (!has_numeric_range(m_kind)) {
        CORE_LOG_WARNING("AppItemPreferences.set_range: " << get_full_name() << " is a "
                                                          << get_kind_name(m_kind)
                                                          << " item, which has no range\n");
        return *this;
    }
    bool empty = !(min <= max) || (m_kind == KIND_LONG && std::ceil(min) > std::floor(max));
    if (empty) {
        CORE_LOG_WARNING("AppItemPreferences.set_range: " << get_full_name() << ": [" << min << ", " << max
                                                          << "] holds no value\n");
        return *this;
    }
    m_has_range = true;
    m_range_min = min;
    m_range_max = max;
    if (clamp(m_default)) {
        CORE_LOG_WARNING("AppItemPreferences.set_range: " << get_full_name() << ": the default is outside ["
                                                          << min << ", " << max << "], clamped to "
                                                          << format(m_default) << "\n");
    }
    Value value = m_value;
    if (clamp(value)) {
        m_value = std::move(value);
        m_category->notify_change(*this);
    }
    return *this;
}

AppItemPreferences& AppItemPreferences::set_ui_range(double const& min, double const& max)
{
    if (!has_numeric_range(m_kind)) {
        CORE_LOG_WARNING("AppItemPreferences.set_ui_range: " << get_full_name() << " is a "
                                                             << get_kind_name(m_kind)
                                                             << " item, which has no range\n");
        return *this;
    }
    if (!(min <= max)) {
        CORE_LOG_WARNING("AppItemPreferences.set_ui_range: " << get_full_name() << ": [" << min << ", " << max
                                                             << "] holds no value\n");
        return *this;
    }
    m_has_ui_range = true;
    m_ui_range_min = min;
    m_ui_range_max = max;
    return *this;
}

AppItemPreferences& AppItemPreferences::add_preset(CoreBasicString const& label, CoreVariant const& value)
{
    if (!value.is_valid() || is_vec2_kind(m_kind) || is_vec3_kind(m_kind)) {
        CORE_LOG_WARNING("AppItemPreferences.add_preset: " << get_full_name() << ": preset '" << label
                                                           << "' needs " << describe_kind(m_kind) << "\n");
        return *this;
    }
    Preset preset{label, m_default};
    switch (m_kind) {
    case KIND_BOOL: preset.value.b = value.to_bool(); break;
    case KIND_LONG:
    case KIND_ENUM: preset.value.l = value.to_long(); break;
    case KIND_DOUBLE: preset.value.d = value.to_double(); break;
    default: preset.value.s = value.to_string(); break;
    }
    m_presets.add(std::move(preset));
    return *this;
}

AppItemPreferences& AppItemPreferences::add_preset(CoreBasicString const& label,
                                                   GMathVec2<double> const& value)
{
    if (!check_kind("AppItemPreferences.add_preset", {KIND_VEC2D})) return *this;
    Preset preset{label, m_default};
    preset.value.v2 = value;
    m_presets.add(std::move(preset));
    return *this;
}

AppItemPreferences& AppItemPreferences::add_preset(CoreBasicString const& label,
                                                   GMathVec3<double> const& value)
{
    if (!check_kind("AppItemPreferences.add_preset", {KIND_VEC3D, KIND_COLOR})) return *this;
    Preset preset{label, m_default};
    preset.value.v3 = value;
    m_presets.add(std::move(preset));
    return *this;
}

CoreString const& AppItemPreferences::get_preset_label(unsigned int const& index) const
{
    return index < m_presets.get_count() ? m_presets[index].label : CoreString::get_null_string();
}

int AppItemPreferences::get_current_preset() const
{
    for (unsigned int i = 0; i < m_presets.get_count(); ++i) {
        if (equals(m_presets[i].value, m_value)) return static_cast<int>(i);
    }
    return -1;
}

AppItemPreferences& AppItemPreferences::set_enum_labels(CoreVector<CoreString> const& labels)
{
    if (!check_kind("AppItemPreferences.set_enum_labels", {KIND_ENUM})) return *this;
    m_enum_labels = labels;
    long long count = static_cast<long long>(labels.get_count());
    if (count == 0) return *this;
    if (m_default.l < 0 || m_default.l >= count) {
        CORE_LOG_WARNING("AppItemPreferences.set_enum_labels: " << get_full_name() << ": the default index "
                                                                << m_default.l << " is past the " << count
                                                                << " labels, 0 used instead\n");
        m_default.l = 0;
    }
    if (m_value.l < 0 || m_value.l >= count) {
        m_value.l = m_default.l;
        m_category->notify_change(*this);
    }
    return *this;
}

CoreString const& AppItemPreferences::get_enum_label() const
{
    if (m_kind != KIND_ENUM || m_value.l < 0 ||
        m_value.l >= static_cast<long long>(m_enum_labels.get_count())) {
        return CoreString::get_null_string();
    }
    return m_enum_labels[static_cast<unsigned int>(m_value.l)];
}

AppItemPreferences& AppItemPreferences::set_filename_extensions(CoreVector<CoreString> const& extensions)
{
    if (!check_kind("AppItemPreferences.set_filename_extensions", {KIND_FILENAME})) return *this;
    m_extensions.clear();
    for (CoreString const& extension : extensions) {
        m_extensions.add(extension.start_with(".") ? extension.sub_string(1) : extension);
    }
    return *this;
}

AppItemPreferences& AppItemPreferences::set_validator(Validator validator, void* data)
{
    m_validator = validator;
    m_validator_data = data;
    return *this;
}

size_t AppItemPreferences::get_memory_size() const
{
    size_t size = sizeof(AppItemPreferences) + m_key.get_length() + m_doc.get_length() +
                  m_label.get_length() + m_group_name.get_length() + m_unit.get_length() +
                  m_enum_type.get_length() + m_value.s.get_length() + m_default.s.get_length();
    for (Preset const& preset : m_presets)
        size += sizeof(Preset) + preset.label.get_length() + preset.value.s.get_length();
    for (CoreString const& label : m_enum_labels) size += sizeof(CoreString) + label.get_length();
    for (CoreString const& extension : m_extensions) size += sizeof(CoreString) + extension.get_length();
    return size;
}

// ---------------------------------------------------------------------------------------
// AppCategoryPreferences

AppCategoryPreferences::AppCategoryPreferences(AppPreferences& preferences, CoreBasicString const& name)
    : m_preferences(&preferences), m_name(name)
{
    // "hud>safe_frame" is shown as "Safe Frame": the part after the last '>' names it.
    CoreString last = m_name.contains('>') ? CoreString::after_last(m_name, ">") : m_name;
    m_label = last.get_title();
}

AppCategoryPreferences::~AppCategoryPreferences()
{
    for (AppItemPreferences* item : m_items) delete item;
}

AppItemPreferences& AppCategoryPreferences::declare(CoreBasicString const& key,
                                                    AppItemPreferences::Kind const& kind,
                                                    AppItemPreferences::Value const& value,
                                                    CoreBasicString const& doc, char const* member,
                                                    CoreVector<CoreString> const* labels,
                                                    CoreVector<CoreString> const* extensions)
{
    if (unsigned int const* index = m_item_indices.get(CoreString(key))) {
        AppItemPreferences& item = *m_items[*index];
        if (item.get_kind() != kind) {
            CORE_LOG_WARNING(member << ": " << item.get_full_name() << " is already declared as a "
                                    << AppItemPreferences::get_kind_name(item.get_kind()) << " item\n");
        }
        return item;
    }
    AppItemPreferences* item = new AppItemPreferences(*this, key, kind);
    item->m_doc = doc;
    if (labels) item->m_enum_labels = *labels;
    if (extensions) item->set_filename_extensions(*extensions);

    Value initial = value;
    if (item->clamp(initial)) {
        CORE_LOG_WARNING(member << ": " << item->get_full_name() << ": the default " << item->format(value)
                                << " is out of range, " << item->format(initial) << " used instead\n");
    }
    long long label_count = static_cast<long long>(item->m_enum_labels.get_count());
    if (kind == AppItemPreferences::KIND_ENUM && label_count > 0 &&
        (initial.l < 0 || initial.l >= label_count)) {
        CORE_LOG_WARNING(member << ": " << item->get_full_name() << ": the default index " << initial.l
                                << " is past the " << label_count << " labels, 0 used instead\n");
        initial.l = 0;
    }
    item->m_default = initial;
    item->m_value = initial;

    m_item_indices.add(item->get_key(), m_items.add(item));
    m_preferences->apply_kept_entry(*item);
    return *item;
}

AppItemPreferences& AppCategoryPreferences::add_item(CoreBasicString const& key,
                                                     AppItemPreferences::Kind const& kind)
{
    if (kind < AppItemPreferences::KIND_BOOL || kind >= AppItemPreferences::KIND_COUNT) {
        // An item must have a kind the file and the setters know; a string one is harmless.
        CORE_LOG_WARNING("AppCategoryPreferences.add_item: " << m_name << "." << key << ": kind " << int(kind)
                                                             << " is unknown, KIND_STRING used instead\n");
        return declare(key, AppItemPreferences::KIND_STRING, Value(), CoreBasicString(),
                       "AppCategoryPreferences.add_item");
    }
    return declare(key, kind, Value(), CoreBasicString(), "AppCategoryPreferences.add_item");
}

AppItemPreferences& AppCategoryPreferences::add_bool(CoreBasicString const& key, bool const& value,
                                                     CoreBasicString const& doc)
{
    Value v;
    v.b = value;
    return declare(key, AppItemPreferences::KIND_BOOL, v, doc, "AppCategoryPreferences.add_bool");
}

AppItemPreferences& AppCategoryPreferences::add_long(CoreBasicString const& key, long long const& value,
                                                     CoreBasicString const& doc)
{
    Value v;
    v.l = value;
    return declare(key, AppItemPreferences::KIND_LONG, v, doc, "AppCategoryPreferences.add_long");
}

AppItemPreferences& AppCategoryPreferences::add_double(CoreBasicString const& key, double const& value,
                                                       CoreBasicString const& doc)
{
    Value v;
    v.d = value;
    return declare(key, AppItemPreferences::KIND_DOUBLE, v, doc, "AppCategoryPreferences.add_double");
}

AppItemPreferences& AppCategoryPreferences::add_string(CoreBasicString const& key,
                                                       CoreBasicString const& value,
                                                       CoreBasicString const& doc)
{
    Value v;
    v.s = value;
    return declare(key, AppItemPreferences::KIND_STRING, v, doc, "AppCategoryPreferences.add_string");
}

AppItemPreferences& AppCategoryPreferences::add_filename(CoreBasicString const& key,
                                                         CoreBasicString const& value,
                                                         CoreVector<CoreString> const& extensions,
                                                         CoreBasicString const& doc)
{
    Value v;
    v.s = value;
    return declare(key, AppItemPreferences::KIND_FILENAME, v, doc, "AppCategoryPreferences.add_filename",
                   nullptr, &extensions);
}

AppItemPreferences& AppCategoryPreferences::add_color(CoreBasicString const& key,
                                                      GMathVec3<double> const& value,
                                                      CoreBasicString const& doc)
{
    Value v;
    v.v3 = value;
    return declare(key, AppItemPreferences::KIND_COLOR, v, doc, "AppCategoryPreferences.add_color");
}

AppItemPreferences& AppCategoryPreferences::add_vec2d(CoreBasicString const& key,
                                                      GMathVec2<double> const& value,
                                                      CoreBasicString const& doc)
{
    Value v;
    v.v2 = value;
    return declare(key, AppItemPreferences::KIND_VEC2D, v, doc, "AppCategoryPreferences.add_vec2d");
}

AppItemPreferences& AppCategoryPreferences::add_vec3d(CoreBasicString const& key,
                                                      GMathVec3<double> const& value,
                                                      CoreBasicString const& doc)
{
    Value v;
    v.v3 = value;
    return declare(key, AppItemPreferences::KIND_VEC3D, v, doc, "AppCategoryPreferences.add_vec3d");
}

AppItemPreferences& AppCategoryPreferences::add_enum(CoreBasicString const& key,
                                                     CoreVector<CoreString> const& labels,
                                                     long long const& value, CoreBasicString const& doc)
{
    Value v;
    v.l = value;
    return declare(key, AppItemPreferences::KIND_ENUM, v, doc, "AppCategoryPreferences.add_enum", &labels);
}

bool AppCategoryPreferences::item_exists(CoreBasicString const& key) const
{
    return m_item_indices.has(CoreString(key));
}

AppItemPreferences* AppCategoryPreferences::get_item(CoreBasicString const& key) const
{
    return find_item(key, "AppCategoryPreferences.get_item");
}

AppItemPreferences* AppCategoryPreferences::get_item(unsigned int const& index) const
{
    return index < m_items.get_count() ? m_items[index] : nullptr;
}

AppItemPreferences* AppCategoryPreferences::find_item(CoreBasicString const& key, char const* member) const
{
    if (unsigned int const* index = m_item_indices.get(CoreString(key))) return m_items[*index];
    CORE_LOG_WARNING(member << ": category '" << m_name << "' has no item '" << key << "'\n");
    return nullptr;
}

bool AppCategoryPreferences::get_bool_value(CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(key, "AppCategoryPreferences.get_bool_value");
    return item && item->get_bool_value();
}

long long AppCategoryPreferences::get_long_value(CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(key, "AppCategoryPreferences.get_long_value");
    return item ? item->get_long_value() : 0;
}

double AppCategoryPreferences::get_double_value(CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(key, "AppCategoryPreferences.get_double_value");
    return item ? item->get_double_value() : 0.0;
}

CoreString const& AppCategoryPreferences::get_string_value(CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(key, "AppCategoryPreferences.get_string_value");
    return item ? item->get_string_value() : CoreString::get_null_string();
}

GMathVec2<double> const& AppCategoryPreferences::get_vec2d_value(CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(key, "AppCategoryPreferences.get_vec2d_value");
    return item ? item->get_vec2d_value() : s_zero_vec2;
}

GMathVec3<double> const& AppCategoryPreferences::get_vec3d_value(CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(key, "AppCategoryPreferences.get_vec3d_value");
    return item ? item->get_vec3d_value() : s_zero_vec3;
}

bool AppCategoryPreferences::set_bool_value(CoreBasicString const& key, bool const& value)
{
    AppItemPreferences* item = find_item(key, "AppCategoryPreferences.set_bool_value");
    return item && item->set_bool_value(value);
}

bool AppCategoryPreferences::set_long_value(CoreBasicString const& key, long long const& value)
{
    AppItemPreferences* item = find_item(key, "AppCategoryPreferences.set_long_value");
    return item && item->set_long_value(value);
}

bool AppCategoryPreferences::set_double_value(CoreBasicString const& key, double const& value)
{
    AppItemPreferences* item = find_item(key, "AppCategoryPreferences.set_double_value");
    return item && item->set_double_value(value);
}

bool AppCategoryPreferences::set_string_value(CoreBasicString const& key, CoreBasicString const& value)
{
    AppItemPreferences* item = find_item(key, "AppCategoryPreferences.set_string_value");
    return item && item->set_string_value(value);
}

bool AppCategoryPreferences::set_vec2d_value(CoreBasicString const& key, GMathVec2<double> const& value)
{
    AppItemPreferences* item = find_item(key, "AppCategoryPreferences.set_vec2d_value");
    return item && item->set_vec2d_value(value);
}

bool AppCategoryPreferences::set_vec3d_value(CoreBasicString const& key, GMathVec3<double> const& value)
{
    AppItemPreferences* item = find_item(key, "AppCategoryPreferences.set_vec3d_value");
    return item && item->set_vec3d_value(value);
}

bool AppCategoryPreferences::reset_value(CoreBasicString const& key)
{
    AppItemPreferences* item = find_item(key, "AppCategoryPreferences.reset_value");
    if (!item) return false;
    item->reset_to_default();
    return true;
}

void AppCategoryPreferences::reset_all_values()
{
    // By index: a callback may declare new items while this runs.
    for (unsigned int i = 0; i < m_items.get_count(); ++i) m_items[i]->reset_to_default();
}

bool AppCategoryPreferences::connect_attrs_change(AttrsChangeCallback callback, void* data)
{
    if (!callback) {
        CORE_LOG_WARNING("AppCategoryPreferences.connect_attrs_change: " << m_name
                                                                         << ": no callback given\n");
        return false;
    }
    Connection connection{callback, data};
    if (m_callbacks.contains(connection)) {
        CORE_LOG_WARNING("AppCategoryPreferences.connect_attrs_change: "
                         << m_name << ": the callback is already connected\n");
        return false;
    }
    m_callbacks.add(connection);
    return true;
}

bool AppCategoryPreferences::disconnect_attrs_change(AttrsChangeCallback callback, void* data)
{
    return m_callbacks.remove_item(Connection{callback, data}) > 0;
}

void AppCategoryPreferences::notify_change(AppItemPreferences& item)
{
    // A copy: callbacks may connect or disconnect; one disconnected before its turn is
    // skipped, one connected meanwhile waits for the next change.
    CoreVector<Connection> connections = m_callbacks;
    bool handled = false;
    for (Connection const& connection : connections) {
        if (m_callbacks.contains(connection))
            handled = connection.callback(*this, item, connection.data) || handled;
    }
    if (!handled && !connections.is_empty()) {
        CORE_LOG_DEBUG("AppCategoryPreferences.notify_change: no callback handled " << item.get_full_name()
                                                                                    << "\n");
    }
    m_preferences->raise_event(EventObject::EventInfo(EVT_ID_APPLICATION_PREFERENCES_CHANGED, &item));
}

size_t AppCategoryPreferences::get_memory_size() const
{
    size_t size =
        sizeof(AppCategoryPreferences) + m_name.get_length() + m_label.get_length() +
        m_items.get_count() * (sizeof(AppItemPreferences*) + sizeof(CoreString) + sizeof(unsigned int)) +
        m_callbacks.get_count() * sizeof(Connection);
    for (AppItemPreferences const* item : m_items) size += item->get_memory_size();
    return size;
}

// ---------------------------------------------------------------------------------------
// AppPreferences

AppPreferences::AppPreferences() = default;

AppPreferences::~AppPreferences()
{
    for (AppCategoryPreferences* category : m_categories) delete category;
}

CoreString AppPreferences::get_default_path()
{
    return sys_get_preferences_dir() + "/preferences.cfg";
}

AppCategoryPreferences& AppPreferences::add_category(CoreBasicString const& name,
                                                     CoreBasicString const& label)
{
    AppCategoryPreferences* category = nullptr;
    if (unsigned int const* index = m_category_indices.get(CoreString(name))) {
        category = m_categories[*index];
    } else {
        category = new AppCategoryPreferences(*this, name);
        m_category_indices.add(category->get_name(), m_categories.add(category));
    }
    if (!label.is_empty()) category->set_label(label);
    return *category;
}

bool AppPreferences::category_exists(CoreBasicString const& name) const
{
    return m_category_indices.has(CoreString(name));
}

AppCategoryPreferences* AppPreferences::get_category(CoreBasicString const& name) const
{
    return find_category(name, "AppPreferences.get_category");
}

AppCategoryPreferences* AppPreferences::get_category(unsigned int const& index) const
{
    return index < m_categories.get_count() ? m_categories[index] : nullptr;
}

AppCategoryPreferences* AppPreferences::find_category(CoreBasicString const& name, char const* member) const
{
    if (unsigned int const* index = m_category_indices.get(CoreString(name))) return m_categories[*index];
    CORE_LOG_WARNING(member << ": unknown category '" << name << "'\n");
    return nullptr;
}

AppItemPreferences* AppPreferences::find_item(CoreBasicString const& category, CoreBasicString const& key,
                                              char const* member) const
{
    AppCategoryPreferences const* found = find_category(category, member);
    return found ? found->find_item(key, member) : nullptr;
}

bool AppPreferences::item_exists(CoreBasicString const& category, CoreBasicString const& key) const
{
    unsigned int const* index = m_category_indices.get(CoreString(category));
    return index && m_categories[*index]->item_exists(key);
}

AppItemPreferences* AppPreferences::get_item(CoreBasicString const& category,
                                             CoreBasicString const& key) const
{
    return find_item(category, key, "AppPreferences.get_item");
}

bool AppPreferences::get_bool_value(CoreBasicString const& category, CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(category, key, "AppPreferences.get_bool_value");
    return item && item->get_bool_value();
}

long long AppPreferences::get_long_value(CoreBasicString const& category, CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(category, key, "AppPreferences.get_long_value");
    return item ? item->get_long_value() : 0;
}

double AppPreferences::get_double_value(CoreBasicString const& category, CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(category, key, "AppPreferences.get_double_value");
    return item ? item->get_double_value() : 0.0;
}

CoreString const& AppPreferences::get_string_value(CoreBasicString const& category,
                                                   CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(category, key, "AppPreferences.get_string_value");
    return item ? item->get_string_value() : CoreString::get_null_string();
}

GMathVec2<double> const& AppPreferences::get_vec2d_value(CoreBasicString const& category,
                                                         CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(category, key, "AppPreferences.get_vec2d_value");
    return item ? item->get_vec2d_value() : s_zero_vec2;
}

GMathVec3<double> const& AppPreferences::get_vec3d_value(CoreBasicString const& category,
                                                         CoreBasicString const& key) const
{
    AppItemPreferences const* item = find_item(category, key, "AppPreferences.get_vec3d_value");
    return item ? item->get_vec3d_value() : s_zero_vec3;
}

bool AppPreferences::set_bool_value(CoreBasicString const& category, CoreBasicString const& key,
                                    bool const& value)
{
    AppItemPreferences* item = find_item(category, key, "AppPreferences.set_bool_value");
    return item && item->set_bool_value(value);
}

bool AppPreferences::set_long_value(CoreBasicString const& category, CoreBasicString const& key,
                                    long long const& value)
{
    AppItemPreferences* item = find_item(category, key, "AppPreferences.set_long_value");
    return item && item->set_long_value(value);
}

bool AppPreferences::set_double_value(CoreBasicString const& category, CoreBasicString const& key,
                                      double const& value)
{
    AppItemPreferences* item = find_item(category, key, "AppPreferences.set_double_value");
    return item && item->set_double_value(value);
}

bool AppPreferences::set_string_value(CoreBasicString const& category, CoreBasicString const& key,
                                      CoreBasicString const& value)
{
    AppItemPreferences* item = find_item(category, key, "AppPreferences.set_string_value");
    return item && item->set_string_value(value);
}

bool AppPreferences::set_vec2d_value(CoreBasicString const& category, CoreBasicString const& key,
                                     GMathVec2<double> const& value)
{
    AppItemPreferences* item = find_item(category, key, "AppPreferences.set_vec2d_value");
    return item && item->set_vec2d_value(value);
}

bool AppPreferences::set_vec3d_value(CoreBasicString const& category, CoreBasicString const& key,
                                     GMathVec3<double> const& value)
{
    AppItemPreferences* item = find_item(category, key, "AppPreferences.set_vec3d_value");
    return item && item->set_vec3d_value(value);
}

bool AppPreferences::reset_value(CoreBasicString const& category, CoreBasicString const& key)
{
    AppItemPreferences* item = find_item(category, key, "AppPreferences.reset_value");
    if (!item) return false;
    item->reset_to_default();
    return true;
}

void AppPreferences::reset_all_values()
{
    for (unsigned int i = 0; i < m_categories.get_count(); ++i) m_categories[i]->reset_all_values();
}

ParserGroup const* AppPreferences::get_kept_group(CoreBasicString const& name) const
{
    return m_kept.get_group(name);
}

void AppPreferences::set_kept_group(CoreBasicString const& name, ParserGroup const& group)
{
    if (category_exists(name)) {
        CORE_LOG_WARNING("AppPreferences.set_kept_group: \"" << name << "\" is a category; its group is not replaced\n");
        return;
    }
    for (unsigned int index = m_kept.find(name); index != ParserGroup::NOT_FOUND; index = m_kept.find(name))
        m_kept.remove_entry(index);
    if (!group.is_empty()) m_kept.add_group(name) = group;
}

bool AppPreferences::save(CoreBasicString const& path) const
{
    CoreString target = path.is_empty() ? get_default_path() : CoreString(path);
    CoreString folder = SysFilesystem::get_folder(target);
    if (!folder.is_empty() && !SysFilesystem::folder_exists(folder) &&
        !SysFilesystem::create_folder(folder)) {
        CORE_LOG_ERROR("AppPreferences.save: can't create the folder of '" << target << "'\n");
        return false;
    }

    ParserFile file(target);
    ParserGroup& root = file.get_root();
    for (AppCategoryPreferences const* category : m_categories) {
        ParserGroup* group = nullptr;
        for (AppItemPreferences const* item : category->m_items) {
            if (item->is_default()) continue;
            if (!group) group = &root.add_group(category->get_name());
            ParserEntry& entry = group->add_entry(item->get_key());
            AppItemPreferences::Value const& value = item->get_value();
            switch (item->get_kind()) {
            case AppItemPreferences::KIND_BOOL: entry.add_bool(value.b); break;
            case AppItemPreferences::KIND_LONG:
            case AppItemPreferences::KIND_ENUM: entry.add_int(value.l); break;
            case AppItemPreferences::KIND_DOUBLE: entry.add_double(value.d); break;
            case AppItemPreferences::KIND_STRING:
            case AppItemPreferences::KIND_FILENAME: entry.add_string(value.s); break;
            case AppItemPreferences::KIND_VEC2D: entry.add_vec2d(value.v2); break;
            default: entry.add_vec3d(value.v3); break;
            }
        }
        // Entries of this category's undeclared keys go back with the others.
        if (ParserGroup const* kept = m_kept.get_group(category->get_name())) {
            if (!kept->is_empty() && !group) group = &root.add_group(category->get_name());
            for (unsigned int i = 0; i < kept->get_entry_count(); ++i) group->add_entry(*kept->get_entry(i));
        }
    }
    for (unsigned int i = 0; i < m_kept.get_entry_count(); ++i) {
        ParserEntry const& kept = *m_kept.get_entry(i);
        if (!category_exists(kept.get_name())) root.add_entry(kept);
    }

    if (!file.write(ParserFile::MODE_PRETTY)) return false;
    m_path = target;
    return true;
}

bool AppPreferences::apply_entry(AppItemPreferences& item, ParserEntry const& entry,
                                 CoreBasicString const& source, bool notify)
{
    AppItemPreferences::Value value = item.get_value();
    bool fits = false;
    bool single = entry.get_value_count() == 1;
    switch (item.get_kind()) {
    case AppItemPreferences::KIND_BOOL:
        fits = single && entry.is_value_bool(0);
        if (fits) value.b = entry.get_bool(0);
        break;
    case AppItemPreferences::KIND_LONG:
    case AppItemPreferences::KIND_ENUM:
        fits = single && entry.is_value_int(0);
        if (fits) value.l = entry.get_int(0);
        break;
    case AppItemPreferences::KIND_DOUBLE:
        fits = single && entry.is_value_number(0);
        if (fits) value.d = entry.get_double(0);
        break;
    case AppItemPreferences::KIND_STRING:
    case AppItemPreferences::KIND_FILENAME:
        fits = single && entry.is_value_string(0);
        if (fits) value.s = entry.get_string(0);
        break;
    case AppItemPreferences::KIND_VEC2D:
        fits = entry_holds_vector(entry, 2);
        if (fits) value.v2 = entry.get_vec2d(0);
        break;
    default:
        fits = entry_holds_vector(entry, 3);
        if (fits) value.v3 = entry.get_vec3d(0);
        break;
    }
    if (!fits) {
        CORE_LOG_WARNING("AppPreferences.load: " << source << ": " << item.get_full_name() << ": expected "
                                                 << describe_kind(item.get_kind()) << ", found "
                                                 << describe_entry(entry) << "; "
                                                 << item.format(item.get_value()) << " kept\n");
        return false;
    }
    return item.assign(std::move(value), "AppPreferences.load", &source, notify);
}

void AppPreferences::apply_kept_entry(AppItemPreferences& item)
{
    CoreString const& category = item.get_category().get_name();
    unsigned int group_index = m_kept.find(category);
    while (group_index != ParserGroup::NOT_FOUND) {
        ParserGroup* group = m_kept.get_entry(group_index)->get_group();
        unsigned int index = group ? group->find(item.get_key()) : ParserGroup::NOT_FOUND;
        while (index != ParserGroup::NOT_FOUND) {
            // The item was only just declared: nobody has seen its value yet, so nobody
            // is told about it.
            apply_entry(item, *group->get_entry(index), m_kept_path, false);
            group->remove_entry(index);
            index = group->find(item.get_key(), index);
        }
        if (group && group->is_empty()) {
            m_kept.remove_entry(group_index);
            group_index = m_kept.find(category, group_index);
        } else {
            group_index = m_kept.find(category, group_index + 1);
        }
    }
}

bool AppPreferences::load(CoreBasicString const& path)
{
    CoreString target = path.is_empty() ? get_default_path() : CoreString(path);
    bool ok = true;
    if (SysFilesystem::folder_exists(target)) {
        CORE_LOG_WARNING("AppPreferences.load: '" << target
                                                  << "' is a folder; the preferences are unchanged\n");
        ok = false;
    } else if (!SysFilesystem::file_exists(target)) {
        CORE_LOG_INFO("AppPreferences.load: no file '" << target
                                                       << "'; the preferences take their defaults\n");
        m_path = target;
        m_kept.clear();
        reset_all_values();
    } else {
        ParserFile file;
        bool clean = file.read(target);  // logs the syntax errors itself, with their lines
        ParserGroup const& root = file.get_root();
        bool has_group = false;
        for (unsigned int i = 0; i < root.get_entry_count() && !has_group; ++i)
            has_group = root.get_entry(i)->get_value_count() == 1 && root.get_entry(i)->get_group();
        if (!clean && root.is_empty()) {
            // Unreadable, or nothing in it read correctly: keep the preferences as they are.
            ok = false;
        } else if (!root.is_empty() && !has_group) {
            // Entries but no category (a file cut short, or not a preferences file): it
            // cannot be told apart from a broken one, so it changes nothing.
            CORE_LOG_WARNING("AppPreferences.load: " << target
                                                     << " holds no category group; the preferences are unchanged\n");
            ok = false;
        } else {
            m_path = target;
            m_kept.clear();
            m_kept_path = target;
            ok = clean;
            std::unordered_set<AppItemPreferences*> seen;
            for (unsigned int i = 0; i < root.get_entry_count(); ++i) {
                ParserEntry const& entry = *root.get_entry(i);
                ParserGroup const* group = entry.get_value_count() == 1 ? entry.get_group() : nullptr;
                if (!group) {
                    CORE_LOG_WARNING("AppPreferences.load: " << target << ": '" << entry.get_name()
                                                             << "' is not a category group; skipped\n");
                    ok = false;
                    continue;
                }
                unsigned int const* index = m_category_indices.get(entry.get_name());
                if (!index) {
                    CORE_LOG_INFO("AppPreferences.load: " << target << ": unknown category '"
                                                          << entry.get_name()
                                                          << "' kept for when it is declared\n");
                    ParserGroup& kept = get_or_add_group(m_kept, entry.get_name());
                    for (unsigned int j = 0; j < group->get_entry_count(); ++j)
                        kept.add_entry(*group->get_entry(j));
                    continue;
                }
                AppCategoryPreferences& category = *m_categories[*index];
                for (unsigned int j = 0; j < group->get_entry_count(); ++j) {
                    ParserEntry const& item_entry = *group->get_entry(j);
                    unsigned int const* item_index = category.m_item_indices.get(item_entry.get_name());
                    if (!item_index) {
                        CORE_LOG_INFO("AppPreferences.load: "
                                      << target << ": unknown preference '" << category.get_name() << "."
                                      << item_entry.get_name() << "' kept for when it is declared\n");
                        get_or_add_group(m_kept, category.get_name()).add_entry(item_entry);
                        continue;
                    }
                    AppItemPreferences& item = *category.m_items[*item_index];
                    seen.insert(&item);
                    if (!apply_entry(item, item_entry, target, true)) ok = false;
                }
            }
            // Absent means default, as save leaves defaults out; after syntax errors an
            // item may be absent only because its entry was broken, so it is left alone.
            if (clean) {
                for (unsigned int c = 0; c < m_categories.get_count(); ++c) {
                    AppCategoryPreferences& category = *m_categories[c];
                    for (unsigned int i = 0; i < category.m_items.get_count(); ++i) {
                        if (!seen.count(category.m_items[i])) category.m_items[i]->reset_to_default();
                    }
                }
            }
        }
    }
    raise_event(EVT_ID_APPLICATION_PREFERENCES_LOADED);
    return ok;
}

size_t AppPreferences::get_memory_size() const
{
    size_t size = EventObject::get_memory_size() - sizeof(EventObject) + sizeof(AppPreferences) +
                  m_kept.get_memory_size() + m_path.get_length() +
                  m_categories.get_count() *
                      (sizeof(AppCategoryPreferences*) + sizeof(CoreString) + sizeof(unsigned int));
    for (AppCategoryPreferences const* category : m_categories) size += category->get_memory_size();
    return size;
}
