#include "host/core/core_hash.h"

#include <bit>
#include <cstring>

unsigned int CoreHash::generate_jenkins(void const* bytes, unsigned int length)
{
    auto const* p = static_cast<unsigned char const*>(bytes);
    unsigned int hash = 0;
    for (unsigned int i = 0; i < length; ++i) {
        hash += p[i];
        hash += hash << 10;
        hash ^= hash >> 6;
    }
    hash += hash << 3;
    hash ^= hash >> 11;
    hash += hash << 15;
    return hash;
}

unsigned int CoreHash::generate_jenkins(char const* text)
{
    if (!text) return generate_jenkins("", 0);
    return generate_jenkins(text, static_cast<unsigned int>(std::strlen(text)));
}

unsigned int CoreHash::combine(unsigned int a, unsigned int b)
{
    return a ^ (b + 0x9e3779b9u + (a << 6) + (a >> 2));
}

namespace {

constexpr std::uint64_t PRIME_1 = 0x9e3779b185ebca87ull;
constexpr std::uint64_t PRIME_2 = 0xc2b2ae3d27d4eb4full;
constexpr std::uint64_t PRIME_3 = 0x165667b19e3779f9ull;

// Eight bytes as a little-endian word, whatever the machine's byte order.
std::uint64_t read_word(unsigned char const* bytes)
{
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof(word));
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

std::uint64_t round(std::uint64_t lane, std::uint64_t word)
{
    return std::rotl(lane + word * PRIME_2, 31) * PRIME_1;
}

}  // namespace

std::uint64_t CoreHash::generate_64(void const* bytes, std::size_t length)
{
    auto const* p = static_cast<unsigned char const*>(bytes);
    // Four lanes that do not depend on each other keep the multipliers busy.
    std::uint64_t lanes[4] = {PRIME_1 + PRIME_2, PRIME_2, 0, 0 - PRIME_1};
    std::size_t at = 0;
    for (; at + 32 <= length; at += 32) {
        for (int lane = 0; lane < 4; ++lane) lanes[lane] = round(lanes[lane], read_word(p + at + 8 * lane));
    }
    std::uint64_t hash = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) +
                         std::rotl(lanes[3], 18) + static_cast<std::uint64_t>(length);
    for (; at + 8 <= length; at += 8)
        hash = std::rotl(hash ^ round(0, read_word(p + at)), 27) * PRIME_1 + PRIME_3;
    for (; at < length; ++at) hash = std::rotl(hash ^ (p[at] * PRIME_3), 11) * PRIME_1;
    // Spreads every input bit over the whole result.
    hash ^= hash >> 33;
    hash *= PRIME_2;
    hash ^= hash >> 29;
    hash *= PRIME_3;
    hash ^= hash >> 32;
    return hash;
}
