#include "host/event/event_id.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/core/core_hash.h"
#include "host/core/core_log.h"

namespace {

// Every name checked for collisions, by hash, and the addresses of the loaded constants.
struct EventIdRegistry {
    std::mutex mutex;
    std::unordered_map<unsigned int, std::vector<std::string>> names_by_hash;
    std::unordered_set<CoreString const*> ids;
};

// Made on first use, so constants of any library can register during static
// initialisation; never destroyed, so constants unregistering late at exit still find it.
EventIdRegistry& get_registry()
{
    static EventIdRegistry* registry = new EventIdRegistry;
    return *registry;
}

}  // namespace

bool event_debug_collisions(unsigned int const& hash, CoreBasicString const& name)
{
    EventIdRegistry& registry = get_registry();
    std::string other;
    {
        std::lock_guard<std::mutex> guard(registry.mutex);
        std::vector<std::string>& names = registry.names_by_hash[hash];
        for (std::string const& known : names) {
            if (known == name.view()) return false;
        }
        names.push_back(name.std_string());
        if (names.size() == 1) return false;
        other = names.front();
    }
    CORE_LOG_WARNING("event_debug_collisions: the event names \"" << name << "\" and \"" << other
                     << "\" have the same hash " << hash << "\n");
    return true;
}

bool event_is_registered_id(CoreString const* name)
{
    EventIdRegistry& registry = get_registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    return registry.ids.count(name) != 0;
}

EventIdRegistration::EventIdRegistration(CoreString const& id) : m_id(&id)
{
    event_debug_collisions(CoreHash::generate_jenkins(id.get_data(), id.get_length()), id);
    EventIdRegistry& registry = get_registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    registry.ids.insert(m_id);
}

EventIdRegistration::~EventIdRegistration()
{
    EventIdRegistry& registry = get_registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    registry.ids.erase(m_id);
}
