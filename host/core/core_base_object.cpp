#include "host/core/core_base_object.h"

#include <map>
#include <memory>
#include <mutex>

#include "host/core/core_log.h"

namespace {

struct ClassRegistry {
    std::mutex mutex;
    std::map<std::string, std::unique_ptr<CoreClassInfo>, std::less<>> classes;
};

ClassRegistry& get_registry()
{
    static ClassRegistry registry;
    return registry;
}

}  // namespace

CoreClassInfo::CoreClassInfo(char const* name, Factory factory, CoreClassInfo const* parent)
    : m_name(name), m_factory(factory), m_parent(parent)
{
}

CoreClassInfo& CoreClassInfo::new_class(char const* name, Factory factory, CoreClassInfo const* parent,
                                        InitCallback init)
{
    ClassRegistry& registry = get_registry();
    CoreClassInfo* info = nullptr;
    {
        std::lock_guard<std::mutex> guard(registry.mutex);
        auto found = registry.classes.find(std::string_view(name ? name : ""));
        if (found != registry.classes.end()) {
            CORE_LOG_WARNING("CoreClassInfo.new_class: class '" << name << "' is already registered\n");
            return *found->second;
        }
        auto record = std::unique_ptr<CoreClassInfo>(new CoreClassInfo(name ? name : "", factory, parent));
        info = record.get();
        registry.classes.emplace(info->m_name.std_string(), std::move(record));
    }
    if (init) init(*info);
    return *info;
}

CoreClassInfo const* CoreClassInfo::find(CoreBasicString const& name)
{
    ClassRegistry& registry = get_registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    auto found = registry.classes.find(name.view());
    return found == registry.classes.end() ? nullptr : found->second.get();
}

bool CoreClassInfo::is_kindof(CoreClassInfo const& other) const
{
    for (CoreClassInfo const* info = this; info; info = info->m_parent) {
        if (info == &other) return true;
    }
    return false;
}

CoreClassInfo const& CoreBaseObject::class_info()
{
    static CoreClassInfo const& info = CoreClassInfo::new_class("CoreBaseObject", nullptr, nullptr);
    return info;
}
