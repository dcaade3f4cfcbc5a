#include "gui/color/gui_color_value.h"

#include <algorithm>
#include <cmath>

#include "host/core/core_log.h"
#include "host/gmath/gmath_color.h"

namespace {

struct FormulaText {
    char const* name;
    char const* label;
};
FormulaText const formula_texts[GuiColorValue::FORMULA_COUNT] = {
    {"FORMULA_A", "A"},
    {"FORMULA_B", "B"},
    {"FORMULA_A_ADD_B", "A + B"},
    {"FORMULA_A_SUB_B", "A - B"},
    {"FORMULA_B_SUB_A", "B - A"},
    {"FORMULA_A_MUL_B", "A * B"},
    {"FORMULA_A_DIV_B", "A / B"},
    {"FORMULA_B_DIV_A", "B / A"},
    {"FORMULA_MEAN_A_B", "(A + B) / 2"},
    {"FORMULA_INV_A", "1 - A"},
};

bool is_known(GuiColorValue::Formula const& formula)
{
    return formula >= 0 && formula < GuiColorValue::FORMULA_COUNT;
}

double divide(double const& x, double const& y)
{
    return y == 0.0 ? GuiColorValue::DIVISION_BY_ZERO : x / y;
}

// One component of C from the same component of A and B.
double combine_component(GuiColorValue::Formula const& formula, double const& a, double const& b)
{
    switch (formula) {
        case GuiColorValue::FORMULA_B: return b;
        case GuiColorValue::FORMULA_A_ADD_B: return a + b;
        case GuiColorValue::FORMULA_A_SUB_B: return a - b;
        case GuiColorValue::FORMULA_B_SUB_A: return b - a;
        case GuiColorValue::FORMULA_A_MUL_B: return a * b;
        case GuiColorValue::FORMULA_A_DIV_B: return divide(a, b);
        case GuiColorValue::FORMULA_B_DIV_A: return divide(b, a);
        case GuiColorValue::FORMULA_MEAN_A_B: return (a + b) * 0.5;
        case GuiColorValue::FORMULA_INV_A: return 1.0 - a;
        default: return a;
    }
}

}  // namespace

char const* GuiColorValue::get_formula_name(Formula const& formula)
{
    return is_known(formula) ? formula_texts[formula].name : "FORMULA_UNKNOWN";
}

char const* GuiColorValue::get_formula_label(Formula const& formula)
{
    return is_known(formula) ? formula_texts[formula].label : "";
}

GuiColorValue GuiColorValue::from_rgb(double const& r, double const& g, double const& b, double const& a)
{
    GuiColorValue color;
    color.set_rgba(r, g, b, a, "GuiColorValue.from_rgb");
    return color;
}

GuiColorValue GuiColorValue::from_hsv(double const& h, double const& s, double const& v, double const& a)
{
    GuiColorValue color;
    color.set_hsv(h, s, v, "GuiColorValue.from_hsv");
    color.set_alpha(a, "GuiColorValue.from_hsv");
    return color;
}

bool GuiColorValue::check_finite(double const* components, int const& count, char const* caller)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(components[i])) {
            CORE_LOG_WARNING(caller << ": component " << i << " is not a finite number; the colour is kept\n");
            return false;
        }
    return true;
}

bool GuiColorValue::set_rgb(double const& r, double const& g, double const& b, char const* caller)
{
    return set_rgba(r, g, b, m_alpha, caller);
}

bool GuiColorValue::set_rgba(double const& r, double const& g, double const& b, double const& a, char const* caller)
{
    double const components[4] = {r, g, b, a};
    if (!check_finite(components, 4, caller)) return false;
    m_rgb = GMathVec3<double>(r, g, b);
    m_alpha = a;
    m_hsv = gmath_rgb_to_hsv(m_rgb);
    return true;
}

bool GuiColorValue::set_hsv(double const& h, double const& s, double const& v, char const* caller)
{
    double const components[3] = {h, s, v};
    if (!check_finite(components, 3, caller)) return false;
    // The hue given is kept (a grey keeps the hue it was picked with); RGB follows it.
    m_hsv = GMathVec3<double>(h, s, v);
    m_rgb = gmath_hsv_to_rgb(m_hsv);
    return true;
}

bool GuiColorValue::set_alpha(double const& a, char const* caller)
{
    if (!check_finite(&a, 1, caller)) return false;
    m_alpha = a;
    return true;
}

GuiColorValue GuiColorValue::combine(Formula const& formula, GuiColorValue const& a, GuiColorValue const& b)
{
    GMathVec4<double> const left = a.get_rgba(), right = b.get_rgba();
    double c[4];
    for (int i = 0; i < 4; ++i) c[i] = combine_component(formula, left[i], right[i]);
    GuiColorValue result;
    result.set_rgba(c[0], c[1], c[2], c[3], "GuiColorValue.combine");
    return result;
}

GMathVec3<unsigned char> GuiColorValue::to_bytes(GMathVec3<double> const& rgb)
{
    GMathVec3<unsigned char> bytes;
    for (int i = 0; i < 3; ++i) {
        double const component = std::isfinite(rgb[i]) ? std::clamp(rgb[i], 0.0, 1.0) : 0.0;
        bytes[i] = static_cast<unsigned char>(std::lround(component * 255.0));
    }
    return bytes;
}
