#include "host/module/module_language.h"

#include <mutex>
#include <vector>

#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(ModuleLanguage, CoreBaseObject)

namespace {

// The languages that exist, by registration order. Lookups come from the application
// thread, but languages may be made and destroyed elsewhere (a test's engine), hence the lock.
std::mutex& registry_mutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<ModuleLanguage*>& registry()
{
    static std::vector<ModuleLanguage*> languages;
    return languages;
}

CoreString identifier(CoreString name)
{
    return name.make_identifier();
}

size_t strings_size(CoreVector<CoreString> const& strings)
{
    size_t size = strings.get_count() * sizeof(CoreString);
    for (CoreString const& text : strings) size += text.get_length();
    return size;
}

}  // namespace

ModuleLanguage::ModuleLanguage(CoreString const& name) : m_name(name)
{
    std::lock_guard<std::mutex> lock(registry_mutex());
    CoreString const key = identifier(name);
    for (ModuleLanguage* language : registry()) {
        if (identifier(language->m_name) == key) {
            CORE_LOG_WARNING("ModuleLanguage.ModuleLanguage: a language named '"
                             << name << "' is registered already\n");
            return;
        }
    }
    registry().push_back(this);
    m_registered = true;
}

ModuleLanguage::~ModuleLanguage()
{
    if (!m_registered) return;
    std::lock_guard<std::mutex> lock(registry_mutex());
    std::erase(registry(), this);
}

ModuleLanguage* ModuleLanguage::find_language(CoreString const& name)
{
    std::lock_guard<std::mutex> lock(registry_mutex());
    CoreString const key = identifier(name);
    for (ModuleLanguage* language : registry())
        if (identifier(language->m_name) == key) return language;
    return nullptr;
}

ModuleLanguage* ModuleLanguage::get_language(AppObject&, CoreString const& name)
{
    ModuleLanguage* language = find_language(name);
    if (!language) CORE_LOG_WARNING("ModuleLanguage.get_language: no language named '" << name << "'\n");
    return language;
}

void ModuleLanguage::clear_completion()
{
    m_completion.clear();
    m_rebuild_completion = true;
}

size_t ModuleLanguage::get_memory_size() const
{
    return sizeof(ModuleLanguage) + strings_size(m_keywords) + strings_size(m_reserved_keywords) +
           strings_size(m_preprocessor_keywords) + strings_size(m_line_comments) +
           strings_size(m_block_comments) + strings_size(m_strings) + strings_size(m_operators) +
           strings_size(m_extensions) + strings_size(m_completion);
}
