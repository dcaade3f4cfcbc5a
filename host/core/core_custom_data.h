#pragma once
// A key-to-value store attached to an object, for data its users hang on it (a toolbar
// item on a menu entry, a flag on a window). Keys are made once from a name.
#include <memory>
#include <utility>
#include <vector>

#include "host/core/core_base_object.h"
#include "host/core/core_variant.h"

class QN_HOST_API CoreCustomData : public CoreBaseObject {
    CORE_DECLARE_CLASS(CoreCustomData, CoreBaseObject)

public:
    using Key = unsigned int;

    CoreCustomData() = default;
    CoreCustomData(CoreCustomData const& other);
    CoreCustomData& operator=(CoreCustomData const& other);
    ~CoreCustomData() override;

    // The key of `name`: the same name always gives the same key, different names give
    // different keys (keys are numbered in order of first use, from 1).
    static Key get_custom_data_key(CoreBasicString const& name);
    // The name a key was made from, or an empty string for an unknown key.
    static CoreString get_custom_data_key_name(Key const& key);

    // Adds a value; returns false and changes nothing when the key is already present.
    bool add_custom_data(Key const& key, CoreVariant const& value = CoreVariant(true));
    // Adds or replaces.
    void set_custom_data(Key const& key, CoreVariant const& value);
    // Copies the value into `out`; false (and `out` untouched) when absent.
    bool get_custom_data(Key const& key, CoreVariant& out) const;
    bool has_custom_data(Key const& key) const;
    bool remove_custom_data(Key const& key);
    void clear_custom_data();
    unsigned int get_custom_data_count() const;

    size_t get_memory_size() const override;

private:
    using Storage = std::vector<std::pair<Key, CoreVariant>>;
    // Allocated on first use: most objects never carry custom data.
    std::unique_ptr<Storage> m_custom_data;
};
