#include "host/of/of_class.h"

#include <algorithm>
#include <cstdlib>

#include "host/core/core_log.h"
#include "host/of/of_attr_table.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_item.h"

CORE_IMPLEMENT_CREATABLE_CLASS(OfEnum, CoreBaseObject)
CORE_IMPLEMENT_CLASS(OfAttrDecl, OfPlugDecl)
CORE_IMPLEMENT_CLASS(OfClass, CoreBaseObject)

// OfEnum ----------------------------------------------------------------------------------

OfEnum& OfEnum::add_value(int64_t const& value, CoreBasicString const& label, CoreBasicString const& doc)
{
    if (get_index(value) >= 0) {
        CORE_LOG_WARNING("OfEnum.add_value: value " << value << " is already in the enumeration (as \""
                                                    << get_label_from_value(value) << "\")\n");
        return *this;
    }
    m_entries.push_back({value, label, doc});
    return *this;
}

int64_t OfEnum::get_value(unsigned int const& index) const
{
    return index < m_entries.size() ? m_entries[index].value : 0;
}

CoreString const& OfEnum::get_label(unsigned int const& index) const
{
    return index < m_entries.size() ? m_entries[index].label : CoreString::get_null_string();
}

CoreString const& OfEnum::get_doc(unsigned int const& index) const
{
    return index < m_entries.size() ? m_entries[index].doc : CoreString::get_null_string();
}

int OfEnum::get_index(int64_t const& value) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].value == value) return static_cast<int>(i);
    return -1;
}

CoreString const& OfEnum::get_label_from_value(int64_t const& value) const
{
    int index = get_index(value);
    return index >= 0 ? m_entries[index].label : CoreString::get_null_string();
}

// OfAttrDecl ------------------------------------------------------------------------------

OfAttrDecl::OfAttrDecl(CoreBasicString const& name, OfPlugType::Type const& type,
                       unsigned int const& value_count, unsigned int const& index)
    : OfPlugDecl(name, type, false, index), m_defaults(type, value_count)
{
    if (type == OfPlugType::TYPE_FILENAME) m_visual_hint = OfPlugType::VISUAL_HINT_FILENAME_OPEN;
}

OfAttrDecl::~OfAttrDecl() = default;

OfAttrDecl& OfAttrDecl::set_variable(bool const& variable)
{
    m_variable = variable;
    return *this;
}

OfAttrDecl& OfAttrDecl::set_default_values(OfAttrValues const& values)
{
    if (values.get_type() != m_type) {
        CORE_LOG_WARNING("OfAttrDecl.set_default_values: attribute \""
                         << m_name << "\" is of type " << OfPlugType::get_type_name(m_type) << ", not "
                         << OfPlugType::get_type_name(values.get_type()) << "\n");
        return *this;
    }
    m_defaults = values;
    return *this;
}

OfAttrDecl& OfAttrDecl::set_default_bool(bool const& value)
{
    for (unsigned int i = 0; i < m_defaults.get_count(); ++i) m_defaults.set_bool(i, value);
    return *this;
}

OfAttrDecl& OfAttrDecl::set_default_long(int64_t const& value)
{
    for (unsigned int i = 0; i < m_defaults.get_count(); ++i) m_defaults.set_long(i, value);
    return *this;
}

OfAttrDecl& OfAttrDecl::set_default_double(double const& value)
{
    for (unsigned int i = 0; i < m_defaults.get_count(); ++i) m_defaults.set_double(i, value);
    return *this;
}

OfAttrDecl& OfAttrDecl::set_default_vec2d(GMathVec2<double> const& value)
{
    for (unsigned int i = 0; i < m_defaults.get_count(); ++i) m_defaults.set_vec2d(i, value);
    return *this;
}

OfAttrDecl& OfAttrDecl::set_default_vec3d(GMathVec3<double> const& value)
{
    for (unsigned int i = 0; i < m_defaults.get_count(); ++i) m_defaults.set_vec3d(i, value);
    return *this;
}

OfAttrDecl& OfAttrDecl::set_default_string(CoreBasicString const& value)
{
    for (unsigned int i = 0; i < m_defaults.get_count(); ++i) m_defaults.set_string(i, value);
    return *this;
}

OfAttrDecl& OfAttrDecl::set_hard_range(double const& min, double const& max)
{
    if (min > max) {
        CORE_LOG_WARNING("OfAttrDecl.set_hard_range: minimum " << min << " above maximum " << max
                                                               << " for attribute \"" << m_name << "\"\n");
        return *this;
    }
    m_hard_min = min;
    m_hard_max = max;
    m_has_hard_range = true;
    return *this;
}

OfAttrDecl& OfAttrDecl::set_soft_range(double const& min, double const& max)
{
    if (min > max) {
        CORE_LOG_WARNING("OfAttrDecl.set_soft_range: minimum " << min << " above maximum " << max
                                                               << " for attribute \"" << m_name << "\"\n");
        return *this;
    }
    m_soft_min = min;
    m_soft_max = max;
    m_has_soft_range = true;
    return *this;
}

OfAttrDecl& OfAttrDecl::add_preset(CoreBasicString const& label, OfAttrValues const& values)
{
    if (values.get_type() != m_type) {
        CORE_LOG_WARNING("OfAttrDecl.add_preset: preset \""
                         << label << "\" is of type " << OfPlugType::get_type_name(values.get_type())
                         << ", attribute \"" << m_name << "\" of type " << OfPlugType::get_type_name(m_type)
                         << "\n");
        return *this;
    }
    m_presets.push_back({label, values});
    return *this;
}

CoreString const& OfAttrDecl::get_preset_label(unsigned int const& index) const
{
    return index < m_presets.size() ? m_presets[index].label : CoreString::get_null_string();
}

OfAttrValues const* OfAttrDecl::get_preset_values(unsigned int const& index) const
{
    return index < m_presets.size() ? &m_presets[index].values : nullptr;
}

OfAttrDecl& OfAttrDecl::add_enum_value(int64_t const& value, CoreBasicString const& label,
                                       CoreBasicString const& doc)
{
    if (m_type != OfPlugType::TYPE_ENUM) {
        CORE_LOG_WARNING("OfAttrDecl.add_enum_value: attribute \"" << m_name << "\" is not an enumeration\n");
        return *this;
    }
    if (!m_enum) m_enum = std::make_unique<OfEnum>();
    m_enum->add_value(value, label, doc);
    return *this;
}

OfAttrDecl& OfAttrDecl::set_group_name(CoreBasicString const& name)
{
    m_group_name = name;
    return *this;
}

OfAttrDecl& OfAttrDecl::set_object_filter(CoreBasicString const& class_name)
{
    m_object_filter = class_name;
    return *this;
}

OfAttrDecl& OfAttrDecl::set_filename_extensions(CoreVector<CoreString> const& extensions)
{
    m_filename_extensions = extensions;
    return *this;
}

OfAttrDecl& OfAttrDecl::set_tag_candidates(CoreVector<CoreString> const& tags)
{
    m_tag_candidates = tags;
    return *this;
}

OfAttrDecl& OfAttrDecl::set_connectable(bool const& connectable)
{
    m_connectable = connectable;
    return *this;
}

OfAttrDecl& OfAttrDecl::set_visual_hint(OfPlugType::VisualHint const& hint)
{
    OfPlugDecl::set_visual_hint(hint);
    return *this;
}

OfAttrDecl& OfAttrDecl::set_doc(CoreBasicString const& doc)
{
    OfPlugDecl::set_doc(doc);
    return *this;
}

// Icons -----------------------------------------------------------------------------------

OfIconImage::OfIconImage(unsigned int const& width, unsigned int const& height,
                         CoreVector<unsigned char> const& rgba)
    : m_width(width), m_height(height), m_rgba(rgba)
{
}

bool OfIconSet::set_image(unsigned int const& size, OfIconImage const& image)
{
    if (size_t(image.get_width()) * image.get_height() * 4 != image.get_rgba().get_count()) {
        CORE_LOG_WARNING("OfIconSet.set_image: " << image.get_rgba().get_count() << " bytes for a "
                                                 << image.get_width() << "x" << image.get_height()
                                                 << " RGBA picture\n");
        return false;
    }
    auto it = std::lower_bound(m_images.begin(), m_images.end(), size,
                               [](auto const& entry, unsigned int s) { return entry.first < s; });
    if (it != m_images.end() && it->first == size) {
        it->second = image;
    } else {
        m_images.insert(it, {size, image});
    }
    return true;
}

OfIconImage const* OfIconSet::get_image(unsigned int const& size) const
{
    for (auto const& entry : m_images)
        if (entry.first == size) return &entry.second;
    return nullptr;
}

OfIconImage const* OfIconSet::get_nearest_image(unsigned int const& size) const
{
    OfIconImage const* best = nullptr;
    long best_distance = 0;
    for (auto const& entry : m_images) {
        long distance = std::labs(long(entry.first) - long(size));
        // Sizes are sorted, so on a tie the later (larger) one wins.
        if (!best || distance <= best_distance) {
            best = &entry.second;
            best_distance = distance;
        }
    }
    return best;
}

CoreVector<unsigned int> OfIconSet::get_sizes() const
{
    CoreVector<unsigned int> sizes;
    for (auto const& entry : m_images) sizes.add(entry.first);
    return sizes;
}

// OfClass ---------------------------------------------------------------------------------

OfClass::OfClass(OfClassFactory& factory, CoreBasicString const& name, OfClass* base,
                 CoreBasicString const& category)
    : m_factory(&factory), m_name(name), m_category(category), m_base(base)
{
    if (base) {
        m_all_attrs = base->m_all_attrs;
        m_all_outputs = base->m_all_outputs;
        m_all_tables = base->m_all_tables;
    }
}

OfClass::~OfClass() = default;

bool OfClass::is_kindof(OfClass const& other) const
{
    for (OfClass const* c = this; c; c = c->m_base)
        if (c == &other) return true;
    return false;
}

bool OfClass::is_kindof(CoreBasicString const& class_name) const
{
    for (OfClass const* c = this; c; c = c->m_base)
        if (c->m_name == class_name) return true;
    return false;
}

bool OfClass::matches_pattern(CoreBasicString const& text, CoreBasicString const& pattern)
{
    // Iterative wildcard matching with backtracking to the last '*'.
    std::string_view t = text.view();
    std::string_view p = pattern.view();
    size_t ti = 0, pi = 0, star = std::string_view::npos, mark = 0;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == '?' || lower(p[pi]) == lower(t[ti]))) {
            ++ti;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ti;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            ti = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

bool OfClass::matches_name(CoreBasicString const& pattern) const
{
    return matches_pattern(m_name, pattern);
}

CoreString OfClass::get_object_default_name() const
{
    if (!m_object_default_name.is_empty()) return m_object_default_name;
    return OfItem::make_valid_name(CoreString(m_name).lower_case());
}

OfIconImage const* OfClass::get_icon_image(unsigned int const& size) const
{
    for (OfClass const* c = this; c; c = c->m_base)
        if (OfIconImage const* image = c->m_icons.get_image(size)) return image;
    return nullptr;
}

bool OfClass::check_can_declare(char const* operation, CoreBasicString const& name) const
{
    if (m_frozen) {
        CORE_LOG_WARNING("OfClass." << operation << ": class \"" << m_name << "\" cannot declare \"" << name
                                    << "\": it already has objects or derived classes\n");
        return false;
    }
    if (!OfItem::is_valid_name(name)) {
        CORE_LOG_WARNING("OfClass." << operation << ": invalid name \"" << name << "\" in class \"" << m_name
                                    << "\" (try \"" << OfItem::make_valid_name(name) << "\")\n");
        return false;
    }
    if (get_attr_index(name) >= 0 || get_output_index(name) >= 0) {
        CORE_LOG_WARNING("OfClass." << operation << ": class \"" << m_name << "\" already has a plug named \""
                                    << name << "\"\n");
        return false;
    }
    return true;
}

OfAttrDecl& OfClass::add_attr(CoreBasicString const& name, OfPlugType::Type const& type,
                              unsigned int const& value_count)
{
    if (type < 0 || type >= OfPlugType::TYPE_OBJECT) {
        CORE_LOG_WARNING("OfClass.add_attr: attribute \"" << name << "\" of class \"" << m_name
                                                          << "\" cannot have type "
                                                          << OfPlugType::get_type_name(type) << "\n");
        auto refused = std::make_unique<OfAttrDecl>(name, OfPlugType::TYPE_LONG, value_count, 0);
        OfAttrDecl& result = *refused;
        m_refused.push_back(std::move(refused));
        return result;
    }
    if (!check_can_declare("add_attr", name)) {
        auto refused = std::make_unique<OfAttrDecl>(name, type, value_count, 0);
        OfAttrDecl& result = *refused;
        m_refused.push_back(std::move(refused));
        return result;
    }
    auto decl =
        std::make_unique<OfAttrDecl>(name, type, value_count, static_cast<unsigned int>(m_all_attrs.size()));
    m_all_attrs.push_back(decl.get());
    m_own_attrs.push_back(std::move(decl));
    return *m_own_attrs.back();
}

OfAttrDecl const* OfClass::get_attr_decl(unsigned int const& index) const
{
    return index < m_all_attrs.size() ? m_all_attrs[index] : nullptr;
}

int OfClass::get_attr_index(CoreBasicString const& name) const
{
    for (size_t i = 0; i < m_all_attrs.size(); ++i)
        if (m_all_attrs[i]->get_name() == name) return static_cast<int>(i);
    return -1;
}

OfPlugDecl& OfClass::add_output(CoreBasicString const& name, OfPlugType::Type const& type)
{
    if (!check_can_declare("add_output", name)) {
        m_refused.push_back(std::make_unique<OfPlugDecl>(name, type, true, 0));
        return *m_refused.back();
    }
    auto decl =
        std::make_unique<OfPlugDecl>(name, type, true, static_cast<unsigned int>(m_all_outputs.size()));
    m_all_outputs.push_back(decl.get());
    m_own_outputs.push_back(std::move(decl));
    return *m_own_outputs.back();
}

OfPlugDecl const* OfClass::get_output_decl(unsigned int const& index) const
{
    return index < m_all_outputs.size() ? m_all_outputs[index] : nullptr;
}

int OfClass::get_output_index(CoreBasicString const& name) const
{
    for (size_t i = 0; i < m_all_outputs.size(); ++i)
        if (m_all_outputs[i]->get_name() == name) return static_cast<int>(i);
    return -1;
}

OfAttrTableDecl& OfClass::add_attr_table(CoreBasicString const& name)
{
    if (get_attr_table_decl(name)) {
        CORE_LOG_WARNING("OfClass.add_attr_table: class \"" << m_name << "\" already has a table named \""
                                                            << name << "\"\n");
        m_refused_tables.push_back(std::make_unique<OfAttrTableDecl>(*this, name));
        return *m_refused_tables.back();
    }
    // Tables only name attributes, so they can be added at any time; a table added to a
    // class with derived classes is not seen by them.
    m_own_tables.push_back(std::make_unique<OfAttrTableDecl>(*this, name));
    m_all_tables.push_back(m_own_tables.back().get());
    return *m_own_tables.back();
}

OfAttrTableDecl const* OfClass::get_attr_table_decl(unsigned int const& index) const
{
    return index < m_all_tables.size() ? m_all_tables[index] : nullptr;
}

OfAttrTableDecl const* OfClass::get_attr_table_decl(CoreBasicString const& name) const
{
    for (OfAttrTableDecl const* table : m_all_tables)
        if (table->get_name() == name) return table;
    return nullptr;
}

void OfClass::freeze()
{
    for (OfClass* c = this; c && !c->m_frozen; c = c->m_base) c->m_frozen = true;
}

size_t OfClass::get_memory_size() const
{
    return sizeof(OfClass) + (m_own_attrs.size() * sizeof(OfAttrDecl)) +
           m_all_attrs.capacity() * sizeof(void*) + m_own_outputs.size() * sizeof(OfPlugDecl);
}
