#include "host/gmath/gmath_color.h"

#include <algorithm>
#include <cmath>

namespace {

// Every conversion runs in double so that the float versions lose nothing but their
// final rounding.

// Hue in 0..1 of a colour whose largest component is `max` and spread `delta` > 0.
double hue_of(double r, double g, double b, double max, double delta)
{
    double h;
    if (max == r) h = (g - b) / delta;
    else if (max == g) h = (b - r) / delta + 2.0;
    else h = (r - g) / delta + 4.0;
    h /= 6.0;
    if (h < 0.0) h += 1.0;
    // A tiny negative hue becomes exactly 1 once shifted; keep the range half-open.
    return h >= 1.0 ? 0.0 : h;
}

// Wraps a hue into [0, 1); a hue that is not a finite number counts as 0.
double wrap_hue(double h)
{
    if (!std::isfinite(h)) return 0.0;
    h -= std::floor(h);
    return h >= 1.0 ? 0.0 : h;
}

// The RGB colour of hue h with chroma c, lifted by m: the shared tail of HSV and HSL.
void chroma_to_rgb(double h, double c, double m, double& r, double& g, double& b)
{
    double h6 = wrap_hue(h) * 6.0;
    int sector = std::min(5, static_cast<int>(h6));
    double x = c * (1.0 - std::fabs(std::fmod(h6, 2.0) - 1.0));
    double rr = 0.0, gg = 0.0, bb = 0.0;
    switch (sector) {
    case 0: rr = c; gg = x; break;
    case 1: rr = x; gg = c; break;
    case 2: gg = c; bb = x; break;
    case 3: gg = x; bb = c; break;
    case 4: rr = x; bb = c; break;
    default: rr = c; bb = x; break;
    }
    r = rr + m;
    g = gg + m;
    b = bb + m;
}

void rgb_to_hsv(double r, double g, double b, double& h, double& s, double& v)
{
    double max = std::max({r, g, b});
    double min = std::min({r, g, b});
    double delta = max - min;
    v = max;
    if (!(delta > 0.0) || !(max > 0.0)) {
        h = 0.0;
        s = 0.0;
        return;
    }
    s = delta / max;
    h = hue_of(r, g, b, max, delta);
}

void hsv_to_rgb(double h, double s, double v, double& r, double& g, double& b)
{
    double c = v * s;
    chroma_to_rgb(h, c, v - c, r, g, b);
}

void rgb_to_hsl(double r, double g, double b, double& h, double& s, double& l)
{
    double max = std::max({r, g, b});
    double min = std::min({r, g, b});
    double delta = max - min;
    l = (max + min) * 0.5;
    double denominator = 1.0 - std::fabs(2.0 * l - 1.0);
    if (!(delta > 0.0) || !(denominator > 0.0)) {
        h = 0.0;
        s = 0.0;
        return;
    }
    s = delta / denominator;
    h = hue_of(r, g, b, max, delta);
}

void hsl_to_rgb(double h, double s, double l, double& r, double& g, double& b)
{
    double c = (1.0 - std::fabs(2.0 * l - 1.0)) * s;
    chroma_to_rgb(h, c, l - c * 0.5, r, g, b);
}

using Converter = void (*)(double, double, double, double&, double&, double&);

template <typename T>
void convert(Converter f, T const& a, T const& b, T const& c, T& x, T& y, T& z)
{
    double dx, dy, dz;
    f(a, b, c, dx, dy, dz);
    x = static_cast<T>(dx);
    // A hue just below 1 can round up to 1 in float; it is the same hue as 0.
    bool const x_is_hue = f == rgb_to_hsv || f == rgb_to_hsl;
    if (x_is_hue && x >= T(1)) x = T(0);
    y = static_cast<T>(dy);
    z = static_cast<T>(dz);
}

template <typename T>
GMathVec3<T> convert(Converter f, GMathVec3<T> const& in)
{
    GMathVec3<T> out;
    convert<T>(f, in[0], in[1], in[2], out[0], out[1], out[2]);
    return out;
}

} // namespace

void gmath_rgb_to_hsv(float const& r, float const& g, float const& b, float& h, float& s, float& v)
{
    convert(rgb_to_hsv, r, g, b, h, s, v);
}

void gmath_rgb_to_hsv(double const& r, double const& g, double const& b, double& h, double& s, double& v)
{
    convert(rgb_to_hsv, r, g, b, h, s, v);
}

void gmath_hsv_to_rgb(float const& h, float const& s, float const& v, float& r, float& g, float& b)
{
    convert(hsv_to_rgb, h, s, v, r, g, b);
}

void gmath_hsv_to_rgb(double const& h, double const& s, double const& v, double& r, double& g, double& b)
{
    convert(hsv_to_rgb, h, s, v, r, g, b);
}

void gmath_rgb_to_hsl(float const& r, float const& g, float const& b, float& h, float& s, float& l)
{
    convert(rgb_to_hsl, r, g, b, h, s, l);
}

void gmath_rgb_to_hsl(double const& r, double const& g, double const& b, double& h, double& s, double& l)
{
    convert(rgb_to_hsl, r, g, b, h, s, l);
}

void gmath_hsl_to_rgb(float const& h, float const& s, float const& l, float& r, float& g, float& b)
{
    convert(hsl_to_rgb, h, s, l, r, g, b);
}

void gmath_hsl_to_rgb(double const& h, double const& s, double const& l, double& r, double& g, double& b)
{
    convert(hsl_to_rgb, h, s, l, r, g, b);
}

GMathVec3<float> gmath_rgb_to_hsv(GMathVec3<float> const& rgb) { return convert(rgb_to_hsv, rgb); }
GMathVec3<double> gmath_rgb_to_hsv(GMathVec3<double> const& rgb) { return convert(rgb_to_hsv, rgb); }
GMathVec3<float> gmath_hsv_to_rgb(GMathVec3<float> const& hsv) { return convert(hsv_to_rgb, hsv); }
GMathVec3<double> gmath_hsv_to_rgb(GMathVec3<double> const& hsv) { return convert(hsv_to_rgb, hsv); }
GMathVec3<float> gmath_rgb_to_hsl(GMathVec3<float> const& rgb) { return convert(rgb_to_hsl, rgb); }
GMathVec3<double> gmath_rgb_to_hsl(GMathVec3<double> const& rgb) { return convert(rgb_to_hsl, rgb); }
GMathVec3<float> gmath_hsl_to_rgb(GMathVec3<float> const& hsl) { return convert(hsl_to_rgb, hsl); }
GMathVec3<double> gmath_hsl_to_rgb(GMathVec3<double> const& hsl) { return convert(hsl_to_rgb, hsl); }
