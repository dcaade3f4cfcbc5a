#pragma once
// Conversions between RGB and the hue-based colour models HSV and HSL. Every component,
// hue included, is in 0..1; a hue outside 0..1 wraps around and grays get hue 0 and
// saturation 0.
#include "host/core/core_export.h"
#include "host/gmath/gmath_vec.h"

QN_HOST_API void gmath_rgb_to_hsv(float const& r, float const& g, float const& b,
                                  float& h, float& s, float& v);
QN_HOST_API void gmath_rgb_to_hsv(double const& r, double const& g, double const& b,
                                  double& h, double& s, double& v);
QN_HOST_API void gmath_hsv_to_rgb(float const& h, float const& s, float const& v,
                                  float& r, float& g, float& b);
QN_HOST_API void gmath_hsv_to_rgb(double const& h, double const& s, double const& v,
                                  double& r, double& g, double& b);
QN_HOST_API void gmath_rgb_to_hsl(float const& r, float const& g, float const& b,
                                  float& h, float& s, float& l);
QN_HOST_API void gmath_rgb_to_hsl(double const& r, double const& g, double const& b,
                                  double& h, double& s, double& l);
QN_HOST_API void gmath_hsl_to_rgb(float const& h, float const& s, float const& l,
                                  float& r, float& g, float& b);
QN_HOST_API void gmath_hsl_to_rgb(double const& h, double const& s, double const& l,
                                  double& r, double& g, double& b);

// Vector forms: (r, g, b) <-> (h, s, v) or (h, s, l).
QN_HOST_API GMathVec3<float> gmath_rgb_to_hsv(GMathVec3<float> const& rgb);
QN_HOST_API GMathVec3<double> gmath_rgb_to_hsv(GMathVec3<double> const& rgb);
QN_HOST_API GMathVec3<float> gmath_hsv_to_rgb(GMathVec3<float> const& hsv);
QN_HOST_API GMathVec3<double> gmath_hsv_to_rgb(GMathVec3<double> const& hsv);
QN_HOST_API GMathVec3<float> gmath_rgb_to_hsl(GMathVec3<float> const& rgb);
QN_HOST_API GMathVec3<double> gmath_rgb_to_hsl(GMathVec3<double> const& rgb);
QN_HOST_API GMathVec3<float> gmath_hsl_to_rgb(GMathVec3<float> const& hsl);
QN_HOST_API GMathVec3<double> gmath_hsl_to_rgb(GMathVec3<double> const& hsl);
