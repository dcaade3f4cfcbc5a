#include "host/of/of_attr.h"

#include <cmath>
#include <limits>

#include "host/core/core_log.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "host/of/of_scene_edit.h"

CORE_IMPLEMENT_CREATABLE_CLASS(OfAttr, OfPlugType)

bool OfAttrData::operator==(OfAttrData const& other) const
{
    if (local != other.local || expression != other.expression || input != other.input ||
        input_output != other.input_output)
        return false;
    return !local || values == other.values;
}

OfAttr::~OfAttr()
{
    delete m_data;
}

OfAttrValues const& OfAttr::get_values() const
{
    if (m_data && m_data->local) return m_data->values;
    if (OfObject* source = m_object->get_source()) return source->get_plugs().attrs[get_index()].get_values();
    return get_attr_decl().get_default_values();
}

namespace {

bool accepts(OfPlugType::Type const& type, int access)
{
    switch (type) {
        case OfPlugType::TYPE_BOOL:
        case OfPlugType::TYPE_LONG:
        case OfPlugType::TYPE_DOUBLE:
        case OfPlugType::TYPE_ENUM:
            return access == 0;
        case OfPlugType::TYPE_VEC2D:
            return access == 1;
        case OfPlugType::TYPE_VEC3D:
        case OfPlugType::TYPE_COLOR:
            return access == 2;
        case OfPlugType::TYPE_STRING:
        case OfPlugType::TYPE_FILENAME:
            return access == 3;
        case OfPlugType::TYPE_REFERENCE:
            return access == 4;
        default:
            return false;
    }
}

}  // namespace

bool OfAttr::check_access(char const* operation, Access const& access, unsigned int const& index) const
{
    if (!accepts(get_type(), access)) {
        CORE_LOG_WARNING("OfAttr." << operation << ": " << get_full_name() << " is of type "
                                   << OfPlugType::get_type_name(get_type()) << "\n");
        return false;
    }
    unsigned int count = get_value_count();
    if (index >= count) {
        CORE_LOG_WARNING("OfAttr." << operation << ": index " << index << " out of range for "
                                   << get_full_name() << " (" << count << " values)\n");
        return false;
    }
    return true;
}

bool OfAttr::get_bool(unsigned int const& index) const
{
    if (!check_access("get_bool", ACCESS_SCALAR, index)) return false;
    OfAttrValues const& values = get_values();
    return get_type() == OfPlugType::TYPE_DOUBLE ? values.get_double(index) != 0.0 : values.get_bool(index);
}

int64_t OfAttr::get_long(unsigned int const& index) const
{
    if (!check_access("get_long", ACCESS_SCALAR, index)) return 0;
    return get_values().get_long(index);
}

double OfAttr::get_double(unsigned int const& index) const
{
    if (!check_access("get_double", ACCESS_SCALAR, index)) return 0.0;
    return get_values().get_double(index);
}

GMathVec2<double> OfAttr::get_vec2d(unsigned int const& index) const
{
    if (!check_access("get_vec2d", ACCESS_VEC2, index)) return GMathVec2<double>();
    return get_values().get_vec2d(index);
}

GMathVec3<double> OfAttr::get_vec3d(unsigned int const& index) const
{
    if (!check_access("get_vec3d", ACCESS_VEC3, index)) return GMathVec3<double>();
    return get_values().get_vec3d(index);
}

CoreString const& OfAttr::get_string(unsigned int const& index) const
{
    if (!check_access("get_string", ACCESS_STRING, index)) return CoreString::get_null_string();
    return get_values().get_string(index);
}

OfObject* OfAttr::get_object(unsigned int const& index) const
{
    if (!check_access("get_object", ACCESS_OBJECT, index)) return nullptr;
    return get_values().get_object(index);
}

OfAttrData OfAttr::make_local_data() const
{
    OfAttrData data;
    if (m_data) data = *m_data;
    data.values = get_values();
    data.local = true;
    return data;
}

bool OfAttr::change(char const* operation, OfAttrData const& data)
{
    if (m_data ? *m_data == data : data.is_empty()) return true;
    return OfSceneEdit::set_attr_data(operation, *this, data);
}

namespace {

// Clamps `value` to the hard range of `decl`, with a warning when it is outside.
double clamp_value(char const* operation, OfAttr const& attr, double const& value)
{
    OfAttrDecl const& decl = attr.get_attr_decl();
    if (!decl.has_hard_range() || (value >= decl.get_hard_min() && value <= decl.get_hard_max()))
        return value;
    double clamped = value < decl.get_hard_min() ? decl.get_hard_min() : decl.get_hard_max();
    CORE_LOG_WARNING("OfAttr." << operation << ": " << value << " is outside the range "
                               << decl.get_hard_min() << " to " << decl.get_hard_max() << " of "
                               << attr.get_full_name() << "; set to " << clamped << "\n");
    return clamped;
}

// Integers are clamped in integers, so that values beyond 2^53 stay exact: the hard range
// is rounded inwards to whole numbers and limited to the int64_t range.
int64_t clamp_long(char const* operation, OfAttr const& attr, int64_t const& value)
{
    OfAttrDecl const& decl = attr.get_attr_decl();
    if (!decl.has_hard_range()) return value;
    constexpr double LIMIT = 9223372036854775808.0;  // 2^63
    auto to_long = [&](double const& bound, int64_t const& unbounded) {
        if (std::isnan(bound)) return unbounded;
        if (bound <= -LIMIT) return std::numeric_limits<int64_t>::min();
        if (bound >= LIMIT) return std::numeric_limits<int64_t>::max();
        return static_cast<int64_t>(bound);
    };
    int64_t const min = to_long(std::ceil(decl.get_hard_min()), std::numeric_limits<int64_t>::min());
    int64_t const max = to_long(std::floor(decl.get_hard_max()), std::numeric_limits<int64_t>::max());
    if (min > max || (value >= min && value <= max)) return value;
    int64_t const clamped = value < min ? min : max;
    CORE_LOG_WARNING("OfAttr." << operation << ": " << value << " is outside the range "
                               << decl.get_hard_min() << " to " << decl.get_hard_max() << " of "
                               << attr.get_full_name() << "; set to " << clamped << "\n");
    return clamped;
}

}  // namespace

bool OfAttr::set_bool(bool const& value, unsigned int const& index)
{
    return set_long(value ? 1 : 0, index);
}

bool OfAttr::set_long(int64_t const& value, unsigned int const& index)
{
    if (!check_access("set_long", ACCESS_SCALAR, index)) return false;
    if (get_type() == OfPlugType::TYPE_DOUBLE) return set_double(static_cast<double>(value), index);
    OfEnum const* values_enum = get_enum();
    if (get_type() == OfPlugType::TYPE_ENUM && values_enum && values_enum->get_index(value) < 0) {
        CORE_LOG_WARNING("OfAttr.set_long: " << value << " is not a value of the enumeration of "
                                             << get_full_name() << "\n");
        return false;
    }
    int64_t stored = value;
    if (get_type() == OfPlugType::TYPE_BOOL) {
        stored = value != 0;
    } else if (get_type() == OfPlugType::TYPE_LONG) {
        stored = clamp_long("set_long", *this, value);
    }
    OfAttrData data = make_local_data();
    data.values.set_long(index, stored);
    return change("set_long", data);
}

bool OfAttr::set_double(double const& value, unsigned int const& index)
{
    if (!check_access("set_double", ACCESS_SCALAR, index)) return false;
    if (get_type() != OfPlugType::TYPE_DOUBLE) {
        if (!std::isfinite(value)) {
            CORE_LOG_WARNING("OfAttr.set_double: " << value << " is not a number for " << get_full_name()
                                                   << "\n");
            return false;
        }
        if (value < -9223372036854775808.0 || value >= 9223372036854775808.0) {
            CORE_LOG_WARNING("OfAttr.set_double: " << value << " is outside the integer range of "
                                                   << get_full_name() << "\n");
            return false;
        }
        return set_long(static_cast<int64_t>(std::llround(value)), index);
    }
    OfAttrData data = make_local_data();
    data.values.set_double(index, clamp_value("set_double", *this, value));
    return change("set_double", data);
}

bool OfAttr::set_vec2d(GMathVec2<double> const& value, unsigned int const& index)
{
    if (!check_access("set_vec2d", ACCESS_VEC2, index)) return false;
    OfAttrData data = make_local_data();
    GMathVec2<double> clamped(value);
    for (unsigned int c = 0; c < 2; ++c) clamped[c] = clamp_value("set_vec2d", *this, value[c]);
    data.values.set_vec2d(index, clamped);
    return change("set_vec2d", data);
}

bool OfAttr::set_vec3d(GMathVec3<double> const& value, unsigned int const& index)
{
    if (!check_access("set_vec3d", ACCESS_VEC3, index)) return false;
    OfAttrData data = make_local_data();
    GMathVec3<double> clamped(value);
    for (unsigned int c = 0; c < 3; ++c) clamped[c] = clamp_value("set_vec3d", *this, value[c]);
    data.values.set_vec3d(index, clamped);
    return change("set_vec3d", data);
}

bool OfAttr::set_string(CoreBasicString const& value, unsigned int const& index)
{
    if (!check_access("set_string", ACCESS_STRING, index)) return false;
    OfAttrData data = make_local_data();
    data.values.set_string(index, value);
    return change("set_string", data);
}

bool OfAttr::set_object(OfObject* const& object, unsigned int const& index)
{
    if (!check_access("set_object", ACCESS_OBJECT, index)) return false;
    OfAttrData data = make_local_data();
    data.values.set_object(index, object);
    return change("set_object", data);
}

bool OfAttr::set_values(OfAttrValues const& values)
{
    if (values.get_type() != get_type()) {
        CORE_LOG_WARNING("OfAttr.set_values: " << get_full_name() << " is of type "
                                               << OfPlugType::get_type_name(get_type()) << ", not "
                                               << OfPlugType::get_type_name(values.get_type()) << "\n");
        return false;
    }
    if (!is_variable() && values.get_count() != get_value_count()) {
        CORE_LOG_WARNING("OfAttr.set_values: " << get_full_name() << " holds " << get_value_count()
                                               << " values, not " << values.get_count() << "\n");
        return false;
    }
    OfAttrData data = make_local_data();
    data.values = values;
    // Check every value as the single-value setters do.
    OfEnum const* values_enum = get_enum();
    for (unsigned int i = 0; i < values.get_count(); ++i) {
        switch (get_type()) {
            case OfPlugType::TYPE_ENUM:
                if (values_enum && values_enum->get_index(values.get_long(i)) < 0) {
                    CORE_LOG_WARNING("OfAttr.set_values: " << values.get_long(i)
                                                           << " is not a value of the enumeration of "
                                                           << get_full_name() << "\n");
                    return false;
                }
                break;
            case OfPlugType::TYPE_BOOL:
                data.values.set_bool(i, values.get_long(i) != 0);
                break;
            case OfPlugType::TYPE_LONG:
                data.values.set_long(i, static_cast<int64_t>(clamp_value(
                                            "set_values", *this, static_cast<double>(values.get_long(i)))));
                break;
            case OfPlugType::TYPE_DOUBLE:
                data.values.set_double(i, clamp_value("set_values", *this, values.get_double(i)));
                break;
            default:
                break;
        }
    }
    return change("set_values", data);
}

bool OfAttr::set_value_count(unsigned int const& count)
{
    if (!is_variable()) {
        CORE_LOG_WARNING("OfAttr.set_value_count: " << get_full_name() << " has a fixed number of values ("
                                                    << get_value_count() << ")\n");
        return false;
    }
    OfAttrData data = make_local_data();
    unsigned int old_count = data.values.get_count();
    data.values.set_count(count);
    // New values take the first default value, so that a new row looks like a new object.
    OfAttrValues const& defaults = get_attr_decl().get_default_values();
    if (defaults.get_count() > 0) {
        for (unsigned int i = old_count; i < count; ++i) {
            switch (get_type()) {
                case OfPlugType::TYPE_STRING:
                case OfPlugType::TYPE_FILENAME:
                    data.values.set_string(i, defaults.get_string(0));
                    break;
                case OfPlugType::TYPE_VEC2D:
                    data.values.set_vec2d(i, defaults.get_vec2d(0));
                    break;
                case OfPlugType::TYPE_VEC3D:
                case OfPlugType::TYPE_COLOR:
                    data.values.set_vec3d(i, defaults.get_vec3d(0));
                    break;
                case OfPlugType::TYPE_REFERENCE:
                    break;
                case OfPlugType::TYPE_DOUBLE:
                    data.values.set_double(i, defaults.get_double(0));
                    break;
                default:
                    data.values.set_long(i, defaults.get_long(0));
                    break;
            }
        }
    }
    return change("set_value_count", data);
}

bool OfAttr::apply_preset(unsigned int const& index)
{
    OfAttrValues const* values = get_attr_decl().get_preset_values(index);
    if (!values) {
        CORE_LOG_WARNING("OfAttr.apply_preset: index " << index << " out of range for " << get_full_name()
                                                       << " (" << get_preset_count() << " presets)\n");
        return false;
    }
    OfAttrData data = make_local_data();
    data.values = *values;
    return change("apply_preset", data);
}

bool OfAttr::revert()
{
    if (!is_local()) return true;
    OfAttrData data = *m_data;
    data.local = false;
    data.values = OfAttrValues(get_type());
    return change("revert", data);
}

CoreString const& OfAttr::get_expression() const
{
    return m_data ? m_data->expression : CoreString::get_null_string();
}

bool OfAttr::set_expression(CoreBasicString const& expression)
{
    OfAttrData data;
    if (m_data) data = *m_data;
    data.expression = expression;
    return change("set_expression", data);
}

bool OfAttr::connect(OfOutput& output)
{
    if (!is_connectable()) {
        CORE_LOG_WARNING("OfAttr.connect: " << get_full_name() << " does not accept connections\n");
        return false;
    }
    OfAttrData data;
    if (m_data) data = *m_data;
    data.input = output.get_parent_object();
    data.input_output = static_cast<int>(output.get_index());
    return change("connect", data);
}

bool OfAttr::connect(OfObject& object)
{
    if (!is_connectable()) {
        CORE_LOG_WARNING("OfAttr.connect: " << get_full_name() << " does not accept connections\n");
        return false;
    }
    OfAttrData data;
    if (m_data) data = *m_data;
    data.input = &object;
    data.input_output = -1;
    return change("connect", data);
}

bool OfAttr::disconnect()
{
    if (!is_connected()) return true;
    OfAttrData data = *m_data;
    data.input = nullptr;
    data.input_output = -1;
    return change("disconnect", data);
}

OfOutput* OfAttr::get_input() const
{
    if (!m_data || !m_data->input || m_data->input_output < 0) return nullptr;
    return m_data->input->get_output(static_cast<unsigned int>(m_data->input_output));
}

bool OfAttr::is_editable() const
{
    return m_object->is_editable(OfItem::EDIT_MODE_VALUES);
}

size_t OfAttr::get_memory_size() const
{
    size_t size = sizeof(OfAttr);
    if (m_data) size += sizeof(OfAttrData) - sizeof(OfAttrValues) + m_data->values.get_memory_size();
    return size;
}
