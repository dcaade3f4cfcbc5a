#include "host/fcurve/fcurve_key.h"

char const* FCurveKey::get_key_type_ui_name(Type const& type)
{
    switch (type) {
    case TYPE_CONSTANT: return "Constant";
    case TYPE_LINEAR: return "Linear";
    case TYPE_SMOOTH: return "Smooth";
    case TYPE_SMOOTH_CLAMPED: return "Smooth (No Overshoot)";
    case TYPE_BEZIER: return "Bezier";
    default: return "";
    }
}
