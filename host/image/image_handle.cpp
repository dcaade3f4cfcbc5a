#include <algorithm>
#include <cmath>
#include <string>
#include <unistd.h>

#include "host/core/core_log.h"
#include "host/image/image_handle.h"
#include "host/image/image_io.h"
#include "host/sys/sys_filesystem.h"

// The pixels, in the type they were given or read in: 8 bits or float.
struct ImageHandle::Data {
    ImageIoPixels pixels;
};

namespace {

int find_channel(ImageIoPixels const& pixels, char const* name)
{
    auto const found = std::find(pixels.channel_names.begin(), pixels.channel_names.end(), name);
    return found == pixels.channel_names.end() ? -1 : static_cast<int>(found - pixels.channel_names.begin());
}

int get_channel_count(ImageIoPixels const& pixels)
{
    return static_cast<int>(pixels.channel_names.size());
}

// Channel `c` of pixel `i` as float (8-bit values divided by 255).
float get_value(ImageIoPixels const& pixels, size_t const& i, int const& c)
{
    size_t const at = i * pixels.channel_names.size() + static_cast<size_t>(c);
    return pixels.is_float ? pixels.floats[at] : pixels.bytes[at] / 255.0f;
}

// The float pixels clamped to 0..1 and rounded to 8 bits.
ImageIoPixels to_bytes(ImageIoPixels pixels)
{
    pixels.is_float = false;
    pixels.bytes.resize(pixels.floats.size());
    std::transform(pixels.floats.begin(), pixels.floats.end(), pixels.bytes.begin(), ImageIo::to_byte);
    pixels.floats.clear();
    return pixels;
}

// The 8-bit pixels divided by 255.
ImageIoPixels to_floats(ImageIoPixels pixels)
{
    pixels.is_float = true;
    pixels.floats.resize(pixels.bytes.size());
    std::transform(pixels.bytes.begin(), pixels.bytes.end(), pixels.floats.begin(),
                   [](unsigned char v) { return v / 255.0f; });
    pixels.bytes.clear();
    return pixels;
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
    auto data = std::make_shared<Data>();
    std::string error;
    if (!ImageIo::read(path.c_str(), data->pixels, error)) {
        CORE_LOG_WARNING("ImageHandle.load: cannot read '" << path << "' (" << error << ")\n");
        return ImageHandle();
    }
    return ImageHandle(std::move(data));
}

ImageHandle ImageHandle::from_pixels(int const& width, int const& height, int const& channels,
                                     unsigned char const* data)
{
    if (!check_size("from_pixels", width, height, data) || !check_rgb_channels(channels)) return ImageHandle();
    auto made = std::make_shared<Data>();
    ImageIoPixels& pixels = made->pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.channel_names = {"R", "G", "B"};
    if (channels == 4) pixels.channel_names.push_back("A");
    pixels.alpha_channel = channels == 4 ? 3 : -1;
    pixels.bytes.assign(data, data + static_cast<size_t>(width) * height * channels);
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
    auto made = std::make_shared<Data>();
    ImageIoPixels& pixels = made->pixels;
    pixels.width = width;
    pixels.height = height;
    for (CoreString const& name : channel_names) pixels.channel_names.push_back(name.c_str());
    pixels.alpha_channel = find_channel(pixels, "A");
    pixels.is_float = true;
    pixels.floats.assign(data, data + static_cast<size_t>(width) * height * channel_names.get_count());
    return ImageHandle(std::move(made));
}

int ImageHandle::get_width() const
{
    return m_data ? m_data->pixels.width : 0;
}

int ImageHandle::get_height() const
{
    return m_data ? m_data->pixels.height : 0;
}

int ImageHandle::get_channel_count() const
{
    return m_data ? ::get_channel_count(m_data->pixels) : 0;
}

CoreVector<CoreString> ImageHandle::get_channel_names() const
{
    CoreVector<CoreString> names;
    if (m_data)
        for (std::string const& name : m_data->pixels.channel_names) names.add(CoreString(name.c_str()));
    return names;
}

bool ImageHandle::has_custom_channels() const
{
    if (!m_data) return false;
    for (std::string const& name : m_data->pixels.channel_names)
        if (name != "R" && name != "G" && name != "B" && name != "A") return true;
    return false;
}

CoreVector<float> ImageHandle::get_pixels() const
{
    CoreVector<float> pixels;
    if (!m_data) return pixels;
    ImageIoPixels const& held = m_data->pixels;
    std::vector<float> const converted = held.is_float ? std::vector<float>() : to_floats(held).floats;
    std::vector<float> const& floats = held.is_float ? held.floats : converted;
    pixels.resize(static_cast<unsigned int>(floats.size()));
    std::copy(floats.begin(), floats.end(), pixels.get_data());
    return pixels;
}

size_t ImageHandle::get_memory_size() const
{
    return m_data ? m_data->pixels.bytes.size() + m_data->pixels.floats.size() * sizeof(float) : 0;
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
    // A file that a reader finds is always complete: written under another name first.
    std::string const temporary = std::string(path.c_str()) + ".tmp" + std::to_string(::getpid());
    std::vector<std::pair<std::string, std::string>> pairs;
    for (auto const& [name, value] : metadata) pairs.emplace_back(name.c_str(), value.c_str());
    std::string error;
    // PNG holds 8 bits and EXR floats: the pixels are converted when held in the other type.
    ImageIoPixels const& held = m_data->pixels;
    bool const png = format == "png";
    bool const as_held = png != held.is_float;
    ImageIoPixels const converted = as_held ? ImageIoPixels() : png ? to_bytes(held) : to_floats(held);
    bool ok = ImageIo::write(temporary, format, as_held ? held : converted, pairs, error);
    if (ok && !SysFilesystem::rename_file(temporary.c_str(), path)) {
        error = "the finished file could not be renamed";
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        CORE_LOG_WARNING("ImageHandle.write: cannot write '" << path << "' (" << error << ")\n");
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
    ImageIoPixels const& source = m_data->pixels;
    // Red, green and blue by name, else the first channels in order; a grey image repeats its one.
    int const last = ::get_channel_count(source) - 1;
    int const r = find_channel(source, "R");
    int const g = find_channel(source, "G");
    int const b = find_channel(source, "B");
    std::vector<int> order = {r >= 0 ? r : 0, g >= 0 ? g : std::min(1, last), b >= 0 ? b : std::min(2, last)};
    auto data = std::make_shared<Data>();
    ImageIoPixels& thumbnail = data->pixels;
    thumbnail.channel_names = {"R", "G", "B"};
    if (source.alpha_channel >= 0) {
        order.push_back(source.alpha_channel);
        thumbnail.channel_names.push_back("A");
        thumbnail.alpha_channel = 3;
    }
    double const scale = std::min({1.0, double(max_width) / source.width, double(max_height) / source.height});
    int const width = std::max(1, static_cast<int>(std::lround(source.width * scale)));
    int const height = std::max(1, static_cast<int>(std::lround(source.height * scale)));
    thumbnail.width = width;
    thumbnail.height = height;
    thumbnail.bytes.resize(static_cast<size_t>(width) * height * order.size());
    // Each thumbnail pixel is the mean of the source pixels its area covers (a box filter,
    // with the covered fraction of the edge pixels), clamped to 0..1 and rounded to 8 bits.
    double const step_x = double(source.width) / width;
    double const step_y = double(source.height) / height;
    std::vector<double> sums(order.size());
    for (int ty = 0; ty < height; ++ty) {
        double const y0 = ty * step_y, y1 = y0 + step_y;
        for (int tx = 0; tx < width; ++tx) {
            double const x0 = tx * step_x, x1 = x0 + step_x;
            std::fill(sums.begin(), sums.end(), 0.0);
            double area = 0.0;
            for (int sy = static_cast<int>(y0); sy < std::min(source.height, static_cast<int>(std::ceil(y1))); ++sy) {
                double const wy = std::min(y1, sy + 1.0) - std::max(y0, double(sy));
                for (int sx = static_cast<int>(x0); sx < std::min(source.width, static_cast<int>(std::ceil(x1))); ++sx) {
                    double const w = wy * (std::min(x1, sx + 1.0) - std::max(x0, double(sx)));
                    size_t const i = static_cast<size_t>(sy) * source.width + sx;
                    for (size_t c = 0; c < order.size(); ++c) sums[c] += w * get_value(source, i, order[c]);
                    area += w;
                }
            }
            unsigned char* out = &thumbnail.bytes[(static_cast<size_t>(ty) * width + tx) * order.size()];
            for (size_t c = 0; c < order.size(); ++c) {
                out[c] = ImageIo::to_byte(area > 0.0 ? static_cast<float>(sums[c] / area) : 0.0f);
            }
        }
    }
    return ImageHandle(std::move(data));
}
