#pragma once
// GuiGlWidgetDc: the drawing context of OpenGL widgets. Rectangles are OpenGL primitives;
// text is drawn from the widget font's distance-field atlas through the font shader, which
// keeps glyph edges sharp at every scale. Positions are view pixels with y downwards, like
// those of other widgets; the context sets its own 2D projection over the viewport.
//
// Many labels share one projection and texture binding through the batched form:
//
//     dc.fast_draw_text_begin();
//     for (Label const& label : labels) {
//         glColor3ub(255, 255, 255);
//         glLoadIdentity();
//         glTranslated(label.x, viewport_height - label.y, 0.0);
//         dc.fast_draw_text(label.text);
//     }
//     dc.fast_draw_text_end();
#include "gui/core/gui_dc.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget.h"
#include "host/gmath/gmath_vec.h"

class GlProgram;

class QN_GUI_API GuiGlWidgetDc : public GuiDc {
    CORE_DECLARE_CLASS(GuiGlWidgetDc, GuiDc)

public:
    explicit GuiGlWidgetDc(GuiGlWidget& widget);

    GuiGlWidget& get_gl_widget() const { return static_cast<GuiGlWidget&>(get_widget()); }

    // Fills the whole viewport with the colour (and clears the depth buffer).
    void clear(unsigned char const& r, unsigned char const& g, unsigned char const& b);

    using GuiDc::draw_rect;
    using GuiDc::draw_rectf;
    using GuiDc::draw_text;
    // Text with its baseline at (x, y); nothing when the viewport is empty.
    void draw_text(CoreString const& text, int const& x, int const& y, unsigned char const& r, unsigned char const& g,
                   unsigned char const& b) override;
    void draw_rect(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                   unsigned char const& g, unsigned char const& b) override;
    void draw_rectf(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                    unsigned char const& g, unsigned char const& b) override;
    // The text on a filled box, `margin` pixels larger on each side, as high as the font.
    virtual void draw_text_with_rect(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                                     unsigned char const& g, unsigned char const& b, unsigned char const& back_r,
                                     unsigned char const& back_g, unsigned char const& back_b,
                                     unsigned int margin);
    // The text over an outline drawn eight times around it in the outline colour; the text's
    // own opacity is `alpha`.
    virtual void draw_text_with_outline(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                                        unsigned char const& g, unsigned char const& b, unsigned char const& outline_r,
                                        unsigned char const& outline_g, unsigned char const& outline_b,
                                        double alpha);
    // The general text drawing, at the current position and colour of the caller's
    // projection: ellipsed to `width` when positive, placed in a box of `box_width` by
    // `justify`, scaled by `scale` (through the font's size when `scale_font` is set, up to
    // max_size − 1). Returns the drawn text's width, height and descent-free extent (0s when
    // nothing was drawn).
    virtual GMathVec3<int> draw_text(CoreString const& text, int const& width,
                                     GuiGlWidget::TextEllipsis const& ellipsis, GuiWidget::Justify const& justify,
                                     int const& box_width, float const& scale, bool scale_font, int max_size);
    virtual void draw_text(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                           unsigned char const& g, unsigned char const& b, int const& width,
                           GuiGlWidget::TextEllipsis const& ellipsis);
    // At (x, y) without rounding, in the current colour.
    virtual void draw_text(CoreString const& text, double const& x, double const& y);
    // Centred vertically in the box, from its left edge, ellipsed to its width.
    virtual void draw_text(CoreString const& text, int const& x, int const& y, int const& w, int const& h,
                           unsigned char const& r, unsigned char const& g, unsigned char const& b);

    // Between begin_batch and end_batch (which nest), the context's own drawing calls and
    // whatever the caller adds to the batch collect in it and are drawn at the outermost
    // end_batch, with one call per run of equal state. Outside a batch each call draws at
    // once. Raw OpenGL drawing in between is not ordered with the batch's.
    GuiGlBatch& begin_batch();
    void end_batch();
    GuiGlBatch& get_batch() { return m_batch; }
    bool is_batching() const { return m_batch_depth > 0; }
    // What is drawn until pop_transform is grown by `factor` around the point (x, y) of the
    // current model-view coordinates (a box enlarged in place). Batched shapes take the
    // matrix when their drawer loads it (GuiGlBatch::load_gl_matrices).
    void push_scale_about(float const& x, float const& y, float const& factor);
    void pop_transform();

    // Batched text: begin sets the projection over the viewport and opens a batch;
    // fast_draw_text adds the text at the current matrix and colour; end draws every label
    // and restores. Only fast_draw_text may be called in between.
    void fast_draw_text_begin();
    void fast_draw_text(CoreString const& text);
    void fast_draw_text_end();

    // The program that turns the atlas into coverage, made on first use with a context
    // current; null when it cannot be made (logged).
    static GlProgram* get_font_shader();
    // Deletes it (the context must be current).
    static void destroy_font_shader();
    // Drops it without OpenGL calls: its context is gone.
    static void forget_font_shader();
    // The fragment program's source.
    static char const* get_font_shader_source();

private:
    // Sets the orthographic projection over the viewport and translates to (x, vh − y);
    // false when the viewport is empty.
    bool begin_2d(double const& x, double const& y);
    void end_2d();
    // Draws the active font's glyphs at the current matrix and colour.
    void draw_glyphs(std::string const& codes);
    // Draws what was added unless a batch is open.
    void submit();
    void draw_font_texture();

    GuiGlBatch m_batch;
    int m_batch_depth = 0;
    bool m_fast_drawing = false;
    FontGlData* m_fast_font = nullptr;
};
