#pragma once
// The host's colour management, on OpenColorIO. One configuration serves the process: the
// file named by $OCIO when set, else the one shipped in the resources folder
// (ocio/config.ocio). It names the colour spaces, the roles ("scene_linear",
// "color_picking", ...) and the views of the display, which the interface calls view
// transforms.
//
//     ColorIOConverter to_screen;
//     to_screen.set_display_transform(ColorIO::get_default_color_space_name(),
//                                     ColorIO::get_default_view_transform_name());
//     GMathVec3<float> shown = to_screen.convert(linear_color);
//
// All functions are safe from any thread. A configuration that cannot be read is
// reported once and replaced by OpenColorIO's raw configuration (one colour space, "raw",
// nothing converted), so callers never see a missing configuration.
#include <memory>

#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/gmath/gmath_vec.h"

class QN_HOST_API ColorIO {
public:
    // The file the configuration was read from; empty when the raw one is in use.
    static CoreString get_config_path();
    // Replaces the configuration with the one in `path`. A file that cannot be read or is
    // not valid is reported and leaves the current configuration in place.
    static bool load_config(CoreString const& path);
    // Goes back to the configuration of the environment or the resources folder.
    static void reset_config();

    // The working colour space: the one of the "scene_linear" role, else the "default"
    // role's, else the first colour space.
    static CoreString get_default_color_space_name();
    static CoreVector<CoreString> get_color_space_names();
    static bool has_color_space(CoreString const& name);
    // The colour space a role names; empty when the role is not defined.
    static CoreString get_role_color_space_name(CoreString const& role);

    // The display images are shown on and its views, in the configuration's order.
    static CoreString get_default_display_name();
    static CoreVector<CoreString> get_view_transform_names();
    static CoreString get_default_view_transform_name();
    static bool has_view_transform(CoreString const& name);

    // Converts `count` pixels of `channels` floats (3 or 4; alpha is left alone) in place
    // from one colour space to another. False, with a message and the pixels unchanged,
    // for unknown names or a channel count other than 3 or 4.
    static bool convert_buffers(float* pixels, size_t const& count, int const& channels, CoreString const& from,
                                CoreString const& to);
};

// A conversion ready to apply to many pixels: between two colour spaces, or from a colour
// space to the default display through a view transform. Invalid (converting nothing)
// until one of the setters succeeded. Copies share the prepared conversion.
class QN_HOST_API ColorIOConverter {
public:
    ColorIOConverter();
    ~ColorIOConverter();
    ColorIOConverter(ColorIOConverter const& other);
    ColorIOConverter& operator=(ColorIOConverter const& other);

    // False, with a message and the converter unchanged, for unknown names.
    bool set_color_space_transform(CoreString const& from, CoreString const& to);
    bool set_display_transform(CoreString const& from, CoreString const& view_transform);
    bool is_valid() const;
    // Describes the conversion ("sRGB -> Raw", "Linear ... -> sRGB / Standard"); empty when
    // invalid.
    CoreString const& get_description() const { return m_description; }

    // In place, `channels` 3 or 4; does nothing when invalid.
    void convert(float* pixels, size_t const& count, int const& channels) const;
    GMathVec3<float> convert(GMathVec3<float> const& color) const;

private:
    struct Processor;
    std::shared_ptr<Processor const> m_processor;
    CoreString m_description;
};
