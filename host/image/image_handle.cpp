#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>
#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <unistd.h>

#include "host/core/core_log.h"
#include "host/image/image_handle.h"
#include "host/sys/sys_filesystem.h"

// The pixels live in an ImageBuf of local storage (never backed by OpenImageIO's image
// cache, so no file stays open), in the type they were given or read in: 8 bits or float.
struct ImageHandle::Data {
    OIIO::ImageBuf buf;
};

namespace {

// OpenImageIO's messages may span lines; a log message is one line.
std::string one_line(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text.empty() ? std::string("unknown error") : text;
}

int find_channel(OIIO::ImageSpec const& spec, char const* name)
{
    for (int c = 0; c < spec.nchannels; ++c)
        if (spec.channelnames[c] == name) return c;
    return -1;
}

bool check_size(char const* operation, int const& width, int const& height, void const* data)
{
    if (width <= 0 || height <= 0) {
        CORE_LOG_WARNING("ImageHandle." << operation << ": the size " << width << " x " << height
                                        << " has no pixels\n");
        return false;
    }
    if (!data) {
        CORE_LOG_WARNING("ImageHandle." << operation << ": no pixel data given\n");
        return false;
    }
    return true;
}

bool check_rgb_channels(int const& channels)
{
    if (channels == 3 || channels == 4) return true;
    CORE_LOG_WARNING("ImageHandle.from_pixels: " << channels << " channels given; 3 (RGB) or 4 (RGBA) expected\n");
    return false;
}

}  // namespace

ImageHandle ImageHandle::load(CoreBasicString const& path)
{
    // Colours are kept as the file stores them: PNG's are not multiplied by alpha on reading.
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    std::unique_ptr<OIIO::ImageInput> in = OIIO::ImageInput::open(path.c_str(), &config);
    if (!in) {
        CORE_LOG_WARNING("ImageHandle.load: cannot read '" << path << "' (" << one_line(OIIO::geterror())
                                                           << ")\n");
        return ImageHandle();
    }
    OIIO::ImageSpec spec = in->spec();
    spec.format = spec.format == OIIO::TypeDesc::UINT8 ? OIIO::TypeDesc::UINT8 : OIIO::TypeDesc::FLOAT;
    spec.channelformats.clear();
    auto data = std::make_shared<Data>();
    data->buf.reset(spec);
    bool const ok = in->read_image(0, 0, 0, spec.nchannels, spec.format, data->buf.localpixels());
    if (!ok) {
        CORE_LOG_WARNING("ImageHandle.load: cannot read the pixels of '" << path << "' ("
                                                                         << one_line(in->geterror()) << ")\n");
        return ImageHandle();
    }
    return ImageHandle(std::move(data));
}

ImageHandle ImageHandle::from_pixels(int const& width, int const& height, int const& channels,
                                     unsigned char const* data)
{
    if (!check_size("from_pixels", width, height, data) || !check_rgb_channels(channels)) return ImageHandle();
    auto made = std::make_shared<Data>();
    made->buf.reset(OIIO::ImageSpec(width, height, channels, OIIO::TypeDesc::UINT8));
    made->buf.set_pixels(made->buf.roi(), OIIO::TypeDesc::UINT8, data);
    return ImageHandle(std::move(made));
}

ImageHandle ImageHandle::from_pixels(int const& width, int const& height, int const& channels, float const* data)
{
    if (!check_size("from_pixels", width, height, data) || !check_rgb_channels(channels)) return ImageHandle();
    CoreVector<CoreString> names = {"R", "G", "B"};
    if (channels == 4) names.add("A");
    return from_pixels(width, height, names, data);
}

ImageHandle ImageHandle::from_pixels(int const& width, int const& height,
                                     CoreVector<CoreString> const& channel_names, float const* data)
{
    if (!check_size("from_pixels", width, height, data)) return ImageHandle();
    if (channel_names.is_empty()) {
        CORE_LOG_WARNING("ImageHandle.from_pixels: no channel names given\n");
        return ImageHandle();
    }
    OIIO::ImageSpec spec(width, height, static_cast<int>(channel_names.get_count()), OIIO::TypeDesc::FLOAT);
    for (unsigned int c = 0; c < channel_names.get_count(); ++c) spec.channelnames[c] = channel_names[c].c_str();
    spec.alpha_channel = find_channel(spec, "A");
    auto made = std::make_shared<Data>();
    made->buf.reset(spec);
    made->buf.set_pixels(made->buf.roi(), OIIO::TypeDesc::FLOAT, data);
    return ImageHandle(std::move(made));
}

int ImageHandle::get_width() const
{
    return m_data ? m_data->buf.spec().width : 0;
}

int ImageHandle::get_height() const
{
    return m_data ? m_data->buf.spec().height : 0;
}

int ImageHandle::get_channel_count() const
{
    return m_data ? m_data->buf.spec().nchannels : 0;
}

CoreVector<CoreString> ImageHandle::get_channel_names() const
{
    CoreVector<CoreString> names;
    if (m_data)
        for (std::string const& name : m_data->buf.spec().channelnames) names.add(CoreString(name.c_str()));
    return names;
}

bool ImageHandle::has_custom_channels() const
{
    if (!m_data) return false;
    for (std::string const& name : m_data->buf.spec().channelnames)
        if (name != "R" && name != "G" && name != "B" && name != "A") return true;
    return false;
}

CoreVector<float> ImageHandle::get_pixels() const
{
    CoreVector<float> pixels;
    if (!m_data) return pixels;
    OIIO::ImageSpec const& spec = m_data->buf.spec();
    pixels.resize(static_cast<unsigned int>(spec.image_pixels() * spec.nchannels));
    m_data->buf.get_pixels(m_data->buf.roi(), OIIO::TypeDesc::FLOAT, pixels.get_data());
    return pixels;
}

size_t ImageHandle::get_memory_size() const
{
    return m_data ? static_cast<size_t>(m_data->buf.spec().image_bytes()) : 0;
}

bool ImageHandle::write(CoreBasicString const& path, Metadata const& metadata) const
{
    if (!m_data) {
        CORE_LOG_WARNING("ImageHandle.write: no image to write to '" << path << "'\n");
        return false;
    }
    CoreString extension = SysFilesystem::get_file_extension(path);
    std::string format = extension.c_str();
    std::transform(format.begin(), format.end(), format.begin(), [](unsigned char c) { return std::tolower(c); });
    if (format != "png" && format != "exr") {
        CORE_LOG_WARNING("ImageHandle.write: '" << path << "' is neither a .png nor an .exr file\n");
        return false;
    }
    OIIO::ImageBuf const& buf = m_data->buf;
    OIIO::ImageSpec spec = buf.spec();
    spec.format = format == "png" ? OIIO::TypeDesc::UINT8 : OIIO::TypeDesc::FLOAT;
    // The pixels are written as they are held, not divided by alpha (see load).
    if (format == "png") spec.attribute("oiio:UnassociatedAlpha", 1);
    for (auto const& [name, value] : metadata) spec.attribute(name.c_str(), value.c_str());

    // A file that a reader finds is always complete: written under another name first.
    std::string const temporary = std::string(path.c_str()) + ".tmp" + std::to_string(::getpid());
    std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(format);
    bool ok = out && out->open(temporary, spec) &&
              out->write_image(buf.spec().format, buf.localpixels());
    std::string error = out ? out->geterror() : OIIO::geterror();
    if (out) ok = out->close() && ok;
    if (ok && !SysFilesystem::rename_file(temporary.c_str(), path)) {
        error = "the finished file could not be renamed";
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        CORE_LOG_WARNING("ImageHandle.write: cannot write '" << path << "' (" << one_line(error) << ")\n");
    }
    return ok;
}

ImageHandle ImageHandle::make_thumbnail(int const& max_width, int const& max_height) const
{
    if (!m_data) return ImageHandle();
    if (max_width < 1 || max_height < 1) {
        CORE_LOG_WARNING("ImageHandle.make_thumbnail: the maximum size " << max_width << " x " << max_height
                                                                         << " has no pixels\n");
        return ImageHandle();
    }
    OIIO::ImageBuf const& buf = m_data->buf;
    OIIO::ImageSpec const& spec = buf.spec();
    // Red, green and blue by name, else the first channels in order; a grey image repeats its one.
    int const last = spec.nchannels - 1;
    int const r = find_channel(spec, "R");
    int const g = find_channel(spec, "G");
    int const b = find_channel(spec, "B");
    std::vector<int> order = {r >= 0 ? r : 0, g >= 0 ? g : std::min(1, last), b >= 0 ? b : std::min(2, last)};
    std::vector<std::string> names = {"R", "G", "B"};
    if (spec.alpha_channel >= 0) {
        order.push_back(spec.alpha_channel);
        names.push_back("A");
    }
    OIIO::ImageBuf colour = OIIO::ImageBufAlgo::channels(buf, static_cast<int>(order.size()), order, {}, names);

    double const scale = std::min({1.0, double(max_width) / spec.width, double(max_height) / spec.height});
    int const width = std::max(1, static_cast<int>(std::lround(spec.width * scale)));
    int const height = std::max(1, static_cast<int>(std::lround(spec.height * scale)));
    if (width != spec.width || height != spec.height) {
        OIIO::ROI const roi(0, width, 0, height, 0, 1, 0, colour.nchannels());
        colour = OIIO::ImageBufAlgo::resize(colour, "", 0.0f, roi);
    }
    auto data = std::make_shared<Data>();
    data->buf = OIIO::ImageBufAlgo::copy(colour, OIIO::TypeDesc::UINT8);
    if (data->buf.has_error() || data->buf.spec().width != width) {
        CORE_LOG_WARNING("ImageHandle.make_thumbnail: cannot scale the image (" << one_line(data->buf.geterror())
                                                                               << ")\n");
        return ImageHandle();
    }
    return ImageHandle(std::move(data));
}
