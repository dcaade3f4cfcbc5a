#pragma once
// A tagged value (nothing, bool, integer, double, string or pointer) with conversions
// between the kinds; custom data carries it.
#include <cstdint>

#include "host/core/core_export.h"
#include "host/core/core_string.h"

class QN_HOST_API CoreVariant {
public:
    enum Type : int {
        TYPE_NONE,
        TYPE_BOOL,
        TYPE_LONG,
        TYPE_DOUBLE,
        TYPE_STRING,
        TYPE_POINTER,
        TYPE_COUNT
    };
    // The constant's name ("TYPE_BOOL"), or "TYPE_UNKNOWN".
    static char const* get_type_name(Type const& type);

    CoreVariant() = default;
    CoreVariant(bool value) : m_type(TYPE_BOOL) { m_value.b = value; }
    CoreVariant(int value) : m_type(TYPE_LONG) { m_value.l = value; }
    CoreVariant(unsigned int value) : m_type(TYPE_LONG) { m_value.l = value; }
    CoreVariant(long value) : m_type(TYPE_LONG) { m_value.l = value; }
    CoreVariant(long long value) : m_type(TYPE_LONG) { m_value.l = value; }
    // Unsigned values above the long long range wrap, as a cast would.
    CoreVariant(unsigned long value) : m_type(TYPE_LONG) { m_value.l = static_cast<long long>(value); }
    CoreVariant(unsigned long long value) : m_type(TYPE_LONG) { m_value.l = static_cast<long long>(value); }
    CoreVariant(float value) : m_type(TYPE_DOUBLE) { m_value.d = value; }
    CoreVariant(double value) : m_type(TYPE_DOUBLE) { m_value.d = value; }
    CoreVariant(char const* value) : m_type(TYPE_STRING), m_string(value) {}
    CoreVariant(CoreBasicString const& value) : m_type(TYPE_STRING), m_string(value) {}
    CoreVariant(void* value) : m_type(TYPE_POINTER) { m_value.p = value; }
    // Without this, a pointer to const would silently convert to bool.
    CoreVariant(void const* value) : m_type(TYPE_POINTER) { m_value.p = const_cast<void*>(value); }

    Type const& get_type() const { return m_type; }
    bool is_valid() const { return m_type != TYPE_NONE; }

    // Conversions never fail: a string is parsed as a number or bool, a pointer converts to
    // its address, nothing converts to 0, false or "".
    CoreString to_string() const;
    bool to_bool() const;
    long long to_long() const;
    double to_double() const;
    // The pointer held, or null for any other kind.
    void* to_pointer() const { return m_type == TYPE_POINTER ? m_value.p : nullptr; }

    // Equal when of the same kind with equal values.
    bool operator==(CoreVariant const& other) const;
    bool operator!=(CoreVariant const& other) const { return !(*this == other); }

private:
    Type m_type = TYPE_NONE;
    union {
        bool b;
        long long l;
        double d;
        void* p;
    } m_value = {};
    CoreString m_string;
};
