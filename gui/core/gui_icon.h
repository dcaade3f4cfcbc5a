#pragma once
// GuiIcon: one picture in each of the host's icon sizes (16 to 64 pixels a side, RGBA),
// each turned into a GuiImage the first time it is asked for.
//
//     unsigned char const* data[] = {rgba16, rgba24, rgba32, nullptr, rgba64};
//     GuiIcon icon(data);                                  // the data must outlive the icon
//     icon.get_image(ImageIcon::IMAGE_ICON_SIZE_48).draw(x, y);   // 64 scaled to 48
#include "gui/core/gui_export.h"
#include "host/event/event_object.h"
#include "host/image/image_icon.h"

class GuiImage;

class QN_GUI_API GuiIcon : public EventObject {
    CORE_DECLARE_CLASS(GuiIcon, EventObject)

public:
    static constexpr int SIZE_COUNT = ImageIcon::IMAGE_ICON_SIZE_64 + 1;

    // One pointer per size, smallest first, to square RGBA pixels of that size; a null
    // pointer (or a null array) means no picture of that size. The pixels are not copied.
    explicit GuiIcon(unsigned char const* const* data);
    ~GuiIcon() override;

    // The picture of that size, made on the first call and the same object afterwards; it
    // always has the size asked for. A size without pixels of its own is scaled from the
    // nearest size that has some (the larger on a tie). An empty image when the icon has no
    // pixels at all or the size is not an icon size (with a warning).
    GuiImage const& get_image(ImageIcon::ImageIconSize const& size) const;
    // The pixels given for that size; null when none were or the size is out of range.
    unsigned char const* get_data(ImageIcon::ImageIconSize const& size) const;

    size_t get_memory_size() const override;

private:
    unsigned char const* m_data[SIZE_COUNT] = {};
    // Made by get_image, which callers reach through const references.
    mutable GuiImage* m_images[SIZE_COUNT] = {};
};
