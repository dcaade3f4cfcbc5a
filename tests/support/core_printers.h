#pragma once
// GoogleTest printers for host containers, so failed assertions show their contents.
#include <ostream>

#include "host/core/core_string.h"
#include "host/core/core_vector.h"

template <typename T>
void PrintTo(CoreVector<T> const& items, std::ostream* out)
{
    *out << "{";
    for (unsigned int i = 0; i < items.get_count(); ++i) *out << (i ? ", " : "") << items[i];
    *out << "}";
}
