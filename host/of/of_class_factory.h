#pragma once
// The registry of the classes of a scene: classes by name, their derivation tree and their
// categories. Categories are paths whose levels are separated by category_separator()
// ("Geometry/Primitive" lies in "Geometry"):
//
//     classes.get_category_classes("Geometry")        // classes of "Geometry" itself
//     classes.get_category_classes("Geometry", true)  // and of its sub-categories
//     classes.get_sub_categories_pathes("Geometry")   // {"Geometry/Primitive", ...}
//     classes.get_sub_categories_pathes("")           // the top-level categories
#include <memory>
#include <vector>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_hash_table.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/of/of_class.h"

class QN_HOST_API OfClassFactory : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfClassFactory, CoreBaseObject)

public:
    OfClassFactory();
    ~OfClassFactory() override;
    OfClassFactory(OfClassFactory const&) = delete;
    OfClassFactory& operator=(OfClassFactory const&) = delete;

    static char category_separator() { return '/'; }

    // Registers a class deriving from `base_name` ("" for a root class). Refused with a
    // message, returning null, for an invalid or taken name or an unknown base. Empty
    // levels of the category ("a//b", "/a") are dropped.
    OfClass* add_class(CoreBasicString const& name, CoreBasicString const& base_name = "",
                       CoreBasicString const& category = "", bool const& abstract = false);
    // The class named `name`, or null.
    OfClass* get(CoreBasicString const& name) const;
    bool exists(CoreBasicString const& name) const { return get(name) != nullptr; }
    unsigned int get_class_count() const { return static_cast<unsigned int>(m_classes.size()); }
    OfClass const* get_class(unsigned int const& index) const;

    // Classes whose name matches `filter` (wildcards as OfClass::matches_name), in
    // registration order.
    CoreVector<OfClass const*> get_classes(CoreBasicString const& filter = "*") const;
    // Classes that are `base` or derive from it, in registration order.
    CoreVector<OfClass const*> get_classes_kindof(OfClass const& base) const;

    // Classes whose category is `category` (or lies under it when recursive).
    CoreVector<OfClass const*> get_category_classes(CoreBasicString const& category,
                                                    bool const& recursive = false) const;
    // Full paths of the categories directly under `category` ("" for the top level), in
    // natural order; intermediate levels count even when no class sits in them.
    CoreVector<CoreString> get_sub_categories_pathes(CoreBasicString const& category) const;
    // Every category path, intermediate levels included, in natural order.
    CoreVector<CoreString> get_categories() const;
    // "a//b/" -> "a/b".
    static CoreString normalize_category(CoreBasicString const& category);

    size_t get_memory_size() const override;

private:
    std::vector<std::unique_ptr<OfClass>> m_classes;
    CoreHashTableDense<CoreString, OfClass*> m_by_name;
};
