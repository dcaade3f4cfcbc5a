#include <GL/glew.h>

#include "gui/gl/gui_gl_batch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "gui/core/gui_font.h"
#include "gui/core/gui_font_atlas.h"
#include "gui/gl/gui_gl_curve.h"
#include "gui/gl/gui_gl_text_cache.h"
#include "gui/gl/gui_gl_widget.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "host/glutils/glutils_program.h"

namespace {

constexpr float PI = 3.14159265358979f;
// Largest distance, in pixels, between an arc and the chords that stand for it.
constexpr float ARC_TOLERANCE = 0.25f;
constexpr int MAX_ARC_SEGMENTS = 256;

// One vertex buffer serves every batch of the shared context: batches draw one at a time on
// the drawing thread. It only grows, so a steady frame rate reuses the same memory; client
// arrays would make the driver copy into freshly mapped memory at every flush.
GLuint s_buffer = 0;
size_t s_buffer_size = 0;

}  // namespace

GuiGlBatch::~GuiGlBatch()
{
    if (m_holds_text_cache) clear();
}

// State -------------------------------------------------------------------------------------------

void GuiGlBatch::set_color(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
{
    m_color[0] = r;
    m_color[1] = g;
    m_color[2] = b;
    m_color[3] = a;
}

void GuiGlBatch::load_current_color()
{
    GLfloat color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glGetFloatv(GL_CURRENT_COLOR, color);
    for (int i = 0; i < 4; ++i)
        m_color[i] = static_cast<uint8_t>(std::lround(std::clamp(color[i], 0.0f, 1.0f) * 255.0f));
}

void GuiGlBatch::set_line_width(float width)
{
    m_line_width = width > 0.0f ? width : 1.0f;
}

void GuiGlBatch::set_transform(float const (&matrix)[16])
{
    std::memcpy(m_matrix, matrix, sizeof(m_matrix));
    static float const identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m_identity = std::memcmp(m_matrix, identity, sizeof(m_matrix)) == 0;
    update_view_matrix();
}

void GuiGlBatch::update_view_matrix()
{
    if (!m_has_projection) return;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += m_projection[k * 4 + row] * m_matrix[column * 4 + k];
            m_view[column * 4 + row] = sum;
        }
}

bool GuiGlBatch::is_outside_view(float x0, float y0, float x1, float y1) const
{
    if (!m_has_projection || !m_culling) return false;
    // Outside when every corner lies beyond the same side of the clip volume.
    int outside[4] = {0, 0, 0, 0};
    float const xs[2] = {x0, x1};
    float const ys[2] = {y0, y1};
    float const* m = m_view;
    for (float x : xs)
        for (float y : ys) {
            float const cx = m[0] * x + m[4] * y + m[12];
            float const cy = m[1] * x + m[5] * y + m[13];
            float const cw = m[3] * x + m[7] * y + m[15];
            outside[0] += cx > cw;
            outside[1] += cx < -cw;
            outside[2] += cy > cw;
            outside[3] += cy < -cw;
        }
    return outside[0] == 4 || outside[1] == 4 || outside[2] == 4 || outside[3] == 4;
}

bool GuiGlBatch::is_outside_view(Point const* points, size_t count) const
{
    if (!m_has_projection || !m_culling || count == 0) return false;
    float x0 = points[0].x, y0 = points[0].y, x1 = x0, y1 = y0;
    for (size_t i = 1; i < count; ++i) {
        x0 = std::min(x0, points[i].x);
        x1 = std::max(x1, points[i].x);
        y0 = std::min(y0, points[i].y);
        y1 = std::max(y1, points[i].y);
    }
    return is_outside_view(x0, y0, x1, y1);
}

void GuiGlBatch::reset_transform()
{
    float const identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    set_transform(identity);
}

void GuiGlBatch::load_model_view()
{
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    set_transform(matrix);
}

void GuiGlBatch::load_projection()
{
    glGetFloatv(GL_PROJECTION_MATRIX, m_projection);
    glGetIntegerv(GL_VIEWPORT, m_viewport);
    m_has_projection = true;
    update_view_matrix();
}

void GuiGlBatch::load_gl_matrices()
{
    load_model_view();
    load_projection();
}

void GuiGlBatch::set_clip(int x, int y, int w, int h)
{
    m_clip[0] = x;
    m_clip[1] = y;
    m_clip[2] = std::max(w, 0);
    m_clip[3] = std::max(h, 0);
    m_clipped = true;
}

void GuiGlBatch::clear_clip()
{
    m_clipped = false;
}

// Runs and vertices -------------------------------------------------------------------------------

void GuiGlBatch::use_run(Kind kind, unsigned int texture, float texture_size)
{
    if (!m_runs.empty()) {
        Run const& last = m_runs.back();
        bool same = last.kind == kind && last.texture == texture && last.clipped == m_clipped &&
                    last.has_projection == m_has_projection;
        if (same && kind == Kind::LINE_STRIPS) same = last.line_width == m_line_width;
        if (same && m_clipped) same = std::memcmp(last.clip, m_clip, sizeof(m_clip)) == 0;
        if (same && m_has_projection) same = std::memcmp(last.projection, m_projection, sizeof(m_projection)) == 0;
        if (same) return;
    }
    Run run{};
    run.kind = kind;
    run.texture = texture;
    run.texture_size = texture_size;
    run.line_width = m_line_width;
    std::memcpy(run.clip, m_clip, sizeof(m_clip));
    run.clipped = m_clipped;
    std::memcpy(run.projection, m_projection, sizeof(m_projection));
    run.has_projection = m_has_projection;
    run.first = m_vertices.size();
    run.first_strip = m_strip_firsts.size();
    m_runs.push_back(run);
}

void GuiGlBatch::push(float x, float y, float s, float t)
{
    Vertex v;
    if (m_identity) {
        v.x = x;
        v.y = y;
        v.z = 0.0f;
    } else {
        float const* m = m_matrix;
        v.x = m[0] * x + m[4] * y + m[12];
        v.y = m[1] * x + m[5] * y + m[13];
        v.z = m[2] * x + m[6] * y + m[14];
    }
    v.s = s;
    v.t = t;
    std::memcpy(v.rgba, m_color, sizeof(m_color));
    m_vertices.push_back(v);
}

// Shapes ------------------------------------------------------------------------------------------

void GuiGlBatch::add_rectf(float x, float y, float w, float h)
{
    if (is_outside_view(x, y, x + w, y + h)) return;
    use_run(Kind::TRIANGLES);
    push(x, y);
    push(x + w, y);
    push(x + w, y + h);
    push(x, y);
    push(x + w, y + h);
    push(x, y + h);
}

void GuiGlBatch::add_rect(float x, float y, float w, float h)
{
    if (w < 0.0f) {
        w = -w;
        x -= w;
    }
    if (h < 0.0f) {
        h = -h;
        y -= h;
    }
    // The strip of the toolkit's own gl_rect: each side leaves its last pixel to the next,
    // and the final side runs one further to close the corner it starts from.
    Point const points[5] = {{x + w - 1, y + h - 1}, {x + w - 1, y}, {x, y}, {x, y + h - 1}, {x + w, y + h - 1}};
    add_polyline(points, 5, false);
}

void GuiGlBatch::add_line(float x0, float y0, float x1, float y1)
{
    Point const points[2] = {{x0, y0}, {x1, y1}};
    add_polyline(points, 2, false);
}

void GuiGlBatch::add_polyline(Point const* points, size_t count, bool closed)
{
    if (!points || count < 2 || is_outside_view(points, count)) return;
    use_run(Kind::LINE_STRIPS);
    m_strip_firsts.push_back(static_cast<int>(m_vertices.size()));
    for (size_t i = 0; i < count; ++i) push(points[i].x, points[i].y);
    if (closed && count > 2) push(points[0].x, points[0].y);
    m_strip_counts.push_back(static_cast<int>(m_vertices.size()) - m_strip_firsts.back());
}

void GuiGlBatch::add_triangle(Point const& a, Point const& b, Point const& c)
{
    Point const corners[3] = {a, b, c};
    if (is_outside_view(corners, 3)) return;
    use_run(Kind::TRIANGLES);
    push(a.x, a.y);
    push(b.x, b.y);
    push(c.x, c.y);
}

void GuiGlBatch::add_polygonf(Point const* points, size_t count)
{
    if (!points || count < 3 || is_outside_view(points, count)) return;
    use_run(Kind::TRIANGLES);
    for (size_t i = 1; i + 1 < count; ++i) {
        push(points[0].x, points[0].y);
        push(points[i].x, points[i].y);
        push(points[i + 1].x, points[i + 1].y);
    }
}

int GuiGlBatch::get_arc_segment_count(float radius, float angle)
{
    if (!(radius > ARC_TOLERANCE) || !(angle > 0.0f)) return 1;
    float const step = 2.0f * std::acos(1.0f - ARC_TOLERANCE / radius);
    return std::clamp(static_cast<int>(std::ceil(angle / step)), 1, MAX_ARC_SEGMENTS);
}

float GuiGlBatch::get_scale() const
{
    // The transform's mean stretch: radii are given in its units, tolerances are in pixels.
    return std::sqrt(std::fabs(m_matrix[0] * m_matrix[5] - m_matrix[1] * m_matrix[4]));
}

void GuiGlBatch::append_arc(std::vector<Point>& out, float cx, float cy, float radius, float a0, float a1,
                            int segments)
{
    for (int i = 0; i <= segments; ++i) {
        float const a = a0 + (a1 - a0) * static_cast<float>(i) / static_cast<float>(segments);
        out.push_back(Point{cx + radius * std::cos(a), cy + radius * std::sin(a)});
    }
}

void GuiGlBatch::rounded_outline(std::vector<Point>& out, float x, float y, float w, float h, float radius) const
{
    radius = std::clamp(radius, 0.0f, std::min(std::fabs(w), std::fabs(h)) / 2.0f);
    int const segments = radius > 0.0f ? get_arc_segment_count(radius * get_scale(), PI / 2.0f) : 0;
    rounded_outline(out, x, y, w, h, radius, segments);
}

void GuiGlBatch::rounded_outline(std::vector<Point>& out, float x, float y, float w, float h, float radius,
                                 int segments)
{
    out.clear();
    radius = std::clamp(radius, 0.0f, std::min(std::fabs(w), std::fabs(h)) / 2.0f);
    if (segments <= 0) {
        out.assign({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}});
        return;
    }
    float const r = radius;
    append_arc(out, x + w - r, y + r, r, -PI / 2.0f, 0.0f, segments);
    append_arc(out, x + w - r, y + h - r, r, 0.0f, PI / 2.0f, segments);
    append_arc(out, x + r, y + h - r, r, PI / 2.0f, PI, segments);
    append_arc(out, x + r, y + r, r, PI, 1.5f * PI, segments);
}

void GuiGlBatch::add_band(std::vector<Point> const& outer, std::vector<Point> const& inner)
{
    size_t const count = std::min(outer.size(), inner.size());
    for (size_t i = 0; i < count; ++i) {
        size_t const next = (i + 1) % count;
        add_triangle(outer[i], outer[next], inner[next]);
        add_triangle(outer[i], inner[next], inner[i]);
    }
}

void GuiGlBatch::add_rounded_framef(float x, float y, float w, float h, float radius, float thickness)
{
    if (!(thickness > 0.0f) || is_outside_view(x, y, x + w, y + h)) return;
    // A frame thicker than half the box fills it.
    if (2.0f * thickness >= std::min(std::fabs(w), std::fabs(h))) {
        add_rounded_rectf(x, y, w, h, radius);
        return;
    }
    radius = std::clamp(radius, 0.0f, std::min(std::fabs(w), std::fabs(h)) / 2.0f);
    int const segments = radius > 0.0f ? get_arc_segment_count(radius * get_scale(), PI / 2.0f) : 0;
    std::vector<Point> outer;
    std::vector<Point> inner;
    rounded_outline(outer, x, y, w, h, radius, segments);
    // The inner edge follows the outer one at the band's distance: its corners are tighter.
    rounded_outline(inner, x + thickness, y + thickness, w - 2.0f * thickness, h - 2.0f * thickness,
                    std::max(radius - thickness, 0.0f), segments);
    if (segments > 0 && radius <= thickness) {
        // The inner corners are sharp: each arc collapses onto its corner point.
        float const ix0 = x + thickness, iy0 = y + thickness, ix1 = x + w - thickness, iy1 = y + h - thickness;
        Point const corners[4] = {{ix1, iy0}, {ix1, iy1}, {ix0, iy1}, {ix0, iy0}};
        size_t const per_corner = static_cast<size_t>(segments) + 1;
        inner.clear();
        for (Point const& corner : corners) inner.insert(inner.end(), per_corner, corner);
    }
    add_band(outer, inner);
}

void GuiGlBatch::add_ringf(float cx, float cy, float inner_radius, float outer_radius)
{
    if (inner_radius > outer_radius) std::swap(inner_radius, outer_radius);
    if (!(outer_radius > 0.0f) || is_outside_view(cx - outer_radius, cy - outer_radius, cx + outer_radius, cy + outer_radius))
        return;
    if (inner_radius <= 0.0f) {
        add_circlef(cx, cy, outer_radius);
        return;
    }
    int const segments = std::max(get_arc_segment_count(outer_radius * get_scale(), 2.0f * PI), 8);
    std::vector<Point> outer;
    std::vector<Point> inner;
    append_arc(outer, cx, cy, outer_radius, 0.0f, 2.0f * PI, segments);
    append_arc(inner, cx, cy, inner_radius, 0.0f, 2.0f * PI, segments);
    outer.pop_back();  // the first point again
    inner.pop_back();
    add_band(outer, inner);
}

void GuiGlBatch::add_rounded_rectf(float x, float y, float w, float h, float radius)
{
    if (is_outside_view(x, y, x + w, y + h)) return;
    rounded_outline(m_scratch, x, y, w, h, radius);
    add_polygonf(m_scratch.data(), m_scratch.size());
}

void GuiGlBatch::add_rounded_rect(float x, float y, float w, float h, float radius)
{
    if (is_outside_view(x, y, x + w, y + h)) return;
    rounded_outline(m_scratch, x, y, w, h, radius);
    add_polyline(m_scratch.data(), m_scratch.size(), true);
}

void GuiGlBatch::add_circlef(float cx, float cy, float radius)
{
    if (!(radius > 0.0f) || is_outside_view(cx - radius, cy - radius, cx + radius, cy + radius)) return;
    m_scratch.clear();
    int const segments = std::max(get_arc_segment_count(radius * get_scale(), 2.0f * PI), 8);
    append_arc(m_scratch, cx, cy, radius, 0.0f, 2.0f * PI, segments);
    m_scratch.pop_back();  // the first point again
    add_polygonf(m_scratch.data(), m_scratch.size());
}

void GuiGlBatch::add_circle(float cx, float cy, float radius)
{
    if (!(radius > 0.0f) || is_outside_view(cx - radius, cy - radius, cx + radius, cy + radius)) return;
    m_scratch.clear();
    int const segments = std::max(get_arc_segment_count(radius * get_scale(), 2.0f * PI), 8);
    append_arc(m_scratch, cx, cy, radius, 0.0f, 2.0f * PI, segments);
    m_scratch.pop_back();
    add_polyline(m_scratch.data(), m_scratch.size(), true);
}

void GuiGlBatch::add_curve(GuiGlCurve const& curve)
{
    // The curve lies inside its control points' hull: no need to tessellate a hidden one.
    Point const hull[4] = {curve.get_control_point(0), curve.get_control_point(1), curve.get_control_point(2),
                           curve.get_control_point(3)};
    if (is_outside_view(hull, 4)) return;
    // A quarter pixel on screen, in the curve's units.
    float const scale = get_scale();
    std::vector<Point> const& points = curve.get_points(scale > 0.0f ? 0.25f / scale : GuiGlCurve::DEFAULT_TOLERANCE);
    add_polyline(points.data(), points.size(), false);
}

template <typename Use>
float GuiGlBatch::for_each_glyph_quad(FontGlData const& font, std::string const& codes, float x, float y, Use&& use)
{
    GuiFont::FontDesc const& desc = *font.desc;
    float const atlas = static_cast<float>(desc.atlas_size);
    // Cell extents are in atlas pixels at the base size; the metrics are at the font's size.
    float const to_atlas = static_cast<float>(GuiFontAtlas::BASE_SIZE) / static_cast<float>(std::max(desc.size, 1));
    float const texel = 1.0f / atlas;
    float pen = x;
    for (char const c : codes) {
        int const i = static_cast<signed char>(c) + 128;
        float const width = static_cast<float>(desc.width[i]);
        float const height = static_cast<float>(desc.height[i]);
        if (width > 0.0f && height > 0.0f) {
            GlyphQuad quad;
            quad.s0 = static_cast<float>(GuiFontAtlas::get_cell_x(i)) * texel;
            quad.t0 = static_cast<float>(GuiFontAtlas::get_cell_y(i)) * texel;
            quad.s1 = quad.s0 + width * to_atlas * texel;
            quad.t1 = quad.t0 + height * to_atlas * texel;
            quad.x0 = pen + static_cast<float>(desc.left[i]);
            quad.x1 = quad.x0 + width;
            quad.y0 = y + static_cast<float>(desc.bottom[i]);
            quad.y1 = quad.y0 + height;
            use(quad);
        }
        pen += static_cast<float>(desc.advance[i]);
    }
    return pen - x;
}

float GuiGlBatch::add_glyphs(FontGlData const& font, std::string const& codes, float x, float y)
{
    GuiFont::FontDesc const* desc = font.desc;
    if (!desc || font.texture == 0 || desc->atlas_size <= 0) return 0.0f;
    if (m_has_projection && m_culling) {
        // The line's box: from the lowest glyph bottom to the font's size above the baseline.
        float advance = 0.0f;
        float low = 0.0f;
        for (char const c : codes) {
            int const i = static_cast<signed char>(c) + 128;
            advance += static_cast<float>(desc->advance[i]);
            low = std::min(low, static_cast<float>(desc->bottom[i]));
        }
        float const top = static_cast<float>(desc->size) * 1.5f;
        if (is_outside_view(x - top, y + low, x + advance + top, y + top)) return advance;
    }
    // Fields still in the making: this text's are made now, or waited for.
    GuiGlWidget::make_font_glyphs(font, codes);
    float advance = 0.0f;
    if (add_cached_text(font, codes, x, y, advance)) return advance;
    use_run(Kind::GLYPHS, font.texture, static_cast<float>(desc->atlas_size));
    return for_each_glyph_quad(font, codes, x, y, [this](GlyphQuad const& quad) {
        // Atlas rows run from the top: the cell's first row is the glyph's top.
        push(quad.x0, quad.y0, quad.s0, quad.t1);
        push(quad.x1, quad.y0, quad.s1, quad.t1);
        push(quad.x1, quad.y1, quad.s1, quad.t0);
        push(quad.x0, quad.y1, quad.s0, quad.t0);
    });
}

bool GuiGlBatch::add_cached_text(FontGlData const& font, std::string const& codes, float x, float y,
                                 float& advance)
{
    GuiGlTextCache& cache = GuiGlTextCache::get();
    if (!m_has_projection || !cache.is_enabled() || codes.empty() || m_viewport[2] <= 0 || m_viewport[3] <= 0)
        return false;
    // Window pixels per font unit: the text must be drawn unrotated, at one scale, y upwards.
    float const* m = m_view;
    if (m[3] != 0.0f || m[7] != 0.0f || m[15] != 1.0f || m[1] != 0.0f || m[4] != 0.0f) return false;
    float const half_w = 0.5f * static_cast<float>(m_viewport[2]);
    float const half_h = 0.5f * static_cast<float>(m_viewport[3]);
    float const scale = m[0] * half_w;
    if (!(scale > 0.0f) || std::fabs(scale - m[5] * half_h) > 1e-4f * scale) return false;
    // The pen's origin in window pixels, split into its pixel and eighths of a pixel.
    float const px = static_cast<float>(m_viewport[0]) + (m[0] * x + m[12] + 1.0f) * half_w;
    float const py = static_cast<float>(m_viewport[1]) + (m[5] * y + m[13] + 1.0f) * half_h;
    float const ox = std::floor(px);
    float const oy = std::floor(py);
    long const eighth_x = std::lround((px - ox) * 8.0f);
    long const eighth_y = std::lround((py - oy) * 8.0f);
    float const fx = static_cast<float>(eighth_x) / 8.0f;
    float const fy = static_cast<float>(eighth_y) / 8.0f;
    // The glyph quads in pixels from the origin's pixel, and the whole pixels around them.
    GuiFont::FontDesc const& desc = *font.desc;
    m_scratch_quads.clear();
    float const pen_advance =
        for_each_glyph_quad(font, codes, 0.0f, 0.0f, [this](GlyphQuad const& quad) { m_scratch_quads.push_back(quad); });
    if (m_scratch_quads.empty()) return false;
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    for (GlyphQuad& quad : m_scratch_quads) {
        quad.x0 = fx + quad.x0 * scale;
        quad.x1 = fx + quad.x1 * scale;
        quad.y0 = fy + quad.y0 * scale;
        quad.y1 = fy + quad.y1 * scale;
        x0 = std::min(x0, quad.x0);
        y0 = std::min(y0, quad.y0);
        x1 = std::max(x1, quad.x1);
        y1 = std::max(y1, quad.y1);
    }
    int const box_x = static_cast<int>(std::floor(x0));
    int const box_y = static_cast<int>(std::floor(y0));
    int const box_w = static_cast<int>(std::ceil(x1)) - box_x;
    int const box_h = static_cast<int>(std::ceil(y1)) - box_y;

    GuiGlTextCache::Key key;
    key.font = &font;
    key.texture = font.texture;
    key.codes = codes;
    key.scale = static_cast<int32_t>(std::lround(scale * 4096.0f));
    key.fraction_x = static_cast<uint8_t>(eighth_x);
    key.fraction_y = static_cast<uint8_t>(eighth_y);
    GuiGlTextCache::Place place;
    if (!cache.find(key, box_w, box_h, place)) return false;
    if (!m_holds_text_cache) {
        cache.hold();
        m_holds_text_cache = true;
    }
    float const page = static_cast<float>(cache.get_page_size());
    if (place.needs_fill) {
        m_placed.push_back(place.entry);
        m_placed_generation = cache.get_generation();
        if (m_fills.empty() || m_fills.back().page != place.texture || m_fills.back().font_texture != font.texture)
            m_fills.push_back(
                Fill{place.texture, font.texture, static_cast<float>(desc.atlas_size), m_fill_vertices.size()});
        // The glyphs at the same place inside their pixels as on screen.
        float const dx = static_cast<float>(place.x - box_x);
        float const dy = static_cast<float>(place.y - box_y);
        auto const fill = [this](float vx, float vy, float s, float t) {
            m_fill_vertices.push_back(Vertex{vx, vy, 0.0f, s, t, {255, 255, 255, 255}});
        };
        for (GlyphQuad const& quad : m_scratch_quads) {
            fill(dx + quad.x0, dy + quad.y0, quad.s0, quad.t1);
            fill(dx + quad.x1, dy + quad.y0, quad.s1, quad.t1);
            fill(dx + quad.x1, dy + quad.y1, quad.s1, quad.t0);
            fill(dx + quad.x0, dy + quad.y1, quad.s0, quad.t0);
        }
    }
    // One quad whose corners fall on the box's pixels, back in the caller's units.
    use_run(Kind::CACHED_TEXTS, place.texture);
    float const left = x + (ox + static_cast<float>(box_x) - px) / scale;
    float const bottom = y + (oy + static_cast<float>(box_y) - py) / scale;
    float const right = left + static_cast<float>(box_w) / scale;
    float const top = bottom + static_cast<float>(box_h) / scale;
    float const s0 = static_cast<float>(place.x) / page;
    float const t0 = static_cast<float>(place.y) / page;
    float const s1 = static_cast<float>(place.x + box_w) / page;
    float const t1 = static_cast<float>(place.y + box_h) / page;
    push(left, bottom, s0, t0);
    push(right, bottom, s1, t0);
    push(right, top, s1, t1);
    push(left, top, s0, t1);
    advance = pen_advance;
    return true;
}

void GuiGlBatch::add_image(unsigned int const& texture, float x, float y, float w, float h)
{
    if (texture == 0 || is_outside_view(x, y, x + w, y + h)) return;
    use_run(Kind::IMAGES, texture);
    push(x, y, 0.0f, 1.0f);
    push(x + w, y, 1.0f, 1.0f);
    push(x + w, y + h, 1.0f, 0.0f);
    push(x, y + h, 0.0f, 0.0f);
}

// Drawing -----------------------------------------------------------------------------------------

void GuiGlBatch::forget_gl_resources()
{
    s_buffer = 0;
    s_buffer_size = 0;
    GuiGlTextCache::get().forget_gl_resources();
}

void GuiGlBatch::clear()
{
    m_vertices.clear();
    m_runs.clear();
    m_strip_firsts.clear();
    m_strip_counts.clear();
    m_fill_vertices.clear();
    m_fills.clear();
    if (m_holds_text_cache) {
        GuiGlTextCache& cache = GuiGlTextCache::get();
        // Texts placed in the cache for this batch were never rendered into their pages.
        if (!m_placed.empty()) cache.give_back(m_placed, m_placed_generation);
        m_placed.clear();
        cache.release();
        m_holds_text_cache = false;
    }
}

void GuiGlBatch::flush()
{
    m_last_draw_calls = 0;
    if (m_vertices.empty()) {
        m_runs.clear();
        return;
    }
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    GLboolean const scissored = glIsEnabled(GL_SCISSOR_TEST);
    GLint scissor[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_TEXTURE_BIT |
                 GL_SCISSOR_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glActiveTexture(GL_TEXTURE0);
    glClientActiveTexture(GL_TEXTURE0);
    GLint bound_buffer = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound_buffer);
    if (s_buffer == 0) glGenBuffers(1, &s_buffer);
    glBindBuffer(GL_ARRAY_BUFFER, s_buffer);
    // The texts new to the cache follow the frame's vertices.
    size_t const bytes = m_vertices.size() * sizeof(Vertex);
    size_t const fill_bytes = m_fill_vertices.size() * sizeof(Vertex);
    if (bytes + fill_bytes > s_buffer_size) {
        s_buffer_size = std::max(bytes + fill_bytes, s_buffer_size * 2);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(s_buffer_size), nullptr, GL_STREAM_DRAW);
    }
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), m_vertices.data());
    if (fill_bytes > 0)
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(bytes), static_cast<GLsizeiptr>(fill_bytes),
                        m_fill_vertices.data());
    // With a buffer bound, the pointers are offsets into it.
    auto const offset = [](size_t bytes) { return reinterpret_cast<void const*>(bytes); };
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), offset(offsetof(Vertex, x)));
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), offset(offsetof(Vertex, rgba)));
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), offset(offsetof(Vertex, s)));

    if (!m_fills.empty()) render_fills(m_vertices.size());

    float const* projection = nullptr;
    for (size_t r = 0; r < m_runs.size(); ++r) {
        Run const& run = m_runs[r];
        size_t const end = r + 1 < m_runs.size() ? m_runs[r + 1].first : m_vertices.size();
        if (end <= run.first) continue;
        if (run.has_projection && (!projection || std::memcmp(projection, run.projection, sizeof(run.projection)))) {
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(run.projection);
            glMatrixMode(GL_MODELVIEW);
            projection = run.projection;
        }
        if (run.clipped) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(run.clip[0], run.clip[1], run.clip[2], run.clip[3]);
        } else if (scissored) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(scissor[0], scissor[1], scissor[2], scissor[3]);
        } else {
            glDisable(GL_SCISSOR_TEST);
        }
        if (run.kind == Kind::IMAGES) {
            glUseProgram(0);
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, run.texture);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        } else if (run.kind == Kind::GLYPHS || run.kind == Kind::CACHED_TEXTS) {
            // Glyphs go through the distance-field program, cached texts through the page's.
            bool const glyphs = run.kind == Kind::GLYPHS;
            GlProgram* const program =
                glyphs ? GuiGlWidgetDc::get_font_shader() : GuiGlTextCache::get().get_page_shader();
            if (!program) continue;
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, run.texture);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            program->use();
            program->set_uniform("u_texture", 0);
            if (glyphs) program->set_uniform("u_textureSize", run.texture_size, run.texture_size);
        } else {
            glUseProgram(0);
            glDisable(GL_TEXTURE_2D);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            glLineWidth(run.line_width);
        }
        if (run.kind == Kind::LINE_STRIPS) {
            size_t const end_strip = r + 1 < m_runs.size() ? m_runs[r + 1].first_strip : m_strip_firsts.size();
            glMultiDrawArrays(GL_LINE_STRIP, m_strip_firsts.data() + run.first_strip,
                              m_strip_counts.data() + run.first_strip,
                              static_cast<GLsizei>(end_strip - run.first_strip));
        } else {
            glDrawArrays(run.kind == Kind::TRIANGLES ? GL_TRIANGLES : GL_QUADS, static_cast<GLint>(run.first),
                         static_cast<GLsizei>(end - run.first));
        }
        ++m_last_draw_calls;
    }
    glUseProgram(static_cast<GLuint>(program));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(bound_buffer));
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
    clear();
}

void GuiGlBatch::render_fills(size_t base)
{
    GuiGlTextCache& cache = GuiGlTextCache::get();
    GlProgram* const shader = GuiGlWidgetDc::get_font_shader();
    if (!shader) return;  // the places are given back with the batch
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLuint target = 0;
    glGenFramebuffers(1, &target);
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    int const size = cache.get_page_size();
    glViewport(0, 0, size, size);
    glDisable(GL_SCISSOR_TEST);
    for (unsigned int const page : cache.take_pages_to_clear()) {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, page, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Page texels are pixels: white glyphs leave their coverage in the one channel, blended
    // as the screen would blend them. Runs without a projection of their own draw under the
    // caller's afterwards.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, size, 0.0, size, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    shader->use();
    shader->set_uniform("u_texture", 0);
    unsigned int attached = 0;
    bool complete = true;
    for (size_t f = 0; f < m_fills.size() && complete; ++f) {
        Fill const& fill = m_fills[f];
        size_t const end = f + 1 < m_fills.size() ? m_fills[f + 1].first : m_fill_vertices.size();
        if (fill.page != attached) {
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, fill.page, 0);
            attached = fill.page;
            complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
            if (!complete) break;
        }
        glBindTexture(GL_TEXTURE_2D, fill.font_texture);
        shader->set_uniform("u_textureSize", fill.atlas_size, fill.atlas_size);
        glDrawArrays(GL_QUADS, static_cast<GLint>(base + fill.first), static_cast<GLsizei>(end - fill.first));
        ++m_last_draw_calls;
    }
    if (complete)
        m_placed.clear();
    else
        cache.refuse_render_targets();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    glDeleteFramebuffers(1, &target);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}
