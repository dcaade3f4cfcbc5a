#include "host/image/image_icon.h"

unsigned int ImageIcon::get_image_icon_int_size(ImageIconSize const& size)
{
    switch (size) {
    case IMAGE_ICON_SIZE_16: return 16;
    case IMAGE_ICON_SIZE_24: return 24;
    case IMAGE_ICON_SIZE_32: return 32;
    case IMAGE_ICON_SIZE_48: return 48;
    case IMAGE_ICON_SIZE_64: return 64;
    }
    return 0;
}

char const* ImageIcon::get_image_icon_size_name(ImageIconSize const& size)
{
    switch (size) {
    case IMAGE_ICON_SIZE_16: return "IMAGE_ICON_SIZE_16";
    case IMAGE_ICON_SIZE_24: return "IMAGE_ICON_SIZE_24";
    case IMAGE_ICON_SIZE_32: return "IMAGE_ICON_SIZE_32";
    case IMAGE_ICON_SIZE_48: return "IMAGE_ICON_SIZE_48";
    case IMAGE_ICON_SIZE_64: return "IMAGE_ICON_SIZE_64";
    }
    return "IMAGE_ICON_SIZE_UNKNOWN";
}
