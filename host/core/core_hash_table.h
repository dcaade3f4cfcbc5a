#pragma once
// Hash maps of the host libraries. CoreHashTableDense and CoreHashTableSparse have the same
// interface and differ in storage:
//
// - CoreHashTableDense keeps its entries in one flat array (open addressing, robin-hood
//   probing, backward-shift removal). It is the faster one, but inserting or removing an
//   entry may move others: pointers and references into it are valid only until the next
//   add/set/get_or_add/remove/reserve/clear.
// - CoreHashTableSparse keeps every entry in its own node (separate chaining). An entry
//   never moves: a pointer returned by get() stays valid until that entry is removed (or
//   the table is cleared or destroyed), however much the table grows.
//
// Iteration visits every entry once, in no particular order, and yields CoreHashTableEntry
// objects (get_key(), get_value(), or `auto& [key, value]`). Values may be changed through
// the iteration, but entries must not be added or removed while it runs.
//
// Keys are hashed and compared through CoreHashTraits<K>: types with a get_hash() member
// (CoreBasicString, CoreString, and handles that provide one) use it; integers,
// enumerations and pointers use std::hash mixed into 32 well-spread bits. Specialise
// CoreHashTraits for other keys, or pass a traits class as the third parameter.
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

// Hashing and equality of a key type. `hash` returns a 32-bit hash; the tables spread it
// again, so a weak hash costs speed, never correctness.
template <typename K>
struct CoreHashTraits {
    static std::uint32_t hash(K const& key)
    {
        // 64-bit finaliser of MurmurHash3: every input bit affects every output bit, which
        // std::hash (the identity for integers and pointers) does not give.
        std::uint64_t h = static_cast<std::uint64_t>(std::hash<K>{}(key));
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        h *= 0xc4ceb9fe1a85ec53ull;
        h ^= h >> 33;
        return static_cast<std::uint32_t>(h);
    }
    static bool equal(K const& a, K const& b) { return a == b; }
};

template <typename K>
    requires requires(K const& key) { { key.get_hash() } -> std::convertible_to<std::uint32_t>; }
struct CoreHashTraits<K> {
    static std::uint32_t hash(K const& key) { return static_cast<std::uint32_t>(key.get_hash()); }
    static bool equal(K const& a, K const& b) { return a == b; }
};

// One (key, value) pair of a host hash table. The key is read-only: changing it would lose
// the entry.
template <typename K, typename V>
class CoreHashTableEntry {
public:
    CoreHashTableEntry(K&& key, V&& value) : m_key(std::move(key)), m_value(std::move(value)) {}

    K const& get_key() const { return m_key; }
    V& get_value() { return m_value; }
    V const& get_value() const { return m_value; }

    // Tuple access, for `auto& [key, value] : table`.
    template <std::size_t I>
    decltype(auto) get() const
    {
        if constexpr (I == 0) return (m_key);
        else return (m_value);
    }
    template <std::size_t I>
    decltype(auto) get()
    {
        if constexpr (I == 0) return static_cast<K const&>(m_key);
        else return (m_value);
    }

private:
    template <typename, typename, typename>
    friend class CoreHashTableDense;
    template <typename, typename, typename>
    friend class CoreHashTableSparse;

    K m_key;
    // Takes no room when V is empty, as in CoreSet.
    [[no_unique_address]] V m_value;
};

template <typename K, typename V>
struct std::tuple_size<CoreHashTableEntry<K, V>> : std::integral_constant<std::size_t, 2> {};
template <typename K, typename V>
struct std::tuple_element<0, CoreHashTableEntry<K, V>> { using type = K const; };
template <typename K, typename V>
struct std::tuple_element<1, CoreHashTableEntry<K, V>> { using type = V; };

namespace core_hash_table_detail {

// Fibonacci hashing: the slot is the top bits (32 - shift of them) of the hash times
// 2^32 / phi, so that hashes differing only in their high bits, or sequential ones, still
// spread over the slots.
inline std::size_t slot_of(std::uint32_t hash, unsigned int shift)
{
    return static_cast<std::uint32_t>(hash * 0x9e3779b9u) >> shift;
}

// Forward iterator over the entries of a table, which gives the meaning of a position
// through its entry_at and next_position.
template <typename Table, typename Entry, typename Position>
class Iterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::remove_const_t<Entry>;
    using difference_type = std::ptrdiff_t;
    using pointer = Entry*;
    using reference = Entry&;

    Iterator() = default;
    Iterator(Table* table, Position position) : m_table(table), m_position(position) {}

    reference operator*() const { return m_table->entry_at(m_position); }
    pointer operator->() const { return &m_table->entry_at(m_position); }
    Iterator& operator++() { m_position = m_table->next_position(m_position); return *this; }
    Iterator operator++(int) { Iterator old = *this; ++*this; return old; }
    bool operator==(Iterator const& other) const { return m_position == other.m_position; }
    bool operator!=(Iterator const& other) const { return m_position != other.m_position; }

private:
    Table* m_table = nullptr;
    Position m_position{};
};

}  // namespace core_hash_table_detail

// Open-addressing hash map (robin-hood probing, backward-shift removal); see the top of the
// file for how it differs from CoreHashTableSparse.
template <typename K, typename V, typename Traits = CoreHashTraits<K>>
class CoreHashTableDense {
public:
    using Entry = CoreHashTableEntry<K, V>;
    using iterator = core_hash_table_detail::Iterator<CoreHashTableDense, Entry, std::size_t>;
    using const_iterator =
        core_hash_table_detail::Iterator<CoreHashTableDense const, Entry const, std::size_t>;

    CoreHashTableDense() = default;
    CoreHashTableDense(CoreHashTableDense const& other) { copy_from(other); }
    CoreHashTableDense(CoreHashTableDense&& other) noexcept { steal_from(other); }
    CoreHashTableDense& operator=(CoreHashTableDense const& other)
    {
        if (this != &other) {
            release();
            copy_from(other);
        }
        return *this;
    }
    CoreHashTableDense& operator=(CoreHashTableDense&& other) noexcept
    {
        if (this != &other) {
            release();
            steal_from(other);
        }
        return *this;
    }
    ~CoreHashTableDense() { release(); }

    // Inserts the pair when `key` is absent. When it is present, returns false and keeps the
    // stored value (use set to overwrite).
    bool add(K key, V value)
    {
        std::uint32_t hash = Traits::hash(key);
        if (find_index(key, hash) != NONE) return false;
        insert_new(std::move(key), std::move(value), hash);
        return true;
    }
    // Inserts the pair or overwrites the value of an existing key; true when it was inserted.
    bool set(K key, V value)
    {
        std::uint32_t hash = Traits::hash(key);
        std::size_t index = find_index(key, hash);
        if (index != NONE) {
            m_slots[index].entry.m_value = std::move(value);
            return false;
        }
        insert_new(std::move(key), std::move(value), hash);
        return true;
    }
    // The value of `key`, inserting a default-made value first when the key is absent.
    V& get_or_add(K const& key)
    {
        std::uint32_t hash = Traits::hash(key);
        std::size_t index = find_index(key, hash);
        if (index == NONE) index = insert_new(K(key), V(), hash);
        return m_slots[index].entry.m_value;
    }

    // The value of `key`, or null when absent.
    V* get(K const& key)
    {
        std::size_t index = find_index(key, Traits::hash(key));
        return index == NONE ? nullptr : &m_slots[index].entry.m_value;
    }
    V const* get(K const& key) const { return const_cast<CoreHashTableDense*>(this)->get(key); }
    // Copies the value of `key` into `value`; false (and `value` untouched) when absent.
    bool get(K const& key, V& value) const
    {
        V const* found = get(key);
        if (!found) return false;
        value = *found;
        return true;
    }
    bool has(K const& key) const { return find_index(key, Traits::hash(key)) != NONE; }

    // Removes the entry of `key`; false when it was absent.
    bool remove(K const& key)
    {
        std::size_t index = find_index(key, Traits::hash(key));
        if (index == NONE) return false;
        remove_at(index);
        return true;
    }
    // Removes every entry; the capacity is kept.
    void clear()
    {
        if (m_count == 0) return;
        for (std::size_t i = 0; i < m_capacity; ++i) {
            if (m_slots[i].distance) {
                std::destroy_at(&m_slots[i].entry);
                m_slots[i].distance = 0;
            }
        }
        m_count = 0;
    }
    // Makes room for `count` entries without growing again.
    void reserve(unsigned int count)
    {
        std::size_t capacity = MIN_CAPACITY;
        while (count > max_count_for(capacity)) capacity *= 2;
        if (capacity > m_capacity) rehash(capacity);
    }

    unsigned int get_count() const { return m_count; }
    bool is_empty() const { return m_count == 0; }

    iterator begin() { return iterator(this, first_position()); }
    iterator end() { return iterator(this, m_capacity); }
    const_iterator begin() const { return const_iterator(this, first_position()); }
    const_iterator end() const { return const_iterator(this, m_capacity); }

private:
    friend iterator;
    friend const_iterator;

    static constexpr std::size_t NONE = ~std::size_t(0);
    static constexpr std::size_t MIN_CAPACITY = 8;

    // A slot holds its entry inline, so that a lookup usually touches one cache line.
    // `distance` is 0 for a free slot (whose entry is not constructed), else one more than
    // the entry's distance from its home slot. The stored hash spares recomputing string
    // hashes on growth and most key comparisons on lookup.
    struct Slot {
        std::uint32_t distance = 0;
        std::uint32_t hash = 0;
        union {
            Entry entry;
        };
        Slot() {}
        ~Slot() {}
    };

    // Lookups get slower as probe runs lengthen with the load. Small slots are kept at most
    // half full, since free slots cost little there; large ones up to 80 % full.
    static std::size_t max_count_for(std::size_t capacity)
    {
        return sizeof(Slot) <= 32 ? capacity / 2 : capacity * 4 / 5;
    }

    Entry& entry_at(std::size_t index) const { return m_slots[index].entry; }
    std::size_t next_position(std::size_t index) const
    {
        for (++index; index < m_capacity; ++index)
            if (m_slots[index].distance) return index;
        return m_capacity;
    }
    std::size_t first_position() const { return m_capacity ? next_position(NONE) : 0; }

    std::size_t find_index(K const& key, std::uint32_t hash) const
    {
        if (m_count == 0) return NONE;
        std::size_t index = core_hash_table_detail::slot_of(hash, m_shift);
        // An entry never sits farther from its home slot than the entry it displaced, so
        // the search stops at the first slot whose occupant is closer to home than we are.
        for (std::uint32_t distance = 1;; ++distance) {
            Slot const& slot = m_slots[index];
            if (slot.distance < distance) return NONE;
            if (slot.hash == hash && Traits::equal(slot.entry.m_key, key)) return index;
            index = (index + 1) & m_mask;
        }
    }

    // Inserts a key known to be absent and returns its slot.
    std::size_t insert_new(K&& key, V&& value, std::uint32_t hash)
    {
        if (m_count + 1 > max_count_for(m_capacity)) rehash(m_capacity ? m_capacity * 2 : MIN_CAPACITY);
        ++m_count;
        std::size_t index = core_hash_table_detail::slot_of(hash, m_shift);
        std::uint32_t distance = 1;
        // Walk until the new entry is farther from home than the occupant, take that slot,
        // and carry the occupant on; the last one carried lands in the first free slot.
        for (;; index = (index + 1) & m_mask, ++distance) {
            Slot& slot = m_slots[index];
            if (slot.distance == 0) {
                std::construct_at(&slot.entry, std::move(key), std::move(value));
                slot.distance = distance;
                slot.hash = hash;
                return index;
            }
            if (slot.distance < distance) break;
        }
        std::size_t placed = index;
        Entry carried(std::move(key), std::move(value));
        using std::swap;
        for (;; index = (index + 1) & m_mask, ++distance) {
            Slot& slot = m_slots[index];
            if (slot.distance == 0) {
                std::construct_at(&slot.entry, std::move(carried));
                slot.distance = distance;
                slot.hash = hash;
                return placed;
            }
            if (slot.distance < distance) {
                swap(carried, slot.entry);
                swap(distance, slot.distance);
                swap(hash, slot.hash);
            }
        }
    }

    // Backward-shift removal: the entries after the hole that are away from home move one
    // slot back, so no tombstones are left behind.
    void remove_at(std::size_t index)
    {
        std::destroy_at(&m_slots[index].entry);
        for (std::size_t next = (index + 1) & m_mask;; next = (next + 1) & m_mask) {
            Slot& moved = m_slots[next];
            if (moved.distance <= 1) break;
            Slot& hole = m_slots[index];
            std::construct_at(&hole.entry, std::move(moved.entry));
            std::destroy_at(&moved.entry);
            hole.distance = moved.distance - 1;
            hole.hash = moved.hash;
            index = next;
        }
        m_slots[index].distance = 0;
        --m_count;
    }

    void allocate(std::size_t capacity)
    {
        m_slots = std::make_unique<Slot[]>(capacity);
        m_capacity = capacity;
        m_mask = capacity - 1;
        m_shift = 32;
        for (std::size_t c = capacity; c > 1; c >>= 1) --m_shift;
    }

    void rehash(std::size_t capacity)
    {
        std::unique_ptr<Slot[]> old_slots = std::move(m_slots);
        std::size_t old_capacity = m_capacity;
        allocate(capacity);
        m_count = 0;
        for (std::size_t i = 0; i < old_capacity; ++i) {
            Slot& old = old_slots[i];
            if (!old.distance) continue;
            insert_new(std::move(old.entry.m_key), std::move(old.entry.m_value), old.hash);
            std::destroy_at(&old.entry);
        }
    }

    void release()
    {
        clear();
        m_slots.reset();
        m_capacity = 0;
        m_mask = 0;
    }

    void copy_from(CoreHashTableDense const& other)
    {
        if (!other.m_slots) return;
        allocate(other.m_capacity);
        for (std::size_t i = 0; i < m_capacity; ++i) {
            Slot const& source = other.m_slots[i];
            if (!source.distance) continue;
            std::construct_at(&m_slots[i].entry, source.entry);
            m_slots[i].distance = source.distance;
            m_slots[i].hash = source.hash;
        }
        m_count = other.m_count;
    }

    void steal_from(CoreHashTableDense& other)
    {
        m_slots = std::move(other.m_slots);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_mask = std::exchange(other.m_mask, 0);
        m_shift = other.m_shift;
        m_count = std::exchange(other.m_count, 0);
    }

    std::unique_ptr<Slot[]> m_slots;
    std::size_t m_capacity = 0;
    std::size_t m_mask = 0;
    unsigned int m_shift = 32;
    unsigned int m_count = 0;
};

// Separate-chaining hash map whose entries never move; see the top of the file.
template <typename K, typename V, typename Traits = CoreHashTraits<K>>
class CoreHashTableSparse {
    struct Node;

public:
    using Entry = CoreHashTableEntry<K, V>;
    using iterator = core_hash_table_detail::Iterator<CoreHashTableSparse, Entry, Node*>;
    using const_iterator =
        core_hash_table_detail::Iterator<CoreHashTableSparse const, Entry const, Node*>;

    CoreHashTableSparse() = default;
    CoreHashTableSparse(CoreHashTableSparse const& other) { copy_from(other); }
    CoreHashTableSparse(CoreHashTableSparse&& other) noexcept { steal_from(other); }
    CoreHashTableSparse& operator=(CoreHashTableSparse const& other)
    {
        if (this != &other) {
            release();
            copy_from(other);
        }
        return *this;
    }
    CoreHashTableSparse& operator=(CoreHashTableSparse&& other) noexcept
    {
        if (this != &other) {
            release();
            steal_from(other);
        }
        return *this;
    }
    ~CoreHashTableSparse() { release(); }

    // Same contract as CoreHashTableDense::add: an existing key keeps its value.
    bool add(K key, V value)
    {
        std::uint32_t hash = Traits::hash(key);
        if (find_node(key, hash)) return false;
        insert_new(std::move(key), std::move(value), hash);
        return true;
    }
    // Inserts or overwrites; true when it was inserted.
    bool set(K key, V value)
    {
        std::uint32_t hash = Traits::hash(key);
        if (Node* node = find_node(key, hash)) {
            node->entry.m_value = std::move(value);
            return false;
        }
        insert_new(std::move(key), std::move(value), hash);
        return true;
    }
    // The value of `key`, inserting a default-made value first when the key is absent.
    V& get_or_add(K const& key)
    {
        std::uint32_t hash = Traits::hash(key);
        Node* node = find_node(key, hash);
        if (!node) node = insert_new(K(key), V(), hash);
        return node->entry.m_value;
    }

    // The value of `key`, or null; the pointer stays valid until the entry is removed.
    V* get(K const& key)
    {
        Node* node = find_node(key, Traits::hash(key));
        return node ? &node->entry.m_value : nullptr;
    }
    V const* get(K const& key) const { return const_cast<CoreHashTableSparse*>(this)->get(key); }
    // Copies the value of `key` into `value`; false (and `value` untouched) when absent.
    bool get(K const& key, V& value) const
    {
        V const* found = get(key);
        if (!found) return false;
        value = *found;
        return true;
    }
    bool has(K const& key) const { return find_node(key, Traits::hash(key)) != nullptr; }

    bool remove(K const& key)
    {
        if (m_count == 0) return false;
        std::uint32_t hash = Traits::hash(key);
        Node** link = &m_buckets[core_hash_table_detail::slot_of(hash, m_shift)];
        for (; *link; link = &(*link)->next) {
            Node* node = *link;
            if (node->hash == hash && Traits::equal(node->entry.m_key, key)) {
                *link = node->next;
                delete node;
                --m_count;
                return true;
            }
        }
        return false;
    }
    // Removes every entry; the bucket array is kept.
    void clear()
    {
        for (Node*& head : m_buckets) {
            while (head) delete std::exchange(head, head->next);
        }
        m_count = 0;
    }
    void reserve(unsigned int count)
    {
        std::size_t capacity = MIN_BUCKETS;
        while (count > capacity) capacity *= 2;
        if (capacity > m_buckets.size()) rehash(capacity);
    }

    unsigned int get_count() const { return m_count; }
    bool is_empty() const { return m_count == 0; }

    iterator begin() { return iterator(this, first_position()); }
    iterator end() { return iterator(this, nullptr); }
    const_iterator begin() const { return const_iterator(this, first_position()); }
    const_iterator end() const { return const_iterator(this, nullptr); }

private:
    friend iterator;
    friend const_iterator;

    struct Node {
        Entry entry;
        Node* next;
        std::uint32_t hash;
    };

    static constexpr std::size_t MIN_BUCKETS = 8;

    Entry& entry_at(Node* node) const { return node->entry; }
    Node* first_in_buckets_from(std::size_t bucket) const
    {
        for (; bucket < m_buckets.size(); ++bucket)
            if (m_buckets[bucket]) return m_buckets[bucket];
        return nullptr;
    }
    Node* first_position() const { return m_count ? first_in_buckets_from(0) : nullptr; }
    Node* next_position(Node* node) const
    {
        if (node->next) return node->next;
        return first_in_buckets_from(core_hash_table_detail::slot_of(node->hash, m_shift) + 1);
    }

    Node* find_node(K const& key, std::uint32_t hash) const
    {
        if (m_count == 0) return nullptr;
        for (Node* node = m_buckets[core_hash_table_detail::slot_of(hash, m_shift)]; node; node = node->next)
            if (node->hash == hash && Traits::equal(node->entry.m_key, key)) return node;
        return nullptr;
    }

    Node* insert_new(K&& key, V&& value, std::uint32_t hash)
    {
        // One entry per bucket on average at most.
        if (m_count + 1 > m_buckets.size()) rehash(m_buckets.empty() ? MIN_BUCKETS : m_buckets.size() * 2);
        Node*& head = m_buckets[core_hash_table_detail::slot_of(hash, m_shift)];
        head = new Node{Entry(std::move(key), std::move(value)), head, hash};
        ++m_count;
        return head;
    }

    // Relinks the nodes into a new bucket array; no entry moves.
    void rehash(std::size_t bucket_count)
    {
        std::vector<Node*> old = std::move(m_buckets);
        m_buckets.assign(bucket_count, nullptr);
        m_shift = 32;
        for (std::size_t c = bucket_count; c > 1; c >>= 1) --m_shift;
        for (Node* node : old) {
            while (node) {
                Node* next = node->next;
                Node*& head = m_buckets[core_hash_table_detail::slot_of(node->hash, m_shift)];
                node->next = head;
                head = node;
                node = next;
            }
        }
    }

    void release()
    {
        clear();
        m_buckets.clear();
        m_buckets.shrink_to_fit();
    }

    void copy_from(CoreHashTableSparse const& other)
    {
        if (other.m_buckets.empty()) return;
        m_buckets.assign(other.m_buckets.size(), nullptr);
        m_shift = other.m_shift;
        for (std::size_t i = 0; i < m_buckets.size(); ++i) {
            Node** tail = &m_buckets[i];
            for (Node* node = other.m_buckets[i]; node; node = node->next) {
                *tail = new Node{node->entry, nullptr, node->hash};
                tail = &(*tail)->next;
            }
        }
        m_count = other.m_count;
    }

    void steal_from(CoreHashTableSparse& other)
    {
        m_buckets = std::move(other.m_buckets);
        other.m_buckets.clear();
        m_shift = other.m_shift;
        m_count = std::exchange(other.m_count, 0);
    }

    std::vector<Node*> m_buckets;
    unsigned int m_shift = 32;
    unsigned int m_count = 0;
};
