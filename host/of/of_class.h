#pragma once
// Classes of scene objects and what they declare. An OfClass is registered by name in an
// OfClassFactory with an optional base class, a category, documentation and icons, and
// declares typed attributes (OfAttrDecl), outputs (OfPlugDecl) and attribute tables. A
// class's attributes are those of its base followed by its own, so an index means the same
// attribute in every class derived from the one that declared it:
//
//     OfClass* geometry = classes.add_class("Geometry", "", "Geometry");
//     geometry->add_attr("visible", OfPlugType::TYPE_BOOL).set_default_bool(true);
//     OfClass* sphere = classes.add_class("Sphere", "Geometry", "Geometry/Primitive");
//     sphere->add_attr("radius", OfPlugType::TYPE_DOUBLE)
//         .set_default_double(1.0).set_hard_range(0.0, 1e6).set_soft_range(0.0, 10.0);
//     sphere->add_output("mesh", OfPlugType::TYPE_OBJECT);
//
// Declarations are made before use: a class refuses new attributes and outputs (with a
// message) once an object of it or of a derived class exists, or once a class derives from it.
#include <cstdint>
#include <memory>
#include <vector>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/of/of_attr_values.h"
#include "host/of/of_plug_type.h"

class OfAttrTableDecl;
class OfClassFactory;
class OfModule;

// The labels of an enumerated attribute: integer values with a label and documentation each.
class QN_HOST_API OfEnum : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfEnum, CoreBaseObject)

public:
    OfEnum() = default;

    // Adds a value; a value already present is refused with a message.
    OfEnum& add_value(int64_t const& value, CoreBasicString const& label, CoreBasicString const& doc = "");
    unsigned int get_value_count() const { return static_cast<unsigned int>(m_entries.size()); }
    // By index (the order of add_value); out of range gives 0 or "".
    int64_t get_value(unsigned int const& index) const;
    CoreString const& get_label(unsigned int const& index) const;
    CoreString const& get_doc(unsigned int const& index) const;
    // Index of `value`, or -1.
    int get_index(int64_t const& value) const;
    // The label of `value`, or "" when it is not a value of the enumeration.
    CoreString const& get_label_from_value(int64_t const& value) const;

private:
    struct Entry {
        int64_t value;
        CoreString label;
        CoreString doc;
    };
    std::vector<Entry> m_entries;
};

// The declaration of an attribute: its plug (name, type, visual hint, documentation) and its
// values (count, defaults, ranges, presets, enumeration, reference filter, ...).
class QN_HOST_API OfAttrDecl : public OfPlugDecl {
    CORE_DECLARE_CLASS(OfAttrDecl, OfPlugDecl)

public:
    OfAttrDecl(CoreBasicString const& name, OfPlugType::Type const& type, unsigned int const& value_count,
               unsigned int const& index);
    ~OfAttrDecl() override;

    // Values: the count objects start with, and whether they may change it.
    unsigned int get_value_count() const { return m_defaults.get_count(); }
    bool const& is_variable() const { return m_variable; }
    OfAttrDecl& set_variable(bool const& variable);
    OfAttrValues const& get_default_values() const { return m_defaults; }
    // Replaces the defaults (and so the value count); a different type is refused.
    OfAttrDecl& set_default_values(OfAttrValues const& values);
    // Give every default value the same value.
    OfAttrDecl& set_default_bool(bool const& value);
    OfAttrDecl& set_default_long(int64_t const& value);
    OfAttrDecl& set_default_double(double const& value);
    OfAttrDecl& set_default_vec2d(GMathVec2<double> const& value);
    OfAttrDecl& set_default_vec3d(GMathVec3<double> const& value);
    OfAttrDecl& set_default_string(CoreBasicString const& value);

    // Numeric ranges. Values outside the hard range are clamped (with a warning) when set;
    // the soft range is what sliders show.
    OfAttrDecl& set_hard_range(double const& min, double const& max);
    OfAttrDecl& set_soft_range(double const& min, double const& max);
    bool const& has_hard_range() const { return m_has_hard_range; }
    bool const& has_soft_range() const { return m_has_soft_range; }
    double const& get_hard_min() const { return m_hard_min; }
    double const& get_hard_max() const { return m_hard_max; }
    // The soft range, or the hard range when there is none.
    double const& get_soft_min() const { return m_has_soft_range ? m_soft_min : m_hard_min; }
    double const& get_soft_max() const { return m_has_soft_range ? m_soft_max : m_hard_max; }

    // Named sets of values the user can pick.
    OfAttrDecl& add_preset(CoreBasicString const& label, OfAttrValues const& values);
    bool has_preset() const { return !m_presets.empty(); }
    unsigned int get_preset_count() const { return static_cast<unsigned int>(m_presets.size()); }
    CoreString const& get_preset_label(unsigned int const& index) const;
    // Null out of range.
    OfAttrValues const* get_preset_values(unsigned int const& index) const;

    // Enumerated attributes (TYPE_ENUM) list their values here.
    OfAttrDecl& add_enum_value(int64_t const& value, CoreBasicString const& label,
                               CoreBasicString const& doc = "");
    OfEnum const* get_enum() const { return m_enum.get(); }

    // The group the attribute is shown under in editors ("" for none).
    CoreString const& get_group_name() const { return m_group_name; }
    OfAttrDecl& set_group_name(CoreBasicString const& name);
    // References (TYPE_REFERENCE) accept only objects of this class or a derived one ("" any).
    CoreString const& get_object_filter() const { return m_object_filter; }
    OfAttrDecl& set_object_filter(CoreBasicString const& class_name);
    // File names: the extensions offered by file choosers ("png", "exr", ...).
    CoreVector<CoreString> const& get_filename_extensions() const { return m_filename_extensions; }
    OfAttrDecl& set_filename_extensions(CoreVector<CoreString> const& extensions);
    // Tags the user may pick for string attributes shown as tags.
    CoreVector<CoreString> const& get_tag_candidates() const { return m_tag_candidates; }
    OfAttrDecl& set_tag_candidates(CoreVector<CoreString> const& tags);
    // Whether the input plug accepts a connection from an output (OfAttr::connect).
    bool const& is_connectable() const { return m_connectable; }
    OfAttrDecl& set_connectable(bool const& connectable);
    // Chaining forms of the plug's setters.
    OfAttrDecl& set_visual_hint(OfPlugType::VisualHint const& hint);
    OfAttrDecl& set_doc(CoreBasicString const& doc);

private:
    struct Preset {
        CoreString label;
        OfAttrValues values;
    };

    OfAttrValues m_defaults;
    std::unique_ptr<OfEnum> m_enum;
    std::vector<Preset> m_presets;
    CoreString m_group_name;
    CoreString m_object_filter;
    CoreVector<CoreString> m_filename_extensions;
    CoreVector<CoreString> m_tag_candidates;
    double m_hard_min = 0.0;
    double m_hard_max = 0.0;
    double m_soft_min = 0.0;
    double m_soft_max = 0.0;
    bool m_has_hard_range = false;
    bool m_has_soft_range = false;
    bool m_variable = false;
    bool m_connectable = false;
};

// An RGBA picture of a given pixel size (rows top to bottom, 4 bytes per pixel).
class QN_HOST_API OfIconImage {
public:
    OfIconImage() = default;
    OfIconImage(unsigned int const& width, unsigned int const& height, CoreVector<unsigned char> const& rgba);

    unsigned int const& get_width() const { return m_width; }
    unsigned int const& get_height() const { return m_height; }
    CoreVector<unsigned char> const& get_rgba() const { return m_rgba; }

private:
    unsigned int m_width = 0;
    unsigned int m_height = 0;
    CoreVector<unsigned char> m_rgba;
};

// Icons of one thing at several sizes, keyed by the size in pixels (16, 32, 48, ...).
class QN_HOST_API OfIconSet {
public:
    // Refuses (with a message) pictures whose data is not width * height * 4 bytes.
    bool set_image(unsigned int const& size, OfIconImage const& image);
    // The picture of exactly `size`, or null.
    OfIconImage const* get_image(unsigned int const& size) const;
    // The picture of the nearest size (the larger one on ties), or null when empty.
    OfIconImage const* get_nearest_image(unsigned int const& size) const;
    CoreVector<unsigned int> get_sizes() const;
    bool is_empty() const { return m_images.empty(); }

private:
    std::vector<std::pair<unsigned int, OfIconImage>> m_images;  // sorted by size
};

// A class of scene objects.
class QN_HOST_API OfClass : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfClass, CoreBaseObject)

public:
    ~OfClass() override;
    OfClass(OfClass const&) = delete;
    OfClass& operator=(OfClass const&) = delete;

    OfClassFactory& get_factory() const { return *m_factory; }
    CoreString const& get_name() const { return m_name; }
    // The name shown to users: the one set, or else the class name.
    CoreString const& get_ui_name() const { return m_ui_name.is_empty() ? m_name : m_ui_name; }
    void set_ui_name(CoreBasicString const& name) { m_ui_name = name; }
    OfClass const* get_base_class() const { return m_base; }
    // Classes derived directly from this one, in registration order.
    CoreVector<OfClass const*> const& get_children() const { return m_children; }
    // Category path, levels separated by OfClassFactory::category_separator() ("" for none).
    CoreString const& get_category() const { return m_category; }
    CoreString const& get_class_doc() const { return m_doc; }
    void set_class_doc(CoreBasicString const& doc) { m_doc = doc; }

    // Abstract classes have no objects; user-creatable ones are offered in creation menus
    // (an abstract class never is); embedded-only ones exist only inside other objects.
    bool const& is_abstract() const { return m_abstract; }
    void set_abstract(bool const& abstract) { m_abstract = abstract; }
    bool is_ui_creatable() const { return m_ui_creatable && !m_abstract; }
    void set_ui_creatable(bool const& creatable) { m_ui_creatable = creatable; }
    bool const& is_embedded_only() const { return m_embedded_only; }
    void set_embedded_only(bool const& embedded_only) { m_embedded_only = embedded_only; }

    // True when this class is `other` or derives from it.
    bool is_kindof(OfClass const& other) const;
    bool is_kindof(CoreBasicString const& class_name) const;
    // Matches the class name against a pattern where '*' stands for any text and '?' for
    // any character, ignoring case.
    bool matches_name(CoreBasicString const& pattern) const;
    static bool matches_pattern(CoreBasicString const& text, CoreBasicString const& pattern);
    // The name given to new objects: the one set, or else the class name in lower case.
    CoreString get_object_default_name() const;
    void set_object_default_name(CoreBasicString const& name) { m_object_default_name = name; }

    // Icons by size; a class without its own picture of a size uses its base's.
    OfIconSet& get_icons() { return m_icons; }
    OfIconSet const& get_icons() const { return m_icons; }
    OfIconImage const* get_icon_image(unsigned int const& size) const;

    // The module that implements the class, null when it has none.
    OfModule* const& get_module() const { return m_module; }
    void set_module(OfModule* const& module) { m_module = module; }

    // Attributes, inherited ones first. add_attr returns the declaration to fill; a name
    // already used (or invalid), or a class that can no longer change, is refused with a
    // message and gives a detached declaration that nothing uses.
    OfAttrDecl& add_attr(CoreBasicString const& name, OfPlugType::Type const& type,
                         unsigned int const& value_count = 1);
    unsigned int get_attr_count() const { return static_cast<unsigned int>(m_all_attrs.size()); }
    // Null out of range.
    OfAttrDecl const* get_attr_decl(unsigned int const& index) const;
    // Index of the attribute named `name`, or -1.
    int get_attr_index(CoreBasicString const& name) const;

    // Outputs, inherited ones first; same rules as attributes.
    OfPlugDecl& add_output(CoreBasicString const& name, OfPlugType::Type const& type);
    unsigned int get_output_count() const { return static_cast<unsigned int>(m_all_outputs.size()); }
    OfPlugDecl const* get_output_decl(unsigned int const& index) const;
    int get_output_index(CoreBasicString const& name) const;

    // Attribute tables (rows of values over several attributes), inherited ones first.
    OfAttrTableDecl& add_attr_table(CoreBasicString const& name);
    unsigned int get_attr_table_count() const { return static_cast<unsigned int>(m_all_tables.size()); }
    OfAttrTableDecl const* get_attr_table_decl(unsigned int const& index) const;
    OfAttrTableDecl const* get_attr_table_decl(CoreBasicString const& name) const;

    // True once objects of the class (or a derived one) exist or a class derives from it.
    bool const& is_frozen() const { return m_frozen; }

    size_t get_memory_size() const override;

private:
    friend class OfClassFactory;
    friend class OfObject;

    OfClass(OfClassFactory& factory, CoreBasicString const& name, OfClass* base,
            CoreBasicString const& category);
    bool check_can_declare(char const* operation, CoreBasicString const& name) const;
    // Marks this class and its bases as frozen.
    void freeze();

    OfClassFactory* m_factory;
    CoreString m_name;
    CoreString m_ui_name;
    CoreString m_category;
    CoreString m_doc;
    CoreString m_object_default_name;
    OfClass* m_base;
    CoreVector<OfClass const*> m_children;
    OfIconSet m_icons;
    OfModule* m_module = nullptr;
    std::vector<std::unique_ptr<OfAttrDecl>> m_own_attrs;
    std::vector<std::unique_ptr<OfPlugDecl>> m_own_outputs;
    std::vector<std::unique_ptr<OfAttrTableDecl>> m_own_tables;
    // Inherited declarations followed by the class's own, for indexed access.
    std::vector<OfAttrDecl const*> m_all_attrs;
    std::vector<OfPlugDecl const*> m_all_outputs;
    std::vector<OfAttrTableDecl const*> m_all_tables;
    // Declarations refused by add_attr / add_output, kept so the returned references live.
    std::vector<std::unique_ptr<OfPlugDecl>> m_refused;
    // Tables refused by add_attr_table, kept so the caller's chained calls stay valid.
    std::vector<std::unique_ptr<OfAttrTableDecl>> m_refused_tables;
    bool m_abstract = false;
    bool m_ui_creatable = true;
    bool m_embedded_only = false;
    bool m_frozen = false;
};
