#include "host/core/core_hash.h"

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
