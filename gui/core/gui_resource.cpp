#include "gui/core/gui_resource.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource_painter.h"
#include "host/image/image_icon.h"

namespace {

using Painter = GuiResourcePainter;
using Shape = GuiResourcePainter::Shape;
using Point = GuiResourcePainter::Point;
using Color = GuiResourcePainter::Color;
using Design = void (*)(Painter&);

Color const GLYPH(208, 208, 208);
Color const ACCENT(240, 150, 10);
// The colours of the glyphs that follow the colour scheme (normal and selected variants):
// the defaults until the application recolours them.
Color g_scheme_glyph = GLYPH;
Color g_scheme_selected = ACCENT;
// Glyphs without outline, which widgets recolour to their text: a grey that reads on dark
// and light backgrounds until they do.
Color const PLAIN(160, 160, 160);
Color const OUTLINE(12, 12, 12);
// Cut-outs inside a glyph: as dark as the dark background, so they look cut on it and
// still read on a light one.
Color const DETAIL(48, 48, 48);
Color const INFO_BLUE(38, 120, 208);
Color const WHITE(255, 255, 255);

// The soft outline under glyphs: how far it reaches past the glyph, in units, and its opacity.
constexpr double OUTLINE_GROWTH = 0.5;
constexpr double OUTLINE_OPACITY = 0.75;

// A glyph in one colour over its soft outline.
void glyph(Painter& p, Shape const& shape, Color const& color, double opacity = 1.0)
{
    p.fill(shape, OUTLINE, OUTLINE_OPACITY, OUTLINE_GROWTH);
    p.fill(shape, color, opacity);
}

Shape polygon(std::initializer_list<Point> points)
{
    Shape shape;
    shape.polygon(points);
    return shape;
}

// --- Triangles: (tip, base) in each direction ------------------------------------------

enum Direction { DOWN, UP, LEFT, RIGHT };

// An isosceles triangle centred on (cx, cy) along its axis, pointing in `direction`, with a
// base of `base` units and a height of `height`.
Shape triangle(Direction direction, double cx, double cy, double base, double height)
{
    double const b = base / 2.0;
    double const h = height / 2.0;
    switch (direction) {
    case DOWN: return polygon({{cx - b, cy - h}, {cx + b, cy - h}, {cx, cy + h}});
    case UP: return polygon({{cx - b, cy + h}, {cx + b, cy + h}, {cx, cy - h}});
    case LEFT: return polygon({{cx + h, cy - b}, {cx + h, cy + b}, {cx - h, cy}});
    default: return polygon({{cx - h, cy - b}, {cx - h, cy + b}, {cx + h, cy}});
    }
}

// Disclosure triangles of labels: 10 units wide, centred.
void paint_label_triangle(Painter& p, Direction direction, Color const& color)
{
    bool const vertical = direction == DOWN || direction == UP;
    glyph(p, triangle(direction, vertical ? 8.0 : 8.5, vertical ? 8.5 : 8.0, 10.0, 5.0), color);
}

// Triangles beside text: 6 units wide, on the middle of a lower-case letter.
void paint_text_triangle(Painter& p, Direction direction)
{
    bool const vertical = direction == DOWN || direction == UP;
    p.fill(triangle(direction, vertical ? 8.0 : 8.5, vertical ? 8.5 : 8.0, 6.0, 3.0), PLAIN);
}

// Small triangles of scroll buttons and spinners: 8 units wide, centred; one colour, as
// the widgets recolour them.
void paint_small_triangle(Painter& p, Direction direction)
{
    p.fill(triangle(direction, 8.0, 8.0, 8.0, 4.0), PLAIN);
}

// --- Designs -----------------------------------------------------------------------------

void paint_checker(Painter& p, Color const& color)
{
    Shape mark;
    mark.stroke({{3.5, 8.5}, {6.5, 11.5}, {12.5, 4.5}}, 2.0);
    glyph(p, mark, color);
}

void paint_clear(Painter& p)
{
    Shape disc;
    disc.circle(8.0, 8.0, 6.5);
    glyph(p, disc, GLYPH);
    Shape cross;
    cross.stroke({{5.5, 5.5}, {10.5, 10.5}}, 1.4).stroke({{10.5, 5.5}, {5.5, 10.5}}, 1.4);
    p.fill(cross, DETAIL);
}

void paint_horizontal_minislider(Painter& p, Color const& color)
{
    glyph(p, polygon({{5.0, 3.0}, {11.0, 3.0}, {11.0, 9.0}, {8.0, 12.0}, {5.0, 9.0}}), color);
}

void paint_navigator_arrow(Painter& p, Direction direction)
{
    double const sign = direction == LEFT ? 1.0 : -1.0;
    Shape arrow;
    arrow.stroke({{8.0 + 4.5 * sign, 8.0}, {8.0 - 4.5 * sign, 8.0}}, 1.8);
    arrow.stroke({{8.0 - 1.0 * sign, 4.0}, {8.0 - 5.0 * sign, 8.0}, {8.0 - 1.0 * sign, 12.0}}, 1.8);
    glyph(p, arrow, GLYPH);
}

void paint_magnifier(Painter& p)
{
    Shape lens;
    lens.ring(6.75, 6.75, 4.25, 1.6);
    lens.stroke({{10.0, 10.0}, {13.25, 13.25}}, 2.4);
    glyph(p, lens, GLYPH);
}

void paint_mb_info(Painter& p)
{
    Shape disc;
    disc.circle(8.0, 8.0, 7.25);
    p.fill(disc, INFO_BLUE);
    Shape letter;
    letter.circle(8.0, 4.6, 1.2);
    letter.rect(6.9, 6.75, 2.2, 5.75, 0.4);
    p.fill(letter, WHITE);
}

void paint_navigator_lock(Painter& p)
{
    Shape lock;
    lock.arc(8.0, 6.5, 2.75, 0.0, 180.0, 1.5);
    lock.stroke({{5.25, 6.5}, {5.25, 8.0}}, 1.5).stroke({{10.75, 6.5}, {10.75, 8.0}}, 1.5);
    lock.rect(3.75, 7.5, 8.5, 6.5, 1.0);
    glyph(p, lock, GLYPH);
    Shape hole;
    hole.circle(8.0, 10.25, 1.1);
    hole.rect(7.4, 10.25, 1.2, 2.0);
    p.fill(hole, DETAIL);
}

// An arrow head at the end of an arc drawn counter-clockwise up to `angle`, pointing on
// along the arc: its base is centred on the arc, `width` wide, its tip `length` ahead.
void add_arc_arrow_head(Shape& shape, double cx, double cy, double radius, double angle, double width,
                        double length)
{
    double const a = angle * std::numbers::pi / 180.0;
    Point const end{cx + radius * std::cos(a), cy - radius * std::sin(a)};
    Point const out{std::cos(a), -std::sin(a)};     // away from the centre
    Point const ahead{-std::sin(a), -std::cos(a)};  // the way the arc runs
    shape.polygon({{end.x + out.x * width / 2, end.y + out.y * width / 2},
                   {end.x + ahead.x * length, end.y + ahead.y * length},
                   {end.x - out.x * width / 2, end.y - out.y * width / 2}});
}

void paint_navigator_refresh(Painter& p)
{
    Shape arrow;
    arrow.arc(8.0, 8.5, 4.75, 120.0, 375.0, 1.6);
    add_arc_arrow_head(arrow, 8.0, 8.5, 4.75, 375.0, 5.0, 3.5);
    glyph(p, arrow, GLYPH);
}

void paint_open(Painter& p)
{
    Shape folder;
    folder.stroke({{3.0, 12.0}, {2.5, 11.5}, {2.5, 3.5}, {6.25, 3.5}, {7.75, 5.0}, {12.5, 5.0}, {12.5, 7.0}},
                  1.3);
    folder.stroke({{2.75, 12.5}, {5.0, 7.5}, {14.75, 7.5}, {12.5, 12.5}, {2.75, 12.5}}, 1.3);
    glyph(p, folder, GLYPH);
}

void paint_radio(Painter& p, bool full, Color const& color)
{
    Shape dot;
    if (full)
        dot.circle(8.0, 8.0, 3.0);
    else
        dot.ring(8.0, 8.0, 3.0, 1.5);
    glyph(p, dot, color);
}

void paint_save(Painter& p)
{
    Shape disk;
    disk.stroke({{2.5, 2.5}, {11.0, 2.5}, {13.5, 5.0}, {13.5, 13.5}, {2.5, 13.5}, {2.5, 2.5}}, 1.3);
    disk.stroke({{5.0, 2.5}, {5.0, 5.5}, {10.0, 5.5}, {10.0, 2.5}}, 1.3);
    disk.stroke({{4.75, 13.5}, {4.75, 9.25}, {11.25, 9.25}, {11.25, 13.5}}, 1.3);
    glyph(p, disk, GLYPH);
}

void paint_trash(Painter& p)
{
    Shape bin;
    bin.stroke({{2.5, 4.5}, {13.5, 4.5}}, 1.4);
    bin.stroke({{6.0, 4.5}, {6.0, 2.5}, {10.0, 2.5}, {10.0, 4.5}}, 1.3);
    bin.stroke({{4.0, 6.5}, {4.8, 13.5}, {11.2, 13.5}, {12.0, 6.5}}, 1.3);
    bin.stroke({{6.75, 7.5}, {6.9, 11.5}}, 1.1).stroke({{9.25, 7.5}, {9.1, 11.5}}, 1.1);
    glyph(p, bin, GLYPH);
}

// The viewport buttons share a 13-unit box from (2, 2), so that their 1-unit lines fall on
// whole pixels and the split panes come out equal.
void paint_viewport_close(Painter& p, Color const& color)
{
    Shape cross;
    cross.stroke({{5.0, 5.0}, {12.0, 12.0}}, 1.7).stroke({{12.0, 5.0}, {5.0, 12.0}}, 1.7);
    glyph(p, cross, color);
}

// A window: a frame with a title bar.
Shape window_shape(double x, double y, double size)
{
    Shape window;
    window.frame(x, y, size, size, 1.0);
    window.rect(x, y, size, 3.0);
    return window;
}

void paint_viewport_maximize(Painter& p)
{
    glyph(p, window_shape(2.0, 2.0, 13.0), GLYPH);
}

void paint_viewport_restore(Painter& p)
{
    glyph(p, window_shape(5.0, 2.0, 10.0), GLYPH);
    // The window behind shows only around the one in front, with a gap.
    Shape front;
    front.rect(2.0, 5.0, 10.0, 10.0);
    p.erase(front, 1.0);
    glyph(p, window_shape(2.0, 5.0, 10.0), GLYPH);
}

void paint_viewport_split(Painter& p, bool horizontal, bool vertical)
{
    Shape split;
    split.frame(2.0, 2.0, 13.0, 13.0, 1.0);
    if (horizontal) split.rect(2.0, 8.0, 13.0, 1.0);
    if (vertical) split.rect(8.0, 2.0, 1.0, 13.0);
    glyph(p, split, GLYPH);
}

// --- Designs that exist only as icons ------------------------------------------------------

void paint_attribute(Painter& p)
{
    Shape rows;
    for (double const y : {2.5, 7.0, 11.5}) {
        rows.rect(2.0, y, 2.0, 2.0);
        rows.rect(6.0, y + 0.25, 8.0, 1.5);
    }
    glyph(p, rows, GLYPH);
}

void paint_class_icon(Painter& p)
{
    Point const top{8.0, 1.75}, upper_right{13.5, 4.75}, lower_right{13.5, 11.25}, bottom{8.0, 14.25},
        lower_left{2.5, 11.25}, upper_left{2.5, 4.75}, centre{8.0, 7.75};
    Shape cube;
    cube.stroke({top, upper_right, lower_right, bottom, lower_left, upper_left, top}, 1.3);
    cube.stroke({upper_left, centre, upper_right}, 1.3).stroke({centre, bottom}, 1.3);
    glyph(p, cube, GLYPH);
    Shape lid;
    lid.polygon({top, upper_right, centre, upper_left});
    p.fill(lid, GLYPH, 0.45);
}

void paint_context(Painter& p)
{
    Shape layers;
    layers.polygon({{8.0, 2.0}, {14.0, 5.0}, {8.0, 8.0}, {2.0, 5.0}});
    layers.stroke({{2.5, 8.25}, {8.0, 11.0}, {13.5, 8.25}}, 1.3);
    layers.stroke({{2.5, 11.25}, {8.0, 14.0}, {13.5, 11.25}}, 1.3);
    glyph(p, layers, GLYPH);
}

// An almond between two circular lids through (1.5, 8) and (14.5, 8), 4 units high each.
std::vector<Point> eye_outline()
{
    double const half = 6.5;
    double const rise = 4.0;
    double const radius = (half * half + rise * rise) / (2.0 * rise);
    std::vector<Point> points;
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i <= 24; ++i) {
            double const x = -half + 2.0 * half * (side == 0 ? i : 24 - i) / 24.0;
            double const lift = std::sqrt(radius * radius - x * x) - (radius - rise);
            points.push_back({8.0 + x, side == 0 ? 8.0 - lift : 8.0 + lift});
        }
    }
    points.push_back(points.front());
    return points;
}

void paint_eye(Painter& p, Color const& color)
{
    Shape eye;
    eye.stroke(eye_outline(), 1.3);
    eye.circle(8.0, 8.0, 2.4);
    glyph(p, eye, color);
}

Color const FLAG_GREEN(104, 184, 92);
Color const FLAG_CYAN(80, 180, 204);
Color const FLAG_AMBER(224, 176, 48);
Color const FLAG_BLUE(96, 150, 232);
Color const FLAG_VIOLET(190, 130, 220);

void paint_flag_added(Painter& p)
{
    Shape plus;
    plus.rect(6.75, 2.5, 2.5, 11.0, 0.5).rect(2.5, 6.75, 11.0, 2.5, 0.5);
    glyph(p, plus, FLAG_GREEN);
}

void paint_flag_instance(Painter& p)
{
    Shape back;
    back.frame(2.5, 2.5, 8.0, 8.0, 1.3, 1.0);
    glyph(p, back, FLAG_CYAN);
    Shape front;
    front.rect(5.5, 5.5, 8.0, 8.0, 1.0);
    glyph(p, front, FLAG_CYAN);
}

void paint_flag_localized(Painter& p)
{
    // A map pin: a circle drawn out to a point at the bottom, with a hole.
    std::vector<Point> pin;
    double const r = 4.5;
    double const cx = 8.0;
    double const cy = 6.5;
    // The sides leave the circle where their tangents reach the tip at (8, 14.5).
    double const d = 14.5 - cy;
    double const a = std::acos(r / d) * 180.0 / std::numbers::pi;
    for (int i = 0; i <= 32; ++i) {
        double const angle = (-90.0 + a) + (360.0 - 2.0 * a) * i / 32.0;
        double const rad = angle * std::numbers::pi / 180.0;
        pin.push_back({cx + r * std::cos(rad), cy - r * std::sin(rad)});
    }
    pin.push_back({cx, 14.5});
    Shape shape;
    shape.polygon(pin);
    glyph(p, shape, FLAG_AMBER);
    Shape hole;
    hole.circle(cx, cy, 1.75);
    p.fill(hole, DETAIL);
}

void paint_flag_reference(Painter& p)
{
    // A bent arrow, as on shortcuts.
    Shape arrow;
    arrow.stroke({{3.0, 13.0}, {3.0, 10.0}}, 1.8);
    arrow.arc(8.0, 10.0, 5.0, 180.0, 90.0, 1.8);
    arrow.stroke({{8.0, 5.0}, {10.0, 5.0}}, 1.8);
    arrow.polygon({{9.5, 1.5}, {14.0, 5.0}, {9.5, 8.5}});
    glyph(p, arrow, FLAG_BLUE);
}

void paint_flag_source(Painter& p)
{
    // A five-pointed star.
    std::vector<Point> star;
    for (int i = 0; i < 10; ++i) {
        double const radius = i % 2 == 0 ? 6.5 : 2.75;
        double const angle = (90.0 + 36.0 * i) * std::numbers::pi / 180.0;
        star.push_back({8.0 + radius * std::cos(angle), 8.5 - radius * std::sin(angle)});
    }
    Shape shape;
    shape.polygon(star);
    glyph(p, shape, FLAG_VIOLET);
}

void paint_unknown(Painter& p)
{
    Shape mark;
    mark.ring(8.0, 8.0, 6.5, 1.3);
    mark.arc(8.0, 6.25, 2.25, 160.0, -40.0, 1.5);
    mark.stroke({{9.7, 7.7}, {8.0, 8.9}, {8.0, 9.6}}, 1.5);
    mark.circle(8.0, 11.75, 0.95);
    glyph(p, mark, GLYPH);
}

// --- Pictures and icons --------------------------------------------------------------------

std::vector<unsigned char> paint(Design design, int size)
{
    Painter painter(size);
    design(painter);
    return painter.get_rgba();
}

GuiImage make_image(Design design)
{
    std::vector<unsigned char> const rgba = paint(design, 16);
    return GuiImage(rgba.data(), 16, 16, 4);
}

// The pictures made so far whose design follows the scheme's colours, to repaint when they
// change.
struct SchemePicture {
    GuiImage* image;
    Design design;
};
std::vector<SchemePicture>& scheme_pictures()
{
    static std::vector<SchemePicture> pictures;
    return pictures;
}

// The pixels of a design at every icon size, and the icon that refers to them.
class IconPictures {
public:
    explicit IconPictures(Design design)
    {
        unsigned char const* data[GuiIcon::SIZE_COUNT];
        for (int size = 0; size < GuiIcon::SIZE_COUNT; ++size) {
            int const n = int(ImageIcon::get_image_icon_int_size(ImageIcon::ImageIconSize(size)));
            m_pixels[size] = paint(design, n);
            data[size] = m_pixels[size].data();
        }
        m_icon = new GuiIcon(data);
    }
    ~IconPictures() { delete m_icon; }
    IconPictures(IconPictures const&) = delete;
    IconPictures& operator=(IconPictures const&) = delete;

    GuiIcon const& get_icon() const { return *m_icon; }

private:
    std::vector<unsigned char> m_pixels[GuiIcon::SIZE_COUNT];
    GuiIcon* m_icon;
};

}  // namespace

// The accessors of a picture painted by `design` (a statement using the painter p): the
// function-local statics are made once, under the guard the language gives them, and live
// until exit.
#define GUI_RESOURCE_ICON(name, design)                                            \
    GuiIcon const& GuiResource::name##_iconrc()                                    \
    {                                                                              \
        static IconPictures const pictures([](GuiResourcePainter& p) { design; }); \
        return pictures.get_icon();                                                \
    }
#define GUI_RESOURCE_PICTURE(name, design)                                               \
    GuiImage const& GuiResource::name()                                                  \
    {                                                                                    \
        static GuiImage image = make_image([](GuiResourcePainter& p) { design; });       \
        return image;                                                                    \
    }                                                                                    \
    GUI_RESOURCE_ICON(name, design)
// A picture painted in the scheme's glyph colours, repainted when the scheme changes.
#define GUI_RESOURCE_SCHEME_PICTURE(name, design)                                        \
    GuiImage const& GuiResource::name()                                                  \
    {                                                                                    \
        static Design const painted = [](GuiResourcePainter& p) { design; };             \
        static GuiImage image = make_image(painted);                                     \
        static bool const listed = (scheme_pictures().push_back({&image, painted}), true); \
        (void)listed;                                                                    \
        return image;                                                                    \
    }                                                                                    \
    GUI_RESOURCE_ICON(name, design)

GUI_RESOURCE_SCHEME_PICTURE(checker, paint_checker(p, g_scheme_glyph))
GUI_RESOURCE_SCHEME_PICTURE(checker_selected, paint_checker(p, g_scheme_selected))
GUI_RESOURCE_PICTURE(clear, paint_clear(p))
GUI_RESOURCE_SCHEME_PICTURE(down_triangle_label, paint_label_triangle(p, DOWN, g_scheme_glyph))
GUI_RESOURCE_SCHEME_PICTURE(down_triangle_label_selected, paint_label_triangle(p, DOWN, g_scheme_selected))
GUI_RESOURCE_PICTURE(down_triangle_text, paint_text_triangle(p, DOWN))
GUI_RESOURCE_SCHEME_PICTURE(horizontal_minislider, paint_horizontal_minislider(p, g_scheme_glyph))
GUI_RESOURCE_SCHEME_PICTURE(horizontal_minislider_selected, paint_horizontal_minislider(p, g_scheme_selected))
GUI_RESOURCE_PICTURE(left_navigator_arrow, paint_navigator_arrow(p, LEFT))
GUI_RESOURCE_SCHEME_PICTURE(left_triangle_label, paint_label_triangle(p, LEFT, g_scheme_glyph))
GUI_RESOURCE_SCHEME_PICTURE(left_triangle_label_selected, paint_label_triangle(p, LEFT, g_scheme_selected))
GUI_RESOURCE_PICTURE(left_triangle_text, paint_text_triangle(p, LEFT))
GUI_RESOURCE_PICTURE(magnifier, paint_magnifier(p))
GUI_RESOURCE_PICTURE(mb_info, paint_mb_info(p))
GUI_RESOURCE_PICTURE(navigator_lock, paint_navigator_lock(p))
GUI_RESOURCE_PICTURE(navigator_refresh, paint_navigator_refresh(p))
GUI_RESOURCE_PICTURE(open, paint_open(p))
GUI_RESOURCE_SCHEME_PICTURE(radio_menu, paint_radio(p, true, g_scheme_glyph))
GUI_RESOURCE_SCHEME_PICTURE(radio_menu_empty, paint_radio(p, false, g_scheme_glyph))
GUI_RESOURCE_SCHEME_PICTURE(radio_menu_empty_selected, paint_radio(p, false, g_scheme_selected))
GUI_RESOURCE_SCHEME_PICTURE(radio_menu_selected, paint_radio(p, true, g_scheme_selected))
GUI_RESOURCE_PICTURE(right_navigator_arrow, paint_navigator_arrow(p, RIGHT))
GUI_RESOURCE_SCHEME_PICTURE(right_triangle_label, paint_label_triangle(p, RIGHT, g_scheme_glyph))
GUI_RESOURCE_SCHEME_PICTURE(right_triangle_label_selected, paint_label_triangle(p, RIGHT, g_scheme_selected))
GUI_RESOURCE_PICTURE(right_triangle_text, paint_text_triangle(p, RIGHT))
GUI_RESOURCE_PICTURE(save, paint_save(p))
GUI_RESOURCE_PICTURE(small_down_triangle, paint_small_triangle(p, DOWN))
GUI_RESOURCE_PICTURE(small_left_triangle, paint_small_triangle(p, LEFT))
GUI_RESOURCE_PICTURE(small_right_triangle, paint_small_triangle(p, RIGHT))
GUI_RESOURCE_PICTURE(small_up_triangle, paint_small_triangle(p, UP))
GUI_RESOURCE_PICTURE(trash, paint_trash(p))
GUI_RESOURCE_SCHEME_PICTURE(up_triangle_label, paint_label_triangle(p, UP, g_scheme_glyph))
GUI_RESOURCE_SCHEME_PICTURE(up_triangle_label_selected, paint_label_triangle(p, UP, g_scheme_selected))
GUI_RESOURCE_PICTURE(up_triangle_text, paint_text_triangle(p, UP))
GUI_RESOURCE_SCHEME_PICTURE(viewport_close, paint_viewport_close(p, g_scheme_glyph))
GUI_RESOURCE_PICTURE(viewport_maximize, paint_viewport_maximize(p))
GUI_RESOURCE_PICTURE(viewport_restore, paint_viewport_restore(p))
GUI_RESOURCE_PICTURE(viewport_split_horizontal, paint_viewport_split(p, true, false))
GUI_RESOURCE_PICTURE(viewport_split_quad, paint_viewport_split(p, true, true))
GUI_RESOURCE_PICTURE(viewport_split_vertical, paint_viewport_split(p, false, true))

GUI_RESOURCE_ICON(attribute, paint_attribute(p))
GUI_RESOURCE_ICON(class_icon, paint_class_icon(p))
GUI_RESOURCE_ICON(context, paint_context(p))
GUI_RESOURCE_ICON(eye, paint_eye(p, GLYPH))
GUI_RESOURCE_ICON(eye_selected, paint_eye(p, ACCENT))
GUI_RESOURCE_ICON(flag_added, paint_flag_added(p))
GUI_RESOURCE_ICON(flag_instance, paint_flag_instance(p))
GUI_RESOURCE_ICON(flag_localized, paint_flag_localized(p))
GUI_RESOURCE_ICON(flag_reference, paint_flag_reference(p))
GUI_RESOURCE_ICON(flag_source, paint_flag_source(p))
GUI_RESOURCE_ICON(unknown, paint_unknown(p))

namespace {

struct NamedPicture {
    char const* name;
    GuiImage const& (*accessor)();
};

// In alphabetical order.
NamedPicture const s_pictures[] = {
    {"checker", &GuiResource::checker},
    {"checker_selected", &GuiResource::checker_selected},
    {"clear", &GuiResource::clear},
    {"down_triangle_label", &GuiResource::down_triangle_label},
    {"down_triangle_label_selected", &GuiResource::down_triangle_label_selected},
    {"down_triangle_text", &GuiResource::down_triangle_text},
    {"horizontal_minislider", &GuiResource::horizontal_minislider},
    {"horizontal_minislider_selected", &GuiResource::horizontal_minislider_selected},
    {"left_navigator_arrow", &GuiResource::left_navigator_arrow},
    {"left_triangle_label", &GuiResource::left_triangle_label},
    {"left_triangle_label_selected", &GuiResource::left_triangle_label_selected},
    {"left_triangle_text", &GuiResource::left_triangle_text},
    {"magnifier", &GuiResource::magnifier},
    {"mb_info", &GuiResource::mb_info},
    {"navigator_lock", &GuiResource::navigator_lock},
    {"navigator_refresh", &GuiResource::navigator_refresh},
    {"open", &GuiResource::open},
    {"radio_menu", &GuiResource::radio_menu},
    {"radio_menu_empty", &GuiResource::radio_menu_empty},
    {"radio_menu_empty_selected", &GuiResource::radio_menu_empty_selected},
    {"radio_menu_selected", &GuiResource::radio_menu_selected},
    {"right_navigator_arrow", &GuiResource::right_navigator_arrow},
    {"right_triangle_label", &GuiResource::right_triangle_label},
    {"right_triangle_label_selected", &GuiResource::right_triangle_label_selected},
    {"right_triangle_text", &GuiResource::right_triangle_text},
    {"save", &GuiResource::save},
    {"small_down_triangle", &GuiResource::small_down_triangle},
    {"small_left_triangle", &GuiResource::small_left_triangle},
    {"small_right_triangle", &GuiResource::small_right_triangle},
    {"small_up_triangle", &GuiResource::small_up_triangle},
    {"trash", &GuiResource::trash},
    {"up_triangle_label", &GuiResource::up_triangle_label},
    {"up_triangle_label_selected", &GuiResource::up_triangle_label_selected},
    {"up_triangle_text", &GuiResource::up_triangle_text},
    {"viewport_close", &GuiResource::viewport_close},
    {"viewport_maximize", &GuiResource::viewport_maximize},
    {"viewport_restore", &GuiResource::viewport_restore},
    {"viewport_split_horizontal", &GuiResource::viewport_split_horizontal},
    {"viewport_split_quad", &GuiResource::viewport_split_quad},
    {"viewport_split_vertical", &GuiResource::viewport_split_vertical},
};

}  // namespace

CoreVector<CoreString> const& GuiResource::get_picture_names()
{
    static CoreVector<CoreString> const names = [] {
        CoreVector<CoreString> list;
        for (NamedPicture const& picture : s_pictures) list.add(CoreString(picture.name));
        return list;
    }();
    return names;
}

GuiImage const* GuiResource::get_picture(CoreString const& name)
{
    for (NamedPicture const& picture : s_pictures) {
        if (name == picture.name) return &picture.accessor();
    }
    return nullptr;
}

void GuiResource::recolor_glyphs(GuiColorScheme const& scheme)
{
    g_scheme_glyph = scheme.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT);
    g_scheme_selected = scheme.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_ACCENT);
    // Outlined glyphs are painted again, so that their outline stays dark under the new colour.
    for (SchemePicture const& picture : scheme_pictures()) {
        std::vector<unsigned char> const rgba = paint(picture.design, 16);
        picture.image->set_data(rgba.data(), 16, 16, 4);
    }
    // The plain triangles beside text take the text colour as they are.
    GuiImage const* plain[] = {&down_triangle_text(),  &up_triangle_text(),  &left_triangle_text(),
                               &right_triangle_text(), &small_down_triangle(), &small_up_triangle(),
                               &small_left_triangle(), &small_right_triangle()};
    for (GuiImage const* glyph : plain)
        const_cast<GuiImage*>(glyph)->fill(g_scheme_glyph[0], g_scheme_glyph[1], g_scheme_glyph[2]);
}
