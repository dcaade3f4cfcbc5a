#include <GL/glew.h>

#include "gui/gl/gui_gl_widget.h"

#include <FL/Fl.H>

#include <algorithm>
#include <atomic>
#include <bitset>
#include <cmath>
#include <map>
#include <memory>

#include "gui/core/gui_app.h"
#include "gui/core/gui_font_atlas.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_hud_settings.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "host/core/core_log.h"
#include "host/glutils/glutils_gl_ctx.h"
#include "host/sys/sys_thread_lock.h"

EVENT_DEFINE_ID(EVT_ID_GL_CONTEXT_DESTROYED);

CORE_IMPLEMENT_CLASS(GuiGlWidget, GuiWidget)

namespace {

// An atlas's texture and the glyph cells it holds: an atlas whose fields are still being
// made is uploaded cell by cell as they come.
struct AtlasTexture {
    unsigned int name = 0;
    std::bitset<GuiFont::FontDesc::GLYPH_COUNT> cells;
    int ready_seen = -1;  // the atlas's ready count at the last upload
};

struct GlState {
    CoreVector<GuiGlWidget*> widgets;
    GlUtilsGlCtx context;
    // One entry per font size, in the order they were first used; never freed, as widgets
    // keep pointers to them.
    std::map<GuiFont::FontDesc const*, std::unique_ptr<FontGlData>> fonts;
    // One texture per atlas (the sizes of a face share their atlas's pixels).
    std::map<std::vector<unsigned char> const*, AtlasTexture> textures;
    unsigned int list_count = 0;
    bool glew_ready = false;
    GuiGlWidget::GetIntegerFunction get_integer = nullptr;
    GuiGlWidget::GetErrorFunction get_error = nullptr;
};

GlState& gl_state()
{
    static GlState state;
    return state;
}

// Counts the GL draws in progress across all widgets.
std::atomic<int> s_gl_draw_depth{0};

void driver_get_integer(unsigned int name, int* value)
{
    glGetIntegerv(name, value);
}

unsigned int driver_get_error()
{
    return glGetError();
}

int query_version_number(unsigned int name)
{
    GlState& state = gl_state();
    GuiGlWidget::GetIntegerFunction get_integer = state.get_integer ? state.get_integer : &driver_get_integer;
    GuiGlWidget::GetErrorFunction get_error = state.get_error ? state.get_error : &driver_get_error;
    // Errors left by earlier calls are not this query's.
    for (int i = 0; i < 16 && get_error() != GL_NO_ERROR; ++i) {
    }
    int value = -1;
    get_integer(name, &value);
    if (get_error() == GL_INVALID_ENUM) return -1;
    return value;
}

void init_glew()
{
    GlState& state = gl_state();
    if (state.glew_ready) return;
    glewExperimental = GL_TRUE;
    GLenum const result = glewInit();
    // GLEW 2 on a GLX context it cannot identify reports "no GLX display" yet loads the core
    // entry points; anything else is a failure.
    if (result != GLEW_OK && !(result == GLEW_ERROR_NO_GLX_DISPLAY && glCreateShader)) {
        CORE_LOG_ERROR("GuiGlWidget: GLEW initialization failed: " << reinterpret_cast<char const*>(glewGetErrorString(result))
                                                      << "\n");
        return;
    }
    // GLEW's probing may leave an error behind.
    while (glGetError() != GL_NO_ERROR) {
    }
    state.glew_ready = true;
}

// 256 lists drawing the glyphs of `data`'s size: each a textured quad from the glyph's
// atlas cell, then a move to the next pen position.
void make_display_lists(FontGlData& data)
{
    GuiFont::FontDesc const& desc = *data.desc;
    data.list_base = glGenLists(GuiFont::FontDesc::GLYPH_COUNT);
    if (data.list_base == 0) return;
    GuiGlWidget::inc_gl_list_count(GuiFont::FontDesc::GLYPH_COUNT);
    double const to_atlas = static_cast<double>(GuiFontAtlas::BASE_SIZE) / std::max(desc.size, 1);
    double const texel = 1.0 / desc.atlas_size;
    for (int i = 0; i < GuiFont::FontDesc::GLYPH_COUNT; ++i) {
        glNewList(data.list_base + static_cast<unsigned int>(i), GL_COMPILE);
        if (desc.width[i] > 0.0 && desc.height[i] > 0.0) {
            double const s0 = GuiFontAtlas::get_cell_x(i) * texel;
            double const t0 = GuiFontAtlas::get_cell_y(i) * texel;
            double const s1 = s0 + desc.width[i] * to_atlas * texel;
            double const t1 = t0 + desc.height[i] * to_atlas * texel;
            double const x0 = desc.left[i];
            double const x1 = x0 + desc.width[i];
            double const y0 = desc.bottom[i];
            double const y1 = y0 + desc.height[i];
            // Atlas rows run from the top: the cell's first row is the glyph's top.
            glBegin(GL_QUADS);
            glTexCoord2d(s0, t1);
            glVertex2d(x0, y0);
            glTexCoord2d(s1, t1);
            glVertex2d(x1, y0);
            glTexCoord2d(s1, t0);
            glVertex2d(x1, y1);
            glTexCoord2d(s0, t0);
            glVertex2d(x0, y1);
            glEnd();
        }
        glTranslated(desc.advance[i], 0.0, 0.0);
        glEndList();
    }
}

// Puts the atlas's glyph cells that are ready and not yet in the texture into it.
void upload_ready_cells(GuiFont::FontDesc const& desc, AtlasTexture& texture)
{
    int const ready = desc.get_ready_glyph_count();
    if (ready == texture.ready_seen) return;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, desc.atlas_size);
    for (int cell = 0; cell < GuiFont::FontDesc::GLYPH_COUNT; ++cell) {
        if (texture.cells[static_cast<size_t>(cell)] || !desc.is_glyph_ready(cell)) continue;
        texture.cells.set(static_cast<size_t>(cell));
        if (!(desc.width[cell] > 0.0)) continue;  // no glyph: the cell is never drawn
        int const x = GuiFontAtlas::get_cell_x(cell);
        int const y = GuiFontAtlas::get_cell_y(cell);
        int const w = std::min(GuiFontAtlas::CELL_SIZE, desc.atlas_size - x);
        int const h = std::min(GuiFontAtlas::CELL_SIZE, desc.atlas_size - y);
        // Only the cell's own bytes are read: threads may be writing other cells meanwhile.
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                        desc.pixels->data() + static_cast<size_t>(y) * static_cast<size_t>(desc.atlas_size) +
                            static_cast<size_t>(x));
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    texture.ready_seen = ready;
}

void make_atlas_texture(GuiFont::FontDesc const& desc, AtlasTexture& texture)
{
    // The atlas has one channel; uploaded as luminance, it fills the texture's three. An
    // atlas whose fields are all made goes up whole; one still in the making goes up empty,
    // then cell by cell as its fields come.
    bool const whole = desc.get_ready_glyph_count() == GuiFont::FontDesc::GLYPH_COUNT;
    texture.name = GuiGlWidget::make_texture(desc.atlas_size, desc.atlas_size, GL_RGB8, GL_LUMINANCE,
                                             whole ? desc.pixels->data() : nullptr);
    if (whole) {
        texture.cells.set();
        texture.ready_seen = GuiFont::FontDesc::GLYPH_COUNT;
    } else {
        upload_ready_cells(desc, texture);
    }
}

}  // namespace

unsigned int GuiGlWidget::make_texture(int const& width, int const& height, int const& internal_format,
                                       unsigned int const& format, unsigned char const* pixels)
{
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, internal_format, width, height, 0, static_cast<GLenum>(format), GL_UNSIGNED_BYTE,
                 pixels);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return texture;
}

namespace {

int utf8_decode(std::string const& text, size_t& at)
{
    auto const byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char const lead = byte(at);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + static_cast<size_t>(length) > text.size()) {
        ++at;
        return -1;
    }
    int code = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (int i = 1; i < length; ++i) {
        if ((byte(at + static_cast<size_t>(i)) & 0xC0) != 0x80) {
            ++at;
            return -1;
        }
        code = (code << 6) | (byte(at + static_cast<size_t>(i)) & 0x3F);
    }
    at += static_cast<size_t>(length);
    return code;
}

}  // namespace

// GuiGlRouter ----------------------------------------------------------------------------------

GuiGlRouter::GuiGlRouter(GuiGlWidget& owner, int x, int y, int w, int h)
    : Fl_Gl_Window(x, y, w, h), GuiRouter(&owner)
{
    user_data(&owner);
    mode(FL_RGB | FL_DOUBLE | FL_ALPHA | FL_DEPTH);
    end();
    Fl_Gl_Window::hide();
}

GuiGlRouter::~GuiGlRouter()
{
    if (auto* owner = static_cast<GuiGlWidget*>(get_owner())) owner->unregister_widget();
}

void GuiGlRouter::hide()
{
    if (auto* owner = static_cast<GuiGlWidget*>(get_owner())) owner->unregister_widget();
    Fl_Gl_Window::hide();
}

int GuiGlRouter::handle(int event)
{
    GuiWidget* owner = get_owner();
    if (!owner) return Fl_Gl_Window::handle(event);
    GuiApp::EventScope scope;
    return route_event(*owner, event, *this);
}

int GuiGlRouter::handle_event(CoreString const& name)
{
    GuiWidget* owner = get_owner();
    if (owner && name == EVT_ID_MOUSE_ENTER) owner->set_entered(true);
    if (owner && name == EVT_ID_MOUSE_LEAVE) owner->set_entered(false);
    int const event = get_toolkit_event(name);
    return event == 255 ? 0 : Fl_Gl_Window::handle(event);
}

void GuiGlRouter::draw()
{
    auto* owner = static_cast<GuiGlWidget*>(get_owner());
    s_gl_draw_depth.fetch_add(1);
    GuiApp::begin_widget_draw();
    if (owner) {
        GlState& state = gl_state();
        if (!valid() && state.widgets.is_empty()) {
            make_current();
            init_glew();
        }
        if (owner->is_visible()) {
            SysThreadLockGuard<SysThreadLockRecursive> guard(GuiApp::get_interface_lock());
            if (owner->is_draw_fallback()) {
                owner->draw_fallback(owner->get_dc());
            } else if (!m_drawing) {
                owner->register_widget();
                init_glew();
                m_drawing = true;
                owner->m_drawing = true;
                state.context.set_current(true);
                state.context.run_queued_commands();
                GuiGlWidget::make_font_resources();
                owner->set_gl_widget_viewport();
                owner->draw(owner->get_dc());
                state.context.set_current(false);
                owner->m_drawing = false;
                m_drawing = false;
            }
        }
    }
    GuiApp::end_widget_draw();
    s_gl_draw_depth.fetch_sub(1);
}

// GuiGlWidget --------------------------------------------------------------------------------------

char const* GuiGlWidget::get_text_ellipsis_name(TextEllipsis const& value)
{
    switch (value) {
    case TEXT_ELLIPSIS_NONE: return "TEXT_ELLIPSIS_NONE";
    case TEXT_ELLIPSIS_END: return "TEXT_ELLIPSIS_END";
    case TEXT_ELLIPSIS_START: return "TEXT_ELLIPSIS_START";
    case TEXT_ELLIPSIS_MIDDLE: return "TEXT_ELLIPSIS_MIDDLE";
    default: return "TEXT_ELLIPSIS_UNKNOWN";
    }
}

GuiGlWidget::GuiGlWidget(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(&GuiGlWidget::create_router, parent, x, y, w, h),
      m_hud_settings(std::make_unique<GuiGlHudSettings>()),
      m_rect(x, y, w, h)
{
    create_router(this);
    add_overlay_options(*m_hud_settings);
    connect<GuiGlWidget>(static_cast<EventObject&>(get_application()), EVT_ID_GL_CONTEXT_DESTROYED,
                         &GuiGlWidget::on_context_destroyed_event);
}

GuiGlWidget::~GuiGlWidget()
{
    unregister_widget();
    // The router outlives this part of the widget: it must not call back into it.
    if (GuiGlRouter* router = get_gl_router()) router->set_owner(nullptr);
}

void GuiGlWidget::create_router(void* data)
{
    auto* widget = static_cast<GuiGlWidget*>(data);
    Fl_Group* current = Fl_Group::current();
    Fl_Group::current(nullptr);
    widget->set_toolkit_widget(new GuiGlRouter(*widget, widget->get_x(), widget->get_y(), widget->get_width(),
                                               widget->get_height()));
    Fl_Group::current(current);
    widget->create_delayed_parenting(widget->get_group());
}

void GuiGlWidget::widget_redraw()
{
    GuiWidget::widget_redraw();
    if (!is_shown()) return;
    if (GuiGlRouter* router = get_gl_router()) router->redraw();
}

GuiGlRouter* GuiGlWidget::get_gl_router() const
{
    return dynamic_cast<GuiGlRouter*>(get_widget());
}

GuiDc& GuiGlWidget::get_dc()
{
    if (!m_gl_dc) m_gl_dc = std::make_unique<GuiGlWidgetDc>(*this);
    return *m_gl_dc;
}

void GuiGlWidget::make_current()
{
    if (GuiGlRouter* router = get_gl_router(); router && router->shown()) router->make_current();
}

void GuiGlWidget::swap_buffers()
{
    if (GuiGlRouter* router = get_gl_router(); router && router->shown()) router->swap_buffers();
}

bool GuiGlWidget::is_context_valid() const
{
    GuiGlRouter* router = get_gl_router();
    return router && router->context_valid();
}

bool GuiGlWidget::is_valid() const
{
    GuiGlRouter* router = get_gl_router();
    return router && router->valid();
}

void GuiGlWidget::reset_context()
{
    if (GuiGlRouter* router = get_gl_router()) router->invalidate();
}

void GuiGlWidget::set_gl_widget_viewport()
{
    if (GuiGlRouter* router = get_gl_router()) glViewport(0, 0, router->pixel_w(), router->pixel_h());
}

void GuiGlWidget::set_pixel_projection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, get_width(), get_height(), 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GuiGlWidget::enable_stencil()
{
    if (GuiGlRouter* router = get_gl_router()) router->mode(router->mode() | FL_STENCIL);
}

int GuiGlWidget::get_view_x() const
{
    GuiGlRouter* router = get_gl_router();
    return Fl::event_x() - (router && Fl::event_inside(router) ? 0 : get_x());
}

int GuiGlWidget::get_view_y() const
{
    GuiGlRouter* router = get_gl_router();
    return Fl::event_y() - (router && Fl::event_inside(router) ? 0 : get_y());
}

void GuiGlWidget::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiWidget::resize(x, y, w, h);
    m_rect = GMathVec4<int>(x, y, w, h);
}

void GuiGlWidget::show()
{
    GuiWidget::show();
}

void GuiGlWidget::hide()
{
    GuiWidget::hide();
}

size_t GuiGlWidget::get_memory_size() const
{
    return GuiWidget::get_memory_size() - sizeof(GuiWidget) + sizeof(GuiGlWidget) + sizeof(GuiGlRouter) -
           sizeof(GuiBoxRouter);
}

void GuiGlWidget::register_widget()
{
    if (m_registered) return;
    gl_state().widgets.add(this);
    m_registered = true;
}

void GuiGlWidget::unregister_widget()
{
    if (!m_registered) return;
    m_registered = false;
    GlState& state = gl_state();
    int const index = state.widgets.find(this);
    if (index >= 0) state.widgets.remove(static_cast<unsigned int>(index));
    if (state.widgets.is_empty()) on_context_lost();
}

void GuiGlWidget::on_context_lost()
{
    GlState& state = gl_state();
    // The objects died with the context: forget their names without deleting them.
    for (auto& entry : state.fonts) {
        FontGlData& data = *entry.second;
        if (data.list_base != 0) dec_gl_list_count(GuiFont::FontDesc::GLYPH_COUNT);
        data.texture = 0;
        data.list_base = 0;
    }
    state.textures.clear();
    GuiGlWidgetDc::forget_font_shader();
    GuiGlBatch::forget_gl_resources();
    state.context.clear_queued_commands();
    if (GuiApp* app = GuiApp::get_gui_instance()) app->raise_event(EVT_ID_GL_CONTEXT_DESTROYED);
}

void GuiGlWidget::on_context_destroyed_event(EventObject&, EventInfo const&, void*)
{
    on_gl_context_destroyed();
}

// Text ---------------------------------------------------------------------------------------------

void GuiGlWidget::set_active_font(GuiFont const& font)
{
    GuiFont::FontDesc const* desc = GuiFont::get_rasterized_font_data(font);
    if (!desc) return;
    std::unique_ptr<FontGlData>& data = gl_state().fonts[desc];
    if (!data) {
        data = std::make_unique<FontGlData>();
        data->desc = desc;
    }
    m_active_font = data.get();
}

FontGlData* GuiGlWidget::get_ready_active_font()
{
    if (!m_active_font) return nullptr;
    if (!m_active_font->is_ready()) make_font_resources();
    return m_active_font->is_ready() ? m_active_font : nullptr;
}

bool GuiGlWidget::use_active_font()
{
    if (!get_ready_active_font()) return false;
    glBindTexture(GL_TEXTURE_2D, m_active_font->texture);
    return true;
}

void GuiGlWidget::make_font_resources()
{
    GlState& state = gl_state();
    if (!state.glew_ready) return;
    for (auto& entry : state.fonts) {
        FontGlData& data = *entry.second;
        if (data.is_ready() || !data.desc->pixels) continue;
        AtlasTexture& texture = state.textures[data.desc->pixels.get()];
        if (texture.name == 0) make_atlas_texture(*data.desc, texture);
        data.texture = texture.name;
        if (data.list_base == 0) make_display_lists(data);
    }
}

void GuiGlWidget::make_font_glyphs(FontGlData const& font, std::string const& codes)
{
    GuiFont::FontDesc const* desc = font.desc;
    if (font.has_all_glyphs || !desc || font.texture == 0) return;
    desc->make_glyphs(codes);
    auto const found = gl_state().textures.find(desc->pixels.get());
    if (found == gl_state().textures.end() || found->second.name != font.texture) return;
    upload_ready_cells(*desc, found->second);
    font.has_all_glyphs = found->second.ready_seen == GuiFont::FontDesc::GLYPH_COUNT;
}

std::string GuiGlWidget::to_atlas_codes(CoreString const& text)
{
    std::string const source = text.std_string();
    std::string codes;
    codes.reserve(source.size());
    for (size_t at = 0; at < source.size();) {
        int const code = utf8_decode(source, at);
        codes.push_back(code >= 0 && code < 256 ? static_cast<char>(code) : '?');
    }
    return codes;
}

int GuiGlWidget::get_text_width(CoreString const& text) const
{
    if (!m_active_font) return 0;
    double width = 0.0;
    for (char const c : to_atlas_codes(text)) width += m_active_font->desc->advance[static_cast<signed char>(c) + 128];
    return static_cast<int>(std::lround(width));
}

int GuiGlWidget::get_text_height() const
{
    return m_active_font ? m_active_font->desc->size : 0;
}

CoreString GuiGlWidget::get_ellipsed_text(CoreString const& text, int const& width, TextEllipsis const& ellipsis) const
{
    if (!m_active_font || get_text_width(text) <= width) return text;
    std::string const codes = to_atlas_codes(text);
    double const* advance = m_active_font->desc->advance;
    auto const advance_of = [advance](char c) { return advance[static_cast<signed char>(c) + 128]; };
    std::string const mark = ellipsis == TEXT_ELLIPSIS_NONE ? std::string() : std::string("...");
    double available = width;
    for (char c : mark) available -= advance_of(c);
    // Keeps characters from the chosen ends while they fit beside the mark.
    size_t head = 0;
    size_t tail = 0;
    double used = 0.0;
    bool from_head = ellipsis != TEXT_ELLIPSIS_START;
    while (head + tail < codes.size()) {
        char const next = from_head ? codes[head] : codes[codes.size() - 1 - tail];
        if (used + advance_of(next) > available) break;
        used += advance_of(next);
        (from_head ? head : tail) += 1;
        if (ellipsis == TEXT_ELLIPSIS_MIDDLE) from_head = !from_head;
    }
    std::string result = codes.substr(0, head) + mark + codes.substr(codes.size() - tail);
    if (available < 0.0) result.clear();
    // Back to UTF-8 for the caller.
    std::string utf8;
    for (char c : result) {
        auto const code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            utf8.push_back(c);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return CoreString(utf8.c_str());
}

void GuiGlWidget::draw_text(CoreString const& text, int const& x, int const& y)
{
    static_cast<GuiGlWidgetDc&>(get_dc()).draw_text(text, static_cast<double>(x), static_cast<double>(y));
}

void GuiGlWidget::draw_framed_text(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                                   unsigned char const& g, unsigned char const& b, unsigned char const& back_r,
                                   unsigned char const& back_g, unsigned char const& back_b)
{
    static_cast<GuiGlWidgetDc&>(get_dc()).draw_text_with_rect(text, x, y, r, g, b, back_r, back_g, back_b, 2);
}

// OpenGL version ------------------------------------------------------------------------------------

void GuiGlWidget::set_version_query(GetIntegerFunction get_integer, GetErrorFunction get_error)
{
    gl_state().get_integer = get_integer;
    gl_state().get_error = get_error;
}

int GuiGlWidget::get_opengl_major_version_number()
{
    return query_version_number(GL_MAJOR_VERSION);
}

int GuiGlWidget::get_opengl_minor_version_number()
{
    return query_version_number(GL_MINOR_VERSION);
}

float GuiGlWidget::get_opengl_version_as_float()
{
    int const major = get_opengl_major_version_number();
    if (major < 1) return 0.0f;
    int const minor = get_opengl_minor_version_number();
    if (minor < 0 || minor > 9) return static_cast<float>(major);
    return static_cast<float>(major) + static_cast<float>(minor) * 0.1f;
}

CoreString GuiGlWidget::get_opengl_version_as_string()
{
    int const major = get_opengl_major_version_number();
    int const minor = get_opengl_minor_version_number();
    if (major < 1 || minor < 0 || minor > 9) return CoreString();
    CoreString text;
    text += major;
    text += ".";
    text += minor;
    return text;
}

bool GuiGlWidget::is_current_opengl_version_supported()
{
    float const version = get_opengl_version_as_float();
    if (version >= get_opengl_minimum_required_version_as_float() - 1e-6f) return true;
    if (version == 0.0f) {
        CORE_LOG_ERROR("GuiGlWidget.is_current_opengl_version_supported: Current OpenGL version is unsupported: failed to get version number.\n");
    } else {
        CORE_LOG_ERROR("GuiGlWidget.is_current_opengl_version_supported: Current OpenGL version " << get_opengl_version_as_string() << " is unsupported.\n");
    }
    CORE_LOG_ERROR("GuiGlWidget.is_current_opengl_version_supported: OpenGL minimum required version: " << "2.0" << ".\n");
    return false;
}

// Process-wide state -----------------------------------------------------------------------------------

CoreVector<GuiGlWidget*> const& GuiGlWidget::get_gl_widgets()
{
    return gl_state().widgets;
}

GlUtilsGlCtx& GuiGlWidget::get_gl_context()
{
    return gl_state().context;
}

unsigned int GuiGlWidget::get_gl_font_count()
{
    return static_cast<unsigned int>(gl_state().fonts.size());
}

void GuiGlWidget::inc_gl_list_count(unsigned int const& count)
{
    gl_state().list_count += count;
}

void GuiGlWidget::dec_gl_list_count(unsigned int const& count)
{
    GlState& state = gl_state();
    state.list_count -= std::min(count, state.list_count);
}

unsigned int GuiGlWidget::get_gl_list_count()
{
    return gl_state().list_count;
}
