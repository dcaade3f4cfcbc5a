#pragma once
// The sizes in which the host provides icons: square pictures of 16, 24, 32, 48 and 64
// pixels a side, numbered from the smallest.
//
//     for (int s = 0; s <= ImageIcon::get_image_icon_size_max(); ++s)
//         make_picture(ImageIcon::get_image_icon_int_size(ImageIcon::ImageIconSize(s)));
#include "host/core/core_export.h"

class QN_HOST_API ImageIcon {
public:
    enum ImageIconSize : int {
        IMAGE_ICON_SIZE_16 = 0,
        IMAGE_ICON_SIZE_24 = 1,
        IMAGE_ICON_SIZE_32 = 2,
        IMAGE_ICON_SIZE_48 = 3,
        IMAGE_ICON_SIZE_64 = 4,
    };

    // The largest size, which is also the last value.
    static ImageIconSize get_image_icon_size_max() { return IMAGE_ICON_SIZE_64; }
    // Pixels on a side of an icon of that size; 0 for other values.
    static unsigned int get_image_icon_int_size(ImageIconSize const& size);
    // "IMAGE_ICON_SIZE_16", ...; "IMAGE_ICON_SIZE_UNKNOWN" for other values.
    static char const* get_image_icon_size_name(ImageIconSize const& size);
};
