#pragma once
// GuiGlBatch: collects a frame's 2D shapes and distance-field glyphs into one vertex array
// and draws each run of equal state (primitive, texture, line width, clip) with one call.
// Views that draw thousands of boxes, links and labels per frame add them here instead of
// issuing OpenGL calls one by one; the drawing context's own calls go through it as well.
//
//     GuiGlBatch& batch = dc.begin_batch();
//     batch.load_model_view();                  // the caller's current matrix
//     for (Node const& node : nodes) {
//         batch.set_color(80, 80, 90);
//         batch.add_rounded_rectf(node.x, node.y, node.w, node.h, 4.0f);
//     }
//     batch.set_color(230, 230, 230);
//     if (FontGlData* font = view.get_ready_active_font())   // view: the GuiGlWidget
//         for (Node const& node : nodes)
//             batch.add_glyphs(*font, GuiGlWidget::to_atlas_codes(node.title), node.x + 4, node.y + 4);
//     dc.end_batch();                           // one call for the boxes, one for the titles
//
// Vertices are taken through the model-view matrix the batch holds when they are added
// (identity until load_model_view or set_transform), so the matrix may change between
// additions. They are drawn under the projection current when the batch is flushed, or,
// once load_projection has taken one, under the projection taken when they were added. Shapes are
// drawn in the order they were added: adding all boxes, then all titles, makes two runs,
// where alternating them makes one run per shape.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/core/gui_export.h"

struct FontGlData;
class GuiGlCurve;

class QN_GUI_API GuiGlBatch {
public:
    struct Point {
        float x = 0.0f;
        float y = 0.0f;
    };

    GuiGlBatch() = default;
    ~GuiGlBatch();
    GuiGlBatch(GuiGlBatch const&) = delete;
    GuiGlBatch& operator=(GuiGlBatch const&) = delete;

    // --- State of the following additions ---
    void set_color(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255);
    // The colour OpenGL would draw with now (glColor's current value).
    void load_current_color();
    void set_line_width(float width);
    // Vertices are multiplied by this column-major 4 × 4 matrix (its affine part).
    void set_transform(float const (&matrix)[16]);
    // Takes OpenGL's current model-view matrix.
    void load_model_view();
    // Takes OpenGL's current projection for the following additions.
    void load_projection();
    // Both: what a drawing call at "the current matrix" does.
    void load_gl_matrices();
    void reset_transform();
    // Only pixels inside the rectangle (window pixels from the bottom-left, as glScissor
    // takes them) are drawn; `clear_clip` lifts it.
    void set_clip(int x, int y, int w, int h);
    void clear_clip();
    // Shapes wholly outside the view are left out (on by default). The view is known once a
    // projection was taken (load_projection); until then every shape is kept.
    void set_culling(bool culling) { m_culling = culling; }

    // --- Shapes, in the coordinates of the transform ---
    void add_rectf(float x, float y, float w, float h);
    // The one-pixel outline of the w × h pixels from (x, y), as FLTK's gl_rect draws it.
    void add_rect(float x, float y, float w, float h);
    void add_line(float x0, float y0, float x1, float y1);
    // Connected segments; `closed` joins the last point to the first.
    void add_polyline(Point const* points, size_t count, bool closed);
    void add_triangle(Point const& a, Point const& b, Point const& c);
    // A convex polygon, filled.
    void add_polygonf(Point const* points, size_t count);
    // Corners rounded by `radius` (clamped to half the shorter side).
    void add_rounded_rectf(float x, float y, float w, float h, float radius);
    void add_rounded_rect(float x, float y, float w, float h, float radius);
    // A filled band `thickness` wide inside the rounded box's edge (a frame), and the band
    // between two circles (a ring); both in the transform's units.
    void add_rounded_framef(float x, float y, float w, float h, float radius, float thickness);
    void add_ringf(float cx, float cy, float inner_radius, float outer_radius);
    void add_circlef(float cx, float cy, float radius);
    void add_circle(float cx, float cy, float radius);
    // The curve's points, tessellated when it last changed, to a quarter pixel at the
    // transform's scale.
    void add_curve(GuiGlCurve const& curve);
    // Glyphs of the font's atlas with the pen starting at (x, y) on the baseline, in units
    // whose y runs upwards (the font's own). `codes` are atlas codes (see
    // GuiGlWidget::to_atlas_codes). Returns the pen's advance. Nothing is added while the
    // font has no texture yet. Under a projection taken with load_projection, a text drawn
    // unrotated and seen before at the same scale and sub-pixel position is one quad from
    // the text cache (GuiGlTextCache) instead of a quad per glyph.
    float add_glyphs(FontGlData const& font, std::string const& codes, float x, float y);
    // A texture (an OpenGL name) over the rectangle from (x, y), w × h, its first row at
    // y + h (the top, in units whose y runs upwards), tinted by the colour.
    void add_image(unsigned int const& texture, float x, float y, float w, float h);

    // --- Drawing ---
    // Draws what was added and empties the batch; the caller's OpenGL state is kept.
    void flush();
    // Empties the batch without drawing.
    void clear();
    bool is_empty() const { return m_vertices.empty(); }
    size_t get_vertex_count() const { return m_vertices.size(); }
    // Runs waiting to be drawn: each is one draw call.
    size_t get_run_count() const { return m_runs.size(); }
    // Draw calls of the last flush.
    size_t get_last_draw_call_count() const { return m_last_draw_calls; }

    // Drops the shared vertex buffer's name without OpenGL calls: its context is gone.
    static void forget_gl_resources();

    // Segments of a circle of this radius in pixels: enough that no chord strays half a pixel.
    static int get_arc_segment_count(float radius, float angle);

private:
    struct Vertex {
        float x, y, z;
        float s, t;
        uint8_t rgba[4];
    };
    // Lines are strips, drawn together by one glMultiDrawArrays; glyphs and images are quads,
    // glyphs through the font shader.
    // Cached texts are quads from a text cache page.
    enum class Kind : uint8_t { TRIANGLES, LINE_STRIPS, GLYPHS, IMAGES, CACHED_TEXTS };
    struct Run {
        Kind kind;
        unsigned int texture;
        float texture_size;
        float line_width;
        int clip[4];
        bool clipped;
        bool has_projection;
        float projection[16];
        size_t first;        // the run ends where the next begins
        size_t first_strip;  // likewise in the strip lists
    };

    // Glyphs rendered into a text cache page before the runs are drawn: the quads from
    // `first` in m_fill_vertices up to the next fill's, in the page's texels.
    struct Fill {
        unsigned int page;
        unsigned int font_texture;
        float atlas_size;
        size_t first;
    };

    // One glyph's quad in the font's units and its cell in the atlas's texture coordinates.
    struct GlyphQuad {
        float x0, y0, x1, y1;
        float s0, t0, s1, t1;
    };
    // Calls `use` with the quad of each visible glyph of the text, the pen starting at
    // (x, y); returns the pen's advance.
    template <typename Use>
    static float for_each_glyph_quad(FontGlData const& font, std::string const& codes, float x, float y, Use&& use);
    // Adds the text as one quad from the text cache and sets the pen's advance; false when it
    // must be drawn glyph by glyph.
    bool add_cached_text(FontGlData const& font, std::string const& codes, float x, float y, float& advance);
    // Renders the glyphs of texts placed in the cache into their pages; the vertices from
    // `base` in the bound buffer are the fills'.
    void render_fills(size_t base);
    // Starts a run unless the last one has the same state.
    void use_run(Kind kind, unsigned int texture = 0, float texture_size = 0.0f);
    void push(float x, float y, float s = 0.0f, float t = 0.0f);
    void update_view_matrix();
    // The box (or the points' box), taken through the transform and the projection, lies
    // wholly beyond one side of the clip volume.
    bool is_outside_view(float x0, float y0, float x1, float y1) const;
    bool is_outside_view(Point const* points, size_t count) const;
    float get_scale() const;
    // Appends an arc of `segments` steps around (cx, cy) from angle a0 to a1 to `out`.
    static void append_arc(std::vector<Point>& out, float cx, float cy, float radius, float a0, float a1,
                           int segments);
    void rounded_outline(std::vector<Point>& out, float x, float y, float w, float h, float radius) const;
    // With a given number of segments per corner (0 makes the plain corners), so that two
    // outlines pair point for point.
    static void rounded_outline(std::vector<Point>& out, float x, float y, float w, float h, float radius,
                                int segments);
    // Triangles between two closed outlines of as many points.
    void add_band(std::vector<Point> const& outer, std::vector<Point> const& inner);

    std::vector<Vertex> m_vertices;
    std::vector<Run> m_runs;
    std::vector<Vertex> m_fill_vertices;
    std::vector<Fill> m_fills;
    std::vector<GlyphQuad> m_scratch_quads;
    // The text cache's pages this batch draws from are held until it is flushed or emptied;
    // the entries it placed are given back if they were never rendered.
    bool m_holds_text_cache = false;
    std::vector<void*> m_placed;
    uint64_t m_placed_generation = 0;
    std::vector<int> m_strip_firsts;
    std::vector<int> m_strip_counts;
    std::vector<Point> m_scratch;
    float m_matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    bool m_identity = true;
    float m_projection[16] = {};
    bool m_has_projection = false;
    int m_viewport[4] = {0, 0, 0, 0};  // taken with the projection
    float m_view[16] = {};  // projection × transform
    bool m_culling = true;
    uint8_t m_color[4] = {255, 255, 255, 255};
    float m_line_width = 1.0f;
    int m_clip[4] = {0, 0, 0, 0};
    bool m_clipped = false;
    size_t m_last_draw_calls = 0;
};
