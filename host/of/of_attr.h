#pragma once
// Attributes of scene objects: the input plugs declared by the object's class, with typed
// values by index. An attribute reads its own values once it has some (is_local), else its
// source object's when the object is an instance, else its class defaults.
//
// Getters: bool, long and double getters convert between those three kinds of scalars
// (enums read as longs); vector getters need vector or colour attributes, get_string string
// or file-name ones, get_object references. Another type or an index out of range logs one
// message and reads zero, "" or null.
//
// Setters are commands of the factory's OfCommandManager (one undo step each unless inside
// a batch) and raise EVT_ID_OF_OBJECT_ATTR_CHANGE; they refuse, with one message and no
// change: a wrong type, an index out of range, an enum value not in the enumeration, a
// reference to an object of the wrong class or one that would close a cycle, and attributes
// of items that cannot be edited. Numbers outside the hard range are clamped, with a warning.
#include <cstdint>

#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"
#include "host/of/of_attr_values.h"
#include "host/of/of_class.h"
#include "host/of/of_plug_type.h"

class OfObject;
class OfOutput;

// What an attribute holds of its own: its values once set, an expression and an input
// connection. An attribute with none of them stores nothing.
struct QN_HOST_API OfAttrData {
    OfAttrValues values;
    bool local = false;  // `values` are the attribute's own
    CoreString expression;
    OfObject* input = nullptr;  // connected object
    int input_output = -1;      // its output index, -1 for the object itself

    bool is_empty() const { return !local && expression.is_empty() && !input; }
    bool operator==(OfAttrData const& other) const;
    bool operator!=(OfAttrData const& other) const { return !(*this == other); }
};

class QN_HOST_API OfAttr : public OfPlugType {
    CORE_DECLARE_CLASS(OfAttr, OfPlugType)

public:
    OfAttr() = default;
    ~OfAttr() override;

    OfAttrDecl const& get_attr_decl() const { return static_cast<OfAttrDecl const&>(*m_decl); }

    // Values ---------------------------------------------------------------------------
    unsigned int get_value_count() const { return get_values().get_count(); }
    // The values the attribute reads (own, source's or defaults).
    OfAttrValues const& get_values() const;
    bool get_bool(unsigned int const& index = 0) const;
    int64_t get_long(unsigned int const& index = 0) const;
    double get_double(unsigned int const& index = 0) const;
    GMathVec2<double> get_vec2d(unsigned int const& index = 0) const;
    GMathVec3<double> get_vec3d(unsigned int const& index = 0) const;
    CoreString const& get_string(unsigned int const& index = 0) const;
    // The object a reference holds at `index` (null when empty).
    OfObject* get_object(unsigned int const& index) const;

    bool set_bool(bool const& value, unsigned int const& index = 0);
    bool set_long(int64_t const& value, unsigned int const& index = 0);
    bool set_double(double const& value, unsigned int const& index = 0);
    bool set_vec2d(GMathVec2<double> const& value, unsigned int const& index = 0);
    bool set_vec3d(GMathVec3<double> const& value, unsigned int const& index = 0);
    bool set_string(CoreBasicString const& value, unsigned int const& index = 0);
    // A reference to `object` (null clears it).
    bool set_object(OfObject* const& object, unsigned int const& index = 0);
    // Replaces all values; the count must stay the same unless the attribute is variable.
    bool set_values(OfAttrValues const& values);
    // Variable attributes only: grows with default values or drops values from the end.
    bool set_value_count(unsigned int const& count);
    // Sets the values of preset `index`.
    bool apply_preset(unsigned int const& index);
    // Drops the attribute's own values: it reads its source's or its defaults again.
    bool revert();
    // True when the attribute has values of its own.
    bool is_local() const { return m_data && m_data->local; }
    // True when the values read equal the class defaults.
    bool is_default() const { return get_values() == get_attr_decl().get_default_values(); }

    // Expression: a text kept with the attribute for evaluators; the framework stores it
    // only. An empty text removes it.
    CoreString const& get_expression() const;
    bool has_expression() const { return m_data && !m_data->expression.is_empty(); }
    bool set_expression(CoreBasicString const& expression);

    // Input connection, for attributes declared connectable: to an output of another object
    // or to another object itself.
    bool connect(OfOutput& output);
    bool connect(OfObject& object);
    bool disconnect();
    bool is_connected() const { return m_data && m_data->input; }
    // The connected object, or null.
    OfObject* get_texture() const { return m_data ? m_data->input : nullptr; }
    // The connected output, or null (also when connected to an object itself).
    OfOutput* get_input() const;

    // What the class declared.
    CoreString const& get_group_name() const { return get_attr_decl().get_group_name(); }
    OfEnum const* get_enum() const { return get_attr_decl().get_enum(); }
    bool has_preset() const { return get_attr_decl().has_preset(); }
    unsigned int get_preset_count() const { return get_attr_decl().get_preset_count(); }
    CoreString const& get_preset_label(unsigned int const& index) const
    {
        return get_attr_decl().get_preset_label(index);
    }
    CoreString const& get_object_filter() const { return get_attr_decl().get_object_filter(); }
    CoreVector<CoreString> const& get_filename_extensions() const
    {
        return get_attr_decl().get_filename_extensions();
    }
    CoreVector<CoreString> const& get_tag_candidates() const { return get_attr_decl().get_tag_candidates(); }
    bool const& is_variable() const { return get_attr_decl().is_variable(); }
    bool const& is_connectable() const { return get_attr_decl().is_connectable(); }
    // Whether the attribute's object accepts value changes (OfItem::is_editable).
    bool is_editable() const;

    // What the attribute stores (null when it stores nothing).
    OfAttrData const* get_data() const { return m_data; }

    size_t get_memory_size() const override;

private:
    friend class OfObject;
    friend class OfSceneEdit;

    // Checks and reports a value access; `kind` is what the getter or setter handles.
    enum Access : int { ACCESS_SCALAR, ACCESS_VEC2, ACCESS_VEC3, ACCESS_STRING, ACCESS_OBJECT };
    bool check_access(char const* operation, Access const& access, unsigned int const& index) const;
    // Runs the command that gives the attribute `data`.
    bool change(char const* operation, OfAttrData const& data);
    // A copy of what the attribute stores, with its current values made local.
    OfAttrData make_local_data() const;

    OfAttrData* m_data = nullptr;
};
