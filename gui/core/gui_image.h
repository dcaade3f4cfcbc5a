#pragma once
// GuiImage: a picture the interface draws, in RGB or RGBA bytes with rows from top to
// bottom, with the toolkit image that draws it and three looks derived from it on first
// use: disabled (grey, faded), hidden (faint) and highlighted (brighter).
//
//     GuiImage icon(GuiResource::checker());      // a copy the widget may recolour
//     icon.fill(255, 255, 255);
//     icon.draw(widget.is_enabled(), x, y, widget.is_entered());
//
// The derived looks are kept until the pixels change through set_data, or until update()
// is called after the pixels were changed in place through get_data().
#include <memory>

#include "gui/core/gui_export.h"
#include "host/event/event_object.h"

class Fl_RGB_Image;
class GuiWidget;

class QN_GUI_API GuiImage : public EventObject {
    CORE_DECLARE_CLASS(GuiImage, EventObject)

public:
    // The depth an image is given for a requested depth: 3 (RGB) below 2 and for 3,
    // 4 (RGBA) for 2 and above 3.
    static unsigned int normalize_depth(unsigned int const& depth);

    // No size, no pixels.
    GuiImage();
    // The size and the normalised depth, without pixels until get_data() is called.
    GuiImage(unsigned int const& width, unsigned int const& height, unsigned int const& depth);
    // A copy of `data`, `depth` bytes per pixel (see set_data).
    GuiImage(unsigned char const* data, unsigned int const& width, unsigned int const& height,
             unsigned int const& depth);
    // Copies the pixels and the derived looks made so far; connections are not copied.
    GuiImage(GuiImage const& other);
    GuiImage& operator=(GuiImage const& other);
    ~GuiImage() override;

    unsigned int const& get_width() const { return m_width; }
    unsigned int const& get_height() const { return m_height; }
    // Bytes per pixel: 3 or 4.
    unsigned int const& get_depth() const { return m_depth; }
    // The pixels, allocated zero-filled (with their toolkit image) when the image has none
    // yet; null for an image of no pixels. Call update() after changing them.
    unsigned char* get_data();
    // The pixels as they are: null when none were set or asked for.
    unsigned char const* get_data() const { return m_pixels.get(); }
    bool has_data() const { return m_pixels != nullptr; }

    // Takes a copy of the other image's pixels, size and depth.
    void set_data(GuiImage const& other);
    // Takes a copy of `data`: depth 3 and 4 are copied as they are, 1 (grey) becomes RGB
    // and 2 (grey and alpha) becomes RGBA; larger depths keep their first four bytes. A
    // null `data` leaves the image with the size but without pixels.
    void set_data(unsigned char const* data, unsigned int const& width, unsigned int const& height,
                  unsigned int const& depth);

    // The derived looks as RGBA bytes, made on first use; null for an image without pixels.
    unsigned char const* get_disabled_data() const;
    unsigned char const* get_hidden_data() const;
    unsigned char const* get_highlight_data() const;

    // Draws the image with its top-left corner at (x, y) in the current toolkit window,
    // blending RGBA images over what is there. Nothing is drawn without pixels.
    void draw(int const& x, int const& y) const;
    // The disabled look when not enabled, else the highlighted look when highlighted.
    void draw(bool const& enabled, int const& x, int const& y, bool const& highlighted) const;
    void draw_disabled(int const& x, int const& y) const;
    void draw_hidden(int const& x, int const& y) const;
    void draw_highlight(int const& x, int const& y) const;
    // Writes the pixels straight into the widget's window, with the image's top-left
    // corner at (x, y) in window coordinates and only what falls inside the w × h box
    // there; the alpha channel is ignored. For images refreshed often (renders in
    // progress), outside the drawing of any window. Nothing happens when the window is not
    // shown.
    void fast_draw(GuiWidget& widget, int const& x, int const& y, int const& w, int const& h) const;

    // Sets the colour of every pixel, in the image and in the derived looks made so far;
    // alpha stays.
    void fill(unsigned char const& r, unsigned char const& g, unsigned char const& b);
    // Multiplies each colour channel by value / 255, in the image and in the derived looks
    // made so far.
    void modulate(unsigned char const& r, unsigned char const& g, unsigned char const& b);
    // The pixels were changed in place: the toolkit image drops its cached copy and the
    // derived looks are made again on their next use.
    void update();

    size_t get_memory_size() const override;

private:
    struct Look;
    enum LookKind : int { LOOK_DISABLED = 0, LOOK_HIDDEN = 1, LOOK_HIGHLIGHT = 2, LOOK_COUNT = 3 };

    void copy_from(GuiImage const& other);
    void clear_pixels();
    void drop_looks();
    void make_toolkit_image();
    size_t get_pixel_count() const { return static_cast<size_t>(m_width) * m_height; }
    // The derived look's pixels and toolkit image, made when missing.
    Look const* get_look(LookKind const& kind) const;
    void draw_look(LookKind const& kind, int const& x, int const& y) const;
    // Applies `change` to the colour channels of every pixel of the image and of each
    // derived look, then remakes the toolkit images.
    template <class Change>
    void change_colors(Change const& change);

    unsigned int m_width = 0;
    unsigned int m_height = 0;
    unsigned int m_depth = 3;
    std::unique_ptr<unsigned char[]> m_pixels;
    std::unique_ptr<Fl_RGB_Image> m_image;
    // Derived looks: made by const drawing calls, hence mutable.
    mutable std::unique_ptr<Look> m_looks[LOOK_COUNT];
};
