#pragma once
// Item names with a trailing number ("sphere12", "cube_007"): splitting them into base and
// number, and making the next free name when one clashes.
#include <functional>

#include "host/core/core_export.h"
#include "host/core/core_string.h"

class QN_HOST_API CoreNameServer {
public:
    // Splits the trailing decimal digits off `name`: "sphere12" gives "sphere" and 12,
    // "cube_007" gives "cube_" and 7, "12" gives "" and 12; these return true. A name that
    // does not end in digits ("sphere") gives the whole name and 0 and returns false; so do
    // digits whose value does not fit an unsigned int, which count as part of the base.
    static bool split_name(CoreBasicString const& name, CoreString& base, unsigned int& number);
    // Also gives the number of digits, leading zeros included ("cube_007": 3), so the next
    // name can keep the same width; 0 when the name has no number.
    static bool split_name(CoreBasicString const& name, CoreString& base, unsigned int& number,
                           unsigned int& digit_count);

    // `base` followed by `number` written with at least `digit_count` digits:
    // ("cube_", 8, 3) gives "cube_008", ("cube_", 1000, 3) gives "cube_1000".
    static CoreString make_name(CoreBasicString const& base, unsigned long long number,
                                unsigned int digit_count = 0);

    // Returns `name` when `is_taken` says it is free. Otherwise counts up from the name's
    // own number, keeping its width ("sphere3" -> "sphere4", "cube_007" -> "cube_008"), or
    // from 1 for a name without one ("sphere" -> "sphere1"), until a free name is found.
    // Gives up with an error message and an empty string after MAX_ATTEMPTS taken names.
    static CoreString get_unique_name(CoreBasicString const& name,
                                      std::function<bool(CoreString const&)> const& is_taken);

    static constexpr unsigned int MAX_ATTEMPTS = 1000000;
};
