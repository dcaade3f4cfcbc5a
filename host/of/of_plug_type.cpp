#include "host/of/of_plug_type.h"

#include "host/of/of_object.h"

CORE_IMPLEMENT_CLASS(OfPlugType, CoreBaseObject)
CORE_IMPLEMENT_CLASS(OfPlugDecl, CoreBaseObject)
CORE_IMPLEMENT_CREATABLE_CLASS(OfOutput, OfPlugType)

char const* OfPlugType::get_type_name(Type const& type)
{
    switch (type) {
        case TYPE_BOOL:
            return "TYPE_BOOL";
        case TYPE_LONG:
            return "TYPE_LONG";
        case TYPE_DOUBLE:
            return "TYPE_DOUBLE";
        case TYPE_STRING:
            return "TYPE_STRING";
        case TYPE_FILENAME:
            return "TYPE_FILENAME";
        case TYPE_COLOR:
            return "TYPE_COLOR";
        case TYPE_VEC2D:
            return "TYPE_VEC2D";
        case TYPE_VEC3D:
            return "TYPE_VEC3D";
        case TYPE_ENUM:
            return "TYPE_ENUM";
        case TYPE_REFERENCE:
            return "TYPE_REFERENCE";
        case TYPE_OBJECT:
            return "TYPE_OBJECT";
        case TYPE_COUNT:
            return "TYPE_COUNT";
    }
    return "TYPE_UNKNOWN";
}

char const* OfPlugType::get_visual_hint_name(VisualHint const& hint)
{
    switch (hint) {
        case VISUAL_HINT_DEFAULT:
            return "VISUAL_HINT_DEFAULT";
        case VISUAL_HINT_DISTANCE:
            return "VISUAL_HINT_DISTANCE";
        case VISUAL_HINT_ANGLE:
            return "VISUAL_HINT_ANGLE";
        case VISUAL_HINT_TIME:
            return "VISUAL_HINT_TIME";
        case VISUAL_HINT_FRAME:
            return "VISUAL_HINT_FRAME";
        case VISUAL_HINT_PERCENTAGE:
            return "VISUAL_HINT_PERCENTAGE";
        case VISUAL_HINT_SCALE:
            return "VISUAL_HINT_SCALE";
        case VISUAL_HINT_COLOR:
            return "VISUAL_HINT_COLOR";
        case VISUAL_HINT_FILENAME_OPEN:
            return "VISUAL_HINT_FILENAME_OPEN";
        case VISUAL_HINT_FILENAME_SAVE:
            return "VISUAL_HINT_FILENAME_SAVE";
        case VISUAL_HINT_FOLDER:
            return "VISUAL_HINT_FOLDER";
        case VISUAL_HINT_MULTILINE:
            return "VISUAL_HINT_MULTILINE";
        case VISUAL_HINT_TAGS:
            return "VISUAL_HINT_TAGS";
        case VISUAL_HINT_COUNT:
            return "VISUAL_HINT_COUNT";
    }
    return "VISUAL_HINT_UNKNOWN";
}

GMathUnits::Kind OfPlugType::get_unit_from_visual_hint(VisualHint const& hint)
{
    switch (hint) {
        case VISUAL_HINT_DISTANCE:
            return GMathUnits::KIND_LENGTH;
        case VISUAL_HINT_ANGLE:
            return GMathUnits::KIND_ANGLE;
        case VISUAL_HINT_TIME:
        case VISUAL_HINT_FRAME:
            return GMathUnits::KIND_TIME;
        default:
            return GMathUnits::KIND_NONE;
    }
}

CoreString OfPlugType::get_full_name() const
{
    CoreString name = m_object ? m_object->get_full_name() : CoreString();
    name += is_output() ? '>' : '.';
    name += get_name();
    return name;
}

OfPlugDecl::OfPlugDecl(CoreBasicString const& name, OfPlugType::Type const& type, bool const& is_output,
                       unsigned int const& index)
    : m_name(name), m_type(type), m_index(index), m_is_output(is_output)
{
    if (type == OfPlugType::TYPE_COLOR) m_visual_hint = OfPlugType::VISUAL_HINT_COLOR;
}

OfPlugDecl& OfPlugDecl::set_visual_hint(OfPlugType::VisualHint const& hint)
{
    m_visual_hint = hint;
    return *this;
}
