#include "host/of/of_class_factory.h"

#include <algorithm>
#include <set>

#include "host/core/core_log.h"
#include "host/of/of_item.h"

CORE_IMPLEMENT_CREATABLE_CLASS(OfClassFactory, CoreBaseObject)

OfClassFactory::OfClassFactory() = default;
OfClassFactory::~OfClassFactory() = default;

CoreString OfClassFactory::normalize_category(CoreBasicString const& category)
{
    char const separator[2] = {category_separator(), '\0'};
    CoreString result;
    for (CoreString const& level : CoreString(category).split(separator)) {
        if (!result.is_empty()) result += category_separator();
        result += level;
    }
    return result;
}

OfClass* OfClassFactory::add_class(CoreBasicString const& name, CoreBasicString const& base_name,
                                   CoreBasicString const& category, bool const& abstract)
{
    if (!OfItem::is_valid_name(name)) {
        CORE_LOG_WARNING("OfClassFactory.add_class: invalid class name \""
                         << name << "\" (try \"" << OfItem::make_valid_name(name) << "\")\n");
        return nullptr;
    }
    if (get(name)) {
        CORE_LOG_WARNING("OfClassFactory.add_class: class \"" << name << "\" is already registered\n");
        return nullptr;
    }
    OfClass* base = nullptr;
    if (!base_name.is_empty()) {
        base = get(base_name);
        if (!base) {
            CORE_LOG_WARNING("OfClassFactory.add_class: unknown base class \"" << base_name << "\" for \""
                                                                               << name << "\"\n");
            return nullptr;
        }
    }
    std::unique_ptr<OfClass> of_class(new OfClass(*this, name, base, normalize_category(category)));
    of_class->set_abstract(abstract);
    if (base) {
        base->m_children.add(of_class.get());
        // Indexes of derived declarations follow the base's: the base can no longer change.
        base->freeze();
    }
    OfClass* result = of_class.get();
    m_by_name.add(CoreString(name), result);
    m_classes.push_back(std::move(of_class));
    return result;
}

OfClass* OfClassFactory::get(CoreBasicString const& name) const
{
    OfClass* const* found = m_by_name.get(CoreString(name));
    return found ? *found : nullptr;
}

OfClass const* OfClassFactory::get_class(unsigned int const& index) const
{
    return index < m_classes.size() ? m_classes[index].get() : nullptr;
}

CoreVector<OfClass const*> OfClassFactory::get_classes(CoreBasicString const& filter) const
{
    CoreVector<OfClass const*> result;
    for (auto const& of_class : m_classes)
        if (of_class->matches_name(filter)) result.add(of_class.get());
    return result;
}

CoreVector<OfClass const*> OfClassFactory::get_classes_kindof(OfClass const& base) const
{
    CoreVector<OfClass const*> result;
    for (auto const& of_class : m_classes)
        if (of_class->is_kindof(base)) result.add(of_class.get());
    return result;
}

namespace {

// True when `category` is `parent` or lies under it.
bool is_in_category(CoreString const& category, CoreString const& parent)
{
    if (parent.is_empty()) return true;
    if (!category.start_with(parent)) return false;
    return category.get_length() == parent.get_length() ||
           category[parent.get_length()] == OfClassFactory::category_separator();
}

}  // namespace

CoreVector<OfClass const*> OfClassFactory::get_category_classes(CoreBasicString const& category,
                                                                bool const& recursive) const
{
    CoreString wanted = normalize_category(category);
    CoreVector<OfClass const*> result;
    for (auto const& of_class : m_classes) {
        bool match =
            recursive ? is_in_category(of_class->get_category(), wanted) : of_class->get_category() == wanted;
        if (match) result.add(of_class.get());
    }
    return result;
}

CoreVector<CoreString> OfClassFactory::get_categories() const
{
    std::set<std::string> paths;
    for (auto const& of_class : m_classes) {
        CoreString const& category = of_class->get_category();
        for (unsigned int i = 0; i <= category.get_length(); ++i) {
            if (i == category.get_length() || category[i] == category_separator())
                if (i > 0) paths.insert(category.sub_string(0, i).std_string());
        }
    }
    CoreVector<CoreString> result;
    for (std::string const& path : paths) result.add(CoreString(path));
    CoreString::alpha_sort(result);
    return result;
}

CoreVector<CoreString> OfClassFactory::get_sub_categories_pathes(CoreBasicString const& category) const
{
    CoreString parent = normalize_category(category);
    unsigned int depth =
        parent.is_empty() ? 0 : CoreString(parent).count_occurences(category_separator()) + 1;
    CoreVector<CoreString> result;
    for (CoreString const& path : get_categories()) {
        if (path == parent || !is_in_category(path, parent)) continue;
        if (path.count_occurences(category_separator()) + 1 == depth + 1) result.add(path);
    }
    return result;
}

size_t OfClassFactory::get_memory_size() const
{
    size_t size = sizeof(OfClassFactory);
    for (auto const& of_class : m_classes) size += of_class->get_memory_size();
    return size;
}
