#include "host/core/core_variant.h"

#include <cmath>
#include <cstdlib>

char const* CoreVariant::get_type_name(Type const& type)
{
    switch (type) {
    case TYPE_NONE: return "TYPE_NONE";
    case TYPE_BOOL: return "TYPE_BOOL";
    case TYPE_LONG: return "TYPE_LONG";
    case TYPE_DOUBLE: return "TYPE_DOUBLE";
    case TYPE_STRING: return "TYPE_STRING";
    case TYPE_POINTER: return "TYPE_POINTER";
    case TYPE_COUNT: return "TYPE_COUNT";
    }
    return "TYPE_UNKNOWN";
}

CoreString CoreVariant::to_string() const
{
    CoreString text;
    switch (m_type) {
    case TYPE_BOOL: text += m_value.b; break;
    case TYPE_LONG: text += m_value.l; break;
    case TYPE_DOUBLE: text += m_value.d; break;
    case TYPE_STRING: text = m_string; break;
    case TYPE_POINTER: text += static_cast<void const*>(m_value.p); break;
    default: break;
    }
    return text;
}

bool CoreVariant::to_bool() const
{
    switch (m_type) {
    case TYPE_BOOL: return m_value.b;
    case TYPE_LONG: return m_value.l != 0;
    case TYPE_DOUBLE: return m_value.d != 0.0;
    case TYPE_STRING: return m_string.to_bool();
    case TYPE_POINTER: return m_value.p != nullptr;
    default: return false;
    }
}

long long CoreVariant::to_long() const
{
    switch (m_type) {
    case TYPE_BOOL: return m_value.b ? 1 : 0;
    case TYPE_LONG: return m_value.l;
    case TYPE_DOUBLE: {
        // Out-of-range and NaN values would be undefined behaviour in a plain cast.
        double d = m_value.d;
        if (std::isnan(d)) return 0;
        if (d >= 9.2233720368547758e18) return INT64_MAX;
        if (d <= -9.2233720368547758e18) return INT64_MIN;
        return static_cast<long long>(d);
    }
    case TYPE_STRING: {
        // The integer part is read exactly (a double holds only 53 bits of it); "2.5" reads
        // as 2, as a user would expect from a number typed as text. Only an exponent needs
        // the double ("1.5e3" is 1500).
        char const* text = m_string.c_str();
        char* end = nullptr;
        long long const integer = std::strtoll(text, &end, 10);  // saturates, like to_double
        if (end == text) return CoreVariant(m_string.to_double()).to_long();
        char const* rest = end;
        if (*rest == '.')
            for (++rest; *rest >= '0' && *rest <= '9';) ++rest;
        if (*rest == 'e' || *rest == 'E') return CoreVariant(m_string.to_double()).to_long();
        return integer;
    }
    case TYPE_POINTER: return static_cast<long long>(reinterpret_cast<std::intptr_t>(m_value.p));
    default: return 0;
    }
}

double CoreVariant::to_double() const
{
    switch (m_type) {
    case TYPE_BOOL: return m_value.b ? 1.0 : 0.0;
    case TYPE_LONG: return static_cast<double>(m_value.l);
    case TYPE_DOUBLE: return m_value.d;
    case TYPE_STRING: return m_string.to_double();
    case TYPE_POINTER: return static_cast<double>(reinterpret_cast<std::uintptr_t>(m_value.p));
    default: return 0.0;
    }
}

bool CoreVariant::operator==(CoreVariant const& other) const
{
    if (m_type != other.m_type) return false;
    switch (m_type) {
    case TYPE_BOOL: return m_value.b == other.m_value.b;
    case TYPE_LONG: return m_value.l == other.m_value.l;
    case TYPE_DOUBLE: return m_value.d == other.m_value.d;
    case TYPE_STRING: return m_string == other.m_string;
    case TYPE_POINTER: return m_value.p == other.m_value.p;
    default: return true;
    }
}
