#include "gui/core/gui_icon.h"

#include <algorithm>
#include <cstdlib>

#include "gui/core/gui_image.h"

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

GuiImage const& GuiIcon::get_image(ImageIcon::ImageIconSize const& size) const
{
    static GuiImage const empty;
    int const target = std::clamp(int(size), -1, SIZE_COUNT);
    int best = -1;
    for (int candidate = 0; candidate < SIZE_COUNT; ++candidate) {
        if (!m_data[candidate]) continue;
        // Ascending order: on a tie the later (larger) size wins.
        if (best < 0 || std::abs(candidate - target) <= std::abs(best - target)) best = candidate;
    }
    if (best < 0) return empty;
    if (!m_images[best]) {
        unsigned int const n = ImageIcon::get_image_icon_int_size(ImageIcon::ImageIconSize(best));
        m_images[best] = new GuiImage(m_data[best], n, n, 4);
    }
    return *m_images[best];
}

size_t GuiIcon::get_memory_size() const
{
    size_t size = EventObject::get_memory_size() - sizeof(EventObject) + sizeof(GuiIcon);
    for (GuiImage const* image : m_images) size += image ? image->get_memory_size() : 0;
    return size;
}
