#pragma once
// 32-bit hashing used for event names, string keys and custom-data keys.
#include "host/core/core_export.h"

class QN_HOST_API CoreHash {
public:
    // Bob Jenkins' one-at-a-time hash of `length` bytes.
    static unsigned int generate_jenkins(void const* bytes, unsigned int length);
    // Hash of a NUL-terminated text.
    static unsigned int generate_jenkins(char const* text);
    // Folds two hashes into one; the order of the arguments matters.
    static unsigned int combine(unsigned int a, unsigned int b);
};
