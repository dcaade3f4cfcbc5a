// The 64-bit checksum hash: every byte counts, wherever it lies and however it is aligned.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "host/core/core_hash.h"

TEST(CoreHash, Generate64SeesEveryByteAndTheLength)
{
    // 100 bytes: three rounds of the four 8-byte lanes, then whole words, then single bytes.
    std::vector<unsigned char> bytes(101);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 37 + 11);
    std::uint64_t const whole = CoreHash::generate_64(bytes.data(), 100);
    // The same bytes at another alignment hash alike.
    std::vector<unsigned char> shifted(bytes.begin(), bytes.end());
    shifted.insert(shifted.begin(), 0);
    EXPECT_EQ(CoreHash::generate_64(shifted.data() + 1, 100), whole);

    std::set<std::uint64_t> seen = {whole};
    for (size_t i = 0; i < 100; ++i) {
        bytes[i] ^= 0x10;
        seen.insert(CoreHash::generate_64(bytes.data(), 100));
        bytes[i] ^= 0x10;
    }
    // Every prefix, the empty one included, hashes apart from the others.
    for (size_t length = 0; length < 100; ++length) seen.insert(CoreHash::generate_64(bytes.data(), length));
    EXPECT_EQ(seen.size(), 1u + 100u + 100u);
}
