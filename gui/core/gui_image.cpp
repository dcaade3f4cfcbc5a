#include "gui/core/gui_image.h"

#include <FL/Fl_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <cstring>

#include "gui/core/gui_widget.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiImage, EventObject)

// A derived look: RGBA pixels and the toolkit image that draws them (made when drawn).
struct GuiImage::Look {
    std::unique_ptr<unsigned char[]> pixels;
    std::unique_ptr<Fl_RGB_Image> image;
};

namespace {

// The weight of each channel in the grey of the disabled look, and of the alpha it keeps.
constexpr double THIRD = 0.33333333333;

}  // namespace

unsigned int GuiImage::normalize_depth(unsigned int const& depth)
{
    return depth < 2 || depth == 3 ? 3 : 4;
}

GuiImage::GuiImage() = default;

GuiImage::GuiImage(unsigned int const& width, unsigned int const& height, unsigned int const& depth)
    : m_width(width), m_height(height), m_depth(normalize_depth(depth))
{
}

GuiImage::GuiImage(unsigned char const* data, unsigned int const& width, unsigned int const& height,
                   unsigned int const& depth)
{
    set_data(data, width, height, depth);
}

GuiImage::GuiImage(GuiImage const& other) : EventObject()
{
    copy_from(other);
}

GuiImage& GuiImage::operator=(GuiImage const& other)
{
    if (this != &other) copy_from(other);
    return *this;
}

GuiImage::~GuiImage() = default;

void GuiImage::copy_from(GuiImage const& other)
{
    drop_looks();
    clear_pixels();
    m_width = other.m_width;
    m_height = other.m_height;
    m_depth = other.m_depth;
    if (!other.m_pixels) return;
    size_t const bytes = get_pixel_count() * m_depth;
    m_pixels.reset(new unsigned char[bytes]);
    std::memcpy(m_pixels.get(), other.m_pixels.get(), bytes);
    make_toolkit_image();
    for (int kind = 0; kind < LOOK_COUNT; ++kind) {
        Look const* source = other.m_looks[kind].get();
        if (!source) continue;
        auto look = std::make_unique<Look>();
        look->pixels.reset(new unsigned char[get_pixel_count() * 4]);
        std::memcpy(look->pixels.get(), source->pixels.get(), get_pixel_count() * 4);
        if (source->image)
            look->image = std::make_unique<Fl_RGB_Image>(look->pixels.get(), int(m_width), int(m_height), 4);
        m_looks[kind] = std::move(look);
    }
}

void GuiImage::clear_pixels()
{
    // The toolkit image refers to the pixels: it goes first.
    m_image.reset();
    m_pixels.reset();
}

void GuiImage::drop_looks()
{
    for (std::unique_ptr<Look>& look : m_looks) look.reset();
}

void GuiImage::make_toolkit_image()
{
    m_image.reset();
    if (m_pixels)
        m_image = std::make_unique<Fl_RGB_Image>(m_pixels.get(), int(m_width), int(m_height), int(m_depth));
}

unsigned char* GuiImage::get_data()
{
    if (!m_pixels && get_pixel_count() > 0) {
        m_pixels.reset(new unsigned char[get_pixel_count() * m_depth]());
        make_toolkit_image();
    }
    return m_pixels.get();
}

void GuiImage::set_data(GuiImage const& other)
{
    if (&other == this) return;
    set_data(other.m_pixels.get(), other.m_width, other.m_height, other.m_depth);
}

void GuiImage::set_data(unsigned char const* data, unsigned int const& width, unsigned int const& height,
                        unsigned int const& depth)
{
    drop_looks();
    clear_pixels();
    m_width = width;
    m_height = height;
    m_depth = normalize_depth(depth);
    if (!data || get_pixel_count() == 0) return;
    if (depth == 0) {
        CORE_LOG_WARNING("GuiImage.set_data: a depth of 0 bytes per pixel has no pixels to read; the "
                         << width << " x " << height << " image is left without pixels\n");
        return;
    }
    size_t const count = get_pixel_count();
    unsigned char* pixels = new unsigned char[count * m_depth];
    m_pixels.reset(pixels);
    if (depth == m_depth) {
        std::memcpy(pixels, data, count * m_depth);
    } else if (depth == 1) {
        for (size_t i = 0; i < count; ++i) pixels[3 * i] = pixels[3 * i + 1] = pixels[3 * i + 2] = data[i];
    } else if (depth == 2) {
        for (size_t i = 0; i < count; ++i) {
            pixels[4 * i] = pixels[4 * i + 1] = pixels[4 * i + 2] = data[2 * i];
            pixels[4 * i + 3] = data[2 * i + 1];
        }
    } else {
        for (size_t i = 0; i < count; ++i) std::memcpy(pixels + 4 * i, data + depth * i, 4);
    }
    make_toolkit_image();
}

GuiImage::Look const* GuiImage::get_look(LookKind const& kind) const
{
    if (!m_pixels) return nullptr;
    std::unique_ptr<Look>& look = m_looks[kind];
    if (!look) {
        look = std::make_unique<Look>();
        size_t const count = get_pixel_count();
        unsigned char* out = new unsigned char[count * 4];
        look->pixels.reset(out);
        bool const rgba = m_depth == 4;
        for (size_t i = 0; i < count; ++i, out += 4) {
            unsigned char const* in = m_pixels.get() + i * m_depth;
            switch (kind) {
            case LOOK_DISABLED: {
                unsigned char const grey = static_cast<unsigned char>((in[0] + in[1] + in[2]) * THIRD + 0.5);
                out[0] = out[1] = out[2] = grey;
                out[3] = rgba ? static_cast<unsigned char>(in[3] * THIRD) : 128;
                break;
            }
            case LOOK_HIDDEN:
                std::memcpy(out, in, 3);
                out[3] = rgba ? in[3] / 6 : 85;
                break;
            default:  // LOOK_HIGHLIGHT
                if (rgba) {
                    for (int c = 0; c < 3; ++c)
                        out[c] = static_cast<unsigned char>(std::min(in[c] + 40, 255));
                    out[3] = in[3];
                } else {
                    std::memcpy(out, in, 3);
                    out[3] = 255;
                }
                break;
            }
        }
    }
    if (!look->image)
        look->image = std::make_unique<Fl_RGB_Image>(look->pixels.get(), int(m_width), int(m_height), 4);
    return look.get();
}

unsigned char const* GuiImage::get_disabled_data() const
{
    Look const* look = get_look(LOOK_DISABLED);
    return look ? look->pixels.get() : nullptr;
}

unsigned char const* GuiImage::get_hidden_data() const
{
    Look const* look = get_look(LOOK_HIDDEN);
    return look ? look->pixels.get() : nullptr;
}

unsigned char const* GuiImage::get_highlight_data() const
{
    Look const* look = get_look(LOOK_HIGHLIGHT);
    return look ? look->pixels.get() : nullptr;
}

void GuiImage::draw(int const& x, int const& y) const
{
    if (m_image) m_image->draw(x, y);
}

void GuiImage::draw(bool const& enabled, int const& x, int const& y, bool const& highlighted) const
{
    if (!enabled)
        draw_look(LOOK_DISABLED, x, y);
    else if (highlighted)
        draw_look(LOOK_HIGHLIGHT, x, y);
    else
        draw(x, y);
}

void GuiImage::draw_disabled(int const& x, int const& y) const
{
    draw_look(LOOK_DISABLED, x, y);
}

void GuiImage::draw_hidden(int const& x, int const& y) const
{
    draw_look(LOOK_HIDDEN, x, y);
}

void GuiImage::draw_highlight(int const& x, int const& y) const
{
    draw_look(LOOK_HIGHLIGHT, x, y);
}

void GuiImage::draw_look(LookKind const& kind, int const& x, int const& y) const
{
    if (Look const* look = get_look(kind)) look->image->draw(x, y);
}

void GuiImage::fast_draw(GuiWidget& widget, int const& x, int const& y, int const& w, int const& h) const
{
    if (!m_pixels || w <= 0 || h <= 0) return;
    GuiWidget* window = widget.get_window();
    Fl_Widget* router = window ? window->get_widget() : nullptr;
    Fl_Window* toolkit = router ? router->as_window() : widget.get_own_toolkit_window();
    if (!toolkit || !toolkit->shown()) return;
    // The image's box, clipped to the given box and to the window.
    int const x0 = std::max(x, 0);
    int const y0 = std::max(y, 0);
    int const x1 = std::min(x + std::min(w, int(m_width)), toolkit->w());
    int const y1 = std::min(y + std::min(h, int(m_height)), toolkit->h());
    if (x1 <= x0 || y1 <= y0) return;
    int const line = int(m_width * m_depth);
    unsigned char const* first = m_pixels.get() + size_t(y0 - y) * line + size_t(x0 - x) * m_depth;
    toolkit->make_current();
    fl_draw_image(first, x0, y0, x1 - x0, y1 - y0, int(m_depth), line);
    // Shown now rather than at the toolkit's next wait.
    XFlush(fl_display);
}

template <class Change>
void GuiImage::change_colors(Change const& change)
{
    if (m_pixels) {
        unsigned char* p = m_pixels.get();
        for (size_t i = 0, n = get_pixel_count(); i < n; ++i, p += m_depth) change(p);
        make_toolkit_image();
    }
    for (std::unique_ptr<Look>& look : m_looks) {
        if (!look) continue;
        unsigned char* p = look->pixels.get();
        for (size_t i = 0, n = get_pixel_count(); i < n; ++i, p += 4) change(p);
        // Made again from the changed pixels when next drawn.
        look->image.reset();
    }
}

void GuiImage::fill(unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    change_colors([r, g, b](unsigned char* p) {
        p[0] = r;
        p[1] = g;
        p[2] = b;
    });
}

void GuiImage::modulate(unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    change_colors([r, g, b](unsigned char* p) {
        p[0] = static_cast<unsigned char>(p[0] * r / 255);
        p[1] = static_cast<unsigned char>(p[1] * g / 255);
        p[2] = static_cast<unsigned char>(p[2] * b / 255);
    });
}

void GuiImage::update()
{
    if (m_image) m_image->uncache();
    drop_looks();
}

size_t GuiImage::get_memory_size() const
{
    size_t size = EventObject::get_memory_size() - sizeof(EventObject) + sizeof(GuiImage);
    if (m_pixels) size += get_pixel_count() * m_depth;
    if (m_image) size += sizeof(Fl_RGB_Image);
    for (std::unique_ptr<Look> const& look : m_looks) {
        if (!look) continue;
        size += sizeof(Look) + get_pixel_count() * 4;
        if (look->image) size += sizeof(Fl_RGB_Image);
    }
    return size;
}
