// The image module (libqn_image_io): ImageIo's functions on OpenImageIO. Loaded by ImageIo on
// first use; nothing else links it.
#include <OpenImageIO/imageio.h>

#include <algorithm>

#include "host/image/image_io.h"

namespace {

// OpenImageIO's messages may span lines; a log message is one line.
std::string one_line(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text.empty() ? std::string("unknown error") : text;
}

bool read_image(char const* path, ImageIoPixels& pixels, std::string& error)
{
    // Colours are kept as the file stores them: PNG's are not multiplied by alpha on reading.
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    std::unique_ptr<OIIO::ImageInput> in = OIIO::ImageInput::open(path, &config);
    if (!in) {
        error = one_line(OIIO::geterror());
        return false;
    }
    OIIO::ImageSpec const& spec = in->spec();
    pixels.width = spec.width;
    pixels.height = spec.height;
    pixels.channel_names = spec.channelnames;
    pixels.alpha_channel = spec.alpha_channel;
    pixels.is_float = spec.format != OIIO::TypeDesc::UINT8;
    size_t const count = static_cast<size_t>(spec.width) * spec.height * spec.nchannels;
    bool ok = false;
    if (pixels.is_float) {
        pixels.floats.resize(count);
        ok = in->read_image(0, 0, 0, spec.nchannels, OIIO::TypeDesc::FLOAT, pixels.floats.data());
    } else {
        pixels.bytes.resize(count);
        ok = in->read_image(0, 0, 0, spec.nchannels, OIIO::TypeDesc::UINT8, pixels.bytes.data());
    }
    if (!ok) error = one_line(in->geterror());
    return ok;
}

bool write_image(char const* path, char const* format, ImageIoPixels const& pixels,
                 std::vector<std::pair<std::string, std::string>> const& metadata, std::string& error)
{
    bool const png = std::string(format) == "png";
    OIIO::ImageSpec spec(pixels.width, pixels.height, static_cast<int>(pixels.channel_names.size()),
                         png ? OIIO::TypeDesc::UINT8 : OIIO::TypeDesc::FLOAT);
    spec.channelnames = pixels.channel_names;
    spec.alpha_channel = pixels.alpha_channel;
    // The pixels are written as they are held, not divided by alpha (see read_image).
    if (png) spec.attribute("oiio:UnassociatedAlpha", 1);
    for (auto const& [name, value] : metadata) spec.attribute(name, value);
    std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(format);
    bool ok = out && out->open(path, spec) &&
              (pixels.is_float ? out->write_image(OIIO::TypeDesc::FLOAT, pixels.floats.data())
                               : out->write_image(OIIO::TypeDesc::UINT8, pixels.bytes.data()));
    error = one_line(out ? out->geterror() : OIIO::geterror());
    if (out) ok = out->close() && ok;
    return ok;
}

ImageIoFunctions const FUNCTIONS = {&read_image, &write_image};

}  // namespace

extern "C" __attribute__((visibility("default"))) ImageIoFunctions const* qn_image_io_functions()
{
    return &FUNCTIONS;
}
