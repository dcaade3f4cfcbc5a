#pragma once
// GuiGlWidget: a widget that draws with OpenGL, for 3D views, image views and other
// OpenGL editors. Its router is an FLTK OpenGL window placed in the widget tree; all GL
// widgets share one OpenGL context group, so textures and display lists made by one serve
// every other. The first GL widget to draw loads the OpenGL entry points (GLEW).
//
//     class MyView : public GuiGlWidget {
//     public:
//         using GuiGlWidget::GuiGlWidget;
//         void draw(GuiDc& dc) override
//         {
//             set_gl_widget_viewport();
//             glClear(GL_COLOR_BUFFER_BIT);
//             static_cast<GuiGlWidgetDc&>(dc).draw_text("Hello", 10, 20, 255, 255, 255);
//         }
//     };
//
// Text is drawn from the signed-distance-field atlases of GuiFont: each atlas becomes one
// texture, and each font size 256 display lists (one per character code), made at the
// start of the next draw after a font is first used. The drawing context draws text as
// glyph quads through its batch (GuiGlBatch), which places them exactly as the lists do;
// the lists serve callers that record glyphs in display lists of their own. When the last GL widget goes, the
// context goes with it: the fonts forget their textures and lists (remade on the next
// draw) and EVT_ID_GL_CONTEXT_DESTROYED is raised on the application.
#include <FL/Fl_Gl_Window.H>

#include <memory>
#include <string>

#include "gui/core/gui_export.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_router.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"

class GlUtilsGlCtx;
class GuiGlHudSettings;
class GuiGlWidget;
class GuiGlWidgetDc;

// Raised on the application when the shared OpenGL context is gone.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GL_CONTEXT_DESTROYED);

// The OpenGL side of a font size: the atlas texture (shared by the sizes of a face) and 256
// display lists drawing the glyphs at that size. The texture holds the glyphs that text has
// been drawn with; code that calls the lists itself makes its glyphs first
// (GuiGlWidget::make_font_glyphs).
struct QN_GUI_API FontGlData {
    GuiFont::FontDesc const* desc = nullptr;
    unsigned int texture = 0;
    unsigned int list_base = 0;
    // The texture holds every glyph of the atlas: drawing text has nothing left to make or
    // upload for it.
    mutable bool has_all_glyphs = false;
    bool is_ready() const { return texture != 0 && list_base != 0; }
};

// The router of a GL widget: an FLTK OpenGL window.
class QN_GUI_API GuiGlRouter : public Fl_Gl_Window, public GuiRouter {
public:
    GuiGlRouter(GuiGlWidget& owner, int x, int y, int w, int h);
    ~GuiGlRouter() override;

    int handle(int event) override;
    void draw() override;
    // Hiding destroys the window's context: the widget counts as unregistered until it
    // draws again.
    void hide() override;

    void draw_base() override {}
    int handle_event(CoreString const& name) override;
    int handle_toolkit_event(int event) override { return Fl_Gl_Window::handle(event); }

private:
    bool m_drawing = false;
};

class QN_GUI_API GuiGlWidget : public GuiWidget {
    CORE_DECLARE_CLASS(GuiGlWidget, GuiWidget)

public:
    // Where get_ellipsed_text puts the "..." of a text that is too wide.
    enum TextEllipsis : int {
        TEXT_ELLIPSIS_NONE = 0,    // cut without a mark
        TEXT_ELLIPSIS_END = 1,     // "abc..."
        TEXT_ELLIPSIS_START = 2,   // "...hij"
        TEXT_ELLIPSIS_MIDDLE = 3,  // "ab...ij"
        TEXT_ELLIPSIS_COUNT
    };
    static char const* get_text_ellipsis_name(TextEllipsis const& value);

    GuiGlWidget(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiGlWidget() override;

    GuiGlRouter* get_gl_router() const;
    GuiDc& get_dc() override;
    // The router is a window of its own inside the group, which a redraw of the group does
    // not reach: it is asked to redraw too.
    void widget_redraw() override;

    // --- Context ---
    void make_current();
    void swap_buffers();
    // The router's window has a context (it has drawn once).
    bool is_context_valid() const;
    // The context's state matches the window's size (false after a resize, until drawn).
    bool is_valid() const;
    // Makes the window's context be made again at the next draw.
    void reset_context();
    // The viewport over the whole widget, in pixels.
    void set_gl_widget_viewport();
    // An orthographic projection over the view's pixels, y downwards like widget
    // coordinates, with an identity model-view matrix: what 2D drawing through the drawing
    // context expects.
    void set_pixel_projection();
    // Asks for a stencil buffer (before the window is first shown).
    void enable_stencil();
    // A draw of this widget is running.
    bool const& is_drawing() const { return m_drawing; }
    // The last event's position inside the view.
    int get_view_x() const;
    int get_view_y() const;
    // Draws instead of draw when set: for views that cannot use OpenGL.
    void set_draw_fallback(bool const& fallback) { m_draw_fallback = fallback; }
    bool const& is_draw_fallback() const { return m_draw_fallback; }
    virtual void draw_fallback(GuiDc&) {}
    virtual void on_gl_context_destroyed() {}

    // --- Text ---
    // Makes the font the one text is drawn in (its OpenGL data is made on first use).
    void set_active_font(GuiFont const& font);
    FontGlData* get_active_font() const { return m_active_font; }
    // The active font with its texture and lists made (now, if missing); null while they
    // cannot be.
    FontGlData* get_ready_active_font();
    // Binds the active font's texture; false while it is not made yet.
    bool use_active_font();
    // Width of the text in the active font (advances of its characters), and the font's size.
    int get_text_width(CoreString const& text) const;
    int get_text_height() const;
    // The text shortened with "..." so that it is at most `width` wide; whole when it fits.
    CoreString get_ellipsed_text(CoreString const& text, int const& width, TextEllipsis const& ellipsis) const;
    // Text at baseline (x, y) in view pixels (y downwards) in the current colour.
    void draw_text(CoreString const& text, int const& x, int const& y);
    // Text on a filled box.
    void draw_framed_text(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                          unsigned char const& g, unsigned char const& b, unsigned char const& back_r,
                          unsigned char const& back_g, unsigned char const& back_b);
    // The characters of UTF-8 text as the atlas's codes (Latin-1; others become '?').
    static std::string to_atlas_codes(CoreString const& text);
    // Makes the fields of the codes' glyphs if they are still in the making (see
    // GuiFont::FontDesc::make_glyphs) and puts every field made since the last call into the
    // font's texture. The context must be current.
    static void make_font_glyphs(FontGlData const& font, std::string const& codes);

    // --- OpenGL version ---
    // GL_MAJOR_VERSION / GL_MINOR_VERSION of the current context; -1 when OpenGL does not
    // know them (GL_INVALID_ENUM).
    static int get_opengl_major_version_number();
    static int get_opengl_minor_version_number();
    // major + minor / 10; 0 without a major number (or below 1); the major alone without a
    // minor number or with one above 9.
    static float get_opengl_version_as_float();
    // "major.minor"; empty on the same failures.
    static CoreString get_opengl_version_as_string();
    static float get_opengl_minimum_required_version_as_float() { return 2.0f; }
    // At least 2.0; otherwise logs why and returns false.
    static bool is_current_opengl_version_supported();
    // Replaces the driver's glGetIntegerv and glGetError for the version queries (tests);
    // null restores the driver's.
    using GetIntegerFunction = void (*)(unsigned int name, int* value);
    using GetErrorFunction = unsigned int (*)();
    static void set_version_query(GetIntegerFunction get_integer, GetErrorFunction get_error);

    // --- Head-up display (gui_gl_widget_overlays.cpp) ---
    // The guide shapes of the "overlay" option.
    enum CompositionGuide : int {
        COMPOSITION_GUIDE_NONE = 0,
        COMPOSITION_GUIDE_RULE_OF_THIRDS = 1,
        COMPOSITION_GUIDE_GOLDEN_RATIO = 2,
        COMPOSITION_GUIDE_GOLDEN_SPIRAL = 3,
        COMPOSITION_GUIDE_GOLDEN_TRIANGLES = 4,
        COMPOSITION_GUIDE_DIAGONALS = 5,
        COMPOSITION_GUIDE_COUNT
    };
    static char const* get_composition_guide_name(CompositionGuide const& guide);
    // The view's head-up display options, declared by add_overlay_options.
    GuiGlHudSettings& get_hud_settings() { return *m_hud_settings; }
    GuiGlHudSettings const& get_hud_settings() const { return *m_hud_settings; }
    // Declares the safe-frame and composition-guide options.
    static void add_overlay_options(GuiGlHudSettings& settings);
    // The safe frames that are on, over a view of width × height pixels, with captions
    // when "caption" is on; nothing while "show_safe_frame" is off.
    void overlay_draw_safe_frame(GuiGlWidgetDc& dc, int const& width, int const& height);
    // The chosen composition guide in white; `flip` inverts the vertical mirror for views
    // whose vertical axis runs the other way. Nothing while "show_overlay" is off.
    void overlay_draw_composition_guide(GuiGlWidgetDc& dc, int const& width, int const& height, bool const& flip);
    // "show_overlay" in a "head_up_display" group.
    void load_settings(ParserGroup const& group) override;
    void save_settings(ParserGroup& group) override;

    // --- Process-wide state ---
    static CoreVector<GuiGlWidget*> const& get_gl_widgets();
    static GlUtilsGlCtx& get_gl_context();
    // Number of font sizes with OpenGL data (made or waiting to be made).
    static unsigned int get_gl_font_count();
    static void inc_gl_list_count(unsigned int const& count);
    static void dec_gl_list_count(unsigned int const& count);
    static unsigned int get_gl_list_count();
    // A texture of width × height bytes rows (`format`: GL_RGB, GL_RGBA, GL_LUMINANCE, ...)
    // stored as `internal_format`, with linear filters and clamped edges; the caller's bound
    // texture stays bound. The context must be current.
    static unsigned int make_texture(int const& width, int const& height, int const& internal_format,
                                     unsigned int const& format, unsigned char const* pixels);
    // Textures and display lists of every font that lacks them (the context is current).
    static void make_font_resources();

    void resize(int const& x, int const& y, int const& w, int const& h) override;
    void show() override;
    void hide() override;
    size_t get_memory_size() const override;

protected:
    static void create_router(void* widget);

private:
    friend class GuiGlRouter;
    friend class GuiGlWidgetDc;
    void register_widget();
    void unregister_widget();
    static void on_context_lost();
    void on_context_destroyed_event(EventObject& app, EventInfo const& info, void* data);

    std::unique_ptr<GuiGlWidgetDc> m_gl_dc;
    std::unique_ptr<GuiGlHudSettings> m_hud_settings;
    FontGlData* m_active_font = nullptr;
    GMathVec4<int> m_rect;
    bool m_drawing = false;
    bool m_draw_fallback = false;
    bool m_registered = false;
};
