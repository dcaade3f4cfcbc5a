#include "host/core/core_custom_data.h"

#include <mutex>
#include <string>
#include <unordered_map>

CORE_IMPLEMENT_CLASS(CoreCustomData, CoreBaseObject)

namespace {

struct KeyRegistry {
    std::mutex mutex;
    std::unordered_map<std::string, CoreCustomData::Key> keys;
    std::vector<std::string> names{""};  // key 0 is never given out
};

KeyRegistry& get_key_registry()
{
    static KeyRegistry registry;
    return registry;
}

}  // namespace

CoreCustomData::CoreCustomData(CoreCustomData const& other) : CoreBaseObject(other)
{
    if (other.m_custom_data) m_custom_data = std::make_unique<Storage>(*other.m_custom_data);
}

CoreCustomData& CoreCustomData::operator=(CoreCustomData const& other)
{
    if (this != &other) {
        m_custom_data.reset();
        if (other.m_custom_data) m_custom_data = std::make_unique<Storage>(*other.m_custom_data);
    }
    return *this;
}

CoreCustomData::~CoreCustomData() = default;

CoreCustomData::Key CoreCustomData::get_custom_data_key(CoreBasicString const& name)
{
    KeyRegistry& registry = get_key_registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    auto next_key = static_cast<Key>(registry.names.size());
    auto [it, inserted] = registry.keys.try_emplace(name.std_string(), next_key);
    if (inserted) registry.names.push_back(name.std_string());
    return it->second;
}

CoreString CoreCustomData::get_custom_data_key_name(Key const& key)
{
    KeyRegistry& registry = get_key_registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    return key < registry.names.size() ? CoreString(registry.names[key]) : CoreString();
}

bool CoreCustomData::add_custom_data(Key const& key, CoreVariant const& value)
{
    if (has_custom_data(key)) return false;
    if (!m_custom_data) m_custom_data = std::make_unique<Storage>();
    m_custom_data->emplace_back(key, value);
    return true;
}

void CoreCustomData::set_custom_data(Key const& key, CoreVariant const& value)
{
    if (m_custom_data) {
        for (auto& entry : *m_custom_data) {
            if (entry.first == key) {
                entry.second = value;
                return;
            }
        }
    }
    add_custom_data(key, value);
}

bool CoreCustomData::get_custom_data(Key const& key, CoreVariant& out) const
{
    if (!m_custom_data) return false;
    for (auto const& entry : *m_custom_data) {
        if (entry.first == key) {
            out = entry.second;
            return true;
        }
    }
    return false;
}

bool CoreCustomData::has_custom_data(Key const& key) const
{
    if (!m_custom_data) return false;
    for (auto const& entry : *m_custom_data)
        if (entry.first == key) return true;
    return false;
}

bool CoreCustomData::remove_custom_data(Key const& key)
{
    if (!m_custom_data) return false;
    for (size_t i = 0; i < m_custom_data->size(); ++i) {
        if ((*m_custom_data)[i].first == key) {
            m_custom_data->erase(m_custom_data->begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

void CoreCustomData::clear_custom_data() { m_custom_data.reset(); }

unsigned int CoreCustomData::get_custom_data_count() const
{
    return m_custom_data ? static_cast<unsigned int>(m_custom_data->size()) : 0u;
}

size_t CoreCustomData::get_memory_size() const
{
    size_t size = sizeof(CoreCustomData);
    if (m_custom_data) size += m_custom_data->capacity() * sizeof((*m_custom_data)[0]);
    return size;
}
