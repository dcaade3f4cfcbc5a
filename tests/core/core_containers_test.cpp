#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <unordered_map>

#include "host/core/core_hash_table.h"
#include "host/core/core_most_recent_sorted_set.h"
#include "host/core/core_queue.h"
#include "host/core/core_set.h"
#include "host/core/core_string.h"

namespace {

// Puts every key of a handful into the same few chains / probe runs, so that long
// clusters, displacement and backward shifting are exercised.
struct CollidingTraits {
    static std::uint32_t hash(int const& key) { return static_cast<std::uint32_t>(key % 7); }
    static bool equal(int const& a, int const& b) { return a == b; }
};

// Counts live objects, to catch leaked or doubly destroyed values.
struct Tracked {
    static inline int s_live = 0;
    int value = 0;
    Tracked(int v = 0) : value(v) { ++s_live; }
    Tracked(Tracked const& other) : value(other.value) { ++s_live; }
    Tracked(Tracked&& other) noexcept : value(other.value) { ++s_live; }
    Tracked& operator=(Tracked const&) = default;
    Tracked& operator=(Tracked&&) = default;
    ~Tracked() { --s_live; }
};

template <template <typename, typename, typename> class Table>
struct Kind {
    template <typename K, typename V, typename Traits = CoreHashTraits<K>>
    using type = Table<K, V, Traits>;
};

template <typename KindT>
class CoreHashTableTest : public testing::Test {};

using TableKinds = testing::Types<Kind<CoreHashTableDense>, Kind<CoreHashTableSparse>>;
TYPED_TEST_SUITE(CoreHashTableTest, TableKinds);

// Random adds, removes and lookups checked against std::unordered_map, in phases that grow
// the table, empty most of it, fill it again and mix (set and the key types are covered below).
template <typename Table>
void run_differential(unsigned int operation_count, int key_range)
{
    Table table;
    std::unordered_map<int, int> expected;
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> key_of(-key_range / 4, key_range - key_range / 4);
    unsigned int const phase_length = operation_count / 4;
    int const insert_shares[] = {70, 15, 70, 40};
    for (unsigned int i = 0; i < operation_count; ++i) {
        int const insert_share = insert_shares[i / phase_length];
        int const key = key_of(random);
        int const roll = static_cast<int>(random() % 100);
        if (roll < insert_share) {
            ASSERT_EQ(table.add(key, static_cast<int>(i)), expected.emplace(key, i).second) << "add at " << i;
        } else if (roll < insert_share + 30) {
            ASSERT_EQ(table.remove(key), expected.erase(key) == 1) << "remove at " << i;
        } else {
            auto it = expected.find(key);
            int const* found = table.get(key);
            ASSERT_EQ(found ? *found : -1, it != expected.end() ? it->second : -1) << "get at " << i;
        }
        ASSERT_EQ(table.get_count(), expected.size());
        if ((i + 1) % phase_length == 0) {
            std::unordered_map<int, int> seen;
            for (auto const& entry : table) ASSERT_TRUE(seen.emplace(entry.get_key(), entry.get_value()).second);
            ASSERT_EQ(seen, expected) << "iteration at " << i;
        }
    }
}

}  // namespace

TYPED_TEST(CoreHashTableTest, MatchesStdUnorderedMapOverRandomOperations)
{
    using Table = typename TypeParam::template type<int, int>;
    run_differential<Table>(100000, 20000);
}

TYPED_TEST(CoreHashTableTest, MatchesStdUnorderedMapWhenHashesCollide)
{
    using Table = typename TypeParam::template type<int, int, CollidingTraits>;
    run_differential<Table>(20000, 600);
}

TYPED_TEST(CoreHashTableTest, AddKeepsAndSetOverwritesExistingValues)
{
    typename TypeParam::template type<CoreString, int> table;
    EXPECT_TRUE(table.add("sphere", 1));
    EXPECT_FALSE(table.add("sphere", 2));
    EXPECT_EQ(*table.get("sphere"), 1);
    EXPECT_FALSE(table.set("sphere", 3));
    EXPECT_EQ(*table.get("sphere"), 3);
    EXPECT_TRUE(table.set("cube", 4));

    table.get_or_add("torus") += 5;
    table.get_or_add("torus") += 5;
    EXPECT_EQ(*table.get("torus"), 10);

    // Keys differ by content, not by object; an empty key is a key like another.
    CoreString key("sph");
    key += "ere";
    EXPECT_TRUE(table.has(key));
    EXPECT_TRUE(table.add("", 7));
    EXPECT_EQ(*table.get(""), 7);

    table.clear();
    EXPECT_TRUE(table.add("sphere", 8));  // cleared: the key is free again
}

TYPED_TEST(CoreHashTableTest, BasicStringKeysFindStringKeys)
{
    typename TypeParam::template type<CoreBasicString, CoreString> by_name;
    by_name.set(CoreBasicString("b"), "second");
    EXPECT_EQ(*by_name.get(CoreString("b")), "second");
}

TYPED_TEST(CoreHashTableTest, DestroysEveryValueOnceAndSupportsMoveOnlyValues)
{
    {
        typename TypeParam::template type<int, Tracked> table;
        for (int i = 0; i < 1000; ++i) table.add(i, Tracked(i));
        EXPECT_FALSE(table.add(5, Tracked(-5)));
        for (int i = 0; i < 1000; i += 2) table.remove(i);
        EXPECT_EQ(Tracked::s_live, 500);

        auto copy = table;
        EXPECT_EQ(Tracked::s_live, 1000);
        copy.set(1, Tracked(-1));
        EXPECT_EQ(table.get(1)->value, 1);  // the copy is independent

        auto moved = std::move(copy);
        EXPECT_FALSE(copy.has(1));
        copy.add(1, Tracked(11));  // a moved-from table is usable
        EXPECT_EQ(moved.get(1)->value, -1);

        table = moved;
        table = std::move(moved);
        EXPECT_EQ(table.get(1)->value, -1);
        table.clear();
        EXPECT_EQ(Tracked::s_live, 1);
    }
    EXPECT_EQ(Tracked::s_live, 0);

    typename TypeParam::template type<CoreString, std::unique_ptr<int>> owners;
    for (int i = 0; i < 100; ++i) owners.add(CoreString("item") + i, std::make_unique<int>(i));
    owners.set("item7", std::make_unique<int>(70));
    EXPECT_EQ(**owners.get("item7"), 70);
}

TEST(CoreHashTableSparse, ValuePointersSurviveGrowthAndOtherRemovals)
{
    CoreHashTableSparse<CoreString, int> table;
    std::vector<int*> pointers;
    for (int i = 0; i < 100; ++i) {
        table.add(CoreString("kept") + i, i);
        pointers.push_back(table.get(CoreString("kept") + i));
    }
    for (int i = 0; i < 50000; ++i) table.add(CoreString("filler") + i, -i);
    for (int i = 0; i < 50000; i += 2) table.remove(CoreString("filler") + i);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(*pointers[i], i);
        EXPECT_EQ(table.get(CoreString("kept") + i), pointers[i]);
    }
}

TEST(CoreSet, AddsRemovesAndListsItems)
{
    CoreSet<CoreString> set{"b", "a", "b"};
    EXPECT_TRUE(set.add("c"));
    EXPECT_FALSE(set.add("a"));
    EXPECT_TRUE(set.remove("a"));
    EXPECT_FALSE(set.remove("a"));

    CoreVector<CoreString> items{"stale"};
    set.get_items(items);
    CoreString::alpha_sort(items);
    EXPECT_EQ(items, (CoreVector<CoreString>{"b", "c"}));
}

TEST(CoreQueue, PopsInPushOrder)
{
    CoreQueue<int> queue;
    int out = -1;
    EXPECT_FALSE(queue.pop(out));

    // Interleaved pushes and pops keep first-in first-out order.
    int next_pushed = 0;
    int next_popped = 0;
    for (int round = 0; round < 100; ++round) {
        for (int i = 0; i < 3; ++i) queue.push(next_pushed++);
        ASSERT_EQ(*queue.front(), next_popped);
        ASSERT_TRUE(queue.pop(out));
        ASSERT_EQ(out, next_popped++);
    }
    EXPECT_EQ(queue.get_count(), 200u);
    while (queue.pop(out)) ASSERT_EQ(out, next_popped++);
    EXPECT_EQ(next_popped, next_pushed);
    EXPECT_TRUE(queue.is_empty());
}

TEST(CoreMostRecentSortedSet, KeepsNewestFirstWithoutDuplicatesWithinTheBound)
{
    CoreMostRecentSortedSet<CoreString> recent(3);
    EXPECT_TRUE(recent.add("a"));
    EXPECT_TRUE(recent.add("b"));
    EXPECT_TRUE(recent.add("c"));
    EXPECT_FALSE(recent.add("a"));  // moves to the front, drops nothing
    auto order = [&recent] {
        CoreVector<CoreString> items;
        for (CoreString const& item : recent) items.add(item);
        return items;
    };
    EXPECT_EQ(order(), (CoreVector<CoreString>{"a", "c", "b"}));
    EXPECT_TRUE(recent.add("d"));  // "b" is the oldest
    EXPECT_EQ(order(), (CoreVector<CoreString>{"d", "a", "c"}));

    EXPECT_TRUE(recent.remove("a"));
    EXPECT_FALSE(recent.remove("a"));
    EXPECT_EQ(recent.find("c"), 1);

    recent.add("e");
    recent.set_max_count(1);
    EXPECT_EQ(order(), (CoreVector<CoreString>{"e"}));
    recent.set_max_count(5);
    for (char c = 'f'; c <= 'm'; ++c) recent.add(CoreString() + c);
    EXPECT_EQ(order(), (CoreVector<CoreString>{"m", "l", "k", "j", "i"}));

    recent.set_max_count(0);
    EXPECT_TRUE(recent.is_empty());
    recent.add("x");
    EXPECT_TRUE(recent.is_empty());
}
