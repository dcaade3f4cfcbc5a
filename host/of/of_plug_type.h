#pragma once
// Plugs of scene objects. Every object has one input plug per attribute declared by its
// class (OfAttr, of_attr.h) and one output plug per declared output (OfOutput); both derive
// from OfPlugType, which gives the plug's data type, visual hint, name and object. The
// declarations (OfPlugDecl and OfAttrDecl) belong to the class and are shared by its objects.
//
// Full names: "/geometry/sphere1.radius" for an attribute, "/geometry/sphere1>mesh" for an
// output (see of_item.h for item paths).
#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_units.h"

class OfObject;
class OfPlugDecl;

// An input or output plug of an object: what the node graph links and the editors show.
class QN_HOST_API OfPlugType : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfPlugType, CoreBaseObject)

public:
    // The data a plug carries. An attribute of TYPE_COLOR holds RGB triples in 0..1,
    // TYPE_ENUM integers among its OfEnum's values, TYPE_REFERENCE objects; an output of
    // TYPE_OBJECT gives its object itself.
    enum Type : int {
        TYPE_BOOL,
        TYPE_LONG,
        TYPE_DOUBLE,
        TYPE_STRING,
        TYPE_FILENAME,
        TYPE_COLOR,
        TYPE_VEC2D,
        TYPE_VEC3D,
        TYPE_ENUM,
        TYPE_REFERENCE,
        TYPE_OBJECT,
        TYPE_COUNT
    };
    // How editors show a value; also gives the unit of numbers (get_unit_from_visual_hint).
    enum VisualHint : int {
        VISUAL_HINT_DEFAULT,
        VISUAL_HINT_DISTANCE,
        VISUAL_HINT_ANGLE,
        VISUAL_HINT_TIME,
        VISUAL_HINT_FRAME,
        VISUAL_HINT_PERCENTAGE,
        VISUAL_HINT_SCALE,
        VISUAL_HINT_COLOR,
        VISUAL_HINT_FILENAME_OPEN,
        VISUAL_HINT_FILENAME_SAVE,
        VISUAL_HINT_FOLDER,
        VISUAL_HINT_MULTILINE,
        VISUAL_HINT_TAGS,
        VISUAL_HINT_COUNT
    };
    // The constants' names ("TYPE_LONG"), "..._COUNT", or "..._UNKNOWN".
    static char const* get_type_name(Type const& type);
    static char const* get_visual_hint_name(VisualHint const& hint);
    // The unit kind of numbers shown with `hint`: lengths for distances, angles, times for
    // times and frames, none otherwise.
    static GMathUnits::Kind get_unit_from_visual_hint(VisualHint const& hint);

    OfPlugDecl const& get_decl() const { return *m_decl; }
    Type const& get_type() const;
    VisualHint const& get_visual_hint() const;
    CoreString const& get_name() const;
    CoreString const& get_doc() const;
    // Index among the attributes (or outputs) of the object's class.
    unsigned int const& get_index() const;
    bool is_output() const;
    bool is_input() const { return !is_output(); }
    GMathUnits::Kind get_unit_from_visual_hint() const
    {
        return get_unit_from_visual_hint(get_visual_hint());
    }
    // The object's full name followed by '.' (attribute) or '>' (output) and the plug's name.
    CoreString get_full_name() const;
    OfObject* get_parent_object() const { return m_object; }

    OfPlugType(OfPlugType const&) = delete;
    OfPlugType& operator=(OfPlugType const&) = delete;

protected:
    OfPlugType() = default;

    OfPlugDecl const* m_decl = nullptr;
    OfObject* m_object = nullptr;

    friend class OfObject;
};

// The declaration of a plug in a class: name, type, visual hint and documentation.
class QN_HOST_API OfPlugDecl : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfPlugDecl, CoreBaseObject)

public:
    OfPlugDecl(CoreBasicString const& name, OfPlugType::Type const& type, bool const& is_output,
               unsigned int const& index);

    CoreString const& get_name() const { return m_name; }
    OfPlugType::Type const& get_type() const { return m_type; }
    OfPlugType::VisualHint const& get_visual_hint() const { return m_visual_hint; }
    CoreString const& get_doc() const { return m_doc; }
    bool const& is_output() const { return m_is_output; }
    unsigned int const& get_index() const { return m_index; }

    OfPlugDecl& set_visual_hint(OfPlugType::VisualHint const& hint);
    OfPlugDecl& set_doc(CoreBasicString const& doc)
    {
        m_doc = doc;
        return *this;
    }

protected:
    CoreString m_name;
    CoreString m_doc;
    OfPlugType::Type m_type;
    OfPlugType::VisualHint m_visual_hint = OfPlugType::VISUAL_HINT_DEFAULT;
    unsigned int m_index;
    bool m_is_output;
};

// An output plug of an object; inputs of other objects connect to it (OfAttr::connect).
class QN_HOST_API OfOutput : public OfPlugType {
    CORE_DECLARE_CLASS(OfOutput, OfPlugType)

public:
    OfOutput() = default;
};

inline OfPlugType::Type const& OfPlugType::get_type() const
{
    return m_decl->get_type();
}
inline OfPlugType::VisualHint const& OfPlugType::get_visual_hint() const
{
    return m_decl->get_visual_hint();
}
inline CoreString const& OfPlugType::get_name() const
{
    return m_decl->get_name();
}
inline CoreString const& OfPlugType::get_doc() const
{
    return m_decl->get_doc();
}
inline unsigned int const& OfPlugType::get_index() const
{
    return m_decl->get_index();
}
inline bool OfPlugType::is_output() const
{
    return m_decl->is_output();
}
