#pragma once
// Drawing contexts: widgets draw through the context handed to GuiWidget::draw and never
// call the toolkit's drawing functions themselves. GuiDc is what every context offers
// (rectangles, text, scheme colours, measuring); GuiWidgetDc draws in the widget's toolkit
// window with the toolkit's 2D graphics and adds lines, pixels, triangles, framed, clamped,
// wrapped and icon-with-text drawing. The OpenGL context of GL widgets lives in gui/gl.
//
//     void MyWidget::draw(GuiDc& dc)
//     {
//         GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
//         wdc.draw_rectf(get_x(), get_y(), get_width(), get_height(), 40, 40, 40);
//         wdc.draw_text_clampable(m_label, get_x() + 4, get_y(), get_width() - 8, get_height(),
//                                 220, 220, 220, true, false, false);
//     }
//
// Positions are window pixels, y downwards, like widget positions. Colours are 8-bit r, g,
// b. Text is UTF-8 and drawn in the owning widget's font (GuiWidget::get_font).
#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_export.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_base_object.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiImage;

class QN_GUI_API GuiDc : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiDc, CoreBaseObject)

public:
    ~GuiDc() override = default;
    GuiDc(GuiDc const&) = delete;
    GuiDc& operator=(GuiDc const&) = delete;

    GuiWidget& get_widget() const { return *m_widget; }
    // The owner's scheme colour.
    GMathVec3<unsigned char> const& get_color(GuiColorScheme::Group const& group,
                                              GuiColorScheme::Role const& role) const;
    void get_color(GuiColorScheme::Group const& group, GuiColorScheme::Role const& role, unsigned char& r,
                   unsigned char& g, unsigned char& b) const;
    // The owner's font, in which text is drawn.
    GuiFont& get_font() const;
    // Size of the text in the owner's font at `weight`; the font's weight is switched for the
    // measurement and switched back.
    void get_text_size(CoreString const& text, int& w, int& h,
                       GuiFont::Weight const& weight = GuiFont::WEIGHT_NORMAL) const;
    void get_text_size(char const* text, int& w, int& h, GuiFont::Weight const& weight = GuiFont::WEIGHT_NORMAL) const;

    // Text with its baseline at (x, y).
    virtual void draw_text(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                           unsigned char const& g, unsigned char const& b) = 0;
    // The outline of the w × h box, one pixel wide, inside the box.
    virtual void draw_rect(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                           unsigned char const& g, unsigned char const& b) = 0;
    virtual void draw_rectf(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                            unsigned char const& g, unsigned char const& b) = 0;

    // (x, y, w, h) and colour vectors.
    void draw_rect(GMathVec4<int> const& rect, GMathVec3<unsigned char> const& color);
    void draw_rectf(GMathVec4<int> const& rect, GMathVec3<unsigned char> const& color);
    void draw_text(CoreString const& text, GMathVec2<int> const& position, GMathVec3<unsigned char> const& color);

protected:
    explicit GuiDc(GuiWidget& widget) : m_widget(&widget) {}

private:
    GuiWidget* m_widget;
};

class QN_GUI_API GuiWidgetDc : public GuiDc {
    CORE_DECLARE_CLASS(GuiWidgetDc, GuiDc)

public:
    // The toolkit's line styles, passed on unchanged.
    enum LineStyle : int {
        LINE_STYLE_SOLID = 0,
        LINE_STYLE_DASH = 1,
        LINE_STYLE_DOT = 2,
        LINE_STYLE_DASHDOT = 3,
        LINE_STYLE_DASHDOTDOT = 4,
    };
    static char const* get_line_style_name(LineStyle const& style);

    // The longest line of text handed to the toolkit, in bytes.
    static constexpr unsigned int MAX_LINE_BYTES = 1024;

    explicit GuiWidgetDc(GuiWidget& widget);

    using GuiDc::draw_rect;
    using GuiDc::draw_rectf;
    using GuiDc::draw_text;
    void draw_text(CoreString const& text, int const& x, int const& y, unsigned char const& r, unsigned char const& g,
                   unsigned char const& b) override;
    void draw_rect(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                   unsigned char const& g, unsigned char const& b) override;
    void draw_rectf(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                    unsigned char const& g, unsigned char const& b) override;
    virtual void draw_pixel(int const& x, int const& y, unsigned char const& r, unsigned char const& g,
                            unsigned char const& b);
    // The style stays in force after the call.
    virtual void draw_line(int const& x1, int const& y1, int const& x2, int const& y2, unsigned char const& r,
                           unsigned char const& g, unsigned char const& b, LineStyle const& style = LINE_STYLE_SOLID);
    // Text centred vertically in the box and placed by `justify`, clipped to the box.
    virtual void draw_text(CoreString const& text, int const& x, int const& y, int const& w, int const& h,
                           unsigned char const& r, unsigned char const& g, unsigned char const& b,
                           GuiWidget::Justify const& justify);
    // Text at baseline (x, y) in the current colour and font.
    virtual void draw_text(CoreString const& text, int const& x, int const& y);
    // Boxed text that, with `clamp`, is shortened with "..." (at its start with `keep_end`)
    // when it does not fit; true when it was shortened.
    virtual bool draw_text_clampable(CoreString const& text, int const& x, int const& y, int const& w, int const& h,
                                     unsigned char const& r, unsigned char const& g, unsigned char const& b,
                                     bool const& clamp, bool const& keep_end, bool const& right);
    // Text wrapped at word boundaries inside the box, from its top-left corner.
    virtual void draw_wrapped_text(CoreString const& text, int const& x, int const& y, int const& w, int const& h,
                                   unsigned char const& r, unsigned char const& g, unsigned char const& b);
    // An image beside a text in the box; highlighted when both flags are set.
    virtual void draw_icon_text(GuiImage const& image, CoreString const& text, int const& x, int const& y,
                                int const& w, int const& h, unsigned char const& r, unsigned char const& g,
                                unsigned char const& b, GuiWidget::Justify const& justify,
                                GuiWidget::IconPosition const& icon_position, bool const& flag_a, bool const& flag_b);
    // A one-pixel frame whose corners are cut by one pixel.
    virtual void draw_round_frame(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                                  unsigned char const& g, unsigned char const& b);
    // Only the corners set in `roundness` are cut; the others are square.
    virtual void draw_round_frame(GuiWidget::Roundness const& roundness, int const& x, int const& y, int const& w,
                                  int const& h, unsigned char const& r, unsigned char const& g,
                                  unsigned char const& b);
    // Fills the inside, then draws the frame with all corners cut.
    virtual void draw_round_framef(GuiWidget::Roundness const& roundness, int const& x, int const& y, int const& w,
                                   int const& h, unsigned char const& r, unsigned char const& g,
                                   unsigned char const& b, unsigned char const& fill_r, unsigned char const& fill_g,
                                   unsigned char const& fill_b);
    void draw_round_framef(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                           unsigned char const& g, unsigned char const& b, unsigned char const& fill_r,
                           unsigned char const& fill_g, unsigned char const& fill_b);
    void draw_round_framef(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                           unsigned char const& g, unsigned char const& b);
    void draw_triangle(int x1, int y1, int x2, int y2, int x3, int y3, unsigned char const& r,
                       unsigned char const& g, unsigned char const& b);
    void draw_trianglef(int x1, int y1, int x2, int y2, int x3, int y3, unsigned char const& r,
                        unsigned char const& g, unsigned char const& b);

    // The toolkit's colour for (r, g, b): the packed r·2^24 + g·2^16 + b·2^8, except pure
    // black, which is the palette's black (56) because packed 0 would mean palette entry 0.
    static unsigned int get_toolkit_color(unsigned char const& r, unsigned char const& g, unsigned char const& b);
    // The text as handed to the toolkit. Text of at most MAX_LINE_BYTES bytes is kept whole.
    // Longer text is cut MAX_LINE_BYTES bytes after the start of its first line of that many
    // bytes or more; when that line is the last one and lines precede it, the cut is at the
    // newline before it. A cut inside a UTF-8 character moves back to the character's start.
    static CoreString limit_line_length(CoreString const& text);
};
