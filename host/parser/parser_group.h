#pragma once
// The tree of a settings file: a ParserGroup is an ordered list of named entries, and a
// ParserEntry is a name with a list of typed values (bool, int, double, string, 2- and
// 3-component double vectors, or a nested group). Names need not be unique: several
// entries may share a name ("tab", "bookmark") and keep their order. See parser_file.h
// for the text form.
//
//     ParserGroup& tags = root.add_group("color_tags");
//     tags.add_group("red").add_entry("color").add_int(255).add_int(0).add_int(0);
//
//     ParserGroup const* red = tags.get_group("red");
//     ParserEntry const* color = red ? red->get_entry("color") : nullptr;
//     if (color && color->get_value_count() == 3 && color->is_value_int(0)) ...
//
// Reading a value of the wrong kind or past the end logs a warning and gives a zero
// value; test with is_value_... first when the kind is not known.
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class ParserEntry;

// An ordered list of named entries; owns them.
class QN_HOST_API ParserGroup : public CoreBaseObject {
    CORE_DECLARE_CLASS(ParserGroup, CoreBaseObject)

public:
    // Returned by find when no entry matches.
    static constexpr unsigned int NOT_FOUND = 0xFFFFFFFFu;

    ParserGroup();
    ~ParserGroup() override;
    // Deep copies.
    ParserGroup(ParserGroup const& other);
    ParserGroup& operator=(ParserGroup const& other);
    ParserGroup(ParserGroup&& other) noexcept;
    ParserGroup& operator=(ParserGroup&& other) noexcept;

    // Appends an entry without values and returns it (valid until it is removed).
    ParserEntry& add_entry(CoreBasicString const& name);
    // Appends a copy of `entry`.
    ParserEntry& add_entry(ParserEntry const& entry);
    // Appends an entry named `name` whose only value is a new empty group, and returns
    // that group.
    ParserGroup& add_group(CoreBasicString const& name);

    unsigned int get_entry_count() const { return static_cast<unsigned int>(m_entries.size()); }
    bool is_empty() const { return m_entries.empty(); }
    // The entry at `index`; null (with a warning) when out of range.
    ParserEntry* get_entry(unsigned int const& index);
    ParserEntry const* get_entry(unsigned int const& index) const;
    // The first entry named `name`, or null.
    ParserEntry* get_entry(CoreBasicString const& name);
    ParserEntry const* get_entry(CoreBasicString const& name) const;
    // The group held by the first entry named `name` whose first value is a group, or null.
    ParserGroup* get_group(CoreBasicString const& name);
    ParserGroup const* get_group(CoreBasicString const& name) const;
    // Index of the first entry named `name` at or after `start`, or NOT_FOUND; walks all
    // entries of a repeated name with find(name, previous + 1).
    unsigned int find(CoreBasicString const& name, unsigned int const& start = 0) const;

    // Removes the entry at `index`; false (with a warning) when out of range.
    bool remove_entry(unsigned int const& index);
    // Removes every entry named `name`; returns how many were removed.
    unsigned int remove_entry(CoreBasicString const& name);
    void clear();

    // Same names, values and nesting in the same order. NaNs compare equal to each other
    // so that a tree equals its written-and-reread copy.
    bool operator==(ParserGroup const& other) const;
    bool operator!=(ParserGroup const& other) const { return !(*this == other); }

    size_t get_memory_size() const override;

private:
    friend class ParserEntry;
    friend class ParserReader;
    friend class ParserWriter;

    std::vector<std::unique_ptr<ParserEntry>> m_entries;
};

// A named list of typed values; a value may be a nested group.
class QN_HOST_API ParserEntry : public CoreBaseObject {
    CORE_DECLARE_CLASS(ParserEntry, CoreBaseObject)

public:
    enum ValueType : int {
        VALUE_TYPE_NONE,  // no value at that index
        VALUE_TYPE_BOOL,
        VALUE_TYPE_INT,
        VALUE_TYPE_DOUBLE,
        VALUE_TYPE_STRING,
        VALUE_TYPE_VEC2D,
        VALUE_TYPE_VEC3D,
        VALUE_TYPE_GROUP,
        VALUE_TYPE_COUNT
    };
    static char const* get_value_type_name(ValueType const& type);

    explicit ParserEntry(CoreBasicString const& name = CoreBasicString());
    ~ParserEntry() override;
    // Deep copies.
    ParserEntry(ParserEntry const& other);
    ParserEntry& operator=(ParserEntry const& other);
    ParserEntry(ParserEntry&& other) noexcept;
    ParserEntry& operator=(ParserEntry&& other) noexcept;

    CoreString const& get_name() const { return m_name; }
    void set_name(CoreBasicString const& name) { m_name = name; }

    // Appending values; each returns the entry so that calls chain.
    ParserEntry& add_bool(bool const& value);
    ParserEntry& add_int(int64_t const& value);
    ParserEntry& add_double(double const& value);
    ParserEntry& add_string(CoreBasicString const& value);
    ParserEntry& add_vec2d(GMathVec2<double> const& value);
    ParserEntry& add_vec3d(GMathVec3<double> const& value);
    // Appends a new empty group value and returns it.
    ParserGroup& add_group();
    // Appends a copy of `group` and returns the copy.
    ParserGroup& add_group(ParserGroup const& group);

    unsigned int get_value_count() const { return static_cast<unsigned int>(m_values.size()); }
    ValueType get_value_type(unsigned int const& index) const;
    bool is_value_bool(unsigned int const& index) const { return is_value(index, VALUE_TYPE_BOOL); }
    bool is_value_int(unsigned int const& index) const { return is_value(index, VALUE_TYPE_INT); }
    bool is_value_double(unsigned int const& index) const { return is_value(index, VALUE_TYPE_DOUBLE); }
    bool is_value_string(unsigned int const& index) const { return is_value(index, VALUE_TYPE_STRING); }
    bool is_value_vec2d(unsigned int const& index) const { return is_value(index, VALUE_TYPE_VEC2D); }
    bool is_value_vec3d(unsigned int const& index) const { return is_value(index, VALUE_TYPE_VEC3D); }
    // True when value `index` is an int or a double.
    bool is_value_number(unsigned int const& index) const;
    // True when value `index` (the first by default) is a group: a "name { ... }" entry.
    bool is_group(unsigned int const& index = 0) const { return is_value(index, VALUE_TYPE_GROUP); }

    bool get_bool(unsigned int const& index) const;
    int64_t get_int(unsigned int const& index) const;
    // Ints are converted.
    double get_double(unsigned int const& index) const;
    CoreString const& get_string(unsigned int const& index) const;
    // A vector value, or the 2 (3) numbers starting at `index`, so that vectors stored as
    // separate numbers read back too.
    GMathVec2<double> get_vec2d(unsigned int const& index) const;
    GMathVec3<double> get_vec3d(unsigned int const& index) const;
    // The group at value `index`, or null when that value is not a group.
    ParserGroup* get_group(unsigned int const& index = 0);
    ParserGroup const* get_group(unsigned int const& index = 0) const;

    // Removes the value at `index`; false (with a warning) when out of range.
    bool remove_value(unsigned int const& index);
    // Removes every value, keeping the name.
    void clear();

    // Same name and values; see ParserGroup::operator==.
    bool operator==(ParserEntry const& other) const;
    bool operator!=(ParserEntry const& other) const { return !(*this == other); }

    size_t get_memory_size() const override;

private:
    friend class ParserGroup;
    friend class ParserReader;
    friend class ParserWriter;

    // Alternatives in ValueType order, from VALUE_TYPE_BOOL.
    using Value = std::variant<bool, int64_t, double, CoreString, GMathVec2<double>, GMathVec3<double>,
                               std::unique_ptr<ParserGroup>>;

    bool is_value(unsigned int index, ValueType type) const { return get_value_type(index) == type; }
    // Logs that value `index` cannot be read as `wanted` by `member`.
    void report_bad_value(char const* member, unsigned int index, ValueType wanted) const;

    CoreString m_name;
    std::vector<Value> m_values;
};
