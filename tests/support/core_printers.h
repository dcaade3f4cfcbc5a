#pragma once
// GoogleTest printers for host containers and vectors, so failed assertions show their contents.
#include <ostream>

#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/gmath/gmath_vec.h"

template <typename T>
void PrintTo(CoreVector<T> const& items, std::ostream* out)
{
    *out << "{";
    for (unsigned int i = 0; i < items.get_count(); ++i) *out << (i ? ", " : "") << items[i];
    *out << "}";
}

// "(1, 2, 3)"; bytes (colours) as numbers.
template <typename V>
void print_gmath_vec(V const& vec, std::ostream* out)
{
    *out << "(";
    for (unsigned int i = 0; i < V::size(); ++i) {
        if (i) *out << ", ";
        if constexpr (sizeof(vec[i]) == 1)
            *out << static_cast<int>(vec[i]);
        else
            *out << vec[i];
    }
    *out << ")";
}

template <typename T>
void PrintTo(GMathVec2<T> const& vec, std::ostream* out)
{
    print_gmath_vec(vec, out);
}

template <typename T>
void PrintTo(GMathVec3<T> const& vec, std::ostream* out)
{
    print_gmath_vec(vec, out);
}

template <typename T>
void PrintTo(GMathVec4<T> const& vec, std::ostream* out)
{
    print_gmath_vec(vec, out);
}
