#include <GL/glew.h>

#include "gui/gl/gui_gl_widget_dc.h"


#include <cmath>
#include <vector>

#include "host/core/core_log.h"
#include "host/glutils/glutils_program.h"

CORE_IMPLEMENT_CLASS(GuiGlWidgetDc, GuiDc)

namespace {

// Coverage from the distance field: the median of the three channels is the signed
// distance; its slope follows the screen-space size of a texel, so edges stay one pixel
// wide at every scale. Six extra samples in a rook pattern smooth small text.
char const* const FONT_SHADER_SOURCE = R"(#version 120
uniform sampler2D u_texture;
uniform vec2 u_textureSize;

float median(float r, float g, float b)
{
    return max(min(r, g), min(max(r, g), b));
}

float bias(float v, float b)
{
    return v / ((1.0 / (b - 2.0)) * (1.0 - v) + 1.0);
}

float coverage(vec2 pos, float mult)
{
    vec3 s = texture2D(u_texture, pos).rgb;
    float distance = median(s.r, s.g, s.b) - 0.5;
    return bias(clamp(distance * mult + 0.3, 0.0, 1.0), 0.9);
}

void main()
{
    vec2 pos = gl_TexCoord[0].xy;
    vec2 dx = dFdx(pos);
    vec2 dy = dFdy(pos);
    // Clamped so that zoomed-out text does not turn into blocks; kept above 0 so that a
    // texel larger than the screen does not divide by zero.
    float t = clamp(length(dx + dy), 1e-7, 0.002);
    vec2 pxRange = vec2(5.0);
    float mult = dot(pxRange / u_textureSize, 0.5 / vec2(t, t));
    vec3 c = texture2D(u_texture, pos).rgb;
    float reach = (5.0 / 12.0) * (length(dx) + length(dy)) * u_textureSize.x;
    if (median(c.r, c.g, c.b) + 0.125 * reach + 0.01 <= 0.5 - 0.3 / mult) discard;
    float centre = coverage(pos, mult);
    float sum = 0.0;
    sum += coverage(pos + ((5.0 + 0.5) / 6.0 - 0.5) * dx + ((0.0 + 0.5) / 6.0 - 0.5) * dy, mult);
    sum += coverage(pos + ((1.0 + 0.5) / 6.0 - 0.5) * dx + ((1.0 + 0.5) / 6.0 - 0.5) * dy, mult);
    sum += coverage(pos + ((3.0 + 0.5) / 6.0 - 0.5) * dx + ((2.0 + 0.5) / 6.0 - 0.5) * dy, mult);
    sum += coverage(pos + ((4.0 + 0.5) / 6.0 - 0.5) * dx + ((3.0 + 0.5) / 6.0 - 0.5) * dy, mult);
    sum += coverage(pos + ((0.0 + 0.5) / 6.0 - 0.5) * dx + ((4.0 + 0.5) / 6.0 - 0.5) * dy, mult);
    sum += coverage(pos + ((2.0 + 0.5) / 6.0 - 0.5) * dx + ((5.0 + 0.5) / 6.0 - 0.5) * dy, mult);
    float opacity = (centre + 0.5 * sum) / 4.0;
    gl_FragColor = vec4(gl_Color.rgb, gl_Color.a * opacity);
}
)";

// The viewport's width and height; false when either is below 1.
bool get_viewport(GLint& width, GLint& height)
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    width = viewport[2];
    height = viewport[3];
    return width >= 1 && height >= 1;
}

// Shared by every OpenGL widget; a driver that cannot build it will not later: said once.
GlLazyProgram& font_shader()
{
    static GlLazyProgram program("", FONT_SHADER_SOURCE, "font");
    return program;
}

}  // namespace

GuiGlWidgetDc::GuiGlWidgetDc(GuiGlWidget& widget) : GuiDc(widget) {}

char const* GuiGlWidgetDc::get_font_shader_source()
{
    return FONT_SHADER_SOURCE;
}

GlProgram* GuiGlWidgetDc::get_font_shader()
{
    return font_shader().get();
}

void GuiGlWidgetDc::destroy_font_shader()
{
    font_shader().destroy();
}

void GuiGlWidgetDc::forget_font_shader()
{
    font_shader().forget();
}

void GuiGlWidgetDc::clear(unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Batches ----------------------------------------------------------------------------------------

GuiGlBatch& GuiGlWidgetDc::begin_batch()
{
    ++m_batch_depth;
    return m_batch;
}

void GuiGlWidgetDc::push_scale_about(float const& x, float const& y, float const& factor)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glScalef(factor, factor, 1.0f);
    glTranslatef(-x, -y, 0.0f);
}

void GuiGlWidgetDc::pop_transform()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void GuiGlWidgetDc::end_batch()
{
    if (m_batch_depth == 0) {
        CORE_LOG_WARNING("GuiGlWidgetDc.end_batch: no batch is open\n");
        return;
    }
    if (--m_batch_depth == 0) m_batch.flush();
}

void GuiGlWidgetDc::submit()
{
    if (m_batch_depth == 0) m_batch.flush();
}

// Rectangles ----------------------------------------------------------------------------------

void GuiGlWidgetDc::draw_rect(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                              unsigned char const& g, unsigned char const& b)
{
    m_batch.load_gl_matrices();
    m_batch.set_color(r, g, b);
    m_batch.add_rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), static_cast<float>(h));
    submit();
}

void GuiGlWidgetDc::draw_rectf(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                               unsigned char const& g, unsigned char const& b)
{
    m_batch.load_gl_matrices();
    m_batch.set_color(r, g, b);
    m_batch.add_rectf(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), static_cast<float>(h));
    submit();
}

// Text ------------------------------------------------------------------------------------------

bool GuiGlWidgetDc::begin_2d(double const& x, double const& y)
{
    GLint width = 0;
    GLint height = 0;
    if (!get_viewport(width, height)) return false;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTranslated(x, height - y, 0.0);
    return true;
}

void GuiGlWidgetDc::end_2d()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void GuiGlWidgetDc::draw_glyphs(std::string const& codes)
{
    FontGlData* font = get_gl_widget().get_ready_active_font();
    if (codes.empty() || !font) return;
    m_batch.load_gl_matrices();
    m_batch.load_current_color();
    m_batch.add_glyphs(*font, codes, 0.0f, 0.0f);
    submit();
}

GMathVec3<int> GuiGlWidgetDc::draw_text(CoreString const& text, int const& width,
                                        GuiGlWidget::TextEllipsis const& ellipsis, GuiWidget::Justify const& justify,
                                        int const& box_width, float const& scale, bool scale_font, int max_size)
{
    GuiGlWidget& widget = get_gl_widget();
    GuiFont& font = get_font();
    int const base = font.get_size();
    int target = base;
    double limit = width;
    bool const rescaled = scale_font && std::fabs(scale - 1.0f) > 1e-8f;
    if (rescaled) {
        if (max_size - 1 < 4) return GMathVec3<int>(0, 0, 0);
        target = std::min(static_cast<int>(std::lround(base * scale)), max_size - 1);
        font.set_size(target);
        limit = width * static_cast<double>(target) / base;
    }
    widget.set_active_font(font);
    GMathVec3<int> drawn(0, 0, 0);
    if (limit >= 0.0 && widget.get_active_font()) {
        CoreString const shown =
            limit > 0.0 ? widget.get_ellipsed_text(text, static_cast<int>(limit), ellipsis) : text;
        int const text_width = widget.get_text_width(shown);
        int const box_text_width = static_cast<int>(std::lround(text_width * static_cast<double>(base) / target));
        glPushMatrix();
        if (justify == GuiWidget::JUSTIFY_RIGHT)
            glTranslated(box_width - box_text_width, 0.0, 0.0);
        else if (justify == GuiWidget::JUSTIFY_CENTER)
            glTranslated((box_width - box_text_width) / 2.0, 0.0, 0.0);
        if (!rescaled && scale != 1.0f) glScalef(scale, scale, 1.0f);
        std::string const codes = GuiGlWidget::to_atlas_codes(shown);
        draw_glyphs(codes);
        glPopMatrix();
        float const shown_scale = rescaled ? 1.0f : scale;
        drawn = GMathVec3<int>(static_cast<int>(std::lround(text_width * shown_scale)),
                               static_cast<int>(std::lround(widget.get_text_height() * shown_scale)),
                               static_cast<int>(codes.size()));
    }
    font.set_size(base);
    if (rescaled) widget.set_active_font(font);
    return drawn;
}

void GuiGlWidgetDc::draw_text(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                              unsigned char const& g, unsigned char const& b)
{
    if (!begin_2d(x, y)) return;
    glColor3ub(r, g, b);
    draw_text(text, 0, GuiGlWidget::TEXT_ELLIPSIS_NONE, GuiWidget::JUSTIFY_LEFT, 0, 1.0f, false, 0);
    end_2d();
}

void GuiGlWidgetDc::draw_text(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                              unsigned char const& g, unsigned char const& b, int const& width,
                              GuiGlWidget::TextEllipsis const& ellipsis)
{
    if (!begin_2d(x, y)) return;
    glColor3ub(r, g, b);
    draw_text(text, width, ellipsis, GuiWidget::JUSTIFY_LEFT, 0, 1.0f, false, 0);
    end_2d();
}

void GuiGlWidgetDc::draw_text(CoreString const& text, double const& x, double const& y)
{
    GLfloat color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glGetFloatv(GL_CURRENT_COLOR, color);
    if (!begin_2d(x, y)) return;
    glColor4fv(color);
    draw_text(text, 0, GuiGlWidget::TEXT_ELLIPSIS_NONE, GuiWidget::JUSTIFY_LEFT, 0, 1.0f, false, 0);
    end_2d();
}

void GuiGlWidgetDc::draw_text(CoreString const& text, int const& x, int const& y, int const& w, int const& h,
                              unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    // Capitals are about 0.7 of the size high: centre them.
    int const size = get_font().get_size();
    int const baseline = y + (h + static_cast<int>(std::lround(size * 0.7))) / 2;
    draw_text(text, x, baseline, r, g, b, w, GuiGlWidget::TEXT_ELLIPSIS_END);
}

void GuiGlWidgetDc::draw_text_with_rect(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                                        unsigned char const& g, unsigned char const& b, unsigned char const& back_r,
                                        unsigned char const& back_g, unsigned char const& back_b,
                                        unsigned int margin)
{
    GuiGlWidget& widget = get_gl_widget();
    widget.set_active_font(get_font());
    if (!widget.get_active_font() || !begin_2d(x, y)) return;
    int const width = widget.get_text_width(text);
    int const height = widget.get_text_height();
    // The font's height from a little below the baseline, where descenders end.
    double const below = height * 0.25;
    double const m = margin;
    m_batch.load_gl_matrices();
    m_batch.set_color(back_r, back_g, back_b);
    m_batch.add_rectf(static_cast<float>(-m), static_cast<float>(-below - m), static_cast<float>(width + 2 * m),
                      static_cast<float>(height + 2 * m));
    glColor3ub(r, g, b);
    draw_text(text, 0, GuiGlWidget::TEXT_ELLIPSIS_NONE, GuiWidget::JUSTIFY_LEFT, 0, 1.0f, false, 0);
    end_2d();
}

void GuiGlWidgetDc::draw_text_with_outline(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                                           unsigned char const& g, unsigned char const& b,
                                           unsigned char const& outline_r, unsigned char const& outline_g,
                                           unsigned char const& outline_b, double alpha)
{
    GuiFont& font = get_font();
    GuiFont::Weight const weight = font.get_weight();
    font.set_weight(GuiFont::WEIGHT_BOLD);
    double const d = 1.5;
    double const diagonal = 1.5 / std::sqrt(2.0);
    double const offsets[8][2] = {{d, 0.0},           {-d, 0.0},         {0.0, d},          {0.0, -d},
                                  {diagonal, diagonal}, {-diagonal, diagonal}, {-diagonal, -diagonal},
                                  {diagonal, -diagonal}};
    glColor3ub(outline_r, outline_g, outline_b);
    for (auto const& offset : offsets) draw_text(text, x + offset[0], y + offset[1]);
    glColor4f(r / 255.0f, g / 255.0f, b / 255.0f, static_cast<float>(alpha));
    draw_text(text, static_cast<double>(x), static_cast<double>(y));
    font.set_weight(weight);
}

// Batched text -------------------------------------------------------------------------------------

void GuiGlWidgetDc::fast_draw_text_begin()
{
    GuiGlWidget& widget = get_gl_widget();
    widget.set_active_font(get_font());
    m_fast_drawing = begin_2d(0.0, 0.0);
    m_fast_font = m_fast_drawing ? widget.get_ready_active_font() : nullptr;
    if (!m_fast_font) return;
    begin_batch();
    // The projection stays the same until the end; only the model-view moves per label.
    m_batch.load_projection();
}

void GuiGlWidgetDc::fast_draw_text(CoreString const& text)
{
    if (!m_fast_font) return;
    m_batch.load_model_view();
    m_batch.load_current_color();
    m_batch.add_glyphs(*m_fast_font, GuiGlWidget::to_atlas_codes(text), 0.0f, 0.0f);
}

void GuiGlWidgetDc::fast_draw_text_end()
{
    if (m_fast_font) end_batch();
    if (m_fast_drawing) end_2d();
    m_fast_drawing = false;
    m_fast_font = nullptr;
}

void GuiGlWidgetDc::draw_font_texture()
{
    GuiGlWidget& widget = get_gl_widget();
    widget.set_active_font(get_font());
    if (!widget.use_active_font() || !begin_2d(50.0, 100.0)) return;
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    double const size = 512.0;
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 1.0);
    glVertex2d(0.0, -size);
    glTexCoord2d(1.0, 1.0);
    glVertex2d(size, -size);
    glTexCoord2d(1.0, 0.0);
    glVertex2d(size, 0.0);
    glTexCoord2d(0.0, 0.0);
    glVertex2d(0.0, 0.0);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
    end_2d();
}
