#pragma once
// The values of an attribute, stored compactly by kind: 64-bit integers for bool, long and
// enum attributes; doubles for double, vector and colour attributes (2 or 3 doubles per
// value, flattened); strings for string and file-name attributes; object pointers for
// references. Used for class defaults, presets and the values an object sets itself.
//
// Access is not checked against the type (OfAttr does that and reports); an index out of
// range reads as zero, "" or null and is ignored when written.
#include <cstdint>
#include <variant>
#include <vector>

#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"
#include "host/of/of_plug_type.h"

class OfObject;

class QN_HOST_API OfAttrValues {
public:
    // How many numbers make one value of `type` (2 for TYPE_VEC2D, 3 for TYPE_VEC3D and
    // TYPE_COLOR, 1 otherwise).
    static unsigned int get_width(OfPlugType::Type const& type);

    explicit OfAttrValues(OfPlugType::Type const& type = OfPlugType::TYPE_DOUBLE,
                          unsigned int const& count = 0);

    OfPlugType::Type const& get_type() const { return m_type; }
    unsigned int get_count() const;
    // Grows with zero, "" or null values, or drops values from the end.
    void set_count(unsigned int const& count);

    // Bool and long read the integers; double reads integers or the first component of
    // doubles; vectors read doubles (a 2-vector from a 3-wide storage takes x and y).
    bool get_bool(unsigned int const& index) const { return get_long(index) != 0; }
    int64_t get_long(unsigned int const& index) const;
    double get_double(unsigned int const& index) const;
    GMathVec2<double> get_vec2d(unsigned int const& index) const;
    GMathVec3<double> get_vec3d(unsigned int const& index) const;
    CoreString const& get_string(unsigned int const& index) const;
    OfObject* get_object(unsigned int const& index) const;

    void set_bool(unsigned int const& index, bool const& value) { set_long(index, value ? 1 : 0); }
    void set_long(unsigned int const& index, int64_t const& value);
    void set_double(unsigned int const& index, double const& value);
    void set_vec2d(unsigned int const& index, GMathVec2<double> const& value);
    void set_vec3d(unsigned int const& index, GMathVec3<double> const& value);
    void set_string(unsigned int const& index, CoreBasicString const& value);
    void set_object(unsigned int const& index, OfObject* const& value);

    bool operator==(OfAttrValues const& other) const
    {
        return m_type == other.m_type && m_data == other.m_data;
    }
    bool operator!=(OfAttrValues const& other) const { return !(*this == other); }

    size_t get_memory_size() const;

private:
    using Data = std::variant<std::vector<int64_t>, std::vector<double>, std::vector<CoreString>,
                              std::vector<OfObject*>>;

    OfPlugType::Type m_type;
    Data m_data;
};
