#pragma once
// Hashing: 32 bits for event names, string keys and custom-data keys; 64 bits for checksums
// of large buffers.
#include <cstddef>
#include <cstdint>

#include "host/core/core_export.h"

class QN_HOST_API CoreHash {
public:
    // Bob Jenkins' one-at-a-time hash of `length` bytes.
    static unsigned int generate_jenkins(void const* bytes, unsigned int length);
    // Hash of a NUL-terminated text.
    static unsigned int generate_jenkins(char const* text);
    // Folds two hashes into one; the order of the arguments matters.
    static unsigned int combine(unsigned int a, unsigned int b);
    // A 64-bit hash of `length` bytes, read eight at a time into four independent lanes of
    // multiply-and-rotate rounds, so that it runs at memory speed (several GB/s): a checksum
    // for buffers of megabytes, not a cryptographic one. The same for the same bytes on
    // every run and machine.
    static std::uint64_t generate_64(void const* bytes, std::size_t length);
};
