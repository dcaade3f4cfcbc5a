#include "gui/core/gui_icon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gui/core/gui_image.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiIcon, EventObject)

GuiIcon::GuiIcon(unsigned char const* const* data)
{
    if (!data) return;
    for (int size = 0; size < SIZE_COUNT; ++size) m_data[size] = data[size];
}

GuiIcon::~GuiIcon()
{
    for (GuiImage* image : m_images) delete image;
}

unsigned char const* GuiIcon::get_data(ImageIcon::ImageIconSize const& size) const
{
    return size >= 0 && size < SIZE_COUNT ? m_data[size] : nullptr;
}

namespace {

// Resamples square RGBA pixels from `from` to `to` pixels a side: each target pixel averages
// the source area it covers (partial pixels by their share), colours weighted by alpha so
// that transparent pixels do not darken the edges.
std::vector<unsigned char> resample_square_rgba(unsigned char const* source, int from, int to)
{
    std::vector<unsigned char> out(static_cast<size_t>(to) * to * 4);
    double const scale = static_cast<double>(from) / to;
    for (int ty = 0; ty < to; ++ty) {
        double const y0 = ty * scale, y1 = (ty + 1) * scale;
        for (int tx = 0; tx < to; ++tx) {
            double const x0 = tx * scale, x1 = (tx + 1) * scale;
            double sum[4] = {0, 0, 0, 0}, area = 0;
            for (int sy = static_cast<int>(y0); sy < from && sy < y1; ++sy) {
                double const hy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
                for (int sx = static_cast<int>(x0); sx < from && sx < x1; ++sx) {
                    double const share = hy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
                    unsigned char const* pixel = source + (static_cast<size_t>(sy) * from + sx) * 4;
                    double const alpha = pixel[3] * share;
                    for (int c = 0; c < 3; ++c) sum[c] += pixel[c] * alpha;
                    sum[3] += alpha;
                    area += share;
                }
            }
            unsigned char* target = out.data() + (static_cast<size_t>(ty) * to + tx) * 4;
            for (int c = 0; c < 3; ++c)
                target[c] = sum[3] > 0 ? static_cast<unsigned char>(std::lround(sum[c] / sum[3])) : 0;
            target[3] = area > 0 ? static_cast<unsigned char>(std::lround(sum[3] / area)) : 0;
        }
    }
    return out;
}

}  // namespace

GuiImage const& GuiIcon::get_image(ImageIcon::ImageIconSize const& size) const
{
    static GuiImage const empty;
    if (size < 0 || size >= SIZE_COUNT) {
        CORE_LOG_WARNING("GuiIcon.get_image: " << int(size) << " is not an icon size; the image is empty\n");
        return empty;
    }
    if (m_images[size]) return *m_images[size];
    unsigned int const n = ImageIcon::get_image_icon_int_size(size);
    if (m_data[size]) {
        m_images[size] = new GuiImage(m_data[size], n, n, 4);
        return *m_images[size];
    }
    int best = -1;
    for (int candidate = 0; candidate < SIZE_COUNT; ++candidate) {
        if (!m_data[candidate]) continue;
        // Ascending order: on a tie the later (larger) size wins, which scales down.
        if (best < 0 || std::abs(candidate - int(size)) <= std::abs(best - int(size))) best = candidate;
    }
    if (best < 0) return empty;
    int const from = static_cast<int>(ImageIcon::get_image_icon_int_size(ImageIcon::ImageIconSize(best)));
    std::vector<unsigned char> const pixels = resample_square_rgba(m_data[best], from, static_cast<int>(n));
    m_images[size] = new GuiImage(pixels.data(), n, n, 4);
    return *m_images[size];
}

size_t GuiIcon::get_memory_size() const
{
    size_t size = EventObject::get_memory_size() - sizeof(EventObject) + sizeof(GuiIcon);
    for (GuiImage const* image : m_images) size += image ? image->get_memory_size() : 0;
    return size;
}
