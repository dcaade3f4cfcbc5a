#pragma once
// ImageIo: image files read and written through OpenImageIO, kept in a module of its own
// (libqn_image_io, beside libqn_host) that is loaded on first use. OpenImageIO brings some 260
// libraries with it; a program that reads and writes no image file never loads them, and
// starts that much sooner.
//
//     ImageIoPixels pixels;
//     std::string error;
//     if (!ImageIo::read("beauty.exr", pixels, error)) CORE_LOG_WARNING(... << error << ...);
#include <string>
#include <utility>
#include <vector>

#include "host/core/core_export.h"

// An image in memory: interleaved pixels, rows top first, 8 bits (bytes) or float (floats).
struct ImageIoPixels {
    int width = 0;
    int height = 0;
    std::vector<std::string> channel_names;
    int alpha_channel = -1;
    bool is_float = false;
    std::vector<unsigned char> bytes;
    std::vector<float> floats;
};

// What the module gives: its functions, built with the same compiler and library as the host.
struct ImageIoFunctions {
    // Reads an 8-bit file as bytes and anything else as floats, colours as stored (not
    // multiplied by alpha).
    bool (*read)(char const* path, ImageIoPixels& pixels, std::string& error);
    // Writes in `format` ("png": 8 bits, "exr": float) with the name and value pairs in the
    // file's header.
    bool (*write)(char const* path, char const* format, ImageIoPixels const& pixels,
                  std::vector<std::pair<std::string, std::string>> const& metadata, std::string& error);
};

class QN_HOST_API ImageIo {
public:
    // False with the reason in `error` (one line) when the file cannot be read, or when the
    // module cannot be loaded.
    static bool read(std::string const& path, ImageIoPixels& pixels, std::string& error);
    static bool write(std::string const& path, std::string const& format, ImageIoPixels const& pixels,
                      std::vector<std::pair<std::string, std::string>> const& metadata, std::string& error);
    // Whether the module has been loaded by this process (for tests of the lazy loading).
    static bool is_loaded();
    // A float value as 8 bits: clamped to 0..1 (not a number gives 0), times 255, rounded.
    static unsigned char to_byte(float const& value);
    // Channel value `at` of the pixels as 8 bits.
    static unsigned char get_byte(ImageIoPixels const& pixels, size_t const& at)
    {
        return pixels.is_float ? to_byte(pixels.floats[at]) : pixels.bytes[at];
    }

private:
    static ImageIoFunctions const* get_functions(std::string& error);
};
