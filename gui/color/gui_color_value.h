#pragma once
// GuiColorValue: a colour being edited, red, green, blue and alpha as doubles with the hue,
// saturation and value kept in step (all in 0..1 except HDR components, which are kept as
// they are: RGB above 1 gives a value above 1). The formulas that combine two colours
// component by component, alpha included, also live here.
//
//     GuiColorValue a = GuiColorValue::from_rgb(1.0, 0.5, 0.0);
//     GuiColorValue b = GuiColorValue::from_rgb(0.0, 0.5, 0.0, 1.0);
//     GuiColorValue c = GuiColorValue::combine(GuiColorValue::FORMULA_A_DIV_B, a, b);
//
// Setters refuse components that are not finite numbers with one warning naming the caller
// and leave the colour as it was.
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class QN_GUI_API GuiColorValue {
public:
    // How the result colour C comes from A and B.
    enum Formula : int {
        FORMULA_A = 0,
        FORMULA_B = 1,
        FORMULA_A_ADD_B = 2,
        FORMULA_A_SUB_B = 3,
        FORMULA_B_SUB_A = 4,
        FORMULA_A_MUL_B = 5,
        FORMULA_A_DIV_B = 6,
        FORMULA_B_DIV_A = 7,
        FORMULA_MEAN_A_B = 8,
        FORMULA_INV_A = 9,
        FORMULA_COUNT = 10,
    };
    // "FORMULA_A", ...; "FORMULA_UNKNOWN" for other values.
    static char const* get_formula_name(Formula const& formula);
    // What the user sees: "A", "A + B", "(A + B) / 2", ...; empty for other values.
    static char const* get_formula_label(Formula const& formula);
    // What a division by zero gives, so that the result stays a finite, visible colour.
    static constexpr double DIVISION_BY_ZERO = 10.0;

    GuiColorValue() = default;
    static GuiColorValue from_rgb(double const& r, double const& g, double const& b, double const& a = 1.0);
    static GuiColorValue from_hsv(double const& h, double const& s, double const& v, double const& a = 1.0);

    // False (one warning from `caller`, nothing changed) when a component is not finite.
    bool set_rgb(double const& r, double const& g, double const& b, char const* caller);
    bool set_rgba(double const& r, double const& g, double const& b, double const& a, char const* caller);
    bool set_hsv(double const& h, double const& s, double const& v, char const* caller);
    bool set_alpha(double const& a, char const* caller);

    GMathVec3<double> const& get_rgb() const { return m_rgb; }
    GMathVec3<double> const& get_hsv() const { return m_hsv; }
    double const& get_alpha() const { return m_alpha; }
    GMathVec4<double> get_rgba() const { return GMathVec4<double>(m_rgb[0], m_rgb[1], m_rgb[2], m_alpha); }

    // C for the formula; an unknown formula gives A.
    static GuiColorValue combine(Formula const& formula, GuiColorValue const& a, GuiColorValue const& b);

    // The colour for drawing: each component clamped to 0..1 and scaled to 255.
    static GMathVec3<unsigned char> to_bytes(GMathVec3<double> const& rgb);
    // True when all components are finite; otherwise one warning from `caller`.
    static bool check_finite(double const* components, int const& count, char const* caller);

    bool operator==(GuiColorValue const& other) const
    {
        return m_rgb == other.m_rgb && m_alpha == other.m_alpha && m_hsv == other.m_hsv;
    }
    bool operator!=(GuiColorValue const& other) const { return !(*this == other); }

private:
    GMathVec3<double> m_rgb = GMathVec3<double>(0.0, 0.0, 0.0);
    GMathVec3<double> m_hsv = GMathVec3<double>(0.0, 0.0, 0.0);
    double m_alpha = 1.0;
};
